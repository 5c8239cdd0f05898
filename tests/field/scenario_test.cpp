// Long play scenarios: a scripted paddle follows the ball through many levels; invariants after every
// update; the same inputs twice give identical state.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "field/ball.h"
#include "field/blocks.h"
#include "field/debris.h"
#include "field/effects.h"
#include "field/level.h"
#include "field/paddle.h"
#include "field/powerup.h"
#include "fieldkit.h"
#include "field/gamevalues.h"
#include "game/play.h"
#include "gfx/picture.h"
#include "shell/input.h"
#include "shell/mainloop.h"
#include "shell/random.h"
#include "support/testutil.h"

namespace {

struct ScenarioResult {
    uint64_t hash;               // state after the last update
    std::vector<uint64_t> trail; // state every 1000 updates
    int levelsCleared;
    int gamesOver;
    int blocksBroken;
    int scoreChecks;             // updates whose score change was fully accounted for
    int collected;               // power-up entries seen arriving
    int maxBalls, maxDebris;
};

// Sums of up to k power-up scores (a ball killer's -1000 and the burying rule's -1000 look alike).
static const std::set<int>& powerUpSums(int k) {
    static std::vector<std::set<int>> cache;
    while ((int)cache.size() <= k) {
        std::set<int> next;
        if (cache.empty()) {
            next.insert(0);
        } else {
            next = cache.back();
            for (int s : cache.back()) {
                for (int kind = 0; kind < POWERUP_KINDS; kind++) {
                    next.insert(s + powerUpRules[kind].score);
                }
            }
        }
        cache.push_back(next);
    }
    return cache[k];
}

// Every block of the list as one number, sorted.
static std::vector<uint64_t> sortedBlockKeys(void) {
    std::vector<uint64_t> keys;
    for (int i = 0; i < currentLevel.blockCount; i++) {
        const LevelBlock& r = currentLevel.blocks[i];
        keys.push_back((uint64_t)r.x << 48 | (uint64_t)r.y << 32 | (uint64_t)r.type << 24 | (uint64_t)r.width << 16 |
                       (uint64_t)r.height << 8 | (uint64_t)(r.powerUp & 0xFF));
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

// Power-up entries that arrived this update (their counter still 0).
static int arrivedPowerUps(void) {
    int arrived = 0;
    for (int i = 0; i < powerUps.activeCount; i++) {
        arrived += powerUps.active[i].counter == 0;
    }
    return arrived;
}

// Pixels that turned into pile this update rest on ground: solid before, or on a pixel solid before,
// or on another new pile pixel that does (checked from the bottom up), or at the bottom.
static void checkPileRests(const std::vector<uint16_t>& before) {
    const int w = currentLevel.collisionMap->width, h = currentLevel.collisionMap->height;
    std::vector<uint8_t> ok((size_t)w * h, 0);
    for (int y = h - 1; y >= 0; y--) {
        for (int x = 0; x < w; x++) {
            uint16_t now = getPixel(currentLevel.collisionMap, x, y), was = before[(size_t)y * w + x];
            if (now != KIT_CYAN || was == KIT_CYAN) {
                continue;
            }
            bool rests = y == h - 1 || (was & 31) != 0 || (before[(size_t)(y + 1) * w + x] & 31) != 0 ||
                         ok[(size_t)(y + 1) * w + x];
            ASSERT_TRUE(rests) << "floating pile pixel at " << x << "," << y;
            ok[(size_t)y * w + x] = 1;
        }
    }
}

static void checkCounts(void) {
    ASSERT_GE(ballList.count, 0);
    ASSERT_LE(ballList.count, MAX_BALLS);
    ASSERT_LE(debrisList.count, MAX_DEBRIS);
    ASSERT_LE(effects.explosionCount, MAX_EXPLOSIONS);
    ASSERT_LE(powerUps.capsuleCount, MAX_CAPSULES);
    ASSERT_LE(powerUps.activeCount, MAX_ACTIVE_POWERUPS);
    ASSERT_LE(currentLevel.blockCount, MAX_LEVEL_BLOCKS);
    int counts[POWERUP_KINDS] = {};
    for (int i = 0; i < powerUps.activeCount; i++) {
        ASSERT_GE(powerUps.active[i].kind, 0);
        ASSERT_LT(powerUps.active[i].kind, POWERUP_KINDS);
        counts[powerUps.active[i].kind]++;
    }
    for (int k = 0; k < POWERUP_KINDS; k++) {
        ASSERT_EQ(counts[k], powerUps.counts[k]) << "kind " << k;
    }
    int steel = 0;
    for (int i = 0; i < currentLevel.blockCount; i++) {
        steel += currentLevel.blocks[i].type == 0;
    }
    ASSERT_EQ(steel, currentLevel.indestructibleCount);
    // A ball leaves the list as soon as a step finds it outside the field; a bounce in that step (off the
    // paddle low in its zone: line y + 8) or a launch may carry it a few pixels further until the next.
    for (int i = 0; i < ballList.count; i++) {
        const Ball& b = ballList.balls[i];
        int bx = fixedToInt(b.x), by = fixedToInt(b.y);
        ASSERT_TRUE(bx >= -16 && bx <= 256 && by >= -16 && by <= 327) << "ball " << i << " at " << bx << "," << by;
    }
    // Pieces stay in the field; a burst this update may have put some up to 3 pixels beyond a ball.
    for (int i = 0; i < debrisList.count; i++) {
        if (debrisList.pieces[i].type == DEBRIS_PIECE) {
            int px = fixedToInt(debrisList.pieces[i].x), py = fixedToInt(debrisList.pieces[i].y);
            ASSERT_TRUE(px >= -3 && px <= 243 && py >= -3 && py <= 322) << "piece at " << px << "," << py;
        }
    }
    for (int i = 0; i < powerUps.capsuleCount; i++) {
        ASSERT_LE(fixedToInt(powerUps.capsules[i].y), 320);
    }
    ASSERT_GE(paddle.y, currentLevel.collisionMap->height - paddle.zoneHeight);
    ASSERT_LE(paddle.y, currentLevel.collisionMap->height - 1);
}

// Plays `updates` updates from a new game on levels first..first + levels - 1 (wrapping), the paddle
// following the lowest ball; renders every update as the play screen would.
static void playScenario(int first, int levels, int updates, int difficulty, ScenarioResult& result) {
    result = ScenarioResult{};
    seedGameRand(20240601);
    resetGameValues();
    game.difficulty = difficulty;
    game.lives = 3;
    game.helpfulHints = 0;
    game.levelIndex = first;
    game.updateCounter = 0;
    ballList.previousPaddleLine = 320;
    paddle = Paddle{};
    paddle.stepLimit = 5;
    startGamePaddle();
    stylus.down = 0;
    setUpLevel();
    std::vector<uint16_t> mapBefore;
    for (int u = 0; u < updates; u++) {
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

        mapBefore.assign(currentLevel.collisionMap->pixels, currentLevel.collisionMap->pixels + 240 * 320);
        int scoreBefore = game.score, countBefore = currentLevel.blockCount, capsulesBefore = powerUps.capsuleCount;
        int ballsBefore = ballList.count, countdownBefore = game.readyCountdown;
        bool clearedBefore = levelCleared() != 0;
        std::vector<uint64_t> keysBefore = sortedBlockKeys();
        int arrivedBefore = arrivedPowerUps();

        game.updateCounter++;
        int32_t mode = updatePlay();
        drawPlayField();
        drawPlayMarks();

        ASSERT_NO_FATAL_FAILURE(checkCounts()) << "update " << u;
        if (memcmp(mapBefore.data(), currentLevel.collisionMap->pixels, mapBefore.size() * 2) != 0) {
            ASSERT_NO_FATAL_FAILURE(checkPileRests(mapBefore)) << "update " << u;
        }

        // Score: broken blocks by width, the clear bonus, and power-up scores only.
        int delta = game.score - scoreBefore;
        if (countBefore != currentLevel.blockCount) {
            std::vector<uint64_t> keysAfter = sortedBlockKeys(), removed;
            std::set_difference(keysBefore.begin(), keysBefore.end(), keysAfter.begin(), keysAfter.end(),
                                std::back_inserter(removed));
            ASSERT_EQ((int)removed.size(), countBefore - currentLevel.blockCount);
            for (uint64_t key : removed) {
                delta -= blockScore((int)(key >> 16 & 0xFF));
            }
            result.blocksBroken += (int)removed.size();
        }
        if (clearedBefore && (game.updateCounter & 3) == 0 && ballsBefore > 0) {
            delta -= 100 / ballsBefore;
        }
        result.collected += std::max(0, arrivedPowerUps() - arrivedBefore);
        bool served = countdownBefore <= -250 && game.readyCountdown > 0;
        int collections = capsulesBefore + (countBefore - currentLevel.blockCount) + (served ? 20 : 0) + 1;
        ASSERT_TRUE(powerUpSums(std::min(collections, 40)).count(delta))
            << "unexplained score change " << delta << " at update " << u;
        result.scoreChecks++;
        result.maxBalls = std::max(result.maxBalls, (int)ballList.count);
        result.maxDebris = std::max(result.maxDebris, (int)debrisList.count);

        if (mode == MODE_LEVEL_DONE) {
            result.levelsCleared++;
            game.levelIndex = first + (game.levelIndex - first + 1) % levels;
            tearDownLevel();
            setUpLevel();
        } else if (mode == MODE_GAME_OVER) {
            result.gamesOver++;
            game.lives = 3;
            game.score = 0;
            startGamePaddle();
            tearDownLevel();
            setUpLevel();
        }
        if (u % 1000 == 999) {
            result.trail.push_back(hashFieldState());
        }
    }
    result.hash = hashFieldState();
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
                LevelBlock r = {};
                r.x = (uint16_t)x;
                r.y = (uint16_t)y;
                r.type = (uint8_t)((x / 40 + row) % 9 == 4 && row != 3 ? KIT_STEEL : type);
                r.width = blockTypes[r.type].width;
                r.height = blockTypes[r.type].height;
                if ((x + row * 7) % 5 == 0) {
                    r.powerUp = (uint16_t)(1 + kind % POWERUP_KINDS);
                    kind++;
                }
                blocks.push_back(r);
            }
        }
        writeLevelFile(level, blocks.data(), (int)blocks.size());
    }
}

// Plays the scenario twice: the runs must keep the invariants and end in identical states.
static ScenarioResult playTwice(const char* name, int first, int levels, int updates, int difficulty) {
    ScenarioResult a, b;
    playScenario(first, levels, updates, difficulty, a);
    if (::testing::Test::HasFatalFailure()) {
        return a;
    }
    playScenario(first, levels, updates, difficulty, b);
    EXPECT_EQ(a.hash, b.hash);
    EXPECT_EQ(a.trail, b.trail);
    EXPECT_EQ(a.scoreChecks, updates);
    printf("%s: %d levels cleared, %d games over, %d blocks broken, %d power-ups, max %d ballList.balls, %d debris\n", name,
           a.levelsCleared, a.gamesOver, a.blocksBroken, a.collected, a.maxBalls, a.maxDebris);
    return a;
}

}  // namespace

TEST(Scenario, KitLevelsPlayedLongKeepTheirInvariantsAndRepeatExactly) {
    ScratchFolder folder;
    makeKitField();
    writeKitData();
    writeKitLevels();
    tearDownLevel();
    ScenarioResult a = playTwice("kit", 0, 3, 40000, 2);
    ASSERT_FALSE(HasFatalFailure());
    // The script really plays: blocks break, power-ups are caught, a level is cleared, a game is lost.
    EXPECT_GT(a.blocksBroken, 150);
    EXPECT_GE(a.collected, 10);
    EXPECT_GE(a.levelsCleared, 1);
    EXPECT_GE(a.gamesOver, 1);
}

TEST(Scenario, GeneratedLevelsPlayedLongKeepTheirInvariantsAndRepeatExactly) {
    // The level set and sprite sheets the build generates into the run folder.
    resetFieldState();
    ASSERT_TRUE(std::filesystem::exists("Data/level0.dat"));
    loadPicture("sprites.png", &effects.spritesPicture);
    loadPicture("icons.png", &effects.iconsPicture);
    loadPicture("power-ups.png", &effects.powerUpsPicture);
    ScenarioResult a = playTwice("generated", 0, 10, 30000, 1);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_GT(a.blocksBroken, 100);
}
