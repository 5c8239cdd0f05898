// What the generator's checks of its effects leave open: the direction each pitch sweep takes, measured
// on the sound as the game's loader fills its slot.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/headless/headless.h"
#include "shell/mainloop.h"
#include "shell/runfolder.h"
#include "sound/mixer.h"
#include "sound/sample.h"

namespace {

struct Loaded {
    std::vector<int16_t> data;
    int length = 0;
};

const int TEST_SLOT = 15;

// Loads the file through the game's own loader and copies the slot.
Loaded loadThroughTheGame(const char* name) {
    snprintf(runPaths.soundPath, sizeof(runPaths.soundPath), "%s", "./Sound/");
    unloadSound(TEST_SLOT);
    int ok = loadSound(name, TEST_SLOT, 0);
    Loaded slot;
    EXPECT_EQ(ok, 1) << name;
    EXPECT_TRUE(headlessMessageBoxes().empty()) << name;
    if (ok == 1 && sounds[TEST_SLOT].data != nullptr) {
        slot.length = sounds[TEST_SLOT].length;
        slot.data.assign(sounds[TEST_SLOT].data, sounds[TEST_SLOT].data + slot.length + 1);
    }
    unloadSound(TEST_SLOT);
    return slot;
}

// Zero crossings a second over one quarter of a sound: a rough measure of its pitch there.
double crossingRate(const Loaded& slot, int quarter) {
    int from = slot.length * quarter / 4, to = slot.length * (quarter + 1) / 4;
    int crossings = 0;
    for (int i = from + 1; i < to; i++) {
        if ((slot.data[i - 1] < 0) != (slot.data[i] < 0)) {
            crossings++;
        }
    }
    return crossings * (double)OUTPUT_RATE / 2.0 / (to - from);
}

TEST(SoundFiles, GrowthRisesShrinkFallsAndTheBadNewsSinks) {
    Loaded grow = loadThroughTheGame("maximize03.raw");
    EXPECT_GT(crossingRate(grow, 3), 2.0 * crossingRate(grow, 0));
    Loaded shrink = loadThroughTheGame("minimize3.raw");
    EXPECT_LT(2.0 * crossingRate(shrink, 3), crossingRate(shrink, 0));
    Loaded helpful = loadThroughTheGame("zwiff.raw");
    EXPECT_GT(crossingRate(helpful, 3), 2.0 * crossingRate(helpful, 0));
    Loaded negative = loadThroughTheGame("generalsfx48.raw");
    EXPECT_LT(crossingRate(negative, 3), crossingRate(negative, 0));
}

}  // namespace
