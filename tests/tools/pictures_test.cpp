// What the generator's own checks leave open in its pictures, read through the game's loaders: a dark
// field under bright walls, brick colours apart in every recolouring, text clear of what is drawn over it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <vector>

#include "levelset_common.h"

namespace {

std::array<int, 3> rgb(uint16_t p) {
    std::array<int, 3> c;
    unpackColour(p, &c[0], &c[1], &c[2]);
    return c;
}

// The mean colour of a block type's opaque pixels, and (last) how many there are.
std::array<double, 4> meanColour(const LevelSet& set, int type) {
    const TypeCellView& t = set.types[(size_t)type];
    std::array<double, 4> sum = {0, 0, 0, 0};
    for (int y = 0; y < t.height; y++) {
        for (int x = 0; x < t.width; x++) {
            uint16_t p = getPixel(set.blocks, t.x + x, t.y + y);
            for (size_t k = 0; k < 3 && p != 0; k++) {
                sum[k] += rgb(p)[k];
            }
            sum[3] += p != 0;
        }
    }
    for (size_t k = 0; k < 3; k++) {
        sum[k] /= std::max(sum[3], 1.0);
    }
    return sum;
}

}  // namespace

TEST(LevelSetPictures, BackgroundIsDarkWithTheWallsDrawnWhereTheMapHasThem) {
    Surface* scheme = loadDataPicture("scheme5.png");
    Surface* back = loadDataPicture("scheme5v.png");
    ASSERT_TRUE(back->width == 240 && back->height == 320);
    long sum[2] = {0, 0}, count[2] = {0, 0};
    int blackWalls = 0;
    for (int y = 0; y < 319; y++) {
        for (int x = 0; x < 240; x++) {
            std::array<int, 3> s = rgb(getPixel(scheme, x, y)), c = rgb(getPixel(back, x, y));
            int wall = s[0] == 0 && s[2] != 0;
            sum[wall] += c[0] + c[1] + c[2];
            count[wall]++;
            blackWalls += wall && getPixel(back, x, y) == 0;
        }
    }
    double fieldMean = (double)sum[0] / count[0] / 3, wallMean = (double)sum[1] / count[1] / 3;
    EXPECT_LT(fieldMean, 6.0);  // of 31: the blocks must stand out
    EXPECT_GT(wallMean, fieldMean * 2.5);
    EXPECT_EQ(blackWalls, 0);
    removeSurface(&scheme);
    removeSurface(&back);
}

// (That the cells fit the picture, are drawn and stay apart, the generator checks.) The metal plate
// (type 0) is neutral grey, so every recolouring keeps it; the six bricks (types 1 to 6) stay bright and
// apart in every recolouring.
TEST(LevelSetPictures, MetalIsGreyAndBricksStayApartInEveryRecolouring) {
    LevelSet set;
    ASSERT_GE(set.types.size(), 7u);
    const TypeCellView& metal = set.types[0];
    for (int y = 0; y < metal.height; y++) {
        for (int x = 0; x < metal.width; x++) {
            std::array<int, 3> c = rgb(getPixel(set.blocks, metal.x + x, metal.y + y));
            EXPECT_LE(*std::max_element(c.begin(), c.end()) - *std::min_element(c.begin(), c.end()), 2);
        }
    }
    Surface* original = set.blocks;
    for (int p = 0; p < 5; p++) {
        SCOPED_TRACE(p);
        set.blocks = loadDataPicture("blocks5.png");
        recolourArea(set.blocks, set.blocks->width, set.blocks->height, p);
        std::vector<std::array<double, 4>> means;
        for (int i = 1; i < (int)set.types.size(); i++) {
            means.push_back(meanColour(set, i));
            EXPECT_GT(*std::max_element(means.back().begin(), means.back().begin() + 3), 12.0) << "type " << i;
        }
        for (size_t i = 0; i < 6; i++) {
            for (size_t j = 0; j < i; j++) {
                const std::array<double, 4>&a = means[i], &b = means[j];
                double d = std::fabs(a[0] - b[0]) + std::fabs(a[1] - b[1]) + std::fabs(a[2] - b[2]);
                EXPECT_GT(d, 6.0) << "bricks " << j + 1 << " and " << i + 1;
            }
        }
        removeSurface(&set.blocks);
    }
    set.blocks = original;
}

// Text kept clear of what the game draws over it: the options' slider labels (amber) off the rows the
// knobs travel and the ticks take; the first screen of the manual (light grey), shown with its top left
// at (10, 10), off the round back button from column 181, row 264.
TEST(GamePictures, TextKeepsClearOfTheControlsDrawnOverIt) {
    struct Case {
        const char* picture;
        int left, top, right, bottom;  // the area, picture pixels
        int minRed, minGreen, minBlue;  // the text's colour, 5-bit channels
    };
    const Case cases[] = {
        {"optionsWin.png", 11, 72, 150, 90, 16, 0, 0},
        {"optionsWin.png", 11, 103, 150, 121, 16, 0, 0},
        {"strider.png", 171, 254, INT_MAX, 310, 18, 18, 18},
    };
    for (const Case& c : cases) {
        Surface* s = loadDataPicture(c.picture);
        ASSERT_GT(s->width, 150) << c.picture;
        int text = 0;
        for (int y = c.top; y < c.bottom; y++) {
            for (int x = c.left; x < std::min(c.right, s->width); x++) {
                std::array<int, 3> p = rgb(getPixel(s, x, y));
                text += p[0] >= c.minRed && p[1] >= c.minGreen && p[2] >= c.minBlue;
            }
        }
        EXPECT_EQ(text, 0) << c.picture << " at row " << c.top;
        removeSurface(&s);
    }
}
