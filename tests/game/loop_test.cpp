// The game run by the real main loop on the headless backend: mode changes made twice within one pass.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "flowtest.h"
#include "game/game.h"
#include "game/gamevalues.h"
#include "game/modes.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "shell/input.h"
#include "shell/mainloop.h"

namespace {

const int64_t UPDATE = HEADLESS_TICKS_PER_SECOND / 60;

struct Run {
    std::vector<std::string> calls;  // "enter 500", "leave 0", ...
    std::function<void(int64_t)> script;
    int64_t passes = 0;
};
Run run;

void recordEnter(int32_t mode) {
    run.calls.push_back("enter " + std::to_string(mode));
    enterMode(mode);
}
void recordLeave(int32_t mode) {
    run.calls.push_back("leave " + std::to_string(mode));
    leaveMode(mode);
}

// Every pass moves the clock on by a little more than one update, then the test's script acts; a run
// that goes on too long is closed so that the test fails instead of hanging.
void hook(int64_t pass) {
    run.passes = pass;
    headlessAdvance(UPDATE + 1);
    if (pass > 20000) {
        headlessPushMessage(MSG_CLOSE, 0, 0);
        return;
    }
    if (run.script) {
        run.script(pass);
    }
}

int runScripted(std::function<void(int64_t)> script) {
    run = Run();
    run.script = script;
    headlessReset();
    headlessSetPumpHook(hook);
    gameInterface.enter = recordEnter;
    gameInterface.leave = recordLeave;
    return runGame();
}

void tap(int x, int y) {
    headlessMouse(MSG_LBUTTONDOWN, x, y);
    headlessMouse(MSG_LBUTTONUP, x, y);
}

}  // namespace

TEST(Loop, TwoInputsInOnePassEnterOnlyTheLastMode) {
    GameFolder folder;
    int step = 0;
    int code = runScripted([&](int64_t) {
        if (step == 0 && previousMode == MODE_SPLASH_LOGO) {
            currentMode = MODE_MAIN_MENU;
            step = 1;
        } else if (step == 1 && previousMode == MODE_MAIN_MENU) {
            // Farewell is chosen and left again before the loop gets to enter it.
            tap(120, 122 + 24 * 5 + 5);
            headlessKey(MSG_KEYUP, 65);
            step = 2;
        } else if (step == 2 && previousMode == MODE_EXIT) {
            headlessPushMessage(MSG_CLOSE, 0, 0);
            step = 3;
        }
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(step, 3);
    std::vector<std::string> expected = {"leave 0", "enter 500", "leave 500", "enter 1", "leave 1", "enter 61",
                                         "leave 61"};
    EXPECT_EQ(run.calls, expected);
}

TEST(Loop, AnInputAfterAnUpdateInTheSamePassOverridesIt) {
    GameFolder folder;
    int step = 0;
    int code = runScripted([&](int64_t) {
        if (step == 0 && currentMode == MODE_SPLASH_LOGO && previousMode == MODE_SPLASH_LOGO) {
            // Skip to the last splash, held down so that it ends quickly.
            currentMode = MODE_SPLASH_MONKEY;
            headlessMouse(MSG_LBUTTONDOWN, 5, 5);
            step = 1;
        } else if (step == 1 && currentMode == MODE_MAIN_MENU && previousMode == MODE_SPLASH_MONKEY) {
            // This pass's update has just ended the splash; the escape key goes to the menu's successor.
            headlessKey(MSG_KEYUP, 27);
            step = 2;
        } else if (step == 2 && previousMode == MODE_FAREWELL) {
            headlessPushMessage(MSG_CLOSE, 0, 0);
            step = 3;
        }
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(step, 3);
    std::vector<std::string> expected = {"leave 0", "enter 500", "leave 500", "enter 501", "leave 501",
                                         "enter 60", "leave 60"};
    EXPECT_EQ(run.calls, expected);
    // The menu was never entered, so the settings were never written.
    EXPECT_TRUE(readFileBytes("Data/settings.dat").empty());
}
