// Hints: the tag reader and its limits, the box with its frame and dots, the icon's indent, word wrap at
// the box's width, colour codes, the height that follows the text, and a missing hint file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "field/blocks.h"
#include "field/effects.h"
#include "field/gamevalues.h"
#include "game/hints.h"
#include "game/play.h"
#include "gfx/blit.h"
#include "gfx/font.h"
#include "flowtest.h"
#include "render_kit.h"
#include "shell/mainloop.h"

namespace {

HintText parsed;

void parse(const std::string& text) {
    parseHint(text.data(), (int32_t)text.size(), &parsed);
}

void writeHint(int n, const std::string& text) {
    replaceFileBytes("Data/hint" + std::to_string(n) + ".txt", std::vector<uint8_t>(text.begin(), text.end()));
}

// 1 when both surfaces hold the same pixels.
bool sameSurfaces(const Surface* a, const Surface* b) {
    for (int y = 0; y < a->height; y++) {
        for (int x = 0; x < a->width; x++) {
            if (getPixel(a, x, y) != getPixel(b, x, y)) {
                ADD_FAILURE() << "first difference at (" << x << ", " << y << "): " << getPixel(a, x, y) << " vs "
                              << getPixel(b, x, y);
                return false;
            }
        }
    }
    return true;
}

// Every ink pixel (non-zero on black) in columns [x0, x1) of rows [y0, y0 + 6) has the colour, and there
// is at least one.
void expectInkColour(const Surface* s, int x0, int x1, int y0, uint16_t colour) {
    int ink = 0;
    for (int y = y0; y < y0 + 6; y++) {
        for (int x = x0; x < x1; x++) {
            uint16_t p = getPixel(s, x, y);
            if (p != 0) {
                ink++;
                EXPECT_EQ(p, colour) << "at (" << x << ", " << y << ")";
            }
        }
    }
    EXPECT_GT(ink, 0) << "no ink in columns " << x0 << ".." << x1;
}

}  // namespace

TEST(HintTags, OnlyTagsOfExactlyTwoFieldsCountAndLaterOnesOverride) {
    ScreenFixture f;
    parse("intro text [show|3] between [width|150][hint|Hello there]tail");
    EXPECT_EQ(parsed.icon, 3);
    EXPECT_EQ(parsed.hasWidth, 1);
    EXPECT_EQ(parsed.width, 150);
    EXPECT_EQ(parsed.hasText, 1);
    EXPECT_STREQ(parsed.text, "Hello there");

    parse("[hint|a|b][hint][Hint|capital][colour|red][show]");
    EXPECT_EQ(parsed.hasText, 0);
    EXPECT_EQ(parsed.icon, -1);
    EXPECT_EQ(parsed.hasWidth, 0);

    parse("[hint|first][show|2][hint|second][show|7]");
    EXPECT_STREQ(parsed.text, "second");
    EXPECT_EQ(parsed.icon, 7);
    // Width tags only narrow: 150 then 180 keeps 150.
    parse("[width|150][width|180]");
    EXPECT_EQ(parsed.width, 150);
    // A "[" inside a tag starts the tag again.
    parse("[hint|lost[hint|kept]");
    EXPECT_STREQ(parsed.text, "kept");
    // Numbers that are no power-up kind show no icon.
    parse("[show|22]");
    EXPECT_EQ(parsed.icon, -1);
    parse("[show|-1]");
    EXPECT_EQ(parsed.icon, -1);
}

TEST(HintTags, FieldsKeepLineEndsAndCarriageReturnLineFeedReadsAsOneLineEnd) {
    ScreenFixture f;
    parse("[hint|one\r\ntwo\nthree\rfour]");
    EXPECT_STREQ(parsed.text, "one\ntwo\nthree\rfour");
    parse("[hint|ends with a return\r]");
    EXPECT_STREQ(parsed.text, "ends with a return\r");
}

TEST(HintTags, FieldsAreCutAtAThousandCharactersAndFieldsBeyondTheFiftiethAreDropped) {
    ScreenFixture f;
    parse("[hint|" + std::string(1500, 'x') + "]");
    EXPECT_EQ(std::string(parsed.text), std::string(1000, 'x'));
    // 5000 fields of 2000 characters each: nothing is kept of the tag, and the next tag still reads.
    std::string many = "[hint";
    for (int i = 0; i < 5000; i++) {
        many += "|" + std::string(2000, 'y');
    }
    parse(many + "][show|4]");
    EXPECT_EQ(parsed.hasText, 0);
    EXPECT_EQ(parsed.icon, 4);
    // A whole hint file of such a tag (as long as a hint file may be) is read the same way.
    std::string tag = "[hint";
    for (int i = 0; i < 400; i++) {
        tag += "|" + std::string(2000, 'y');
    }
    writeHint(3, tag + "][hint|" + std::string(1200, 'z') + "]");
    ASSERT_EQ(loadHint(3, &parsed), 1);
    EXPECT_EQ(std::string(parsed.text), std::string(1000, 'z'));
}

TEST(HintColours, ThreeLettersGiveTheComponentsClampedToFiveBits) {
    EXPECT_EQ(hintColour('A', 'A', 'A'), 0);
    EXPECT_EQ(hintColour('F', 'F', 'F'), packColour(5, 5, 5));
    EXPECT_EQ(hintColour('A', 'Z', 'A'), packColour(0, 25, 0));
    EXPECT_EQ(hintColour('z', '0', '`'), packColour(31, 0, 31));
}

TEST(HintLayout, WordsWrapAtTheMarginAndTheIconKeepsTheFirstTwentySevenPixelsFree) {
    ScreenFixture f;
    struct Line {
        std::string text;
        int x, y;  // where the small font draws it
    };
    struct Case {
        std::string text;
        int width, indent, height;
        std::vector<Line> lines;
    };
    const Case cases[] = {
        // A line of the 200 wide box holds 32 characters (cursor 0..186); the 33rd starts the next.
        {std::string(40, 'H'), 200, 0, 7, {{std::string(32, 'H'), 5, 5}, {std::string(8, 'H'), 5, 12}}},
        // Width 70, margin at 60: after "abcdefg " the cursor is at 48 and "hijkl" needs 30 more. Both
        // spaces at the start of the third line are skipped; after "mn-" the cursor is at 18 and
        // "opqrstuv" (8 x 6 + 18 > 60) goes to a line of its own.
        {"abcdefg hijkl\n  mn-opqrstuv", 70, 0, 21,
         {{"abcdefg", 5, 5}, {"hijkl", 5, 12}, {"mn-", 5, 19}, {"opqrstuv", 5, 26}}},
        // "a " leaves the cursor at 12 and "bcdefghi" ends exactly at the margin: it stays on the line.
        {"a bcdefghi", 70, 0, 7, {{"a bcdefghi", 5, 5}}},
        // Lines seven rows apart: those at cy 0..21 start at 27; the line at cy 28 starts at 0.
        {"a\nb\nc\nd\ne\nf\ng", 200, 27, 42,
         {{"a", 32, 5}, {"b", 32, 12}, {"c", 32, 19}, {"d", 32, 26}, {"e", 5, 33}, {"f", 5, 40}, {"g", 5, 47}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Surface* drawn = makeScreen(0);
        Surface* expected = makeScreen(0);
        EXPECT_EQ(layOutHintText(drawn, 0, 0, c.text.c_str(), c.width, c.indent), c.height);
        for (const Line& line : c.lines) {
            drawSmallText(expected, line.text.c_str(), line.x, line.y, 0xFFFF);
        }
        EXPECT_TRUE(sameSurfaces(drawn, expected));
        removeSurface(&drawn);
        removeSurface(&expected);
    }
}

TEST(HintLayout, ColourCodesChangeTheColourOfTheCharactersThatFollow) {
    ScreenFixture f;
    Surface* drawn = makeScreen(0);
    layOutHintText(drawn, 0, 0, "Catch the ^AZAgreen^ZZZ pill", 200, 0);
    // "Catch the " at cursor 0..54, "green" at 60..84, " " at 90, "pill" at 96..114; text starts 5 in.
    expectInkColour(drawn, 5, 5 + 60, 5, 0xFFFF);
    expectInkColour(drawn, 5 + 60, 5 + 90, 5, packColour(0, 25, 0));
    expectInkColour(drawn, 5 + 96, 5 + 120, 5, packColour(25, 25, 25));
    // The codes take no room: nothing is drawn beyond "pill".
    for (int y = 0; y < 20; y++) {
        for (int x = 5 + 120; x < 240; x++) {
            ASSERT_EQ(getPixel(drawn, x, y), 0);
        }
    }
    removeSurface(&drawn);
}

TEST(HintBox, TabDarkenedBoxGreyFrameAndWhiteDots) {
    ScreenFixture f;
    writeHint(4, "[hint|]");
    hintPanel.width = 200;
    hintPanel.height = 100;
    const uint16_t ground = packColour(20, 20, 20);
    Surface* s = makeScreen(ground);
    drawHint(s, 20, 100, 4);
    const uint16_t dark = packColour(7, 7, 7), grey = packColour(16, 16, 16), dot = packColour(31, 31, 31);
    // Inside: every component 20 -> (20 x 6) >> 4 = 7; outside untouched.
    EXPECT_EQ(getPixel(s, 70, 150), dark);
    EXPECT_EQ(getPixel(s, 21, 101), dark);
    EXPECT_EQ(getPixel(s, 218, 198), dark);
    EXPECT_EQ(getPixel(s, 19, 150), ground);
    EXPECT_EQ(getPixel(s, 220, 150), ground);
    EXPECT_EQ(getPixel(s, 70, 200), ground);
    // The top edge starts right of the tab; the tab covers the rest of the top row.
    EXPECT_EQ(getPixel(s, 20 + 86, 100), dark);
    EXPECT_EQ(getPixel(s, 20 + 88, 100), grey);
    EXPECT_EQ(getPixel(s, 218, 100), grey);
    EXPECT_EQ(getPixel(s, 20, 150), grey);
    EXPECT_EQ(getPixel(s, 219, 150), grey);
    EXPECT_EQ(getPixel(s, 100, 199), grey);
    EXPECT_EQ(getPixel(s, 20 + 87, 100), dot);
    EXPECT_EQ(getPixel(s, 20, 199), dot);
    EXPECT_EQ(getPixel(s, 219, 199), dot);
    EXPECT_EQ(getPixel(s, 219, 100), dot);
    // The tab: a transparent corner piece, then an 80 x 12 piece copied whole.
    for (int j = 0; j < 12; j++) {
        for (int i = 0; i < 80; i++) {
            ASSERT_EQ(getPixel(s, 28 + i, 88 + j), getPixel(effects.spritesPicture, 33 + i, 33 + j));
        }
        for (int i = 0; i < 8; i++) {
            uint16_t src = getPixel(effects.spritesPicture, 25 + i, 33 + j);
            ASSERT_EQ(getPixel(s, 20 + i, 88 + j), src != 0 ? src : ground);
        }
    }
    removeSurface(&s);
}

TEST(HintBox, TheHeightFollowsTheTextFromTheNextDrawingAndWidthTagsNarrowThePanelForGood) {
    ScreenFixture f;
    writeHint(6, "[hint|one\ntwo\nthree]");
    writeHint(1, "[width|150][hint|x]");
    writeHint(2, "[width|180][hint|x]");
    hintPanel.width = 200;
    hintPanel.height = 100;
    const uint16_t ground = packColour(20, 20, 20), grey = packColour(16, 16, 16);
    for (int drawing = 0; drawing < 2; drawing++) {
        // The first drawing still has the old height; the text needs 14 + 16.
        Surface* s = makeScreen(ground);
        drawHint(s, 20, 100, 6);
        EXPECT_EQ(getPixel(s, 100, drawing == 0 ? 199 : 129), grey);
        EXPECT_EQ(getPixel(s, 100, 130), drawing == 0 ? packColour(7, 7, 7) : ground);
        EXPECT_EQ(hintPanel.height, 30);
        removeSurface(&s);
    }
    Surface* s = makeScreen(ground);
    drawHint(s, 20, 100, 1);
    EXPECT_EQ(hintPanel.width, 150);
    EXPECT_EQ(getPixel(s, 20 + 149, 110), grey);
    EXPECT_EQ(getPixel(s, 20 + 150, 110), ground);
    drawHint(s, 20, 100, 2);
    EXPECT_EQ(hintPanel.width, 150);
    removeSurface(&s);
}

TEST(HintBox, TheIconPulsesInTheCornerAndTheTextMakesRoomForIt) {
    ScreenFixture f;
    writeHint(8, "[show|5][hint|a]");
    writeHint(9, "[hint|a]");
    hintPanel.width = 200;
    hintPanel.height = 100;
    Surface* withIcon = makeScreen(0);
    Surface* without = makeScreen(0);
    game.updateCounter = 37;
    drawHint(withIcon, 20, 100, 8);
    drawHint(without, 20, 100, 9);
    // The icon's mark (phase 37 & 31 = 5) centred on (35, 115): its additive glow over the dark box.
    Surface* mark = makeScreen(0);
    drawPowerUpMark(mark, 35, 115, 5, 5);
    int differing = 0;
    for (int y = 103; y < 128; y++) {
        for (int x = 23; x < 48; x++) {
            if (getPixel(mark, x, y) != 0) {
                differing += getPixel(withIcon, x, y) != getPixel(without, x, y);
            }
        }
    }
    EXPECT_GT(differing, 50);
    // "a" at cursor 27 instead of 0.
    bool inkAt27 = false, inkAt0 = false;
    for (int y = 105; y < 111; y++) {
        for (int x = 25; x < 31; x++) {
            inkAt0 |= getPixel(without, x, y) == 0xFFFF;
        }
        for (int x = 52; x < 58; x++) {
            inkAt27 |= getPixel(withIcon, x, y) == 0xFFFF;
        }
    }
    EXPECT_TRUE(inkAt0);
    EXPECT_TRUE(inkAt27);
    removeSurface(&withIcon);
    removeSurface(&without);
    removeSurface(&mark);
}

TEST(HintBox, AMissingFileDrawsNothingAndShortensTheCountdown) {
    ScreenFixture f;
    std::remove("Data/hint77.txt");
    hintPanel.width = 200;
    hintPanel.height = 100;
    Surface* s = makeScreen(packColour(20, 20, 20));
    game.readyCountdown = 1000;
    drawHint(s, 20, 100, 77);
    EXPECT_EQ(game.readyCountdown, 200);
    for (int y = 0; y < 320; y++) {
        for (int x = 0; x < 240; x++) {
            ASSERT_EQ(getPixel(s, x, y), packColour(20, 20, 20));
        }
    }
    game.readyCountdown = 150;
    drawHint(s, 20, 100, 77);
    EXPECT_EQ(game.readyCountdown, 150);
    // A file without a hint tag still draws the empty box.
    writeHint(78, "[show|2]");
    game.readyCountdown = 1000;
    drawHint(s, 20, 100, 78);
    EXPECT_EQ(game.readyCountdown, 1000);
    EXPECT_EQ(getPixel(s, 20, 150), packColour(16, 16, 16));
    removeSurface(&s);
}

TEST(HintPanel, StartsLeavingOnTheFirstUpdateTheCountdownIsBelow300) {
    FlowFixture f;
    game.helpfulHints = 1;
    f.goTo(MODE_NEXT_LEVEL);
    f.runWhile(MODE_NEXT_LEVEL, 10);
    ASSERT_EQ(mainLoop.currentMode, MODE_PLAY);
    ASSERT_GT(game.readyCountdown, 302);
    game.readyCountdown = 302;
    hintPanel.leaving = 0;
    std::vector<int> seen;
    for (int i = 0; i < 3; i++) {
        f.update();
        seen.push_back(game.readyCountdown * 10 + hintPanel.leaving);
    }
    // 302 and 300 keep the panel; the update that starts at 298 sends it away.
    EXPECT_EQ(seen, (std::vector<int>{3000, 2980, 2961}));
}
