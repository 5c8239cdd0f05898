// The whole game with the desktop options: absent (the design's behaviour), follow_pointer, skip_intro.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "field/ball.h"
#include "field/effects.h"
#include "field/paddle.h"
#include "field/gamevalues.h"
#include "game/modes.h"
#include "game/play.h"
#include "game/game.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "flowtest.h"
#include "player.h"
#include "shell/desktop.h"
#include "shell/mainloop.h"
#include "sound/mixer.h"

namespace {

// What the scripted player saw.
struct Seen {
    int menuMusic = -1;       // 1: the title music played when the main menu first showed
    int menuLoaded = -1;      // 1: fonts and sprites loaded by then
    int32_t serveX = -1;      // paddle x as play begins
    int32_t afterPointer = -1;  // after the pointer moved to x 40 without the button
    int32_t afterKeys = -1;   // after the right key was held and let go, the pointer left alone
    int32_t afterSecondMove = -1;  // after the pointer moved again, to x 200
};

Seen seen;

void moveAndWait(int x, int passes, int32_t* record) {
    act([x]() { headlessMouse(MSG_MOUSEMOVE, x, 300); });
    waitPasses(passes);
    act([record]() { *record = paddle.x; });
}

// Splashes (left to run), menu, chooser, level 1; during the ready count the pointer moves without the
// button, then the right key steers, then the pointer moves again; then out through farewell and exit.
Seen runDesktopScript(const char* ini) {
    GameFolder folder;
    if (ini != nullptr) {
        writeFileBytes("Data/desktop.ini", textBytes(ini));
    }
    seen = Seen();
    waitFor(MODE_MAIN_MENU);
    act([]() {
        seen.menuMusic = isSoundIdle(15) ? 0 : 1;
        seen.menuLoaded = flowPictures.fontTickerTape != nullptr && effects.spritesPicture != nullptr ? 1 : 0;
    });
    waitPasses(10);
    tapStep(120, 122 + 24 * 1 + 5);
    waitFor(MODE_LEVEL_SELECT);
    waitPasses(10);
    tapStep(12, CHOOSER_TOP + 12);
    waitFor(MODE_PLAY);
    waitPasses(5);
    act([]() { seen.serveX = paddle.x; });
    moveAndWait(40, 90, &seen.afterPointer);
    keyStep(MSG_KEYDOWN, 39);
    waitPasses(20);
    keyStep(MSG_KEYUP, 39);
    waitPasses(60);
    act([]() { seen.afterKeys = paddle.x; });
    moveAndWait(200, 90, &seen.afterSecondMove);
    act([]() { EXPECT_GT(game.readyCountdown, 0) << "the ball was served during the steering"; });
    keyStep(MSG_KEYUP, 27);
    waitFor(MODE_MAIN_MENU);
    waitPasses(10);
    tapStep(120, 122 + 12 + 24 * 5 + 5);  // a game in progress moves the items down by 12
    waitFor(MODE_FAREWELL);
    waitPasses(10);
    tapStep(120, 160);
    waitFor(MODE_EXIT);
    waitPasses(10);
    tapStep(120, 160);
    script.limit = 20000;
    EXPECT_EQ(runScript(), 0);
    EXPECT_EQ(script.next, script.steps.size()) << "stuck at step " << script.next << " in mode " << mainLoop.currentMode;
    EXPECT_EQ(seen.menuMusic, 1);
    EXPECT_EQ(seen.menuLoaded, 1);
    if (ini == nullptr) {
        EXPECT_FALSE(std::filesystem::exists("Data/desktop.ini"));
    }
    return seen;
}

const std::vector<int32_t> MODES_AFTER_MENU = {MODE_MAIN_MENU, MODE_LEVEL_SELECT, MODE_NEW_GAME, MODE_NEXT_LEVEL,
                                               MODE_PLAY,      MODE_MAIN_MENU,    MODE_FAREWELL, MODE_EXIT};

std::vector<int32_t> withSplashes(void) {
    std::vector<int32_t> modes = {0, MODE_SPLASH_LOGO, MODE_SPLASH_INTRO, MODE_SPLASH_MONKEY};
    modes.insert(modes.end(), MODES_AFTER_MENU.begin(), MODES_AFTER_MENU.end());
    return modes;
}

// The design's behaviour: the splashes, and the stylus steers only while the button is held.
void expectDesigned(const Seen& s) {
    EXPECT_EQ(script.modesSeen, withSplashes());
    EXPECT_EQ(s.serveX, 120);
    EXPECT_EQ(s.afterPointer, s.serveX);
    EXPECT_GT(s.afterKeys, s.serveX + 4);
    EXPECT_EQ(s.afterSecondMove, s.afterKeys);
}

}  // namespace

TEST(DesktopGame, WithoutTheFileTheGameIsAsDesigned) {
    expectDesigned(runDesktopScript(nullptr));
}

TEST(DesktopGame, TheDefaultsWrittenOutChangeNothing) {
    expectDesigned(runDesktopScript("# every option at its default\nfollow_pointer = off\npause_when_away = on\n"
                                    "skip_intro = off\nscale = auto\npaddle_sound = on\nfullscreen = off\n"
                                    "some_later_option = 3\n"));
}

TEST(DesktopGame, FollowPointerSteersWithoutTheButtonUntilAKeySteers) {
    Seen s = runDesktopScript("follow_pointer = on\n");
    EXPECT_EQ(script.modesSeen, withSplashes());
    EXPECT_EQ(s.serveX, 120);
    EXPECT_NEAR(s.afterPointer, 40, 1);
    // The keys took over and the paddle stayed where they left it...
    EXPECT_GT(s.afterKeys, s.afterPointer + 4);
    EXPECT_LT(s.afterKeys, 120);
    // ...until the pointer moved again.
    EXPECT_NEAR(s.afterSecondMove, 200, 1);
}

TEST(DesktopGame, SkipIntroGoesStraightToTheMenuWithEverythingLoaded) {
    Seen s = runDesktopScript("skip_intro = on\n");
    std::vector<int32_t> modes = {0};
    modes.insert(modes.end(), MODES_AFTER_MENU.begin(), MODES_AFTER_MENU.end());
    EXPECT_EQ(script.modesSeen, modes);
    // Steering as designed all the same.
    EXPECT_EQ(s.afterPointer, s.serveX);
    EXPECT_EQ(s.afterSecondMove, s.afterKeys);
}

TEST(DesktopGame, PaddleSoundFromTheFileReachesTheBallAtStart) {
    struct Row {
        const char* ini;  // nullptr: no file
        bool on;
    } rows[] = {{nullptr, true}, {"paddle_sound = off\n", false}, {"paddle_sound = on\n", true}};
    for (const Row& r : rows) {
        GameFolder folder;
        if (r.ini != nullptr) {
            writeFileBytes("Data/desktop.ini", textBytes(r.ini));
        }
        setPaddleSound(!r.on);
        loadDesktopOptions();
        gameInit();
        EXPECT_EQ(paddleSoundEnabled(), r.on) << (r.ini != nullptr ? r.ini : "no file");
    }
}
