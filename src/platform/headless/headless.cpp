// The headless backend: the whole platform contract without a window, for tests and the data generator.
#include "platform/headless/headless.h"

#include "platform/journal.h"
#include "platform/keyboard.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <atomic>
#include <mutex>

namespace {

struct ConsoleSurface {
    int width, height;
    std::vector<uint16_t> pixels;
};

struct HeadlessState {
    int64_t frequency = HEADLESS_TICKS_PER_SECOND;
    std::deque<PlatformMessage> queue;
    WindowProc proc = nullptr;
    HeadlessPumpHook hook = nullptr;
    int64_t hookPass = 0;
    bool inPump = false;  // between the first peek of a pump and the peek that finds the queue empty
    int clientWidth = 240, clientHeight = 320;
    int shift = 0;
    int otherInstance = 0;
    int stickX = 0, stickY = 0;
    int raiseRequests = 0;
    int windowCreated = 0;
    int failWindow = 0;
    std::vector<HeadlessMessageBox> boxes;
    int boxAnswer = MB_RESULT_CANCEL;
    std::map<int, ConsoleSurface> surfaces;
    int nextHandle = 1;
    int consoleWidth = 240, consoleHeight = 320;
    int copiedSurface = 0;
    int frames = 0;
    std::vector<uint16_t> lastFrame;
    int frameWidth = 0, frameHeight = 0;
    int audioResult = AUDIO_OK;
    int audioOpened = 0;
    int audioOpenAttempts = 0;
    int audioSampleRate = 0;
    int audioResultOpens = 0;  // opens left that get audioResult; then AUDIO_OK (-1: every open)
    bool audioCapture = true;
    bool audioQueueFails = false;
    AudioDoneCallback audioDone = nullptr;
    std::deque<std::pair<const int16_t*, int>> audioQueue;
    std::vector<int16_t> audioOutput;
};

HeadlessState state;
std::mutex audioLock;
// The counter is read by the mixer on whichever thread plays the wave output. Relaxed: it carries a
// time, not other memory, so it must not hide a missing lock from a thread sanitizer.
std::atomic<int64_t> counter{0};

}  // namespace

void headlessReset(void) {
    std::lock_guard<std::mutex> guard(audioLock);
    state = HeadlessState();
    counter.store(0, std::memory_order_relaxed);
}

void headlessAdvance(int64_t ticks) {
    counter.fetch_add(ticks, std::memory_order_relaxed);
}
void headlessSetCounter(int64_t ticks) {
    counter.store(ticks, std::memory_order_relaxed);
}
void headlessSetFrequency(int64_t ticksPerSecond) {
    state.frequency = ticksPerSecond;
}

void headlessPushMessage(int32_t message, uint32_t wParam, int32_t lParam) {
    state.queue.push_back(PlatformMessage{message, wParam, lParam});
}
void headlessMouse(int32_t message, int x, int y) {
    headlessPushMessage(message, message == MSG_MOUSEMOVE ? 0 : 1,
                        (int32_t)(((uint32_t)y & 0xFFFF) << 16 | ((uint32_t)x & 0xFFFF)));
}
void headlessKey(int32_t message, uint32_t vk) {
    headlessPushMessage(message, vk, 0);
}
void headlessSetPumpHook(HeadlessPumpHook hook) {
    state.hook = hook;
}

void headlessSetClientSize(int width, int height) {
    state.clientWidth = width;
    state.clientHeight = height;
}
void headlessSetShift(int down) {
    state.shift = down;
}
void headlessSetStick(int x, int y) {
    state.stickX = x;
    state.stickY = y;
}

void platformGamepadStick(int* x, int* y) {
    *x = state.stickX;
    *y = state.stickY;
    journalStick(x, y);
}

void headlessSetOtherInstance(int running) {
    state.otherInstance = running;
}
int headlessRaiseRequests(void) {
    return state.raiseRequests;
}
int headlessWindowCreated(void) {
    return state.windowCreated;
}
void headlessFailWindow(int fail) {
    state.failWindow = fail;
}
const std::vector<HeadlessMessageBox>& headlessMessageBoxes(void) {
    return state.boxes;
}
void headlessSetBoxAnswer(int result) {
    state.boxAnswer = result;
}
int headlessFrameCount(void) {
    return state.frames;
}
const std::vector<uint16_t>& headlessLastFrame(void) {
    return state.lastFrame;
}
int headlessFrameWidth(void) {
    return state.frameWidth;
}
int headlessFrameHeight(void) {
    return state.frameHeight;
}

// ---- platform.h ----

int platformFindOtherInstance(const char* name) {
    (void)name;
    return journalFindOtherInstance(state.otherInstance);
}

void platformRaiseOtherInstance(void) {
    state.raiseRequests++;
}

int platformCreateWindow(const char* title, int fullscreen, int width, int height, WindowProc proc) {
    (void)title;
    if (state.failWindow) {
        return journalCreateWindow(0);
    }
    state.proc = proc;
    state.windowCreated = 1;
    state.clientWidth = fullscreen ? 640 : width;
    state.clientHeight = fullscreen ? 480 : height;
    return journalCreateWindow(1);
}

void platformClientSize(int* width, int* height) {
    *width = state.clientWidth;
    *height = state.clientHeight;
    journalClientSize(width, height);
}

int platformWindowScale(void) {
    return 1;
}

void platformWindowPreferences(int scale, int desktopFullscreen) {
    (void)scale;
    (void)desktopFullscreen;
}

void platformOwnCursor(int drawn) {
    (void)drawn;
}

int platformPeekMessage(PlatformMessage* msg) {
    if (!state.inPump && !journalReplaying()) {
        state.inPump = true;
        if (state.hook != nullptr) {
            state.hook(state.hookPass++);
        }
    }
    if (state.queue.empty()) {
        state.inPump = false;
        return journalPeek(0, msg);
    }
    *msg = state.queue.front();
    state.queue.pop_front();
    return journalPeek(1, msg);
}

void platformTranslateMessage(const PlatformMessage* msg) {
    (void)msg;
}

int32_t platformDispatchMessage(const PlatformMessage* msg) {
    if (state.proc == nullptr) {
        return 0;
    }
    return state.proc(msg->message, msg->wParam, msg->lParam);
}

void platformPostMessage(int32_t message, uint32_t wParam, int32_t lParam) {
    state.queue.push_back(PlatformMessage{message, wParam, lParam});
}

int32_t platformSendMessage(int32_t message, uint32_t wParam, int32_t lParam) {
    if (state.proc == nullptr) {
        return 0;
    }
    return state.proc(message, wParam, lParam);
}

void platformPostQuitMessage(int32_t exitCode) {
    platformPostMessage(MSG_QUIT, (uint32_t)exitCode, 0);
}

int platformToAscii(uint32_t vk, uint32_t scanCode, uint16_t* out) {
    (void)scanCode;
    return journalToAscii(translateVirtualKey(vk, state.shift, out), out);
}

int platformCounterFrequency(int64_t* ticksPerSecond) {
    if (state.frequency <= 0) {
        return journalCounterFrequency(0, ticksPerSecond);
    }
    *ticksPerSecond = state.frequency;
    return journalCounterFrequency(1, ticksPerSecond);
}

int64_t platformCounter(void) {
    return journalCounter(counter.load(std::memory_order_relaxed));
}

void platformSleep(int milliseconds) {
    counter.fetch_add((int64_t)milliseconds * state.frequency / 1000, std::memory_order_relaxed);
}

// Time moves only when the test moves it: waiting would stand still.
void platformWaitUntil(int64_t until) {
    (void)until;
}

int platformMessageBox(const char* text, const char* title, int type) {
    state.boxes.push_back(HeadlessMessageBox{text, title, type});
    return journalMessageBox(type == MB_TYPE_RETRYCANCEL ? state.boxAnswer : MB_RESULT_OK);
}

int consoleCreateFormat(int bits, uint32_t redMask, uint32_t greenMask, uint32_t blueMask, uint32_t alphaMask) {
    (void)bits;
    (void)redMask;
    (void)greenMask;
    (void)blueMask;
    (void)alphaMask;
    return state.nextHandle++;
}

int consoleCreate(void) {
    return state.nextHandle++;
}

int consoleOption(int console, const char* option) {
    (void)console;
    int value = 0;
    if (sscanf(option, "default width %d", &value) == 1) {
        state.consoleWidth = value;
        return 1;
    }
    if (sscanf(option, "default height %d", &value) == 1) {
        state.consoleHeight = value;
        return 1;
    }
    return strcmp(option, "windowed output") == 0 || strcmp(option, "fullscreen output") == 0;
}

int consoleOpen(int console, int window) {
    (void)console;
    (void)window;
    return 1;
}

int consoleCreateSurface(int width, int height, int format) {
    (void)format;
    int handle = state.nextHandle++;
    state.surfaces[handle] = ConsoleSurface{width, height, std::vector<uint16_t>((size_t)width * height, 0)};
    return handle;
}

uint16_t* consoleLock(int surface) {
    return state.surfaces[surface].pixels.data();
}

void consoleUnlock(int surface) {
    (void)surface;
}

void consoleCopy(int surface, int console) {
    (void)console;
    state.copiedSurface = surface;
}

void consoleUpdate(int console) {
    (void)console;
    const ConsoleSurface& s = state.surfaces[state.copiedSurface];
    state.lastFrame = s.pixels;
    state.frameWidth = s.width;
    state.frameHeight = s.height;
    state.frames++;
}

// ---- Wave output ----

void headlessSetAudioResult(int result) {
    state.audioResult = result;
    state.audioResultOpens = -1;
}
void headlessSetAudioResultFor(int result, int opens) {
    state.audioResult = result;
    state.audioResultOpens = opens;
}
void headlessSetAudioQueueFails(int fail) {
    std::lock_guard<std::mutex> guard(audioLock);
    state.audioQueueFails = fail != 0;
}
int headlessAudioOpenAttempts(void) {
    return state.audioOpenAttempts;
}
int headlessAudioSampleRate(void) {
    return state.audioSampleRate;
}
void headlessSetAudioCapture(int on) {
    std::lock_guard<std::mutex> guard(audioLock);
    state.audioCapture = on != 0;
}
int headlessAudioOpened(void) {
    return state.audioOpened;
}
int headlessAudioQueued(void) {
    std::lock_guard<std::mutex> guard(audioLock);
    return (int)state.audioQueue.size();
}

int headlessAudioPlayOne(void) {
    AudioDoneCallback done;
    {
        std::lock_guard<std::mutex> guard(audioLock);
        if (state.audioQueue.empty()) {
            return 0;
        }
        auto buffer = state.audioQueue.front();
        state.audioQueue.pop_front();
        if (state.audioCapture) {
            state.audioOutput.insert(state.audioOutput.end(), buffer.first, buffer.first + buffer.second);
        }
        done = state.audioDone;
    }
    if (done != nullptr) {
        done();
    }
    return 1;
}

const std::vector<int16_t>& headlessAudioOutput(void) {
    return state.audioOutput;
}

int platformAudioOpen(int sampleRate, AudioDoneCallback done) {
    state.audioOpenAttempts++;
    if (state.audioResult != AUDIO_OK && state.audioResultOpens != 0) {
        if (state.audioResultOpens > 0) {
            state.audioResultOpens--;
        }
        return journalAudioOpen(state.audioResult);
    }
    state.audioOpened = 1;
    state.audioSampleRate = sampleRate;
    state.audioDone = done;
    return journalAudioOpen(AUDIO_OK);
}

int platformAudioQueue(const int16_t* samples, int count) {
    std::lock_guard<std::mutex> guard(audioLock);
    if (state.audioQueueFails) {
        return 0;
    }
    state.audioQueue.emplace_back(samples, count);
    return 1;
}
