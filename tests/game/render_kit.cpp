// Helpers for the screen tests.
#include "render_kit.h"

#include <filesystem>

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

std::string saveBackSurfacePng(const std::string& name) {
    std::filesystem::path folder = std::filesystem::path(PLINKOR_RUN_DIR).parent_path() / "frames";
    std::filesystem::create_directories(folder);
    std::string path = (folder / (name + ".png")).string();
    writeSurfacePng(path, backSurface);
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
