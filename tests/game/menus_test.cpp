// The screens around play: main menu, options, control configuration, high scores, name entry, farewell.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "flowtest.h"
#include "field/level.h"
#include "game/game.h"
#include "field/gamevalues.h"
#include "game/highscores.h"
#include "game/modes.h"
#include "game/settings.h"
#include "game/startup.h"
#include "gfx/font.h"
#include "platform/headless/headless.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "shell/overlay.h"
#include "sound/mixer.h"
#include "sound/music.h"

namespace {

const int MENU_ROW = 122;

}  // namespace

// ---- Shared rules -----------------------------------------------------------------------------------

TEST(Rules, TheScreenshotKeyWritesOnKeyDownAndTheSuspendKeySuspendsUntilAPress) {
    FlowFixture f;
    controlKeys[CONTROL_SUSPEND] = 19;
    f.goTo(MODE_MAIN_MENU);
    f.keyUp(13);
    f.keyUp(19);
    EXPECT_TRUE(readFileBytes("My Documents/Plinkor0.BMP").empty());
    EXPECT_EQ(appActive, 1);
    f.keyDown(13);
    EXPECT_EQ(readFileBytes("My Documents/Plinkor0.BMP").size(), 230454u);
    EXPECT_EQ(mainLoop.currentMode, MODE_MAIN_MENU);
    f.keyDown(19);
    EXPECT_EQ(appActive, 0);
    // The press that resumes is not seen by the screen.
    f.press(120, MENU_ROW + 24 * 5 + 5);
    EXPECT_EQ(appActive, 1);
    EXPECT_EQ(stylus.down, 1);
    EXPECT_EQ(mainLoop.currentMode, MODE_MAIN_MENU);
}

TEST(Rules, EscapeLeavesEveryScreenButTheExcludedOnes) {
    FlowFixture f;
    struct Case {
        int32_t from, to;
    };
    const Case cases[] = {
        {MODE_MAIN_MENU, MODE_FAREWELL},   {MODE_OPTIONS, MODE_MAIN_MENU},
        {MODE_HIGH_SCORES, MODE_MAIN_MENU}, {MODE_NAME_ENTRY, MODE_MAIN_MENU},
        {MODE_INFO_PAGE, MODE_MAIN_MENU},  {MODE_LEVEL_SELECT, MODE_MAIN_MENU},
        {MODE_GAME_OVER, MODE_MAIN_MENU},  {MODE_CONTROL_CONFIG, MODE_CONTROL_CONFIG},
        {MODE_FAREWELL, MODE_EXIT},        {MODE_SPLASH_LOGO, MODE_SPLASH_LOGO},
        {MODE_SPLASH_INTRO, MODE_SPLASH_INTRO}, {MODE_SPLASH_MONKEY, MODE_SPLASH_MONKEY},
    };
    for (const Case& c : cases) {
        mainLoop.currentMode = c.from;
        f.keyUp(27);
        EXPECT_EQ(mainLoop.currentMode, c.to) << c.from;
    }
    // A reconfigured escape key works the same; Esc itself still leaves the main menu.
    controlKeys[CONTROL_ESCAPE] = 81;
    mainLoop.currentMode = MODE_OPTIONS;
    f.keyUp(27);
    EXPECT_EQ(mainLoop.currentMode, MODE_OPTIONS);
    f.keyUp(81);
    EXPECT_EQ(mainLoop.currentMode, MODE_MAIN_MENU);
    f.keyUp(27);
    EXPECT_EQ(mainLoop.currentMode, MODE_FAREWELL);
    mainLoop.currentMode = MODE_MAIN_MENU;
    f.keyUp(81);
    EXPECT_EQ(mainLoop.currentMode, MODE_FAREWELL);
}

TEST(Rules, CornerButtonReturnsFromItsScreens) {
    FlowFixture f;
    for (int32_t mode : {MODE_OPTIONS, MODE_CONTROL_CONFIG, MODE_HIGH_SCORES, MODE_INFO_PAGE}) {
        f.goTo(mode);
        f.tapEach({{184, 300}, {200, 268}});
        EXPECT_EQ(mainLoop.currentMode, mode);
        f.tap(185, 269);
        EXPECT_EQ(mainLoop.currentMode, MODE_MAIN_MENU) << mode;
        f.apply();
    }
}

// ---- Main menu --------------------------------------------------------------------------------------

TEST(MainMenu, EntrySavesTheSettingsAndShowsTheCursor) {
    FlowFixture f;
    setDefaultSettings();
    game.unlocked[1][7] = 1;
    showStylusCursor = 0;
    game.highScoreRank = 3;
    f.goTo(MODE_MAIN_MENU);
    uint8_t expected[SETTINGS_BYTES];
    encodeSettings(expected);
    EXPECT_EQ(readFileBytes("Data/settings.dat"), std::vector<uint8_t>(expected, expected + SETTINGS_BYTES));
    EXPECT_EQ(expected[48 + 4 * (100 + 7)], 1);
    EXPECT_EQ(showStylusCursor, 1);
    EXPECT_EQ(game.highScoreRank, -1);
}

TEST(MainMenu, ItemsFollowTheRowsAndMoveDownHalfARowWhileAGameIsInProgress) {
    FlowFixture f;
    f.goTo(MODE_MAIN_MENU);
    const int32_t targets[6] = {MODE_MAIN_MENU, MODE_LEVEL_SELECT, MODE_OPTIONS, MODE_INFO_PAGE,
                                MODE_HIGH_SCORES, MODE_FAREWELL};
    for (int i = 1; i <= 5; i++) {
        for (int dy : {0, 23}) {
            mainLoop.currentMode = MODE_MAIN_MENU;
            f.tap(120, MENU_ROW + 24 * i + dy);
            EXPECT_EQ(mainLoop.currentMode, targets[i]) << i << " " << dy;
        }
    }
    // Item 0 (up to 23 rows above the first band, by the truncating division) does nothing without
    // a game; further up and below the last item nothing either.
    for (int y : {MENU_ROW - 23, MENU_ROW, MENU_ROW + 23, MENU_ROW - 24, 0, MENU_ROW + 24 * 6, 319}) {
        mainLoop.currentMode = MODE_MAIN_MENU;
        f.tap(120, y);
        EXPECT_EQ(mainLoop.currentMode, MODE_MAIN_MENU) << y;
    }
    // Keys other than escape do nothing.
    f.key(65);
    EXPECT_EQ(mainLoop.currentMode, MODE_MAIN_MENU);
    game.gameInProgress = 1;
    EXPECT_EQ(menuItemAt(MENU_ROW + 12 + 24), 1);
    EXPECT_EQ(menuItemAt(MENU_ROW + 12 + 23), 0);
    f.tap(120, MENU_ROW + 12 + 24 * 2);
    EXPECT_EQ(mainLoop.currentMode, MODE_OPTIONS);
    game.gameInProgress = 0;
}

TEST(MainMenu, GlowRisesUnderThePressAndFadesEverySecondUpdate) {
    FlowFixture f;
    f.goTo(MODE_MAIN_MENU);
    game.updateCounter = 0;
    f.update();
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(flow.menuGlow[i], 0);
    }
    f.update();
    EXPECT_EQ(flow.menuGlow[0], 0);  // item 0 is not shown without a game
    for (int i = 1; i < 6; i++) {
        EXPECT_EQ(flow.menuGlow[i], -1);
    }
    f.update(100);
    for (int i = 1; i < 6; i++) {
        EXPECT_EQ(flow.menuGlow[i], -31);
    }
    f.press(120, MENU_ROW + 24 * 3 + 1);
    f.update();
    EXPECT_EQ(flow.menuGlow[3], -26);
    EXPECT_EQ(flow.menuGlow[2], -31);
    f.update(5);
    EXPECT_EQ(flow.menuGlow[3], -1);
    f.update();
    EXPECT_EQ(flow.menuGlow[3], 0);
    f.update(3);
    EXPECT_EQ(flow.menuGlow[3], 0);
    // Dragged off the item (not released), it fades again.
    f.move(120, 20);
    game.updateCounter = 1;
    f.update(4);
    EXPECT_EQ(flow.menuGlow[3], -2);
}

TEST(MainMenu, PausedFieldShowsThroughTheBlackAtHalfBrightness) {
    FlowFixture f;
    writeFlatPicture("titleBack.png", 240, 320, 200, 2);
    currentLevel.fieldPicture = createSurface(240, 320);
    for (int y = 0; y < 320; y++) {
        for (int x = 0; x < 240; x++) {
            putPixel(currentLevel.fieldPicture, x, y, packColour(21, (x + y) & 31, 7));
        }
    }
    game.gameInProgress = 1;
    f.goTo(MODE_MAIN_MENU);
    Surface* title = flowPictures.titleBack;
    ASSERT_NE(title, nullptr);
    for (int y = 0; y < 100; y++) {
        for (int x = 0; x < 80; x++) {
            uint16_t p = getPixel(title, x, y);
            if (y % 2 == 0) {
                ASSERT_EQ(p, packColour(10, ((x + y) & 31) >> 1, 3)) << x << "," << y;
            } else {
                ASSERT_NE(p, 0);
                ASSERT_EQ(p, getPixel(title, 0, 1));
            }
        }
    }
    game.gameInProgress = 0;
}

// ---- Options ----------------------------------------------------------------------------------------

struct OptionsFixture : FlowFixture {
    int left = 16, top = 60;  // a 208 x 180 window: 120 - 104, 150 - 90
    OptionsFixture() {
        writeFlatPicture("optionsWin.png", 208, 180, 60);
        setDefaultSettings();
        goTo(MODE_MAIN_MENU);
        goTo(MODE_OPTIONS);
    }
};

TEST(Options, SlidersFollowThePressAndTheDrag) {
    OptionsFixture f;
    // Each step: 0 press, 1 move, 2 release; the place inside the window; both volumes after it. The
    // slider rows are open at both ends; without the stylus down a move changes nothing.
    const int steps[][6] = {
        {0, 61, 80, 100, 220},  {1, 111, 80, 200, 220}, {1, 211, 80, 255, 220}, {1, 5, 80, 0, 220},
        {1, 41, 110, 0, 60},    {2, 41, 110, 0, 60},    {1, 101, 110, 0, 60},   {0, 21, 72, 0, 60},
        {0, 21, 90, 0, 60},     {0, 21, 73, 20, 60},    {0, 22, 89, 22, 60},    {0, 21, 103, 22, 60},
        {0, 21, 121, 22, 60},   {0, 21, 104, 22, 20},
    };
    for (const auto& s : steps) {
        int x = f.left + s[1], y = f.top + s[2];
        if (s[0] == 0) {
            f.press(x, y);
        } else if (s[0] == 1) {
            f.move(x, y);
        } else {
            f.release(x, y);
        }
        EXPECT_EQ(getVolume(0), s[3]) << s[1] << ", " << s[2];
        EXPECT_EQ(getVolume(1), s[4]) << s[1] << ", " << s[2];
        EXPECT_EQ(music.volume, s[4]) << s[1] << ", " << s[2];
    }
    EXPECT_EQ(mainLoop.currentMode, MODE_OPTIONS);
}

TEST(Options, HitAreasOfTheWindow) {
    OptionsFixture f;
    f.loadTestSound(10);
    // Hints: any x in its row.
    f.tap(2, f.top + 31);
    EXPECT_EQ(game.helpfulHints, 0);
    EXPECT_EQ(f.voicePlaying(10), 1);
    f.tap(230, f.top + 42);
    EXPECT_EQ(game.helpfulHints, 1);
    f.tapEach({{100, f.top + 30}, {100, f.top + 43}});
    EXPECT_EQ(game.helpfulHints, 1);
    // Difficulty wraps from 4 to 1 and loads each table (creating it).
    for (int expected : {2, 3, 4, 1}) {
        f.tap(f.left + 11, f.top + 154);
        EXPECT_EQ(game.difficulty, expected);
        EXPECT_EQ(readFileBytes("Data/Plinkor" + std::to_string(expected) + ".dat").size(), 500u);
    }
    f.tapEach({{f.left + 10, f.top + 160}, {f.left + 197, f.top + 160}, {f.left + 100, f.top + 153},
               {f.left + 100, f.top + 168}});
    EXPECT_EQ(game.difficulty, 1);
    EXPECT_EQ(mainLoop.currentMode, MODE_OPTIONS);
    // Control configuration, then back.
    f.tap(f.left + 11, f.top + 126);
    EXPECT_EQ(mainLoop.currentMode, MODE_CONTROL_CONFIG);
    mainLoop.currentMode = MODE_OPTIONS;
    f.tap(f.left + 137, f.top + 140);
    EXPECT_EQ(mainLoop.currentMode, MODE_OPTIONS);
    f.tap(f.left + 145, f.top + 5);
    EXPECT_EQ(mainLoop.currentMode, MODE_MAIN_MENU);
    mainLoop.currentMode = MODE_OPTIONS;
    f.tapEach({{f.left + 195, f.top + 10}, {f.left + 170, f.top + 21}});
    EXPECT_EQ(mainLoop.currentMode, MODE_OPTIONS);
}

TEST(Options, EntryBringsTheMusicInAtOnceAndTheBackgroundScrollsOneRowEveryFourthUpdate) {
    FlowFixture f;
    writeFlatPicture("optionsWin.png", 208, 180, 60);
    requestMusic(3);
    music.musicFade = -40;
    flow.pageY = 77;
    f.goTo(MODE_OPTIONS);
    EXPECT_EQ(music.musicFade, 255);
    EXPECT_EQ(music.wantedTrack, 3);
    EXPECT_EQ(music.playingTrack, 3);
    EXPECT_EQ(flow.pageY, 0);
    ASSERT_NE(flowPictures.background, nullptr);
    int h = flowPictures.background->height;
    flow.backgroundRow = 0;
    game.updateCounter = 0;
    f.update(3);
    EXPECT_EQ(flow.backgroundRow, 0);
    f.update();
    EXPECT_EQ(flow.backgroundRow, -1 % h);
    f.update(4 * (h - 1));
    EXPECT_EQ(flow.backgroundRow, 0);
    f.update(4);
    EXPECT_EQ(flow.backgroundRow, -1 % h);
}

// ---- Control configuration --------------------------------------------------------------------------

struct ControlFixture : FlowFixture {
    int f = 0;
    ControlFixture() {
        loadIntroBatch();
        f = fonts[0] != nullptr ? fontLineHeight(0) : 0;
        setDefaultSettings();
        flow.pageY = 0;
        goTo(MODE_CONTROL_CONFIG);
    }
    // A row's band is open at both ends; one pixel below its base line is always inside.
    int rowY(int i) { return 20 + (i + 2) * (f + 5) + 1; }
};

TEST(ControlConfig, ARowTakesTheNextKeyPressed) {
    ControlFixture c;
    EXPECT_EQ(flow.selectedControlRow, -1);
    for (int i = 0; i < 8; i++) {
        c.tap(120, c.rowY(i));
        EXPECT_EQ(flow.selectedControlRow, i);
        c.tap(120, c.rowY(i) + 3);
        EXPECT_EQ(flow.selectedControlRow, i);
        c.tap(120, c.rowY(i) - c.f);
        EXPECT_EQ(flow.selectedControlRow, i);
    }
    c.tap(120, c.rowY(2));
    c.keyUp(70);
    EXPECT_EQ(controlKeys[2], 37);
    c.keyDown(70);
    EXPECT_EQ(controlKeys[2], 70);
    EXPECT_EQ(flow.selectedControlRow, -1);
    c.keyDown(71);
    EXPECT_EQ(controlKeys[2], 70);
    // Taps outside the list leave the selection as it is, and so does leaving the screen.
    c.tap(120, c.rowY(5));
    c.tap(120, 5);
    EXPECT_EQ(flow.selectedControlRow, 5);
    c.tap(200, 300);
    EXPECT_EQ(mainLoop.currentMode, MODE_MAIN_MENU);
    c.apply();
    c.goTo(MODE_CONTROL_CONFIG);
    EXPECT_EQ(flow.selectedControlRow, 5);
    EXPECT_EQ(flow.pageX, 0);
    c.keyDown(90);
    EXPECT_EQ(controlKeys[5], 90);
}

TEST(ControlConfig, ScreenshotSuspendAndEscapeKeysAreAssignedLikeAnyOther) {
    ControlFixture c;
    controlKeys[CONTROL_SUSPEND] = 19;
    c.tap(120, c.rowY(4));
    c.keyDown(13);
    EXPECT_EQ(controlKeys[4], 13);
    EXPECT_TRUE(readFileBytes("My Documents/Plinkor0.BMP").empty());
    c.tap(120, c.rowY(0));
    c.keyDown(19);
    EXPECT_EQ(controlKeys[0], 19);
    EXPECT_EQ(appActive, 1);
    c.tap(120, c.rowY(1));
    c.keyDown(27);
    c.keyUp(27);
    EXPECT_EQ(controlKeys[1], 27);
    EXPECT_EQ(mainLoop.currentMode, MODE_CONTROL_CONFIG);
}

TEST(ControlConfig, FreeDragAndTheCheatLabel) {
    ControlFixture c;
    c.press(200, 250);
    c.move(100, 200);
    EXPECT_EQ(flow.pageX, 100);
    EXPECT_EQ(flow.pageY, 50);
    c.move(0, 150);
    c.release(0, 150);
    EXPECT_EQ(flow.pageX, 200);
    EXPECT_EQ(flow.pageY, 100);
    EXPECT_EQ(mainLoop.currentMode, MODE_CONTROL_CONFIG);
    // The label's area, in page pixels: 365 < x < 435, 295 < y < 308.
    c.tapEach({{165, 200}, {170, 195}, {170, 208}});
    EXPECT_EQ(mainLoop.currentMode, MODE_CONTROL_CONFIG);
    c.tap(166, 196);
    EXPECT_EQ(mainLoop.currentMode, MODE_MAIN_MENU);
    mainLoop.currentMode = MODE_CONTROL_CONFIG;
    c.tap(234, 207);
    EXPECT_EQ(mainLoop.currentMode, MODE_MAIN_MENU);
}

// ---- High scores ------------------------------------------------------------------------------------

TEST(HighScoreScreen, EntryLoadsTheTableAndAnyKeyUpLeaves) {
    FlowFixture f;
    game.difficulty = 3;
    flow.pageX = 40;
    flow.pageY = 50;
    f.goTo(MODE_HIGH_SCORES);
    EXPECT_EQ(flow.pageX, 0);
    EXPECT_EQ(flow.pageY, 0);
    EXPECT_EQ(readFileBytes("Data/Plinkor3.dat").size(), 500u);
    f.press(100, 100);
    f.move(60, 30);
    EXPECT_EQ(flow.pageX, 40);
    EXPECT_EQ(flow.pageY, 70);
    f.release(60, 30);
    EXPECT_EQ(mainLoop.currentMode, MODE_HIGH_SCORES);
    f.keyDown(65);
    EXPECT_EQ(mainLoop.currentMode, MODE_HIGH_SCORES);
    f.keyUp(65);
    EXPECT_EQ(mainLoop.currentMode, MODE_MAIN_MENU);
}

// ---- Name entry -------------------------------------------------------------------------------------

namespace {

void typeChar(FlowFixture& f, char ch) {
    int code = ch - 32;
    int c = code % 12, r = code / 12;
    f.tap(2 + 20 * c + 5, 151 + 14 * r + 5);
}

}  // namespace

TEST(NameEntry, KeyboardEraseAndTheTenCharacterLimit) {
    FlowFixture f;
    f.goTo(MODE_NAME_ENTRY);
    EXPECT_EQ(flow.nameLength, 0);
    for (char ch : std::string("ABC xyz~")) {
        typeChar(f, ch);
    }
    EXPECT_EQ(std::string(flow.name), "ABC xyz~");
    // The key cells are open at their edges.
    f.tapEach({{2, 156}, {13, 156}, {7, 151}, {7, 163}});
    EXPECT_EQ(flow.nameLength, 8);
    f.tapEach({{3, 152}, {12, 162}});
    EXPECT_EQ(std::string(flow.name), "ABC xyz~  ");
    typeChar(f, 'Q');
    EXPECT_EQ(flow.nameLength, 10);
    EXPECT_EQ(std::string(flow.name), "ABC xyz~  ");
    f.tapEach({{10, 300}, {119, 281}});
    EXPECT_EQ(std::string(flow.name), "ABC xyz~");
    f.tap(10, 280);
    EXPECT_EQ(flow.nameLength, 8);
    for (int i = 0; i < 12; i++) {
        f.tap(5, 319);
    }
    EXPECT_EQ(flow.nameLength, 0);
    EXPECT_EQ(std::string(flow.name), "");
    EXPECT_EQ(mainLoop.currentMode, MODE_NAME_ENTRY);
}

TEST(NameEntry, DoneStoresTheNameAndShowsTheTableEscapeStoresNothingAndNoNameIsPlayer) {
    FlowFixture f;
    game.score = 4321;
    game.difficulty = 1;
    f.goTo(MODE_NAME_ENTRY);
    typeChar(f, 'Z');
    f.keyUp(27);
    EXPECT_EQ(mainLoop.currentMode, MODE_MAIN_MENU);
    f.apply();
    EXPECT_TRUE(readFileBytes("Data/Plinkor1.dat").empty());
    // Entry empties the name: done with nothing typed keeps the score under "PLAYER".
    f.goTo(MODE_NAME_ENTRY);
    EXPECT_EQ(flow.nameLength, 0);
    EXPECT_EQ(flow.name[0], 0);
    f.tap(239, 319);
    EXPECT_EQ(mainLoop.currentMode, MODE_HIGH_SCORES);
    EXPECT_EQ(readFileBytes("Data/Plinkor1.dat"), textBytes(scoreTable({{"PLAYER", 4321}})));
    game.difficulty = 2;
    f.goTo(MODE_NAME_ENTRY);
    for (char ch : std::string("Ann")) {
        typeChar(f, ch);
    }
    f.tap(120, 300);
    EXPECT_EQ(mainLoop.currentMode, MODE_HIGH_SCORES);
    EXPECT_EQ(readFileBytes("Data/Plinkor2.dat"), textBytes(scoreTable({{"Ann", 4321}})));
}

TEST(NameEntry, TypedLettersDigitsBackspaceAndEnterActAsTheScreenKeysAndDone) {
    FlowFixture f;
    game.score = 777;
    game.difficulty = 3;
    f.goTo(MODE_NAME_ENTRY);
    headlessSetShift(1);
    f.key('A');
    f.key('1');  // Shift with a digit is "!", which is not typed
    headlessSetShift(0);
    // Letters and digits on their press (held keys repeat); keys that type nothing leave the name alone.
    for (uint32_t vk : {78, 78, 65, 55, 48, 8, 186, 37, 112, 32}) {  // N N A 7 0 Backspace ; left F1 space
        f.keyDown(vk);
    }
    EXPECT_EQ(std::string(flow.name), "Anna7");
    for (int i = 0; i < 8; i++) {
        f.key('9');
    }
    EXPECT_EQ(std::string(flow.name), "Anna799999");  // ten characters at most
    f.key(8);
    f.keyDown(13);  // Enter is DONE on its release, and takes no screenshot here
    EXPECT_EQ(mainLoop.currentMode, MODE_NAME_ENTRY);
    f.keyUp(13);
    EXPECT_EQ(mainLoop.currentMode, MODE_HIGH_SCORES);
    EXPECT_EQ(readFileBytes("Data/Plinkor3.dat"), textBytes(scoreTable({{"Anna79999", 777}})));
    EXPECT_FALSE(std::filesystem::exists("My Documents/Plinkor0.BMP"));
}

// ---- Farewell and exit ------------------------------------------------------------------------------

TEST(Farewell, AnyReleaseGoesToTheExitScreenWhichClosesTheProgram) {
    FlowFixture f;
    f.goTo(MODE_FAREWELL);
    f.keyDown(65);
    f.press(10, 10);
    EXPECT_EQ(mainLoop.currentMode, MODE_FAREWELL);
    f.release(10, 10);
    EXPECT_EQ(mainLoop.currentMode, MODE_EXIT);
    mainLoop.currentMode = MODE_FAREWELL;
    f.keyUp(27);
    EXPECT_EQ(mainLoop.currentMode, MODE_EXIT);
    f.apply();
    f.keyDown(65);
    EXPECT_EQ(mainLoop.quitRequested, 0);
    f.keyUp(65);
    EXPECT_EQ(mainLoop.quitRequested, 1);
}

// ---- Every mode -------------------------------------------------------------------------------------

TEST(Modes, EveryUpdateCountsAndRunsTheMusicFirstAndUnknownModesStay) {
    FlowFixture f;
    for (int32_t mode : {(int32_t)MODE_FAREWELL, (int32_t)MODE_HIGH_SCORES, 999, -3}) {
        f.goTo(mode);
        uint32_t before = game.updateCounter;
        requestMusic(2);
        f.update();
        EXPECT_EQ(game.updateCounter, before + 1) << mode;
        EXPECT_EQ(mainLoop.currentMode, mode);
        // The steady fade machine takes the request in the same update.
        EXPECT_EQ(music.wantedTrack, 2) << mode;
        music.wantedTrack = music.playingTrack;
        music.requestedTrack = music.playingTrack;
    }
    // Unknown modes take no input either.
    mainLoop.currentMode = 999;
    f.tap(200, 300);
    f.keyUp(65);
    EXPECT_EQ(mainLoop.currentMode, 999);
}
