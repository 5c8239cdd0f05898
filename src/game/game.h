// What the shell calls in the game: one-time start-up, the per-mode operations, input, shutdown.
#pragma once

#include <cstdint>

// One-time initialisation after the display and sound are up; sets the first mode and the overlay off.
void gameInit(void);
// Called once after the loop has ended.
void gameShutdown(void);
void enterMode(int32_t mode);
void leaveMode(int32_t mode);
// One fixed update of 1/60 s; returns the mode to run next.
int32_t updateMode(int32_t mode);
// Draws the frame of `mode` into the back surface; returns the mode to run next.
int32_t renderMode(int32_t mode);
// A key or mouse message after the window procedure has updated the stylus state.
void handleInput(int32_t message, uint32_t wParam, int32_t value);
