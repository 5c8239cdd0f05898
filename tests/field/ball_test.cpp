// Balls: angle tables and functions, speeds, paddle bounces, probe order, kill zone, through-ball, unstick.
#include <gtest/gtest.h>

#include "field/ball.h"
#include "field/debris.h"
#include "field/level.h"
#include "field/paddle.h"
#include "field/powerup.h"
#include "fieldkit.h"
#include "field/gamevalues.h"
#include "shell/random.h"

// A ball placed directly, with the given speed (velocity not rescaled).
static int placeBall(int px, int py, int32_t vx, int32_t vy, int speed) {
    int i = ballList.count++;
    ballList.balls[i] = Ball{intToFixed(px), intToFixed(py), vx, vy, intToFixed(px), intToFixed(py), (int16_t)speed};
    return i;
}

// The kit field with the paddle out of the way at x 20.
static void ballField(void) {
    makeKitField();
    paddle.x = 20;
}

static Ints velocity(int i) {
    return Ints{ballList.balls[i].vx, ballList.balls[i].vy};
}

TEST(Angles, TablesAngleOfAndAngleAndDistance) {
    buildAngleTables();
    // Tables use 57.3 and truncate.
    EXPECT_EQ((Ints{cosTable[0], cosTable[90], sinTable[90], cosTable[180], sinTable[270], cosTable[45],
                    sinTable[45]}),
              (Ints{256, 0, 255, -255, -255, 181, 181}));
    // angleOf covers every quadrant and the axes (450 is right, that is 0 after the caller's - 90).
    const int of[][3] = {{1, 0, 450}, {-1, 0, 630}, {1, 1, 495}, {1, -1, 405}, {0, 5, 180}, {0, -5, 0}, {-3, 4, 576}};
    for (const auto& c : of) {
        EXPECT_EQ(angleOf(c[0], c[1]), c[2]) << c[0] << "," << c[1];
    }
    EXPECT_EQ(wrapAngle(angleOf(0, 0) - 90), 90);
    // Horizontal distances wrap at 750: beyond half of it (375) they are seen the other way round.
    const int cases[][6] = {{0, 0, 500, 100, 248, 269}, {0, 0, 300, 100, 109, 316}, {0, 0, -500, 100, 112, 269},
                            {0, 0, 375, 0, 90, 375},    {0, 0, 376, 0, 270, 374},   {0, 0, 3, 4, 144, 5},
                            {0, 0, 0, 0, 180, 0},       {10, 10, 10, 5, 0, 5}};
    for (const auto& c : cases) {
        int a;
        int32_t d;
        angleAndDistance(c[0], c[1], c[2], c[3], &a, &d);
        EXPECT_EQ((Ints{a, d}), (Ints{c[4], c[5]})) << c[2] << "," << c[3];
    }
}

TEST(BallSpeed, SetBallSpeedPlainAndWrapped) {
    makeKitField();
    // Velocity, wrapped or not, then the velocity after. Plain: right is kept, straight down shortens to
    // (3000 x 255) >> 8. Wrapped: a velocity wider than 375 turns left.
    const int cases[][5] = {{3000, 0, 0, 3000, 0},       {0, 3000, 0, 0, 2988},
                            {500, 100, 1, -2778, 1113},  {300, 100, 1, 2835, 972}};
    for (const auto& c : cases) {
        int i = placeBall(50, 50, c[0], c[1], 3000);
        c[2] ? setBallSpeedWrapped(i) : setBallSpeed(i);
        EXPECT_EQ(velocity(i), (Ints{c[3], c[4]})) << c[0] << "," << c[1];
    }
    int i = placeBall(50, 50, 300, 100, 100);  // slower than 750 is raised to 750
    setBallAngle(i, 90);
    EXPECT_EQ((Ints{ballList.balls[i].speed, ballList.balls[i].vy}), (Ints{750, (750 * 255) >> 8}));
}

TEST(BallSpeed, SpawnUsesTheBaseSpeedOfTheDifficultyAndRefusesTheFiveThousandFirst) {
    makeKitField();
    game.difficulty = 3;
    EXPECT_EQ(spawnBall(10, 20, 0, 512), 0);
    EXPECT_EQ((Ints{ballList.balls[0].speed, ballList.balls[0].vy, ballList.balls[0].x, ballList.balls[0].prevY}),
              (Ints{3500, (3500 * 255) >> 8, intToFixed(10), intToFixed(20)}));
    EXPECT_EQ((Ints{minimumBallSpeed(), maximumBallSpeed()}), (Ints{2625, 5250}));
    ballList.count = MAX_BALLS - 1;
    EXPECT_EQ(spawnBall(10, 20, 0, 512), MAX_BALLS - 1);
    EXPECT_EQ(spawnBall(10, 20, 0, 512), -1);
    EXPECT_EQ(ballList.count, MAX_BALLS);
}

// The kit field on Medium (speed bounds 2250..4500) with the paddle at (120, 300).
static void paddleAt300(void) {
    makeKitField();
    game.difficulty = 2;
    paddle.x = 120;
    paddle.y = 300;
}

TEST(PaddleBounce, TheHitPlaceSetsTheAngleAndThePaddleSpeedTheBallSpeed) {
    // Ball x, half width, paddle vy, then the ball's vx, vy and speed after one step.
    const int cases[][6] = {
        {120, 18, 0, 0, -2989, 3000},      // centre: straight up
        {130, 18, 0, 1453, -2614, 3000},   // ten right of centre: 300 degrees
        {149, 30, 0, 2484, -1676, 3000},   // a wide paddle still ends near 60 degrees
        {91, 30, 0, -2485, -1676, 3000},   //
        {150, 30, 0, 0, 3000, 3000},       // |bx - px| = half width: not on the paddle
        {120, 18, -20000, 0, -4483, 4500}, // paddle rising fast: the ceiling
        {120, 18, 20000, 0, -2242, 2250},  // falling: the floor
        {120, 18, 0x12345, 0, -2242, 2250}, // read as a 16-bit value: 0x2345 = 9029, the floor again
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0] * 100000 + c[2]);
        paddleAt300();
        paddle.halfWidth = c[1];
        paddle.vy = c[2];
        placeBall(c[0], 296, 0, 3000, 3000);
        stepBalls();
        ASSERT_EQ(ballList.count, 1);
        EXPECT_EQ((Ints{ballList.balls[0].vx, ballList.balls[0].vy, ballList.balls[0].speed}), (Ints{c[3], c[4], c[5]}));
        if (c[0] <= 130 && c[4] < 0) {
            // Put on line y - 6 after the extra step.
            EXPECT_EQ((Ints{ballList.balls[0].x, ballList.balls[0].y}), (Ints{(c[0] << 10) + c[3], intToFixed(294)}));
        }
    }
}

TEST(PaddleBounce, TunnellingCatchAndFromBelow) {
    // A fast ball that crossed the line (lands at 310, past the first band) is caught and bounced.
    paddleAt300();
    ballList.previousPaddleLine = 300;
    placeBall(120, 290, 0, 20 * 1024, 3000);
    stepBalls();
    EXPECT_EQ((Ints{ballList.balls[0].vy, ballList.balls[0].y}), (Ints{-2989, intToFixed(294)}));
    // Starting below the previous line - 3 it is not.
    paddleAt300();
    ballList.previousPaddleLine = 300;
    placeBall(120, 298, 0, 12 * 1024, 3000);
    stepBalls();
    EXPECT_EQ((Ints{ballList.balls[0].y, ballList.previousPaddleLine}), (Ints{intToFixed(310), 300}));
    // Below the line, rising into it: sent down on side -10.
    paddleAt300();
    placeBall(120, 305, 0, -1024, 3000);
    stepBalls();
    EXPECT_GT(ballList.balls[0].vy, 0);
    EXPECT_EQ(ballList.balls[0].y, intToFixed(308));
}

TEST(BallProbes, AWallUnderAnEarlierProbeWinsAndOverlappingBlocksGiveTheLowerIndex) {
    // A block under probe 2 (3, 0), a wall under probe 0 (0, -3): the wall wins.
    ballField();
    addLevelBlock(103, 98, KIT_BRICK);
    paintMap(103, 98, 10, 5, 0xF800);
    paintMap(100, 97, 1, 1, KIT_WALL);
    placeBall(100, 100, 0, 0, 2500);
    stepBalls();
    EXPECT_EQ((Ints{currentLevel.blockCount, debrisList.count}), (Ints{1, 0}));
    // The other way round the block is broken.
    ballField();
    addLevelBlock(95, 93, KIT_BRICK);
    paintMap(95, 93, 10, 5, 0xF800);
    paintMap(103, 100, 1, 1, KIT_WALL);
    placeBall(100, 100, 0, 0, 2500);
    stepBalls();
    EXPECT_EQ((Ints{currentLevel.blockCount, debrisList.count, game.score}), (Ints{0, 100, 20}));
    // Two blocks under probe 0 at (100, 97): the 10-wide brick (20 points), not the 5-wide gem (50).
    ballField();
    addLevelBlock(96, 95, KIT_BRICK);
    addLevelBlock(98, 93, KIT_GEM);
    paintMap(96, 93, 14, 10, 0xF800);
    placeBall(100, 100, 0, 0, 2500);
    stepBalls();
    EXPECT_EQ((Ints{currentLevel.blockCount, currentLevel.blocks[0].type, game.score}), (Ints{1, KIT_GEM, 20}));
}

TEST(KillZone, BallBurstsInto98PiecesOfItsColour) {
    struct Case {
        int homing, through;
        uint16_t colour;
    } cases[] = {{0, 0, 0xFFFF}, {0, 1, 0xF9C7}, {1, 0, 0x01DF}, {1, 1, 0xF9DF}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.colour);
        ballField();
        powerUps.counts[POWERUP_HOMING] = (int16_t)c.homing;
        powerUps.counts[POWERUP_THROUGH_BALL] = (int16_t)c.through;
        paintMap(0, 319, 240, 1, KIT_CYAN);
        placeBall(100, 316, 0, 0, 2500);
        placeBall(60, 60, 1000, 500, 2500);
        uint32_t before = gameRandState();
        stepBalls();
        // The ball moved into the freed slot is stepped in the same call.
        ASSERT_EQ(ballList.count, 1);
        EXPECT_EQ((Ints{ballList.balls[0].x, ballList.balls[0].y}), (Ints{intToFixed(60) + 1000, intToFixed(60) + 500}));
        ASSERT_EQ(debrisList.count, 98);
        EXPECT_EQ(drawsBetween(before, gameRandState()), 196);
        int seen[7][7] = {};
        for (int i = 0; i < debrisList.count; i++) {
            EXPECT_EQ((Ints{debrisList.pieces[i].colour, debrisList.pieces[i].type}), (Ints{c.colour, DEBRIS_PIECE}));
            int dx = fixedToInt(debrisList.pieces[i].x) - 100, dy = fixedToInt(debrisList.pieces[i].y) - 316;
            ASSERT_TRUE(dx >= -3 && dx <= 3 && dy >= -3 && dy <= 3);
            seen[dx + 3][dy + 3]++;
            EXPECT_GE(debrisList.pieces[i].vx, -2048);
            EXPECT_LE(debrisList.pieces[i].vx, 2044);
        }
        for (auto& column : seen) {
            for (int n : column) {
                EXPECT_EQ(n, 2);
            }
        }
    }
}

TEST(KillZone, GreenWallWithAGapBelowOnlyReflects) {
    ballField();
    paintMap(95, 319, 10, 1, KIT_CYAN);
    paintMap(95, 310, 10, 2, KIT_CYAN);  // a cyan ledge with black between it and the bottom row
    placeBall(100, 306, 0, 1024, 2500);  // probe 4 reaches row 310 after the move
    stepBalls();
    EXPECT_EQ((Ints{ballList.count, debrisList.count}), (Ints{1, 0}));
    EXPECT_LT(ballList.balls[0].vy, 0);
}

TEST(ThroughBall, BreaksBreakableBlocksWithoutBouncingButBouncesOffSteel) {
    // Through-ball, block type, then the blocks left; without the power-up a broken block bounces the ball.
    const int cases[][3] = {{1, KIT_BRICK, 0}, {1, KIT_STEEL, 1}, {0, KIT_BRICK, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0] * 10 + c[1]);
        ballField();
        powerUps.counts[POWERUP_THROUGH_BALL] = (int16_t)c[0];
        addLevelBlock(95, 85, c[1]);
        currentLevel.indestructibleCount = c[1] == KIT_STEEL;
        paintMap(95, 85, 10, 5, 0xF800);
        placeBall(100, 93, 0, -1024, 2500);  // probe 0 reaches the block after the move
        stepBalls();
        EXPECT_EQ(currentLevel.blockCount, c[2]);
        if (c[0] == 1 && c[1] == KIT_BRICK) {
            EXPECT_EQ((Ints{ballList.balls[0].vy, ballList.balls[0].y}), (Ints{-1024, intToFixed(93) - 2048}));
        } else {
            EXPECT_GT(ballList.balls[0].vy, 0);
        }
    }
}

TEST(Unstick, MovesToTheFirstFreeSpotOrGivesUpAfter29Tries) {
    makeKitField();
    paintMap(60, 60, 40, 40, KIT_WALL);
    int i = placeBall(80, 80, 0, 0, 2500);
    uint32_t before = gameRandState();
    unstickBall(i);
    EXPECT_EQ(drawsBetween(before, gameRandState()), 58);
    EXPECT_EQ((Ints{ballList.balls[i].x, ballList.balls[i].y}), (Ints{intToFixed(80), intToFixed(80)}));

    makeKitField();
    paintMap(83, 60, 20, 40, KIT_WALL);  // touches probe (3, 0) only
    i = placeBall(80, 80, 0, 0, 2500);
    ballList.balls[i].prevX = 0;
    before = gameRandState();
    unstickBall(i);
    int bx = fixedToInt(ballList.balls[i].x);
    EXPECT_TRUE(bx >= 72 && bx <= 79) << bx;
    EXPECT_LT(drawsBetween(before, gameRandState()), 58);
    EXPECT_EQ((Ints{ballList.balls[i].prevX, ballList.balls[i].prevY, ballList.balls[i].x & 1023}), (Ints{ballList.balls[i].x, ballList.balls[i].y, 0}));
}

TEST(BallField, LowestRowAndRightmostColumnAreInPlayOneFurtherLeaves) {
    ballField();
    placeBall(100, 319, 0, 0, 2500);
    stepBalls();
    EXPECT_EQ(ballList.count, 1);
    ballList.balls[0].y = intToFixed(320);
    stepBalls();
    EXPECT_EQ((Ints{ballList.count, debrisList.count}), (Ints{0, 0}));
    placeBall(240, 100, 0, 0, 2500);
    stepBalls();
    EXPECT_EQ(ballList.count, 1);
    ballList.balls[0].x = intToFixed(241);
    stepBalls();
    EXPECT_EQ(ballList.count, 0);
}

TEST(BallWalls, ReflectBallTurnsABallAwayFromAWall) {
    makeKitField();
    paintMap(103, 0, 20, 320, KIT_WALL);
    int i = placeBall(100, 100, 2500, 0, 2500);
    reflectBall(i);
    // Mirrored to -2500, then rescaled along 180 degrees: (2500 x -255) >> 8.
    EXPECT_EQ(velocity(i), (Ints{-2491, 0}));
    i = placeBall(50, 50, 1234, 567, 2500);  // nothing around: nothing changes
    reflectBall(i);
    EXPECT_EQ(velocity(i), (Ints{1234, 567}));
    i = placeBall(2, 150, -2500, 0, 2500);  // the left edge of the screen counts as solid
    reflectBall(i);
    EXPECT_GT(ballList.balls[i].vx, 0);
}

TEST(Homing, PullsTheBallTowardsBreakableBlocksOnly) {
    ballField();
    powerUps.counts[POWERUP_HOMING] = 1;
    addLevelBlock(195, 48, KIT_BRICK);  // centre (200, 50)
    addLevelBlock(0, 300, KIT_STEEL);   // ignored
    placeBall(100, 50, 0, 2500, 2500);
    stepBalls();
    // After the move the ball is at (100, 52); the pull adds ((200 - 100) x 1) >> 2 = 25 and
    // ((50 - 52) x 1) >> 2 = -1, then the speed is restored along the new direction.
    int a = wrapAngle(angleOf(25, 2500 - 1) - 90);
    EXPECT_EQ((Ints{ballList.balls[0].x, ballList.balls[0].vx, ballList.balls[0].vy}),
              (Ints{intToFixed(100), (2500 * cosTable[a]) >> 8, (2500 * sinTable[a]) >> 8}));
}
