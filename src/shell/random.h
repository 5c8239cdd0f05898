// The program's one pseudo-random generator, shared by every draw in the game (the order of draws matters).
#pragma once

#include <cstdint>

// state = state * 214013 + 2531011; result = (state >> 16) & 0x7FFF.
int gameRand(void);
// Sets the state (1 at program start). Tests seed it to make frames and play reproducible.
void seedGameRand(uint32_t state);
uint32_t gameRandState(void);
