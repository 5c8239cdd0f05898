// The US keyboard layout shared by both backends: which character a virtual key gives, with Shift.
#pragma once

#include <cstdint>

// Returns 1 and the character for keys that produce one, else 0.
int translateVirtualKey(uint32_t vk, int shift, uint16_t* out);
