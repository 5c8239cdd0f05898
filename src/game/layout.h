// Where the menu screens put what the stylus can hit: one table read by both drawing and input.
#pragma once

#include <cstdint>

// A tap hits a rectangle strictly inside its edges: left < x < right and top < y < bottom (pixels).
struct HitRect {
    int32_t left, top, right, bottom;
};

enum {
    ANY_X_LEFT = INT32_MIN,   // a rectangle that takes every column (a whole line of a window)
    ANY_X_RIGHT = INT32_MAX,
};

int hitRectContains(const HitRect& r, int32_t x, int32_t y);

// ---- Options window ("optionsWin.png", centred on the screen's middle column) ------------------------

enum {
    OPTIONS_CENTRE_Y = 150,         // screen row the window is centred on
    OPTIONS_SLIDER_LEFT = 11,       // window column of a knob at volume 0; volume = 2 x (column - 11)
    OPTIONS_KNOB_WIDTH = 6,
    OPTIONS_KNOB_HEIGHT = 18,       // also the rows below the window that hold the knob
    OPTIONS_HINTS_TEXT_X = 14,      // baseline of "Helpful Hints: ON/OFF" (font 1), window pixels
    OPTIONS_HINTS_TEXT_Y = 40,
    OPTIONS_DIFFICULTY_TEXT_X = 12, // baseline of "Difficulty: ..." (font 1), window pixels
    OPTIONS_DIFFICULTY_TEXT_Y = 165,
};

enum OptionsArea {
    OPTIONS_BACK,            // back to the main menu
    OPTIONS_CONTROLS,        // the control configuration
    OPTIONS_HINTS,           // helpful hints on and off
    OPTIONS_DIFFICULTY,      // the next difficulty
    OPTIONS_EFFECTS_SLIDER,  // the effects knob's rows: a press or a drag sets the volume
    OPTIONS_MUSIC_SLIDER,    // the music knob's rows
    OPTIONS_AREAS,
};

// Window pixels (relative to its top-left corner).
extern const HitRect optionsAreas[OPTIONS_AREAS];

// ---- Name entry keyboard ------------------------------------------------------------------------------

enum {
    KEYBOARD_COLUMNS = 12,
    KEYBOARD_ROWS = 8,
    KEYBOARD_FIRST_CHAR = 32,  // the key at column c, row r types FIRST_CHAR + c + 12 r
    KEYBOARD_PITCH_X = 20,     // pixels between neighbouring keys
    KEYBOARD_PITCH_Y = 14,
    KEYBOARD_TEXT_X = 5,       // baseline of the top-left key's character (font 1)
    KEYBOARD_TEXT_Y = 160,
};

// The top-left key's hit area, screen pixels; key (c, r) lies c x 20, r x 14 pixels further.
extern const HitRect keyboardKeyArea;

HitRect keyboardKeyRect(int column, int row);

// ---- Control configuration page -----------------------------------------------------------------------

// "CHEAT #2" between its two shimmering lines, page pixels: the lines run from left to right inclusive,
// one row below the top edge and on the bottom edge.
extern const HitRect controlCheatArea;
