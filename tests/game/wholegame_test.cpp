// The whole game on the headless backend with the generated data, the virtual clock and a scripted
// player: the splashes, the menu, the options, the chooser, level 1 played to its end with the paddle
// following the ball, a lost game, a high score with its name typed on the screen keyboard, the table,
// the information page scrolled to the cheat panel, farewell and exit. The files written are checked.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "field/ball.h"
#include "field/paddle.h"
#include "field/level.h"
#include "game/gamevalues.h"
#include "game/highscores.h"
#include "game/modes.h"
#include "game/play.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "flowtest.h"
#include "shell/input.h"
#include "shell/mainloop.h"

namespace {

const int64_t UPDATE = HEADLESS_TICKS_PER_SECOND / 60;
const int PASS_LIMIT = 400000;  // about 1 h 50 min of game time: a stuck script fails instead of hanging

enum Step {
    SPLASHES,
    MENU_TO_OPTIONS,
    OPTIONS,
    MENU_TO_CHOOSER,
    CHOOSER,
    LEVEL_ONE,
    LEVEL_TWO_LOST,
    GAME_OVER_SCREEN,
    NAME_ENTRY,
    HIGH_SCORES,
    MENU_TO_INFO,
    INFO_PAGE,
    MENU_TO_QUIT,
    FAREWELL,
    EXIT,
    DONE,
};

const char* const stepNames[] = {"splashes",  "menu to options", "options",   "menu to chooser", "chooser",
                                 "level one", "level two lost",  "game over", "name entry",      "high scores",
                                 "menu to info", "info page",    "menu to quit", "farewell",     "exit",
                                 "done"};

struct Player {
    Step step = SPLASHES;
    int64_t stepStart = 0;     // pass at which the step began
    int64_t pass = 0;
    int action = 0;            // progress inside a step
    int64_t actionPass = 0;    // pass of the step's last action
    int held = 0;              // 1 while the script holds the stylus down
    int heldX = 0;
    std::vector<int32_t> modesSeen;        // every mode entered, in order
    int32_t levelOneScore = -1;
    int32_t finalScore = -1;
    int levelOneCleared = 0;
    int ballsLost = 0;
    int introTapped = 0;
    std::string failure;
};

Player player;

void tap(int x, int y) {
    headlessMouse(MSG_LBUTTONDOWN, x, y);
    headlessMouse(MSG_LBUTTONUP, x, y);
}

void keyTap(uint32_t vk) {
    headlessKey(MSG_KEYDOWN, vk);
    headlessKey(MSG_KEYUP, vk);
}

// The mode has been entered and drawn at least once.
bool showing(int32_t mode) {
    return currentMode == mode && previousMode == mode;
}

void next(Step step) {
    player.step = step;
    player.stepStart = player.pass;
    player.action = 0;
    player.actionPass = player.pass;
}

int64_t sinceAction(void) {
    return player.pass - player.actionPass;
}

void act(void) {
    player.action++;
    player.actionPass = player.pass;
}

// ---- The player's hands -------------------------------------------------------------------------------

void holdAt(int x, int y) {
    if (!player.held) {
        headlessMouse(MSG_LBUTTONDOWN, x, y);
        player.held = 1;
    } else if (x != player.heldX) {
        headlessMouse(MSG_MOUSEMOVE, x, y);
    }
    player.heldX = x;
}

void letGo(int x, int y) {
    if (player.held) {
        headlessMouse(MSG_LBUTTONUP, x, y);
        player.held = 0;
    }
}

// The hint panel is tapped away once it has slid in.
bool dismissHint(void) {
    if (game.helpfulHints && game.readyCountdown > 300 && hintPanel.y > 60) {
        letGo(player.heldX, 300);
        tap(hintPanel.x + 60, hintPanel.y + 10);
        return true;
    }
    return false;
}

int ballX(void) {
    return ballCount > 0 ? balls[0].x >> 10 : 120;
}

int clampX(int x) {
    return x < 0 ? 0 : (x > 239 ? 239 : x);
}

// ---- The script, one call per main-loop pass ----------------------------------------------------------

void splashes(void) {
    // A tap while the intro holds lets it go on at once.
    if (!player.introTapped && showing(MODE_SPLASH_INTRO) && flow.splashCounter == 290) {
        tap(120, 160);
        player.introTapped = 1;
    }
    if (showing(MODE_MAIN_MENU)) {
        next(MENU_TO_OPTIONS);
    }
}

void menuToOptions(void) {
    if (sinceAction() == 30) {
        tap(120, 122 + 24 * 2 + 5);
        next(OPTIONS);
    }
}

void options(void) {
    if (!showing(MODE_OPTIONS) || sinceAction() < 20) {
        return;
    }
    // The window is 208 x 194: its left edge at 16, its top at 53.
    switch (player.action) {
    case 0:
        tap(16 + 100, 53 + 160);  // difficulty: Easy -> Medium
        act();
        break;
    case 1:
        // Effects volume: the knob dragged to 180 (x = left + 11 + 90), music to 100.
        headlessMouse(MSG_LBUTTONDOWN, 100, 53 + 80);
        headlessMouse(MSG_MOUSEMOVE, 117, 53 + 80);
        headlessMouse(MSG_LBUTTONUP, 117, 53 + 80);
        headlessMouse(MSG_LBUTTONDOWN, 60, 53 + 110);
        headlessMouse(MSG_MOUSEMOVE, 77, 53 + 110);
        headlessMouse(MSG_LBUTTONUP, 77, 53 + 110);
        act();
        break;
    case 2:
        tap(16 + 170, 53 + 12);  // the window's Back button
        next(MENU_TO_CHOOSER);
        break;
    default:
        break;
    }
}

void menuToChooser(void) {
    if (showing(MODE_MAIN_MENU) && sinceAction() > 10 && player.action == 0) {
        tap(120, 122 + 24 + 5);
        act();
    }
    if (showing(MODE_LEVEL_SELECT)) {
        next(CHOOSER);
    }
}

void chooser(void) {
    if (sinceAction() == 30) {
        tap(12, 80 + 12);
        next(LEVEL_ONE);
    }
}

void levelOne(void) {
    if (!showing(MODE_PLAY)) {
        return;
    }
    if (game.levelIndex == 1) {
        // Level 1 is done and level 2 set up.
        EXPECT_TRUE(player.levelOneCleared);
        letGo(player.heldX, 300);
        next(LEVEL_TWO_LOST);
        return;
    }
    if (dismissHint()) {
        return;
    }
    if (levelCleared()) {
        if (!player.levelOneCleared) {
            player.levelOneCleared = 1;
            player.levelOneScore = game.score;
        }
        return;
    }
    // The paddle follows the ball, hitting it a little off centre, now on one side, now on the other.
    int offset = (int)((player.pass / 240) % 5) * 4 - 8;
    holdAt(clampX(landingX() + offset), 300);
}

void levelTwoLost(void) {
    if (showing(MODE_GAME_OVER)) {
        player.finalScore = game.score;
        next(GAME_OVER_SCREEN);
        return;
    }
    if (!showing(MODE_PLAY)) {
        return;
    }
    if (dismissHint()) {
        return;
    }
    if (game.readyCountdown > 0) {
        return;
    }
    // The player looks away: the paddle keeps to the far side from the ball.
    holdAt(ballX() < 120 ? 230 : 10, 300);
}

void gameOverScreen(void) {
    if (player.action == 0 && sinceAction() > 5) {
        // The press that was down as the screen appeared is let go first; it does not leave the screen.
        letGo(player.heldX, 300);
        act();
    } else if (player.action == 1 && sinceAction() > 30) {
        EXPECT_EQ(currentMode, MODE_GAME_OVER);
        // The first game on a fresh table ranks first: the screen says "You have a high score!!".
        EXPECT_EQ(game.highScoreRank, 0);
        tap(120, 200);
        next(NAME_ENTRY);
    }
}

// The screen keyboard's key for a character: column c, row r with code 32 + c + 12 r.
void tapKey(char c) {
    int code = c - 32;
    tap(2 + 20 * (code % 12) + 5, 151 + 14 * (code / 12) + 5);
}

void nameEntry(void) {
    if (!showing(MODE_NAME_ENTRY) || sinceAction() < 8) {
        return;
    }
    const char* name = "ANNA";
    if (player.action < 4) {
        tapKey(name[player.action]);
        act();
    } else if (player.action == 4) {
        tap(200, 300);  // DONE
        next(HIGH_SCORES);
    }
}

void highScores(void) {
    if (!showing(MODE_HIGH_SCORES) || sinceAction() < 30) {
        return;
    }
    keyTap('A');
    next(MENU_TO_INFO);
}

void menuToInfo(void) {
    if (showing(MODE_MAIN_MENU) && player.action == 0 && sinceAction() > 10) {
        tap(120, 122 + 24 * 3 + 5);
        act();
    }
    if (showing(MODE_INFO_PAGE)) {
        next(INFO_PAGE);
    }
}

void infoPage(void) {
    switch (player.action) {
    case 0:
        if (sinceAction() > 10) {
            headlessKey(MSG_KEYDOWN, 40);  // the down key, held
            act();
        }
        break;
    case 1:
        if (flow.pageY >= 1600) {
            headlessKey(MSG_KEYUP, 40);
            act();
        }
        break;
    case 2:
        if (flow.scrollSpeed == 0 && sinceAction() > 5) {
            // A tap on the lid of the hatch, where it stands on the screen now.
            int lidTop = 10 + 2173 - flow.pageY;
            EXPECT_GT(lidTop, 0);
            EXPECT_LT(lidTop + 60, 320);
            tap(infoPageLeft() + 14 + 95, lidTop + 50);
            act();
        }
        break;
    case 3:
        if (game.cheatPanelAmount == 150 && sinceAction() > 160) {
            keyTap(27);
            next(MENU_TO_QUIT);
        }
        break;
    default:
        break;
    }
}

void menuToQuit(void) {
    if (showing(MODE_MAIN_MENU) && player.action == 0 && sinceAction() > 10) {
        tap(120, 122 + 24 * 5 + 5);
        act();
    }
    if (showing(MODE_FAREWELL)) {
        next(FAREWELL);
    }
}

void farewell(void) {
    if (sinceAction() == 20) {
        tap(120, 160);
        next(EXIT);
    }
}

void exitScreen(void) {
    if (showing(MODE_EXIT) && sinceAction() > 20 && player.action == 0) {
        tap(120, 160);
        act();
        next(DONE);
    }
}

void hook(int64_t pass) {
    player.pass = pass;
    headlessAdvance(UPDATE + 1);
    // The sound device asks for a buffer about every third update.
    if (pass % 3 == 0) {
        headlessAudioPlayOne();
    }
    if (player.modesSeen.empty() || player.modesSeen.back() != previousMode) {
        player.modesSeen.push_back(previousMode);
    }
    if (pass > PASS_LIMIT) {
        char state[160];
        std::snprintf(state, sizeof(state), " (mode %d, level %d, blocks %d, balls %d, countdown %d, score %d)",
                      (int)currentMode, (int)game.levelIndex, (int)levelBlockCount, (int)ballCount,
                      (int)game.readyCountdown, (int)game.score);
        player.failure = std::string("the script stalled at ") + stepNames[player.step] + state;
        headlessPushMessage(MSG_CLOSE, 0, 0);
        return;
    }
    switch (player.step) {
    case SPLASHES: splashes(); break;
    case MENU_TO_OPTIONS: menuToOptions(); break;
    case OPTIONS: options(); break;
    case MENU_TO_CHOOSER: menuToChooser(); break;
    case CHOOSER: chooser(); break;
    case LEVEL_ONE: levelOne(); break;
    case LEVEL_TWO_LOST: levelTwoLost(); break;
    case GAME_OVER_SCREEN: gameOverScreen(); break;
    case NAME_ENTRY: nameEntry(); break;
    case HIGH_SCORES: highScores(); break;
    case MENU_TO_INFO: menuToInfo(); break;
    case INFO_PAGE: infoPage(); break;
    case MENU_TO_QUIT: menuToQuit(); break;
    case FAREWELL: farewell(); break;
    case EXIT: exitScreen(); break;
    case DONE: break;
    }
}

}  // namespace

TEST(WholeGame, APlayerGoesThroughEveryScreenAndTheFilesHoldWhatTheyDid) {
    GameFolder folder;
    player = Player();
    headlessReset();
    headlessSetAudioCapture(0);
    headlessSetPumpHook(hook);
    int code = runGame();
    headlessSetPumpHook(nullptr);

    EXPECT_EQ(player.failure, "");
    EXPECT_EQ(player.step, DONE) << "stopped at " << stepNames[player.step];
    EXPECT_EQ(code, 0);
    EXPECT_EQ(quitRequested, 1);
    std::printf("passes: %lld; level 1 score %d, final score %d\n", (long long)player.pass,
                (int)player.levelOneScore, (int)player.finalScore);

    // Every screen of the way, in order.
    std::vector<int32_t> expected = {0,           MODE_SPLASH_LOGO, MODE_SPLASH_INTRO, MODE_SPLASH_MONKEY,
                                     MODE_MAIN_MENU, MODE_OPTIONS,  MODE_MAIN_MENU,    MODE_LEVEL_SELECT,
                                     MODE_NEW_GAME, MODE_NEXT_LEVEL, MODE_PLAY,        MODE_LEVEL_DONE,
                                     MODE_NEXT_LEVEL, MODE_PLAY,    MODE_GAME_OVER,    MODE_NAME_ENTRY,
                                     MODE_HIGH_SCORES, MODE_MAIN_MENU, MODE_INFO_PAGE,  MODE_MAIN_MENU,
                                     MODE_FAREWELL, MODE_EXIT};
    EXPECT_EQ(player.modesSeen, expected);
    EXPECT_TRUE(player.levelOneCleared);
    EXPECT_GT(player.levelOneScore, 0);
    EXPECT_GE(player.finalScore, player.levelOneScore);

    // The settings as the options left them, with levels 1 and 2 of Medium reached.
    std::vector<int32_t> values = {38, 40, 37, 39, 32, 27, 13, 0, 2, 180, 100, 1};
    values.resize(412, 0);
    values[12 + 100] = 1;
    values[12 + 101] = 1;
    EXPECT_EQ(readFileBytes("Data/settings.dat"), valuesToBytes(values));

    // The Medium table: ANNA on top with the final score, 24 empty entries below.
    EXPECT_EQ(readFileBytes("Data/Plinkor2.dat"), textBytes(scoreTable({{"ANNA", player.finalScore}})));
    EXPECT_FALSE(std::filesystem::exists("Data/Plinkor1.dat"));
}
