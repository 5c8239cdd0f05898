// The monkey: the whole game on the headless backend with the generated data and the virtual clock,
// played by random hands. The scripted walk through every screen is the recorded sessions' job
// (tests/replays).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "flowtest.h"
#include "player.h"

// The monkey: the tour's random hands on screens chosen at random, play good and bad, for five minutes of
// game time (PLINKOR_MONKEY_UPDATES and PLINKOR_MONKEY_SEED change that; scripts/monkey.sh runs an hour
// under the sanitizers). Nothing may assert, every screen shows, and the menu holds no more memory at its
// last visit than at its first after the first minute.
TEST(Monkey, RandomPlayVisitsEveryScreenWithoutFaultsAndMemoryStaysFlat) {
    GameFolder folder;
    const char* updates = std::getenv("PLINKOR_MONKEY_UPDATES");
    const char* seed = std::getenv("PLINKOR_MONKEY_SEED");
    TourOptions options;
    options.monkeyUpdates = updates != nullptr ? (uint32_t)std::strtoul(updates, nullptr, 10) : 5 * 3600;
    options.seed = seed != nullptr ? (uint32_t)std::strtoul(seed, nullptr, 10) : 20240612;
    TourResult result = tourTheGame(options);
    EXPECT_EQ(tourFaults(result), "");
    EXPECT_GE(result.updates, options.monkeyUpdates);
    EXPECT_TRUE(result.boxes.empty());
    int compared = 0;
    for (const auto& entry : result.menuBytes) {
        std::printf("menu with music of %d and %d samples: %zu bytes, then %zu (%d visits)\n", entry.first.first,
                    entry.first.second, entry.second.first, entry.second.second, result.menuVisits[entry.first]);
        if (result.menuVisits[entry.first] >= 2) {
            compared++;
            EXPECT_LE(entry.second.second, entry.second.first + 64 * 1024);
        }
    }
    EXPECT_GE(compared, 1) << "the menu was not seen twice with the same music";
}
