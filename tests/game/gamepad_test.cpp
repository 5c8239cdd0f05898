// The gamepad as the game sees it: key messages with the gamepad's codes become the player's control
// keys, or the stylus where the stylus cursor shows; the left stick moves that cursor.
#include <gtest/gtest.h>

#include "field/editor.h"
#include "field/level.h"
#include "field/paddle.h"
#include "flowtest.h"
#include "field/gamevalues.h"
#include "game/modes.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "shell/input.h"
#include "shell/mainloop.h"
#include "shell/overlay.h"

namespace {

const int MENU_ROW = 122;

// Runs `steps` pointer steps 50 ms apart.
void stickFor(int steps) {
    for (int i = 0; i < steps; i++) {
        headlessAdvance(HEADLESS_TICKS_PER_SECOND / 20);
        stepGamepadPointer();
    }
}

}  // namespace

TEST(Gamepad, InPlayTheDpadAndStickSteerAsTheDirectionKeysAndStartSuspends) {
    FlowFixture f;
    f.goTo(MODE_PLAY);
    ASSERT_EQ(showStylusCursor, 0);
    controlKeys[CONTROL_LEFT] = 'J';  // a player's own keys are what the pad sends
    static const struct {
        uint32_t vk;
        int32_t* held;
    } cases[] = {
        {VK_GAMEPAD_DPAD_LEFT, &paddle.keyLeft},
        {VK_GAMEPAD_DPAD_RIGHT, &paddle.keyRight},
        {VK_GAMEPAD_DPAD_UP, &paddle.keyUp},
        {VK_GAMEPAD_DPAD_DOWN, &paddle.keyDown},
        {VK_GAMEPAD_LEFT_THUMBSTICK_LEFT, &paddle.keyLeft},
        {VK_GAMEPAD_LEFT_THUMBSTICK_RIGHT, &paddle.keyRight},
        {VK_GAMEPAD_LEFT_THUMBSTICK_UP, &paddle.keyUp},
        {VK_GAMEPAD_LEFT_THUMBSTICK_DOWN, &paddle.keyDown},
    };
    for (const auto& c : cases) {
        f.keyDown(c.vk);
        EXPECT_EQ(*c.held, 1) << c.vk;
        f.keyUp(c.vk);
        EXPECT_EQ(*c.held, 0) << c.vk;
    }
    // The stick does not move the stylus while its cursor is hidden.
    int32_t x = stylus.x;
    headlessSetStick(32767, 0);
    stickFor(4);
    EXPECT_EQ(stylus.x, x);
    headlessSetStick(0, 0);
    f.keyDown(VK_GAMEPAD_MENU);
    f.keyUp(VK_GAMEPAD_MENU);
    EXPECT_EQ(appActive, 0);
    // A wakes the game as a press does.
    f.keyDown(VK_GAMEPAD_A);
    EXPECT_EQ(appActive, 1);
    f.keyUp(VK_GAMEPAD_A);
    EXPECT_EQ(mainLoop.currentMode, MODE_PLAY);
}

TEST(Gamepad, WhereTheStylusShowsTheStickMovesItAndATaps) {
    FlowFixture f;
    f.goTo(MODE_MAIN_MENU);
    ASSERT_EQ(showStylusCursor, 1);
    stylus.x = 20;
    stylus.y = MENU_ROW + 24 * 2 + 5;
    // Full right for half a second: 240 pixels a second, fractions carried from step to step.
    headlessSetStick(32767, 0);
    stickFor(10);
    EXPECT_EQ(stylus.x, 20 + 119);
    EXPECT_EQ(stylus.y, MENU_ROW + 24 * 2 + 5);
    // Inside the dead zone nothing moves; at the screen's edge the pointer stops.
    headlessSetStick(5000, -5000);
    stickFor(10);
    EXPECT_EQ(stylus.x, 139);
    headlessSetStick(-32768, 0);
    stickFor(40);
    EXPECT_EQ(stylus.x, 0);
    headlessSetStick(0, 0);
    stylus.x = 120;
    // The stick's direction keys do nothing here; A taps the menu's third item (Options).
    f.keyDown(VK_GAMEPAD_LEFT_THUMBSTICK_DOWN);
    f.keyUp(VK_GAMEPAD_LEFT_THUMBSTICK_DOWN);
    f.apply();
    EXPECT_EQ(mainLoop.currentMode, MODE_MAIN_MENU);
    f.keyDown(VK_GAMEPAD_A);
    EXPECT_EQ(stylus.down, 1);
    f.keyUp(VK_GAMEPAD_A);
    EXPECT_EQ(stylus.down, 0);
    f.apply();
    EXPECT_EQ(mainLoop.currentMode, MODE_OPTIONS);
    // B is escape: back to the menu.
    f.keyDown(VK_GAMEPAD_B);
    f.keyUp(VK_GAMEPAD_B);
    EXPECT_EQ(mainLoop.currentMode, MODE_MAIN_MENU);
}

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
