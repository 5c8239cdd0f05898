// Little-endian 16- and 32-bit values in byte buffers: the byte order of every file the game keeps.
#pragma once

#include <cstdint>

inline void putLe16(uint8_t* p, uint32_t v) {
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
}

inline void putLe32(uint8_t* p, uint32_t v) {
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
    p[2] = (uint8_t)(v >> 16);
    p[3] = (uint8_t)(v >> 24);
}

inline uint16_t getLe16(const uint8_t* p) {
    return (uint16_t)(p[0] | p[1] << 8);
}

inline uint32_t getLe32(const uint8_t* p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}
