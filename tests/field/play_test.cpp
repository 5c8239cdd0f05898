// Play: level set-up, the serve, the countdown, hint panel, shake, lost balls, lives, the clear sequence.
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

TEST_F(Play, SetUpPreparesTheLevelAndServes) {
    game.difficulty = 2;
    powerUps.counts[POWERUP_ZONE_UP] = 3;
    collectPowerUp(POWERUP_WIDE_PADDLE);
    paddle.swallow = 1;
    showStylusCursor = 1;
    seedGameRand(1234);
    RandModel model{1234};
    int r1 = model.next(), r2 = model.next();
    setUpLevel();
    EXPECT_EQ((Ints{hintPanel.width, hintPanel.x, hintPanel.y, hintPanel.leaving}), (Ints{200, 20, -150, 0}));
    EXPECT_EQ((Ints{powerUps.activeCount, powerUps.counts[POWERUP_WIDE_PADDLE], paddle.swallow, game.unlocked[1][2],
                    game.gameInProgress, showStylusCursor, currentLevel.blockCount, currentLevel.indestructibleCount}),
              (Ints{0, 0, 0, 1, 1, 0, 9, 1}));
    // The paddle one row above the first clear test.
    EXPECT_EQ((Ints{paddle.x, paddle.y, paddle.fixedY, paddle.zoneHeight, paddle.targetZoneHeight}),
              (Ints{120, 299, intToFixed(299), 71, 71}));
    EXPECT_EQ(game.readyCountdown, 200);
    ASSERT_EQ(ballList.count, 1);
    // The serve draws vx first, then the x offset; y = 320 - 85 - 14 with no Zone Up left.
    EXPECT_EQ((Ints{ballList.balls[0].x, ballList.balls[0].y, ballList.balls[0].speed}), (Ints{(120 - 64 + (r2 & 127)) << 10, intToFixed(221), 3000}));
    int32_t vx = (r1 & 1023) - 512, vy = 512;
    for (int n = 0; n < 2; n++) {
        int a = wrapAngle(angleOf(vx, vy) - 90);
        int32_t nvx = (3000 * cosTable[a]) >> 8, nvy = (3000 * sinTable[a]) >> 8;
        vx = nvx;
        vy = nvy;
    }
    EXPECT_EQ((Ints{ballList.balls[0].vx, ballList.balls[0].vy}), (Ints{vx, vy}));
    for (int x = 0; x < 240; x++) {
        ASSERT_EQ(getPixel(currentLevel.collisionMap, x, 319), KIT_CYAN);
    }
    EXPECT_EQ(hashSurface(currentLevel.pristineBackground), hashSurface(currentLevel.backgroundPicture));
    EXPECT_EQ(getPixel(currentLevel.collisionMap, 21, 40), 0xF800);
    EXPECT_EQ(getPixel(currentLevel.fieldPicture, 21, 40), getPixel(currentLevel.blocksPicture, 11, 16));

    game.helpfulHints = 1;
    game.cheats.unlockAllLevels = 1;
    game.levelIndex = 3;
    setUpLevel();
    EXPECT_EQ((Ints{game.readyCountdown, game.unlocked[1][3], currentLevel.blockCount}), (Ints{1000, 0, 0}));
}

TEST_F(Play, TheBallHangsUntilTheCountdownRunsOutAndThePanelSlides) {
    setUpLevel();
    int32_t x = ballList.balls[0].x, y = ballList.balls[0].y;
    EXPECT_EQ(tick(), MODE_PLAY);
    EXPECT_EQ(hintPanel.y, -150 + (250 >> 2));
    EXPECT_EQ(hintPanel.leaving, 1);  // the countdown is already below 300
    for (int t = 1; t < 99; t++) {
        tick();
    }
    EXPECT_EQ((Ints{game.readyCountdown, ballList.balls[0].x, ballList.balls[0].y}), (Ints{2, x, y}));
    tick();
    EXPECT_EQ(game.readyCountdown, 0);
    EXPECT_NE(ballList.balls[0].y, y);
}

TEST_F(Play, ShakeJittersTheOffsetsAndDiesDown) {
    setUpLevel();
    game.shake = 16;
    int moved = 0;
    for (int t = 0; t < 200 && game.shake > 0; t++) {
        tick();
        EXPECT_LT(game.shakeX < 0 ? -game.shakeX : game.shakeX, 16);
        moved += game.shakeX != 0 || game.shakeY != 0;
    }
    EXPECT_EQ((Ints{game.shake, game.shakeX, game.shakeY}), (Ints{0, 0, 0}));
    EXPECT_GT(moved, 50);
}

TEST_F(Play, ALostBallServesAgainAfterTheDebrisAndCostsALife) {
    setUpLevel();
    game.lives = 2;
    ballList.count = 0;
    game.readyCountdown = -240;
    spawnDebris(100, 100, 0, 0, DEBRIS_PIECE, 0xFFFF);
    int t = 0;
    while (game.lives == 2 && t < 1000) {
        EXPECT_EQ(tick(), MODE_PLAY);
        t++;
    }
    EXPECT_GT(t, 5);
    // The countdown is 200 at the serve, then the update's own step.
    EXPECT_EQ((Ints{debrisList.count, game.lives, ballList.count, game.readyCountdown, paddle.x, paddle.y}),
              (Ints{0, 1, 1, 198, 120, 299}));

    game.cheats.unlimitedLives = 1;
    ballList.count = 0;
    game.readyCountdown = -250;
    tick();
    EXPECT_EQ((Ints{game.lives, ballList.count}), (Ints{1, 1}));

    game.cheats.unlimitedLives = 0;
    game.lives = 0;
    ballList.count = 0;
    game.readyCountdown = -250;
    EXPECT_EQ(tick(), MODE_GAME_OVER);
    EXPECT_EQ(ballList.count, 0);
}

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
        int countdown = game.readyCountdown;
        int balls = ballList.count;
        result = tick();
        if (ballList.count < balls) {
            pays.push_back(game.score - score);
            EXPECT_EQ(game.updateCounter & 3, 0u);
        }
        if (countdown > -200 && game.readyCountdown > -200) {
            EXPECT_EQ(countdown - game.readyCountdown, 4);
        }
        t++;
    }
    EXPECT_EQ(result, MODE_LEVEL_DONE);
    EXPECT_EQ(pays, (Ints{33, 50, 100}));
    EXPECT_EQ((Ints{powerUps.activeCount, debrisList.count}), (Ints{0, 0}));
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
    stepBalls();
    updateDebris();
    updatePowerUps();
    drawPlayField();
    drawPlayMarks();
    EXPECT_EQ((Ints{ballList.count, debrisList.count, ballList.balls[0].y}), (Ints{1, 1, intToFixed(50)}));
}
