// Bad surroundings a player can cause: a missing or read-only data folder, a full disk while saving,
// no sound device, and the window closed while a splash screen runs.
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
#include "game/gamevalues.h"
#include "game/highscores.h"
#include "game/modes.h"
#include "game/savefile.h"
#include "game/settings.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "player.h"
#include "shell/display.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "sound/mixer.h"

namespace {

// Every file of a folder (links followed) by name, with its bytes.
std::map<std::string, std::vector<uint8_t>> folderContents(const std::string& folder) {
    std::map<std::string, std::vector<uint8_t>> contents;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        contents[entry.path().filename().string()] = readFileBytes(entry.path().string());
    }
    return contents;
}

bool canCreateIn(const std::string& folder) {
    std::string probe = folder + "/.probe";
    int fd = open(probe.c_str(), O_CREAT | O_WRONLY, 0644);
    if (fd < 0) {
        return false;
    }
    close(fd);
    unlink(probe.c_str());
    return true;
}

// A mount namespace of this process's own, so that mounts made for a test are seen by nobody else.
// Root needs only the namespace; anyone else becomes root of a user namespace first. "" on success.
std::string ownMountNamespace(void) {
    static std::string result = "unset";
    if (result != "unset") {
        return result;
    }
    uid_t uid = geteuid();
    gid_t gid = getegid();
    if (uid != 0) {
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            return result = std::string("no user namespace: ") + strerror(errno);
        }
        std::string uidMap = "0 " + std::to_string(uid) + " 1\n", gidMap = "0 " + std::to_string(gid) + " 1\n";
        writeFileBytes("/proc/self/setgroups", textBytes("deny"));
        writeFileBytes("/proc/self/uid_map", textBytes(uidMap));
        writeFileBytes("/proc/self/gid_map", textBytes(gidMap));
    } else if (unshare(CLONE_NEWNS) != 0) {
        return result = std::string("no mount namespace: ") + strerror(errno);
    }
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return result = std::string("mounts cannot be made private: ") + strerror(errno);
    }
    return result = "";
}

// Makes the folder read-only for this process: a read-only mount of itself. "" on success.
std::string makeReadOnly(const std::string& folder) {
    std::string why = ownMountNamespace();
    if (!why.empty()) {
        return why;
    }
    if (mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
        mount(nullptr, folder.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
        return std::string("no read-only mount: ") + strerror(errno);
    }
    return canCreateIn(folder) ? "the read-only mount takes writes" : "";
}

std::string makeTinyDisk(const std::string& folder, int kilobytes) {
    std::string why = ownMountNamespace();
    if (!why.empty()) {
        return why;
    }
    std::string size = "size=" + std::to_string(kilobytes) + "k";
    if (mount("tmpfs", folder.c_str(), "tmpfs", 0, size.c_str()) != 0) {
        return std::string("no tmpfs: ") + strerror(errno);
    }
    return "";
}

// Fills the file system of the folder to the last byte.
void fillDisk(const std::string& folder) {
    FILE* f = fopen((folder + "/filler").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::vector<uint8_t> chunk(1024, 0xEE);
    while (fwrite(chunk.data(), 1, chunk.size(), f) == chunk.size() && fflush(f) == 0) {
    }
    fclose(f);
    for (size_t n = 1; n > 0;) {
        f = fopen((folder + "/filler").c_str(), "ab");
        n = f != nullptr ? fwrite(chunk.data(), 1, 1, f) : 0;
        if (f != nullptr && fclose(f) != 0) {
            n = 0;
        }
    }
    ASSERT_FALSE(canCreateIn(folder) && std::filesystem::space(folder).available > 0);
}

std::vector<uint8_t> settingsWithDifficulty(int32_t difficulty) {
    setDefaultSettings();
    game.difficulty = difficulty;
    std::vector<uint8_t> bytes(SETTINGS_BYTES);
    encodeSettings(bytes.data());
    return bytes;
}

std::vector<uint8_t> oneBlockLevel(int x) {
    return {(uint8_t)x, 0, 50, 0, 1, 20, 10, 0, 0, 0, 0, 0};
}

bool temporaryFilesIn(const std::string& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".tmp") {
            return true;
        }
    }
    return false;
}

}  // namespace

// ---- The data folder ----------------------------------------------------------------------------------

TEST(BadSetup, WithoutDataAndSoundFoldersTheGameWarnsAndRunsOnDefaults) {
    ScratchFolder folder;
    std::filesystem::remove_all("Data");
    std::filesystem::remove_all("Sound");
    TourOptions options;
    options.needles = {"[WARNING] Unable to load settings. Setting defaults.", "[WARNING] Unable to save settings."};
    bool defaults = false, checked = false;
    options.everyPass = [&](int64_t) {
        if (!checked && currentMode == MODE_MAIN_MENU && previousMode == MODE_MAIN_MENU) {
            checked = true;
            const int32_t keys[8] = {38, 40, 37, 39, 32, 27, 13, 0};
            defaults = std::memcmp(controlKeys, keys, sizeof(keys)) == 0 && game.difficulty == 1 &&
                       game.helpfulHints == 1 && getVolume(0) == 255 && game.musicVolume == 220;
        }
    };
    TourResult result = tourTheGame(options);
    EXPECT_EQ(tourFaults(result), "");
    EXPECT_TRUE(defaults);
    EXPECT_EQ(result.found.size(), 2u);
    // Every missing picture and sound was named to the player, and every save that failed for want of
    // the folder; nothing else was said.
    int pictures = 0, sounds = 0, saves = 0;
    for (const HeadlessMessageBox& box : result.boxes) {
        if (box.title == "Save Failed") {
            saves++;
            EXPECT_EQ(box.text.rfind("Unable to save ./Data/", 0), 0u) << box.text;
            EXPECT_NE(box.text.find(strerror(ENOENT)), std::string::npos) << box.text;
            continue;
        }
        EXPECT_EQ(box.title, "File Not Found") << box.text;
        pictures += box.text.rfind("./Data/", 0) == 0 ? 1 : 0;
        sounds += box.text.rfind("./Sound/", 0) == 0 ? 1 : 0;
    }
    EXPECT_GT(pictures, 10);
    EXPECT_GT(sounds, 10);
    EXPECT_GE(saves, 1);  // the settings, once however often the menu saves them
    EXPECT_EQ(pictures + sounds + saves, (int)result.boxes.size());
    // The game made no folder of its own.
    EXPECT_FALSE(std::filesystem::exists("Data"));
    EXPECT_FALSE(std::filesystem::exists("Sound"));
}

TEST(BadSetup, AReadOnlyDataFolderKeepsEveryFileAndTheGameRunsWithWarnings) {
    GameFolder folder;
    replaceFileBytes("Data/settings.dat", settingsWithDifficulty(2));
    replaceFileBytes("Data/Plinkor2.dat", textBytes(scoreTable({{"KEEPER", 5}})));
    replaceFileBytes("Data/level0.dat", oneBlockLevel(40));
    std::string why = makeReadOnly("Data");
    if (!why.empty()) {
        GTEST_SKIP() << why;
    }
    std::map<std::string, std::vector<uint8_t>> before = folderContents("Data");

    TourOptions options;
    options.needles = {"[WARNING] Unable to save settings.", "[ERROR] Unable to save level."};
    int32_t difficulty = 0;
    options.everyPass = [&](int64_t) {
        if (difficulty == 0 && currentMode == MODE_MAIN_MENU && previousMode == MODE_MAIN_MENU) {
            difficulty = game.difficulty;
        }
    };
    TourResult result = tourTheGame(options);
    EXPECT_EQ(tourFaults(result), "");
    EXPECT_EQ(difficulty, 2);  // the settings were read
    EXPECT_EQ(result.found.size(), 2u);
    // The player was told: once about the settings, and about the edited level at each try to leave the
    // editor (Cancel keeps the editor open).
    int settingsBoxes = 0;
    for (const HeadlessMessageBox& box : result.boxes) {
        EXPECT_EQ(box.title, "Save Failed");
        EXPECT_NE(box.text.find(strerror(EROFS)), std::string::npos) << box.text;
        bool settings = box.text.find("./Data/settings.dat") != std::string::npos;
        settingsBoxes += settings ? 1 : 0;
        EXPECT_TRUE(settings || (box.text.find("./Data/level0.dat") != std::string::npos &&
                                 box.type == MB_TYPE_RETRYCANCEL)) << box.text;
    }
    EXPECT_EQ(settingsBoxes, 1);
    EXPECT_TRUE(folderContents("Data") == before);
    EXPECT_EQ(umount2("Data", MNT_DETACH), 0);
}

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
    levelBlockCount = 0;
    for (int i = 0; i < 40; i++) {
        addLevelBlock(5 * i, 100, 1, i);
    }
    // The menu saves the settings and warns when the disk fills at the first byte, after one, or one
    // before the end.
    for (int64_t at : {(int64_t)0, (int64_t)1, (int64_t)SETTINGS_BYTES - 1}) {
        saveFailAfterBytes = at;
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
            saveFailAfterBytes = at;
            clearLog();
            ASSERT_EQ(k.save(), 0) << k.path << " " << at;
            ASSERT_TRUE(k.warning == nullptr || logText().find(k.warning) != std::string::npos) << k.path << " " << at;
            ASSERT_EQ(readFileBytes(k.path), k.old) << k.path << " " << at;
            ASSERT_FALSE(temporaryFilesIn("Data")) << k.path << " " << at;
        }
    }
    EXPECT_EQ(levelBlockCount, 40);
    // Room again: everything saves.
    saveFailAfterBytes = -1;
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
    saveFailAfterBytes = -1;
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
    levelBlockCount = 0;
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

// ---- No sound device ----------------------------------------------------------------------------------

TEST(BadSetup, WithoutASoundDeviceTheGameRunsSilent) {
    GameFolder folder;
    struct Case {
        const char* name;
        std::function<void()> setUp;
        std::string needle;
        int boxes;
        int opened;
    };
    std::vector<Case> cases = {
        {"no device", [] { headlessSetAudioResult(AUDIO_FAILED); }, "[ERROR] Sound Init Failed.", 0, 0},
        {"busy, cancelled", [] { headlessSetAudioResult(AUDIO_BUSY); }, "[ERROR] Sound Init Failed.", 1, 0},
        {"busy twice, then retried",
         [] {
             headlessSetAudioResultFor(AUDIO_BUSY, 2);
             headlessSetBoxAnswer(MB_RESULT_RETRY);
         },
         "", 2, 1},
    };
    for (const Case& c : cases) {
        std::string outcome = inChild([&]() -> std::string {
            TourOptions options;
            options.passesPerScreen = 120;
            options.setUp = c.setUp;
            if (!c.needle.empty()) {
                options.needles = {c.needle};
            }
            TourResult result = tourTheGame(options);
            std::string wrong = tourFaults(result);
            if (!c.needle.empty() && result.found.empty()) {
                wrong += "no \"" + c.needle + "\"; ";
            }
            int soundBoxes = 0;
            for (const HeadlessMessageBox& box : result.boxes) {
                soundBoxes += box.title == "Sound not available" ? 1 : 0;
            }
            if (soundBoxes != c.boxes || (int)result.boxes.size() != c.boxes) {
                wrong += std::to_string(result.boxes.size()) + " boxes; ";
            }
            if (headlessAudioOpened() != c.opened || soundEnabled != c.opened) {
                wrong += "device opened " + std::to_string(headlessAudioOpened()) + "; ";
            }
            return wrong;
        });
        EXPECT_EQ(outcome, "") << c.name;
    }
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
                    if (closed || pass > 5000 || previousMode != target || currentMode != target) {
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
                if (code != 0 || quitRequested != 1) {
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
