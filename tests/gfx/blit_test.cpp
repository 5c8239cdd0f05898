// The blitter: every mode's pixel rule, both clippings, the half-size modes, the orientation check,
// the same blits in every memory layout, and the small wrappers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/blit.h"
#include "gfx/draw.h"
#include "shell/display.h"
#include "shell/log.h"
#include "shell/random.h"

namespace {

// A surface whose every pixel is `value`.
Surface* filled(int w, int h, uint16_t value) {
    Surface* s = createSurface(w, h);
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            putPixel(s, x, y, value);
        }
    }
    return s;
}

// A source whose pixel (x, y) is 1 + x + 32 y: non-zero, distinct, and readable back.
Surface* numbered(int w, int h) {
    Surface* s = createSurface(w, h);
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            putPixel(s, x, y, (uint16_t)(1 + x + 32 * y));
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

// Everything in the log buffer, oldest first, line breaks dropped.
std::string loggedText() {
    std::string all;
    for (int n = LOG_LINES - 1; n >= 0; n--) {
        all += std::string(logBuffer.text[n], strnlen(logBuffer.text[n], LOG_COLUMNS));
    }
    return all;
}

int countOf(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        n++;
    }
    return n;
}

class Blit : public ::testing::Test {
protected:
    void SetUp() override { initDisplayInfo(); }
    void TearDown() override { initDisplayInfo(); }
};

const uint16_t BG = 0x0841;  // packColour(1, 1, 1)

}  // namespace

// The clipped rectangle is exactly the set of pixel pairs that lie inside both surfaces, on every side,
// source positions below zero and past the edges included; a rectangle wholly outside draws nothing and
// logs nothing. Copy writes the source's zero pixel too, Transparent skips it.
TEST_F(Blit, NormalClippingKeepsExactlyThePairsInsideBothSurfaces) {
    Surface* src = numbered(7, 5);
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
    EXPECT_EQ(loggedText(), "");
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

TEST_F(Blit, SparkleBrightensByOneSharedDrawPerInkedPixelInRowOrder) {
    Surface* src = createSurface(4, 3);
    int inked[][2] = {{3, 0}, {0, 1}, {2, 1}, {1, 2}, {3, 2}};
    for (auto& p : inked) {
        putPixel(src, p[0], p[1], 0x1234);
    }
    Surface* dst = filled(6, 5, packColour(3, 10, 28));
    seedGameRand(777);
    blit(dst, 1, 1, 4, 3, src, 0, 0, BLIT_SPARKLE, 3);
    uint32_t after = gameRandState();

    seedGameRand(777);
    Surface* expected = filled(6, 5, packColour(3, 10, 28));
    for (auto& p : inked) {
        int a = gameRand() & 3;
        putPixel(expected, p[0] + 1, p[1] + 1, packColour(3 + a, 10 + a, 28 + a > 31 ? 31 : 28 + a));
    }
    EXPECT_EQ(after, gameRandState());
    EXPECT_EQ(logical(dst), logical(expected));
}

TEST_F(Blit, FillIsBoundedByTheSourceNotItsPixels) {
    Surface* src = createSurface(3, 2);  // all zero: not read
    Surface* dst = filled(8, 8, BG);
    blit(dst, 1, 1, 6, 6, src, 0, 0, BLIT_FILL, 0);
    for (int y = 0; y < 8; y++) {
        for (int x = 0; x < 8; x++) {
            bool inside = x >= 1 && x < 4 && y >= 1 && y < 3;
            EXPECT_EQ(getPixel(dst, x, y), inside ? 0 : BG) << x << "," << y;
        }
    }
    blit(dst, 6, 7, 3, 2, src, 0, 0, BLIT_FILL, 0x10ABC);
    EXPECT_EQ(getPixel(dst, 6, 7), 0x0ABC);
    EXPECT_EQ(getPixel(dst, 7, 7), 0x0ABC);
    EXPECT_EQ(getPixel(dst, 5, 7), BG);
}

TEST_F(Blit, ShadowedDarkensBesideTheCallersSourcePosition) {
    Surface* src = createSurface(3, 2);
    const int inked[3][3] = {{0, 0, 0x1111}, {2, 0, 0x2222}, {1, 1, 0x3333}};
    for (const auto& p : inked) {
        putPixel(src, p[0], p[1], (uint16_t)p[2]);
    }
    const uint16_t grey = packColour(20, 20, 20), shade = packColour(15, 15, 15);
    // Unclipped, then clipped at the source's left: i counts within the clipped rectangle, sx is the
    // caller's -1, so the shadows move one further left while the pixels move right.
    for (int sx : {0, -1}) {
        Surface* dst = filled(16, 12, grey);
        blit(dst, 8, 6, 3 - sx, 2, src, sx, 0, BLIT_SHADOWED);
        Surface* expected = filled(16, 12, grey);
        for (const auto& p : inked) {
            putPixel(expected, 8 - sx + p[0], 6 + p[1], (uint16_t)p[2]);
            putPixel(expected, 3 + sx + p[0], 3 + p[1], shade);
        }
        EXPECT_EQ(logical(dst), logical(expected)) << sx;
    }
    // Shadows that fall outside the destination are dropped.
    Surface* small = filled(3, 2, grey);
    blit(small, 0, 0, 3, 2, src, 0, 0, BLIT_SHADOWED);
    EXPECT_EQ(getPixel(small, 0, 0), 0x1111);
    EXPECT_EQ(getPixel(small, 1, 0), grey);
}

TEST_F(Blit, MirrorUsesTheMirrorClipping) {
    const uint16_t a = 0x000A, b = 0x000B, c = 0x000C;
    Surface* row = createSurface(3, 1);
    putPixel(row, 0, 0, a);
    putPixel(row, 1, 0, b);
    putPixel(row, 2, 0, c);
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

// A w x h rectangle gives (w - 1) / 2 columns and (h - 1) / 2 rows (at least one once h is 2): column
// i, row j takes source pixel (sx + 2i, sy + 2j), mirrored from the right end of the columns. Pairs
// outside either surface and zero source pixels are skipped, on every side.
TEST_F(Blit, HalfSizeTakesEverySecondPixelClippedToBothSurfaces) {
    Surface* src = numbered(9, 9);
    putPixel(src, 2, 2, 0);
    for (int32_t mode : {BLIT_HALF_SIZE, BLIT_HALF_SIZE_MIRROR}) {
        for (int size : {1, 2, 3, 4, 5, 6, 9}) {
            for (int dx = -3; dx <= 4; dx++) {
                for (int sx : {-3, -1, 0, 2, 5, 8, 9, 10}) {
                    for (int sy : {-3, -1, 0, 1, 6, 9}) {
                        int dy = (dx + sy + 10) % 6 - 2, h = size == 4 ? 2 : size;
                        Surface* dst = filled(5, 5, BG);
                        blit(dst, dx, dy, size, h, src, sx, sy, mode);
                        int cols = size > 1 ? (size - 1) >> 1 : 0, rows = h > 1 ? std::max((h - 1) >> 1, 1) : 0;
                        std::vector<uint16_t> expected(25, BG);
                        for (int j = 0; j < rows; j++) {
                            for (int i = 0; i < cols; i++) {
                                int x = mode == BLIT_HALF_SIZE ? dx + i : dx + cols - 1 - i, y = dy + j;
                                int fx = sx + 2 * i, fy = sy + 2 * j;
                                if (x >= 0 && x < 5 && y >= 0 && y < 5 && fx >= 0 && fx < 9 && fy >= 0 && fy < 9 &&
                                    getPixel(src, fx, fy) != 0) {
                                    expected[(size_t)(y * 5 + x)] = getPixel(src, fx, fy);
                                }
                            }
                        }
                        ASSERT_EQ(logical(dst), expected)
                            << mode << ": size " << size << " at " << dx << "," << dy << " from " << sx << "," << sy;
                        removeSurface(&dst);
                    }
                }
            }
        }
    }
    // A case worked by hand: 5 x 5 at (1, 1) gives 2 x 2 from (0,0), (2,0), (0,2), (2,2), the zero skipped.
    Surface* dst = filled(4, 4, BG);
    blit(dst, 1, 1, 5, 5, src, 0, 0, BLIT_HALF_SIZE);
    EXPECT_EQ(logical(dst), (std::vector<uint16_t>{BG, BG, BG, BG, BG, 1, 3, BG, BG, 65, BG, BG, BG, BG, BG, BG}));
}

TEST_F(Blit, OrientationMismatchIsLoggedOncePerCallAndDrawsNothing) {
    logLevel = 1;
    clearLog();
    Surface* dst = filled(8, 8, BG);
    displayInfo.verticalMemory = 1;
    Surface* src = numbered(4, 4);
    displayInfo.verticalMemory = 0;
    blit(dst, 0, 0, 4, 4, src, 0, 0, BLIT_COPY);
    EXPECT_EQ(countOf(loggedText(), "Sprite Memory Orientation Mismatch"), 1);
    blit(dst, 0, 0, 0, 0, src, 0, 0, BLIT_TRANSPARENT);  // even for an empty rectangle
    blit(dst, 0, 0, 4, 4, src, 0, 0, BLIT_HALF_SIZE);
    blit(dst, 0, 0, 4, 4, src, 0, 0, BLIT_MIRROR);
    EXPECT_EQ(countOf(loggedText(), "Sprite Memory Orientation Mismatch"), 4);
    EXPECT_EQ(logBuffer.colours[1][0], 6);  // error colour
    EXPECT_EQ(logical(dst), std::vector<uint16_t>(64, BG));
    logLevel = 0;
}

namespace {

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
    for (int y = 0; y < 17; y++) {
        for (int x = 0; x < 23; x++) {
            putPixel(dst, x, y, packColour((x * 3) & 31, (y * 5) & 31, (x + y) & 31));
        }
    }
    for (int y = 0; y < 9; y++) {
        for (int x = 0; x < 11; x++) {
            putPixel(src, x, y, (x + 2 * y) % 5 == 0 ? 0 : packColour((x * 7) & 31, (y * 3 + 9) & 31, (x * y) & 31));
        }
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

TEST_F(Blit, CentredCopyAndMaskedBlend) {
    Surface* dst = filled(10, 10, BG);
    Surface* src = numbered(5, 3);
    blitCentred(dst, src);  // centres (5, 5) and (2, 1)
    EXPECT_EQ(getPixel(dst, 3, 4), getPixel(src, 0, 0));
    EXPECT_EQ(getPixel(dst, 7, 6), getPixel(src, 4, 2));
    EXPECT_EQ(getPixel(dst, 2, 4), BG);
    EXPECT_EQ(getPixel(dst, 8, 6), BG);

    // Mask blue 0 leaves the destination even with a non-zero source; 31 gives weight 248; 16 gives 128.
    Surface* white = filled(4, 1, packColour(31, 31, 31));
    Surface* mask = createSurface(4, 1);
    putPixel(mask, 0, 0, packColour(31, 31, 0));
    putPixel(mask, 1, 0, packColour(0, 0, 31));
    putPixel(mask, 2, 0, 16);
    putPixel(mask, 3, 0, 1);
    Surface* black = createSurface(6, 1);
    putPixel(black, 0, 0, 0x0020);
    putPixel(black, 3, 0, packColour(0, 0, 31));
    blitMasked(black, 0, 0, 4, 1, white, 0, 0, mask, 0, 0);
    EXPECT_EQ(getPixel(black, 0, 0), 0x0020);
    EXPECT_EQ(getPixel(black, 1, 0), packColour(30, 30, 30));  // (31 * 248) >> 8
    EXPECT_EQ(getPixel(black, 2, 0), packColour(15, 15, 15));
    EXPECT_EQ(getPixel(black, 3, 0), packColour(0, 0, 30));  // weight 8: (31 * 8 + 31 * 247) >> 8
    // A zero source pixel blends black in; reads and writes off the surfaces are harmless.
    Surface* grey = filled(3, 1, packColour(20, 20, 20));
    Surface* full = filled(3, 1, 31);
    blitMasked(grey, -1, 0, 5, 1, white, -2, 0, full, -1, 0);
    EXPECT_EQ(getPixel(grey, 0, 0), packColour((20 * 7) >> 8, (20 * 7) >> 8, (20 * 7) >> 8));
    EXPECT_EQ(getPixel(grey, 1, 0), packColour((31 * 248 + 140) >> 8, (31 * 248 + 140) >> 8, (31 * 248 + 140) >> 8));
}

TEST_F(Blit, MenuStripsAndItemsAddRowsOfTheMainMenuSheet) {
    mainMenuSheet = createSurface(3, 260);
    for (int y = 0; y < 260; y++) {
        putPixel(mainMenuSheet, 0, y, packColour(y & 15, 1, 2));
    }
    Surface* dst = filled(5, 30, packColour(2, 2, 2));
    drawMenuStrip(dst, 1, 2, 1);  // sheet rows 174..197
    EXPECT_EQ(getPixel(dst, 1, 2), packColour(2 + (174 & 15), 3, 4));
    EXPECT_EQ(getPixel(dst, 1, 25), packColour(2 + (197 & 15), 3, 4));
    EXPECT_EQ(getPixel(dst, 1, 26), packColour(2, 2, 2));
    EXPECT_EQ(getPixel(dst, 2, 2), packColour(2, 2, 2));
    Surface* item = filled(5, 30, packColour(2, 2, 2));
    drawMenuItem(item, 0, 0, 2, 3);  // sheet rows 50..73, each component raised by 3
    EXPECT_EQ(getPixel(item, 0, 0), packColour(2 + (50 & 15) + 3, 6, 7));
    EXPECT_EQ(getPixel(item, 0, 23), packColour(2 + (73 & 15) + 3, 6, 7));
    EXPECT_EQ(getPixel(item, 0, 24), packColour(2, 2, 2));
    removeSurface(&mainMenuSheet);
}
