// Crash-safe saving for the settings, high-score and level files: temporary file, flush, rename.
#include "game/savefile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

int64_t saveFailAfterBytes = -1;

// Makes the rename itself durable: the folder's entry list is flushed as well. Best effort, since some
// file systems refuse to sync a folder; the file's own bytes are already on the disk by then.
static void syncFolderOf(const char* path) {
    char folder[512];
    if (snprintf(folder, sizeof(folder), "%s", path) >= (int)sizeof(folder)) {
        return;
    }
    char* slash = strrchr(folder, '/');
    if (slash == nullptr) {
        snprintf(folder, sizeof(folder), ".");
    } else {
        slash[1] = 0;
    }
    int fd = open(folder, O_RDONLY);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

int saveFileAtomically(const char* path, const void* bytes, size_t count) {
    char temporary[512];
    if (snprintf(temporary, sizeof(temporary), "%s.tmp", path) >= (int)sizeof(temporary)) {
        return 0;
    }
    FILE* f = fopen(temporary, "wb");
    if (f == nullptr) {
        return 0;
    }
    size_t limit = count;
    int failing = 0;
    if (saveFailAfterBytes >= 0 && (uint64_t)saveFailAfterBytes < (uint64_t)count) {
        limit = (size_t)saveFailAfterBytes;
        failing = 1;
    }
    int ok = fwrite(bytes, 1, limit, f) == limit && !failing;
    if (fflush(f) != 0) {
        ok = 0;
    }
    if (ok && fsync(fileno(f)) != 0) {
        ok = 0;
    }
    if (fclose(f) != 0) {
        ok = 0;
    }
    if (!ok || rename(temporary, path) != 0) {
        remove(temporary);
        return 0;
    }
    syncFolderOf(path);
    return 1;
}
