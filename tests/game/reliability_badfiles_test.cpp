// Bad files a player can put in the data folder, read by their loaders: pictures of no size or a crafted
// huge size, an oversized level file, settings of the right size holding garbage. badinput_test.cpp tours
// the whole game with these and more in place (huge hint and block description fields, lettered scores).
#include <gtest/gtest.h>

#include <jpeglib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "field/blocks.h"
#include "field/debris.h"
#include "field/level.h"
#include "flowtest.h"
#include "field/gamevalues.h"
#include "game/highscores.h"
#include "game/hints.h"
#include "game/play.h"
#include "game/settings.h"
#include "gfx/picture.h"
#include "platform/headless/headless.h"
#include "badinput.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "sound/mixer.h"
#include "sound/music.h"
#include "sound/sample.h"
#include "support/testutil.h"

namespace {

// An 8 x 8 JPEG whose frame header then says width x height.
std::vector<uint8_t> craftedJpeg(uint16_t width, uint16_t height) {
    std::vector<uint8_t> rgb(8 * 8 * 3, 160);
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* memory = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &memory, &size);
    info.image_width = 8;
    info.image_height = 8;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = &rgb[(size_t)info.next_scanline * 8 * 3];
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> bytes(memory, memory + size);
    free(memory);
    for (size_t i = 0; i + 8 < bytes.size(); i++) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
            bytes[i + 5] = (uint8_t)(height >> 8);
            bytes[i + 6] = (uint8_t)height;
            bytes[i + 7] = (uint8_t)(width >> 8);
            bytes[i + 8] = (uint8_t)width;
            break;
        }
    }
    return bytes;
}

}  // namespace

// ---- Pictures -----------------------------------------------------------------------------------------

TEST(BadFiles, PicturesOfNoSizeOrACraftedHugeSizeLoadAsTheBlankFallback) {
    GameFolder folder;
    headlessReset();
    setGamma(128);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        int boxes;  // "Jpeg Error" boxes the load shows
    };
    std::vector<Case> cases = {
        {"zero.png", craftedPng(0, 0), 0},
        {"zerowide.png", craftedPng(0, 200), 0},
        {"huge.png", craftedPng(60000, 60000), 0},
        {"widest.png", craftedPng(0x7FFFFFFF, 1), 0},
        {"justunder.png", craftedPng(5000, 5000), 0},  // allowed, but its data runs out at once
        {"zero.jpg", craftedJpeg(0, 0), 1},
        {"huge.jpg", craftedJpeg(65500, 65500), 1},
    };
    for (const Case& c : cases) {
        replaceFileBytes(std::string("Data/") + c.name, c.bytes);
        size_t before = headlessMessageBoxes().size();
        Surface* s = nullptr;
        loadPicture(c.name, &s);
        ASSERT_NE(s, nullptr) << c.name;
        EXPECT_EQ(s->width, 5) << c.name;
        EXPECT_EQ(s->height, 5) << c.name;
        EXPECT_EQ((int)(headlessMessageBoxes().size() - before), c.boxes) << c.name;
        removeSurface(&s);
    }
}

// ---- Levels -------------------------------------------------------------------------------------------

TEST(BadFiles, ALevelFileOf12001BytesLoadsItsThousandBlocks) {
    GameFolder folder;
    headlessReset();
    setGamma(128);
    logLevel = 1;
    std::vector<uint8_t> bytes = thousandBlockLevel();
    ASSERT_EQ(bytes.size(), 12001u);
    replaceFileBytes("Data/level0.dat", bytes);
    clearLog();
    loadLevel(0);
    EXPECT_EQ(currentLevel.blockCount, 1000);
    EXPECT_EQ(std::memcmp(currentLevel.blocks, bytes.data(), 12000), 0);
    // The odd byte is a partial record, ignored without a word; a whole record more is worth a warning.
    EXPECT_EQ(logText().find("more than 1000"), std::string::npos);
    unloadLevel();
    bytes.resize(12012, 0x11);
    replaceFileBytes("Data/level43.dat", bytes);
    loadLevel(43);
    EXPECT_EQ(currentLevel.blockCount, 1000);
    EXPECT_NE(logText().find("more than 1000"), std::string::npos);
    unloadLevel();
}

// ---- Settings -----------------------------------------------------------------------------------------

TEST(BadFiles, SettingsOfTheRightSizeWithGarbageLoadAndTheOptionsScreenRepairsThem) {
    std::vector<uint8_t> bytes = garbageSettings();
    // The logo splash loads them as they stand, volumes clamped by the mixer.
    FlowFixture flow;
    replaceFileBytes("Data/settings.dat", bytes);
    flow.goTo(MODE_SPLASH_LOGO);
    flow.update(30);
    EXPECT_EQ(game.difficulty, 7);
    EXPECT_EQ(game.helpfulHints, 5);
    EXPECT_EQ(getVolume(0), 255);
    EXPECT_EQ(music.volume, 0);
    // The menu writes back what is in force; the options screen repairs what it shows, and the
    // menu after it writes the repaired values.
    flow.goTo(MODE_MAIN_MENU);
    EXPECT_EQ(valueAt(readFileBytes("Data/settings.dat"), 8), 7);
    flow.goTo(MODE_OPTIONS);
    EXPECT_EQ(game.difficulty, 1);
    EXPECT_EQ(game.helpfulHints, 1);
    flow.goTo(MODE_MAIN_MENU);
    std::vector<uint8_t> saved = readFileBytes("Data/settings.dat");
    ASSERT_EQ(saved.size(), (size_t)SETTINGS_BYTES);
    EXPECT_EQ(valueAt(saved, 8), 1);
    EXPECT_EQ(valueAt(saved, 9), 255);
    EXPECT_EQ(valueAt(saved, 10), 0);
    EXPECT_EQ(valueAt(saved, 11), 1);
    // The garbage the game has no rule for stays as it was: key codes and unlock flags.
    EXPECT_TRUE(std::equal(saved.begin() + 52, saved.end(), bytes.begin() + 52));
    EXPECT_TRUE(std::equal(saved.begin(), saved.begin() + 32, bytes.begin()));
}

