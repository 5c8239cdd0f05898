// The sprite blitter: a rectangle of one surface drawn onto another in one of seventeen modes.
#pragma once

#include <cstdint>

#include "gfx/surface.h"

enum BlitMode : int32_t {
    BLIT_COPY = 0,
    BLIT_TRANSPARENT = 1,
    BLIT_SHADOWED = 2,
    BLIT_BLUE_ONLY = 3,
    BLIT_ADD_LIGHT = 4,
    BLIT_SUBTRACT_LIGHT = 5,
    BLIT_WHITE = 6,
    BLIT_ALPHA_BLEND = 9,
    BLIT_MIRROR = 10,
    BLIT_SILHOUETTE = 11,
    BLIT_ADDITIVE = 12,
    BLIT_SPARKLE = 13,
    BLIT_FILL = 14,
    BLIT_HALF_SIZE = 15,
    BLIT_HALF_SIZE_MIRROR = 16,
};

// Draws the w x h rectangle at (sx, sy) of src at (dx, dy) of dst, clipped against both surfaces.
void blit(Surface* dst, int dx, int dy, int w, int h, const Surface* src, int sx, int sy, int32_t mode,
          int32_t param = 0);
