// How the SDL backend shows the console in the window: the path chosen per machine, the frame's place
// in the window, pacing, the fullscreen toggle and the desktop pointer over the frame.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "platform/present.h"

enum {
    PRESENT_GL = 0,        // SDL's accelerated renderer (a GL context), synchronised with the refresh
    PRESENT_SOFTWARE = 1,  // SDL's software renderer on the window's pixels
    PRESENT_DIRECT = 2,    // our scaler straight into the window's pixels, no renderer at all
};

// Chooses the path before the window exists: PLINKOR_PRESENT=gl|software|direct when set, else GL only
// when the machine's GL renderer is real hardware. Returns the window flags the path needs.
Uint32 presentChoosePath(void);
int presentPath(void);
// Sets up the chosen path on the new window; fullscreen 1 for the fullscreen build. Returns 1 on success.
int presentOpen(SDL_Window* window, int fullscreen, int refreshHz);
// The console's size in frame pixels, known once its options are read.
void presentConsoleSize(int width, int height);
// The frame to show next (the console surface's pixels, which stay valid).
void presentCopy(const uint16_t* pixels);
// Shows the frame given since the last call, paced to the refresh; does nothing when none was given.
void presentShow(void);
// Shows the last frame again at once (the window was uncovered, resized or switched).
void presentRedraw(void);
// Where the frame lies in the window, in the coordinates of mouse events.
FrameLayout presentWindowLayout(void);
// Alt+Enter and F11 in the windowed build switch between the window and desktop fullscreen. Returns
// 1 when the key event was taken for that (its release is taken too).
int presentToggleKey(const SDL_KeyboardEvent& key);
// The desktop pointer is hidden over the frame while the game draws its own cursor.
void presentPointerOwn(int drawn);
void presentPointerAt(int x, int y);
