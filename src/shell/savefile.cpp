// Crash-safe saving for the settings, high-score and level files: temporary file, flush, rename.
#include "shell/savefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

SaveFaults saveFaults;

enum { SAVE_PATH_CHARS = 512 };

// Makes the rename itself durable: the folder's entry list is flushed as well. Best effort, since some
// file systems refuse to sync a folder; the file's own bytes are already on the disk by then.
static void syncFolderOf(const char* path) {
    char folder[SAVE_PATH_CHARS];
    if (snprintf(folder, sizeof(folder), "%s", path) >= (int)sizeof(folder)) {
        return;
    }
    char* slash = strrchr(folder, '/');
    if (slash == nullptr) {
        snprintf(folder, sizeof(folder), ".");
    } else {
        slash[1] = 0;
    }
    int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

// The permissions the new file gets: the old file's, else what a newly created file would get.
static mode_t modeFor(const char* path) {
    struct stat info;
    if (stat(path, &info) == 0 && S_ISREG(info.st_mode)) {
        return info.st_mode & 07777;
    }
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

static int writeAll(int fd, const uint8_t* bytes, size_t count) {
    size_t done = 0;
    while (done < count) {
        ssize_t n = write(fd, bytes + done, count - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            return 0;
        }
        done += (size_t)n;
    }
    return 1;
}

int saveFileAtomically(const char* path, const void* bytes, size_t count) {
    if (saveFaults.failuresLeft > 0) {
        saveFaults.failuresLeft--;
        errno = ENOSPC;
        return 0;
    }
    char temporary[SAVE_PATH_CHARS];
    if (snprintf(temporary, sizeof(temporary), "%s.XXXXXX", path) >= (int)sizeof(temporary)) {
        errno = ENAMETOOLONG;
        return 0;
    }
    // mkstemp creates a name nobody had (O_EXCL): a link planted in advance cannot redirect the
    // write, and two savers never share a temporary file.
    int fd = mkostemp(temporary, O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    size_t limit = count;
    int failing = 0;
    if (saveFaults.failAfterBytes >= 0 && (uint64_t)saveFaults.failAfterBytes < (uint64_t)count) {
        limit = (size_t)saveFaults.failAfterBytes;
        failing = 1;
    }
    int ok = writeAll(fd, (const uint8_t*)bytes, limit);
    if (ok && failing) {
        errno = ENOSPC;
        ok = 0;
    }
    if (ok && fchmod(fd, modeFor(path)) != 0) {
        ok = 0;
    }
    if (ok && fsync(fd) != 0) {
        ok = 0;
    }
    int error = errno;
    if (close(fd) != 0 && ok) {
        ok = 0;
        error = errno;
    }
    if (ok && rename(temporary, path) != 0) {
        ok = 0;
        error = errno;
    }
    if (!ok) {
        unlink(temporary);
        errno = error;
        return 0;
    }
    syncFolderOf(path);
    return 1;
}

static void formFailure(char* out, size_t size, const char* path, const char* reason) {
    snprintf(out, size, "Unable to save %s:\n%s", path, reason);
}

void showSaveFailure(const char* path, const char* reason) {
    char text[SAVE_PATH_CHARS + 200];
    formFailure(text, sizeof(text), path, reason);
    platformMessageBox(text, "Save Failed", MB_TYPE_OK);
}

int askRetrySave(const char* path, const char* reason) {
    char text[SAVE_PATH_CHARS + 200];
    formFailure(text, sizeof(text), path, reason);
    return platformMessageBox(text, "Save Failed", MB_TYPE_RETRYCANCEL) == MB_RESULT_RETRY;
}
