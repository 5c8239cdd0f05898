// Helpers for the screen tests.
#include "render_kit.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "game/game.h"
#include "game/modes.h"
#include "game/startup.h"
#include "gfx/blit.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "shell/random.h"
#include "support/testutil.h"

ScreenFixture::ScreenFixture(uint32_t seed) {
    buildLogColours();
    loadPicture("smallchars.png", &smallCharsSheet);
    loadIntroBatch();
    stylus.x = 0;
    stylus.y = 0;
    stylus.down = 0;
    seedGameRand(seed);
}

void ScreenFixture::render(void) {
    apply();
    mainLoop.currentMode = renderMode(mainLoop.currentMode);
}

uint16_t backPixel(int x, int y) {
    return getPixel(backSurface, x, y);
}

std::vector<uint16_t> backPixels(void) {
    std::vector<uint16_t> out;
    for (int y = 0; y < backSurface->height; y++) {
        for (int x = 0; x < backSurface->width; x++) {
            out.push_back(getPixel(backSurface, x, y));
        }
    }
    return out;
}

std::string saveFramePng(const std::string& name, const std::vector<uint16_t>& pixels, int width, int height) {
    namespace fs = std::filesystem;
    fs::path folder = fs::path(PLINKOR_RUN_DIR).parent_path() / "frames";
    fs::create_directories(folder);
    std::vector<uint8_t> rgb;
    rgb.reserve(pixels.size() * 3);
    for (uint16_t p : pixels) {
        int r = p >> 11, g = (p >> 6) & 31, b = p & 31;
        rgb.push_back((uint8_t)(r << 3 | r >> 2));
        rgb.push_back((uint8_t)(g << 3 | g >> 2));
        rgb.push_back((uint8_t)(b << 3 | b >> 2));
    }
    std::string path = (folder / (name + ".png")).string();
    writeTestPngRgb(path, width, height, rgb);
    return path;
}

std::string saveBackSurfacePng(const std::string& name) {
    return saveFramePng(name, backPixels(), backSurface->width, backSurface->height);
}

uint16_t addLight(uint16_t colour, int amount) {
    return brighten(colour, amount);
}

Surface* makeScreen(uint16_t colour) {
    Surface* s = createSurface(240, 320);
    for (int y = 0; y < 320; y++) {
        for (int x = 0; x < 240; x++) {
            putPixel(s, x, y, colour);
        }
    }
    return s;
}

Surface* copyOfBack(void) {
    Surface* s = createSurface(backSurface->width, backSurface->height);
    for (int y = 0; y < backSurface->height; y++) {
        for (int x = 0; x < backSurface->width; x++) {
            putPixel(s, x, y, getPixel(backSurface, x, y));
        }
    }
    return s;
}

uint16_t additivePixel(uint16_t destination, uint16_t source, int raise) {
    if (source == 0) {
        return destination;
    }
    int r = (source >> 11) + raise, g = ((source >> 6) & 31) + raise, b = (source & 31) + raise;
    return clampPackColour((destination >> 11) + (r < 0 ? 0 : r), ((destination >> 6) & 31) + (g < 0 ? 0 : g),
                           (destination & 31) + (b < 0 ? 0 : b));
}

int differencesFrom(Surface* expected, bool withCorner) {
    int count = withCorner ? countDifferences(expected, 0, 0, 240, 320)
                           : countDifferences(expected, 0, 0, 240, 264) + countDifferences(expected, 0, 264, 181, 320);
    removeSurface(&expected);
    return count;
}

void scrolledBackground(Surface* s, int row) {
    for (int k = -1; k <= 1; k++) {
        blit(s, 0, row + 240 * k, 240, 240, flowPictures.background, 0, 0, BLIT_COPY);
    }
}

int countDifferences(const Surface* expected, int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y < y1; y++) {
        for (int x = x0; x < x1; x++) {
            uint16_t want = getPixel(expected, x, y), got = getPixel(backSurface, x, y);
            if (want != got) {
                if (count < 5) {
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << got << ", expected " << want;
                }
                count++;
            }
        }
    }
    return count;
}
