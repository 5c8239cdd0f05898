// Input per screen: handleInput (declared with the other game operations in game/game.h).
#pragma once

#include "game/game.h"
