// Level editor: palette hit areas, the fit test, moving between levels and the files written on the way.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "field/editor.h"
#include "fieldkit.h"
#include "gfx/blit.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "shell/savefile.h"

namespace fs = std::filesystem;

// The stylus moved to (x, y), then a frame of the editor screen (the held type snaps to the stylus).
static void snapAt(int x, int y) {
    stylus.x = x;
    stylus.y = y;
    editorSnap();
}

// Stamps one palette type at the snapped place of (x, y), as painting does.
static void stampAt(int type, int x, int y) {
    editorSelectType(type);
    editor.painting = 1;
    snapAt(x, y);
    editorStamp();
    editor.painting = 0;
}

TEST(EditorField, PaletteHitAreas) {
    // Sixty-wide types stand three to a row from the bottom row up.
    makeKitField();
    blockTypeCount = 5;
    for (int t = 0; t < 5; t++) {
        blockTypes[t] = BlockType{0, 0, 0, 60, 10, {}, 0};
    }
    EXPECT_EQ(paletteLastRowTop(), 278);
    // Hit areas include the right and bottom edges; the gap between two types belongs to neither.
    const int typeHits[][3] = {{0, 300, 0},    {60, 310, 0},  {61, 305, -1}, {62, 305, 1},
                               {184, 310, 2},  {185, 305, -1}, {30, 311, -1}, {30, 299, -1},
                               {30, 288, 3},   {122, 278, 4},  {124, 280, -1}};
    for (const auto& h : typeHits) {
        EXPECT_EQ(paletteTypeAt(h[0], h[1]), h[2]) << h[0] << "," << h[1];
    }
    // Marks start 12 above the last type row, nine to a row 24 apart, each next row 16 higher; 12 from
    // both neighbours is neither's; within reach of two marks the first wins.
    const int markHits[][3] = {{12, 266, 0}, {22, 276, 0},  {24, 266, -1}, {26, 266, 1},   {2, 256, 0},
                               {2, 255, 9},  {94, 224, 21}, {95, 234, -1}, {214, 240, 17}, {120, 300, -1}};
    for (const auto& h : markHits) {
        EXPECT_EQ(palettePowerUpAt(h[0], h[1]), h[2]) << h[0] << "," << h[1];
    }
    // A type reaching exactly to 50 pixels from the right edge (with its gap) still joins the row.
    int32_t x = -1, y = -1;
    blockTypes[2].width = 64;
    paletteTypePlace(2, &x, &y);
    EXPECT_EQ((Ints{x, y}), (Ints{124, 300}));
    blockTypes[2].width = 65;
    paletteTypePlace(2, &x, &y);
    EXPECT_EQ((Ints{x, y, paletteLastRowTop()}), (Ints{0, 278, 256}));
}

TEST(EditorField, FitTestRefusesWallsBlocksAndPileAndReadsBeyondTheMapAsFree) {
    makeKitField();
    paintMap(0, 0, 4, 320, KIT_WALL);
    paintMap(0, 300, 240, 20, KIT_CYAN);
    addLevelBlock(50, 50, KIT_BRICK);
    redrawField();
    // Only the cell's visible pixels count: the hollow type's empty columns may lie on the block.
    const int cases[][4] = {
        {KIT_BRICK, 4, 100, 1},   {KIT_BRICK, 3, 100, 0},   {KIT_BRICK, 40, 50, 1},   {KIT_BRICK, 41, 50, 0},
        {KIT_BRICK, 50, 45, 1},   {KIT_BRICK, 50, 46, 0},   {KIT_BRICK, 59, 54, 0},   {KIT_BRICK, 60, 54, 1},
        {KIT_HOLLOW, 41, 50, 1},  {KIT_HOLLOW, 42, 50, 0},  {KIT_HOLLOW, 59, 50, 1},  {KIT_BRICK, 100, 295, 1},
        {KIT_BRICK, 100, 296, 0}, {KIT_BRICK, 240, 100, 1}, {KIT_BRICK, 100, -1, 1},  {KIT_BRICK, -10, 100, 1},
        {KIT_BRICK, -9, 100, 0},  {-1, 100, 100, 0},        {KIT_TYPES, 100, 100, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(editorFits(c[0], c[1], c[2]), c[3]) << "type " << c[0] << " at " << c[1] << "," << c[2];
    }
}

// The editor on real files: the kit's data in a scratch folder.
class EditorFiles : public KitFiles {
protected:
    void SetUp() override {
        KitFiles::SetUp();
        setDefaultControlKeys();
    }
    void TearDown() override {
        logLevel = 0;
        saveFaults.failuresLeft = 0;
        drawEditorOverlay = nullptr;
    }
    // What entering the editor does: the level loaded with its pristine copy and a field picture.
    static void openEditorOn(int level) {
        game.levelIndex = level;
        loadLevel(level);
        currentLevel.pristineBackground = createSurface(240, 320);
        blit(currentLevel.pristineBackground, 0, 0, 240, 320, currentLevel.backgroundPicture, 0, 0, BLIT_COPY);
        currentLevel.fieldPicture = createSurface(240, 320);
        mainLoop.currentMode = MODE_EDITOR;
        editorReset();
        redrawField();
    }
    static void closeEditor(void) {
        unloadLevel();
        removeSurface(&currentLevel.fieldPicture);
    }
    static std::vector<uint8_t> listBytes(void) {
        const uint8_t* p = (const uint8_t*)currentLevel.blocks;
        return std::vector<uint8_t>(p, p + sizeof(LevelBlock) * (size_t)currentLevel.blockCount);
    }
};

// The up and down keys step the level (on their key ups), saving the one left if it was edited.
TEST_F(EditorFiles, LevelChangeSavesMovesAndStopsAt0And99) {
    LevelBlock second[2] = {record(30, 30, KIT_GEM, 2), record(60, 30, KIT_STEEL)};
    writeLevelFile(1, second, 2);
    openEditorOn(0);
    stampAt(KIT_BRICK, 45, 52);
    ASSERT_EQ(currentLevel.blockCount, 1);
    editorInput(MSG_KEYUP, VK_DOWN);
    editorInput(MSG_KEYDOWN, VK_UP);
    EXPECT_EQ((Ints{game.levelIndex, currentLevel.blockCount, fs::exists("Data/level0.dat")}),
              (Ints{0, 1, 0}));

    std::vector<uint8_t> first = listBytes();
    editorInput(MSG_KEYUP, VK_UP);
    EXPECT_EQ(readFileBytes("Data/level0.dat"), first);
    EXPECT_EQ((Ints{game.levelIndex, currentLevel.blockCount, currentLevel.blocks[0].x,
                    currentLevel.indestructibleCount, currentLevel.musicTrack}),
              (Ints{1, 2, 30, 1, 2}));
    // Level 1 is drawn with its blocks; the held palette type comes along.
    EXPECT_NE(getPixel(currentLevel.fieldPicture, 62, 32), getPixel(currentLevel.backgroundPicture, 62, 32));
    EXPECT_EQ((Ints{getPixel(currentLevel.collisionMap, 62, 34), editor.selectedType}),
              (Ints{0xF800, KIT_BRICK}));
    editorInput(MSG_KEYUP, VK_DOWN);
    EXPECT_EQ(listBytes(), first);
    EXPECT_EQ(readFileBytes("Data/level1.dat").size(), 24u);

    closeEditor();
    openEditorOn(99);
    editorInput(MSG_KEYUP, VK_UP);
    editorInput(MSG_KEYUP, VK_DOWN);
    EXPECT_EQ(game.levelIndex, 98);
    EXPECT_FALSE(fs::exists("Data/level99.dat") || fs::exists("Data/level100.dat"));
    // Every unload found its pictures: the level's pristine copy is made anew at each change.
    EXPECT_EQ(logText().find("Already Unloaded"), std::string::npos);
}

TEST_F(EditorFiles, LeavingWritesTheListByteForByteAndItLoadsBackIdentically) {
    LevelBlock start[3] = {record(20, 20, KIT_BRICK), record(40, 20, KIT_WIDE, 9), record(80, 20, KIT_HOLLOW)};
    start[2].reserved[0] = 0x33;  // whatever stands in a slot is written back as it stands
    writeLevelFile(7, start, 3);
    openEditorOn(7);
    ASSERT_EQ(currentLevel.blockCount, 3);
    // Stamp two, move one, erase one, hide two power-ups.
    stampAt(KIT_GEM, 102, 102);
    stampAt(KIT_GEM, 112, 102);
    editor.selectedType = -1;
    stylus.x = 41;
    stylus.y = 21;
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
    EXPECT_EQ((Ints{currentLevel.blocks[2].type, edited[2 * 12 + 7]}), (Ints{KIT_HOLLOW, 0x33}));
    unloadLevel();
    currentLevel.blockCount = 0;
    loadLevel(7);
    EXPECT_EQ(listBytes(), edited);
    int gem = findBlockAt(101, 101), moved = findBlockAt(150, 150);
    ASSERT_GE(gem, 0);
    ASSERT_GE(moved, 0);
    const LevelBlock* b = currentLevel.blocks;
    EXPECT_EQ((Ints{b[gem].powerUp, b[moved].type, b[moved].powerUp}), (Ints{15, KIT_WIDE, 4}));
    EXPECT_EQ((Ints{findBlockAt(25, 22), findBlockAt(41, 21)}), (Ints{-1, -1}));
}

// A failed save asks Retry/Cancel: Retry writes once the folder takes the file again, Cancel keeps the
// level and its changes open (whether moving to another level or leaving the editor).
TEST_F(EditorFiles, AFailedSaveAsksAndRetryWritesWhileCancelKeepsTheWorkOpen) {
    // Answer, leaving (else moving up a level), then the level and mode after and the file's size.
    const int cases[][5] = {{MB_RESULT_RETRY, 0, 4, MODE_EDITOR, 12}, {MB_RESULT_CANCEL, 0, 3, MODE_EDITOR, 0},
                            {MB_RESULT_RETRY, 1, 3, MODE_MAIN_MENU, 12}, {MB_RESULT_CANCEL, 1, 3, MODE_EDITOR, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0] * 10 + c[1]);
        fs::remove("Data/level3.dat");
        openEditorOn(3);
        stampAt(KIT_BRICK, 105, 105);
        const size_t earlier = headlessMessageBoxes().size();
        headlessSetBoxAnswer(c[0]);
        saveFaults.failuresLeft = 1;
        int32_t mode = c[1] ? editorLeave() : MODE_EDITOR;
        if (!c[1]) {
            editorChangeLevel(+1);
        }
        ASSERT_EQ(headlessMessageBoxes().size(), earlier + 1);
        const HeadlessMessageBox& box = headlessMessageBoxes().back();
        EXPECT_EQ((Ints{box.type, box.title == "Save Failed", box.text.find("./Data/level3.dat") != std::string::npos,
                        box.text.find(strerror(ENOSPC)) != std::string::npos}),
                  (Ints{MB_TYPE_RETRYCANCEL, 1, 1, 1}))
            << box.text;
        int size = fs::exists("Data/level3.dat") ? (int)fs::file_size("Data/level3.dat") : 0;
        EXPECT_EQ((Ints{game.levelIndex, mode, size}), (Ints{c[2], c[3], c[4]}));
        if (c[0] == MB_RESULT_CANCEL) {
            // The work is still there, and still unsaved: the next try writes it.
            EXPECT_EQ((Ints{currentLevel.blockCount, currentLevel.blocks[0].x, editor.edited}), (Ints{1, 100, 1}));
            EXPECT_EQ(editorLeave(), MODE_MAIN_MENU);
            EXPECT_EQ(fs::file_size("Data/level3.dat"), 12u);
        }
        saveFaults.failuresLeft = 0;
        closeEditor();
    }
}

// A level whose file is there but cannot be read is never written over; the player is told why. (The
// loader's refusals of a FIFO or a device are the bad-input tour's.)
TEST_F(EditorFiles, AnUnreadableLevelIsNeverWrittenOver) {
    const std::function<void(const std::string&)> bads[] = {
        [](const std::string& p) { fs::create_directory(p); },
        [](const std::string& p) { writeFileBytes(p, std::vector<uint8_t>(70000, 7)); },  // longer than any level
        [](const std::string& p) {
            writeFileBytes(p, std::vector<uint8_t>(24, 7));
            fs::permissions(p, fs::perms::none);
        },
    };
    for (int b = 0; b < 3; b++) {
        SCOPED_TRACE(b);
        // Root gives up its override of permission bits for the last case, as a normal user has none.
        std::unique_ptr<PermissionsApply> user(b == 2 ? new PermissionsApply() : nullptr);
        if (user && !user->applies()) {
            continue;
        }
        bads[b]("Data/level1.dat");
        struct stat made, after;
        ASSERT_EQ(lstat("Data/level1.dat", &made), 0);
        openEditorOn(1);
        EXPECT_EQ(currentLevel.blockCount, 0);
        stampAt(KIT_BRICK, 105, 105);
        const size_t earlier = headlessMessageBoxes().size();
        headlessSetBoxAnswer(MB_RESULT_CANCEL);
        EXPECT_EQ(editorLeave(), MODE_EDITOR);
        ASSERT_EQ(headlessMessageBoxes().size(), earlier + 1);
        EXPECT_NE(headlessMessageBoxes().back().text.find("./Data/level1.dat"), std::string::npos);
        ASSERT_EQ(lstat("Data/level1.dat", &after), 0);
        EXPECT_EQ((Ints{(int)after.st_ino, (int)after.st_size, (int)(after.st_mode & S_IFMT),
                        currentLevel.blockCount}),
                  (Ints{(int)made.st_ino, (int)made.st_size, (int)(made.st_mode & S_IFMT), 1}));
        // Once the file is moved out of the way the same work saves.
        fs::rename("Data/level1.dat", "Data/level1.moved");
        EXPECT_EQ(editorLeave(), MODE_MAIN_MENU);
        EXPECT_EQ(fs::file_size("Data/level1.dat"), 12u);
        fs::remove_all("Data/level1.dat");
        fs::remove_all("Data/level1.moved");
        closeEditor();
    }
}
