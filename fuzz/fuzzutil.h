// Shared by the fuzz targets: a scratch data and sound folder per process, input files, state resets.
#pragma once

#include <cstddef>
#include <cstdint>

// Pictures up to this size are loaded a second time, into an existing surface.
enum { SECOND_LOAD_PIXELS = 65536 };

// Makes /tmp/plinkor-fuzz-<pid>/ with Data/ and Sound/, points the game's data and sound paths there
// (absolute: the fuzzer's own corpus paths stay relative to the starting folder), builds the gamma and
// log colour tables, and removes the folder again at exit. Call once from LLVMFuzzerInitialize.
void fuzzSetUp(void);

// Before each input: forgets recorded message boxes and empties the log, so runs stay independent
// and nothing grows from one input to the next.
void fuzzBeginInput(void);

// Writes the input as the whole file <data folder>/<name> or <sound folder>/<name>; returns its path.
const char* fuzzWriteDataFile(const char* name, const uint8_t* data, size_t size);
const char* fuzzWriteSoundFile(const char* name, const uint8_t* data, size_t size);
// The scratch data folder, with its trailing slash.
const char* fuzzDataPath(void);

// PNG chunks carry CRCs that nearly every mutation breaks; recomputing them lets the fuzzer past the
// checksum into the loader. Writes the input as <data folder>/<name> with every complete chunk's CRC
// made right; returns its path.
const char* fuzzWritePngFile(const char* name, const uint8_t* data, size_t size);
