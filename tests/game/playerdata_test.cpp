// The player's files under bad conditions: unusable files kept, never written over, failed saves shown,
// every loader refusing what is no file at once, saves that no link or racing saver can spoil.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "field/blocks.h"
#include "field/level.h"
#include "field/paddle.h"
#include "flowtest.h"
#include "field/gamevalues.h"
#include "game/highscores.h"
#include "game/hints.h"
#include "game/play.h"
#include "shell/runfolder.h"
#include "shell/savefile.h"
#include "game/settings.h"
#include "gfx/picture.h"
#include "platform/headless/headless.h"
#include "render_kit.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "sound/sample.h"

namespace fs = std::filesystem;

namespace {

// The things that can stand at a file's name and must not be taken for the file. Each makes its thing at
// the path; a file without read permission stops only a process that obeys permission bits.
struct BadThing {
    const char* what;
    std::function<void(const std::string&)> make;
    bool needsPermissions;
};

const BadThing badThings[] = {
    {"a folder", [](const std::string& p) { fs::create_directory(p); }, false},
    {"a FIFO", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0644), 0); }, false},
    {"a link to /dev/zero", [](const std::string& p) { fs::create_symlink("/dev/zero", p); }, false},
    {"a sparse file of 2 GB",
     [](const std::string& p) {
         int fd = open(p.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
         ASSERT_GE(fd, 0);
         ASSERT_EQ(ftruncate(fd, (off_t)2 << 30), 0);
         close(fd);
     },
     false},
    {"a file without read permission",
     [](const std::string& p) {
         writeFileBytes(p, std::vector<uint8_t>(SETTINGS_BYTES, 1));
         fs::permissions(p, fs::perms::none);
     },
     true},
};

// For the cases that need it, makes the process obey permission bits (root gives up its override for
// the case); null when nothing is needed. Prints why a case cannot run and sets *skip then.
std::unique_ptr<PermissionsApply> asNormalUser(const BadThing& bad, bool* skip) {
    *skip = false;
    if (!bad.needsPermissions) {
        return nullptr;
    }
    std::unique_ptr<PermissionsApply> user(new PermissionsApply());
    if (!user->applies()) {
        std::printf("skipped \"%s\": permission bits do not stop this process's reads here\n", bad.what);
        *skip = true;
    }
    return user;
}

// What stands at a path, without following a link: kind, size and identity.
std::vector<int64_t> identity(const std::string& path) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) {
        return {};
    }
    return {(int64_t)(info.st_mode & S_IFMT), (int64_t)info.st_size, (int64_t)info.st_ino};
}

size_t boxesTitled(const char* title) {
    size_t n = 0;
    for (const HeadlessMessageBox& box : headlessMessageBoxes()) {
        n += box.title == title ? 1 : 0;
    }
    return n;
}

}  // namespace

// ---- Settings --------------------------------------------------------------------------------------

TEST(PlayerData, ASettingsFileThatDoesNotLoadIsKeptAsBadBeforeTheFirstSave) {
    alarm(60);  // a load that blocks on the FIFO or reads the device for ever ends the test
    std::vector<BadThing> cases(std::begin(badThings), std::end(badThings));
    cases.push_back({"one byte too many",
                     [](const std::string& p) { writeFileBytes(p, std::vector<uint8_t>(SETTINGS_BYTES + 1, 1)); },
                     false});
    for (const BadThing& bad : cases) {
        bool skip;
        std::unique_ptr<PermissionsApply> user = asNormalUser(bad, &skip);
        if (skip) {
            continue;
        }
        GameFolder folder;
        logLevel = 1;
        clearLog();
        writeFileBytes("Data/settings.dat.bad", textBytes("an older one"));
        bad.make("Data/settings.dat");
        std::vector<int64_t> made = identity("Data/settings.dat");
        EXPECT_EQ(loadSettings(), 0) << bad.what;
        setDefaultSettings();
        game.difficulty = 3;
        EXPECT_EQ(saveSettings(), 1) << bad.what;
        // The player's file is where it was moved, untouched, and the new one is whole.
        EXPECT_EQ(identity("Data/settings.dat.bad"), made) << bad.what;
        std::vector<uint8_t> saved = readFileBytes("Data/settings.dat");
        EXPECT_EQ(saved.size(), (size_t)SETTINGS_BYTES) << bad.what;
        EXPECT_EQ(saved.size() > 36 ? valueAt(saved, 8) : -1, 3) << bad.what;
        EXPECT_NE(logText().find("it is kept as ./Data/settings.dat.bad"), std::string::npos) << bad.what;
        // Only the first save moves a file aside.
        game.difficulty = 2;
        EXPECT_EQ(saveSettings(), 1);
        EXPECT_EQ(identity("Data/settings.dat.bad"), made) << bad.what;
        fs::permissions("Data/settings.dat.bad", fs::perms::owner_all);
        fs::remove_all("Data/settings.dat.bad");
    }
    // A missing file is a first start: created, nothing set aside.
    GameFolder folder;
    fs::remove("Data/settings.dat");
    EXPECT_EQ(loadSettings(), 0);
    EXPECT_EQ(saveSettings(), 1);
    EXPECT_EQ(readFileBytes("Data/settings.dat").size(), (size_t)SETTINGS_BYTES);
    EXPECT_FALSE(fs::exists("Data/settings.dat.bad"));
    alarm(0);
}

// ---- High scores -----------------------------------------------------------------------------------

TEST(PlayerData, AHighScoreTableThatCannotBeReadIsNeverWrittenNorRankedAgainst) {
    alarm(60);
    std::vector<BadThing> cases(std::begin(badThings), std::end(badThings));
    cases.push_back({"a table with 5000 bytes of junk after it",
                     [](const std::string& p) {
                         std::string text = scoreTable({{"KEEPER", 5000}}) + std::string(5000, 'j');
                         writeFileBytes(p, textBytes(text));
                     },
                     false});
    for (const BadThing& bad : cases) {
        bool skip;
        std::unique_ptr<PermissionsApply> user = asNormalUser(bad, &skip);
        if (skip) {
            continue;
        }
        FlowFixture flow;
        bad.make("Data/Plinkor2.dat");
        std::vector<int64_t> made = identity("Data/Plinkor2.dat");
        EXPECT_EQ(highScoreRank(1000, 2), HIGH_SCORE_ENTRIES) << bad.what;
        EXPECT_EQ(insertHighScore("NEWCOMER", 1000, 2), 0) << bad.what;
        EXPECT_EQ(identity("Data/Plinkor2.dat"), made) << bad.what;
        // A game ended with a score on that difficulty offers no name entry.
        game.difficulty = 2;
        game.score = 1000;
        flow.goTo(MODE_GAME_OVER);
        paddle.swallow = 0;
        flow.tap(120, 160);
        EXPECT_EQ(mainLoop.currentMode, MODE_MAIN_MENU) << bad.what;
        flow.apply();
        EXPECT_EQ(identity("Data/Plinkor2.dat"), made) << bad.what;
        fs::permissions("Data/Plinkor2.dat", fs::perms::owner_all);
        fs::remove_all("Data/Plinkor2.dat");
    }
    alarm(0);
}

// ---- Failed saves are shown ------------------------------------------------------------------------

TEST(PlayerData, AFailedSaveOfSettingsOrHighScoresShowsABoxNamingTheFileAndTheReason) {
    FlowFixture flow;
    // A data folder that is gone: nothing can be created in it.
    snprintf(runPaths.dataPath, sizeof(runPaths.dataPath), "./Gone/");
    const std::string reason = strerror(ENOENT);
    struct Case {
        const char* path;
        std::function<int(void)> save;
    };
    const Case cases[] = {
        {"./Gone/settings.dat", saveSettings},
        {"./Gone/Plinkor3.dat", [] { return insertHighScore("NEWCOMER", 900, 3); }},
    };
    for (const Case& c : cases) {
        size_t earlier = headlessMessageBoxes().size();
        EXPECT_EQ(c.save(), 0) << c.path;
        ASSERT_EQ(headlessMessageBoxes().size(), earlier + 1) << c.path;
        const HeadlessMessageBox& box = headlessMessageBoxes().back();
        EXPECT_EQ(box.title, "Save Failed");
        EXPECT_EQ(box.type, MB_TYPE_OK);
        EXPECT_EQ(box.text, std::string("Unable to save ") + c.path + ":\n" + reason);
    }
    // The main menu saves on every entry: the settings box is shown once, not at every entry.
    size_t earlier = boxesTitled("Save Failed");
    flow.goTo(MODE_OPTIONS);
    flow.goTo(MODE_MAIN_MENU);
    EXPECT_EQ(boxesTitled("Save Failed"), earlier);
}

// ---- Every loader refuses what is no file, at once -------------------------------------------------

TEST(PlayerData, EveryLoaderRefusesAFifoADeviceAFolderAndAHugeFileAtOnce) {
    alarm(60);
    struct Loader {
        const char* path;
        std::function<bool(void)> refused;  // loads the file; true when it was refused
    };
    const Loader loaders[] = {
        {"Data/settings.dat", [] { return loadSettings() == 0; }},
        {"Data/Plinkor1.dat",
         [] {
             loadHighScores(1);
             return highScoreTableUsable() == 0;
         }},
        {"Data/hint5.txt",
         [] {
             HintText hint;
             return loadHint(5, &hint) == 0;
         }},
        {"Data/level6.dat",
         [] {
             loadLevel(6);
             bool refused = currentLevel.unreadable == 1 && currentLevel.blockCount == 0;
             unloadLevel();
             return refused;
         }},
        {"Data/blocks7.txt",
         [] {
             blockTypeCount = 5;
             loadBlockDescriptions(7);
             return blockTypeCount == 0 && logText().find("block description not found") != std::string::npos;
         }},
        {"Data/odd.png",
         [] {
             Surface* s = nullptr;
             size_t earlier = boxesTitled("File Not Found");
             loadPicture("odd.png", &s);
             bool refused = s != nullptr && s->width == 5 && boxesTitled("File Not Found") == earlier + 1;
             removeSurface(&s);
             return refused;
         }},
        {"Data/odd.jpg",
         [] {
             Surface* s = nullptr;
             return loadJpegPicture("./Data/odd.jpg", &s) == 0 && s == nullptr;
         }},
        {"Sound/odd.raw",
         [] {
             size_t earlier = boxesTitled("File Not Found");
             return loadSound("odd.raw", 3, 0) == 0 && boxesTitled("File Not Found") == earlier + 1;
         }},
    };
    for (const BadThing& bad : badThings) {
        if (bad.needsPermissions) {
            continue;  // covered where a permission matters, above
        }
        for (const Loader& l : loaders) {
            FlowFixture flow;
            logLevel = 1;
            clearLog();
            fs::remove(l.path);
            bad.make(l.path);
            EXPECT_TRUE(l.refused()) << l.path << " as " << bad.what;
        }
    }
    alarm(0);
}

// ---- Hints -----------------------------------------------------------------------------------------

// The hint is read when the level is set up; the frames draw it from memory, whatever happens to the file.
TEST(PlayerData, TheHintIsReadOnceAtLevelSetUpAndDrawnFromMemory) {
    alarm(60);
    ScreenFixture f;
    replaceFileBytes("Data/hint4.txt", textBytes("[show|3][hint|Catch the ^AZAgreen^ZZZ pill]"));
    game.levelIndex = 4;
    hintPanel.height = 100;
    setUpLevel();
    hintPanel.width = 200;
    const uint16_t ground = packColour(20, 20, 20);
    // The box takes the text's height from the second drawing on.
    Surface* first = makeScreen(ground);
    drawHint(first, 20, 100, 4);
    removeSurface(&first);
    first = makeScreen(ground);
    drawHint(first, 20, 100, 4);
    // The file is replaced by one that would block a reader, then by another text: no frame notices.
    fs::remove("Data/hint4.txt");
    ASSERT_EQ(mkfifo("Data/hint4.txt", 0644), 0);
    for (int frame = 0; frame < 2; frame++) {
        Surface* later = makeScreen(ground);
        drawHint(later, 20, 100, 4);
        for (int y = 0; y < 320; y++) {
            for (int x = 0; x < 240; x++) {
                ASSERT_EQ(getPixel(later, x, y), getPixel(first, x, y)) << frame << ": " << x << "," << y;
            }
        }
        removeSurface(&later);
        fs::remove("Data/hint4.txt");
        replaceFileBytes("Data/hint4.txt", textBytes("[hint|something else entirely]"));
    }
    // The next level set-up reads the file again.
    setUpLevel();
    Surface* next = makeScreen(ground);
    drawHint(next, 20, 100, 4);
    int differing = 0;
    for (int y = 0; y < 320; y++) {
        for (int x = 0; x < 240; x++) {
            differing += getPixel(next, x, y) != getPixel(first, x, y);
        }
    }
    EXPECT_GT(differing, 20);
    removeSurface(&first);
    removeSurface(&next);
    alarm(0);
}

// ---- The atomic save -------------------------------------------------------------------------------

TEST(PlayerData, ASaveNeverWritesThroughALinkAndKeepsTheOldFilesPermissions) {
    GameFolder folder;
    writeFileBytes("victim", textBytes("not the game's"));
    const char* names[] = {"Data/level9.dat.tmp", "Data/settings.dat.tmp"};
    for (const char* name : names) {
        fs::create_symlink("../victim", name);
    }
    fs::remove("Data/level9.dat");
    writeFileBytes("Data/settings.dat", std::vector<uint8_t>(SETTINGS_BYTES, 0));
    fs::permissions("Data/settings.dat", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    currentLevel.blockCount = 0;
    addLevelBlock(20, 20, 1, 0);
    EXPECT_EQ(saveLevel(9), 1);
    EXPECT_EQ(saveSettings(), 1);
    EXPECT_EQ(readFileBytes("victim"), textBytes("not the game's"));
    EXPECT_EQ(readFileBytes("Data/level9.dat").size(), 12u);
    EXPECT_EQ(readFileBytes("Data/settings.dat").size(), (size_t)SETTINGS_BYTES);
    struct stat info;
    ASSERT_EQ(lstat("Data/settings.dat", &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    // No temporary file is left beside them.
    int entries = 0;
    for (const auto& entry : fs::directory_iterator("Data")) {
        std::string name = entry.path().filename().string();
        entries += name.rfind("level9.dat", 0) == 0 || name.rfind("settings.dat", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(entries, 2 + 2);  // the two files and the two planted links
}

// Two savers at once, and a reader watching: the file is always one saver's whole text, never a mix, a
// part or nothing.
TEST(PlayerData, TwoSaversRacingLeaveOneWholeFile) {
    GameFolder folder;
    const std::vector<uint8_t> a(4000, 'a'), b(3000, 'b');
    ASSERT_EQ(saveFileAtomically("Data/race.dat", a.data(), a.size()), 1);
    std::atomic<int> running{2};
    int spoiled = 0, seen = 0;
    auto saver = [&](const std::vector<uint8_t>& text) {
        for (int i = 0; i < 300; i++) {
            saveFileAtomically("Data/race.dat", text.data(), text.size());
        }
        running--;
    };
    std::thread first(saver, std::cref(a)), second(saver, std::cref(b));
    while (running > 0) {
        std::vector<uint8_t> now = readFileBytes("Data/race.dat");
        spoiled += now == a || now == b ? 0 : 1;
        seen++;
    }
    first.join();
    second.join();
    std::vector<uint8_t> last = readFileBytes("Data/race.dat");
    EXPECT_TRUE(last == a || last == b);
    EXPECT_EQ(spoiled, 0) << "of " << seen;
}
