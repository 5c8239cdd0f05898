// The per-mode entry, update and exit work and the transitions that updates make.
#include "game/modes.h"

#include <cstring>

#include "field/blocks.h"
#include "field/editor.h"
#include "field/gamevalues.h"
#include "field/level.h"
#include "field/paddle.h"
#include "game/game.h"
#include "game/highscores.h"
#include "game/play.h"
#include "game/settings.h"
#include "game/startup.h"
#include "gfx/blit.h"
#include "gfx/picture.h"
#include "shell/display.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "shell/overlay.h"
#include "sound/mixer.h"
#include "sound/music.h"
#include "sound/sample.h"

FlowState flow = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, {0, 0, 0, 0, 0, 0}, 0, 0, -1, {0}, 0};
FlowPictures flowPictures;
const int32_t cheatLineOffsets[CHEAT_LINES] = {0, 23, 36, 49, 62, 75, 88};

enum {
    MENU_TOP = 122,       // screen row of item 0's band without a game in progress
    MENU_ITEM_HEIGHT = 24,
    MENU_LEFT = 82,
    MENU_GLOW_FLOOR = -31,
    MENU_GLOW_RISE = 5,
    INFO_PAGE_MARGIN = 20,
    LAST_LEVEL = LEVEL_COUNT - 1,
};

static void freePicture(Surface** handle) {
    if (*handle != nullptr) {
        removeSurface(handle);
    }
}

int32_t menuItemAt(int32_t y) {
    return (y - MENU_TOP - 12 * (game.gameInProgress ? 1 : 0)) / MENU_ITEM_HEIGHT;
}

int32_t infoPageLimit(void) {
    int32_t height = flowPictures.infoPage != nullptr ? flowPictures.infoPage->height : 0;
    int32_t limit = height + INFO_PAGE_MARGIN - DEFAULT_HEIGHT;
    return limit > 0 ? limit : 0;
}

int32_t infoPageLeft(void) {
    int32_t width = flowPictures.infoPage != nullptr ? flowPictures.infoPage->width : 0;
    return DEFAULT_WIDTH / 2 - width / 2;
}

int levelSelectable(int32_t level) {
    if (level < 0 || level >= LEVEL_COUNT || game.difficulty < 1 || game.difficulty > DIFFICULTY_COUNT) {
        return 0;
    }
    return game.unlocked[game.difficulty - 1][level] > 0 || game.cheats.unlockAllLevels != 0;
}

// The difficulty as the options screen opened: the game in progress, if any, is played at it.
static int32_t difficultyBeforeOptions;

void abandonGame(void) {
    if (!game.gameInProgress) {
        return;
    }
    tearDownLevel();
    game.gameInProgress = 0;
}

// The scrolling background moves up one row every 4th update.
static void scrollBackground(void) {
    if ((game.updateCounter & 3) != 0 || flowPictures.background == nullptr ||
        flowPictures.background->height <= 0) {
        return;
    }
    flow.backgroundRow = (flow.backgroundRow - 1) % flowPictures.background->height;
}

// ---- Main menu --------------------------------------------------------------------------------------

// The paused field shows through the title picture's pure black, at half brightness.
static void showPausedField(void) {
    Surface* title = flowPictures.titleBack;
    if (currentLevel.fieldPicture == nullptr || title == nullptr) {
        return;
    }
    int titleLeft = (DEFAULT_WIDTH >> 1) - title->centreX;
    int titleTop = (DEFAULT_HEIGHT >> 1) - title->centreY;
    int fieldLeft = (DEFAULT_WIDTH >> 1) - currentLevel.fieldPicture->centreX;
    int fieldTop = (DEFAULT_HEIGHT >> 1) - currentLevel.fieldPicture->centreY;
    for (int y = 0; y < title->height; y++) {
        for (int x = 0; x < title->width; x++) {
            if (getPixel(title, x, y) != 0) {
                continue;
            }
            int fx = x + titleLeft - fieldLeft;
            int fy = y + titleTop - fieldTop;
            if (fx < 0 || fy < 0 || fx >= currentLevel.fieldPicture->width || fy >= currentLevel.fieldPicture->height) {
                continue;
            }
            int r, g, b;
            unpackColour(getPixel(currentLevel.fieldPicture, fx, fy), &r, &g, &b);
            putPixel(title, x, y, packColour(r >> 1, g >> 1, b >> 1));
        }
    }
}

static int firstMenuItem(void) {
    return game.gameInProgress ? 0 : 1;
}

static void enterMainMenu(void) {
    showStylusCursor = 1;
    game.highScoreRank = -1;
    if (!saveSettings()) {
        logMessage(1, "[WARNING] Unable to save settings.\n");
    }
    loadPicture("titleBack.png", &flowPictures.titleBack);
    loadPicture("mainMenu.png", &flowPictures.mainMenu);
    if (game.gameInProgress) {
        showPausedField();
    }
    // The items' resting strips are drawn into the title picture once; the glow goes over them.
    Surface* title = flowPictures.titleBack;
    Surface* strips = flowPictures.mainMenu;
    int titleLeft = (DEFAULT_WIDTH >> 1) - title->centreX;
    int titleTop = (DEFAULT_HEIGHT >> 1) - title->centreY;
    int g = game.gameInProgress ? 1 : 0;
    for (int i = firstMenuItem(); i < MENU_ITEMS; i++) {
        blit(title, MENU_LEFT - titleLeft, MENU_TOP + MENU_ITEM_HEIGHT * i + 12 * g - titleTop, strips->width,
             MENU_ITEM_HEIGHT, strips, 0, 150 + MENU_ITEM_HEIGHT * i, BLIT_ADDITIVE, 0);
    }
}

static void updateMenuGlow(void) {
    for (int i = firstMenuItem(); i < MENU_ITEMS; i++) {
        if (stylus.down && menuItemAt(stylus.y) == i) {
            flow.menuGlow[i] += MENU_GLOW_RISE;
            if (flow.menuGlow[i] > 0) {
                flow.menuGlow[i] = 0;
            }
        } else if ((game.updateCounter & 1) == 0 && flow.menuGlow[i] > MENU_GLOW_FLOOR) {
            flow.menuGlow[i] -= 1;
        }
    }
}

// ---- Information page -------------------------------------------------------------------------------

static void updateInfoPage(void) {
    if (paddle.keyUp) {
        if (flow.scrollSpeed > -SCROLL_SPEED_LIMIT) {
            flow.scrollSpeed--;
        }
    } else if (paddle.keyDown) {
        if (flow.scrollSpeed < SCROLL_SPEED_LIMIT) {
            flow.scrollSpeed++;
        }
    } else if (flow.scrollSpeed > 0) {
        flow.scrollSpeed--;
    } else if (flow.scrollSpeed < 0) {
        flow.scrollSpeed++;
    }
    flow.pageY += flow.scrollSpeed >> 1;
    if (flow.pageY > infoPageLimit()) {
        flow.pageY = infoPageLimit();
    }
    if (flow.pageY < 0) {
        flow.pageY = 0;
    }
    if (game.cheatPanelOpen) {
        if (game.cheatPanelAmount < CHEAT_PANEL_FULL) {
            game.cheatPanelAmount++;
        }
    } else if (game.cheatPanelAmount > 0) {
        game.cheatPanelAmount--;
    }
    scrollBackground();
}

// ---- Level chooser ----------------------------------------------------------------------------------

// Locked cells get a gradient over their 24 x 24 pixels; the others stay black for the thumbnails.
static void drawLockedCells(void) {
    for (int level = 0; level < LEVEL_COUNT; level++) {
        if (game.unlocked[game.difficulty - 1][level] > 0) {
            continue;
        }
        int left = (level % CHOOSER_GRID) * CHOOSER_CELL;
        int top = (level / CHOOSER_GRID) * CHOOSER_CELL;
        for (int y = 0; y < CHOOSER_CELL; y++) {
            for (int x = 0; x < CHOOSER_CELL; x++) {
                putPixel(currentLevel.thumbnailSheet, left + x, top + y, packColour(x, 0, y));
            }
        }
    }
}

static void enterLevelSelect(void) {
    flow.revealSweep = 69;
    abandonGame();
    // A difficulty read unchecked from the settings file must not index past the unlock table.
    normaliseSettings();
    game.unlocked[game.difficulty - 1][0] = 1;
    loadPicture("choose.png", &flowPictures.chooser);
    freePicture(&currentLevel.thumbnailSheet);
    currentLevel.thumbnailSheet = createSurface(CHOOSER_SIZE, CHOOSER_SIZE);
    drawLockedCells();
    flow.revealCounter = 0;
}

static void updateLevelSelect(void) {
    int quarter = (game.updateCounter & 3) == 0;
    if (quarter && flow.revealCounter < REVEAL_CELLS) {
        if (levelSelectable(flow.revealCounter)) {
            makeLevelThumbnail(flow.revealCounter);
        }
        flow.revealCounter++;
        return;
    }
    flow.revealSweep = (flow.revealSweep + 1) % REVEAL_CELLS;
    // The counter goes on past 100 (the chooser stops showing the number then); it is held far below
    // any overflow.
    if (quarter && flow.revealCounter < 1000000) {
        flow.revealCounter++;
    }
}

// ---- Game over and the editor -----------------------------------------------------------------------

static void enterGameOver(void) {
    if (game.gameInProgress) {
        tearDownLevel();
        showStylusCursor = 1;
    }
    loadPicture("bg.png", &flowPictures.background);
    if (stylus.down) {
        paddle.swallow = 1;
    }
    game.highScoreRank = highScoreRank(game.score, game.difficulty);
    playSound(game.highScoreRank < HIGH_SCORE_ENTRIES ? SOUND_POSITIVE_JINGLE : SOUND_NEGATIVE_JINGLE);
    game.gameInProgress = 0;
}

static void enterEditor(void) {
    abandonGame();
    if (game.levelIndex > LAST_LEVEL) {
        game.levelIndex = 0;
    }
    if (game.levelIndex < 0) {
        game.levelIndex = LAST_LEVEL;
    }
    loadLevel(game.levelIndex);
    requestMusic(currentLevel.musicTrack);
    freePicture(&currentLevel.fieldPicture);
    currentLevel.fieldPicture = createSurface(currentLevel.backgroundPicture->width,
                                              currentLevel.backgroundPicture->height);
    // The level is unloaded whole on leaving, pristine copy included.
    freePicture(&currentLevel.pristineBackground);
    currentLevel.pristineBackground = createSurface(currentLevel.backgroundPicture->width,
                                                    currentLevel.backgroundPicture->height);
    blit(currentLevel.pristineBackground, 0, 0, currentLevel.backgroundPicture->width,
         currentLevel.backgroundPicture->height, currentLevel.backgroundPicture, 0, 0,
         BLIT_COPY, 0);
    editorReset();
    redrawField();
}

static void leaveEditor(void) {
    // Leaving by the keys or the corner button has saved already; this catches the program's end.
    editorSave();
    tearDownLevel();
}

// ---- The four operations ----------------------------------------------------------------------------

void enterMode(int32_t mode) {
    switch (mode) {
    case MODE_MAIN_MENU:
        enterMainMenu();
        break;
    case MODE_OPTIONS:
        loadPicture("bg.png", &flowPictures.background);
        loadPicture("optionsWin.png", &flowPictures.optionsWindow);
        difficultyBeforeOptions = game.difficulty;
        normaliseSettings();
        bringMusicIn();
        flow.pageY = 0;
        break;
    case MODE_CONTROL_CONFIG:
        loadPicture("bg.png", &flowPictures.background);
        flow.pageX = 0;
        break;
    case MODE_HIGH_SCORES:
        flow.pageX = 0;
        flow.pageY = 0;
        loadHighScores(game.difficulty);
        loadPicture("bg.png", &flowPictures.background);
        break;
    case MODE_NAME_ENTRY:
        flow.nameLength = 0;
        memset(flow.name, 0, sizeof(flow.name));
        loadPicture("bg.png", &flowPictures.background);
        break;
    case MODE_FAREWELL:
        loadPicture("pawall.png", &flowPictures.farewell);
        break;
    case MODE_EXIT:
        loadPicture("exit.png", &flowPictures.exitPicture);
        break;
    case MODE_INFO_PAGE:
        loadPicture("bg.png", &flowPictures.background);
        loadPicture("strider.png", &flowPictures.infoPage);
        break;
    case MODE_LEVEL_SELECT:
        enterLevelSelect();
        break;
    case MODE_PLAY:
        showStylusCursor = 0;
        requestMusic((game.levelIndex + 1) % 6);
        break;
    case MODE_NEXT_LEVEL:
        setUpLevel();
        requestMusic(currentLevel.musicTrack);
        break;
    case MODE_LEVEL_DONE:
        tearDownLevel();
        showStylusCursor = 1;
        game.gameInProgress = 0;
        game.levelIndex += 1;
        break;
    case MODE_GAME_OVER:
        enterGameOver();
        break;
    case MODE_EDITOR:
        enterEditor();
        break;
    case MODE_SPLASH_LOGO:
    case MODE_SPLASH_INTRO:
    case MODE_SPLASH_MONKEY:
        enterSplash(mode);
        break;
    default:
        break;
    }
}

void leaveMode(int32_t mode) {
    switch (mode) {
    case MODE_MAIN_MENU:
        freePicture(&flowPictures.titleBack);
        freePicture(&flowPictures.mainMenu);
        break;
    case MODE_OPTIONS:
        freePicture(&flowPictures.background);
        freePicture(&flowPictures.optionsWindow);
        // Only a difficulty that really changed ends the game; cycling back to it keeps the game.
        if (game.difficulty != difficultyBeforeOptions) {
            abandonGame();
        }
        break;
    case MODE_CONTROL_CONFIG:
    case MODE_HIGH_SCORES:
    case MODE_NAME_ENTRY:
    case MODE_GAME_OVER:
        freePicture(&flowPictures.background);
        break;
    case MODE_FAREWELL:
        freePicture(&flowPictures.farewell);
        break;
    case MODE_EXIT:
        freePicture(&flowPictures.exitPicture);
        break;
    case MODE_INFO_PAGE:
        freePicture(&flowPictures.background);
        freePicture(&flowPictures.infoPage);
        break;
    case MODE_LEVEL_SELECT:
        freePicture(&flowPictures.chooser);
        freePicture(&currentLevel.thumbnailSheet);
        break;
    case MODE_EDITOR:
        leaveEditor();
        break;
    case MODE_SPLASH_LOGO:
    case MODE_SPLASH_INTRO:
    case MODE_SPLASH_MONKEY:
        leaveSplash(mode);
        break;
    default:
        break;
    }
}

int32_t updateMode(int32_t mode) {
    game.updateCounter++;
    musicUpdate(mode);
    switch (mode) {
    case MODE_MAIN_MENU:
        updateMenuGlow();
        break;
    case MODE_OPTIONS:
    case MODE_NAME_ENTRY:
    case MODE_GAME_OVER:
        scrollBackground();
        break;
    case MODE_INFO_PAGE:
        updateInfoPage();
        break;
    case MODE_LEVEL_SELECT:
        updateLevelSelect();
        break;
    case MODE_PLAY:
        return updatePlay();
    case MODE_NEXT_LEVEL:
        return MODE_PLAY;
    case MODE_LEVEL_DONE:
        // After the last level the game ends as if lost, so that the score can enter the table.
        return game.levelIndex < LEVEL_COUNT ? MODE_NEXT_LEVEL : MODE_GAME_OVER;
    case MODE_NEW_GAME:
        game.lives = 5;
        game.readyCountdown = 200;
        startGamePaddle();
        game.score = 0;
        paddle.keyHold = 0;
        return MODE_NEXT_LEVEL;
    case MODE_SPLASH_LOGO:
    case MODE_SPLASH_INTRO:
    case MODE_SPLASH_MONKEY:
        return updateSplash(mode);
    default:
        break;
    }
    return mode;
}
