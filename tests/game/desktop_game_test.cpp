// The game with the desktop options: follow_pointer steering, skip_intro, paddle_sound from the file.
#include <gtest/gtest.h>

#include <filesystem>

#include "field/ball.h"
#include "field/effects.h"
#include "field/paddle.h"
#include "field/gamevalues.h"
#include "flowtest.h"
#include "game/game.h"
#include "game/modes.h"
#include "game/settings.h"
#include "shell/desktop.h"
#include "shell/mainloop.h"
#include "sound/mixer.h"

// During the ready count the pointer moves without the button, then the right key steers, then the
// pointer moves again. As designed the stylus steers only while the button is held; follow_pointer
// steers without it until a key steers, and again once the pointer moves.
TEST(DesktopGame, FollowPointerSteersWithoutTheButtonUntilAKeySteers) {
    for (int follow : {0, 1}) {
        SCOPED_TRACE(follow);
        FlowFixture f;
        desktopOptions.followPointer = follow;
        setDefaultSettings();
        game.levelIndex = 0;
        f.goTo(MODE_NEW_GAME);
        f.update(2);
        f.apply();
        ASSERT_EQ(mainLoop.currentMode, MODE_PLAY);
        EXPECT_EQ(paddle.x, 120);
        f.move(40, 300);
        f.update(90);
        EXPECT_EQ(paddle.x, follow ? 40 : 120);
        f.keyDown(39);
        f.update(20);
        f.keyUp(39);
        f.update(60);
        int32_t afterKeys = paddle.x;
        EXPECT_GT(afterKeys, (follow ? 40 : 120) + 4);
        f.move(200, 300);
        f.update(90);
        EXPECT_EQ(paddle.x, follow ? 200 : afterKeys);
        EXPECT_GT(game.readyCountdown, 0) << "the ball was served during the steering";
    }
}

TEST(DesktopGame, SkipIntroGoesStraightToTheMenuWithEverythingLoaded) {
    FlowFixture f;
    desktopOptions.skipIntro = 1;
    gameInit();
    EXPECT_EQ(mainLoop.currentMode, MODE_MAIN_MENU);
    EXPECT_NE(flowPictures.fontTickerTape, nullptr);
    EXPECT_NE(effects.spritesPicture, nullptr);
    EXPECT_FALSE(isSoundIdle(15));
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
        EXPECT_EQ(std::filesystem::exists("Data/desktop.ini"), r.ini != nullptr);
    }
}
