// The settings file: exact bytes, defaults, size checks, values in force after a load.
#include <gtest/gtest.h>

#include <cstdio>

#include "field/gamevalues.h"
#include "flowtest.h"
#include "game/settings.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "sound/mixer.h"
#include "sound/music.h"

namespace {

std::vector<int32_t> values(std::vector<int32_t> first) {
    first.resize(412, 0);
    return first;
}

struct SettingsFolder {
    GameFolder folder;
    SettingsFolder() { logLevel = 1; }
};

}  // namespace

TEST(Settings, DefaultsSaveAsTheDocumentedBytesWithThePlayersMusicVolumeDuringAFade) {
    SettingsFolder f;
    game.difficulty = 3;
    game.unlocked[2][5] = 1;
    controlKeys[7] = 99;
    setDefaultSettings();
    EXPECT_EQ((Ints{getVolume(0), getVolume(1), music.volume}), (Ints{255, 220, 220}));
    // The fade drives the music class below the player's setting while a track changes.
    setVolume(1, 40);
    ASSERT_EQ(saveSettings(), 1);
    EXPECT_EQ(readFileBytes("Data/settings.dat"), valuesToBytes(values({38, 40, 37, 39, 32, 27, 13, 0, 1, 255, 220, 1})));
}

TEST(Settings, LoadPutsEveryValueInForce) {
    SettingsFolder f;
    std::vector<int32_t> v = values({87, 83, 65, 68, 16, 81, 80, 19, 3, 128, 64, 0});
    v[12 + 0 * 100 + 0] = 1;
    v[12 + 1 * 100 + 42] = 1;
    v[12 + 3 * 100 + 99] = 5;
    writeFileBytes("Data/settings.dat", valuesToBytes(v));
    ASSERT_EQ(loadSettings(), 1);
    EXPECT_EQ(std::vector<int32_t>(controlKeys, controlKeys + 8), std::vector<int32_t>(v.begin(), v.begin() + 8));
    EXPECT_EQ((Ints{game.difficulty, getVolume(0), getVolume(1), music.volume, game.helpfulHints}),
              (Ints{3, 128, 64, 64, 0}));
    EXPECT_EQ((Ints{game.unlocked[0][0], game.unlocked[1][42], game.unlocked[3][99], game.unlocked[1][41]}),
              (Ints{1, 1, 5, 0}));
    // Saved again, the file is the same bytes.
    ASSERT_EQ(saveSettings(), 1);
    EXPECT_EQ(readFileBytes("Data/settings.dat"), valuesToBytes(v));
}

// A file of a wrong size is refused with the mismatch line and stays until the next save; a missing file
// is refused without it.
TEST(Settings, WrongSizesAreRejectedWithTheMismatchLineAndAMissingFileWithout) {
    SettingsFolder f;
    for (size_t size : {1647u, 1649u, 0u, 1u}) {
        clearLog();
        game.difficulty = 2;
        std::vector<uint8_t> bytes = valuesToBytes(values({}));
        bytes.resize(size, 7);
        writeFileBytes("Data/settings.dat", bytes);
        EXPECT_EQ(loadSettings(), 0) << size;
        EXPECT_EQ(game.difficulty, 2) << size;
        EXPECT_NE(logText().find("[WARNING] Settings size mismatch.  Loading defaults."), std::string::npos) << size;
        EXPECT_EQ(readFileBytes("Data/settings.dat").size(), size) << size;
    }
    clearLog();
    std::remove("Data/settings.dat");
    EXPECT_EQ(loadSettings(), 0);
    EXPECT_EQ(logText().find("mismatch"), std::string::npos);
}
