// The settings file: exact bytes, defaults, size checks, values in force after a load, failed saves.
#include <gtest/gtest.h>

#include <cstdio>

#include "flowtest.h"
#include "field/gamevalues.h"
#include "shell/runfolder.h"
#include "shell/savefile.h"
#include "game/settings.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "sound/mixer.h"
#include "sound/music.h"

namespace {

std::vector<int32_t> defaultValues(void) {
    std::vector<int32_t> v = {38, 40, 37, 39, 32, 27, 13, 0, 1, 255, 220, 1};
    v.resize(412, 0);
    return v;
}

struct SettingsFolder {
    ScratchFolder folder;
    SettingsFolder() {
        snprintf(runPaths.dataPath, sizeof(runPaths.dataPath), "./Data/");
        saveFaults.failAfterBytes = -1;
        logLevel = 1;
        clearLog();
    }
};

}  // namespace

TEST(Settings, DefaultsSaveAsTheDocumentedBytesWithThePlayersMusicVolumeDuringAFade) {
    SettingsFolder f;
    game.difficulty = 3;
    game.unlocked[2][5] = 1;
    controlKeys[7] = 99;
    setDefaultSettings();
    EXPECT_EQ(getVolume(0), 255);
    EXPECT_EQ(getVolume(1), 220);
    EXPECT_EQ(music.volume, 220);
    // The fade drives the music class below the player's setting while a track changes.
    setVolume(1, 40);
    ASSERT_EQ(saveSettings(), 1);
    EXPECT_EQ(readFileBytes("Data/settings.dat"), valuesToBytes(defaultValues()));
    EXPECT_TRUE(readFileBytes("Data/settings.dat.tmp").empty());
}

TEST(Settings, LoadPutsEveryValueInForce) {
    SettingsFolder f;
    std::vector<int32_t> v = {87, 83, 65, 68, 16, 81, 80, 19, 3, 128, 64, 0};
    v.resize(412, 0);
    v[12 + 0 * 100 + 0] = 1;
    v[12 + 1 * 100 + 42] = 1;
    v[12 + 3 * 100 + 99] = 5;
    writeFileBytes("Data/settings.dat", valuesToBytes(v));
    ASSERT_EQ(loadSettings(), 1);
    for (int k = 0; k < 8; k++) {
        EXPECT_EQ(controlKeys[k], v[k]);
    }
    EXPECT_EQ(game.difficulty, 3);
    EXPECT_EQ(getVolume(0), 128);
    EXPECT_EQ(getVolume(1), 64);
    EXPECT_EQ(music.volume, 64);
    EXPECT_EQ(game.helpfulHints, 0);
    EXPECT_EQ(game.unlocked[0][0], 1);
    EXPECT_EQ(game.unlocked[1][42], 1);
    EXPECT_EQ(game.unlocked[3][99], 5);
    EXPECT_EQ(game.unlocked[1][41], 0);
    // Saved again, the file is the same bytes.
    ASSERT_EQ(saveSettings(), 1);
    EXPECT_EQ(readFileBytes("Data/settings.dat"), valuesToBytes(v));
}

TEST(Settings, WrongSizesAreRejectedWithTheMismatchLineAndAMissingFileOrFolderWithout) {
    SettingsFolder f;
    for (size_t size : {1647u, 1649u, 0u, 1u}) {
        clearLog();
        game.difficulty = 2;
        std::vector<uint8_t> bytes = valuesToBytes(defaultValues());
        bytes.resize(size, 7);
        writeFileBytes("Data/settings.dat", bytes);
        EXPECT_EQ(loadSettings(), 0) << size;
        EXPECT_EQ(game.difficulty, 2) << size;
        EXPECT_NE(logText().find("[WARNING] Settings size mismatch.  Loading defaults."), std::string::npos)
            << size;
        // The bad file stays until the next save.
        EXPECT_EQ(readFileBytes("Data/settings.dat").size(), size);
    }
    clearLog();
    std::remove("Data/settings.dat");
    EXPECT_EQ(loadSettings(), 0);
    EXPECT_EQ(logText().find("mismatch"), std::string::npos);
    snprintf(runPaths.dataPath, sizeof(runPaths.dataPath), "./NoSuchFolder/");
    EXPECT_EQ(saveSettings(), 0);
}
