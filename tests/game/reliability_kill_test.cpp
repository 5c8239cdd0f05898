// Saves killed at random moments: a child process saves the settings, inserts high scores and saves a
// level over and over while this process kills it with SIGKILL; after every kill each file must hold
// exactly the last content saved or the one being saved, and load.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "field/blocks.h"
#include "field/level.h"
#include "flowtest.h"
#include "field/gamevalues.h"
#include "game/highscores.h"
#include "game/settings.h"
#include "gfx/surface.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "sound/mixer.h"
#include "sound/music.h"

namespace {

enum Kind { SETTINGS, HIGH_SCORES, LEVEL, KINDS };
const char* const kindNames[KINDS] = {"settings", "high scores", "level"};

const int KILLS = 600;
const int LEVEL_NUMBER = 7;
const int DIFFICULTY = 3;
const int MAX_DELAY_MICROSECONDS = 12000;

// Written by the child as it goes, read by the parent after the kill. Save n of a kind is the n-th
// save of that kind since the test began; its content is a function of n alone (see below).
struct Progress {
    std::atomic<int64_t> started[KINDS];   // number of the save begun last
    std::atomic<int64_t> finished[KINDS];  // number of the save that returned last
    std::atomic<int32_t> kind;             // kind of the save begun last
    std::atomic<int64_t> rounds;           // complete rounds of three saves in this child
};

// ---- The contents of save n ---------------------------------------------------------------------------

// Settings: odd and even saves differ in every field the file holds.
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

std::vector<uint8_t> settingsBytes(int64_t n) {
    putSettings(n);
    std::vector<uint8_t> bytes(SETTINGS_BYTES);
    encodeSettings(bytes.data());
    return bytes;
}

// High scores: 24 unbeatable entries, then the entry of save n in the last place. Save n inserts a
// score of n, which always beats the last entry (n - 1 or less) and never the 24 above it, so it lands
// in the last place whatever save came before it.
std::string highScoreEntry(int64_t n) {
    return n == 0 ? std::string(20, '.') : scoreEntry("K" + std::to_string(n), n);
}

std::string highScoreText(int64_t n) {
    std::string text;
    for (int e = 0; e < 24; e++) {
        text += "CHAMPION....99999999";
    }
    return text + highScoreEntry(n);
}

// Level: odd saves hold 3 blocks, even saves 700, so that a save takes a while and the two differ in
// length as well as in content.
std::vector<LevelBlock> levelOf(int64_t n) {
    std::vector<LevelBlock> blocks;
    int count = (n & 1) ? 3 : 700;
    for (int i = 0; i < count; i++) {
        LevelBlock r = {};
        r.x = (uint16_t)(20 * (i % 10) + (n & 1) * 3);
        r.y = (uint16_t)(10 * ((i / 10) % 20));
        r.type = (uint8_t)(1 + (i & 1));
        r.width = 20;
        r.height = 10;
        r.powerUp = (uint16_t)((i + n) % 23);
        blocks.push_back(r);
    }
    return blocks;
}

void saveLevelOf(int64_t n) {
    std::vector<LevelBlock> blocks = levelOf(n);
    std::memcpy(currentLevel.blocks, blocks.data(), blocks.size() * sizeof(LevelBlock));
    currentLevel.blockCount = (int32_t)blocks.size();
    saveLevel(LEVEL_NUMBER);
}

// Save n of a kind written whole, as the state before the first child and after a damaged file.
void writeSave(int kind, int64_t n) {
    if (kind == SETTINGS) {
        putSettings(n);
        saveSettings();
    } else if (kind == HIGH_SCORES) {
        replaceFileBytes("Data/Plinkor3.dat", textBytes(highScoreText(n)));
    } else {
        saveLevelOf(n);
    }
}

// ---- The child: saves for ever ---------------------------------------------------------------------

// Each child begins with another kind, so that the kills fall on all three alike.
[[noreturn]] void saveForEver(Progress* progress, int firstKind) {
    while (true) {
        for (int step = 0; step < KINDS; step++) {
            int kind = (firstKind + step) % KINDS;
            int64_t n = progress->finished[kind].load() + 1;
            progress->kind.store(kind);
            progress->started[kind].store(n);
            if (kind == SETTINGS) {
                putSettings(n);
                saveSettings();
            } else if (kind == HIGH_SCORES) {
                insertHighScore(("K" + std::to_string(n)).c_str(), (int32_t)n, DIFFICULTY);
            } else {
                saveLevelOf(n);
            }
            progress->finished[kind].store(n);
        }
        progress->rounds.fetch_add(1);
    }
}

// ---- The parent's checks ------------------------------------------------------------------------------

// The save number whose content the settings file holds and loads with, or -1.
int64_t settingsHeld(int64_t older, int64_t newer) {
    std::vector<uint8_t> bytes = readFileBytes("Data/settings.dat");
    for (int64_t n : {older, newer}) {
        if (bytes == settingsBytes(n)) {
            putSettings(n + 1);  // something else in force, so that the load shows
            if (loadSettings() != 1) {
                return -1;
            }
            std::vector<uint8_t> loaded(SETTINGS_BYTES);
            encodeSettings(loaded.data());
            return loaded == bytes ? n : -1;
        }
    }
    return -1;
}

int64_t highScoresHeld(int64_t older, int64_t newer) {
    std::vector<uint8_t> bytes = readFileBytes("Data/Plinkor3.dat");
    std::string text(bytes.begin(), bytes.end());
    for (int64_t n : {older, newer}) {
        if (text == highScoreText(n)) {
            loadHighScores(DIFFICULTY);
            if (std::string(highScoreTable(), 500) != text || highScoreRank((int32_t)n + 1, DIFFICULTY) != 24) {
                return -1;
            }
            return n;
        }
    }
    return -1;
}

int64_t levelHeld(int64_t older, int64_t newer) {
    std::vector<uint8_t> bytes = readFileBytes("Data/level7.dat");
    for (int64_t n : {older, newer}) {
        std::vector<LevelBlock> blocks = levelOf(n);
        if (bytes.size() != blocks.size() * sizeof(LevelBlock) ||
            std::memcmp(bytes.data(), blocks.data(), bytes.size()) != 0) {
            continue;
        }
        currentLevel.blockCount = 0;
        loadLevel(LEVEL_NUMBER);
        int same = currentLevel.blockCount == (int32_t)blocks.size() &&
                   std::memcmp(currentLevel.blocks, blocks.data(), bytes.size()) == 0;
        unloadLevel();
        return same ? n : -1;
    }
    return -1;
}

void sleepMicroseconds(int us) {
    timespec t = {us / 1000000, (long)(us % 1000000) * 1000};
    nanosleep(&t, nullptr);
}

}  // namespace

TEST(KilledSaves, EveryFileIsTheOldOrTheNewContentAfterEachOfSixHundredKills) {
    GameFolder folder;
    writeTestLevelSet();
    setGamma(128);
    logLevel = 0;

    // Save 0 of each kind is on the disk before the first child starts.
    for (int k = 0; k < KINDS; k++) {
        writeSave(k, 0);
    }
    ASSERT_EQ(settingsHeld(0, 0), 0);
    ASSERT_EQ(highScoresHeld(0, 0), 0);
    ASSERT_EQ(levelHeld(0, 0), 0);

    void* shared = mmap(nullptr, sizeof(Progress), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(shared, MAP_FAILED);
    Progress* progress = new (shared) Progress();  // value-initialised: every count 0

    std::mt19937 random(12);
    int kills[KINDS] = {0, 0, 0};
    int midSave[KINDS] = {0, 0, 0};
    int damaged[KINDS] = {0, 0, 0};
    int64_t rounds = 0;
    std::string firstDamage;
    // Kills that come before the child has begun its first save count for no kind; the rounds go on
    // until 600 kills have fallen on saves (or far too many rounds have passed).
    int early = 0;
    int counted = 0;
    for (int round = 0; counted < KILLS && round < 3 * KILLS; round++) {
        progress->kind.store(-1);
        progress->rounds.store(0);
        fflush(stdout);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            saveForEver(progress, round % KINDS);
        }
        sleepMicroseconds((int)(random() % MAX_DELAY_MICROSECONDS));
        ASSERT_EQ(kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the child ended by itself";
        rounds += progress->rounds.load();

        int kind = progress->kind.load();
        if (kind >= 0) {
            kills[kind]++;
            counted++;
            if (progress->started[kind].load() != progress->finished[kind].load()) {
                midSave[kind]++;
            }
        } else {
            early++;
        }
        for (int k = 0; k < KINDS; k++) {
            int64_t older = progress->finished[k].load(), newer = progress->started[k].load();
            int64_t held = k == SETTINGS ? settingsHeld(older, newer)
                                         : (k == HIGH_SCORES ? highScoresHeld(older, newer) : levelHeld(older, newer));
            if (held < 0) {
                damaged[k]++;
                if (firstDamage.empty()) {
                    firstDamage = std::string(kindNames[k]) + " after kill " + std::to_string(round + 1);
                }
                // Carry on from a known content, so that one damaged file is counted once.
                held = older;
                writeSave(k, held);
            }
            // The next child goes on from what the file holds.
            progress->started[k].store(held);
            progress->finished[k].store(held);
        }
    }
    std::printf("kills: %d settings, %d high scores, %d level (%d, %d, %d of them inside the save call), %d before "
                "the first save; %lld complete rounds of three saves; saves reached: %lld, %lld, %lld\n",
                kills[SETTINGS], kills[HIGH_SCORES], kills[LEVEL], midSave[SETTINGS], midSave[HIGH_SCORES],
                midSave[LEVEL], early, (long long)rounds, (long long)progress->finished[SETTINGS].load(),
                (long long)progress->finished[HIGH_SCORES].load(), (long long)progress->finished[LEVEL].load());
    munmap(shared, sizeof(Progress));
    std::printf("damaged files: %d settings, %d high scores, %d level\n", damaged[SETTINGS], damaged[HIGH_SCORES],
                damaged[LEVEL]);
    EXPECT_EQ(firstDamage, "");
    EXPECT_EQ(damaged[SETTINGS] + damaged[HIGH_SCORES] + damaged[LEVEL], 0);
    // The kills must have hit every kind of save, inside the save itself.
    EXPECT_EQ(kills[SETTINGS] + kills[HIGH_SCORES] + kills[LEVEL], KILLS);
    for (int k = 0; k < KINDS; k++) {
        EXPECT_GE(midSave[k], KILLS / 12) << kindNames[k];
    }
}
