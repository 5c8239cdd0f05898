// Bad input and bad surroundings, one row a case: broken or crafted files, things that are no file at a
// file's name, missing, read-only or full folders, no sound device, saves killed or cut short, the window
// closed early. Most rows tour the whole game (tests/game/player.h) with the damage in place; every row
// checks that the player's files stay whole and each row's own look holds.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "field/blocks.h"
#include "field/gamevalues.h"
#include "field/level.h"
#include "flowtest.h"
#include "game/highscores.h"
#include "game/hints.h"
#include "game/modes.h"
#include "game/settings.h"
#include "gfx/picture.h"
#include "platform/headless/headless.h"
#include "player.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "sound/mixer.h"
#include "sound/music.h"
#include "sound/sample.h"

namespace fs = std::filesystem;

namespace {

// ---- Crafted files ------------------------------------------------------------------------------------

LevelBlock blockRecord(int x, int y, int type, int w, int h, int powerUp) {
    return LevelBlock{(uint16_t)x, (uint16_t)y, (uint8_t)type, (uint8_t)w, (uint8_t)h, {}, (uint16_t)powerUp};
}

std::vector<uint8_t> levelBytes(const std::vector<LevelBlock>& blocks) {
    std::vector<uint8_t> bytes(blocks.size() * sizeof(LevelBlock));
    if (!blocks.empty()) {
        std::memcpy(bytes.data(), blocks.data(), bytes.size());
    }
    return bytes;
}

// A thousand blocks over the upper field, and one byte more (12001 bytes).
std::vector<uint8_t> thousandBlockLevel(void) {
    std::vector<LevelBlock> blocks;
    for (int i = 0; i < 1000; i++) {
        blocks.push_back(blockRecord(10 + (i * 7) % 210, 10 + (i * 13) % 200, i % 4, 10, 5, i % 23));
    }
    std::vector<uint8_t> bytes = levelBytes(blocks);
    bytes.push_back(0x5A);
    return bytes;
}

// Settings of the right size holding garbage: difficulty 7, volumes 300 and -5, hints 5, an unlock flag
// of the most negative number.
std::vector<uint8_t> garbageSettings(void) {
    std::mt19937 random(3);
    std::vector<int32_t> values(SETTINGS_BYTES / 4);
    for (int32_t& v : values) {
        v = (int32_t)random();
    }
    values[8] = 7;
    values[9] = 300;
    values[10] = -5;
    values[11] = 5;
    values[12] = INT32_MIN;
    return valuesToBytes(values);
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

// ---- Folders ------------------------------------------------------------------------------------------

std::vector<std::string> filesIn(const char* folder, const char* extension) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == extension) {
            names.push_back(entry.path().filename().string());
        }
    }
    return names;
}

// Every file of a folder (links followed) by name, with its bytes.
std::map<std::string, std::vector<uint8_t>> folderContents(const std::string& folder) {
    std::map<std::string, std::vector<uint8_t>> contents;
    for (const auto& entry : fs::directory_iterator(folder)) {
        contents[entry.path().filename().string()] = readFileBytes(entry.path().string());
    }
    return contents;
}

// A mount namespace of this process's own, so that mounts made for a test are seen by nobody else.
// Root needs only the namespace; anyone else becomes root of a user namespace first. "" on success.
std::string ownMountNamespace(void) {
    static bool done = false;
    if (done) {
        return "";
    }
    done = true;
    uid_t uid = geteuid();
    gid_t gid = getegid();
    if (uid != 0) {
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            return std::string("no user namespace: ") + strerror(errno);
        }
        writeFileBytes("/proc/self/setgroups", textBytes("deny"));
        writeFileBytes("/proc/self/uid_map", textBytes("0 " + std::to_string(uid) + " 1\n"));
        writeFileBytes("/proc/self/gid_map", textBytes("0 " + std::to_string(gid) + " 1\n"));
    } else if (unshare(CLONE_NEWNS) != 0) {
        return std::string("no mount namespace: ") + strerror(errno);
    }
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return std::string("mounts cannot be made private: ") + strerror(errno);
    }
    return "";
}

// Data made read-only for this process: a read-only mount of itself. "" on success, else why not.
std::string makeReadOnly(void) {
    std::string why = ownMountNamespace();
    if (why.empty() && (mount("Data", "Data", nullptr, MS_BIND, nullptr) != 0 ||
                        mount(nullptr, "Data", nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0)) {
        why = std::string("no read-only mount: ") + strerror(errno);
    }
    return why.empty() && access("Data", W_OK) == 0 ? "the read-only mount takes writes" : why;
}

// ---- Things that are no file, at a file's name --------------------------------------------------------

// Puts something that is no file of the game's at a path.
using Make = void (*)(const std::string& path);

// What stands at a path, without following a link: kind, size and identity.
std::vector<int64_t> identity(const std::string& path) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) {
        return {};
    }
    return {(int64_t)(info.st_mode & S_IFMT), (int64_t)info.st_size, (int64_t)info.st_ino};
}

// Every loader, each true when it refused its file at once.
const std::pair<const char*, std::function<bool(void)>> loaders[] = {
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
    // The picture falls back to a blank one of 5 x 5, named in a box.
    {"Data/odd.png",
     [] {
         Surface* s = nullptr;
         loadPicture("odd.png", &s);
         bool refused = s != nullptr && s->width == 5 && headlessMessageBoxes().back().text.find("odd.png") != std::string::npos;
         removeSurface(&s);
         return refused;
     }},
    {"Data/odd.jpg",
     [] {
         Surface* s = nullptr;
         return loadJpegPicture("./Data/odd.jpg", &s) == 0 && s == nullptr;
     }},
    {"Sound/odd.raw",
     [] { return loadSound("odd.raw", 3, 0) == 0 && headlessMessageBoxes().back().text.find("odd.raw") != std::string::npos; }},
};

// Every loader refuses the thing at once; settings that do not load are moved aside as .bad by the
// first save only, and a high-score table that cannot be read is never ranked against nor written.
std::string badThingRow(Make make, bool permissions = false) {
    std::unique_ptr<PermissionsApply> user(permissions ? new PermissionsApply() : nullptr);
    if (permissions && !user->applies()) {
        return "permission bits do not stop this process's reads here";
    }
    alarm(60);  // a load that blocks on the FIFO or reads the device for ever ends the test
    headlessReset();
    logLevel = 1;
    for (const auto& l : loaders) {
        if (!permissions) {
            fs::remove(l.first);
            make(l.first);
            clearLog();
            EXPECT_TRUE(l.second()) << l.first;
        }
    }
    fs::remove_all("Data/settings.dat");
    fs::remove_all("Data/Plinkor2.dat");
    writeFileBytes("Data/settings.dat.bad", textBytes("an older one"));
    make("Data/settings.dat");
    make("Data/Plinkor2.dat");
    std::vector<int64_t> settings = identity("Data/settings.dat"), table = identity("Data/Plinkor2.dat");
    clearLog();
    EXPECT_EQ(loadSettings(), 0);
    for (int32_t difficulty : {3, 2}) {
        setDefaultSettings();
        game.difficulty = difficulty;
        EXPECT_EQ(saveSettings(), 1);
        EXPECT_EQ(identity("Data/settings.dat.bad"), settings);
        std::vector<uint8_t> saved = readFileBytes("Data/settings.dat");
        EXPECT_EQ(saved.size() == (size_t)SETTINGS_BYTES ? valueAt(saved, 8) : -1, difficulty);
    }
    EXPECT_NE(logText().find("it is kept as ./Data/settings.dat.bad"), std::string::npos);
    EXPECT_EQ(highScoreRank(1000, 2), HIGH_SCORE_ENTRIES);
    EXPECT_EQ(insertHighScore("NEWCOMER", 1000, 2), 0);
    EXPECT_EQ(identity("Data/Plinkor2.dat"), table);
    for (const char* p : {"Data/settings.dat.bad", "Data/Plinkor2.dat"}) {
        fs::permissions(p, fs::perms::owner_all);
    }
    alarm(0);
    return "";
}

// ---- Saves killed at random moments -------------------------------------------------------------------

// A child saves the settings, inserts a high score and saves a level over and over while this process
// kills it with SIGKILL; after every kill each file must hold exactly the last content saved or the one
// being saved, and load. Save n of a kind is the n-th since the row began; its content is a function
// of n alone.
enum Kind { SETTINGS, HIGH_SCORES, LEVEL, KINDS };
const int KILLS = 600;

struct Progress {
    std::atomic<int64_t> started[KINDS];   // number of the save begun last
    std::atomic<int64_t> finished[KINDS];  // number of the save that returned last
    std::atomic<int32_t> kind;             // kind of the save begun last, -1 before the first
};

// Odd and even saves differ in every field the settings file holds.
void putSettings(int64_t n) {
    int odd = (int)(n & 1);
    for (int k = 0; k < CONTROL_COUNT; k++) {
        controlKeys[k] = odd ? 65 + k : 38 + k;
    }
    game.difficulty = odd ? 4 : 2;
    game.helpfulHints = odd;
    setVolume(0, odd ? 17 : 240);
    setVolume(1, odd ? 99 : 3);
    game.effectsVolume = getVolume(0);
    music.volume = getVolume(1);
    for (int d = 0; d < DIFFICULTY_COUNT; d++) {
        for (int i = 0; i < LEVEL_COUNT; i++) {
            game.unlocked[d][i] = ((d * LEVEL_COUNT + i) % 3 == (odd ? 0 : 1)) ? 1 : 0;
        }
    }
}

// 24 unbeatable entries, then save n's in the last place: a score of n always beats the last entry
// (n - 1 or less) and never the 24 above it.
std::string highScoreText(int64_t n) {
    std::string text;
    for (int e = 0; e < 24; e++) {
        text += "CHAMPION....99999999";
    }
    return text + (n == 0 ? std::string(20, '.') : scoreEntry("K" + std::to_string(n), n));
}

// Odd saves hold 3 blocks, even ones 700, so that a save takes a while and the two differ in length.
std::vector<LevelBlock> levelOf(int64_t n) {
    std::vector<LevelBlock> blocks;
    for (int i = 0; i < ((n & 1) ? 3 : 700); i++) {
        blocks.push_back(blockRecord(20 * (i % 10) + (int)(n & 1) * 3, 10 * ((i / 10) % 20), 1 + (i & 1), 20, 10,
                                     (int)((i + n) % 23)));
    }
    return blocks;
}

const char* const savePaths[KINDS] = {"Data/settings.dat", "Data/Plinkor3.dat", "Data/level7.dat"};

std::vector<uint8_t> saveBytes(int kind, int64_t n) {
    std::vector<uint8_t> bytes(SETTINGS_BYTES);
    if (kind == SETTINGS) {
        putSettings(n);
        encodeSettings(bytes.data());
    }
    return kind == SETTINGS ? bytes : kind == HIGH_SCORES ? textBytes(highScoreText(n)) : levelBytes(levelOf(n));
}

// Save n as the game makes it.
void save(int kind, int64_t n) {
    if (kind == SETTINGS) {
        putSettings(n);
        saveSettings();
    } else if (kind == HIGH_SCORES) {
        insertHighScore(("K" + std::to_string(n)).c_str(), (int32_t)n, 3);
    } else {
        std::vector<LevelBlock> blocks = levelOf(n);
        std::memcpy(currentLevel.blocks, blocks.data(), blocks.size() * sizeof(LevelBlock));
        currentLevel.blockCount = (int32_t)blocks.size();
        saveLevel(7);
    }
}

// The save number (older or newer) whose content the file holds and loads with, or -1.
int64_t held(int kind, int64_t older, int64_t newer) {
    std::vector<uint8_t> bytes = readFileBytes(savePaths[kind]);
    for (int64_t n : {older, newer}) {
        if (bytes != saveBytes(kind, n)) {
            continue;
        }
        bool loads = false;
        if (kind == SETTINGS) {
            putSettings(n + 1);  // something else in force, so that the load shows
            std::vector<uint8_t> loaded(SETTINGS_BYTES);
            loads = loadSettings() == 1;
            encodeSettings(loaded.data());
            loads = loads && loaded == bytes;
        } else if (kind == HIGH_SCORES) {
            loadHighScores(3);
            loads = std::string(highScoreTable(), 500) == highScoreText(n) && highScoreRank((int32_t)n + 1, 3) == 24;
        } else {
            currentLevel.blockCount = 0;
            loadLevel(7);
            loads = (size_t)currentLevel.blockCount * sizeof(LevelBlock) == bytes.size() &&
                    std::memcmp(currentLevel.blocks, bytes.data(), bytes.size()) == 0;
            unloadLevel();
        }
        return loads ? n : -1;
    }
    return -1;
}

std::string killedSavesRow(void) {
    writeTestLevelSet();
    setGamma(128);
    logLevel = 0;
    for (int k = 0; k < KINDS; k++) {
        replaceFileBytes(savePaths[k], saveBytes(k, 0));
        EXPECT_EQ(held(k, 0, 0), 0) << k;
    }
    void* shared = mmap(nullptr, sizeof(Progress), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    EXPECT_NE(shared, MAP_FAILED);
    Progress* progress = new (shared) Progress();  // value-initialised: every count 0
    std::mt19937 random(12);
    int kills[KINDS] = {}, midSave[KINDS] = {};
    // Kills before the child began its first save count for no kind.
    for (int round = 0, counted = 0; counted < KILLS && round < 3 * KILLS; round++) {
        progress->kind.store(-1);
        fflush(stdout);
        pid_t child = fork();
        if (child == 0) {
            // Each child begins with another kind, so that the kills fall on all three alike.
            for (int step = round;; step++) {
                int kind = step % KINDS;
                int64_t n = progress->finished[kind].load() + 1;
                progress->kind.store(kind);
                progress->started[kind].store(n);
                save(kind, n);
                progress->finished[kind].store(n);
            }
        }
        usleep((useconds_t)(random() % 12000));
        kill(child, SIGKILL);
        int status = 0;
        EXPECT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the child ended by itself";
        int kind = progress->kind.load();
        if (kind >= 0) {
            kills[kind]++;
            counted++;
            midSave[kind] += progress->started[kind].load() != progress->finished[kind].load() ? 1 : 0;
        }
        for (int k = 0; k < KINDS; k++) {
            int64_t older = progress->finished[k].load(), n = held(k, older, progress->started[k].load());
            if (n < 0) {
                ADD_FAILURE() << "kind " << k << " damaged after kill " << round + 1;
                n = older;
                replaceFileBytes(savePaths[k], saveBytes(k, n));  // carry on from a known content
            }
            progress->started[k].store(n);
            progress->finished[k].store(n);
        }
    }
    munmap(shared, sizeof(Progress));
    EXPECT_EQ(kills[SETTINGS] + kills[HIGH_SCORES] + kills[LEVEL], KILLS);
    // The kills must have hit every kind of save, inside the save itself.
    for (int k = 0; k < KINDS; k++) {
        EXPECT_GE(midSave[k], KILLS / 12) << "kind " << k;
    }
    return "";
}

// ---- The rows -----------------------------------------------------------------------------------------

std::string unless(bool holds, const std::string& what) {
    return holds ? "" : what + "; ";
}

// What the row's look saw on every pass, for its check.
struct Seen {
    int32_t difficulty = 0;
    bool defaults = false;
    std::map<std::string, std::vector<uint8_t>> dataBefore;
    std::vector<uint8_t> bytes, atMenu;
    std::vector<int32_t> inForce;
};
Seen seen;

// In a folder with the generated data linked in, prepare breaks the files and hands back a reason to
// skip, or ""; the whole game is toured, and check hands back what was wrong. A row without a check does
// all its work and checks in prepare.
struct Row {
    const char* name;
    std::function<std::string(TourOptions&)> prepare;
    std::function<std::string(const TourResult&)> check;
};

const Row rows[] = {
    {"every_picture_of_no_size_or_huge",
     [](TourOptions& o) {
         std::vector<std::string> pictures = filesIn("Data", ".png");
         for (size_t i = 0; i < pictures.size(); i++) {
             replaceFileBytes("Data/" + pictures[i], i % 2 == 0 ? craftedPng(0, 0) : craftedPng(60000, 60000));
         }
         o.needles = {"surface still null"};
         return pictures.size() > 10 ? "" : "no pictures";
     },
     [](const TourResult& r) {
         return unless(r.boxes.empty(), "a picture reported missing") +
                unless(r.found.count("surface still null") == 1, "no null surface logged");
     }},
    // The odd byte is a partial record, ignored without a word; a whole record more is worth a warning.
    {"level_of_12001_bytes",
     [](TourOptions& o) {
         seen.bytes = thousandBlockLevel();
         headlessReset();
         setGamma(128);
         logLevel = 1;
         for (int more : {0, 11}) {
             std::vector<uint8_t> bytes = seen.bytes;
             bytes.resize(bytes.size() + (size_t)more, 0x11);
             replaceFileBytes("Data/level0.dat", bytes);
             clearLog();
             loadLevel(0);
             EXPECT_EQ(currentLevel.blockCount, 1000);
             EXPECT_EQ(std::memcmp(currentLevel.blocks, seen.bytes.data(), 12000), 0);
             EXPECT_EQ(logText().find("more than 1000") != std::string::npos, more > 0);
             unloadLevel();
         }
         replaceFileBytes("Data/level0.dat", seen.bytes);
         o.level = 0;
         return "";
     },
     [](const TourResult&) {
         // The editor wrote level 0 only if the tour edited it: then at most the thousand records, whole.
         std::vector<uint8_t> saved = readFileBytes("Data/level0.dat");
         return unless(saved == seen.bytes || (saved.size() <= 12000u && saved.size() % 12 == 0u),
                       "level 0 saved as " + std::to_string(saved.size()) + " bytes");
     }},
    // Loaded as they stand (volumes clamped by the mixer) and written back so by the first menu; the
    // options screen repairs what it shows. Garbage the game has no rule for stays: keys, unlock flags.
    {"garbage_settings",
     [](TourOptions& o) {
         seen.bytes = garbageSettings();
         replaceFileBytes("Data/settings.dat", seen.bytes);
         o.everyPass = [](int64_t) {
             if (seen.atMenu.empty() && showing(MODE_MAIN_MENU)) {
                 seen.atMenu = readFileBytes("Data/settings.dat");
                 seen.inForce = {game.difficulty, game.helpfulHints, getVolume(0), music.volume};
             }
         };
         return "";
     },
     [](const TourResult&) {
         std::vector<uint8_t> saved = readFileBytes("Data/settings.dat");
         const std::vector<uint8_t>& first = seen.atMenu;
         return unless(seen.inForce == std::vector<int32_t>{7, 5, 255, 0}, "not loaded as they stand") +
                unless(first.size() == saved.size() && valueAt(first, 8) == 7 && valueAt(first, 11) == 5 &&
                           std::equal(first.begin() + 52, first.end(), seen.bytes.begin() + 52) &&
                           std::equal(first.begin(), first.begin() + 32, seen.bytes.begin()),
                       "the first menu did not write them back as they stand") +
                unless(saved.size() == (size_t)SETTINGS_BYTES && valueAt(saved, 8) >= 1 && valueAt(saved, 8) <= 4 &&
                           (valueAt(saved, 11) == 0 || valueAt(saved, 11) == 1),
                       "settings saved unrepaired");
     }},
    {"no_data_or_sound_folder",
     [](TourOptions& o) {
         fs::remove_all("Data");
         fs::remove_all("Sound");
         o.needles = {"[WARNING] Unable to load settings. Setting defaults.", "[WARNING] Unable to save settings."};
         o.everyPass = [](int64_t) {
             if (!seen.defaults && showing(MODE_MAIN_MENU)) {
                 const int32_t keys[8] = {38, 40, 37, 39, 32, 27, 13, 0};
                 seen.defaults = std::memcmp(controlKeys, keys, sizeof(keys)) == 0 && game.difficulty == 1 &&
                                 game.helpfulHints == 1 && getVolume(0) == 255 && music.volume == 220;
             }
         };
         return "";
     },
     [](const TourResult& r) {
         // Every missing picture and sound was named, and every save that failed for want of the folder.
         int pictures = 0, sounds = 0, saves = 0;
         std::string wrong;
         for (const HeadlessMessageBox& box : r.boxes) {
             if (box.title == "Save Failed") {
                 saves++;
                 wrong += unless(box.text.rfind("Unable to save ./Data/", 0) == 0 &&
                                     box.text.find(strerror(ENOENT)) != std::string::npos, box.text);
                 continue;
             }
             wrong += unless(box.title == "File Not Found", box.text);
             pictures += box.text.rfind("./Data/", 0) == 0 ? 1 : 0;
             sounds += box.text.rfind("./Sound/", 0) == 0 ? 1 : 0;
         }
         return wrong + unless(seen.defaults, "not on defaults") + unless(r.found.size() == 2u, "warnings") +
                unless(pictures > 10 && sounds > 10 && saves >= 1 && pictures + sounds + saves == (int)r.boxes.size(),
                       "boxes") +
                unless(!fs::exists("Data") && !fs::exists("Sound"), "a folder was made");
     }},
    // The player's settings, a table and a level in a folder the game cannot write to: every save fails
    // with the reason shown, the settings box once, the level's at each try to leave the editor.
    {"read_only_data_folder",
     [](TourOptions& o) {
         replaceFileBytes("Data/settings.dat", settingsWithDifficulty(2));
         replaceFileBytes("Data/Plinkor2.dat", textBytes(scoreTable({{"KEEPER", 5}})));
         replaceFileBytes("Data/level0.dat", oneBlockLevel(40));
         std::string why = makeReadOnly();
         seen.dataBefore = folderContents("Data");
         o.needles = {"[WARNING] Unable to save settings.", "[ERROR] Unable to save level."};
         o.everyPass = [](int64_t) {
             seen.difficulty = seen.difficulty == 0 && showing(MODE_MAIN_MENU) ? game.difficulty : seen.difficulty;
         };
         return why;
     },
     [](const TourResult& r) {
         int settingsBoxes = 0;
         std::string wrong;
         for (const HeadlessMessageBox& box : r.boxes) {
             bool settings = box.text.find("./Data/settings.dat") != std::string::npos;
             settingsBoxes += settings ? 1 : 0;
             wrong += unless(box.title == "Save Failed" && box.text.find(strerror(EROFS)) != std::string::npos &&
                                 (settings || (box.text.find("./Data/level0.dat") != std::string::npos &&
                                               box.type == MB_TYPE_RETRYCANCEL)),
                             box.text);
         }
         return wrong + unless(seen.difficulty == 2, "the settings were not read") +
                unless(r.found.size() == 2u, "warnings") + unless(settingsBoxes == 1, "settings boxes") +
                unless(folderContents("Data") == seen.dataBefore, "a file changed") +
                unless(umount2("Data", MNT_DETACH) == 0, "unmount");
     }},
    // A save never writes through a link planted at its temporary name, and keeps the old file's mode.
    {"temporary_names_planted_as_links",
     [](TourOptions&) {
         writeFileBytes("victim", textBytes("not the game's"));
         for (const char* name : {"Data/level0.dat.tmp", "Data/settings.dat.tmp"}) {
             fs::create_symlink("../victim", name);
         }
         replaceFileBytes("Data/level0.dat", oneBlockLevel(40));
         replaceFileBytes("Data/settings.dat", settingsWithDifficulty(2));
         fs::permissions("Data/settings.dat", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
         return "";
     },
     [](const TourResult&) {
         struct stat info;
         return unless(readFileBytes("victim") == textBytes("not the game's"), "the link was written through") +
                unless(lstat("Data/settings.dat", &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 07777) == 0640,
                       "settings lost their mode") +
                unless(fs::is_symlink("Data/level0.dat.tmp") && fs::is_symlink("Data/settings.dat.tmp"),
                       "a planted link was replaced");
     }},
    // Busy devices and their boxes are the mixer's own tests; here the whole game runs without sound.
    {"no_sound_device",
     [](TourOptions& o) {
         o.passesPerScreen = 120;
         o.setUp = [] { headlessSetAudioResult(AUDIO_FAILED); };
         o.needles = {"[ERROR] Sound Init Failed."};
         return "";
     },
     [](const TourResult& r) {
         return unless(r.found.size() == 1u && r.boxes.empty(), "no \"[ERROR] Sound Init Failed.\" or a box") +
                unless(headlessAudioOpened() == 0 && mainLoop.soundEnabled == 0, "sound enabled");
     }},
    {"a_folder_at_every_name",
     [](TourOptions&) { return badThingRow([](const std::string& p) { fs::create_directory(p); }); }, nullptr},
    {"a_fifo_at_every_name",
     [](TourOptions&) { return badThingRow([](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0644), 0); }); },
     nullptr},
    {"dev_zero_at_every_name",
     [](TourOptions&) { return badThingRow([](const std::string& p) { fs::create_symlink("/dev/zero", p); }); },
     nullptr},
    {"a_2_gb_file_at_every_name",
     [](TourOptions&) {
         return badThingRow([](const std::string& p) {
             int fd = open(p.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
             ASSERT_GE(fd, 0);
             ASSERT_EQ(ftruncate(fd, (off_t)2 << 30), 0);
             close(fd);
         });
     },
     nullptr},
    // Stops only a process that obeys permission bits: the row runs with root's override given up.
    {"unreadable_settings_and_scores",
     [](TourOptions&) {
         return badThingRow(
             [](const std::string& p) {
                 writeFileBytes(p, std::vector<uint8_t>(SETTINGS_BYTES, 1));
                 fs::permissions(p, fs::perms::none);
             },
             true);
     },
     nullptr},
    {"killed_saves", [](TourOptions&) { return killedSavesRow(); }, nullptr},
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

class Case : public ::testing::TestWithParam<Row> {};

}  // namespace

TEST_P(Case, LosesNothingAndEveryScreenStillWorks) {
    const Row& row = GetParam();
    GameFolder folder;
    TourOptions options;
    std::string skip = row.prepare(options);
    if (!skip.empty()) {
        GTEST_SKIP() << skip;
    }
    if (!row.check) {
        return;
    }
    TourResult result = tourTheGame(options);
    EXPECT_EQ(tourFaults(result), "");
    EXPECT_EQ(row.check(result), "");
}

INSTANTIATE_TEST_SUITE_P(BadInput, Case, ::testing::ValuesIn(rows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });
