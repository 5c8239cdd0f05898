// Paddle: steering at the step limit, the zone, walls, frozen, the pile lift, burying, width easing.
#include <gtest/gtest.h>

#include "field/ball.h"
#include "field/debris.h"
#include "field/level.h"
#include "field/paddle.h"
#include "field/powerup.h"
#include "fieldkit.h"
#include "field/gamevalues.h"
#include "shell/input.h"

// Kit field, Easy: paddle at (120, 300), half width 18, zone 78 (top at row 242), step limit 3.
static void paddleField(void) {
    makeKitField();
    stylus.down = 0;
    stylus.x = 0;
    stylus.y = 0;
    game.updateCounter = 1;
}

// The stylus held at (x, y) for a number of updates, each halving the velocity first as play does.
static void steer(int x, int y, int updates) {
    stylus.down = 1;
    stylus.x = x;
    stylus.y = y;
    for (int t = 0; t < updates; t++) {
        halvePaddleVelocity();
        movePaddle();
    }
}

// Across the field from x 20 to 219, at the step limit the power-ups leave: every tick of play moves the
// paddle by the whole limit until the last part-step, and it stays on the target without drifting.
TEST(PaddleSteering, CrossingTheFieldTakesDistanceOverTheStepLimitTicks) {
    struct Row {
        int kind;  // power-up caught first, -1 for none
        int ticks;
    };
    for (Row row : {Row{-1, 67}, Row{POWERUP_QUICK_PADDLE, 29}, Row{POWERUP_SLUGGISH_PADDLE, 199}}) {
        paddleField();
        paddle.x = 20;
        paddle.fixedX = intToFixed(20);
        if (row.kind >= 0) {
            collectPowerUp(row.kind);
        }
        updatePowerUps();  // sets the step limit: 3, 7 or 1
        stylus.down = 1;
        stylus.x = 219;
        stylus.y = 312;
        int ticks = 0;
        for (; paddle.x != 219 && ticks < 1000; ticks++) {
            int32_t oldX = paddle.x, oldY = paddle.y;
            halvePaddleVelocity();
            movePaddle();
            stopIdlePaddle(oldX, oldY);
        }
        EXPECT_EQ(ticks, row.ticks) << "kind " << row.kind;
        steer(219, 312, 30);
        EXPECT_EQ((Ints{paddle.x, paddle.fixedX}), (Ints{219, intToFixed(219)})) << "kind " << row.kind;
    }
}

TEST(PaddleSteering, TheZoneWallsAndFrozenBoundTheMove) {
    paddleField();
    steer(120, 0, 400);  // far above the zone top: raised to row 242
    EXPECT_EQ(paddle.y, 242);
    steer(120, 400, 400);
    EXPECT_EQ(paddle.y, 319);

    paddleField();
    paintMap(150, 300, 10, 10, KIT_WALL);  // row 304 blocked from x 150
    steer(239, 312, 200);
    // The last tested pixel, x + 16, stays left of the wall.
    EXPECT_TRUE(paddle.x + 16 >= 147 && paddle.x + 16 <= 150) << paddle.x;

    paddleField();
    powerUps.counts[POWERUP_FROZEN_PADDLE] = 1;
    steer(200, 312, 20);
    EXPECT_EQ((Ints{paddle.x, paddle.fixedX}), (Ints{120, intToFixed(120)}));
    EXPECT_NE(paddle.vx, 0);
}

TEST(PaddlePile, ThePileLiftsThePaddleButNotAboveTheZoneNorOverAWall) {
    paddleField();
    paintMap(80, 295, 80, 25, KIT_CYAN);  // pile under the paddle up to row 295
    movePaddle();
    EXPECT_EQ((Ints{paddle.y, paddle.fixedY}), (Ints{290, intToFixed(290)}));  // row y + 4 = 294 is free

    paddleField();
    paintMap(80, 295, 80, 25, KIT_CYAN);
    paintMap(130, 304, 1, 1, KIT_WALL);  // a wall under the paddle does not lift it
    movePaddle();
    EXPECT_EQ(paddle.y, 300);

    // Pile above the zone top: the paddle stops there, buried; every ball bursts and it costs 1000.
    paddleField();
    paintMap(80, 230, 80, 90, KIT_CYAN);
    spawnBall(50, 50, 0, 512);
    spawnBall(60, 50, 0, 512);
    game.score = 5000;
    movePaddle();
    EXPECT_EQ((Ints{paddle.y, ballList.count, debrisList.count, game.score}), (Ints{242, 0, 40, 4000}));
    EXPECT_EQ(debrisList.pieces[39].colour, 0xFFFF);
}

TEST(PaddleWidth, GrowsOnePixelEveryFourthTickAndStopsAtAWall) {
    paddleField();
    paddle.targetHalfWidth = 30;
    // Offset 25 is tested (k = -h, -h + 2, ... below h) first with h = 27.
    paintMap(145, 304, 1, 1, KIT_WALL);
    Ints widths;
    for (int t = 0; t < 36; t++) {
        game.updateCounter = (uint32_t)t;
        movePaddle();
        if ((t & 3) == 0) {
            widths.push_back(paddle.halfWidth);
        }
    }
    // 27 touched the wall and shrank back.
    EXPECT_EQ(widths, (Ints{19, 20, 21, 22, 23, 24, 25, 26, 26}));
}
