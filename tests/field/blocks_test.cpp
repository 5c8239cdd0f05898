// Block types: the description reader's rules and limits, the field redraw, marks and the lives row.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "field/blocks.h"
#include "field/effects.h"
#include "field/level.h"
#include "field/powerup.h"
#include "fieldkit.h"
#include "field/gamevalues.h"
#include "gfx/draw.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "support/testutil.h"

// Writes Data/blocks5.txt and reads it.
static void readDescriptions(const std::string& text) {
    FILE* f = fopen("Data/blocks5.txt", "wb");
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
    loadBlockDescriptions(5);
}

class Descriptions : public ::testing::Test {
protected:
    void SetUp() override {
        resetFieldState();
        logLevel = 1;
        clearLog();
    }
    ScratchFolder folder;
};

TEST_F(Descriptions, TheReadersRulesForWordsFieldsNumbersAndLineBreaks) {
    const std::string digits(38, '0');
    std::string many = "[block";
    for (int i = 0; i < 60; i++) {
        many += ",1";
    }
    struct Case {
        std::string text;
        Ints types;  // cell x, cell y, width and height of every type read
    } cases[] = {
        {"[block,0,0,20,10]", {0, 0, 20, 10}},
        {"[block, 0, 0, 20, 10]", {0, 0, 20, 10}},
        // The word must be exactly "block".
        {"[ block,0,0,20,10][Block,0,0,20,10][blocks,0,0,20,10][BLOCK,1,1,1,1]", {}},
        // Exactly five fields.
        {"[block,0,0,20][block,0,0,20,10,5][block,1,2,3,4]", {1, 2, 3, 4}},
        // Numbers are truncated to the field widths; no digits read as 0.
        {"[block,70000,-1,300,x7]", {70000 - 65536, 65535, 44, 0}},
        // Line breaks belong to fields inside brackets only: "5\n" reads as 5; a record with a leading
        // line break is not one.
        {"comment, with ] brackets\n[block,1,2,\n3,4]\n\n[block,5\n,6,7,8]\n[\nblock,9,9,9,9]\r\n[block,1,1,1,1]\r\n",
         {1, 2, 3, 4, 5, 6, 7, 8, 1, 1, 1, 1}},
        // Fields keep forty characters and records fifty.
        {"[block," + digits + "12345,0,1,1]", {12, 0, 1, 1}},
        {many + "][block,2,2,2,2]", {2, 2, 2, 2}},
    };
    for (const Case& c : cases) {
        readDescriptions(c.text);
        Ints types;
        for (int i = 0; i < blockTypeCount; i++) {
            const BlockType& t = blockTypes[i];
            types.insert(types.end(), {t.cellX, t.cellY, t.width, t.height});
        }
        EXPECT_EQ(types, c.types) << c.text;
    }
}

TEST_F(Descriptions, OnlyTheFirstHundredRecordsBecomeTypes) {
    std::string text;
    for (int i = 0; i < 105; i++) {
        text += "[block," + std::to_string(i) + ",0,1,1]";
    }
    readDescriptions(text);
    EXPECT_EQ(blockTypeCount, 100);
    EXPECT_EQ(blockTypes[99].cellX, 99);
    EXPECT_NE(logText().find(std::string(30, '.')), std::string::npos);  // a progress dot per type
}

TEST_F(Descriptions, AMissingFileLeavesAnEmptyTableAndLogsTheError) {
    blockTypeCount = 7;
    loadBlockDescriptions(9);
    EXPECT_EQ(blockTypeCount, 0);
    EXPECT_NE(logText().find("[ERROR] block description not found"), std::string::npos);
    EXPECT_EQ(blockTypeOf(3)->width, 0);
}

TEST(RedrawField, BlocksGoIntoTheFieldAndRedSilhouettesIntoTheMap) {
    makeKitField();
    addLevelBlock(20, 30, KIT_HOLLOW);
    addLevelBlock(25, 30, KIT_GEM);  // on top where they overlap
    redrawField();
    // The hollow type's empty first column shows the background.
    EXPECT_EQ(pixelsAt(currentLevel.fieldPicture, {{20, 30}, {21, 30}, {25, 30}, {100, 100}}),
              (Ints{getPixel(currentLevel.backgroundPicture, 20, 30), KIT_BRICK_COLOUR + KIT_HOLLOW, KIT_BRICK_COLOUR + KIT_GEM,
                    getPixel(currentLevel.backgroundPicture, 100, 100)}));
    EXPECT_EQ(pixelsAt(currentLevel.collisionMap, {{20, 30}, {21, 30}, {29, 34}, {30, 30}}), (Ints{0, 0xF800, 0xF800, 0}));
}

TEST(RedrawField, MarksShowOnlyInTheEditorWithTheCheatOrWithReveal) {
    makeKitField();
    game.lives = 0;
    addLevelBlock(100, 100, KIT_BRICK, 0);
    redrawField();
    uint64_t plain = hashSurface(currentLevel.fieldPicture);
    currentLevel.blocks[0].powerUp = 1 + POWERUP_LASER;
    redrawField();
    EXPECT_EQ(hashSurface(currentLevel.fieldPicture), plain);
    game.cheats.seePowerUps = 1;
    redrawField();
    uint64_t marked = hashSurface(currentLevel.fieldPicture);
    EXPECT_NE(marked, plain);
    game.cheats.seePowerUps = 0;
    powerUps.counts[POWERUP_REVEAL] = 1;
    redrawField();
    EXPECT_EQ(hashSurface(currentLevel.fieldPicture), marked);
    powerUps.counts[POWERUP_REVEAL] = 0;
    mainLoop.currentMode = MODE_EDITOR;
    redrawField();
    EXPECT_EQ(hashSurface(currentLevel.fieldPicture), marked);
    mainLoop.currentMode = MODE_PLAY;
}

TEST(RedrawField, LivesRowShowsAtMostThirtyTwoFadingMarks) {
    makeKitField();
    game.lives = 40;
    redrawField();
    // Mark i at x = 231 - 7 i, weight 255 - 4 i over the background.
    for (int i = 0; i < 32; i++) {
        uint16_t expected = blendColour(0xFFDF, getPixel(currentLevel.backgroundPicture, 231 - 7 * i, 1), 255 - 4 * i);
        ASSERT_EQ(getPixel(currentLevel.fieldPicture, 231 - 7 * i, 1), expected) << i;
    }
    for (int x = 0; x < 14; x++) {
        ASSERT_EQ(getPixel(currentLevel.fieldPicture, x, 1), getPixel(currentLevel.backgroundPicture, x, 1)) << x;
    }
    game.lives = 0;
    redrawField();
    EXPECT_EQ(getPixel(currentLevel.fieldPicture, 231, 1), getPixel(currentLevel.backgroundPicture, 231, 1));
    // The editor draws no lives.
    game.lives = 3;
    mainLoop.currentMode = MODE_EDITOR;
    redrawField();
    EXPECT_EQ(getPixel(currentLevel.fieldPicture, 231, 1), getPixel(currentLevel.backgroundPicture, 231, 1));
    mainLoop.currentMode = MODE_PLAY;
}

TEST(PowerUpMark, AdditiveCellAndMaskedIconAtTheShakeOffsets) {
    makeKitField();
    Surface* dst = createSurface(60, 60);
    clearSurface(effects.powerUpsPicture);
    // Kind 3: the additive cell at (72, 48), the icon at (76, 4) with its mask at (76, 28).
    putPixel(effects.powerUpsPicture, 72 + 12, 48 + 12, packColour(10, 10, 10));
    putPixel(effects.powerUpsPicture, 76 + 8, 4 + 8, packColour(31, 0, 0));
    putPixel(effects.powerUpsPicture, 76 + 8, 28 + 8, packColour(0, 0, 31));  // weight 248
    drawPowerUpMark(dst, 30, 30, 0, 3);
    EXPECT_EQ(getPixel(dst, 30, 30), blendColour(packColour(31, 0, 0), packColour(10, 10, 10), 248));
    // Phase 40 & 31 = 8: the cell adds (10 - 8) per component, then the icon is blended over it.
    drawPowerUpMark(dst, 10, 10, 40, 3);
    EXPECT_EQ(getPixel(dst, 10, 10), blendColour(packColour(31, 0, 0), packColour(2, 2, 2), 248));
    removeSurface(&dst);
    dst = createSurface(60, 60);
    game.shakeX = 2;
    game.shakeY = -1;
    drawPowerUpMark(dst, 30, 30, 0, 3);
    EXPECT_EQ(getPixel(dst, 32, 29), packColour(10, 10, 10));       // the cell moves with the shake
    EXPECT_EQ(getPixel(dst, 28, 31), blendColour(packColour(31, 0, 0), 0, 248));  // the icon against it
    removeSurface(&dst);
}
