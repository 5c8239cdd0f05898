// Block types: the description reader's rules and limits, the field redraw and its power-up marks.
#include <gtest/gtest.h>

#include <string>

#include "fieldkit.h"
#include "shell/log.h"
#include "shell/mainloop.h"

// Writes Data/blocks5.txt and reads it.
static void readDescriptions(const std::string& text) {
    writeFileBytes("Data/blocks5.txt", std::vector<uint8_t>(text.begin(), text.end()));
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
        for (const BlockType* t = blockTypes; t < blockTypes + blockTypeCount; t++) {
            types.insert(types.end(), {t->cellX, t->cellY, t->width, t->height});
        }
        EXPECT_EQ(types, c.types) << c.text;
    }
}

TEST_F(Descriptions, OnlyTheFirstHundredRecordsBecomeTypesAndAMissingFileLeavesNone) {
    std::string text;
    for (int i = 0; i < 105; i++) {
        text += "[block," + std::to_string(i) + ",0,1,1]";
    }
    readDescriptions(text);
    EXPECT_EQ((Ints{blockTypeCount, blockTypes[99].cellX}), (Ints{100, 99}));
    loadBlockDescriptions(9);
    EXPECT_EQ((Ints{blockTypeCount, blockTypeOf(3)->width}), (Ints{0, 0}));
    EXPECT_NE(logText().find("[ERROR] block description not found"), std::string::npos);
}

TEST(RedrawField, MarksShowOnlyInTheEditorWithTheCheatOrWithReveal) {
    makeKitField();
    addLevelBlock(100, 100, KIT_BRICK, 1 + POWERUP_LASER);
    Ints marked;
    for (int i = 0; i < 4; i++) {
        game.cheats.seePowerUps = i == 1;
        powerUps.counts[POWERUP_REVEAL] = (int16_t)(i == 2);
        mainLoop.currentMode = i == 3 ? MODE_EDITOR : MODE_PLAY;
        redrawField();
        marked.push_back(getPixel(currentLevel.fieldPicture, 100, 100) != getPixel(currentLevel.blocksPicture, 10, 16));
    }
    mainLoop.currentMode = MODE_PLAY;
    EXPECT_EQ(marked, (Ints{0, 1, 1, 1}));
}
