// The shared pseudo-random generator.
#include "shell/random.h"

static uint32_t randState = 1;

int gameRand(void) {
    randState = randState * 214013u + 2531011u;
    return (int)((randState >> 16) & 0x7FFF);
}

void seedGameRand(uint32_t state) {
    randState = state;
}

uint32_t gameRandState(void) {
    return randState;
}
