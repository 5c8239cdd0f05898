// handleInput: the rules every screen shares, then each screen's own reaction to keys and the stylus.
#include <cstring>

#include "field/blocks.h"
#include "field/editor.h"
#include "field/gamevalues.h"
#include "field/level.h"
#include "field/paddle.h"
#include "game/game.h"
#include "game/highscores.h"
#include "game/hints.h"
#include "game/layout.h"
#include "game/modes.h"
#include "game/pages.h"
#include "game/play.h"
#include "gfx/font.h"
#include "gfx/screenshot.h"
#include "platform/platform.h"
#include "shell/display.h"
#include "shell/input.h"
#include "shell/mainloop.h"
#include "sound/mixer.h"
#include "sound/music.h"
#include "sound/sample.h"

enum {
    CONTROL_ROWS = 8,
    CORNER_JUMP = 100,     // information page: a tap in a left corner scrolls a page part
    CORNER_ZONE = 30,
};

static void click(void) {
    playSound(SOUND_MENU_CLICK);
}

static int isDirectionKey(int32_t key) {
    return key == controlKeys[CONTROL_UP] || key == controlKeys[CONTROL_DOWN] ||
           key == controlKeys[CONTROL_LEFT] || key == controlKeys[CONTROL_RIGHT];
}

// Key down and key up of the four direction keys hold their flags.
static void setDirectionKeys(int32_t message, int32_t key) {
    int held = message == MSG_KEYDOWN ? 1 : 0;
    if (key == controlKeys[CONTROL_UP]) {
        paddle.keyUp = held;
    }
    if (key == controlKeys[CONTROL_DOWN]) {
        paddle.keyDown = held;
    }
    if (key == controlKeys[CONTROL_LEFT]) {
        paddle.keyLeft = held;
    }
    if (key == controlKeys[CONTROL_RIGHT]) {
        paddle.keyRight = held;
    }
}

// ---- Main menu --------------------------------------------------------------------------------------

static void mainMenuInput(int32_t message, int32_t key) {
    if (message == MSG_KEYUP && key == VK_ESCAPE) {
        mainLoop.currentMode = MODE_FAREWELL;
        return;
    }
    if (message != MSG_LBUTTONUP) {
        return;
    }
    click();
    switch (menuItemAt(stylus.y)) {
    case 0:
        if (game.gameInProgress) {
            redrawField();
            mainLoop.currentMode = MODE_PLAY;
        }
        break;
    case 1:
        mainLoop.currentMode = MODE_LEVEL_SELECT;
        break;
    case 2:
        mainLoop.currentMode = MODE_OPTIONS;
        break;
    case 3:
        mainLoop.currentMode = MODE_INFO_PAGE;
        break;
    case 4:
        mainLoop.currentMode = MODE_HIGH_SCORES;
        break;
    case 5:
        mainLoop.currentMode = MODE_FAREWELL;
        break;
    default:
        break;
    }
}

// ---- Options ----------------------------------------------------------------------------------------

static void optionsInput(int32_t message) {
    const Surface* window = flowPictures.optionsWindow;
    if (window == nullptr) {
        return;
    }
    int32_t left = DEFAULT_WIDTH / 2 - window->width / 2;
    int32_t top = OPTIONS_CENTRE_Y - window->height / 2;
    int32_t x = stylus.x - left, y = stylus.y - top;  // window pixels
    if (message == MSG_LBUTTONDOWN || (message == MSG_MOUSEMOVE && stylus.down)) {
        int32_t dx = x - OPTIONS_SLIDER_LEFT;
        if (hitRectContains(optionsAreas[OPTIONS_EFFECTS_SLIDER], x, y)) {
            setVolume(0, 2 * dx);
            game.effectsVolume = getVolume(0);
        }
        if (hitRectContains(optionsAreas[OPTIONS_MUSIC_SLIDER], x, y)) {
            setVolume(1, 2 * dx);
            music.volume = getVolume(1);
        }
        return;
    }
    if (message != MSG_LBUTTONUP) {
        return;
    }
    if (hitRectContains(optionsAreas[OPTIONS_BACK], x, y)) {
        mainLoop.currentMode = MODE_MAIN_MENU;
    }
    if (hitRectContains(optionsAreas[OPTIONS_CONTROLS], x, y)) {
        mainLoop.currentMode = MODE_CONTROL_CONFIG;
    }
    if (hitRectContains(optionsAreas[OPTIONS_HINTS], x, y)) {
        game.helpfulHints = 1 - game.helpfulHints;
    }
    if (hitRectContains(optionsAreas[OPTIONS_DIFFICULTY], x, y)) {
        game.difficulty = game.difficulty >= DIFFICULTY_COUNT || game.difficulty < 1 ? 1 : game.difficulty + 1;
        loadHighScores(game.difficulty);
    }
    click();
}

// ---- Control configuration and high scores: free page drag -----------------------------------------

static void dragPage(int32_t message) {
    if (message == MSG_LBUTTONDOWN) {
        flow.anchorX = stylus.x + flow.pageX;
        flow.anchorY = stylus.y + flow.pageY;
    } else if (message == MSG_MOUSEMOVE && stylus.down) {
        flow.pageX = flow.anchorX - stylus.x;
        flow.pageY = flow.anchorY - stylus.y;
    }
}

static void controlConfigInput(int32_t message, int32_t key) {
    dragPage(message);
    if (message == MSG_KEYDOWN) {
        if (flow.selectedControlRow >= 0 && flow.selectedControlRow < CONTROL_ROWS) {
            controlKeys[flow.selectedControlRow] = key;
            flow.selectedControlRow = -1;
        }
        return;
    }
    if (message != MSG_LBUTTONUP) {
        return;
    }
    int32_t px = stylus.x + flow.pageX;
    int32_t py = stylus.y + flow.pageY;
    int32_t f = fonts[0] != nullptr ? fontLineHeight(0) : 0;
    for (int i = 0; i < CONTROL_ROWS; i++) {
        int32_t base = listRowY(i);
        if (px > 0 && px < DEFAULT_WIDTH && py > base - f && py < base + LIST_ROW_GAP) {
            flow.selectedControlRow = i;
        }
    }
    if (hitRectContains(controlCheatArea, px, py)) {
        mainLoop.currentMode = MODE_MAIN_MENU;
    }
    click();
}

static void highScoresInput(int32_t message) {
    dragPage(message);
    if (message == MSG_KEYUP) {
        mainLoop.currentMode = MODE_MAIN_MENU;
    } else if (message == MSG_LBUTTONUP) {
        click();
    }
}

// ---- Name entry -------------------------------------------------------------------------------------

static void eraseNameChar(void) {
    if (flow.nameLength > 0) {
        flow.nameLength--;
        flow.name[flow.nameLength] = 0;
    }
}

static void addNameChar(char c) {
    if (flow.nameLength < NAME_CHARS) {
        flow.name[flow.nameLength++] = c;
        flow.name[flow.nameLength] = 0;
    }
}

// DONE: the score goes into the table; a player who typed nothing is still listed.
static void finishNameEntry(void) {
    insertHighScore(flow.nameLength > 0 ? flow.name : "PLAYER", game.score, game.difficulty);
    mainLoop.currentMode = MODE_HIGH_SCORES;
}

// Typing on the real keyboard: letters and digits as their screen keys, Backspace as DEL and Enter as
// DONE. Returns 1 when the key belongs to the name, so no other rule (Enter takes screenshots) sees it.
static int nameEntryKey(int32_t message, int32_t key) {
    // The character follows the Shift key: a, A; Shift with a digit gives punctuation, not typed here.
    uint16_t c = 0;
    int typed = key != VK_BACK && key != VK_RETURN && platformToAscii((uint32_t)key, 0, &c) &&
                ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'));
    if (key != VK_BACK && key != VK_RETURN && !typed) {
        return 0;
    }
    // Letters and Backspace repeat while held; Enter acts on its release, so that the table it opens
    // does not take the release as a key that leaves it.
    if (message == MSG_KEYDOWN && key != VK_RETURN) {
        if (key == VK_BACK) {
            eraseNameChar();
        } else {
            addNameChar((char)c);
        }
        click();
    } else if (message == MSG_KEYUP && key == VK_RETURN) {
        finishNameEntry();
        click();
    }
    return 1;
}

static void nameEntryInput(int32_t message) {
    if (message != MSG_LBUTTONUP) {
        return;
    }
    if (stylus.y > DEFAULT_HEIGHT - 40) {
        if (stylus.x < DEFAULT_WIDTH / 2) {
            eraseNameChar();
        } else {
            finishNameEntry();
        }
    }
    click();
    for (int c = 0; c < KEYBOARD_COLUMNS; c++) {
        for (int r = 0; r < KEYBOARD_ROWS; r++) {
            if (hitRectContains(keyboardKeyRect(c, r), stylus.x, stylus.y)) {
                addNameChar((char)(KEYBOARD_FIRST_CHAR + c + KEYBOARD_COLUMNS * r));
            }
        }
    }
    click();
}

// ---- Information page and its cheat panel ----------------------------------------------------------

static void limitPage(void) {
    if (flow.pageY > infoPageLimit()) {
        flow.pageY = infoPageLimit();
    }
    if (flow.pageY < 0) {
        flow.pageY = 0;
    }
}

static void toggleCheat(int32_t* value, int32_t onValue) {
    *value = *value != 0 ? 0 : onValue;
}

// A release on the lid (where it stands now) opens or closes the panel; with the panel open, a release
// on one of its lines toggles that line's option, and the first line opens the level editor.
static void cheatPanelTap(void) {
    int32_t px = stylus.x - infoPageLeft();
    int32_t py = stylus.y + flow.pageY - INFO_PAGE_TOP;
    int32_t amount = game.cheatPanelAmount;
    int32_t shadow = amount >> 2 < CHEAT_SHADOW_MAX ? amount >> 2 : CHEAT_SHADOW_MAX;
    int32_t lift = amount > CHEAT_LIFT_DELAY ? amount - CHEAT_LIFT_DELAY : 0;
    int32_t lidX = CHEAT_LID_X - shadow;
    int32_t lidY = CHEAT_LID_Y - shadow - lift;
    if (px >= lidX && px < lidX + CHEAT_LID_WIDTH && py >= lidY && py < lidY + CHEAT_LID_HEIGHT) {
        game.cheatPanelOpen = game.cheatPanelOpen ? 0 : 1;
        return;
    }
    if (!game.cheatPanelOpen || amount <= CHEAT_PANEL_OPEN || px < CHEAT_LID_X ||
        px >= CHEAT_LID_X + CHEAT_LID_WIDTH) {
        return;
    }
    int32_t row = py - CHEAT_LID_Y;
    for (int line = 0; line < CHEAT_LINES; line++) {
        if (row < cheatLineOffsets[line] || row >= cheatLineOffsets[line] + CHEAT_LINE_HEIGHT) {
            continue;
        }
        Cheats& c = game.cheats;
        switch (line) {
        case 0:
            mainLoop.currentMode = MODE_EDITOR;
            break;
        case 1:
            toggleCheat(&c.unlimitedLives, 1);
            break;
        case 2:
            toggleCheat(&c.unlockAllLevels, 1);
            break;
        case 3:
            toggleCheat(&c.fatPaddle, FAT_PADDLE_ON);
            break;
        case 4:
            toggleCheat(&c.maxPowerUp, MAX_POWER_UP_ON);
            break;
        case 5:
            toggleCheat(&c.seePowerUps, 1);
            break;
        default:
            toggleCheat(&c.disableDebris, 1);
            break;
        }
    }
}

static void infoPageInput(int32_t message, int32_t key) {
    switch (message) {
    case MSG_LBUTTONDOWN:
        if (stylus.x < CORNER_ZONE && stylus.y < CORNER_ZONE) {
            flow.pageY -= CORNER_JUMP;
        }
        if (stylus.x < CORNER_ZONE && stylus.y > DEFAULT_HEIGHT - CORNER_ZONE) {
            flow.pageY += CORNER_JUMP;
        }
        flow.anchorY = stylus.y + flow.pageY;
        limitPage();
        break;
    case MSG_MOUSEMOVE:
        if (stylus.down) {
            flow.pageY = flow.anchorY - stylus.y;
            limitPage();
        }
        break;
    case MSG_KEYDOWN:
    case MSG_KEYUP:
        setDirectionKeys(message, key);
        if (message == MSG_KEYUP && key == controlKeys[CONTROL_ESCAPE]) {
            mainLoop.currentMode = MODE_MAIN_MENU;
        }
        break;
    case MSG_LBUTTONUP:
        click();
        cheatPanelTap();
        break;
    default:
        break;
    }
}

// ---- Level chooser, play and game over --------------------------------------------------------------

static void levelSelectInput(int32_t message) {
    if (message == MSG_KEYUP) {
        mainLoop.currentMode = MODE_MAIN_MENU;
        return;
    }
    if (message != MSG_LBUTTONUP) {
        return;
    }
    int32_t column = stylus.x / CHOOSER_CELL;
    int32_t row = (stylus.y - CHOOSER_TOP) / CHOOSER_CELL;
    if (column >= 0 && column < CHOOSER_GRID && row >= 0 && row < CHOOSER_GRID &&
        levelSelectable(column + CHOOSER_GRID * row)) {
        game.levelIndex = column + CHOOSER_GRID * row;
        mainLoop.currentMode = MODE_NEW_GAME;
        click();
    }
}

static void playInput(int32_t message, int32_t key) {
    switch (message) {
    case MSG_LBUTTONDOWN: {
        const HintPanel& p = hintPanel;
        int inPanel = stylus.x > p.x && stylus.x < p.x + p.width && stylus.y > p.y && stylus.y < p.y + p.height;
        int inTab = stylus.x > p.x && stylus.x < p.x + HINT_TAB_WIDTH && stylus.y > p.y - HINT_TAB_HEIGHT - 1 &&
                    stylus.y < 1;
        if (game.helpfulHints && (inPanel || inTab)) {
            hintPanel.leaving = 1;
            if (game.readyCountdown > 200) {
                game.readyCountdown = 300;
            }
            paddle.swallow = 1;
        }
        break;
    }
    case MSG_LBUTTONUP:
        paddle.swallow = 0;
        break;
    case MSG_KEYDOWN:
    case MSG_KEYUP:
        setDirectionKeys(message, key);
        if (message == MSG_KEYUP && key == controlKeys[CONTROL_ESCAPE]) {
            mainLoop.currentMode = MODE_MAIN_MENU;
        }
        break;
    default:
        break;
    }
}

static void gameOverInput(int32_t message, int32_t key) {
    if (message == MSG_KEYUP && isDirectionKey(key)) {
        return;
    }
    if (message != MSG_KEYUP && message != MSG_LBUTTONUP) {
        return;
    }
    if (paddle.swallow) {
        paddle.swallow = 0;
        return;
    }
    game.highScoreRank = highScoreRank(game.score, game.difficulty);
    if (game.highScoreRank < HIGH_SCORE_ENTRIES) {
        mainLoop.currentMode = MODE_NAME_ENTRY;
        playSound(SOUND_POSITIVE_JINGLE);
    } else {
        playSound(SOUND_NEGATIVE_JINGLE);
        mainLoop.currentMode = MODE_MAIN_MENU;
    }
    requestMusic(0);
}

// ---- Dispatch ---------------------------------------------------------------------------------------

static int escapeLeaves(int32_t mode) {
    switch (mode) {
    case MODE_CONTROL_CONFIG:
    case MODE_FAREWELL:
    case MODE_EXIT:
    case MODE_SPLASH_LOGO:
    case MODE_SPLASH_INTRO:
    case MODE_SPLASH_MONKEY:
        return 0;
    default:
        return 1;
    }
}

static int hasCornerButton(int32_t mode) {
    return mode == MODE_OPTIONS || mode == MODE_CONTROL_CONFIG || mode == MODE_HIGH_SCORES ||
           mode == MODE_INFO_PAGE || mode == MODE_EDITOR;
}

void handleInput(int32_t message, uint32_t wParam, int32_t value) {
    (void)value;
    int32_t mode = mainLoop.currentMode;
    int isKey = message == MSG_KEYDOWN || message == MSG_KEYUP;
    int32_t key = isKey ? (int32_t)(int16_t)(wParam & 0xFFFF) : 0;
    if (isKey && mode == MODE_NAME_ENTRY && nameEntryKey(message, key)) {
        return;
    }
    if (isKey && mode != MODE_CONTROL_CONFIG) {
        if (key == controlKeys[CONTROL_SCREENSHOT]) {
            if (message == MSG_KEYDOWN) {
                saveScreenshot();
            }
            return;
        }
        if (key == controlKeys[CONTROL_SUSPEND]) {
            if (message == MSG_KEYDOWN) {
                setAppActive(0);
            }
            return;
        }
    }
    // The editor is left only once its level is saved (or the player gave up on saving it).
    if (message == MSG_KEYUP && key == controlKeys[CONTROL_ESCAPE] && escapeLeaves(mode)) {
        mainLoop.currentMode = mode == MODE_MAIN_MENU ? MODE_FAREWELL : (mode == MODE_EDITOR ? editorLeave() : MODE_MAIN_MENU);
        return;
    }
    if (message == MSG_LBUTTONUP && hasCornerButton(mode) && stylus.x > DEFAULT_WIDTH - CORNER_BUTTON_WIDTH &&
        stylus.y > DEFAULT_HEIGHT - CORNER_BUTTON_HEIGHT) {
        mainLoop.currentMode = mode == MODE_EDITOR ? editorLeave() : MODE_MAIN_MENU;
        return;
    }
    switch (mode) {
    case MODE_MAIN_MENU:
        mainMenuInput(message, key);
        break;
    case MODE_OPTIONS:
        optionsInput(message);
        break;
    case MODE_CONTROL_CONFIG:
        controlConfigInput(message, key);
        break;
    case MODE_HIGH_SCORES:
        highScoresInput(message);
        break;
    case MODE_NAME_ENTRY:
        nameEntryInput(message);
        break;
    case MODE_FAREWELL:
        if (message == MSG_KEYUP || message == MSG_LBUTTONUP) {
            mainLoop.currentMode = MODE_EXIT;
        }
        break;
    case MODE_EXIT:
        if (message == MSG_KEYUP || message == MSG_LBUTTONUP) {
            platformSendMessage(MSG_CLOSE, 0, 0);
        }
        break;
    case MODE_INFO_PAGE:
        infoPageInput(message, key);
        break;
    case MODE_LEVEL_SELECT:
        levelSelectInput(message);
        break;
    case MODE_PLAY:
        playInput(message, key);
        break;
    case MODE_GAME_OVER:
        gameOverInput(message, key);
        break;
    case MODE_EDITOR:
        editorInput(message, key);
        break;
    default:
        break;
    }
}
