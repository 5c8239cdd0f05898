// SDL key codes to the virtual-key codes the game reads.
#pragma once

#include <SDL.h>

#include <cstdint>

// The virtual-key code of an SDL key (left and right modifiers share one code, as key messages
// give them); 0 for a key that has none.
uint32_t virtualKeyOf(SDL_Keycode key);
