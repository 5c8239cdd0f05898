// The hint files: tags the game accepts, texts that fit the box as the game lays them out, one hint for
// each level that brings something new and none elsewhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "levelset_common.h"

namespace {

// The game's layout of a hint text in a box `width` wide, with or without the icon corner: counts the
// lines and the breaks the game would make inside a line written as one.
struct Layout {
    int lines = 1, forcedBreaks = 0, height = 0, widest = 0;
};

Layout layOut(const std::string& text, int width, bool icon) {
    Layout out;
    int indent = icon ? 27 : 0;
    int cx = 0, cy = 0;
    for (size_t i = 0; i < text.size(); i++) {
        if (cy < indent && cx < indent) {
            cx = indent;
        }
        char c = text[i];
        if (c == '\n') {
            cx = 0;
            cy += 6;
            out.lines++;
            continue;
        }
        if (c == '^') {
            i += 3;
            continue;
        }
        if (!(c == ' ' && cx == 0)) {
            cx += 6;
            out.widest = std::max(out.widest, cx);
            if (cx >= width - 10) {
                cx = 0;
                cy += 6;
                out.forcedBreaks++;
            }
        }
        if (c == ' ' || c == '-') {
            int word = 0;
            for (size_t j = i + 1; j < text.size() && text[j] != ' ' && text[j] != '\n' && text[j] != '-'; j++) {
                if (text[j] == '^') {
                    j += 3;
                } else if (text[j] != '\r') {
                    word++;
                }
            }
            if (6 * word + cx > width - 10) {
                cx = 0;
                cy += 6;
                out.forcedBreaks++;
            }
        }
    }
    out.height = cy + 16;
    return out;
}

std::set<int> hintFiles() {
    std::set<int> found;
    for (int n = 0; n < 100; n++) {
        if (!readTextFile("Data/hint" + std::to_string(n) + ".txt").empty()) {
            found.insert(n);
        }
    }
    return found;
}

}  // namespace

TEST(LevelSetHints, LayoutFollowsTheGamesRules) {
    // A 32-character line in the 200-wide box wraps after its last character; 31 do not.
    EXPECT_EQ(layOut(std::string(31, 'a'), 200, false).forcedBreaks, 0);
    EXPECT_EQ(layOut(std::string(32, 'a'), 200, false).forcedBreaks, 1);
    // Beside the icon, 27 characters fit on the first lines.
    EXPECT_EQ(layOut(std::string(27, 'a'), 200, true).forcedBreaks, 0);
    EXPECT_EQ(layOut(std::string(28, 'a'), 200, true).forcedBreaks, 1);
    // A word that would cross the margin moves down whole; colour codes take no room.
    EXPECT_EQ(layOut("^ZZA" + std::string(26, 'a') + " bbbbbb", 200, false).forcedBreaks, 1);
    EXPECT_EQ(layOut("^ZZA" + std::string(24, 'a') + " bbbbbb", 200, false).forcedBreaks, 0);
}

TEST(LevelSetHints, EveryHintFitsItsBoxAsWritten) {
    std::set<int> files = hintFiles();
    ASSERT_GE(files.size(), 22u);
    for (int n : files) {
        std::string file = readTextFile("Data/hint" + std::to_string(n) + ".txt");
        HintTags tags = parseHintTags(file);
        ASSERT_TRUE(tags.hasHint) << n;
        EXPECT_LE(tags.width, 200) << n;
        EXPECT_GE(tags.width, 120) << n;
        if (tags.hasShow) {
            EXPECT_GE(tags.show, 0) << n;
            EXPECT_LT(tags.show, 22) << n;
        }
        Layout layout = layOut(tags.hint, tags.width, tags.hasShow);
        EXPECT_EQ(layout.forcedBreaks, 0) << "hint " << n << " has a line too long for its box";
        EXPECT_LE(100 + layout.height, 320) << n;
        EXPECT_GE(layout.lines, 3) << n;
        // Printable characters of the small font, colour codes of three capitals.
        for (size_t i = 0; i < tags.hint.size(); i++) {
            char c = tags.hint[i];
            if (c == '^') {
                ASSERT_LE(i + 3, tags.hint.size() - 1) << n;
                for (int k = 1; k <= 3; k++) {
                    EXPECT_TRUE(tags.hint[i + k] >= 'A' && tags.hint[i + k] <= 'Z') << "hint " << n;
                }
                i += 3;
            } else {
                EXPECT_TRUE(c == '\n' || (c >= 32 && c < 127)) << "hint " << n << " character " << (int)c;
            }
        }
    }
}

TEST(LevelSetHints, HintsBelongToTheLevelsThatBringSomethingNew) {
    std::set<int> files = hintFiles();
    // The welcome, metal plates, gems, the pile, shapes, the halfway mark and the last level are there.
    for (int n : {0, 5, 7, 10, 16, 50, 99}) {
        EXPECT_TRUE(files.count(n)) << n;
    }
    // Most levels start without a hint, so play begins sooner.
    EXPECT_LT(files.size(), 40u);
    // Every hint with an icon stands at a level whose blocks hide that kind.
    for (int n : files) {
        HintTags tags = parseHintTags(readTextFile("Data/hint" + std::to_string(n) + ".txt"));
        if (!tags.hasShow) {
            continue;
        }
        std::vector<LevelRecordView> records;
        ASSERT_TRUE(readLevelRecords("Data/level" + std::to_string(n) + ".dat", &records));
        int hidden = 0;
        for (const LevelRecordView& r : records) {
            hidden += r.powerUp == tags.show + 1;
        }
        EXPECT_GE(hidden, 2) << "level " << n << " introduces kind " << tags.show;
    }
}
