// The generator run on a fresh folder: it keeps level files the player already has, rewrites pictures,
// block descriptions and hints, and makes the same level set every time.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "levelset_common.h"
#include "support/testutil.h"

namespace {

std::string generatorPath() {
    return std::string(PLINKOR_RUN_DIR) + "/../tools/plinkor-gen";
}

bool exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

int runGenerator(const std::string& folder) {
    std::string command = "\"" + generatorPath() + "\" \"" + folder + "\" > /dev/null 2>&1";
    return system(command.c_str());
}

}  // namespace

TEST(LevelSetGenerator, KeepsThePlayersLevelsAndRewritesEverythingElse) {
    ASSERT_TRUE(exists(generatorPath())) << generatorPath();
    ScratchFolder scratch;
    const std::vector<uint8_t> edited = {10, 0, 20, 0, 1, 20, 5, 0, 0, 0, 0, 0};
    writeFileBytes("Data/level5.dat", edited);
    writeFileBytes("Data/level0.dat", {});
    writeFileBytes("Data/blocks5.txt", {'[', 'b', 'l', 'o', 'c', 'k', ',', '1', ',', '1', ',', '1', ',', '1', ']'});
    writeFileBytes("Data/hint3.txt", {'o', 'l', 'd'});
    writeFileBytes("Data/hint13.txt", {'o', 'l', 'd'});
    writeFileBytes("Data/scheme5.png", {1, 2, 3});
    ASSERT_EQ(runGenerator(scratch.path()), 0);
    // The player's files stand as they were, even an empty one.
    EXPECT_EQ(readFileBytes("Data/level5.dat"), edited);
    EXPECT_TRUE(readFileBytes("Data/level0.dat").empty());
    // The others are made; pictures, descriptions and hints are ours again.
    for (int n : {1, 4, 6, 99}) {
        EXPECT_FALSE(readFileBytes("Data/level" + std::to_string(n) + ".dat").empty()) << n;
    }
    EXPECT_GT(parseBlockDescriptionText(readTextFile("Data/blocks5.txt")).size(), 1u);
    EXPECT_TRUE(parseHintTags(readTextFile("Data/hint3.txt")).hasHint);
    EXPECT_FALSE(exists("Data/hint13.txt"));  // level 13 brings nothing new
    EXPECT_GT(readFileBytes("Data/scheme5.png").size(), 100u);
}

TEST(LevelSetGenerator, MakesTheSameLevelSetEveryTime) {
    ASSERT_TRUE(exists(generatorPath())) << generatorPath();
    std::vector<std::vector<uint8_t>> first;
    const char* shared[] = {"blocks5.png", "blocks5.txt", "scheme5.png", "scheme5v.png", "hint0.txt", "hint38.txt"};
    for (int round = 0; round < 2; round++) {
        ScratchFolder scratch;
        ASSERT_EQ(runGenerator(scratch.path()), 0);
        std::vector<std::vector<uint8_t>> files;
        for (int n = 0; n < 100; n++) {
            files.push_back(readFileBytes("Data/level" + std::to_string(n) + ".dat"));
        }
        for (const char* name : shared) {
            files.push_back(readFileBytes(std::string("Data/") + name));
        }
        if (round == 0) {
            first = files;
        } else {
            ASSERT_EQ(files.size(), first.size());
            for (size_t i = 0; i < files.size(); i++) {
                EXPECT_EQ(files[i], first[i]) << "file " << i;
            }
        }
    }
}
