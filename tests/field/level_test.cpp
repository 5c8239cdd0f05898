// Levels: file loading edge cases, saving, lookups, thumbnails.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "fieldkit.h"

using LevelFiles = KitFiles;

// Unloads as play and the editor do: they make the pristine copy that the unload frees.
static int unloadMade(void) {
    currentLevel.pristineBackground = createSurface(240, 320);
    return unloadLevel();
}

TEST_F(LevelFiles, RowsBelow240AreDroppedAndMissingOrEmptyFilesGiveEmptyLevels) {
    // Rows below 240 are dropped and the record moved into the slot examined again:
    // [241, 10, 250, 240, 241]: slot 0 takes the last (241, dropped too), then 240 (kept).
    LevelBlock c[5] = {record(1, 241, KIT_BRICK), record(2, 10, KIT_BRICK), record(3, 250, KIT_BRICK),
                       record(4, 240, KIT_STEEL), record(5, 241, KIT_BRICK)};
    writeLevelFile(4, c, 5);
    loadLevel(4);
    const LevelBlock* b = currentLevel.blocks;
    EXPECT_EQ((Ints{currentLevel.blockCount, b[0].x, b[0].y, b[1].x, currentLevel.indestructibleCount}),
              (Ints{2, 4, 240, 2, 1}));
    unloadMade();

    // A missing or empty file gives an empty level and empties the lists.
    writeFileBytes("Data/level18.dat", {});
    for (int level : {17, 18}) {
        currentLevel.blockCount = currentLevel.indestructibleCount = ballList.count = debrisList.count = 3;
        EXPECT_EQ(loadLevel(level), 1);
        EXPECT_EQ((Ints{currentLevel.blockCount, currentLevel.indestructibleCount, ballList.count, debrisList.count}),
                  (Ints{0, 0, 0, 0}));
        EXPECT_NE(currentLevel.collisionMap, nullptr);
        unloadMade();
    }
}

TEST_F(LevelFiles, SavingWritesTheRecordsAsTheyStandAndAnEmptyListAsAnEmptyFile) {
    LevelBlock a[2] = {record(10, 10, KIT_BRICK, 7), record(300, 65535, 255, 65535, 255, 255)};
    a[1].reserved[1] = 0x5A;
    memcpy(currentLevel.blocks, a, sizeof(a));
    currentLevel.blockCount = 2;
    EXPECT_EQ(saveLevel(9), 1);
    const std::vector<uint8_t> expected = {10, 0,  10,  0,   1,   10,  5,    0, 0,  0,  7,   0,
                                           44, 1, 255, 255, 255, 255, 255, 0, 0x5A, 0, 255, 255};
    EXPECT_EQ(readFileBytes("Data/level9.dat"), expected);
    EXPECT_FALSE(std::filesystem::exists("Data/level9.dat.tmp"));
    currentLevel.blockCount = 0;
    EXPECT_EQ(saveLevel(9), 1);
    EXPECT_EQ(std::filesystem::file_size("Data/level9.dat"), 0u);  // throws, and fails, if it is missing
}

TEST(LevelList, AddRemoveAndFind) {
    makeKitField();
    addLevelBlock(10, 20, KIT_LONG, 4);
    addLevelBlock(15, 22, KIT_GEM);
    const LevelBlock& r = currentLevel.blocks[0];
    EXPECT_EQ((Ints{currentLevel.blockCount, r.width, r.height, r.powerUp, currentLevel.blocks[1].powerUp}),
              (Ints{2, 20, 5, 4, 0}));
    // Where blocks overlap the lower index; x + width and y + height are outside.
    EXPECT_EQ((Ints{findBlockAt(16, 23), findBlockAt(29, 24), findBlockAt(30, 24), findBlockAt(12, 25),
                    findBlockAt(19, 26), findBlockAt(-1, -1)}),
              (Ints{0, 0, -1, -1, 1, -1}));

    currentLevel.blocks[1].reserved[0] = 9;
    currentLevel.blocks[0].reserved[0] = 1;
    removeLevelBlock(0);
    // The last record moves into the gap; the reserved bytes are not copied.
    EXPECT_EQ((Ints{currentLevel.blockCount, r.x, r.type, r.reserved[0]}), (Ints{1, 15, KIT_GEM, 1}));
    removeLevelBlock(1);
    removeLevelBlock(-1);
    EXPECT_EQ(currentLevel.blockCount, 1);

    currentLevel.blockCount = MAX_LEVEL_BLOCKS - 1;
    addLevelBlock(1, 1, KIT_BRICK);
    LevelBlock last = currentLevel.blocks[MAX_LEVEL_BLOCKS - 1];
    addLevelBlock(2, 2, KIT_GEM);
    EXPECT_EQ(currentLevel.blockCount, MAX_LEVEL_BLOCKS);
    EXPECT_EQ(memcmp(&currentLevel.blocks[MAX_LEVEL_BLOCKS - 1], &last, sizeof(last)), 0);
}

TEST_F(LevelFiles, ThumbnailOfLevel37LandsAt168By72) {
    LevelBlock a[2] = {record(0, 0, KIT_BRICK), record(200, 230, KIT_GEM)};
    writeLevelFile(37, a, 2);
    currentLevel.thumbnailSheet = createSurface(240, 240);
    fillSurfaceBytes(currentLevel.thumbnailSheet, 0x11);
    makeLevelThumbnail(37);
    EXPECT_EQ((Ints{currentLevel.blocksPicture == nullptr, currentLevel.blockCount}), (Ints{1, 0}));
    for (int y = 0; y < 240; y++) {
        for (int x = 0; x < 240; x++) {
            bool inside = x >= 168 && x < 192 && y >= 72 && y < 96;
            ASSERT_EQ(getPixel(currentLevel.thumbnailSheet, x, y) == 0x1111, !inside) << x << "," << y;
        }
    }
    // The brick (0, 0) lies in the top-left thumbnail pixel; (200, 230) shrinks to (20, 23); the middle is empty.
    EXPECT_NE(getPixel(currentLevel.thumbnailSheet, 168, 72), 0);
    EXPECT_NE(getPixel(currentLevel.thumbnailSheet, 168 + 20, 72 + 23), 0);
    EXPECT_EQ(getPixel(currentLevel.thumbnailSheet, 168 + 12, 72 + 12), 0);
    // A missing level leaves the sheet as it was.
    makeLevelThumbnail(38);
    EXPECT_EQ(getPixel(currentLevel.thumbnailSheet, 192, 72), 0x1111);
    EXPECT_EQ(currentLevel.blocksPicture, nullptr);
    removeSurface(&currentLevel.thumbnailSheet);

    // One brick of (5, 11, 20) over field pixels 0..9 x 0..4 (level 0: not recoloured). Each blend at
    // weight 20 is c' = (20 c' + 235 c) >> 8, so the 96-grid pixels (0..3, 0..1) become (4, 10, 19)
    // after 4 to 9 blends; each thumbnail pixel averages a 4 x 4 square of the grid twice over, half of
    // it empty here: ((4 + 4 + 4 + 4) >> 2 + same + 0 + 0) >> 2 = 2, likewise 5 and 9.
    writeLevelFile(0, a, 1);
    currentLevel.thumbnailSheet = createSurface(240, 240);
    makeLevelThumbnail(0);
    EXPECT_EQ(pixelsAt(currentLevel.thumbnailSheet, {{0, 0}, {1, 0}, {0, 1}}), (Ints{packColour(2, 5, 9), 0, 0}));
    removeSurface(&currentLevel.thumbnailSheet);
}
