// The shared game values and their start-of-program state.
#include "game/gamevalues.h"

GameValues game = {0, 0, 0, 0, 1, 0, 0, -1, 1, 0, 0, {}, 0, 0, {}, 0, 0, 0};

void resetGameValues(void) {
    game = GameValues{};
    game.difficulty = 1;
    game.highScoreRank = -1;
    game.helpfulHints = 1;
}
