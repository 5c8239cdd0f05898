// Gamepads on the SDL backend: a virtual pad plugged in, pressed, steered and pulled out sends the key
// messages and stick position the game reads.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/sdl_gamepad.h"

namespace {

// Every message waiting, as (message, wParam).
std::vector<std::pair<int32_t, uint32_t>> drain(void) {
    std::vector<std::pair<int32_t, uint32_t>> got;
    PlatformMessage msg;
    while (platformPeekMessage(&msg)) {
        got.push_back({msg.message, msg.wParam});
    }
    return got;
}

SDL_Joystick* plugIn(void) {
    int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                          SDL_CONTROLLER_BUTTON_MAX, 0);
    EXPECT_GE(index, 0) << SDL_GetError();
    SDL_Joystick* joystick = SDL_JoystickOpen(index);
    drain();  // the pad is opened as it arrives
    return joystick;
}

}  // namespace

TEST(SdlGamepad, AVirtualPadSendsKeysAndItsStick) {
    ASSERT_EQ(gamepadStart(), 1) << SDL_GetError();
    for (int plugging = 0; plugging < 2; plugging++) {  // a pad plugged in again works again
        SDL_Joystick* joystick = plugIn();
        ASSERT_NE(joystick, nullptr);
        static const struct {
            int button;  // -1: the left stick's x axis to `value`
            int value;
            std::vector<std::pair<int32_t, uint32_t>> sent;
        } cases[] = {
            {SDL_CONTROLLER_BUTTON_A, 1, {{MSG_KEYDOWN, VK_GAMEPAD_A}}},
            {SDL_CONTROLLER_BUTTON_A, 0, {{MSG_KEYUP, VK_GAMEPAD_A}}},
            {SDL_CONTROLLER_BUTTON_START, 1, {{MSG_KEYDOWN, VK_GAMEPAD_MENU}}},
            {-1, 20000, {{MSG_KEYDOWN, VK_GAMEPAD_LEFT_THUMBSTICK_RIGHT}}},
            {-1, 14000, {}},  // still held: it lets go only inside three eighths
            {-1, 10000, {{MSG_KEYUP, VK_GAMEPAD_LEFT_THUMBSTICK_RIGHT}}},
            {-1, 15000, {}},  // not yet half way out
            {-1, -32768, {{MSG_KEYDOWN, VK_GAMEPAD_LEFT_THUMBSTICK_LEFT}}},
        };
        for (const auto& c : cases) {
            if (c.button >= 0) {
                SDL_JoystickSetVirtualButton(joystick, c.button, (Uint8)c.value);
            } else {
                SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, (Sint16)c.value);
            }
            EXPECT_EQ(drain(), c.sent) << "button " << c.button << " value " << c.value;
        }
        int x = 0, y = 0;
        platformGamepadStick(&x, &y);
        EXPECT_EQ(x, -32768);
        EXPECT_EQ(y, 0);
        // Pulled out with the stick held left: its key goes up and the stick reads the centre.
        SDL_JoystickClose(joystick);
        SDL_JoystickDetachVirtual(0);
        auto sent = drain();
        EXPECT_NE(std::find(sent.begin(), sent.end(), std::make_pair((int32_t)MSG_KEYUP,
                                                                     (uint32_t)VK_GAMEPAD_LEFT_THUMBSTICK_LEFT)),
                  sent.end());
        platformGamepadStick(&x, &y);
        EXPECT_EQ(x, 0);
    }
}
