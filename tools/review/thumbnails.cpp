// The level set at a glance: all 100 levels drawn at full size in their recolouring, scaled into a 10 x 10
// sheet, with a table of each level's figures on the output.
#include <cstdio>
#include <string>
#include <vector>

#include "gfx/blit.h"
#include "gfx/picture.h"
#include "reviewkit.h"

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

void drawNumber(Surface* s, int x, int y, int n) {
    for (char c : std::to_string(n)) {
        for (int j = 0; j < 5; j++) {
            for (int i = 0; i < 3; i++) {
                if (digitRows[c - '0'][j][i] == '#') {
                    putPixel(s, x + i, y + j, packColour(27, 27, 27));
                }
            }
        }
        x += 4;
    }
}

Surface* sheetOf(int w, int h, int grey) {
    Surface* s = createSurface(w, h);
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            putPixel(s, x, y, packColour(grey, grey, grey));
        }
    }
    return s;
}

// The level's field as the game first shows it: background and blocks, both in the level's recolouring.
Surface* renderLevel(const LevelSet& set, int n) {
    Surface* field = loadDataPicture("scheme5v.png");
    Surface* blocks = loadDataPicture("blocks5.png");
    recolourArea(field, field->width, field->height, n % 5);
    recolourArea(blocks, blocks->width, blocks->height, n % 5);
    for (const LevelRecordView& r : set.levels[(size_t)n]) {
        if (r.type < (int)set.types.size()) {
            const TypeCellView& t = set.types[(size_t)r.type];
            blit(field, r.x, r.y, r.width, r.height, blocks, t.x, t.y, BLIT_TRANSPARENT);
        }
    }
    removeSurface(&blocks);
    return field;
}

}  // namespace

// Ten sheets of ten levels each at full size (5 x 2 fields of 240 x 320), for a close look.
static bool writeFullSizeSheets(const LevelSet& set) {
    bool ok = true;
    for (int sheetIndex = 0; sheetIndex < 10; sheetIndex++) {
        Surface* sheet = sheetOf(5 * 244, 2 * 324, 5);
        for (int k = 0; k < 10; k++) {
            int n = sheetIndex * 10 + k, ox = (k % 5) * 244 + 2, oy = (k / 5) * 324 + 2;
            Surface* field = renderLevel(set, n);
            blit(sheet, ox, oy, 240, 320, field, 0, 0, BLIT_COPY);
            drawNumber(sheet, ox + 2, oy + 2, n);
            removeSurface(&field);
        }
        std::string path = reviewOutDir + "levelset_full_" + std::to_string(sheetIndex) + ".png";
        ok = writeSurfacePng(path, sheet) && ok;
        removeSurface(&sheet);
    }
    return ok;
}

static bool writeThumbnailSheet(const LevelSet& set) {
    Surface* sheet = sheetOf(10 * CELL_W + PAD, 10 * CELL_H + PAD, 2);
    printf("level blocks metal gems debris-px pile-rows shielded power-ups\n");
    for (int n = 0; n < 100; n++) {
        Figures f = levelFigures(set, n);
        int powerUps = 0;
        std::string kinds;
        for (const LevelRecordView& r : set.levels[(size_t)n]) {
            if (r.powerUp != 0) {
                powerUps++;
                kinds += " " + std::to_string(r.powerUp - 1);
            }
        }
        printf("%5d %6d %5d %4d %9d %9d %8d %2d:%s\n", n, f.blocks, f.metal, f.gems, f.debris,
               (2 * f.debris + 219) / 220, f.shielded, powerUps, kinds.c_str());
        // Each thumbnail pixel is the mean of 3 x 3 field pixels (the last row of only the one left).
        Surface* field = renderLevel(set, n);
        int ox = PAD + (n % 10) * CELL_W, oy = PAD + (n / 10) * CELL_H;
        drawNumber(sheet, ox, oy + 1, n);
        for (int ty = 0; ty < THUMB_H; ty++) {
            for (int tx = 0; tx < THUMB_W; tx++) {
                int sum[3] = {0, 0, 0}, count = 0;
                for (int sy = ty * 3; sy < ty * 3 + 3 && sy < 320; sy++) {
                    for (int sx = tx * 3; sx < tx * 3 + 3; sx++) {
                        int c[3];
                        unpackColour(getPixel(field, sx, sy), &c[0], &c[1], &c[2]);
                        for (int k = 0; k < 3; k++) {
                            sum[k] += c[k];
                        }
                        count++;
                    }
                }
                putPixel(sheet, ox + tx, oy + LABEL_H + ty, packColour(sum[0] / count, sum[1] / count, sum[2] / count));
            }
        }
        removeSurface(&field);
    }
    std::string path = reviewOutDir + "levelset_thumbnails.png";
    bool ok = writeSurfacePng(path, sheet);
    removeSurface(&sheet);
    return ok;
}

bool writeLevelSheets() {
    LevelSet set;
    if (set.types.empty()) {
        fprintf(stderr, "plinkor-review: no block types in Data/blocks5.txt\n");
        return false;
    }
    bool ok = writeFullSizeSheets(set);
    return writeThumbnailSheet(set) && ok;
}
