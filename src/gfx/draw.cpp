// Single-pixel colour effects, the tiled background fill and the main-menu strips.
#include "gfx/draw.h"

#include "gfx/blit.h"

Surface* mainMenuSheet;

void brightenPixel(Surface* s, int x, int y, int a) {
    if (x < 0 || y < 0 || x >= s->width || y >= s->height) {
        return;
    }
    putPixel(s, x, y, brighten(getPixel(s, x, y), a));
}

void darkenPixel(Surface* s, int x, int y, int a) {
    if (x < 0 || y < 0 || x >= s->width || y >= s->height) {
        return;
    }
    putPixel(s, x, y, darken(getPixel(s, x, y), a));
}

void brightenBackPixel(int x, int y, int a) {
    brightenPixel(backSurface, x, y, a);
}

void blendPixel(Surface* s, int x, int y, uint16_t colour, int w) {
    if (x < 0 || y < 0 || x >= s->width || y >= s->height) {
        return;
    }
    putPixel(s, x, y, blendColour(getPixel(s, x, y), colour, w));
}

void tileSurface(Surface* dst, int x, int y, int w, int h, const Surface* tile, int scrollX, int scrollY) {
    // An empty tile would never cover anything (and would divide by zero).
    if (tile == nullptr || tile->width < 1 || tile->height < 1) {
        return;
    }
    int tw = tile->width, th = tile->height;
    int offsetX = scrollX % tw, offsetY = scrollY % th;
    for (int i = -1; i <= w / tw; i++) {
        for (int j = -1; j <= h / th + 1; j++) {
            blit(dst, x + i * tw - offsetX, y + j * th - offsetY, tw, th, tile, 0, 0, BLIT_COPY);
        }
    }
}

void drawMenuStrip(Surface* dst, int x, int y, int index) {
    if (mainMenuSheet == nullptr) {
        return;
    }
    blit(dst, x, y, mainMenuSheet->width, MENU_STRIP_HEIGHT, mainMenuSheet, 0, index * MENU_STRIP_HEIGHT + 150,
         BLIT_ADDITIVE, 0);
}

void drawMenuItem(Surface* dst, int x, int y, int index, int brightness) {
    if (mainMenuSheet == nullptr) {
        return;
    }
    blit(dst, x, y, mainMenuSheet->width, MENU_STRIP_HEIGHT, mainMenuSheet, 0, index * MENU_STRIP_HEIGHT + 2,
         BLIT_ADDITIVE, brightness);
}
