// The game's state machine: what each mode loads on entry, does every update and frees on exit.
#pragma once

#include <cstdint>

#include "gfx/surface.h"

enum {
    MENU_ITEMS = 6,
    SPLASH_STEP = 10,        // counter rise per update
    SPLASH_LOAD_AT = 280,    // the counter value at which a splash does its loading
    SPLASH_HOLD_FROM = 281,  // from here on the counter rises only after the hold
    SPLASH_END_AFTER = 550,
    SCROLL_SPEED_LIMIT = 40,
    CHEAT_PANEL_FULL = 150,  // the panel's opening amount when fully open
    CHEAT_PANEL_OPEN = 100,  // above this the panel's lines take taps
    REVEAL_CELLS = 100,
    CHOOSER_SIZE = 240,      // the chooser overlay is 240 x 240 pixels
    CHOOSER_TOP = 80,        // screen row of the overlay's top
    CHOOSER_CELL = 24,
    CHOOSER_GRID = 10,       // the chooser's columns and rows of levels
    NAME_CHARS = 10,
    INFO_PAGE_TOP = 10,        // screen row of the information page's top at offset 0
    CORNER_BUTTON_WIDTH = 56,  // the corner back button takes taps right of and below these margins
    CORNER_BUTTON_HEIGHT = 52,
    // The cheat panel: a compartment of the information page under a lid of the page's own pixels.
    CHEAT_LID_X = 14,          // page pixels
    CHEAT_LID_Y = 2173,
    CHEAT_LID_WIDTH = 191,
    CHEAT_LID_HEIGHT = 106,
    CHEAT_LINES = 7,           // "Level Editor", then the six cheat options
    CHEAT_LINE_HEIGHT = 13,    // a line takes taps from its offset down to just above offset + 13
    CHEAT_LIFT_DELAY = 35,     // the lid lifts by (amount - 35) once the amount is above 35
    CHEAT_SHADOW_MAX = 5,
    FAT_PADDLE_ON = 6,         // pixels added to the paddle's half widths
    MAX_POWER_UP_ON = 1,       // power-ups last 1 + 1 times as long
};

// Rows of the cheat panel's lines below the compartment's top, pixels.
extern const int32_t cheatLineOffsets[CHEAT_LINES];

// Values of the screens around play; the play field's own values live with the play field.
struct FlowState {
    int32_t logoCounter;       // logo splash fade counter, +10 per update
    int32_t splashCounter;     // shared by the intro and monkey splashes
    int64_t logoStart;         // performance-counter ticks at the logo splash's first update
    int64_t splashStart;       // the same for the intro and monkey splashes
    int32_t pageX, pageY;      // page offsets of the scrolling screens, pixels
    int32_t backgroundRow;     // scroll row of "bg.png", 0 down to -(height - 1)
    int32_t scrollSpeed;       // information page key scrolling, -40..40 (half pixels per update)
    int32_t revealCounter;     // level chooser: cells revealed so far (0..100, then keeps counting)
    int32_t revealSweep;       // level chooser: first cell of the border sweep, 0..99
    int32_t menuGlow[MENU_ITEMS]; // main menu item glow, -31..0
    int32_t anchorX, anchorY;  // page drag anchor, page pixels
    int32_t selectedControlRow; // control row waiting for a key, -1 none
    char name[NAME_CHARS + 1]; // name being entered, zero-terminated
    int32_t nameLength;        // characters in name
};

// Pictures owned by the screens (null while not loaded) and the assets kept for the whole run.
struct FlowPictures {
    Surface* logo;           // "qzlogo.png"
    Surface* logoMaker;      // "8quorn.png"
    Surface* intro;          // "kvintro.png"
    Surface* monkey;         // "monkey.png"
    Surface* monkeyMouth;    // "monkeym.png", drawn while the jingle plays
    Surface* blackScreen;    // screen-sized black surface behind the monkey
    Surface* titleBack;      // "titleBack.png" with the menu items drawn in
    Surface* mainMenu;       // "mainMenu.png": item strips
    Surface* background;     // "bg.png", the scrolling background
    Surface* optionsWindow;  // "optionsWin.png"
    Surface* farewell;       // "pawall.png"
    Surface* exitPicture;    // "exit.png"
    Surface* infoPage;       // "strider.png"
    Surface* chooser;        // "choose.png"
    Surface* fontTickerTape; // "c_tickertape.png", behind font slot 0 (whole run)
    Surface* fontNeopolitical; // "c_neopolitical.png", behind font slot 1 (whole run)
};

extern FlowState flow;
extern FlowPictures flowPictures;

// Main menu: the item a stylus row falls on (truncating division), with or without the continue item.
int32_t menuItemAt(int32_t y);
// Information page: the largest vertical offset (page height + 20 - screen height, at least 0).
int32_t infoPageLimit(void);
// Information page: the left edge of the page on the screen.
int32_t infoPageLeft(void);
// Level chooser: 1 when the level index may be chosen on the current difficulty.
int levelSelectable(int32_t level);
// Abandons a game in progress: the level and its field picture are freed and the flag cleared.
void abandonGame(void);
