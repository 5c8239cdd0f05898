// The level set as the tests open it: the data folder the game reads, and a level set up for play.
#pragma once

#include "reviewkit.h"

// What level set-up does around loadLevel (pictures loaded as in the game: gamma 128, the data folder
// "./Data/"): the pristine copy and the field picture, then the redraw.
void openTestLevel(int n);
void closeTestLevel();
