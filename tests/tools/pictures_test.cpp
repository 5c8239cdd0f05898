// What the generator's own checks leave open in its pictures, read through the game's loaders: letters
// that look alike, text clear of the controls drawn over it, seamless background tiles.
#include <gtest/gtest.h>

#include <cstdlib>

#include "gfx/surface.h"
#include "levelset_common.h"

namespace {

int component(uint16_t p, int which) {
    int r, g, b;
    unpackColour(p, &r, &g, &b);
    return which == 0 ? r : (which == 1 ? g : b);
}

}  // namespace

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
