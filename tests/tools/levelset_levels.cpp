// The level set's design, which the generator does not check level by level: variety between levels
// and the difficulty curve.
#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

#include "levelset_common.h"

// No two levels share half their placed blocks; the first levels are short and friendly (a few rows, no
// metal in the first five), and every measure of difficulty grows through the set.
TEST(LevelSetLevels, NoTwoLevelsAreAlikeAndDifficultyRises) {
    LevelSet set;
    std::vector<std::set<std::tuple<int, int, int>>> placed(100);
    double decade[10] = {0}, blocks[2] = {0, 0}, metal[2] = {0, 0}, shielded[2] = {0, 0};
    for (int n = 0; n < 100; n++) {
        for (const LevelRecordView& r : set.levels[(size_t)n]) {
            placed[(size_t)n].insert({r.x, r.y, r.type});
        }
        for (int b = 0; b < n; b++) {
            int shared = 0;
            for (const auto& t : placed[(size_t)n]) {
                shared += (int)placed[(size_t)b].count(t);
            }
            double all = (double)(placed[(size_t)n].size() + placed[(size_t)b].size()) - shared;
            EXPECT_LT(shared / all, 0.5) << "levels " << b << " and " << n;
        }
        Figures f = levelFigures(set, n);
        int pileRows = (2 * f.debris + 219) / 220;
        decade[n / 10] += (f.blocks / 20.0 + f.metal / 10.0 + f.gems / 15.0 + pileRows / 5.0 + f.shielded / 8.0) / 10;
        if (n < 5) {
            EXPECT_EQ(f.metal, 0) << n;
            EXPECT_LE(f.blocks, 40) << n;
        }
        blocks[n / 50] += f.blocks / 50.0;
        metal[n / 50] += f.metal / 50.0;
        shielded[n / 50] += f.shielded / 50.0;
    }
    for (int d = 1; d < 10; d++) {
        EXPECT_GT(decade[d], decade[d - 1] - 1.0) << "decade " << d;
    }
    EXPECT_GT(decade[9], decade[0] * 3);
    EXPECT_GT(blocks[1], blocks[0]);
    EXPECT_GT(metal[1], metal[0] * 2);
    EXPECT_GT(shielded[1], shielded[0] * 2);
}
