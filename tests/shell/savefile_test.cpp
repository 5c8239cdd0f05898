// The atomic save: a save that fails half-way leaves the old file and nothing else in the folder.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/savefile.h"
#include "support/testutil.h"

TEST(SaveFile, AFailedSaveLeavesTheOldFileAndNoTemporaryBehind) {
    ScratchFolder folder;
    std::filesystem::create_directory("saves");
    writeFileBytes("saves/table.dat", {1, 2, 3, 4});
    const uint8_t fresh[6] = {9, 9, 9, 9, 9, 9};
    for (int64_t after : {0, 3, 5}) {
        saveFaults.failAfterBytes = after;
        errno = 0;
        EXPECT_EQ(saveFileAtomically("saves/table.dat", fresh, sizeof(fresh)), 0) << after;
        EXPECT_EQ(errno, ENOSPC) << after;
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator("saves")) {
            names.push_back(entry.path().filename().string());
        }
        EXPECT_EQ(names, std::vector<std::string>{"table.dat"}) << after;
        EXPECT_EQ(readFileBytes("saves/table.dat"), (std::vector<uint8_t>{1, 2, 3, 4})) << after;
    }
    saveFaults.failAfterBytes = -1;
    EXPECT_EQ(saveFileAtomically("saves/table.dat", fresh, sizeof(fresh)), 1);
    EXPECT_EQ(readFileBytes("saves/table.dat"), std::vector<uint8_t>(fresh, fresh + 6));
}
