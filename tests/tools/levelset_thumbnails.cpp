// The level set at a glance: all 100 levels drawn at full size in their recolouring, scaled into a 10 x 10
// sheet written next to the run folder.
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

TEST(LevelSetThumbnails, WritesTheSheetOfAllLevels) {
    prepareLevelSetPictures();
    std::vector<TypeCellView> types = parseBlockDescriptionText(readTextFile("Data/blocks5.txt"));
    ASSERT_FALSE(types.empty());
    const int sheetW = 10 * CELL_W + PAD, sheetH = 10 * CELL_H + PAD;
    std::vector<uint8_t> sheet((size_t)sheetW * sheetH * 3, 16);
    for (int n = 0; n < 100; n++) {
        std::vector<LevelRecordView> records;
        Surface* field = renderLevel(n, types, &records);
        ASSERT_EQ(field->width, 240);
        ASSERT_EQ(field->height, 320);
        int ox = PAD + (n % 10) * CELL_W, oy = PAD + (n / 10) * CELL_H;
        drawNumber(sheet, sheetW, ox, oy + 1, n);
        // Each thumbnail pixel is the mean of 3 x 3 field pixels.
        for (int ty = 0; ty < THUMB_H; ty++) {
            for (int tx = 0; tx < THUMB_W; tx++) {
                int sum[3] = {0, 0, 0}, count = 0;
                for (int j = 0; j < 3; j++) {
                    for (int i = 0; i < 3 && ty * 3 + j < 320; i++) {
                        int r, g, b;
                        unpackColour(getPixel(field, tx * 3 + i, ty * 3 + j), &r, &g, &b);
                        sum[0] += r;
                        sum[1] += g;
                        sum[2] += b;
                        count++;
                    }
                }
                auto eight = [count](int s) { return (uint8_t)(s * 255 / (31 * count)); };
                putRgb(sheet, sheetW, ox + tx, oy + LABEL_H + ty, eight(sum[0]), eight(sum[1]), eight(sum[2]));
            }
        }
        removeSurface(&field);
    }
    std::string path = std::string(PLINKOR_RUN_DIR) + "/../levelset_thumbnails.png";
    writeTestPngRgb(path, sheetW, sheetH, sheet);
    printf("sheet: %s\n", path.c_str());
    EXPECT_FALSE(readFileBytes(path).empty());
}
