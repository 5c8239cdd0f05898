// The main loop on the headless backend: start-up, pass order, update cap, render limit, suspend, close.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "support/testutil.h"

namespace {

const int64_t SECOND = HEADLESS_TICKS_PER_SECOND;
const int64_t UPDATE = SECOND / 60;  // 16666 ticks
const int64_t RENDER = SECOND / 100; // 10000 ticks

// What the loop did, one entry per call, with the pass it happened in.
struct Record {
    std::vector<std::string> calls;
    int64_t pass = -1;
    std::function<int32_t(int32_t)> onUpdate;
    // script(p) runs in the pump just before loop pass p (script(0) in the start-up pump, before the
    // clocks are set); calls made during loop pass p are recorded with "@p".
    std::function<void(int64_t)> script;
};
Record rec;

void note(const std::string& what) {
    rec.calls.push_back(what + " @" + std::to_string(rec.pass));
}

void pumpHook(int64_t pass) {
    rec.pass = pass;
    if (rec.script) {
        rec.script(pass);
    }
}

int count(const std::string& prefix, int64_t pass) {
    return (int)std::count_if(rec.calls.begin(), rec.calls.end(), [&](const std::string& c) {
        return c.rfind(prefix, 0) == 0 && c.substr(c.rfind('@') + 1) == std::to_string(pass);
    });
}

class MainLoop : public ::testing::Test {
protected:
    void SetUp() override {
        headlessReset();
        resetLoopState();
        clearLog();
        logLevel = 0;
        rec = Record();
        gameInterface = GameInterface{
            [] {
                mainLoop.currentMode = 500;
                rec.calls.push_back("init");
            },
            [] { rec.calls.push_back("shutdown"); },
            [](int32_t mode) { note("enter " + std::to_string(mode)); },
            [](int32_t mode) { note("leave " + std::to_string(mode)); },
            [](int32_t mode) {
                note("update " + std::to_string(mode));
                return rec.onUpdate ? rec.onUpdate(mode) : mode;
            },
            [](int32_t mode) {
                note("render " + std::to_string(mode));
                return mode;
            },
            [](int32_t message, uint32_t, int32_t) { note("input " + std::to_string(message)); }};
        headlessSetPumpHook(pumpHook);
        // A loading picture and an overlay sheet, so start-up finds its files.
        writeTestPngRgb("Data/loading.png", 2, 2, std::vector<uint8_t>(12, 255));
        writeTestPngRgb("Data/smallchars.png", 1, 1, {9, 9, 9});
    }
    ScratchFolder folder;
};

}  // namespace

TEST_F(MainLoop, FirstPassLeavesZeroThenEntersSplashAndCloseEndsWithZero) {
    rec.script = [](int64_t pass) {
        headlessAdvance(UPDATE + 1);
        if (pass == 2) {
            platformSendMessage(MSG_CLOSE, 0, 0);
        }
    };
    EXPECT_EQ(runGame(), 0);
    ASSERT_GE(rec.calls.size(), 4u);
    EXPECT_EQ((std::vector<std::string>{rec.calls[0], rec.calls[1], rec.calls[2], rec.calls[rec.calls.size() - 2],
                                        rec.calls.back()}),
              (std::vector<std::string>{"init", "leave 0 @0", "enter 500 @0", "leave 500 @2", "shutdown"}));
    EXPECT_TRUE(mainLoop.quitRequested);
}

// A second late before pass 1: four updates, the backlog dropped, so at pass 2 one step later only one
// is due. Two updates due at pass 3, and the second changes the mode: that stops the updates and the
// render; pass 4 leaves the old mode and enters the new one before its updates, and as the changing
// update did not move the update clock on, it is due again beside pass 4's own.
TEST_F(MainLoop, CapsUpdatesAtFourAndAModeChangeStopsThem) {
    rec.onUpdate = [](int32_t mode) { return rec.pass == 3 && count("update", 3) == 2 ? 1 : mode; };
    rec.script = [](int64_t pass) {
        const int64_t ahead[] = {0, SECOND, UPDATE + 1, 2 * UPDATE + 2, UPDATE + 1};
        headlessAdvance(pass < 5 ? ahead[pass] : 0);
        if (pass == 5) {
            platformSendMessage(MSG_CLOSE, 0, 0);
        }
    };
    runGame();
    EXPECT_EQ((Ints{count("update", 0), count("update", 1), count("render", 1), count("update", 2),
                    count("update", 3), count("render", 3), count("update", 4)}),
              (Ints{0, 4, 1, 1, 2, 0, 2}));
    auto at = std::find_if(rec.calls.begin(), rec.calls.end(),
                           [](const std::string& c) { return c.size() > 3 && c.substr(c.size() - 3) == " @4"; });
    ASSERT_LE(at + 3, rec.calls.end());
    EXPECT_EQ(std::vector<std::string>(at, at + 3),
              (std::vector<std::string>{"leave 500 @4", "enter 1 @4", "update 1 @4"}));
}

// Passes at 200 a second for 1.2 s: a render every other pass, 60 updates a second, and only new frames
// presented (the loading picture, then the renders).
TEST_F(MainLoop, RendersAtMostOncePerPassAndAHundredTimesASecond) {
    rec.script = [](int64_t pass) {
        headlessAdvance(RENDER / 2 + 1);
        if (pass == 241) {
            platformSendMessage(MSG_CLOSE, 0, 0);
        }
    };
    runGame();
    int renders = 0, updates = 0;
    for (int64_t p = 1; p <= 240; p++) {
        EXPECT_LE(count("render", p), 1);
        renders += count("render", p);
        updates += count("update", p);
    }
    EXPECT_EQ((Ints{renders, updates, headlessFrameCount()}), (Ints{120, 72, 1 + 120}));
}

TEST_F(MainLoop, SuspendSleepsUntilAPressResumesAndThePressIsSwallowed) {
    rec.script = [](int64_t pass) {
        headlessAdvance(UPDATE + 1);
        if (pass == 2) {
            appActive = 0;
        } else if (pass == 5) {
            headlessMouse(MSG_LBUTTONDOWN, 10, 10);
            headlessMouse(MSG_LBUTTONUP, 10, 10);
        } else if (pass == 7) {
            platformSendMessage(MSG_CLOSE, 0, 0);
        }
    };
    runGame();
    for (int64_t p = 2; p <= 4; p++) {
        EXPECT_EQ(count("update", p) + count("render", p), 0) << p;
    }
    // Only the release reaches the game. Four sleeps of 250 ms left the clocks far behind: the first
    // running pass does 4 updates.
    EXPECT_EQ((Ints{count("input 513", 5), count("input 514", 5), count("update", 5), count("render", 5),
                    count("update", 6)}),
              (Ints{0, 1, 4, 1, 1}));
}
