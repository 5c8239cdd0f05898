// The screens around play pinned by their pixels: splashes, main menu, options, control configuration,
// high scores, name entry, game over, farewell and exit, and the corner back button.
// Frames with text are checked against the same texts drawn at the places the screens give them, with
// the jitter foreseen from a copy of the shared generator.
#include <gtest/gtest.h>

#include <cstring>

#include "field/effects.h"
#include "field/level.h"
#include "game/game.h"
#include "field/gamevalues.h"
#include "game/highscores.h"
#include "game/modes.h"
#include "game/render.h"
#include "game/settings.h"
#include "gfx/blit.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "render_kit.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "shell/random.h"
#include "sound/mixer.h"
#include "sound/music.h"

namespace {

const uint16_t YELLOW = packColour(31, 31, 0);

int centred(const char* text, int slot) {
    return 120 - textWidth(text, slot) / 2;
}

int rowY(int i) {
    return 20 + (i + 2) * (fontLineHeight(0) + 5);
}

void expectWholePicture(const Surface* picture) {
    ASSERT_EQ(picture->width, 240);
    ASSERT_EQ(picture->height, 320);
    EXPECT_EQ(countDifferences(picture, 0, 0, 240, 320), 0);
}

}  // namespace

namespace {

// The frame (the icons' 60 x 56 piece at (103, 1)) raised by `raise`, at the screen's corner.
Surface* cornerFrame(int raise) {
    Surface* e = makeScreen(0);
    for (int j = 0; j < 56; j++) {
        for (int i = 0; i < 60; i++) {
            putPixel(e, 181 + i, 264 + j, additivePixel(0, getPixel(effects.iconsPicture, 103 + i, 1 + j), raise));
        }
    }
    return e;
}

}  // namespace

TEST(CornerButton, AtRestTheFaceIsMaskedAndUnderTheStylusTheGlowRisesAndTheFaceSparkles) {
    ScreenFixture f;
    clearSurface(backSurface);
    renderState.cornerHover = 0;
    drawCornerButton();
    EXPECT_EQ(renderState.cornerHover, 0);
    Surface* e = cornerFrame(-10);
    for (int j = 0; j < 47; j++) {
        for (int i = 0; i < 51; i++) {
            int a = (getPixel(effects.iconsPicture, 52 + i, 1 + j) & 31) * 8;
            if (a != 0) {
                putPixel(e, 184 + i, 268 + j,
                         blendColour(getPixel(effects.iconsPicture, 1 + i, j), getPixel(e, 184 + i, 268 + j), a));
            }
        }
    }
    EXPECT_EQ(differencesFrom(e), 0);
    // The glow follows the stylus without a press.
    stylus.x = 200;
    stylus.y = 300;
    for (int frame = 1; frame <= 7; frame++) {
        clearSurface(backSurface);
        uint32_t state = gameRandState();
        drawCornerButton();
        EXPECT_EQ(renderState.cornerHover, frame < 5 ? frame : 5);
        if (frame == 7) {
            // Full glow: the frame drawn with a raise of 0, then the face sparkles, one draw per face pixel.
            e = cornerFrame(0);
            blitMasked(e, 184, 268, 51, 47, effects.iconsPicture, 1, 0, effects.iconsPicture, 52, 1);
            RandomCopy r{state};
            for (int j = 0; j < 47; j++) {
                for (int i = 0; i < 51; i++) {
                    if (getPixel(effects.iconsPicture, 1 + i, j) != 0) {
                        putPixel(e, 184 + i, 268 + j, brighten(getPixel(e, 184 + i, 268 + j), r.next() & 3));
                    }
                }
            }
            EXPECT_EQ(differencesFrom(e), 0);
        }
    }
    // The edge itself does not count, and leaving drops the glow at once.
    stylus.x = 184;
    drawCornerButton();
    EXPECT_EQ(renderState.cornerHover, 0);
    stylus.x = 185;
    stylus.y = 268;
    drawCornerButton();
    EXPECT_EQ(renderState.cornerHover, 0);
    stylus.y = 269;
    stylus.down = 1;
    drawCornerButton();
    EXPECT_EQ(renderState.cornerHover, 1);
}

TEST(Splashes, BrightnessRisesHoldsAndFadesOut) {
    EXPECT_EQ(splashBrightness(0), 0);
    EXPECT_EQ(splashBrightness(120), 120);
    EXPECT_EQ(splashBrightness(290), 255);
    EXPECT_EQ(splashBrightness(300), 255);
    EXPECT_EQ(splashBrightness(301), 254);
    EXPECT_EQ(splashBrightness(400), 155);
    EXPECT_EQ(splashBrightness(555), 0);
    EXPECT_EQ(splashBrightness(600), 0);
}

TEST(Splashes, TheLogosDriftApartAndBlendInWithTheCounter) {
    ScreenFixture f;
    f.goTo(MODE_SPLASH_LOGO);
    flow.logoCounter = 100;
    f.render();
    const Surface* logo = flowPictures.logo;
    const Surface* maker = flowPictures.logoMaker;
    ASSERT_EQ(logo->height, 110);
    ASSERT_EQ(maker->height, 40);
    // d = (100 >> 4) - 20 = -14: the studio logo at y 160 - 55 - 50 + 14 = 69, the maker's at 186.
    Surface* e = makeScreen(0);
    blit(e, 120 - logo->width / 2, 69, logo->width, logo->height, logo, 0, 0, BLIT_ALPHA_BLEND, 100);
    blit(e, 120 - maker->width / 2, 186, maker->width, maker->height, maker, 0, 0, BLIT_ALPHA_BLEND, 100);
    uint16_t grey = packColour(6, 6, 6);
    drawSmallText(e, "Built on", 120 - 24, 177, grey);
    drawSmallText(e, "Technology", 120 - 30, 230, grey);
    drawSmallText(e, "...Loading...", 120 - 39, 280, grey);
    EXPECT_EQ(differencesFrom(e), 0);
    // Once the counter is past 555 the screen is black.
    flow.logoCounter = 556;
    f.render();
    EXPECT_EQ(differencesFrom(makeScreen(0)), 0);
}

TEST(Splashes, IntroFadesWithItsGreyLoadingLine) {
    ScreenFixture f;
    f.goTo(MODE_SPLASH_INTRO);
    flow.splashCounter = 400;
    f.render();
    const Surface* intro = flowPictures.intro;
    Surface* e = makeScreen(0);
    blit(e, 120 - intro->width / 2, 160 - intro->height / 2, intro->width, intro->height, intro, 0, 0,
         BLIT_ALPHA_BLEND, 155);
    drawSmallText(e, "...Loading...", 81, 280, packColour(19, 19, 19));
    EXPECT_EQ(differencesFrom(e), 0);
}

TEST(Splashes, TheMonkeysMouthMovesWhileASoundPlays) {
    ScreenFixture f;
    f.goTo(MODE_SPLASH_MONKEY);
    f.silence();
    flow.splashCounter = 200;
    f.render();
    Surface* quiet = copyOfBack();
    f.loadTestSound(20);
    playSound(20);
    f.render();
    const Surface* monkey = flowPictures.monkey;
    const Surface* mouth = flowPictures.monkeyMouth;
    int left = 120 - monkey->width / 2 + 104, top = 160 - monkey->height / 2 + 128;
    for (int j = 0; j < mouth->height; j++) {
        for (int i = 0; i < mouth->width; i++) {
            uint16_t m = getPixel(mouth, i, j);
            putPixel(quiet, left + i, top + j, m != 0 ? blendColour(m, 0, 200) : 0);
        }
    }
    EXPECT_EQ(differencesFrom(quiet), 0);
    f.silence();
}

TEST(MainMenu, ItemsGlowOverTheTitleAndMoveDownWhileAGameIsInProgress) {
    ScreenFixture f;
    for (int g = 0; g <= 1; g++) {
        game.gameInProgress = (int16_t)g;
        if (g == 1) {
            // A paused field to show through the title's black.
            currentLevel.fieldPicture = makeScreen(packColour(10, 20, 30));
        }
        f.goTo(MODE_FAREWELL);
        f.goTo(MODE_MAIN_MENU);
        const int glows[6] = {-3, -31, 0, -12, -20, -7};
        for (int i = 0; i < 6; i++) {
            flow.menuGlow[i] = glows[i];
        }
        f.render();
        const Surface* title = flowPictures.titleBack;
        const Surface* sheet = flowPictures.mainMenu;
        Surface* e = makeScreen(0);
        blit(e, 0, 0, 240, 320, title, 0, 0, BLIT_COPY);
        for (int i = 1 - g; i < 6; i++) {
            int top = 122 + 24 * i + 12 * g;
            for (int j = 0; j < 24; j++) {
                for (int k = 0; k < sheet->width; k++) {
                    putPixel(e, 82 + k, top + j,
                             additivePixel(getPixel(e, 82 + k, top + j), getPixel(sheet, k, 2 + 24 * i + j), glows[i]));
                }
            }
        }
        EXPECT_EQ(differencesFrom(e), 0) << "game in progress " << g;
    }
    removeSurface(&currentLevel.fieldPicture);
    game.gameInProgress = 0;
}

TEST(Options, WindowKnobsAndTexts) {
    ScreenFixture f;
    setDefaultSettings();
    f.goTo(MODE_OPTIONS);
    setVolume(0, 200);
    music.volume = 81;
    game.difficulty = 2;
    game.helpfulHints = 0;
    flow.backgroundRow = -37;
    f.render();
    const Surface* window = flowPictures.optionsWindow;
    int w = window->width, h = window->height, left = 120 - w / 2, top = 150 - h / 2;
    Surface* e = makeScreen(0);
    scrolledBackground(e, 37);
    blit(e, left, top, w, h - 18, window, 0, 0, BLIT_COPY);
    blit(e, left + 11 + 100, top + 72, 6, 18, window, 0, h - 18, BLIT_TRANSPARENT);
    blit(e, left + 11 + 40, top + 103, 6, 18, window, 0, h - 18, BLIT_TRANSPARENT);
    drawText(e, "Difficulty: Medium", left + 12, top + 165, 1);
    drawText(e, "Helpful Hints: OFF", left + 14, top + 40, 1);
    EXPECT_EQ(differencesFrom(e, false), 0);
}

TEST(Options, StrayValuesAreShownAndKeptAsTheirDefaults) {
    ScreenFixture f;
    setDefaultSettings();
    f.goTo(MODE_OPTIONS);
    f.render();
    Surface* defaults = copyOfBack();
    game.difficulty = 7;
    game.helpfulHints = 5;
    f.render();
    EXPECT_EQ(game.difficulty, 1);
    EXPECT_EQ(game.helpfulHints, 1);
    EXPECT_EQ(countDifferences(defaults, 0, 0, 240, 320), 0);
    removeSurface(&defaults);
}

TEST(ControlConfig, TheSelectedRowIsTintedAndJittersAndTheCheatLabelLiesOffScreen) {
    ScreenFixture f(12345);
    setDefaultSettings();
    f.goTo(MODE_CONTROL_CONFIG);
    flow.selectedControlRow = 6;
    game.updateCounter = 7;
    uint32_t state = gameRandState();
    f.render();
    Surface* e = makeScreen(0);
    tileSurface(e, 0, 0, 240, 320, flowPictures.background, 0, 0);
    drawText(e, "CONTROL CONFIG", centred("CONTROL CONFIG", 0), 20, 0);
    const char* labels[8] = {"Up", "Down", "Left", "Right", "Action1", "Escape", "Screenshot", "Suspend"};
    const char* codes[8] = {"[0x26]", "[0x28]", "[0x25]", "[0x27]", "[0x20]", "[0x1b]", "[0x d]", "[0x 0]"};
    RandomCopy r{state};
    for (int i = 0; i < 8; i++) {
        int y = rowY(i);
        if (i == 6) {
            uint16_t tint = packColour(31, 7, 31);
            int x1 = 5 + (r.next() & 1), y1 = y + (r.next() & 1);
            drawTextColoured(e, labels[i], x1, y1, 0, tint);
            int x2 = 235 - textWidth(codes[i], 0) + (r.next() & 1), y2 = y + (r.next() & 1);
            drawTextColoured(e, codes[i], x2, y2, 0, tint);
        } else {
            drawText(e, labels[i], 5, y, 0);
            drawText(e, codes[i], 235 - textWidth(codes[i], 0), y, 0);
        }
    }
    drawSmallText(e, "Press desired", 120 - 39, 30, packColour(31, 31, 31));
    drawSmallText(e, "Screenshot", 120 - 30, 37, packColour(31, 0, 0));
    drawSmallText(e, "Button", 120 - 18, 44, packColour(31, 31, 31));
    EXPECT_EQ(differencesFrom(e, false), 0);
}

TEST(ControlConfig, TheCheatLabelComesIntoViewWhenThePageIsDraggedLeftAndShimmers) {
    ScreenFixture f;
    setDefaultSettings();
    f.goTo(MODE_CONTROL_CONFIG);
    flow.selectedControlRow = -1;
    game.updateCounter = 21;
    auto yellowPixels = [](void) {
        int n = 0;
        for (int y = 0; y < 320; y++) {
            for (int x = 0; x < 240; x++) {
                n += backPixel(x, y) == YELLOW;
            }
        }
        return n;
    };
    // Raised by 60 so that the corner button does not cover the label.
    flow.pageY = 60;
    flow.pageX = 0;
    f.render();
    int atRest = yellowPixels();
    flow.pageX = 136;
    f.render();
    EXPECT_EQ(yellowPixels(), atRest);
    flow.pageX = 200;
    f.render();
    EXPECT_GT(yellowPixels(), atRest + 20);
    // The label in yellow at (376 - 200, 300 - 60) and the two shimmering lines around it.
    Surface* e = makeScreen(0);
    tileSurface(e, 0, 0, 240, 320, flowPictures.background, 100, 30);
    drawSmallText(e, "CHEAT #2", 176, 240, YELLOW);
    for (int dx = 0; dx < 71; dx++) {
        brightenPixel(e, 165 + dx, 236, (21 + dx) & 15);
        brightenPixel(e, 165 + dx, 248, (21 + dx) & 15);
    }
    EXPECT_EQ(countDifferences(e, 160, 234, 240, 250), 0);
    removeSurface(&e);
}

TEST(HighScoreScreen, RowsNamesScoresTheLastRankTintedAndEmptyEntries) {
    ScreenFixture f(777);
    setDefaultSettings();
    game.difficulty = 2;
    insertHighScore("BOB", 99999, 2);
    insertHighScore("A.B", 1234, 2);
    game.highScoreRank = 1;
    f.goTo(MODE_HIGH_SCORES);
    game.updateCounter = 70;
    flow.pageX = 10;
    flow.pageY = 4;
    uint32_t state = gameRandState();
    f.render();
    int sx = 10, sy = 4;
    Surface* e = makeScreen(0);
    tileSurface(e, 0, 0, 240, 320, flowPictures.background, 5, 2);
    drawText(e, "High Scores", centred("High Scores", 0) - sx, 20 - sy, 0);
    RandomCopy r{state};
    auto jittered = [&](const char* text, int x, int y, int tinted) {
        x += r.next() & 1;
        y += r.next() & 1;
        if (tinted) {
            drawTextColoured(e, text, x, y, 0, packColour(31, 31, 70 & 31));
        } else {
            drawText(e, text, x, y, 0);
        }
    };
    // First row: rank, name and score; full stops show as spaces and the score's last 7 characters.
    jittered(" 1", 5 - sx, rowY(0) - sy, 0);
    jittered("BOB       ", 35 - sx, rowY(0) - sy, 0);
    jittered("  99999", 235 - textWidth("  99999", 0) - sx, rowY(0) - sy, 0);
    jittered(" 2", 5 - sx, rowY(1) - sy, 1);
    jittered("A B       ", 35 - sx, rowY(1) - sy, 1);
    jittered("   1234", 235 - textWidth("   1234", 0) - sx, rowY(1) - sy, 1);
    for (int i = 2; i < 25; i++) {
        jittered("...", centred("...", 0) - sx, rowY(i) - sy, 0);
    }
    buildLogColours();
    drawSmallText(e, "Difficulty: MEDIUM", 120 - 54 - sx, fontLineHeight(0) + 12 - sy, YELLOW);
    EXPECT_EQ(differencesFrom(e, false), 0);
}

TEST(NameEntry, TitleScoreNameAndTheJitteringKeyboard) {
    ScreenFixture f(99);
    game.score = 4321;
    f.goTo(MODE_NAME_ENTRY);
    strcpy(flow.name, "ZOE");
    flow.nameLength = 3;
    flow.backgroundRow = 0;
    uint32_t state = gameRandState();
    f.render();
    Surface* e = makeScreen(0);
    scrolledBackground(e, 0);
    drawText(e, "Congratulations!", centred("Congratulations!", 0), 20, 0);
    drawSmallText(e, "Score 4321", 120 - 30, 32, YELLOW);
    drawText(e, "Enter your name:", centred("Enter your name:", 1), 50, 1);
    drawText(e, "ZOE", centred("ZOE", 0), 80, 0);
    RandomCopy r{state};
    for (int row = 0; row < 8; row++) {
        for (int column = 0; column < 12; column++) {
            char key[2] = {(char)(32 + column + 12 * row), 0};
            int x = 5 + 20 * column + (r.next() & 1);
            int y = 160 + 14 * row + (r.next() & 1);
            drawText(e, key, x, y, 1);
        }
    }
    int x = 5 + (r.next() & 1), y = 310 + (r.next() & 1);
    drawText(e, "ERASE", x, y, 0);
    x = 235 - textWidth("DONE", 0) + (r.next() & 1);
    y = 310 + (r.next() & 1);
    drawText(e, "DONE", x, y, 0);
    EXPECT_EQ(differencesFrom(e), 0);
}

TEST(GameOver, TheHighScoreLineShowsOnlyWhenTheScoreRanks) {
    ScreenFixture f;
    for (int ranks = 0; ranks <= 1; ranks++) {
        game.score = ranks ? 500 : 0;
        f.goTo(MODE_MAIN_MENU);
        f.goTo(MODE_GAME_OVER);
        EXPECT_EQ(game.highScoreRank, ranks ? 0 : 25);
        flow.backgroundRow = -200;
        f.render();
        Surface* e = makeScreen(0);
        scrolledBackground(e, 200);
        drawText(e, "Game Over", centred("Game Over", 0), 40, 0);
        const char* score = ranks ? "Score 500" : "Score 0";
        drawText(e, score, centred(score, 0), 80, 0);
        if (ranks) {
            drawTextColoured(e, "You have a high score!!", centred("You have a high score!!", 1), 160, 1,
                             packColour(0, 31, 31));
        }
        drawSmallText(e, "Tap to continue", 120 - 45, 295, YELLOW);
        EXPECT_EQ(differencesFrom(e), 0) << "ranks " << ranks;
    }
}

TEST(FarewellAndExit, EachShowsItsPictureWhole) {
    ScreenFixture f;
    f.goTo(MODE_FAREWELL);
    f.render();
    expectWholePicture(flowPictures.farewell);
    f.goTo(MODE_EXIT);
    f.render();
    expectWholePicture(flowPictures.exitPicture);
}

TEST(Render, ModesWithoutAScreenLeaveTheFrameAloneAndEveryModeIsReturnedUnchanged) {
    ScreenFixture f;
    Surface* before = makeScreen(packColour(3, 4, 5));
    blit(backSurface, 0, 0, 240, 320, before, 0, 0, BLIT_COPY);
    for (int32_t mode : {0, 2, 112, 113, 114, 999}) {
        EXPECT_EQ(renderMode(mode), mode);
    }
    EXPECT_EQ(countDifferences(before, 0, 0, 240, 320), 0);
    removeSurface(&before);
}
