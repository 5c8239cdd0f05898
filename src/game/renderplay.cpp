// The screens of a game: the level chooser with its reveal, play in its fixed order, game over, editor.
#include "game/renderplay.h"

#include <cstdio>
#include <cstring>

#include "field/ball.h"
#include "field/editor.h"
#include "field/gamevalues.h"
#include "field/level.h"
#include "game/highscores.h"
#include "game/hints.h"
#include "game/modes.h"
#include "game/play.h"
#include "game/render.h"
#include "gfx/blit.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "shell/display.h"
#include "shell/input.h"

enum {
    NUMBER_Y = 90,             // a cell number's row in the cell of row 0, screen pixels
    NUMBER_SHADOW_ALPHA = 48,
    SWEEP_CELLS = 31,
    GET_READY_FROM = 50,       // "Get Ready!" shows while the countdown lies between these
    GET_READY_UNTIL = 350,
    GAME_OVER_TITLE_Y = 40,
    GAME_OVER_SCORE_Y = 80,
    GAME_OVER_RANK_Y = 160,
    GAME_OVER_TAP_Y = 295,
    EDITOR_TITLE_Y = 2,
};

static const uint16_t WHITE = packColour(31, 31, 31);

// ---- Level chooser ----------------------------------------------------------------------------------

// The level number with a soft black shadow (nine blended copies), centred in the cell.
static void drawCellNumber(int32_t level) {
    char text[16];
    snprintf(text, sizeof(text), "%d", (int)(level + 1));
    int32_t column = level % CHOOSER_GRID, row = level / CHOOSER_GRID;
    int32_t x = CHOOSER_CELL * column + CHOOSER_CELL / 2 - 3 * (int32_t)strlen(text);
    int32_t y = CHOOSER_CELL * row + NUMBER_Y;
    for (int dy = -1; dy <= 1; dy++) {
        for (int dx = -1; dx <= 1; dx++) {
            drawSmallTextBlended(backSurface, text, x + dx, y + dy, 0, NUMBER_SHADOW_ALPHA);
        }
    }
    drawSmallText(backSurface, text, x, y, WHITE);
}

// The 24 x 24 cell's pixels on the screen.
static int32_t cellLeft(int32_t level) {
    return CHOOSER_CELL * (level % CHOOSER_GRID);
}

static int32_t cellTop(int32_t level) {
    return CHOOSER_TOP + CHOOSER_CELL * (level / CHOOSER_GRID);
}

static void brightenPressedCell(int32_t level, int32_t counter) {
    int32_t left = cellLeft(level), top = cellTop(level);
    for (int32_t y = 0; y < CHOOSER_CELL; y++) {
        for (int32_t x = 0; x < CHOOSER_CELL; x++) {
            brightenPixel(backSurface, left + x, top + y, ((((x + y) - counter) >> 1) & 31) >> 1);
        }
    }
}

// Every border pixel of the cell once, with its position along its edge (0..23).
template <typename Light>
static void forEachBorderPixel(int32_t level, Light light) {
    int32_t left = cellLeft(level), top = cellTop(level), last = CHOOSER_CELL - 1;
    for (int32_t i = 0; i < CHOOSER_CELL; i++) {
        light(left + i, top, i, 0);
        light(left + i, top + last, i, last);
    }
    for (int32_t i = 1; i < last; i++) {
        light(left, top + i, 0, i);
        light(left + last, top + i, last, i);
    }
}

void renderLevelSelect(void) {
    if (flowPictures.chooser != nullptr) {
        blitCentred(backSurface, flowPictures.chooser);
    } else {
        clearSurface(backSurface);
    }
    if (currentLevel.thumbnailSheet != nullptr) {
        blit(backSurface, 0, CHOOSER_TOP, currentLevel.thumbnailSheet->width, currentLevel.thumbnailSheet->height,
             currentLevel.thumbnailSheet, 0, 0, BLIT_COPY);
    }
    int32_t counter = (int32_t)game.updateCounter;
    if (stylus.down) {
        // The same cell a release here would choose.
        int32_t column = stylus.x / CHOOSER_CELL, row = (stylus.y - CHOOSER_TOP) / CHOOSER_CELL;
        if (column >= 0 && column < CHOOSER_GRID && row >= 0 && row < CHOOSER_GRID) {
            brightenPressedCell(column + CHOOSER_GRID * row, counter);
            drawCellNumber(column + CHOOSER_GRID * row);
        }
    }
    int32_t n = flow.revealCounter;
    if (n >= 1 && n <= REVEAL_CELLS) {
        drawCellNumber(n - 1);
    }
    int row = game.difficulty >= 1 && game.difficulty <= DIFFICULTY_COUNT ? game.difficulty - 1 : 0;
    if (game.unlocked[row][1] <= 0 || game.cheats.unlockAllLevels) {
        // Until the second level is reached, the first cell calls for a tap.
        forEachBorderPixel(0, [counter](int32_t x, int32_t y, int32_t cx, int32_t cy) {
            brightenPixel(backSurface, x, y, ((cx + cy) - counter) & 31);
        });
    }
    if (n > REVEAL_CELLS - 1) {
        int32_t sweep = flow.revealSweep;
        int32_t shift = (int32_t)(game.updateCounter >> 4);
        for (int32_t k = sweep; k < sweep + SWEEP_CELLS; k++) {
            int32_t level = k % REVEAL_CELLS;
            if (!levelSelectable(level)) {
                continue;
            }
            int32_t span = k + 1 - sweep;
            forEachBorderPixel(level, [shift, span](int32_t x, int32_t y, int32_t cx, int32_t cy) {
                int32_t along = (cy == 0 || cy == CHOOSER_CELL - 1) ? cx : cy;
                brightenPixel(backSurface, x, y, (along - 12 + shift) % span);
            });
        }
    }
}

// ---- Play -------------------------------------------------------------------------------------------

// A text centred on the field's centre (baseline y in field rows), light added, with or without jitter.
static void drawFieldText(const char* text, int32_t y, int slot, int jittered) {
    int32_t centreX = DEFAULT_WIDTH / 2, top = 0;
    if (currentLevel.fieldPicture != nullptr) {
        centreX = backSurface->centreX - currentLevel.fieldPicture->centreX + currentLevel.fieldPicture->width / 2;
        top = backSurface->centreY - currentLevel.fieldPicture->centreY;
    }
    int32_t width = fonts[slot] != nullptr ? textWidth(text, slot) : 0;
    drawTextAt(text, centreX - width / 2, top + y, slot, jittered);
}

void renderPlay(void) {
    if (currentLevel.fieldPicture == nullptr) {
        // No level is set up: nothing of the field to show.
        clearSurface(backSurface);
        return;
    }
    drawPlayField();
    char text[32];
    snprintf(text, sizeof(text), "%d", (int)game.score);
    drawFieldText(text, PLAY_SCORE_Y, 1, 0);
    drawPlayMarks();
    int cleared = levelCleared();
    int32_t countdown = game.readyCountdown;
    int32_t messageY = currentLevel.fieldPicture->height - PLAY_MESSAGE_RISE;
    if (cleared) {
        snprintf(text, sizeof(text), "Level %d Complete!", (int)(game.levelIndex + 1));
        drawFieldText(text, PLAY_COMPLETE_Y, 0, 1);
    }
    if (countdown > GET_READY_FROM && countdown < GET_READY_UNTIL) {
        drawFieldText("Get Ready!", messageY, 0, 1);
    }
    if (lostBallCaptionShowing()) {
        drawFieldText("Doh!", messageY, 0, 1);
    }
    if (game.helpfulHints && game.readyCountdown > 0) {
        drawHint(backSurface, hintPanel.x, hintPanel.y, game.levelIndex);
    }
}

// ---- Game over and the editor -----------------------------------------------------------------------

void renderGameOver(void) {
    drawScrollingBackground();
    drawTextAt("Game Over", centredTextX("Game Over", 0), GAME_OVER_TITLE_Y, 0, 0);
    char text[32];
    snprintf(text, sizeof(text), "Score %d", (int)game.score);
    drawTextAt(text, centredTextX(text, 0), GAME_OVER_SCORE_Y, 0, 0);
    if (game.highScoreRank >= 0 && game.highScoreRank < HIGH_SCORE_ENTRIES && fonts[1] != nullptr) {
        const char* rank = "You have a high score!!";
        drawTextColoured(backSurface, rank, centredTextX(rank, 1), GAME_OVER_RANK_Y, 1, packColour(0, 31, 31));
    }
    drawSmallText(backSurface, "Tap to continue", centredSmallTextX("Tap to continue"), GAME_OVER_TAP_Y,
                  packColour(31, 31, 0));
}

void renderEditor(void) {
    clearSurface(backSurface);
    if (currentLevel.fieldPicture != nullptr) {
        blitCentred(backSurface, currentLevel.fieldPicture);
    }
    char text[32];
    snprintf(text, sizeof(text), "Level %d", (int)(game.levelIndex + 1));
    drawSmallText(backSurface, text, centredSmallTextX(text), EDITOR_TITLE_Y, 0xFFFF);
    if (drawEditorHeld != nullptr) {
        drawEditorHeld();
    }
    drawCornerButton();
}
