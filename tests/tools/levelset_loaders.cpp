// The level set through the game's own loaders: every level loaded and drawn,
// the collision map it makes, the power-up coverage, and the chooser's thumbnails.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "field/blocks.h"
#include "field/level.h"
#include "field/gamevalues.h"
#include "levelset_common.h"

TEST(LevelSetLoaders, EveryLevelLoadsWholeAndDrawsItsBlocksIntoTheCollisionMap) {
    LevelSet set;
    game.lives = 0;
    for (int n = 0; n < 100; n++) {
        const std::vector<LevelRecordView>& file = set.levels[(size_t)n];
        openTestLevel(n);
        // Nothing is dropped at load, and the list is the file's.
        ASSERT_EQ(currentLevel.blockCount, (int)file.size()) << n;
        int metal = 0;
        for (int i = 0; i < currentLevel.blockCount; i++) {
            const LevelBlock& b = currentLevel.blocks[i];
            ASSERT_LT(b.type, blockTypeCount) << n;
            const BlockType& t = blockTypes[b.type];
            const LevelRecordView& r = file[(size_t)i];
            EXPECT_EQ((std::vector<int>{b.x, b.y, b.type, b.width, b.height, b.powerUp}),
                      (std::vector<int>{r.x, r.y, r.type, t.width, t.height, r.powerUp}));
            metal += b.type == 0;
            for (int dy = 0; dy < b.height; dy++) {
                for (int dx = 0; dx < b.width; dx++) {
                    uint16_t cell = getPixel(currentLevel.blocksPicture, t.cellX + dx, t.cellY + dy);
                    if (cell != 0) {
                        // Red in the collision map, the level's recoloured cell in the field picture.
                        ASSERT_EQ(getPixel(currentLevel.collisionMap, b.x + dx, b.y + dy), 0xF800) << "level " << n;
                        ASSERT_EQ(getPixel(currentLevel.fieldPicture, b.x + dx, b.y + dy), cell) << "level " << n;
                    }
                }
            }
        }
        EXPECT_EQ(currentLevel.indestructibleCount, metal) << n;
        EXPECT_GT(currentLevel.blockCount, currentLevel.indestructibleCount) << "level " << n << " would be cleared at once";
        // The serve area and the paddle zone stay empty.
        for (int y = 196; y < 319; y++) {
            for (int x = 40; x < 200; x++) {
                ASSERT_EQ(getPixel(currentLevel.collisionMap, x, y), 0) << "level " << n << " at " << x << "," << y;
            }
        }
        closeTestLevel();
    }
}

TEST(LevelSetLoaders, ChooserThumbnailsShowEveryLevel) {
    LevelSet set;  // the game's gamma and data folder
    currentLevel.thumbnailSheet = createSurface(240, 240);
    for (int n = 0; n < 100; n++) {
        makeLevelThumbnail(n);
    }
    for (int n = 0; n < 100; n++) {
        int lit = 0;
        for (int y = 0; y < 24; y++) {
            for (int x = 0; x < 24; x++) {
                lit += getPixel(currentLevel.thumbnailSheet, (n % 10) * 24 + x, (n / 10) * 24 + y) != 0;
            }
        }
        EXPECT_GT(lit, 8) << "level " << n << " has an empty thumbnail";
    }
    removeSurface(&currentLevel.thumbnailSheet);
}
