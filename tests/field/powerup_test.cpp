// Power-ups: catching, score and entries, every kind's duration and effect, shedding, Drain, Lower Pile.
#include <gtest/gtest.h>

#include "field/ball.h"
#include "field/blocks.h"
#include "field/debris.h"
#include "field/effects.h"
#include "field/level.h"
#include "field/paddle.h"
#include "field/powerup.h"
#include "fieldkit.h"
#include "field/gamevalues.h"
#include "gfx/blit.h"

// Ticks the power-up pass until the only entry has ended; returns how many ticks that took (0: never).
static int ticksUntilEnded(int limit) {
    for (int t = 1; t <= limit; t++) {
        game.updateCounter++;
        updatePowerUps();
        if (powerUps.activeCount == 0) {
            return t;
        }
    }
    return 0;
}

static void collectTimes(int kind, int times) {
    for (int i = 0; i < times; i++) {
        collectPowerUp(kind);
    }
}

TEST(PowerUpCatch, CaughtAtHalfWidthPlusSevenMissedAtPlusEightAndLostBelowTheField) {
    makeKitField();
    paddle.x = 120;
    paddle.y = 300;
    spawnFallingPowerUp(145, 295, POWERUP_WIDE_PADDLE);
    updateFallingPowerUps();
    EXPECT_EQ((Ints{powerUps.capsuleCount, powerUps.activeCount, powerUps.counts[POWERUP_WIDE_PADDLE], game.score}),
              (Ints{0, 1, 1, 50}));

    makeKitField();
    spawnFallingPowerUp(146, 295, POWERUP_WIDE_PADDLE);
    spawnFallingPowerUp(94, 295, POWERUP_WIDE_PADDLE);  // 120 - 26 on the left: missed too
    updateFallingPowerUps();
    EXPECT_EQ((Ints{powerUps.capsuleCount, powerUps.activeCount, powerUps.capsules[0].y, powerUps.capsules[0].vy, powerUps.capsules[0].age}),
              (Ints{2, 0, intToFixed(295) + 500, 530, 1}));

    makeKitField();
    paddle.x = 20;
    spawnFallingPowerUp(120, 320, POWERUP_EXTRA_LIFE);  // row 320 is still the field's
    updateFallingPowerUps();
    EXPECT_EQ(powerUps.capsuleCount, 1);
    powerUps.capsules[0].y = intToFixed(321);
    updateFallingPowerUps();
    EXPECT_EQ((Ints{powerUps.capsuleCount, powerUps.activeCount}), (Ints{0, 0}));
    // Forty capsules at most; unknown kinds never fall.
    for (int i = 0; i < 41; i++) {
        spawnFallingPowerUp(120, 10, POWERUP_HOMING);
    }
    spawnFallingPowerUp(120, 10, 22);
    spawnFallingPowerUp(120, 10, -1);
    EXPECT_EQ(powerUps.capsuleCount, MAX_CAPSULES);
}

TEST(PowerUpCollect, AFullListStillScoresAndShakes) {
    makeKitField();
    collectTimes(POWERUP_HOMING, 20);
    EXPECT_EQ((Ints{powerUps.activeCount, game.score}), (Ints{20, 2000}));
    collectPowerUp(POWERUP_BALL_SHOWER);
    EXPECT_EQ((Ints{powerUps.activeCount, powerUps.counts[POWERUP_BALL_SHOWER], game.score, game.shake}),
              (Ints{20, 0, 3000, 16}));
    collectPowerUp(POWERUP_BALL_KILLER);
    collectPowerUp(99);  // unknown: nothing at all
    EXPECT_EQ(game.score, 2000);
}

TEST(PowerUpKinds, EveryKindScoresAndEndsOnItsTickDoubledByMaxPowerUpButTheFixedOnes) {
    static const int table[POWERUP_KINDS][3] = {
        {100, 300, 600},    {100, 300, 600},   {1000, 255, 510}, {100, 32, 64},    {100, 700, 1400},
        {50, 2000, 4000},   {-200, 2000, 4000}, {100, 500, 1000}, {100, 129, 258},  {100, 5, 5},
        {-200, 2000, 2000}, {100, 300, 600},   {100, 1000, 2000}, {50, 2000, 4000}, {-1000, 1, 1},
        {100, 1, 1},        {-200, 300, 600},  {100, 2000, 4000}, {-200, 2000, 2000}, {100, 3000, 6000},
        {100, 1, 1},        {100, 1, 1}};
    for (int k = 0; k < POWERUP_KINDS; k++) {
        SCOPED_TRACE(k);
        for (int maxPowerUp = 0; maxPowerUp <= 1; maxPowerUp++) {
            makeKitField();
            game.cheats.maxPowerUp = maxPowerUp;
            collectPowerUp(k);
            EXPECT_EQ((Ints{game.score, powerUps.counts[k], findPowerUp(k)}), (Ints{table[k][0], 1, 0}));
            EXPECT_EQ(ticksUntilEnded(20000), table[k][1 + maxPowerUp]);
            EXPECT_EQ(powerUps.counts[k], 0);
        }
    }
}

TEST(PowerUpEffects, PaddleTargetsAndStepLimit) {
    // Fat paddle cheat, kinds collected (and how often), then the target half width, step limit and
    // target zone height after one pass. Quick paddle adds 4 to the step limit while below 10.
    const int cases[][8] = {
        {0, POWERUP_WIDE_PADDLE, 2, -1, 0, 30, 3, 78},
        {0, POWERUP_NARROW_PADDLE, 3, -1, 0, 4, 3, 78},
        {6, POWERUP_SLUGGISH_PADDLE, 1, -1, 0, 24, 1, 78},
        {6, POWERUP_SLUGGISH_PADDLE, 1, POWERUP_QUICK_PADDLE, 3, 24, 13, 78},
        {0, POWERUP_ZONE_UP, 1, -1, 0, 18, 3, 98},
        {0, POWERUP_ZONE_UP, 16, -1, 0, 18, 3, 315},
        {0, POWERUP_ZONE_DOWN, 5, -1, 0, 18, 3, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c[1] * 100 + c[2]);
        makeKitField();
        game.cheats.fatPaddle = c[0];
        collectTimes(c[1], c[2]);
        collectTimes(c[3], c[4]);
        updatePowerUps();
        EXPECT_EQ((Ints{paddle.targetHalfWidth, paddle.stepLimit, paddle.targetZoneHeight}), (Ints{c[5], c[6], c[7]}));
    }
}

TEST(PowerUpEffects, TwoFastBallsEntriesGiveFourExtraSteps) {
    makeKitField();
    paddle.x = 20;
    ballList.balls[0] = Ball{intToFixed(100), intToFixed(100), 1000, 0, intToFixed(100), intToFixed(100), 1000};
    ballList.count = 1;
    collectTimes(POWERUP_FAST_BALLS, 2);
    updatePowerUps();
    EXPECT_EQ(ballList.balls[0].x, intToFixed(100) + 4000);
}

TEST(PowerUpEffects, BallShowerLaunchesABallEveryOtherTickAndFountainABallEveryEighth) {
    makeKitField();
    paddle.vx = 3000;
    collectPowerUp(POWERUP_BALL_SHOWER);
    for (int t = 0; t < 255; t++) {
        game.updateCounter++;
        updatePowerUps();
    }
    // Counter and update counter run together from 1: balls at 2, 4, ... 62.
    EXPECT_EQ(ballList.count, 31);
    for (int i = 0; i < ballList.count; i++) {
        EXPECT_EQ(ballList.balls[i].speed, 2500);
        EXPECT_GT(fixedToInt(ballList.balls[i].prevY), 280);
        EXPECT_LT(ballList.balls[i].vy, 0);
    }

    // The fountain sparks every tick as well.
    makeKitField();
    collectPowerUp(POWERUP_FOUNTAIN);
    EXPECT_EQ(ticksUntilEnded(100), 32);
    EXPECT_EQ((Ints{ballList.count, debrisList.count}), (Ints{4, 320}));
    for (int i = 0; i < debrisList.count; i++) {
        EXPECT_EQ((Ints{debrisList.pieces[i].type, fixedToInt(debrisList.pieces[i].y)}), (Ints{DEBRIS_SPARK, paddle.y - 2}));
        EXPECT_LE(debrisList.pieces[i].vy, -2048);
    }
}

TEST(PowerUpEffects, BallSplitStopsAtFourBallsPerEntryAndNeedsBreakableBlocks) {
    makeKitField();
    addLevelBlock(10, 10, KIT_BRICK);
    spawnBall(100, 100, 0, 512);
    collectPowerUp(POWERUP_BALL_SPLIT);
    for (int t = 0; t < 700; t++) {
        game.updateCounter++;
        updatePowerUps();
        ASSERT_LE(ballList.count, 4);
    }
    EXPECT_EQ(ballList.count, 4);
    makeKitField();
    addLevelBlock(10, 10, KIT_STEEL);
    currentLevel.indestructibleCount = 1;
    spawnBall(100, 100, 0, 512);
    collectPowerUp(POWERUP_BALL_SPLIT);
    ticksUntilEnded(1000);
    EXPECT_EQ(ballList.count, 1);
}

TEST(PowerUpEffects, DemolitionBreaksSixteenBlocksAnyTypeWithSmallExplosions) {
    makeKitField();
    for (int i = 0; i < 20; i++) {
        addLevelBlock(10 + 11 * (i % 10), 10 + 10 * (i / 10), i < 10 ? KIT_STEEL : KIT_BRICK);
    }
    currentLevel.indestructibleCount = 10;
    collectPowerUp(POWERUP_DEMOLITION);
    ticksUntilEnded(200);
    EXPECT_EQ((Ints{currentLevel.blockCount, effects.explosionCount, effects.explosions[0].kind}), (Ints{4, 16, EXPLOSION_SMALL}));
    int steel = 0;
    for (int i = 0; i < currentLevel.blockCount; i++) {
        steel += currentLevel.blocks[i].type == 0;
    }
    EXPECT_EQ(currentLevel.indestructibleCount, steel);
}

TEST(PowerUpEffects, BombBreaksOneBlockOrThreeWithMaxPowerUpAndNothingWithoutBlocks) {
    for (int blocks : {5, 0}) {
        for (int maxPowerUp = 0; maxPowerUp <= 1; maxPowerUp++) {
            SCOPED_TRACE(blocks * 10 + maxPowerUp);
            makeKitField();
            game.cheats.maxPowerUp = maxPowerUp;
            for (int i = 0; i < blocks; i++) {
                addLevelBlock(10 + 11 * i, 10, KIT_BRICK);
            }
            collectPowerUp(POWERUP_BOMB);
            int score = game.score, broken = blocks == 0 ? 0 : 1 + 2 * maxPowerUp;
            ticksUntilEnded(10);
            EXPECT_EQ((Ints{currentLevel.blockCount, effects.explosionCount}), (Ints{blocks - broken, broken}));
            if (broken > 0) {
                EXPECT_EQ(effects.explosions[0].kind, EXPLOSION_BIG);
            } else {
                EXPECT_EQ(game.score, score);
            }
        }
    }
}

TEST(PowerUpEffects, BallKillerBurstsEveryBallInItsColourAndExtraLifeAddsALife) {
    makeKitField();
    for (int x : {50, 80, 110}) {
        spawnBall(x, 50, 0, 512);
    }
    game.lives = 32;
    collectPowerUp(POWERUP_THROUGH_BALL);
    collectPowerUp(POWERUP_BALL_KILLER);
    collectPowerUp(POWERUP_EXTRA_LIFE);
    updatePowerUps();
    EXPECT_EQ((Ints{ballList.count, debrisList.count, debrisList.pieces[0].colour, findPowerUp(POWERUP_BALL_KILLER), game.lives}),
              (Ints{0, 60, 0xF9C7, -1, 33}));
}

TEST(PowerUpEffects, LasersBreakBlocksAboveTheirBeamsButNotSteel) {
    makeKitField();
    paddle.x = 120;
    // Beams at 120 - 18 + 2 = 104 and 120 + 18 - 3 = 135.
    addLevelBlock(100, 50, KIT_BRICK);
    addLevelBlock(130, 50, KIT_STEEL);
    currentLevel.indestructibleCount = 1;
    redrawField();
    collectPowerUp(POWERUP_LASER);
    for (int t = 0; t < 299; t++) {
        updatePowerUps();
    }
    EXPECT_EQ((Ints{currentLevel.blockCount, currentLevel.blocks[0].type}), (Ints{1, KIT_STEEL}));
}

TEST(PowerUpEffects, RevealShowsMarksWhileActive) {
    makeKitField();
    addLevelBlock(100, 100, KIT_BRICK, 1 + POWERUP_HOMING);
    redrawField();
    uint64_t plain = hashSurface(currentLevel.fieldPicture);
    collectPowerUp(POWERUP_REVEAL);
    EXPECT_NE(hashSurface(currentLevel.fieldPicture), plain);
    expirePowerUp(0);
    EXPECT_EQ(hashSurface(currentLevel.fieldPicture), plain);
}

TEST(PowerUpShed, EasyEndsOneEntryOfEachHarmfulKindHarderKeepsThem) {
    static const int kinds[] = {POWERUP_NARROW_PADDLE, POWERUP_NARROW_PADDLE, POWERUP_SLUGGISH_PADDLE,
                                POWERUP_ZONE_DOWN,     POWERUP_FROZEN_PADDLE, POWERUP_FAST_BALLS,
                                POWERUP_WIDE_PADDLE};
    for (int d = 1; d <= 4; d++) {
        makeKitField();
        game.difficulty = d;
        for (int k : kinds) {
            collectPowerUp(k);
        }
        shedBadPowerUps();
        EXPECT_EQ(powerUps.activeCount, d == 1 ? 2 : 7) << d;
        if (d == 1) {
            EXPECT_EQ((Ints{powerUps.counts[POWERUP_NARROW_PADDLE], powerUps.counts[POWERUP_WIDE_PADDLE],
                            powerUps.counts[POWERUP_FAST_BALLS]}),
                      (Ints{1, 1, 0}));
        }
    }
}

// A pile of 40 rows (280..319) from x 60 to 179, red 20 in the field picture.
static void buildPile(void) {
    makeKitField();
    paintMap(60, 280, 120, 40, KIT_CYAN);
    for (int y = 280; y < 320; y++) {
        for (int x = 60; x < 180; x++) {
            putPixel(currentLevel.fieldPicture, x, y, packColour(20, 10, 5));
            putPixel(currentLevel.backgroundPicture, x, y, packColour(20, 10, 5));
        }
    }
    paddle.x = 120;
    paddle.y = 270;
}

// An ember: red 20, no blue, green no more than red's.
static void expectEmber(uint16_t c) {
    EXPECT_EQ((Ints{c >> 11, c & 31}), (Ints{20, 0}));
    EXPECT_LE((c >> 6) & 31, 20);
}

TEST(PowerUpPile, DrainClearsADiscAroundThePaddleAndLeavesTheBottomRows) {
    buildPile();
    paddle.x = 20;  // no pile under the paddle: nothing happens
    uint64_t before = hashSurface(currentLevel.collisionMap);
    drainPile();
    EXPECT_EQ(hashSurface(currentLevel.collisionMap), before);
    EXPECT_EQ(debrisList.count, 0);

    paddle.x = 120;
    drainPile();
    // Clear radius 38: row 280 is cleared from 120 - 39 to 120 + 38. Row 317 (37 below): half width
    // trunc(sqrt(39^2 - 37^2)) = 12. The last two rows stay.
    const int c = KIT_CYAN;
    EXPECT_EQ(pixelsAt(currentLevel.collisionMap, {{81, 280}, {80, 280}, {158, 280}, {159, 280}, {108, 317}, {107, 317},
                                      {131, 317}, {132, 317}, {120, 318}, {120, 319}}),
              (Ints{0, c, 0, c, 0, c, 0, c, c, c}));
    int cleared = 0;
    for (int y = 280; y < 320; y++) {
        for (int x = 60; x < 180; x++) {
            if (getPixel(currentLevel.collisionMap, x, y) == 0) {
                cleared++;
                ASSERT_EQ(getPixel(currentLevel.fieldPicture, x, y), getPixel(currentLevel.pristineBackground, x, y));
                ASSERT_EQ(getPixel(currentLevel.backgroundPicture, x, y), getPixel(currentLevel.pristineBackground, x, y));
            }
        }
    }
    EXPECT_GT(cleared, MAX_DEBRIS);
    // One spark per cleared pixel, the list full.
    EXPECT_EQ((Ints{debrisList.count, debrisList.pieces[0].type}), (Ints{MAX_DEBRIS, DEBRIS_SPARK}));
    // The glow disc (radius 46) reaches pile the clear pass left and turns it to embers.
    expectEmber(getPixel(currentLevel.fieldPicture, 75, 280));
    EXPECT_EQ(getPixel(currentLevel.fieldPicture, 65, 280), packColour(20, 10, 5));  // outside the glow
}

TEST(PowerUpPile, LowerPileRemovesTheTopSixRowsOfEveryColumn) {
    buildPile();
    paintMap(100, 260, 1, 20, KIT_CYAN);  // one taller column, up to row 260
    paintMap(200, 318, 1, 2, KIT_CYAN);   // a two-row column: nothing above row 317 to clear
    lowerPile();
    for (int y = 280; y <= 285; y++) {
        EXPECT_EQ(getPixel(currentLevel.collisionMap, 60, y), 0) << y;
        EXPECT_EQ(getPixel(currentLevel.fieldPicture, 60, y), getPixel(currentLevel.pristineBackground, 60, y));
    }
    EXPECT_EQ(pixelsAt(currentLevel.collisionMap, {{60, 286}, {100, 265}, {100, 266}, {200, 318}}),
              (Ints{KIT_CYAN, 0, KIT_CYAN, KIT_CYAN}));
    expectEmber(getPixel(currentLevel.fieldPicture, 60, 286));
    EXPECT_EQ(debrisList.count, 3 * 121);
}
