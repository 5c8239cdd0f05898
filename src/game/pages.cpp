// The pages the stylus drags: control configuration, the high-score table and the information page.
#include "game/pages.h"

#include <cstdio>
#include <cstring>

#include "field/blocks.h"
#include "field/gamevalues.h"
#include "field/powerup.h"
#include "game/highscores.h"
#include "game/layout.h"
#include "game/modes.h"
#include "game/render.h"
#include "gfx/blit.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "shell/display.h"
#include "shell/input.h"

enum {
    PAGE_TITLE_Y = 20,
    LIST_LEFT = 5,
    LIST_RIGHT = 235,        // right-aligned texts end here
    NAME_LEFT = 35,
    SCORE_CHARS = 7,         // the score text shown: the last 7 of the entry's 10 score characters
    CHEAT_LABEL_X = 376,     // "CHEAT #2", page pixels: right of the screen until the page is dragged
    CHEAT_LABEL_Y = 300,
    CHEAT_TEXT_BASELINE = 11, // the cheat panel's first baseline below the compartment's top
    ARROW_X = 15,
    ARROW_UP_Y = 15,
    ARROW_DOWN_Y = 305,
};

static const char* const controlLabels[CONTROL_COUNT] = {"Up",     "Down",   "Left",       "Right",
                                                         "Action1", "Escape", "Screenshot", "Suspend"};

int32_t listRowY(int i) {
    int32_t f = fonts[0] != nullptr ? fontLineHeight(0) : 0;
    return PAGE_TITLE_Y + (i + 2) * (f + LIST_ROW_GAP);
}

static int32_t rightAlignedX(const char* text) {
    return LIST_RIGHT - (fonts[0] != nullptr ? textWidth(text, 0) : 0);
}

// Font 0 text tinted with a colour, with jitter.
static void drawTintedAt(const char* text, int32_t x, int32_t y, uint16_t colour) {
    jitter(&x, &y);
    if (fonts[0] != nullptr) {
        drawTextColoured(backSurface, text, x, y, 0, colour);
    }
}

// ---- Control configuration --------------------------------------------------------------------------

void renderControlConfig(void) {
    int32_t sx = flow.pageX, sy = flow.pageY;
    uint32_t counter = game.updateCounter;
    drawParallaxBackground();
    drawTextAt("CONTROL CONFIG", centredTextX("CONTROL CONFIG", 0) - sx, PAGE_TITLE_Y - sy, 0, 0);
    int32_t selected = flow.selectedControlRow;
    for (int i = 0; i < CONTROL_COUNT; i++) {
        char code[16];
        snprintf(code, sizeof(code), "[0x%2x]", (unsigned)controlKeys[i]);
        int32_t y = listRowY(i) - sy;
        if (i == selected) {
            uint16_t tint = packColour(31, (int)(counter & 31), 31);
            drawTintedAt(controlLabels[i], LIST_LEFT - sx, y, tint);
            drawTintedAt(code, rightAlignedX(code) - sx, y, tint);
        } else {
            drawTextAt(controlLabels[i], LIST_LEFT - sx, y, 0, 0);
            drawTextAt(code, rightAlignedX(code) - sx, y, 0, 0);
        }
    }
    if (selected >= 0 && selected < CONTROL_COUNT) {
        const uint16_t white = packColour(31, 31, 31);
        drawSmallText(backSurface, "Press desired", centredSmallTextX("Press desired") - sx, 30 - sy, white);
        drawSmallText(backSurface, controlLabels[selected], centredSmallTextX(controlLabels[selected]) - sx, 37 - sy,
                      packColour(31, 0, 0));
        drawSmallText(backSurface, "Button", centredSmallTextX("Button") - sx, 44 - sy, white);
    }
    drawConsoleText("CHEAT #2", CHEAT_LABEL_X - sx, CHEAT_LABEL_Y - sy, 1);
    const HitRect& cheat = controlCheatArea;
    for (int dx = 0; dx <= cheat.right - cheat.left; dx++) {
        int amount = (int)((counter + (uint32_t)dx) & 15);
        brightenPixel(backSurface, cheat.left + dx - sx, cheat.top + 1 - sy, amount);
        brightenPixel(backSurface, cheat.left + dx - sx, cheat.bottom - sy, amount);
    }
    drawCornerButton();
}

// ---- High scores ------------------------------------------------------------------------------------

// An entry without any score character is empty: the table's filler of dots, or a short file's end.
static int entryEmpty(const char* entry) {
    for (int k = HIGH_SCORE_NAME_CHARS; k < HIGH_SCORE_ENTRY_CHARS; k++) {
        if (entry[k] != '.' && entry[k] != 0) {
            return 0;
        }
    }
    return 1;
}

// Copies n characters of the table, full stops as spaces; a zero (a short file's end) ends the text.
static void tableText(char* out, const char* from, int n) {
    int k = 0;
    for (; k < n && from[k] != 0; k++) {
        out[k] = from[k] == '.' ? ' ' : from[k];
        // The fonts take codes 32..223 only; anything else in a damaged file shows as a space.
        if ((unsigned char)out[k] < 32 || (unsigned char)out[k] > 223) {
            out[k] = ' ';
        }
    }
    out[k] = 0;
}

static const char* const difficultyNames[DIFFICULTY_COUNT] = {
    "Difficulty: EASY", "Difficulty: MEDIUM", "Difficulty: HARD", "Difficulty: INSANE"};

void renderHighScores(void) {
    int32_t sx = flow.pageX, sy = flow.pageY;
    drawParallaxBackground();
    drawTextAt("High Scores", centredTextX("High Scores", 0) - sx, PAGE_TITLE_Y - sy, 0, 0);
    const char* table = highScoreTable();
    uint16_t tint = packColour(31, 31, (int)(game.updateCounter & 31));
    for (int i = 0; i < HIGH_SCORE_ENTRIES; i++) {
        const char* entry = table + HIGH_SCORE_ENTRY_CHARS * i;
        int32_t y = listRowY(i) - sy;
        if (entryEmpty(entry)) {
            drawTextAt("...", centredTextX("...", 0) - sx, y, 0, 1);
            continue;
        }
        char rank[16], name[HIGH_SCORE_NAME_CHARS + 1], score[SCORE_CHARS + 1];
        snprintf(rank, sizeof(rank), "%2d", i + 1);
        tableText(name, entry, HIGH_SCORE_NAME_CHARS);
        tableText(score, entry + HIGH_SCORE_ENTRY_CHARS - SCORE_CHARS, SCORE_CHARS);
        if (i == game.highScoreRank) {
            drawTintedAt(rank, LIST_LEFT - sx, y, tint);
            drawTintedAt(name, NAME_LEFT - sx, y, tint);
            drawTintedAt(score, rightAlignedX(score) - sx, y, tint);
        } else {
            drawTextAt(rank, LIST_LEFT - sx, y, 0, 1);
            drawTextAt(name, NAME_LEFT - sx, y, 0, 1);
            drawTextAt(score, rightAlignedX(score) - sx, y, 0, 1);
        }
    }
    if (game.difficulty >= 1 && game.difficulty <= DIFFICULTY_COUNT) {
        const char* text = difficultyNames[game.difficulty - 1];
        int32_t f = fonts[0] != nullptr ? fontLineHeight(0) : 0;
        drawConsoleText(text, centredSmallTextX(text) - sx, f + 12 - sy, 1);
    }
    drawCornerButton();
}

// ---- Information page -------------------------------------------------------------------------------

static const char* cheatLineText(int line) {
    const Cheats& c = game.cheats;
    switch (line) {
    case 0:
        return "Level Editor";
    case 1:
        return c.unlimitedLives ? "Unlimited Lives  ON" : "Unlimited Lives  OFF";
    case 2:
        return c.unlockAllLevels ? "Unlock All Levels  ON" : "Unlock All Levels  OFF";
    case 3:
        return c.fatPaddle ? "Fat Paddle  ON" : "Fat Paddle  OFF";
    case 4:
        return c.maxPowerUp ? "Max Power-up  ON" : "Max Power-up  OFF";
    case 5:
        return c.seePowerUps ? "See Power-ups  ON" : "See Power-ups  OFF";
    default:
        return c.disableDebris ? "Disable Debris  ON" : "Disable Debris  OFF";
    }
}

// Pixels below and right of the lifted lid, darker the nearer they lie: k = 1..depth - 1 pixels out.
static void drawLidShadow(int32_t left, int32_t top, int32_t depth) {
    int32_t right = left + CHEAT_LID_WIDTH - 1, bottom = top + CHEAT_LID_HEIGHT - 1;
    for (int32_t k = 1; k < depth; k++) {
        int amount = (CHEAT_SHADOW_MAX - k) * 4;
        for (int32_t x = left + k; x <= right + k; x++) {
            darkenPixel(backSurface, x, bottom + k, amount);
        }
        for (int32_t y = top + k; y < bottom + k; y++) {
            darkenPixel(backSurface, right + k, y, amount);
        }
    }
}

static void drawCheatPanel(int32_t pageLeft, int32_t sy) {
    const Surface* page = flowPictures.infoPage;
    int32_t p = game.cheatPanelAmount;
    if (p <= 0 || page == nullptr) {
        return;
    }
    int32_t s = p >> 2 < CHEAT_SHADOW_MAX ? p >> 2 : CHEAT_SHADOW_MAX;
    int32_t lift = p > CHEAT_LIFT_DELAY ? p - CHEAT_LIFT_DELAY : 0;
    int32_t top = INFO_PAGE_TOP - sy + CHEAT_LID_Y;
    blit(backSurface, pageLeft + CHEAT_LID_X, top, CHEAT_LID_WIDTH, CHEAT_LID_HEIGHT, page, CHEAT_LID_X, CHEAT_LID_Y,
         BLIT_FILL, 0);
    for (int line = 0; line < CHEAT_LINES; line++) {
        const char* text = cheatLineText(line);
        drawTextAt(text, centredTextX(text, 1), CHEAT_TEXT_BASELINE + top + cheatLineOffsets[line], 1, 0);
    }
    int32_t lidLeft = pageLeft + CHEAT_LID_X - s, lidTop = top - s - lift;
    drawLidShadow(lidLeft, lidTop, s);
    blit(backSurface, lidLeft, lidTop, CHEAT_LID_WIDTH, CHEAT_LID_HEIGHT, page, CHEAT_LID_X, CHEAT_LID_Y, BLIT_COPY);
}

void renderInfoPage(void) {
    int32_t sy = flow.pageY;
    drawParallaxBackground();
    const Surface* page = flowPictures.infoPage;
    int32_t pageLeft = infoPageLeft();
    if (page != nullptr) {
        blit(backSurface, pageLeft, INFO_PAGE_TOP - sy, page->width, page->height, page, 0, 0, BLIT_COPY);
    }
    drawCheatPanel(pageLeft, sy);
    int phase = (int)(game.updateCounter & 31);
    if (sy > 0) {
        drawPowerUpMark(backSurface, ARROW_X, ARROW_UP_Y, phase, POWERUP_ZONE_UP);
    }
    if (sy < infoPageLimit()) {
        drawPowerUpMark(backSurface, ARROW_X, ARROW_DOWN_Y, phase, POWERUP_ZONE_DOWN);
    }
    drawCornerButton();
}
