// Crash-safe saving: a file is written beside its old version and then renamed over it.
#pragma once

#include <cstddef>
#include <cstdint>

// Writes `count` bytes to `path` through a temporary file "<path>.tmp" in the same folder, flushed to
// the disk and then renamed over the old file. Returns 1 when the new file is in place; on any failure
// returns 0, removes the temporary file and leaves the old file as it was.
int saveFileAtomically(const char* path, const void* bytes, size_t count);

// Test hook: when 0 or more, every save stops after that many bytes of the temporary file and fails,
// as a full disk or a killed process would. -1 (the default) writes normally.
extern int64_t saveFailAfterBytes;
