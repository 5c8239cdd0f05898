// The level set at a glance: all 100 levels drawn at full size in their recolouring, scaled into a 10 x 10
// sheet written next to the run folder, with a table of each level's figures on the test's output.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gfx/blit.h"
#include "gfx/picture.h"
#include "levelset_common.h"
#include "support/testutil.h"

namespace {

const int THUMB_W = 80, THUMB_H = 107, LABEL_H = 9, PAD = 4;
const int CELL_W = THUMB_W + PAD, CELL_H = THUMB_H + LABEL_H + PAD;

// 3 x 5 digits for the level labels.
const char* const digitRows[10][5] = {
    {"###", "#.#", "#.#", "#.#", "###"}, {".#.", "##.", ".#.", ".#.", "###"}, {"###", "..#", "###", "#..", "###"},
    {"###", "..#", "###", "..#", "###"}, {"#.#", "#.#", "###", "..#", "..#"}, {"###", "#..", "###", "..#", "###"},
    {"###", "#..", "###", "#.#", "###"}, {"###", "..#", ".#.", ".#.", ".#."}, {"###", "#.#", "###", "#.#", "###"},
    {"###", "#.#", "###", "..#", "###"},
};

void putRgb(std::vector<uint8_t>& rgb, int width, int x, int y, uint8_t r, uint8_t g, uint8_t b) {
    size_t i = ((size_t)y * width + x) * 3;
    rgb[i] = r;
    rgb[i + 1] = g;
    rgb[i + 2] = b;
}

void drawNumber(std::vector<uint8_t>& rgb, int width, int x, int y, int n) {
    std::string text = std::to_string(n);
    for (char c : text) {
        for (int j = 0; j < 5; j++) {
            for (int i = 0; i < 3; i++) {
                if (digitRows[c - '0'][j][i] == '#') {
                    putRgb(rgb, width, x + i, y + j, 220, 220, 220);
                }
            }
        }
        x += 4;
    }
}

// The level's field as the game first shows it: background and blocks, both in the level's recolouring.
Surface* renderLevel(int n, const std::vector<TypeCellView>& types, std::vector<LevelRecordView>* records) {
    Surface* field = nullptr;
    Surface* blocks = nullptr;
    loadPicture("scheme5v.png", &field);
    loadPicture("blocks5.png", &blocks);
    recolourArea(field, field->width, field->height, n % 5);
    recolourArea(blocks, blocks->width, blocks->height, n % 5);
    readLevelRecords("Data/level" + std::to_string(n) + ".dat", records);
    for (const LevelRecordView& r : *records) {
        if (r.type < (int)types.size()) {
            const TypeCellView& t = types[(size_t)r.type];
            blit(field, r.x, r.y, r.width, r.height, blocks, t.x, t.y, BLIT_TRANSPARENT);
        }
    }
    removeSurface(&blocks);
    return field;
}

}  // namespace

// Ten sheets of ten levels each at full size (5 x 2 fields of 240 x 320), for a close look.
TEST(LevelSetThumbnails, WritesFullSizeSheets) {
    prepareLevelSetPictures();
    std::vector<TypeCellView> types = parseBlockDescriptionText(readTextFile("Data/blocks5.txt"));
    ASSERT_FALSE(types.empty());
    for (int sheetIndex = 0; sheetIndex < 10; sheetIndex++) {
        const int w = 5 * 244, h = 2 * 324;
        std::vector<uint8_t> sheet((size_t)w * h * 3, 40);
        for (int k = 0; k < 10; k++) {
            int n = sheetIndex * 10 + k;
            std::vector<LevelRecordView> records;
            Surface* field = renderLevel(n, types, &records);
            ASSERT_EQ(field->width, 240);
            int ox = (k % 5) * 244 + 2, oy = (k / 5) * 324 + 2;
            for (int y = 0; y < 320; y++) {
                for (int x = 0; x < 240; x++) {
                    int r, g, b;
                    unpackColour(getPixel(field, x, y), &r, &g, &b);
                    putRgb(sheet, w, ox + x, oy + y, (uint8_t)(r << 3 | r >> 2), (uint8_t)(g << 3 | g >> 2),
                           (uint8_t)(b << 3 | b >> 2));
                }
            }
            drawNumber(sheet, w, ox + 2, oy + 2, n);
            removeSurface(&field);
        }
        std::string path = std::string(PLINKOR_RUN_DIR) + "/../levelset_full_" + std::to_string(sheetIndex) + ".png";
        writeTestPngRgb(path, w, h, sheet);
        EXPECT_FALSE(readFileBytes(path).empty());
    }
}

TEST(LevelSetThumbnails, WritesTheSheetOfAllLevels) {
    prepareLevelSetPictures();
    std::vector<TypeCellView> types = parseBlockDescriptionText(readTextFile("Data/blocks5.txt"));
    ASSERT_FALSE(types.empty());
    const int sheetW = 10 * CELL_W + PAD, sheetH = 10 * CELL_H + PAD;
    std::vector<uint8_t> sheet((size_t)sheetW * sheetH * 3, 16);
    Surface* scheme = nullptr;
    loadPicture("scheme5.png", &scheme);
    ASSERT_EQ(scheme->width, 240);
    printf("level blocks metal gems debris-px pile-rows shielded power-ups\n");
    for (int n = 0; n < 100; n++) {
        Surface* field = nullptr;
        Surface* blocks = nullptr;
        loadPicture("scheme5v.png", &field);
        loadPicture("blocks5.png", &blocks);
        ASSERT_EQ(field->width, 240);
        ASSERT_EQ(field->height, 320);
        recolourArea(field, 240, 320, n % 5);
        recolourArea(blocks, blocks->width, blocks->height, n % 5);
        std::vector<LevelRecordView> records;
        ASSERT_TRUE(readLevelRecords("Data/level" + std::to_string(n) + ".dat", &records)) << n;
        int metal = 0, gems = 0, debris = 0, powerUps = 0;
        std::string kinds;
        for (const LevelRecordView& r : records) {
            ASSERT_LT(r.type, (int)types.size());
            const TypeCellView& t = types[(size_t)r.type];
            blit(field, r.x, r.y, r.width, r.height, blocks, t.x, t.y, BLIT_TRANSPARENT);
            metal += r.type == 0;
            gems += r.type != 0 && r.width <= 5;
            if (r.type != 0) {
                for (int dy = 0; dy < r.height; dy++) {
                    for (int dx = 0; dx < r.width; dx++) {
                        debris += getPixel(blocks, t.x + dx, t.y + dy) != 0;
                    }
                }
            }
            if (r.powerUp != 0) {
                powerUps++;
                kinds += " " + std::to_string(r.powerUp - 1);
            }
        }
        // Shielded: breakable blocks that no ball can reach straight up from the serve line, because
        // metal or a wall stands in every 7-pixel lane below them.
        std::vector<uint8_t> solid(240 * 320, 0);
        for (int y = 0; y < 320; y++) {
            for (int x = 0; x < 240; x++) {
                solid[(size_t)y * 240 + x] = getPixel(scheme, x, y) != 0;
            }
        }
        for (const LevelRecordView& r : records) {
            if (r.type == 0) {
                const TypeCellView& t = types[0];
                for (int dy = 0; dy < r.height; dy++) {
                    for (int dx = 0; dx < r.width; dx++) {
                        if (getPixel(blocks, t.x + dx, t.y + dy) != 0) {
                            solid[(size_t)(r.y + dy) * 240 + r.x + dx] = 1;
                        }
                    }
                }
            }
        }
        int shielded = 0;
        for (const LevelRecordView& r : records) {
            if (r.type == 0) {
                continue;
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
            shielded += open ? 0 : 1;
        }
        printf("%5d %6zu %5d %4d %9d %9d %8d %2d:%s\n", n, records.size(), metal, gems, debris,
               (2 * debris + 219) / 220, shielded, powerUps, kinds.c_str());
        int ox = PAD + (n % 10) * CELL_W, oy = PAD + (n / 10) * CELL_H;
        drawNumber(sheet, sheetW, ox, oy + 1, n);
        for (int ty = 0; ty < THUMB_H; ty++) {
            for (int tx = 0; tx < THUMB_W; tx++) {
                int sum[3] = {0, 0, 0}, count = 0;
                for (int j = 0; j < 3; j++) {
                    for (int i = 0; i < 3; i++) {
                        int sx = tx * 3 + i, sy = ty * 3 + j;
                        if (sy < 320) {
                            int r, g, b;
                            unpackColour(getPixel(field, sx, sy), &r, &g, &b);
                            sum[0] += r;
                            sum[1] += g;
                            sum[2] += b;
                            count++;
                        }
                    }
                }
                auto eight = [count](int s) { return (uint8_t)(s * 255 / (31 * count)); };
                putRgb(sheet, sheetW, ox + tx, oy + LABEL_H + ty, eight(sum[0]), eight(sum[1]), eight(sum[2]));
            }
        }
        removeSurface(&field);
        removeSurface(&blocks);
    }
    removeSurface(&scheme);
    std::string path = std::string(PLINKOR_RUN_DIR) + "/../levelset_thumbnails.png";
    writeTestPngRgb(path, sheetW, sheetH, sheet);
    printf("sheet: %s\n", path.c_str());
    EXPECT_FALSE(readFileBytes(path).empty());
}
