// Entry, start-up and the fixed-step main loop: 60 updates a second, at most 100 renders a second.
#pragma once

#include <atomic>
#include <cstdint>

// The loop's modes: each screen of the game is one; the game's operations get the current one.
enum {
    MODE_MAIN_MENU = 1,
    MODE_OPTIONS = 40,
    MODE_CONTROL_CONFIG = 41,
    MODE_HIGH_SCORES = 50,
    MODE_NAME_ENTRY = 51,
    MODE_FAREWELL = 60,
    MODE_EXIT = 61,
    MODE_INFO_PAGE = 70,
    MODE_LEVEL_SELECT = 109,
    MODE_PLAY = 110,
    MODE_NEXT_LEVEL = 112,
    MODE_LEVEL_DONE = 113,
    MODE_NEW_GAME = 114,
    MODE_GAME_OVER = 115,
    MODE_EDITOR = 200,
    MODE_SPLASH_LOGO = 500,
    MODE_SPLASH_MONKEY = 501,
    MODE_SPLASH_INTRO = 502,
};

// The loop's state that other modules read: the mode it runs, its flags and its clocks. The clocks
// count performance-counter ticks.
struct LoopState {
    int32_t currentMode = 0;         // MODE_ of the screen being run, 0 until the loop starts
    int32_t previousMode = 0;        // the mode entered last; differs from currentMode until the next pass
    int32_t quitRequested = 0;       // 1 once the close sequence asked the loop to end
    int32_t frameRendered = 0;       // 1 once the first frame was drawn (a pause then shows it dimmed)
    int32_t soundEnabled = 0;        // 1 once the sound device opened
    int64_t ticksPerSecond = 0;      // ticks in one second
    int64_t updateStep = 0;          // ticks per update (1/60 s)
    int64_t renderStep = 0;          // ticks per render slot (1/100 s)
    int64_t nowTicks = 0;            // tick count read at the top of this pass
    int64_t secondClock = 0;         // tick the current one-second count started at
    int64_t updateClock = 0;         // tick the last update was due at
    int64_t renderClock = 0;         // tick the last render was due at
    int32_t updatesThisSecond = 0;   // updates run since secondClock
    int32_t presentsThisSecond = 0;  // frames presented since secondClock
    int32_t updatesLastSecond = 0;   // updates in the last whole second (the overlay shows them)
    int32_t presentsLastSecond = 0;  // frames presented in the last whole second
};

extern LoopState mainLoop;

// 1 running, 0 suspended (0 until the loop starts). Atomic: the audio thread reads it to play silence
// while the program is suspended.
extern std::atomic<int32_t> appActive;
void setAppActive(int32_t value);

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
