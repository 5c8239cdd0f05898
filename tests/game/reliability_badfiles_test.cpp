// Bad files a player can put in the data and sound folders: pictures of no size or a crafted huge size,
// an oversized level file, hint and block description files with huge fields, settings of the right
// size holding garbage, high-score tables with letters where the scores go, empty and odd-sized sounds.
// Each is read by its loader, then the whole game is toured with it in place.
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
#include "game/gamevalues.h"
#include "game/highscores.h"
#include "game/hints.h"
#include "game/play.h"
#include "game/settings.h"
#include "gfx/picture.h"
#include "platform/headless/headless.h"
#include "player.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "sound/mixer.h"
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

std::vector<std::string> filesIn(const char* folder, const char* extension) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == extension) {
            names.push_back(entry.path().filename().string());
        }
    }
    return names;
}

int boxesTitled(const TourResult& result, const std::string& title) {
    int n = 0;
    for (const HeadlessMessageBox& box : result.boxes) {
        n += box.title == title ? 1 : 0;
    }
    return n;
}

LevelBlock blockRecord(int x, int y, int type, int w, int h, int powerUp) {
    LevelBlock r = {};
    r.x = (uint16_t)x;
    r.y = (uint16_t)y;
    r.type = (uint8_t)type;
    r.width = (uint8_t)w;
    r.height = (uint8_t)h;
    r.powerUp = (uint16_t)powerUp;
    return r;
}

std::vector<uint8_t> levelBytes(const std::vector<LevelBlock>& blocks) {
    std::vector<uint8_t> bytes(blocks.size() * sizeof(LevelBlock));
    if (!blocks.empty()) {
        std::memcpy(bytes.data(), blocks.data(), bytes.size());
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

TEST(BadFiles, WithEveryPictureOfNoSizeOrAHugeSizeEveryScreenStillWorks) {
    GameFolder folder;
    std::vector<std::string> pictures = filesIn("Data", ".png");
    ASSERT_GT(pictures.size(), 10u);
    for (size_t i = 0; i < pictures.size(); i++) {
        replaceFileBytes("Data/" + pictures[i], i % 2 == 0 ? craftedPng(0, 0) : craftedPng(60000, 60000));
    }
    TourOptions options;
    options.needles = {"surface still null"};
    TourResult result = tourTheGame(options);
    EXPECT_EQ(tourFaults(result), "");
    EXPECT_EQ(boxesTitled(result, "File Not Found"), 0);
    EXPECT_EQ(result.found.count("surface still null"), 1u);
    std::printf("%zu pictures broken; %lld passes, %u updates\n", pictures.size(), (long long)result.passes,
                result.updates);
}

// ---- Levels -------------------------------------------------------------------------------------------

TEST(BadFiles, ALevelFileOf12001BytesLoadsItsThousandBlocksAndPlays) {
    GameFolder folder;
    headlessReset();
    setGamma(128);
    logLevel = 1;
    // A thousand blocks over the upper field, one byte more.
    std::vector<LevelBlock> blocks;
    for (int i = 0; i < 1000; i++) {
        blocks.push_back(blockRecord(10 + (i * 7) % 210, 10 + (i * 13) % 200, i % 4, 10, 5, i % 23));
    }
    std::vector<uint8_t> bytes = levelBytes(blocks);
    bytes.push_back(0x5A);
    ASSERT_EQ(bytes.size(), 12001u);
    replaceFileBytes("Data/level0.dat", bytes);
    const std::vector<uint8_t> original = bytes;
    clearLog();
    loadLevel(0);
    EXPECT_EQ(levelBlockCount, 1000);
    EXPECT_EQ(std::memcmp(levelBlocks, blocks.data(), 12000), 0);
    // The odd byte is a partial record, ignored without a word; a whole record more is worth a warning.
    EXPECT_EQ(logText().find("more than 1000"), std::string::npos);
    unloadLevel();
    bytes.resize(12012, 0x11);
    replaceFileBytes("Data/level43.dat", bytes);
    loadLevel(43);
    EXPECT_EQ(levelBlockCount, 1000);
    EXPECT_NE(logText().find("more than 1000"), std::string::npos);
    unloadLevel();

    TourOptions options;
    options.level = 0;
    TourResult result = tourTheGame(options);
    EXPECT_EQ(tourFaults(result), "");
    // The editor wrote level 0 only if the tour edited it: then at most the thousand records, whole ones.
    std::vector<uint8_t> saved = readFileBytes("Data/level0.dat");
    EXPECT_TRUE(saved == original || (saved.size() <= 12000u && saved.size() % 12 == 0u)) << saved.size();
}

// ---- Hints --------------------------------------------------------------------------------------------

TEST(BadFiles, HintFieldsOf5000CharactersAreCutAndTheBoxStillDraws) {
    GameFolder folder;
    std::string letters;
    for (int i = 0; i < 5000; i++) {
        letters += (char)('a' + i % 26);
        if (i % 7 == 6) {
            letters += ' ';
        }
    }
    letters.resize(5000);
    const std::vector<std::string> files = {
        "[hint|" + letters + "]",
        "[hint|" + std::string(5000, '\n') + "]",
        "[hint|" + std::string(5000, '^') + "]",
        "[hint|" + std::string(5000, '-') + "][width|-99999]",
        "[show|" + std::string(5000, '9') + "][width|" + std::string(5000, '7') + "][hint|x]",
        "[" + std::string(5000, '|') + "]",
        "[hint|" + letters + "|" + letters + "]" + letters,
    };
    for (size_t i = 0; i < files.size(); i++) {
        replaceFileBytes("Data/hint" + std::to_string(90 + i) + ".txt", textBytes(files[i]));
        HintText hint;
        ASSERT_EQ(loadHint(90 + (int)i, &hint), 1);
        EXPECT_LE(std::strlen(hint.text), (size_t)HINT_FIELD_CHARS) << "file " << i;
    }
    HintText hint;
    loadHint(90, &hint);
    EXPECT_EQ(std::string(hint.text), letters.substr(0, 1000));
    loadHint(96, &hint);
    EXPECT_EQ(hint.hasText, 0);  // three fields: not a tag the game uses

    // Each file in turn is the hint of level 0, shown while the level is played.
    for (size_t i = 0; i < files.size(); i++) {
        replaceFileBytes("Data/hint0.txt", textBytes(files[i]));
        std::string faults = inChild([&]() -> std::string {
            TourOptions options;
            options.passesPerScreen = 60;
            options.playPasses = 400;
            options.seed = 11 + (uint32_t)i;
            int shown = 0;
            options.everyPass = [&](int64_t) {
                shown += currentMode == MODE_PLAY && game.helpfulHints && hintPanel.y > -50 ? 1 : 0;
            };
            TourResult result = tourTheGame(options);
            return tourFaults(result) + (shown > 0 ? "" : " the hint never showed");
        });
        EXPECT_EQ(faults, "") << "file " << i;
    }
}

// ---- Block descriptions -------------------------------------------------------------------------------

namespace {

// 200 block records with fields of 100 characters: numbers of 100 digits, a number padded with
// spaces, or 100 characters of anything but the separators; every fifth record of another word.
std::string wideBlockDescriptions(void) {
    std::string text;
    std::mt19937 random(5);
    for (int r = 0; r < 200; r++) {
        std::string fields[5];
        fields[0] = "block";
        for (int k = 1; k < 5; k++) {
            // A number of up to 100 digits, or 100 characters of anything but the separators.
            std::string f;
            if (r % 3 == 0) {
                f = std::string(100, (char)('0' + r % 10));
            } else if (r % 3 == 1) {
                f = std::to_string(random() % 400) + std::string(97, ' ');
            } else {
                for (int c = 0; c < 100; c++) {
                    char ch = (char)(32 + random() % 95);
                    f += ch == '[' || ch == ']' || ch == ',' ? '#' : ch;
                }
            }
            fields[k] = f;
        }
        if (r % 5 == 4) {
            fields[0] = std::string(100, 'b');  // not a block record
        }
        text += "[" + fields[0] + "," + fields[1] + "," + fields[2] + "," + fields[3] + "," + fields[4] + "]\n";
    }
    return text;
}

// Blocks of every odd shape and type: at the far right, on the lowest row kept, as wide and tall as a
// record allows, of types past the table, hiding power-ups past the last kind.
std::vector<LevelBlock> oddBlocks(void) {
    std::vector<LevelBlock> blocks;
    for (int i = 0; i < 300; i++) {
        blocks.push_back(blockRecord((i * 37) % 230, (i * 11) % 230, (i * 3) % 256, 1 + i % 40, 1 + i % 30, i % 30));
    }
    blocks.push_back(blockRecord(65535, 10, 1, 255, 255, 65535));
    blocks.push_back(blockRecord(230, 240, 255, 255, 255, 23));
    blocks.push_back(blockRecord(0, 0, 99, 0, 0, 22));
    blocks.push_back(blockRecord(239, 239, 0, 1, 1, 1));
    return blocks;
}

}  // namespace


TEST(BadFiles, ABlockDescriptionOf200RecordsWith100CharacterFieldsKeepsItsLimits) {
    GameFolder folder;
    logLevel = 0;
    replaceFileBytes("Data/blocks5.txt", textBytes(wideBlockDescriptions()));
    loadBlockDescriptions(5);
    EXPECT_EQ(blockTypeCount, 100);
    // Record 0: four fields of a hundred zeros read as 0 (forty characters kept of each).
    EXPECT_EQ(blockTypes[0].cellX, 0);
    EXPECT_EQ(blockTypes[0].width, 0);

    // A level that uses the types the file did not give (up to 255) as well as those it did.
    replaceFileBytes("Data/level0.dat", levelBytes(oddBlocks()));
    TourOptions options;
    options.level = 0;
    TourResult result = tourTheGame(options);
    EXPECT_EQ(tourFaults(result), "");
    EXPECT_EQ(blockTypeCount, 100);
}

// ---- Settings -----------------------------------------------------------------------------------------

namespace {

// A settings file of the right size holding garbage, with a difficulty of 7, volumes of 300 and -5,
// hints 5 and an unlock flag of the most negative number.
std::vector<uint8_t> garbageSettings(void) {
    std::mt19937 random(3);
    std::vector<int32_t> values(SETTINGS_BYTES / 4);
    for (int32_t& v : values) {
        v = (int32_t)random();
    }
    values[8] = 7;           // difficulty
    values[9] = 300;         // effects volume
    values[10] = -5;         // music volume
    values[11] = 5;          // helpful hints
    values[12] = INT32_MIN;  // an unlock flag
    return valuesToBytes(values);
}

}  // namespace

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
    EXPECT_EQ(game.musicVolume, 0);
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

TEST(BadFiles, WithGarbageSettingsEveryScreenStillWorks) {
    GameFolder folder;
    std::vector<uint8_t> bytes = garbageSettings();
    // The whole game with the garbage in force: every screen, before and after the options.
    replaceFileBytes("Data/settings.dat", bytes);
    TourResult result = tourTheGame(TourOptions());
    EXPECT_EQ(tourFaults(result), "");
    std::vector<uint8_t> saved = readFileBytes("Data/settings.dat");
    ASSERT_EQ(saved.size(), (size_t)SETTINGS_BYTES);
    EXPECT_GE(valueAt(saved, 8), 1);
    EXPECT_LE(valueAt(saved, 8), 4);
    EXPECT_TRUE(valueAt(saved, 11) == 0 || valueAt(saved, 11) == 1);
}

// ---- High scores --------------------------------------------------------------------------------------

TEST(BadFiles, HighScoreTablesWithLettersInTheScoresRankAsFarAsTheyReadAndShow) {
    GameFolder folder;
    // Names of anything; scores with letters, signs, control characters and bytes past 127.
    std::string table = "ALICE.....abcdefghij"
                        "BOB.......12ab34cd56"
                        "CAROL.....-----99999"
                        "DAVE......\x01\x02\x03\x04\xff\xfe\x80.. "
                        "EVE.......  ++++7777"
                        "\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff";
    table.resize(500, 'Z');
    replaceFileBytes("Data/Plinkor1.dat", textBytes(table));
    loadHighScores(1);
    EXPECT_EQ(std::string(highScoreTable(), 500), table);
    // "abcdefghij" reads 0, "12ab34cd56" reads 12, "-----99999" reads 0 (a lone sign, then another),
    // so a score of 5 ranks first.
    EXPECT_EQ(highScoreRank(5, 1), 0);
    EXPECT_EQ(highScoreRank(0, 1), 25);

    int tableShown = 0;
    TourOptions options;
    options.everyPass = [&](int64_t) {
        tableShown += currentMode == MODE_HIGH_SCORES && previousMode == MODE_HIGH_SCORES ? 1 : 0;
    };
    TourResult result = tourTheGame(options);
    EXPECT_EQ(tourFaults(result), "");
    EXPECT_GT(tableShown, 0);
    // The table is still 500 characters whatever was inserted, the old entries moved down whole.
    std::vector<uint8_t> saved = readFileBytes("Data/Plinkor1.dat");
    EXPECT_EQ(saved.size(), 500u);
    std::string text(saved.begin(), saved.end());
    EXPECT_NE(text.find("BOB.......12ab34cd56"), std::string::npos);
}

// ---- Sounds -------------------------------------------------------------------------------------------

TEST(BadFiles, EmptyAndOddSizedSoundFilesPlayAsWhatTheyHold) {
    GameFolder folder;
    std::vector<std::string> sounds = filesIn("Sound", ".raw");
    ASSERT_GT(sounds.size(), 10u);
    for (size_t i = 0; i < sounds.size(); i++) {
        size_t size = i % 3 == 0 ? 0 : (i % 3 == 1 ? 1 : 12345);
        replaceFileBytes("Sound/" + sounds[i], std::vector<uint8_t>(size, (uint8_t)(0x40 + i)));
    }
    TourOptions options;
    int queued = 0;
    options.everyPass = [&](int64_t) { queued = headlessAudioQueued(); };
    TourResult result = tourTheGame(options);
    EXPECT_EQ(tourFaults(result), "");
    EXPECT_EQ(boxesTitled(result, "File Not Found"), 0);
    EXPECT_GE(queued, 0);
    // The mixer went on playing buffers all the while.
    EXPECT_GT(headlessAudioOpened(), 0);
}

TEST(BadFiles, OddBlocksDrawBreakAndReleaseWhatTheyHoldWithoutHarm) {
    FlowFixture flow;
    replaceFileBytes("Data/blocks5.txt", textBytes(wideBlockDescriptions()));
    std::vector<LevelBlock> blocks = oddBlocks();
    replaceFileBytes("Data/level0.dat", levelBytes(blocks));
    game.levelIndex = 0;
    game.lives = 3;
    game.cheats.seePowerUps = 1;  // every hidden power-up's mark is drawn
    flow.goTo(MODE_NEW_GAME);
    flow.update(3);
    ASSERT_EQ(currentMode, MODE_PLAY);
    ASSERT_EQ(blockTypeCount, 100);
    // The record at y 240 is kept and the rest of the odd ones too.
    EXPECT_EQ(levelBlockCount, (int32_t)blocks.size());
    redrawField();
    // Every block broken in turn, each releasing what it holds, the play going on between.
    while (levelBlockCount > 0) {
        breakBlock(levelBlockCount - 1);
        flow.update(1);
        if (currentMode != MODE_PLAY) {
            break;
        }
    }
    flow.update(600);
    flow.goTo(MODE_EDITOR);
    flow.update(10);
    EXPECT_EQ(currentMode, MODE_EDITOR);
    flow.goTo(MODE_MAIN_MENU);
}
