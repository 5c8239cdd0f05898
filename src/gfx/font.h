// Bitmap fonts measured out of pictures, and the fixed 6 x 6 small font of the console.
#pragma once

#include <cstdint>

#include "gfx/surface.h"

enum {
    FONT_SLOTS = 8,     // entries of the font table
    FONT_GLYPHS = 224,  // character codes 0..223; only 33..223 are ever measured
    SMALL_CHAR_SIZE = 6,
    SMALL_CHAR_ADVANCE = 6,
};

// One proportional font; every position is in pixels of its picture.
struct Font {
    Surface* picture;                     // not owned: the loader's handle keeps it
    uint8_t referenceRow;                 // baseline row, counted from the top of a band
    uint16_t glyphX[FONT_GLYPHS];         // first column of the glyph
    uint16_t glyphTop[FONT_GLYPHS];       // first row of the glyph (absolute)
    uint16_t glyphWidth[FONT_GLYPHS];
    uint16_t glyphBottom[FONT_GLYPHS];    // end row, relative to the top of its band
    uint16_t glyphTopOffset[FONT_GLYPHS]; // first row, relative to the top of its band
};

// The overlay's graphics sheet, also the small font ("smallchars.png", loaded at start-up).
extern Surface* smallCharsSheet;

// The seven console colours of the log (white, yellow, cyan, blue, magenta, green, red), packed pixels.
extern uint16_t logColourTable[7];
void buildLogColours(void);

// The font table: null while a slot is empty. The game fills slots 0 and 1 at start-up.
extern Font* fonts[FONT_SLOTS];

// Measures the glyphs of `picture` (characters from '!' on, in bands of bandHeight rows, the last
// three rows of each band ignored) into the slot. Failures are log lines.
void loadFont(Surface* picture, int slot, int bandHeight);
void unloadFont(int slot);
// Reference row r + r / 4.
int fontLineHeight(int slot = 0);
// Pixels the text advances: codes below 33 advance 4, a space 5, a glyph its width + 1.
int textWidth(const char* text, int slot = 0);
// y is the baseline; glyph intensities (the blue component) are added as light to the destination.
void drawText(Surface* dst, const char* text, int x, int y, int slot = 0);
// As drawText, but each glyph pixel of intensity p blends `colour` in with weight 8p.
void drawTextColoured(Surface* dst, const char* text, int x, int y, int slot, uint16_t colour);

// The small font reads the 6 x 6 cells of smallCharsSheet (shell/mainloop.h); every character advances 6.
// Ink pixels become `colour`.
void drawSmallText(Surface* dst, const char* text, int x, int y, uint16_t colour);
// Ink pixels become blendColour(colour, old pixel, weight).
void drawSmallTextBlended(Surface* dst, const char* text, int x, int y, uint16_t colour, int weight);
// drawSmallText onto the back surface in log colour `colourIndex` (0..6).
void drawConsoleText(const char* text, int x, int y, int colourIndex);
