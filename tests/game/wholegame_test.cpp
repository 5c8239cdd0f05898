// The monkey: the whole game on the headless backend with the generated data and the virtual clock,
// played by random hands. The scripted walk through every screen is the recorded sessions' job
// (tests/replays).
#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <utility>

#include "field/gamevalues.h"
#include "flowtest.h"
#include "game/modes.h"
#include "player.h"
#include "shell/mainloop.h"
#include "sound/music.h"
#include "sound/sample.h"

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's allocator statistics (its header does not come with every compiler).
extern "C" size_t __sanitizer_get_current_allocated_bytes(void);
#endif

namespace {

size_t allocatedBytes(void) {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
#endif
}

struct MenuBytes {
    size_t first = 0, last = 0;  // heap bytes at the first and the last visit
    int visits = 0;
};
// By the sample lengths in the two music slots: the menu without a game differs by nothing else.
std::map<std::pair<int32_t, int32_t>, MenuBytes> menuBytes;
int32_t lastMode = -1;
bool sampled = false;

// The heap once a visit to the main menu without a game, after the first minute.
void sampleMenu(int64_t) {
    sampled = sampled && mainLoop.previousMode == lastMode;
    lastMode = mainLoop.previousMode;
    if (sampled || !showing(MODE_MAIN_MENU) || game.gameInProgress || game.updateCounter < 3600) {
        return;
    }
    sampled = true;
    const Sound& a = sounds[MUSIC_SLOT_A];
    const Sound& b = sounds[MUSIC_SLOT_B];
    MenuBytes& m = menuBytes[{a.data != nullptr ? a.length : -1, b.data != nullptr ? b.length : -1}];
    m.last = allocatedBytes();
    m.first = m.visits++ == 0 ? m.last : m.first;
}

}  // namespace

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
    options.everyPass = sampleMenu;
    TourResult result = tourTheGame(options);
    EXPECT_EQ(tourFaults(result), "");
    EXPECT_GE(result.updates, options.monkeyUpdates);
    EXPECT_TRUE(result.boxes.empty());
    int compared = 0;
    for (const auto& [music, m] : menuBytes) {
        std::printf("menu with music of %d and %d samples: %zu bytes, then %zu (%d visits)\n", music.first,
                    music.second, m.first, m.last, m.visits);
        compared += m.visits >= 2 ? 1 : 0;
        EXPECT_TRUE(m.visits < 2 || m.last <= m.first + 64 * 1024) << m.last - m.first;
    }
    EXPECT_GE(compared, 1) << "the menu was not seen twice with the same music";
}
