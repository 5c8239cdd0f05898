// Surfaces, colour packing and the gamma tables.
#include <gtest/gtest.h>

#include "gfx/surface.h"
#include "platform/headless/headless.h"
#include "shell/display.h"

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

// Start-up (128) is the identity up to 26 and saturates at 30; the fonts' 80 darkens the low end. An
// unset gamma reads as the default.
TEST(Gamma, TablesAt128AndEighty) {
    const struct {
        int gamma;
        uint32_t table[32];
    } cases[] = {
        {128, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 26, 27, 28,
               29, 30}},
        {80, {0, 0, 0, 1, 1, 2, 3, 4, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 17, 18, 19, 20, 21, 23, 24, 25, 26, 28,
              29, 30}},
    };
    for (const auto& c : cases) {
        setGamma(c.gamma);
        EXPECT_EQ(std::vector<uint32_t>(gammaTable, gammaTable + 32), std::vector<uint32_t>(c.table, c.table + 32));
        EXPECT_EQ(getGamma(), c.gamma);
    }
    setGamma(128);
    EXPECT_EQ(packGammaColour(31, 27, 1), packColour(30, 26, 1));
    setGamma(0);
    EXPECT_EQ(getGamma(), 128);
    setGamma(128);
}
