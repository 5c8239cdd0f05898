// The blitter: every colour mode's pixel rule, both clippings and the same blits in every memory layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gfx/blit.h"
#include "gfx/draw.h"
#include "shell/display.h"
#include "shell/log.h"
#include "shell/random.h"

namespace {

// A surface whose every pixel is `value`, or with value -1 pixel (x, y) is 1 + x + 32 y: non-zero,
// distinct, and readable back.
Surface* filled(int w, int h, int value) {
    Surface* s = createSurface(w, h);
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            putPixel(s, x, y, (uint16_t)(value < 0 ? 1 + x + 32 * y : value));
        }
    }
    return s;
}

std::vector<uint16_t> logical(const Surface* s) {
    std::vector<uint16_t> v;
    for (int y = 0; y < s->height; y++) {
        for (int x = 0; x < s->width; x++) {
            v.push_back(getPixel(s, x, y));
        }
    }
    return v;
}

// Lines in the log buffer that are not empty.
int loggedLines() {
    int n = 0;
    for (int i = 0; i < LOG_LINES; i++) {
        n += logBuffer.text[i][0] != 0;
    }
    return n;
}

class Blit : public ::testing::Test {
protected:
    void SetUp() override { initDisplayInfo(); }
    void TearDown() override { initDisplayInfo(); }
};

const uint16_t BG = 0x0841;  // packColour(1, 1, 1)

// The clipped rectangle is exactly the set of pixel pairs that lie inside both surfaces, on every side,
// source positions below zero and past the edges included; a rectangle wholly outside draws nothing and
// logs nothing. Copy writes the source's zero pixel too, Transparent skips it.
TEST_F(Blit, NormalClippingKeepsExactlyThePairsInsideBothSurfaces) {
    Surface* src = filled(7, 5, -1);
    putPixel(src, 3, 2, 0);
    clearLog();
    for (int32_t mode : {BLIT_COPY, BLIT_TRANSPARENT}) {
        for (int dy = -6; dy <= 8; dy += 2) {
            for (int dx = -8; dx <= 9; dx += 3) {
                for (int sx : {-3, 0, 3, 6, 7}) {
                    Surface* dst = filled(9, 7, BG);
                    int sy = dx & 1 ? -2 : 1;
                    logLevel = 1;
                    blit(dst, dx, dy, 6, 5, src, sx, sy, mode);
                    logLevel = 0;
                    for (int y = 0; y < 7; y++) {
                        for (int x = 0; x < 9; x++) {
                            int i = x - dx, j = y - dy;
                            bool in = i >= 0 && i < 6 && j >= 0 && j < 5 && sx + i >= 0 && sx + i < 7 &&
                                      sy + j >= 0 && sy + j < 5;
                            uint16_t from = in ? getPixel(src, sx + i, sy + j) : BG;
                            if (mode == BLIT_TRANSPARENT && from == 0) {
                                from = BG;
                            }
                            ASSERT_EQ(getPixel(dst, x, y), from)
                                << mode << ": " << dx << " " << dy << " " << sx << " " << x << " " << y;
                        }
                    }
                    removeSurface(&dst);
                }
            }
        }
    }
    Surface* dst = filled(9, 7, BG);
    logLevel = 1;
    blit(dst, 0, 7, 6, 5, src, 0, 0, BLIT_FILL);
    blit(dst, 0, 0, 0, 5, src, 0, 0, BLIT_COPY);
    EXPECT_EQ(logical(dst), std::vector<uint16_t>(63, BG));
    EXPECT_EQ(loggedLines(), 0);
    logLevel = 0;
}

TEST_F(Blit, ColourModesFollowTheirRules) {
    struct Case {
        uint16_t source, destination;
        int32_t mode, param;
        uint16_t expected;
    };
    const uint16_t s1 = packColour(10, 20, 7), d1 = packColour(10, 29, 0), white = packColour(31, 31, 31);
    const uint16_t s2 = packColour(10, 20, 30), grey = packColour(5, 5, 5);
    const Case cases[] = {
        {s1, d1, BLIT_TRANSPARENT, 0, s1},
        {s1, d1, BLIT_BLUE_ONLY, 0, 7},
        // (10 + 20 + 7) >> 3 = 4 of light; a negative total darkens nothing.
        {s1, d1, BLIT_ADD_LIGHT, 0, packColour(14, 31, 4)},
        {s1, d1, BLIT_SUBTRACT_LIGHT, 0, packColour(6, 25, 0)},
        {s1, d1, BLIT_SUBTRACT_LIGHT, 3, packColour(3, 22, 0)},
        {s1, (uint16_t)(d1 | 0x20), BLIT_SUBTRACT_LIGHT, -10, d1},
        {s1, d1, BLIT_SUBTRACT_LIGHT, 1000000, 0},
        {s1, d1, BLIT_WHITE, 0, 0xFFFF},
        {s1, d1, BLIT_SILHOUETTE, 0x12345, 0x2345},
        {s1, d1, BLIT_SILHOUETTE, -1, 0xFFFF},
        // AlphaBlend: (s * p + d * (255 - p)) >> 8 per component.
        {s1, d1, BLIT_ALPHA_BLEND, 100, packColour((1000 + 1550) >> 8, (2000 + 4495) >> 8, 700 >> 8)},
        {white, 0, BLIT_ALPHA_BLEND, 255, packColour(30, 30, 30)},
        {white, 0, BLIT_ALPHA_BLEND, 128, packColour(15, 15, 15)},
        {white, 0xFFDF, BLIT_ALPHA_BLEND, 0, packColour(30, 30, 30)},
        // Additive: max(source + param, 0) added per component, clamped to 31.
        {s2, grey, BLIT_ADDITIVE, 0, packColour(15, 25, 31)},
        {s2, grey, BLIT_ADDITIVE, -12, packColour(5, 13, 23)},
        {s2, grey, BLIT_ADDITIVE, 3, packColour(18, 28, 31)},
        {s2, grey, BLIT_ADDITIVE, -31, grey},
        {s2, grey, BLIT_ADDITIVE, -2000000000, grey},
        {s2, grey, BLIT_ADDITIVE, 2000000000, white},
    };
    Surface* src = createSurface(2, 1);
    for (const Case& c : cases) {
        putPixel(src, 0, 0, c.source);
        Surface* dst = filled(3, 1, c.destination);
        blit(dst, 0, 0, 2, 1, src, 0, 0, c.mode, c.param);
        EXPECT_EQ(getPixel(dst, 0, 0), c.expected) << "mode " << c.mode << " param " << c.param;
        EXPECT_EQ(getPixel(dst, 1, 0), c.destination) << "a zero source pixel leaves the destination, mode " << c.mode;
        removeSurface(&dst);
    }
    removeSurface(&src);
}

TEST_F(Blit, MirrorUsesTheMirrorClipping) {
    const uint16_t a = 1, b = 2, c = 3;
    Surface* row = filled(3, 1, -1);  // pixels 1, 2, 3
    // Mirror cuts the source's leftmost column at the right edge and its rightmost at the left edge.
    // 7, 8, above 16 and negative modes take the mirror rule with the normal clipping, which at dx = -1
    // cuts the leftmost source column instead.
    struct Case {
        int32_t mode;
        int dx;
        std::vector<uint16_t> expected;
    };
    std::vector<Case> cases = {{BLIT_MIRROR, 0, {c, b, a, BG, BG, BG}},
                               {BLIT_MIRROR, 4, {BG, BG, BG, BG, c, b}},
                               {BLIT_MIRROR, -1, {b, a, BG, BG, BG, BG}}};
    for (int32_t mode : {7, 8, 17, 20, -1, -100}) {
        cases.push_back({mode, 0, {c, b, a, BG, BG, BG}});
        cases.push_back({mode, -1, {c, b, BG, BG, BG, BG}});
        cases.push_back({mode, 4, {BG, BG, BG, BG, b, a}});
    }
    for (const Case& k : cases) {
        Surface* dst = filled(6, 1, BG);
        blit(dst, k.dx, 0, 3, 1, row, 0, 0, k.mode);
        EXPECT_EQ(logical(dst), k.expected) << k.mode << " at " << k.dx;
        removeSurface(&dst);
    }
    // Zero source pixels are skipped; rows stay in order.
    Surface* two = createSurface(3, 2);
    putPixel(two, 0, 0, a);
    putPixel(two, 2, 1, c);
    Surface* d2 = filled(3, 2, BG);
    blit(d2, 0, 0, 3, 2, two, 0, 0, BLIT_MIRROR);
    EXPECT_EQ(logical(d2), (std::vector<uint16_t>{BG, BG, a, c, BG, BG}));
}

struct Layout {
    int vertical, xSign, ySign;
};

// A frame's worth of blits in every mode, clipped on every side; the logical result must not depend
// on how the surfaces lie in memory.
std::vector<uint16_t> drawScene(Layout l) {
    initDisplayInfo();
    displayInfo.verticalMemory = l.vertical;
    displayInfo.xStep = l.xSign;
    displayInfo.yStep = l.ySign * 240;
    Surface* dst = createSurface(23, 17);
    Surface* src = createSurface(11, 9);
    for (int i = 0; i < 23 * 17; i++) {
        int x = i % 23, y = i / 23;
        putPixel(dst, x, y, packColour((x * 3) & 31, (y * 5) & 31, (x + y) & 31));
        putPixel(src, x, y, (x + 2 * y) % 5 == 0 ? 0 : packColour((x * 7) & 31, (y * 3 + 9) & 31, (x * y) & 31));
    }
    seedGameRand(4242);
    int places[][2] = {{-4, -3}, {15, 12}, {5, 4}, {-2, 10}, {18, -5}};
    int32_t modes[] = {0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16, 21, -3};
    int k = 0;
    for (int32_t mode : modes) {
        for (auto& p : places) {
            int sx = (k % 3) - 1, sy = (k % 4) - 1;
            blit(dst, p[0], p[1], 11 - (k % 3), 9 - (k % 2), src, sx, sy, mode, (k * 37) % 300 - 40);
            k++;
        }
    }
    blitCentred(dst, src);
    tileSurface(dst, 1, 2, 20, 13, src, 7, 3);
    std::vector<uint16_t> result = logical(dst);
    removeSurface(&dst);
    removeSurface(&src);
    initDisplayInfo();
    return result;
}

}  // namespace

TEST_F(Blit, EveryMemoryLayoutGivesTheSameLogicalPixels) {
    std::vector<uint16_t> reference = drawScene(Layout{0, 1, 1});
    // The scene really draws: most pixels changed from the starting pattern.
    EXPECT_GT(std::count(reference.begin(), reference.end(), (uint16_t)0), 0);
    Layout layouts[] = {{1, 1, 1}, {0, -1, 1}, {0, 1, -1}, {0, -1, -1}, {1, -1, -1}, {1, 1, -1}, {1, -1, 1}};
    for (Layout l : layouts) {
        EXPECT_EQ(drawScene(l), reference) << l.vertical << " " << l.xSign << " " << l.ySign;
    }
}
