// Paddle: the zone, walls and frozen bound the move; the pile lifts it or buries it.
#include <gtest/gtest.h>

#include "fieldkit.h"
#include "shell/input.h"

// Kit field, Easy: paddle at (120, 300), half width 18, zone 78 (top at row 242), step limit 3.
static void paddleField(void) {
    makeKitField();
    stylus.down = stylus.x = stylus.y = 0;
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
    EXPECT_EQ((Ints{paddle.y, ballList.count, debrisList.count, debrisList.pieces[39].colour, game.score}),
              (Ints{242, 0, 40, 0xFFFF, 4000}));
}
