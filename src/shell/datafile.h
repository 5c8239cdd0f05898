// Opening the game's data files for reading: only regular files of a size the reader can use, never blocking.
#pragma once

#include <cstdint>
#include <cstdio>

// Opens `path` for reading as a stream. The open itself never waits (a FIFO or a device at the name
// is refused at once, not read from), and only a regular file of at most maxBytes bytes is taken.
// Returns the stream with *size (when given) set to the file's length in bytes; null otherwise, with
// errno saying why: ENOENT missing, EACCES not readable, EISDIR a folder, ENODEV not a regular file,
// EFBIG longer than maxBytes, or what the system said.
FILE* openDataFile(const char* path, int64_t maxBytes, int64_t* size);

// Reads the whole file (at most `capacity` bytes, which is also the size limit) into `buffer`.
// Returns the number of bytes read, or -1 with errno set as openDataFile does or as the read failed.
int64_t readDataFile(const char* path, void* buffer, int64_t capacity);

// 1 when something is at `path` (a file, folder, link or anything else), without following a link.
int dataPathExists(const char* path);
