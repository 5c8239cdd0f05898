// Gamepads: open as they are plugged in; buttons, d-pad and the left stick become key messages.
#include "platform/sdl/sdl_gamepad.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

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

// The scripted pad of the window tests: SDL's virtual controller, set from lines read off a FIFO.
struct VirtualPad {
    int fd;                 // the FIFO, non-blocking; -1 when there is none
    SDL_Joystick* joystick;
    char line[64];          // the line read so far
    int length;             // bytes in line; -1 while the rest of an overlong line is skipped
};

VirtualPad virtualPad = {-1, nullptr, {}, 0};

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

// One command: a button or axis by its SDL name and a value ("a 1", "dpleft 0", "leftx -32768").
void virtualPadCommand(const char* line) {
    char name[32];
    int value = 0;
    if (sscanf(line, "%31s %d", name, &value) != 2) {
        fprintf(stderr, "Plinkor: virtual pad: ignored \"%s\"\n", line);
        return;
    }
    SDL_GameControllerButton button = SDL_GameControllerGetButtonFromString(name);
    SDL_GameControllerAxis axis = SDL_GameControllerGetAxisFromString(name);
    if (button != SDL_CONTROLLER_BUTTON_INVALID) {
        SDL_JoystickSetVirtualButton(virtualPad.joystick, button, value != 0 ? 1 : 0);
    } else if (axis != SDL_CONTROLLER_AXIS_INVALID) {
        value = value < -32768 ? -32768 : (value > 32767 ? 32767 : value);
        SDL_JoystickSetVirtualAxis(virtualPad.joystick, axis, (Sint16)value);
    } else {
        fprintf(stderr, "Plinkor: virtual pad: no button or axis \"%s\"\n", name);
        return;
    }
    // Its events are queued now: a press and a release in one read stay two events.
    SDL_JoystickUpdate();
}

// PLINKOR_VIRTUAL_PAD=FIFO plugs in a virtual controller that the lines written to FIFO drive.
void attachVirtualPad(void) {
    const char* path = getenv("PLINKOR_VIRTUAL_PAD");
    if (path == nullptr || path[0] == 0) {
        return;
    }
    int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                          SDL_CONTROLLER_BUTTON_MAX, 0);
    if (index < 0) {
        fprintf(stderr, "Plinkor: virtual pad: %s\n", SDL_GetError());
        return;
    }
    virtualPad.joystick = SDL_JoystickOpen(index);
    virtualPad.fd = open(path, O_RDONLY | O_NONBLOCK);
    if (virtualPad.joystick == nullptr || virtualPad.fd < 0) {
        fprintf(stderr, "Plinkor: virtual pad: cannot open %s\n", path);
    }
}

}  // namespace

int gamepadStart(void) {
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        return 0;
    }
    attachVirtualPad();
    return 1;
}

void gamepadPoll(void) {
    if (virtualPad.fd < 0 || virtualPad.joystick == nullptr) {
        return;
    }
    // A bounded read a pass: a writer flooding the FIFO cannot hold up the game.
    char bytes[256];
    ssize_t got = read(virtualPad.fd, bytes, sizeof(bytes));
    for (ssize_t i = 0; i < got; i++) {
        if (bytes[i] == '\n') {
            if (virtualPad.length > 0) {
                virtualPad.line[virtualPad.length] = 0;
                virtualPadCommand(virtualPad.line);
            } else if (virtualPad.length < 0) {
                fprintf(stderr, "Plinkor: virtual pad: ignored an overlong line\n");
            }
            virtualPad.length = 0;
        } else if (virtualPad.length >= 0 && virtualPad.length < (int)sizeof(virtualPad.line) - 1) {
            virtualPad.line[virtualPad.length++] = bytes[i];
        } else {
            virtualPad.length = -1;
        }
    }
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
