// Bad surroundings a player can cause: a full disk while saving, and the window closed while a splash
// screen runs (badinput_test.cpp tours the game without folders, read-only or without a sound device).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "field/level.h"
#include "flowtest.h"
#include "game/game.h"
#include "field/gamevalues.h"
#include "game/highscores.h"
#include "game/modes.h"
#include "shell/savefile.h"
#include "game/settings.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "badinput.h"
#include "player.h"
#include "shell/display.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "sound/mixer.h"




// ---- A full disk --------------------------------------------------------------------------------------

TEST(BadSetup, ASaveThatRunsOutOfDiskAtAnyByteKeepsTheOldFileAndWarns) {
    FlowFixture flow;
    logLevel = 1;
    replaceFileBytes("Data/settings.dat", settingsWithDifficulty(3));
    std::vector<uint8_t> oldSettings = readFileBytes("Data/settings.dat");
    std::vector<uint8_t> oldTable = textBytes(scoreTable({{"OLDTIMER", 70}}));
    replaceFileBytes("Data/Plinkor4.dat", oldTable);
    replaceFileBytes("Data/level9.dat", oneBlockLevel(60));
    game.difficulty = 4;
    currentLevel.blockCount = 0;
    for (int i = 0; i < 40; i++) {
        addLevelBlock(5 * i, 100, 1, i);
    }
    // The menu saves the settings and warns when the disk fills at the first byte, after one, or one
    // before the end.
    for (int64_t at : {(int64_t)0, (int64_t)1, (int64_t)SETTINGS_BYTES - 1}) {
        saveFaults.failAfterBytes = at;
        clearLog();
        flow.goTo(MODE_MAIN_MENU);
        EXPECT_NE(logText().find("[WARNING] Unable to save settings."), std::string::npos) << at;
        EXPECT_EQ(readFileBytes("Data/settings.dat"), oldSettings) << at;
        flow.goTo(MODE_OPTIONS);
    }
    // Each save stopped at every byte: it fails, the old file stays whole and no temporary file is left.
    struct Kind {
        const char* path;
        std::vector<uint8_t> old;
        int64_t size;
        std::function<int(void)> save;
        const char* warning;  // the save's own line in the log
    };
    const Kind kinds[] = {
        {"Data/settings.dat", oldSettings, SETTINGS_BYTES, saveSettings, nullptr},
        {"Data/Plinkor4.dat", oldTable, HIGH_SCORE_FILE_CHARS, [] { return insertHighScore("NEWCOMER", 900, 4); },
         "[WARNING] Unable to save high scores."},
        {"Data/level9.dat", oneBlockLevel(60), 40 * 12, [] { return saveLevel(9); }, "[ERROR] Unable to save level."},
    };
    for (const Kind& k : kinds) {
        for (int64_t at = 0; at < k.size; at++) {
            saveFaults.failAfterBytes = at;
            clearLog();
            ASSERT_EQ(k.save(), 0) << k.path << " " << at;
            ASSERT_TRUE(k.warning == nullptr || logText().find(k.warning) != std::string::npos) << k.path << " " << at;
            ASSERT_EQ(readFileBytes(k.path), k.old) << k.path << " " << at;
            ASSERT_FALSE(temporaryFilesIn("Data")) << k.path << " " << at;
        }
    }
    EXPECT_EQ(currentLevel.blockCount, 40);
    // Room again: everything saves.
    saveFaults.failAfterBytes = -1;
    EXPECT_EQ(saveSettings(), 1);
    EXPECT_EQ(valueAt(readFileBytes("Data/settings.dat"), 8), 4);
    EXPECT_EQ(insertHighScore("NEWCOMER", 900, 4), 1);
    EXPECT_EQ(readFileBytes("Data/Plinkor4.dat"), textBytes(scoreTable({{"NEWCOMER", 900}, {"OLDTIMER", 70}})));
    EXPECT_EQ(saveLevel(9), 1);
    EXPECT_EQ(readFileBytes("Data/level9.dat").size(), 40u * 12u);
}

TEST(BadSetup, OnARealFullFileSystemEverySaveFailsSafelyAndWorksAgainOnceThereIsRoom) {
    FlowFixture flow;
    logLevel = 1;
    saveFaults.failAfterBytes = -1;
    std::string why = makeTinyDisk("Data", 64);
    if (!why.empty()) {
        GTEST_SKIP() << why;
    }
    game.difficulty = 2;
    setVolume(0, 111);
    ASSERT_EQ(saveSettings(), 1);
    std::vector<uint8_t> oldSettings = readFileBytes("Data/settings.dat");
    ASSERT_EQ(insertHighScore("FIRST", 40, 2), 1);
    std::vector<uint8_t> oldTable = readFileBytes("Data/Plinkor2.dat");
    currentLevel.blockCount = 0;
    addLevelBlock(20, 20, 1, 0);
    ASSERT_EQ(saveLevel(3), 1);
    std::vector<uint8_t> oldLevel = readFileBytes("Data/level3.dat");
    fillDisk("Data");

    setVolume(0, 7);
    clearLog();
    flow.goTo(MODE_MAIN_MENU);
    EXPECT_NE(logText().find("[WARNING] Unable to save settings."), std::string::npos);
    EXPECT_EQ(readFileBytes("Data/settings.dat"), oldSettings);
    clearLog();
    EXPECT_EQ(insertHighScore("SECOND", 90, 2), 0);
    EXPECT_NE(logText().find("[WARNING] Unable to save high scores."), std::string::npos);
    EXPECT_EQ(readFileBytes("Data/Plinkor2.dat"), oldTable);
    for (int i = 0; i < 300; i++) {
        addLevelBlock(i % 200, 100, 1, 0);
    }
    clearLog();
    EXPECT_EQ(saveLevel(3), 0);
    EXPECT_NE(logText().find("[ERROR] Unable to save level."), std::string::npos);
    EXPECT_EQ(readFileBytes("Data/level3.dat"), oldLevel);
    EXPECT_FALSE(temporaryFilesIn("Data"));
    // The settings in force are the player's, unsaved: they are written once there is room.
    EXPECT_EQ(getVolume(0), 7);

    std::filesystem::remove("Data/filler");
    EXPECT_EQ(saveSettings(), 1);
    EXPECT_EQ(readFileBytes("Data/settings.dat")[36], 7);
    EXPECT_EQ(insertHighScore("SECOND", 90, 2), 1);
    EXPECT_EQ(saveLevel(3), 1);
    EXPECT_EQ(readFileBytes("Data/level3.dat").size(), 301u * 12u);
    flow.goTo(MODE_OPTIONS);
    EXPECT_EQ(umount2("Data", MNT_DETACH), 0);
}


// ---- The window closed during a splash ----------------------------------------------------------------

TEST(BadSetup, ClosingTheWindowDuringEachSplashEndsTheProgramCleanly) {
    GameFolder folder;
    const int32_t splashes[3] = {MODE_SPLASH_LOGO, MODE_SPLASH_INTRO, MODE_SPLASH_MONKEY};
    // When: the splash's first frame, the update after its loading, and its hold.
    const char* const moments[3] = {"first frame", "after loading", "holding"};
    static int32_t target;
    static int moment;
    static int closed;
    static int holding;
    static std::vector<int32_t> left;
    for (int s = 0; s < 3; s++) {
        for (int m = 0; m < 3; m++) {
            target = splashes[s];
            moment = m;
            std::string outcome = inChild([&]() -> std::string {
                closed = 0;
                holding = 0;
                left.clear();
                headlessReset();
                gameInterface.leave = [](int32_t mode) {
                    left.push_back(mode);
                    leaveMode(mode);
                };
                headlessSetPumpHook([](int64_t pass) {
                    headlessAdvance(HEADLESS_TICKS_PER_SECOND / 60 + 1);
                    if (pass % 3 == 0) {
                        headlessAudioPlayOne();
                    }
                    if (closed || pass > 5000 || mainLoop.previousMode != target || mainLoop.currentMode != target) {
                        if (pass > 5000 && !closed) {
                            headlessPushMessage(MSG_CLOSE, 0, 0);
                        }
                        return;
                    }
                    // The counter passes the loading at 280 and then holds at 290 for a while.
                    int32_t counter = target == MODE_SPLASH_LOGO ? flow.logoCounter : flow.splashCounter;
                    holding += counter > SPLASH_LOAD_AT ? 1 : 0;
                    if (moment == 0 || (moment == 1 && holding == 1) || (moment == 2 && holding == 40)) {
                        headlessPushMessage(MSG_CLOSE, 0, 0);
                        closed = 1;
                    }
                });
                int code = runGame();
                std::string wrong;
                if (!closed) {
                    wrong += "never closed; ";
                }
                if (code != 0 || mainLoop.quitRequested != 1) {
                    wrong += "exit code " + std::to_string(code) + "; ";
                }
                if (left.empty() || left.back() != target) {
                    wrong += "the splash was not left last; ";
                }
                if (flowPictures.logo != nullptr || flowPictures.intro != nullptr || flowPictures.monkey != nullptr ||
                    flowPictures.blackScreen != nullptr) {
                    wrong += "a splash picture was kept; ";
                }
                if (std::filesystem::exists("Data/settings.dat")) {
                    wrong += "settings written; ";
                }
                return wrong;
            });
            EXPECT_EQ(outcome, "") << "splash " << target << ", " << moments[m];
        }
    }
}
