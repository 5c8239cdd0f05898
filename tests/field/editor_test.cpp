// Level editor: snapping, palette layout and drawing, the fit test, lifting, dropping, stamping, erasing,
// hidden power-ups, moving between levels and the files written on the way.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "field/blocks.h"
#include "field/debris.h"
#include "field/editor.h"
#include "field/effects.h"
#include "field/level.h"
#include "field/powerup.h"
#include "fieldkit.h"
#include "game/gamevalues.h"
#include "gfx/blit.h"
#include "gfx/draw.h"
#include "platform/platform.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "support/testutil.h"

// The kit's field in the editor: nothing selected, the grid and palettes drawn.
class EditorField : public ::testing::Test {
protected:
    void SetUp() override {
        makeKitField();
        currentMode = MODE_EDITOR;
        editorReset();
        redrawField();
    }
    void TearDown() override { drawEditorOverlay = nullptr; }
};

static void stylusAt(int x, int y) {
    stylusX = x;
    stylusY = y;
}

TEST_F(EditorField, SnapTruncatesTowardZeroAndStopsAtTheFieldEdge) {
    // Nothing held: nothing snaps.
    editor.snappedX = 7;
    editor.snappedY = 8;
    stylusAt(103, 57);
    editorSnap();
    EXPECT_EQ(editor.snappedX, 7);
    EXPECT_EQ(editor.snappedY, 8);

    editorSelectType(KIT_LONG);
    EXPECT_EQ(editor.selectedType, KIT_LONG);
    EXPECT_EQ(editor.grabX, 10);
    EXPECT_EQ(editor.grabY, 2);
    editorSelectType(KIT_WIDE);  // 21 x 3: the halves round down
    EXPECT_EQ(editor.grabX, 10);
    EXPECT_EQ(editor.grabY, 1);

    editor.grabX = 10;
    editor.grabY = 5;
    editorSnap();
    EXPECT_EQ(editor.snappedX, 90);
    EXPECT_EQ(editor.snappedY, 50);
    stylusAt(109, 64);
    editorSnap();
    EXPECT_EQ(editor.snappedX, 95);
    EXPECT_EQ(editor.snappedY, 55);
    stylusAt(3, 57);
    editorSnap();
    EXPECT_EQ(editor.snappedX, 0);
    EXPECT_EQ(editor.snappedY, 50);
    stylusAt(14, 2);
    editorSnap();
    EXPECT_EQ(editor.snappedX, 0);
    EXPECT_EQ(editor.snappedY, 0);
}

TEST_F(EditorField, SixtyWideTypesStandThreeToARow) {
    blockTypeCount = 5;
    for (int t = 0; t < 5; t++) {
        blockTypes[t] = BlockType{};
        blockTypes[t].width = 60;
        blockTypes[t].height = 10;
    }
    int32_t x = -1, y = -1;
    const int32_t placeX[5] = {0, 62, 124, 0, 62}, placeY[5] = {300, 300, 300, 278, 278};
    for (int t = 0; t < 5; t++) {
        ASSERT_EQ(paletteTypePlace(t, &x, &y), 1);
        EXPECT_EQ(x, placeX[t]) << "type " << t;
        EXPECT_EQ(y, placeY[t]) << "type " << t;
    }
    EXPECT_EQ(paletteTypePlace(5, &x, &y), 0);
    EXPECT_EQ(paletteLastRowTop(), 278);

    // Hit areas include the right and bottom edges; the gap between two types belongs to neither.
    EXPECT_EQ(paletteTypeAt(0, 300), 0);
    EXPECT_EQ(paletteTypeAt(60, 310), 0);
    EXPECT_EQ(paletteTypeAt(61, 305), -1);
    EXPECT_EQ(paletteTypeAt(62, 305), 1);
    EXPECT_EQ(paletteTypeAt(184, 310), 2);
    EXPECT_EQ(paletteTypeAt(185, 305), -1);
    EXPECT_EQ(paletteTypeAt(30, 311), -1);
    EXPECT_EQ(paletteTypeAt(30, 299), -1);
    EXPECT_EQ(paletteTypeAt(30, 288), 3);
    EXPECT_EQ(paletteTypeAt(122, 278), 4);
    EXPECT_EQ(paletteTypeAt(124, 280), -1);

    // The marks start 12 above the last type row, nine to a row, each next row 16 higher.
    const int32_t centre[][3] = {{0, 12, 266}, {1, 36, 266}, {8, 204, 266}, {9, 12, 250}, {17, 204, 250},
                                 {18, 12, 234}, {21, 84, 234}};
    for (const auto& c : centre) {
        palettePowerUpCentre(c[0], &x, &y);
        EXPECT_EQ(x, c[1]) << "kind " << c[0];
        EXPECT_EQ(y, c[2]) << "kind " << c[0];
    }
    EXPECT_EQ(palettePowerUpAt(12, 266), 0);
    EXPECT_EQ(palettePowerUpAt(22, 276), 0);
    EXPECT_EQ(palettePowerUpAt(24, 266), -1);  // 12 from both neighbours
    EXPECT_EQ(palettePowerUpAt(26, 266), 1);
    EXPECT_EQ(palettePowerUpAt(2, 256), 0);    // within reach of kinds 0 and 9: the first wins
    EXPECT_EQ(palettePowerUpAt(2, 255), 9);
    EXPECT_EQ(palettePowerUpAt(94, 224), 21);
    EXPECT_EQ(palettePowerUpAt(95, 234), -1);
    EXPECT_EQ(palettePowerUpAt(214, 240), 17);
    EXPECT_EQ(palettePowerUpAt(120, 300), -1);

    // A type reaching exactly to 50 pixels from the right edge (with its gap) still joins the row.
    blockTypes[2].width = 64;
    ASSERT_EQ(paletteTypePlace(2, &x, &y), 1);
    EXPECT_EQ(x, 124);
    EXPECT_EQ(y, 300);
    blockTypes[2].width = 65;
    paletteTypePlace(2, &x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 278);
    EXPECT_EQ(paletteLastRowTop(), 256);
}

TEST_F(EditorField, WithoutTypesThePaletteIsEmptyAndTheMarksSitAboveRow300) {
    blockTypeCount = 0;
    EXPECT_EQ(paletteLastRowTop(), 300);
    EXPECT_EQ(paletteTypeAt(0, 300), -1);
    EXPECT_EQ(palettePowerUpAt(12, 288), 0);
    int32_t x, y;
    palettePowerUpCentre(0, &x, &y);
    EXPECT_EQ(x, 12);
    EXPECT_EQ(y, 288);
}

TEST_F(EditorField, GridPlatesTypesAndMarksAreDrawnIntoTheField) {
    // The kit's six types fit one row: x 0, 12, 24, 36, 59, 66 at y 300.
    int32_t x, y;
    paletteTypePlace(4, &x, &y);
    EXPECT_EQ(x, 59);
    EXPECT_EQ(y, 300);
    auto bg = [](int px, int py) { return getPixel(backgroundPicture, px, py); };
    // Grid lines every 20 pixels, brightened by 5; twice where they cross.
    EXPECT_EQ(getPixel(fieldPicture, 20, 13), brighten(bg(20, 13), 5));
    EXPECT_EQ(getPixel(fieldPicture, 200, 13), brighten(bg(200, 13), 5));
    EXPECT_EQ(getPixel(fieldPicture, 7, 240), brighten(bg(7, 240), 5));
    EXPECT_EQ(getPixel(fieldPicture, 40, 100), brighten(brighten(bg(40, 100), 5), 5));
    EXPECT_EQ(getPixel(fieldPicture, 21, 13), bg(21, 13));
    EXPECT_EQ(getPixel(fieldPicture, 0, 13), bg(0, 13));
    EXPECT_EQ(getPixel(fieldPicture, 7, 0), bg(7, 0));
    // Each type on a black plate reaching two pixels round its cell, the cell drawn transparently.
    EXPECT_EQ(getPixel(fieldPicture, 0, 305), 0);
    EXPECT_EQ(getPixel(fieldPicture, 11, 306), 0);
    EXPECT_EQ(getPixel(fieldPicture, 5, 305), 0);
    EXPECT_EQ(getPixel(fieldPicture, 3, 301), getPixel(blocksPicture, 3, 17));
    EXPECT_EQ(getPixel(fieldPicture, 24, 300), 0);  // the hollow type's empty first column
    EXPECT_EQ(getPixel(fieldPicture, 25, 300), getPixel(blocksPicture, 21, 16));
    // The last type (20 x 5 at 66) ends its plate at (87, 306).
    EXPECT_EQ(getPixel(fieldPicture, 87, 306), 0);
    EXPECT_EQ(getPixel(fieldPicture, 88, 306), bg(88, 306));
    EXPECT_EQ(getPixel(fieldPicture, 87, 307), bg(87, 307));
    // The marks are drawn last: their squares reach over the top of the type row's plates.
    EXPECT_EQ(getPixel(fieldPicture, 0, 298), packColour(2, 4, 8));
    // Marks: the kit's power-up picture adds (2, 4, 8) over each mark's 24 x 24 square.
    auto marked = [&](int px, int py) {
        int r, g, b;
        unpackColour(bg(px, py), &r, &g, &b);
        return clampPackColour(r + 2, g + 4, b + 8);
    };
    EXPECT_EQ(getPixel(fieldPicture, 1, 290), marked(1, 290));    // kind 0, centre (12, 288)
    EXPECT_EQ(getPixel(fieldPicture, 73, 246), marked(73, 246));  // kind 21, centre (84, 256)
    EXPECT_EQ(getPixel(fieldPicture, 97, 246), bg(97, 246));
    EXPECT_EQ(getPixel(fieldPicture, 119, 250), bg(119, 250));
    // Outside the editor the field carries none of it.
    currentMode = MODE_PLAY;
    redrawField();
    EXPECT_EQ(getPixel(fieldPicture, 20, 13), bg(20, 13));
    EXPECT_EQ(getPixel(fieldPicture, 11, 306), bg(11, 306));
}

TEST_F(EditorField, FitTestRefusesWallsBlocksPileAndTheMapEdge) {
    paintMap(0, 0, 4, 320, KIT_WALL);
    paintMap(0, 300, 240, 20, KIT_CYAN);
    addLevelBlock(50, 50, KIT_BRICK);
    redrawField();
    ASSERT_EQ(getPixel(collisionMap, 50, 50), 0xF800);

    EXPECT_EQ(editorFits(KIT_BRICK, 4, 100), 1);
    EXPECT_EQ(editorFits(KIT_BRICK, 3, 100), 0);  // one column on the wall
    EXPECT_EQ(editorFits(KIT_BRICK, 40, 50), 1);  // touching the block's left side
    EXPECT_EQ(editorFits(KIT_BRICK, 41, 50), 0);
    EXPECT_EQ(editorFits(KIT_BRICK, 50, 45), 1);  // touching its top
    EXPECT_EQ(editorFits(KIT_BRICK, 50, 46), 0);
    EXPECT_EQ(editorFits(KIT_BRICK, 59, 54), 0);  // one corner pixel shared
    EXPECT_EQ(editorFits(KIT_BRICK, 60, 54), 1);
    // Only the cell's visible pixels count: the hollow type's empty columns may lie on the block.
    EXPECT_EQ(editorFits(KIT_HOLLOW, 41, 50), 1);
    EXPECT_EQ(editorFits(KIT_HOLLOW, 42, 50), 0);
    EXPECT_EQ(editorFits(KIT_HOLLOW, 59, 50), 1);
    EXPECT_EQ(editorFits(KIT_BRICK, 100, 295), 1);  // just above the pile
    EXPECT_EQ(editorFits(KIT_BRICK, 100, 296), 0);
    EXPECT_EQ(editorFits(KIT_BRICK, 230, 100), 1);
    EXPECT_EQ(editorFits(KIT_BRICK, 231, 100), 0);  // hanging over the map's right edge
    EXPECT_EQ(editorFits(KIT_BRICK, 100, -1), 0);
    EXPECT_EQ(editorFits(-1, 100, 100), 0);
    EXPECT_EQ(editorFits(KIT_TYPES, 100, 100), 0);
}

TEST_F(EditorField, LiftedBlockLandsOnFreeSpaceWithoutItsPowerUpAndStaysHeldOverAnother) {
    addLevelBlock(50, 50, KIT_BRICK, 6);
    addLevelBlock(150, 100, KIT_LONG);
    redrawField();
    stylusAt(53, 52);
    int b = findBlockAt(stylusX, stylusY);
    ASSERT_EQ(b, 0);
    editorPickUp(b);
    EXPECT_EQ(editor.selectedType, KIT_BRICK);
    EXPECT_EQ(editor.grabX, 3);
    EXPECT_EQ(editor.grabY, 2);
    EXPECT_EQ(editor.pickedUp, 1);
    ASSERT_EQ(levelBlockCount, 1);
    EXPECT_EQ(levelBlocks[0].x, 150);
    // Lifting breaks the block: debris, points and its capsule, and the field no longer shows it.
    EXPECT_EQ(debrisCount, 100);
    EXPECT_EQ(game.score, blockScore(10));
    ASSERT_EQ(capsuleCount, 1);
    EXPECT_EQ(capsules[0].kind, 5);
    EXPECT_EQ(getPixel(collisionMap, 55, 52), 0);
    EXPECT_EQ(getPixel(fieldPicture, 55, 52), getPixel(backgroundPicture, 55, 52));

    // Held over the other block: it stays in hand.
    stylusAt(154, 103);
    editorSnap();
    EXPECT_EQ(editor.snappedX, 150);
    EXPECT_EQ(editor.snappedY, 100);
    editorDrop();
    EXPECT_EQ(levelBlockCount, 1);
    EXPECT_EQ(editor.selectedType, KIT_BRICK);
    EXPECT_EQ(editor.pickedUp, 1);
    // A lifted block is never stamped, even while painting.
    editor.painting = 1;
    stylusAt(104, 83);
    editorSnap();
    editorStamp();
    EXPECT_EQ(levelBlockCount, 1);

    // Over free space it lands at the snapped place, without the power-up it hid before.
    editorDrop();
    ASSERT_EQ(levelBlockCount, 2);
    const LevelBlock& r = levelBlocks[1];
    EXPECT_EQ(r.x, 100);
    EXPECT_EQ(r.y, 80);
    EXPECT_EQ(r.type, KIT_BRICK);
    EXPECT_EQ(r.width, 10);
    EXPECT_EQ(r.height, 5);
    EXPECT_EQ(r.powerUp, 0);
    EXPECT_EQ(editor.selectedType, -1);
    EXPECT_EQ(editor.pickedUp, 0);
    EXPECT_EQ(getPixel(collisionMap, 100, 80), 0xF800);
    EXPECT_EQ(getPixel(fieldPicture, 105, 82), getPixel(blocksPicture, 15, 18));

    // With nothing held a drop does nothing.
    editorDrop();
    EXPECT_EQ(levelBlockCount, 2);
}

TEST_F(EditorField, PaintingStampsWhereTheTypeFitsAndErasesWithNothingHeld) {
    editorSelectType(KIT_BRICK);
    stylusAt(55, 42);
    editorSnap();
    ASSERT_EQ(editor.snappedX, 50);
    ASSERT_EQ(editor.snappedY, 40);
    editorStamp();  // a tap without the action key held places nothing
    EXPECT_EQ(levelBlockCount, 0);

    editor.painting = 1;
    const int strokeX[] = {55, 58, 64, 65, 75, 87};
    for (int x : strokeX) {
        stylusAt(x, 42);
        editorSnap();
        editorStamp();
    }
    // 50 and 60 and 70 fit; 55 and 65 overlap a placed block; 80 fits again.
    ASSERT_EQ(levelBlockCount, 4);
    const int placed[] = {50, 60, 70, 80};
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(levelBlocks[i].x, placed[i]);
        EXPECT_EQ(levelBlocks[i].y, 40);
        EXPECT_EQ(levelBlocks[i].powerUp, 0);
        EXPECT_EQ(getPixel(collisionMap, placed[i] + 9, 44), 0xF800);
    }
    EXPECT_EQ(debrisCount, 0);
    EXPECT_EQ(game.score, 0);

    // The action key released with the stylus up lets go of the type; painting over the row then erases
    // it block by block (each becomes debris), the list reordering as it goes.
    editor.selectedType = -1;
    for (int x = 52; x < 90; x += 3) {
        stylusAt(x, 42);
        int b = findBlockAt(stylusX, stylusY);
        if (b >= 0) {
            editorErase(b);
        }
    }
    EXPECT_EQ(levelBlockCount, 0);
    EXPECT_EQ(debrisCount, 400);
    EXPECT_EQ(game.score, 4 * blockScore(10));
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(getPixel(collisionMap, placed[i] + 9, 44), 0);
        EXPECT_EQ(getPixel(fieldPicture, placed[i] + 9, 44), getPixel(backgroundPicture, placed[i] + 9, 44));
    }
    editorErase(0);
    editorErase(-1);
    EXPECT_EQ(debrisCount, 400);
}

TEST_F(EditorField, AssigningAPowerUpReplacesTheOneBefore) {
    addLevelBlock(100, 60, KIT_LONG);
    addLevelBlock(20, 60, KIT_BRICK, 3);
    redrawField();
    uint16_t plain = getPixel(fieldPicture, 110, 62);
    editorAssignPowerUp(0, 11);
    EXPECT_EQ(levelBlocks[0].powerUp, 12);
    // The mark shows on the block at once: the editor always shows hidden power-ups.
    EXPECT_NE(getPixel(fieldPicture, 110, 62), plain);
    editorAssignPowerUp(0, 0);
    EXPECT_EQ(levelBlocks[0].powerUp, 1);
    editorAssignPowerUp(1, 21);
    EXPECT_EQ(levelBlocks[1].powerUp, 22);
    // Unknown kinds and blocks change nothing.
    editorAssignPowerUp(1, 22);
    editorAssignPowerUp(1, -1);
    editorAssignPowerUp(2, 4);
    EXPECT_EQ(levelBlocks[0].powerUp, 1);
    EXPECT_EQ(levelBlocks[1].powerUp, 22);
    EXPECT_EQ(levelBlockCount, 2);
    EXPECT_EQ(capsuleCount, 0);
}

TEST_F(EditorField, TheFrameShowsTheHeldTypeWhereItWouldLandAndTheChosenMarkUnderTheStylus) {
    clearSurface(backSurface);
    drawEditorHand();  // nothing held: nothing drawn
    int drawn = 0;
    for (int y = 0; y < 320; y++) {
        for (int x = 0; x < 240; x++) {
            drawn += getPixel(backSurface, x, y) != 0;
        }
    }
    EXPECT_EQ(drawn, 0);

    editorSelectType(KIT_HOLLOW);  // held by (5, 2)
    stylusAt(58, 44);
    drawEditorHand();
    EXPECT_EQ(editor.snappedX, 50);
    EXPECT_EQ(editor.snappedY, 40);
    EXPECT_EQ(getPixel(backSurface, 51, 40), getPixel(blocksPicture, 21, 16));
    EXPECT_EQ(getPixel(backSurface, 58, 44), getPixel(blocksPicture, 28, 20));
    EXPECT_EQ(getPixel(backSurface, 50, 42), 0);  // the cell's empty first column
    EXPECT_EQ(getPixel(backSurface, 59, 42), 0);
    EXPECT_EQ(getPixel(backSurface, 51, 45), 0);

    // The chosen power-up's mark, centred on the stylus, pulses with the update counter.
    clearSurface(backSurface);
    editor.selectedType = -1;
    editor.selectedPowerUp = 3;
    game.updateCounter = 32;
    stylusAt(100, 150);
    drawEditorHand();
    EXPECT_EQ(getPixel(backSurface, 88, 138), packColour(2, 4, 8));
    EXPECT_EQ(getPixel(backSurface, 111, 161), packColour(2, 4, 8));
    EXPECT_EQ(getPixel(backSurface, 87, 138), 0);
    EXPECT_EQ(getPixel(backSurface, 112, 161), 0);
    clearSurface(backSurface);
    game.updateCounter = 37;
    drawEditorHand();
    EXPECT_EQ(getPixel(backSurface, 88, 138), packColour(0, 0, 3));
}

// ---- The editor screen's keys and stylus ----

enum { KEY_UP = 38, KEY_DOWN = 40, KEY_LEFT = 37, KEY_RIGHT = 39, KEY_ACTION = 32 };

static void press(int x, int y) {
    stylusAt(x, y);
    stylusDown = 1;
    editorInput(MSG_LBUTTONDOWN, 0);
}

static void moveTo(int x, int y) {
    stylusAt(x, y);
    editorInput(MSG_MOUSEMOVE, 0);
}

static void release(int x, int y) {
    stylusAt(x, y);
    stylusDown = 0;
    editorInput(MSG_LBUTTONUP, 0);
}

// A frame of the editor screen: the held type snaps to the stylus.
static void frame(void) {
    editorSnap();
}

class EditorInput : public EditorField {
protected:
    void SetUp() override {
        EditorField::SetUp();
        setDefaultControlKeys();
        stylusDown = 0;
    }
};

TEST_F(EditorInput, HoldingTheActionKeyErasesTheBlocksTheStylusPassesOver) {
    for (int i = 0; i < 5; i++) {
        addLevelBlock(40 + 12 * i, 100, KIT_BRICK);
    }
    addLevelBlock(40, 150, KIT_BRICK);
    redrawField();
    // Passing over blocks without the key does nothing.
    moveTo(45, 102);
    moveTo(57, 102);
    EXPECT_EQ(levelBlockCount, 6);
    // The key going down erases the block under the stylus, each move over a block the next one.
    editorInput(MSG_KEYDOWN, KEY_ACTION);
    EXPECT_EQ(editor.painting, 1);
    EXPECT_EQ(levelBlockCount, 5);
    EXPECT_EQ(findBlockAt(57, 102), -1);
    for (int x = 58; x < 110; x += 4) {
        moveTo(x, 102);
    }
    EXPECT_EQ(levelBlockCount, 2);
    EXPECT_GE(findBlockAt(45, 102), 0);  // passed over before the key went down
    EXPECT_EQ(debrisCount, 4 * 100);
    EXPECT_EQ(getPixel(collisionMap, 95, 102), 0);
    editorInput(MSG_KEYUP, KEY_ACTION);
    EXPECT_EQ(editor.painting, 0);
    moveTo(45, 102);
    moveTo(45, 152);
    EXPECT_EQ(levelBlockCount, 2);
}

TEST_F(EditorInput, PaletteTapSelectsAndStampingNeedsTheActionKey) {
    // The kit's brick stands second in the palette row at (12, 300).
    press(15, 302);
    EXPECT_EQ(editor.selectedType, KIT_BRICK);
    EXPECT_EQ(editor.grabX, 5);
    EXPECT_EQ(editor.grabY, 2);
    release(15, 302);
    EXPECT_EQ(levelBlockCount, 0);
    moveTo(56, 62);
    frame();
    press(56, 62);  // a plain tap stamps nothing
    release(56, 62);
    EXPECT_EQ(levelBlockCount, 0);
    editorInput(MSG_KEYDOWN, KEY_ACTION);
    ASSERT_EQ(levelBlockCount, 1);
    EXPECT_EQ(levelBlocks[0].x, 50);
    EXPECT_EQ(levelBlocks[0].y, 60);
    // Painting: each move stamps where the last frame showed the block.
    moveTo(66, 62);
    EXPECT_EQ(levelBlockCount, 1);  // the frame still shows it at 50
    frame();
    moveTo(67, 62);
    ASSERT_EQ(levelBlockCount, 2);
    EXPECT_EQ(levelBlocks[1].x, 60);
    // The key let go with the stylus up drops the type.
    editorInput(MSG_KEYUP, KEY_ACTION);
    EXPECT_EQ(editor.selectedType, -1);
    EXPECT_EQ(editor.painting, 0);
    // With nothing held the key going down erases what lies under the stylus.
    editorInput(MSG_KEYDOWN, KEY_ACTION);
    EXPECT_EQ(levelBlockCount, 1);
    editorInput(MSG_KEYUP, KEY_ACTION);
    // A palette press while painting only selects.
    moveTo(150, 150);
    editorInput(MSG_KEYDOWN, KEY_ACTION);
    press(1, 301);
    EXPECT_EQ(editor.selectedType, KIT_STEEL);
    EXPECT_EQ(levelBlockCount, 1);
    // Let go with the stylus still down: the type stays.
    editorInput(MSG_KEYUP, KEY_ACTION);
    EXPECT_EQ(editor.selectedType, KIT_STEEL);
}

TEST_F(EditorInput, LeftAndRightStepThroughTheTypes) {
    editorInput(MSG_KEYUP, KEY_LEFT);
    EXPECT_EQ(editor.selectedType, KIT_TYPES - 1);
    EXPECT_EQ(editor.grabX, 10);
    editorInput(MSG_KEYUP, KEY_LEFT);
    EXPECT_EQ(editor.selectedType, KIT_TYPES - 2);
    editorInput(MSG_KEYUP, KEY_RIGHT);
    editorInput(MSG_KEYUP, KEY_RIGHT);
    EXPECT_EQ(editor.selectedType, 0);
    EXPECT_EQ(editor.grabX, 5);
    editorInput(MSG_KEYUP, KEY_LEFT);
    EXPECT_EQ(editor.selectedType, KIT_TYPES - 1);
    editor.selectedType = -1;
    editorInput(MSG_KEYUP, KEY_RIGHT);
    EXPECT_EQ(editor.selectedType, 0);
    // Key downs other than the action key do nothing.
    editorInput(MSG_KEYDOWN, KEY_RIGHT);
    EXPECT_EQ(editor.selectedType, 0);
    // Without types nothing can be chosen.
    blockTypeCount = 0;
    editor.selectedType = -1;
    editorInput(MSG_KEYUP, KEY_RIGHT);
    editorInput(MSG_KEYUP, KEY_LEFT);
    EXPECT_EQ(editor.selectedType, -1);
}

TEST_F(EditorInput, PressLiftsReleaseDropsOrKeepsTheBlockInHand) {
    addLevelBlock(50, 50, KIT_LONG, 3);
    addLevelBlock(120, 50, KIT_BRICK);
    redrawField();
    moveTo(58, 53);
    press(58, 53);
    EXPECT_EQ(editor.selectedType, KIT_LONG);
    EXPECT_EQ(editor.pickedUp, 1);
    EXPECT_EQ(levelBlockCount, 1);
    moveTo(128, 55);  // not painting: moving only carries it
    frame();
    release(128, 55);  // over the brick: still in hand
    EXPECT_EQ(editor.pickedUp, 1);
    EXPECT_EQ(levelBlockCount, 1);
    moveTo(83, 92);
    frame();
    press(83, 92);  // the press stamps nothing while a lifted block is held; the release puts it down
    release(83, 92);
    ASSERT_EQ(levelBlockCount, 2);
    EXPECT_EQ(levelBlocks[1].x, 75);
    EXPECT_EQ(levelBlocks[1].y, 85);
    EXPECT_EQ(levelBlocks[1].type, KIT_LONG);
    EXPECT_EQ(levelBlocks[1].powerUp, 0);
    EXPECT_EQ(editor.selectedType, -1);

    // A tap on a block lifts it and puts it straight back, even before a frame has been drawn.
    press(122, 52);
    release(122, 52);
    ASSERT_EQ(levelBlockCount, 2);
    EXPECT_EQ(levelBlocks[1].x, 120);
    EXPECT_EQ(levelBlocks[1].y, 50);
}

TEST_F(EditorInput, PowerUpPaletteTapThenBlockTapsHideIt) {
    addLevelBlock(50, 50, KIT_BRICK);
    addLevelBlock(80, 50, KIT_BRICK, 2);
    redrawField();
    // Kind 4's mark is centred at (108, 288).
    press(110, 290);
    release(110, 290);
    EXPECT_EQ(editor.selectedPowerUp, 4);
    EXPECT_EQ(editor.selectedType, -1);
    press(52, 52);
    release(52, 52);
    press(84, 52);
    release(84, 52);
    EXPECT_EQ(levelBlocks[0].powerUp, 5);
    EXPECT_EQ(levelBlocks[1].powerUp, 5);
    EXPECT_EQ(levelBlockCount, 2);
    // The action key let go with the stylus up ends the selection: the next tap lifts.
    editorInput(MSG_KEYDOWN, KEY_ACTION);
    editorInput(MSG_KEYUP, KEY_ACTION);
    EXPECT_EQ(editor.selectedPowerUp, -1);
    press(52, 52);
    EXPECT_EQ(editor.pickedUp, 1);
    EXPECT_EQ(levelBlockCount, 1);
}

// The editor on real files: the kit's data in a scratch folder.
class EditorFiles : public ::testing::Test {
protected:
    void SetUp() override {
        resetFieldState();
        writeKitData();
        logLevel = 1;
        clearLog();
    }
    void TearDown() override {
        logLevel = 0;
        drawEditorOverlay = nullptr;
    }
    // What entering the editor does: the level loaded with its pristine copy and a field picture.
    void openEditorOn(int level) {
        game.levelIndex = level;
        loadLevel(level);
        pristineBackground = createSurface(backgroundPicture->width, backgroundPicture->height);
        blit(pristineBackground, 0, 0, backgroundPicture->width, backgroundPicture->height, backgroundPicture, 0,
             0, BLIT_COPY);
        fieldPicture = createSurface(backgroundPicture->width, backgroundPicture->height);
        currentMode = MODE_EDITOR;
        editorReset();
        redrawField();
    }
    static std::vector<uint8_t> listBytes(void) {
        const uint8_t* p = (const uint8_t*)levelBlocks;
        return std::vector<uint8_t>(p, p + sizeof(LevelBlock) * (size_t)levelBlockCount);
    }
    ScratchFolder folder;
};

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

TEST_F(EditorFiles, LevelChangeSavesMovesAndStopsAt0And99) {
    LevelBlock second[2] = {record(30, 30, KIT_GEM, 5, 5, 2), record(60, 30, KIT_STEEL, 10, 5)};
    writeLevelFile(1, second, 2);
    openEditorOn(0);
    EXPECT_EQ(levelBlockCount, 0);
    editorSelectType(KIT_BRICK);
    editor.painting = 1;
    stylusAt(45, 52);
    editorSnap();
    editorStamp();
    ASSERT_EQ(levelBlockCount, 1);

    editorChangeLevel(-1);
    EXPECT_EQ(game.levelIndex, 0);
    EXPECT_EQ(levelBlockCount, 1);
    EXPECT_FALSE(std::filesystem::exists("Data/level0.dat"));

    std::vector<uint8_t> first = listBytes();
    editorChangeLevel(+1);
    EXPECT_EQ(game.levelIndex, 1);
    EXPECT_EQ(readFileBytes("Data/level0.dat"), first);
    ASSERT_EQ(levelBlockCount, 2);
    EXPECT_EQ(levelBlocks[0].x, 30);
    EXPECT_EQ(indestructibleCount, 1);
    EXPECT_EQ(levelMusicTrack, 2);
    // Level 1 is drawn with its blocks and the editor's grid.
    EXPECT_NE(getPixel(fieldPicture, 62, 32), getPixel(backgroundPicture, 62, 32));
    EXPECT_EQ(getPixel(fieldPicture, 20, 13), brighten(getPixel(backgroundPicture, 20, 13), 5));
    EXPECT_EQ(getPixel(collisionMap, 62, 32), 0xF800);
    // The held palette type comes along.
    EXPECT_EQ(editor.selectedType, KIT_BRICK);

    editorChangeLevel(-1);
    EXPECT_EQ(game.levelIndex, 0);
    EXPECT_EQ(listBytes(), first);
    EXPECT_EQ(readFileBytes("Data/level1.dat").size(), 24u);

    unloadLevel();
    removeSurface(&fieldPicture);
    openEditorOn(99);
    editorChangeLevel(+1);
    EXPECT_EQ(game.levelIndex, 99);
    EXPECT_FALSE(std::filesystem::exists("Data/level99.dat"));
    EXPECT_FALSE(std::filesystem::exists("Data/level100.dat"));
    editorChangeLevel(-1);
    EXPECT_EQ(game.levelIndex, 98);
    EXPECT_TRUE(std::filesystem::exists("Data/level99.dat"));
    EXPECT_EQ(std::filesystem::file_size("Data/level99.dat"), 0u);
    // Every unload found its pictures: the level's pristine copy is made anew at each change.
    EXPECT_EQ(logText().find("Already Unloaded"), std::string::npos);
    EXPECT_NE(pristineBackground, nullptr);
}

TEST_F(EditorFiles, UpAndDownKeysStepTheLevel) {
    setDefaultControlKeys();
    openEditorOn(0);
    editorInput(MSG_KEYUP, KEY_DOWN);
    EXPECT_EQ(game.levelIndex, 0);
    editorInput(MSG_KEYDOWN, KEY_UP);
    EXPECT_EQ(game.levelIndex, 0);
    editorInput(MSG_KEYUP, KEY_UP);
    editorInput(MSG_KEYUP, KEY_UP);
    EXPECT_EQ(game.levelIndex, 2);
    EXPECT_TRUE(std::filesystem::exists("Data/level0.dat"));
    EXPECT_TRUE(std::filesystem::exists("Data/level1.dat"));
    editorInput(MSG_KEYUP, KEY_DOWN);
    EXPECT_EQ(game.levelIndex, 1);
    EXPECT_TRUE(std::filesystem::exists("Data/level2.dat"));
}

TEST_F(EditorFiles, LeavingWritesTheListByteForByteAndItLoadsBackIdentically) {
    LevelBlock start[3] = {record(20, 20, KIT_BRICK, 10, 5), record(40, 20, KIT_WIDE, 21, 3, 9),
                           record(80, 20, KIT_HOLLOW, 10, 5)};
    start[2].reserved[0] = 0x33;  // whatever stands in a slot is written back as it stands
    writeLevelFile(7, start, 3);
    openEditorOn(7);
    ASSERT_EQ(levelBlockCount, 3);

    // Stamp two, move one, erase one, hide two power-ups.
    editorSelectType(KIT_GEM);
    editor.painting = 1;
    stylusAt(102, 102);
    editorSnap();
    editorStamp();
    stylusAt(112, 102);
    editorSnap();
    editorStamp();
    editor.painting = 0;
    editor.selectedType = -1;
    stylusAt(41, 21);
    editorPickUp(findBlockAt(stylusX, stylusY));
    stylusAt(151, 151);
    editorSnap();
    editorDrop();
    stylusAt(25, 22);
    editorErase(findBlockAt(stylusX, stylusY));
    stylusAt(101, 101);
    editorAssignPowerUp(findBlockAt(stylusX, stylusY), 14);
    stylusAt(150, 150);
    editorAssignPowerUp(findBlockAt(stylusX, stylusY), 3);
    ASSERT_EQ(levelBlockCount, 4);

    std::vector<uint8_t> edited = listBytes();
    EXPECT_EQ(editorLeave(), MODE_MAIN_MENU);
    EXPECT_EQ(readFileBytes("Data/level7.dat"), edited);
    EXPECT_FALSE(std::filesystem::exists("Data/level7.dat.tmp"));
    // The hollow block kept its slot (2) through the reordering, and the slot its reserved byte.
    EXPECT_EQ(levelBlocks[2].type, KIT_HOLLOW);
    EXPECT_EQ(edited[2 * 12 + 7], 0x33);

    unloadLevel();
    levelBlockCount = 0;
    loadLevel(7);
    EXPECT_EQ(listBytes(), edited);
    int gem = findBlockAt(101, 101);
    ASSERT_GE(gem, 0);
    EXPECT_EQ(levelBlocks[gem].powerUp, 15);
    int moved = findBlockAt(150, 150);
    ASSERT_GE(moved, 0);
    EXPECT_EQ(levelBlocks[moved].type, KIT_WIDE);
    EXPECT_EQ(levelBlocks[moved].powerUp, 4);
    EXPECT_EQ(findBlockAt(25, 22), -1);
    EXPECT_EQ(findBlockAt(41, 21), -1);
}

TEST_F(EditorFiles, ALevelThatCannotBeSavedIsNotLeft) {
    openEditorOn(3);
    addLevelBlock(100, 100, KIT_BRICK, 5);
    std::filesystem::create_directory("Data/level3.dat.tmp");
    editorChangeLevel(+1);
    EXPECT_EQ(game.levelIndex, 3);
    ASSERT_EQ(levelBlockCount, 1);
    EXPECT_EQ(levelBlocks[0].powerUp, 5);
    EXPECT_NE(logText().find("[ERROR] Unable to save level."), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists("Data/level3.dat"));
    // Once the folder takes the file again the move goes ahead.
    std::filesystem::remove("Data/level3.dat.tmp");
    editorChangeLevel(+1);
    EXPECT_EQ(game.levelIndex, 4);
    EXPECT_EQ(readFileBytes("Data/level3.dat").size(), 12u);
}
