// Level set readers for the tests: level records, block types, recolouring, figures.
#include "levelset_common.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "field/blocks.h"
#include "field/level.h"
#include "field/powerup.h"
#include "gfx/blit.h"
#include "gfx/picture.h"
#include "platform/headless/headless.h"
#include "shell/mainloop.h"
#include "shell/runfolder.h"
#include "support/testutil.h"

bool readLevelRecords(const std::string& path, std::vector<LevelRecordView>* out, long* fileSize) {
    out->clear();
    if (!std::filesystem::exists(path)) {
        return false;
    }
    std::vector<uint8_t> bytes = readFileBytes(path);
    if (fileSize != nullptr) {
        *fileSize = (long)bytes.size();
    }
    for (size_t i = 0; i + 12 <= bytes.size(); i += 12) {
        const uint8_t* r = &bytes[i];
        LevelRecordView v{r[0] | r[1] << 8, r[2] | r[3] << 8, r[4], r[5], r[6], r[10] | r[11] << 8, {}};
        memcpy(v.reserved, r + 7, 3);
        out->push_back(v);
    }
    return true;
}

std::string levelFile(int n) {
    return "Data/level" + std::to_string(n) + ".dat";
}

std::vector<TypeCellView> loadBlockTypes() {
    prepareLevelSetPictures();
    loadBlockDescriptions(5);
    std::vector<TypeCellView> types;
    for (int t = 0; t < blockTypeCount; t++) {
        types.push_back({blockTypes[t].cellX, blockTypes[t].cellY, blockTypes[t].width, blockTypes[t].height});
    }
    return types;
}

void prepareLevelSetPictures() {
    setGamma(128);
    snprintf(runPaths.dataPath, sizeof runPaths.dataPath, "./Data/");
}

Surface* loadDataPicture(const char* name, int gamma) {
    prepareLevelSetPictures();
    setGamma(gamma);
    size_t boxes = headlessMessageBoxes().size();
    Surface* s = nullptr;
    loadPicture(name, &s);
    EXPECT_EQ(headlessMessageBoxes().size(), boxes) << name << " did not load";
    setGamma(128);
    return s;
}

void recolourArea(Surface* s, int w, int h, int p) {
    if (p == 0) {
        return;
    }
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            int r, g, b;
            unpackColour(getPixel(s, x, y), &r, &g, &b);
            int nr = r, ng = g, nb = b;
            switch (p) {
                case 1: nr = r; ng = b; nb = g; break;
                case 2: nr = g; ng = r; nb = b; break;
                case 3: nr = b; ng = r; nb = g; break;
                default: nr = b; ng = g; nb = r; break;
            }
            putPixel(s, x, y, packColour(nr, ng, nb));
        }
    }
}

bool harmfulKind(int kind) {
    return kind == POWERUP_NARROW_PADDLE || kind == POWERUP_SLUGGISH_PADDLE || kind == POWERUP_BALL_KILLER ||
           kind == POWERUP_FROZEN_PADDLE || kind == POWERUP_ZONE_DOWN;
}

bool wallPixel(uint16_t pixel) {
    int r, g, b;
    unpackColour(pixel, &r, &g, &b);
    return r == 0 && b != 0;
}

LevelSet::LevelSet() {
    prepareLevelSetPictures();
    types = loadBlockTypes();
    loadPicture("blocks5.png", &blocks);
    loadPicture("scheme5.png", &scheme);
    levels.resize(100);
    for (int n = 0; n < 100; n++) {
        readLevelRecords(levelFile(n), &levels[(size_t)n]);
    }
}

LevelSet::~LevelSet() {
    removeSurface(&blocks);
    removeSurface(&scheme);
}

bool LevelSet::cellPixel(int type, int dx, int dy) const {
    const TypeCellView& t = types[(size_t)type];
    return getPixel(blocks, t.x + dx, t.y + dy) != 0;
}

std::vector<uint8_t> LevelSet::solidMap(int n) const {
    std::vector<uint8_t> solid(240 * 320, 0);
    for (int y = 0; y < 320; y++) {
        for (int x = 0; x < 240; x++) {
            solid[(size_t)y * 240 + x] = getPixel(scheme, x, y) != 0;
        }
    }
    for (const LevelRecordView& r : levels[(size_t)n]) {
        for (int dy = 0; dy < r.height && r.type == 0; dy++) {
            for (int dx = 0; dx < r.width; dx++) {
                if (cellPixel(0, dx, dy)) {
                    solid[(size_t)(r.y + dy) * 240 + r.x + dx] = 1;
                }
            }
        }
    }
    return solid;
}

Figures levelFigures(const LevelSet& set, int n) {
    Figures f;
    std::vector<uint8_t> solid = set.solidMap(n);
    for (const LevelRecordView& r : set.levels[(size_t)n]) {
        f.blocks++;
        f.metal += r.type == 0;
        if (r.type == 0) {
            continue;
        }
        f.gems += r.width <= 5;
        for (int dy = 0; dy < r.height; dy++) {
            for (int dx = 0; dx < r.width; dx++) {
                f.debris += set.cellPixel(r.type, dx, dy);
            }
        }
        bool open = false;
        for (int cx = r.x - 3; cx <= r.x + r.width + 2 && !open; cx++) {
            bool clear = cx - 3 >= 0 && cx + 3 < 240;
            for (int y = r.y + r.height; y < 200 && clear; y++) {
                for (int x = cx - 3; x <= cx + 3 && clear; x++) {
                    clear = !solid[(size_t)y * 240 + x];
                }
            }
            open = clear;
        }
        f.shielded += open ? 0 : 1;
    }
    return f;
}

void openTestLevel(int n) {
    loadLevel(n);
    currentLevel.pristineBackground = createSurface(currentLevel.backgroundPicture->width, currentLevel.backgroundPicture->height);
    blit(currentLevel.pristineBackground, 0, 0, currentLevel.backgroundPicture->width, currentLevel.backgroundPicture->height, currentLevel.backgroundPicture, 0, 0,
         BLIT_COPY);
    currentLevel.fieldPicture = createSurface(currentLevel.backgroundPicture->width, currentLevel.backgroundPicture->height);
    redrawField();
}

void closeTestLevel() {
    EXPECT_EQ(unloadLevel(), 1);
    removeSurface(&currentLevel.fieldPicture);
}
