// SDL key codes to virtual-key codes: every key that has one, so any of them can be a control key.
#include "platform/sdl/sdl_keys.h"

namespace {

struct KeyPair {
    SDL_Keycode key;
    uint32_t vk;
};

// Keys outside the letter, digit, function and keypad-digit runs, in virtual-key order.
const KeyPair namedKeys[] = {
    {SDLK_CANCEL, 3},        {SDLK_BACKSPACE, 8},       {SDLK_KP_BACKSPACE, 8},  {SDLK_TAB, 9},
    {SDLK_KP_TAB, 9},        {SDLK_CLEAR, 12},          {SDLK_KP_CLEAR, 12},     {SDLK_RETURN, 13},
    {SDLK_RETURN2, 13},      {SDLK_KP_ENTER, 13},       {SDLK_LSHIFT, 16},       {SDLK_RSHIFT, 16},
    {SDLK_LCTRL, 17},        {SDLK_RCTRL, 17},          {SDLK_LALT, 18},         {SDLK_RALT, 18},
    {SDLK_MODE, 18},         {SDLK_PAUSE, 19},          {SDLK_CAPSLOCK, 20},     {SDLK_ESCAPE, 27},
    {SDLK_SPACE, 32},        {SDLK_KP_SPACE, 32},       {SDLK_PAGEUP, 33},       {SDLK_PAGEDOWN, 34},
    {SDLK_END, 35},          {SDLK_HOME, 36},           {SDLK_LEFT, 37},         {SDLK_UP, 38},
    {SDLK_RIGHT, 39},        {SDLK_DOWN, 40},           {SDLK_SELECT, 41},       {SDLK_EXECUTE, 43},
    {SDLK_PRINTSCREEN, 44},  {SDLK_INSERT, 45},         {SDLK_DELETE, 46},       {SDLK_HELP, 47},
    {SDLK_LGUI, 91},         {SDLK_RGUI, 92},           {SDLK_APPLICATION, 93},  {SDLK_MENU, 93},
    {SDLK_SLEEP, 95},        {SDLK_KP_0, 96},           {SDLK_KP_MULTIPLY, 106}, {SDLK_KP_PLUS, 107},
    {SDLK_KP_COMMA, 108},    {SDLK_SEPARATOR, 108},     {SDLK_KP_MINUS, 109},    {SDLK_KP_PERIOD, 110},
    {SDLK_KP_DECIMAL, 110},  {SDLK_KP_DIVIDE, 111},     {SDLK_NUMLOCKCLEAR, 144}, {SDLK_SCROLLLOCK, 145},
    {SDLK_KP_EQUALS, 146},   {SDLK_AC_BACK, 166},       {SDLK_AC_FORWARD, 167},  {SDLK_AC_REFRESH, 168},
    {SDLK_AC_STOP, 169},     {SDLK_AC_SEARCH, 170},     {SDLK_AC_BOOKMARKS, 171}, {SDLK_AC_HOME, 172},
    {SDLK_MUTE, 173},        {SDLK_AUDIOMUTE, 173},     {SDLK_VOLUMEDOWN, 174},  {SDLK_VOLUMEUP, 175},
    {SDLK_AUDIONEXT, 176},   {SDLK_AUDIOPREV, 177},     {SDLK_AUDIOSTOP, 178},   {SDLK_AUDIOPLAY, 179},
    {SDLK_MAIL, 180},        {SDLK_MEDIASELECT, 181},   {SDLK_COMPUTER, 182},    {SDLK_CALCULATOR, 183},
    {SDLK_SEMICOLON, 186},   {SDLK_EQUALS, 187},        {SDLK_COMMA, 188},       {SDLK_MINUS, 189},
    {SDLK_PERIOD, 190},      {SDLK_SLASH, 191},         {SDLK_BACKQUOTE, 192},   {SDLK_LEFTBRACKET, 219},
    {SDLK_BACKSLASH, 220},   {SDLK_RIGHTBRACKET, 221},  {SDLK_QUOTE, 222},       {SDLK_LESS, 226},
    {SDLK_CRSEL, 247},       {SDLK_EXSEL, 248},
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
        return (uint32_t)(112 + (key - SDLK_F1));
    }
    if (key >= SDLK_F13 && key <= SDLK_F24) {
        return (uint32_t)(124 + (key - SDLK_F13));
    }
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) {
        return (uint32_t)(97 + (key - SDLK_KP_1));
    }
    for (const KeyPair& pair : namedKeys) {
        if (pair.key == key) {
            return pair.vk;
        }
    }
    return 0;
}
