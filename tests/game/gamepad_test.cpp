// The gamepad as the game sees it where the stylus cursor shows: X is the action key. Steering, the stick's
// pointer and A and B are walked by the real pad under Xvfb (tests/platform/gamepad_xvfb.sh).
#include <gtest/gtest.h>

#include "field/editor.h"
#include "field/level.h"
#include "flowtest.h"
#include "field/gamevalues.h"
#include "game/modes.h"
#include "platform/platform.h"
#include "shell/input.h"
#include "shell/mainloop.h"
#include "shell/overlay.h"

TEST(Gamepad, XIsTheActionKeyWhereTheStylusShowsSoTheEditorErasesFromThePad) {
    FlowFixture f;
    f.goTo(MODE_EDITOR);
    ASSERT_EQ(showStylusCursor, 1);
    ASSERT_GT(currentLevel.blockCount, 0);
    int32_t count = currentLevel.blockCount;
    const LevelBlock& b = currentLevel.blocks[0];
    stylus.x = b.x + b.width / 2;
    stylus.y = b.y + b.height / 2;
    int target = findBlockAt(stylus.x, stylus.y);
    ASSERT_GE(target, 0);
    // Held with nothing selected, the action key erases the block under the pointer.
    f.keyDown(VK_GAMEPAD_X);
    EXPECT_EQ(editor.painting, 1);
    EXPECT_EQ(currentLevel.blockCount, count - 1);
    f.keyUp(VK_GAMEPAD_X);
    EXPECT_EQ(editor.painting, 0);
    EXPECT_EQ(stylus.down, 0);
}
