// The window procedure: stylus mapping in both builds, tap timing, key translation.
#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/headless.h"
#include "shell/display.h"
#include "shell/input.h"
#include "shell/mainloop.h"
#include "shell/overlay.h"

namespace {

std::vector<PlatformMessage> seen;  // what reached the game

void recordInput(int32_t message, uint32_t wParam, int32_t value) {
    seen.push_back(PlatformMessage{message, wParam, value});
}

int32_t position(int x, int y) {
    return (int32_t)(((uint32_t)y & 0xFFFF) << 16 | ((uint32_t)x & 0xFFFF));
}

class Input : public ::testing::Test {
protected:
    void SetUp() override {
        headlessReset();
        resetLoopState();
        seen.clear();
        gameInterface.input = recordInput;
        displayInfo.fullscreenFlag = 0;
        overlay.off = 1;
        appActive = 1;
        mainLoop.ticksPerSecond = HEADLESS_TICKS_PER_SECOND;
        loadButtonCodes();
        platformCreateWindow("Plinkor", 0, 240, 320, windowProc);
    }
};

}  // namespace

TEST_F(Input, TheStylusMapsByTheClientSizeWindowedAndByTheImageFullscreen) {
    // Fullscreen, client size, the point, then the stylus position; a zero-sized (minimised) client
    // area keeps the last position.
    const int cases[][7] = {{0, 720, 960, 719, 959, 239, 319}, {0, 720, 960, 100, 50, 33, 16},
                            {0, 250, 333, 249, 332, 239, 319}, {0, 240, 320, 17, 23, 17, 23},
                            {0, 0, 0, 100, 100, 17, 23},       {1, 0, 0, 0, 0, 0, 0},
                            {1, 0, 0, 639, 479, 239, 319},     {1, 0, 0, 300, 200, 100, 120}};
    for (const auto& c : cases) {
        displayInfo.fullscreenFlag = c[0];
        headlessSetClientSize(c[1], c[2]);
        windowProc(MSG_MOUSEMOVE, 0, position(c[3], c[4]));
        EXPECT_EQ((std::vector<int>{stylus.x, stylus.y}), (std::vector<int>{c[5], c[6]}))
            << c[3] << "," << c[4] << " in " << c[1] << "x" << c[2];
    }
    // A press maps the same way; mouse messages pass lParam to the game as they are.
    displayInfo.fullscreenFlag = 0;
    headlessSetClientSize(250, 333);
    windowProc(MSG_LBUTTONDOWN, 1, position(249, 332));
    EXPECT_EQ((std::vector<int>{stylus.x, stylus.y, stylus.down}), (std::vector<int>{239, 319, 1}));
    ASSERT_EQ(seen.size(), 9u);
    EXPECT_EQ(seen[8].message, MSG_LBUTTONDOWN);
    EXPECT_EQ(seen[8].lParam, position(249, 332));
}

// A release under an eighth of a second after the press is a quick tap, until the next move; exactly
// an eighth is not.
TEST_F(Input, AQuickTapIsMarkedOnItsReleaseOnly) {
    for (int64_t held : {HEADLESS_TICKS_PER_SECOND / 8 - 1, HEADLESS_TICKS_PER_SECOND / 8}) {
        windowProc(MSG_LBUTTONDOWN, 1, position(5, 5));
        EXPECT_EQ(stylus.quickTap, 0);
        headlessAdvance(held);
        windowProc(MSG_LBUTTONUP, 0, position(5, 5));
        EXPECT_EQ((std::vector<int>{stylus.quickTap, stylus.down}), (std::vector<int>{held < HEADLESS_TICKS_PER_SECOND / 8, 0})) << held;
        windowProc(MSG_MOUSEMOVE, 0, position(6, 6));
        EXPECT_EQ(stylus.quickTap, 0);
    }
}

// Letters with and without shift are the name entry's tests; here a key without a character keeps its
// code, a key up is sign-extended from 16 bits, and the action button's key up never reaches the game.
TEST_F(Input, KeysCarryTheirTranslatedValue) {
    windowProc(MSG_KEYDOWN, 37, 0);
    windowProc(MSG_KEYUP, 0xFFFF, 0);
    windowProc(MSG_KEYDOWN, 134, 0);
    windowProc(MSG_KEYUP, 134, 0);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ((std::vector<int32_t>{seen[0].lParam, (int32_t)seen[0].wParam, seen[1].lParam, seen[2].message}),
              (std::vector<int32_t>{37, 37, -1, MSG_KEYDOWN}));
}
