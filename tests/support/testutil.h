// Helpers shared by the tests: a scratch folder to run in, pictures written for a test.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// File bytes, PNG writing and the level set as the review tool reads them.
#include "reviewkit.h"

// Makes a fresh folder under /tmp with Data/, Sound/ and My Documents/, and makes it the current
// directory (unless enter is false); goes back and deletes it on destruction.
class ScratchFolder {
public:
    explicit ScratchFolder(bool enter = true);
    ~ScratchFolder();
    const std::string& path() const { return path_; }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

private:
    std::string path_;
    std::string previous_;
};

// While it lives, this process obeys file permission bits as a normal user does: a root process's
// capabilities leave the effective set (they stay permitted and come back at the end), so a file of
// mode 000 cannot be read. applies() is false when the bits still do not stop a read.
class PermissionsApply {
public:
    PermissionsApply();
    ~PermissionsApply();
    bool applies() const { return applies_; }
    PermissionsApply(const PermissionsApply&) = delete;
    PermissionsApply& operator=(const PermissionsApply&) = delete;

private:
    bool applies_ = false;
    bool dropped_ = false;
    uint32_t effective_[2] = {0, 0};
};

// Several values compared at once, so that one line states a whole expected state.
using Ints = std::vector<int>;

// Number of draws of the game's generator between two of its states (up to 100000; -1 beyond).
int drawsBetween(uint32_t before, uint32_t after);
// FNV-1a over a surface's pixels, row by row: a frame's fingerprint for a fixed state.
uint64_t hashSurface(const Surface* s, uint64_t h = 1469598103934665603ull);

// Writes an 8-bit RGB PNG (rgb: 3 bytes a pixel, row-major).
void writeTestPngRgb(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);
// Appends a PNG chunk (length, type, data, CRC) to out.
void appendPngChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data);
// A PNG whose header declares width x height (8-bit RGB) over one byte of image data, checksums right:
// for loaders facing a size they must refuse or data that runs out.
std::vector<uint8_t> craftedPng(uint32_t width, uint32_t height);

// Runs `plinkor --replay FILE --headless` in this process: its exit code, and its messages in *err.
int replayCommand(const std::string& path, std::string* err);
// The same, "" when the replay ran to its end as recorded, else what stopped it. updateWatch keeps the
// updates and state hashes it saw.
std::string replayHeadless(const std::string& path);
