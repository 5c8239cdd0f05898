// The sprite blitter: clipping, the per-pixel rules of every mode, and the small blit wrappers.
#include "gfx/blit.h"

#include <cstddef>
#include <cstring>

#include "gfx/draw.h"
#include "shell/log.h"
#include "shell/random.h"

// A clipped rectangle ready to walk: the caller's numbers after clipping.
struct BlitRect {
    int dx, dy, w, h, sx, sy;
};

static inline uint16_t* pixelAddress(const Surface* s, int x, int y) {
    return s->origin + (ptrdiff_t)s->xStep * x + (ptrdiff_t)s->yStep * y;
}

static inline int clampInt(int v, int lo, int hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

// The clipping of every full-size mode: source first, then destination. Mirror reads its source from
// the right: columns cut off at the left of the destination belong to the right end of the source, and
// those cut off at the right to its left end. Done in 64 bits so that absurd caller values cannot
// overflow; the result always fits.
static bool clipBlit(const Surface* dst, const Surface* src, BlitRect* r, bool mirror) {
    int64_t dx = r->dx, dy = r->dy, w = r->w, h = r->h, sx = r->sx, sy = r->sy;
    if (sx < 0) {
        w += sx;
        dx -= sx;
        sx = 0;
    }
    if (sy < 0) {
        h += sy;
        dy -= sy;
        sy = 0;
    }
    if (sx + w > src->width) {
        w = src->width - sx;
    }
    if (sy + h > src->height) {
        h = src->height - sy;
    }
    if (dx < 0) {
        w += dx;
        if (!mirror) {
            sx -= dx;
        }
        dx = 0;
    }
    if (dy < 0) {
        h += dy;
        sy -= dy;
        dy = 0;
    }
    if (dx + w > dst->width) {
        if (mirror) {
            sx += dx + w - dst->width;
        }
        w = dst->width - dx;
    }
    if (dy + h > dst->height) {
        h = dst->height - dy;
    }
    if (w < 1 || h < 1) {
        return false;
    }
    *r = BlitRect{(int)dx, (int)dy, (int)w, (int)h, (int)sx, (int)sy};
    return true;
}

// Walks rows top to bottom and each row left to right in logical order, in every memory layout, so
// that the order of random draws and of overlapping writes does not depend on the layout. UNIT means
// both walks step one word upwards, the layout both builds use, which lets the compiler vectorise.
template <bool UNIT, class Rule>
static inline void walkRows(uint16_t* dRow, const uint16_t* sRow, ptrdiff_t dRowStep, ptrdiff_t sRowStep,
                            ptrdiff_t dStep, ptrdiff_t sStep, int w, int h, Rule rule) {
    for (int j = 0; j < h; j++) {
        uint16_t* d = dRow;
        const uint16_t* s = sRow;
        if (UNIT) {
            for (int i = 0; i < w; i++) {
                d[i] = rule(s[i], d[i]);
            }
        } else {
            for (int i = 0; i < w; i++) {
                *d = rule(*s, *d);
                d += dStep;
                s += sStep;
            }
        }
        dRow += dRowStep;
        sRow += sRowStep;
    }
}

// Applies `rule` to the clipped rectangle; `mirrored` puts source column i on destination column w-1-i.
template <class Rule>
static void applyRule(Surface* dst, const Surface* src, const BlitRect& r, bool mirrored, Rule rule) {
    const uint16_t* s = pixelAddress(src, r.sx, r.sy);
    uint16_t* d = pixelAddress(dst, mirrored ? r.dx + r.w - 1 : r.dx, r.dy);
    ptrdiff_t dStep = mirrored ? -(ptrdiff_t)dst->xStep : dst->xStep;
    if (src->xStep == 1 && dStep == 1) {
        walkRows<true>(d, s, dst->yStep, src->yStep, 1, 1, r.w, r.h, rule);
    } else {
        walkRows<false>(d, s, dst->yStep, src->yStep, dStep, src->xStep, r.w, r.h, rule);
    }
}

// Copy: one memory move per row (per column in vertical memory). memmove, because a surface may be
// copied onto itself.
static void copyRect(Surface* dst, const Surface* src, const BlitRect& r) {
    if ((src->xStep == 1 || src->xStep == -1) && src->xStep == dst->xStep) {
        // Rows are contiguous; with a negative step the row's last pixel has the lowest address.
        int first = src->xStep > 0 ? 0 : r.w - 1;
        size_t bytes = (size_t)r.w * 2;
        for (int j = 0; j < r.h; j++) {
            memmove(pixelAddress(dst, r.dx + first, r.dy + j), pixelAddress(src, r.sx + first, r.sy + j), bytes);
        }
        return;
    }
    if ((src->yStep == 1 || src->yStep == -1) && src->yStep == dst->yStep) {
        int first = src->yStep > 0 ? 0 : r.h - 1;
        size_t bytes = (size_t)r.h * 2;
        for (int i = 0; i < r.w; i++) {
            memmove(pixelAddress(dst, r.dx + i, r.dy + first), pixelAddress(src, r.sx + i, r.sy + first), bytes);
        }
        return;
    }
    applyRule(dst, src, r, false, [](uint16_t s, uint16_t) -> uint16_t { return s; });
}

static void fillRect(Surface* dst, const BlitRect& r, uint16_t colour) {
    for (int j = 0; j < r.h; j++) {
        uint16_t* d = pixelAddress(dst, r.dx, r.dy + j);
        if (dst->xStep == 1) {
            for (int i = 0; i < r.w; i++) {
                d[i] = colour;
            }
        } else {
            for (int i = 0; i < r.w; i++) {
                *d = colour;
                d += dst->xStep;
            }
        }
    }
}

// Shadowed: each drawn pixel also darkens the destination pixel 3 right and 3 down of the caller's
// source position plus the pixel's place in the clipped rectangle. Not a hot mode: logical walk.
static void shadowedRect(Surface* dst, const Surface* src, const BlitRect& r, int callerSx, int callerSy) {
    for (int j = 0; j < r.h; j++) {
        for (int i = 0; i < r.w; i++) {
            uint16_t s = *pixelAddress(src, r.sx + i, r.sy + j);
            if (s != 0) {
                *pixelAddress(dst, r.dx + i, r.dy + j) = s;
                darkenPixel(dst, callerSx + i + 3, callerSy + j + 3, 5);
            }
        }
    }
}

// Floor of a / 2 for any sign.
static inline int64_t floorHalf(int64_t a) {
    return a >= 0 ? a / 2 : -((-a + 1) / 2);
}

// The half-size modes: every second source pixel of every second row, transparent, optionally
// mirrored. w and h count source pixels; the range of destination columns and rows is cut so that
// every source pixel read and every destination pixel written lies inside its surface.
static void halfSizeRect(Surface* dst, int dx, int dy, int w, int h, const Surface* src, int sx, int sy,
                         bool mirrored) {
    int64_t wr = w > 0 ? w - 1 : w;
    int64_t hr = h > 0 ? h - 1 : h;
    int64_t cols = wr > 0 ? wr >> 1 : 0;
    int64_t rows = hr > 0 ? ((hr >> 1) > 1 ? (hr >> 1) : 1) : 0;
    // Column i reads source column sx + 2i and writes dx + i (dx + cols - 1 - i when mirrored).
    int64_t iLo = 0, iHi = cols;  // half-open
    int64_t lo = floorHalf(-(int64_t)sx + 1);
    int64_t hi = floorHalf((int64_t)src->width - sx - 1) + 1;
    iLo = lo > iLo ? lo : iLo;
    iHi = hi < iHi ? hi : iHi;
    if (mirrored) {
        int64_t right = (int64_t)dx + cols - 1;  // destination column of i = 0
        lo = right - dst->width + 1;
        hi = right + 1;
    } else {
        lo = -(int64_t)dx;
        hi = (int64_t)dst->width - dx;
    }
    iLo = lo > iLo ? lo : iLo;
    iHi = hi < iHi ? hi : iHi;
    int64_t jLo = 0, jHi = rows;
    lo = floorHalf(-(int64_t)sy + 1);
    hi = floorHalf((int64_t)src->height - sy - 1) + 1;
    jLo = lo > jLo ? lo : jLo;
    jHi = hi < jHi ? hi : jHi;
    lo = -(int64_t)dy;
    hi = (int64_t)dst->height - dy;
    jLo = lo > jLo ? lo : jLo;
    jHi = hi < jHi ? hi : jHi;
    if (iLo >= iHi || jLo >= jHi) {
        return;
    }
    int n = (int)(iHi - iLo);
    int firstCol = (int)(mirrored ? dx + cols - 1 - iLo : dx + iLo);
    ptrdiff_t sStep = 2 * (ptrdiff_t)src->xStep;
    ptrdiff_t dStep = mirrored ? -(ptrdiff_t)dst->xStep : dst->xStep;
    for (int64_t j = jLo; j < jHi; j++) {
        const uint16_t* s = pixelAddress(src, (int)(sx + 2 * iLo), (int)(sy + 2 * j));
        uint16_t* d = pixelAddress(dst, firstCol, (int)(dy + j));
        for (int i = 0; i < n; i++) {
            if (*s != 0) {
                *d = *s;
            }
            s += sStep;
            d += dStep;
        }
    }
}

static bool orientationMatches(const Surface* dst, const Surface* src) {
    if (dst->verticalMemory != src->verticalMemory) {
        logColoured(1, "Sprite Memory Orientation Mismatch\n", LOG_ERROR);
        return false;
    }
    return true;
}

// The light a source pixel carries: (r + g + b) >> 3.
static inline int sourceLight(uint16_t s) {
    return ((s >> 11) + ((s >> 6) & 31) + (s & 31)) >> 3;
}

void blit(Surface* dst, int dx, int dy, int w, int h, const Surface* src, int sx, int sy, int32_t mode,
          int32_t param) {
    if (mode == BLIT_HALF_SIZE || mode == BLIT_HALF_SIZE_MIRROR) {
        if (!orientationMatches(dst, src)) {
            return;
        }
        halfSizeRect(dst, dx, dy, w, h, src, sx, sy, mode == BLIT_HALF_SIZE_MIRROR);
        return;
    }
    BlitRect r{dx, dy, w, h, sx, sy};
    bool inside = clipBlit(dst, src, &r, mode == BLIT_MIRROR);
    if (!orientationMatches(dst, src) || !inside) {
        return;
    }
    switch (mode) {
    case BLIT_COPY:
        copyRect(dst, src, r);
        break;
    case BLIT_TRANSPARENT:
        applyRule(dst, src, r, false, [](uint16_t s, uint16_t d) -> uint16_t { return s != 0 ? s : d; });
        break;
    case BLIT_SHADOWED:
        shadowedRect(dst, src, r, sx, sy);
        break;
    case BLIT_BLUE_ONLY:
        applyRule(dst, src, r, false,
                  [](uint16_t s, uint16_t d) -> uint16_t { return s != 0 ? (uint16_t)(s & 31) : d; });
        break;
    case BLIT_ADD_LIGHT:
        applyRule(dst, src, r, false,
                  [](uint16_t s, uint16_t d) -> uint16_t { return s != 0 ? brighten(d, sourceLight(s)) : d; });
        break;
    case BLIT_SUBTRACT_LIGHT: {
        // Beyond +-64 the darkening saturates either way; the cut keeps the sum from overflowing.
        int extra = clampInt(param, -64, 64);
        applyRule(dst, src, r, false, [extra](uint16_t s, uint16_t d) -> uint16_t {
            return s != 0 ? darken(d, sourceLight(s) + extra) : d;
        });
        break;
    }
    case BLIT_WHITE:
        applyRule(dst, src, r, false, [](uint16_t s, uint16_t d) -> uint16_t { return s != 0 ? 0xFFFF : d; });
        break;
    case BLIT_ALPHA_BLEND: {
        // Weights are 0..255; anything outside would carry into the neighbouring component.
        unsigned a = (unsigned)clampInt(param, 0, 255);
        unsigned b = 255 - a;
        applyRule(dst, src, r, false, [a, b](uint16_t s, uint16_t d) -> uint16_t {
            unsigned red = ((unsigned)(s >> 11) * a + (unsigned)(d >> 11) * b) >> 8;
            unsigned green = (((unsigned)(s >> 6) & 31) * a + ((unsigned)(d >> 6) & 31) * b) >> 8;
            unsigned blue = (((unsigned)s & 31) * a + ((unsigned)d & 31) * b) >> 8;
            uint16_t blended = (uint16_t)(red << 11 | green << 6 | blue);
            return s != 0 ? blended : d;
        });
        break;
    }
    case BLIT_SILHOUETTE: {
        uint16_t colour = (uint16_t)param;
        applyRule(dst, src, r, false, [colour](uint16_t s, uint16_t d) -> uint16_t { return s != 0 ? colour : d; });
        break;
    }
    case BLIT_ADDITIVE: {
        // A raise of 31 or more saturates every component; the cut keeps the sum from overflowing.
        int raise = clampInt(param, -64, 64);
        applyRule(dst, src, r, false, [raise](uint16_t s, uint16_t d) -> uint16_t {
            int rs = (s >> 11) + raise, gs = ((s >> 6) & 31) + raise, bs = (s & 31) + raise;
            int red = (d >> 11) + (rs < 0 ? 0 : rs);
            int green = ((d >> 6) & 31) + (gs < 0 ? 0 : gs);
            int blue = (d & 31) + (bs < 0 ? 0 : bs);
            uint16_t sum = clampPackColour(red, green, blue);
            return s != 0 ? sum : d;
        });
        break;
    }
    case BLIT_SPARKLE: {
        int mask = param;
        // One draw of the shared generator per non-zero source pixel, in row order.
        applyRule(dst, src, r, false,
                  [mask](uint16_t s, uint16_t d) -> uint16_t { return s != 0 ? brighten(d, gameRand() & mask) : d; });
        break;
    }
    case BLIT_FILL:
        fillRect(dst, r, (uint16_t)param);
        break;
    default:
        // Mirror itself, and 7, 8, values above 16 and negative values with the normal clipping.
        applyRule(dst, src, r, true, [](uint16_t s, uint16_t d) -> uint16_t { return s != 0 ? s : d; });
        break;
    }
}

void blitCentred(Surface* dst, const Surface* src) {
    blit(dst, dst->centreX - src->centreX, dst->centreY - src->centreY, src->width, src->height, src, 0, 0,
         BLIT_COPY);
}

void blitMasked(Surface* dst, int dx, int dy, int w, int h, const Surface* src, int sx, int sy,
                const Surface* mask, int mx, int my) {
    for (int i = 0; i < w; i++) {
        for (int j = 0; j < h; j++) {
            int a = (getPixel(mask, mx + i, my + j) & 31) * 8;
            if (a != 0) {
                putPixel(dst, dx + i, dy + j,
                         blendColour(getPixel(src, sx + i, sy + j), getPixel(dst, dx + i, dy + j), a));
            }
        }
    }
}
