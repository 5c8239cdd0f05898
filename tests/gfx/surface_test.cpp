// Surfaces in every memory layout, colour packing and the gamma tables.
#include <gtest/gtest.h>

#include <string>

#include "gfx/surface.h"
#include "platform/headless/headless.h"
#include "shell/display.h"

namespace {

struct Layout {
    int vertical, xSign, ySign;
};

class SurfaceLayouts : public ::testing::TestWithParam<Layout> {
protected:
    void SetUp() override {
        initDisplayInfo();
        displayInfo.verticalMemory = GetParam().vertical;
        displayInfo.xStep = GetParam().xSign;
        displayInfo.yStep = GetParam().ySign * 240;
    }
    void TearDown() override { initDisplayInfo(); }
};

}  // namespace

TEST_P(SurfaceLayouts, AddressesLogicalPixelsInsideItsOwnMemory) {
    Surface* s = createSurface(7, 5);
    Layout l = GetParam();
    EXPECT_EQ(s->verticalMemory, l.vertical);
    EXPECT_EQ(s->xStep, (l.vertical ? 5 : 1) * l.xSign);
    EXPECT_EQ(s->yStep, (l.vertical ? 1 : 7) * l.ySign);
    EXPECT_EQ(s->centreX, 3);
    EXPECT_EQ(s->centreY, 2);
    for (int y = 0; y < 5; y++) {
        for (int x = 0; x < 7; x++) {
            EXPECT_EQ(getPixel(s, x, y), 0);
            putPixel(s, x, y, (uint16_t)(1 + x + 10 * y));
        }
    }
    // Every pixel landed on its own word of the allocation.
    bool seen[35] = {};
    for (int i = 0; i < 35; i++) {
        uint16_t v = s->pixels[i];
        int x = (v - 1) % 10, y = (v - 1) / 10;
        ASSERT_TRUE(v >= 1 && x < 7 && y < 5);
        EXPECT_FALSE(seen[y * 7 + x]);
        seen[y * 7 + x] = true;
    }
    for (int y = 0; y < 5; y++) {
        for (int x = 0; x < 7; x++) {
            EXPECT_EQ(getPixel(s, x, y), 1 + x + 10 * y);
        }
    }
    EXPECT_EQ(getPixel(s, -1, 0), 0);
    EXPECT_EQ(getPixel(s, 7, 0), 0);
    EXPECT_EQ(getPixel(s, 0, 5), 0);
    putPixel(s, 7, 4, 0xFFFF);  // dropped
    putPixel(s, -1, -1, 0xFFFF);
    for (int i = 0; i < 35; i++) {
        EXPECT_NE(s->pixels[i], 0xFFFF);
    }
    if (l.ySign < 0 && !l.vertical && l.xSign > 0) {
        // A negative y step puts the bottom row first in memory.
        EXPECT_EQ(s->pixels[0], getPixel(s, 0, 4));
    }
    removeSurface(&s);
    EXPECT_EQ(s, nullptr);
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, SurfaceLayouts,
                         ::testing::Values(Layout{0, 1, 1}, Layout{1, 1, 1}, Layout{0, -1, 1}, Layout{0, 1, -1},
                                           Layout{0, -1, -1}, Layout{1, -1, -1}, Layout{1, 1, -1}),
                         [](const ::testing::TestParamInfo<Layout>& info) {
                             return std::string(info.param.vertical ? "Columns" : "Rows") +
                                    (info.param.xSign > 0 ? "XUp" : "XDown") + (info.param.ySign > 0 ? "YUp" : "YDown");
                         });

TEST(Surface, CentresClearAndByteFill) {
    initDisplayInfo();
    Surface* one = createSurface(1, 1);
    EXPECT_EQ(one->centreX, 0);
    EXPECT_EQ(one->centreY, 0);
    Surface* s = createSurface(5, 5);
    EXPECT_EQ(s->centreX, 2);
    fillSurfaceBytes(s, 1);
    EXPECT_EQ(getPixel(s, 4, 4), 0x0101);
    fillSurfaceBytes(s, 255);
    EXPECT_EQ(getPixel(s, 0, 0), 0xFFFF);
    clearSurface(s);
    EXPECT_EQ(getPixel(s, 2, 3), 0);
    removeSurface(&s);
    removeSurface(&one);
}

TEST(Surface, RemovingTwiceWarnsAndStillFrees) {
    headlessReset();
    initDisplayInfo();
    Surface* s = createSurface(3, 3);
    free(s->pixels);
    s->pixels = nullptr;  // as if its memory had already been released
    removeSurface(&s);
    EXPECT_EQ(s, nullptr);
    ASSERT_EQ(headlessMessageBoxes().size(), 1u);
    EXPECT_EQ(headlessMessageBoxes()[0].text, "Surface aleady removed");
    EXPECT_EQ(headlessMessageBoxes()[0].title, "ERROR");
}

TEST(Colour, PackAndUnpack) {
    EXPECT_EQ(packColour(31, 31, 31), 0xFFDF);
    int r, g, b;
    unpackColour(0xFFFF, &r, &g, &b);
    EXPECT_EQ(r, 31);
    EXPECT_EQ(g, 31);
    EXPECT_EQ(b, 31);
    unpackColour(0x0020, &r, &g, &b);  // bit 5 belongs to nobody
    EXPECT_EQ(r + g + b, 0);
}

TEST(Gamma, StartUpTableIsIdentityUpTo26ThenSaturatesAt30) {
    setGamma(128);
    for (int i = 0; i <= 26; i++) {
        EXPECT_EQ(gammaTable[i], (uint32_t)i) << i;
    }
    const uint32_t top[5] = {26, 27, 28, 29, 30};
    for (int i = 27; i <= 31; i++) {
        EXPECT_EQ(gammaTable[i], top[i - 27]) << i;
    }
    EXPECT_EQ(packGammaColour(31, 31, 31), packColour(30, 30, 30));
    EXPECT_EQ(packGammaColour(27, 27, 27), packColour(26, 26, 26));
    EXPECT_EQ(getGamma(), 128);
}

TEST(Gamma, FontTableAtEighty) {
    setGamma(80);
    const uint32_t expected[32] = {0,  0,  0,  1,  1,  2,  3,  4,  4,  5,  6,  7,  8,  9,  10, 11,
                                   12, 13, 14, 15, 17, 18, 19, 20, 21, 23, 24, 25, 26, 28, 29, 30};
    for (int i = 0; i < 32; i++) {
        EXPECT_EQ(gammaTable[i], expected[i]) << i;
    }
    EXPECT_EQ(getGamma(), 80);
    setGamma(0);
    EXPECT_EQ(getGamma(), 128);  // an unset gamma reads as the default
    setGamma(128);
}
