// The level set's pictures and block types as the game loads them, where the generator's checks leave
// them open: a dark background under bright walls, every scoring class, colours apart in every recolouring.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "gfx/picture.h"
#include "levelset_common.h"

namespace {

struct Loaded {
    Surface* picture = nullptr;
    explicit Loaded(const char* name) {
        prepareLevelSetPictures();
        loadPicture(name, &picture);
    }
    ~Loaded() { removeSurface(&picture); }
};

std::vector<TypeCellView> types() {
    return loadBlockTypes();
}

int opaqueCount(const Surface* s, const TypeCellView& c) {
    int n = 0;
    for (int y = 0; y < c.height; y++) {
        for (int x = 0; x < c.width; x++) {
            n += getPixel(s, c.x + x, c.y + y) != 0;
        }
    }
    return n;
}

}  // namespace

TEST(LevelSetPictures, BackgroundIsDarkWithTheWallsDrawnWhereTheMapHasThem) {
    Loaded scheme("scheme5.png");
    Loaded back("scheme5v.png");
    ASSERT_EQ(back.picture->width, 240);
    ASSERT_EQ(back.picture->height, 320);
    long fieldSum = 0, wallSum = 0;
    int fieldCount = 0, wallCount = 0, blackWalls = 0;
    for (int y = 0; y < 319; y++) {
        for (int x = 0; x < 240; x++) {
            int r, g, b;
            uint16_t p = getPixel(back.picture, x, y);
            unpackColour(p, &r, &g, &b);
            if (wallPixel(getPixel(scheme.picture, x, y))) {
                wallSum += r + g + b;
                wallCount++;
                blackWalls += p == 0;
            } else {
                fieldSum += r + g + b;
                fieldCount++;
            }
        }
    }
    double fieldMean = (double)fieldSum / fieldCount / 3, wallMean = (double)wallSum / wallCount / 3;
    EXPECT_LT(fieldMean, 6.0);  // of 31: the blocks must stand out
    EXPECT_GT(wallMean, fieldMean * 2.5);
    EXPECT_EQ(blackWalls, 0);
}

// (That the cells fit the picture, are drawn and stay apart, the generator checks.)
TEST(LevelSetPictures, BlockTypesCoverEveryScoringClassAndSeveralShapesAndMetalIsGrey) {
    std::vector<TypeCellView> t = loadBlockTypes();
    ASSERT_GE(t.size(), 12u);
    ASSERT_LE(t.size(), 30u);
    Loaded blocks("blocks5.png");
    int classes[4] = {0, 0, 0, 0};
    int shaped = 0;
    for (size_t i = 0; i < t.size(); i++) {
        const TypeCellView& c = t[i];
        int opaque = opaqueCount(blocks.picture, c);
        // The metal plate (type 0) is neutral grey, so every recolouring keeps it.
        for (int y = 0; y < c.height && i == 0; y++) {
            for (int x = 0; x < c.width; x++) {
                int r, g, b;
                unpackColour(getPixel(blocks.picture, c.x + x, c.y + y), &r, &g, &b);
                EXPECT_LE(std::max({r, g, b}) - std::min({r, g, b}), 2) << x << "," << y;
            }
        }
        if (i == 0) {
            continue;
        }
        classes[c.width <= 5 ? 0 : c.width <= 10 ? 1 : c.width <= 20 ? 2 : 3]++;
        // More than the four cut corners transparent: a real shape, not a rectangle.
        if (c.width * c.height - opaque > 4) {
            shaped++;
        }
    }
    for (int k = 0; k < 4; k++) {
        EXPECT_GT(classes[k], 0) << "scoring class " << k;
    }
    EXPECT_GE(shaped, 6);
}

TEST(LevelSetPictures, BrickColoursStayDistinctInEveryRecolouring) {
    std::vector<TypeCellView> t = types();
    ASSERT_GE(t.size(), 7u);
    for (int p = 0; p < 5; p++) {
        Loaded blocks("blocks5.png");
        recolourArea(blocks.picture, blocks.picture->width, blocks.picture->height, p);
        std::vector<std::array<double, 3>> means;
        for (size_t i = 1; i < t.size(); i++) {
            double sum[3] = {0, 0, 0};
            int n = 0;
            for (int y = 0; y < t[i].height; y++) {
                for (int x = 0; x < t[i].width; x++) {
                    uint16_t px = getPixel(blocks.picture, t[i].x + x, t[i].y + y);
                    if (px != 0) {
                        int r, g, b;
                        unpackColour(px, &r, &g, &b);
                        sum[0] += r;
                        sum[1] += g;
                        sum[2] += b;
                        n++;
                    }
                }
            }
            means.push_back({sum[0] / n, sum[1] / n, sum[2] / n});
            // Bright enough to see on the dark field in every recolouring.
            EXPECT_GT(std::max({sum[0], sum[1], sum[2]}) / n, 12.0) << "type " << i << " recolouring " << p;
        }
        // The six bricks (types 1 to 6) differ clearly from one another.
        for (size_t i = 0; i < 6; i++) {
            for (size_t j = 0; j < i; j++) {
                double d = std::fabs(means[i][0] - means[j][0]) + std::fabs(means[i][1] - means[j][1]) +
                           std::fabs(means[i][2] - means[j][2]);
                EXPECT_GT(d, 6.0) << "bricks " << j + 1 << " and " << i + 1 << " in recolouring " << p;
            }
        }
    }
}
