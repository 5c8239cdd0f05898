// renderMode: the frame of every mode; the shared backgrounds, the corner button, splashes and menus.
#include "game/render.h"

#include <cstdio>
#include <cstring>

#include "field/effects.h"
#include "field/gamevalues.h"
#include "game/game.h"
#include "game/layout.h"
#include "game/modes.h"
#include "game/pages.h"
#include "game/renderplay.h"
#include "game/settings.h"
#include "gfx/blit.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "shell/display.h"
#include "shell/input.h"
#include "shell/mainloop.h"
#include "shell/random.h"
#include "sound/mixer.h"
#include "sound/music.h"

RenderState renderState = {0};

enum {
    MENU_LEFT = 82,
    MENU_TOP = 122,
    MENU_ROW = 24,
    MENU_ITEM_SOURCE = 2,      // first item's row in "mainMenu.png"
    MONKEY_MOUTH_X = 104,      // the mouth overlay's place in the monkey picture
    MONKEY_MOUTH_Y = 128,
};

static const uint16_t YELLOW = packColour(31, 31, 0);

// ---- Shared pieces ----------------------------------------------------------------------------------

int32_t splashBrightness(int32_t counter) {
    int32_t a = counter > SPLASH_FADE_FROM ? 255 - (counter - SPLASH_FADE_FROM) : counter;
    return a < 0 ? 0 : (a > 255 ? 255 : a);
}

void drawScrollingBackground(void) {
    const Surface* bg = flowPictures.background;
    if (bg == nullptr || backSurface == nullptr) {
        return;
    }
    int32_t h = bg->height, r = flow.backgroundRow;
    blit(backSurface, 0, -r - h, bg->width, h, bg, 0, 0, BLIT_COPY);
    blit(backSurface, 0, -r, bg->width, h, bg, 0, 0, BLIT_COPY);
    if (h < r + DEFAULT_HEIGHT) {
        blit(backSurface, 0, h - r, bg->width, h, bg, 0, 0, BLIT_COPY);
    }
}

void drawParallaxBackground(void) {
    if (flowPictures.background == nullptr || backSurface == nullptr) {
        return;
    }
    tileSurface(backSurface, 0, 0, backSurface->width, backSurface->height, flowPictures.background,
                flow.pageX >> 1, flow.pageY >> 1);
}

void drawCornerButton(void) {
    if (stylus.x > CORNER_BUTTON_X && stylus.y > CORNER_BUTTON_Y) {
        if (renderState.cornerHover < CORNER_HOVER_MAX) {
            renderState.cornerHover++;
        }
    } else {
        renderState.cornerHover = 0;
    }
    if (effects.iconsPicture == nullptr || backSurface == nullptr) {
        return;
    }
    blit(backSurface, CORNER_BUTTON_X - 3, CORNER_BUTTON_Y - 4, 60, 56, effects.iconsPicture, 103, 1, BLIT_ADDITIVE,
         (CORNER_HOVER_MAX - renderState.cornerHover) * -2);
    blitMasked(backSurface, CORNER_BUTTON_X, CORNER_BUTTON_Y, 51, 47, effects.iconsPicture, 1, 0, effects.iconsPicture,
               52, 1);
    if (renderState.cornerHover > 0) {
        blit(backSurface, CORNER_BUTTON_X, CORNER_BUTTON_Y, 51, 47, effects.iconsPicture, 1, 0, BLIT_SPARKLE, 3);
    }
}

int32_t centredTextX(const char* text, int slot) {
    if (fonts[slot] == nullptr) {
        return DEFAULT_WIDTH / 2;
    }
    return DEFAULT_WIDTH / 2 - textWidth(text, slot) / 2;
}

int32_t centredSmallTextX(const char* text) {
    return DEFAULT_WIDTH / 2 - 3 * (int32_t)strlen(text);
}

void jitter(int32_t* x, int32_t* y) {
    *x += gameRand() & 1;
    *y += gameRand() & 1;
}

void drawTextAt(const char* text, int32_t x, int32_t y, int slot, int jittered) {
    if (jittered) {
        jitter(&x, &y);
    }
    // The fonts arrive with the intro splash; nothing that draws text runs before it, but a missing
    // font picture must not stop the screen.
    if (fonts[slot] == nullptr || backSurface == nullptr) {
        return;
    }
    drawText(backSurface, text, x, y, slot);
}

// ---- Suspended ---------------------------------------------------------------------------------------

enum {
    PAUSE_TEXT_Y = 164,     // the caption's baseline
    PAUSE_BAND_ABOVE = 20,  // the caption sits on a darker band from this far above its baseline
    PAUSE_BAND_BELOW = 6,   // to this far below
};

void renderPauseFrame(Surface* dst, const Surface* last) {
    for (int y = 0; y < dst->height && y < last->height; y++) {
        for (int x = 0; x < dst->width && x < last->width; x++) {
            // Every component halved (a quarter on the caption's band) in place; bit 5 stays clear.
            bool band = y >= PAUSE_TEXT_Y - PAUSE_BAND_ABOVE && y <= PAUSE_TEXT_Y + PAUSE_BAND_BELOW;
            uint16_t c = getPixel(last, x, y);
            putPixel(dst, x, y, band ? (uint16_t)((c >> 2) & 0x39C7) : (uint16_t)((c >> 1) & 0x7BCF));
        }
    }
    static const char* const text = "Paused - click to go on";
    const uint16_t white = packColour(31, 31, 31);
    if (fonts[0] != nullptr && textWidth(text, 0) <= dst->width) {
        drawTextColoured(dst, text, (dst->width - textWidth(text, 0)) / 2, PAUSE_TEXT_Y, 0, white);
    } else {
        drawSmallText(dst, text, centredSmallTextX(text), PAUSE_TEXT_Y, white);
    }
}

// ---- Splashes ---------------------------------------------------------------------------------------

static void drawLoadingText(uint16_t grey) {
    drawSmallText(backSurface, "...Loading...", centredSmallTextX("...Loading..."), LOADING_TEXT_Y, grey);
}

static void blendCentred(const Surface* picture, int32_t y, int32_t a) {
    if (picture == nullptr) {
        return;
    }
    blit(backSurface, DEFAULT_WIDTH / 2 - picture->width / 2, y, picture->width, picture->height, picture, 0, 0,
         BLIT_ALPHA_BLEND, a);
}

static void renderLogoSplash(void) {
    clearSurface(backSurface);
    int32_t counter = flow.logoCounter;
    int32_t a = splashBrightness(counter);
    int32_t d = ((counter < 230 ? counter : 230) >> 4) - 20;
    const Surface* logo = flowPictures.logo;
    const Surface* maker = flowPictures.logoMaker;
    int32_t h1 = logo != nullptr ? logo->height : 0;
    int32_t h2 = maker != nullptr ? maker->height : 0;
    blendCentred(logo, 160 - h1 / 2 - 50 - d, a);
    blendCentred(maker, 160 - h2 / 2 + 60 + d, a);
    int g = a >> 4;
    uint16_t grey = packColour(g, g, g);
    drawSmallText(backSurface, "Built on", centredSmallTextX("Built on"), 160 - h2 / 2 + 51 + d, grey);
    drawSmallText(backSurface, "Technology", centredSmallTextX("Technology"), 160 - h2 / 2 + 64 + d + h2, grey);
    drawLoadingText(grey);
}

static void renderIntroSplash(void) {
    clearSurface(backSurface);
    int32_t a = splashBrightness(flow.splashCounter);
    const Surface* intro = flowPictures.intro;
    if (intro != nullptr) {
        blendCentred(intro, DEFAULT_HEIGHT / 2 - intro->height / 2, a);
    }
    drawLoadingText(packColour(a >> 3, a >> 3, a >> 3));
}

static void renderMonkeySplash(void) {
    if (flowPictures.blackScreen != nullptr) {
        blit(backSurface, 0, 0, flowPictures.blackScreen->width, flowPictures.blackScreen->height,
             flowPictures.blackScreen, 0, 0, BLIT_COPY);
    } else {
        clearSurface(backSurface);
    }
    int32_t a = splashBrightness(flow.splashCounter);
    const Surface* monkey = flowPictures.monkey;
    const Surface* mouth = flowPictures.monkeyMouth;
    if (monkey != nullptr) {
        int32_t left = DEFAULT_WIDTH / 2 - monkey->width / 2;
        int32_t top = DEFAULT_HEIGHT / 2 - monkey->height / 2;
        blendCentred(monkey, top, a);
        // The mouth moves while the jingle (or any sound) plays.
        if (mouth != nullptr && liveVoiceCount() > 0) {
            int32_t x = left + MONKEY_MOUTH_X, y = top + MONKEY_MOUTH_Y;
            blit(backSurface, x, y, mouth->width, mouth->height, mouth, 0, 0, BLIT_FILL, 0);
            blit(backSurface, x, y, mouth->width, mouth->height, mouth, 0, 0, BLIT_ALPHA_BLEND, a);
        }
    }
    drawLoadingText(packColour(a >> 3, a >> 3, a >> 3));
}

// ---- Main menu, options, name entry, farewell -------------------------------------------------------

static void renderMainMenu(void) {
    if (flowPictures.titleBack != nullptr) {
        blitCentred(backSurface, flowPictures.titleBack);
    }
    const Surface* strips = flowPictures.mainMenu;
    if (strips == nullptr) {
        return;
    }
    int g = game.gameInProgress ? 1 : 0;
    for (int i = g ? 0 : 1; i < MENU_ITEMS; i++) {
        blit(backSurface, MENU_LEFT, MENU_TOP + MENU_ROW * i + 12 * g, strips->width, MENU_ROW, strips, 0,
             MENU_ITEM_SOURCE + MENU_ROW * i, BLIT_ADDITIVE, flow.menuGlow[i]);
    }
}

static const char* const difficultyTexts[DIFFICULTY_COUNT] = {
    "Difficulty: Easy", "Difficulty: Medium", "Difficulty: Hard", "Difficulty: Insane"};

static void renderOptions(void) {
    drawScrollingBackground();
    const Surface* window = flowPictures.optionsWindow;
    if (window != nullptr) {
        int32_t w = window->width, h = window->height;
        int32_t left = DEFAULT_WIDTH / 2 - w / 2, top = OPTIONS_CENTRE_Y - h / 2;
        int32_t knobRow = h - OPTIONS_KNOB_HEIGHT;
        blit(backSurface, left, top, w, knobRow, window, 0, 0, BLIT_COPY);
        blit(backSurface, left + OPTIONS_SLIDER_LEFT + getVolume(0) / 2, top + optionsAreas[OPTIONS_EFFECTS_SLIDER].top,
             OPTIONS_KNOB_WIDTH, OPTIONS_KNOB_HEIGHT, window, 0, knobRow, BLIT_TRANSPARENT);
        blit(backSurface, left + OPTIONS_SLIDER_LEFT + music.volume / 2, top + optionsAreas[OPTIONS_MUSIC_SLIDER].top,
             OPTIONS_KNOB_WIDTH, OPTIONS_KNOB_HEIGHT, window, 0, knobRow, BLIT_TRANSPARENT);
        // Values read unchecked from the settings file are shown, and kept, as their defaults.
        normaliseSettings();
        drawTextAt(difficultyTexts[game.difficulty - 1], left + OPTIONS_DIFFICULTY_TEXT_X,
                   top + OPTIONS_DIFFICULTY_TEXT_Y, 1, 0);
        drawTextAt(game.helpfulHints ? "Helpful Hints: ON" : "Helpful Hints: OFF", left + OPTIONS_HINTS_TEXT_X,
                   top + OPTIONS_HINTS_TEXT_Y, 1, 0);
    }
    drawCornerButton();
}

static void renderNameEntry(void) {
    drawScrollingBackground();
    drawTextAt("Congratulations!", centredTextX("Congratulations!", 0), 20, 0, 0);
    char text[32];
    snprintf(text, sizeof(text), "Score %d", (int)game.score);
    drawSmallText(backSurface, text, centredSmallTextX(text), 32, YELLOW);
    drawTextAt("Enter your name:", centredTextX("Enter your name:", 1), 50, 1, 0);
    drawTextAt(flow.name, centredTextX(flow.name, 0), 80, 0, 0);
    for (int r = 0; r < KEYBOARD_ROWS; r++) {
        for (int c = 0; c < KEYBOARD_COLUMNS; c++) {
            char key[2] = {(char)(KEYBOARD_FIRST_CHAR + c + KEYBOARD_COLUMNS * r), 0};
            drawTextAt(key, KEYBOARD_TEXT_X + KEYBOARD_PITCH_X * c, KEYBOARD_TEXT_Y + KEYBOARD_PITCH_Y * r, 1, 1);
        }
    }
    drawTextAt("ERASE", 5, 310, 0, 1);
    drawTextAt("DONE", 235 - (fonts[0] != nullptr ? textWidth("DONE", 0) : 0), 310, 0, 1);
}

static void renderPictureCentred(const Surface* picture) {
    if (picture == nullptr) {
        clearSurface(backSurface);
        return;
    }
    blitCentred(backSurface, picture);
}

// ---- Dispatch ---------------------------------------------------------------------------------------

int32_t renderMode(int32_t mode) {
    if (backSurface == nullptr) {
        return mode;
    }
    switch (mode) {
    case MODE_SPLASH_LOGO:
        renderLogoSplash();
        break;
    case MODE_SPLASH_INTRO:
        renderIntroSplash();
        break;
    case MODE_SPLASH_MONKEY:
        renderMonkeySplash();
        break;
    case MODE_MAIN_MENU:
        renderMainMenu();
        break;
    case MODE_OPTIONS:
        renderOptions();
        break;
    case MODE_CONTROL_CONFIG:
        renderControlConfig();
        break;
    case MODE_HIGH_SCORES:
        renderHighScores();
        break;
    case MODE_NAME_ENTRY:
        renderNameEntry();
        break;
    case MODE_FAREWELL:
        renderPictureCentred(flowPictures.farewell);
        break;
    case MODE_EXIT:
        renderPictureCentred(flowPictures.exitPicture);
        break;
    case MODE_INFO_PAGE:
        renderInfoPage();
        break;
    case MODE_LEVEL_SELECT:
        renderLevelSelect();
        break;
    case MODE_PLAY:
        renderPlay();
        break;
    case MODE_GAME_OVER:
        renderGameOver();
        break;
    case MODE_EDITOR:
        renderEditor();
        break;
    default:
        break;
    }
    return mode;
}
