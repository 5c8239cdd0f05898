// The window procedure: close sequence, stylus mapping for both builds, key translation, tap timing.
#include "shell/input.h"

#include "platform/platform.h"
#include "shell/desktop.h"
#include "shell/display.h"
#include "shell/mainloop.h"
#include "shell/overlay.h"

Stylus stylus;
int32_t controlKeys[CONTROL_COUNT] = {38, 40, 37, 39, 32, 27, 13, 0};
int32_t buttonCodes[1];
// follow_pointer: 1 since the pointer last moved, 0 since a direction key was last pressed.
static int32_t pointerLeads;
static bool pauseWhenAway = true;

int32_t stylusSteers(void) {
    return stylus.down == 1 || (desktopOptions.followPointer && pointerLeads);
}

void setPauseWhenAway(bool on) {
    pauseWhenAway = on;
}

void loadButtonCodes(void) {
    buttonCodes[0] = ACTION_BUTTON_CODE;
}

void setDefaultControlKeys(void) {
    static const int32_t defaults[CONTROL_COUNT] = {38, 40, 37, 39, 32, 27, 13, 0};
    for (int i = 0; i < CONTROL_COUNT; i++) {
        controlKeys[i] = defaults[i];
    }
}

static int32_t clampInt(int32_t v, int32_t lo, int32_t hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

// Maps a client position to the 240 x 320 screen. A zero-sized client area (minimised) keeps the
// last position rather than dividing by zero.
static void mapStylus(int32_t lParam) {
    int32_t x = (int32_t)((uint32_t)lParam & 0xFFFF);
    int32_t y = (int32_t)(((uint32_t)lParam >> 16) & 0xFFFF);
    if (displayInfo.fullscreenFlag) {
        stylus.x = clampInt(x - 200, 0, DEFAULT_WIDTH - 1);
        stylus.y = clampInt(y - 80, 0, DEFAULT_HEIGHT - 1);
        return;
    }
    int clientWidth = 0, clientHeight = 0;
    platformClientSize(&clientWidth, &clientHeight);
    if (clientWidth > 0) {
        stylus.x = x * DEFAULT_WIDTH / clientWidth;
    }
    if (clientHeight > 0) {
        stylus.y = y * DEFAULT_HEIGHT / clientHeight;
    }
}

// `placed`: a gamepad's pointer message, whose stylus position is set already.
static void inputBody(int32_t message, uint32_t wParam, int32_t lParam, bool placed = false) {
    int32_t value = 0;
    if (message == MSG_MOUSEMOVE) {
        pointerLeads = 1;
    } else if (message == MSG_KEYDOWN) {
        int32_t key = (int16_t)(wParam & 0xFFFF);
        for (int i = CONTROL_UP; i <= CONTROL_RIGHT; i++) {
            if (key == controlKeys[i]) {
                pointerLeads = 0;
            }
        }
    }
    if (message >= MSG_MOUSEMOVE && message <= MSG_LBUTTONUP) {
        if (!placed) {
            mapStylus(lParam);
        }
        if (message == MSG_LBUTTONDOWN) {
            stylus.down = 1;
        } else if (message == MSG_LBUTTONUP) {
            stylus.down = 0;
        }
        value = lParam;
    } else {
        uint16_t translated = (uint16_t)(wParam & 0xFFFF);
        platformToAscii(wParam, ((uint32_t)lParam >> 16) & 0xFF, &translated);
        value = (int16_t)translated;
    }
    stylus.quickTap = 0;
    if (message == MSG_LBUTTONDOWN) {
        stylus.lastPress = platformCounter();
    } else if (message == MSG_LBUTTONUP) {
        stylus.lastRelease = platformCounter();
        if (stylus.lastRelease - stylus.lastPress < (mainLoop.ticksPerSecond >> 3)) {
            stylus.quickTap = 1;
        }
    }
    if (message == MSG_KEYUP && (int16_t)(wParam & 0xFFFF) == buttonCodes[0]) {
        return;
    }
    if (message == MSG_LBUTTONDOWN && appActive == 0) {
        setAppActive(1);
        return;
    }
    if (overlay.off == 0 && overlayInput(message, wParam, lParam)) {
        return;
    }
    gameInterface.input(message, wParam, value);
}

// ---- Gamepad ----------------------------------------------------------------------------------------

enum {
    PAD_DEAD_ZONE = 6000,           // stick values nearer the centre do not move the pointer
    PAD_POINTER_SPEED = 240,        // screen pixels a second at full deflection
};

static int64_t padPointerClock;    // performance-counter ticks of the last pointer step
static int64_t padPointerX, padPointerY;  // pixels in 1/32768, the part not yet moved

// The pad's stylus message at the stylus position, as the mouse's would arrive.
static void padStylus(int32_t message) {
    int32_t position = (int32_t)(((uint32_t)stylus.y & 0xFFFF) << 16 | ((uint32_t)stylus.x & 0xFFFF));
    uint32_t buttons = message == MSG_LBUTTONUP ? 0u : (message == MSG_LBUTTONDOWN || stylus.down ? 1u : 0u);
    inputBody(message, buttons, position, true);
}

void readPointerCarry(PointerCarry* out) {
    *out = PointerCarry{pointerLeads, padPointerClock, padPointerX, padPointerY};
}

void writePointerCarry(const PointerCarry& in) {
    pointerLeads = in.leads;
    padPointerClock = in.padClock;
    padPointerX = in.padX;
    padPointerY = in.padY;
}

void stepGamepadPointer(void) {
    int64_t now = platformCounter();
    int64_t elapsed = now - padPointerClock;
    padPointerClock = now;
    int x = 0, y = 0;
    platformGamepadStick(&x, &y);
    if (!showStylusCursor || appActive != 1 || mainLoop.ticksPerSecond <= 0) {
        return;
    }
    x = x > -PAD_DEAD_ZONE && x < PAD_DEAD_ZONE ? 0 : x;
    y = y > -PAD_DEAD_ZONE && y < PAD_DEAD_ZONE ? 0 : y;
    if (x == 0 && y == 0) {
        padPointerX = padPointerY = 0;
        return;
    }
    // A long pass (a box, a slow machine) moves no further than a tenth of a second would.
    elapsed = elapsed < 0 ? 0 : (elapsed > mainLoop.ticksPerSecond / 10 ? mainLoop.ticksPerSecond / 10 : elapsed);
    padPointerX += (int64_t)x * PAD_POINTER_SPEED * elapsed / mainLoop.ticksPerSecond;
    padPointerY += (int64_t)y * PAD_POINTER_SPEED * elapsed / mainLoop.ticksPerSecond;
    int32_t dx = (int32_t)(padPointerX / 32768), dy = (int32_t)(padPointerY / 32768);
    padPointerX -= (int64_t)dx * 32768;
    padPointerY -= (int64_t)dy * 32768;
    int32_t nx = clampInt(stylus.x + dx, 0, DEFAULT_WIDTH - 1), ny = clampInt(stylus.y + dy, 0, DEFAULT_HEIGHT - 1);
    if (nx != stylus.x || ny != stylus.y) {
        stylus.x = nx;
        stylus.y = ny;
        padStylus(MSG_MOUSEMOVE);
    }
}

// The control a gamepad key stands for; -1 for none.
static int padControl(uint32_t vk) {
    switch (vk) {
    case VK_GAMEPAD_DPAD_UP: case VK_GAMEPAD_LEFT_THUMBSTICK_UP: return CONTROL_UP;
    case VK_GAMEPAD_DPAD_DOWN: case VK_GAMEPAD_LEFT_THUMBSTICK_DOWN: return CONTROL_DOWN;
    case VK_GAMEPAD_DPAD_LEFT: case VK_GAMEPAD_LEFT_THUMBSTICK_LEFT: return CONTROL_LEFT;
    case VK_GAMEPAD_DPAD_RIGHT: case VK_GAMEPAD_LEFT_THUMBSTICK_RIGHT: return CONTROL_RIGHT;
    case VK_GAMEPAD_A: case VK_GAMEPAD_X: return CONTROL_ACTION;
    case VK_GAMEPAD_B: return CONTROL_ESCAPE;
    default: return -1;
    }
}

static bool isStickKey(uint32_t vk) {
    return vk >= VK_GAMEPAD_LEFT_THUMBSTICK_UP && vk <= VK_GAMEPAD_LEFT_THUMBSTICK_LEFT;
}

// A gamepad key becomes what the player's keys or stylus would send: the d-pad and (where the stylus
// cursor is hidden) the stick are the direction keys, A the action key, B escape, Start suspend. Where
// the stylus cursor shows, the stick moves it and A taps; A or Start also wakes a suspended game. X is
// the action key everywhere, so that the editor's stamping and erasing (the action key held while the
// stylus moves) can be done from the pad too.
static void gamepadKey(int32_t message, uint32_t vk) {
    bool pointer = showStylusCursor != 0;
    if (vk == VK_GAMEPAD_A && (pointer || appActive == 0)) {
        padStylus(message == MSG_KEYDOWN ? MSG_LBUTTONDOWN : MSG_LBUTTONUP);
        return;
    }
    if (vk == VK_GAMEPAD_MENU) {
        if (message == MSG_KEYDOWN) {
            setAppActive(appActive == 0 || mainLoop.currentMode == MODE_CONTROL_CONFIG ? 1 : 0);
        }
        return;
    }
    if (pointer && isStickKey(vk)) {
        return;
    }
    int control = padControl(vk);
    if (control >= 0 && controlKeys[control] != 0) {
        inputBody(message, (uint32_t)controlKeys[control], 0);
    }
}

int32_t windowProc(int32_t message, uint32_t wParam, int32_t lParam) {
    switch (message) {
    case MSG_DESTROY:
        platformPostQuitMessage(0);
        return 0;
    case MSG_CLOSE:
        mainLoop.quitRequested = 1;
        platformPostMessage(MSG_DESTROY, 0, 0);
        return 0;
    case MSG_ACTIVATEAPP:
        // A player who switches away mid-level comes back to the same ball, not to "Game Over".
        if (wParam == 0 && pauseWhenAway && appActive == 1 && mainLoop.currentMode == MODE_PLAY) {
            setAppActive(0);
        }
        return 0;
    case MSG_KEYDOWN:
    case MSG_KEYUP:
        if (wParam >= VK_GAMEPAD_A && wParam <= VK_GAMEPAD_LEFT_THUMBSTICK_LEFT) {
            gamepadKey(message, wParam);
        } else {
            inputBody(message, wParam, lParam);
        }
        return 0;
    case MSG_MOUSEMOVE:
    case MSG_LBUTTONDOWN:
    case MSG_LBUTTONUP:
        inputBody(message, wParam, lParam);
        return 0;
    default:
        return 0;
    }
}
