// The hint files read and laid out by the game's own hint code: tags it accepts, texts that fit the box
// as written, one hint for each level that brings something new and none elsewhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "game/hints.h"
#include "levelset_common.h"

namespace {

std::set<int> hintFiles() {
    std::set<int> found;
    for (int n = 0; n < 100; n++) {
        if (!readTextFile("Data/hint" + std::to_string(n) + ".txt").empty()) {
            found.insert(n);
        }
    }
    return found;
}

// The row the layout ends on in a box `width` wide, with the icon's indent when the hint shows one.
int lastRow(const HintText& hint, int width) {
    return layOutHintText(nullptr, 0, 0, hint.text, width, hint.icon >= 0 ? HINT_ICON_INDENT : 0);
}

}  // namespace

TEST(LevelSetHints, EveryHintFitsItsBoxAsWritten) {
    prepareLevelSetPictures();
    std::set<int> files = hintFiles();
    ASSERT_GE(files.size(), 22u);
    for (int n : files) {
        SCOPED_TRACE(testing::Message() << "hint " << n);
        HintText hint;
        ASSERT_EQ(loadHint(n, &hint), 1);
        ASSERT_TRUE(hint.hasText);
        // A show tag names one of the 22 kinds (the game shows no icon for any other number).
        std::string file = readTextFile("Data/hint" + std::to_string(n) + ".txt");
        EXPECT_EQ(file.find("[show|") != std::string::npos, hint.icon >= 0);
        int width = hint.hasWidth ? std::min(hint.width, 200) : 200;
        EXPECT_GE(width, 120);
        // Laid out in its box, the text breaks only where it was written to: as in a box without limit.
        int rows = lastRow(hint, 1 << 30);
        EXPECT_EQ(lastRow(hint, width), rows) << "a line too long for its box";
        EXPECT_LE(100 + rows + 16, 320);
        EXPECT_GE(rows / 6 + 1, 3);
        // Printable characters of the small font, colour codes of three capitals.
        std::string text = hint.text;
        for (size_t i = 0; i < text.size(); i++) {
            char c = text[i];
            if (c == '^') {
                ASSERT_LE(i + 3, text.size() - 1);
                for (int k = 1; k <= 3; k++) {
                    EXPECT_TRUE(text[i + k] >= 'A' && text[i + k] <= 'Z');
                }
                i += 3;
            } else {
                EXPECT_TRUE(c == '\n' || (c >= 32 && c < 127)) << "character " << (int)c;
            }
        }
    }
}

TEST(LevelSetHints, HintsBelongToTheLevelsThatBringSomethingNew) {
    prepareLevelSetPictures();
    std::set<int> files = hintFiles();
    // The welcome, metal plates, gems, the pile, shapes, the halfway mark and the last level are there.
    for (int n : {0, 5, 7, 10, 16, 50, 99}) {
        EXPECT_TRUE(files.count(n)) << n;
    }
    // Most levels start without a hint, so play begins sooner.
    EXPECT_LT(files.size(), 40u);
    // Every hint with an icon stands at a level whose blocks hide that kind.
    for (int n : files) {
        HintText hint;
        ASSERT_EQ(loadHint(n, &hint), 1);
        if (hint.icon < 0) {
            continue;
        }
        std::vector<LevelRecordView> records;
        ASSERT_TRUE(readLevelRecords(levelFile(n), &records));
        int hidden = 0;
        for (const LevelRecordView& r : records) {
            hidden += r.powerUp == hint.icon + 1;
        }
        EXPECT_GE(hidden, 2) << "level " << n << " introduces kind " << hint.icon;
    }
}
