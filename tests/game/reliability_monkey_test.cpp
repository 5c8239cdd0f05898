// The monkey: the whole game on the headless backend played by random but plausible hands from a fixed
// seed (taps, drags, keys, sliders, key configuration, cheats, the editor, play good and bad); every mode
// must be visited, nothing assert and memory stay flat. PLINKOR_MONKEY_UPDATES and PLINKOR_MONKEY_SEED
// set the length (default five minutes of game time) and seed; PLINKOR_MONKEY_TRACE prints each plan and
// mode change. scripts/monkey.sh runs the full hour.
#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's allocator statistics (its header does not come with every compiler).
extern "C" size_t __sanitizer_get_current_allocated_bytes(void);
#endif

#include "field/ball.h"
#include "field/blocks.h"
#include "field/editor.h"
#include "field/level.h"
#include "flowtest.h"
#include "field/gamevalues.h"
#include "game/highscores.h"
#include "game/modes.h"
#include "game/play.h"
#include "gfx/font.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "shell/display.h"
#include "shell/input.h"
#include "shell/mainloop.h"
#include "sound/music.h"
#include "sound/sample.h"

namespace {

const int64_t UPDATE = HEADLESS_TICKS_PER_SECOND / 60;
const uint32_t MINUTE = 3600;  // updates

// The process's allocated heap bytes (the sanitizer's allocator when it replaces malloc).
size_t allocatedBytes(void) {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
#endif
}

// What the monkey means to do for a while; its hands still do random things now and then.
enum Plan {
    PLAN_OPTIONS,      // sliders, hints, difficulty
    PLAN_CONTROLS,     // the control configuration: rows and keys
    PLAN_HIGH_SCORES,  // the tables, dragged about
    PLAN_CHEATS,       // the information page, its hatch and a cheat or two
    PLAN_EDITOR,       // through the hatch into the level editor, then editing
    PLAN_PLAY_WELL,    // a game with the paddle under the ball
    PLAN_PLAY_BADLY,   // a game played carelessly, to its end
    PLAN_WANDER,       // nothing in mind
    PLAN_QUIT,         // the run is over: farewell and exit
    PLANS
};
const char* const planNames[PLANS] = {"options", "controls", "high scores", "cheats", "editor",
                                      "play well", "play badly", "wander", "quit"};

const std::vector<int32_t> allModes = {
    MODE_MAIN_MENU, MODE_OPTIONS,    MODE_CONTROL_CONFIG, MODE_HIGH_SCORES, MODE_NAME_ENTRY, MODE_FAREWELL,
    MODE_EXIT,      MODE_INFO_PAGE,  MODE_LEVEL_SELECT,   MODE_PLAY,        MODE_NEXT_LEVEL, MODE_LEVEL_DONE,
    MODE_NEW_GAME,  MODE_GAME_OVER,  MODE_EDITOR,         MODE_SPLASH_LOGO, MODE_SPLASH_INTRO,
    MODE_SPLASH_MONKEY};

// The allocated bytes of the menu screen after the first minute: first and last visit.
struct MenuSamples {
    size_t first = 0, last = 0;
    int count = 0;
};

struct Monkey {
    std::mt19937 random;
    uint32_t target = 0;  // updates to play before quitting
    Plan plan = PLAN_OPTIONS;
    int planIndex = 0;
    uint32_t planStart = 0, planBudget = 0;  // updates
    int stage = 0;
    int64_t stageSince = 0;  // pass
    int64_t pass = 0;
    int64_t suspendedSince = -1;
    // The hands: the stylus (held, with a drag in progress) and the keys held down.
    int held = 0, heldX = 0, heldY = 0;
    int settled = 0;  // a release or key-up was sent this pass
    int dragSteps = 0, dragToX = 0, dragToY = 0;
    std::vector<uint32_t> keysHeld;
    std::vector<int64_t> keysUntil;
    // What was seen.
    std::set<int32_t> modes;
    std::vector<int32_t> order;  // modes in the order first seen
    size_t minuteOneBytes = 0, peakBytes = 0, finalBytes = 0;
    std::map<std::pair<int32_t, int32_t>, MenuSamples> menu;  // by the lengths of the music slots' samples
    int menuSampled = 0;
    int64_t planLevelsDone = 0, planGamesOver = 0;
    int64_t taps = 0, drags = 0, keyTaps = 0, escapes = 0, screenshots = 0, suspends = 0, sliderDrags = 0,
            keyAssignments = 0, editorKeys = 0, levelsDone = 0, gamesOver = 0, namesEntered = 0;
    int32_t lastMode = -1;
    int done = 0;
    std::string failure;
};

Monkey monkey;

// The first round goes through every plan once, so that a short run sees every screen; after it the
// plans come at random.
const Plan firstRound[] = {PLAN_PLAY_WELL, PLAN_PLAY_BADLY, PLAN_OPTIONS, PLAN_CONTROLS, PLAN_HIGH_SCORES,
                           PLAN_CHEATS, PLAN_EDITOR};
const int FIRST_ROUND = (int)(sizeof(firstRound) / sizeof(firstRound[0]));

int roll(int n) {
    return (int)(monkey.random() % (uint32_t)n);
}

bool chance(int percent) {
    return roll(100) < percent;
}

int between(int low, int high) {
    return low + roll(high - low + 1);
}

uint32_t updates(void) {
    return game.updateCounter;
}

void nextStage(int stage) {
    monkey.stage = stage;
    monkey.stageSince = monkey.pass;
}

bool quitting(void) {
    return monkey.plan == PLAN_QUIT;
}

// In the main menu a release of escape (the configured key or the Esc key itself) says goodbye.
bool keyUpAllowed(uint32_t vk) {
    if (quitting() || mainLoop.currentMode != MODE_MAIN_MENU) {
        return true;
    }
    return vk != 27 && (int32_t)vk != controlKeys[CONTROL_ESCAPE];
}

// In the main menu a release on the last item says goodbye.
int safeReleaseY(int y) {
    if (quitting() || mainLoop.currentMode != MODE_MAIN_MENU) {
        return y;
    }
    while (menuItemAt(y) >= 5) {
        y -= 24;
    }
    return y;
}

// A release or a key going up may change the mode, and the messages after it in the same pass would
// meet a screen the player never saw: at most one of them a pass, and nothing after it.
bool handsFree(void) {
    return !monkey.settled;
}

void press(int x, int y) {
    if (monkey.held || !handsFree()) {
        return;
    }
    headlessMouse(MSG_LBUTTONDOWN, x, y);
    monkey.held = 1;
    monkey.heldX = x;
    monkey.heldY = y;
}

void moveTo(int x, int y) {
    if (!handsFree()) {
        return;
    }
    headlessMouse(MSG_MOUSEMOVE, x, y);
    monkey.heldX = x;
    monkey.heldY = y;
}

void release(void) {
    if (!monkey.held || !handsFree()) {
        return;
    }
    int y = safeReleaseY(monkey.heldY);
    if (y != monkey.heldY) {
        moveTo(monkey.heldX, y);
    }
    headlessMouse(MSG_LBUTTONUP, monkey.heldX, y);
    monkey.settled = 1;
    monkey.held = 0;
    monkey.dragSteps = 0;
}

void tap(int x, int y) {
    if (!handsFree()) {
        return;
    }
    if (monkey.held) {
        release();
        return;
    }
    press(x, y);
    monkey.heldY = safeReleaseY(y);
    release();
    monkey.taps++;
}

// A press, moves spread over `steps` passes, then the release.
void drag(int x0, int y0, int x1, int y1, int steps) {
    if (monkey.held) {
        return;
    }
    press(x0, y0);
    monkey.dragSteps = steps;
    monkey.dragToX = x1;
    monkey.dragToY = y1;
    monkey.drags++;
}

void continueDrag(void) {
    if (!monkey.held || monkey.dragSteps <= 0) {
        return;
    }
    int x = monkey.heldX + (monkey.dragToX - monkey.heldX) / monkey.dragSteps;
    int y = monkey.heldY + (monkey.dragToY - monkey.heldY) / monkey.dragSteps;
    moveTo(x, y);
    monkey.dragSteps--;
    if (monkey.dragSteps == 0) {
        release();
    }
}

bool holding(uint32_t vk) {
    return std::find(monkey.keysHeld.begin(), monkey.keysHeld.end(), vk) != monkey.keysHeld.end();
}

void keyDown(uint32_t vk, int passes) {
    if (vk == 0 || holding(vk) || !handsFree()) {
        return;
    }
    headlessKey(MSG_KEYDOWN, vk);
    monkey.keysHeld.push_back(vk);
    monkey.keysUntil.push_back(monkey.pass + passes);
}

void keyTap(uint32_t vk) {
    if (vk == 0 || holding(vk) || !keyUpAllowed(vk) || !handsFree()) {
        return;
    }
    keyDown(vk, 0);
    monkey.keysHeld.pop_back();
    monkey.keysUntil.pop_back();
    headlessKey(MSG_KEYUP, vk);
    monkey.settled = 1;
    monkey.keyTaps++;
}

// Keys are let go when their time is up, unless the release would leave the game.
void releaseKeys(bool all) {
    for (size_t i = 0; i < monkey.keysHeld.size();) {
        uint32_t vk = monkey.keysHeld[i];
        if ((all || monkey.pass >= monkey.keysUntil[i]) && keyUpAllowed(vk) && handsFree()) {
            headlessKey(MSG_KEYUP, vk);
            monkey.settled = 1;
            monkey.keysHeld.erase(monkey.keysHeld.begin() + i);
            monkey.keysUntil.erase(monkey.keysUntil.begin() + i);
        } else {
            i++;
        }
    }
}

uint32_t slotKey(int slot) {
    return (uint32_t)controlKeys[slot];
}

void escape(void) {
    if (keyUpAllowed(slotKey(CONTROL_ESCAPE))) {
        keyTap(slotKey(CONTROL_ESCAPE));
        monkey.escapes++;
    }
}

// Keys a player might reach for: the configured ones, and others of the keyboard.
uint32_t anyKey(void) {
    static const uint32_t others[] = {'A', 'Q', 'S', 'X', 'Z', 'P', '1', '9', 13, 8, 16, 9, 112, 123, 19, 46};
    int r = roll(100);
    if (r < 60) {
        return slotKey(roll(5));  // directions and action
    }
    if (r < 78) {
        return slotKey(r < 70 ? CONTROL_ESCAPE : (r < 74 ? CONTROL_SCREENSHOT : CONTROL_SUSPEND));
    }
    return others[roll((int)(sizeof(others) / sizeof(others[0])))];
}

// Random hands, whatever the screen.
void fidget(void) {
    int r = roll(100);
    if (r < 35) {
        tap(roll(240), roll(320));
    } else if (r < 55) {
        drag(roll(240), roll(320), roll(240), roll(320), between(2, 30));
    } else if (r < 85) {
        keyTap(anyKey());
    } else {
        keyDown(anyKey(), between(2, 90));
    }
}

int menuItemY(int item) {
    return 122 + 12 * (game.gameInProgress ? 1 : 0) + 24 * item + 8;
}

void tapCornerButton(void) {
    tap(between(DEFAULT_WIDTH - CORNER_BUTTON_WIDTH + 2, 238), between(DEFAULT_HEIGHT - CORNER_BUTTON_HEIGHT + 2, 318));
}

// One step towards the main menu from wherever the game is.
void towardsMenu(void) {
    if (monkey.held) {
        release();
        return;
    }
    switch (mainLoop.currentMode) {
    case MODE_OPTIONS:
        if (chance(50) && flowPictures.optionsWindow != nullptr) {
            const Surface* w = flowPictures.optionsWindow;
            tap(DEFAULT_WIDTH / 2 - w->width / 2 + 170, 150 - w->height / 2 + 12);  // the window's back
        } else {
            escape();
        }
        break;
    case MODE_CONTROL_CONFIG:
        tapCornerButton();
        break;
    case MODE_HIGH_SCORES:
    case MODE_LEVEL_SELECT:
        keyTap(chance(50) ? 'A' : slotKey(CONTROL_ESCAPE));
        break;
    case MODE_INFO_PAGE:
    case MODE_EDITOR:
        chance(50) ? tapCornerButton() : escape();
        break;
    case MODE_GAME_OVER:
        tap(120, 200);
        break;
    case MODE_PLAY:
    case MODE_NAME_ENTRY:
        escape();
        break;
    case MODE_SPLASH_LOGO:
    case MODE_SPLASH_INTRO:
    case MODE_SPLASH_MONKEY:
        if (chance(30)) {
            tap(roll(240), roll(320));
        }
        break;
    default:
        break;
    }
}

void chooseMenuItem(int item) {
    tap(between(60, 180), menuItemY(item));
}

// Towards the screen through the menu's item; true once it shows.
bool reach(int32_t mode, int item) {
    if (showing(mode)) {
        return true;
    }
    showing(MODE_MAIN_MENU) ? chooseMenuItem(item) : towardsMenu();
    return false;
}

void optionsPlan(void) {
    if (!reach(MODE_OPTIONS, 2)) {
        return;
    }
    const Surface* w = flowPictures.optionsWindow;
    int left = DEFAULT_WIDTH / 2 - w->width / 2, top = 150 - w->height / 2;
    int r = roll(100);
    if (r < 40) {
        // A volume knob dragged from one place to another.
        int row = chance(50) ? 73 : 104;
        int y = top + row + between(1, 15);
        drag(left + 11 + roll(140), y, left + 11 + roll(140), y + between(-3, 3), between(3, 25));
        monkey.sliderDrags++;
    } else if (r < 55) {
        tap(between(left + 20, left + 180), top + between(31, 42));  // helpful hints
    } else if (r < 70) {
        tap(between(left + 11, left + 196), top + between(154, 167));  // difficulty
    } else if (r < 80 && monkey.plan == PLAN_CONTROLS) {
        tap(between(left + 11, left + 136), top + between(126, 151));  // control configuration
    } else {
        tap(roll(240), roll(320));
    }
}

// Keys a player would give each row: up, down, left, right, action, escape, screenshot, suspend.
uint32_t keyForRow(int row) {
    static const uint32_t choices[8][4] = {
        {38, 'W', 38, 'I'},  {40, 'S', 40, 'K'},  {37, 'A', 37, 'J'},   {39, 'D', 39, 'L'},
        {32, 'X', 32, 13},   {27, 'Q', 27, 8},    {13, 'C', 123, 44},  {'P', 19, 'P', 145},
    };
    return choices[row][roll(4)];
}

void controlsPlan(void) {
    if (!showing(MODE_CONTROL_CONFIG)) {
        showing(MODE_OPTIONS) ? optionsPlan() : (void)reach(MODE_OPTIONS, 2);
        return;
    }
    if (flow.selectedControlRow >= 0) {
        keyTap(keyForRow(flow.selectedControlRow));
        monkey.keyAssignments++;
        return;
    }
    int r = roll(100);
    if (r < 55) {
        // A row: the rows stand one line and 5 pixels apart from the third line on.
        int f = fonts[0] != nullptr ? fontLineHeight(0) : 12;
        // The suspend key has none until the player gives it one.
        int row = controlKeys[CONTROL_SUSPEND] == 0 && (monkey.planIndex <= FIRST_ROUND || chance(50))
                      ? CONTROL_SUSPEND
                      : roll(8);
        int base = 20 + (row + 2) * (f + 5);
        tap(between(10, 230) - flow.pageX, base - f / 2 - flow.pageY);
    } else if (r < 75) {
        drag(roll(240), roll(320), roll(240), roll(320), between(3, 20));
    } else if (r < 85 && flow.pageX > 200) {
        tap(400 - flow.pageX, 300 - flow.pageY);  // the page's own back button
    } else {
        tap(roll(240), roll(320));
    }
}

void highScoresPlan(void) {
    if (!reach(MODE_HIGH_SCORES, 4)) {
        return;
    }
    if (chance(70)) {
        drag(roll(240), roll(320), roll(240), roll(320), between(3, 30));
    } else {
        tap(roll(240), roll(320));
    }
}

// The information page scrolled to the hatch, the hatch opened, then a line of the panel: 0 is the
// editor, 1..6 the cheats.
void cheatPanel(int line) {
    if (!reach(MODE_INFO_PAGE, 3)) {
        return;
    }
    int lidTop = INFO_PAGE_TOP + CHEAT_LID_Y - flow.pageY;
    if (lidTop > 200 || lidTop < 20) {
        if (lidTop > 200 && chance(60)) {
            tap(between(2, 28), between(DEFAULT_HEIGHT - 28, DEFAULT_HEIGHT - 2));  // a page down
        } else if (lidTop > 200) {
            keyDown(slotKey(CONTROL_DOWN), between(10, 60));
        } else {
            tap(between(2, 28), between(2, 28));  // a page up
        }
        return;
    }
    if (flow.scrollSpeed != 0) {
        return;
    }
    int left = infoPageLeft();
    if (!game.cheatPanelOpen && game.cheatPanelAmount == 0) {
        tap(left + CHEAT_LID_X + between(20, 170), lidTop + between(30, 70));
        return;
    }
    // The lid hangs over the lines until it has lifted all the way.
    if (game.cheatPanelOpen && game.cheatPanelAmount >= CHEAT_PANEL_FULL) {
        int y = INFO_PAGE_TOP + CHEAT_LID_Y + cheatLineOffsets[line] + 6 - flow.pageY;
        tap(left + CHEAT_LID_X + between(10, 150), y);
        nextStage(monkey.stage + 1);
    }
}

// A cheat that is on is as likely to be turned off again, so that games still end now and then.
int cheatLine(void) {
    const Cheats& c = game.cheats;
    const int32_t on[6] = {c.unlimitedLives, c.unlockAllLevels, c.fatPaddle, c.maxPowerUp, c.seePowerUps,
                           c.disableDebris};
    // In the first round a game must still be lost: no unlimited lives yet.
    int line = between(monkey.planIndex <= FIRST_ROUND ? 2 : 1, 6);
    if (chance(50)) {
        for (int i = 0; i < 6; i++) {
            if (on[i] != 0) {
                line = i + 1;
            }
        }
    }
    return line;
}

void cheatsPlan(void) {
    if (monkey.stage < 2) {
        cheatPanel(cheatLine());
    } else {
        towardsMenu();
    }
}

void editorPlan(void) {
    if (!showing(MODE_EDITOR)) {
        cheatPanel(0);
        return;
    }
    int r = roll(100);
    if (r < 25) {
        // A type or a power-up off the palettes, then down on the field.
        tap(between(0, 239), between(paletteLastRowTop(), 318));
    } else if (r < 45) {
        drag(roll(240), roll(300), roll(240), roll(300), between(2, 20));
    } else if (r < 60) {
        keyDown(slotKey(CONTROL_ACTION), between(5, 60));  // painting while the stylus moves
        drag(roll(240), roll(240), roll(240), roll(240), between(5, 40));
        monkey.editorKeys++;
    } else if (r < 80) {
        static const int slots[4] = {CONTROL_LEFT, CONTROL_RIGHT, CONTROL_UP, CONTROL_DOWN};
        int slot = slots[roll(chance(85) ? 2 : 4)];
        keyTap(slotKey(slot));
        monkey.editorKeys++;
    } else {
        tap(roll(240), roll(320));
    }
}

int clampX(int x) {
    return x < 0 ? 0 : (x > 239 ? 239 : x);
}

// Where on the paddle the ball should land: off centre on the side away from a block still standing,
// so that it bounces towards it; now and then somewhere else, so that no loop lasts.
int aimOffset(void) {
    if ((monkey.pass / 300) % 4 == 3) {
        return (int)((monkey.pass / 60) % 5) * 4 - 8;
    }
    int target = -1;
    for (int i = 0; i < currentLevel.blockCount; i++) {
        if (currentLevel.blocks[i].type != 0) {
            target = currentLevel.blocks[i].x + currentLevel.blocks[i].width / 2;
            break;
        }
    }
    if (target < 0) {
        return 0;
    }
    int offset = (landingX() - target) / 6;
    return offset < -12 ? -12 : (offset > 12 ? 12 : offset);
}

// A game: chosen in the chooser (or continued), played, and seen through its end.
void playPlan(bool well) {
    switch (mainLoop.currentMode) {
    case MODE_MAIN_MENU:
        if (showing(MODE_MAIN_MENU)) {
            // The first round's game goes on to its end, so that its score reaches the tables.
            chooseMenuItem(game.gameInProgress && (monkey.planIndex <= FIRST_ROUND || chance(85)) ? 0 : 1);
        }
        return;
    case MODE_LEVEL_SELECT: {
        if (!showing(MODE_LEVEL_SELECT) || flow.revealCounter < between(5, 120)) {
            return;
        }
        int level = 0;
        for (int tries = 0; tries < 20; tries++) {
            int l = roll(LEVEL_COUNT);
            if (levelSelectable(l) && (!well || l < 3)) {
                level = l;
                break;
            }
        }
        tap((level % 10) * CHOOSER_CELL + between(2, 21), CHOOSER_TOP + (level / 10) * CHOOSER_CELL + between(2, 21));
        return;
    }
    case MODE_GAME_OVER:
        if (showing(MODE_GAME_OVER) && monkey.pass - monkey.stageSince > 30) {
            if (monkey.held || !monkey.keysHeld.empty()) {
                release();
                releaseKeys(true);
            } else {
                tap(roll(240), roll(320));
            }
        }
        return;
    case MODE_NAME_ENTRY: {
        if (!showing(MODE_NAME_ENTRY)) {
            return;
        }
        if (flow.nameLength < between(1, 10) && chance(90)) {
            int code = roll(96);
            tap(2 + 20 * (code % 12) + between(1, 10), 151 + 14 * (code / 12) + between(1, 11));
        } else if (chance(15)) {
            tap(between(2, 110), between(285, 318));  // rub one out
        } else {
            tap(between(125, 238), between(285, 318));  // done
            monkey.namesEntered++;
        }
        return;
    }
    case MODE_HIGH_SCORES:
        keyTap('A');
        return;
    case MODE_PLAY:
        break;
    default:
        if (mainLoop.previousMode == mainLoop.currentMode && mainLoop.currentMode != MODE_NEW_GAME && mainLoop.currentMode != MODE_NEXT_LEVEL &&
            mainLoop.currentMode != MODE_LEVEL_DONE) {
            towardsMenu();
        }
        return;
    }
    if (!showing(MODE_PLAY)) {
        return;
    }
    // The hint, tapped away or read to its end.
    if (game.helpfulHints && game.readyCountdown > 300 && hintPanel.y > 60 && chance(well ? 10 : 2)) {
        release();
        tap(hintPanel.x + between(5, 100), hintPanel.y + between(3, 40));
        return;
    }
    if (well) {
        int x = clampX(landingX() + aimOffset());
        if (!monkey.held) {
            press(x, between(280, 310));
        } else if (x != monkey.heldX) {
            moveTo(x, monkey.heldY);
        }
        if (chance(1)) {
            keyTap(anyKey() == slotKey(CONTROL_ESCAPE) ? slotKey(CONTROL_ACTION) : slotKey(roll(5)));
        }
        return;
    }
    // Careless hands: the paddle mostly kept away from the ball, with a stray drag or key now and then.
    int r = roll(100);
    if (monkey.held && monkey.dragSteps > 0) {
        return;
    }
    if (r < 2) {
        release();
        drag(roll(240), between(150, 319), roll(240), between(150, 319), between(5, 60));
    } else if (r < 4) {
        keyDown(slotKey(roll(2) + CONTROL_LEFT), between(5, 60));
    } else if (r < 5) {
        fidget();
    } else {
        int x = ballList.count > 0 && fixedToInt(ballList.balls[0].x) < 120 ? between(200, 235) : between(4, 40);
        if (!monkey.held) {
            press(x, between(250, 318));
        } else if (chance(5)) {
            moveTo(x, monkey.heldY);
        }
    }
}

void wanderPlan(void) {
    if (chance(40)) {
        fidget();
    } else if (showing(MODE_MAIN_MENU)) {
        chooseMenuItem(roll(5));
    } else if (chance(30)) {
        towardsMenu();
    }
}

void quitPlan(void) {
    if (monkey.held) {
        release();
        return;
    }
    if (!monkey.keysHeld.empty()) {
        releaseKeys(true);
        return;
    }
    if (showing(MODE_MAIN_MENU)) {
        chooseMenuItem(5);
    } else if (showing(MODE_FAREWELL) || showing(MODE_EXIT)) {
        tap(roll(240), roll(320));
    } else {
        towardsMenu();
    }
}

bool planFinished(void) {
    uint32_t spent = updates() - monkey.planStart;
    if (spent > monkey.planBudget) {
        return true;
    }
    switch (monkey.plan) {
    case PLAN_PLAY_WELL:
        // A level cleared and the next one begun ends a good game early.
        return monkey.levelsDone > monkey.planLevelsDone && showing(MODE_PLAY);
    case PLAN_PLAY_BADLY:
        // A lost game seen through to the menu or the tables.
        return monkey.gamesOver > monkey.planGamesOver && (showing(MODE_MAIN_MENU) || showing(MODE_HIGH_SCORES));
    default:
        return false;
    }
}

void choosePlan(void) {
    Plan plan;
    if (monkey.planIndex < FIRST_ROUND) {
        plan = firstRound[monkey.planIndex];
    } else {
        static const Plan weighted[] = {PLAN_OPTIONS,     PLAN_CONTROLS,  PLAN_HIGH_SCORES, PLAN_CHEATS,
                                        PLAN_EDITOR,      PLAN_EDITOR,    PLAN_PLAY_WELL,   PLAN_PLAY_WELL,
                                        PLAN_PLAY_BADLY,  PLAN_PLAY_BADLY, PLAN_WANDER,     PLAN_WANDER};
        plan = weighted[roll((int)(sizeof(weighted) / sizeof(weighted[0])))];
    }
    monkey.planIndex++;
    if (std::getenv("PLINKOR_MONKEY_TRACE")) {
        std::printf("update %u: plan %s (mode %d)\n", updates(), planNames[plan], mainLoop.currentMode);
    }
    monkey.plan = plan;
    monkey.planStart = updates();
    monkey.planLevelsDone = monkey.levelsDone;
    monkey.planGamesOver = monkey.gamesOver;
    bool first = monkey.planIndex <= FIRST_ROUND;
    switch (plan) {
    case PLAN_PLAY_WELL:
        // The first game is played until its first level is cleared.
        monkey.planBudget = (uint32_t)(first ? 200 : between(60, 150)) * 60;
        break;
    case PLAN_PLAY_BADLY:
        monkey.planBudget = (uint32_t)(first ? 150 : between(40, 120)) * 60;
        break;
    case PLAN_EDITOR:
    case PLAN_CHEATS:
        monkey.planBudget = (uint32_t)(first ? between(12, 20) : between(15, 45)) * 60;
        break;
    default:
        monkey.planBudget = (uint32_t)(first ? between(5, 10) : between(5, 20)) * 60;
        break;
    }
    nextStage(0);
}

// Whole screenshots are counted: a 54-byte header and 240 x 320 pixels of 3 bytes.
void countScreenshots(void) {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator("My Documents", ignored)) {
        uintmax_t size = std::filesystem::file_size(entry.path(), ignored);
        if (entry.path().extension() == ".BMP" && size == 54 + 240 * 320 * 3) {
            monkey.screenshots++;
        }
        std::filesystem::remove(entry.path(), ignored);
    }
}

// The menu without a game is the same screen at every visit but for the music tracks held in the two
// music slots: its bytes are compared per pair of tracks held.
void sampleMenu(void) {
    if (monkey.menuSampled || !showing(MODE_MAIN_MENU) || game.gameInProgress || updates() < MINUTE) {
        return;
    }
    monkey.menuSampled = 1;
    size_t bytes = allocatedBytes();
    const Sound& a = sounds[MUSIC_SLOT_A];
    const Sound& b = sounds[MUSIC_SLOT_B];
    MenuSamples& m = monkey.menu[{a.data != nullptr ? a.length : -1, b.data != nullptr ? b.length : -1}];
    if (m.count == 0) {
        m.first = bytes;
    }
    m.last = bytes;
    m.count++;
}

void watch(void) {
    int32_t mode = mainLoop.previousMode;
    if (mode != monkey.lastMode) {
        if (monkey.modes.insert(mode).second) {
            monkey.order.push_back(mode);
        }
        if (std::getenv("PLINKOR_MONKEY_TRACE")) {
            std::printf("update %u: mode %d\n", updates(), mode);
        }
        if (mode == MODE_LEVEL_DONE) {
            monkey.levelsDone++;
        }
        if (mode == MODE_GAME_OVER) {
            monkey.gamesOver++;
            nextStage(0);  // the screen is looked at for a moment before the tap
        }
        monkey.lastMode = mode;
        monkey.menuSampled = 0;
    }
    sampleMenu();
    if (monkey.pass % 30 == 0) {
        size_t bytes = allocatedBytes();
        if (bytes > monkey.peakBytes) {
            monkey.peakBytes = bytes;
        }
        if (monkey.minuteOneBytes == 0 && updates() >= MINUTE) {
            monkey.minuteOneBytes = bytes;
        }
    }
    // The screenshots of a long run would fill the disk: counted and removed now and then.
    if (monkey.pass % 3600 == 0) {
        countScreenshots();
    }
}

void hook(int64_t pass) {
    monkey.pass = pass;
    monkey.settled = 0;
    // Now and then a pass takes longer, and the loop catches up with several updates.
    headlessAdvance(chance(2) ? UPDATE * between(2, 6) : UPDATE + 1);
    if (pass % 3 == 0) {
        headlessAudioPlayOne();
    }
    watch();
    if (monkey.done) {
        return;
    }
    if (pass > (int64_t)monkey.target * 3 + 200000) {
        monkey.failure = "the run did not end (mode " + std::to_string(mainLoop.currentMode) + ", plan " +
                         planNames[monkey.plan] + ")";
        monkey.done = 1;
        headlessPushMessage(MSG_CLOSE, 0, 0);
        return;
    }
    // Suspended: a while later a tap wakes the game.
    if (appActive == 0) {
        if (monkey.suspendedSince < 0) {
            monkey.suspendedSince = pass;
            monkey.suspends++;
        } else if (pass - monkey.suspendedSince > between(1, 12)) {
            release();
            tap(roll(240), roll(320));
            monkey.suspendedSince = -1;
        }
        return;
    }
    monkey.suspendedSince = -1;
    releaseKeys(false);
    continueDrag();
    // The splashes, with a tap now and then to hurry them.
    if (mainLoop.currentMode == MODE_SPLASH_LOGO || mainLoop.currentMode == MODE_SPLASH_INTRO || mainLoop.currentMode == MODE_SPLASH_MONKEY) {
        if (chance(1)) {
            fidget();
        }
        return;
    }
    if (!quitting() && updates() >= monkey.target) {
        monkey.plan = PLAN_QUIT;
        nextStage(0);
    }
    if (!quitting() && (monkey.planIndex == 0 || planFinished())) {
        choosePlan();
    }
    if ((monkey.plan == PLAN_PLAY_WELL || monkey.plan == PLAN_PLAY_BADLY) && showing(MODE_PLAY)) {
        playPlan(monkey.plan == PLAN_PLAY_WELL);  // the hands stay on the paddle every pass
        return;
    }
    // A player acts a few times a second, not every pass.
    if (monkey.held && monkey.dragSteps > 0) {
        return;
    }
    if (!chance(12)) {
        return;
    }
    if (!quitting() && chance(8)) {
        fidget();
        return;
    }
    switch (monkey.plan) {
    case PLAN_OPTIONS: optionsPlan(); break;
    case PLAN_CONTROLS: controlsPlan(); break;
    case PLAN_HIGH_SCORES: highScoresPlan(); break;
    case PLAN_CHEATS: cheatsPlan(); break;
    case PLAN_EDITOR: editorPlan(); break;
    case PLAN_PLAY_WELL: playPlan(true); break;
    case PLAN_PLAY_BADLY: playPlan(false); break;
    case PLAN_WANDER: wanderPlan(); break;
    case PLAN_QUIT: quitPlan(); break;
    case PLANS: break;
    }
    if (showing(MODE_EXIT) && quitting()) {
        monkey.done = 1;
    }
}

uint32_t fromEnvironment(const char* name, uint32_t fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != 0 ? (uint32_t)std::strtoul(text, nullptr, 10) : fallback;
}

std::string modeList(const std::vector<int32_t>& modes) {
    std::string text;
    for (int32_t m : modes) {
        text += (text.empty() ? "" : " ") + std::to_string(m);
    }
    return text;
}

}  // namespace

TEST(Monkey, RandomPlayVisitsEveryScreenWithoutFaultsAndMemoryStaysFlat) {
    GameFolder folder;
    monkey = Monkey();
    monkey.target = fromEnvironment("PLINKOR_MONKEY_UPDATES", 5 * MINUTE);
    uint32_t seed = fromEnvironment("PLINKOR_MONKEY_SEED", 20240612);
    monkey.random.seed(seed);
    headlessReset();
    headlessSetAudioCapture(0);
    headlessSetPumpHook(hook);
    int code = runGame();
    headlessSetPumpHook(nullptr);
    countScreenshots();
    monkey.finalBytes = allocatedBytes();
    if (monkey.finalBytes > monkey.peakBytes) {
        monkey.peakBytes = monkey.finalBytes;
    }

    std::vector<int32_t> missing;
    for (int32_t m : allModes) {
        if (monkey.modes.count(m) == 0) {
            missing.push_back(m);
        }
    }
    std::printf("seed %u: %u updates in %lld passes; modes visited %zu of %zu (%s)\n", seed, updates(),
                (long long)monkey.pass, monkey.modes.size() - (monkey.modes.count(0) ? 1 : 0), allModes.size(),
                modeList(monkey.order).c_str());
    std::printf("hands: %lld taps, %lld drags, %lld key taps, %lld escapes, %lld screenshots, %lld suspends, "
                "%lld slider drags, %lld key assignments, %lld editor keys, %lld names entered\n",
                (long long)monkey.taps, (long long)monkey.drags, (long long)monkey.keyTaps,
                (long long)monkey.escapes, (long long)monkey.screenshots, (long long)monkey.suspends,
                (long long)monkey.sliderDrags, (long long)monkey.keyAssignments, (long long)monkey.editorKeys,
                (long long)monkey.namesEntered);
    std::printf("play: %lld levels done, %lld games over; plans %d\n", (long long)monkey.levelsDone,
                (long long)monkey.gamesOver, monkey.planIndex);
    std::printf("memory: %zu bytes allocated at minute 1, peak %zu, final %zu\n", monkey.minuteOneBytes,
                monkey.peakBytes, monkey.finalBytes);
    int compared = 0;
    for (const auto& entry : monkey.menu) {
        const MenuSamples& m = entry.second;
        std::printf("memory: main menu with music slots of %d and %d samples: %zu bytes at the first visit after "
                    "minute 1, %zu at the last (%d visits)\n",
                    entry.first.first, entry.first.second, m.first, m.last, m.count);
        if (m.count >= 2) {
            compared++;
            // Flat memory: the same screen holds no more at its last visit than after the first minute.
            EXPECT_LE(m.last, m.first + 64 * 1024) << entry.first.first << ", " << entry.first.second;
        }
    }
    EXPECT_EQ(monkey.failure, "");
    EXPECT_EQ(code, 0);
    EXPECT_EQ(mainLoop.quitRequested, 1);
    EXPECT_GE(updates(), monkey.target);
    EXPECT_EQ(modeList(missing), "") << "modes never visited";
    EXPECT_TRUE(headlessMessageBoxes().empty()) << headlessMessageBoxes().front().title;
    EXPECT_GE(compared, 1) << "the menu was not seen twice with the same music";
}
