// Paddle: steering by stylus and keys, the zone, walls, frozen, the pile lift, burying, width easing.
#include <gtest/gtest.h>

#include "field/ball.h"
#include "field/debris.h"
#include "field/level.h"
#include "field/paddle.h"
#include "field/powerup.h"
#include "fieldkit.h"
#include "game/gamevalues.h"
#include "shell/input.h"

// Kit field, Easy: paddle at (120, 300), half width 18, zone 78 (top at row 242), step limit 3.
static void paddleField(void) {
    makeKitField();
    stylusDown = 0;
    stylusX = 0;
    stylusY = 0;
    game.updateCounter = 1;
}

TEST(PaddleSteering, TheStylusPullsAtTheStepLimitWithSmoothing) {
    paddleField();
    stylusDown = 1;
    stylusX = 200;
    stylusY = 312;  // aims at the paddle's own line
    movePaddle();
    EXPECT_EQ(paddle.vx, 768);  // (0 x 3 + 3 x 256 x 4) >> 2
    EXPECT_EQ(paddle.vy, 0);
    EXPECT_EQ(paddle.fixedX, (120 << 10) + 768);
    EXPECT_EQ(paddle.x, 120);
    for (int t = 0; t < 40; t++) {
        halvePaddleVelocity();
        movePaddle();
    }
    EXPECT_EQ(paddle.vx, 1227);  // steady: v = (3 (v >> 1) + 3072) >> 2, reached from below
    EXPECT_GT(paddle.x, 160);
    EXPECT_EQ(paddle.y, 300);
    // The swallowed press does not steer.
    paddle.swallow = 1;
    int32_t x = paddle.x;
    movePaddle();
    EXPECT_EQ(paddle.vx, 1227);
    EXPECT_EQ(paddle.x, x);
}

TEST(PaddleSteering, KeysAimFurtherTheLongerTheyAreHeld) {
    paddleField();
    paddle.keyLeft = 1;
    movePaddle();
    EXPECT_EQ(paddle.keyHold, 1);
    EXPECT_EQ(paddle.vx, -255);  // target x = 120 + ((-1 x 1) >> 2) = 119: one pixel left, (1 x -255 x 4) >> 2
    for (int t = 0; t < 10; t++) {
        movePaddle();
    }
    EXPECT_EQ(paddle.keyHold, 11);
    EXPECT_LT(paddle.vx, 0);
    EXPECT_LT(paddle.x, 120);
    paddle.keyLeft = 0;
    movePaddle();
    EXPECT_EQ(paddle.keyHold, 0);
}

TEST(PaddleSteering, TheZoneTopAndTheBottomBoundTheLine) {
    paddleField();
    stylusDown = 1;
    stylusX = 120;
    stylusY = 0;  // far above the zone top: raised to row 242
    for (int t = 0; t < 400; t++) {
        halvePaddleVelocity();
        movePaddle();
    }
    EXPECT_EQ(paddle.y, 242);
    stylusY = 400;
    for (int t = 0; t < 400; t++) {
        halvePaddleVelocity();
        movePaddle();
    }
    EXPECT_EQ(paddle.y, 319);
}

TEST(PaddleSteering, AWallInThePaddleRowStopsIt) {
    paddleField();
    paintMap(150, 300, 10, 10, KIT_WALL);  // row 304 blocked from x 150
    stylusDown = 1;
    stylusX = 239;
    stylusY = 312;
    for (int t = 0; t < 200; t++) {
        halvePaddleVelocity();
        movePaddle();
    }
    EXPECT_LE(paddle.x + 16, 150);  // the last tested pixel, x + 16, stays left of the wall
    EXPECT_GE(paddle.x + 16, 147);
}

TEST(PaddleSteering, FrozenPaddleKeepsItsPlace) {
    paddleField();
    powerUpCounts[POWERUP_FROZEN_PADDLE] = 1;
    stylusDown = 1;
    stylusX = 200;
    stylusY = 312;
    for (int t = 0; t < 20; t++) {
        movePaddle();
    }
    EXPECT_EQ(paddle.x, 120);
    EXPECT_EQ(paddle.fixedX, 120 << 10);
    EXPECT_NE(paddle.vx, 0);
}

TEST(PaddlePile, ThePileLiftsThePaddleButNotAboveTheZone) {
    paddleField();
    paintMap(80, 295, 80, 25, KIT_CYAN);  // pile under the paddle up to row 295
    movePaddle();
    EXPECT_EQ(paddle.y, 290);  // row y + 4 = 294 is the first row above the pile
    EXPECT_EQ(paddle.fixedY, 290 << 10);

    paddleField();
    paintMap(80, 230, 80, 90, KIT_CYAN);  // pile above the zone top
    movePaddle();
    EXPECT_EQ(paddle.y, 242);
}

TEST(PaddlePile, AWallUnderThePaddleDoesNotLiftIt) {
    paddleField();
    paintMap(80, 295, 80, 25, KIT_CYAN);
    paintMap(130, 304, 1, 1, KIT_WALL);
    movePaddle();
    EXPECT_EQ(paddle.y, 300);
}

TEST(PaddlePile, BuriedPaddleBurstsEveryBallAndCostsAThousand) {
    paddleField();
    paintMap(80, 230, 80, 90, KIT_CYAN);
    spawnBall(50, 50, 0, 512);
    spawnBall(60, 50, 0, 512);
    game.score = 5000;
    movePaddle();
    EXPECT_EQ(ballCount, 0);
    EXPECT_EQ(debrisCount, 40);
    EXPECT_EQ(game.score, 4000);
    for (int i = 0; i < debrisCount; i++) {
        EXPECT_EQ(debris[i].colour, 0xFFFF);
    }
    movePaddle();  // no balls: nothing more
    EXPECT_EQ(game.score, 4000);
}

TEST(PaddleWidth, GrowsOnePixelEveryFourthTickAndStopsAtAWall) {
    paddleField();
    paddle.targetHalfWidth = 30;
    // Offset 25 is tested (k = -h, -h + 2, ... below h) first with h = 27.
    paintMap(145, 304, 1, 1, KIT_WALL);
    int widths[9];
    for (int t = 0; t < 36; t++) {
        game.updateCounter = (uint32_t)t;
        movePaddle();
        if ((t & 3) == 0) {
            widths[t >> 2] = paddle.halfWidth;
        }
    }
    EXPECT_EQ(widths[0], 19);
    EXPECT_EQ(widths[1], 20);
    EXPECT_EQ(widths[7], 26);
    EXPECT_EQ(widths[8], 26);  // 27 touched the wall and shrank back
    EXPECT_EQ(paddle.halfWidth, 26);
}

TEST(PaddleWidth, ShrinksFreelyTowardsASmallerTarget) {
    paddleField();
    paddle.targetHalfWidth = 10;
    for (int t = 0; t < 40; t++) {
        game.updateCounter = (uint32_t)t;
        movePaddle();
    }
    EXPECT_EQ(paddle.halfWidth, 10);
}

TEST(PaddleTick, AnUnmovedAxisLosesItsVelocity) {
    paddleField();
    paddle.vx = 500;
    paddle.vy = 700;
    paddle.y = 299;
    stopIdlePaddle(120, 300);
    EXPECT_EQ(paddle.vx, 0);
    EXPECT_EQ(paddle.vy, 700);
}

TEST(PaddleZone, ZoneHeightEasesOneRowATick) {
    paddleField();
    paddle.zoneHeight = 78;
    paddle.targetZoneHeight = 98;
    movePaddle();
    EXPECT_EQ(paddle.zoneHeight, 79);
    paddle.targetZoneHeight = 50;
    movePaddle();
    EXPECT_EQ(paddle.zoneHeight, 78);
}
