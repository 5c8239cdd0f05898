// Overlay console (log window, menu bar, statistics tab) and the stylus cursor drawn over the game.
#pragma once

#include <cstdint>

// What each of the three panels (log window, menu, statistics tab) is doing: logState, menuState and
// statsState. Every panel halves its distance to the target each frame until it arrives, then stands
// still again.
enum PanelState {
    PANEL_STILL = 0,
    PANEL_RETRACTING = 1,           // sliding back to its corner, out of the way
    PANEL_OPENING = 2,              // log: dropping fully open; menu: popping up; statistics: popping out
    PANEL_LOG_TO_PEEK = 3,          // log only: dropping to the peek position an error line asks for
    PANEL_MENU_THEN_EXIT = 3,       // menu only: retracting, then the pressed button's action
    PANEL_MENU_THEN_BEGIN = 4,
    PANEL_MENU_THEN_SUSPEND = 5,
};

// Positions in logical screen pixels; see the panel rules in overlay.cpp. The initialisers are the state at
// program start, which resetOverlay restores.
struct OverlayState {
    int32_t off = 0;             // 1: overlay console neither drawn nor given input
    int32_t logX = 0, logY = 0;  // top-left of the log window's title tab; the text hangs above logY
    int32_t logState = PANEL_RETRACTING; // PanelState: still, retracting, opening or to the peek position
    int32_t visibleLines = 16;   // text lines of the log window
    int32_t scroll = 0;          // pixels, 0..visibleLines * 6 - 19
    int32_t dragMode = 0;        // 0 none, 1 dragging the log window, 100 dragging its scroll bar
    int32_t grabX = 0, grabY = 0; // stylus minus the window when a drag starts; for the scroll bar stylus y + scroll
    int32_t menuX = 0, menuY = 200; // the menu's tab hangs above menuY, its body below
    int32_t menuState = PANEL_RETRACTING; // PanelState: still, retracting, opening or retracting then an action
    int32_t statsX = 239;        // left edge of the statistics tab, which lies along the top of the screen
    int32_t statsState = PANEL_RETRACTING; // PanelState: still, retracting or opening
};

extern OverlayState overlay;
// 1 while the stylus cursor is drawn; each game mode sets it when entered.
extern int32_t showStylusCursor;

void resetOverlay(void);
// The log's request on an error line: a closed window drops to its peek position.
void overlayPeek(void);
// Draws the overlay console (when on) and the stylus cursor (when enabled) onto the back surface.
void drawOverlay(void);
// Offers a mouse or key message to the overlay while it is on; returns 1 when it consumed it.
int overlayInput(int32_t message, uint32_t wParam, int32_t lParam);
