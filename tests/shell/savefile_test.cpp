// The atomic save: a save that fails half-way, or races another, leaves one whole file and nothing else.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <string>
#include <thread>
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
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator("saves"), {}), 1) << after;  // no temporary
        EXPECT_EQ(readFileBytes("saves/table.dat"), (std::vector<uint8_t>{1, 2, 3, 4})) << after;
    }
    saveFaults.failAfterBytes = -1;
    EXPECT_EQ(saveFileAtomically("saves/table.dat", fresh, sizeof(fresh)), 1);
    EXPECT_EQ(readFileBytes("saves/table.dat"), std::vector<uint8_t>(fresh, fresh + 6));
}

// Two savers at once and a reader watching: the file is always one saver's whole text, never a mix or a part.
TEST(SaveFile, TwoSaversRacingLeaveOneWholeFile) {
    ScratchFolder folder;
    const std::vector<uint8_t> a(4000, 'a'), b(3000, 'b');
    ASSERT_EQ(saveFileAtomically("race.dat", a.data(), a.size()), 1);
    std::atomic<int> running{2};
    int spoiled = 0;
    auto saver = [&](const std::vector<uint8_t>& text) {
        for (int i = 0; i < 300; i++) {
            saveFileAtomically("race.dat", text.data(), text.size());
        }
        running--;
    };
    std::thread first(saver, std::cref(a)), second(saver, std::cref(b));
    while (running > 0) {
        std::vector<uint8_t> now = readFileBytes("race.dat");
        spoiled += now == a || now == b ? 0 : 1;
    }
    first.join();
    second.join();
    std::vector<uint8_t> last = readFileBytes("race.dat");
    EXPECT_TRUE(last == a || last == b);
    EXPECT_EQ(spoiled, 0);
}
