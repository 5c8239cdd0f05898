// Fonts: a picture built here measured into text widths and drawn both ways.
#include <gtest/gtest.h>

#include <vector>

#include "gfx/draw.h"
#include "gfx/font.h"
#include "shell/display.h"
#include "shell/mainloop.h"
#include "support/testutil.h"

namespace {

uint16_t grey(int p) {
    return packColour(p, p, p);
}

// Two bands of 10 rows (rows 7..9 and 17..19 are never scanned), baseline marker at row 6:
//   '!'  columns 2..3: column 2 rows 2..4, column 3 rows 1 and 4 (two runs)
//   '"'  columns 6..7: column 6 rows 3..6 (its run reaches the last scanned row), column 7 row 5
//   ink at (9, 8), in the ignored rows
//   '#'  column 11 rows 0..1, red only (inked, but of intensity 0)
//   '$'  columns 14..15 of the second band, touching the right edge
//   ink at (3, 18), in the second band's ignored rows
Surface* testFontPicture() {
    Surface* p = createSurface(16, 20);
    const int ink[][3] = {{0, 6, 1}, {0, 12, 1},  // the second band's marker is never read
                          {2, 2, 31}, {2, 3, 16}, {2, 4, packColour(31, 0, 4)}, {3, 1, 9}, {3, 4, 31}, {6, 3, 20},
                          {6, 4, 20}, {6, 5, 20}, {6, 6, 20}, {7, 5, 21}, {9, 8, 31}, {11, 0, packColour(31, 0, 0)},
                          {11, 1, packColour(31, 0, 0)}, {14, 12, 5}, {14, 13, 6}, {15, 12, 7}, {3, 18, 31}};
    for (const auto& i : ink) {
        putPixel(p, i[0], i[1], (uint16_t)i[2]);
    }
    return p;
}

class Fonts : public ::testing::Test {
protected:
    void SetUp() override { initDisplayInfo(); }
};

}  // namespace

// Widths are measured band by band: '!' is 2 wide, '"' 2 (its column 6 reaches the last scanned row), '#'
// 1 (red only: inked, of intensity 0), '%' has no glyph.
TEST_F(Fonts, TextWidthCountsGlyphsSpacesAndControlCodes) {
    loadFont(testFontPicture(), 0, 10);
    // '$' is the second band's glyph, cut by the right edge; 0xE6 is beyond the table and advances like a
    // control code.
    EXPECT_EQ((Ints{textWidth("!"), textWidth("! \""), textWidth("!\t#", 0), textWidth(""), textWidth("%"),
                    textWidth("$"), textWidth("\xE6")}),
              (Ints{3, 3 + 5 + 3, 3 + 4 + 2, 0, 1, 2, 4}));
}

TEST_F(Fonts, DrawTextAddsIntensityAsLightAtTheBaseline) {
    loadFont(testFontPicture(), 0, 10);
    Surface* dst = createSurface(30, 20);
    drawText(dst, "!", 5, 10);
    // Glyph rows 1..4 of the band land at baseline 10 - 6 + 1 = 5 onwards; only the blue component is the
    // intensity.
    Surface* expected = createSurface(30, 20);
    const int light[][3] = {{5, 6, 31}, {5, 7, 16}, {5, 8, 4}, {6, 5, 9}, {6, 8, 31}};
    for (const auto& l : light) {
        putPixel(expected, l[0], l[1], grey(l[2]));
    }
    EXPECT_EQ(hashSurface(dst), hashSurface(expected));

    // After '!' (advance 3) and a space (5), '"' starts at 13; its rows 3..5 land from 7.
    Surface* line = createSurface(30, 20);
    drawText(line, "! \"", 5, 10);
    // Row 6 of the band is beyond the glyph's bottom.
    EXPECT_EQ((std::vector<uint16_t>{getPixel(line, 13, 7), getPixel(line, 13, 9), getPixel(line, 13, 10),
                                     getPixel(line, 14, 9)}),
              (std::vector<uint16_t>{grey(20), grey(20), 0, grey(21)}));
    // Light on white saturates.
    putPixel(line, 29, 1, 0xFFDF);
    drawText(line, "!", 28, 6);
    EXPECT_EQ(getPixel(line, 29, 1), 0xFFDF);
}

TEST_F(Fonts, ColouredTextBlendsWithWeightEightTimesIntensity) {
    loadFont(testFontPicture(), 0, 10);
    Surface* dst = createSurface(10, 10);
    putPixel(dst, 2, 6, grey(10));
    drawTextColoured(dst, "!", 2, 10, 0, packColour(31, 31, 31));
    // d * (255 - 8p) + colour * 8p, >> 8: (10 x 7 + 31 x 248) >> 8 = 30, (31 x 128) >> 8 = 15,
    // (31 x 32) >> 8 = 3, (31 x 72) >> 8 = 8.
    EXPECT_EQ((std::vector<uint16_t>{getPixel(dst, 2, 6), getPixel(dst, 2, 7), getPixel(dst, 2, 8), getPixel(dst, 3, 5),
                                     getPixel(dst, 3, 6)}),
              (std::vector<uint16_t>{grey(30), grey(15), grey(3), grey(8), 0}));
}
