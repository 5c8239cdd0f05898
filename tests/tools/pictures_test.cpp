// The generated pictures and fonts, read through the game's own loaders: sizes, the places the screens
// use and glyph measuring.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/surface.h"
#include "levelset_common.h"
#include "platform/headless/headless.h"
#include "shell/mainloop.h"
#include "support/testutil.h"

namespace {

int inkIn(const Surface* s, int x, int y, int w, int h) {
    int ink = 0;
    for (int j = y; j < y + h; j++) {
        for (int i = x; i < x + w; i++) {
            ink += getPixel(s, i, j) != 0;
        }
    }
    return ink;
}

bool inside(const Surface* s, int x, int y, int w, int h) {
    return x >= 0 && y >= 0 && w > 0 && h > 0 && x + w <= s->width && y + h <= s->height;
}

struct Rect {
    const char* what;
    int x, y, w, h;
    int minInk;  // pixels that must show
};

void expectRegions(const Surface* s, const char* picture, const std::vector<Rect>& regions) {
    for (const Rect& r : regions) {
        ASSERT_TRUE(inside(s, r.x, r.y, r.w, r.h)) << picture << ": " << r.what << " lies outside";
        EXPECT_GE(inkIn(s, r.x, r.y, r.w, r.h), r.minInk) << picture << ": " << r.what << " is empty";
    }
}

// Summed components of every pixel in the area: how much light it holds.
long lightIn(const Surface* s, int x, int y, int w, int h) {
    long sum = 0;
    for (int j = y; j < y + h; j++) {
        for (int i = x; i < x + w; i++) {
            int r, g, b;
            unpackColour(getPixel(s, i, j), &r, &g, &b);
            sum += r + g + b;
        }
    }
    return sum;
}

int component(uint16_t p, int which) {
    int r, g, b;
    unpackColour(p, &r, &g, &b);
    return which == 0 ? r : (which == 1 ? g : b);
}

}  // namespace

TEST(GamePictures, EveryPictureLoadsWithItsSize) {
    struct Size {
        const char* name;
        int minW, maxW, minH, maxH;
    };
    const Size sizes[] = {
        {"smallchars.png", 240, 240, 135, 135}, {"c_tickertape.png", 64, 1024, 30, 600},
        {"c_neopolitical.png", 64, 1024, 18, 400}, {"mainMenu.png", 60, 158, 294, 400},
        {"titleBack.png", 240, 240, 320, 320},  {"bg.png", 240, 240, 8, 640},
        {"optionsWin.png", 198, 236, 190, 300}, {"choose.png", 240, 240, 320, 320},
        {"pawall.png", 240, 240, 320, 320},     {"exit.png", 240, 240, 320, 320},
        {"strider.png", 200, 240, 2300, 4000},  {"qzlogo.png", 20, 240, 20, 150},
        {"8quorn.png", 20, 240, 10, 80},        {"kvintro.png", 100, 240, 100, 260},
        {"monkey.png", 140, 240, 150, 270},     {"monkeym.png", 4, 120, 4, 120},
        {"sprites.png", 113, 512, 45, 256},     {"icons.png", 163, 512, 57, 256},
        {"power-ups.png", 528, 528, 72, 72},
    };
    for (const Size& size : sizes) {
        Surface* s = loadDataPicture(size.name);
        ASSERT_NE(s, nullptr);
        EXPECT_GE(s->width, size.minW) << size.name;
        EXPECT_LE(s->width, size.maxW) << size.name;
        EXPECT_GE(s->height, size.minH) << size.name;
        EXPECT_LE(s->height, size.maxH) << size.name;
        EXPECT_GT(inkIn(s, 0, 0, s->width, s->height), s->width * s->height / 20) << size.name << " is nearly empty";
        removeSurface(&s);
    }
    EXPECT_TRUE(headlessMessageBoxes().empty());
}

TEST(GamePictures, SmallCharacterSheetHasEveryGlyphAndPanelPiece) {
    Surface* s = loadDataPicture("smallchars.png");
    for (int code = 33; code < 127; code++) {
        int k = code - 1;
        int x = (k & 31) * 7 + 1, y = (k >> 5) * 11 + 3;
        EXPECT_GT(inkIn(s, x, y, 6, 6), 0) << "character " << code;
        // Nothing of a glyph leaks into the gaps round its cell.
        EXPECT_EQ(inkIn(s, x - 1, y, 1, 6), 0) << "character " << code;
        EXPECT_EQ(inkIn(s, x, y + 6, 6, 5), 0) << "character " << code;
    }
    EXPECT_EQ(inkIn(s, (31 & 31) * 7 + 1, 3, 6, 6), 0) << "space has ink";
    expectRegions(s, "smallchars.png",
                  {{"log top edge", 0, 88, 194, 2, 194 * 2},      {"log line background", 0, 90, 194, 6, 194 * 6},
                   {"log bottom edge", 0, 96, 194, 2, 194 * 2},   {"log title tab", 0, 97, 62, 9, 200},
                   {"scroll thumb", 231, 0, 9, 20, 9 * 20},       {"stats handle", 203, 89, 6, 9, 20},
                   {"stats cell", 209, 89, 31, 9, 31 * 9},        {"menu tab", 77, 98, 42, 8, 150},
                   {"menu body", 77, 106, 163, 29, 163 * 29},     {"Begin button", 0, 107, 20, 20, 400},
                   {"Pause button", 40, 107, 20, 20, 400},        {"Exit button", 20, 107, 20, 20, 400}});
    // Drawn with the game's small-text call, two letters take columns 10..21 and nothing beyond.
    smallCharsSheet = s;
    Surface* dst = createSurface(40, 10);
    drawSmallText(dst, "Hi", 10, 2, 0xFFFF);
    EXPECT_GT(inkIn(dst, 10, 2, 6, 6), 5);
    EXPECT_GT(inkIn(dst, 16, 2, 6, 6), 3);
    EXPECT_EQ(inkIn(dst, 0, 0, 10, 10) + inkIn(dst, 22, 0, 18, 10) + inkIn(dst, 10, 8, 12, 2), 0);
    removeSurface(&dst);
    smallCharsSheet = nullptr;
    removeSurface(&s);
}

// Letters that look alike at this size stay apart: "Tap" must not read as "Top".
TEST(GamePictures, SmallLettersThatLookAlikeDifferInAtLeastFourPixels) {
    Surface* s = loadDataPicture("smallchars.png");
    ASSERT_NE(s, nullptr);
    for (const char* pair : {"ao", "ce", "il"}) {
        int differing = 0;
        for (int j = 0; j < 6; j++) {
            for (int i = 0; i < 6; i++) {
                int a = pair[0] - 1, b = pair[1] - 1;
                bool inkA = getPixel(s, (a & 31) * 7 + 1 + i, (a >> 5) * 11 + 3 + j) != 0;
                bool inkB = getPixel(s, (b & 31) * 7 + 1 + i, (b >> 5) * 11 + 3 + j) != 0;
                differing += inkA != inkB;
            }
        }
        EXPECT_GE(differing, 4) << pair;
    }
    removeSurface(&s);
}

// The slider labels stay off the rows that the knobs travel and the tick marks take.
TEST(GamePictures, OptionsSliderLabelsKeepClearOfKnobsAndTicks) {
    Surface* s = loadDataPicture("optionsWin.png");
    ASSERT_NE(s, nullptr);
    for (int top : {72, 103}) {
        int labelInk = 0;
        for (int y = top; y < top + 18; y++) {
            for (int x = 11; x < 150; x++) {
                labelInk += (getPixel(s, x, y) >> 11) >= 16;  // the amber of the labels
            }
        }
        EXPECT_EQ(labelInk, 0) << "slider at row " << top;
    }
    removeSurface(&s);
}

// As the information page first shows (its top at screen row 10, left edge at column 10), the round back
// button in the corner (from column 181, row 264) covers no text.
TEST(GamePictures, TheFirstScreenOfTheManualKeepsItsTextClearOfTheBackButton) {
    Surface* s = loadDataPicture("strider.png");
    ASSERT_NE(s, nullptr);
    int text = 0;
    for (int y = 264 - 10; y < 320 - 10; y++) {
        for (int x = 181 - 10; x < s->width; x++) {
            uint16_t p = getPixel(s, x, y);
            text += (p >> 11) >= 18 && ((p >> 6) & 31) >= 18 && (p & 31) >= 18;  // the body text's light grey
        }
    }
    EXPECT_EQ(text, 0);
    removeSurface(&s);
}

TEST(GamePictures, FontsMeasure191GlyphsEach) {
    struct Case {
        const char* name;
        int slot, band;
        int widths[4][3];  // code, least and most width
    };
    const Case cases[] = {
        {"c_tickertape.png", 0, 30, {{'A', 8, 16}, {'i', 3, 12}, {'W', 9, 16}, {'1', 5, 13}}},
        {"c_neopolitical.png", 1, 18, {{'A', 6, 12}, {'i', 2, 5}, {'W', 9, 15}, {'1', 4, 9}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Surface* picture = loadDataPicture(c.name, 80);
        loadFont(picture, c.slot, c.band);
        const Font* f = fonts[c.slot];
        ASSERT_NE(f, nullptr);
        ASSERT_GT(f->referenceRow, 0);
        EXPECT_LT(f->referenceRow, c.band - 3);
        // Every code 33..223 found, in order, each inside its band's scanned rows.
        int lastX = 0, lastTop = -1;
        for (int code = 33; code <= 223; code++) {
            ASSERT_GT(f->glyphWidth[code], 0) << "code " << code;
            int bandTop = f->glyphTop[code] - f->glyphTopOffset[code];
            EXPECT_EQ(bandTop % c.band, 0) << "code " << code;
            EXPECT_LE(f->glyphBottom[code], c.band - 3) << "code " << code;
            if (bandTop == lastTop) {
                EXPECT_GT(f->glyphX[code], lastX) << "code " << code;
            } else {
                EXPECT_GT(bandTop, lastTop) << "code " << code;
            }
            lastX = f->glyphX[code] + f->glyphWidth[code];
            lastTop = bandTop;
        }
        for (const auto& w : c.widths) {
            EXPECT_GE(f->glyphWidth[w[0]], w[1]) << (char)w[0];
            EXPECT_LE(f->glyphWidth[w[0]], w[2]) << (char)w[0];
        }
        EXPECT_LT(f->glyphWidth['i'], f->glyphWidth['W']);
        // Text is light: the brightest glyph pixel is near full intensity at the fonts' gamma.
        int brightest = 0;
        for (int y = 0; y < picture->height; y++) {
            for (int x = 1; x < picture->width; x++) {
                brightest = std::max(brightest, getPixel(picture, x, y) & 31);
            }
        }
        EXPECT_GE(brightest, 28);
        unloadFont(c.slot);
        removeSurface(&picture);
    }
}

TEST(GamePictures, ScreenTextsFitTheirPlaces) {
    Surface* big = loadDataPicture("c_tickertape.png", 80);
    Surface* small = loadDataPicture("c_neopolitical.png", 80);
    loadFont(big, 0, 30);
    loadFont(small, 1, 18);
    // High-score rows: rank at 5, the widest 10-character name at 35, a 7-digit score ending at 235.
    int widestKey = 0, widestDigit = 0;
    for (int code = 32; code < 128; code++) {
        char text[2] = {(char)code, 0};
        widestKey = std::max(widestKey, textWidth(text, 0));
        if (code >= '0' && code <= '9') {
            widestDigit = std::max(widestDigit, textWidth(text, 0));
        }
    }
    EXPECT_LE(5 + textWidth("25", 0), 35);
    EXPECT_LE(35 + 10 * widestKey, 235 - 7 * widestDigit);
    EXPECT_LE(5 + textWidth("Screenshot", 0), 235 - textWidth("[0xdd]", 0));
    EXPECT_LE(textWidth("Level 100 Complete!", 0), 238);
    EXPECT_LE(textWidth("CONTROL CONFIG", 0), 238);
    // The cheat panel's lines fit the 191-pixel compartment; option lines fit the options window.
    for (const char* line : {"Unlock All Levels  OFF", "Unlimited Lives  OFF", "Disable Debris  OFF",
                             "See Power-ups  OFF", "Max Power-up  OFF", "Fat Paddle  OFF", "Level Editor",
                             "Difficulty: Insane", "Difficulty: Medium", "Helpful Hints: OFF"}) {
        EXPECT_LE(textWidth(line, 1), 180) << line;
    }
    // Name-entry keys stand 20 pixels apart.
    for (int code = 32; code < 128; code++) {
        char text[2] = {(char)code, 0};
        EXPECT_LE(textWidth(text, 1), 18) << "key " << code;
    }
    EXPECT_GE(fontLineHeight(0), 15);
    EXPECT_GE(fontLineHeight(1), 9);
    unloadFont(0);
    unloadFont(1);
    removeSurface(&big);
    removeSurface(&small);
}

TEST(GamePictures, TitleAndMenuStrips) {
    Surface* title = loadDataPicture("titleBack.png");
    // Pure black from row 110 down: a game in progress shows through there.
    EXPECT_EQ(inkIn(title, 0, 110, 240, 210), 0);
    EXPECT_GT(inkIn(title, 0, 0, 240, 110), 240 * 100);
    Surface* menu = loadDataPicture("mainMenu.png");
    for (int i = 0; i < 6; i++) {
        int base = inkIn(menu, 0, 150 + 24 * i, menu->width, 24);
        int glow = inkIn(menu, 0, 2 + 24 * i, menu->width, 24);
        EXPECT_GT(base, 60) << "item " << i;
        // The glowing strip is wider than the base: a halo round the same word.
        EXPECT_GT(glow, base) << "item " << i;
    }
    // Drawn at x 82, the strips end inside the screen.
    EXPECT_LE(82 + menu->width, 240);
    removeSurface(&title);
    removeSurface(&menu);
}

// The background tiles: across each edge it changes no more than between any two neighbouring rows or
// columns inside it, so the seams cannot be seen.
TEST(GamePictures, BackgroundTilesWithoutSeams) {
    Surface* bg = loadDataPicture("bg.png");
    // Summed component differences between rows (or columns) a and b.
    auto step = [bg](bool rows, int a, int b) {
        long sum = 0;
        for (int i = 0; i < (rows ? bg->width : bg->height); i++) {
            uint16_t p = rows ? getPixel(bg, i, a) : getPixel(bg, a, i);
            uint16_t q = rows ? getPixel(bg, i, b) : getPixel(bg, b, i);
            for (int k = 0; k < 3; k++) {
                sum += abs(component(p, k) - component(q, k));
            }
        }
        return sum;
    };
    for (bool rows : {true, false}) {
        int size = rows ? bg->height : bg->width;
        long inner = 0;
        for (int a = 0; a + 1 < size; a++) {
            inner = std::max(inner, step(rows, a, a + 1));
        }
        EXPECT_LE(step(rows, size - 1, 0), inner) << (rows ? "rows" : "columns");
    }
    removeSurface(&bg);
}

TEST(GamePictures, OptionsWindowHoldsItsControls) {
    Surface* w = loadDataPicture("optionsWin.png");
    const int h = w->height;
    // Every hit area of the options screen lies on the window's upper part.
    const int body = h - 18;
    expectRegions(w, "optionsWin.png",
                  {{"Back", 145, 5, 50, 16, 300},
                   {"Configure Controls", 11, 126, 126, 26, 1500},
                   {"effects slider", 11, 72, 133, 18, 150},
                   {"music slider", 11, 103, 133, 18, 150},
                   {"difficulty line", 11, 154, 186, 14, 186 * 14},
                   {"hints line", 11, 31, 186, 12, 186 * 12},
                   {"knob", 0, body, 6, 18, 80}});
    EXPECT_GE(body, 170);
    EXPECT_GE(w->width, 198);
    // The game writes the hints and difficulty lines as added light: their ground stays dark.
    for (int y = 31; y < 42; y++) {
        for (int x = 14; x < 190; x++) {
            EXPECT_LE(lightIn(w, x, y, 1, 1), 30) << x << ", " << y;
        }
    }
    removeSurface(&w);
}

TEST(GamePictures, InformationPageCarriesTheLid) {
    Surface* page = loadDataPicture("strider.png");
    ASSERT_TRUE(inside(page, 14, 2173, 191, 106));
    EXPECT_EQ(inkIn(page, 14, 2173, 191, 106), 191 * 106);
    // The lid's middle lies under the centred panel lines (screen x 120).
    int middle = 120 - page->width / 2 + 14 + 191 / 2;
    EXPECT_NEAR(middle, 120, 1);
    // The lid stands out on exactly its rectangle: bright bevel on its top and left edges against the
    // page just outside, the page under it darker than the plate.
    auto light = [page](int x, int y, int w, int h) { return lightIn(page, x, y, w, h) / (w * h); };
    EXPECT_GT(light(14, 2173, 191, 1), 2 * light(14, 2172, 191, 1));
    EXPECT_GT(light(14, 2173, 1, 106), 2 * light(13, 2173, 1, 106));
    EXPECT_LT(2 * light(14, 2279, 191, 1), light(14, 2173, 191, 106));
    // The page never lets the background through: no transparent pixel.
    EXPECT_EQ(inkIn(page, 0, 0, page->width, page->height), page->width * page->height);
    removeSurface(&page);
}

TEST(GamePictures, SpriteSheetCells) {
    Surface* s = loadDataPicture("sprites.png");
    int ink[7], light[7];
    for (int f = 0; f < 7; f++) {
        ink[f] = inkIn(s, 32 * f, 0, 32, 32);
        light[f] = (int)lightIn(s, 32 * f, 0, 32, 32);
        // Corners clear: the frame is a round burst inside its cell.
        EXPECT_EQ(getPixel(s, 32 * f, 0), 0);
        EXPECT_EQ(getPixel(s, 32 * f + 31, 31), 0);
    }
    for (int f = 1; f < 4; f++) {
        EXPECT_GT(ink[f], ink[f - 1]) << "frame " << f << " does not grow";
    }
    for (int f = 5; f < 7; f++) {
        EXPECT_LT(light[f], light[f - 1]) << "frame " << f << " does not fade";
    }
    // Four balls 7 x 7 at steps of 6, corners transparent; neighbours share their touching column.
    for (int b = 0; b < 4; b++) {
        EXPECT_GT(inkIn(s, 6 * b + 1, 33, 5, 5), 20) << "ball " << b;
        EXPECT_EQ(getPixel(s, 6 * b, 32), 0) << "ball " << b;
        EXPECT_EQ(getPixel(s, 6 * b + 6, 38), 0) << "ball " << b;
    }
    // The ball colours differ: normal, homing (blue), through (red), both (magenta).
    uint16_t normal = getPixel(s, 3, 36), homing = getPixel(s, 9, 36), through = getPixel(s, 15, 36);
    EXPECT_GT(component(homing, 2), component(homing, 0));
    EXPECT_GT(component(through, 0), component(through, 2));
    EXPECT_NE(normal, homing);
    // Hint tab: a transparent cap and a copied 80 x 12 body.
    expectRegions(s, "sprites.png", {{"hint cap", 25, 33, 8, 12, 30}, {"hint tab", 33, 33, 80, 12, 80 * 12}});
    EXPECT_EQ(getPixel(s, 25, 33), 0);
    removeSurface(&s);
}

TEST(GamePictures, CornerButtonAndPowerUps) {
    Surface* icons = loadDataPicture("icons.png");
    expectRegions(icons, "icons.png",
                  {{"face", 1, 0, 51, 47, 51 * 47}, {"mask", 52, 1, 51, 47, 1200}, {"frame", 103, 1, 60, 56, 500}});
    // The mask is round: full weight in the middle, nothing in the corners.
    EXPECT_GE(getPixel(icons, 52 + 25, 1 + 23) & 31, 28);
    EXPECT_EQ(getPixel(icons, 52, 1), 0);
    EXPECT_EQ(getPixel(icons, 102, 47), 0);
    removeSurface(&icons);

    Surface* p = loadDataPicture("power-ups.png");
    auto inMask = [p](int kind, int x, int y) { return (getPixel(p, 24 * kind + 4 + x, 28 + y) & 31) > 15; };
    for (int k = 0; k < 22; k++) {
        EXPECT_GT(inkIn(p, 24 * k + 4, 4, 16, 16), 40) << "icon " << k;
        EXPECT_GT(inkIn(p, 24 * k + 4, 28, 16, 16), 40) << "mask " << k;
        EXPECT_GT(inkIn(p, 24 * k, 48, 24, 24), 300) << "glow " << k;
        long red = 0, other = 0;
        for (int y = 0; y < 16; y++) {
            for (int x = 0; x < 16; x++) {
                if (inMask(k, x, y)) {
                    uint16_t c = getPixel(p, 24 * k + 4 + x, 4 + y);
                    red += component(c, 0);
                    other += std::max(component(c, 1), component(c, 2));
                }
            }
        }
        EXPECT_EQ(red > other * 3 / 2, harmfulKind(k)) << "kind " << k;
    }
    // Kinds 17 and 18 are an up and a down arrow: each other's mirror image, the tip narrow.
    int same = 0, tipUp = 0, baseUp = 0;
    for (int y = 0; y < 16; y++) {
        for (int x = 0; x < 16; x++) {
            same += inMask(17, x, y) == inMask(18, x, 15 - y);
            tipUp += y < 4 && inMask(17, x, y);
            baseUp += y >= 6 && y < 10 && inMask(17, x, y);
        }
    }
    EXPECT_GE(same, 240);
    EXPECT_LT(tipUp, baseUp);
    removeSurface(&p);
}

TEST(GamePictures, MonkeyMouthFitsItsPlace) {
    Surface* monkey = loadDataPicture("monkey.png");
    Surface* mouth = loadDataPicture("monkeym.png");
    ASSERT_TRUE(inside(monkey, 104, 128, mouth->width, mouth->height));
    // The closed mouth is covered and the open one differs from it.
    EXPECT_EQ(inkIn(mouth, 0, 0, mouth->width, mouth->height), mouth->width * mouth->height);
    int differ = 0;
    for (int y = 0; y < mouth->height; y++) {
        for (int x = 0; x < mouth->width; x++) {
            differ += getPixel(mouth, x, y) != getPixel(monkey, 104 + x, 128 + y);
        }
    }
    EXPECT_GT(differ, 100);
    // The overlay's edges match the picture under them, so the swap is seamless.
    for (int x = 0; x < mouth->width; x++) {
        EXPECT_EQ(getPixel(mouth, x, 0), getPixel(monkey, 104 + x, 128)) << x;
    }
    removeSurface(&monkey);
    removeSurface(&mouth);
}
