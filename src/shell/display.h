// The display: single-instance check, application window, framebuffer console, present.
#pragma once

#include <cstdint>

struct Surface;  // gfx/surface.h: the display only passes the back surface on

enum { DEFAULT_WIDTH = 240, DEFAULT_HEIGHT = 320 };

// What the rest of the program reads about the screen; filled by initDisplayInfo.
struct DisplayInfo {
    int32_t fullscreen;
    int32_t width, height;   // logical screen, pixels
    int32_t verticalMemory;  // 1: screen columns are contiguous in memory
    int32_t landscape;
    int32_t bitsPerPixel;
    int32_t format;
    int32_t xStep, yStep;    // pixels between horizontally / vertically adjacent pixels
    int32_t fullscreenFlag;  // 0 in the windowed build, 1 in the fullscreen build (set by the entry point)
    int32_t appWindow;       // the application window: nonzero once it is open (the platform has one)
};

extern DisplayInfo displayInfo;

// Opens the window and the console; returns the window handle, 0 on failure.
int openDisplay(const char* title);
void initDisplayInfo(void);
// Once a second: a window scale the player resized to is kept in the desktop options for the next start.
void rememberWindowScale(void);
// Copies the back surface to the screen; does nothing once the quit flag is set.
int presentSurface(const Surface* back);
