// The three splash screens: fade counter, the two-second hold, taps, the loading batches and their order.
#include <gtest/gtest.h>

#include <cstdio>

#include "flowtest.h"
#include "game/game.h"
#include "field/gamevalues.h"
#include "game/modes.h"
#include "game/startup.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "platform/headless/headless.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "shell/overlay.h"
#include "sound/mixer.h"
#include "sound/music.h"
#include "sound/sample.h"

TEST(Splash, StartUpShowsTheLogoWhichHoldsAtTwoNinetyUntilTwoWholeSecondsHavePassed) {
    FlowFixture f;
    EXPECT_EQ(mainLoop.currentMode, MODE_SPLASH_LOGO);
    EXPECT_EQ(overlay.off, 1);
    EXPECT_EQ(music.requestedTrack, -1);
    EXPECT_EQ(music.wantedTrack, -1);
    EXPECT_EQ(music.playingTrack, -1);
    f.apply();
    EXPECT_EQ(flow.logoCounter, 0);
    f.update();
    int64_t start = flow.logoStart;
    EXPECT_EQ(start, platformCounter());
    EXPECT_EQ(flow.logoCounter, 10);
    for (int i = 2; i <= 29; i++) {
        f.update();
        ASSERT_EQ(flow.logoCounter, 10 * i);
    }
    ASSERT_EQ(flow.logoCounter, 290);
    int held = 0;
    while (flow.logoCounter == 290) {
        f.update();
        if (flow.logoCounter == 290) {
            ASSERT_LE(platformCounter() - start, 2 * HEADLESS_TICKS_PER_SECOND - 1);
            held++;
        }
    }
    // The update that moves on is the first at which two whole seconds have passed.
    EXPECT_GE(platformCounter() - start, 2 * HEADLESS_TICKS_PER_SECOND);
    EXPECT_LT(platformCounter() - start - mainLoop.updateStep, 2 * HEADLESS_TICKS_PER_SECOND);
    EXPECT_EQ(flow.logoCounter, 300);
    EXPECT_GT(held, 80);
    // 300 .. 550 and the update that passes 550.
    for (int c = 310; c <= 550; c += 10) {
        f.update();
        ASSERT_EQ(flow.logoCounter, c);
        ASSERT_EQ(mainLoop.currentMode, MODE_SPLASH_LOGO);
    }
    f.update();
    EXPECT_EQ(flow.logoCounter, 560);
    EXPECT_EQ(mainLoop.currentMode, MODE_SPLASH_INTRO);
}

TEST(Splash, ATapDuringTheHoldContinuesAtOnce) {
    FlowFixture f;
    f.goTo(MODE_SPLASH_INTRO);
    f.update(29);
    ASSERT_EQ(flow.splashCounter, 290);
    f.update(10);
    ASSERT_EQ(flow.splashCounter, 290);
    f.press(120, 160);
    f.update();
    EXPECT_EQ(flow.splashCounter, 300);
    f.update(3);
    EXPECT_EQ(flow.splashCounter, 330);
    // Let go, and the splash holds again until its two seconds are up.
    f.release(120, 160);
    f.update(5);
    EXPECT_EQ(flow.splashCounter, 330);
    f.press(120, 160);
    int n = f.runWhile(MODE_SPLASH_INTRO, 100);
    EXPECT_EQ(n, 23);
    EXPECT_EQ(mainLoop.currentMode, MODE_SPLASH_MONKEY);
    EXPECT_EQ(flow.splashCounter, 560);
    // The monkey splash shares the counter and starts it again.
    f.apply();
    EXPECT_EQ(flow.splashCounter, 0);
}

TEST(Splash, LogoLoadsTheSettingsAndTheEffectsWhenItsCounterReachesTwoEighty) {
    FlowFixture f;
    for (int i = 0; i < EFFECT_FILES; i++) {
        replaceFileBytes(std::string("Sound/") + effectFiles[i].name, std::vector<uint8_t>(2 * (i + 2), 0));
    }
    logLevel = 1;
    clearLog();
    setVolume(1, 17);
    // Held from the very start: the hold is the only thing a tap can shorten.
    f.press(10, 10);
    f.apply();
    f.update(27);
    EXPECT_EQ(flow.logoCounter, 270);
    EXPECT_EQ(logText().find("Unable to load settings"), std::string::npos);
    EXPECT_EQ(getVolume(1), 17);
    f.update();
    EXPECT_EQ(flow.logoCounter, 280);
    EXPECT_NE(logText().find("[WARNING] Unable to load settings. Setting defaults."), std::string::npos);
    EXPECT_EQ(getVolume(1), 220);
    EXPECT_EQ(game.difficulty, 1);
    EXPECT_EQ(controlKeys[5], 27);
    for (int i = 0; i < EFFECT_FILES; i++) {
        const Sound& s = sounds[effectFiles[i].id];
        ASSERT_NE(s.data, nullptr) << effectFiles[i].name;
        EXPECT_EQ(s.length, i + 2) << effectFiles[i].name;
        EXPECT_EQ(s.soundClass, 0);
    }
    EXPECT_EQ(sounds[10].length, 2);  // "cleep2.raw" first
    EXPECT_EQ(sounds[16].length, 15);  // "paddletap.raw" last
    // The batch runs once.
    clearLog();
    f.runWhile(MODE_SPLASH_LOGO, 1000);
    EXPECT_EQ(logText().find("Unable to load settings"), std::string::npos);
    EXPECT_EQ(mainLoop.currentMode, MODE_SPLASH_INTRO);
}

TEST(Splash, IntroMeasuresTheFontsAtGammaEightyAndLoadsTheTitleMusicWithoutStartingIt) {
    FlowFixture f;
    replaceFileBytes("Sound/coolcat.raw", std::vector<uint8_t>(100, 3));
    replaceFileBytes("Sound/scream.raw", std::vector<uint8_t>(60, 3));
    // A font picture of mid greys: its pixels differ between gamma 80 and 128.
    std::vector<uint8_t> rgb(40 * 30 * 3, 0);
    for (int y = 5; y < 20; y++) {
        for (int x = 3; x < 8; x++) {
            for (int k = 0; k < 3; k++) {
                rgb[(y * 40 + x) * 3 + k] = 100;
            }
        }
    }
    rgb[(12 * 40 + 0) * 3 + 2] = 200;  // the baseline marker in column 0
    std::remove("Data/c_tickertape.png");
    writeTestPngRgb("Data/c_tickertape.png", 40, 30, rgb);
    setGamma(128);
    Surface* at128 = nullptr;
    loadPicture("c_tickertape.png", &at128);
    setGamma(80);
    Surface* at80 = nullptr;
    loadPicture("c_tickertape.png", &at80);
    ASSERT_NE(getPixel(at80, 4, 10), getPixel(at128, 4, 10));
    setGamma(100);

    f.goTo(MODE_SPLASH_INTRO);
    f.update(28);
    EXPECT_EQ(fonts[0], nullptr);
    EXPECT_EQ(flow.splashCounter, 280);
    f.update();
    ASSERT_NE(fonts[0], nullptr);
    ASSERT_NE(fonts[1], nullptr);
    EXPECT_EQ(getGamma(), 100);
    EXPECT_EQ(fonts[0]->picture, flowPictures.fontTickerTape);
    EXPECT_EQ(fonts[1]->picture, flowPictures.fontNeopolitical);
    for (int y = 0; y < 30; y++) {
        for (int x = 0; x < 40; x++) {
            ASSERT_EQ(getPixel(flowPictures.fontTickerTape, x, y), getPixel(at80, x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(fonts[0]->referenceRow, 12);
    EXPECT_EQ(fonts[0]->glyphX['!'], 3);
    EXPECT_EQ(fonts[0]->glyphWidth['!'], 5);
    ASSERT_NE(sounds[15].data, nullptr);
    EXPECT_EQ(sounds[15].soundClass, 1);
    EXPECT_EQ(sounds[15].length, 100);
    ASSERT_NE(sounds[11].data, nullptr);
    EXPECT_EQ(sounds[11].soundClass, 0);
    EXPECT_EQ(f.voicePlaying(15), 0);
    removeSurface(&at128);
    removeSurface(&at80);
}

TEST(Splash, MonkeyPlaysItsJingleAtTwoEightyAndStartsTheTitleMusicOnLeaving) {
    FlowFixture f;
    replaceFileBytes("Sound/monkey.raw", std::vector<uint8_t>(400, 5));
    f.loadTestSound(15);
    f.goTo(MODE_SPLASH_MONKEY);
    ASSERT_NE(flowPictures.blackScreen, nullptr);
    EXPECT_EQ(flowPictures.blackScreen->width, 240);
    EXPECT_EQ(flowPictures.blackScreen->height, 320);
    EXPECT_EQ(getPixel(flowPictures.blackScreen, 120, 160), 0);
    ASSERT_NE(sounds[20].data, nullptr);
    EXPECT_EQ(sounds[20].length, 400);
    f.update(28);
    EXPECT_EQ(f.voicePlaying(20), 0);
    f.update();
    EXPECT_EQ(f.voicePlaying(20), 1);
    f.press(5, 5);
    f.runWhile(MODE_SPLASH_MONKEY, 100);
    EXPECT_EQ(mainLoop.currentMode, MODE_MAIN_MENU);
    EXPECT_EQ(music.requestedTrack, 0);
    EXPECT_EQ(f.voicePlaying(15), 0);
    f.apply();
    EXPECT_EQ(flowPictures.blackScreen, nullptr);
    EXPECT_EQ(flowPictures.monkey, nullptr);
    EXPECT_EQ(f.voicePlaying(15), 1);
    EXPECT_EQ(sounds[15].loopEnd, sounds[15].length);
}
