// Surface creation, removal and pixel access in every memory layout; colour packing and the gamma table.
#include "gfx/surface.h"

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "shell/display.h"
#include "shell/log.h"

Surface* backSurface;
uint32_t gammaTable[32];
static int gammaValue;

static void surfaceAllocFailed(void) {
    logColoured(1, "[ERROR] Unable to make Surface\n", LOG_ERROR);
    exit(1);
}

Surface* createSurface(int width, int height) {
    logFormat(1, 0, "createSurface(%d,%d)\n", width, height);
    Surface* s = (Surface*)calloc(1, sizeof(Surface));
    if (s == nullptr) {
        surfaceAllocFailed();
    }
    size_t count = (size_t)(width > 0 ? width : 0) * (size_t)(height > 0 ? height : 0);
    // calloc(0) may give null; keep one word so that an empty surface still owns memory.
    s->pixels = (uint16_t*)calloc(count > 0 ? count : 1, 2);
    if (s->pixels == nullptr) {
        surfaceAllocFailed();
    }
    s->width = width;
    s->height = height;
    s->centreX = width >> 1;
    s->centreY = height >> 1;
    if (displayInfo.verticalMemory) {
        s->verticalMemory = 1;
        s->xStep = height;
        s->yStep = 1;
    } else {
        s->verticalMemory = 0;
        s->xStep = 1;
        s->yStep = width;
    }
    if (displayInfo.xStep < 0) {
        s->xStep = -s->xStep;
    }
    if (displayInfo.yStep < 0) {
        s->yStep = -s->yStep;
    }
    s->origin = s->pixels;
    if (s->xStep < 0 && width > 0) {
        s->origin -= (ptrdiff_t)s->xStep * (width - 1);
    }
    if (s->yStep < 0 && height > 0) {
        s->origin -= (ptrdiff_t)s->yStep * (height - 1);
    }
    return s;
}

void removeSurface(Surface** handle) {
    Surface* s = *handle;
    if (s->pixels == nullptr) {
        platformMessageBox("Surface aleady removed", "ERROR", MB_TYPE_OK);
    }
    free(s->pixels);
    free(s);
    *handle = nullptr;
}

uint16_t getPixel(const Surface* s, int x, int y) {
    if (x < 0 || x >= s->width || y < 0 || y >= s->height) {
        return 0;
    }
    return s->origin[(ptrdiff_t)s->xStep * x + (ptrdiff_t)s->yStep * y];
}

void putPixel(Surface* s, int x, int y, uint16_t colour) {
    if (x < 0 || x >= s->width || y < 0 || y >= s->height) {
        return;
    }
    s->origin[(ptrdiff_t)s->xStep * x + (ptrdiff_t)s->yStep * y] = colour;
}

void clearSurface(Surface* s) {
    memset(s->pixels, 0, (size_t)s->width * (size_t)s->height * 2);
}

void fillSurfaceBytes(Surface* s, int value) {
    memset(s->pixels, value & 0xFF, (size_t)s->width * (size_t)s->height * 2);
}

void setGamma(int g) {
    gammaValue = g;
    double e = (255.0 - g + 1.0) / 129.0;
    double top = pow(31.0, e);
    for (int i = 0; i < 32; i++) {
        double scaled = trunc(31.0 * pow((double)i, e));
        gammaTable[i] = (uint32_t)trunc(scaled / top);
    }
}

int getGamma(void) {
    return gammaValue == 0 ? 128 : gammaValue;
}

uint16_t packGammaColour(int r, int g, int b) {
    return (uint16_t)(gammaTable[r] << 11 | gammaTable[g] << 6 | gammaTable[b]);
}
