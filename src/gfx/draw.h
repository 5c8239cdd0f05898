// Colour operations on packed pixels, single-pixel effects, the tiled background and the menu strips.
#pragma once

#include <cstdint>

#include "gfx/surface.h"

// Each component plus max(a, 0), clamped to 31. Bit 5 of the result is 0.
inline uint16_t brighten(uint16_t c, int a) {
    int r, g, b;
    unpackColour(c, &r, &g, &b);
    if (a < 0) {
        a = 0;
    }
    r += a;
    g += a;
    b += a;
    return packColour(r > 31 ? 31 : r, g > 31 ? 31 : g, b > 31 ? 31 : b);
}

// Each component minus a, clamped to 0 and never above its old value (a negative a changes nothing).
inline uint16_t darken(uint16_t c, int a) {
    int r, g, b;
    unpackColour(c, &r, &g, &b);
    int nr = r - a, ng = g - a, nb = b - a;
    nr = nr < 0 ? 0 : (nr > r ? r : nr);
    ng = ng < 0 ? 0 : (ng > g ? g : ng);
    nb = nb < 0 ? 0 : (nb > b ? b : nb);
    return packColour(nr, ng, nb);
}

// packColour with every component cut to at most 31.
inline uint16_t clampPackColour(int r, int g, int b) {
    return packColour(r > 31 ? 31 : r, g > 31 ? 31 : g, b > 31 ? 31 : b);
}

// (first * w + second * (255 - w)) >> 8 per component; w is 0..255, so full weight still loses a step.
inline uint16_t blendColour(int r1, int g1, int b1, int r2, int g2, int b2, int w) {
    return packColour((r1 * w + r2 * (255 - w)) >> 8, (g1 * w + g2 * (255 - w)) >> 8,
                      (b1 * w + b2 * (255 - w)) >> 8);
}

// The same on two packed pixels: c1 gets weight w, c2 weight 255 - w.
inline uint16_t blendColour(uint16_t c1, uint16_t c2, int w) {
    int r1, g1, b1, r2, g2, b2;
    unpackColour(c1, &r1, &g1, &b1);
    unpackColour(c2, &r2, &g2, &b2);
    return blendColour(r1, g1, b1, r2, g2, b2, w);
}

// Single-pixel effects through getPixel/putPixel: nothing happens outside the surface.
void brightenPixel(Surface* s, int x, int y, int a);
void darkenPixel(Surface* s, int x, int y, int a);
void brightenBackPixel(int x, int y, int a);
// The old pixel keeps weight w, colour gets 255 - w.
void blendPixel(Surface* s, int x, int y, uint16_t colour, int w);

// Covers the w x h area at (x, y) with Copy blits of the whole tile; growing scroll offsets (pixels)
// move the pattern left and up.
void tileSurface(Surface* dst, int x, int y, int w, int h, const Surface* tile, int scrollX, int scrollY);

// The main-menu sheet ("mainMenu.png"): menu strips from row 150, menu items from row 2, 24 rows each.
// Loaded and owned by the game's start-up.
extern Surface* mainMenuSheet;
enum { MENU_STRIP_HEIGHT = 24 };
// Strip `index` of the sheet added onto dst at (x, y).
void drawMenuStrip(Surface* dst, int x, int y, int index);
// Item `index` of the sheet added onto dst at (x, y), each component raised by brightness first.
void drawMenuItem(Surface* dst, int x, int y, int index, int brightness);
