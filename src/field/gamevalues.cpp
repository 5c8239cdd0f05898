// The shared game values and their start-of-program state.
#include "field/gamevalues.h"

GameValues game;

void resetGameValues(void) {
    game = GameValues{};
}
