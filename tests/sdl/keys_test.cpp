// The SDL key map: every key with a virtual-key code sends it.
#include <gtest/gtest.h>

#include "platform/sdl/sdl_keys.h"

TEST(KeyMap, KeysWithAVirtualKeyCodeSendIt) {
    static const struct {
        SDL_Keycode key;
        uint32_t vk;
    } cases[] = {
        {SDLK_a, 'A'},        {SDLK_z, 'Z'},         {SDLK_0, '0'},          {SDLK_9, '9'},
        {SDLK_F1, 112},       {SDLK_F12, 123},       {SDLK_F13, 124},        {SDLK_F24, 135},
        {SDLK_KP_0, 96},      {SDLK_KP_9, 105},      {SDLK_KP_ENTER, 13},    {SDLK_KP_EQUALS, 146},
        {SDLK_MENU, 93},      {SDLK_RSHIFT, 16},     {SDLK_LESS, 226},       {SDLK_QUOTE, 222},
        {SDLK_AC_BACK, 166},  {SDLK_ESCAPE, 27},     {SDLK_LEFT, 37},        {SDLK_UP, 38},
        {SDLK_RIGHT, 39},     {SDLK_DOWN, 40},       {SDLK_UNDO, 0},         {SDLK_UNKNOWN, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(virtualKeyOf(c.key), c.vk) << SDL_GetKeyName(c.key);
    }
}
