// A game from the level chooser to the end: the chooser's cells, new game, the last level, game over,
// and the game abandoned by a changed difficulty. Whole games are pinned by the recorded sessions.
#include <gtest/gtest.h>

#include "field/level.h"
#include "field/paddle.h"
#include "flowtest.h"
#include "field/gamevalues.h"
#include "game/game.h"
#include "game/modes.h"
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

}  // namespace

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

// Only a score that ranks gets a rank (0 ties with every empty entry, and ties go below).
TEST(GameOver, AScoreOutsideTheTableGoesBackToTheMenuAndEscapeLeavesSilently) {
    GameFixture f;
    f.loadTestSound(1);
    f.loadTestSound(2);
    for (int escape = 0; escape <= 1; escape++) {
        game.score = escape ? 500 : 0;
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
    // Options taps on the difficulty line before leaving (-1: the chooser entered instead), the
    // difficulty after them (from Medium round through Insane and Easy), and whether the game is kept.
    struct Row {
        int taps, difficulty, kept;
    };
    for (Row r : {Row{4, 2, 1}, Row{1, 3, 0}, Row{5, 3, 0}, Row{0, 2, 1}, Row{-1, 2, 0}}) {
        f.startLevel(5);
        f.keyUp(27);
        f.apply();
        f.goTo(r.taps < 0 ? MODE_LEVEL_SELECT : MODE_OPTIONS);
        for (int i = 0; i < r.taps; i++) {
            f.tap(16 + 20, 60 + 160);
        }
        EXPECT_EQ(game.difficulty, r.difficulty) << r.taps;
        if (r.taps >= 0) {
            EXPECT_EQ(game.gameInProgress, 1) << r.taps;  // nothing is decided while the screen shows
            f.goTo(MODE_MAIN_MENU);
        }
        EXPECT_EQ(game.gameInProgress, r.kept) << r.taps;
        EXPECT_EQ(currentLevel.collisionMap != nullptr, r.kept == 1) << r.taps;
        EXPECT_EQ(currentLevel.fieldPicture != nullptr, r.kept == 1) << r.taps;
        game.difficulty = 2;
    }
}
