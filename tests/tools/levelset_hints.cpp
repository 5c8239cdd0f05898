// The hint files laid out by the game's own hint code (the generator checks them against its own model
// of the layout): each text breaks only where it was written to.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "game/hints.h"
#include "levelset_common.h"

TEST(LevelSetHints, EveryHintFitsItsBoxAsWritten) {
    prepareLevelSetPictures();
    int hints = 0;
    for (int n = 0; n < 100; n++) {
        HintText hint;
        if (loadHint(n, &hint) != 1) {
            continue;
        }
        hints++;
        const int indent = hint.icon >= 0 ? HINT_ICON_INDENT : 0;
        const int width = hint.hasWidth ? std::min(hint.width, 200) : 200;
        // Laid out in its box, the text ends on the row it ends on in a box without limit.
        EXPECT_EQ(layOutHintText(nullptr, 0, 0, hint.text, width, indent),
                  layOutHintText(nullptr, 0, 0, hint.text, 1 << 30, indent))
            << "hint " << n << " has a line too long for its box";
    }
    EXPECT_GE(hints, 22);
}
