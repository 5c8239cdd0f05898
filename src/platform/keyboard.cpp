// Virtual-key to character translation for a US keyboard.
#include "platform/keyboard.h"

#include "platform/platform.h"

int translateVirtualKey(uint32_t vk, int shift, uint16_t* out) {
    static const char* shiftedDigits = ")!@#$%^&*(";
    if (vk >= 'A' && vk <= 'Z') {
        *out = (uint16_t)(shift ? vk : vk + 32);
        return 1;
    }
    if (vk >= '0' && vk <= '9') {
        *out = (uint16_t)(shift ? shiftedDigits[vk - '0'] : vk);
        return 1;
    }
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) {
        *out = (uint16_t)('0' + vk - VK_NUMPAD0);
        return 1;
    }
    if (vk == VK_SPACE || vk == VK_RETURN || vk == VK_BACK || vk == VK_ESCAPE || vk == VK_TAB) {
        *out = (uint16_t)vk;
        return 1;
    }
    static const struct {
        uint32_t vk;
        char plain, shifted;
    } punctuation[] = {
        {VK_OEM_1, ';', ':'}, {VK_OEM_PLUS, '=', '+'}, {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},
        {VK_OEM_3, '`', '~'}, {VK_OEM_4, '[', '{'}, {VK_OEM_5, '\\', '|'}, {VK_OEM_6, ']', '}'}, {VK_OEM_7, '\'', '"'},
        {VK_MULTIPLY, '*', '*'}, {VK_ADD, '+', '+'}, {VK_SUBTRACT, '-', '-'}, {VK_DECIMAL, '.', '.'}, {VK_DIVIDE, '/', '/'},
    };
    for (const auto& p : punctuation) {
        if (p.vk == vk) {
            *out = (uint16_t)(shift ? p.shifted : p.plain);
            return 1;
        }
    }
    return 0;
}
