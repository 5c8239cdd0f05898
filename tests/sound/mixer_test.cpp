// The sample loaders, the mixer and the wave output on the headless device: exact lengths and data of
// short and odd files, missing files, opening, voice limits, start delay, the volume law, queue failures,
// voices operated on while another thread mixes.
// The output samples themselves are checked against a model in mixer_model_test.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <string>
#include <thread>
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

// A busy device offers Retry and Cancel, and Retry tries again (the whole game's answers to a busy or
// missing device are in the bad-input tour).
TEST(WaveOutput, BusyDeviceOffersRetryAndCancel) {
    headlessSetAudioResultFor(AUDIO_BUSY, 2);
    headlessSetBoxAnswer(MB_RESULT_RETRY);
    EXPECT_EQ((Ints{soundInit(0), headlessAudioOpenAttempts(), (int)headlessMessageBoxes().size()}), (Ints{1, 3, 2}));
    const HeadlessMessageBox& box = headlessMessageBoxes()[0];
    EXPECT_EQ(box.text, "The sound hardware is in use by another program.\n\nSelect Retry to try to start sound "
                        "again or Cancel to play without sound.");
    EXPECT_EQ(box.title, "Sound not available");
    EXPECT_EQ(box.type, MB_TYPE_RETRYCANCEL);
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
    EXPECT_EQ(std::string(logBuffer.text[2], LOG_COLUMNS), "[ERROR] Unable to play WAV_Buf");
    EXPECT_EQ(logBuffer.colours[2][0], 6);  // the error colour
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

using SampleLoading = Mixer;

TEST_F(SampleLoading, ShortAndOddFilesGiveExactLengthsAndData) {
    // The read that meets the end of the file gives lo = hi = -1, so the sample after the last is
    // -1 + -1 x 256 = -257, and an odd last byte takes -1 as its high byte; a spare never read stays
    // silent. The doubled loader puts the mean of each pair between them, dividing toward zero
    // ((-2 + -257) / 2 = -129), the last mean reading the silent spare.
    const int16_t a = 0x1234, b = -2, x = -257;
    struct Case {
        std::vector<uint8_t> bytes;
        int doubled, length;
        std::vector<int16_t> data;  // from the first sample, spare included
    } cases[] = {
        {{0x34, 0x12, 0xFE, 0xFF}, 0, 2, {a, b, x}},
        {{0x34, 0x12, 0x80}, 0, 2, {a, -128, 0}},
        {{0x05}, 0, 1, {5 - 256, 0}},
        {{0x34, 0x12, 0xFE, 0xFF}, 1, 4, {a, (int16_t)((a + b) / 2), b, -129, x, (int16_t)(x / 2), 0}},
        {{0x34, 0x12, 0x80}, 1, 3, {a, (0x1234 - 128) / 2, -128, -64, 0, 0}},
    };
    int slot = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(slot);
        writeFileBytes("Sound/short.raw", c.bytes);
        int soundClass = slot % 2;
        if (c.doubled) {
            EXPECT_EQ(loadSoundDoubled("short.raw", slot, soundClass), 1);
        } else {
            EXPECT_EQ(loadSound("short.raw", slot, soundClass, 3, 9), 1);
            EXPECT_EQ((Ints{sounds[slot].loopStart, sounds[slot].loopEnd}), (Ints{3, 9}));
        }
        EXPECT_EQ((Ints{sounds[slot].length, sounds[slot].soundClass}), (Ints{c.length, soundClass}));
        EXPECT_EQ(std::vector<int16_t>(sounds[slot].data, sounds[slot].data + c.data.size()), c.data);
        slot++;
    }
    EXPECT_TRUE(headlessMessageBoxes().empty());
}

// An empty file stores nothing with either loader; a missing one shows one box with the full path. Both
// leave a loaded slot as it was.
TEST_F(SampleLoading, EmptyAndMissingFilesKeepTheSlot) {
    writeFileBytes("Sound/empty.raw", {});
    writeFileBytes("Sound/two.raw", {1, 0, 2, 0});
    EXPECT_EQ((Ints{loadSound("empty.raw", 3, 0), loadSoundDoubled("empty.raw", 4, 0)}), (Ints{0, 0}));
    EXPECT_TRUE(sounds[3].data == nullptr && sounds[4].data == nullptr && headlessMessageBoxes().empty());
    ASSERT_EQ(loadSound("two.raw", 9, 0), 1);
    const int16_t* before = sounds[9].data;
    EXPECT_EQ((Ints{loadSound("empty.raw", 9, 1), loadSound("nosuch.raw", 9, 1), loadSoundDoubled("gone.raw", 18, 1)}),
              (Ints{0, 0, 0}));
    EXPECT_EQ((Ints{sounds[9].data == before, sounds[9].length, sounds[9].soundClass, sounds[18].data == nullptr}),
              (Ints{1, 2, 0, 1}));
    ASSERT_EQ(headlessMessageBoxes().size(), 2u);
    const HeadlessMessageBox& box = headlessMessageBoxes()[0];
    EXPECT_EQ(box.text + " " + box.title + " " + headlessMessageBoxes()[1].text,
              "./Sound/nosuch.raw File Not Found ./Sound/gone.raw");
    // Slots and classes outside the tables are refused.
    EXPECT_EQ((Ints{loadSound("two.raw", -1, 0), loadSound("two.raw", SOUND_SLOTS, 0),
                    loadSoundDoubled("two.raw", 3, VOLUME_CLASSES), loadSound("two.raw", 3, -1)}),
              (Ints{0, 0, 0, 0}));
    EXPECT_EQ(sounds[3].data, nullptr);
}

}  // namespace

// The mixer shared between two threads: one plays the wave output (mixing every finished buffer) without
// pause while the game thread starts, stops, releases and unloads voices and changes volumes. Meant to
// be run under a thread or address sanitizer as well.
TEST(MixerThreads, VoiceOperationsWhileAnotherThreadMixes) {
    ScratchFolder folder;
    useSoundFolder();
    ASSERT_EQ(openSoundOutput(), 1);
    headlessSetAudioCapture(0);
    const int lengths[6] = {5, 300, 1500, 4000, 20000, 1};
    auto load = [&](int id) {
        loadTestSound(id, id % 2, std::vector<int16_t>((size_t)lengths[id], (int16_t)(id * 5000 - 12000)));
        setLoopEnd(id);
    };
    for (int id = 0; id < 6; id++) {
        load(id);
    }
    std::atomic<bool> stop{false};
    std::atomic<int> mixes{0};
    std::thread device([&] {
        while (!stop) {
            mixes += headlessAudioPlayOne();
        }
    });
    std::mt19937 draw(12345);
    auto next = [&draw](int n) { return (int)(draw() % (uint32_t)n); };
    int operations = 0, idleAnswers = 0, maxLive = 0;
    // Counted rather than timed, so a busy machine only makes the test slower; the deadline is a guard.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while ((operations < 5000 || mixes.load() < 200 || maxLive < FIELD_VOICE_LIMIT) &&
           std::chrono::steady_clock::now() < deadline) {
        int id = next(6);
        switch (next(9)) {
        case 0: playSound(id); break;
        case 1: startFieldVoice(id, next(4) == 0); break;
        case 2: startVoice(id, 1); break;
        case 3: stopVoice(next(12)); break;
        case 4: stopLooping(id); break;
        case 5: releaseLoop(id); break;
        case 6: setVolume(next(2), next(256)); break;
        case 7: idleAnswers += isSoundIdle(id); break;
        default:
            unloadSound(id);  // a slot freed and filled again while voices of it may be playing
            load(id);
            break;
        }
        maxLive = std::max(maxLive, liveVoiceCount());
        headlessAdvance(100);
        operations++;
    }
    stop = true;
    device.join();
    // Two buffers stayed queued all along, and the class counts agree with the list.
    Ints perClass = {0, 0};
    for (int j = 0; j < liveVoiceCount(); j++) {
        perClass[(size_t)sounds[voiceAt(j).soundId].soundClass]++;
    }
    EXPECT_EQ((Ints{mixes.load() >= 200, operations >= 5000, idleAnswers > 0, maxLive, headlessAudioQueued(),
                    classVoiceCount(0), classVoiceCount(1)}),
              (Ints{1, 1, 1, FIELD_VOICE_LIMIT, 2, perClass[0], perClass[1]}));
}
