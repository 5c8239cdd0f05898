// The sprite blitter: a rectangle of one surface drawn onto another in one of seventeen modes.
#pragma once

#include <cstdint>

#include "gfx/surface.h"

// Source pixel 0 is the transparent key of every mode but Copy and Fill. Modes 7, 8, any value above 16
// and any negative value draw as Mirror, but with the normal clipping.
enum BlitMode : int32_t {
    BLIT_COPY = 0,              // every pixel, 0 included; one memory copy per row
    BLIT_TRANSPARENT = 1,
    BLIT_SHADOWED = 2,          // plus a shadow darkened by 5 at the source position + (3, 3)
    BLIT_BLUE_ONLY = 3,         // the source's blue component alone
    BLIT_ADD_LIGHT = 4,         // destination brightened by (r + g + b) >> 3 of the source
    BLIT_SUBTRACT_LIGHT = 5,    // destination darkened by ((r + g + b) >> 3) + param
    BLIT_WHITE = 6,             // 0xFFFF
    BLIT_ALPHA_BLEND = 9,       // source weight param (0..255), destination 255 - param
    BLIT_MIRROR = 10,           // mirrored left to right, with the mirror clipping
    BLIT_SILHOUETTE = 11,       // param's low 16 bits
    BLIT_ADDITIVE = 12,         // per component max(source + param, 0) added to the destination
    BLIT_SPARKLE = 13,          // destination brightened by gameRand() & param
    BLIT_FILL = 14,             // param's low 16 bits over the whole (source-bounded) rectangle
    BLIT_HALF_SIZE = 15,        // every second source pixel of every second row
    BLIT_HALF_SIZE_MIRROR = 16, // the same, mirrored
};

// Draws the w x h rectangle at (sx, sy) of src at (dx, dy) of dst, clipped against both surfaces.
// Surfaces of different memory orientation are refused with an error line. Allocates nothing.
void blit(Surface* dst, int dx, int dy, int w, int h, const Surface* src, int sx, int sy, int32_t mode,
          int32_t param = 0);
// Copies the whole of src so that its centre lands on dst's centre.
void blitCentred(Surface* dst, const Surface* src);
// Blends src into dst pixel by pixel with the mask's blue component (0..31) times 8 as the source's
// weight; a mask weight of 0 leaves the destination alone. Goes through getPixel/putPixel: small areas only.
void blitMasked(Surface* dst, int dx, int dy, int w, int h, const Surface* src, int sx, int sy,
                const Surface* mask, int mx, int my);
