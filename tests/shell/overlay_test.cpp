// The overlay console: the menu's actions, frames of fixed states, the scroll bar's edges, the error
// peek, and the stylus cursor's pixels.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

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

// ---- A sheet of our own, so every panel pixel is known ----

// Red and green give the sheet position modulo 32, blue is never 0; a diagonal every 13 pixels is
// transparent, in the glyphs and the panels alike.
uint16_t sheetColour(int x, int y) {
    return packColour(x & 31, y & 31, 1 + (x >> 5) + ((y >> 5) & 1) * 8);
}

Surface* makeSheet(void) {
    Surface* sheet = createSurface(240, 135);
    for (int i = 0; i < 240 * 135; i++) {
        putPixel(sheet, i % 240, i / 240, (i % 240 + i / 240) % 13 == 0 ? 0 : sheetColour(i % 240, i / 240));
    }
    return sheet;
}

void fillBack(uint16_t colour) {
    for (int i = 0; i < 240 * 320; i++) {
        putPixel(backSurface, i % 240, i / 240, colour);
    }
}

int32_t position(int x, int y) {
    return (int32_t)(((uint32_t)y & 0xFFFF) << 16 | ((uint32_t)x & 0xFFFF));
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
        stylus = {};
        mainLoop.ticksPerSecond = SECOND;
        appActive = 1;
        backSurface = createSurface(240, 320);
        fillBack(BACKGROUND);
        smallCharsSheet = makeSheet();
        platformCreateWindow("Plinkor", 0, 240, 320, windowProc);
        seedGameRand(1);
    }
    void TearDown() override {
        removeSurface(&backSurface);
        removeSurface(&smallCharsSheet);
        logLevel = 0;
    }

    // Stylus messages through the window procedure, on the virtual clock.
    void send(uint32_t message, int x, int y, int64_t after = 0) {
        now += after;
        headlessSetCounter(now);
        windowProc(message, message == MSG_LBUTTONDOWN ? 1 : 0, position(x, y));
    }
    // Lets the start-up motion finish: log window closed, menu at the bottom edge, stats retracted.
    void settle() {
        for (int i = 0; i < 8; i++) {
            drawOverlay();
        }
    }

    int64_t now = SECOND;
};

}  // namespace

// ---- The menu's actions ----

// A button tapped on the popped-up menu acts once the menu has retreated (304, 311, 315, 317, 319) and the
// next frame notices: Pause suspends the game; Exit asks the window to close, once.
TEST_F(Overlay, TheMenusPauseAndExitActOnceItIsDown) {
    settle();
    EXPECT_EQ((Ints{overlay.menuY, overlay.menuState, overlay.logState, overlay.statsX}), (Ints{319, 0, 0, 239}));
    const struct {
        int x;
        const char* line;
        int32_t state;
        Ints activeAndQuit;  // after the frame that acts
    } buttons[] = {{40, "Menu: Suspend", 5, {0, 0}}, {60, "Menu: Exit", 3, {1, 1}}};
    for (const auto& b : buttons) {
        overlay.menuY = 290;  // popped up
        overlay.menuState = 0;
        send(MSG_LBUTTONDOWN, b.x, 300);
        send(MSG_LBUTTONUP, b.x, 300, 1000);
        now += SECOND;
        // The last complete line of the log (the newest is text[0], empty after a newline).
        EXPECT_EQ(std::string(logBuffer.text[1], strnlen(logBuffer.text[1], LOG_COLUMNS)), b.line);
        for (int i = 0; i < 5; i++) {
            drawOverlay();
        }
        EXPECT_EQ((Ints{overlay.menuY, overlay.menuState, appActive, mainLoop.quitRequested}), (Ints{319, b.state, 1, 0}));
        drawOverlay();
        EXPECT_EQ((Ints{overlay.menuState, appActive, mainLoop.quitRequested}), (Ints{0, b.activeAndQuit[0], b.activeAndQuit[1]}));
        appActive = 1;
    }
    PlatformMessage msg;
    ASSERT_TRUE(platformPeekMessage(&msg));
    EXPECT_EQ(msg.message, MSG_DESTROY);
    drawOverlay();
    EXPECT_FALSE(platformPeekMessage(&msg));
}

// ---- Frames of fixed states ----

// Twenty log lines in turning colours, more below, and a line of exactly 30 being written, then each state
// drawn over a plain screen from generator state 4242: the frame's hash and the draws taken (a held menu
// button flickers from the shared sequence, one draw a pixel of its square).
TEST_F(Overlay, FixedStatesDrawAsRecorded) {
    settle();
    for (int n = 0; n < 20; n++) {
        logColoured(1, ("line " + std::to_string(n / 10) + std::to_string(n % 10) + "\n").c_str(), n % 7);
    }
    // 40 characters wrap after 30; a newline after a full line leaves an empty line; a message above
    // the level is dropped.
    logMessage(1, "0123456789012345678901234567890123456789\n");
    logMessage(1, "012345678901234567890123456789\n");
    logColoured(3, "dropped\n", 2);
    logColoured(1, "[ERROR] bad\n", 6);
    logColoured(1, "abcdefghijklmnopqrstuvwxyzABCD", 5);
    struct State {
        const char* what;
        int logX, logY, scroll, statsX, menuY, stylusX, stylusDown;
        uint64_t hash;
        int draws;
    };
    const State states[] = {
        {"log open, scrolled", 20, 150, 10, 239, 319, 0, 0, 3482052178406375968ull, 0},
        {"log peeking, clipped at the top", 0, 29, 0, 239, 319, 0, 0, 10919958845886804024ull, 0},
        {"log closed, the rest away", 0, 0, 0, 300, 400, 0, 0, 5960281631166176853ull, 0},
        {"statistics out", 0, 0, 0, 216, 319, 0, 0, 6590018775906602520ull, 0},
        {"menu up", 0, 0, 0, 239, 290, 0, 0, 13934208356636154661ull, 0},
        {"menu with Exit held", 0, 0, 0, 239, 290, 60, 1, 4561212122355491367ull, 400},
        {"menu held beside the buttons", 0, 0, 0, 239, 290, 30, 1, 13934208356636154661ull, 0},
    };
    mainLoop.presentsLastSecond = 57;
    mainLoop.updatesLastSecond = 60;
    for (const State& s : states) {
        overlay.logX = s.logX;
        overlay.logY = s.logY;
        overlay.scroll = s.scroll;
        overlay.statsX = s.statsX;
        overlay.menuY = s.menuY;
        stylus.x = s.stylusX;
        stylus.y = 300;
        stylus.down = s.stylusDown;
        fillBack(BACKGROUND);
        seedGameRand(4242);
        drawOverlay();
        EXPECT_EQ(hashSurface(backSurface), s.hash) << s.what;
        EXPECT_EQ(drawsBetween(4242, gameRandState()), s.draws) << s.what;
    }
}

// ---- Input ----

// An error line drops a closed window to its peek; one below the threshold, a window fully open or one
// lowered to y 20 or more is left alone.
TEST_F(Overlay, AnErrorLineDropsAClosedLogWindowToItsPeek) {
    const int cases[][4] = {{1, 0, 0, 3}, {0, 0, 0, 0}, {1, 2, 0, 2}, {1, 0, 20, 0}};
    for (const auto& c : cases) {
        resetOverlay();
        logLevel = c[0];
        overlay.logState = c[1];
        overlay.logY = c[2];
        logColoured(1, "[ERROR] x\n", 6);
        EXPECT_EQ(overlay.logState, c[3]) << c[0] << " " << c[1] << " " << c[2];
    }
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
        send(MSG_LBUTTONDOWN, p[0], p[1]);
        EXPECT_EQ(overlay.dragMode, p[2]) << p[0] << "," << p[1];
        overlay.dragMode = 0;
    }
}


// Fixed spots from generator state 4242 over a plain screen: the frame's hash and the draws taken (one for each crosshair candidate far enough from the stylus, drawn or not). Up, only the
// small brackets show (4 x 12 pixels); down, the crosshair and the large brackets too.
TEST_F(Overlay, StylusCursorDrawsFromTheSharedSequenceUpOrDown) {
    overlay.off = 1;
    showStylusCursor = 1;
    struct Spot {
        int x, y, down;
        uint64_t hash;
        int draws;
    };
    const Spot spots[] = {{10, 10, 0, 0x51737584ada12403ull, 128},   {120, 160, 0, 0x53b8f69546a79583ull, 0},
                          {100, 150, 1, 0xa8bd00bacf846b28ull, 754}, {0, 0, 1, 0x3f3970054083c240ull, 754},
                          {239, 319, 1, 0xe62dbfe3c8fcd28full, 754}};
    for (const Spot& s : spots) {
        stylus.x = s.x;
        stylus.y = s.y;
        stylus.down = s.down;
        fillBack(BACKGROUND);
        seedGameRand(4242);
        drawOverlay();
        EXPECT_EQ(hashSurface(backSurface), s.hash) << s.x << "," << s.y << " down " << s.down;
        EXPECT_EQ(drawsBetween(4242, gameRandState()), s.draws) << s.x << "," << s.y << " down " << s.down;
    }
}

TEST_F(Overlay, CursorIsDrawnOverTheConsole) {
    settle();
    showStylusCursor = 1;
    stylus.x = 150;
    stylus.y = 300;
    overlay.menuY = 290;
    overlay.menuState = 0;
    fillBack(BACKGROUND);
    drawOverlay();
    // Bracket pixels: (144, 290) lies just above the menu body, the others on it.
    EXPECT_EQ((Ints{getPixel(backSurface, 144, 290), getPixel(backSurface, 144, 310),
                    getPixel(backSurface, 140, 296), getPixel(backSurface, 141, 296)}),
              (Ints{brighten(BACKGROUND, 9), brighten(sheetColour(144 + 77, 106 + 19), 9),
                    brighten(sheetColour(140 + 77, 106 + 5), 9), sheetColour(141 + 77, 106 + 5)}));
}
