// Gamepads: open as they are plugged in; buttons, d-pad and the left stick become key messages.
#include "platform/sdl/sdl_gamepad.h"

#include <cstdlib>

#include "platform/journal.h"
#include "platform/platform.h"

namespace {

enum {
    MAX_PADS = 8,
    STICK_PRESS = 16384,    // the stick's direction key goes down past half way out
    STICK_RELEASE = 12288,  // and up again inside three eighths: no chatter at the edge
};

struct PadState {
    SDL_GameController* pads[MAX_PADS];
    SDL_JoystickID lastUsed;  // the pad whose stick platformGamepadStick reports
    int stickX, stickY;       // that stick, -32768..32767
    bool stickHeld[4];        // up, down, right, left keys down
};

PadState pad = {{}, -1, 0, 0, {}};

uint32_t buttonKey(int button) {
    switch (button) {
    case SDL_CONTROLLER_BUTTON_A: return VK_GAMEPAD_A;
    case SDL_CONTROLLER_BUTTON_B: return VK_GAMEPAD_B;
    case SDL_CONTROLLER_BUTTON_X: return VK_GAMEPAD_X;
    case SDL_CONTROLLER_BUTTON_Y: return VK_GAMEPAD_Y;
    case SDL_CONTROLLER_BUTTON_BACK: return VK_GAMEPAD_VIEW;
    case SDL_CONTROLLER_BUTTON_START: return VK_GAMEPAD_MENU;
    case SDL_CONTROLLER_BUTTON_LEFTSTICK: return VK_GAMEPAD_LEFT_THUMBSTICK_BUTTON;
    case SDL_CONTROLLER_BUTTON_RIGHTSTICK: return VK_GAMEPAD_RIGHT_THUMBSTICK_BUTTON;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return VK_GAMEPAD_LEFT_SHOULDER;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: return VK_GAMEPAD_RIGHT_SHOULDER;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return VK_GAMEPAD_DPAD_UP;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return VK_GAMEPAD_DPAD_DOWN;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return VK_GAMEPAD_DPAD_LEFT;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return VK_GAMEPAD_DPAD_RIGHT;
    default: return 0;
    }
}

// Moves one of the stick's direction keys down or up as the axis crosses the thresholds.
void stickKey(int direction, bool out) {
    static const uint32_t keys[4] = {VK_GAMEPAD_LEFT_THUMBSTICK_UP, VK_GAMEPAD_LEFT_THUMBSTICK_DOWN,
                                     VK_GAMEPAD_LEFT_THUMBSTICK_RIGHT, VK_GAMEPAD_LEFT_THUMBSTICK_LEFT};
    if (out != pad.stickHeld[direction]) {
        pad.stickHeld[direction] = out;
        platformPostMessage(out ? MSG_KEYDOWN : MSG_KEYUP, keys[direction], 0);
    }
}

void stickAxis(int negative, int positive, int value) {
    stickKey(negative, pad.stickHeld[negative] ? value < -STICK_RELEASE : value <= -STICK_PRESS);
    stickKey(positive, pad.stickHeld[positive] ? value > STICK_RELEASE : value >= STICK_PRESS);
}

void openPad(int deviceIndex) {
    if (!SDL_IsGameController(deviceIndex)) {
        return;
    }
    for (SDL_GameController*& slot : pad.pads) {
        if (slot == nullptr) {
            slot = SDL_GameControllerOpen(deviceIndex);
            return;
        }
    }
}

void closePad(SDL_JoystickID id) {
    for (SDL_GameController*& slot : pad.pads) {
        if (slot != nullptr && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(slot)) == id) {
            SDL_GameControllerClose(slot);
            slot = nullptr;
        }
    }
    if (id == pad.lastUsed) {
        // A pad pulled out with its stick held must not leave a direction key down.
        pad.stickX = pad.stickY = 0;
        for (int d = 0; d < 4; d++) {
            stickKey(d, false);
        }
        pad.lastUsed = -1;
    }
}

}  // namespace

int gamepadStart(void) {
    return SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
}

int gamepadEvent(const SDL_Event& e) {
    switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED:
        openPad(e.cdevice.which);
        return 1;
    case SDL_CONTROLLERDEVICEREMOVED:
        closePad(e.cdevice.which);
        return 1;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        uint32_t vk = buttonKey(e.cbutton.button);
        if (vk != 0) {
            platformPostMessage(e.type == SDL_CONTROLLERBUTTONDOWN ? MSG_KEYDOWN : MSG_KEYUP, vk, 0);
        }
        return 1;
    }
    case SDL_CONTROLLERAXISMOTION:
        if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX || e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) {
            if (e.caxis.which != pad.lastUsed) {
                pad.lastUsed = e.caxis.which;
                pad.stickX = pad.stickY = 0;
            }
            if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) {
                pad.stickX = e.caxis.value;
                stickAxis(3, 2, e.caxis.value);
            } else {
                pad.stickY = e.caxis.value;
                stickAxis(0, 1, e.caxis.value);
            }
        }
        return 1;
    default:
        return 0;
    }
}

void platformGamepadStick(int* x, int* y) {
    *x = pad.stickX;
    *y = pad.stickY;
    journalStick(x, y);
}
