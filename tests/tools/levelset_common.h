// The level set as the tests open it: the data folder the game reads, and a level set up for play.
#pragma once

#include "reviewkit.h"

// Makes picture loading work as in the game: gamma 128 and the data folder "./Data/".
void prepareLevelSetPictures();
// What level set-up does around loadLevel: the pristine copy and the field picture, then the redraw.
void openTestLevel(int n);
void closeTestLevel();
