// The screens of a game pinned by their pixels: the level chooser (locked gradient, pressed cell, reveal
// numbers, the first cell's call and the sweep), play (zone line, sparks, score, messages, hint panel),
// the information page with its cheat panel and scroll arrows, and the editor's frame.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "field/ball.h"
#include "field/blocks.h"
#include "field/editor.h"
#include "field/level.h"
#include "field/paddle.h"
#include "field/powerup.h"
#include "field/gamevalues.h"
#include "game/modes.h"
#include "game/play.h"
#include "game/render.h"
#include "game/settings.h"
#include "gfx/blit.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "render_kit.h"
#include "shell/input.h"
#include "shell/mainloop.h"
#include "shell/random.h"

namespace {

// Our own level set; level 5 holds one block. Hints off unless a test turns them on.
struct PlayScreen : ScreenFixture {
    PlayScreen() {
        writeTestLevelSet();
        writeTestLevel(5, 100, 50, 1);
        setDefaultSettings();
        game.helpfulHints = 0;
    }
    void startLevel(int level) {
        game.levelIndex = level;
        goTo(MODE_NEW_GAME);
        update(2);
        apply();
        ASSERT_EQ(mainLoop.currentMode, MODE_PLAY);
        // The paddle well below the zone line: no sparks.
        paddle.y = 300;
    }
};

void drawNumber(Surface* e, const char* text, int cellX, int cellY) {
    int x = cellX + 12 - 3 * (int)std::string(text).size(), y = cellY + 10;
    for (int dy = -1; dy <= 1; dy++) {
        for (int dx = -1; dx <= 1; dx++) {
            drawSmallTextBlended(e, text, x + dx, y + dy, 0, 48);
        }
    }
    drawSmallText(e, text, x, y, packColour(31, 31, 31));
}

// Border pixels of a chooser cell with their offsets inside it, each once.
template <typename F>
void eachBorderPixel(int level, F f) {
    int left = 24 * (level % 10), top = 80 + 24 * (level / 10);
    for (int y = 0; y < 24; y++) {
        for (int x = 0; x < 24; x++) {
            if (x == 0 || y == 0 || x == 23 || y == 23) {
                f(left + x, top + y, x, y);
            }
        }
    }
}

int centredField(const char* text, int slot) {
    return 120 - textWidth(text, slot) / 2;
}

}  // namespace

TEST(ChooserScreen, LockedCellsShowTheGradientUnderThePicture) {
    PlayScreen f;
    game.unlocked[0][3] = 1;
    f.goTo(MODE_LEVEL_SELECT);
    game.updateCounter = 1000;
    f.render();
    // Above the grid: the chooser picture.
    EXPECT_EQ(countDifferences(flowPictures.chooser, 0, 0, 240, 80), 0);
    // Locked cell 27 (column 7, row 2): the gradient (x, 0, y) over its pixels.
    for (int y = 0; y < 24; y++) {
        for (int x = 0; x < 24; x++) {
            ASSERT_EQ(backPixel(168 + x, 128 + y), packColour(x, 0, y));
        }
    }
    // Unlocked cells stay black for their thumbnails; cell 0 calls for a tap while level 2 is locked.
    for (int y = 1; y < 23; y++) {
        for (int x = 1; x < 23; x++) {
            ASSERT_EQ(backPixel(72 + x, 80 + y), 0);
            ASSERT_EQ(backPixel(x, 80 + y), 0);
        }
    }
    eachBorderPixel(0, [](int sx, int sy, int x, int y) {
        EXPECT_EQ(backPixel(sx, sy), brighten(0, ((x + y) - 1000) & 31)) << x << ", " << y;
    });
    // With level 2 reached the call stops; Unlock All Levels brings it back.
    game.unlocked[0][1] = 1;
    f.render();
    eachBorderPixel(0, [](int sx, int sy, int, int) { EXPECT_EQ(backPixel(sx, sy), 0); });
    game.cheats.unlockAllLevels = 1;
    f.render();
    eachBorderPixel(0, [](int sx, int sy, int x, int y) {
        EXPECT_EQ(backPixel(sx, sy), brighten(0, ((x + y) - 1000) & 31));
    });
}

TEST(ChooserScreen, ThePressedCellGlowsWithItsNumberAndTheRevealNumbersTheCells) {
    PlayScreen f;
    game.unlocked[0][1] = 1;
    f.goTo(MODE_LEVEL_SELECT);
    game.updateCounter = 1000;
    f.render();
    Surface* rest = copyOfBack();
    // Pressed over column 2, row 3: level 33.
    stylus.down = 1;
    stylus.x = 2 * 24 + 5;
    stylus.y = 80 + 3 * 24 + 20;
    f.render();
    Surface* e = copyOfBack();
    blit(e, 0, 0, 240, 320, rest, 0, 0, BLIT_COPY);
    for (int y = 0; y < 24; y++) {
        for (int x = 0; x < 24; x++) {
            brightenPixel(e, 48 + x, 152 + y, ((((x + y) - 1000) >> 1) & 31) >> 1);
        }
    }
    drawNumber(e, "33", 48, 152);
    EXPECT_EQ(countDifferences(e, 0, 0, 240, 320), 0);
    // A press above the grid but within 23 pixels of it counts as row 0.
    stylus.y = 60;
    stylus.x = 5;
    f.render();
    blit(e, 0, 0, 240, 320, rest, 0, 0, BLIT_COPY);
    for (int y = 0; y < 24; y++) {
        for (int x = 0; x < 24; x++) {
            brightenPixel(e, x, 80 + y, ((((x + y) - 1000) >> 1) & 31) >> 1);
        }
    }
    drawNumber(e, "1", 0, 80);
    EXPECT_EQ(countDifferences(e, 0, 0, 240, 320), 0);
    // The reveal counter n numbers the cell of level n - 1.
    stylus.down = 0;
    flow.revealCounter = 37;
    f.render();
    blit(e, 0, 0, 240, 320, rest, 0, 0, BLIT_COPY);
    drawNumber(e, "37", 6 * 24, 80 + 3 * 24);
    EXPECT_EQ(countDifferences(e, 0, 0, 240, 320), 0);
    flow.revealCounter = 100;
    f.render();
    blit(e, 0, 0, 240, 320, rest, 0, 0, BLIT_COPY);
    drawNumber(e, "100", 9 * 24, 80 + 9 * 24);
    EXPECT_EQ(countDifferences(e, 0, 0, 240, 320), 0);
    removeSurface(&rest);
    removeSurface(&e);
}

TEST(ChooserScreen, OnceRevealedASweepLightsTheBordersOfUnlockedCells) {
    PlayScreen f;
    for (int level : {0, 1, 3, 97}) {
        game.unlocked[0][level] = 1;
    }
    f.goTo(MODE_LEVEL_SELECT);
    game.updateCounter = 1000;
    f.render();
    Surface* e = copyOfBack();
    flow.revealCounter = 150;
    flow.revealSweep = 95;
    f.render();
    // Cells k = 95..125 (mod 100): 97, 0, 1 and 3 are unlocked; each border pixel by
    // (d + (1000 >> 4)) mod (k + 1 - 95), d its place along the edge from -12 to 11.
    for (int k = 95; k < 126; k++) {
        int level = k % 100;
        if (level != 97 && level != 0 && level != 1 && level != 3) {
            continue;
        }
        eachBorderPixel(level, [&](int sx, int sy, int x, int y) {
            int along = (y == 0 || y == 23) ? x : y;
            brightenPixel(e, sx, sy, (along - 12 + 62) % (k + 1 - 95));
        });
    }
    EXPECT_EQ(differencesFrom(e), 0);
}

TEST(PlayScreen, TheZoneLineBrightensOverEmptyCollisionPixelsAndSparksWithThePaddleAtItsTop) {
    PlayScreen f;
    f.startLevel(5);
    game.readyCountdown = 0;
    game.score = 12345;
    int y0 = 320 - paddle.zoneHeight;
    ASSERT_EQ(y0, 242);
    putPixel(currentLevel.collisionMap, 60, y0, 0xF800);
    putPixel(currentLevel.collisionMap, 61, y0, 0x001F);
    // The score stands centred at the top.
    for (int sparks = 0; sparks <= 1; sparks++) {
        paddle.y = sparks ? y0 + 1 : 300;
        uint32_t state = gameRandState();
        f.render();
        Surface* e = makeScreen(0);
        blit(e, 0, 0, 240, 320, currentLevel.fieldPicture, 0, 0, BLIT_COPY);
        drawText(e, "12345", centredField("12345", 1), 20, 1);
        RandomCopy r{state};
        for (int x = 0; x < 240; x++) {
            if (getPixel(currentLevel.collisionMap, x, y0) == 0) {
                brightenPixel(e, x, y0, 5);
                if (sparks) {
                    int y = y0 - 2 + r.next() % 5;
                    brightenPixel(e, x, y, r.next() & 31);
                }
            }
        }
        // Everything but the paddle's columns when it stands at the line.
        EXPECT_EQ(countDifferences(e, 0, 0, 240, 45), 0);
        EXPECT_EQ(countDifferences(e, 0, y0 - 3, sparks ? 100 : 240, y0 + 3), 0) << sparks;
        EXPECT_EQ(countDifferences(e, 141, y0 - 3, 240, y0 + 3), 0) << sparks;
        removeSurface(&e);
    }
}

TEST(PlayScreen, GetReadyDohAndLevelCompleteShowInTheirWindows) {
    PlayScreen f;
    f.startLevel(5);
    // No text and no draw of the generator: the frame every message is added to.
    game.readyCountdown = 351;
    f.render();
    Surface* none = copyOfBack();
    Surface* e = copyOfBack();
    auto expectFrame = [&](int32_t countdown, const char* text, int y) {
        game.readyCountdown = countdown;
        uint32_t state = gameRandState();
        f.render();
        blit(e, 0, 0, 240, 320, none, 0, 0, BLIT_COPY);
        if (text != nullptr) {
            RandomCopy r{state};
            int x = centredField(text, 0) + (r.next() & 1);
            int yy = y + (r.next() & 1);
            drawText(e, text, x, yy, 0);
        }
        EXPECT_EQ(countDifferences(e, 0, 0, 240, 320), 0) << "countdown " << countdown;
    };
    expectFrame(350, nullptr, 0);
    expectFrame(349, "Get Ready!", 220);
    expectFrame(51, "Get Ready!", 220);
    expectFrame(50, nullptr, 0);
    // The ball hangs still, so the frame is the same at these counts but for the aiming line: take the
    // frame without text again where the countdown is below 1.
    game.readyCountdown = -150;
    f.render();
    blit(none, 0, 0, 240, 320, backSurface, 0, 0, BLIT_COPY);
    expectFrame(-201, nullptr, 0);
    int balls = ballList.count;
    ballList.count = 0;
    game.readyCountdown = -150;
    f.render();
    blit(none, 0, 0, 240, 320, backSurface, 0, 0, BLIT_COPY);
    expectFrame(-200, nullptr, 0);
    expectFrame(-201, "Doh!", 220);
    // A cleared level shows its number instead.
    int blocks = currentLevel.blockCount;
    currentLevel.blockCount = currentLevel.indestructibleCount;
    expectFrame(-150, "Level 6 Complete!", 65);
    currentLevel.blockCount = blocks;
    ballList.count = balls;
    removeSurface(&none);
    removeSurface(&e);
}

TEST(PlayScreen, TheHintOfTheLevelShowsAtThePanelWhileTheCountdownRuns) {
    PlayScreen f;
    replaceFileBytes("Data/hint5.txt", textBytes("[hint|Level six hint]"));
    game.helpfulHints = 1;
    f.startLevel(5);
    ASSERT_EQ(game.readyCountdown, 1000);
    f.update(20);
    int x = hintPanel.x, y = hintPanel.y;
    ASSERT_GT(y, 0);
    f.render();
    EXPECT_EQ(backPixel(x + 87, y), packColour(31, 31, 31));
    EXPECT_EQ(backPixel(x + 199, y), packColour(31, 31, 31));
    EXPECT_EQ(backPixel(x + 120, y), packColour(16, 16, 16));
    // The box's height follows the one line of text from the next frame on.
    f.render();
    EXPECT_EQ(hintPanel.height, 16);
    EXPECT_EQ(backPixel(x + 120, y + 15), packColour(16, 16, 16));
    // Once the countdown has run out, or with hints off, no panel.
    game.readyCountdown = 0;
    f.render();
    EXPECT_NE(backPixel(x + 87, y), packColour(31, 31, 31));
    game.readyCountdown = 500;
    game.helpfulHints = 0;
    f.render();
    EXPECT_NE(backPixel(x + 87, y), packColour(31, 31, 31));
}

TEST(InfoPageScreen, ThePageScrollsUnderTheArrows) {
    ScreenFixture f;
    f.goTo(MODE_INFO_PAGE);
    const Surface* page = flowPictures.infoPage;
    ASSERT_EQ(page->width, 220);
    int limit = page->height + 20 - 320;
    for (int sy : {0, 1000, limit}) {
        flow.pageY = sy;
        f.render();
        Surface* e = makeScreen(0);
        tileSurface(e, 0, 0, 240, 320, flowPictures.background, 0, sy >> 1);
        blit(e, 10, 10 - sy, 220, page->height, page, 0, 0, BLIT_COPY);
        if (sy > 0) {
            drawPowerUpMark(e, 15, 15, (int)(game.updateCounter & 31), POWERUP_ZONE_UP);
        }
        if (sy < limit) {
            drawPowerUpMark(e, 15, 305, (int)(game.updateCounter & 31), POWERUP_ZONE_DOWN);
        }
        EXPECT_EQ(differencesFrom(e, false), 0) << "offset " << sy;
    }
}

TEST(InfoPageScreen, TheLidLiftsOffTheCheatPanelWithItsShadow) {
    ScreenFixture f;
    f.goTo(MODE_INFO_PAGE);
    const Surface* page = flowPictures.infoPage;
    flow.pageY = 2100;
    game.cheatPanelAmount = 0;
    f.render();
    Surface* closed = copyOfBack();
    game.cheats.fatPaddle = 6;
    game.cheats.disableDebris = 1;
    const char* lines[7] = {"Level Editor",      "Unlimited Lives  OFF", "Unlock All Levels  OFF", "Fat Paddle  ON",
                            "Max Power-up  OFF", "See Power-ups  OFF",   "Disable Debris  ON"};
    const int offsets[7] = {0, 23, 36, 49, 62, 75, 88};
    // The compartment's top on the screen: 10 - 2100 + 2173 = 83; the page's left edge 10.
    for (int amount : {2, 8, 20, 60, 150}) {
        game.cheatPanelAmount = amount;
        f.render();
        int s = amount >> 2 < 5 ? amount >> 2 : 5;
        int lift = amount > 35 ? amount - 35 : 0;
        Surface* e = makeScreen(0);
        tileSurface(e, 0, 0, 240, 320, flowPictures.background, 0, 1050);
        blit(e, 10, 10 - 2100, 220, page->height, page, 0, 0, BLIT_COPY);
        blit(e, 24, 83, 191, 106, page, 14, 2173, BLIT_FILL, 0);
        for (int i = 0; i < 7; i++) {
            drawText(e, lines[i], 120 - textWidth(lines[i], 1) / 2, 94 + offsets[i], 1);
        }
        int left = 24 - s, top = 83 - s - lift;
        for (int k = 1; k < s; k++) {
            for (int x = left + k; x <= left + 190 + k; x++) {
                darkenPixel(e, x, top + 105 + k, (5 - k) * 4);
            }
            for (int y = top + k; y < top + 105 + k; y++) {
                darkenPixel(e, left + 190 + k, y, (5 - k) * 4);
            }
        }
        blit(e, left, top, 191, 106, page, 14, 2173, BLIT_COPY);
        drawPowerUpMark(e, 15, 15, (int)(game.updateCounter & 31), POWERUP_ZONE_UP);
        drawPowerUpMark(e, 15, 305, (int)(game.updateCounter & 31), POWERUP_ZONE_DOWN);
        EXPECT_EQ(differencesFrom(e, false), 0) << "amount " << amount;
    }
    // Shut, the page is whole again.
    game.cheatPanelAmount = 0;
    f.render();
    EXPECT_EQ(countDifferences(closed, 0, 0, 240, 320), 0);
    removeSurface(&closed);
}

namespace {
int heldDrawings = 0;
void countHeldDrawing(void) {
    heldDrawings++;
}
}  // namespace

TEST(EditorScreen, FieldLevelNumberAndWhatTheEditorHolds) {
    PlayScreen f;
    game.levelIndex = 5;
    f.goTo(MODE_EDITOR);
    drawEditorHeld = countHeldDrawing;
    f.render();
    drawEditorHeld = nullptr;
    EXPECT_EQ(heldDrawings, 1);
    Surface* e = makeScreen(0);
    blit(e, 0, 0, 240, 320, currentLevel.fieldPicture, 0, 0, BLIT_COPY);
    drawSmallText(e, "Level 6", 120 - 21, 2, 0xFFFF);
    EXPECT_EQ(differencesFrom(e, false), 0);
    f.goTo(MODE_MAIN_MENU);
}
