// A long play scenario: a scripted paddle follows the ball through the kit's levels; invariants after
// every update; the same inputs twice give identical state.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "fieldkit.h"
#include "game/play.h"
#include "shell/input.h"
#include "shell/mainloop.h"
#include "shell/random.h"
#include "shell/replay.h"

namespace {

// The state hash after the last update; levels cleared, games lost, blocks broken, power-up entries arrived.
struct ScenarioResult {
    uint64_t hash;
    int levelsCleared, gamesOver, blocksBroken, collected;
};

// Lists within their limits and their counts agreeing; balls, pieces, capsules and paddle in the field.
static void checkCounts(void) {
    ASSERT_TRUE(ballList.count >= 0 && ballList.count <= MAX_BALLS && debrisList.count <= MAX_DEBRIS &&
                effects.explosionCount <= MAX_EXPLOSIONS && powerUps.capsuleCount <= MAX_CAPSULES &&
                powerUps.activeCount <= MAX_ACTIVE_POWERUPS && currentLevel.blockCount <= MAX_LEVEL_BLOCKS);
    int counts[POWERUP_KINDS] = {}, steel = 0;
    for (int i = 0; i < powerUps.activeCount; i++) {
        ASSERT_TRUE(powerUps.active[i].kind >= 0 && powerUps.active[i].kind < POWERUP_KINDS);
        counts[powerUps.active[i].kind]++;
    }
    ASSERT_EQ(Ints(counts, counts + POWERUP_KINDS), Ints(powerUps.counts, powerUps.counts + POWERUP_KINDS));
    for (int i = 0; i < currentLevel.blockCount; i++) {
        steel += currentLevel.blocks[i].type == KIT_STEEL;
    }
    ASSERT_EQ(steel, currentLevel.indestructibleCount);
    // A ball leaves the list as soon as a step finds it outside the field; a bounce in that step (off the
    // paddle low in its zone: line y + 8) or a launch may carry it a few pixels further until the next.
    for (int i = 0; i < ballList.count; i++) {
        int bx = fixedToInt(ballList.balls[i].x), by = fixedToInt(ballList.balls[i].y);
        ASSERT_TRUE(bx >= -16 && bx <= 256 && by >= -16 && by <= 327) << "ball " << i << " at " << bx << "," << by;
    }
    // Pieces stay in the field; a burst this update may have put some up to 3 pixels beyond a ball.
    for (const Debris* d = debrisList.pieces; d < debrisList.pieces + debrisList.count; d++) {
        int px = fixedToInt(d->x), py = fixedToInt(d->y);
        ASSERT_TRUE((px >= -3 && px <= 243 && py >= -3 && py <= 322) || d->type != DEBRIS_PIECE) << px << "," << py;
    }
    for (int i = 0; i < powerUps.capsuleCount; i++) {
        ASSERT_LE(fixedToInt(powerUps.capsules[i].y), 320);
    }
    ASSERT_TRUE(paddle.y >= 320 - paddle.zoneHeight && paddle.y <= 319) << paddle.y;
}

// Plays 40000 updates from a new game on Medium through the kit's three levels (wrapping), the paddle
// following the lowest ball; renders every update as the play screen would.
static void playScenario(ScenarioResult& result) {
    result = ScenarioResult{};
    seedGameRand(20240601);
    resetGameValues();
    game.difficulty = 2;
    game.lives = 3;
    game.helpfulHints = game.levelIndex = 0;
    game.updateCounter = 0;
    ballList.previousPaddleLine = 320;
    paddle = Paddle{};
    paddle.stepLimit = 5;
    startGamePaddle();
    stylus.down = 0;
    setUpLevel();
    for (int u = 0; u < 40000; u++) {
        // The script: aim where the lowest falling ball will cross the paddle line (folded back at the
        // side walls), a little off centre by turns so that the bounces vary.
        int lowest = -1;
        for (int i = 0; i < ballList.count; i++) {
            if (ballList.balls[i].vy > 0 && (lowest < 0 || ballList.balls[i].y > ballList.balls[lowest].y)) {
                lowest = i;
            }
        }
        if (lowest >= 0) {
            const Ball& b = ballList.balls[lowest];
            int64_t ticks = (((int64_t)paddle.y << 10) - b.y) / b.vy;
            int64_t x = ticks > 0 ? b.x + b.vx * ticks : b.x;
            int landing = (int)(x >> 10);
            for (int fold = 0; fold < 4 && (landing < 8 || landing > 232); fold++) {
                landing = landing < 8 ? 16 - landing : 464 - landing;
            }
            stylus.down = 1;
            stylus.x = landing + ((u / 700) % 5 - 2) * 4;
            // Ride high in the zone, so that the paddle passes over the pile rather than into it.
            stylus.y = currentLevel.collisionMap->height - paddle.zoneHeight + 12 + 8;
        } else {
            stylus.down = 0;
        }
        int countBefore = currentLevel.blockCount, activeBefore = powerUps.activeCount;
        game.updateCounter++;
        int32_t mode = updatePlay();
        drawPlayField();
        drawPlayMarks();

        ASSERT_NO_FATAL_FAILURE(checkCounts()) << "update " << u;
        result.blocksBroken += countBefore - currentLevel.blockCount;
        result.collected += std::max(0, powerUps.activeCount - activeBefore);
        if (mode != MODE_LEVEL_DONE && mode != MODE_GAME_OVER) {
            continue;
        }
        if (mode == MODE_LEVEL_DONE) {
            result.levelsCleared++;
            game.levelIndex = (game.levelIndex + 1) % 3;
        } else {
            result.gamesOver++;
            game.lives = 3;
            game.score = 0;
            startGamePaddle();
        }
        tearDownLevel();
        setUpLevel();
    }
    result.hash = hashSurface(currentLevel.fieldPicture, hashSurface(currentLevel.collisionMap, gameStateHash()));
    tearDownLevel();
}

// Three kit levels: rows of every kit type, steel in between, every power-up kind hidden somewhere.
static void writeKitLevels(void) {
    int kind = 0;
    for (int level = 0; level < 3; level++) {
        std::vector<LevelBlock> blocks;
        int y = 20 + level * 6;
        for (int row = 0; row < 4; row++, y += 12) {
            int type = 1 + (row + level) % 5;
            int w = blockTypes[type].width;
            for (int x = 8 + (row & 1) * 6; x + w <= 232; x += w + 3) {
                int t = (x / 40 + row) % 9 == 4 && row != 3 ? KIT_STEEL : type;
                blocks.push_back(record(x, y, t, (x + row * 7) % 5 == 0 ? 1 + kind++ % POWERUP_KINDS : 0));
            }
        }
        writeLevelFile(level, blocks.data(), (int)blocks.size());
    }
}

}  // namespace

using Scenario = KitFiles;

TEST_F(Scenario, KitLevelsPlayedLongKeepTheirInvariantsAndRepeatExactly) {
    makeKitField();
    writeKitLevels();
    tearDownLevel();
    ScenarioResult a, b;
    ASSERT_NO_FATAL_FAILURE(playScenario(a));
    ASSERT_NO_FATAL_FAILURE(playScenario(b));
    EXPECT_EQ(a.hash, b.hash);
    // The script really plays: blocks break, power-ups are caught, a level is cleared, a game is lost.
    EXPECT_GT(a.blocksBroken, 150);
    EXPECT_GE(a.collected, 10);
    EXPECT_GE(a.levelsCleared, 1);
    EXPECT_GE(a.gamesOver, 1);
}
