// The game run by the real main loop on the headless backend: mode changes made twice within one pass.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flowtest.h"
#include "player.h"
#include "field/gamevalues.h"
#include "game/game.h"
#include "game/modes.h"
#include "platform/platform.h"
#include "shell/mainloop.h"

namespace {

std::vector<std::string> calls;  // "enter 500", "leave 0", ...

// The script's two steps, then the game closed once `last` has been entered; every mode entered and
// left goes on record.
void runRecorded(std::function<bool(void)> first, std::function<bool(void)> second, int32_t last) {
    calls.clear();
    gameInterface.enter = [](int32_t mode) {
        calls.push_back("enter " + std::to_string(mode));
        enterMode(mode);
    };
    gameInterface.leave = [](int32_t mode) {
        calls.push_back("leave " + std::to_string(mode));
        leaveMode(mode);
    };
    step(first);
    step(second);
    step([last]() { return mainLoop.previousMode == last; });
    act([]() { headlessPushMessage(MSG_CLOSE, 0, 0); });
    EXPECT_EQ(runScript(), 0);
    EXPECT_EQ(script.next, script.steps.size());
}

}  // namespace

TEST(Loop, TwoInputsInOnePassEnterOnlyTheLastMode) {
    GameFolder folder;
    runRecorded(
        []() {
            if (mainLoop.previousMode == MODE_SPLASH_LOGO) {
                mainLoop.currentMode = MODE_MAIN_MENU;
            }
            return mainLoop.previousMode == MODE_SPLASH_LOGO;
        },
        []() {
            if (mainLoop.previousMode == MODE_MAIN_MENU) {
                // Farewell is chosen and left again before the loop gets to enter it.
                headlessMouse(MSG_LBUTTONDOWN, 120, 122 + 24 * 5 + 5);
                headlessMouse(MSG_LBUTTONUP, 120, 122 + 24 * 5 + 5);
                headlessKey(MSG_KEYUP, 65);
            }
            return mainLoop.previousMode == MODE_MAIN_MENU;
        },
        MODE_EXIT);
    EXPECT_EQ(calls, (std::vector<std::string>{"leave 0", "enter 500", "leave 500", "enter 1", "leave 1",
                                               "enter 61", "leave 61"}));
}

TEST(Loop, AnInputAfterAnUpdateInTheSamePassOverridesIt) {
    GameFolder folder;
    runRecorded(
        // Skip to the last splash, held down so that it ends quickly.
        []() {
            if (showing(MODE_SPLASH_LOGO)) {
                mainLoop.currentMode = MODE_SPLASH_MONKEY;
                headlessMouse(MSG_LBUTTONDOWN, 5, 5);
            }
            return mainLoop.currentMode == MODE_SPLASH_MONKEY;
        },
        // This pass's update has just ended the splash; the escape key goes to the menu's successor.
        []() {
            bool ended = mainLoop.currentMode == MODE_MAIN_MENU && mainLoop.previousMode == MODE_SPLASH_MONKEY;
            if (ended) {
                headlessKey(MSG_KEYUP, 27);
            }
            return ended;
        },
        MODE_FAREWELL);
    EXPECT_EQ(calls, (std::vector<std::string>{"leave 0", "enter 500", "leave 500", "enter 501", "leave 501",
                                               "enter 60", "leave 60"}));
    // The menu was never entered, so the settings were never written.
    EXPECT_TRUE(readFileBytes("Data/settings.dat").empty());
}
