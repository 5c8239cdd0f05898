// Shared by the play-field fuzz targets: a small level picture set in the scratch data folder, the field's
// state reset between inputs, and a level played, drawn, saved and shrunk to its thumbnail.
#pragma once

#include <cstddef>
#include <cstdint>

// The level every input is loaded as: not 0 or 1 (those read other file numbers), recoloured (7 mod 5).
enum { FUZZ_LEVEL = 7 };

// Writes "scheme5.png", "scheme5v.png", "blocks5.png", "sprites.png", "power-ups.png" and "icons.png"
// into the data folder, and "blocks5.txt" with `descriptions` (null: the kit's own types); builds the
// angle and explosion tables, the back surface and the sprite sheets the start-up loads. Call once,
// after fuzzSetUp.
void fuzzFieldSetUp(const char* descriptions);

// Puts the field back to a game's start: values, lists, power-ups, paddle, random seed, no level loaded.
void fuzzFieldReset(void);

// Plays level FUZZ_LEVEL as the game does: set-up (then `afterSetUp` when not null), `updates` play
// updates with the ready countdown skipped (drawing the field now and then), the power-up marks shown,
// tear-down, then the thumbnail.
void fuzzPlayLevel(int updates, void (*afterSetUp)(void));
