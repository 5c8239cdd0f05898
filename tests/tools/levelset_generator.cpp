// The generator run on fresh folders: it makes the same bytes every time, keeps level files the player
// already has, and rewrites pictures, sounds, block descriptions and hints.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/testutil.h"

namespace {

const std::string generator = std::string(PLINKOR_RUN_DIR) + "/../tools/plinkor-gen";

int runGenerator(const std::string& folder) {
    return system(("\"" + generator + "\" \"" + folder + "\" > /dev/null 2>&1").c_str());
}

// Every file the generator wrote into Data/ and Sound/ of the current folder, by relative path.
std::map<std::string, std::vector<uint8_t>> generatedFiles() {
    std::map<std::string, std::vector<uint8_t>> files;
    for (const char* folder : {"Data", "Sound"}) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            std::string name = std::string(folder) + "/" + entry.path().filename().string();
            files[name] = readFileBytes(name);
        }
    }
    return files;
}

}  // namespace

// Two runs, both slow in a sanitizer build: a fresh folder, then one holding files of the player's.
TEST(LevelSetGenerator, MakesTheSameBytesEveryRunAndKeepsOnlyThePlayersLevels) {
    ASSERT_TRUE(std::filesystem::exists(generator)) << generator;
    std::map<std::string, std::vector<uint8_t>> fresh;
    {
        ScratchFolder scratch;
        ASSERT_EQ(runGenerator(scratch.path()), 0);
        fresh = generatedFiles();
    }
    // Nothing depends on the clock, the folder or stray memory: the build's own run made the same
    // pictures, sounds, descriptions and hints (its levels may be the player's).
    ASSERT_GT(fresh.size(), 150u);
    EXPECT_FALSE(fresh.count("Data/hint13.txt"));  // level 13 brings nothing new
    for (const auto& file : fresh) {
        EXPECT_FALSE(file.second.empty()) << file.first;
        if (file.first.rfind("Data/level", 0) != 0) {
            EXPECT_TRUE(file.second == readFileBytes(std::string(PLINKOR_RUN_DIR) + "/" + file.first))
                << file.first << " differs from the build's";
        }
    }

    ScratchFolder scratch;
    const std::vector<uint8_t> edited = {10, 0, 20, 0, 1, 20, 5, 0, 0, 0, 0, 0};
    writeFileBytes("Data/level5.dat", edited);
    writeFileBytes("Data/level0.dat", {});
    for (const char* name : {"Data/blocks5.txt", "Data/hint3.txt", "Data/hint13.txt", "Data/scheme5.png"}) {
        writeFileBytes(name, {'o', 'l', 'd'});
    }
    ASSERT_EQ(runGenerator(scratch.path()), 0);
    // The player's level files stand as they were, even an empty one; the stale hint is gone.
    EXPECT_EQ(readFileBytes("Data/level5.dat"), edited);
    EXPECT_TRUE(readFileBytes("Data/level0.dat").empty());
    EXPECT_FALSE(std::filesystem::exists("Data/hint13.txt"));
    // Everything else, the other 98 levels included, is the fresh run's again.
    for (const auto& file : fresh) {
        if (file.first != "Data/level5.dat" && file.first != "Data/level0.dat") {
            EXPECT_TRUE(file.second == readFileBytes(file.first)) << file.first << " differs between two runs";
        }
    }
}
