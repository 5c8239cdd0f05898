// Helpers for the screen tests: the game's fixture with its fonts and sprites, back-surface pixels,
// and frames saved as PNG pictures under the build folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "flowtest.h"
#include "gfx/surface.h"

// The flow fixture with what the intro splash loads (fonts, sprites, icons, power-ups) and the small
// font, the generator seeded with `seed`, and the stylus up in the top-left corner.
struct ScreenFixture : FlowFixture {
    explicit ScreenFixture(uint32_t seed = 1);
    // Renders the current mode into the back surface (the mode change applied first).
    void render(void);
};

uint16_t backPixel(int x, int y);
// The pixels of the back surface, row by row.
std::vector<uint16_t> backPixels(void);

// Writes the 16-bit pixels as an RGB PNG to <build>/frames/<name>.png; returns the path.
std::string saveFramePng(const std::string& name, const std::vector<uint16_t>& pixels, int width, int height);
std::string saveBackSurfacePng(const std::string& name);

// The colour with each component brightened, darkened or blended as the drawing operations do.
uint16_t addLight(uint16_t colour, int amount);

// A copy of the shared generator's sequence from a given state, to foresee the jitter of a frame.
struct RandomCopy {
    uint32_t state;
    int next(void) {
        state = state * 214013u + 2531011u;
        return (int)((state >> 16) & 0x7FFF);
    }
};

// A 240 x 320 surface of the test's own, filled with a colour; and one holding the back surface's pixels.
Surface* makeScreen(uint16_t colour = 0);
Surface* copyOfBack(void);
// Additive blit rule for one pixel: per component max(source + raise, 0) added, clamped to 31.
uint16_t additivePixel(uint16_t destination, uint16_t source, int raise);
// Counts the pixels where the back surface differs from `expected` inside [x0, x1) x [y0, y1), and
// reports the first few.
int countDifferences(const Surface* expected, int x0, int y0, int x1, int y1);
// The differences over the whole back surface (or all but the corner back button's 59 x 56 corner);
// frees `expected`.
int differencesFrom(Surface* expected, bool withCorner = true);
// The scrolling background as the screens tile it: three copies, the middle one at row `row`.
void scrolledBackground(Surface* s, int row);
