// Scratch folders, input files and state resets shared by every fuzz target.
#include "fuzzutil.h"

#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "gfx/font.h"
#include "gfx/surface.h"
#include "platform/headless/headless.h"
#include "shell/display.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "shell/runfolder.h"

static std::string scratchFolder;
static char writtenPath[1024];

static void removeScratchFolder(void) {
    std::error_code ignored;
    std::filesystem::remove_all(scratchFolder, ignored);
}

void fuzzSetUp(void) {
    scratchFolder = "/tmp/plinkor-fuzz-" + std::to_string((long)getpid());
    std::filesystem::create_directories(scratchFolder + "/Data");
    std::filesystem::create_directories(scratchFolder + "/Sound");
    snprintf(runPaths.basePath, sizeof(runPaths.basePath), "%s/", scratchFolder.c_str());
    snprintf(runPaths.dataPath, sizeof(runPaths.dataPath), "%s/Data/", scratchFolder.c_str());
    snprintf(runPaths.soundPath, sizeof(runPaths.soundPath), "%s/Sound/", scratchFolder.c_str());
    headlessReset();
    initDisplayInfo();
    setGamma(128);
    buildLogColours();
    // Every log line of the loaders is taken, so their formatting runs too.
    logLevel = 1;
    atexit(removeScratchFolder);
}

void fuzzBeginInput(void) {
    headlessReset();
    clearLog();
}

static const char* writeFile(const char* folder, const char* name, const uint8_t* data, size_t size) {
    snprintf(writtenPath, sizeof(writtenPath), "%s%s", folder, name);
    FILE* f = fopen(writtenPath, "wb");
    if (f == nullptr) {
        perror(writtenPath);
        abort();
    }
    if (size > 0 && fwrite(data, 1, size, f) != size) {
        perror(writtenPath);
        abort();
    }
    fclose(f);
    return writtenPath;
}

const char* fuzzWriteDataFile(const char* name, const uint8_t* data, size_t size) {
    return writeFile(runPaths.dataPath, name, data, size);
}

const char* fuzzWriteSoundFile(const char* name, const uint8_t* data, size_t size) {
    return writeFile(runPaths.soundPath, name, data, size);
}

const char* fuzzDataPath(void) {
    return runPaths.dataPath;
}

static uint32_t readBigEndian(const uint8_t* p) {
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | (uint32_t)p[3];
}

const char* fuzzWritePngFile(const char* name, const uint8_t* data, size_t size) {
    uint8_t* copy = (uint8_t*)malloc(size > 0 ? size : 1);
    if (copy == nullptr) {
        abort();
    }
    if (size > 0) {
        memcpy(copy, data, size);
    }
    // After the 8-byte signature: length (4), type (4), data (length), CRC of type and data (4).
    size_t at = 8;
    while (at + 12 <= size) {
        uint32_t length = readBigEndian(copy + at);
        if (length > size - at - 12) {
            break;
        }
        uint32_t crc = (uint32_t)crc32(0, copy + at + 4, (uInt)(length + 4));
        uint8_t* out = copy + at + 8 + length;
        out[0] = (uint8_t)(crc >> 24);
        out[1] = (uint8_t)(crc >> 16);
        out[2] = (uint8_t)(crc >> 8);
        out[3] = (uint8_t)crc;
        at += (size_t)length + 12;
    }
    const char* path = writeFile(runPaths.dataPath, name, copy, size);
    free(copy);
    return path;
}
