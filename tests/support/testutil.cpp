// Test helpers: scratch folders, file bytes, small PNG pictures.
#include "support/testutil.h"

#include <gtest/gtest.h>
#include <zlib.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "gfx/surface.h"
#include "platform/headless/headless.h"
#include "shell/replay.h"

ScratchFolder::ScratchFolder(bool enter) {
    char templ[] = "/tmp/plinkor-test-XXXXXX";
    char* made = mkdtemp(templ);
    if (made == nullptr) {
        abort();
    }
    path_ = made;
    char cwd[4096];
    if (enter && getcwd(cwd, sizeof(cwd)) != nullptr) {
        previous_ = cwd;
    }
    std::filesystem::create_directories(path_ + "/Data");
    std::filesystem::create_directories(path_ + "/Sound");
    std::filesystem::create_directories(path_ + "/My Documents");
    if (enter && chdir(path_.c_str()) != 0) {
        abort();
    }
}

ScratchFolder::~ScratchFolder() {
    if (!previous_.empty() && chdir(previous_.c_str()) != 0) {
        abort();
    }
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

PermissionsApply::PermissionsApply() {
    __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (syscall(SYS_capget, &header, data) == 0 && (data[0].effective != 0 || data[1].effective != 0)) {
        effective_[0] = data[0].effective;
        effective_[1] = data[1].effective;
        data[0].effective = 0;
        data[1].effective = 0;
        dropped_ = syscall(SYS_capset, &header, data) == 0;
    }
    // Whatever the capabilities, the proof is a file of mode 000 that cannot be opened.
    char probe[] = "/tmp/plinkor-permission-probe-XXXXXX";
    int fd = mkstemp(probe);
    if (fd >= 0) {
        close(fd);
        chmod(probe, 0);
        int again = open(probe, O_RDONLY);
        applies_ = again < 0;
        if (again >= 0) {
            close(again);
        }
        unlink(probe);
    }
}

PermissionsApply::~PermissionsApply() {
    if (!dropped_) {
        return;
    }
    __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (syscall(SYS_capget, &header, data) == 0) {
        data[0].effective = effective_[0];
        data[1].effective = effective_[1];
        syscall(SYS_capset, &header, data);
    }
}

void writeTestPngRgb(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
    if (!writePngFile(path, width, height, rgb)) {
        abort();
    }
}

void appendPngChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    uint32_t n = (uint32_t)data.size();
    uint8_t length[4] = {(uint8_t)(n >> 24), (uint8_t)(n >> 16), (uint8_t)(n >> 8), (uint8_t)n};
    out.insert(out.end(), length, length + 4);
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    uint32_t crc = (uint32_t)crc32(0, body.data(), (uInt)body.size());
    uint8_t c[4] = {(uint8_t)(crc >> 24), (uint8_t)(crc >> 16), (uint8_t)(crc >> 8), (uint8_t)crc};
    out.insert(out.end(), c, c + 4);
}

std::vector<uint8_t> craftedPng(uint32_t width, uint32_t height) {
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr = {(uint8_t)(width >> 24), (uint8_t)(width >> 16), (uint8_t)(width >> 8),
                                 (uint8_t)width, (uint8_t)(height >> 24), (uint8_t)(height >> 16),
                                 (uint8_t)(height >> 8), (uint8_t)height, 8, 2, 0, 0, 0};
    appendPngChunk(out, "IHDR", ihdr);
    appendPngChunk(out, "IDAT", {0x78, 0x9C, 0x63, 0x60, 0x00, 0x00, 0x00, 0x04, 0x00, 0x01});
    appendPngChunk(out, "IEND", {});
    return out;
}

// The tests' one copy of the generator's step (state * 214013 + 2531011).
int drawsBetween(uint32_t before, uint32_t after) {
    uint32_t state = before;
    for (int n = 0; n < 100000; n++) {
        if (state == after) {
            return n;
        }
        state = state * 214013u + 2531011u;
    }
    return -1;
}

uint64_t hashSurface(const Surface* s, uint64_t h) {
    if (s == nullptr) {
        return h;
    }
    for (int y = 0; y < s->height; y++) {
        for (int x = 0; x < s->width; x++) {
            uint16_t p = getPixel(s, x, y);
            for (int k = 0; k < 2; k++) {
                h ^= (uint8_t)(p >> (8 * k));
                h *= 1099511628211ull;
            }
        }
    }
    return h;
}

int replayCommand(const std::string& path, std::string* err) {
    std::string args[] = {"plinkor", "--replay", path, "--headless"};
    char* argv[] = {&args[0][0], &args[1][0], &args[2][0], &args[3][0]};
    headlessReset();
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    int code = runCommandLine(4, argv);
    *err = testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();
    return code;
}

std::string replayHeadless(const std::string& path) {
    std::string err;
    return replayCommand(path, &err) == 0 ? "" : err;
}
