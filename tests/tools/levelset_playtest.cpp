// Every level played out with the game's own ball physics by a steady automatic paddle that always
// reaches the ball but meets it at a random point, so it bounces off at varied angles. No power-ups
// are caught and no pile forms; the test shows that each level can be cleared by plain play and how
// long that takes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "field/ball.h"
#include "field/blocks.h"
#include "field/debris.h"
#include "field/level.h"
#include "field/paddle.h"
#include "game/gamevalues.h"
#include "gfx/blit.h"
#include "levelset_common.h"
#include "shell/random.h"

namespace {

const int TICK_LIMIT = 60 * 60 * 20;  // twenty minutes of play

// The serve as the game makes it on Easy: above the paddle zone, falling slightly sideways.
void serve() {
    int32_t vx = (gameRand() & 1023) - 512;
    int x = collisionMap->width / 2 - 64 + (gameRand() & 127);
    int y = collisionMap->height - 85 - 7 * game.difficulty;
    int index = spawnBall(x, y, vx, 512);
    if (index >= 0) {
        setBallSpeed(index);
    }
}

struct Outcome {
    int ticks;    // updates until the level was cleared, or the limit
    int serves;   // balls served
    int left;     // breakable blocks left at the end
};

Outcome playLevel(int n, uint32_t seed) {
    loadLevel(n);
    pristineBackground = createSurface(backgroundPicture->width, backgroundPicture->height);
    blit(pristineBackground, 0, 0, backgroundPicture->width, backgroundPicture->height, backgroundPicture, 0, 0,
         BLIT_COPY);
    fieldPicture = createSurface(backgroundPicture->width, backgroundPicture->height);
    redrawField();
    for (int x = 0; x < collisionMap->width; x++) {
        putPixel(collisionMap, x, collisionMap->height - 1, packColour(0, 31, 31));
    }
    seedGameRand(seed);
    startGamePaddle();
    placePaddleForServe();
    previousPaddleLine = paddle.y;
    Outcome out{0, 0, 0};
    int offset = 0;
    bool rising = false;
    for (; out.ticks < TICK_LIMIT && levelBlockCount > indestructibleCount; out.ticks++) {
        if (ballCount == 0) {
            serve();
            out.serves++;
        }
        // The player follows the lowest ball and picks a new spot on the paddle after every bounce.
        const Ball& b = balls[0];
        bool nowRising = b.vy < 0;
        if (nowRising && !rising) {
            offset = (gameRand() % (2 * paddle.halfWidth - 3)) - (paddle.halfWidth - 2);
        }
        rising = nowRising;
        paddle.x = std::clamp((b.x >> 10) - offset, 10 + paddle.halfWidth, 229 - paddle.halfWidth);
        paddle.fixedX = paddle.x << 10;
        paddle.vx = 0;
        paddle.vy = 0;
        updateDebris();
        stepBalls();
    }
    out.left = levelBlockCount - indestructibleCount;
    if (out.left > 0) {
        for (int i = 0; i < levelBlockCount; i++) {
            if (levelBlocks[i].type != 0) {
                printf("   left: type %d at %d,%d\n", levelBlocks[i].type, levelBlocks[i].x, levelBlocks[i].y);
            }
        }
        printf("   ball at %d,%d v %d,%d\n", balls[0].x >> 10, balls[0].y >> 10, balls[0].vx, balls[0].vy);
    }
    ballCount = 0;
    unloadLevel();
    removeSurface(&fieldPicture);
    return out;
}

}  // namespace

TEST(LevelSetPlaytest, EveryLevelIsClearedBySteadyPlay) {
    prepareLevelSetPictures();
    buildAngleTables();
    game.difficulty = 1;
    game.lives = 0;
    game.cheats.disableDebris = 1;
    // Three games a level, each with its own sequence of paddle spots and serves.
    const uint32_t seeds[3] = {1234, 999, 5555};
    double minutes[10] = {0};
    printf("level  seconds (three games)\n");
    for (int n = 0; n < 100; n++) {
        printf("%5d", n);
        for (uint32_t seed : seeds) {
            Outcome o = playLevel(n, seed + (uint32_t)n);
            printf(" %6d%s", o.ticks / 60, o.left > 0 ? " NOT CLEARED" : "");
            EXPECT_EQ(o.left, 0) << "level " << n << " still has " << o.left << " blocks after twenty minutes";
            minutes[n / 10] += o.ticks / 3600.0 / 30;
        }
        printf("\n");
    }
    for (int d = 0; d < 10; d++) {
        printf("levels %2d-%2d: %.1f minutes on average\n", d * 10, d * 10 + 9, minutes[d]);
    }
    // Longer levels later on: the last twenty take longer than the first twenty.
    EXPECT_GT(minutes[8] + minutes[9], minutes[0] + minutes[1]);
}
