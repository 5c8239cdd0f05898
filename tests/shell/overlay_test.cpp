// The overlay console switched on: panel motion, drawing, drags and taps, the menu's actions, the
// error peek, and the stylus cursor's pixels.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "gfx/draw.h"
#include "gfx/surface.h"
#include "platform/headless/headless.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "shell/overlay.h"
#include "shell/random.h"
#include "support/testutil.h"

namespace {

const uint16_t BACKGROUND = packColour(2, 3, 4);
const int64_t SECOND = HEADLESS_TICKS_PER_SECOND;
const int64_t EIGHTH = SECOND >> 3;  // 125000 ticks

// ---- A sheet of our own, so every panel pixel is known ----

// Panel areas: red and green give the sheet position modulo 32, blue is never 0.
uint16_t sheetColour(int x, int y) {
    return packColour(x & 31, y & 31, 1 + (x >> 5) + ((y >> 5) & 1) * 8);
}

// Glyph ink of the small font's cell for `code` (codes below 1 use cell 0).
bool ink(int code, int i, int j) {
    int k = code - 1 < 0 ? 0 : code - 1;
    return (i + 2 * j + k) % 5 == 0;
}

// Transparent holes: the log title's last column, the menu tab's first row, the stats handle's
// first column.
bool hole(int x, int y) {
    return (x == 61 && y >= 98 && y <= 105) || (y == 98 && x >= 77 && x <= 118) ||
           (x == 203 && y >= 89 && y <= 97);
}

uint16_t sheetPixel(int x, int y) {
    if (x < 224 && y < 88) {
        int col = (x - 1) / 7, row = (y - 3) / 11;
        int i = (x - 1) % 7, j = (y - 3) % 11;
        if (x >= 1 && y >= 3 && row < 4 && i < 6 && j < 6 && ink(row * 32 + col + 1, i, j)) {
            return packColour(31, 31, 31);
        }
        return 0;
    }
    return hole(x, y) ? 0 : sheetColour(x, y);
}

Surface* makeSheet(void) {
    Surface* sheet = createSurface(240, 135);
    for (int y = 0; y < 135; y++) {
        for (int x = 0; x < 240; x++) {
            putPixel(sheet, x, y, sheetPixel(x, y));
        }
    }
    return sheet;
}

uint16_t px(int x, int y) {
    return getPixel(backSurface, x, y);
}

void fillBack(uint16_t colour) {
    for (int y = 0; y < 320; y++) {
        for (int x = 0; x < 240; x++) {
            putPixel(backSurface, x, y, colour);
        }
    }
}

int32_t position(int x, int y) {
    return (int32_t)(((uint32_t)y & 0xFFFF) << 16 | ((uint32_t)x & 0xFFFF));
}

std::string logLine(int n) {
    return std::string(logBuffer.text[n], strnlen(logBuffer.text[n], LOG_COLUMNS));
}

// The last complete line of the log.
std::string lastLogLine(void) {
    return logLine(logBuffer.column == 0 ? 1 : 0);
}

// Checks one character of small text drawn at (x, y) in `colour` over a known background.
void expectGlyph(char code, int x, int y, uint16_t colour, const std::function<uint16_t(int, int)>& under) {
    for (int j = 0; j < 6; j++) {
        for (int i = 0; i < 6; i++) {
            uint16_t expected = ink(code, i, j) ? colour : under(i, j);
            ASSERT_EQ(px(x + i, y + j), expected) << "'" << code << "' pixel " << i << "," << j;
        }
    }
}

std::vector<int32_t> gameMessages;
void recordGameInput(int32_t message, uint32_t wParam, int32_t value) {
    gameMessages.push_back(message);
}

class Overlay : public ::testing::Test {
protected:
    void SetUp() override {
        headlessReset();
        resetLoopState();
        clearLog();
        logLevel = 2;
        buildLogColours();
        resetOverlay();
        overlay.off = 0;
        showStylusCursor = 0;
        stylusX = stylusY = stylusDown = 0;
        quickTap = 0;
        lastPress = lastRelease = 0;
        ticksPerSecond = SECOND;
        appActive = 1;
        backSurface = createSurface(240, 320);
        fillBack(BACKGROUND);
        smallCharsSheet = makeSheet();
        gameMessages.clear();
        gameInterface.input = recordGameInput;
        platformCreateWindow("Plinkor", 0, 240, 320, windowProc);
        seedGameRand(1);
    }
    void TearDown() override {
        removeSurface(&backSurface);
        removeSurface(&smallCharsSheet);
        logLevel = 0;
    }

    // Stylus messages through the window procedure, on the virtual clock.
    void press(int x, int y) {
        headlessSetCounter(now);
        windowProc(MSG_LBUTTONDOWN, 1, position(x, y));
    }
    void moveTo(int x, int y) {
        headlessSetCounter(now);
        windowProc(MSG_MOUSEMOVE, 0, position(x, y));
    }
    void release(int x, int y, int64_t held) {
        now += held;
        headlessSetCounter(now);
        windowProc(MSG_LBUTTONUP, 0, position(x, y));
        now += SECOND;
    }
    void quickTapAt(int x, int y) {
        press(x, y);
        release(x, y, 1000);
    }
    void frames(int n) {
        for (int i = 0; i < n; i++) {
            drawOverlay();
        }
    }
    // Lets the start-up motion finish: log window closed, menu at the bottom edge, stats retracted.
    void settle() { frames(8); }
    // Menu popped up at y 290.
    void openMenu() {
        overlay.menuY = 290;
        overlay.menuState = 0;
    }

    int64_t now = SECOND;
};

}  // namespace

// ---- Motion ----

TEST_F(Overlay, PanelsSettleFromTheirStartPositionsFrameByFrame) {
    const int menuY[] = {259, 289, 304, 311, 315, 317, 319, 319, 319};
    const int menuState[] = {1, 1, 1, 1, 1, 1, 1, 0, 0};
    for (int f = 0; f < 9; f++) {
        drawOverlay();
        EXPECT_EQ(overlay.menuY, menuY[f]) << f;  // 318 is stepped to 319
        EXPECT_EQ(overlay.menuState, menuState[f]) << f;
        EXPECT_EQ(overlay.menuX, 0);
        EXPECT_EQ(overlay.logState, 0);
        EXPECT_EQ(overlay.logX, 0);
        EXPECT_EQ(overlay.logY, 0);
        EXPECT_EQ(overlay.statsX, 239);
        EXPECT_EQ(overlay.statsState, 0);
    }
    // Arriving at the bottom with no pending action does nothing else.
    EXPECT_EQ(quitRequested, 0);
    EXPECT_EQ(appActive, 1);
}

TEST_F(Overlay, StatisticsTabPopsOutAndRetractsOnQuickTaps) {
    settle();
    quickTapAt(236, 4);
    EXPECT_EQ(overlay.statsState, 2);
    EXPECT_EQ(lastLogLine(), "Panel3 Pop");
    const int out[] = {227, 221, 218, 217, 216};
    for (int f = 0; f < 5; f++) {
        EXPECT_EQ(overlay.statsState, 2) << f;
        drawOverlay();
        EXPECT_EQ(overlay.statsX, out[f]) << f;
    }
    EXPECT_EQ(overlay.statsState, 0);
    quickTapAt(210, 8);  // x3 - 6, the tab's left end
    EXPECT_EQ(overlay.statsState, 1);
    EXPECT_EQ(lastLogLine(), "Panel3 Retract");
    const int back[] = {227, 233, 236, 237, 239};  // 238 is stepped to 239
    for (int f = 0; f < 5; f++) {
        drawOverlay();
        EXPECT_EQ(overlay.statsX, back[f]) << f;
    }
    EXPECT_EQ(overlay.statsState, 0);
    // The presses went on to the game, the taps' releases did not.
    EXPECT_EQ(gameMessages, (std::vector<int32_t>{MSG_LBUTTONDOWN, MSG_LBUTTONDOWN}));
}

TEST_F(Overlay, MenuPopsUpOnATapOnItsTabAndRetractsOnATapOnItsBody) {
    settle();
    quickTapAt(20, 315);  // the tab hangs above y 319
    EXPECT_EQ(overlay.menuState, 2);
    EXPECT_EQ(lastLogLine(), "Panel2 Pop");
    const int up[] = {304, 297, 293, 291, 290};
    for (int f = 0; f < 5; f++) {
        EXPECT_EQ(overlay.menuState, 2) << f;
        drawOverlay();
        EXPECT_EQ(overlay.menuY, up[f]) << f;
    }
    EXPECT_EQ(overlay.menuState, 0);
    quickTapAt(150, 300);  // the body, right of the buttons
    EXPECT_EQ(overlay.menuState, 1);
    EXPECT_EQ(lastLogLine(), "Panel2 Retract");
    const int down[] = {304, 311, 315, 317, 319};
    for (int f = 0; f < 5; f++) {
        drawOverlay();
        EXPECT_EQ(overlay.menuY, down[f]) << f;
    }
    EXPECT_EQ(overlay.menuState, 1);  // the arrival is noticed by the next frame
    drawOverlay();
    EXPECT_EQ(overlay.menuState, 0);
    EXPECT_EQ(overlay.menuY, 319);
}

TEST_F(Overlay, LogWindowMovesHalfTheRemainingDistanceEachFrame) {
    settle();
    // Dropping open from a dragged position arrives exactly.
    overlay.logX = 100;
    overlay.logY = 150;
    overlay.logState = 2;
    const int openX[] = {50, 25, 12, 6, 3, 1, 0};
    const int openY[] = {123, 109, 102, 99, 97, 96, 96};
    for (int f = 0; f < 7; f++) {
        EXPECT_EQ(overlay.logState, 2) << f;
        drawOverlay();
        EXPECT_EQ(overlay.logX, openX[f]) << f;
        EXPECT_EQ(overlay.logY, openY[f]) << f;
    }
    EXPECT_EQ(overlay.logState, 0);
    // Retracting to the corner.
    overlay.logX = 37;
    overlay.logState = 1;
    const int inX[] = {18, 9, 4, 2, 1, 0, 0};
    const int inY[] = {48, 24, 12, 6, 3, 1, 0};
    for (int f = 0; f < 7; f++) {
        EXPECT_EQ(overlay.logState, 1) << f;
        drawOverlay();
        EXPECT_EQ(overlay.logX, inX[f]) << f;
        EXPECT_EQ(overlay.logY, inY[f]) << f;
    }
    EXPECT_EQ(overlay.logState, 0);
    // Lowering to the peek position from above.
    overlay.logY = 40;
    overlay.logState = 3;
    const int peekY[] = {35, 32, 31, 30};
    for (int f = 0; f < 4; f++) {
        drawOverlay();
        EXPECT_EQ(overlay.logY, peekY[f]) << f;
    }
    EXPECT_EQ(overlay.logState, 0);
}

TEST_F(Overlay, LogWindowOpeningFromTheCornerSettlesOnePixelShort) {
    settle();
    quickTapAt(10, 4);  // the title of the closed window
    EXPECT_EQ(overlay.logState, 2);
    EXPECT_EQ(lastLogLine(), "Panel1 Pop");
    // Halving a negative distance rounds down: the window stops at 95, not 96, still dropping.
    const int y[] = {48, 72, 84, 90, 93, 94, 95, 95, 95};
    for (int f = 0; f < 9; f++) {
        drawOverlay();
        EXPECT_EQ(overlay.logY, y[f]) << f;
        EXPECT_EQ(overlay.logState, 2) << f;
    }
    // A tap on its title, now low on the screen, retracts it.
    quickTapAt(10, 100);
    EXPECT_EQ(overlay.logState, 1);
    EXPECT_EQ(lastLogLine(), "Panel1 Retract");
}

TEST_F(Overlay, WithTheOverlayOffNothingMovesNothingIsDrawnAndTheGameGetsEveryMessage) {
    overlay.off = 1;
    frames(3);
    EXPECT_EQ(overlay.menuY, 200);
    EXPECT_EQ(overlay.menuState, 1);
    EXPECT_EQ(overlay.logState, 1);
    for (int y = 0; y < 320; y++) {
        for (int x = 0; x < 240; x++) {
            ASSERT_EQ(px(x, y), BACKGROUND) << x << "," << y;
        }
    }
    press(5, 3);  // the log window's title
    moveTo(50, 50);
    release(50, 50, 1000);
    EXPECT_EQ(overlay.dragMode, 0);
    EXPECT_EQ(gameMessages, (std::vector<int32_t>{MSG_LBUTTONDOWN, MSG_MOUSEMOVE, MSG_LBUTTONUP}));
}

// ---- Drawing ----

TEST_F(Overlay, LogWindowDrawsEdgesRowsTextTitleAndThumb) {
    settle();
    // Twenty lines in turning colours, the newest last; then a full 30-column line.
    for (int n = 0; n < 20; n++) {
        char text[16];
        snprintf(text, sizeof(text), "line %02d\n", n);
        logColoured(1, text, n % 7);
    }
    fillBack(BACKGROUND);
    overlay.logX = 20;
    overlay.logY = 150;
    overlay.logState = 0;
    overlay.scroll = 10;
    drawOverlay();
    // Top edge: 194 x 2 at (20, 150 - 3 - 96).
    EXPECT_EQ(px(19, 51), BACKGROUND);
    EXPECT_EQ(px(20, 51), sheetColour(0, 88));
    EXPECT_EQ(px(213, 52), sheetColour(193, 89));
    EXPECT_EQ(px(214, 52), BACKGROUND);
    EXPECT_EQ(px(20, 50), BACKGROUND);
    // Rows counted upwards from y 143. Scroll 10 of 77 shows from buffer line (12 * 83) / 100 = 9,
    // one further down because line 0 is still empty: row 0 holds "line 10", row 1 "line 09".
    for (int row = 0; row < 16; row++) {
        int y = 143 - 6 * row;
        EXPECT_EQ(px(20, y), sheetColour(0, 90)) << row;
        EXPECT_EQ(px(213, y + 5), sheetColour(193, 95)) << row;
    }
    const char* row0 = "line 10";
    for (int c = 0; c < 7; c++) {
        if (row0[c] != ' ') {
            int x = 22 + 6 * c;
            expectGlyph(row0[c], x, 143, logColourTable[10 % 7],
                        [x](int i, int j) { return sheetColour(x - 20 + i, 90 + j); });
        }
    }
    expectGlyph('9', 22 + 36, 137, logColourTable[9 % 7], [](int i, int j) { return sheetColour(38 + i, 90 + j); });
    // Row 15 (y 53) shows buffer line 25, never written: the line background alone.
    EXPECT_EQ(px(22, 53), sheetColour(2, 90));
    EXPECT_EQ(px(23, 54), sheetColour(3, 91));
    // Bottom edge at y 149, then the title over its second row (a hole lets the edge show).
    EXPECT_EQ(px(20, 149), sheetColour(0, 96));
    EXPECT_EQ(px(213, 150), sheetColour(193, 97));
    EXPECT_EQ(px(20, 151), sheetColour(0, 98));
    EXPECT_EQ(px(81, 151), BACKGROUND);  // title hole, column 61
    EXPECT_EQ(px(80, 158), sheetColour(60, 105));
    EXPECT_EQ(px(20, 159), BACKGROUND);
    // Scroll thumb at (20 + 183, 150 - 21 - 10) over the rows.
    EXPECT_EQ(px(203, 119), sheetColour(231, 0));
    EXPECT_EQ(px(211, 138), sheetColour(239, 19));
    EXPECT_EQ(px(212, 138), sheetColour(192, 91));  // row 1 beside the thumb
}

TEST_F(Overlay, LogWindowShowsThirtyColumnsAndTheLineBeingWritten) {
    settle();
    logColoured(1, "abcdefghijklmnopqrstuvwxyzABCD", 5);  // exactly 30, nothing after: column 30
    fillBack(BACKGROUND);
    overlay.logX = 0;
    overlay.logY = 100;
    overlay.logState = 0;
    drawOverlay();
    // Line 0 is not empty, so row 0 (y 93) shows it, up to column 29.
    expectGlyph('a', 2, 93, logColourTable[5], [](int i, int j) { return sheetColour(2 + i, 90 + j); });
    expectGlyph('D', 2 + 6 * 29, 93, logColourTable[5], [](int i, int j) { return sheetColour(176 + i, 90 + j); });
    // Past the last column only the line background.
    EXPECT_EQ(px(192, 95), sheetColour(192, 92));
}

TEST_F(Overlay, ClosedLogWindowShowsOnlyItsTitle) {
    settle();
    fillBack(BACKGROUND);
    overlay.statsX = 300;  // out of the way
    overlay.menuY = 400;
    drawOverlay();
    for (int y = 0; y < 320; y++) {
        for (int x = 0; x < 240; x++) {
            uint16_t expected = BACKGROUND;
            if (x < 62 && y < 9) {
                expected = sheetPixel(x, 97 + y) != 0 ? sheetPixel(x, 97 + y) : BACKGROUND;
            }
            ASSERT_EQ(px(x, y), expected) << x << "," << y;
        }
    }
}

TEST_F(Overlay, StatisticsTabShowsPresentsAndUpdatesPerSecond) {
    settle();
    overlay.statsX = 216;
    presentsLastSecond = 57;
    updatesLastSecond = 60;
    fillBack(BACKGROUND);
    drawOverlay();
    // Handle at (211, 0), its first column a hole.
    EXPECT_EQ(px(211, 0), BACKGROUND);
    EXPECT_EQ(px(212, 0), sheetColour(204, 89));
    EXPECT_EQ(px(216, 8), sheetColour(208, 97));
    EXPECT_EQ(px(212, 9), BACKGROUND);
    // Cells at (217, 0) and (217, 9), cut at the right edge.
    EXPECT_EQ(px(217, 0), sheetColour(209, 89));
    EXPECT_EQ(px(239, 1), sheetColour(231, 90));
    EXPECT_EQ(px(217, 9), sheetColour(209, 89));
    EXPECT_EQ(px(239, 17), sheetColour(231, 97));
    EXPECT_EQ(px(217, 18), BACKGROUND);
    uint16_t white = logColourTable[0];
    expectGlyph('5', 220, 2, white, [](int i, int j) { return sheetColour(212 + i, 91 + j); });
    expectGlyph('7', 226, 2, white, [](int i, int j) { return sheetColour(218 + i, 91 + j); });
    expectGlyph('6', 220, 11, white, [](int i, int j) { return sheetColour(212 + i, 91 + j); });
    expectGlyph('0', 226, 11, white, [](int i, int j) { return sheetColour(218 + i, 91 + j); });
    // Retracted: only the handle, at (234, 0).
    overlay.statsX = 239;
    fillBack(BACKGROUND);
    drawOverlay();
    EXPECT_EQ(px(234, 0), BACKGROUND);
    EXPECT_EQ(px(235, 0), sheetColour(204, 89));
    EXPECT_EQ(px(239, 8), sheetColour(208, 97));
    EXPECT_EQ(px(233, 4), BACKGROUND);
    EXPECT_EQ(px(235, 9), BACKGROUND);
}

TEST_F(Overlay, MenuDrawsTabBodyAndButtons) {
    settle();
    openMenu();
    fillBack(BACKGROUND);
    drawOverlay();
    // Tab at (0, 283), its first row a hole.
    EXPECT_EQ(px(0, 283), BACKGROUND);
    EXPECT_EQ(px(0, 284), sheetColour(77, 99));
    EXPECT_EQ(px(41, 290), sheetColour(118, 105));
    EXPECT_EQ(px(42, 290), BACKGROUND);
    // Body at (0, 291), cut at the bottom edge.
    EXPECT_EQ(px(0, 291), sheetColour(77, 106));
    EXPECT_EQ(px(162, 319), sheetColour(239, 134));
    EXPECT_EQ(px(163, 300), BACKGROUND);
    // Begin, Pause and Exit at x 10, 32 and 54.
    EXPECT_EQ(px(10, 295), sheetColour(0, 107));
    EXPECT_EQ(px(29, 314), sheetColour(19, 126));
    EXPECT_EQ(px(32, 295), sheetColour(40, 107));
    EXPECT_EQ(px(51, 314), sheetColour(59, 126));
    EXPECT_EQ(px(54, 295), sheetColour(20, 107));
    EXPECT_EQ(px(73, 314), sheetColour(39, 126));
    EXPECT_EQ(px(74, 300), sheetColour(74 + 77, 106 + 9));
    // Nothing random was drawn without a held button.
    EXPECT_EQ(gameRandState(), 1u);
}

TEST_F(Overlay, HeldButtonShowsItsNameAndFlickersFromTheSharedGenerator) {
    settle();
    openMenu();
    stylusX = 60;
    stylusY = 300;
    stylusDown = 1;
    seedGameRand(12345);
    std::vector<int> amounts;
    for (int n = 0; n < 400; n++) {
        amounts.push_back(gameRand() & 15);
    }
    uint32_t after = gameRandState();
    seedGameRand(12345);
    fillBack(BACKGROUND);
    drawOverlay();
    EXPECT_EQ(gameRandState(), after);
    // Column by column: pixel (i, j) of the Exit square took draw i * 20 + j.
    for (int i = 0; i < 20; i++) {
        for (int j = 0; j < 20; j++) {
            ASSERT_EQ(px(54 + i, 295 + j), brighten(sheetColour(20 + i, 107 + j), amounts[i * 20 + j]))
                << i << "," << j;
        }
    }
    // The other buttons are left alone; the name is written on the body at (90, 295).
    EXPECT_EQ(px(10, 295), sheetColour(0, 107));
    EXPECT_EQ(px(51, 314), sheetColour(59, 126));
    const char* name = "Exit";
    for (int c = 0; c < 4; c++) {
        int x = 90 + 6 * c;
        expectGlyph(name[c], x, 295, logColourTable[0], [x](int i, int j) { return sheetColour(x + i + 77, 110 + j); });
    }
    // The same stylus lifted, or down beside the buttons: no name, no draws.
    for (int down = 0; down < 2; down++) {
        stylusDown = down;
        stylusX = down ? 30 : 60;  // between Begin and Pause
        seedGameRand(5);
        fillBack(BACKGROUND);
        drawOverlay();
        EXPECT_EQ(gameRandState(), 5u);
        EXPECT_EQ(px(54, 295), sheetColour(20, 107));
        EXPECT_EQ(px(92, 296), sheetColour(92 + 77, 106 + 5));
    }
}

// ---- Input ----

TEST_F(Overlay, DraggingTheLogWindowMovesItAndTheDropDecidesWhereItGoes) {
    settle();
    press(5, 3);
    EXPECT_EQ(overlay.dragMode, 1);
    EXPECT_EQ(overlay.grabX, 5);
    EXPECT_EQ(overlay.grabY, 3);
    EXPECT_EQ(lastLogLine(), "Panel1 Drag");
    moveTo(105, 153);
    EXPECT_EQ(overlay.logX, 100);
    EXPECT_EQ(overlay.logY, 150);
    EXPECT_EQ(overlay.logState, 0);
    release(105, 153, EIGHTH + 1);
    EXPECT_EQ(lastLogLine(), "Panel1 Drop");
    EXPECT_EQ(overlay.dragMode, 0);
    EXPECT_EQ(overlay.logX, 100);
    EXPECT_EQ(overlay.logY, 150);
    EXPECT_EQ(overlay.logState, 0);
    // Picked up by its text area this time: the grab may lie below the window's corner.
    press(150, 100);
    EXPECT_EQ(overlay.dragMode, 1);
    EXPECT_EQ(overlay.grabX, 50);
    EXPECT_EQ(overlay.grabY, -50);
    moveTo(60, 10);
    EXPECT_EQ(overlay.logX, 10);
    EXPECT_EQ(overlay.logY, 60);
    release(60, 10, EIGHTH + 1);
    EXPECT_EQ(lastLogLine(), "Panel1 Drop");
    // Carried back by its title into the corner, it opens.
    press(12, 62);
    EXPECT_EQ(overlay.grabX, 2);
    EXPECT_EQ(overlay.grabY, 2);
    moveTo(2, 2);
    EXPECT_EQ(overlay.logX, 0);
    EXPECT_EQ(overlay.logY, 0);
    release(2, 2, EIGHTH + 1);
    EXPECT_EQ(lastLogLine(), "Panel1 Pop");
    EXPECT_EQ(overlay.logState, 2);
    // Drops near or past an edge send it back.
    struct Drop {
        int x, y;
        int32_t state;
        const char* line;
    };
    const Drop drops[] = {{50, 3, 1, "Panel1 Retract"},   {50, 4, 0, "Panel1 Drop"},
                          {236, 100, 1, "Panel1 Retract"}, {235, 100, 0, "Panel1 Drop"},
                          {-41, 100, 1, "Panel1 Retract"}, {-40, 100, 0, "Panel1 Drop"},
                          {50, 316, 1, "Panel1 Retract"},  {50, 315, 0, "Panel1 Drop"}};
    for (const Drop& d : drops) {
        overlay.logX = 100;
        overlay.logY = 150;
        overlay.logState = 0;
        press(110, 152);  // grab (10, 2)
        overlay.logX = d.x;  // where a drag put it (some of these lie beyond the stylus' reach)
        overlay.logY = d.y;
        release(110, 152, EIGHTH + 1);
        EXPECT_EQ(overlay.logState, d.state) << d.x << "," << d.y;
        EXPECT_EQ(lastLogLine(), d.line) << d.x << "," << d.y;
    }
    // None of it reached the game.
    EXPECT_TRUE(gameMessages.empty());
}

TEST_F(Overlay, DraggingTheScrollBarScrollsWithinItsRange) {
    settle();
    overlay.logY = 96;
    overlay.logState = 2;
    press(188, 80);
    EXPECT_EQ(overlay.dragMode, 100);
    EXPECT_EQ(overlay.grabY, 80);
    EXPECT_EQ(lastLogLine(), "Panel1 Scrollbar Drag");
    EXPECT_EQ(overlay.logState, 2);
    moveTo(188, 50);
    EXPECT_EQ(overlay.scroll, 30);
    EXPECT_EQ(overlay.logState, 0);
    moveTo(120, 0);  // the drag follows the stylus anywhere
    EXPECT_EQ(overlay.scroll, 77);
    moveTo(188, 120);
    EXPECT_EQ(overlay.scroll, 0);
    moveTo(188, 60);
    EXPECT_EQ(overlay.scroll, 20);
    EXPECT_EQ(overlay.logY, 96);  // the window itself stays
    release(188, 60, EIGHTH + 1);
    EXPECT_EQ(lastLogLine(), "Panel1 Scrollbar Drop");
    EXPECT_EQ(overlay.dragMode, 0);
    // Picking it up again starts from the kept offset.
    press(190, 70);
    EXPECT_EQ(overlay.grabY, 90);
    moveTo(190, 80);
    EXPECT_EQ(overlay.scroll, 10);
    release(190, 80, EIGHTH + 1);
    // The thumb is drawn at (183, 96 - 21 - 10).
    fillBack(BACKGROUND);
    drawOverlay();
    EXPECT_EQ(px(183, 65), sheetColour(231, 0));
    EXPECT_EQ(px(191, 84), sheetColour(239, 19));
    EXPECT_TRUE(gameMessages.empty());
}

TEST_F(Overlay, AQuickTapOnTheScrollBarLeavesNoDragBehind) {
    settle();
    overlay.logY = 96;
    quickTapAt(188, 80);
    EXPECT_EQ(overlay.dragMode, 0);
    // A lifted stylus passing over the window does not scroll it; the move goes to the game.
    moveTo(188, 20);
    EXPECT_EQ(overlay.scroll, 0);
    EXPECT_EQ(gameMessages, (std::vector<int32_t>{MSG_LBUTTONUP, MSG_MOUSEMOVE}));
}

TEST_F(Overlay, QuickTapsOnTheLogWindow) {
    settle();
    overlay.logY = 19;
    quickTapAt(62, 28);  // the title's far corner
    EXPECT_EQ(overlay.logState, 2);
    EXPECT_EQ(lastLogLine(), "Panel1 Pop");
    EXPECT_EQ(overlay.dragMode, 0);
    overlay.logY = 20;
    overlay.logState = 0;
    quickTapAt(0, 20);
    EXPECT_EQ(overlay.logState, 1);
    EXPECT_EQ(lastLogLine(), "Panel1 Retract");
    // The text area retracts it without a log line.
    overlay.logY = 96;
    overlay.logState = 0;
    int lines = 0;
    for (int n = 0; n < LOG_LINES; n++) {
        lines += logLine(n).empty() ? 0 : 1;
    }
    quickTapAt(183, 95);
    EXPECT_EQ(overlay.logState, 1);
    EXPECT_EQ(overlay.dragMode, 0);
    int linesAfter = 0;
    for (int n = 0; n < LOG_LINES; n++) {
        linesAfter += logLine(n).empty() ? 0 : 1;
    }
    EXPECT_EQ(linesAfter, lines + 1);  // only the press's "Panel1 Drag"
    EXPECT_EQ(lastLogLine(), "Panel1 Drag");
    // Taps beside every panel go on to the game.
    gameMessages.clear();
    quickTapAt(200, 200);
    EXPECT_EQ(gameMessages, (std::vector<int32_t>{MSG_LBUTTONDOWN, MSG_LBUTTONUP}));
}

TEST_F(Overlay, ButtonsAnswerQuickTapsAndSlowReleasesButNotAnExactEighth) {
    settle();
    openMenu();
    struct Case {
        int x;
        int64_t held;
        int32_t state;
        const char* line;
    };
    const Case cases[] = {{10, 1000, 4, "Menu: Begin"},        {51, 1000, 5, "Menu: Suspend"},
                          {73, 1000, 3, "Menu: Exit"},         {29, EIGHTH + 1, 4, "Menu: Begin"},
                          {32, EIGHTH - 1, 5, "Menu: Suspend"}, {54, SECOND, 3, "Menu: Exit"}};
    for (const Case& c : cases) {
        overlay.menuState = 0;
        gameMessages.clear();
        clearLog();
        press(c.x, 314);
        release(c.x, 314, c.held);
        EXPECT_EQ(overlay.menuState, c.state) << c.x;
        EXPECT_EQ(lastLogLine(), c.line) << c.x;
        // The press is the game's; the release is the overlay's.
        EXPECT_EQ(gameMessages, (std::vector<int32_t>{MSG_LBUTTONDOWN})) << c.x;
    }
    // Released exactly an eighth of a second after the press: neither a tap nor a hold.
    overlay.menuState = 0;
    gameMessages.clear();
    clearLog();
    press(60, 300);
    release(60, 300, EIGHTH);
    EXPECT_EQ(overlay.menuState, 0);
    EXPECT_EQ(logLine(0), "");
    EXPECT_EQ(logLine(1), "");
    EXPECT_EQ(gameMessages, (std::vector<int32_t>{MSG_LBUTTONDOWN, MSG_LBUTTONUP}));
    // Just outside a square (x 74, y 315) is the body, so a tap there retracts the menu instead.
    quickTapAt(74, 300);
    EXPECT_EQ(overlay.menuState, 1);
    overlay.menuState = 0;
    quickTapAt(60, 315);
    EXPECT_EQ(overlay.menuState, 1);
    // A slow release beside the buttons is the game's.
    overlay.menuState = 0;
    gameMessages.clear();
    press(150, 300);
    release(150, 300, SECOND);
    EXPECT_EQ(overlay.menuState, 0);
    EXPECT_EQ(gameMessages, (std::vector<int32_t>{MSG_LBUTTONDOWN, MSG_LBUTTONUP}));
}

TEST_F(Overlay, KeysAndIdleMovesAreNeverTheOverlays) {
    settle();
    windowProc(MSG_KEYDOWN, 32, 0);
    windowProc(MSG_KEYUP, 32, 0);
    moveTo(5, 3);
    EXPECT_EQ(gameMessages, (std::vector<int32_t>{MSG_KEYDOWN, MSG_KEYUP, MSG_MOUSEMOVE}));
}

// ---- The menu's actions, after the menu has slid out of sight ----

TEST_F(Overlay, ExitSendsTheCloseRequestOnceTheMenuIsDown) {
    settle();
    openMenu();
    quickTapAt(60, 300);
    EXPECT_EQ(overlay.menuState, 3);
    const int y[] = {304, 311, 315, 317, 319};
    for (int f = 0; f < 5; f++) {
        drawOverlay();
        EXPECT_EQ(overlay.menuY, y[f]) << f;
        EXPECT_EQ(quitRequested, 0) << f;
    }
    drawOverlay();
    EXPECT_EQ(quitRequested, 1);
    EXPECT_EQ(overlay.menuState, 0);
    // The close request went through the window procedure: the destroy message is queued.
    PlatformMessage msg;
    ASSERT_TRUE(platformPeekMessage(&msg));
    EXPECT_EQ(msg.message, MSG_DESTROY);
    drawOverlay();
    EXPECT_FALSE(platformPeekMessage(&msg));  // only once
}

TEST_F(Overlay, PauseSuspendsOnceTheMenuIsDown) {
    settle();
    openMenu();
    quickTapAt(40, 300);
    EXPECT_EQ(overlay.menuState, 5);
    frames(5);
    EXPECT_EQ(appActive, 1);
    drawOverlay();
    EXPECT_EQ(appActive, 0);
    EXPECT_EQ(overlay.menuState, 0);
}

TEST_F(Overlay, BeginLogsInRedAndTheLogWindowPeeks) {
    settle();
    openMenu();
    quickTapAt(20, 300);
    EXPECT_EQ(overlay.menuState, 4);
    EXPECT_EQ(lastLogLine(), "Menu: Begin");
    frames(5);
    EXPECT_EQ(overlay.logState, 0);
    drawOverlay();
    EXPECT_EQ(overlay.menuState, 0);
    EXPECT_EQ(logLine(0), "");
    EXPECT_EQ(logLine(1), "");
    EXPECT_EQ(logLine(2), "reported to the console.");
    EXPECT_EQ(logLine(3), "Button messages are");
    EXPECT_EQ(logBuffer.colours[3][0], 6);
    EXPECT_EQ(overlay.logState, 3);
}

TEST_F(Overlay, AnErrorLineDropsTheClosedWindowToItsPeekAndShowsInRed) {
    settle();
    logLevel = 1;
    logMessage(1, "ok\n");
    logColoured(1, "[ERROR] bad\n", 6);
    EXPECT_EQ(overlay.logState, 3);
    // Halving towards y 30 from below stops one short.
    const int y[] = {15, 22, 26, 28, 29, 29};
    for (int f = 0; f < 6; f++) {
        drawOverlay();
        EXPECT_EQ(overlay.logY, y[f]) << f;
    }
    EXPECT_EQ(overlay.logState, 3);
    fillBack(BACKGROUND);
    drawOverlay();
    // Rows at y 22, 16, 10, 4 and -2: the error line lowest, the line before it above.
    const char* error = "[ERROR] bad";
    for (int c = 0; c < 11; c++) {
        if (error[c] != ' ') {
            int x = 2 + 6 * c;
            expectGlyph(error[c], x, 22, logColourTable[6], [x](int i, int j) { return sheetColour(x + i, 90 + j); });
        }
    }
    expectGlyph('o', 2, 16, logColourTable[0], [](int i, int j) { return sheetColour(2 + i, 90 + j); });
    EXPECT_EQ(px(0, 0), sheetColour(0, 92));  // the row at y -2, clipped
    EXPECT_EQ(px(0, 28), sheetColour(0, 96)); // bottom edge
    EXPECT_EQ(px(0, 29), sheetColour(0, 97)); // title
    // A second error while it is dropping changes nothing; a window lowered past y 20 stays put.
    logColoured(1, "[ERROR] again\n", 6);
    EXPECT_EQ(overlay.logState, 3);
    overlay.logState = 0;
    logColoured(1, "[ERROR] third\n", 6);
    EXPECT_EQ(overlay.logState, 0);
}

// ---- The stylus cursor ----

namespace {

// The program's generator, kept here as the test's own reference.
struct Lcg {
    uint32_t state;
    int next() {
        state = state * 214013u + 2531011u;
        return (int)((state >> 16) & 0x7FFF);
    }
};

// Light each pixel of a 240 x 320 screen receives from the cursor, built from the cursor's rules.
std::vector<int> cursorLight(int sx, int sy, int down, uint32_t seed, uint32_t* stateAfter) {
    std::vector<int> light(240 * 320, 0);
    auto add = [&light](int x, int y, int a) {
        if (x >= 0 && y >= 0 && x < 240 && y < 320) {
            light[y * 240 + x] += a;
        }
    };
    for (int i = -9; i <= 9; i++) {
        if (std::abs(i) > 3) {
            add(sx + i, sy - 10, 9);
            add(sx + i, sy + 10, 9);
            add(sx - 10, sy + i, 9);
            add(sx + 10, sy + i, 9);
        }
    }
    int k = down ? 1 : 255;
    Lcg lcg{seed};
    for (int x = -50; x <= 289; x++) {
        if (std::abs(x - sx) > k && (lcg.next() & 255) > k) {
            add(x + k, sy + k, 5);
        }
    }
    for (int y = -50; y <= 369; y++) {
        if (std::abs(y - sy) > k && (lcg.next() & 255) > k) {
            add(sx + k, y + k, 5);
        }
    }
    for (int i = -19; i <= 19; i++) {
        if (std::abs(i) > (k >> 2) + 3) {
            add(sx + i, sy - 20, 5);
            add(sx + i, sy + 20, 5);
            add(sx - 20, sy + i, 5);
            add(sx + 20, sy + i, 5);
        }
    }
    *stateAfter = lcg.state;
    return light;
}

}  // namespace

TEST_F(Overlay, StylusCursorUpDrawsOnlyTheSmallBracketsButStillDraws) {
    overlay.off = 1;
    showStylusCursor = 1;
    stylusX = 10;
    stylusY = 10;
    stylusDown = 0;
    seedGameRand(777);
    drawOverlay();
    int changed = 0;
    for (int y = 0; y < 320; y++) {
        for (int x = 0; x < 240; x++) {
            bool bracket = ((y == 0 || y == 20) && std::abs(x - 10) >= 4 && std::abs(x - 10) <= 9) ||
                           ((x == 0 || x == 20) && std::abs(y - 10) >= 4 && std::abs(y - 10) <= 9);
            ASSERT_EQ(px(x, y), bracket ? packColour(11, 12, 13) : BACKGROUND) << x << "," << y;
            changed += bracket ? 1 : 0;
        }
    }
    EXPECT_EQ(changed, 48);
    // 24 candidates right of x 265 and 104 below y 265 each took a draw.
    Lcg lcg{777};
    for (int n = 0; n < 24 + 104; n++) {
        lcg.next();
    }
    EXPECT_EQ(gameRandState(), lcg.state);
    // In the middle of the screen no candidate is far enough away: no draws.
    stylusX = 120;
    stylusY = 160;
    seedGameRand(777);
    drawOverlay();
    EXPECT_EQ(gameRandState(), 777u);
}

TEST_F(Overlay, StylusCursorDownDrawsTheCrosshairFromTheSharedSequence) {
    overlay.off = 1;
    showStylusCursor = 1;
    stylusDown = 1;
    const int spots[][2] = {{100, 150}, {0, 0}, {239, 319}};
    for (const auto& spot : spots) {
        stylusX = spot[0];
        stylusY = spot[1];
        fillBack(BACKGROUND);
        seedGameRand(4242);
        drawOverlay();
        uint32_t expectedState = 0;
        std::vector<int> light = cursorLight(spot[0], spot[1], 1, 4242, &expectedState);
        EXPECT_EQ(gameRandState(), expectedState);
        for (int y = 0; y < 320; y++) {
            for (int x = 0; x < 240; x++) {
                ASSERT_EQ(px(x, y), brighten(BACKGROUND, light[y * 240 + x]))
                    << "stylus " << spot[0] << "," << spot[1] << " pixel " << x << "," << y;
            }
        }
    }
    // Spot checks around (100, 150): the large brackets leave a gap of 3 either side.
    stylusX = 100;
    stylusY = 150;
    fillBack(BACKGROUND);
    drawOverlay();
    EXPECT_EQ(px(96, 130), brighten(BACKGROUND, 5));
    EXPECT_EQ(px(97, 130), BACKGROUND);
    EXPECT_EQ(px(120, 146), brighten(BACKGROUND, 5));
    EXPECT_EQ(px(80, 169), brighten(BACKGROUND, 5));
    EXPECT_EQ(px(90, 146), brighten(BACKGROUND, 9));
    // The crosshair lies one pixel right of and below the stylus and skips its centre.
    EXPECT_EQ(px(101, 151), BACKGROUND);
    int lit = 0;
    for (int x = 0; x < 240; x++) {
        lit += px(x, 151) != BACKGROUND ? 1 : 0;
    }
    EXPECT_GT(lit, 200);  // about 254 in 256 candidates light up
}

TEST_F(Overlay, CursorIsDrawnOverTheConsole) {
    settle();
    showStylusCursor = 1;
    stylusX = 150;
    stylusY = 300;
    openMenu();
    fillBack(BACKGROUND);
    drawOverlay();
    // Bracket pixels: (144, 290) lies just above the menu body, the others on it.
    EXPECT_EQ(px(144, 290), brighten(BACKGROUND, 9));
    EXPECT_EQ(px(144, 310), brighten(sheetColour(144 + 77, 106 + 19), 9));
    EXPECT_EQ(px(140, 296), brighten(sheetColour(140 + 77, 106 + 5), 9));
    EXPECT_EQ(px(141, 296), sheetColour(141 + 77, 106 + 5));
}

// ---- The whole program on the headless backend ----

namespace {

struct LoopRecord {
    std::vector<std::string> calls;
    int64_t pass = -1;
    std::function<void(int64_t)> script;
    std::vector<int32_t> activeAtHook;
};
LoopRecord loop;

void loopInit(void) {
    currentMode = 500;
    // Our own sheet in place of the loaded one, so frames are exact.
    removeSurface(&smallCharsSheet);
    smallCharsSheet = makeSheet();
    loop.calls.push_back("init");
}
void loopShutdown(void) {
    loop.calls.push_back("shutdown");
}
void loopEnter(int32_t mode) {
    loop.calls.push_back("enter " + std::to_string(mode) + " @" + std::to_string(loop.pass));
}
void loopLeave(int32_t mode) {
    loop.calls.push_back("leave " + std::to_string(mode) + " @" + std::to_string(loop.pass));
}
int32_t loopUpdate(int32_t mode) {
    loop.calls.push_back("update @" + std::to_string(loop.pass));
    return mode;
}
int32_t loopRender(int32_t mode) {
    fillBack(BACKGROUND);
    loop.calls.push_back("render @" + std::to_string(loop.pass));
    return mode;
}
void loopInput(int32_t message, uint32_t wParam, int32_t value) {
    loop.calls.push_back("input " + std::to_string(message) + " @" + std::to_string(loop.pass));
}
void loopHook(int64_t pass) {
    loop.pass = pass;
    loop.activeAtHook.push_back(appActive);
    if (loop.script) {
        loop.script(pass);
    }
}

int loopCount(const std::string& what) {
    int n = 0;
    for (const std::string& c : loop.calls) {
        n += c == what ? 1 : 0;
    }
    return n;
}

bool logHas(const std::string& text) {
    for (int n = 0; n < LOG_LINES; n++) {
        if (logLine(n) == text) {
            return true;
        }
    }
    return false;
}

class OverlayLoop : public ::testing::Test {
protected:
    void SetUp() override {
        headlessReset();
        resetLoopState();
        clearLog();
        logLevel = 2;
        resetOverlay();
        showStylusCursor = 0;
        stylusX = stylusY = stylusDown = 0;
        loop = LoopRecord();
        gameInterface = GameInterface{loopInit, loopShutdown, loopEnter, loopLeave, loopUpdate, loopRender, loopInput};
        headlessSetPumpHook(loopHook);
        writeTestPngRgb("Data/loading.png", 2, 2, std::vector<uint8_t>(12, 0));
        writeTestPngRgb("Data/smallchars.png", 1, 1, {9, 9, 9});
    }
    void TearDown() override { logLevel = 0; }
    ScratchFolder folder;
};

const int64_t PASS = SECOND / 60 + 1;  // one update and one render each pass

}  // namespace

TEST_F(OverlayLoop, MenuExitEndsTheProgram) {
    static std::vector<uint16_t> heldFrame;
    loop.script = [](int64_t pass) {
        headlessAdvance(PASS);
        if (pass == 10) {
            // The menu is down after 8 frames; a tap on its tab pops it up by pass 14.
            headlessMouse(MSG_LBUTTONDOWN, 20, 315);
            headlessMouse(MSG_LBUTTONUP, 20, 315);
        } else if (pass == 16) {
            headlessMouse(MSG_LBUTTONDOWN, 60, 300);
        } else if (pass == 20) {
            heldFrame = headlessLastFrame();
        } else if (pass == 25) {
            headlessMouse(MSG_LBUTTONUP, 60, 300);  // held 9 passes, 150003 ticks
        } else if (pass == 60) {
            platformSendMessage(MSG_CLOSE, 0, 0);  // a fallback so a failure cannot hang
        }
    };
    EXPECT_EQ(runGame(), 0);
    EXPECT_TRUE(logHas("Panel2 Pop"));
    EXPECT_TRUE(logHas("Menu: Exit"));
    // The release at pass 25 starts the retreat (304, 311, 315, 317, 319); pass 30's frame sends
    // the close request and the loop ends after that pass (its pump is counted as pass 31).
    EXPECT_EQ(loop.calls[loop.calls.size() - 2], "leave 500 @31");
    EXPECT_EQ(loop.calls.back(), "shutdown");
    EXPECT_EQ(loopCount("render @30"), 1);
    EXPECT_EQ(loopCount("input 513 @16"), 1);  // the press on a button is the game's too
    EXPECT_EQ(loopCount("input 514 @25"), 0);
    EXPECT_EQ(loopCount("input 514 @10"), 0);
    EXPECT_EQ(overlay.menuY, 319);
    // While held, the frame showed the button's name beside the menu (at y 290 + 5).
    ASSERT_EQ(heldFrame.size(), 240u * 320u);
    const char* name = "Exit";
    for (int c = 0; c < 4; c++) {
        for (int j = 0; j < 6; j++) {
            for (int i = 0; i < 6; i++) {
                int x = 90 + 6 * c + i, y = 295 + j;
                uint16_t expected = ink(name[c], i, j) ? logColourTable[0] : sheetColour(x + 77, 106 + (y - 291));
                ASSERT_EQ(heldFrame[y * 240 + x], expected) << x << "," << y;
            }
        }
    }
}

TEST_F(OverlayLoop, MenuPauseSuspendsUntilTheNextPress) {
    loop.script = [](int64_t pass) {
        headlessAdvance(PASS);
        if (pass == 10) {
            headlessMouse(MSG_LBUTTONDOWN, 20, 315);
            headlessMouse(MSG_LBUTTONUP, 20, 315);
        } else if (pass == 16) {
            headlessMouse(MSG_LBUTTONDOWN, 40, 300);  // a quick tap on Pause
            headlessMouse(MSG_LBUTTONUP, 40, 300);
        } else if (pass == 26) {
            headlessMouse(MSG_LBUTTONDOWN, 120, 100);
            headlessMouse(MSG_LBUTTONUP, 120, 100);
        } else if (pass == 28) {
            platformSendMessage(MSG_CLOSE, 0, 0);
        }
    };
    EXPECT_EQ(runGame(), 0);
    EXPECT_TRUE(logHas("Menu: Suspend"));
    // Frames at passes 16..20 slide the menu down; pass 21's frame suspends.
    EXPECT_EQ(loopCount("render @21"), 1);
    for (int64_t p = 22; p <= 25; p++) {
        EXPECT_EQ(loop.activeAtHook[p], 0) << p;
        EXPECT_EQ(loopCount("render @" + std::to_string(p)), 0) << p;
        EXPECT_EQ(loopCount("update @" + std::to_string(p)), 0) << p;
    }
    // The press resumed it without reaching the game; the release went on.
    EXPECT_EQ(loopCount("input 513 @26"), 0);
    EXPECT_EQ(loopCount("input 514 @26"), 1);
    EXPECT_EQ(loopCount("update @26"), 4);
    EXPECT_EQ(loopCount("render @26"), 1);
    EXPECT_EQ(loop.activeAtHook[27], 1);
}
