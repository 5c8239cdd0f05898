// Opening data files for reading: a non-blocking open, then a check that it is a regular file of usable size.
#include "shell/datafile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

// The open never blocks: O_NONBLOCK keeps a FIFO without a writer from holding the game, and the
// fstat below refuses it (and devices, folders and oversized files) before a single byte is read.
static int openChecked(const char* path, int64_t maxBytes, int64_t* size) {
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    struct stat info;
    int error = 0;
    if (fstat(fd, &info) != 0) {
        error = errno;
    } else if (S_ISDIR(info.st_mode)) {
        error = EISDIR;
    } else if (!S_ISREG(info.st_mode)) {
        error = ENODEV;
    } else if ((int64_t)info.st_size > maxBytes) {
        error = EFBIG;
    }
    if (error != 0) {
        close(fd);
        errno = error;
        return -1;
    }
    // A regular file reads the same either way; the stream is set back to plain blocking reads.
    int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) {
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    if (size != nullptr) {
        *size = (int64_t)info.st_size;
    }
    return fd;
}

FILE* openDataFile(const char* path, int64_t maxBytes, int64_t* size) {
    int fd = openChecked(path, maxBytes, size);
    if (fd < 0) {
        return nullptr;
    }
    FILE* stream = fdopen(fd, "rb");
    if (stream == nullptr) {
        int error = errno;
        close(fd);
        errno = error;
    }
    return stream;
}

int64_t readDataFile(const char* path, void* buffer, int64_t capacity) {
    int64_t size = 0;
    int fd = openChecked(path, capacity, &size);
    if (fd < 0) {
        return -1;
    }
    // The file may have shrunk or grown since the fstat: the read stops at its end or at the capacity.
    int64_t got = 0;
    while (got < capacity) {
        ssize_t n = read(fd, (char*)buffer + got, (size_t)(capacity - got));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            int error = errno;
            close(fd);
            errno = error;
            return -1;
        }
        if (n == 0) {
            break;
        }
        got += n;
    }
    close(fd);
    return got;
}

int dataPathExists(const char* path) {
    struct stat info;
    return lstat(path, &info) == 0;
}
