// The SDL key map: every key with a virtual-key code sends it.
#include <gtest/gtest.h>

#include "platform/sdl/sdl_keys.h"

TEST(KeyMap, KeysWithAVirtualKeyCodeSendIt) {
    static const struct {
        SDL_Keycode key;
        uint32_t vk;
    } cases[] = {
        {SDLK_a, 'A'},         {SDLK_z, 'Z'},          {SDLK_0, '0'},           {SDLK_9, '9'},
        {SDLK_F1, 112},        {SDLK_F12, 123},        {SDLK_F13, 124},         {SDLK_F18, 129},
        {SDLK_F24, 135},       {SDLK_PRINTSCREEN, 44}, {SDLK_PAUSE, 19},        {SDLK_SCROLLLOCK, 145},
        {SDLK_NUMLOCKCLEAR, 144}, {SDLK_APPLICATION, 93}, {SDLK_MENU, 93},      {SDLK_LGUI, 91},
        {SDLK_RGUI, 92},       {SDLK_KP_0, 96},        {SDLK_KP_5, 101},        {SDLK_KP_9, 105},
        {SDLK_KP_MULTIPLY, 106}, {SDLK_KP_PLUS, 107},  {SDLK_KP_MINUS, 109},    {SDLK_KP_PERIOD, 110},
        {SDLK_KP_DIVIDE, 111}, {SDLK_KP_ENTER, 13},    {SDLK_KP_EQUALS, 146},   {SDLK_KP_COMMA, 108},
        {SDLK_CLEAR, 12},      {SDLK_HELP, 47},        {SDLK_SELECT, 41},       {SDLK_RSHIFT, 16},
        {SDLK_RCTRL, 17},      {SDLK_RALT, 18},        {SDLK_LESS, 226},        {SDLK_VOLUMEUP, 175},
        {SDLK_AUDIOPLAY, 179}, {SDLK_AC_BACK, 166},    {SDLK_LEFT, 37},         {SDLK_QUOTE, 222},
        {SDLK_UP, 38},         {SDLK_RIGHT, 39},       {SDLK_DOWN, 40},         {SDLK_ESCAPE, 27},
        {SDLK_UNDO, 0},        {SDLK_UNKNOWN, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(virtualKeyOf(c.key), c.vk) << SDL_GetKeyName(c.key);
    }
}
