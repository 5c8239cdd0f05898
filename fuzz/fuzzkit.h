// Shared by the fuzz targets: a scratch data and sound folder per process, input files, a small picture
// set, the game's state reset between inputs, a level played through, and the screens around play visited.
#pragma once

#include <cstddef>
#include <cstdint>

// readFileBytes and writePngFile.
#include "reviewkit.h"

// The level every input is loaded as: not 0 or 1 (those read other file numbers), recoloured (7 mod 5).
enum { FUZZ_LEVEL = 7 };
#define FUZZ_LEVEL_FILE "level7.dat"

// What each target sets up once, before its first input (the kit's LLVMFuzzerInitialize reads it):
// always a scratch folder /tmp/plinkor-fuzz-<pid>/{Data,Sound}/ (absolute, so the corpus paths stay
// relative to the starting folder) that the game's paths point to and that goes again at exit; with
// FUZZ_KIT the level pictures, sprite sheets, fonts, small characters and a "blocks5.txt" of the kit's
// own, loaded as the start-up loads them; with FUZZ_SOUND the mixer, the game active.
enum { FUZZ_FOLDER = 0, FUZZ_KIT = 1, FUZZ_SOUND = 2 };
extern const int fuzzSetUpParts;

// Before each input: forgets message boxes and empties the log, so nothing grows between inputs.
void fuzzBeginInput(void);

// Writes the input as the whole file <data or sound folder>/<name>; returns its path. The PNG writer
// first makes every complete chunk's CRC right, so mutations get past the checksum into the loader.
const char* fuzzWriteDataFile(const char* name, const uint8_t* data, size_t size);
const char* fuzzWriteSoundFile(const char* name, const uint8_t* data, size_t size);
const char* fuzzWritePngFile(const char* name, const uint8_t* data, size_t size);

// Loads Data/<name> into a new surface, then (up to 65536 pixels: the same path at less cost) centred
// into an existing odd-sized one.
void fuzzLoadPictureTwice(const char* name);
// A broken promise of the code under test: says what and aborts, so the fuzzer keeps the input.
void fuzzFail(const char* what);
// Puts the game back to a game's start on level FUZZ_LEVEL, no level loaded.
void fuzzGameReset(void);

// Plays level FUZZ_LEVEL as the game does: set-up (then `afterSetUp` when not null), `updates` play
// updates past the ready countdown, the power-up marks shown, tear-down, then the thumbnail.
void fuzzPlayLevel(int updates, void (*afterSetUp)(void));

// Enters a screen, runs `updates` updates each followed by a render, and leaves it as the main loop would.
void fuzzVisitMode(int32_t mode, int updates);
