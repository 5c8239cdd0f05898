// Fixed-point numbers of the play field: 1/1024 pixel, 10 fraction bits in a signed 32-bit value.
#pragma once

#include <cstdint>

typedef int32_t Fixed;

enum {
    FRACBITS = 10,
    FRACUNIT = 1 << FRACBITS,  // one whole pixel
};

// Whole pixels to fixed point: a multiply, so negative pixels scale without a shift of a negative value.
constexpr Fixed intToFixed(int32_t pixels) {
    return pixels * FRACUNIT;
}

// Fixed point to whole pixels: an arithmetic shift, so it rounds toward minus infinity (-1/1024 gives -1,
// not 0); collision and drawing rely on that.
constexpr int32_t fixedToInt(Fixed value) {
    return value >> FRACBITS;
}
