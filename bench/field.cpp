// Play-field benchmarks: one play update and one play-field render in typical and extreme states.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "field/ball.h"
#include "field/blocks.h"
#include "field/debris.h"
#include "field/effects.h"
#include "field/level.h"
#include "field/paddle.h"
#include "field/powerup.h"
#include "field/gamevalues.h"
#include "game/play.h"
#include "gfx/blit.h"
#include "shell/input.h"
#include "shell/mainloop.h"
#include "shell/random.h"
#include "shell/replaystate.h"

namespace {

const uint16_t WALL = 0x001F, CYAN = 0x07DF;

void fill(Surface* s, int x, int y, int w, int h, uint16_t c) {
    for (int j = y; j < y + h; j++) {
        for (int i = x; i < x + w; i++) {
            putPixel(s, i, j, c);
        }
    }
}

void dropSurface(Surface** s) {
    if (*s != nullptr) {
        removeSurface(s);
    }
}

// A 240 x 320 field with walls, `blocks` bricks of four sizes (a tenth of them steel, some hiding
// power-ups) and a pile `pile` rows deep; Medium, the ready countdown over.
void buildField(int blocks, int pile) {
    buildAngleTables();
    buildExplosionSequence();
    seedGameRand(99);
    resetGameValues();
    game.difficulty = 2;
    game.lives = 3;
    if (backSurface == nullptr) {
        backSurface = createSurface(240, 320);
    }
    dropSurface(&currentLevel.collisionMap);
    dropSurface(&currentLevel.backgroundPicture);
    dropSurface(&currentLevel.pristineBackground);
    dropSurface(&currentLevel.fieldPicture);
    dropSurface(&currentLevel.blocksPicture);
    if (effects.spritesPicture == nullptr) {
        effects.spritesPicture = createSurface(256, 64);
        fill(effects.spritesPicture, 0, 0, 224, 32, packColour(6, 3, 1));
        fill(effects.spritesPicture, 0, 32, 24, 7, 0xFFDF);
        effects.iconsPicture = createSurface(160, 64);
        fill(effects.iconsPicture, 0, 0, 160, 64, packColour(20, 10, 4));
        effects.powerUpsPicture = createSurface(24 * 22, 72);
        fill(effects.powerUpsPicture, 0, 0, 24 * 22, 72, packColour(4, 8, 12));
    }
    currentLevel.collisionMap = createSurface(240, 320);
    fill(currentLevel.collisionMap, 0, 0, 4, 320, WALL);
    fill(currentLevel.collisionMap, 236, 0, 4, 320, WALL);
    fill(currentLevel.collisionMap, 0, 0, 240, 4, WALL);
    currentLevel.backgroundPicture = createSurface(240, 320);
    for (int y = 0; y < 320; y++) {
        for (int x = 0; x < 240; x++) {
            putPixel(currentLevel.backgroundPicture, x, y, packColour(x & 15, y & 15, 4));
        }
    }
    currentLevel.pristineBackground = createSurface(240, 320);
    blit(currentLevel.pristineBackground, 0, 0, 240, 320, currentLevel.backgroundPicture, 0, 0, BLIT_COPY);
    currentLevel.fieldPicture = createSurface(240, 320);
    currentLevel.blocksPicture = createSurface(64, 48);
    fill(currentLevel.blocksPicture, 9, 0, 11, 11, packColour(20, 20, 20));
    static const int cells[4][4] = {{0, 16, 10, 5}, {10, 16, 20, 5}, {30, 16, 5, 5}, {0, 24, 24, 6}};
    blockTypeCount = 4;
    for (int t = 0; t < 4; t++) {
        fill(currentLevel.blocksPicture, cells[t][0], cells[t][1], cells[t][2], cells[t][3], packColour(10 + t, 20, 5 + t));
        blockTypes[t] = BlockType{};
        blockTypes[t].cellX = (uint16_t)cells[t][0];
        blockTypes[t].cellY = (uint16_t)cells[t][1];
        blockTypes[t].width = (uint8_t)cells[t][2];
        blockTypes[t].height = (uint8_t)cells[t][3];
    }
    currentLevel.blockCount = 0;
    currentLevel.indestructibleCount = 0;
    for (int i = 0; i < blocks; i++) {
        int type = i % 10 == 9 ? 0 : 1 + i % 3;
        int x = 6 + (i * 26) % 204, y = 10 + (i * 26 / 204) * 8;
        addLevelBlock(x, y % 190, type, i % 7 == 3 ? 1 + (i / 7) % 22 : 0);
        currentLevel.indestructibleCount += type == 0;
    }
    ballList.count = 0;
    debrisList.count = 0;
    effects.explosionCount = 0;
    clearPowerUps();
    redrawField();
    fill(currentLevel.collisionMap, 4, 320 - pile, 232, pile, CYAN);
    fill(currentLevel.collisionMap, 0, 319, 240, 1, CYAN);
    paddle = Paddle{};
    paddle.halfWidth = paddle.targetHalfWidth = 16;
    paddle.zoneHeight = paddle.targetZoneHeight = 71;
    paddle.stepLimit = 3;
    placePaddleForServe();
    paddle.y = 320 - pile - 8;
    paddle.fixedY = intToFixed(paddle.y);
    game.readyCountdown = 0;
    stylus.down = 1;
    stylus.x = 100;
    stylus.y = 300;
}

void addBalls(int n) {
    for (int i = 0; i < n; i++) {
        spawnBall(20 + (i * 37) % 200, 120 + (i * 13) % 100, (i * 97) % 1000 - 500, -512 + (i & 1) * 1024);
    }
}

void addFlyingDebris(int n) {
    for (int i = 0; i < n; i++) {
        spawnDebris(10 + (i * 7) % 220, 20 + (i * 11) % 200, (gameRand() & 0x3FF) * 4 - 2048,
                    (gameRand() & 0x3FF) * 4 - 2048, DEBRIS_PIECE, 0xFFFF);
    }
}

// Everything an update touches, so that each batch of updates starts from the same state: the game's
// own snapshot (the moving parts, the game values, the generator) plus the level the snapshot leaves to
// the files (its blocks and pictures).
struct Snapshot {
    GameSnapshot game;
    std::vector<LevelBlock> blocks;
    int32_t indestructible;
    std::vector<uint16_t> map, field, background;
};

void savePixels(std::vector<uint16_t>& to, const Surface* s) {
    to.assign(s->pixels, s->pixels + (size_t)s->width * s->height);
}

void takeSnapshot(Snapshot& s) {
    takeGameSnapshot(&s.game);
    s.blocks.assign(currentLevel.blocks, currentLevel.blocks + currentLevel.blockCount);
    s.indestructible = currentLevel.indestructibleCount;
    savePixels(s.map, currentLevel.collisionMap);
    savePixels(s.field, currentLevel.fieldPicture);
    savePixels(s.background, currentLevel.backgroundPicture);
}

void restoreSnapshot(const Snapshot& s) {
    putGameSnapshot(s.game);
    currentLevel.blockCount = (int32_t)s.blocks.size();
    std::copy(s.blocks.begin(), s.blocks.end(), currentLevel.blocks);
    currentLevel.indestructibleCount = s.indestructible;
    memcpy(currentLevel.collisionMap->pixels, s.map.data(), s.map.size() * 2);
    memcpy(currentLevel.fieldPicture->pixels, s.field.data(), s.field.size() * 2);
    memcpy(currentLevel.backgroundPicture->pixels, s.background.data(), s.background.size() * 2);
}

enum State { TYPICAL, DEBRIS_STORM, THOUSAND_BALLS, LEVEL_CLEAR };

void buildState(int state) {
    switch (state) {
    case TYPICAL:
        buildField(150, 12);
        addBalls(3);
        addFlyingDebris(200);
        spawnFallingPowerUp(100, 150, POWERUP_WIDE_PADDLE);
        collectPowerUp(POWERUP_LASER);
        break;
    case DEBRIS_STORM:
        buildField(150, 12);
        addBalls(3);
        addFlyingDebris(MAX_DEBRIS);
        break;
    case THOUSAND_BALLS:
        buildField(150, 12);
        addBalls(1000);
        break;
    default:
        // Every breakable block gone: the balls are cashed in and the drain runs to the end.
        buildField(20, 30);
        while (currentLevel.blockCount > currentLevel.indestructibleCount) {
            breakBlock(currentLevel.blocks[0].type == 0 ? 1 : 0);
        }
        addBalls(20);
        for (int k = 0; k < 6; k++) {
            collectPowerUp(k);
        }
        break;
    }
    game.updateCounter = 1;
}

const char* stateName(int state) {
    static const char* names[] = {"typical", "debris_storm", "1000_balls", "level_clear"};
    return names[state];
}

// Runs batches of 32 updates from the same starting state; the restore between batches is not timed.
void playUpdate(benchmark::State& bench) {
    int state = (int)bench.range(0);
    buildState(state);
    Snapshot start;
    takeSnapshot(start);
    const int batch = 32;
    int64_t updates = 0;
    for (auto _ : bench) {
        bench.PauseTiming();
        restoreSnapshot(start);
        bench.ResumeTiming();
        for (int u = 0; u < batch; u++) {
            game.updateCounter++;
            benchmark::DoNotOptimize(updatePlay());
        }
        updates += batch;
    }
    bench.SetItemsProcessed(updates);
    bench.SetLabel(stateName(state));
    bench.counters["us_per_update"] =
        benchmark::Counter((double)updates, benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
                           benchmark::Counter::kIs1000);
}

void playRender(benchmark::State& bench) {
    int state = (int)bench.range(0);
    buildState(state);
    // A few updates first so that trails, debris and marks are as play leaves them.
    for (int u = 0; u < 8; u++) {
        game.updateCounter++;
        updatePlay();
    }
    Snapshot start;
    takeSnapshot(start);
    int n = 0;
    for (auto _ : bench) {
        drawPlayField();
        drawPlayMarks();
        benchmark::ClobberMemory();
        // Laser beams spawn sparks when drawn: start again now and then so the state stays the same.
        if (++n == 256) {
            bench.PauseTiming();
            restoreSnapshot(start);
            n = 0;
            bench.ResumeTiming();
        }
    }
    bench.SetLabel(stateName(state));
}

}  // namespace

BENCHMARK(playUpdate)->DenseRange(TYPICAL, LEVEL_CLEAR)->Unit(benchmark::kMicrosecond);
BENCHMARK(playRender)->DenseRange(TYPICAL, LEVEL_CLEAR)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
