// Input: the window procedure, the stylus state, tap timing and the control table.
#pragma once

#include <cstdint>

enum {
    CONTROL_UP, CONTROL_DOWN, CONTROL_LEFT, CONTROL_RIGHT,
    CONTROL_ACTION, CONTROL_ESCAPE, CONTROL_SCREENSHOT, CONTROL_SUSPEND,
    CONTROL_COUNT
};
enum { ACTION_BUTTON_CODE = 134 };

// The stylus (the mouse on the desktop) as the window procedure last saw it.
struct Stylus {
    int32_t x = 0, y = 0;         // logical screen pixels
    int32_t down = 0;             // 1 while the button is held
    int64_t lastPress = 0;        // performance-counter ticks at the last press
    int64_t lastRelease = 0;      // performance-counter ticks at the last release
    int32_t quickTap = 0;         // 1 while handling a release less than 1/8 s after its press
};

extern Stylus stylus;
// Virtual-key codes: up, down, left, right, action, escape, screenshot, suspend.
extern int32_t controlKeys[CONTROL_COUNT];
// The handheld's hardware button codes; only the action button (134) is read.
extern int32_t buttonCodes[1];

// Whether the stylus steers the paddle now: while the button is held, or with follow_pointer on, once
// the pointer has moved and until a direction key is pressed.
int32_t stylusSteers(void);

void loadButtonCodes(void);
void setDefaultControlKeys(void);
// On (the default): the game suspends, as the suspend key does, when its window is minimised or loses
// the focus during play.
void setPauseWhenAway(bool on);
// Moves the stylus by the gamepad's left stick on screens that show the stylus cursor; once a
// main-loop pass.
void stepGamepadPointer(void);
// What the pointer carries from pass to pass besides the stylus values (a replay's saved state).
struct PointerCarry {
    int32_t leads;           // follow_pointer: 1 since the pointer last moved
    int64_t padClock;        // performance-counter ticks of the last gamepad pointer step
    int64_t padX, padY;      // pixels in 1/32768 the gamepad pointer has not moved yet
};
void readPointerCarry(PointerCarry* out);
void writePointerCarry(const PointerCarry& in);
// The application window's procedure (messages numbered as in platform.h).
int32_t windowProc(int32_t message, uint32_t wParam, int32_t lParam);
