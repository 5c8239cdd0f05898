// The sample loaders: exact lengths and data for short and odd files, the spare sample, missing files.
#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/headless.h"
#include "soundtest.h"

namespace {

class SampleLoading : public ::testing::Test {
protected:
    ScratchFolder folder;
    void SetUp() override { useSoundFolder(); }
};

std::vector<int16_t> slotData(int id, int count) {
    return std::vector<int16_t>(sounds[id].data, sounds[id].data + count);
}

TEST_F(SampleLoading, FourBytesGiveTwoSamplesAndTheEndOfFileSample) {
    writeFileBytes("Sound/two.raw", {0x34, 0x12, 0xFE, 0xFF});
    EXPECT_EQ(loadSound("two.raw", 7, 0, 3, 9), 1);
    EXPECT_EQ(sounds[7].length, 2);
    EXPECT_EQ(sounds[7].soundClass, 0);
    EXPECT_EQ(sounds[7].loopStart, 3);
    EXPECT_EQ(sounds[7].loopEnd, 9);
    // The read that meets the end gives lo = hi = -1: -1 + -1 x 256.
    EXPECT_EQ(slotData(7, 3), (std::vector<int16_t>{0x1234, -2, -257}));
    EXPECT_TRUE(headlessMessageBoxes().empty());
}

TEST_F(SampleLoading, ThreeBytesTakeTheEndOfFileAsTheLastHighByte) {
    writeFileBytes("Sound/three.raw", {0x34, 0x12, 0x80});
    EXPECT_EQ(loadSound("three.raw", 1, 0), 1);
    EXPECT_EQ(sounds[1].length, 2);
    EXPECT_EQ(sounds[1].loopStart, 0);
    EXPECT_EQ(sounds[1].loopEnd, 0);
    // 0x80 + (-1 x 256); the spare after it was never read and stays silent.
    EXPECT_EQ(slotData(1, 3), (std::vector<int16_t>{0x1234, -128, 0}));
}

TEST_F(SampleLoading, OneByteGivesOneSample) {
    writeFileBytes("Sound/one.raw", {0x05});
    EXPECT_EQ(loadSound("one.raw", 2, 1), 1);
    EXPECT_EQ(sounds[2].length, 1);
    EXPECT_EQ(sounds[2].soundClass, 1);
    EXPECT_EQ(slotData(2, 2), (std::vector<int16_t>{5 - 256, 0}));
}

TEST_F(SampleLoading, EmptyFileStoresNothingWithEitherLoader) {
    writeFileBytes("Sound/empty.raw", {});
    EXPECT_EQ(loadSound("empty.raw", 3, 0), 0);
    EXPECT_EQ(sounds[3].data, nullptr);
    EXPECT_EQ(loadSoundDoubled("empty.raw", 4, 0), 0);
    EXPECT_EQ(sounds[4].data, nullptr);
    // A loaded slot keeps what it had.
    writeFileBytes("Sound/two.raw", {1, 0, 2, 0});
    ASSERT_EQ(loadSound("two.raw", 5, 0), 1);
    int16_t* before = sounds[5].data;
    EXPECT_EQ(loadSound("empty.raw", 5, 1), 0);
    EXPECT_EQ(sounds[5].data, before);
    EXPECT_EQ(sounds[5].length, 2);
    EXPECT_EQ(sounds[5].soundClass, 0);
    EXPECT_TRUE(headlessMessageBoxes().empty());
}

TEST_F(SampleLoading, DoubledFourBytesInterpolateUpToTheEndOfFileSample) {
    int16_t a = 0x1234, b = -2, x = -257;
    writeFileBytes("Sound/two.raw", rawBytes({a, b}));
    EXPECT_EQ(loadSoundDoubled("two.raw", 15, 1), 1);
    EXPECT_EQ(sounds[15].length, 4);
    EXPECT_EQ(sounds[15].soundClass, 1);
    // Means divide toward zero: (b + x) / 2 = -259 / 2 = -129; the last mean reads the silent spare.
    EXPECT_EQ(slotData(15, 7), (std::vector<int16_t>{a, (int16_t)((a + b) / 2), b, (int16_t)((b + x) / 2), x,
                                                     (int16_t)(x / 2), 0}));
    EXPECT_EQ((b + x) / 2, -129);
}

TEST_F(SampleLoading, DoubledThreeBytes) {
    writeFileBytes("Sound/three.raw", {0x34, 0x12, 0x80});
    EXPECT_EQ(loadSoundDoubled("three.raw", 18, 1), 1);
    EXPECT_EQ(sounds[18].length, 3);
    EXPECT_EQ(slotData(18, 6), (std::vector<int16_t>{0x1234, (0x1234 - 128) / 2, -128, -64, 0, 0}));
}

TEST_F(SampleLoading, LongerFileKeepsEverySample) {
    std::vector<int16_t> samples;
    for (int i = 0; i < 3000; i++) {
        samples.push_back((int16_t)(i * 97 - 32768 + (i % 7) * 5000));
    }
    writeSoundFile("long.raw", samples);
    ASSERT_EQ(loadSound("long.raw", 6, 0), 1);
    EXPECT_EQ(sounds[6].length, 3000);
    EXPECT_EQ(slotData(6, 3000), samples);
    EXPECT_EQ(sounds[6].data[3000], -257);

    ASSERT_EQ(loadSoundDoubled("long.raw", 20, 0), 1);
    EXPECT_EQ(sounds[20].length, 6000);
    for (int i = 0; i < 3000; i++) {
        ASSERT_EQ(sounds[20].data[2 * i], samples[i]) << i;
        int next = i + 1 < 3000 ? samples[i + 1] : -257;
        ASSERT_EQ(sounds[20].data[2 * i + 1], (samples[i] + next) / 2) << i;
    }
    EXPECT_EQ(sounds[20].data[6000], -257);
}

TEST_F(SampleLoading, MissingFileShowsOneBoxWithTheFullPathAndKeepsTheSlot) {
    writeFileBytes("Sound/two.raw", {1, 0, 2, 0});
    ASSERT_EQ(loadSound("two.raw", 9, 0), 1);
    int16_t* before = sounds[9].data;
    EXPECT_EQ(loadSound("nosuch.raw", 9, 1), 0);
    ASSERT_EQ(headlessMessageBoxes().size(), 1u);
    EXPECT_EQ(headlessMessageBoxes()[0].text, "./Sound/nosuch.raw");
    EXPECT_EQ(headlessMessageBoxes()[0].title, "File Not Found");
    EXPECT_EQ(headlessMessageBoxes()[0].type, MB_TYPE_OK);
    EXPECT_EQ(sounds[9].data, before);
    EXPECT_EQ(sounds[9].soundClass, 0);

    EXPECT_EQ(loadSoundDoubled("gone.raw", 18, 1), 0);
    ASSERT_EQ(headlessMessageBoxes().size(), 2u);
    EXPECT_EQ(headlessMessageBoxes()[1].text, "./Sound/gone.raw");
    EXPECT_EQ(sounds[18].data, nullptr);
}

TEST_F(SampleLoading, SlotsAndClassesOutsideTheTablesAreRefused) {
    writeFileBytes("Sound/two.raw", {1, 0, 2, 0});
    EXPECT_EQ(loadSound("two.raw", -1, 0), 0);
    EXPECT_EQ(loadSound("two.raw", SOUND_SLOTS, 0), 0);
    EXPECT_EQ(loadSoundDoubled("two.raw", 3, VOLUME_CLASSES), 0);
    EXPECT_EQ(loadSound("two.raw", 3, -1), 0);
    EXPECT_EQ(sounds[3].data, nullptr);
    unloadSound(-1);
    unloadSound(SOUND_SLOTS);
    setLoopEnd(SOUND_SLOTS);
}

TEST_F(SampleLoading, UnloadStopsTheSlotsVoicesAndEmptiesIt) {
    ASSERT_EQ(openSoundOutput(), 1);
    loadTestSound(4, 0, {100, 200, 300});
    loadTestSound(5, 0, {1, 2, 3});
    playSound(4);
    playSound(5);
    startVoice(4, 1);
    ASSERT_EQ(liveVoiceCount(), 3);
    unloadSound(4);
    EXPECT_EQ(sounds[4].data, nullptr);
    EXPECT_EQ(liveVoiceCount(), 1);
    EXPECT_EQ(voiceAt(0).soundId, 5);
    EXPECT_EQ(isSoundIdle(4), 1);
    // An empty slot starts no voice; unloading it again is harmless.
    playSound(4);
    EXPECT_EQ(liveVoiceCount(), 1);
    unloadSound(4);
    // The slot loads again after an unload.
    loadTestSound(4, 0, {7, 8});
    EXPECT_EQ(sounds[4].length, 2);
    EXPECT_EQ(sounds[4].data[0], 7);
}

TEST_F(SampleLoading, SetLoopEndTakesTheLength) {
    writeFileBytes("Sound/track.raw", rawBytes({1, 2, 3, 4, 5}));
    ASSERT_EQ(loadSoundDoubled("track.raw", 18, 1), 1);
    EXPECT_EQ(sounds[18].loopEnd, 0);
    setLoopEnd(18);
    EXPECT_EQ(sounds[18].loopEnd, 10);
    EXPECT_EQ(sounds[18].loopStart, 0);
}

}  // namespace
