// The frame of each mode (interim: the screens are drawn by the screens module once it lands).
#include "game/game.h"

int32_t renderMode(int32_t mode) {
    return mode;
}
