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
#include "game/gamevalues.h"
#include "gfx/blit.h"

// Ticks the power-up pass until the only entry has ended; returns how many ticks that took (0: never).
static int ticksUntilEnded(int limit) {
    for (int t = 1; t <= limit; t++) {
        game.updateCounter++;
        updatePowerUps();
        if (activePowerUpCount == 0) {
            return t;
        }
    }
    return 0;
}

TEST(PowerUpCatch, CaughtAtHalfWidthPlusSevenMissedAtPlusEight) {
    makeKitField();
    paddle.x = 120;
    paddle.y = 300;
    paddle.halfWidth = 18;
    spawnFallingPowerUp(145, 295, POWERUP_WIDE_PADDLE);
    updateFallingPowerUps();
    EXPECT_EQ(capsuleCount, 0);
    EXPECT_EQ(activePowerUpCount, 1);
    EXPECT_EQ(powerUpCounts[POWERUP_WIDE_PADDLE], 1);
    EXPECT_EQ(game.score, 50);

    makeKitField();
    spawnFallingPowerUp(146, 295, POWERUP_WIDE_PADDLE);
    spawnFallingPowerUp(94, 295, POWERUP_WIDE_PADDLE);  // 120 - 26 on the left: missed too
    updateFallingPowerUps();
    EXPECT_EQ(capsuleCount, 2);
    EXPECT_EQ(activePowerUpCount, 0);
    EXPECT_EQ(capsules[0].y, (295 << 10) + 500);
    EXPECT_EQ(capsules[0].vy, 530);
    EXPECT_EQ(capsules[0].age, 1);
}

TEST(PowerUpCatch, CapsulesBelowTheFieldAreLostAndFortyAtMost) {
    makeKitField();
    paddle.x = 20;
    spawnFallingPowerUp(120, 320, POWERUP_EXTRA_LIFE);  // row 320 is still the field's
    updateFallingPowerUps();
    EXPECT_EQ(capsuleCount, 1);
    capsules[0].y = 321 << 10;
    updateFallingPowerUps();
    EXPECT_EQ(capsuleCount, 0);
    EXPECT_EQ(activePowerUpCount, 0);
    for (int i = 0; i < 41; i++) {
        spawnFallingPowerUp(120, 10, POWERUP_HOMING);
    }
    EXPECT_EQ(capsuleCount, MAX_CAPSULES);
    spawnFallingPowerUp(120, 10, 22);  // no such kind
    spawnFallingPowerUp(120, 10, -1);
    EXPECT_EQ(capsuleCount, MAX_CAPSULES);
}

TEST(PowerUpCollect, AFullListStillScoresAndShakes) {
    makeKitField();
    for (int i = 0; i < 20; i++) {
        collectPowerUp(POWERUP_HOMING);
    }
    EXPECT_EQ(activePowerUpCount, 20);
    EXPECT_EQ(game.score, 2000);
    collectPowerUp(POWERUP_BALL_SHOWER);
    EXPECT_EQ(activePowerUpCount, 20);
    EXPECT_EQ(powerUpCounts[POWERUP_BALL_SHOWER], 0);
    EXPECT_EQ(game.score, 3000);
    EXPECT_EQ(game.shake, 16);
    collectPowerUp(POWERUP_BALL_KILLER);
    EXPECT_EQ(game.score, 2000);
    collectPowerUp(99);  // unknown: nothing at all
    EXPECT_EQ(game.score, 2000);
}

TEST(PowerUpCollect, ScoresFollowTheKindTable) {
    static const int scores[POWERUP_KINDS] = {100, 100, 1000, 100, 100, 50,   -200, 100, 100, 100, -200,
                                              100, 100, 50,   -1000, 100, -200, 100, -200, 100, 100, 100};
    for (int k = 0; k < POWERUP_KINDS; k++) {
        makeKitField();
        collectPowerUp(k);
        EXPECT_EQ(game.score, scores[k]) << "kind " << k;
        EXPECT_EQ(powerUpCounts[k], 1);
        EXPECT_EQ(findPowerUp(k), 0);
    }
}

TEST(PowerUpDurations, EveryKindEndsOnItsTick) {
    static const int ticks[POWERUP_KINDS] = {300, 300, 255, 32, 700, 2000, 2000, 500, 129, 5, 2000,
                                             300, 1000, 2000, 1, 1, 300, 2000, 2000, 3000, 1, 1};
    for (int k = 0; k < POWERUP_KINDS; k++) {
        makeKitField();
        collectPowerUp(k);
        EXPECT_EQ(ticksUntilEnded(10000), ticks[k]) << "kind " << k;
        EXPECT_EQ(powerUpCounts[k], 0);
    }
}

TEST(PowerUpDurations, MaxPowerUpDoublesAllButTheFixedOnes) {
    static const int ticks[POWERUP_KINDS] = {600, 600, 510, 64, 1400, 4000, 4000, 1000, 258, 5, 2000,
                                             600, 2000, 4000, 1, 1, 600, 4000, 2000, 6000, 1, 1};
    for (int k = 0; k < POWERUP_KINDS; k++) {
        makeKitField();
        game.cheats.maxPowerUp = 1;
        collectPowerUp(k);
        EXPECT_EQ(ticksUntilEnded(20000), ticks[k]) << "kind " << k;
    }
}

TEST(PowerUpEffects, PaddleTargetsAndStepLimit) {
    makeKitField();
    collectPowerUp(POWERUP_WIDE_PADDLE);
    collectPowerUp(POWERUP_WIDE_PADDLE);
    updatePowerUps();
    EXPECT_EQ(paddle.targetHalfWidth, 30);
    EXPECT_EQ(paddle.stepLimit, 3);

    makeKitField();
    for (int i = 0; i < 3; i++) {
        collectPowerUp(POWERUP_NARROW_PADDLE);
    }
    updatePowerUps();
    EXPECT_EQ(paddle.targetHalfWidth, 4);

    makeKitField();
    game.cheats.fatPaddle = 6;
    collectPowerUp(POWERUP_SLUGGISH_PADDLE);
    updatePowerUps();
    EXPECT_EQ(paddle.targetHalfWidth, 24);
    EXPECT_EQ(paddle.stepLimit, 1);
    collectPowerUp(POWERUP_QUICK_PADDLE);
    collectPowerUp(POWERUP_QUICK_PADDLE);
    collectPowerUp(POWERUP_QUICK_PADDLE);
    updatePowerUps();
    EXPECT_EQ(paddle.stepLimit, 13);  // 1, then 5, 9, 13: each adds 4 while below 10

    makeKitField();
    collectPowerUp(POWERUP_ZONE_UP);
    updatePowerUps();
    EXPECT_EQ(paddle.targetZoneHeight, 98);
    for (int i = 0; i < 15; i++) {
        collectPowerUp(POWERUP_ZONE_UP);
    }
    updatePowerUps();
    EXPECT_EQ(paddle.targetZoneHeight, 315);

    makeKitField();
    for (int i = 0; i < 5; i++) {
        collectPowerUp(POWERUP_ZONE_DOWN);
    }
    updatePowerUps();
    EXPECT_EQ(paddle.targetZoneHeight, 5);
}

TEST(PowerUpEffects, TwoFastBallsEntriesGiveFourExtraSteps) {
    makeKitField();
    paddle.x = 20;
    balls[0] = Ball{100 << 10, 100 << 10, 1000, 0, 100 << 10, 100 << 10, 1000};
    ballCount = 1;
    collectPowerUp(POWERUP_FAST_BALLS);
    collectPowerUp(POWERUP_FAST_BALLS);
    updatePowerUps();
    EXPECT_EQ(balls[0].x, (100 << 10) + 4000);
}

TEST(PowerUpEffects, BallShowerLaunchesABallEveryOtherTickForSixtyFourTicks) {
    makeKitField();
    paddle.vx = 3000;
    collectPowerUp(POWERUP_BALL_SHOWER);
    EXPECT_EQ(game.shake, 16);
    for (int t = 0; t < 255; t++) {
        game.updateCounter++;
        updatePowerUps();
    }
    // Counter and update counter run together from 1: balls at 2, 4, ... 62.
    EXPECT_EQ(ballCount, 31);
    for (int i = 0; i < ballCount; i++) {
        EXPECT_EQ(balls[i].speed, 2500);
        EXPECT_GT(balls[i].prevY >> 10, 280);
        EXPECT_LT(balls[i].vy, 0);
    }
}

TEST(PowerUpEffects, FountainSparksEveryTickAndABallEveryEighth) {
    makeKitField();
    collectPowerUp(POWERUP_FOUNTAIN);
    EXPECT_EQ(ticksUntilEnded(100), 32);
    EXPECT_EQ(ballCount, 4);
    EXPECT_EQ(debrisCount, 320);
    for (int i = 0; i < debrisCount; i++) {
        EXPECT_EQ(debris[i].type, DEBRIS_SPARK);
        EXPECT_LE(debris[i].vy, -2048);
        EXPECT_EQ(debris[i].y >> 10, paddle.y - 2);
    }
}

TEST(PowerUpEffects, BallSplitStopsAtFourBallsPerEntry) {
    makeKitField();
    addLevelBlock(10, 10, KIT_BRICK);
    spawnBall(100, 100, 0, 512);
    collectPowerUp(POWERUP_BALL_SPLIT);
    for (int t = 0; t < 700; t++) {
        game.updateCounter++;
        updatePowerUps();
        ASSERT_LE(ballCount, 4);
    }
    EXPECT_EQ(ballCount, 4);
    // Only breakable blocks left count: with none, no split.
    makeKitField();
    addLevelBlock(10, 10, KIT_STEEL);
    indestructibleCount = 1;
    spawnBall(100, 100, 0, 512);
    collectPowerUp(POWERUP_BALL_SPLIT);
    EXPECT_EQ(ticksUntilEnded(1000), 700);
    EXPECT_EQ(ballCount, 1);
}

TEST(PowerUpEffects, DemolitionBreaksSixteenBlocksAnyTypeWithSmallExplosions) {
    makeKitField();
    for (int i = 0; i < 20; i++) {
        addLevelBlock(10 + 11 * (i % 10), 10 + 10 * (i / 10), i < 10 ? KIT_STEEL : KIT_BRICK);
    }
    indestructibleCount = 10;
    collectPowerUp(POWERUP_DEMOLITION);
    EXPECT_EQ(ticksUntilEnded(200), 129);
    EXPECT_EQ(levelBlockCount, 4);
    EXPECT_EQ(explosionCount, 16);
    EXPECT_EQ(explosions[0].kind, EXPLOSION_SMALL);
    int steel = 0;
    for (int i = 0; i < levelBlockCount; i++) {
        steel += levelBlocks[i].type == 0;
    }
    EXPECT_EQ(indestructibleCount, steel);
}

TEST(PowerUpEffects, BombBreaksOneBlockOrThreeWithMaxPowerUp) {
    makeKitField();
    for (int i = 0; i < 5; i++) {
        addLevelBlock(10 + 11 * i, 10, KIT_BRICK);
    }
    collectPowerUp(POWERUP_BOMB);
    EXPECT_EQ(ticksUntilEnded(10), 5);
    EXPECT_EQ(levelBlockCount, 4);
    ASSERT_EQ(explosionCount, 1);
    EXPECT_EQ(explosions[0].kind, EXPLOSION_BIG);

    makeKitField();
    game.cheats.maxPowerUp = 1;
    for (int i = 0; i < 5; i++) {
        addLevelBlock(10 + 11 * i, 10, KIT_BRICK);
    }
    collectPowerUp(POWERUP_BOMB);
    EXPECT_EQ(ticksUntilEnded(10), 5);
    EXPECT_EQ(levelBlockCount, 2);
    EXPECT_EQ(explosionCount, 3);
}

TEST(PowerUpEffects, BombWithNoBlocksEndsAfterFiveTicksWithoutEffect) {
    makeKitField();
    collectPowerUp(POWERUP_BOMB);
    int score = game.score;
    EXPECT_EQ(ticksUntilEnded(10), 5);
    EXPECT_EQ(explosionCount, 0);
    EXPECT_EQ(game.score, score);
}

TEST(PowerUpEffects, BallKillerBurstsEveryBallInItsColour) {
    makeKitField();
    spawnBall(50, 50, 0, 512);
    spawnBall(80, 50, 0, 512);
    spawnBall(110, 50, 0, 512);
    collectPowerUp(POWERUP_THROUGH_BALL);
    collectPowerUp(POWERUP_BALL_KILLER);
    updatePowerUps();
    EXPECT_EQ(ballCount, 0);
    EXPECT_EQ(debrisCount, 60);
    EXPECT_EQ(debris[0].colour, 0xF9C7);
    EXPECT_EQ(findPowerUp(POWERUP_BALL_KILLER), -1);
}

TEST(PowerUpEffects, ExtraLifeAddsALife) {
    makeKitField();
    game.lives = 32;
    collectPowerUp(POWERUP_EXTRA_LIFE);
    updatePowerUps();
    EXPECT_EQ(game.lives, 33);
}

TEST(PowerUpEffects, LasersBreakBlocksAboveTheirBeamsButNotSteel) {
    makeKitField();
    paddle.x = 120;
    paddle.halfWidth = 18;
    // Beams at 120 - 18 + 2 = 104 and 120 + 18 - 3 = 135.
    addLevelBlock(100, 50, KIT_BRICK);
    addLevelBlock(130, 50, KIT_STEEL);
    indestructibleCount = 1;
    redrawField();
    collectPowerUp(POWERUP_LASER);
    for (int t = 0; t < 299; t++) {
        updatePowerUps();
    }
    EXPECT_EQ(levelBlockCount, 1);
    EXPECT_EQ(levelBlocks[0].type, KIT_STEEL);
}

TEST(PowerUpEffects, RevealShowsMarksWhileActive) {
    makeKitField();
    addLevelBlock(100, 100, KIT_BRICK, 1 + POWERUP_HOMING);
    redrawField();
    uint64_t plain = hashSurface(fieldPicture);
    collectPowerUp(POWERUP_REVEAL);
    uint64_t marked = hashSurface(fieldPicture);
    EXPECT_NE(marked, plain);
    expirePowerUp(0);
    EXPECT_EQ(hashSurface(fieldPicture), plain);
}

TEST(PowerUpShed, EasyEndsOneEntryOfEachHarmfulKindHarderKeepsThem) {
    makeKitField();
    static const int kinds[] = {POWERUP_NARROW_PADDLE, POWERUP_NARROW_PADDLE, POWERUP_SLUGGISH_PADDLE,
                                POWERUP_ZONE_DOWN,     POWERUP_FROZEN_PADDLE, POWERUP_FAST_BALLS,
                                POWERUP_WIDE_PADDLE};
    for (int k : kinds) {
        collectPowerUp(k);
    }
    shedBadPowerUps();
    EXPECT_EQ(activePowerUpCount, 2);
    EXPECT_EQ(powerUpCounts[POWERUP_NARROW_PADDLE], 1);
    EXPECT_EQ(powerUpCounts[POWERUP_WIDE_PADDLE], 1);
    EXPECT_EQ(powerUpCounts[POWERUP_FAST_BALLS], 0);

    for (int d = 2; d <= 4; d++) {
        makeKitField();
        game.difficulty = d;
        for (int k : kinds) {
            collectPowerUp(k);
        }
        shedBadPowerUps();
        EXPECT_EQ(activePowerUpCount, 7);
    }
}

// A pile of 40 rows (280..319) from x 60 to 179, red 20 in the field picture.
static void buildPile(void) {
    makeKitField();
    paintMap(60, 280, 120, 40, KIT_CYAN);
    for (int y = 280; y < 320; y++) {
        for (int x = 60; x < 180; x++) {
            putPixel(fieldPicture, x, y, packColour(20, 10, 5));
            putPixel(backgroundPicture, x, y, packColour(20, 10, 5));
        }
    }
    paddle.x = 120;
    paddle.y = 270;
    paddle.halfWidth = 18;
}

TEST(PowerUpPile, DrainClearsADiscAroundThePaddleAndLeavesTheBottomRows) {
    buildPile();
    drainPile();
    // Clear radius 38: row 280 is cleared from 120 - 39 to 120 + 38.
    EXPECT_EQ(getPixel(collisionMap, 81, 280), 0);
    EXPECT_EQ(getPixel(collisionMap, 80, 280), KIT_CYAN);
    EXPECT_EQ(getPixel(collisionMap, 158, 280), 0);
    EXPECT_EQ(getPixel(collisionMap, 159, 280), KIT_CYAN);
    // Row 317 (37 below): half width trunc(sqrt(39^2 - 37^2)) = 12.
    EXPECT_EQ(getPixel(collisionMap, 108, 317), 0);
    EXPECT_EQ(getPixel(collisionMap, 107, 317), KIT_CYAN);
    EXPECT_EQ(getPixel(collisionMap, 131, 317), 0);
    EXPECT_EQ(getPixel(collisionMap, 132, 317), KIT_CYAN);
    EXPECT_EQ(getPixel(collisionMap, 120, 318), KIT_CYAN);
    EXPECT_EQ(getPixel(collisionMap, 120, 319), KIT_CYAN);
    int cleared = 0;
    for (int y = 0; y < 320; y++) {
        for (int x = 0; x < 240; x++) {
            if (x >= 60 && x < 180 && y >= 280 && getPixel(collisionMap, x, y) == 0) {
                cleared++;
                ASSERT_EQ(getPixel(fieldPicture, x, y), getPixel(pristineBackground, x, y));
                ASSERT_EQ(getPixel(backgroundPicture, x, y), getPixel(pristineBackground, x, y));
            }
        }
    }
    EXPECT_GT(cleared, MAX_DEBRIS);
    EXPECT_EQ(debrisCount, MAX_DEBRIS);  // one spark per cleared pixel, the list full
    EXPECT_EQ(debris[0].type, DEBRIS_SPARK);
    // The glow disc (radius 46) reaches pile the clear pass left: embers, red 20, no blue.
    uint16_t ember = getPixel(fieldPicture, 75, 280);
    EXPECT_EQ(ember >> 11, 20);
    EXPECT_EQ(ember & 31, 0);
    EXPECT_LE((ember >> 6) & 31, 20);
    EXPECT_EQ(getPixel(fieldPicture, 65, 280), packColour(20, 10, 5));  // outside the glow
}

TEST(PowerUpPile, DrainWithoutPileUnderThePaddleDoesNothing) {
    buildPile();
    paddle.x = 20;
    uint64_t before = hashSurface(collisionMap);
    drainPile();
    EXPECT_EQ(hashSurface(collisionMap), before);
    EXPECT_EQ(debrisCount, 0);
}

TEST(PowerUpPile, LowerPileRemovesTheTopSixRowsOfEveryColumn) {
    buildPile();
    paintMap(100, 260, 1, 20, KIT_CYAN);  // one taller column, up to row 260
    paintMap(200, 318, 1, 2, KIT_CYAN);   // a two-row column: nothing above row 317 to clear
    lowerPile();
    for (int y = 280; y <= 285; y++) {
        EXPECT_EQ(getPixel(collisionMap, 60, y), 0) << y;
        EXPECT_EQ(getPixel(fieldPicture, 60, y), getPixel(pristineBackground, 60, y));
    }
    EXPECT_EQ(getPixel(collisionMap, 60, 286), KIT_CYAN);
    uint16_t ember = getPixel(fieldPicture, 60, 286);
    EXPECT_EQ(ember >> 11, 20);
    EXPECT_EQ(ember & 31, 0);
    EXPECT_EQ(getPixel(collisionMap, 100, 265), 0);
    EXPECT_EQ(getPixel(collisionMap, 100, 266), KIT_CYAN);
    EXPECT_EQ(getPixel(collisionMap, 200, 318), KIT_CYAN);
    EXPECT_EQ(debrisCount, 3 * 121);
}
