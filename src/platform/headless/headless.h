// Test controls of the headless backend: virtual clock, injected messages, captured frames, recorded boxes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

enum { HEADLESS_TICKS_PER_SECOND = 1000000 };

struct HeadlessMessageBox {
    std::string text, title;
    int type;
};

// Puts the backend back to its start state (no window, clock 0, empty queue, nothing captured).
void headlessReset(void);

// Virtual performance counter, HEADLESS_TICKS_PER_SECOND ticks a second; platformSleep advances it too.
void headlessAdvance(int64_t ticks);
void headlessSetCounter(int64_t ticks);
// 0 makes platformCounterFrequency fail.
void headlessSetFrequency(int64_t ticksPerSecond);

// Queues a message as the system would (mouse positions are client coordinates).
void headlessPushMessage(int32_t message, uint32_t wParam, int32_t lParam);
void headlessMouse(int32_t message, int x, int y);
void headlessKey(int32_t message, uint32_t vk);
// Called at the start of every pump of the message queue (once per main-loop pass, and once in the
// start-up pump before the loop): a script advances the clock and pushes input here. The pass number
// counts calls from 0.
typedef void (*HeadlessPumpHook)(int64_t pass);
void headlessSetPumpHook(HeadlessPumpHook hook);

// Where the gamepad's left stick stands (platformGamepadStick), each axis -32768..32767.
void headlessSetStick(int x, int y);
void headlessSetClientSize(int width, int height);
void headlessSetShift(int down);
// Simulates another running copy for the single-instance check.
void headlessSetOtherInstance(int running);
int headlessRaiseRequests(void);
int headlessWindowCreated(void);
void headlessFailWindow(int fail);

const std::vector<HeadlessMessageBox>& headlessMessageBoxes(void);
// The answer the next Retry/Cancel boxes get (default Cancel).
void headlessSetBoxAnswer(int result);

// Frames made visible by consoleUpdate: count, and the pixels of the last one (the console's size).
int headlessFrameCount(void);
const std::vector<uint16_t>& headlessLastFrame(void);
int headlessFrameWidth(void);
int headlessFrameHeight(void);

// Wave output driven by the test: what was opened, and a play step that finishes the oldest queued
// buffer (its samples are appended to the captured output and the done callback runs on this thread).
// The result every later open gets (AUDIO_OK, AUDIO_BUSY or AUDIO_FAILED).
void headlessSetAudioResult(int result);
// The next `opens` opens get `result`, those after them succeed.
void headlessSetAudioResultFor(int result, int opens);
int headlessAudioOpenAttempts(void);
int headlessAudioSampleRate(void);
// With capture off, played buffers are dropped instead of appended to the output (long threaded runs).
void headlessSetAudioCapture(int on);
// While set, the device refuses every buffer queued with it.
void headlessSetAudioQueueFails(int fail);
int headlessAudioOpened(void);
int headlessAudioQueued(void);
int headlessAudioPlayOne(void);
const std::vector<int16_t>& headlessAudioOutput(void);
