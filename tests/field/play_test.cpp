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
#include "game/gamevalues.h"
#include "game/play.h"
#include "shell/input.h"
#include "shell/overlay.h"
#include "shell/random.h"
#include "support/testutil.h"

static LevelBlock brick(int x, int y, int type = KIT_BRICK, int powerUp = 0) {
    LevelBlock r = {};
    r.x = (uint16_t)x;
    r.y = (uint16_t)y;
    r.type = (uint8_t)type;
    r.width = (uint8_t)blockTypes[type].width;
    r.height = (uint8_t)blockTypes[type].height;
    r.powerUp = (uint16_t)powerUp;
    return r;
}

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
            level.push_back(brick(20 + 12 * i, 40));
        }
        level.push_back(brick(150, 60, KIT_STEEL));
        writeLevelFile(2, level.data(), (int)level.size());
        tearDownLevel();
        game.levelIndex = 2;
        game.helpfulHints = 0;
        stylusDown = 0;
    }
    ScratchFolder folder;
};

TEST_F(Play, SetUpPreparesTheLevelAndServes) {
    game.difficulty = 2;
    powerUpCounts[POWERUP_ZONE_UP] = 3;
    collectPowerUp(POWERUP_WIDE_PADDLE);
    paddle.swallow = 1;
    showStylusCursor = 1;
    seedGameRand(1234);
    uint32_t s1 = 1234u * 214013u + 2531011u, s2 = s1 * 214013u + 2531011u;
    int r1 = (s1 >> 16) & 0x7FFF, r2 = (s2 >> 16) & 0x7FFF;
    setUpLevel();
    EXPECT_EQ(hintPanel.width, 200);
    EXPECT_EQ(hintPanel.x, 20);
    EXPECT_EQ(hintPanel.y, -150);
    EXPECT_EQ(hintPanel.leaving, 0);
    EXPECT_EQ(activePowerUpCount, 0);
    EXPECT_EQ(powerUpCounts[POWERUP_WIDE_PADDLE], 0);
    EXPECT_EQ(paddle.swallow, 0);
    EXPECT_EQ(game.unlocked[1][2], 1);
    EXPECT_EQ(game.gameInProgress, 1);
    EXPECT_EQ(showStylusCursor, 0);
    EXPECT_EQ(levelBlockCount, 9);
    EXPECT_EQ(indestructibleCount, 1);
    EXPECT_EQ(paddle.x, 120);
    EXPECT_EQ(paddle.y, 299);  // one row above the first clear test
    EXPECT_EQ(paddle.fixedY, 299 << 10);
    EXPECT_EQ(paddle.zoneHeight, 71);
    EXPECT_EQ(paddle.targetZoneHeight, 71);
    EXPECT_EQ(game.readyCountdown, 200);
    ASSERT_EQ(ballCount, 1);
    // The serve draws vx first, then the x offset; y = 320 - 85 - 14 with no Zone Up left.
    EXPECT_EQ(balls[0].x, (120 - 64 + (r2 & 127)) << 10);
    EXPECT_EQ(balls[0].y, 221 << 10);
    EXPECT_EQ(balls[0].speed, 3000);
    int32_t vx = (r1 & 1023) - 512, vy = 512;
    for (int n = 0; n < 2; n++) {
        int a = wrapAngle(angleOf(vx, vy) - 90);
        int32_t nvx = (3000 * cosTable[a]) >> 8, nvy = (3000 * sinTable[a]) >> 8;
        vx = nvx;
        vy = nvy;
    }
    EXPECT_EQ(balls[0].vx, vx);
    EXPECT_EQ(balls[0].vy, vy);
    for (int x = 0; x < 240; x++) {
        ASSERT_EQ(getPixel(collisionMap, x, 319), KIT_CYAN);
    }
    EXPECT_EQ(hashSurface(pristineBackground), hashSurface(backgroundPicture));
    EXPECT_EQ(getPixel(collisionMap, 21, 40), 0xF800);
    EXPECT_EQ(getPixel(fieldPicture, 21, 40), getPixel(blocksPicture, 11, 16));

    game.helpfulHints = 1;
    game.cheats.unlockAllLevels = 1;
    game.levelIndex = 3;
    setUpLevel();
    EXPECT_EQ(game.readyCountdown, 1000);
    EXPECT_EQ(game.unlocked[1][3], 0);
    EXPECT_EQ(levelBlockCount, 0);
}

TEST_F(Play, TheBallHangsUntilTheCountdownRunsOutAndThePanelSlides) {
    setUpLevel();
    int32_t x = balls[0].x, y = balls[0].y;
    EXPECT_EQ(tick(), MODE_PLAY);
    EXPECT_EQ(hintPanel.y, -150 + (250 >> 2));
    EXPECT_EQ(hintPanel.leaving, 1);  // the countdown is already below 300
    for (int t = 1; t < 99; t++) {
        tick();
    }
    EXPECT_EQ(game.readyCountdown, 2);
    EXPECT_EQ(balls[0].x, x);
    EXPECT_EQ(balls[0].y, y);
    tick();
    EXPECT_EQ(game.readyCountdown, 0);
    EXPECT_NE(balls[0].y, y);
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
    EXPECT_EQ(game.shake, 0);
    EXPECT_EQ(game.shakeX, 0);
    EXPECT_EQ(game.shakeY, 0);
    EXPECT_GT(moved, 50);
}

TEST_F(Play, ALostBallServesAgainAfterTheDebrisAndCostsALife) {
    setUpLevel();
    game.lives = 2;
    ballCount = 0;
    game.readyCountdown = -240;
    spawnDebris(100, 100, 0, 0, DEBRIS_PIECE, 0xFFFF);
    int t = 0;
    while (game.lives == 2 && t < 1000) {
        EXPECT_EQ(tick(), MODE_PLAY);
        t++;
    }
    EXPECT_EQ(debrisCount, 0);
    EXPECT_GT(t, 5);
    EXPECT_EQ(game.lives, 1);
    EXPECT_EQ(ballCount, 1);
    EXPECT_EQ(game.readyCountdown, 198);  // 200 at the serve, then the update's own step
    EXPECT_EQ(paddle.x, 120);
    EXPECT_EQ(paddle.y, 299);

    game.cheats.unlimitedLives = 1;
    ballCount = 0;
    game.readyCountdown = -250;
    tick();
    EXPECT_EQ(game.lives, 1);
    EXPECT_EQ(ballCount, 1);

    game.cheats.unlimitedLives = 0;
    game.lives = 0;
    ballCount = 0;
    game.readyCountdown = -250;
    EXPECT_EQ(tick(), MODE_GAME_OVER);
    EXPECT_EQ(ballCount, 0);
}

TEST_F(Play, ASqueezedPaddleIsPushedUpAndCollectsZoneUpAtTheTop) {
    setUpLevel();
    game.lives = 3;
    paintMap(4, 210, 232, 109, KIT_CYAN);
    ballCount = 0;
    game.readyCountdown = -250;
    int score = game.score;
    tick();
    EXPECT_EQ(game.score - score, 200);  // at rows 242 and 222
    EXPECT_EQ(powerUpCounts[POWERUP_ZONE_UP], 2);
    EXPECT_EQ(paddle.zoneHeight, 118);
    EXPECT_EQ(paddle.y, 204);
}

TEST_F(Play, ClearingWithThreeBallsPays33Then50Then100) {
    setUpLevel();
    game.readyCountdown = 0;
    while (levelBlockCount > indestructibleCount) {
        breakBlock(levelBlocks[0].type == 0 ? 1 : 0);
    }
    debrisCount = 0;
    ballCount = 0;
    spawnBall(60, 150, 0, 0);
    spawnBall(80, 150, 0, 0);
    spawnBall(100, 150, 0, 0);
    collectPowerUp(POWERUP_LASER);
    collectPowerUp(POWERUP_HOMING);
    game.updateCounter = 3;
    std::vector<int> pays;
    int32_t result = MODE_PLAY;
    int t = 0;
    while (result == MODE_PLAY && t < 2000) {
        int score = game.score;
        int countdown = game.readyCountdown;
        int balls = ballCount;
        result = tick();
        if (ballCount < balls) {
            pays.push_back(game.score - score);
            EXPECT_EQ(game.updateCounter & 3, 0u);
        }
        if (countdown > -200 && game.readyCountdown > -200) {
            EXPECT_EQ(countdown - game.readyCountdown, 4);
        }
        t++;
    }
    EXPECT_EQ(result, MODE_LEVEL_DONE);
    EXPECT_EQ(pays, (std::vector<int>{33, 50, 100}));
    EXPECT_EQ(activePowerUpCount, 0);
    EXPECT_EQ(debrisCount, 0);
}

TEST_F(Play, SlowMotionRunsThePlayStepInRunsOfTwoToTheNMinusOne) {
    setUpLevel();
    game.readyCountdown = 0;
    balls[0].vx = 0;
    balls[0].vy = 100;
    collectPowerUp(POWERUP_SLOW_MOTION);
    collectPowerUp(POWERUP_SLOW_MOTION);
    game.updateCounter = 0;
    std::vector<int> steps;
    for (int t = 0; t < 16; t++) {
        int32_t y = balls[0].y;
        tick();
        steps.push_back(balls[0].y != y);
    }
    // Update counters 1..16: bit 1 clear for 1, 4, 5, 8, 9, 12, 13, 16.
    EXPECT_EQ(steps, (std::vector<int>{1, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 1}));
}

TEST_F(Play, TheStylusSteersOnlyWhenNotSwallowed) {
    setUpLevel();
    stylusDown = 1;
    stylusX = 200;
    stylusY = 311;
    for (int t = 0; t < 30; t++) {
        tick();
    }
    EXPECT_GT(paddle.x, 130);
    int32_t x = paddle.x;
    paddle.swallow = 1;
    for (int t = 0; t < 30; t++) {
        tick();
    }
    EXPECT_LE(paddle.x - x, 2);  // only the last velocity's run-out
    EXPECT_EQ(paddle.vx, 0);
    stylusDown = 0;
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
    EXPECT_EQ(ballCount, 1);
    EXPECT_EQ(debrisCount, 1);
    EXPECT_EQ(balls[0].y, 50 << 10);
}
