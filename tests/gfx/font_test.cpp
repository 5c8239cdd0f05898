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
    EXPECT_NE(loggedText().find("Loaded 4 characters"), std::string::npos) << loggedText();

    // Column 6's run of '"' reaches the last scanned row, so only column 7's run sets the bottom. The
    // pixel at (9, 8) made no glyph: '#' is the red column 11. Two inked columns at the right edge give
    // '$' a width of 1; its rows are relative to the band at 10.
    struct Glyph {
        char code;
        int x, width, top, topOffset, bottom;
    };
    const Glyph glyphs[] = {{'!', 2, 2, 1, 1, 5}, {'"', 6, 2, 3, 3, 6}, {'#', 11, 1, 0, 0, 2}, {'$', 14, 1, 12, 2, 4}};
    for (const Glyph& g : glyphs) {
        SCOPED_TRACE(g.code);
        EXPECT_EQ(f->glyphX[(int)g.code], g.x);
        EXPECT_EQ(f->glyphWidth[(int)g.code], g.width);
        EXPECT_EQ(f->glyphTop[(int)g.code], g.top);
        EXPECT_EQ(f->glyphTopOffset[(int)g.code], g.topOffset);
        EXPECT_EQ(f->glyphBottom[(int)g.code], g.bottom);
    }
    EXPECT_EQ(f->glyphWidth['%'], 0);

    unloadFont(0);
    EXPECT_EQ(fonts[0], nullptr);
}

TEST_F(Fonts, ThirtyRowBandsScanTwentySevenRows) {
    Surface* p = createSurface(10, 30);
    putPixel(p, 0, 20, 1);
    putPixel(p, 2, 27, 31);  // rows 27..29 belong to no glyph
    putPixel(p, 3, 29, 31);
    putPixel(p, 5, 24, 31);
    putPixel(p, 5, 25, 31);
    loadFont(p, 1, 30);
    ASSERT_NE(fonts[1], nullptr);
    EXPECT_EQ(fonts[1]->referenceRow, 20);
    EXPECT_EQ(fontLineHeight(1), 25);
    EXPECT_EQ(fonts[1]->glyphX['!'], 5);
    EXPECT_EQ(fonts[1]->glyphWidth['!'], 1);
    EXPECT_EQ(fonts[1]->glyphBottom['!'], 26);
    EXPECT_EQ(fonts[1]->glyphWidth['"'], 0);
    EXPECT_NE(loggedText().find("Loaded 1 characters"), std::string::npos);

    Surface* low = createSurface(4, 8);
    putPixel(low, 0, 3, 1);
    loadFont(low, 2, 8);
    EXPECT_EQ(fontLineHeight(2), 3);
    EXPECT_NE(loggedText().find("Loaded 0 characters"), std::string::npos);
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
    // Light on white saturates; text off the edges is clipped.
    Surface* white = createSurface(8, 8);
    for (int i = 0; i < 64; i++) {
        putPixel(white, i % 8, i / 8, 0xFFDF);
    }
    drawText(white, "!\"!", -1, 5);
    for (int i = 0; i < 64; i++) {
        EXPECT_EQ(getPixel(white, i % 8, i / 8), 0xFFDF);
    }
    drawText(dst, "!!!!!!!!!!!!", 20, 2);
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

TEST_F(Fonts, LoadErrorsAreLoggedAndLeaveTheSlotAsReached) {
    loadFont(nullptr, 3, 10);
    EXPECT_NE(loggedText().find("[ERROR] font not loaded."), std::string::npos);
    ASSERT_NE(fonts[3], nullptr);
    EXPECT_EQ(fonts[3]->picture, nullptr);
    Surface* dst = createSurface(4, 4);
    drawText(dst, "!", 0, 2, 3);  // an unusable slot draws nothing
    EXPECT_EQ(getPixel(dst, 0, 0), 0);

    clearLog();
    Surface* unmarked = createSurface(8, 10);
    putPixel(unmarked, 3, 3, 31);
    loadFont(unmarked, 4, 10);
    EXPECT_NE(loggedText().find("[ERROR] can't locate font reference point."), std::string::npos);
    EXPECT_EQ(loggedText().find("Loaded"), std::string::npos);
    EXPECT_EQ(fonts[4]->glyphWidth['!'], 0);

    // A second load into the slot logs and measures the new picture into the same record.
    clearLog();
    Font* record = fonts[4];
    Surface* picture = testFontPicture();
    loadFont(picture, 4, 10);
    EXPECT_NE(loggedText().find("[ERROR] font of this index already loaded."), std::string::npos);
    EXPECT_EQ(fonts[4], record);
    EXPECT_EQ(fonts[4]->picture, picture);
    EXPECT_EQ(fonts[4]->glyphWidth['!'], 2);

    clearLog();
    unloadFont(5);
    EXPECT_NE(loggedText().find("[ERROR] font already unloaded."), std::string::npos);
    clearLog();
    loadFont(picture, FONT_SLOTS, 10);
    loadFont(picture, -1, 10);
    EXPECT_EQ(textWidth("!", FONT_SLOTS), 0);
    EXPECT_NE(loggedText().find("out of range"), std::string::npos);
}

namespace {

// A small-character sheet with ink in the cells of 'a' (k = 96: x 1, y 36), 'b' (k = 97: x 8, y 36)
// and cell 0 (x 1, y 3), plus a pixel in the gap column after 'a'.
void makeSmallSheet() {
    smallCharsSheet = createSurface(225, 60);
    putPixel(smallCharsSheet, 1 + 0, 36 + 0, 0x0001);
    putPixel(smallCharsSheet, 1 + 5, 36 + 5, 0x8000);
    putPixel(smallCharsSheet, 1 + 2, 36 + 3, 0x0020);
    putPixel(smallCharsSheet, 7, 36, 31);  // column 6 of the cell: not part of the glyph
    putPixel(smallCharsSheet, 8 + 1, 36 + 1, 31);
    putPixel(smallCharsSheet, 8 + 4, 36 + 0, 31);
    putPixel(smallCharsSheet, 1 + 3, 3 + 3, 31);
}

std::vector<std::pair<int, int>> inked(const Surface* s, uint16_t background) {
    std::vector<std::pair<int, int>> v;
    for (int y = 0; y < s->height; y++) {
        for (int x = 0; x < s->width; x++) {
            if (getPixel(s, x, y) != background) {
                v.push_back({x, y});
            }
        }
    }
    return v;
}

}  // namespace

TEST_F(Fonts, SmallTextUsesSixBySixCellsAndAdvancesSix) {
    makeSmallSheet();
    const uint16_t red = packColour(31, 0, 0);
    Surface* dst = createSurface(40, 12);
    drawSmallText(dst, "ab", 10, 4, red);
    using P = std::vector<std::pair<int, int>>;
    // 'a' in columns 10..15, 'b' in 16..21.
    EXPECT_EQ(inked(dst, 0), (P{{10, 4}, {20, 4}, {17, 5}, {12, 7}, {15, 9}}));
    EXPECT_EQ(getPixel(dst, 10, 4), red);

    Surface* spaced = createSurface(40, 12);
    drawSmallText(spaced, "a b", 10, 4, red);
    EXPECT_EQ(inked(spaced, 0), (P{{10, 4}, {26, 4}, {23, 5}, {12, 7}, {15, 9}}));

    // Codes are signed bytes: 200 and 1 both use cell 0.
    Surface* high = createSurface(20, 10);
    drawSmallText(high, "\xC8\x01", 0, 0, red);
    EXPECT_EQ(inked(high, 0), (P{{3, 3}, {9, 3}}));

    // Blended ink: colour * weight + old * (255 - weight); clipped at the edges.
    Surface* blended = createSurface(12, 8);
    for (int i = 0; i < 96; i++) {
        putPixel(blended, i % 12, i / 12, grey(10));
    }
    drawSmallTextBlended(blended, "ab", -5, -1, packColour(31, 31, 31), 128);
    const int b = (31 * 128 + 10 * 127) >> 8;
    EXPECT_EQ(inked(blended, grey(10)), (P{{2, 0}, {0, 4}}));
    EXPECT_EQ(getPixel(blended, 2, 0), grey(b));

    buildLogColours();
    backSurface = createSurface(20, 10);
    drawConsoleText("a", 3, 2, 2);
    EXPECT_EQ(getPixel(backSurface, 3, 2), packColour(0, 31, 31));
    EXPECT_EQ(inked(backSurface, 0).size(), 3u);
    drawConsoleText("b", 9, 2, 99);  // an unknown colour index draws white
    EXPECT_EQ(getPixel(backSurface, 10, 3), packColour(31, 31, 31));
}
