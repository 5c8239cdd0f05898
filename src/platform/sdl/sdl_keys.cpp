// SDL key codes to virtual-key codes: every key that has one, so any of them can be a control key.
#include "platform/sdl/sdl_keys.h"

#include "platform/platform.h"

namespace {

struct KeyPair {
    SDL_Keycode key;
    uint32_t vk;
};

// Keys outside the letter, digit, function and keypad-digit runs, in virtual-key order.
const KeyPair namedKeys[] = {
    {SDLK_CANCEL, VK_CANCEL},
    {SDLK_BACKSPACE, VK_BACK},
    {SDLK_KP_BACKSPACE, VK_BACK},
    {SDLK_TAB, VK_TAB},
    {SDLK_KP_TAB, VK_TAB},
    {SDLK_CLEAR, VK_CLEAR},
    {SDLK_KP_CLEAR, VK_CLEAR},
    {SDLK_RETURN, VK_RETURN},
    {SDLK_RETURN2, VK_RETURN},
    {SDLK_KP_ENTER, VK_RETURN},
    {SDLK_LSHIFT, VK_SHIFT},
    {SDLK_RSHIFT, VK_SHIFT},
    {SDLK_LCTRL, VK_CONTROL},
    {SDLK_RCTRL, VK_CONTROL},
    {SDLK_LALT, VK_MENU},
    {SDLK_RALT, VK_MENU},
    {SDLK_MODE, VK_MENU},
    {SDLK_PAUSE, VK_PAUSE},
    {SDLK_CAPSLOCK, VK_CAPITAL},
    {SDLK_ESCAPE, VK_ESCAPE},
    {SDLK_SPACE, VK_SPACE},
    {SDLK_KP_SPACE, VK_SPACE},
    {SDLK_PAGEUP, VK_PRIOR},
    {SDLK_PAGEDOWN, VK_NEXT},
    {SDLK_END, VK_END},
    {SDLK_HOME, VK_HOME},
    {SDLK_LEFT, VK_LEFT},
    {SDLK_UP, VK_UP},
    {SDLK_RIGHT, VK_RIGHT},
    {SDLK_DOWN, VK_DOWN},
    {SDLK_SELECT, VK_SELECT},
    {SDLK_EXECUTE, VK_EXECUTE},
    {SDLK_PRINTSCREEN, VK_SNAPSHOT},
    {SDLK_INSERT, VK_INSERT},
    {SDLK_DELETE, VK_DELETE},
    {SDLK_HELP, VK_HELP},
    {SDLK_LGUI, VK_LWIN},
    {SDLK_RGUI, VK_RWIN},
    {SDLK_APPLICATION, VK_APPS},
    {SDLK_MENU, VK_APPS},
    {SDLK_SLEEP, VK_SLEEP},
    {SDLK_KP_0, VK_NUMPAD0},
    {SDLK_KP_MULTIPLY, VK_MULTIPLY},
    {SDLK_KP_PLUS, VK_ADD},
    {SDLK_KP_COMMA, VK_SEPARATOR},
    {SDLK_SEPARATOR, VK_SEPARATOR},
    {SDLK_KP_MINUS, VK_SUBTRACT},
    {SDLK_KP_PERIOD, VK_DECIMAL},
    {SDLK_KP_DECIMAL, VK_DECIMAL},
    {SDLK_KP_DIVIDE, VK_DIVIDE},
    {SDLK_NUMLOCKCLEAR, VK_NUMLOCK},
    {SDLK_SCROLLLOCK, VK_SCROLL},
    {SDLK_KP_EQUALS, VK_OEM_NEC_EQUAL},
    {SDLK_AC_BACK, VK_BROWSER_BACK},
    {SDLK_AC_FORWARD, VK_BROWSER_FORWARD},
    {SDLK_AC_REFRESH, VK_BROWSER_REFRESH},
    {SDLK_AC_STOP, VK_BROWSER_STOP},
    {SDLK_AC_SEARCH, VK_BROWSER_SEARCH},
    {SDLK_AC_BOOKMARKS, VK_BROWSER_FAVORITES},
    {SDLK_AC_HOME, VK_BROWSER_HOME},
    {SDLK_MUTE, VK_VOLUME_MUTE},
    {SDLK_AUDIOMUTE, VK_VOLUME_MUTE},
    {SDLK_VOLUMEDOWN, VK_VOLUME_DOWN},
    {SDLK_VOLUMEUP, VK_VOLUME_UP},
    {SDLK_AUDIONEXT, VK_MEDIA_NEXT_TRACK},
    {SDLK_AUDIOPREV, VK_MEDIA_PREV_TRACK},
    {SDLK_AUDIOSTOP, VK_MEDIA_STOP},
    {SDLK_AUDIOPLAY, VK_MEDIA_PLAY_PAUSE},
    {SDLK_MAIL, VK_LAUNCH_MAIL},
    {SDLK_MEDIASELECT, VK_LAUNCH_MEDIA_SELECT},
    {SDLK_COMPUTER, VK_LAUNCH_APP1},
    {SDLK_CALCULATOR, VK_LAUNCH_APP2},
    {SDLK_SEMICOLON, VK_OEM_1},
    {SDLK_EQUALS, VK_OEM_PLUS},
    {SDLK_COMMA, VK_OEM_COMMA},
    {SDLK_MINUS, VK_OEM_MINUS},
    {SDLK_PERIOD, VK_OEM_PERIOD},
    {SDLK_SLASH, VK_OEM_2},
    {SDLK_BACKQUOTE, VK_OEM_3},
    {SDLK_LEFTBRACKET, VK_OEM_4},
    {SDLK_BACKSLASH, VK_OEM_5},
    {SDLK_RIGHTBRACKET, VK_OEM_6},
    {SDLK_QUOTE, VK_OEM_7},
    {SDLK_LESS, VK_OEM_102},
    {SDLK_CRSEL, VK_CRSEL},
    {SDLK_EXSEL, VK_EXSEL},
};

}  // namespace

uint32_t virtualKeyOf(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) {
        return (uint32_t)('A' + (key - SDLK_a));
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return (uint32_t)('0' + (key - SDLK_0));
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return (uint32_t)(VK_F1 + (key - SDLK_F1));
    }
    if (key >= SDLK_F13 && key <= SDLK_F24) {
        return (uint32_t)(VK_F13 + (key - SDLK_F13));
    }
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) {
        return (uint32_t)(VK_NUMPAD1 + (key - SDLK_KP_1));
    }
    for (const KeyPair& pair : namedKeys) {
        if (pair.key == key) {
            return pair.vk;
        }
    }
    return 0;
}
