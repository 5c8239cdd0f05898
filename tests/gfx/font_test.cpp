// Fonts: measuring a picture built here, text widths, drawing both fonts, and the load errors.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gfx/draw.h"
#include "gfx/font.h"
#include "shell/display.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "support/testutil.h"

namespace {

std::string loggedText() {
    std::string all;
    for (int n = LOG_LINES - 1; n >= 0; n--) {
        all += std::string(logBuffer.text[n], strnlen(logBuffer.text[n], LOG_COLUMNS));
    }
    return all;
}

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
    putPixel(p, 0, 6, 1);
    putPixel(p, 0, 12, 1);  // later bands' markers are never read
    putPixel(p, 2, 2, 31);
    putPixel(p, 2, 3, 16);
    putPixel(p, 2, 4, packColour(31, 0, 4));
    putPixel(p, 3, 1, 9);
    putPixel(p, 3, 4, 31);
    for (int y = 3; y <= 6; y++) {
        putPixel(p, 6, y, 20);
    }
    putPixel(p, 7, 5, 21);
    putPixel(p, 9, 8, 31);
    putPixel(p, 11, 0, packColour(31, 0, 0));
    putPixel(p, 11, 1, packColour(31, 0, 0));
    putPixel(p, 14, 12, 5);
    putPixel(p, 14, 13, 6);
    putPixel(p, 15, 12, 7);
    putPixel(p, 3, 18, 31);
    return p;
}

class Fonts : public ::testing::Test {
protected:
    void SetUp() override {
        initDisplayInfo();
        logLevel = 1;
        clearLog();
    }
    void TearDown() override { logLevel = 0; }
};

}  // namespace

TEST_F(Fonts, MeasuresGlyphsBandByBand) {
    Surface* picture = testFontPicture();
    loadFont(picture, 0, 10);
    ASSERT_NE(fonts[0], nullptr);
    const Font* f = fonts[0];
    EXPECT_EQ(f->picture, picture);
    EXPECT_EQ(f->referenceRow, 6);
    EXPECT_EQ(fontLineHeight(0), 7);

    // Column 6's run of '"' reaches the last scanned row, so only column 7's run sets the bottom. The
    // pixel at (9, 8) made no glyph: '#' is the red column 11. Two inked columns at the right edge give
    // '$' a width of 1; its rows are relative to the band at 10.
    // Code, then x, width, top, top offset and bottom.
    const Ints glyphs[] = {{'!', 2, 2, 1, 1, 5}, {'"', 6, 2, 3, 3, 6}, {'#', 11, 1, 0, 0, 2}, {'$', 14, 1, 12, 2, 4},
                           {'%', 0, 0, 0, 0, 0}};
    for (const Ints& g : glyphs) {
        int k = g[0];
        EXPECT_EQ((Ints{k, f->glyphX[k], f->glyphWidth[k], f->glyphTop[k], f->glyphTopOffset[k], f->glyphBottom[k]}), g);
    }

    unloadFont(0);
    EXPECT_EQ(fonts[0], nullptr);
}

TEST_F(Fonts, TextWidthCountsGlyphsSpacesAndControlCodes) {
    loadFont(testFontPicture(), 0, 10);
    EXPECT_EQ(textWidth("!"), 3);
    EXPECT_EQ(textWidth("! \""), 3 + 5 + 3);
    EXPECT_EQ(textWidth("!\t#", 0), 3 + 4 + 2);
    EXPECT_EQ(textWidth(""), 0);
    EXPECT_EQ(textWidth("%"), 1);  // a code the picture had no glyph for
    EXPECT_EQ(textWidth("\xE6"), 4);  // beyond the table: advances like a control code
}

TEST_F(Fonts, DrawTextAddsIntensityAsLightAtTheBaseline) {
    loadFont(testFontPicture(), 0, 10);
    Surface* dst = createSurface(30, 20);
    drawText(dst, "!", 5, 10);
    // Glyph rows 1..4 of the band land at baseline 10 - 6 + 1 = 5 onwards.
    std::vector<uint16_t> expected(30 * 20, 0);
    expected[6 * 30 + 5] = grey(31);
    expected[7 * 30 + 5] = grey(16);
    expected[8 * 30 + 5] = grey(4);  // only the blue component is the intensity
    expected[5 * 30 + 6] = grey(9);
    expected[8 * 30 + 6] = grey(31);
    std::vector<uint16_t> got;
    for (int y = 0; y < 20; y++) {
        for (int x = 0; x < 30; x++) {
            got.push_back(getPixel(dst, x, y));
        }
    }
    EXPECT_EQ(got, expected);

    // After '!' (advance 3) and a space (5), '"' starts at 13; its rows 3..5 land from 7.
    Surface* line = createSurface(30, 20);
    drawText(line, "! \"", 5, 10);
    EXPECT_EQ(getPixel(line, 13, 7), grey(20));
    EXPECT_EQ(getPixel(line, 13, 9), grey(20));
    EXPECT_EQ(getPixel(line, 13, 10), 0);  // row 6 of the band is beyond the glyph's bottom
    EXPECT_EQ(getPixel(line, 14, 9), grey(21));
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
    // d * (255 - 8p) + colour * 8p, >> 8.
    EXPECT_EQ(getPixel(dst, 2, 6), grey((10 * 7 + 31 * 248) >> 8));
    EXPECT_EQ(getPixel(dst, 2, 7), grey((31 * 128) >> 8));
    EXPECT_EQ(getPixel(dst, 2, 8), grey((31 * 32) >> 8));
    EXPECT_EQ(getPixel(dst, 3, 5), grey((31 * 72) >> 8));
    EXPECT_EQ(getPixel(dst, 3, 6), 0);
}

// Each refusal is logged; an unusable slot draws and measures nothing, and a second load into a slot
// measures the new picture into the same record.
TEST_F(Fonts, LoadErrorsAreLoggedAndLeaveTheSlotAsReached) {
    Surface* unmarked = createSurface(8, 10);
    putPixel(unmarked, 3, 3, 31);
    Surface* picture = testFontPicture();
    const struct {
        Surface* picture;
        int slot;  // -2: unload slot 5
        const char* logged;
    } cases[] = {
        {nullptr, 3, "[ERROR] font not loaded."},
        {unmarked, 4, "[ERROR] can't locate font reference point."},
        {picture, 4, "[ERROR] font of this index already loaded."},
        {nullptr, -2, "[ERROR] font already unloaded."},
        {picture, FONT_SLOTS, "out of range"},
        {picture, -1, "out of range"},
    };
    Font* record = nullptr;
    for (const auto& c : cases) {
        clearLog();
        if (c.slot == -2) {
            unloadFont(5);
        } else {
            loadFont(c.picture, c.slot, 10);
        }
        EXPECT_NE(loggedText().find(c.logged), std::string::npos) << c.logged << ": " << loggedText();
        if (c.picture == unmarked) {
            EXPECT_EQ(fonts[4]->glyphWidth['!'], 0);
            record = fonts[4];
        }
    }
    EXPECT_EQ(fonts[3]->picture, nullptr);
    Surface* dst = createSurface(4, 4);
    drawText(dst, "!", 0, 2, 3);
    EXPECT_EQ(getPixel(dst, 0, 0), 0);
    EXPECT_EQ((std::vector<const void*>{fonts[4], fonts[4]->picture}), (std::vector<const void*>{record, picture}));
    EXPECT_EQ(fonts[4]->glyphWidth['!'], 2);
    EXPECT_EQ(textWidth("!", FONT_SLOTS), 0);
}

// Small text: 6 x 6 cells of the sheet (code k at x 1 + 7 (k % 32), y 3 + 11 (k / 32)), advancing six;
// codes are signed bytes, so 200 and 1 both use cell 0. The blended form mixes colour * weight with
// old * (255 - weight) and clips at the edges.
TEST_F(Fonts, SmallTextUsesSixBySixCellsAndAdvancesSix) {
    smallCharsSheet = createSurface(225, 60);
    putPixel(smallCharsSheet, 1, 36, 0x0001);  // 'a'
    putPixel(smallCharsSheet, 6, 41, 0x8000);
    putPixel(smallCharsSheet, 7, 36, 31);  // column 6 of the cell: not part of the glyph
    putPixel(smallCharsSheet, 12, 36, 31);  // 'b'
    putPixel(smallCharsSheet, 4, 6, 31);  // cell 0
    const uint16_t red = packColour(31, 0, 0), b = grey((31 * 128 + 10 * 127) >> 8);
    struct Case {
        const char* text;
        int x, y, weight;  // weight -1: plain red on black, else white over grey 10
        int rowY;
        std::vector<std::pair<int, uint16_t>> inked;  // in row rowY
    } cases[] = {
        {"ab", 0, 0, -1, 0, {{0, red}, {10, red}}},
        {"a b", 1, 0, -1, 0, {{1, red}, {17, red}}},
        {"\xC8\x01", 0, 0, -1, 3, {{3, red}, {9, red}}},
        {"ab", -5, -1, 128, 4, {{0, b}}},
    };
    for (const Case& c : cases) {
        const uint16_t background = c.weight < 0 ? 0 : grey(10);
        Surface* dst = createSurface(20, 8);
        for (int i = 0; i < 160; i++) {
            putPixel(dst, i % 20, i / 20, background);
        }
        if (c.weight < 0) {
            drawSmallText(dst, c.text, c.x, c.y, red);
        } else {
            drawSmallTextBlended(dst, c.text, c.x, c.y, packColour(31, 31, 31), c.weight);
        }
        std::vector<uint16_t> row, expected(20, background);
        for (int x = 0; x < 20; x++) {
            row.push_back(getPixel(dst, x, c.rowY));
        }
        for (const auto& p : c.inked) {
            expected[(size_t)p.first] = p.second;
        }
        EXPECT_EQ(row, expected) << c.text << " at " << c.x;
        removeSurface(&dst);
    }
}
