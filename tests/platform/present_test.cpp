// The present's arithmetic: frame layout, mouse clamping, the scaler's exact pixels, the refresh pacer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/present.h"

namespace {

const PixelFormat XRGB{4, 16, 8, 0, 8, 8, 8, 0};
const PixelFormat ARGB{4, 16, 8, 0, 8, 8, 8, 0xFF000000u};
const PixelFormat RGB565{2, 11, 5, 0, 5, 6, 5, 0};

// Frame pixels by letter: White, Red, a Mid colour (16, 8, 1), blacK.
uint16_t framePixel(char c) {
    switch (c) {
    case 'W': return 0xFFDF;
    case 'R': return 0xF800;
    case 'M': return (uint16_t)(16 << 11 | 8 << 6 | 1);
    default: return 0;
    }
}

// The same letters as destination pixels; '.' is the black border, '#' a pixel left untouched.
uint32_t outPixel(const PixelFormat& f, char c) {
    bool wide = f.bytesPerPixel == 4;
    switch (c) {
    case 'W': return wide ? (0x00FFFFFFu | f.opaque) : 0xFFFFu;
    case 'R': return wide ? (0x00FF0000u | f.opaque) : 0xF800u;
    // 16 -> 132 (0x84), 8 -> 66 (0x42), 1 -> 8; as 5/6/5 bits: 16, 16, 1.
    case 'M': return wide ? (0x00844208u | f.opaque) : 0x8201u;
    case '#': return wide ? 0xABABABABu : 0xABABu;
    default: return f.opaque;
    }
}

struct ScaleCase {
    const char* name;
    std::vector<std::string> frame;
    int outWidth, outHeight, clear;
    std::vector<std::string> expected;
};

void runScale(const ScaleCase& c, const PixelFormat& f) {
    SCOPED_TRACE(c.name);
    const int fw = (int)c.frame[0].size(), fh = (int)c.frame.size();
    std::vector<uint16_t> frame;
    for (const std::string& row : c.frame) {
        for (char ch : row) {
            frame.push_back(framePixel(ch));
        }
    }
    std::vector<uint32_t> table(PIXEL_TABLE_SIZE);
    buildPixelTable(f, table.data());
    // Two spare pixels a row: the scaler must keep to the row's width, not its pitch.
    const int pitch = (c.outWidth + 2) * f.bytesPerPixel;
    std::vector<uint8_t> out((size_t)pitch * c.outHeight, 0xAB);
    FrameLayout layout = layoutFrame(fw, fh, c.outWidth, c.outHeight);
    scaleFrame(frame.data(), fw, fh, table.data(), f, layout, out.data(), c.outWidth, c.outHeight, pitch, c.clear);
    for (int y = 0; y < c.outHeight; y++) {
        for (int x = 0; x < c.outWidth + 2; x++) {
            uint32_t got = 0;
            memcpy(&got, &out[(size_t)y * pitch + (size_t)x * f.bytesPerPixel], (size_t)f.bytesPerPixel);
            char want = x < c.outWidth ? c.expected[y][x] : '#';
            EXPECT_EQ(got, outPixel(f, want)) << "pixel " << x << "," << y;
        }
    }
}

const std::vector<ScaleCase> scaleCases = {
    {"scale 1, exact fit", {"WR", "MK"}, 2, 2, 1, {"WR", "MK"}},
    {"scale 2, bars right and below", {"WR", "MK"}, 7, 5, 1,
     {".WWRR..", ".WWRR..", ".MMKK..", ".MMKK..", "......."}},
    {"scale 3, bars left, right and below", {"WR", "MK"}, 8, 7, 1,
     {".WWWRRR.", ".WWWRRR.", ".WWWRRR.", ".MMMKKK.", ".MMMKKK.", ".MMMKKK.", "........"}},
    {"scale 2, border kept", {"WR", "MK"}, 6, 4, 0, {"#WWRR#", "#WWRR#", "#MMKK#", "#MMKK#"}},
    {"an area smaller than the frame shows its centre", {"WRMK", "KMRW"}, 2, 1, 1, {"RM"}},
    {"cut at the right only", {"WRMK"}, 3, 1, 1, {"WRM"}},
};

// XRGB, ARGB (black opaque) and 16-bit windows.
TEST(Scaler, WritesExactPixelsInEveryWindowFormat) {
    for (auto format : {XRGB, ARGB, RGB565}) {
        for (const ScaleCase& c : scaleCases) {
            runScale(c, format);
        }
    }
}

TEST(FrameLayout, LargestWholeScaleCentred) {
    struct Case {
        int frameWidth, frameHeight, areaWidth, areaHeight, scale, x, y, width, height;
    } cases[] = {
        {240, 320, 480, 640, 2, 0, 0, 480, 640},
        {240, 320, 800, 640, 2, 160, 0, 480, 640},      // a widened window: bars left and right
        {240, 320, 1280, 1024, 3, 280, 32, 720, 960},   // desktop fullscreen of the windowed build
        {240, 320, 719, 959, 2, 119, 159, 480, 640},    // one pixel short of scale 3
        {640, 480, 1920, 1080, 2, 320, 60, 1280, 960},  // the fullscreen build on a wide desktop
        {240, 320, 200, 300, 1, -20, -10, 240, 320},    // smaller than the frame: its centre
        {240, 320, 0, 0, 1, -120, -160, 240, 320},
    };
    for (const Case& c : cases) {
        FrameLayout l = layoutFrame(c.frameWidth, c.frameHeight, c.areaWidth, c.areaHeight);
        SCOPED_TRACE(std::to_string(c.areaWidth) + "x" + std::to_string(c.areaHeight));
        EXPECT_EQ(l.scale, c.scale);
        EXPECT_EQ(l.x, c.x);
        EXPECT_EQ(l.y, c.y);
        EXPECT_EQ(l.width, c.width);
        EXPECT_EQ(l.height, c.height);
    }
}

TEST(FrameLayout, MousePositionsClampToTheFrame) {
    // The fullscreen build's 640 x 480 screen at scale 2 on a 1920 x 1080 desktop: bars of 320 each side.
    FrameLayout l = layoutFrame(640, 480, 1920, 1080);
    struct Case {
        int ax, ay, x, y, on;
    } cases[] = {
        {960, 540, 640, 480, 1},  // the middle
        {100, 540, 0, 480, 0},    // left bar: clamped, never negative
        {-40, -3, 0, 0, 0},       // beyond the window's corner while captured
        {1900, 1070, 1279, 959, 0},
        {320, 60, 0, 0, 1},
        {1599, 1019, 1279, 959, 1},
        {1600, 1019, 1279, 959, 0},
    };
    for (const Case& c : cases) {
        int x = -1, y = -1;
        clampToFrame(l, c.ax, c.ay, &x, &y);
        EXPECT_EQ(x, c.x) << c.ax << "," << c.ay;
        EXPECT_EQ(y, c.y) << c.ax << "," << c.ay;
        EXPECT_EQ(onFrame(l, c.ax, c.ay), c.on) << c.ax << "," << c.ay;
    }
}

// A run of presents at the given intervals (ticks, 1000 a second here); returns the waits asked for
// before each.
std::vector<int64_t> pace(int refreshHz, int vsync, const std::vector<int64_t>& intervals) {
    PresentPacer p;
    pacerStart(&p, 1000, refreshHz, vsync);
    std::vector<int64_t> waits;
    int64_t now = 5000;
    for (int64_t interval : intervals) {
        now += interval;
        int64_t wait = pacerWait(&p, now);
        waits.push_back(wait);
        now += wait;
        pacerPresented(&p, now);
    }
    return waits;
}

TEST(Pacer, BelievesVsyncOnlyWhilePresentsWait) {
    // Presents that take a whole refresh: the renderer's word holds, we never wait.
    EXPECT_EQ(pace(50, 1, {20, 20, 20, 20, 20, 20, 20, 20}), (std::vector<int64_t>{0, 0, 0, 0, 0, 0, 0, 0}));
    // Presents that return at once although vsync was promised: after five early ones we pace to 50 Hz.
    EXPECT_EQ(pace(50, 1, {1, 1, 1, 1, 1, 1, 1, 1}), (std::vector<int64_t>{0, 0, 0, 0, 0, 0, 19, 19}));
    // An early present now and then (a late frame caught up) does not switch.
    EXPECT_EQ(pace(50, 1, {20, 1, 20, 1, 1, 20, 1, 1, 1, 1, 20}),
              (std::vector<int64_t>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(Pacer, WithoutVsyncKeepsToTheRefreshSlots) {
    // Unknown refresh: 60 Hz, 16 ticks a slot at 1000 ticks a second.
    EXPECT_EQ(pace(0, 0, {1, 1, 1, 5}), (std::vector<int64_t>{0, 15, 15, 11}));
    // A late frame (40 ticks) starts the slots again from its present.
    EXPECT_EQ(pace(50, 0, {1, 1, 40, 1}), (std::vector<int64_t>{0, 19, 0, 19}));
}

}  // namespace
