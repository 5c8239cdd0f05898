// Play: the squeezed paddle, the clear bonus, slow motion, and updating with nothing loaded.
#include <gtest/gtest.h>

#include <vector>

#include "field/ball.h"
#include "field/blocks.h"
#include "field/debris.h"
#include "field/level.h"
#include "field/paddle.h"
#include "field/powerup.h"
#include "fieldkit.h"
#include "field/gamevalues.h"
#include "game/play.h"
#include "shell/input.h"
#include "shell/overlay.h"
#include "shell/random.h"
#include "support/testutil.h"

static int32_t tick(void) {
    game.updateCounter++;
    return updatePlay();
}

// A scratch folder with the kit's data; level 2 holds a row of bricks and one steel block.
class Play : public ::testing::Test {
protected:
    void SetUp() override {
        makeKitField();
        writeKitData();
        std::vector<LevelBlock> level;
        for (int i = 0; i < 8; i++) {
            level.push_back(record(20 + 12 * i, 40, KIT_BRICK));
        }
        level.push_back(record(150, 60, KIT_STEEL));
        writeLevelFile(2, level.data(), (int)level.size());
        tearDownLevel();
        game.levelIndex = 2;
        game.helpfulHints = 0;
        stylus.down = 0;
    }
    ScratchFolder folder;
};

TEST_F(Play, ASqueezedPaddleIsPushedUpAndCollectsZoneUpAtTheTop) {
    setUpLevel();
    game.lives = 3;
    paintMap(4, 210, 232, 109, KIT_CYAN);
    ballList.count = 0;
    game.readyCountdown = -250;
    int score = game.score;
    tick();
    // Zone Up collected at rows 242 and 222.
    EXPECT_EQ((Ints{game.score - score, powerUps.counts[POWERUP_ZONE_UP], paddle.zoneHeight, paddle.y}),
              (Ints{200, 2, 118, 204}));
}

TEST_F(Play, ClearingWithThreeBallsPays33Then50Then100) {
    setUpLevel();
    game.readyCountdown = 0;
    while (currentLevel.blockCount > currentLevel.indestructibleCount) {
        breakBlock(currentLevel.blocks[0].type == 0 ? 1 : 0);
    }
    debrisList.count = 0;
    ballList.count = 0;
    spawnBall(60, 150, 0, 0);
    spawnBall(80, 150, 0, 0);
    spawnBall(100, 150, 0, 0);
    collectPowerUp(POWERUP_LASER);
    collectPowerUp(POWERUP_HOMING);
    game.updateCounter = 3;
    Ints pays;
    int32_t result = MODE_PLAY;
    int t = 0;
    while (result == MODE_PLAY && t < 2000) {
        int score = game.score;
        int balls = ballList.count;
        result = tick();
        if (ballList.count < balls) {
            pays.push_back(game.score - score);
            EXPECT_EQ(game.updateCounter & 3, 0u);
        }
        t++;
    }
    EXPECT_EQ(result, MODE_LEVEL_DONE);
    EXPECT_EQ(pays, (Ints{33, 50, 100}));
}

TEST_F(Play, SlowMotionRunsThePlayStepInRunsOfTwoToTheNMinusOne) {
    setUpLevel();
    game.readyCountdown = 0;
    ballList.balls[0].vx = 0;
    ballList.balls[0].vy = 100;
    collectPowerUp(POWERUP_SLOW_MOTION);
    collectPowerUp(POWERUP_SLOW_MOTION);
    game.updateCounter = 0;
    Ints steps;
    for (int t = 0; t < 16; t++) {
        int32_t y = ballList.balls[0].y;
        tick();
        steps.push_back(ballList.balls[0].y != y);
    }
    // Update counters 1..16: bit 1 clear for 1, 4, 5, 8, 9, 12, 13, 16.
    EXPECT_EQ(steps, (Ints{1, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 1}));
}

TEST(PlayWithoutLevel, UpdatingAndDrawingWithNothingLoadedChangesNothing) {
    resetFieldState();
    spawnDebris(10, 10, 0, 0, DEBRIS_PIECE, 1);
    spawnBall(50, 50, 0, 512);
    game.readyCountdown = 0;
    EXPECT_EQ(tick(), MODE_PLAY);
    drawPlayField();
    drawPlayMarks();
    EXPECT_EQ((Ints{ballList.count, debrisList.count, ballList.balls[0].y}), (Ints{1, 1, intToFixed(50)}));
}
