// Desktop options: the player's comfort choices from Data/desktop.ini and the command line.
#pragma once

#include <cstddef>
#include <cstdint>

enum {
    DESKTOP_SCALE_AUTO = 0,   // the largest whole scale that fits the desktop
    DESKTOP_SCALE_MAX = 8,
    DESKTOP_FILE_LIMIT = 1 << 20,  // bytes: a larger file is left alone, never rewritten
    DESKTOP_FLAGS_RUN = -1,   // readDesktopFlags: go on and start the game
};

struct DesktopOptions {
    // 1: the paddle follows the pointer whenever it moves over the window, no button held
    // (until a direction key is pressed); 0: the stylus steers only while the button is held.
    int32_t followPointer;
    // 1: the game suspends when its window is minimised or loses focus during play.
    int32_t pauseWhenAway;
    // 1: straight to the main menu once loading is done; 0: the three splash screens.
    int32_t skipIntro;
    // Window size in whole multiples of the 240 x 320 frame, 1..8; 0: the largest that fits the desktop.
    int32_t scale;
    // 1: a soft sound when the ball meets the paddle; 0: the paddle is silent.
    int32_t paddleSound;
    // 1: the windowed build starts in desktop fullscreen.
    int32_t fullscreen;
};

// The options in force; loadDesktopOptions fills them at start-up.
extern DesktopOptions desktopOptions;

void setDefaultDesktopOptions(DesktopOptions* options);
// Parses the text of a desktop.ini over `options`: "key = value" lines, "#" starts a comment, blank lines
// and unknown keys pass, a bad value leaves the option as it was and logs a warning naming the line.
// `source` names the text in warnings. Returns the number of warnings.
int parseDesktopOptions(const char* text, size_t length, DesktopOptions* options, const char* source);

// Reads the command line. Flags set options for this run only, over what the file says. Returns
// DESKTOP_FLAGS_RUN to start the game, or the exit code (0 after --help, 2 after a bad flag, with the
// message printed).
int readDesktopFlags(int argc, char** argv);
// Forgets the flags read (tests that read several command lines in one process).
void clearDesktopFlags(void);

// The options file's path: "<data path>desktop.ini".
void desktopOptionsPath(char* out, size_t size);
// Start-up: defaults, then the file (a missing file is not an error and is not created), then the flags.
void loadDesktopOptions(void);
// Keeps a new window scale (1..8, or 0 for automatic) in force and in the file: every other line is
// written back as it was; the file is made only now if it did not exist. Returns 1 when saved.
int rememberDesktopScale(int32_t scale);
