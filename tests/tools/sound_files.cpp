// What the generator's checks of its effects leave open: the direction each pitch sweep takes, measured
// on the sound as the game's loader fills its slot.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/headless/headless.h"
#include "shell/runfolder.h"
#include "sound/mixer.h"
#include "sound/sample.h"

// Zero crossings a second over the first and the last quarter of Sound/<name>: a rough measure of its
// pitch at the start and at the end, the file loaded through the game's own loader.
static std::pair<double, double> startAndEndPitch(const char* name) {
    const int slot = 15;
    snprintf(runPaths.soundPath, sizeof(runPaths.soundPath), "%s", "./Sound/");
    unloadSound(slot);
    EXPECT_EQ(loadSound(name, slot, 0), 1) << name;
    EXPECT_TRUE(headlessMessageBoxes().empty()) << name;
    double rate[2] = {0, 0};
    const int length = sounds[slot].data != nullptr ? sounds[slot].length : 0;
    for (int q = 0; q < 2; q++) {
        int from = q == 0 ? 0 : length * 3 / 4, to = q == 0 ? length / 4 : length;
        for (int i = from + 1; i < to; i++) {
            rate[q] += (sounds[slot].data[i - 1] < 0) != (sounds[slot].data[i] < 0);
        }
        rate[q] *= (double)OUTPUT_RATE / 2.0 / (to - from);
    }
    unloadSound(slot);
    return {rate[0], rate[1]};
}

TEST(SoundFiles, GrowthRisesShrinkFallsAndTheBadNewsSinks) {
    auto grow = startAndEndPitch("maximize03.raw");
    EXPECT_GT(grow.second, 2.0 * grow.first);
    auto shrink = startAndEndPitch("minimize3.raw");
    EXPECT_LT(2.0 * shrink.second, shrink.first);
    auto helpful = startAndEndPitch("zwiff.raw");
    EXPECT_GT(helpful.second, 2.0 * helpful.first);
    auto negative = startAndEndPitch("generalsfx48.raw");
    EXPECT_LT(negative.second, negative.first);
}
