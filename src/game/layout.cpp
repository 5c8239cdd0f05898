// The hit areas of the options window, the name-entry keyboard and the control configuration page.
#include "game/layout.h"

const HitRect optionsAreas[OPTIONS_AREAS] = {
    {144, 4, 195, 21},                                    // OPTIONS_BACK
    {10, 125, 137, 152},                                  // OPTIONS_CONTROLS
    {ANY_X_LEFT, 30, ANY_X_RIGHT, 43},                    // OPTIONS_HINTS
    {10, 153, 197, 168},                                  // OPTIONS_DIFFICULTY
    {ANY_X_LEFT, 72, ANY_X_RIGHT, 72 + OPTIONS_KNOB_HEIGHT},   // OPTIONS_EFFECTS_SLIDER
    {ANY_X_LEFT, 103, ANY_X_RIGHT, 103 + OPTIONS_KNOB_HEIGHT}, // OPTIONS_MUSIC_SLIDER
};

const HitRect keyboardKeyArea = {2, 151, 13, 163};

const HitRect controlCheatArea = {365, 295, 435, 308};

int hitRectContains(const HitRect& r, int32_t x, int32_t y) {
    return x > r.left && x < r.right && y > r.top && y < r.bottom;
}

HitRect keyboardKeyRect(int column, int row) {
    int32_t dx = KEYBOARD_PITCH_X * column, dy = KEYBOARD_PITCH_Y * row;
    const HitRect& k = keyboardKeyArea;
    return HitRect{k.left + dx, k.top + dy, k.right + dx, k.bottom + dy};
}
