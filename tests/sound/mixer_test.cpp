// The mixer and the wave output on the headless device: opening, voice limits, start delay, the volume
// law, queue failures. The output samples themselves are checked against a model in mixer_model_test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "shell/log.h"
#include "soundtest.h"

namespace {

const int64_t MS = HEADLESS_TICKS_PER_SECOND / 1000;

class Mixer : public ::testing::Test {
protected:
    ScratchFolder folder;
    void SetUp() override {
        useSoundFolder();
        ASSERT_EQ(openSoundOutput(), 1);
    }
    // Mixes one buffer and returns it.
    std::vector<int16_t> mixOne(void) {
        int index = nextWaveBuffer();
        mixBuffer();
        return std::vector<int16_t>(waveBuffer(index), waveBuffer(index) + WAVE_BUFFER_SAMPLES);
    }
};

bool logHas(const char* line) {
    for (int i = 0; i < LOG_LINES; i++) {
        if (strncmp(logBuffer.text[i], line, LOG_COLUMNS) == 0) {
            return true;
        }
    }
    return false;
}

TEST(WaveOutput, OpensAt22050AndKeepsTwoBuffersQueued) {
    ASSERT_EQ(openSoundOutput(), 1);
    EXPECT_EQ((Ints{headlessAudioOpened(), headlessAudioSampleRate(), headlessAudioQueued(), nextWaveBuffer()}),
              (Ints{1, 22050, 2, 2}));
    // Before any setVolume both classes run at full effective volume.
    EXPECT_EQ((Ints{getVolume(0), getVolume(1), effectiveVolume(0), effectiveVolume(1)}), (Ints{255, 255, 255, 255}));
    soundBufferMixed = 0;
    for (int played = 1; played <= 20; played++) {
        ASSERT_EQ(headlessAudioPlayOne(), 1);
        EXPECT_EQ((Ints{headlessAudioQueued(), finishedWaveBuffers(), nextWaveBuffer()}),
                  (Ints{2, played % WAVE_BUFFERS, (played + 2) % WAVE_BUFFERS}));
    }
    EXPECT_EQ(soundBufferMixed.load(), 1);
    EXPECT_EQ(headlessAudioOutput(), std::vector<int16_t>(20u * WAVE_BUFFER_SAMPLES, 0));
}

TEST(WaveOutput, NothingIsQueuedOrMixedWhileSoundIsDisabled) {
    ASSERT_EQ(soundInit(0), 1);
    soundStart();
    waveDone();
    EXPECT_EQ((Ints{headlessAudioQueued(), nextWaveBuffer(), finishedWaveBuffers()}), (Ints{0, 0, 0}));
}

// A busy device offers Retry and Cancel: Retry tries again, Cancel plays silent. A probe returns once the
// device opened.
TEST(WaveOutput, BusyDeviceOffersRetryAndCancel) {
    const struct {
        int busyTimes, answer, probe;
        Ints expected;  // soundInit, open attempts, boxes, opened
    } cases[] = {
        {2, MB_RESULT_RETRY, 0, {1, 3, 2, 1}},
        {1000, MB_RESULT_CANCEL, 0, {0, 1, 1, 0}},
        {0, MB_RESULT_CANCEL, 1, {1, 1, 0, 1}},
    };
    for (const auto& c : cases) {
        headlessReset();
        headlessSetAudioResultFor(AUDIO_BUSY, c.busyTimes);
        headlessSetBoxAnswer(c.answer);
        int ok = soundInit(c.probe);
        EXPECT_EQ((Ints{ok, headlessAudioOpenAttempts(), (int)headlessMessageBoxes().size(), headlessAudioOpened()}),
                  c.expected);
        if (c.busyTimes == 0) {
            break;
        }
        const HeadlessMessageBox& box = headlessMessageBoxes()[0];
        EXPECT_EQ(box.text, "The sound hardware is in use by another program.\n\nSelect Retry to try to start sound "
                            "again or Cancel to play without sound.");
        EXPECT_EQ(box.title, "Sound not available");
        EXPECT_EQ(box.type, MB_TYPE_RETRYCANCEL);
    }
}

TEST(WaveOutput, RefusedBuffersAreLoggedAndKeepTheirIndex) {
    logLevel = 1;
    ASSERT_EQ(soundInit(0), 1);
    mainLoop.soundEnabled = 1;
    headlessSetAudioQueueFails(1);
    soundStart();
    EXPECT_EQ((Ints{headlessAudioQueued(), nextWaveBuffer()}), (Ints{0, 0}));
    EXPECT_STREQ(logBuffer.text[0], "Unable to start sound.");
    clearLog();
    mixBuffer();
    EXPECT_EQ(nextWaveBuffer(), 0);
    // 34 characters wrap at 30 columns, in the error colour.
    EXPECT_EQ(std::string(logBuffer.text[2], LOG_COLUMNS), "[ERROR] Unable to play WAV_Buf");
    EXPECT_STREQ(logBuffer.text[1], "fer");
    EXPECT_EQ((Ints{logBuffer.colours[2][0], logBuffer.colours[1][0]}), (Ints{6, 6}));
    headlessSetAudioQueueFails(0);
    mixBuffer();
    EXPECT_EQ((Ints{nextWaveBuffer(), headlessAudioQueued()}), (Ints{1, 1}));
}

TEST_F(Mixer, VolumeFollowsTheSquareLawOverTwoClasses) {
    // Class, volume set, then the volume kept and the effective volume; class 0 is halved once more.
    const int cases[][4] = {{1, 300, 255, 127}, {0, 128, 128, 32}, {0, -4, 0, 0},
                            {0, 200, 200, 78}, {4, 255, 255, 127}};
    for (const auto& c : cases) {
        setVolume(c[0], c[1]);
        EXPECT_EQ((Ints{getVolume(c[0]), effectiveVolume(c[0])}), (Ints{c[2], c[3]})) << c[0] << " " << c[1];
    }
    // Classes outside 0..4 are left alone.
    setVolume(5, 100);
    setVolume(-1, 100);
    EXPECT_EQ((Ints{getVolume(5), getVolume(0), getVolume(1)}), (Ints{0, 200, 255}));
}

TEST_F(Mixer, FiveVoicesForEffectsAndTenForThePlayField) {
    loadTestSound(3, 0, std::vector<int16_t>(100, 1000));
    loadTestSound(15, 1, std::vector<int16_t>(100, 1000));
    for (int i = 0; i < 5; i++) {
        playSound(3);
    }
    EXPECT_EQ(liveVoiceCount(), 5);
    playSound(3);
    startVoice(15, 1);
    EXPECT_EQ(liveVoiceCount(), 5);
    for (int i = 0; i < 5; i++) {
        startFieldVoice(3, 0);
        startVoice(3, 0);
    }
    EXPECT_EQ(liveVoiceCount(), 10);
    startFieldVoice(15, 1);
    EXPECT_EQ((Ints{liveVoiceCount(), classVoiceCount(0), classVoiceCount(1)}), (Ints{10, 10, 0}));
    // An empty slot starts nothing, nor does an id outside the table.
    stopVoice(0);
    for (int id : {30, -1, (int)SOUND_SLOTS, 15}) {
        startFieldVoice(id, 1);
    }
    EXPECT_EQ((Ints{liveVoiceCount(), classVoiceCount(1), voiceAt(9).soundId, voiceAt(9).loop}), (Ints{10, 1, 15, 1}));
}

TEST_F(Mixer, SoundStartedTenMillisecondsAfterAMixBegins220SamplesIn) {
    loadTestSound(10, 0, std::vector<int16_t>(2000, 10240));
    headlessAdvance(3 * MS);
    mixOne();
    headlessAdvance(10 * MS);
    playSound(10);
    EXPECT_EQ(voiceAt(0).position, -220);
    // (10240 x 255) >> 9 = 5100 from the 220th sample on.
    std::vector<int16_t> expected(WAVE_BUFFER_SAMPLES, 5100);
    std::fill(expected.begin(), expected.begin() + 220, 0);
    EXPECT_EQ(mixOne(), expected);
    EXPECT_EQ(voiceAt(0).position, WAVE_BUFFER_SAMPLES - 220);
    // Started right after a mix it begins at the buffer's first sample; a long wait delays it the more.
    playSound(10);
    EXPECT_EQ(voiceAt(1).position, 0);
    headlessAdvance(100 * MS);
    playSound(10);
    EXPECT_EQ(voiceAt(2).position, -2205);
}

// Four full-volume voices add up past 16 bits: the output clips at full scale rather than wrapping
// round to the opposite sign.
TEST_F(Mixer, LoudMomentsClipInsteadOfWrapping) {
    loadTestSound(1, 0, {32767, -32768, 20000, -20000, 100});
    mixOne();  // the voices start at the next buffer's first sample
    for (int v = 0; v < 4; v++) {
        startVoice(1, 0);
    }
    std::vector<int16_t> out = mixOne();
    // 4 x ((20000 x 255) >> 9) = 39840 clips too; 4 x ((100 x 255) >> 9) = 196 passes unchanged, and so
    // does the loader's spare sample past the end (-257: 4 x -128).
    EXPECT_EQ((Ints(out.begin(), out.begin() + 7)), (Ints{32767, -32768, 32767, -32768, 196, -512, 0}));
}

// The real program on the headless backend, closed at once.
void closeAtOnce(int64_t pass) {
    if (pass == 1) {
        headlessPushMessage(MSG_CLOSE, 0, 0);
    }
}

// A failed device is tried once, logged without a message box, and the program plays on in silence.
TEST(WaveOutput, RealProgramRunsSilentWithoutADevice) {
    logLevel = 1;
    headlessSetAudioResult(AUDIO_FAILED);
    headlessSetPumpHook(closeAtOnce);
    EXPECT_EQ(runGame(), 0);
    EXPECT_EQ((Ints{mainLoop.soundEnabled, headlessAudioOpenAttempts(), headlessAudioQueued()}), (Ints{0, 1, 0}));
    EXPECT_TRUE(logHas("waveOutOpen failed"));
    EXPECT_TRUE(logHas("[ERROR] Sound Init Failed."));
    EXPECT_TRUE(headlessMessageBoxes().empty());
}

}  // namespace
