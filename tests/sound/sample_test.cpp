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
        EXPECT_EQ((Ints{sounds[slot].length, sounds[slot].soundClass}),
                  (Ints{c.length, soundClass}));
        EXPECT_EQ(slotData(slot, (int)c.data.size()), c.data);
        slot++;
    }
    EXPECT_TRUE(headlessMessageBoxes().empty());
}

// An empty file stores nothing with either loader; a missing one shows one box with the full path. Both
// leave a loaded slot as it was.
TEST_F(SampleLoading, EmptyAndMissingFilesKeepTheSlot) {
    writeFileBytes("Sound/empty.raw", {});
    writeFileBytes("Sound/two.raw", {1, 0, 2, 0});
    EXPECT_EQ(loadSound("empty.raw", 3, 0), 0);
    EXPECT_EQ(loadSoundDoubled("empty.raw", 4, 0), 0);
    EXPECT_EQ(sounds[3].data, nullptr);
    EXPECT_EQ(sounds[4].data, nullptr);
    EXPECT_TRUE(headlessMessageBoxes().empty());
    ASSERT_EQ(loadSound("two.raw", 9, 0), 1);
    int16_t* before = sounds[9].data;
    EXPECT_EQ(loadSound("empty.raw", 9, 1), 0);
    EXPECT_EQ(loadSound("nosuch.raw", 9, 1), 0);
    EXPECT_EQ(sounds[9].data, before);
    EXPECT_EQ((Ints{sounds[9].length, sounds[9].soundClass}), (Ints{2, 0}));
    ASSERT_EQ(headlessMessageBoxes().size(), 1u);
    EXPECT_EQ(headlessMessageBoxes()[0].text, "./Sound/nosuch.raw");
    EXPECT_EQ(headlessMessageBoxes()[0].title, "File Not Found");
    EXPECT_EQ(headlessMessageBoxes()[0].type, MB_TYPE_OK);

    EXPECT_EQ(loadSoundDoubled("gone.raw", 18, 1), 0);
    ASSERT_EQ(headlessMessageBoxes().size(), 2u);
    EXPECT_EQ(headlessMessageBoxes()[1].text, "./Sound/gone.raw");
    EXPECT_EQ(sounds[18].data, nullptr);
    // Slots and classes outside the tables are refused.
    EXPECT_EQ((Ints{loadSound("two.raw", -1, 0), loadSound("two.raw", SOUND_SLOTS, 0),
                    loadSoundDoubled("two.raw", 3, VOLUME_CLASSES), loadSound("two.raw", 3, -1)}),
              (Ints{0, 0, 0, 0}));
    EXPECT_EQ(sounds[3].data, nullptr);
}

}  // namespace
