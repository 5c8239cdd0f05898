// Levels: file loading edge cases, saving by replacement, unloading, lookups, recolouring, thumbnails.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "field/ball.h"
#include "field/blocks.h"
#include "field/debris.h"
#include "field/level.h"
#include "fieldkit.h"
#include "gfx/blit.h"
#include "shell/log.h"
#include "support/testutil.h"

static LevelBlock record(int x, int y, int type, int w, int h, int powerUp = 0) {
    LevelBlock r = {};
    r.x = (uint16_t)x;
    r.y = (uint16_t)y;
    r.type = (uint8_t)type;
    r.width = (uint8_t)w;
    r.height = (uint8_t)h;
    r.powerUp = (uint16_t)powerUp;
    return r;
}

// A scratch folder with the kit's data and a fresh field state, nothing loaded.
class LevelFiles : public ::testing::Test {
protected:
    void SetUp() override {
        resetFieldState();
        writeKitData();
    }
    ScratchFolder folder;
};

TEST_F(LevelFiles, LevelNumbersNameTheirOwnFiles) {
    LevelBlock a[2] = {record(10, 10, 1, 10, 5), record(30, 10, 0, 10, 5)};
    LevelBlock b[1] = {record(50, 50, 2, 10, 5, 3)};
    writeLevelFile(0, a, 2);
    writeLevelFile(42, b, 1);
    writeLevelFile(1, b, 1);
    writeLevelFile(45, a, 2);
    EXPECT_EQ(loadLevel(0), 1);
    EXPECT_EQ(levelBlockCount, 2);
    EXPECT_EQ(indestructibleCount, 1);
    EXPECT_EQ(levelMusicTrack, 1);
    pristineBackground = createSurface(240, 320);  // made by the caller in play and in the editor
    EXPECT_EQ(unloadLevel(), 1);
    loadLevel(1);
    EXPECT_EQ(levelBlockCount, 1);
    EXPECT_EQ(levelBlocks[0].powerUp, 3);
    EXPECT_EQ(levelMusicTrack, 2);
    // The editor's save of level 0 is what the next load of level 0 reads.
    levelBlocks[0].x = 77;
    EXPECT_EQ(saveLevel(0), 1);
    pristineBackground = createSurface(240, 320);
    EXPECT_EQ(unloadLevel(), 1);
    loadLevel(0);
    EXPECT_EQ(levelBlockCount, 1);
    EXPECT_EQ(levelBlocks[0].x, 77);
}

TEST_F(LevelFiles, ATwentyFiveByteFileHoldsTwoRecords) {
    LevelBlock a[2] = {record(10, 10, 1, 10, 5), record(30, 12, 2, 10, 5)};
    writeLevelFile(3, a, 2);
    std::vector<uint8_t> bytes = readFileBytes("Data/level3.dat");
    bytes.push_back(0xAB);
    writeFileBytes("Data/level3.dat", bytes);
    loadLevel(3);
    EXPECT_EQ(levelBlockCount, 2);
    EXPECT_EQ(levelBlocks[1].y, 12);
    EXPECT_EQ(levelBlocks[1].type, 2);
}

TEST_F(LevelFiles, RowsBelow240AreDroppedAndMovedRecordsReexamined) {
    LevelBlock a[5] = {record(1, 241, 1, 10, 5), record(2, 10, 1, 10, 5), record(3, 250, 1, 10, 5),
                       record(4, 240, 0, 10, 5), record(5, 241, 1, 10, 5)};
    writeLevelFile(4, a, 5);
    loadLevel(4);
    ASSERT_EQ(levelBlockCount, 2);
    // [241, 10, 250, 240, 241]: slot 0 takes the last (241, dropped too), then 240 (kept).
    EXPECT_EQ(levelBlocks[0].x, 4);
    EXPECT_EQ(levelBlocks[0].y, 240);
    EXPECT_EQ(levelBlocks[1].x, 2);
    EXPECT_EQ(indestructibleCount, 1);
}

TEST_F(LevelFiles, MoreThanAThousandRecordsReadTheFirstThousandWithAWarning) {
    std::vector<LevelBlock> many;
    for (int i = 0; i < 1003; i++) {
        many.push_back(record(i % 200, i % 200, i < 1000 ? 1 : 0, 10, 5));
    }
    writeLevelFile(5, many.data(), (int)many.size());
    logLevel = 1;
    clearLog();
    loadLevel(5);
    EXPECT_EQ(levelBlockCount, 1000);
    EXPECT_EQ(indestructibleCount, 0);
    EXPECT_NE(logText().find("[WARNING]"), std::string::npos);
    EXPECT_NE(logText().find("more than 1000 blocks"), std::string::npos);

    unloadLevel();
    writeLevelFile(6, many.data(), 1000);  // exactly 1000: no warning
    clearLog();
    loadLevel(6);
    EXPECT_EQ(levelBlockCount, 1000);
    EXPECT_EQ(logText().find("[WARNING]"), std::string::npos);
}

TEST_F(LevelFiles, MissingOrEmptyFileGivesAnEmptyLevel) {
    levelBlockCount = 5;
    indestructibleCount = 2;
    ballCount = 3;
    debrisCount = 4;
    EXPECT_EQ(loadLevel(17), 1);
    EXPECT_EQ(levelBlockCount, 0);
    EXPECT_EQ(indestructibleCount, 0);
    EXPECT_EQ(ballCount, 0);
    EXPECT_EQ(debrisCount, 0);
    EXPECT_NE(collisionMap, nullptr);
    unloadLevel();
    writeFileBytes("Data/level18.dat", {});
    loadLevel(18);
    EXPECT_EQ(levelBlockCount, 0);
}

TEST_F(LevelFiles, OnlySteelGivesIndestructibleCountEqualToTheRecords) {
    LevelBlock a[3] = {record(10, 10, 0, 10, 5), record(30, 10, 0, 10, 5), record(50, 10, 0, 10, 5)};
    writeLevelFile(8, a, 3);
    loadLevel(8);
    EXPECT_EQ(indestructibleCount, 3);
    EXPECT_EQ(levelBlockCount, 3);
}

TEST_F(LevelFiles, SavingReplacesTheFileWholeAndKeepsTheOldOneOnFailure) {
    LevelBlock a[2] = {record(10, 10, 1, 10, 5, 7), record(300, 65535, 255, 255, 255, 65535)};
    a[1].reserved[1] = 0x5A;
    memcpy(levelBlocks, a, sizeof(a));
    levelBlockCount = 2;
    EXPECT_EQ(saveLevel(9), 1);
    std::vector<uint8_t> bytes = readFileBytes("Data/level9.dat");
    std::vector<uint8_t> expected = {10, 0, 10, 0, 1, 10, 5, 0, 0, 0, 7, 0,
                                     44, 1, 255, 255, 255, 255, 255, 0, 0x5A, 0, 255, 255};
    EXPECT_EQ(bytes, expected);
    EXPECT_FALSE(std::filesystem::exists("Data/level9.dat.tmp"));

    // The temporary file cannot be made: the old level stays as it was.
    std::filesystem::create_directory("Data/level9.dat.tmp");
    logLevel = 1;
    clearLog();
    levelBlockCount = 1;
    EXPECT_EQ(saveLevel(9), 0);
    EXPECT_EQ(readFileBytes("Data/level9.dat"), expected);
    EXPECT_NE(logText().find("[ERROR] Unable to save level."), std::string::npos);
    EXPECT_EQ(levelBlockCount, 1);
    std::filesystem::remove("Data/level9.dat.tmp");

    levelBlockCount = 0;
    EXPECT_EQ(saveLevel(9), 1);
    EXPECT_TRUE(std::filesystem::exists("Data/level9.dat"));
    EXPECT_EQ(std::filesystem::file_size("Data/level9.dat"), 0u);
}

TEST_F(LevelFiles, UnloadFreesInOrderAndReportsAMissingPicture) {
    loadLevel(20);
    pristineBackground = createSurface(240, 320);
    ballCount = 4;
    EXPECT_EQ(unloadLevel(), 1);
    EXPECT_EQ(collisionMap, nullptr);
    EXPECT_EQ(backgroundPicture, nullptr);
    EXPECT_EQ(pristineBackground, nullptr);
    EXPECT_EQ(blocksPicture, nullptr);
    EXPECT_EQ(blockTypeCount, 0);
    EXPECT_EQ(ballCount, 0);

    loadLevel(20);  // no pristine background made
    levelBlockCount = 3;
    logLevel = 1;
    clearLog();
    EXPECT_EQ(unloadLevel(), 0);
    EXPECT_NE(logText().find("Level Already Unloaded (schemev2)"), std::string::npos);
    EXPECT_EQ(collisionMap, nullptr);
    EXPECT_NE(blocksPicture, nullptr);  // after the missing one: still loaded
    EXPECT_EQ(levelBlockCount, 3);
    EXPECT_EQ(blockTypeCount, KIT_TYPES);
    clearLog();
    unloadLevel();
    EXPECT_NE(logText().find("Level Already Unloaded (scheme)"), std::string::npos);
}

TEST_F(LevelFiles, RecolouringPermutesChannelsOfBackgroundAndBlocksOnly) {
    // Background pixel (0, 0) is (1, 2, 3); the kit brick cell is (5, 11, 20); the map's wall (0, 0, 25).
    struct Case {
        int level;
        uint16_t back, brick;
    } cases[] = {{5, packColour(1, 2, 3), packColour(5, 11, 20)},
                 {1, packColour(1, 3, 2), packColour(5, 20, 11)},
                 {7, packColour(2, 1, 3), packColour(11, 5, 20)},
                 {3, packColour(3, 1, 2), packColour(20, 5, 11)},
                 {9, packColour(3, 2, 1), packColour(20, 11, 5)}};
    for (const Case& c : cases) {
        loadLevel(c.level);
        pristineBackground = createSurface(1, 1);
        EXPECT_EQ(getPixel(backgroundPicture, 0, 0), c.back) << "level " << c.level;
        EXPECT_EQ(getPixel(blocksPicture, 10, 16), c.brick) << "level " << c.level;
        EXPECT_EQ(getPixel(collisionMap, 0, 0), packColour(0, 0, 25));
        EXPECT_EQ(getPixel(blocksPicture, 0, 0), 0);
        unloadLevel();
    }
    Surface* s = createSurface(2, 1);
    putPixel(s, 0, 0, 0xFFFF);  // bit 5 set
    recolourSurface(s, 0, 2, 1);
    EXPECT_EQ(getPixel(s, 0, 0), 0xFFFF);
    recolourSurface(s, 4, 2, 1);
    EXPECT_EQ(getPixel(s, 0, 0), 0xFFDF);
    removeSurface(&s);
}

TEST_F(LevelFiles, BlockTypesComeFromTheDescriptionFile) {
    loadLevel(20);
    ASSERT_EQ(blockTypeCount, KIT_TYPES);
    EXPECT_EQ(blockTypes[KIT_WIDE].cellY, 24);
    EXPECT_EQ(blockTypes[KIT_WIDE].width, 21);
    EXPECT_EQ(blockTypes[KIT_WIDE].height, 3);
}

TEST(LevelList, AddRemoveAndFind) {
    makeKitField();
    addLevelBlock(10, 20, KIT_LONG, 4);
    EXPECT_EQ(levelBlockCount, 1);
    EXPECT_EQ(levelBlocks[0].width, 20);
    EXPECT_EQ(levelBlocks[0].height, 5);
    EXPECT_EQ(levelBlocks[0].powerUp, 4);
    addLevelBlock(15, 22, KIT_GEM);
    EXPECT_EQ(levelBlocks[1].powerUp, 0);
    EXPECT_EQ(findBlockAt(16, 23), 0);  // overlap: the lower index
    EXPECT_EQ(findBlockAt(29, 24), 0);
    EXPECT_EQ(findBlockAt(30, 24), -1);  // x + width is outside
    EXPECT_EQ(findBlockAt(12, 25), -1);  // y + height is outside
    EXPECT_EQ(findBlockAt(19, 26), 1);
    EXPECT_EQ(findBlockAt(-1, -1), -1);

    levelBlocks[1].reserved[0] = 9;
    levelBlocks[0].reserved[0] = 1;
    removeLevelBlock(0);
    EXPECT_EQ(levelBlockCount, 1);
    EXPECT_EQ(levelBlocks[0].x, 15);
    EXPECT_EQ(levelBlocks[0].type, KIT_GEM);
    EXPECT_EQ(levelBlocks[0].reserved[0], 1);  // the reserved bytes are not copied
    removeLevelBlock(1);
    removeLevelBlock(-1);
    EXPECT_EQ(levelBlockCount, 1);

    levelBlockCount = MAX_LEVEL_BLOCKS - 1;
    addLevelBlock(1, 1, KIT_BRICK);
    EXPECT_EQ(levelBlockCount, MAX_LEVEL_BLOCKS);
    LevelBlock last = levelBlocks[MAX_LEVEL_BLOCKS - 1];
    addLevelBlock(2, 2, KIT_GEM);
    EXPECT_EQ(levelBlockCount, MAX_LEVEL_BLOCKS);
    EXPECT_EQ(memcmp(&levelBlocks[MAX_LEVEL_BLOCKS - 1], &last, sizeof(last)), 0);
}

TEST_F(LevelFiles, ThumbnailOfLevel37LandsAt168By72) {
    LevelBlock a[2] = {record(0, 0, 1, 10, 5), record(200, 230, 4, 5, 5)};
    writeLevelFile(37, a, 2);
    levelThumbnailSheet = createSurface(240, 240);
    for (int y = 0; y < 240; y++) {
        for (int x = 0; x < 240; x++) {
            putPixel(levelThumbnailSheet, x, y, 0x1111);
        }
    }
    makeLevelThumbnail(37);
    EXPECT_EQ(blocksPicture, nullptr);
    EXPECT_EQ(levelBlockCount, 0);
    for (int y = 0; y < 240; y++) {
        for (int x = 0; x < 240; x++) {
            bool inside = x >= 168 && x < 192 && y >= 72 && y < 96;
            if (!inside) {
                ASSERT_EQ(getPixel(levelThumbnailSheet, x, y), 0x1111) << x << "," << y;
            } else {
                ASSERT_NE(getPixel(levelThumbnailSheet, x, y), 0x1111) << x << "," << y;
            }
        }
    }
    // The brick (0, 0) lies in the top-left thumbnail pixel; (200, 230) shrinks to (20, 23); the middle is empty.
    EXPECT_NE(getPixel(levelThumbnailSheet, 168, 72), 0);
    EXPECT_NE(getPixel(levelThumbnailSheet, 168 + 20, 72 + 23), 0);
    EXPECT_EQ(getPixel(levelThumbnailSheet, 168 + 12, 72 + 12), 0);
    // A missing level leaves the sheet as it was.
    makeLevelThumbnail(38);
    EXPECT_EQ(getPixel(levelThumbnailSheet, 192, 72), 0x1111);
    EXPECT_EQ(blocksPicture, nullptr);
    removeSurface(&levelThumbnailSheet);
}

TEST_F(LevelFiles, ThumbnailPixelIsTheShrunkBlendOfTheBlock) {
    // One brick of (5, 11, 20) over field pixels 0..9 x 0..4 (level 0: not recoloured). Each blend at
    // weight 20 is c' = (20 c' + 235 c) >> 8, so the 96-grid pixels (0..3, 0..1) become (4, 10, 19)
    // after 4 to 9 blends; each thumbnail pixel averages a 4 x 4 square of the grid twice over, half of
    // it empty here: ((4 + 4 + 4 + 4) >> 2 + same + 0 + 0) >> 2 = 2, likewise 5 and 9.
    LevelBlock a[1] = {record(0, 0, 1, 10, 5)};
    writeLevelFile(0, a, 1);
    levelThumbnailSheet = createSurface(240, 240);
    makeLevelThumbnail(0);
    EXPECT_EQ(getPixel(levelThumbnailSheet, 0, 0), packColour(2, 5, 9));
    EXPECT_EQ(getPixel(levelThumbnailSheet, 1, 0), 0);
    EXPECT_EQ(getPixel(levelThumbnailSheet, 0, 1), 0);
    removeSurface(&levelThumbnailSheet);
}
