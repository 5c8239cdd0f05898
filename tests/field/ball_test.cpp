// Balls and paddle: paddle bounces, probe order, the through-ball; the pile lifts the paddle or buries it.
#include <gtest/gtest.h>

#include "fieldkit.h"
#include "shell/input.h"

// The kit field with the paddle out of the way at x 20.
static void ballField(void) {
    makeKitField();
    paddle.x = 20;
}

// The kit field on Medium (speed bounds 2250..4500), the paddle at (120, 300).
static void paddleAt300(void) {
    makeKitField();
    game.difficulty = 2;
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
        const Ball& b = ballList.balls[0];
        EXPECT_EQ((Ints{b.vx, b.vy, b.speed}), (Ints{c[3], c[4], c[5]}));
        if (c[0] <= 130 && c[4] < 0) {
            // Put on line y - 6 after the extra step.
            EXPECT_EQ((Ints{b.x, b.y}), (Ints{(c[0] << 10) + c[3], intToFixed(294)}));
        }
    }
}

TEST(PaddleBounce, AFastBallIsCaughtAfterCrossingTheLineAndOneFromBelowIsSentDown) {
    // Start y, vy, the paddle line the last update left, then y and vy after one step.
    const int cases[][5] = {
        {290, 20 * 1024, 300, 294, -2989},  // crossed the line (lands at 310, past the first band): caught
        {298, 12 * 1024, 300, 310, 12288},  // started below the previous line - 3: not caught
        {305, -1024, 320, 308, 2988},       // below the line, rising into it: sent down on side -10
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        paddleAt300();
        ballList.previousPaddleLine = c[2];
        placeBall(120, c[0], 0, c[1], 3000);
        stepBalls();
        EXPECT_EQ((Ints{ballList.balls[0].y, ballList.balls[0].vy}), (Ints{intToFixed(c[3]), c[4]}));
    }
}

TEST(BallProbes, AWallUnderAnEarlierProbeWinsAndOverlappingBlocksGiveTheLowerIndex) {
    // Bricks, a gem, the map's block rectangle and a wall pixel (-1: none), then the blocks left, the
    // pieces, the score and the first block's type. A block under probe 2 (3, 0) and a wall under probe
    // 0 (0, -3): the wall wins; the other way round the block is broken. Two blocks under probe 0 at
    // (100, 97): the 10-wide brick (20 points), not the 5-wide gem (50).
    const int cases[][13] = {{103, 98, -1, -1, 103, 98, 10, 5, 100, 97, 1, 0, 0},
                             {95, 93, -1, -1, 95, 93, 10, 5, 103, 100, 0, 100, 20},
                             {96, 95, 98, 93, 96, 93, 14, 10, -1, -1, 1, 100, 20}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        ballField();
        addLevelBlock(c[0], c[1], KIT_BRICK);
        if (c[2] >= 0) {
            addLevelBlock(c[2], c[3], KIT_GEM);
        }
        paintMap(c[4], c[5], c[6], c[7], 0xF800);
        paintMap(c[8], c[9], 1, 1, KIT_WALL);
        placeBall(100, 100, 0, 0, 2500);
        stepBalls();
        EXPECT_EQ((Ints{currentLevel.blockCount, debrisList.count, game.score,
                        c[10] > 0 ? currentLevel.blocks[0].type : -1}),
                  (Ints{c[10], c[11], c[12], c[10] > 0 ? (c[2] >= 0 ? KIT_GEM : KIT_BRICK) : -1}));
    }
}

TEST(ThroughBall, BreaksBreakableBlocksWithoutBouncingButBouncesOffSteel) {
    // Through-ball, block type, then the blocks left and the ball's vy; without the power-up a broken
    // block bounces the ball straight down: (2500 x 255) >> 8.
    const int cases[][4] = {{1, KIT_BRICK, 0, -1024}, {1, KIT_STEEL, 1, 2490}, {0, KIT_BRICK, 0, 2490}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0] * 10 + c[1]);
        ballField();
        powerUps.counts[POWERUP_THROUGH_BALL] = (int16_t)c[0];
        addLevelBlock(95, 85, c[1]);
        currentLevel.indestructibleCount = c[1] == KIT_STEEL;
        paintMap(95, 85, 10, 5, 0xF800);
        placeBall(100, 93, 0, -1024, 2500);  // probe 0 reaches the block after the move
        stepBalls();
        EXPECT_EQ((Ints{currentLevel.blockCount, ballList.balls[0].vy}), (Ints{c[2], c[3]}));
    }
}

// Kit field, Easy: paddle at (120, 300), half width 18, zone 78 (top at row 242), the stylus up.
static void paddleField(void) {
    makeKitField();
    stylus.down = stylus.x = stylus.y = 0;
    game.updateCounter = 1;
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
    EXPECT_EQ((Ints{paddle.y, ballList.count, debrisList.count, debrisList.pieces[39].colour, game.score}),
              (Ints{242, 0, 40, 0xFFFF, 4000}));
}
