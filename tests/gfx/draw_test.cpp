// The tiled background: where copies start and what clips them.
#include <gtest/gtest.h>

#include "gfx/blit.h"
#include "gfx/draw.h"
#include "shell/display.h"

namespace {

// A tile whose pixel (x, y) tells where it came from: 1 + x + 64 y (never 0).
Surface* markedTile(int w, int h) {
    Surface* t = createSurface(w, h);
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            putPixel(t, x, y, (uint16_t)(1 + x + 64 * y));
        }
    }
    return t;
}

}  // namespace

TEST(Tile, CopiesStartOneTileBeforeTheAreaLessTheScroll) {
    initDisplayInfo();
    Surface* dst = createSurface(240, 320);
    Surface* tile = markedTile(32, 32);
    tileSurface(dst, 0, 0, 240, 320, tile, 40, 0);
    // Columns of copies at x - 40, x - 8, x + 24, ...: the screen's column 0 is tile column 8.
    for (int y = 0; y < 320; y += 7) {
        for (int x = 0; x < 240; x += 3) {
            ASSERT_EQ(getPixel(dst, x, y), getPixel(tile, (x + 8) % 32, y % 32)) << x << "," << y;
        }
    }
    // Scrolling down moves the pattern up.
    tileSurface(dst, 0, 0, 240, 320, tile, 0, 45);
    EXPECT_EQ(getPixel(dst, 0, 0), getPixel(tile, 0, 13));
    EXPECT_EQ(getPixel(dst, 5, 319), getPixel(tile, 5, (319 + 13) % 32));
}

TEST(Tile, CopiesAreWholeTilesClippedOnlyByTheDestination) {
    initDisplayInfo();
    Surface* tile = markedTile(32, 20);
    Surface* dst = createSurface(200, 150);
    // Area at (16, 8), 100 x 50, scroll remainder 30 across: the last column of copies ends at
    // 16 + 4 * 32 - 30 - 1 = 113, short of the area's right edge at 115.
    tileSurface(dst, 16, 8, 100, 50, tile, 62, 5);
    EXPECT_EQ(getPixel(dst, 16, 8), getPixel(tile, 30, 5));
    EXPECT_EQ(getPixel(dst, 113, 8), getPixel(tile, 31, 5));
    EXPECT_EQ(getPixel(dst, 114, 8), 0);
    EXPECT_EQ(getPixel(dst, 115, 8), 0);
    // Whole copies spill before the area: the first column starts at 16 - 32 - 30 = -46, the first
    // row at 8 - 20 - 5 = -17.
    EXPECT_EQ(getPixel(dst, 0, 0), getPixel(tile, 14, 17));
    // Rows run from j = -1 to 50 / 20 + 1 = 3 and end at 8 + 4 * 20 - 5 - 1 = 82, past the area's bottom.
    EXPECT_EQ(getPixel(dst, 40, 82), getPixel(tile, (40 - 16 + 30) % 32, 19));
    EXPECT_EQ(getPixel(dst, 40, 83), 0);
    // A tile larger than the area still covers it; an empty tile draws nothing.
    Surface* empty = createSurface(0, 0);
    Surface* other = createSurface(10, 10);
    tileSurface(other, 0, 0, 10, 10, empty, 3, 3);
    EXPECT_EQ(getPixel(other, 5, 5), 0);
    tileSurface(other, 2, 2, 5, 5, tile, 0, 0);
    EXPECT_EQ(getPixel(other, 0, 0), getPixel(tile, 30, 18));
    EXPECT_EQ(getPixel(other, 9, 9), getPixel(tile, 7, 7));
}

