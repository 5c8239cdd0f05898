// Virtual-key to character translation for a US keyboard.
#include "platform/keyboard.h"

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
    if (vk >= 96 && vk <= 105) {  // keypad digits
        *out = (uint16_t)('0' + vk - 96);
        return 1;
    }
    if (vk == 32 || vk == 13 || vk == 8 || vk == 27 || vk == 9) {
        *out = (uint16_t)vk;
        return 1;
    }
    static const struct {
        uint32_t vk;
        char plain, shifted;
    } punctuation[] = {
        {186, ';', ':'}, {187, '=', '+'}, {188, ',', '<'}, {189, '-', '_'}, {190, '.', '>'}, {191, '/', '?'},
        {192, '`', '~'}, {219, '[', '{'}, {220, '\\', '|'}, {221, ']', '}'}, {222, '\'', '"'},
        {106, '*', '*'}, {107, '+', '+'}, {109, '-', '-'}, {110, '.', '.'}, {111, '/', '/'},
    };
    for (const auto& p : punctuation) {
        if (p.vk == vk) {
            *out = (uint16_t)(shift ? p.shifted : p.plain);
            return 1;
        }
    }
    return 0;
}
