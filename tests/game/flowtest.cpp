// Helpers for the game-flow tests.
#include "flowtest.h"

#include <cstdio>
#include <filesystem>

#include "field/gamevalues.h"
#include "game/game.h"
#include "gfx/surface.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "shell/display.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "shell/runfolder.h"
#include "sound/mixer.h"
#include "sound/sample.h"

std::string logText(void) {
    std::string text;
    for (int line = LOG_LINES - 1; line >= 0; line--) {
        for (int c = 0; c < LOG_COLUMNS && logBuffer.text[line][c] != 0; c++) {
            text += logBuffer.text[line][c];
        }
    }
    return text;
}

GameFolder::GameFolder() {
    namespace fs = std::filesystem;
    for (const char* sub : {"Data", "Sound"}) {
        fs::path from = fs::path(PLINKOR_RUN_DIR) / sub;
        std::error_code ignored;
        if (!fs::is_directory(from, ignored)) {
            continue;
        }
        for (const auto& entry : fs::directory_iterator(from, ignored)) {
            fs::path name = entry.path().filename();
            if (name == "settings.dat" || name.string().rfind("Plinkor", 0) == 0) {
                continue;
            }
            fs::create_symlink(entry.path(), fs::path(sub) / name, ignored);
        }
    }
    snprintf(runPaths.dataPath, sizeof(runPaths.dataPath), "./Data/");
    snprintf(runPaths.soundPath, sizeof(runPaths.soundPath), "./Sound/");
}

FlowFixture::FlowFixture() {
    headlessReset();
    mainLoop.ticksPerSecond = HEADLESS_TICKS_PER_SECOND;
    mainLoop.updateStep = mainLoop.ticksPerSecond / 60;
    mainLoop.renderStep = mainLoop.ticksPerSecond / 100;
    appActive = 1;
    setGamma(128);
    initDisplayInfo();
    platformCreateWindow("Plinkor", 0, 240, 320, windowProc);
    backSurface = createSurface(240, 320);
    gameInit();
    mainLoop.previousMode = 0;
}

void FlowFixture::apply(void) {
    if (mainLoop.currentMode != mainLoop.previousMode) {
        leaveMode(mainLoop.previousMode);
        enterMode(mainLoop.currentMode);
        mainLoop.previousMode = mainLoop.currentMode;
    }
}

void FlowFixture::update(int count) {
    for (int i = 0; i < count; i++) {
        apply();
        headlessAdvance(mainLoop.updateStep);
        mainLoop.currentMode = updateMode(mainLoop.currentMode);
    }
}

void FlowFixture::goTo(int32_t mode) {
    mainLoop.currentMode = mode;
    apply();
}

int FlowFixture::runWhile(int32_t mode, int limit) {
    int n = 0;
    apply();
    while (mainLoop.currentMode == mode && n < limit) {
        update();
        n++;
    }
    return n;
}

static int32_t packPosition(int x, int y) {
    return (int32_t)(((uint32_t)(y & 0xFFFF) << 16) | (uint32_t)(x & 0xFFFF));
}

void FlowFixture::press(int x, int y) {
    windowProc(MSG_LBUTTONDOWN, 1, packPosition(x, y));
}

void FlowFixture::move(int x, int y) {
    windowProc(MSG_MOUSEMOVE, stylus.down ? 1 : 0, packPosition(x, y));
}

void FlowFixture::release(int x, int y) {
    windowProc(MSG_LBUTTONUP, 0, packPosition(x, y));
}

void FlowFixture::tap(int x, int y) {
    press(x, y);
    release(x, y);
}

void FlowFixture::tapEach(std::initializer_list<std::pair<int, int>> points) {
    for (const auto& p : points) {
        tap(p.first, p.second);
    }
}

void FlowFixture::keyDown(uint32_t vk) {
    windowProc(MSG_KEYDOWN, vk, 0);
}

void FlowFixture::keyUp(uint32_t vk) {
    windowProc(MSG_KEYUP, vk, 0);
}

void FlowFixture::key(uint32_t vk) {
    keyDown(vk);
    keyUp(vk);
}

void FlowFixture::loadTestSound(int id) {
    std::string name = "test" + std::to_string(id) + ".raw";
    replaceFileBytes("Sound/" + name, std::vector<uint8_t>(4000, 1));
    unloadSound(id);
    loadSound(name.c_str(), id, 0);
}

int FlowFixture::voicePlaying(int id) {
    return isSoundIdle(id) ? 0 : 1;
}

void FlowFixture::silence(void) {
    while (liveVoiceCount() > 0) {
        stopVoice(0);
    }
}

void writeFlatPicture(const std::string& name, int width, int height, int grey) {
    std::vector<uint8_t> rgb((size_t)width * height * 3, (uint8_t)grey);
    std::remove(("Data/" + name).c_str());
    writeTestPngRgb("Data/" + name, width, height, rgb);
}

void writeTestLevelSet(void) {
    // Level files of any generated set are unlinked: only the levels a test writes exist.
    for (int n = 0; n < 100; n++) {
        std::remove(("Data/level" + std::to_string(n) + ".dat").c_str());
    }
    writeFlatPicture("scheme5.png", 240, 320, 0);
    writeFlatPicture("scheme5v.png", 240, 320, 80);
    // Type 0 at (0, 10) and type 1 at (20, 0), both 20 x 10; the paddle's pieces sit at (9..19, 0..10).
    std::vector<uint8_t> rgb(40 * 20 * 3, 0);
    for (int y = 0; y < 20; y++) {
        for (int x = 0; x < 40; x++) {
            if ((x >= 20 && y < 10) || (x < 20 && y >= 10) || (x >= 9 && x < 20 && y < 11)) {
                for (int k = 0; k < 3; k++) {
                    rgb[(y * 40 + x) * 3 + k] = 255;
                }
            }
        }
    }
    std::remove("Data/blocks5.png");
    writeTestPngRgb("Data/blocks5.png", 40, 20, rgb);
    replaceFileBytes("Data/blocks5.txt", textBytes("[block,0,10,20,10]\n[block,20,0,20,10]\n"));
}

void writeTestLevel(int n, int x, int y, int type) {
    std::vector<uint8_t> record = {(uint8_t)(x & 0xFF), (uint8_t)(x >> 8), (uint8_t)(y & 0xFF), (uint8_t)(y >> 8),
                                   (uint8_t)type, 20, 10, 0, 0, 0, 0, 0};
    replaceFileBytes("Data/level" + std::to_string(n) + ".dat", record);
}

void replaceFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::remove(path.c_str());
    writeFileBytes(path, bytes);
}

std::vector<uint8_t> textBytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::string scoreEntry(const std::string& name, int64_t score) {
    char printed[32];
    snprintf(printed, sizeof(printed), "%8lld", (long long)score);
    std::string entry = name.substr(0, 10);
    entry.resize(12, '.');
    for (int i = 0; i < 8; i++) {
        entry += printed[i] == ' ' ? '.' : printed[i];
    }
    return entry;
}

std::string scoreTable(const std::vector<std::pair<std::string, int64_t>>& entries) {
    std::string text;
    for (const auto& e : entries) {
        text += scoreEntry(e.first, e.second);
    }
    text.resize(500, '.');
    return text;
}

int32_t valueAt(const std::vector<uint8_t>& bytes, int index) {
    return (int32_t)((uint32_t)bytes[4 * index] | (uint32_t)bytes[4 * index + 1] << 8 |
                     (uint32_t)bytes[4 * index + 2] << 16 | (uint32_t)bytes[4 * index + 3] << 24);
}

std::vector<uint8_t> valuesToBytes(const std::vector<int32_t>& values) {
    std::vector<uint8_t> bytes;
    for (int32_t v : values) {
        for (int k = 0; k < 4; k++) {
            bytes.push_back((uint8_t)((uint32_t)v >> (8 * k)));
        }
    }
    return bytes;
}
