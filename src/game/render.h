// Drawing every screen of the game into the back surface, and the pieces the screens share.
#pragma once

#include <cstdint>

#include "gfx/surface.h"

enum {
    CORNER_BUTTON_X = 184,      // the corner back button's face, screen pixels
    CORNER_BUTTON_Y = 268,
    CORNER_HOVER_MAX = 5,       // frames of hover until the glow is full
    SPLASH_FADE_FROM = 300,     // splash brightness falls from here on
    LOADING_TEXT_Y = 280,
    PLAY_SCORE_Y = 20,
    PLAY_COMPLETE_Y = 65,
    PLAY_MESSAGE_RISE = 100,    // "Get Ready!" and "Doh!" stand this far above the field's bottom
};

// The one value the screens keep between frames.
struct RenderState {
    int32_t cornerHover;  // corner back button hover counter, 0..5
};

extern RenderState renderState;

// Splash brightness from a fade counter: the counter, or 255 - (counter - 300) past 300, in 0..255.
int32_t splashBrightness(int32_t counter);

// The picture shown while the game is suspended: `last` (the last frame) at half brightness in `dst`,
// with "Paused - click to go on" over it.
void renderPauseFrame(Surface* dst, const Surface* last);

// "bg.png" scrolled by the background row: at -row - height, at -row, and below when needed.
void drawScrollingBackground(void);
// "bg.png" tiled over the screen, moved by half the page offsets.
void drawParallaxBackground(void);
// The corner back button with its hover glow; the hover follows the stylus position, pressed or not.
void drawCornerButton(void);

// x of a text centred on x 120 in a bitmap font slot, and in the small font.
int32_t centredTextX(const char* text, int slot);
int32_t centredSmallTextX(const char* text);
// Adds rand & 1 to x, then to y: the shimmer of jittering texts.
void jitter(int32_t* x, int32_t* y);
// Light-added text in a font slot at (x, y), baseline y, with or without jitter.
void drawTextAt(const char* text, int32_t x, int32_t y, int slot, int jittered);
