// What showing a frame computes without a window system: where the frame lies in a window, the
// whole-number scaler from 16-bit frame pixels to the window's pixels, and the pacer to the refresh.
#pragma once

#include <cstdint>

// Where a frame lands in an area (a window or its pixel surface): the largest whole-number scale that
// fits, at least 1 (an area smaller than the frame shows the frame's centre), centred.
struct FrameLayout {
    int scale;          // area pixels per frame pixel, each way
    int x, y;           // top-left corner of the scaled frame in the area, pixels; negative when cut
    int width, height;  // the scaled frame, pixels
};
FrameLayout layoutFrame(int frameWidth, int frameHeight, int areaWidth, int areaHeight);
// The area position (ax, ay) relative to the scaled frame, clamped to it: 0..width-1, 0..height-1.
void clampToFrame(const FrameLayout& layout, int ax, int ay, int* x, int* y);
// 1 when the area position (ax, ay) lies on the scaled frame.
int onFrame(const FrameLayout& layout, int ax, int ay);

// A destination pixel format: 2 or 4 bytes a pixel, each colour a run of bits.
struct PixelFormat {
    int bytesPerPixel;                  // 2 or 4
    int redShift, greenShift, blueShift;  // lowest bit of each component
    int redBits, greenBits, blueBits;   // component widths, 1..8
    uint32_t opaque;                    // bits set in every pixel (alpha), so black is this value
};
enum { PIXEL_TABLE_SIZE = 65536 };
// Fills table[PIXEL_TABLE_SIZE]: every 16-bit frame pixel (red 15-11, green 10-6, blue 4-0) as a
// destination pixel; 5-bit components widen by repeating their top bits (31 becomes 255).
void buildPixelTable(const PixelFormat& format, uint32_t* table);

// Draws the frame scaled and placed by `layout` into the destination pixels (pitch in bytes), cut at
// the destination's edges. With clearBorders the pixels around the frame are set to black as well.
void scaleFrame(const uint16_t* frame, int frameWidth, int frameHeight, const uint32_t* table,
                const PixelFormat& format, const FrameLayout& layout, uint8_t* out, int outWidth,
                int outHeight, int outPitch, int clearBorders);

// Paces presents to the display's refresh. A renderer that says it waits for the refresh is believed
// only while its presents take that long: a run of presents that return at once switches to our own
// waiting.
struct PresentPacer {
    int64_t period;      // counter ticks per refresh
    int64_t next;        // counter value of the next refresh slot; 0 before the first present
    int64_t lastReturn;  // counter value when the last present returned; 0 before the first
    int selfPaced;       // 1 when we wait for the slot ourselves
    int earlyRun;        // consecutive presents that returned well within one refresh
};
enum { PACER_EARLY_LIMIT = 5 };
// refreshHz 0 (unknown) paces at 60 Hz; vsyncClaimed says whether the renderer says it waits.
void pacerStart(PresentPacer* pacer, int64_t ticksPerSecond, int refreshHz, int vsyncClaimed);
// Ticks to wait before presenting at counter value `now` (0: present at once).
int64_t pacerWait(const PresentPacer* pacer, int64_t now);
// Records a present that returned at counter value `now`.
void pacerPresented(PresentPacer* pacer, int64_t now);
