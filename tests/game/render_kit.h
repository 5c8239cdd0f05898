// Helpers for the screen tests: the game's fixture with its fonts and sprites, frame hashes, and frames
// saved as PNG pictures under the build folder.
#pragma once

#include <cstdint>
#include <string>

#include "flowtest.h"
#include "gfx/surface.h"

// The flow fixture with what the intro splash loads (fonts, sprites, icons, power-ups) and the small
// font, the generator seeded with `seed`, and the stylus up in the top-left corner.
struct ScreenFixture : FlowFixture {
    explicit ScreenFixture(uint32_t seed = 1);
    // Renders the current mode into the back surface (the mode change applied first).
    void render(void);
};

// Writes the back surface as an RGB PNG to <build>/frames/<name>.png; returns the path.
std::string saveBackSurfacePng(const std::string& name);
// A 240 x 320 surface of the test's own, filled with a colour.
Surface* makeScreen(uint16_t colour = 0);
