// The present's arithmetic: frame layout in a window, the whole-number scaler, the refresh pacer.
#include "platform/present.h"

#include <cstring>

static int clampInt(int v, int lo, int hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

FrameLayout layoutFrame(int frameWidth, int frameHeight, int areaWidth, int areaHeight) {
    int scale = 1;
    if (frameWidth > 0 && frameHeight > 0) {
        int across = areaWidth / frameWidth;
        int down = areaHeight / frameHeight;
        scale = across < down ? across : down;
        if (scale < 1) {
            scale = 1;
        }
    }
    FrameLayout layout;
    layout.scale = scale;
    layout.width = frameWidth * scale;
    layout.height = frameHeight * scale;
    layout.x = (areaWidth - layout.width) / 2;
    layout.y = (areaHeight - layout.height) / 2;
    return layout;
}

void clampToFrame(const FrameLayout& layout, int ax, int ay, int* x, int* y) {
    *x = clampInt(ax - layout.x, 0, layout.width - 1);
    *y = clampInt(ay - layout.y, 0, layout.height - 1);
}

int onFrame(const FrameLayout& layout, int ax, int ay) {
    return ax >= layout.x && ay >= layout.y && ax < layout.x + layout.width && ay < layout.y + layout.height;
}

// A 5-bit component as `bits` bits: the top bits repeat into the low ones so that full stays full.
static uint32_t widen(uint32_t c, int bits) {
    if (bits >= 5) {
        return (c << (bits - 5)) | (c >> (10 - bits));
    }
    return c >> (5 - bits);
}

void buildPixelTable(const PixelFormat& format, uint32_t* table) {
    for (uint32_t v = 0; v < PIXEL_TABLE_SIZE; v++) {
        uint32_t r = (v >> 11) & 31, g = (v >> 6) & 31, b = v & 31;
        table[v] = format.opaque | widen(r, format.redBits) << format.redShift |
                   widen(g, format.greenBits) << format.greenShift | widen(b, format.blueBits) << format.blueShift;
    }
}

template <typename Pixel>
static void fillRow(uint8_t* out, int from, int to, Pixel value) {
    Pixel* p = (Pixel*)out;
    for (int x = from; x < to; x++) {
        p[x] = value;
    }
}

template <typename Pixel>
static void scaleInto(const uint16_t* frame, int frameWidth, const uint32_t* table, Pixel black,
                      const FrameLayout& layout, uint8_t* out, int outWidth, int outHeight, int outPitch,
                      int clearBorders) {
    const int s = layout.scale;
    int x0 = layout.x > 0 ? layout.x : 0;
    int x1 = layout.x + layout.width < outWidth ? layout.x + layout.width : outWidth;
    int y0 = layout.y > 0 ? layout.y : 0;
    int y1 = layout.y + layout.height < outHeight ? layout.y + layout.height : outHeight;
    if (x0 >= x1 || y0 >= y1) {
        x0 = x1 = y0 = y1 = 0;
    }
    if (clearBorders) {
        for (int y = 0; y < outHeight; y++) {
            uint8_t* row = out + (size_t)y * outPitch;
            if (y < y0 || y >= y1) {
                fillRow<Pixel>(row, 0, outWidth, black);
            } else {
                fillRow<Pixel>(row, 0, x0, black);
                fillRow<Pixel>(row, x1, outWidth, black);
            }
        }
    }
    if (x0 >= x1) {
        return;
    }
    const bool whole = layout.x >= 0 && layout.x + layout.width <= outWidth;
    const int firstColumn = (x0 - layout.x) / s;
    const int firstPhase = (x0 - layout.x) % s;
    for (int y = y0; y < y1;) {
        int fy = (y - layout.y) / s;
        int repeat = s - (y - layout.y) % s;
        if (y + repeat > y1) {
            repeat = y1 - y;
        }
        uint8_t* rowBytes = out + (size_t)y * outPitch;
        Pixel* d = (Pixel*)rowBytes + x0;
        const uint16_t* src = frame + (size_t)fy * frameWidth + firstColumn;
        if (whole) {
            const uint16_t* srcEnd = src + (x1 - x0) / s;
            while (src < srcEnd) {
                Pixel v = (Pixel)table[*src++];
                for (int k = 0; k < s; k++) {
                    *d++ = v;
                }
            }
        } else {
            // Cut by an edge: the first and last frame pixels may show only some of their copies.
            Pixel* end = (Pixel*)rowBytes + x1;
            int phase = firstPhase;
            Pixel v = (Pixel)table[*src];
            while (d < end) {
                *d++ = v;
                if (++phase == s) {
                    phase = 0;
                    src++;
                    if (d < end) {
                        v = (Pixel)table[*src];
                    }
                }
            }
        }
        for (int k = 1; k < repeat; k++) {
            memcpy(rowBytes + (size_t)k * outPitch + (size_t)x0 * sizeof(Pixel), rowBytes + (size_t)x0 * sizeof(Pixel),
                   (size_t)(x1 - x0) * sizeof(Pixel));
        }
        y += repeat;
    }
}

void scaleFrame(const uint16_t* frame, int frameWidth, int frameHeight, const uint32_t* table,
                const PixelFormat& format, const FrameLayout& layout, uint8_t* out, int outWidth,
                int outHeight, int outPitch, int clearBorders) {
    (void)frameHeight;
    if (format.bytesPerPixel == 4) {
        scaleInto<uint32_t>(frame, frameWidth, table, format.opaque, layout, out, outWidth, outHeight, outPitch,
                            clearBorders);
    } else if (format.bytesPerPixel == 2) {
        scaleInto<uint16_t>(frame, frameWidth, table, (uint16_t)format.opaque, layout, out, outWidth, outHeight,
                            outPitch, clearBorders);
    }
}

void pacerStart(PresentPacer* pacer, int64_t ticksPerSecond, int refreshHz, int vsyncClaimed) {
    pacer->period = ticksPerSecond / (refreshHz > 0 ? refreshHz : 60);
    pacer->next = 0;
    pacer->lastReturn = 0;
    pacer->selfPaced = vsyncClaimed ? 0 : 1;
    pacer->earlyRun = 0;
}

int64_t pacerWait(const PresentPacer* pacer, int64_t now) {
    if (!pacer->selfPaced || pacer->next == 0 || now >= pacer->next) {
        return 0;
    }
    return pacer->next - now;
}

void pacerPresented(PresentPacer* pacer, int64_t now) {
    if (!pacer->selfPaced) {
        if (pacer->lastReturn != 0 && now - pacer->lastReturn < pacer->period / 2) {
            pacer->earlyRun++;
            if (pacer->earlyRun >= PACER_EARLY_LIMIT) {
                pacer->selfPaced = 1;
            }
        } else {
            pacer->earlyRun = 0;
        }
        pacer->next = now + pacer->period;
    } else if (pacer->next != 0 && now - pacer->next < pacer->period) {
        // On time: the next slot follows this one, so waking a little early or late does not drift.
        pacer->next += pacer->period;
    } else {
        // First present, or a late one: the slots start again from now.
        pacer->next = now + pacer->period;
    }
    pacer->lastReturn = now;
}
