// Gamepads on the SDL backend: a virtual pad plugged in, pressed, steered and pulled out sends the key
// messages and stick position the game reads; the scripted pad of the window tests follows its FIFO.
#include <gtest/gtest.h>

#include <SDL.h>

#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
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
            {SDL_CONTROLLER_BUTTON_B, 1, {{MSG_KEYDOWN, VK_GAMEPAD_B}}},
            {SDL_CONTROLLER_BUTTON_START, 1, {{MSG_KEYDOWN, VK_GAMEPAD_MENU}}},
            {SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1, {{MSG_KEYDOWN, VK_GAMEPAD_DPAD_LEFT}}},
            {SDL_CONTROLLER_BUTTON_DPAD_UP, 1, {{MSG_KEYDOWN, VK_GAMEPAD_DPAD_UP}}},
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

// The window tests' scripted pad: lines written to the FIFO named by PLINKOR_VIRTUAL_PAD press its
// buttons and move its stick, a line split across writes included; a press and a release in one write
// stay two key messages; lines naming nothing, and overlong ones, are dropped.
TEST(SdlGamepad, TheVirtualPadFollowsItsFifo) {
    char folder[] = "/tmp/plinkor-pad-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    std::string fifo = std::string(folder) + "/pad";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    setenv("PLINKOR_VIRTUAL_PAD", fifo.c_str(), 1);
    ASSERT_EQ(gamepadStart(), 1) << SDL_GetError();
    int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    drain();  // the virtual pad arrives
    static const struct {
        std::string written;
        std::vector<std::pair<int32_t, uint32_t>> sent;
    } cases[] = {
        {"a 1\n", {{MSG_KEYDOWN, VK_GAMEPAD_A}}},
        {"a 0\nstart 1\nstart 0\n", {{MSG_KEYUP, VK_GAMEPAD_A}, {MSG_KEYDOWN, VK_GAMEPAD_MENU},
                                     {MSG_KEYUP, VK_GAMEPAD_MENU}}},
        {"dple", {}},
        {"ft 1\n", {{MSG_KEYDOWN, VK_GAMEPAD_DPAD_LEFT}}},
        {"leftx -40000\n", {{MSG_KEYDOWN, VK_GAMEPAD_LEFT_THUMBSTICK_LEFT}}},
        {"lefty 20000\n", {{MSG_KEYDOWN, VK_GAMEPAD_LEFT_THUMBSTICK_DOWN}}},
        {"jump 1\nb\n" + std::string(100, 'b') + " 1\n\nb 1\n", {{MSG_KEYDOWN, VK_GAMEPAD_B}}},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(write(writer, c.written.data(), c.written.size()), (ssize_t)c.written.size());
        EXPECT_EQ(drain(), c.sent) << c.written;
    }
    int x = 0, y = 0;
    platformGamepadStick(&x, &y);
    EXPECT_EQ(x, -32768);
    EXPECT_EQ(y, 20000);
    close(writer);
    unlink(fifo.c_str());
    rmdir(folder);
}
