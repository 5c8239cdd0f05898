// Helpers for the screen tests: the game's fixture with its fonts and sprites, back-surface pixels,
// and frames saved as PNG pictures under the build folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "flowtest.h"

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
