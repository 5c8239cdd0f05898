// The level set's design, which the generator does not check level by level: when the power-up kinds
// come, variety between levels and the difficulty curve.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>
#include <vector>

#include "field/powerup.h"
#include "levelset_common.h"

// Every kind comes by level 40 (the generator checks the hint shows it); the harmful ones not before
// level 20, mixed in often later, and growing more common through the set.
TEST(LevelSetLevels, PowerUpKindsAreIntroducedByLevel40AndHarmfulOnesGrowCommoner) {
    const std::set<int> harmful = {POWERUP_NARROW_PADDLE, POWERUP_SLUGGISH_PADDLE, POWERUP_BALL_KILLER,
                                   POWERUP_FROZEN_PADDLE, POWERUP_ZONE_DOWN};
    LevelSet set;
    int first[22], harmfulLate[22] = {0};
    std::fill(std::begin(first), std::end(first), -1);
    int harmfulCount[2] = {0, 0}, total[2] = {0, 0};
    for (int n = 0; n < 100; n++) {
        std::set<int> kinds;
        for (const LevelRecordView& r : set.levels[(size_t)n]) {
            if (r.powerUp != 0) {
                kinds.insert(r.powerUp - 1);
                if (n >= 20) {
                    total[n < 60 ? 0 : 1]++;
                    harmfulCount[n < 60 ? 0 : 1] += (int)harmful.count(r.powerUp - 1);
                }
            }
        }
        for (int k : kinds) {
            first[k] = first[k] < 0 ? n : first[k];
            harmfulLate[k] += n > 40;
        }
    }
    for (int k = 0; k < 22; k++) {
        SCOPED_TRACE(k);
        ASSERT_GE(first[k], 0);
        EXPECT_LE(first[k], 40);
        if (harmful.count(k)) {
            EXPECT_GE(first[k], 20);
            EXPECT_GE(harmfulLate[k], 8);
        }
    }
    double early = (double)harmfulCount[0] / total[0], late = (double)harmfulCount[1] / total[1];
    EXPECT_GT(late, early);
    EXPECT_GT(late, 0.2);
    EXPECT_LT(late, 0.5);
}

TEST(LevelSetLevels, NoTwoLevelsAreAlike) {
    LevelSet set;
    std::vector<std::set<std::tuple<int, int, int>>> placed(100);
    for (int n = 0; n < 100; n++) {
        for (const LevelRecordView& r : set.levels[(size_t)n]) {
            placed[(size_t)n].insert({r.x, r.y, r.type});
        }
    }
    for (int a = 0; a < 100; a++) {
        for (int b = 0; b < a; b++) {
            int shared = 0;
            for (const auto& t : placed[(size_t)a]) {
                shared += (int)placed[(size_t)b].count(t);
            }
            size_t all = placed[(size_t)a].size() + placed[(size_t)b].size() - (size_t)shared;
            EXPECT_LT((double)shared / (double)all, 0.5) << "levels " << b << " and " << a;
        }
    }
}

TEST(LevelSetLevels, DifficultyRisesThroughTheSet) {
    LevelSet set;
    double decade[10] = {0};
    double blocks[2] = {0, 0}, metal[2] = {0, 0}, shielded[2] = {0, 0};
    for (int n = 0; n < 100; n++) {
        Figures f = levelFigures(set, n);
        int pileRows = (2 * f.debris + 219) / 220;
        double score = f.blocks / 20.0 + f.metal / 10.0 + f.gems / 15.0 + pileRows / 5.0 + f.shielded / 8.0;
        decade[n / 10] += score / 10;
        // The first levels are short and friendly: a few rows, no metal in the first five.
        if (n < 5) {
            EXPECT_EQ(f.metal, 0) << n;
            EXPECT_LE(f.blocks, 40) << n;
        }
        int half = n < 50 ? 0 : 1;
        blocks[half] += f.blocks / 50.0;
        metal[half] += f.metal / 50.0;
        shielded[half] += f.shielded / 50.0;
    }
    for (int d = 1; d < 10; d++) {
        EXPECT_GT(decade[d], decade[d - 1] - 1.0) << "decade " << d;
    }
    EXPECT_GT(decade[9], decade[0] * 3);
    EXPECT_GT(blocks[1], blocks[0]);
    EXPECT_GT(metal[1], metal[0] * 2);
    EXPECT_GT(shielded[1], shielded[0] * 2);
}
