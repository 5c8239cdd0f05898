// The fuzz targets' kit: scratch folder and input files, pictures written once, state reset, a level
// played, screens visited.
#include "fuzzkit.h"

#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "field/ball.h"
#include "field/blocks.h"
#include "field/debris.h"
#include "field/effects.h"
#include "field/gamevalues.h"
#include "field/level.h"
#include "field/paddle.h"
#include "field/powerup.h"
#include "game/game.h"
#include "game/modes.h"
#include "game/play.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/surface.h"
#include "platform/headless/headless.h"
#include "shell/display.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "shell/random.h"
#include "shell/runfolder.h"
#include "sound/mixer.h"
#include "sound/music.h"
#include "sound/sample.h"

namespace {

// Writes Data/<name>, its pixel at (x, y) rule(x, y) as 0xRRGGBB.
void writePicture(const char* name, int width, int height, uint32_t (*rule)(int x, int y)) {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            uint32_t p = rule(x, y);
            rgb.insert(rgb.end(), {(uint8_t)(p >> 16), (uint8_t)(p >> 8), (uint8_t)p});
        }
    }
    if (!writePngFile(std::string(runPaths.dataPath) + name, width, height, rgb)) {
        abort();
    }
}

uint32_t rgb(int r, int g, int b) {
    return (uint32_t)r << 16 | (uint32_t)g << 8 | (uint32_t)b;
}

// Font pictures: the baseline marker in column 0, then glyphs of 1 to 4 columns in bands of
// `band` rows, their heights varying, enough of them for every code from '!' to 223.
int fontBand;
uint32_t fontRule(int x, int y) {
    int row = y % fontBand, glyph = (x - 1) / 5, column = (x - 1) % 5;
    int top = 2 + (glyph + y / fontBand) % 5;
    bool inked = column < 1 + glyph % 4 && row >= top && row <= fontBand - 4;
    int blue = x == 0 ? (y == fontBand * 2 / 3 ? 31 : 0) : (inked ? 8 + (row * 3 + column) % 24 : 0);
    return rgb(blue * 8, blue * 8, blue * 8);
}

Surface* fontPictures[2];

const char kitTypes[] =
    "Fuzz kit block types: cell x, cell y, width, height\n"
    "[block,0,16,10,5]\n[block,10,16,10,5]\n[block,20,16,10,5]\n[block,0,24,21,3]\n"
    "[block,0,28,5,5]\n[block,30,16,20,5]\n"
    "Cells that reach past the picture, and an empty one:\n"
    "[block,50,40,30,30]\n[block,0,0,0,0]\n[block,65535,65535,255,255]\n";

std::string scratchFolder;
char writtenPath[1024];

void removeScratchFolder(void) {
    std::error_code ignored;
    std::filesystem::remove_all(scratchFolder, ignored);
}

const char* writeFile(const char* folder, const char* name, const uint8_t* data, size_t size) {
    snprintf(writtenPath, sizeof(writtenPath), "%s%s", folder, name);
    FILE* f = fopen(writtenPath, "wb");
    if (f == nullptr || (size > 0 && fwrite(data, 1, size, f) != size)) {
        perror(writtenPath);
        abort();
    }
    fclose(f);
    return writtenPath;
}

}  // namespace

static void setUpFolder(void) {
    scratchFolder = "/tmp/plinkor-fuzz-" + std::to_string((long)getpid());
    std::filesystem::create_directories(scratchFolder + "/Data");
    std::filesystem::create_directories(scratchFolder + "/Sound");
    snprintf(runPaths.basePath, sizeof(runPaths.basePath), "%s/", scratchFolder.c_str());
    snprintf(runPaths.dataPath, sizeof(runPaths.dataPath), "%s/Data/", scratchFolder.c_str());
    snprintf(runPaths.soundPath, sizeof(runPaths.soundPath), "%s/Sound/", scratchFolder.c_str());
    headlessReset();
    initDisplayInfo();
    setGamma(128);
    buildLogColours();
    // Every log line of the loaders is taken, so their formatting runs too.
    logLevel = 1;
    atexit(removeScratchFolder);
}

void fuzzBeginInput(void) {
    headlessReset();
    clearLog();
}

const char* fuzzWriteDataFile(const char* name, const uint8_t* data, size_t size) {
    return writeFile(runPaths.dataPath, name, data, size);
}

const char* fuzzWriteSoundFile(const char* name, const uint8_t* data, size_t size) {
    return writeFile(runPaths.soundPath, name, data, size);
}

const char* fuzzWritePngFile(const char* name, const uint8_t* data, size_t size) {
    std::vector<uint8_t> copy(data, data + size);
    // After the 8-byte signature: length (4), type (4), data (length), CRC of type and data (4).
    for (size_t at = 8; at + 12 <= size;) {
        const uint8_t* p = &copy[at];
        size_t length = (size_t)p[0] << 24 | (size_t)p[1] << 16 | (size_t)p[2] << 8 | (size_t)p[3];
        if (length > size - at - 12) {
            break;
        }
        uint32_t crc = (uint32_t)crc32(0, &copy[at + 4], (uInt)(length + 4));
        for (size_t k = 0; k < 4; k++) {
            copy[at + 8 + length + k] = (uint8_t)(crc >> (24 - 8 * k));
        }
        at += length + 12;
    }
    return writeFile(runPaths.dataPath, name, copy.data(), size);
}

void fuzzLoadPictureTwice(const char* name) {
    Surface* made = nullptr;
    loadPicture(name, &made);
    bool small = (int64_t)made->width * made->height <= 65536;
    removeSurface(&made);
    if (small) {
        Surface* existing = createSurface(7, 5);
        loadPicture(name, &existing);
        removeSurface(&existing);
    }
}

void fuzzFail(const char* what) {
    fprintf(stderr, "%s\n", what);
    abort();
}

static void setUpKit(void) {
    // The collision map: blue walls left, right and top, the rest empty; a background.
    writePicture("scheme5.png", 240, 320,
                 [](int x, int y) { return x < 4 || x >= 236 || y < 4 ? rgb(0, 0, 200) : 0; });
    writePicture("scheme5v.png", 240, 320,
                 [](int x, int y) { return rgb(8 * (1 + x % 20), 8 * (2 + y % 20), 24); });
    // Kit cells (see kitTypes) in solid colours, with a hollow column here and there, and the paddle pieces.
    writePicture("blocks5.png", 64, 48, [](int x, int y) {
        bool hollow = (x == 20 || x == 29) && y >= 16 && y < 21;
        bool inked = y >= 16 && !hollow && ((x + y) % 7 != 0);
        return inked || (y < 8 && x >= 9 && x < 24) ? rgb(8 * (4 + x % 8), 8 * (10 + y % 8), 160) : 0;
    });
    auto spriteRule = [](int x, int y) {
        return (x * 7 + y * 3) % 5 != 0 ? rgb(40 + x * 3, 60 + y * 2, 200) : 0;
    };
    writePicture("sprites.png", 128, 64, spriteRule);
    writePicture("power-ups.png", 528, 72, spriteRule);
    writePicture("icons.png", 104, 52, spriteRule);
    fuzzWriteDataFile("blocks5.txt", (const uint8_t*)kitTypes, sizeof kitTypes - 1);

    buildAngleTables();
    buildExplosionSequence();
    backSurface = createSurface(240, 320);
    loadPicture("sprites.png", &effects.spritesPicture);
    loadPicture("power-ups.png", &effects.powerUpsPicture);
    loadPicture("icons.png", &effects.iconsPicture);

    // The small character sheet: 32 cells a row of 7 x 11 pixels, a 6 x 6 glyph at (1, 3) of each.
    writePicture("smallchars.png", 224, 99, [](int x, int y) {
        int cx = x % 7, cy = y % 11;
        return cx >= 1 && cy >= 3 && cy < 9 && ((x / 7 + y / 11 + cx * cy) % 3 != 0) ? 0xFFFFFFu : 0u;
    });
    loadPicture("smallchars.png", &smallCharsSheet);
    for (int slot = 0; slot < 2; slot++) {
        fontBand = slot == 0 ? 30 : 18;
        const char* name = slot == 0 ? "font0.png" : "font1.png";
        writePicture(name, 256, fontBand * 4, fontRule);
        loadPicture(name, &fontPictures[slot]);
        loadFont(fontPictures[slot], slot, fontBand);
    }
}

void fuzzGameReset(void) {
    seedGameRand(1);
    resetGameValues();
    game.difficulty = 1;
    game.lives = 3;
    game.levelIndex = FUZZ_LEVEL;
    ballList.count = 0;
    debrisList.count = 0;
    effects.explosionCount = 0;
    currentLevel.blockCount = 0;
    currentLevel.indestructibleCount = 0;
    blockTypeCount = 0;
    clearPowerUps();
    paddle = Paddle{};
    startGamePaddle();
    placePaddleForServe();
    hintPanel = HintPanel{0, 0, 120, 100, 0};
    // The music fade runs in every update: back to rest, its two slots empty.
    unloadSound(MUSIC_SLOT_A);
    unloadSound(MUSIC_SLOT_B);
    musicInit();
    mainLoop.currentMode = MODE_PLAY;
    mainLoop.previousMode = MODE_PLAY;
}

void fuzzPlayLevel(int updates, void (*afterSetUp)(void)) {
    setUpLevel();
    if (afterSetUp != nullptr) {
        afterSetUp();
    }
    game.readyCountdown = 0;
    for (int u = 0; u < updates; u++) {
        int32_t next = updatePlay();
        if ((u & 15) == 0 || next != MODE_PLAY) {
            drawPlayField();
            drawPlayMarks();
        }
        if (next != MODE_PLAY) {
            break;
        }
    }
    // The marks of every hidden power-up, as the See Power-ups cheat shows them.
    game.cheats.seePowerUps = 1;
    redrawField();
    game.cheats.seePowerUps = 0;
    tearDownLevel();

    currentLevel.thumbnailSheet = createSurface(240, 240);
    makeLevelThumbnail(FUZZ_LEVEL);
    removeSurface(&currentLevel.thumbnailSheet);
}

void fuzzVisitMode(int32_t mode, int updates) {
    mainLoop.currentMode = mode;
    enterMode(mode);
    for (int u = 0; u < updates; u++) {
        int32_t next = updateMode(mode);
        renderMode(mode);
        if (next != mode) {
            break;
        }
    }
    leaveMode(mode);
    mainLoop.currentMode = mode;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setUpFolder();
    if (fuzzSetUpParts & FUZZ_KIT) {
        setUpKit();
    }
    if (fuzzSetUpParts & FUZZ_SOUND) {
        soundInit(0);
        appActive = 1;
    }
    return 0;
}
