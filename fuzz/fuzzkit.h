// Shared by the game-level fuzz targets: a small picture set in the scratch data folder (level pictures,
// sprite sheets, both fonts and the small character sheet), the game's state reset between inputs, a
// level played through, and the screens around play visited.
#pragma once

#include <cstddef>
#include <cstdint>

// The level every input is loaded as: not 0 or 1 (those read other file numbers), recoloured (7 mod 5).
enum { FUZZ_LEVEL = 7 };

// Writes "scheme5.png", "scheme5v.png", "blocks5.png", "sprites.png", "power-ups.png", "icons.png",
// "smallchars.png" and two font pictures into the data folder, and "blocks5.txt" with the kit's own
// block types; builds the angle and explosion tables and the back surface, loads the sheets the start-up
// loads and measures both fonts. Call once, after fuzzSetUp.
void fuzzKitSetUp(void);

// Puts the game back to a game's start: values, lists, power-ups, paddle, hint panel, random seed,
// mode, no level loaded.
void fuzzGameReset(void);

// Plays level FUZZ_LEVEL as the game does: set-up (then `afterSetUp` when not null), `updates` play
// updates with the ready countdown skipped (drawing the field now and then), the power-up marks shown,
// tear-down, then the thumbnail.
void fuzzPlayLevel(int updates, void (*afterSetUp)(void));

// Enters a screen, runs `updates` updates with a render after each, and leaves it again, as the main
// loop would (a mode change asked for by an update ends the visit early).
void fuzzVisitMode(int32_t mode, int updates);
