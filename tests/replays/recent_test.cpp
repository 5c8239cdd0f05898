// The bounded journal and the journal's desktop options: a session recorded in a child process (a fresh
// game), its journal replayed here headless, the result lines compared.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "field/gamevalues.h"
#include "platform/journal.h"
#include "shell/desktop.h"
#include "shell/mainloop.h"
#include "shell/replay.h"
#include "shell/replaystate.h"
#include "../game/flowtest.h"
#include "../game/player.h"
#include "support/testutil.h"

namespace {

std::vector<uint32_t> levelStartUpdates;
void (*enterBehind)(int32_t) = nullptr;

// Notes the updates run at every level start, before the watch (and the bound) sees it.
void noteLevelStart(int32_t mode) {
    if (mode == MODE_NEXT_LEVEL) {
        levelStartUpdates.push_back(updateWatch.updates);
    }
    enterBehind(mode);
}

// From the menu to level 1 through the chooser (a game in progress moves the items down 12 pixels),
// played for `passes` + 1 passes with the paddle steered by the pointer, held down or not.
void playLevelOne(int passes, bool held) {
    waitFor(MODE_MAIN_MENU);
    waitPasses(10);
    act([]() {
        int y = 122 + 12 * (game.gameInProgress ? 1 : 0) + 24 + 5;
        headlessMouse(MSG_LBUTTONDOWN, 120, y);
        headlessMouse(MSG_LBUTTONUP, 120, y);
    });
    waitFor(MODE_LEVEL_SELECT);
    waitPasses(20);
    tapStep(12, 92);
    waitFor(MODE_PLAY);
    for (int i = 0; i <= passes; i++) {
        act([held]() {
            uint32_t message = held && script.passes % 2 == 0 ? MSG_LBUTTONDOWN : MSG_MOUSEMOVE;
            headlessMouse(message, std::clamp(landingX(), 0, 239), 300);
        });
    }
}

// Level 1 started three times, played for 40, 40 and 5 seconds, each left by the escape key.
void threeLevelStarts(void) {
    for (int passes : {2400, 2400, 300}) {
        playLevelOne(passes, true);
        act([]() { headlessMouse(MSG_LBUTTONUP, 120, 300); });
        keyStep(MSG_KEYDOWN, 27);
        keyStep(MSG_KEYUP, 27);
    }
    waitFor(MODE_MAIN_MENU);
}

struct Recorded {
    std::string line;        // the session's result line (or what kept it from ending)
    uint32_t firstGap = 0;   // updates between the first two level starts
    uint32_t lastStart = 0;  // updates run at the last level start
};

// Records `session` in a child process to path (bounded to keepSeconds when above 0, with the desktop
// flags given); the child hands back its result line and its level starts.
Recorded recordInChild(const std::string& path, void (*session)(void), int64_t keepSeconds,
                       std::vector<const char*> flags = {}) {
    std::istringstream text(inChild([&]() -> std::string {
        flags.insert(flags.begin(), "plinkor");
        readDesktopFlags((int)flags.size(), const_cast<char**>(flags.data()));
        GameFolder folder;
        script = GameScript();
        script.limit = 20000;
        step([]() {
            bool now = showing(MODE_SPLASH_INTRO) && flow.splashCounter == 290;
            if (now) {
                headlessMouse(MSG_LBUTTONDOWN, 120, 160);
                headlessMouse(MSG_LBUTTONUP, 120, 160);
            }
            return now;
        });
        session();
        act([]() { headlessPushMessage(MSG_CLOSE, 0, 0); });
        JournalHeader header;
        describeRunFolder(&header);
        std::string error;
        if (!journalStartRecording(path.c_str(), header, 0, &error)) {
            return error;
        }
        watchUpdates();
        enterBehind = gameInterface.enter;
        gameInterface.enter = noteLevelStart;
        if (keepSeconds > 0) {
            // As a plain session's Custom/last.journal is bounded, with the bound shortened for the test.
            setenv("PLINKOR_JOURNAL_KEEP_SECONDS", std::to_string(keepSeconds).c_str(), 1);
            keepRecentPlay(path.c_str(), recentPlaySeconds(), header);
        }
        int code = runScript();
        journalFinish();
        if (code != 0 || script.next != script.steps.size()) {
            return "stuck at step " + std::to_string(script.next) + " in mode " + std::to_string(mainLoop.currentMode);
        }
        std::vector<uint32_t>& starts = levelStartUpdates;
        return replayResultLine() + "\n" + std::to_string(starts.size() < 2 ? 0 : starts[1] - starts[0]) + " " +
               std::to_string(starts.empty() ? 0 : starts.back());
    }));
    Recorded r;
    std::getline(text, r.line);
    text >> r.firstGap >> r.lastStart;
    return r;
}

// Past the bound, each level start begins a new journal holding the state there: the last one is
// smaller than the whole session's and replays to the very same end.
TEST(RecentPlay, TheLastLevelStartsJournalReplaysToTheWholeSessionsEnd) {
    ScratchFolder dir(false);
    Recorded whole = recordInChild(dir.path() + "/whole.journal", threeLevelStarts, 0);
    Recorded recent = recordInChild(dir.path() + "/recent.journal", threeLevelStarts, 5);
    EXPECT_EQ(recent.line, whole.line);
    ASSERT_GT(recent.firstGap, 5u * 60) << "the bound must pass between level starts";

    JournalContents contents;
    std::string error;
    ASSERT_EQ(journalLoad((dir.path() + "/recent.journal").c_str(), &contents, &error), 1) << error;
    GameSnapshot state;
    ASSERT_EQ(readGameSnapshot(contents.header.state.data(), contents.header.state.size(), &state, &error), 1)
        << error;
    EXPECT_EQ(state.updates, recent.lastStart);
    EXPECT_LT(std::filesystem::file_size(dir.path() + "/recent.journal"),
              std::filesystem::file_size(dir.path() + "/whole.journal"));
    EXPECT_EQ(replayHeadless(dir.path() + "/recent.journal"), "");
    EXPECT_EQ(replayResultLine(), whole.line);
}

// The desktop options travel in the journal: a session steered by the pointer alone (follow_pointer)
// replays the same with other flags on the replay's command line.
TEST(RecentPlay, DesktopOptionsComeFromTheJournalNotTheReplaysFlags) {
    ScratchFolder dir(false);
    // Level 1 played with the pointer only, never pressed.
    Recorded follow = recordInChild(dir.path() + "/follow.journal", []() { playLevelOne(900, false); }, 0,
                                    {"--follow-pointer"});
    const char* flags[] = {"plinkor", "--no-follow-pointer", "--no-intro"};
    ASSERT_EQ(readDesktopFlags(3, const_cast<char**>(flags)), DESKTOP_FLAGS_RUN);
    EXPECT_EQ(replayHeadless(dir.path() + "/follow.journal"), "");
    EXPECT_EQ(replayResultLine(), follow.line);
}

}  // namespace
