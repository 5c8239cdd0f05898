// The whole game on the headless backend with the generated data, the virtual clock and a scripted
// player: the splashes, the menu, the options, the chooser, level 1 played to its end with the paddle
// following the ball, a lost game, a high score with its name typed on the screen keyboard, the table,
// the information page scrolled to the cheat panel, farewell and exit. The files written are checked.
// Then the monkey: the same game played by random hands for a few minutes of game time.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "field/ball.h"
#include "field/paddle.h"
#include "field/level.h"
#include "field/gamevalues.h"
#include "game/highscores.h"
#include "game/modes.h"
#include "game/play.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "flowtest.h"
#include "player.h"
#include "shell/input.h"
#include "shell/mainloop.h"

namespace {

struct Record {
    int32_t levelOneScore = -1;
    int32_t finalScore = -1;
};

Record player;

// From the main menu, a while after it shows, to item `item`.
void menuItem(int item, int after) {
    waitFor(MODE_MAIN_MENU);
    waitPasses(after);
    tapStep(120, 122 + 24 * item + 5);
}

void writeScript(void) {
    // A tap while the intro holds lets it go on at once.
    step([]() {
        if (showing(MODE_SPLASH_INTRO) && flow.splashCounter == 290) {
            tap(120, 160);
            return true;
        }
        return false;
    });
    waitFor(MODE_MAIN_MENU);
    waitPasses(30);
    menuItem(2, 0);
    // Options: the window is 208 x 194, its left edge at 16 and its top at 53. Difficulty Easy -> Medium,
    // the effects knob dragged to 180 (x = left + 11 + 90), music to 100, then the window's Back button.
    waitFor(MODE_OPTIONS);
    waitPasses(20);
    tapStep(16 + 100, 53 + 160);
    waitPasses(20);
    act([]() {
        for (int y : {53 + 80, 53 + 110}) {
            int x = y == 53 + 80 ? 100 : 60;
            headlessMouse(MSG_LBUTTONDOWN, x, y);
            headlessMouse(MSG_MOUSEMOVE, x + 17, y);
            headlessMouse(MSG_LBUTTONUP, x + 17, y);
        }
    });
    waitPasses(20);
    tapStep(16 + 170, 53 + 12);
    menuItem(1, 10);
    waitFor(MODE_LEVEL_SELECT);
    waitPasses(30);
    tapStep(12, 80 + 12);
    // Level 1 played to its end: the paddle follows the ball, hitting it a little off centre, now on one
    // side, now on the other. The step is done once level 2 is set up.
    step([]() {
        if (!showing(MODE_PLAY)) {
            return false;
        }
        if (game.levelIndex == 1) {
            letGo();
            return true;
        }
        if (dismissHint()) {
            return false;
        }
        if (levelCleared()) {
            player.levelOneScore = player.levelOneScore < 0 ? game.score : player.levelOneScore;
            return false;
        }
        holdAt(clampX(landingX() + (int)((script.passes / 240) % 5) * 4 - 8), 300);
        return false;
    });
    // Level 2 lost: the player looks away, the paddle kept to the far side from the ball.
    step([]() {
        if (showing(MODE_GAME_OVER)) {
            player.finalScore = game.score;
            return true;
        }
        if (showing(MODE_PLAY) && !dismissHint() && game.readyCountdown <= 0) {
            holdAt(ballList.count > 0 && fixedToInt(ballList.balls[0].x) < 120 ? 230 : 10, 300);
        }
        return false;
    });
    // The press that was down as the screen appeared is let go first; it does not leave the screen.
    waitPasses(6);
    act(letGo);
    waitPasses(31);
    act([]() {
        EXPECT_EQ(mainLoop.currentMode, MODE_GAME_OVER);
        // The first game on a fresh table ranks first: the screen says "You have a high score!!".
        EXPECT_EQ(game.highScoreRank, 0);
        tap(120, 200);
    });
    // The name typed on the screen keyboard: the key of code 32 + c + 12 r at column c, row r.
    waitFor(MODE_NAME_ENTRY);
    for (char c : std::string("ANNA")) {
        waitPasses(8);
        tapStep(2 + 20 * ((c - 32) % 12) + 5, 151 + 14 * ((c - 32) / 12) + 5);
    }
    waitPasses(8);
    tapStep(200, 300);
    waitFor(MODE_HIGH_SCORES);
    waitPasses(30);
    keyStep(MSG_KEYDOWN, 'A');
    keyStep(MSG_KEYUP, 'A');
    // The information page scrolled with the down key held, the hatch's lid tapped where it stands.
    menuItem(3, 10);
    waitFor(MODE_INFO_PAGE);
    waitPasses(10);
    keyStep(MSG_KEYDOWN, 40);
    step([]() { return flow.pageY >= 1600; });
    keyStep(MSG_KEYUP, 40);
    step([]() { return flow.scrollSpeed == 0; });
    waitPasses(5);
    act([]() {
        int lidTop = 10 + 2173 - flow.pageY;
        EXPECT_GT(lidTop, 0);
        EXPECT_LT(lidTop + 60, 320);
        tap(infoPageLeft() + 14 + 95, lidTop + 50);
    });
    step([]() { return game.cheatPanelAmount == 150; });
    waitPasses(160);
    keyStep(MSG_KEYUP, 27);
    menuItem(5, 10);
    waitFor(MODE_FAREWELL);
    waitPasses(20);
    tapStep(120, 160);
    waitFor(MODE_EXIT);
    waitPasses(20);
    tapStep(120, 160);
}

}  // namespace

TEST(WholeGame, APlayerGoesThroughEveryScreenAndTheFilesHoldWhatTheyDid) {
    GameFolder folder;
    player = Record();
    writeScript();
    script.limit = 400000;  // about 1 h 50 min of game time: a stuck script fails instead of hanging
    script.drainAudio = true;
    int code = runScript();

    EXPECT_EQ(script.next, script.steps.size()) << "stuck at step " << script.next << " in mode " << mainLoop.currentMode;
    EXPECT_EQ(code, 0);
    EXPECT_EQ(mainLoop.quitRequested, 1);
    EXPECT_LT(script.passes, script.limit);
    std::printf("passes: %lld; level 1 score %d, final score %d\n", (long long)script.passes,
                (int)player.levelOneScore, (int)player.finalScore);

    // Every screen of the way, in order.
    std::vector<int32_t> expected = {0,           MODE_SPLASH_LOGO, MODE_SPLASH_INTRO, MODE_SPLASH_MONKEY,
                                     MODE_MAIN_MENU, MODE_OPTIONS,  MODE_MAIN_MENU,    MODE_LEVEL_SELECT,
                                     MODE_NEW_GAME, MODE_NEXT_LEVEL, MODE_PLAY,        MODE_LEVEL_DONE,
                                     MODE_NEXT_LEVEL, MODE_PLAY,    MODE_GAME_OVER,    MODE_NAME_ENTRY,
                                     MODE_HIGH_SCORES, MODE_MAIN_MENU, MODE_INFO_PAGE,  MODE_MAIN_MENU,
                                     MODE_FAREWELL, MODE_EXIT};
    EXPECT_EQ(script.modesSeen, expected);
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

// The monkey: the tour's random hands on screens chosen at random, play good and bad, for five minutes of
// game time (PLINKOR_MONKEY_UPDATES and PLINKOR_MONKEY_SEED change that; scripts/monkey.sh runs an hour
// under the sanitizers). Nothing may assert, every screen shows, and the menu holds no more memory at its
// last visit than at its first after the first minute.
TEST(Monkey, RandomPlayVisitsEveryScreenWithoutFaultsAndMemoryStaysFlat) {
    GameFolder folder;
    const char* updates = std::getenv("PLINKOR_MONKEY_UPDATES");
    const char* seed = std::getenv("PLINKOR_MONKEY_SEED");
    TourOptions options;
    options.monkeyUpdates = updates != nullptr ? (uint32_t)std::strtoul(updates, nullptr, 10) : 5 * 3600;
    options.seed = seed != nullptr ? (uint32_t)std::strtoul(seed, nullptr, 10) : 20240612;
    TourResult result = tourTheGame(options);
    EXPECT_EQ(tourFaults(result), "");
    EXPECT_GE(result.updates, options.monkeyUpdates);
    EXPECT_TRUE(result.boxes.empty());
    int compared = 0;
    for (const auto& entry : result.menuBytes) {
        std::printf("menu with music of %d and %d samples: %zu bytes, then %zu (%d visits)\n", entry.first.first,
                    entry.first.second, entry.second.first, entry.second.second, result.menuVisits[entry.first]);
        if (result.menuVisits[entry.first] >= 2) {
            compared++;
            EXPECT_LE(entry.second.second, entry.second.first + 64 * 1024);
        }
    }
    EXPECT_GE(compared, 1) << "the menu was not seen twice with the same music";
}
