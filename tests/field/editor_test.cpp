// Level editor: snapping, palette layout and drawing, the fit test, lifting, dropping, stamping, erasing,
// hidden power-ups, moving between levels and the files written on the way.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "field/blocks.h"
#include "field/debris.h"
#include "field/editor.h"
#include "field/effects.h"
#include "field/level.h"
#include "field/powerup.h"
#include "fieldkit.h"
#include "field/gamevalues.h"
#include "shell/savefile.h"
#include "gfx/blit.h"
#include "gfx/draw.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "support/testutil.h"

namespace fs = std::filesystem;

enum { KEY_UP = 38, KEY_DOWN = 40, KEY_LEFT = 37, KEY_RIGHT = 39, KEY_ACTION = 32 };

static void stylusAt(int x, int y) {
    stylus.x = x;
    stylus.y = y;
}

// The stylus moved to (x, y), then a frame of the editor screen (the held type snaps to the stylus).
static void snapAt(int x, int y) {
    stylusAt(x, y);
    editorSnap();
}

static void press(int x, int y) {
    stylusAt(x, y);
    stylus.down = 1;
    editorInput(MSG_LBUTTONDOWN, 0);
}

static void moveTo(int x, int y) {
    stylusAt(x, y);
    editorInput(MSG_MOUSEMOVE, 0);
}

static void release(int x, int y) {
    stylusAt(x, y);
    stylus.down = 0;
    editorInput(MSG_LBUTTONUP, 0);
}

static void tap(int x, int y) {
    press(x, y);
    release(x, y);
}

static Ints heldState(void) {
    return Ints{editor.selectedType, editor.grabX, editor.grabY, editor.pickedUp};
}

// The kit's field in the editor: nothing selected, the grid and palettes drawn, the default keys.
class EditorField : public ::testing::Test {
protected:
    void SetUp() override {
        makeKitField();
        mainLoop.currentMode = MODE_EDITOR;
        editorReset();
        redrawField();
        setDefaultControlKeys();
        stylus.down = 0;
    }
    void TearDown() override { drawEditorOverlay = nullptr; }
};

TEST_F(EditorField, SnapTruncatesTowardZeroAndStopsAtTheFieldEdge) {
    // Nothing held: nothing snaps.
    editor.snappedX = 7;
    editor.snappedY = 8;
    snapAt(103, 57);
    EXPECT_EQ((Ints{editor.snappedX, editor.snappedY}), (Ints{7, 8}));

    editor.pickedUp = 1;  // a lifted block is let go when a palette type is chosen
    editorSelectType(KIT_LONG);
    EXPECT_EQ(heldState(), (Ints{KIT_LONG, 10, 2, 0}));
    editorSelectType(KIT_WIDE);  // 21 x 3: the halves round down
    EXPECT_EQ(heldState(), (Ints{KIT_WIDE, 10, 1, 0}));
    editor.grabY = 5;
    const int cases[][4] = {{103, 57, 90, 50}, {109, 64, 95, 55}, {3, 57, 0, 50}, {14, 2, 0, 0}};
    for (const auto& c : cases) {
        snapAt(c[0], c[1]);
        EXPECT_EQ((Ints{editor.snappedX, editor.snappedY}), (Ints{c[2], c[3]})) << c[0] << "," << c[1];
    }
}

TEST_F(EditorField, PaletteLayoutAndHitAreas) {
    // Without types the marks sit above row 300.
    blockTypeCount = 0;
    int32_t x = -1, y = -1;
    palettePowerUpCentre(0, &x, &y);
    EXPECT_EQ((Ints{paletteLastRowTop(), paletteTypeAt(0, 300), palettePowerUpAt(12, 288), x, y}),
              (Ints{300, -1, 0, 12, 288}));

    // Sixty-wide types stand three to a row.
    blockTypeCount = 5;
    for (int t = 0; t < 5; t++) {
        blockTypes[t] = BlockType{};
        blockTypes[t].width = 60;
        blockTypes[t].height = 10;
    }
    const int32_t placeX[5] = {0, 62, 124, 0, 62}, placeY[5] = {300, 300, 300, 278, 278};
    for (int t = 0; t < 5; t++) {
        ASSERT_EQ(paletteTypePlace(t, &x, &y), 1);
        EXPECT_EQ((Ints{x, y}), (Ints{placeX[t], placeY[t]})) << "type " << t;
    }
    EXPECT_EQ(paletteTypePlace(5, &x, &y), 0);
    EXPECT_EQ(paletteLastRowTop(), 278);

    // Hit areas include the right and bottom edges; the gap between two types belongs to neither.
    const int typeHits[][3] = {{0, 300, 0},   {60, 310, 0},   {61, 305, -1}, {62, 305, 1}, {184, 310, 2},
                               {185, 305, -1}, {30, 311, -1}, {30, 299, -1}, {30, 288, 3}, {122, 278, 4},
                               {124, 280, -1}};
    for (const auto& h : typeHits) {
        EXPECT_EQ(paletteTypeAt(h[0], h[1]), h[2]) << h[0] << "," << h[1];
    }
    // The marks start 12 above the last type row, nine to a row, each next row 16 higher.
    const int32_t centre[][3] = {{0, 12, 266}, {1, 36, 266}, {8, 204, 266}, {9, 12, 250}, {17, 204, 250},
                                 {18, 12, 234}, {21, 84, 234}};
    for (const auto& c : centre) {
        palettePowerUpCentre(c[0], &x, &y);
        EXPECT_EQ((Ints{x, y}), (Ints{c[1], c[2]})) << "kind " << c[0];
    }
    // 12 from both neighbours is neither's; within reach of two marks the first wins.
    const int markHits[][3] = {{12, 266, 0}, {22, 276, 0},  {24, 266, -1},  {26, 266, 1},   {2, 256, 0},
                               {2, 255, 9},  {94, 224, 21}, {95, 234, -1}, {214, 240, 17}, {120, 300, -1}};
    for (const auto& h : markHits) {
        EXPECT_EQ(palettePowerUpAt(h[0], h[1]), h[2]) << h[0] << "," << h[1];
    }

    // A type reaching exactly to 50 pixels from the right edge (with its gap) still joins the row.
    blockTypes[2].width = 64;
    paletteTypePlace(2, &x, &y);
    EXPECT_EQ((Ints{x, y}), (Ints{124, 300}));
    blockTypes[2].width = 65;
    paletteTypePlace(2, &x, &y);
    EXPECT_EQ((Ints{x, y, paletteLastRowTop()}), (Ints{0, 278, 256}));
}

TEST_F(EditorField, GridPlatesTypesAndMarksAreDrawnIntoTheField) {
    // The kit's six types fit one row: x 0, 12, 24, 36, 59, 66 at y 300.
    auto bg = [](int px, int py) { return (int)getPixel(currentLevel.backgroundPicture, px, py); };
    auto lit = [&](int px, int py) { return (int)brighten((uint16_t)bg(px, py), 5); };
    // Marks: the kit's power-up picture adds (2, 4, 8) over each mark's 24 x 24 square.
    auto marked = [&](int px, int py) {
        int r, g, b;
        unpackColour((uint16_t)bg(px, py), &r, &g, &b);
        return (int)clampPackColour(r + 2, g + 4, b + 8);
    };
    // Grid lines every 20 pixels, brightened by 5, twice where they cross. Each type on a black plate
    // reaching two pixels round its cell (the last, 20 x 5 at 66, ends it at (87, 306)), the cell drawn
    // transparently (the hollow type's empty first column shows the plate). The marks come last and
    // reach over the top of the plates.
    EXPECT_EQ(pixelsAt(currentLevel.fieldPicture, {{20, 13}, {200, 13}, {7, 240}, {40, 100}, {21, 13}, {0, 13}, {7, 0}}),
              (Ints{lit(20, 13), lit(200, 13), lit(7, 240), (int)brighten((uint16_t)lit(40, 100), 5), bg(21, 13),
                    bg(0, 13), bg(7, 0)}));
    EXPECT_EQ(pixelsAt(currentLevel.fieldPicture, {{0, 305}, {11, 306}, {3, 301}, {24, 300}, {25, 300}, {87, 306}, {88, 306},
                                      {87, 307}, {0, 298}}),
              (Ints{0, 0, getPixel(currentLevel.blocksPicture, 3, 17), 0, getPixel(currentLevel.blocksPicture, 21, 16), 0, bg(88, 306),
                    bg(87, 307), packColour(2, 4, 8)}));
    EXPECT_EQ(pixelsAt(currentLevel.fieldPicture, {{1, 290}, {73, 246}, {97, 246}, {119, 250}}),
              (Ints{marked(1, 290), marked(73, 246), bg(97, 246), bg(119, 250)}));  // kinds 0 and 21
    // Outside the editor the field carries none of it.
    mainLoop.currentMode = MODE_PLAY;
    redrawField();
    EXPECT_EQ(pixelsAt(currentLevel.fieldPicture, {{20, 13}, {11, 306}}), (Ints{bg(20, 13), bg(11, 306)}));
}

TEST_F(EditorField, FitTestRefusesWallsBlocksAndPileAndReadsBeyondTheMapAsFree) {
    paintMap(0, 0, 4, 320, KIT_WALL);
    paintMap(0, 300, 240, 20, KIT_CYAN);
    addLevelBlock(50, 50, KIT_BRICK);
    redrawField();
    ASSERT_EQ(getPixel(currentLevel.collisionMap, 50, 50), 0xF800);
    // Only the cell's visible pixels count: the hollow type's empty columns may lie on the block.
    const int cases[][4] = {
        {KIT_BRICK, 4, 100, 1},   {KIT_BRICK, 3, 100, 0},    {KIT_BRICK, 40, 50, 1},   {KIT_BRICK, 41, 50, 0},
        {KIT_BRICK, 50, 45, 1},   {KIT_BRICK, 50, 46, 0},    {KIT_BRICK, 59, 54, 0},   {KIT_BRICK, 60, 54, 1},
        {KIT_HOLLOW, 41, 50, 1},  {KIT_HOLLOW, 42, 50, 0},   {KIT_HOLLOW, 59, 50, 1},  {KIT_BRICK, 100, 295, 1},
        {KIT_BRICK, 100, 296, 0}, {KIT_BRICK, 230, 100, 1},  {KIT_BRICK, 231, 100, 1}, {KIT_BRICK, 240, 100, 1},
        {KIT_BRICK, 100, -1, 1},  {KIT_BRICK, 100, 318, 0},  {KIT_BRICK, -10, 100, 1}, {KIT_BRICK, -9, 100, 0},
        {-1, 100, 100, 0},        {KIT_TYPES, 100, 100, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(editorFits(c[0], c[1], c[2]), c[3]) << "type " << c[0] << " at " << c[1] << "," << c[2];
    }
}

TEST_F(EditorField, TheFrameShowsTheHeldTypeWhereItWouldLandAndTheChosenMarkUnderTheStylus) {
    clearSurface(backSurface);
    uint64_t blank = hashSurface(backSurface);
    drawEditorHand();  // nothing held: nothing drawn
    EXPECT_EQ(hashSurface(backSurface), blank);

    editorSelectType(KIT_HOLLOW);  // held by (5, 2)
    stylusAt(58, 44);
    drawEditorHand();
    EXPECT_EQ((Ints{editor.snappedX, editor.snappedY}), (Ints{50, 40}));
    // The cell's empty first and last columns stay clear.
    EXPECT_EQ(pixelsAt(backSurface, {{51, 40}, {58, 44}, {50, 42}, {59, 42}, {51, 45}}),
              (Ints{getPixel(currentLevel.blocksPicture, 21, 16), getPixel(currentLevel.blocksPicture, 28, 20), 0, 0, 0}));

    // The chosen power-up's mark, centred on the stylus, pulses with the update counter.
    clearSurface(backSurface);
    editor.selectedType = -1;
    editor.selectedPowerUp = 3;
    game.updateCounter = 32;
    stylusAt(100, 150);
    drawEditorHand();
    int mark = packColour(2, 4, 8);
    EXPECT_EQ(pixelsAt(backSurface, {{88, 138}, {111, 161}, {87, 138}, {112, 161}}), (Ints{mark, mark, 0, 0}));
    clearSurface(backSurface);
    game.updateCounter = 37;
    drawEditorHand();
    EXPECT_EQ(getPixel(backSurface, 88, 138), packColour(0, 0, 3));
}

// ---- The editor screen's keys and stylus ----

TEST_F(EditorField, HoldingTheActionKeyErasesTheBlocksTheStylusPassesOver) {
    for (int i = 0; i < 5; i++) {
        addLevelBlock(40 + 12 * i, 100, KIT_BRICK);
    }
    addLevelBlock(40, 150, KIT_BRICK);
    redrawField();
    moveTo(45, 102);  // passing over blocks without the key does nothing
    moveTo(57, 102);
    EXPECT_EQ(currentLevel.blockCount, 6);
    // The key going down erases the block under the stylus, each move over a block the next one; each
    // becomes debris and points, the list reordering as it goes.
    editorInput(MSG_KEYDOWN, KEY_ACTION);
    EXPECT_EQ((Ints{editor.painting, currentLevel.blockCount, findBlockAt(57, 102)}), (Ints{1, 5, -1}));
    for (int x = 58; x < 110; x += 4) {
        moveTo(x, 102);
    }
    EXPECT_EQ((Ints{currentLevel.blockCount, debrisList.count, game.score}), (Ints{2, 400, 4 * blockScore(10)}));
    EXPECT_EQ(getPixel(currentLevel.collisionMap, 95, 102), 0);
    EXPECT_EQ(getPixel(currentLevel.fieldPicture, 95, 102), getPixel(currentLevel.backgroundPicture, 95, 102));
    EXPECT_GE(findBlockAt(45, 102), 0);  // passed over before the key went down
    editorInput(MSG_KEYUP, KEY_ACTION);
    EXPECT_EQ(editor.painting, 0);
    moveTo(45, 102);
    moveTo(45, 152);
    editorErase(-1);
    editorErase(2);
    EXPECT_EQ((Ints{currentLevel.blockCount, debrisList.count}), (Ints{2, 400}));
}

TEST_F(EditorField, PaletteTapSelectsAndStampingNeedsTheActionKeyAndFreeSpace) {
    press(15, 302);  // the kit's brick stands second in the palette row at (12, 300)
    EXPECT_EQ(heldState(), (Ints{KIT_BRICK, 5, 2, 0}));
    release(15, 302);
    EXPECT_EQ(currentLevel.blockCount, 0);
    moveTo(56, 62);
    editorSnap();
    tap(56, 62);  // a plain tap stamps nothing
    EXPECT_EQ(currentLevel.blockCount, 0);
    editorInput(MSG_KEYDOWN, KEY_ACTION);
    ASSERT_EQ(currentLevel.blockCount, 1);
    // Painting: each move stamps where the last frame showed the block, where the type fits: 50 and 60
    // and 70; 55 and 65 overlap a placed block.
    moveTo(66, 62);
    EXPECT_EQ(currentLevel.blockCount, 1);  // the frame still shows it at 50
    for (int x : {58, 64, 65, 75, 75}) {
        editorSnap();
        moveTo(x, 62);
    }
    ASSERT_EQ(currentLevel.blockCount, 3);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ((Ints{currentLevel.blocks[i].x, currentLevel.blocks[i].y, currentLevel.blocks[i].powerUp}), (Ints{50 + 10 * i, 60, 0}));
        EXPECT_EQ(getPixel(currentLevel.collisionMap, 59 + 10 * i, 64), 0xF800);
    }
    EXPECT_EQ((Ints{debrisList.count, game.score}), (Ints{0, 0}));
    // The key let go with the stylus up drops the type; with nothing held the key erases.
    editorInput(MSG_KEYUP, KEY_ACTION);
    EXPECT_EQ((Ints{editor.selectedType, editor.painting}), (Ints{-1, 0}));
    editorInput(MSG_KEYDOWN, KEY_ACTION);
    EXPECT_EQ(currentLevel.blockCount, 2);
    editorInput(MSG_KEYUP, KEY_ACTION);
    // A palette press while painting only selects; let go with the stylus still down, the type stays.
    moveTo(150, 150);
    editorInput(MSG_KEYDOWN, KEY_ACTION);
    press(1, 301);
    EXPECT_EQ((Ints{editor.selectedType, currentLevel.blockCount}), (Ints{KIT_STEEL, 2}));
    editorInput(MSG_KEYUP, KEY_ACTION);
    EXPECT_EQ(editor.selectedType, KIT_STEEL);
}

TEST_F(EditorField, LeftAndRightStepThroughTheTypes) {
    // Key ups step, wrapping both ways; key downs other than the action key do nothing.
    const int steps[][4] = {{MSG_KEYUP, KEY_LEFT, KIT_TYPES - 1, 10}, {MSG_KEYUP, KEY_LEFT, KIT_TYPES - 2, 2},
                            {MSG_KEYUP, KEY_RIGHT, KIT_TYPES - 1, 10}, {MSG_KEYUP, KEY_RIGHT, 0, 5},
                            {MSG_KEYUP, KEY_LEFT, KIT_TYPES - 1, 10},  {MSG_KEYDOWN, KEY_RIGHT, KIT_TYPES - 1, 10}};
    for (const auto& s : steps) {
        editorInput(s[0], s[1]);
        EXPECT_EQ((Ints{editor.selectedType, editor.grabX}), (Ints{s[2], s[3]})) << s[1];
    }
    editor.selectedType = -1;
    editorInput(MSG_KEYUP, KEY_RIGHT);
    EXPECT_EQ(editor.selectedType, 0);
    // Without types nothing can be chosen.
    blockTypeCount = 0;
    editor.selectedType = -1;
    editorInput(MSG_KEYUP, KEY_RIGHT);
    editorInput(MSG_KEYUP, KEY_LEFT);
    EXPECT_EQ(editor.selectedType, -1);
}

TEST_F(EditorField, PressLiftsReleaseDropsWithoutThePowerUpOrKeepsTheBlockInHand) {
    addLevelBlock(50, 50, KIT_LONG, 3);
    addLevelBlock(120, 50, KIT_BRICK);
    redrawField();
    moveTo(58, 53);
    press(58, 53);
    EXPECT_EQ(heldState(), (Ints{KIT_LONG, 8, 3, 1}));
    // Lifting breaks the block: debris, points and its capsule, and the field no longer shows it.
    EXPECT_EQ((Ints{currentLevel.blockCount, debrisList.count, game.score, powerUps.capsuleCount, powerUps.capsules[0].kind}),
              (Ints{1, 200, blockScore(20), 1, 2}));
    EXPECT_EQ(getPixel(currentLevel.collisionMap, 55, 52), 0);
    EXPECT_EQ(getPixel(currentLevel.fieldPicture, 55, 52), getPixel(currentLevel.backgroundPicture, 55, 52));
    // A lifted block is never stamped, even while painting.
    editorInput(MSG_KEYDOWN, KEY_ACTION);
    editorSnap();
    moveTo(100, 120);
    editorInput(MSG_KEYUP, KEY_ACTION);
    EXPECT_EQ((Ints{currentLevel.blockCount, editor.pickedUp}), (Ints{1, 1}));
    moveTo(128, 55);  // not painting: moving only carries it
    editorSnap();
    EXPECT_EQ((Ints{editor.snappedX, editor.snappedY}), (Ints{120, 50}));
    release(128, 55);  // over the brick: still in hand
    EXPECT_EQ((Ints{editor.pickedUp, currentLevel.blockCount}), (Ints{1, 1}));
    moveTo(83, 92);
    editorSnap();
    tap(83, 92);  // the press stamps nothing while a lifted block is held; the release puts it down
    ASSERT_EQ(currentLevel.blockCount, 2);
    const LevelBlock& r = currentLevel.blocks[1];
    EXPECT_EQ((Ints{r.x, r.y, r.type, r.width, r.height, r.powerUp}), (Ints{75, 85, KIT_LONG, 20, 5, 0}));
    EXPECT_EQ((Ints{editor.selectedType, editor.pickedUp}), (Ints{-1, 0}));
    EXPECT_EQ(getPixel(currentLevel.collisionMap, 75, 85), 0xF800);
    EXPECT_EQ(getPixel(currentLevel.fieldPicture, 85, 87), getPixel(currentLevel.blocksPicture, 40, 18));
    editorDrop();  // nothing held: nothing happens
    EXPECT_EQ(currentLevel.blockCount, 2);

    // A tap on a block lifts it and puts it straight back, even before a frame has been drawn.
    tap(122, 52);
    ASSERT_EQ(currentLevel.blockCount, 2);
    EXPECT_EQ((Ints{currentLevel.blocks[1].x, currentLevel.blocks[1].y}), (Ints{120, 50}));
}

TEST_F(EditorField, PowerUpPaletteTapThenBlockTapsHideItReplacingTheOneBefore) {
    addLevelBlock(50, 50, KIT_BRICK);
    addLevelBlock(80, 50, KIT_BRICK, 2);
    redrawField();
    uint16_t plain = getPixel(currentLevel.fieldPicture, 55, 52);
    tap(110, 290);  // kind 4's mark is centred at (108, 288)
    EXPECT_EQ((Ints{editor.selectedPowerUp, editor.selectedType}), (Ints{4, -1}));
    tap(52, 52);
    tap(84, 52);
    EXPECT_EQ((Ints{currentLevel.blocks[0].powerUp, currentLevel.blocks[1].powerUp, currentLevel.blockCount, powerUps.capsuleCount}),
              (Ints{5, 5, 2, 0}));
    // The mark shows on the block at once: the editor always shows hidden power-ups.
    EXPECT_NE(getPixel(currentLevel.fieldPicture, 55, 52), plain);
    // Unknown kinds and blocks change nothing.
    editorAssignPowerUp(1, 22);
    editorAssignPowerUp(1, -1);
    editorAssignPowerUp(2, 4);
    EXPECT_EQ((Ints{currentLevel.blocks[1].powerUp, currentLevel.blockCount}), (Ints{5, 2}));
    // The action key let go with the stylus up ends the selection: the next tap lifts.
    editorInput(MSG_KEYDOWN, KEY_ACTION);
    editorInput(MSG_KEYUP, KEY_ACTION);
    EXPECT_EQ(editor.selectedPowerUp, -1);
    press(52, 52);
    EXPECT_EQ((Ints{editor.pickedUp, currentLevel.blockCount}), (Ints{1, 1}));
}

// The editor on real files: the kit's data in a scratch folder.
class EditorFiles : public ::testing::Test {
protected:
    void SetUp() override {
        resetFieldState();
        writeKitData();
        setDefaultControlKeys();
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
        currentLevel.pristineBackground = createSurface(240, 320);
        blit(currentLevel.pristineBackground, 0, 0, 240, 320, currentLevel.backgroundPicture, 0, 0, BLIT_COPY);
        currentLevel.fieldPicture = createSurface(240, 320);
        mainLoop.currentMode = MODE_EDITOR;
        editorReset();
        redrawField();
    }
    static std::vector<uint8_t> listBytes(void) {
        const uint8_t* p = (const uint8_t*)currentLevel.blocks;
        return std::vector<uint8_t>(p, p + sizeof(LevelBlock) * (size_t)currentLevel.blockCount);
    }
    ScratchFolder folder;
};

// The up and down keys step the level (on their key ups), saving the one left.
TEST_F(EditorFiles, LevelChangeSavesMovesAndStopsAt0And99) {
    LevelBlock second[2] = {record(30, 30, KIT_GEM, 2), record(60, 30, KIT_STEEL)};
    writeLevelFile(1, second, 2);
    openEditorOn(0);
    EXPECT_EQ(currentLevel.blockCount, 0);
    editorSelectType(KIT_BRICK);
    editor.painting = 1;
    snapAt(45, 52);
    editorStamp();
    ASSERT_EQ(currentLevel.blockCount, 1);

    editorInput(MSG_KEYUP, KEY_DOWN);
    editorInput(MSG_KEYDOWN, KEY_UP);
    EXPECT_EQ((Ints{game.levelIndex, currentLevel.blockCount}), (Ints{0, 1}));
    EXPECT_FALSE(fs::exists("Data/level0.dat"));

    std::vector<uint8_t> first = listBytes();
    editorInput(MSG_KEYUP, KEY_UP);
    EXPECT_EQ(readFileBytes("Data/level0.dat"), first);
    EXPECT_EQ((Ints{game.levelIndex, currentLevel.blockCount, currentLevel.blocks[0].x, currentLevel.indestructibleCount, currentLevel.musicTrack}),
              (Ints{1, 2, 30, 1, 2}));
    // Level 1 is drawn with its blocks and the editor's grid; the held palette type comes along.
    EXPECT_NE(getPixel(currentLevel.fieldPicture, 62, 32), getPixel(currentLevel.backgroundPicture, 62, 32));
    EXPECT_EQ(getPixel(currentLevel.fieldPicture, 20, 13), brighten(getPixel(currentLevel.backgroundPicture, 20, 13), 5));
    EXPECT_EQ(getPixel(currentLevel.collisionMap, 62, 32), 0xF800);
    EXPECT_EQ(editor.selectedType, KIT_BRICK);

    editorInput(MSG_KEYUP, KEY_DOWN);
    EXPECT_EQ(game.levelIndex, 0);
    EXPECT_EQ(listBytes(), first);
    EXPECT_EQ(readFileBytes("Data/level1.dat").size(), 24u);

    unloadLevel();
    removeSurface(&currentLevel.fieldPicture);
    openEditorOn(99);
    editorInput(MSG_KEYUP, KEY_UP);
    EXPECT_EQ(game.levelIndex, 99);
    EXPECT_FALSE(fs::exists("Data/level99.dat"));
    EXPECT_FALSE(fs::exists("Data/level100.dat"));
    // A level passed through without an edit is not written.
    editorInput(MSG_KEYUP, KEY_DOWN);
    EXPECT_EQ(game.levelIndex, 98);
    EXPECT_FALSE(fs::exists("Data/level99.dat"));
    // Every unload found its pictures: the level's pristine copy is made anew at each change.
    EXPECT_EQ(logText().find("Already Unloaded"), std::string::npos);
    EXPECT_NE(currentLevel.pristineBackground, nullptr);
}

TEST_F(EditorFiles, LeavingWritesTheListByteForByteAndItLoadsBackIdentically) {
    LevelBlock start[3] = {record(20, 20, KIT_BRICK), record(40, 20, KIT_WIDE, 9), record(80, 20, KIT_HOLLOW)};
    start[2].reserved[0] = 0x33;  // whatever stands in a slot is written back as it stands
    writeLevelFile(7, start, 3);
    openEditorOn(7);
    ASSERT_EQ(currentLevel.blockCount, 3);

    // Stamp two, move one, erase one, hide two power-ups.
    editorSelectType(KIT_GEM);
    editor.painting = 1;
    snapAt(102, 102);
    editorStamp();
    snapAt(112, 102);
    editorStamp();
    editor.painting = 0;
    editor.selectedType = -1;
    stylusAt(41, 21);
    editorPickUp(findBlockAt(41, 21));
    snapAt(151, 151);
    editorDrop();
    editorErase(findBlockAt(25, 22));
    editorAssignPowerUp(findBlockAt(101, 101), 14);
    editorAssignPowerUp(findBlockAt(150, 150), 3);
    ASSERT_EQ(currentLevel.blockCount, 4);

    std::vector<uint8_t> edited = listBytes();
    EXPECT_EQ(editorLeave(), MODE_MAIN_MENU);
    EXPECT_EQ(readFileBytes("Data/level7.dat"), edited);
    EXPECT_FALSE(fs::exists("Data/level7.dat.tmp"));
    // The hollow block kept its slot (2) through the reordering, and the slot its reserved byte.
    EXPECT_EQ(currentLevel.blocks[2].type, KIT_HOLLOW);
    EXPECT_EQ(edited[2 * 12 + 7], 0x33);

    unloadLevel();
    currentLevel.blockCount = 0;
    loadLevel(7);
    EXPECT_EQ(listBytes(), edited);
    int gem = findBlockAt(101, 101), moved = findBlockAt(150, 150);
    ASSERT_GE(gem, 0);
    ASSERT_GE(moved, 0);
    EXPECT_EQ((Ints{currentLevel.blocks[gem].powerUp, currentLevel.blocks[moved].type, currentLevel.blocks[moved].powerUp}),
              (Ints{15, KIT_WIDE, 4}));
    EXPECT_EQ((Ints{findBlockAt(25, 22), findBlockAt(41, 21)}), (Ints{-1, -1}));
}

// A failed save asks Retry/Cancel: Retry writes once the folder takes the file again, Cancel keeps the
// level and its changes open (whether moving to another level or leaving the editor).
TEST_F(EditorFiles, AFailedSaveAsksAndRetryWritesWhileCancelKeepsTheWorkOpen) {
    struct Case {
        int answer;
        bool leaving;  // leaving the editor, else moving up a level
        int32_t levelAfter, modeAfter;
        size_t fileBytes;  // 0: no file written
    };
    const Case cases[] = {
        {MB_RESULT_RETRY, false, 4, MODE_EDITOR, 12}, {MB_RESULT_CANCEL, false, 3, MODE_EDITOR, 0},
        {MB_RESULT_RETRY, true, 3, MODE_MAIN_MENU, 12}, {MB_RESULT_CANCEL, true, 3, MODE_EDITOR, 0},
    };
    for (const Case& c : cases) {
        fs::remove("Data/level3.dat");
        openEditorOn(3);
        editorSelectType(KIT_BRICK);
        editor.painting = 1;
        snapAt(105, 105);
        editorStamp();
        editor.painting = 0;
        ASSERT_EQ(currentLevel.blockCount, 1);
        const int32_t placedX = currentLevel.blocks[0].x;
        const size_t earlier = headlessMessageBoxes().size();
        headlessSetBoxAnswer(c.answer);
        saveFaults.failuresLeft = 1;
        int32_t mode = MODE_EDITOR;
        if (c.leaving) {
            mode = editorLeave();
        } else {
            editorChangeLevel(+1);
        }
        const std::vector<HeadlessMessageBox> boxes(headlessMessageBoxes().begin() + (long)earlier,
                                                     headlessMessageBoxes().end());
        ASSERT_EQ(boxes.size(), 1u) << c.answer;
        EXPECT_EQ(boxes[0].type, MB_TYPE_RETRYCANCEL);
        EXPECT_EQ(boxes[0].title, "Save Failed");
        EXPECT_NE(boxes[0].text.find("./Data/level3.dat"), std::string::npos) << boxes[0].text;
        EXPECT_NE(boxes[0].text.find(strerror(ENOSPC)), std::string::npos) << boxes[0].text;
        EXPECT_EQ((Ints{game.levelIndex, mode}), (Ints{c.levelAfter, c.modeAfter})) << c.answer << c.leaving;
        EXPECT_EQ(fs::exists("Data/level3.dat") ? fs::file_size("Data/level3.dat") : 0u, c.fileBytes);
        if (c.answer == MB_RESULT_CANCEL) {
            // The work is still there, and still unsaved: the next try writes it.
            EXPECT_EQ((Ints{currentLevel.blockCount, currentLevel.blocks[0].x, editor.edited}), (Ints{1, placedX, 1}));
            EXPECT_EQ(editorLeave(), MODE_MAIN_MENU);
            EXPECT_EQ(fs::file_size("Data/level3.dat"), 12u);
        }
        saveFaults.failuresLeft = 0;
        unloadLevel();
        removeSurface(&currentLevel.fieldPicture);
    }
}

// Browsing through levels saves none of them, and a level whose file is there but cannot be read is
// never written over, edited or not; the player is told why.
TEST_F(EditorFiles, BrowsingSavesNothingAndAnUnreadableLevelIsNeverWrittenOver) {
    struct Bad {
        const char* what;
        std::function<void(const std::string&)> make;
    };
    const Bad bads[] = {
        {"a folder", [](const std::string& p) { fs::create_directory(p); }},
        {"a FIFO", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0644), 0); }},
        {"a link to /dev/zero", [](const std::string& p) { fs::create_symlink("/dev/zero", p); }},
        {"a file longer than any level", [](const std::string& p) { writeFileBytes(p, std::vector<uint8_t>(70000, 7)); }},
        {"a file without read permission", [](const std::string& p) {
             writeFileBytes(p, std::vector<uint8_t>(24, 7));
             fs::permissions(p, fs::perms::none);
         }},
    };
    alarm(60);  // a loader that blocks on the FIFO or reads the device for ever ends the test
    LevelBlock zero[1] = {record(30, 30, KIT_GEM)};
    LevelBlock two[2] = {record(30, 30, KIT_GEM, 2), record(60, 30, KIT_STEEL)};
    for (const Bad& bad : bads) {
        // Root gives up its override of permission bits for the last case, as a normal user has none.
        std::unique_ptr<PermissionsApply> user(bad.what == bads[4].what ? new PermissionsApply() : nullptr);
        if (user && !user->applies()) {
            std::printf("skipped \"%s\": permission bits do not stop this process's reads here\n", bad.what);
            continue;
        }
        writeLevelFile(0, zero, 1);
        writeLevelFile(2, two, 2);
        const std::vector<uint8_t> before0 = readFileBytes("Data/level0.dat"), before2 = readFileBytes("Data/level2.dat");
        bad.make("Data/level1.dat");
        struct stat made;
        ASSERT_EQ(lstat("Data/level1.dat", &made), 0);
        openEditorOn(0);
        const size_t earlier = headlessMessageBoxes().size();
        editorInput(MSG_KEYUP, KEY_UP);
        editorInput(MSG_KEYUP, KEY_UP);
        EXPECT_EQ(game.levelIndex, 2) << bad.what;
        EXPECT_EQ(editorLeave(), MODE_MAIN_MENU);
        // Edited on the unreadable level: the save is refused with a box, and Cancel keeps the editor.
        editorChangeLevel(-1);
        EXPECT_EQ(game.levelIndex, 1) << bad.what;
        EXPECT_EQ(currentLevel.blockCount, 0) << bad.what;
        editorSelectType(KIT_BRICK);
        editor.painting = 1;
        snapAt(105, 105);
        editorStamp();
        editor.painting = 0;
        EXPECT_EQ(editorLeave(), MODE_EDITOR) << bad.what;
        EXPECT_EQ(headlessMessageBoxes().size(), earlier + 1) << bad.what;
        EXPECT_TRUE(headlessMessageBoxes().size() > earlier &&
                    headlessMessageBoxes().back().text.find("./Data/level1.dat") != std::string::npos)
            << bad.what;
        EXPECT_EQ(currentLevel.blockCount, 1);
        struct stat after;
        ASSERT_EQ(lstat("Data/level1.dat", &after), 0) << bad.what;
        EXPECT_EQ((Ints{(int)after.st_ino, (int)after.st_size, (int)(after.st_mode & S_IFMT)}),
                  (Ints{(int)made.st_ino, (int)made.st_size, (int)(made.st_mode & S_IFMT)})) << bad.what;
        EXPECT_EQ(readFileBytes("Data/level0.dat"), before0) << bad.what;
        EXPECT_EQ(readFileBytes("Data/level2.dat"), before2) << bad.what;
        // Once the file is moved out of the way the same work saves.
        fs::rename("Data/level1.dat", "Data/level1.moved");
        EXPECT_EQ(editorLeave(), MODE_MAIN_MENU) << bad.what;
        EXPECT_EQ(fs::file_size("Data/level1.dat"), 12u) << bad.what;
        fs::remove_all("Data/level1.dat");
        fs::remove_all("Data/level1.moved");
        unloadLevel();
        removeSurface(&currentLevel.fieldPicture);
    }
    alarm(0);
}
