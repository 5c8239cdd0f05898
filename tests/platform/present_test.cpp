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

// Frame pixels by letter: White, Red, a Mid colour (16, 8, 1), blacK; as destination pixels '.' is the
// black border and '#' a pixel left untouched. Mid widens 16 -> 132 (0x84), 8 -> 66 (0x42), 1 -> 8, or
// as 5/6/5 bits to 16, 16, 1.
const char letters[] = "WRMK.#";
const uint16_t framePixels[] = {0xFFDF, 0xF800, 16 << 11 | 8 << 6 | 1, 0, 0, 0};
const uint32_t widePixels[] = {0x00FFFFFFu, 0x00FF0000u, 0x00844208u, 0, 0, 0xABABABABu};
const uint32_t narrowPixels[] = {0xFFFFu, 0xF800u, 0x8201u, 0, 0, 0xABABu};

uint32_t outPixel(const PixelFormat& f, char c) {
    size_t i = (size_t)(strchr(letters, c) - letters);
    return f.bytesPerPixel == 4 ? widePixels[i] | (c == '#' ? 0 : f.opaque) : narrowPixels[i];
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
            frame.push_back(framePixels[strchr(letters, ch) - letters]);
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
        EXPECT_EQ((std::vector<int>{l.scale, l.x, l.y, l.width, l.height}),
                  (std::vector<int>{c.scale, c.x, c.y, c.width, c.height}))
            << c.areaWidth << "x" << c.areaHeight;
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
        EXPECT_EQ((std::vector<int>{x, y, onFrame(l, c.ax, c.ay)}), (std::vector<int>{c.x, c.y, c.on}))
            << c.ax << "," << c.ay;
    }
}

// Runs of presents at the given intervals (ticks, 1000 a second here) give the waits asked for before each.
TEST(Pacer, BelievesVsyncOnlyWhilePresentsWaitAndOtherwiseKeepsToTheRefreshSlots) {
    struct Case {
        const char* what;
        int refreshHz, vsync;
        std::vector<int64_t> intervals, waits;
    } cases[] = {
        {"presents that take a whole refresh: the renderer's word holds", 50, 1,
         {20, 20, 20, 20, 20, 20, 20, 20}, {0, 0, 0, 0, 0, 0, 0, 0}},
        {"presents back at once though vsync was promised: after five, paced to 50 Hz", 50, 1,
         {1, 1, 1, 1, 1, 1, 1, 1}, {0, 0, 0, 0, 0, 0, 19, 19}},
        {"an early present now and then (a late frame caught up) does not switch", 50, 1,
         {20, 1, 20, 1, 1, 20, 1, 1, 1, 1, 20}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"no vsync, unknown refresh: 60 Hz, 16 ticks a slot", 0, 0, {1, 1, 1, 5}, {0, 15, 15, 11}},
        {"no vsync: a late frame starts the slots again from its present", 50, 0, {1, 1, 40, 1}, {0, 19, 0, 19}},
    };
    for (const Case& c : cases) {
        PresentPacer p;
        pacerStart(&p, 1000, c.refreshHz, c.vsync);
        std::vector<int64_t> waits;
        int64_t now = 5000;
        for (int64_t interval : c.intervals) {
            now += interval;
            waits.push_back(pacerWait(&p, now));
            now += waits.back();
            pacerPresented(&p, now);
        }
        EXPECT_EQ(waits, c.waits) << c.what;
    }
}

}  // namespace
