// Hint files the fuzzer found troublesome, kept byte for byte: a width tag at the smallest integer.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "field/gamevalues.h"
#include "game/hints.h"
#include "game/play.h"
#include "render_kit.h"
#include "shell/mainloop.h"

namespace {

// The fuzzer's seed that first met it: narrowing tags of every odd kind, then a text with line ends and
// a colour code cut short.
const char oddTags[] =
    "text outside [hint] [hint|a|b] [Hint|no] [show|-1][show|22][width|-2147483648][width|0][hint|\n"
    "line\r\nends\rand ^AB at the end^]";

void writeHint(int n, const std::string& text) {
    replaceFileBytes("Data/hint" + std::to_string(n) + ".txt", std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace

// The margin subtracted from a width of -2147483648 wrapped round to a limit of 2147483638, so the whole
// text stood on one line (undefined behaviour besides). Any negative width lays out alike: one
// character a line.
TEST(FuzzedHint, TheSmallestWidthLaysOutLikeAnyNegativeWidth) {
    const char* text = "abc de";
    int32_t narrow = layOutHintText(nullptr, 0, 0, text, -5, 0);
    EXPECT_EQ(narrow, 42);
    EXPECT_EQ(layOutHintText(nullptr, 0, 0, text, INT32_MIN, 0), narrow);
    EXPECT_EQ(layOutHintText(nullptr, 0, 0, text, INT32_MIN + 9, 0), narrow);
    EXPECT_EQ(layOutHintText(nullptr, 0, 0, text, INT32_MIN + 10, 0), narrow);
}

TEST(FuzzedHint, ABoxNarrowedToTheSmallestWidthDrawsOnlyItsLeftEdge) {
    ScreenFixture f;
    writeHint(3, oddTags);
    hintPanel.width = 200;
    hintPanel.height = 100;
    const uint16_t ground = packColour(20, 20, 20), grey = packColour(16, 16, 16), dot = packColour(31, 31, 31);
    Surface* s = makeScreen(ground);
    drawHint(s, 20, 100, 3);
    EXPECT_EQ(hintPanel.width, INT32_MIN);
    // Nothing is darkened and no row of the frame is drawn; the left edge and its two dots stay.
    EXPECT_EQ(getPixel(s, 21, 101), ground);
    EXPECT_EQ(getPixel(s, 150, 100), ground);
    EXPECT_EQ(getPixel(s, 150, 199), ground);
    EXPECT_EQ(getPixel(s, 20, 150), grey);
    EXPECT_EQ(getPixel(s, 20 + 87, 100), dot);
    EXPECT_EQ(getPixel(s, 20, 199), dot);
    // Every character of the text (its line end read as one) stands on a line of its own, as with any
    // negative width, and the next box is that high plus 16.
    const char* text = "\nline\nends\rand ^AB at the end^";
    int32_t rows = layOutHintText(nullptr, 0, 0, text, INT32_MIN, 0);
    EXPECT_EQ(rows, layOutHintText(nullptr, 0, 0, text, -1, 0));
    EXPECT_GT(rows, 6 * 20);
    EXPECT_EQ(hintPanel.height, rows + 16);
    removeSurface(&s);
}

// The box's edges are summed wide: left of the screen, a box of the smallest width draws nothing at all.
TEST(FuzzedHint, ABoxOfTheSmallestWidthLeftOfTheScreenDrawsNothing) {
    ScreenFixture f;
    writeHint(3, oddTags);
    hintPanel.width = 200;
    hintPanel.height = 100;
    const uint16_t ground = packColour(20, 20, 20);
    Surface* s = makeScreen(ground);
    drawHint(s, -150, -40, 3);
    int changed = 0;
    for (int y = 0; y < 320; y++) {
        for (int x = 0; x < 240; x++) {
            changed += getPixel(s, x, y) != ground;
        }
    }
    EXPECT_EQ(changed, 0);
    removeSurface(&s);
}
