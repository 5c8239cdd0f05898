// Hints: the tag reader and its limits, colour letters, word wrap at the box's width and the icon's
// indent, a missing hint file, the panel's timing, and a width tag the fuzzer found. The box as drawn
// is pinned by frame hashes (frames_test.cpp).
#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    replaceFileBytes("Data/hint" + std::to_string(n) + ".txt", textBytes(text));
}

}  // namespace

// Only tags of exactly two fields count and later ones override; width tags only narrow; a "[" inside a
// tag starts the tag again; numbers that are no power-up kind show no icon; line ends are kept, and a
// carriage return and line feed read as one.
TEST(HintTags, TwoFieldTagsLaterOnesOverrideAndLineEndsAreKept) {
    const struct {
        const char* text;
        const char* hint;  // nullptr: no hint text
        int icon, width;   // width 0: no width tag
    } rows[] = {
        {"intro text [show|3] between [width|150][hint|Hello there]tail", "Hello there", 3, 150},
        {"[hint|a|b][hint][Hint|capital][colour|red][show]", nullptr, -1, 0},
        {"[hint|first][show|2][hint|second][show|7]", "second", 7, 0},
        {"[width|150][width|180]", nullptr, -1, 150},
        {"[hint|lost[hint|kept]", "kept", -1, 0},
        {"[show|22]", nullptr, -1, 0},
        {"[show|-1]", nullptr, -1, 0},
        {"[hint|one\r\ntwo\nthree\rfour]", "one\ntwo\nthree\rfour", -1, 0},
        {"[hint|ends with a return\r]", "ends with a return\r", -1, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        parse(r.text);
        EXPECT_EQ(parsed.hasText, r.hint != nullptr ? 1 : 0);
        if (r.hint != nullptr) {
            EXPECT_STREQ(parsed.text, r.hint);
        }
        EXPECT_EQ(parsed.icon, r.icon);
        EXPECT_EQ(parsed.hasWidth, r.width != 0 ? 1 : 0);
        if (r.width != 0) {
            EXPECT_EQ(parsed.width, r.width);
        }
    }
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
        EXPECT_EQ(hashSurface(drawn), hashSurface(expected));
        removeSurface(&drawn);
        removeSurface(&expected);
    }
}

TEST(HintBox, AMissingFileDrawsNothingAndShortensTheCountdown) {
    ScreenFixture f;
    std::remove("Data/hint77.txt");
    hintPanel.width = 200;
    hintPanel.height = 100;
    Surface* s = makeScreen(packColour(20, 20, 20));
    uint64_t blank = hashSurface(s);
    game.readyCountdown = 1000;
    drawHint(s, 20, 100, 77);
    EXPECT_EQ(game.readyCountdown, 200);
    EXPECT_EQ(hashSurface(s), blank);
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
