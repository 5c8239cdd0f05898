// Helpers for the screen tests.
#include "render_kit.h"

#include <filesystem>
#include <vector>

#include "game/game.h"
#include "game/modes.h"
#include "game/startup.h"
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

uint64_t backSurfaceHash(void) {
    uint64_t h = 1469598103934665603ull;
    for (int y = 0; y < backSurface->height; y++) {
        for (int x = 0; x < backSurface->width; x++) {
            uint16_t p = getPixel(backSurface, x, y);
            h = (h ^ (p & 0xFF)) * 1099511628211ull;
            h = (h ^ (p >> 8)) * 1099511628211ull;
        }
    }
    return h;
}

std::string saveBackSurfacePng(const std::string& name) {
    namespace fs = std::filesystem;
    fs::path folder = fs::path(PLINKOR_RUN_DIR).parent_path() / "frames";
    fs::create_directories(folder);
    std::vector<uint8_t> rgb;
    for (int y = 0; y < backSurface->height; y++) {
        for (int x = 0; x < backSurface->width; x++) {
            uint16_t p = getPixel(backSurface, x, y);
            for (int c : {p >> 11, (p >> 6) & 31, p & 31}) {
                rgb.push_back((uint8_t)(c << 3 | c >> 2));
            }
        }
    }
    std::string path = (folder / (name + ".png")).string();
    writeTestPngRgb(path, backSurface->width, backSurface->height, rgb);
    return path;
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
