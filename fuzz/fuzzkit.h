// Shared by the fuzz targets: a scratch data and sound folder per process, input files, a small picture
// set (level pictures, sprite sheets, both fonts, the small character sheet), the game's state reset
// between inputs, a level played through, and the screens around play visited.
#pragma once

#include <cstddef>
#include <cstdint>

// readFileBytes and writePngFile.
#include "reviewkit.h"

// The level every input is loaded as: not 0 or 1 (those read other file numbers), recoloured (7 mod 5).
enum { FUZZ_LEVEL = 7 };

// Makes /tmp/plinkor-fuzz-<pid>/ with Data/ and Sound/, points the game's data and sound paths there
// (absolute: the fuzzer's own corpus paths stay relative to the starting folder), builds the gamma and
// log colour tables, and removes the folder again at exit. Call once from LLVMFuzzerInitialize.
void fuzzSetUp(void);

// Writes "scheme5.png", "scheme5v.png", "blocks5.png", "sprites.png", "power-ups.png", "icons.png",
// "smallchars.png" and two font pictures into the data folder, and "blocks5.txt" with the kit's own
// block types; builds the angle and explosion tables and the back surface, loads the sheets the start-up
// loads and measures both fonts. Call once, after fuzzSetUp.
void fuzzKitSetUp(void);

// Before each input: forgets recorded message boxes and empties the log, so runs stay independent
// and nothing grows from one input to the next.
void fuzzBeginInput(void);

// Writes the input as the whole file <data folder>/<name> or <sound folder>/<name>; returns its path.
const char* fuzzWriteDataFile(const char* name, const uint8_t* data, size_t size);
const char* fuzzWriteSoundFile(const char* name, const uint8_t* data, size_t size);

// PNG chunks carry CRCs that nearly every mutation breaks; recomputing them lets the fuzzer past the
// checksum into the loader. Writes the input as <data folder>/<name> with every complete chunk's CRC
// made right; returns its path.
const char* fuzzWritePngFile(const char* name, const uint8_t* data, size_t size);

// Loads Data/<name> through loadPicture into a new surface, then (when it has at most 65536 pixels: big
// pictures take the same path at a thousand times the cost) centred into an existing odd-sized one.
void fuzzLoadPictureTwice(const char* name);

// A broken promise of the code under test: says what and aborts, so the fuzzer keeps the input.
void fuzzFail(const char* what);

// Puts the game back to a game's start: values, lists, power-ups, paddle, hint panel, music, random seed,
// mode, no level loaded.
void fuzzGameReset(void);

// Plays level FUZZ_LEVEL as the game does: set-up (then `afterSetUp` when not null), `updates` play
// updates with the ready countdown skipped (drawing the field now and then), the power-up marks shown,
// tear-down, then the thumbnail.
void fuzzPlayLevel(int updates, void (*afterSetUp)(void));

// Enters a screen, runs `updates` updates with a render after each, and leaves it again, as the main
// loop would (a mode change asked for by an update ends the visit early).
void fuzzVisitMode(int32_t mode, int updates);
