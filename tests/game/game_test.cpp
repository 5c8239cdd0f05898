// A game from the level chooser to the end: new game, level set-up, play, level done, game over, editor.
#include <gtest/gtest.h>

#include <filesystem>

#include "field/ball.h"
#include "field/debris.h"
#include "field/level.h"
#include "field/paddle.h"
#include "flowtest.h"
#include "game/game.h"
#include "field/gamevalues.h"
#include "game/highscores.h"
#include "game/modes.h"
#include "game/play.h"
#include "game/settings.h"
#include "shell/input.h"
#include "shell/mainloop.h"
#include "shell/overlay.h"
#include "sound/music.h"

namespace {

// Our own level set, defaults in force, difficulty 2; levels 5, 7 and 8 hold one block each.
struct GameFixture : FlowFixture {
    GameFixture() {
        writeTestLevelSet();
        writeTestLevel(5, 100, 50, 1);
        writeTestLevel(7, 100, 50, 1);
        writeTestLevel(8, 60, 40, 1);
        setDefaultSettings();
        game.difficulty = 2;
    }
    // From the chooser to play of `level` (which must be unlocked), through the new game.
    void startLevel(int level) {
        game.unlocked[game.difficulty - 1][level] = 1;
        goTo(MODE_LEVEL_SELECT);
        tap(24 * (level % 10) + 5, 80 + 24 * (level / 10) + 5);
        EXPECT_EQ(mainLoop.currentMode, MODE_NEW_GAME);
        update();
        EXPECT_EQ(mainLoop.currentMode, MODE_NEXT_LEVEL);
        update();
        EXPECT_EQ(mainLoop.currentMode, MODE_PLAY);
        apply();
    }
};

uint16_t sheetPixel(int x, int y) {
    return getPixel(currentLevel.thumbnailSheet, x, y);
}

}  // namespace

TEST(LevelSelect, EntryMarksTheFirstLevelAndDrawsTheLockedCells) {
    GameFixture f;
    game.unlocked[1][5] = 1;
    f.goTo(MODE_LEVEL_SELECT);
    EXPECT_EQ(game.unlocked[1][0], 1);
    EXPECT_EQ(game.unlocked[0][0], 0);
    ASSERT_NE(currentLevel.thumbnailSheet, nullptr);
    EXPECT_EQ(currentLevel.thumbnailSheet->width, 240);
    EXPECT_EQ(currentLevel.thumbnailSheet->height, 240);
    EXPECT_EQ(sheetPixel(5 * 24 + 3, 7), 0);
    EXPECT_EQ(sheetPixel(0 * 24 + 3, 7), 0);
    EXPECT_EQ(sheetPixel(7 * 24 + 3, 7), packColour(3, 0, 7));
    EXPECT_EQ(sheetPixel(216 + 23, 216 + 22), packColour(23, 0, 22));
    EXPECT_EQ(flow.revealSweep, 69);
    EXPECT_EQ(flow.revealCounter, 0);
    // A stray difficulty is taken as Easy before the unlock table is used.
    game.difficulty = 7;
    f.goTo(MODE_MAIN_MENU);
    f.goTo(MODE_LEVEL_SELECT);
    EXPECT_EQ(game.difficulty, 1);
    EXPECT_EQ(game.unlocked[0][0], 1);
}

TEST(LevelSelect, RevealDrawsUnlockedLevelsEveryFourthUpdateAndTheSweepRunsBetween) {
    GameFixture f;
    game.unlocked[1][5] = 1;
    f.goTo(MODE_LEVEL_SELECT);
    game.updateCounter = 0;
    f.update(3);
    EXPECT_EQ(flow.revealSweep, 72);
    EXPECT_EQ(flow.revealCounter, 0);
    f.update();
    EXPECT_EQ(flow.revealSweep, 72);
    EXPECT_EQ(flow.revealCounter, 1);
    // Level 5's thumbnail appears when the counter passes 5: the block at (100, 50) lands at (10, 5).
    f.update(4 * 5 - 1);
    EXPECT_EQ(flow.revealCounter, 5);
    EXPECT_EQ(sheetPixel(5 * 24 + 10, 5), 0);
    f.update();
    EXPECT_EQ(flow.revealCounter, 6);
    EXPECT_NE(sheetPixel(5 * 24 + 10, 5), 0);
    f.update(400 - 24);
    EXPECT_EQ(flow.revealCounter, 100);
    EXPECT_EQ(flow.revealSweep, (69 + 300) % 100);
    // Level 7 has a file but is locked: its cell keeps the gradient.
    EXPECT_EQ(sheetPixel(7 * 24 + 10, 5), packColour(10, 0, 5));
    // From now on the sweep moves every update and the counter goes on every fourth.
    f.update(3);
    EXPECT_EQ(flow.revealSweep, 72);
    EXPECT_EQ(flow.revealCounter, 100);
    f.update();
    EXPECT_EQ(flow.revealSweep, 73);
    EXPECT_EQ(flow.revealCounter, 101);
}

TEST(LevelSelect, UnlockAllLevelsRevealsAndOffersEveryCellAndStopsLevelsBeingMarked) {
    GameFixture f;
    game.cheats.unlockAllLevels = 1;
    f.goTo(MODE_LEVEL_SELECT);
    EXPECT_EQ(sheetPixel(7 * 24 + 10, 5), packColour(10, 0, 5));
    game.updateCounter = 0;
    f.update(4 * 8);
    EXPECT_NE(sheetPixel(7 * 24 + 10, 5), packColour(10, 0, 5));
    f.tap(24 * 9 + 1, 80 + 24 * 9 + 1);
    EXPECT_EQ(mainLoop.currentMode, MODE_NEW_GAME);
    EXPECT_EQ(game.levelIndex, 99);
    mainLoop.currentMode = MODE_LEVEL_SELECT;
    f.tap(24 * 8 + 5, 80 + 5);
    f.update(2);
    f.apply();
    EXPECT_EQ(mainLoop.currentMode, MODE_PLAY);
    EXPECT_EQ(game.unlocked[1][8], 0);
}
TEST(LevelSelect, TapsChooseUnlockedCellsAndAnyKeyLeaves) {
    GameFixture f;
    game.unlocked[1][23] = 1;
    f.goTo(MODE_LEVEL_SELECT);
    f.tap(24 * 7 + 5, 80 + 5);  // locked
    f.tap(24 * 3 + 5, 80 + 24 * 3 + 5);
    f.tap(24 * 3 + 5, 80 + 240 + 5);  // below the grid
    f.tap(24 * 3 + 5, 80 - 25);       // above row 0's truncation band
    EXPECT_EQ(mainLoop.currentMode, MODE_LEVEL_SELECT);
    // Up to 23 rows above the grid still count as row 0.
    f.tap(12, 80 - 23);
    EXPECT_EQ(mainLoop.currentMode, MODE_NEW_GAME);
    EXPECT_EQ(game.levelIndex, 0);
    mainLoop.currentMode = MODE_LEVEL_SELECT;
    f.tap(24 * 3 + 23, 80 + 24 * 2 + 23);
    EXPECT_EQ(mainLoop.currentMode, MODE_NEW_GAME);
    EXPECT_EQ(game.levelIndex, 23);
    mainLoop.currentMode = MODE_LEVEL_SELECT;
    f.keyDown(65);
    EXPECT_EQ(mainLoop.currentMode, MODE_LEVEL_SELECT);
    f.keyUp(65);
    EXPECT_EQ(mainLoop.currentMode, MODE_MAIN_MENU);
}

TEST(NewGame, ResetsTheGameAndSetsUpTheChosenLevel) {
    GameFixture f;
    game.cheats.fatPaddle = 6;
    game.lives = 1;
    game.score = 999;
    paddle.keyHold = 30;
    game.unlocked[1][7] = 1;
    f.goTo(MODE_LEVEL_SELECT);
    f.tap(24 * 7 + 5, 80 + 5);
    f.update();
    EXPECT_EQ(mainLoop.currentMode, MODE_NEXT_LEVEL);
    EXPECT_EQ(game.lives, 5);
    EXPECT_EQ(game.score, 0);
    EXPECT_EQ(game.readyCountdown, 200);
    EXPECT_EQ(paddle.halfWidth, 20 - 4 + 6);
    EXPECT_EQ(paddle.targetHalfWidth, 20 - 4 + 6);
    EXPECT_EQ(paddle.keyHold, 0);
    f.apply();
    EXPECT_EQ(game.gameInProgress, 1);
    EXPECT_NE(currentLevel.fieldPicture, nullptr);
    EXPECT_EQ(currentLevel.blockCount, 1);
    EXPECT_EQ(music.requestedTrack, (7 + 1) % 6);
    EXPECT_EQ(game.readyCountdown, 1000);
    f.update();
    EXPECT_EQ(mainLoop.currentMode, MODE_PLAY);
    showStylusCursor = 1;
    f.apply();
    EXPECT_EQ(showStylusCursor, 0);
}

TEST(Play, HintPanelTapsAreSwallowedAndCutTheCountdown) {
    GameFixture f;
    f.startLevel(5);
    hintPanel.x = 20;
    hintPanel.y = 100;
    hintPanel.leaving = 0;
    game.readyCountdown = 900;
    f.press(20, 150);
    EXPECT_EQ(paddle.swallow, 0);
    f.release(20, 150);
    f.press(21, 101);
    EXPECT_EQ(paddle.swallow, 1);
    EXPECT_EQ(hintPanel.leaving, 1);
    EXPECT_EQ(game.readyCountdown, 300);
    f.release(21, 101);
    EXPECT_EQ(paddle.swallow, 0);
    // The title strip counts only near the top of the screen.
    hintPanel.y = 5;
    hintPanel.leaving = 0;
    game.readyCountdown = 150;
    f.press(107, 0);
    EXPECT_EQ(paddle.swallow, 1);
    EXPECT_EQ(game.readyCountdown, 150);
    f.release(107, 0);
    // With hints off nothing is taken.
    game.helpfulHints = 0;
    hintPanel.leaving = 0;
    f.press(100, 50);
    EXPECT_EQ(paddle.swallow, 0);
    EXPECT_EQ(hintPanel.leaving, 0);
    f.release(100, 50);
}

TEST(Play, DirectionKeysHoldTheirFlagsAndEscapeKeepsTheGame) {
    GameFixture f;
    f.startLevel(5);
    f.keyDown(37);
    f.keyDown(38);
    EXPECT_EQ(paddle.keyLeft, 1);
    EXPECT_EQ(paddle.keyUp, 1);
    f.keyUp(37);
    EXPECT_EQ(paddle.keyLeft, 0);
    EXPECT_EQ(paddle.keyUp, 1);
    f.keyUp(38);
    f.keyDown(39);
    f.keyDown(40);
    EXPECT_EQ(paddle.keyRight, 1);
    EXPECT_EQ(paddle.keyDown, 1);
    f.keyUp(39);
    f.keyUp(40);
    EXPECT_EQ(paddle.keyRight + paddle.keyDown, 0);
    f.keyUp(27);
    EXPECT_EQ(mainLoop.currentMode, MODE_MAIN_MENU);
    f.apply();
    EXPECT_EQ(game.gameInProgress, 1);
    EXPECT_NE(currentLevel.collisionMap, nullptr);
    EXPECT_EQ(showStylusCursor, 1);
    // Six items now: item 0 continues.
    f.tap(120, 122 + 12 + 3);
    EXPECT_EQ(mainLoop.currentMode, MODE_PLAY);
    f.apply();
    EXPECT_EQ(showStylusCursor, 0);
    EXPECT_EQ(currentLevel.blockCount, 1);
}

TEST(Play, AClearedLevelEndsWhenTheDebrisHasSettledAndTheNextOneFollows) {
    GameFixture f;
    f.startLevel(7);
    currentLevel.blockCount = 0;
    while (ballList.count > 0) {
        removeBall(0);
    }
    debrisList.count = 0;
    f.update();
    EXPECT_EQ(mainLoop.currentMode, MODE_LEVEL_DONE);
    f.apply();
    EXPECT_EQ(game.levelIndex, 8);
    EXPECT_EQ(game.gameInProgress, 0);
    EXPECT_EQ(currentLevel.fieldPicture, nullptr);
    EXPECT_EQ(currentLevel.collisionMap, nullptr);
    EXPECT_EQ(showStylusCursor, 1);
    f.update();
    EXPECT_EQ(mainLoop.currentMode, MODE_NEXT_LEVEL);
    f.apply();
    EXPECT_EQ(game.unlocked[1][8], 1);
    EXPECT_EQ(currentLevel.blockCount, 1);
    EXPECT_EQ(game.gameInProgress, 1);
    EXPECT_EQ(music.requestedTrack, (8 + 1) % 6);
}

TEST(Play, AfterTheLastLevelTheGameIsOver) {
    GameFixture f;
    f.startLevel(5);
    game.score = 1234;
    // The second-last level cleared: the last one follows.
    f.goTo(MODE_MAIN_MENU);
    game.levelIndex = 98;
    f.goTo(MODE_LEVEL_DONE);
    f.update();
    EXPECT_EQ(mainLoop.currentMode, MODE_NEXT_LEVEL);
    f.goTo(MODE_MAIN_MENU);
    game.levelIndex = 99;
    f.goTo(MODE_LEVEL_DONE);
    EXPECT_EQ(game.levelIndex, 100);
    f.update();
    EXPECT_EQ(mainLoop.currentMode, MODE_GAME_OVER);
    f.apply();
    EXPECT_EQ(game.highScoreRank, 0);
    f.tap(120, 160);
    EXPECT_EQ(mainLoop.currentMode, MODE_NAME_ENTRY);
}

TEST(Play, TheLostBallCaptionPlaysItsSoundOnceOnTheUpdateItAppears) {
    GameFixture f;
    f.loadTestSound(9);
    f.startLevel(5);
    game.lives = 2;
    while (ballList.count > 0) {
        removeBall(0);
    }
    debrisList.count = 0;
    game.readyCountdown = -196;
    f.silence();
    // Two updates to -200, the caption on the third; the serve at -250 brings neither back.
    std::vector<int> heard, shown;
    for (int t = 0; t < 40; t++) {
        f.update();
        if (f.voicePlaying(9)) {
            heard.push_back(t);
            f.silence();
        }
        if (lostBallCaptionShowing()) {
            shown.push_back(t);
        }
    }
    EXPECT_EQ(heard, (std::vector<int>{2}));
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ((std::vector<int>{shown.front(), (int)shown.size()}), (std::vector<int>{2, 25}));
}

TEST(GameOver, TheLastBallLostEndsTheGameAndThePressThatWasDownIsSwallowed) {
    GameFixture f;
    f.loadTestSound(1);
    f.loadTestSound(2);
    f.startLevel(5);
    game.lives = 0;
    game.score = 700;
    while (ballList.count > 0) {
        removeBall(0);
    }
    debrisList.count = 0;
    game.readyCountdown = -250;
    f.press(120, 200);
    f.update();
    ASSERT_EQ(mainLoop.currentMode, MODE_GAME_OVER);
    f.silence();
    f.apply();
    EXPECT_EQ(game.gameInProgress, 0);
    EXPECT_EQ(currentLevel.collisionMap, nullptr);
    EXPECT_EQ(currentLevel.fieldPicture, nullptr);
    EXPECT_EQ(showStylusCursor, 1);
    EXPECT_EQ(game.highScoreRank, 0);
    EXPECT_EQ(f.voicePlaying(1), 1);
    EXPECT_EQ(f.voicePlaying(2), 0);
    EXPECT_EQ(paddle.swallow, 1);
    requestMusic(4);
    f.silence();
    // Direction keys are ignored and keep the swallow flag.
    f.keyUp(37);
    EXPECT_EQ(paddle.swallow, 1);
    f.release(120, 200);
    EXPECT_EQ(paddle.swallow, 0);
    EXPECT_EQ(mainLoop.currentMode, MODE_GAME_OVER);
    EXPECT_EQ(f.voicePlaying(1), 0);
    f.tap(120, 200);
    EXPECT_EQ(mainLoop.currentMode, MODE_NAME_ENTRY);
    EXPECT_EQ(f.voicePlaying(1), 1);
    EXPECT_EQ(music.requestedTrack, 0);
}
TEST(GameOver, AScoreOutsideTheTableGoesBackToTheMenuAndEscapeLeavesSilently) {
    GameFixture f;
    f.loadTestSound(1);
    f.loadTestSound(2);
    for (int escape = 0; escape <= 1; escape++) {
        game.score = escape ? 50 : 0;
        f.goTo(MODE_MAIN_MENU);
        f.goTo(MODE_GAME_OVER);
        EXPECT_EQ(game.highScoreRank, escape ? 0 : 25);
        EXPECT_EQ(f.voicePlaying(2), escape ? 0 : 1);
        EXPECT_EQ(f.voicePlaying(1), escape ? 1 : 0);
        f.silence();
        requestMusic(3);
        f.keyDown(65);
        EXPECT_EQ(mainLoop.currentMode, MODE_GAME_OVER);
        f.keyUp(escape ? 27 : 65);
        EXPECT_EQ(mainLoop.currentMode, MODE_MAIN_MENU);
        EXPECT_EQ(f.voicePlaying(2), escape ? 0 : 1);
        EXPECT_EQ(f.voicePlaying(1), 0);
        EXPECT_EQ(music.requestedTrack, escape ? 3 : 0);
        f.silence();
    }
}
TEST(Play, LeavingOptionsWithAnotherDifficultyOrEnteringTheChooserAbandonsTheGame) {
    GameFixture f;
    writeFlatPicture("optionsWin.png", 208, 180, 60);
    // Options taps on the difficulty line before leaving, and whether the game is still there after.
    struct Row {
        int taps;
        int difficulty;  // after the taps, from Medium: round through Insane and Easy
        int kept;
    };
    for (Row r : {Row{4, 2, 1}, Row{1, 3, 0}, Row{5, 3, 0}, Row{0, 2, 1}}) {
        f.startLevel(5);
        f.keyUp(27);
        f.apply();
        f.goTo(MODE_OPTIONS);
        for (int i = 0; i < r.taps; i++) {
            f.tap(16 + 20, 60 + 160);
        }
        EXPECT_EQ(game.difficulty, r.difficulty) << r.taps;
        EXPECT_EQ(game.gameInProgress, 1) << r.taps;  // nothing is decided while the screen shows
        f.goTo(MODE_MAIN_MENU);
        EXPECT_EQ(game.gameInProgress, r.kept) << r.taps;
        EXPECT_EQ(currentLevel.collisionMap != nullptr, r.kept == 1) << r.taps;
        EXPECT_EQ(currentLevel.fieldPicture != nullptr, r.kept == 1) << r.taps;
        game.difficulty = 2;
    }
    f.startLevel(5);
    f.keyUp(27);
    f.apply();
    f.goTo(MODE_LEVEL_SELECT);
    EXPECT_EQ(game.gameInProgress, 0);
    EXPECT_EQ(currentLevel.collisionMap, nullptr);
    EXPECT_EQ(currentLevel.fieldPicture, nullptr);
}
TEST(Editor, TheLevelIndexWrapsAndAnUneditedLevelIsNotWrittenOnLeaving) {
    GameFixture f;
    game.levelIndex = 100;
    f.goTo(MODE_EDITOR);
    EXPECT_EQ(game.levelIndex, 0);
    EXPECT_NE(currentLevel.collisionMap, nullptr);
    ASSERT_NE(currentLevel.fieldPicture, nullptr);
    EXPECT_EQ(currentLevel.fieldPicture->width, currentLevel.backgroundPicture->width);
    f.keyUp(27);
    EXPECT_EQ(mainLoop.currentMode, MODE_MAIN_MENU);
    f.apply();
    EXPECT_EQ(currentLevel.collisionMap, nullptr);
    EXPECT_EQ(currentLevel.fieldPicture, nullptr);
    EXPECT_FALSE(std::filesystem::exists("Data/level0.dat"));
    game.levelIndex = -1;
    f.goTo(MODE_EDITOR);
    EXPECT_EQ(game.levelIndex, 99);
    EXPECT_EQ(currentLevel.blockCount, 0);
    f.tap(200, 300);
    EXPECT_EQ(mainLoop.currentMode, MODE_MAIN_MENU);
    f.apply();
    EXPECT_EQ(currentLevel.collisionMap, nullptr);
}

TEST(Editor, EnteringItAbandonsTheGameAndKeepsTheLevelsBlocks) {
    GameFixture f;
    f.startLevel(8);
    f.keyUp(27);
    f.apply();
    f.goTo(MODE_EDITOR);
    EXPECT_EQ(game.gameInProgress, 0);
    EXPECT_EQ(game.levelIndex, 8);
    EXPECT_EQ(currentLevel.blockCount, 1);
    EXPECT_EQ(music.requestedTrack, (8 + 1) % 6);
    f.keyUp(27);
    f.apply();
    std::vector<uint8_t> bytes = readFileBytes("Data/level8.dat");
    ASSERT_EQ(bytes.size(), 12u);
    EXPECT_EQ(bytes[0], 60);
    EXPECT_EQ(bytes[2], 40);
    EXPECT_EQ(bytes[4], 1);
}

