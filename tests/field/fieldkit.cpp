// Test kit for the play field: fresh state, a plain field with known block cells, level files.
#include "fieldkit.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "game/play.h"
#include "gfx/blit.h"
#include "shell/mainloop.h"
#include "shell/random.h"
#include "shell/log.h"
#include "shell/runfolder.h"

const uint16_t KIT_CYAN = 0x07DF;
const uint16_t KIT_WALL = 0x001F;
const uint16_t KIT_BRICK_COLOUR = 0xF800 | 0x0400;  // red with some green

// The kit's block cells in its blocks picture.
static const struct { int x, y, w, h; } cells[KIT_TYPES] = {
    {0, 16, 10, 5}, {10, 16, 10, 5}, {20, 16, 10, 5}, {0, 24, 21, 3}, {0, 28, 5, 5}, {30, 16, 20, 5}};

void resetFieldState(void) {
    strcpy(runPaths.dataPath, "./Data/");
    setGamma(128);
    buildAngleTables();
    buildExplosionSequence();
    seedGameRand(1);
    resetGameValues();
    game.difficulty = 1;
    game.lives = 3;
    ballList.count = debrisList.count = effects.explosionCount = 0;
    currentLevel.blockCount = currentLevel.indestructibleCount = blockTypeCount = 0;
    clearPowerUps();
    ballList.previousPaddleLine = 320;
    paddle = Paddle{};
    paddle.halfWidth = paddle.targetHalfWidth = 18;
    paddle.zoneHeight = paddle.targetZoneHeight = 78;
    paddle.stepLimit = 3;
    placePaddleForServe();
    for (Surface** s : {&currentLevel.collisionMap, &currentLevel.backgroundPicture, &currentLevel.pristineBackground,
                        &currentLevel.fieldPicture, &currentLevel.blocksPicture, &effects.spritesPicture,
                        &effects.iconsPicture, &effects.powerUpsPicture}) {
        if (*s != nullptr) {
            removeSurface(s);
        }
    }
    if (backSurface == nullptr) {
        backSurface = createSurface(240, 320);
    }
    clearSurface(backSurface);
    mainLoop.currentMode = MODE_PLAY;
}

void paintRect(Surface* s, int x, int y, int w, int h, uint16_t c) {
    for (int j = y; j < y + h; j++) {
        for (int i = x; i < x + w; i++) {
            putPixel(s, i, j, c);
        }
    }
}

void paintMap(int x, int y, int w, int h, uint16_t colour) {
    paintRect(currentLevel.collisionMap, x, y, w, h, colour);
}

void makeKitField(void) {
    resetFieldState();
    currentLevel.collisionMap = createSurface(240, 320);
    currentLevel.backgroundPicture = createSurface(240, 320);
    for (int y = 0; y < 320; y++) {
        for (int x = 0; x < 240; x++) {
            putPixel(currentLevel.backgroundPicture, x, y, packColour(x & 31, y & 31, 3));
        }
    }
    currentLevel.pristineBackground = createSurface(240, 320);
    blit(currentLevel.pristineBackground, 0, 0, 240, 320, currentLevel.backgroundPicture, 0, 0, BLIT_COPY);
    currentLevel.fieldPicture = createSurface(240, 320);
    blit(currentLevel.fieldPicture, 0, 0, 240, 320, currentLevel.backgroundPicture, 0, 0, BLIT_COPY);

    currentLevel.blocksPicture = createSurface(64, 48);
    for (int t = 0; t < KIT_TYPES; t++) {
        uint16_t c = t == KIT_STEEL ? packColour(20, 20, 22) : (uint16_t)(KIT_BRICK_COLOUR + t);
        paintRect(currentLevel.blocksPicture, cells[t].x, cells[t].y, cells[t].w, cells[t].h, c);
        blockTypes[t] = BlockType{(uint16_t)cells[t].x, (uint16_t)cells[t].y, 0, (uint8_t)cells[t].w,
                                  (uint8_t)cells[t].h, {}, 0};
    }
    paintRect(currentLevel.blocksPicture, 20, 16, 1, 5, 0);
    paintRect(currentLevel.blocksPicture, 29, 16, 1, 5, 0);
    blockTypeCount = KIT_TYPES;

    effects.spritesPicture = createSurface(256, 64);
    effects.iconsPicture = createSurface(160, 64);
    effects.powerUpsPicture = createSurface(24 * 22, 72);
    paintRect(effects.powerUpsPicture, 0, 0, 24 * 22, 72, packColour(2, 4, 8));
}

// Writes a w x h RGB picture whose pixel (x, y) is colour(x, y), 0xRRGGBB.
template <class Colour>
static void writePicture(const char* path, int w, int h, Colour colour) {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            uint32_t c = colour(x, y);
            rgb.insert(rgb.end(), {(uint8_t)(c >> 16), (uint8_t)(c >> 8), (uint8_t)c});
        }
    }
    writeTestPngRgb(path, w, h, rgb);
}

void writeKitData(void) {
    writePicture("Data/scheme5.png", 240, 320,
                 [](int x, int y) { return x < 4 || x >= 236 || y < 4 ? 200u : 0u; });
    writePicture("Data/scheme5v.png", 240, 320,
                 [](int x, int y) { return (uint32_t)(8 * (1 + x % 20) << 16 | 8 * (2 + y % 20) << 8 | 8 * 3); });
    // Each type's cell in (4 + t, 10 + t, 20) times 8; the hollow type's first and last columns empty.
    writePicture("Data/blocks5.png", 64, 48, [](int x, int y) {
        for (int t = 0; t < KIT_TYPES; t++) {
            if (x >= cells[t].x && x < cells[t].x + cells[t].w && y >= cells[t].y &&
                y < cells[t].y + cells[t].h && !(y < 21 && (x == 20 || x == 29))) {
                return (uint32_t)(8 * (4 + t) << 16 | 8 * (10 + t) << 8 | 8 * 20);
            }
        }
        return 0u;
    });
    FILE* f = fopen("Data/blocks5.txt", "w");
    fputs("Kit block types, cell x, cell y, width, height\n", f);
    for (int t = 0; t < KIT_TYPES; t++) {
        fprintf(f, "[block,%d,%d,%d,%d]\n", cells[t].x, cells[t].y, cells[t].w, cells[t].h);
    }
    fclose(f);
}

void KitFiles::SetUp() {
    resetFieldState();
    writeKitData();
    logLevel = 1;
    clearLog();
}

LevelBlock record(int x, int y, int type, int powerUp, int w, int h) {
    return LevelBlock{(uint16_t)x, (uint16_t)y, (uint8_t)type, (uint8_t)(w >= 0 ? w : cells[type % KIT_TYPES].w),
                      (uint8_t)(h >= 0 ? h : cells[type % KIT_TYPES].h), {}, (uint16_t)powerUp};
}

int placeBall(int px, int py, int32_t vx, int32_t vy, int speed) {
    int i = ballList.count++;
    ballList.balls[i] = Ball{intToFixed(px), intToFixed(py), vx, vy, intToFixed(px), intToFixed(py), (int16_t)speed};
    return i;
}

Ints pixelsAt(const Surface* s, std::initializer_list<std::pair<int, int>> points) {
    Ints values;
    for (const auto& p : points) {
        values.push_back(getPixel(s, p.first, p.second));
    }
    return values;
}

// The record is the file's 12 bytes, little-endian (the saving test pins them byte by byte).
static_assert(sizeof(LevelBlock) == 12, "a level record is 12 bytes");
void writeLevelFile(int level, const LevelBlock* records, int count) {
    const uint8_t* bytes = (const uint8_t*)records;
    writeFileBytes("Data/level" + std::to_string(level) + ".dat", std::vector<uint8_t>(bytes, bytes + 12 * count));
}

std::string logText(void) {
    std::string text;
    for (int line = LOG_LINES - 1; line >= 0; line--) {
        for (int c = 0; c < LOG_COLUMNS && logBuffer.text[line][c] != 0; c++) {
            text += logBuffer.text[line][c];
        }
    }
    return text;
}
