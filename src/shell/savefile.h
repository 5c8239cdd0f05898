// Crash-safe saving: a file is written beside its old version and then renamed over it.
#pragma once

#include <cstddef>
#include <cstdint>

// Writes `count` bytes to `path` through a fresh temporary file in the same folder (created
// exclusively, so no link or other program's file is ever written through), with the old file's
// permissions, flushed to the disk and then renamed over the old file. Returns 1 when the new file is
// in place; on any failure returns 0 with errno saying why, removes the temporary file and leaves the
// old file as it was.
int saveFileAtomically(const char* path, const void* bytes, size_t count);

// Tells the player that `path` could not be saved and why (`reason`, e.g. strerror's text): an OK box.
void showSaveFailure(const char* path, const char* reason);
// The same as a Retry/Cancel box; 1 when the player asked to try again.
int askRetrySave(const char* path, const char* reason);

// Test hooks: faults a test plants in the next saves.
struct SaveFaults {
    int64_t failAfterBytes = -1;  // bytes: when 0 or more, every save stops after this many bytes of the
                                  // temporary file and fails, as a full disk or a killed process would
    int32_t failuresLeft = 0;     // saves: this many of the next ones fail as a full disk would (ENOSPC)
};

extern SaveFaults saveFaults;
