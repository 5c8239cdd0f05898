// Drawing of the play field: balls with trails and the aiming line, debris, explosions, paddle, marks.
#include <gtest/gtest.h>

#include "field/ball.h"
#include "field/debris.h"
#include "field/effects.h"
#include "field/level.h"
#include "field/paddle.h"
#include "field/powerup.h"
#include "fieldkit.h"
#include "field/gamevalues.h"
#include "gfx/draw.h"
#include "shell/mainloop.h"

static const uint16_t BALL_A = packColour(31, 31, 31), BALL_B = packColour(0, 20, 31), BALL_C = packColour(31, 5, 5),
                      BALL_D = packColour(31, 5, 31);

// The four ball cells (plain, homing, through, both) in the kit's sprite sheet.
static void ballSheet(void) {
    const uint16_t colours[4] = {BALL_A, BALL_B, BALL_C, BALL_D};
    for (int c = 0; c < 4; c++) {
        for (int y = 32; y < 39; y++) {
            for (int x = 6 * c; x < 6 * c + (c == 3 ? 7 : 6); x++) {
                putPixel(effects.spritesPicture, x, y, colours[c]);
            }
        }
    }
}

TEST(DrawBalls, TheCellFollowsHomingAndThroughBallAndFastBallsLeaveATrail) {
    makeKitField();
    ballSheet();
    spawnBall(100, 100, 0, 512);
    game.readyCountdown = 0;
    const uint16_t expected[4] = {BALL_A, BALL_B, BALL_C, BALL_D};
    for (int c = 0; c < 4; c++) {
        clearSurface(backSurface);
        powerUps.counts[POWERUP_HOMING] = (int16_t)(c & 1);
        powerUps.counts[POWERUP_THROUGH_BALL] = (int16_t)(c >> 1);
        drawBalls();
        EXPECT_EQ(pixelsAt(backSurface, {{97, 97}, {96, 100}, {100, 104}}), (Ints{expected[c], 0, 0})) << c;
    }
    // Fast balls draw a fading trail of twice the last step.
    clearSurface(backSurface);
    powerUps.counts[POWERUP_HOMING] = powerUps.counts[POWERUP_THROUGH_BALL] = 0;
    ballList.balls[0].prevX = intToFixed(90);
    powerUps.counts[POWERUP_FAST_BALLS] = 1;
    drawBalls();
    // Four copies, 20 pixels apart (twice the 10-pixel step), weights 255 - 42 (j + 1).
    EXPECT_EQ(pixelsAt(backSurface, {{100, 100}, {80, 100}, {60, 100}, {40, 100}, {20, 100}}),
              (Ints{blendColour(BALL_A, BALL_A, 213), blendColour(BALL_A, 0, 171), blendColour(BALL_A, 0, 129),
                    blendColour(BALL_A, 0, 87), 0}));
}

TEST(DrawBalls, TheAimingLineMarchesWithTheUpdateCounterWhileTheCountdownRuns) {
    makeKitField();
    ballSheet();
    ballList.balls[0] = Ball{intToFixed(100), intToFixed(100), 0, 2988, intToFixed(100), intToFixed(100), 3000};
    ballList.count = 1;
    game.readyCountdown = 50;
    game.updateCounter = 5;
    drawBalls();
    // Straight down (angle 90): dot j at y = 100 + ((j x 255) >> 9), brightened by v >> 1 with
    // v = ((j >> 1) - counter) & 31 capped at (64 - j) >> 1; dots on one pixel add up. Row 104 holds
    // dots 9 (v 31, capped at 27) and 10 (v 0): 13; row 120 dots 41 and 42 (v 15 and 16, both capped at
    // 11): 10. One update later dot 10's v is 31 as well: row 104 doubles.
    EXPECT_EQ(pixelsAt(backSurface, {{100, 104}, {100, 120}}), (Ints{packColour(13, 13, 13), packColour(10, 10, 10)}));
    game.updateCounter = 6;
    clearSurface(backSurface);
    drawBalls();
    EXPECT_EQ(getPixel(backSurface, 100, 104), packColour(26, 26, 26));
    game.readyCountdown = 0;
    clearSurface(backSurface);
    drawBalls();
    EXPECT_EQ(getPixel(backSurface, 100, 120), 0);
}

TEST(DrawDebris, EachPieceIsOnePixelOfItsColour) {
    makeKitField();
    spawnDebris(50, 60, 0, 0, DEBRIS_PIECE, 0x1234);
    spawnDebris(51, 60, 0, 0, DEBRIS_SPARK, 0x4321);
    drawDebris();
    EXPECT_EQ(pixelsAt(backSurface, {{50, 60}, {51, 60}, {52, 60}}), (Ints{0x1234, 0x4321, 0}));
}

TEST(DrawExplosions, SmallOnesAnimateAdditivelyAndBigOnesBlendOverEmptyField) {
    makeKitField();
    clearSurface(effects.spritesPicture);
    putPixel(effects.spritesPicture, 2 * 32 + 16, 16, packColour(20, 10, 8));  // frame 2
    spawnExplosion(100, 100, EXPLOSION_SMALL);
    effects.explosions[0].age = 4;  // frame index 2: sequence[2] = 2
    drawExplosions();
    EXPECT_EQ(getPixel(backSurface, 100, 100), packColour(14, 4, 2));
    effects.explosions[0].age = 2;  // frame 1: nothing there
    clearSurface(backSurface);
    drawExplosions();
    EXPECT_EQ(getPixel(backSurface, 100, 100), 0);

    effects.explosionCount = 0;
    putPixel(effects.iconsPicture, 52 + 30, 1 + 37, packColour(0, 0, 16));  // mask weight 128
    putPixel(effects.iconsPicture, 1 + 30, 37, packColour(31, 0, 0));
    spawnExplosion(150, 150, EXPLOSION_BIG);
    drawExplosions();
    EXPECT_EQ(getPixel(backSurface, 150, 150), packColour(15, 0, 0));
    clearSurface(backSurface);
    paintMap(150, 150, 1, 1, KIT_WALL);
    drawExplosions();
    EXPECT_EQ(getPixel(backSurface, 150, 150), 0);
}

TEST(DrawExplosions, LifetimesAndTheFiftyLimit) {
    makeKitField();
    spawnExplosion(10, 10, EXPLOSION_SMALL);
    spawnExplosion(10, 10, EXPLOSION_BIG);
    // Small: still there at age 21 (21 >> 1 = 10), gone by 23; big: gone at the 71st update.
    Ints counts;
    for (int t = 1; t <= 71; t++) {
        updateExplosions();
        if (t == 21 || t == 23 || t == 70 || t == 71) {
            counts.push_back(effects.explosionCount);
        }
    }
    EXPECT_EQ(counts, (Ints{2, 1, 1, 0}));
    for (int i = 0; i < 60; i++) {
        spawnExplosion(i, i, EXPLOSION_SMALL);
    }
    EXPECT_EQ(effects.explosionCount, MAX_EXPLOSIONS);
}

TEST(DrawPaddle, PiecesFromTheBlocksPictureAndQuickPaddleGhosts) {
    makeKitField();
    paddle.x = 120;
    paddle.y = 300;
    paddle.halfWidth = 16;
    drawPaddle();
    const uint16_t cap = packColour(20, 20, 20), middle = packColour(10, 10, 30);
    // The left cap from (104, 299), 4 x 11; the right cap from 132.
    EXPECT_EQ(pixelsAt(backSurface, {{120, 303}, {104, 299}, {107, 309}, {135, 309}, {103, 303}, {136, 303},
                                     {120, 298}}),
              (Ints{middle, cap, cap, cap, 0, 0, 0}));

    clearSurface(backSurface);
    powerUps.counts[POWERUP_QUICK_PADDLE] = 1;
    paddle.vx = 1024;  // ghosts 4, 8 and 12 pixels behind
    drawPaddle();
    // The last ghost (k = 3) at x 108: its middle piece from 92, then its left cap over it.
    EXPECT_EQ(pixelsAt(backSurface, {{93, 305}, {91, 305}}),
              (Ints{blendColour(cap, blendColour(middle, 0, 140), 140), 0}));
}

TEST(DrawPowerUps, CapsulesActiveListAndPaddleMarks) {
    makeKitField();
    clearSurface(effects.powerUpsPicture);
    for (int k = 0; k < POWERUP_KINDS; k++) {
        putPixel(effects.powerUpsPicture, k * 24, 48, packColour(k + 1, 0, 0));  // the cell's top-left pixel
    }
    spawnFallingPowerUp(50, 60, 4);
    powerUps.capsules[0].age = 3;
    collectPowerUp(POWERUP_FROZEN_PADDLE);
    collectPowerUp(POWERUP_QUICK_PADDLE);
    paddle.x = 120;
    paddle.y = 280;
    drawPowerUps();
    // The capsule of kind 4 (red 5) at phase 3; entries 0 and 1 at (12, 12) and (12, 28), phase 0; on the
    // paddle frozen, then quick 24 below, no sluggish 12 below.
    EXPECT_EQ(pixelsAt(backSurface, {{38, 48}, {0, 0}, {0, 16}, {108, 268}, {108, 292}, {108, 280}}),
              (Ints{packColour(2, 0, 0), packColour(17, 0, 0), packColour(14, 0, 0), packColour(17, 0, 0),
                    packColour(14, 0, 0), 0}));
}
