// Play: the squeezed paddle and the clear bonus.
#include <gtest/gtest.h>

#include "fieldkit.h"
#include "game/play.h"
#include "shell/input.h"

static int32_t tick(void) {
    game.updateCounter++;
    return updatePlay();
}

// A scratch folder with the kit's data; level 2 holds a row of bricks and one steel block.
class Play : public KitFiles {
protected:
    void SetUp() override {
        KitFiles::SetUp();
        makeKitField();
        LevelBlock level[9] = {record(150, 60, KIT_STEEL)};
        for (int i = 1; i < 9; i++) {
            level[i] = record(8 + 12 * i, 40, KIT_BRICK);
        }
        writeLevelFile(2, level, 9);
        tearDownLevel();
        game.levelIndex = 2;
        game.helpfulHints = 0;
        stylus.down = 0;
    }
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
    while (currentLevel.blockCount > 1) {
        breakBlock(1);  // all but the steel block in slot 0
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
    for (int t = 0; t < 2000 && result == MODE_PLAY; t++) {
        int score = game.score, balls = ballList.count;
        result = tick();
        if (ballList.count < balls) {
            pays.push_back(game.score - score);
            EXPECT_EQ(game.updateCounter & 3, 0u);
        }
    }
    EXPECT_EQ(result, MODE_LEVEL_DONE);
    EXPECT_EQ(pays, (Ints{33, 50, 100}));
}
