// The overlay console switched on: panel motion, drawing, drags and taps, the menu's actions, the
// error peek, and the stylus cursor's pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "gfx/draw.h"
#include "gfx/font.h"
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

// Checks small text drawn at (x, y) in `colour` over the sheet: the pixel under glyph pixel (i, j) of
// character k is sheetColour(x + 6k + i + dx, sy + j). Spaces are not checked.
void expectText(const char* text, int x, int y, uint16_t colour, int dx, int sy) {
    for (int k = 0; text[k] != 0; k++) {
        for (int j = 0; j < 6 && text[k] != ' '; j++) {
            for (int i = 0; i < 6; i++) {
                int at = x + 6 * k + i;
                uint16_t expected = ink(text[k], i, j) ? colour : sheetColour(at + dx, sy + j);
                ASSERT_EQ(px(at, y + j), expected) << "'" << text[k] << "' of " << text << " pixel " << i << "," << j;
            }
        }
    }
}

struct Pixel {
    int x, y;
    uint16_t colour;
};

void expectPixels(std::initializer_list<Pixel> pixels) {
    for (const Pixel& p : pixels) {
        EXPECT_EQ(px(p.x, p.y), p.colour) << p.x << "," << p.y;
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
        stylus.x = stylus.y = stylus.down = 0;
        stylus.quickTap = 0;
        stylus.lastPress = stylus.lastRelease = 0;
        mainLoop.ticksPerSecond = SECOND;
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

// ---- Motion, frame by frame, from the start-up positions through taps and the menu's actions ----

TEST_F(Overlay, PanelsMoveFrameByFrameAndTheMenuActsOnceItIsDown) {
    struct Motion {
        const char* what;
        std::function<void()> start;
        const char* line;          // the log's last line after the start, or nullptr
        int32_t startState;        // the moving panel's state after the start
        const int32_t* field;
        std::vector<int> values;   // the field after each frame
        const int32_t* field2;     // a second field moving with it, or nullptr
        std::vector<int> values2;
        int32_t during, end;       // the state before each frame (-1: not checked) and after the last
        std::function<void()> after;
    };
    PlatformMessage msg;
    const int32_t* none = nullptr;
    const Motion motions[] = {
        // The menu retracts from y 200 (318 is stepped to 319); the arrival is noticed by the next frame.
        {"start-up", [] {}, nullptr, 1, &overlay.menuY, {259, 289, 304, 311, 315, 317, 319, 319}, none, {}, 1, 0,
         [] {
             EXPECT_EQ(overlay.menuX, 0);
             EXPECT_EQ(overlay.logState, 0);
             EXPECT_EQ(overlay.logX + overlay.logY, 0);
             EXPECT_EQ(overlay.statsX, 239);
             EXPECT_EQ(overlay.statsState, 0);
             EXPECT_EQ(mainLoop.quitRequested, 0);
             EXPECT_EQ(appActive, 1);
         }},
        {"stats out", [this] { quickTapAt(236, 4); }, "Panel3 Pop", 2, &overlay.statsX, {227, 221, 218, 217, 216},
         none, {}, 2, 0, nullptr},
        // x3 - 6, the tab's left end; 238 is stepped to 239.
        {"stats back", [this] { quickTapAt(210, 8); }, "Panel3 Retract", 1, &overlay.statsX,
         {227, 233, 236, 237, 239}, none, {}, -1, 0,
         [] { EXPECT_EQ(gameMessages, (std::vector<int32_t>{MSG_LBUTTONDOWN, MSG_LBUTTONDOWN})); }},
        {"menu up", [this] { quickTapAt(20, 315); }, "Panel2 Pop", 2, &overlay.menuY, {304, 297, 293, 291, 290},
         none, {}, 2, 0, nullptr},
        // The body, right of the buttons.
        {"menu down", [this] { quickTapAt(150, 300); }, "Panel2 Retract", 1, &overlay.menuY,
         {304, 311, 315, 317, 319, 319}, none, {}, 1, 0, nullptr},
        // Dropping open from a dragged position arrives exactly.
        {"log open",
         [] {
             overlay.logX = 100;
             overlay.logY = 150;
             overlay.logState = 2;
         },
         nullptr, 2, &overlay.logX, {50, 25, 12, 6, 3, 1, 0}, &overlay.logY, {123, 109, 102, 99, 97, 96, 96}, 2, 0,
         nullptr},
        {"log to the corner",
         [] {
             overlay.logX = 37;
             overlay.logState = 1;
         },
         nullptr, 1, &overlay.logX, {18, 9, 4, 2, 1, 0, 0}, &overlay.logY, {48, 24, 12, 6, 3, 1, 0}, 1, 0, nullptr},
        {"log lowered to its peek",
         [] {
             overlay.logY = 40;
             overlay.logState = 3;
         },
         nullptr, 3, &overlay.logY, {35, 32, 31, 30}, none, {}, -1, 0, nullptr},
        // Halving a negative distance rounds down: from the corner the window stops at 95, not 96.
        {"log open from the corner",
         [this] {
             overlay.logY = 0;
             quickTapAt(10, 4);
         },
         "Panel1 Pop", 2, &overlay.logY, {48, 72, 84, 90, 93, 94, 95, 95, 95}, none, {}, 2, 2, nullptr},
        // A tap on its title, now low on the screen, retracts it.
        {"log title tapped low", [this] { quickTapAt(10, 100); }, "Panel1 Retract", 1, &overlay.logY, {}, none, {},
         -1, 1, nullptr},
        // An error line drops the closed window towards y 30; from below, halving stops one short.
        {"error peek",
         [] {
             overlay.logY = 0;
             overlay.logState = 0;
             logLevel = 1;
             logMessage(1, "ok\n");
             logColoured(1, "[ERROR] bad\n", 6);
             logLevel = 2;
         },
         "[ERROR] bad", 3, &overlay.logY, {15, 22, 26, 28, 29, 29}, none, {}, 3, 3, nullptr},
        {"Begin",
         [this] {
             overlay.logY = 0;
             overlay.logState = 0;
             openMenu();
             quickTapAt(20, 300);
         },
         "Menu: Begin", 4, &overlay.menuY, {304, 311, 315, 317, 319}, none, {}, 4, 4,
         [] {
             EXPECT_EQ(overlay.logState, 0);
             drawOverlay();
             EXPECT_EQ(overlay.menuState, 0);
             EXPECT_EQ(logLine(0), "");
             EXPECT_EQ(logLine(1), "");
             EXPECT_EQ(logLine(2), "reported to the console.");
             EXPECT_EQ(logLine(3), "Button messages are");
             EXPECT_EQ(logBuffer.colours[3][0], 6);
             EXPECT_EQ(overlay.logState, 3);
         }},
        // The close request goes through the window procedure, once.
        {"Exit",
         [this] {
             openMenu();
             quickTapAt(60, 300);
         },
         "Menu: Exit", 3, &overlay.menuY, {304, 311, 315, 317, 319}, none, {}, 3, 3,
         [&msg] {
             EXPECT_EQ(mainLoop.quitRequested, 0);
             drawOverlay();
             EXPECT_EQ(mainLoop.quitRequested, 1);
             EXPECT_EQ(overlay.menuState, 0);
             ASSERT_TRUE(platformPeekMessage(&msg));
             EXPECT_EQ(msg.message, MSG_DESTROY);
             drawOverlay();
             EXPECT_FALSE(platformPeekMessage(&msg));
         }},
        {"Pause",
         [this] {
             openMenu();
             quickTapAt(40, 300);
         },
         "Menu: Suspend", 5, &overlay.menuY, {304, 311, 315, 317, 319}, none, {}, 5, 5,
         [] {
             EXPECT_EQ(appActive, 1);
             drawOverlay();
             EXPECT_EQ(appActive, 0);
             EXPECT_EQ(overlay.menuState, 0);
         }},
    };
    for (const Motion& m : motions) {
        SCOPED_TRACE(m.what);
        const int32_t* state = m.field == &overlay.statsX  ? &overlay.statsState
                               : m.field == &overlay.menuY ? &overlay.menuState
                                                           : &overlay.logState;
        m.start();
        if (m.line != nullptr) {
            EXPECT_EQ(lastLogLine(), m.line);
        }
        EXPECT_EQ(*state, m.startState);
        for (size_t f = 0; f < m.values.size(); f++) {
            if (m.during >= 0) {
                EXPECT_EQ(*state, m.during) << "frame " << f;
            }
            drawOverlay();
            EXPECT_EQ(*m.field, m.values[f]) << "frame " << f;
            if (m.field2 != nullptr) {
                EXPECT_EQ(*m.field2, m.values2[f]) << "frame " << f;
            }
        }
        EXPECT_EQ(*state, m.end);
        if (m.after) {
            m.after();
        }
    }
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
    // Twenty lines in turning colours, the newest last.
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
    // Top edge: 194 x 2 at (20, 150 - 3 - 96). Bottom edge at y 149, then the title over its second
    // row (a hole at its column 61 lets the background show). Scroll thumb at (20 + 183, 150 - 21 - 10).
    expectPixels({{19, 51, BACKGROUND},          {20, 51, sheetColour(0, 88)},   {213, 52, sheetColour(193, 89)},
                  {214, 52, BACKGROUND},         {20, 50, BACKGROUND},           {20, 149, sheetColour(0, 96)},
                  {213, 150, sheetColour(193, 97)}, {20, 151, sheetColour(0, 98)}, {81, 151, BACKGROUND},
                  {80, 158, sheetColour(60, 105)}, {20, 159, BACKGROUND},        {203, 119, sheetColour(231, 0)},
                  {211, 138, sheetColour(239, 19)}, {212, 138, sheetColour(192, 91)}});
    // Rows counted upwards from y 143. Scroll 10 of 77 shows from buffer line (12 * 83) / 100 = 9,
    // one further down because line 0 is still empty: row 0 holds "line 10", row 1 "line 09".
    for (int row = 0; row < 16; row++) {
        int y = 143 - 6 * row;
        EXPECT_EQ(px(20, y), sheetColour(0, 90)) << row;
        EXPECT_EQ(px(213, y + 5), sheetColour(193, 95)) << row;
    }
    expectText("line 10", 22, 143, logColourTable[10 % 7], -20, 90);
    expectText("line 09", 22, 137, logColourTable[9 % 7], -20, 90);
    // Row 15 (y 53) shows buffer line 25, never written: the line background alone.
    expectPixels({{22, 53, sheetColour(2, 90)}, {23, 54, sheetColour(3, 91)}});
}

TEST_F(Overlay, PeekingLogShowsTheLineBeingWrittenLowestAndClipsAtTheTop) {
    settle();
    logMessage(1, "ok\n");
    logColoured(1, "[ERROR] bad\n", 6);
    logColoured(1, "abcdefghijklmnopqrstuvwxyzABCD", 5);  // exactly 30, nothing after: column 30
    overlay.logY = 29;
    fillBack(BACKGROUND);
    drawOverlay();
    // Line 0 is not empty, so row 0 (y 22) shows it, up to column 29; past it only the line background.
    // Rows at y 16, 10, 4 and -2 (clipped) above; then the bottom edge and the title.
    expectText("abcdefghijklmnopqrstuvwxyzABCD", 2, 22, logColourTable[5], 0, 90);
    expectText("[ERROR] bad", 2, 16, logColourTable[6], 0, 90);
    expectText("ok", 2, 10, logColourTable[0], 0, 90);
    expectPixels({{192, 24, sheetColour(192, 92)}, {0, 0, sheetColour(0, 92)}, {0, 28, sheetColour(0, 96)},
                  {0, 29, sheetColour(0, 97)}});
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
    mainLoop.presentsLastSecond = 57;
    mainLoop.updatesLastSecond = 60;
    fillBack(BACKGROUND);
    drawOverlay();
    // Handle at (211, 0), its first column a hole; cells at (217, 0) and (217, 9), cut at the right edge.
    expectPixels({{211, 0, BACKGROUND},           {212, 0, sheetColour(204, 89)},  {216, 8, sheetColour(208, 97)},
                  {212, 9, BACKGROUND},           {217, 0, sheetColour(209, 89)},  {239, 1, sheetColour(231, 90)},
                  {217, 9, sheetColour(209, 89)}, {239, 17, sheetColour(231, 97)}, {217, 18, BACKGROUND}});
    expectText("57", 220, 2, logColourTable[0], -8, 91);
    expectText("60", 220, 11, logColourTable[0], -8, 91);
    // Retracted: only the handle, at (234, 0).
    overlay.statsX = 239;
    fillBack(BACKGROUND);
    drawOverlay();
    expectPixels({{234, 0, BACKGROUND}, {235, 0, sheetColour(204, 89)}, {239, 8, sheetColour(208, 97)},
                  {233, 4, BACKGROUND}, {235, 9, BACKGROUND}});
}

TEST_F(Overlay, MenuDrawsTabBodyAndButtonsAndAHeldButtonFlickersFromTheSharedGenerator) {
    settle();
    openMenu();
    fillBack(BACKGROUND);
    drawOverlay();
    // Tab at (0, 283), its first row a hole; body at (0, 291), cut at the bottom edge; Begin, Pause and
    // Exit at x 10, 32 and 54.
    expectPixels({{0, 283, BACKGROUND},          {0, 284, sheetColour(77, 99)},   {41, 290, sheetColour(118, 105)},
                  {42, 290, BACKGROUND},         {0, 291, sheetColour(77, 106)},  {162, 319, sheetColour(239, 134)},
                  {163, 300, BACKGROUND},        {10, 295, sheetColour(0, 107)},  {29, 314, sheetColour(19, 126)},
                  {32, 295, sheetColour(40, 107)}, {51, 314, sheetColour(59, 126)}, {54, 295, sheetColour(20, 107)},
                  {73, 314, sheetColour(39, 126)}, {74, 300, sheetColour(74 + 77, 106 + 9)}});
    // Nothing random was drawn without a held button.
    EXPECT_EQ(gameRandState(), 1u);

    stylus.x = 60;
    stylus.y = 300;
    stylus.down = 1;
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
    expectPixels({{10, 295, sheetColour(0, 107)}, {51, 314, sheetColour(59, 126)}});
    expectText("Exit", 90, 295, logColourTable[0], 77, 110);
    // The same stylus lifted, or down beside the buttons: no name, no draws.
    for (int down = 0; down < 2; down++) {
        stylus.down = down;
        stylus.x = down ? 30 : 60;  // between Begin and Pause
        seedGameRand(5);
        fillBack(BACKGROUND);
        drawOverlay();
        EXPECT_EQ(gameRandState(), 5u);
        expectPixels({{54, 295, sheetColour(20, 107)}, {92, 296, sheetColour(92 + 77, 106 + 5)}});
    }
}

// ---- Input ----

TEST_F(Overlay, DraggingTheLogWindowMovesItAndTheDropDecidesWhereItGoes) {
    settle();
    // Picked up by its title, then by its text area (the grab may lie below the window's corner), then
    // carried back by its title into the corner, where it opens.
    struct Drag {
        int x, y, grabX, grabY, toX, toY, windowX, windowY;
        int32_t state;
        const char* line;
    };
    const Drag drags[] = {{5, 3, 5, 3, 105, 153, 100, 150, 0, "Panel1 Drop"},
                          {150, 100, 50, -50, 60, 10, 10, 60, 0, "Panel1 Drop"},
                          {12, 62, 2, 2, 2, 2, 0, 0, 2, "Panel1 Pop"}};
    for (const Drag& d : drags) {
        SCOPED_TRACE(d.line);
        press(d.x, d.y);
        EXPECT_EQ((std::vector<int>{overlay.dragMode, overlay.grabX, overlay.grabY}),
                  (std::vector<int>{1, d.grabX, d.grabY}));
        EXPECT_EQ(lastLogLine(), "Panel1 Drag");
        moveTo(d.toX, d.toY);
        EXPECT_EQ((std::vector<int>{overlay.logX, overlay.logY, overlay.logState}),
                  (std::vector<int>{d.windowX, d.windowY, 0}));
        release(d.toX, d.toY, EIGHTH + 1);
        EXPECT_EQ(lastLogLine(), d.line);
        EXPECT_EQ((std::vector<int>{overlay.dragMode, overlay.logX, overlay.logY, overlay.logState}),
                  (std::vector<int>{0, d.windowX, d.windowY, d.state}));
    }
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

TEST_F(Overlay, DraggingTheScrollBarScrollsWithinItsRangeAndAQuickTapLeavesNoDrag) {
    settle();
    overlay.logY = 96;
    overlay.logState = 2;
    press(188, 80);
    EXPECT_EQ(overlay.dragMode, 100);
    EXPECT_EQ(overlay.grabY, 80);
    EXPECT_EQ(lastLogLine(), "Panel1 Scrollbar Drag");
    EXPECT_EQ(overlay.logState, 2);
    // The drag follows the stylus anywhere, within 0..77; the window itself stays.
    const int moves[][3] = {{188, 50, 30}, {120, 0, 77}, {188, 120, 0}, {188, 60, 20}};
    for (const auto& m : moves) {
        moveTo(m[0], m[1]);
        EXPECT_EQ(overlay.scroll, m[2]) << m[1];
        EXPECT_EQ(overlay.logState, 0);
    }
    EXPECT_EQ(overlay.logY, 96);
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
    expectPixels({{183, 65, sheetColour(231, 0)}, {191, 84, sheetColour(239, 19)}});
    EXPECT_TRUE(gameMessages.empty());
    // A quick tap leaves no drag: a lifted stylus passing over the bar does not scroll it, the move
    // goes to the game.
    quickTapAt(188, 80);
    EXPECT_EQ(overlay.dragMode, 0);
    moveTo(188, 20);
    EXPECT_EQ(overlay.scroll, 10);
    EXPECT_EQ(gameMessages, (std::vector<int32_t>{MSG_LBUTTONUP, MSG_MOUSEMOVE}));
}

// The bar's hit area is columns 184..194 of the window and the text area's rows; column 183 is text.
TEST_F(Overlay, TheScrollBarAnswersPressesExactlyWithinItsEdges) {
    settle();
    overlay.logX = 20;
    overlay.logY = 150;  // text rows 52..149 with 16 lines
    overlay.logState = 0;
    const int presses[][3] = {{203, 100, 1},  {204, 100, 100}, {214, 100, 100}, {215, 100, 0},
                              {210, 51, 0},   {210, 52, 100},  {210, 149, 100}, {210, 150, 0}};
    for (const auto& p : presses) {
        press(p[0], p[1]);
        EXPECT_EQ(overlay.dragMode, p[2]) << p[0] << "," << p[1];
        overlay.dragMode = 0;
    }
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
    // The text area retracts it without a log line of its own: only the press's "Panel1 Drag".
    overlay.logY = 96;
    overlay.logState = 0;
    auto lines = [] {
        int n = 0;
        for (int i = 0; i < LOG_LINES; i++) {
            n += logLine(i).empty() ? 0 : 1;
        }
        return n;
    };
    int before = lines();
    quickTapAt(183, 95);
    EXPECT_EQ(overlay.logState, 1);
    EXPECT_EQ(overlay.dragMode, 0);
    EXPECT_EQ(lines(), before + 1);
    EXPECT_EQ(lastLogLine(), "Panel1 Drag");
    // Taps beside every panel, keys and idle moves go on to the game.
    gameMessages.clear();
    quickTapAt(200, 200);
    windowProc(MSG_KEYDOWN, 32, 0);
    windowProc(MSG_KEYUP, 32, 0);
    moveTo(5, 98);  // over the title
    EXPECT_EQ(gameMessages,
              (std::vector<int32_t>{MSG_LBUTTONDOWN, MSG_LBUTTONUP, MSG_KEYDOWN, MSG_KEYUP, MSG_MOUSEMOVE}));
}

TEST_F(Overlay, ButtonsAnswerQuickTapsAndSlowReleasesButNotAnExactEighth) {
    settle();
    openMenu();
    struct Case {
        int x, y;
        int64_t held;
        int32_t state;
        const char* line;  // nullptr: no line at all
        std::vector<int32_t> toGame;
    };
    const std::vector<int32_t> down = {MSG_LBUTTONDOWN}, both = {MSG_LBUTTONDOWN, MSG_LBUTTONUP};
    const Case cases[] = {
        // The press is the game's; the release is the overlay's.
        {10, 314, 1000, 4, "Menu: Begin", down},
        {51, 314, 1000, 5, "Menu: Suspend", down},
        {73, 314, 1000, 3, "Menu: Exit", down},
        {29, 314, EIGHTH + 1, 4, "Menu: Begin", down},
        {32, 314, EIGHTH - 1, 5, "Menu: Suspend", down},
        {54, 314, SECOND, 3, "Menu: Exit", down},
        // Released exactly an eighth of a second after the press: neither a tap nor a hold.
        {60, 300, EIGHTH, 0, nullptr, both},
        // Just outside a square (x 74, y 315) is the body, so a tap there retracts the menu instead.
        {74, 300, 1000, 1, "Panel2 Retract", down},
        {60, 315, 1000, 1, "Panel2 Retract", down},
        // A slow release beside the buttons is the game's.
        {150, 300, SECOND, 0, nullptr, both},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " held " << c.held);
        overlay.menuState = 0;
        gameMessages.clear();
        clearLog();
        press(c.x, c.y);
        release(c.x, c.y, c.held);
        EXPECT_EQ(overlay.menuState, c.state);
        EXPECT_EQ(lastLogLine(), c.line != nullptr ? c.line : "");
        EXPECT_EQ(gameMessages, c.toGame);
    }
}

// ---- The stylus cursor ----

// Fixed spots from generator state 4242 over a plain screen: the frame's hash, the pixels lit and the
// draws taken (one for each crosshair candidate far enough from the stylus, drawn or not). Up, only the
// small brackets show (4 x 12 pixels); down, the crosshair and the large brackets too.
TEST_F(Overlay, StylusCursorDrawsFromTheSharedSequenceUpOrDown) {
    overlay.off = 1;
    showStylusCursor = 1;
    struct Spot {
        int x, y, down;
        uint64_t hash;
        int lit, draws;
    };
    const Spot spots[] = {{10, 10, 0, 0x51737584ada12403ull, 48, 128},   {120, 160, 0, 0x53b8f69546a79583ull, 48, 0},
                          {100, 150, 1, 0xa8bd00bacf846b28ull, 725, 754}, {0, 0, 1, 0x3f3970054083c240ull, 593, 754},
                          {239, 319, 1, 0xe62dbfe3c8fcd28full, 44, 754}};
    for (const Spot& s : spots) {
        stylus.x = s.x;
        stylus.y = s.y;
        stylus.down = s.down;
        fillBack(BACKGROUND);
        seedGameRand(4242);
        drawOverlay();
        int lit = 0;
        for (int i = 0; i < 240 * 320; i++) {
            lit += px(i % 240, i / 240) != BACKGROUND ? 1 : 0;
        }
        EXPECT_EQ(hashSurface(backSurface), s.hash) << "stylus " << s.x << "," << s.y << " down " << s.down;
        EXPECT_EQ((Ints{lit, drawsBetween(4242, gameRandState())}), (Ints{s.lit, s.draws}))
            << "stylus " << s.x << "," << s.y << " down " << s.down;
    }
    // Down at (100, 150): the large brackets leave a gap of 3 either side; the crosshair lies one pixel
    // right of and below the stylus and skips its centre.
    stylus.x = 100;
    stylus.y = 150;
    fillBack(BACKGROUND);
    drawOverlay();
    expectPixels({{96, 130, brighten(BACKGROUND, 5)}, {97, 130, BACKGROUND}, {120, 146, brighten(BACKGROUND, 5)},
                  {80, 169, brighten(BACKGROUND, 5)}, {90, 146, brighten(BACKGROUND, 9)}, {101, 151, BACKGROUND}});
}

TEST_F(Overlay, CursorIsDrawnOverTheConsole) {
    settle();
    showStylusCursor = 1;
    stylus.x = 150;
    stylus.y = 300;
    openMenu();
    fillBack(BACKGROUND);
    drawOverlay();
    // Bracket pixels: (144, 290) lies just above the menu body, the others on it.
    expectPixels({{144, 290, brighten(BACKGROUND, 9)},
                  {144, 310, brighten(sheetColour(144 + 77, 106 + 19), 9)},
                  {140, 296, brighten(sheetColour(140 + 77, 106 + 5), 9)},
                  {141, 296, sheetColour(141 + 77, 106 + 5)}});
}

// ---- The whole program on the headless backend ----

namespace {

int64_t loopPass = -1, lastRender = -1;
std::vector<std::pair<int32_t, int64_t>> loopInput;  // message, pass
std::vector<uint16_t> heldFrame;

}  // namespace

TEST(OverlayLoop, MenuExitEndsTheProgram) {
    ScratchFolder folder;
    headlessReset();
    resetLoopState();
    clearLog();
    logLevel = 2;
    resetOverlay();
    showStylusCursor = 0;
    gameInterface = GameInterface{
        [] {
            mainLoop.currentMode = 500;
            // Our own sheet in place of the loaded one, so frames are exact.
            removeSurface(&smallCharsSheet);
            smallCharsSheet = makeSheet();
        },
        [] {},
        [](int32_t) {},
        [](int32_t) {},
        [](int32_t mode) { return mode; },
        [](int32_t mode) {
            fillBack(BACKGROUND);
            lastRender = loopPass;
            return mode;
        },
        [](int32_t message, uint32_t, int32_t) { loopInput.push_back({message, loopPass}); }};
    headlessSetPumpHook([](int64_t pass) {
        loopPass = pass;
        headlessAdvance(SECOND / 60 + 1);  // one update and one render each pass
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
    });
    writeTestPngRgb("Data/loading.png", 2, 2, std::vector<uint8_t>(12, 0));
    writeTestPngRgb("Data/smallchars.png", 1, 1, {9, 9, 9});
    EXPECT_EQ(runGame(), 0);
    // The release at pass 25 starts the retreat (304, 311, 315, 317, 319); pass 30's frame sends the
    // close request, the last render. The press on a button is the game's too; the releases are not.
    EXPECT_EQ(lastRender, 30);
    EXPECT_EQ(overlay.menuY, 319);
    auto sent = [](int32_t message, int64_t pass) {
        return std::count(loopInput.begin(), loopInput.end(), std::make_pair(message, pass));
    };
    EXPECT_EQ(sent(MSG_LBUTTONDOWN, 16), 1);
    EXPECT_EQ(sent(MSG_LBUTTONUP, 25) + sent(MSG_LBUTTONUP, 10), 0);
    // While held, the frame showed the button's name beside the menu (at y 290 + 5).
    ASSERT_EQ(heldFrame.size(), 240u * 320u);
    backSurface = createSurface(240, 320);
    for (int i = 0; i < 240 * 320; i++) {
        putPixel(backSurface, i % 240, i / 240, heldFrame[(size_t)i]);
    }
    expectText("Exit", 90, 295, logColourTable[0], 77, 110);
    removeSurface(&backSurface);
    logLevel = 0;
}
