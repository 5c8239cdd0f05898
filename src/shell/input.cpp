// The window procedure: close sequence, stylus mapping for both builds, key translation, tap timing.
#include "shell/input.h"

#include "game/gamevalues.h"
#include "platform/platform.h"
#include "shell/display.h"
#include "shell/mainloop.h"
#include "shell/overlay.h"

int32_t stylusX, stylusY;
int32_t stylusDown;
int64_t lastPress, lastRelease;
int32_t quickTap;
int32_t controlKeys[CONTROL_COUNT] = {38, 40, 37, 39, 32, 27, 13, 0};
int32_t buttonCodes[1];
static bool pauseWhenAway = true;

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
    if (fullscreenFlag) {
        stylusX = clampInt(x - 200, 0, DEFAULT_WIDTH - 1);
        stylusY = clampInt(y - 80, 0, DEFAULT_HEIGHT - 1);
        return;
    }
    int clientWidth = 0, clientHeight = 0;
    platformClientSize(&clientWidth, &clientHeight);
    if (clientWidth > 0) {
        stylusX = x * DEFAULT_WIDTH / clientWidth;
    }
    if (clientHeight > 0) {
        stylusY = y * DEFAULT_HEIGHT / clientHeight;
    }
}

static void inputBody(int32_t message, uint32_t wParam, int32_t lParam) {
    int32_t value = 0;
    if (message >= MSG_MOUSEMOVE && message <= MSG_LBUTTONUP) {
        mapStylus(lParam);
        if (message == MSG_LBUTTONDOWN) {
            stylusDown = 1;
        } else if (message == MSG_LBUTTONUP) {
            stylusDown = 0;
        }
        value = lParam;
    } else {
        uint16_t translated = (uint16_t)(wParam & 0xFFFF);
        platformToAscii(wParam, ((uint32_t)lParam >> 16) & 0xFF, &translated);
        value = (int16_t)translated;
    }
    quickTap = 0;
    if (message == MSG_LBUTTONDOWN) {
        lastPress = platformCounter();
    } else if (message == MSG_LBUTTONUP) {
        lastRelease = platformCounter();
        if (lastRelease - lastPress < (ticksPerSecond >> 3)) {
            quickTap = 1;
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

int32_t windowProc(int32_t message, uint32_t wParam, int32_t lParam) {
    switch (message) {
    case MSG_DESTROY:
        platformPostQuitMessage(0);
        return 0;
    case MSG_CLOSE:
        quitRequested = 1;
        platformPostMessage(MSG_DESTROY, 0, 0);
        return 0;
    case MSG_ACTIVATEAPP:
        // A player who switches away mid-level comes back to the same ball, not to "Game Over".
        if (wParam == 0 && pauseWhenAway && appActive == 1 && currentMode == MODE_PLAY) {
            setAppActive(0);
        }
        return 0;
    case MSG_KEYDOWN:
    case MSG_KEYUP:
    case MSG_MOUSEMOVE:
    case MSG_LBUTTONDOWN:
    case MSG_LBUTTONUP:
        inputBody(message, wParam, lParam);
        return 0;
    default:
        return 0;
    }
}
