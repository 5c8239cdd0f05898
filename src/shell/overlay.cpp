// Overlay console (log window, menu bar, statistics tab) and the stylus cursor drawn over the game.
#include "shell/overlay.h"

#include <cstdio>

#include "gfx/blit.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "platform/platform.h"
#include "shell/display.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "shell/random.h"

// The process starts with the log window retracting at (0, 0), the menu retracting from y 200 to the
// bottom edge and the statistics tab retracted at the right edge.
OverlayState overlay;
int32_t showStylusCursor = 1;

namespace {

const int W = DEFAULT_WIDTH;
const int H = DEFAULT_HEIGHT;

// A rectangle of the overlay sheet (smallCharsSheet), pixels.
struct SheetPiece {
    int x, y, width, height;
    int32_t mode;
};

const SheetPiece LOG_TOP_EDGE = {0, 88, 194, 2, BLIT_COPY};
const SheetPiece LOG_LINE = {0, 90, 194, 6, BLIT_COPY};
const SheetPiece LOG_BOTTOM_EDGE = {0, 96, 194, 2, BLIT_COPY};
const SheetPiece LOG_TITLE = {0, 97, 62, 9, BLIT_TRANSPARENT};
const SheetPiece SCROLL_THUMB = {231, 0, 9, 20, BLIT_COPY};
const SheetPiece STATS_HANDLE = {203, 89, 6, 9, BLIT_TRANSPARENT};
const SheetPiece STATS_CELL = {209, 89, 31, 9, BLIT_COPY};
const SheetPiece MENU_TAB = {77, 98, 42, 8, BLIT_TRANSPARENT};
const SheetPiece MENU_BODY = {77, 106, 163, 29, BLIT_COPY};

enum { BUTTON_SIZE = 20, BUTTON_COUNT = 3 };

// The menu's buttons from left to right, with the menu state a press on each asks for.
struct MenuButton {
    int offsetX;            // from the menu's x, pixels
    SheetPiece picture;
    const char* name;       // drawn beside the menu while the stylus holds the button
    const char* logLine;
    int32_t menuState;      // retract, then perform this button's action
};

const MenuButton BUTTONS[BUTTON_COUNT] = {
    {10, {0, 107, BUTTON_SIZE, BUTTON_SIZE, BLIT_COPY}, "Begin", "Menu: Begin\n", PANEL_MENU_THEN_BEGIN},
    {32, {40, 107, BUTTON_SIZE, BUTTON_SIZE, BLIT_COPY}, "Pause", "Menu: Suspend\n", PANEL_MENU_THEN_SUSPEND},
    {54, {20, 107, BUTTON_SIZE, BUTTON_SIZE, BLIT_COPY}, "Exit", "Menu: Exit\n", PANEL_MENU_THEN_EXIT},
};

enum { DRAG_NONE = 0, DRAG_WINDOW = 1, DRAG_SCROLL_BAR = 100 };

bool within(int v, int lo, int hi) {
    return v >= lo && v <= hi;
}

void drawPiece(const SheetPiece& piece, int x, int y) {
    if (backSurface == nullptr || smallCharsSheet == nullptr) {
        return;
    }
    blit(backSurface, x, y, piece.width, piece.height, smallCharsSheet, piece.x, piece.y, piece.mode, 0);
}

// Largest scroll offset: the thumb travels the text area's height less its own.
int maxScroll(void) {
    return overlay.visibleLines * 6 - 19;
}

// ---- Drawing and motion, one frame each ----

// Rows are counted upwards from the window's bottom edge; line 0 of the buffer (the line being
// written) is skipped while it is still empty.
void drawLogWindow(void) {
    const int x1 = overlay.logX, y1 = overlay.logY;
    const int lines = overlay.visibleLines;
    const int range = maxScroll();
    int first = range > 0 ? (overlay.scroll * 100 / range) * (100 - lines - 1) / 100 : 0;
    if (logBuffer.column == 0) {
        first++;
    }
    int top = y1 - 3 - lines * 6;
    if (within(top, -1, H - 1)) {
        drawPiece(LOG_TOP_EDGE, x1, top);
    }
    char glyph[2] = {0, 0};
    for (int i = 0; i < lines; i++) {
        int y = y1 - 7 - 6 * i;
        if (!within(y, -5, H - 1)) {
            continue;
        }
        drawPiece(LOG_LINE, x1, y);
        int line = first + i;
        if (line < 0 || line >= LOG_LINES) {
            continue;
        }
        for (int c = 0; c < LOG_COLUMNS && logBuffer.text[line][c] != 0; c++) {
            glyph[0] = logBuffer.text[line][c];
            drawConsoleText(glyph, x1 + 6 * c + 2, y, logBuffer.colours[line][c]);
        }
    }
    if (within(y1 - 1, 1, H - 1)) {
        drawPiece(LOG_BOTTOM_EDGE, x1, y1 - 1);
    }
    if (within(y1, -9, H - 1)) {
        drawPiece(LOG_TITLE, x1, y1);
    }
    if (y1 - 1 > 0) {
        drawPiece(SCROLL_THUMB, x1 + 183, y1 - 21 - overlay.scroll);
    }
}

// Each frame halves the distance to the target. Shifts of negative distances round down, so a
// window approaching from below settles one pixel short and keeps its state.
void moveLogWindow(void) {
    const int open = overlay.visibleLines * 6;
    switch (overlay.logState) {
    case PANEL_RETRACTING:
        overlay.logX >>= 1;
        overlay.logY >>= 1;
        if (overlay.logX == 0 && overlay.logY == 0) {
            overlay.logState = PANEL_STILL;
        }
        break;
    case PANEL_OPENING:
        overlay.logX >>= 1;
        overlay.logY = ((overlay.logY - open) >> 1) + open;
        if (overlay.logX == 0 && overlay.logY == open) {
            overlay.logState = PANEL_STILL;
        }
        break;
    case PANEL_LOG_TO_PEEK:
        overlay.logX >>= 1;
        overlay.logY = ((overlay.logY - 30) >> 1) + 30;
        if (overlay.logX == 0 && overlay.logY == 30) {
            overlay.logState = PANEL_STILL;
        }
        break;
    default:
        break;
    }
}

void drawStatistic(int value, int y) {
    char text[16];
    snprintf(text, sizeof(text), "%d", value);
    drawPiece(STATS_CELL, overlay.statsX + 1, y);
    drawConsoleText(text, overlay.statsX + 4, y + 2, 0);
}

// The targets are reached from one side only, so the last pixel is stepped explicitly.
void drawStatisticsTab(void) {
    const int x3 = overlay.statsX;
    if (x3 - 5 < W) {
        drawPiece(STATS_HANDLE, x3 - 5, 0);
    }
    if (x3 < W - 1) {
        drawStatistic(mainLoop.presentsLastSecond, 0);
        drawStatistic(mainLoop.updatesLastSecond, 9);
    }
    if (overlay.statsState == PANEL_RETRACTING) {
        overlay.statsX = ((overlay.statsX - (W - 1)) >> 1) + W - 1;
        if (overlay.statsX == W - 2) {
            overlay.statsX = W - 1;
        }
        if (overlay.statsX == W - 1) {
            overlay.statsState = PANEL_STILL;
        }
    } else if (overlay.statsState == PANEL_OPENING) {
        overlay.statsX = ((overlay.statsX - (W - 24)) >> 1) + W - 24;
        if (overlay.statsX == W - 25) {
            overlay.statsX = W - 24;
        }
        if (overlay.statsX == W - 24) {
            overlay.statsState = PANEL_STILL;
        }
    }
}

// A pressed button's action waits until the menu has slid fully out of sight.
void retractMenu(void) {
    const int32_t state = overlay.menuState;
    if (state != PANEL_RETRACTING && state != PANEL_MENU_THEN_EXIT && state != PANEL_MENU_THEN_BEGIN &&
        state != PANEL_MENU_THEN_SUSPEND) {
        return;
    }
    if (overlay.menuX == 0 && overlay.menuY == H - 1) {
        if (state == PANEL_MENU_THEN_EXIT) {
            platformSendMessage(MSG_CLOSE, 0, 0);
        } else if (state == PANEL_MENU_THEN_BEGIN) {
            logColoured(1, "Button messages are\nreported to the console.\n\n", LOG_RED);
        } else if (state == PANEL_MENU_THEN_SUSPEND) {
            setAppActive(0);
        }
        overlay.menuState = PANEL_STILL;
    }
    overlay.menuX >>= 1;
    overlay.menuY = ((overlay.menuY - (H - 1)) >> 1) + H - 1;
    if (overlay.menuY == H - 2) {
        overlay.menuY = H - 1;
    }
}

bool stylusInButton(const MenuButton& button) {
    int bx = overlay.menuX + button.offsetX;
    int by = overlay.menuY + 5;
    return stylus.x >= bx && stylus.x < bx + BUTTON_SIZE && stylus.y >= by && stylus.y < by + BUTTON_SIZE;
}

// A held button shows its name and flickers: each of its pixels gains a fresh random amount,
// column by column.
void drawMenu(void) {
    const int x2 = overlay.menuX, y2 = overlay.menuY;
    if (within(y2 - 7, -6, H - 1)) {
        drawPiece(MENU_TAB, x2, y2 - 7);
    }
    if (within(y2 + 1, 1, H - 1)) {
        drawPiece(MENU_BODY, x2, y2 + 1);
    }
    if (!within(y2 + 5, -19, H - 1)) {
        return;
    }
    for (const MenuButton& button : BUTTONS) {
        int bx = x2 + button.offsetX;
        drawPiece(button.picture, bx, y2 + 5);
        if (stylus.down && stylusInButton(button)) {
            drawConsoleText(button.name, x2 + 90, y2 + 5, 0);
            for (int i = 0; i < BUTTON_SIZE; i++) {
                for (int j = 0; j < BUTTON_SIZE; j++) {
                    brightenPixel(backSurface, bx + i, y2 + 5 + j, gameRand() & 15);
                }
            }
        }
    }
}

void popMenu(void) {
    if (overlay.menuState != PANEL_OPENING) {
        return;
    }
    overlay.menuX >>= 1;
    overlay.menuY = ((overlay.menuY - (H - 30)) >> 1) + H - 30;
    if (overlay.menuX == 0 && overlay.menuY == H - 30) {
        overlay.menuState = PANEL_STILL;
    }
}

void drawConsole(void) {
    drawLogWindow();
    moveLogWindow();
    drawStatisticsTab();
    retractMenu();
    drawMenu();
    popMenu();
}

// Brackets around the stylus; while it is down also a sparse full-screen crosshair and wider
// brackets. The crosshair draws from the shared generator even with the stylus up, for every
// candidate far enough from the stylus.
void drawStylusCursor(void) {
    Surface* back = backSurface;
    const int sx = stylus.x, sy = stylus.y;
    for (int i = -9; i <= 9; i++) {
        if (i > 3 || i < -3) {
            brightenPixel(back, sx + i, sy - 10, 9);
            brightenPixel(back, sx + i, sy + 10, 9);
        }
    }
    for (int i = -9; i <= 9; i++) {
        if (i > 3 || i < -3) {
            brightenPixel(back, sx - 10, sy + i, 9);
            brightenPixel(back, sx + 10, sy + i, 9);
        }
    }
    const int k = stylus.down ? 1 : 255;
    for (int x = -50; x <= W + 49; x++) {
        int distance = x - sx;
        if (distance > k || distance < -k) {
            int r = gameRand() & 255;
            if (r > k) {
                brightenPixel(back, x + k, sy + k, 5);
            }
        }
    }
    for (int y = -50; y <= H + 49; y++) {
        int distance = y - sy;
        if (distance > k || distance < -k) {
            int r = gameRand() & 255;
            if (r > k) {
                brightenPixel(back, sx + k, y + k, 5);
            }
        }
    }
    const int gap = (k >> 2) + 3;
    for (int i = -19; i <= 19; i++) {
        if (i > gap || i < -gap) {
            brightenPixel(back, sx + i, sy - 20, 5);
            brightenPixel(back, sx + i, sy + 20, 5);
        }
    }
    for (int i = -19; i <= 19; i++) {
        if (i > gap || i < -gap) {
            brightenPixel(back, sx - 20, sy + i, 5);
            brightenPixel(back, sx + 20, sy + i, 5);
        }
    }
}

// ---- Input ----

bool onLogTitle(int x, int y) {
    return within(x, overlay.logX, overlay.logX + 62) && within(y, overlay.logY, overlay.logY + 9);
}

bool onLogText(int x, int y) {
    return within(x, overlay.logX, overlay.logX + 183) &&
           within(y, overlay.logY - overlay.visibleLines * 6 - 2, overlay.logY - 1);
}

bool onScrollBar(int x, int y) {
    return within(x, overlay.logX + 184, overlay.logX + 194) &&
           within(y, overlay.logY - overlay.visibleLines * 6 - 2, overlay.logY - 1);
}

bool onMenu(int x, int y) {
    const int x2 = overlay.menuX, y2 = overlay.menuY;
    return (within(x, x2, x2 + 42) && within(y, y2 - 9, y2)) ||
           (within(x, x2, x2 + 163) && within(y, y2 + 1, y2 + 30));
}

bool onStatisticsTab(int x, int y) {
    return within(x, overlay.statsX - 6, overlay.statsX + 30) && within(y, 0, 8);
}

// The button under the stylus asks the menu to retract and then act; returns whether one was hit.
bool pressButton(void) {
    for (const MenuButton& button : BUTTONS) {
        if (stylusInButton(button)) {
            logMessage(1, button.logLine);
            overlay.menuState = button.menuState;
            return true;
        }
    }
    return false;
}

// A release that ends a drag, or a slow release over a button.
bool slowRelease(void) {
    if (overlay.dragMode == DRAG_NONE) {
        // A release exactly an eighth of a second after its press is neither quick nor slow.
        return stylus.lastRelease - stylus.lastPress > (mainLoop.ticksPerSecond >> 3) && pressButton();
    }
    if (overlay.dragMode == DRAG_SCROLL_BAR) {
        logMessage(2, "Panel1 Scrollbar Drop\n");
    } else if (overlay.logX == 0 && overlay.logY == 0) {
        logMessage(2, "Panel1 Pop\n");
        overlay.logState = PANEL_OPENING;
    } else if (overlay.logY < 4 || overlay.logX > 235 || overlay.logX < -40 || overlay.logY > 315) {
        // Dropped (nearly) off the screen: it goes back to its corner.
        logMessage(2, "Panel1 Retract\n");
        overlay.logState = PANEL_RETRACTING;
    } else {
        logMessage(2, "Panel1 Drop\n");
    }
    overlay.dragMode = DRAG_NONE;
    return true;
}

bool press(void) {
    if (overlay.dragMode != DRAG_NONE) {
        return false;
    }
    if (onLogTitle(stylus.x, stylus.y) || onLogText(stylus.x, stylus.y)) {
        overlay.dragMode = DRAG_WINDOW;
        logMessage(2, "Panel1 Drag\n");
        overlay.grabX = stylus.x - overlay.logX;
        overlay.grabY = stylus.y - overlay.logY;
        return true;
    }
    if (onScrollBar(stylus.x, stylus.y)) {
        overlay.dragMode = DRAG_SCROLL_BAR;
        logMessage(2, "Panel1 Scrollbar Drag\n");
        overlay.grabY = stylus.y + overlay.scroll;
        return true;
    }
    return false;
}

bool move(void) {
    if (overlay.dragMode == DRAG_SCROLL_BAR) {
        overlay.logState = PANEL_STILL;
        int s = overlay.grabY - stylus.y;
        int top = maxScroll();
        overlay.scroll = s < 0 ? 0 : (s > top ? top : s);
        return true;
    }
    if (overlay.dragMode == DRAG_WINDOW) {
        overlay.logState = PANEL_STILL;
        overlay.logX = stylus.x - overlay.grabX;
        overlay.logY = stylus.y - overlay.grabY;
        return true;
    }
    return false;
}

bool quickTapOnPanel(void) {
    // A quick tap ends any drag its press began; without this a tap on the scroll bar would leave
    // the log scrolling under a lifted stylus.
    overlay.dragMode = DRAG_NONE;
    const int x = stylus.x, y = stylus.y;
    if (onStatisticsTab(x, y)) {
        if (overlay.statsX >= W - 1) {
            overlay.statsState = PANEL_OPENING;
            logMessage(2, "Panel3 Pop\n");
        } else {
            overlay.statsState = PANEL_RETRACTING;
            logMessage(2, "Panel3 Retract\n");
        }
        return true;
    }
    if (pressButton()) {
        return true;
    }
    if (onMenu(x, y)) {
        if (overlay.menuY >= H - 10) {
            overlay.menuState = PANEL_OPENING;
            logMessage(2, "Panel2 Pop\n");
        } else {
            overlay.menuState = PANEL_RETRACTING;
            logMessage(2, "Panel2 Retract\n");
        }
        return true;
    }
    if (onLogTitle(x, y)) {
        if (overlay.logY < 20) {
            overlay.logState = PANEL_OPENING;
            logMessage(2, "Panel1 Pop\n");
        } else {
            overlay.logState = PANEL_RETRACTING;
            logMessage(2, "Panel1 Retract\n");
        }
        return true;
    }
    if (onLogText(x, y)) {
        overlay.logState = PANEL_RETRACTING;
        return true;
    }
    return false;
}

}  // namespace

void resetOverlay(void) {
    overlay = OverlayState{};
}

void overlayPeek(void) {
    if (overlay.logState != PANEL_OPENING && overlay.logY < 20) {
        overlay.logState = PANEL_LOG_TO_PEEK;
    }
}

void drawOverlay(void) {
    if (backSurface == nullptr) {
        return;
    }
    if (overlay.off == 0) {
        drawConsole();
    }
    if (showStylusCursor) {
        drawStylusCursor();
    }
}

int overlayInput(int32_t message, uint32_t wParam, int32_t lParam) {
    (void)wParam;
    (void)lParam;
    bool consumed = false;
    if (message == MSG_LBUTTONUP) {
        consumed = stylus.quickTap ? quickTapOnPanel() : slowRelease();
    } else if (message == MSG_LBUTTONDOWN) {
        consumed = press();
    } else if (message == MSG_MOUSEMOVE) {
        consumed = move();
    }
    return consumed ? 1 : 0;
}
