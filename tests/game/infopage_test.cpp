// The information page: key scrolling with its speed, drag and corner jumps, limits, the cheat panel.
#include <gtest/gtest.h>

#include "flowtest.h"
#include "game/game.h"
#include "field/gamevalues.h"
#include "game/modes.h"
#include "field/paddle.h"
#include "shell/input.h"
#include "shell/mainloop.h"

namespace {

// A 240 x 2400 page: it sits at x 0, and the offset runs from 0 to 2400 + 20 - 320 = 2100.
struct InfoFixture : FlowFixture {
    InfoFixture() {
        writeFlatPicture("strider.png", 240, 2400, 90);
        flow.pageY = 0;
        flow.scrollSpeed = 0;
        goTo(MODE_INFO_PAGE);
    }
};

}  // namespace

TEST(InfoPage, HeldKeysAccelerateTheScrollByHalfTheSpeedUpToTheLimit) {
    InfoFixture f;
    EXPECT_EQ(infoPageLeft(), 0);
    // Left and right are held and let go as in play.
    f.keyDown(37);
    f.keyDown(39);
    EXPECT_EQ(paddle.keyLeft + paddle.keyRight, 2);
    f.keyUp(37);
    f.keyUp(39);
    EXPECT_EQ(paddle.keyLeft + paddle.keyRight, 0);
    f.keyDown(40);
    EXPECT_EQ(paddle.keyDown, 1);
    int expected = 0;
    for (int k = 1; k <= 45; k++) {
        f.update();
        int speed = k < 40 ? k : 40;
        expected += speed >> 1;
        ASSERT_EQ(flow.scrollSpeed, speed) << k;
        ASSERT_EQ(flow.pageY, expected) << k;
    }
    f.keyUp(40);
    EXPECT_EQ(paddle.keyDown, 0);
    f.update();
    EXPECT_EQ(flow.scrollSpeed, 39);
    EXPECT_EQ(flow.pageY, expected + 19);
    f.update(200);
    EXPECT_EQ(flow.scrollSpeed, 0);
    // Held down to the end, the offset stops at the limit.
    f.keyDown(40);
    f.update(300);
    EXPECT_EQ(flow.pageY, 2100);
    f.keyUp(40);
    f.update(60);
    EXPECT_EQ(flow.scrollSpeed, 0);
    EXPECT_EQ(flow.pageY, 2100);
    // Upwards the arithmetic shift moves a pixel even at speed -1.
    f.keyDown(38);
    f.update();
    EXPECT_EQ(flow.scrollSpeed, -1);
    EXPECT_EQ(flow.pageY, 2099);
    f.update(400);
    EXPECT_EQ(flow.scrollSpeed, -40);
    EXPECT_EQ(flow.pageY, 0);
    // Up wins over down while both are held.
    f.keyDown(40);
    f.update();
    EXPECT_EQ(flow.scrollSpeed, -40);
    f.keyUp(38);
    f.update();
    EXPECT_EQ(flow.scrollSpeed, -39);
}

TEST(InfoPage, CornerJumpsAndDragStayWithinTheLimits) {
    InfoFixture f;
    flow.pageY = 500;
    f.tap(10, 10);
    EXPECT_EQ(flow.pageY, 400);
    f.tap(29, 291);
    EXPECT_EQ(flow.pageY, 500);
    f.tapEach({{30, 10}, {10, 30}, {10, 290}});
    EXPECT_EQ(flow.pageY, 500);
    f.press(100, 100);
    f.move(100, 50);
    EXPECT_EQ(flow.pageY, 550);
    f.move(100, 300);
    EXPECT_EQ(flow.pageY, 300);
    f.release(100, 300);
    f.move(100, 0);
    EXPECT_EQ(flow.pageY, 300);
    flow.pageY = 50;
    f.tap(10, 10);
    EXPECT_EQ(flow.pageY, 0);
    flow.pageY = 2050;
    f.press(10, 310);
    EXPECT_EQ(flow.pageY, 2100);
    f.move(10, 0);
    EXPECT_EQ(flow.pageY, 2100);
    f.release(10, 0);
    EXPECT_EQ(mainLoop.currentMode, MODE_INFO_PAGE);
}

// The lid is the page's 191 x 106 area at (14, 2173); at offset 2073 the compartment's top is on
// screen row 110 and its lines at 110 + 0, 23, 36, 49, 62, 75, 88.
TEST(InfoPage, ATapOnTheLidOpensTheCheatPanelAndItsLinesToggleTheOptions) {
    InfoFixture f;
    flow.pageY = 2073;
    EXPECT_EQ(game.cheatPanelOpen, 0);
    f.tapEach({{13, 150}, {205, 150}, {100, 109}, {100, 216}});
    EXPECT_EQ(game.cheatPanelOpen, 0);
    f.tap(14, 110);
    EXPECT_EQ(game.cheatPanelOpen, 1);
    for (int k = 1; k <= 150; k++) {
        f.update();
        ASSERT_EQ(game.cheatPanelAmount, k);
    }
    f.update(10);
    EXPECT_EQ(game.cheatPanelAmount, 150);

    Cheats& c = game.cheats;
    f.tap(100, 110 + 23);
    EXPECT_EQ(c.unlimitedLives, 1);
    f.tap(204, 110 + 23 + 12);
    EXPECT_EQ(c.unlimitedLives, 0);
    // Lines 2..6 turn their cheat on; a second tap on Fat Paddle turns it off.
    int32_t* const lines[5] = {&c.unlockAllLevels, &c.fatPaddle, &c.maxPowerUp, &c.seePowerUps, &c.disableDebris};
    for (int i = 0; i < 5; i++) {
        f.tap(100, 110 + 36 + 13 * i + 6);
        EXPECT_EQ(*lines[i], i == 1 ? 6 : 1) << i;
    }
    f.tap(100, 110 + 49 + 6);
    EXPECT_EQ(c.fatPaddle, 0);
    // Between the lines, beside the compartment and below it nothing happens.
    f.tapEach({{100, 110 + 13}, {100, 110 + 22}, {13, 110 + 23}, {205, 110 + 23}, {100, 110 + 101}});
    EXPECT_EQ(c.unlimitedLives, 0);
    EXPECT_EQ(c.unlockAllLevels, 1);
    EXPECT_EQ(game.cheatPanelOpen, 1);
    EXPECT_EQ(mainLoop.currentMode, MODE_INFO_PAGE);
    // The first line opens the editor.
    f.tap(100, 110 + 5);
    EXPECT_EQ(mainLoop.currentMode, MODE_EDITOR);
    mainLoop.currentMode = MODE_INFO_PAGE;

    // The lifted lid now stands 5 + 115 rows higher, at screen rows -10 .. 95; a tap there closes it.
    f.tap(100, 96);
    EXPECT_EQ(game.cheatPanelOpen, 1);
    f.tap(100, 95);
    EXPECT_EQ(game.cheatPanelOpen, 0);
    f.update(50);
    EXPECT_EQ(game.cheatPanelAmount, 100);
    // At 100 the lines no longer take taps.
    f.tap(100, 110 + 75 + 6);
    EXPECT_EQ(c.seePowerUps, 1);
    f.update(100);
    EXPECT_EQ(game.cheatPanelAmount, 0);
    f.update();
    EXPECT_EQ(game.cheatPanelAmount, 0);
}

TEST(InfoPage, TheLidMovesWhileItLifts) {
    InfoFixture f;
    flow.pageY = 2073;
    f.tap(100, 150);
    f.update(60);
    // Amount 60: shadow 5, lift 25: the lid covers screen rows 80 .. 185, from x 9.
    ASSERT_EQ(game.cheatPanelAmount, 60);
    f.tapEach({{100, 79}, {8, 100}});
    EXPECT_EQ(game.cheatPanelOpen, 1);
    f.tap(9, 185);
    EXPECT_EQ(game.cheatPanelOpen, 0);
    f.tap(100, 186);
    EXPECT_EQ(game.cheatPanelOpen, 0);
    f.tap(199, 80);
    EXPECT_EQ(game.cheatPanelOpen, 1);
}
