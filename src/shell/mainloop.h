// Entry, start-up and the fixed-step main loop: 60 updates a second, at most 100 renders a second.
#pragma once

#include <cstdint>

#include "gfx/surface.h"

extern char basePath[256];
extern char dataPath[256];    // "./Data/"
extern char soundPath[256];   // "./Sound/"
extern char customPath[256];  // "./Custom/"

extern int32_t currentMode;
extern int32_t previousMode;
extern int32_t appActive;      // 1 running, 0 suspended (0 until the loop starts)
// Changes appActive: the audio thread reads it to play silence while the program is suspended.
void setAppActive(int32_t value);
extern int32_t quitRequested;
extern int32_t frameRendered;
extern int64_t ticksPerSecond;
extern int64_t updateStep;     // ticks per update (1/60 s)
extern int64_t renderStep;     // ticks per render slot (1/100 s)
extern int64_t nowTicks;
extern int64_t secondClock, updateClock, renderClock;
extern int32_t updatesThisSecond, presentsThisSecond;
extern int32_t updatesLastSecond, presentsLastSecond;
extern int32_t soundEnabled;

// The back surface every frame is drawn into.
extern Surface* backSurface;
// The overlay's graphics sheet, also the small font.
extern Surface* smallCharsSheet;

// The game's operations as the loop calls them; they start as the game's own (game/game.h). Tests put
// their own in to watch the loop's order of calls.
struct GameInterface {
    void (*init)(void);
    void (*shutdown)(void);
    void (*enter)(int32_t mode);
    void (*leave)(int32_t mode);
    int32_t (*update)(int32_t mode);
    int32_t (*render)(int32_t mode);
    void (*input)(int32_t message, uint32_t wParam, int32_t value);
};
extern GameInterface gameInterface;

// Puts the loop's values back to their process-start state (tests that run the loop more than once).
void resetLoopState(void);

// Runs the whole program: start-up, the loop, shutdown. Returns the process exit code.
int runGame(void);
