// Balls: angle tables and functions, speeds, paddle bounces, probe order, kill zone, through-ball, unstick.
#include <gtest/gtest.h>

#include "field/ball.h"
#include "field/debris.h"
#include "field/level.h"
#include "field/paddle.h"
#include "field/powerup.h"
#include "fieldkit.h"
#include "game/gamevalues.h"
#include "shell/random.h"

// A ball placed directly, with the given speed (velocity not rescaled).
static int placeBall(int px, int py, int32_t vx, int32_t vy, int speed) {
    int i = ballCount++;
    balls[i] = Ball{px * 1024, py * 1024, vx, vy, px * 1024, py * 1024, (int16_t)speed};
    return i;
}

TEST(Angles, TablesUse57Point3AndTruncate) {
    buildAngleTables();
    EXPECT_EQ(cosTable[0], 256);
    EXPECT_EQ(cosTable[90], 0);
    EXPECT_EQ(sinTable[90], 255);
    EXPECT_EQ(cosTable[180], -255);
    EXPECT_EQ(sinTable[270], -255);
    EXPECT_EQ(cosTable[45], 181);
    EXPECT_EQ(sinTable[45], 181);
}

TEST(Angles, AngleOfCoversEveryQuadrantAndTheAxes) {
    buildAngleTables();
    EXPECT_EQ(angleOf(1, 0), 450);   // right: 450 - 90 = 360, that is 0
    EXPECT_EQ(angleOf(-1, 0), 630);  // left: 540 - 90 = 180 after the wrap... 630 - 90 - 360 = 180
    EXPECT_EQ(angleOf(1, 1), 495);
    EXPECT_EQ(angleOf(1, -1), 405);
    EXPECT_EQ(angleOf(0, 5), 180);
    EXPECT_EQ(angleOf(0, -5), 0);
    EXPECT_EQ(angleOf(-3, 4), 576);
    EXPECT_EQ(wrapAngle(angleOf(0, 0) - 90), 90);
}

TEST(Angles, AngleAndDistanceWrapsHorizontallyAt750) {
    buildAngleTables();
    int a;
    int32_t d;
    angleAndDistance(0, 0, 500, 100, &a, &d);  // dx becomes -250
    EXPECT_EQ(a, 248);
    EXPECT_EQ(d, 269);
    angleAndDistance(0, 0, 300, 100, &a, &d);  // kept
    EXPECT_EQ(a, 109);
    EXPECT_EQ(d, 316);
    angleAndDistance(0, 0, -500, 100, &a, &d);  // dx becomes +250
    EXPECT_EQ(a, 112);
    EXPECT_EQ(d, 269);
    angleAndDistance(0, 0, 375, 0, &a, &d);  // exactly half the wrap: kept
    EXPECT_EQ(a, 90);
    EXPECT_EQ(d, 375);
    angleAndDistance(0, 0, 376, 0, &a, &d);  // one more: seen as 374 to the left
    EXPECT_EQ(a, 270);
    EXPECT_EQ(d, 374);
    angleAndDistance(0, 0, 3, 4, &a, &d);
    EXPECT_EQ(a, 144);
    EXPECT_EQ(d, 5);
    angleAndDistance(0, 0, 0, 0, &a, &d);
    EXPECT_EQ(a, 180);
    EXPECT_EQ(d, 0);
    angleAndDistance(10, 10, 10, 5, &a, &d);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(d, 5);
}

TEST(BallSpeed, SetBallSpeedKeepsRightAndShortensDown) {
    makeKitField();
    int i = placeBall(50, 50, 3000, 0, 3000);
    setBallSpeed(i);
    EXPECT_EQ(balls[i].vx, 3000);
    EXPECT_EQ(balls[i].vy, 0);
    i = placeBall(50, 50, 0, 3000, 3000);
    setBallSpeed(i);
    EXPECT_EQ(balls[i].vx, 0);
    EXPECT_EQ(balls[i].vy, 2988);
}

TEST(BallSpeed, WrappedSpeedTurnsAWideVelocityLeft) {
    makeKitField();
    int i = placeBall(50, 50, 500, 100, 3000);
    setBallSpeedWrapped(i);
    EXPECT_EQ(balls[i].vx, -2778);
    EXPECT_EQ(balls[i].vy, 1113);
    i = placeBall(50, 50, 300, 100, 3000);
    setBallSpeedWrapped(i);
    EXPECT_EQ(balls[i].vx, 2835);
    EXPECT_EQ(balls[i].vy, 972);
    i = placeBall(50, 50, 300, 100, 100);  // slower than 750 is raised to 750
    setBallAngle(i, 90);
    EXPECT_EQ(balls[i].speed, 750);
    EXPECT_EQ(balls[i].vy, (750 * 255) >> 8);
}

TEST(BallSpeed, SpawnUsesTheBaseSpeedOfTheDifficultyAndRefusesTheFiveThousandFirst) {
    makeKitField();
    game.difficulty = 3;
    EXPECT_EQ(spawnBall(10, 20, 0, 512), 0);
    EXPECT_EQ(balls[0].speed, 3500);
    EXPECT_EQ(balls[0].vy, (3500 * 255) >> 8);
    EXPECT_EQ(balls[0].x, 10 << 10);
    EXPECT_EQ(balls[0].prevY, 20 << 10);
    EXPECT_EQ(minimumBallSpeed(), 2625);
    EXPECT_EQ(maximumBallSpeed(), 5250);
    ballCount = MAX_BALLS - 1;
    EXPECT_EQ(spawnBall(10, 20, 0, 512), MAX_BALLS - 1);
    EXPECT_EQ(spawnBall(10, 20, 0, 512), -1);
    EXPECT_EQ(ballCount, MAX_BALLS);
}

// Paddle at (120, 300) of half width hw, Medium (speed bounds 2250..4500), a ball falling onto it.
static void fallOntoPaddle(int bx, int hw, int32_t paddleVy) {
    makeKitField();
    game.difficulty = 2;
    paddle.x = 120;
    paddle.y = 300;
    paddle.halfWidth = hw;
    paddle.vy = paddleVy;
    placeBall(bx, 296, 0, 3000, 3000);
    stepBalls();
}

TEST(PaddleBounce, CentreHitGoesStraightUp) {
    fallOntoPaddle(120, 18, 0);
    ASSERT_EQ(ballCount, 1);
    EXPECT_EQ(balls[0].vx, 0);
    EXPECT_EQ(balls[0].vy, -2989);
    EXPECT_EQ(balls[0].speed, 3000);
    EXPECT_EQ(balls[0].x, 120 << 10);
    EXPECT_EQ(balls[0].y, 294 << 10);  // put on line y - 6 after the extra step
}

TEST(PaddleBounce, TenPixelsRightOfCentreGivesThreeHundredDegrees) {
    fallOntoPaddle(130, 18, 0);
    EXPECT_EQ(balls[0].vx, 1453);
    EXPECT_EQ(balls[0].vy, -2614);
    EXPECT_EQ(balls[0].x, (130 << 10) + 1453);
}

TEST(PaddleBounce, WideHalfWidthStillEndsNearSixtyDegrees) {
    fallOntoPaddle(149, 30, 0);
    EXPECT_EQ(balls[0].vx, 2484);
    EXPECT_EQ(balls[0].vy, -1676);
    fallOntoPaddle(91, 30, 0);
    EXPECT_EQ(balls[0].vx, -2485);
    EXPECT_EQ(balls[0].vy, -1676);
    fallOntoPaddle(150, 30, 0);  // |bx - px| = half width: not on the paddle
    EXPECT_EQ(balls[0].vy, 3000);
}

TEST(PaddleBounce, SpeedStaysInsideTheDifficultyBounds) {
    fallOntoPaddle(120, 18, -20000);  // paddle rising fast
    EXPECT_EQ(balls[0].speed, 4500);
    EXPECT_EQ(balls[0].vy, -4483);
    fallOntoPaddle(120, 18, 20000);
    EXPECT_EQ(balls[0].speed, 2250);
    EXPECT_EQ(balls[0].vy, -2242);
    fallOntoPaddle(120, 18, 0x12345);  // read as a 16-bit value: 0x2345 = 9029, so the speed hits the floor
    EXPECT_EQ(balls[0].speed, 2250);
}

TEST(PaddleBounce, TunnellingCatchBouncesAFastBallThatCrossedTheLine) {
    makeKitField();
    game.difficulty = 2;
    paddle.x = 120;
    paddle.y = 300;
    previousPaddleLine = 300;
    placeBall(120, 290, 0, 20 * 1024, 3000);  // lands at 310, past test A's band
    stepBalls();
    EXPECT_EQ(balls[0].vy, -2989);
    EXPECT_EQ(balls[0].y, 294 << 10);

    // Starting below the previous line - 3 it is not caught.
    makeKitField();
    paddle.x = 120;
    paddle.y = 300;
    previousPaddleLine = 300;
    placeBall(120, 298, 0, 12 * 1024, 3000);
    stepBalls();
    EXPECT_EQ(balls[0].y, 310 << 10);
    EXPECT_EQ(previousPaddleLine, 300);
}

TEST(PaddleBounce, FromBelowTheBallIsSentDown) {
    makeKitField();
    game.difficulty = 2;
    paddle.x = 120;
    paddle.y = 300;
    placeBall(120, 305, 0, -1024, 3000);  // below the line, rising into it: side -10
    stepBalls();
    EXPECT_GT(balls[0].vy, 0);
    EXPECT_EQ(balls[0].y, 308 << 10);
}

TEST(BallProbes, AWallUnderAnEarlierProbeWinsOverABlock) {
    makeKitField();
    paddle.x = 20;
    addLevelBlock(103, 98, KIT_BRICK);  // under probe 2 (3, 0)
    paintMap(103, 98, 10, 5, 0xF800);
    paintMap(100, 97, 1, 1, KIT_WALL);  // probe 0 (0, -3)
    placeBall(100, 100, 0, 0, 2500);
    stepBalls();
    EXPECT_EQ(levelBlockCount, 1);
    EXPECT_EQ(debrisCount, 0);

    makeKitField();
    paddle.x = 20;
    addLevelBlock(95, 93, KIT_BRICK);  // under probe 0
    paintMap(95, 93, 10, 5, 0xF800);
    paintMap(103, 100, 1, 1, KIT_WALL);
    placeBall(100, 100, 0, 0, 2500);
    stepBalls();
    EXPECT_EQ(levelBlockCount, 0);
    EXPECT_EQ(debrisCount, 100);
    EXPECT_EQ(game.score, 20);
}

TEST(BallProbes, OverlappingBlocksGiveTheLowerIndex) {
    makeKitField();
    paddle.x = 20;
    addLevelBlock(96, 95, KIT_BRICK);  // index 0
    addLevelBlock(98, 93, KIT_GEM);    // index 1, also under probe 0 at (100, 97)
    paintMap(96, 93, 14, 10, 0xF800);
    EXPECT_EQ(findBlockAt(100, 97), 0);
    placeBall(100, 100, 0, 0, 2500);
    stepBalls();
    ASSERT_EQ(levelBlockCount, 1);
    EXPECT_EQ(levelBlocks[0].type, KIT_GEM);
    EXPECT_EQ(game.score, 20);  // the 10-wide brick, not the 5-wide gem (50)
}

TEST(KillZone, BallBurstsInto98PiecesOfItsColour) {
    struct Case {
        int homing, through;
        uint16_t colour;
    } cases[] = {{0, 0, 0xFFFF}, {0, 1, 0xF9C7}, {1, 0, 0x01DF}, {1, 1, 0xF9DF}};
    for (const Case& c : cases) {
        makeKitField();
        paddle.x = 20;
        powerUpCounts[POWERUP_HOMING] = (int16_t)c.homing;
        powerUpCounts[POWERUP_THROUGH_BALL] = (int16_t)c.through;
        paintMap(0, 319, 240, 1, KIT_CYAN);
        placeBall(100, 316, 0, 0, 2500);
        uint32_t before = gameRandState();
        stepBalls();
        EXPECT_EQ(ballCount, 0);
        ASSERT_EQ(debrisCount, 98);
        EXPECT_EQ(drawsBetween(before, gameRandState()), 196);
        int seen[7][7] = {};
        for (int i = 0; i < debrisCount; i++) {
            EXPECT_EQ(debris[i].colour, c.colour);
            EXPECT_EQ(debris[i].type, DEBRIS_PIECE);
            int dx = (debris[i].x >> 10) - 100, dy = (debris[i].y >> 10) - 316;
            ASSERT_TRUE(dx >= -3 && dx <= 3 && dy >= -3 && dy <= 3);
            seen[dx + 3][dy + 3]++;
            EXPECT_GE(debris[i].vx, -2048);
            EXPECT_LE(debris[i].vx, 2044);
        }
        for (auto& column : seen) {
            for (int n : column) {
                EXPECT_EQ(n, 2);
            }
        }
    }
}

TEST(KillZone, GreenWallWithAGapBelowOnlyReflects) {
    makeKitField();
    paddle.x = 20;
    paintMap(95, 319, 10, 1, KIT_CYAN);
    paintMap(95, 310, 10, 2, KIT_CYAN);  // a cyan ledge with black between it and the bottom row
    placeBall(100, 306, 0, 1024, 2500);  // probe 4 reaches row 310 after the move
    stepBalls();
    EXPECT_EQ(ballCount, 1);
    EXPECT_EQ(debrisCount, 0);
    EXPECT_LT(balls[0].vy, 0);
}

TEST(KillZone, TheBallMovedIntoTheSlotIsSteppedInTheSameCall) {
    makeKitField();
    paddle.x = 20;
    paintMap(0, 319, 240, 1, KIT_CYAN);
    placeBall(100, 316, 0, 0, 2500);
    placeBall(60, 60, 1000, 500, 2500);
    stepBalls();
    ASSERT_EQ(ballCount, 1);
    EXPECT_EQ(balls[0].x, (60 << 10) + 1000);
    EXPECT_EQ(balls[0].y, (60 << 10) + 500);
}

TEST(ThroughBall, BreaksBreakableBlocksWithoutBouncingButBouncesOffSteel) {
    makeKitField();
    paddle.x = 20;
    powerUpCounts[POWERUP_THROUGH_BALL] = 1;
    addLevelBlock(95, 85, KIT_BRICK);
    paintMap(95, 85, 10, 5, 0xF800);
    placeBall(100, 93, 0, -1024, 2500);  // probe 0 reaches the block after the move
    stepBalls();
    EXPECT_EQ(levelBlockCount, 0);
    EXPECT_EQ(balls[0].vy, -1024);  // no bounce
    EXPECT_EQ(balls[0].y, (93 << 10) - 2048);

    makeKitField();
    paddle.x = 20;
    powerUpCounts[POWERUP_THROUGH_BALL] = 1;
    addLevelBlock(95, 85, KIT_STEEL);
    indestructibleCount = 1;
    paintMap(95, 85, 10, 5, 0xF800);
    placeBall(100, 93, 0, -1024, 2500);
    stepBalls();
    EXPECT_EQ(levelBlockCount, 1);
    EXPECT_GT(balls[0].vy, 0);

    // Without the power-up a breakable block is broken and bounces the ball.
    makeKitField();
    paddle.x = 20;
    addLevelBlock(95, 85, KIT_BRICK);
    paintMap(95, 85, 10, 5, 0xF800);
    placeBall(100, 93, 0, -1024, 2500);
    stepBalls();
    EXPECT_EQ(levelBlockCount, 0);
    EXPECT_GT(balls[0].vy, 0);
}

TEST(Unstick, GivesUpAfter29TriesAndLeavesTheBall) {
    makeKitField();
    paintMap(60, 60, 40, 40, KIT_WALL);
    int i = placeBall(80, 80, 0, 0, 2500);
    uint32_t before = gameRandState();
    unstickBall(i);
    EXPECT_EQ(drawsBetween(before, gameRandState()), 58);
    EXPECT_EQ(balls[i].x, 80 << 10);
    EXPECT_EQ(balls[i].y, 80 << 10);
}

TEST(Unstick, MovesToTheFirstFreeSpotWithThePreviousPosition) {
    makeKitField();
    paintMap(83, 60, 20, 40, KIT_WALL);  // touches probe (3, 0) only
    int i = placeBall(80, 80, 0, 0, 2500);
    balls[i].prevX = 0;
    uint32_t before = gameRandState();
    unstickBall(i);
    int bx = balls[i].x >> 10;
    EXPECT_LE(bx, 79);
    EXPECT_GE(bx, 72);
    EXPECT_LT(drawsBetween(before, gameRandState()), 58);
    EXPECT_EQ(balls[i].prevX, balls[i].x);
    EXPECT_EQ(balls[i].prevY, balls[i].y);
    EXPECT_EQ(balls[i].x & 1023, 0);
}

TEST(BallField, LowestRowIsInPlayOneLowerLeaves) {
    makeKitField();
    paddle.x = 20;
    placeBall(100, 319, 0, 0, 2500);
    stepBalls();
    EXPECT_EQ(ballCount, 1);
    balls[0].y = 320 << 10;
    stepBalls();
    EXPECT_EQ(ballCount, 0);
    EXPECT_EQ(debrisCount, 0);
    placeBall(240, 100, 0, 0, 2500);
    stepBalls();
    EXPECT_EQ(ballCount, 1);
    balls[0].x = 241 << 10;
    stepBalls();
    EXPECT_EQ(ballCount, 0);
}

TEST(BallWalls, ReflectBallTurnsABallAwayFromAWallOnItsRight) {
    makeKitField();
    paintMap(103, 0, 20, 320, KIT_WALL);
    int i = placeBall(100, 100, 2500, 0, 2500);
    reflectBall(i);
    // Mirrored to -2500, then rescaled along 180 degrees: (2500 x -255) >> 8.
    EXPECT_EQ(balls[i].vx, -2491);
    EXPECT_EQ(balls[i].vy, 0);
    // Nothing around: nothing changes.
    i = placeBall(50, 50, 1234, 567, 2500);
    reflectBall(i);
    EXPECT_EQ(balls[i].vx, 1234);
    EXPECT_EQ(balls[i].vy, 567);
    // The left edge of the screen counts as solid.
    i = placeBall(2, 150, -2500, 0, 2500);
    reflectBall(i);
    EXPECT_GT(balls[i].vx, 0);
}

TEST(Homing, PullsTheBallTowardsBreakableBlocksOnly) {
    makeKitField();
    paddle.x = 20;
    powerUpCounts[POWERUP_HOMING] = 1;
    addLevelBlock(195, 48, KIT_BRICK);  // centre (200, 50)
    addLevelBlock(0, 300, KIT_STEEL);   // ignored
    placeBall(100, 50, 0, 2500, 2500);
    stepBalls();
    // After the move the ball is at (100, 52); the pull adds ((200 - 100) x 1) >> 2 = 25 and
    // ((50 - 52) x 1) >> 2 = -1, then the speed is restored along the new direction.
    EXPECT_EQ(balls[0].x, 100 << 10);
    int32_t vx = 25, vy = 2500 - 1;
    int a = wrapAngle(angleOf(vx, vy) - 90);
    EXPECT_EQ(balls[0].vx, (2500 * cosTable[a]) >> 8);
    EXPECT_EQ(balls[0].vy, (2500 * sinTable[a]) >> 8);
}
