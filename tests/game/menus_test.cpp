// The screens around play: escape and the corner button, options, control configuration, name entry.
#include <gtest/gtest.h>

#include <filesystem>

#include "flowtest.h"
#include "field/gamevalues.h"
#include "game/game.h"
#include "game/modes.h"
#include "game/settings.h"
#include "game/startup.h"
#include "gfx/font.h"
#include "platform/headless/headless.h"
#include "shell/input.h"
#include "shell/mainloop.h"

TEST(Rules, EscapeLeavesEveryScreenButTheExcludedOnes) {
    FlowFixture f;
    struct Case {
        int32_t from, to;
        uint32_t vk;  // released; 81 once Q is the configured escape key
    };
    const Case cases[] = {
        {MODE_MAIN_MENU, MODE_FAREWELL, 27},       {MODE_OPTIONS, MODE_MAIN_MENU, 27},
        {MODE_HIGH_SCORES, MODE_MAIN_MENU, 27},    {MODE_NAME_ENTRY, MODE_MAIN_MENU, 27},
        {MODE_INFO_PAGE, MODE_MAIN_MENU, 27},      {MODE_LEVEL_SELECT, MODE_MAIN_MENU, 27},
        {MODE_GAME_OVER, MODE_MAIN_MENU, 27},      {MODE_CONTROL_CONFIG, MODE_CONTROL_CONFIG, 27},
        {MODE_FAREWELL, MODE_EXIT, 27},            {MODE_SPLASH_LOGO, MODE_SPLASH_LOGO, 27},
        {MODE_SPLASH_INTRO, MODE_SPLASH_INTRO, 27}, {MODE_SPLASH_MONKEY, MODE_SPLASH_MONKEY, 27},
        // A reconfigured escape key works the same; Esc itself still leaves the main menu.
        {MODE_OPTIONS, MODE_OPTIONS, 27},          {MODE_MAIN_MENU, MODE_FAREWELL, 27},
        {MODE_OPTIONS, MODE_MAIN_MENU, 81},        {MODE_MAIN_MENU, MODE_FAREWELL, 81},
    };
    for (size_t i = 0; i < std::size(cases); i++) {
        controlKeys[CONTROL_ESCAPE] = i < 12 ? 27 : 81;
        mainLoop.currentMode = cases[i].from;
        f.keyUp(cases[i].vk);
        EXPECT_EQ(mainLoop.currentMode, cases[i].to) << i;
    }
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

TEST(Options, HitAreasOfTheWindow) {
    FlowFixture f;
    const int left = 16, top = 60;  // a 208 x 180 window: 120 - 104, 150 - 90
    writeFlatPicture("optionsWin.png", 208, 180, 60);
    setDefaultSettings();
    f.goTo(MODE_MAIN_MENU);
    f.goTo(MODE_OPTIONS);
    f.loadTestSound(10);
    // Hints: any x in its row.
    f.tap(2, top + 31);
    EXPECT_EQ(game.helpfulHints, 0);
    EXPECT_EQ(f.voicePlaying(10), 1);
    f.tap(230, top + 42);
    EXPECT_EQ(game.helpfulHints, 1);
    f.tapEach({{100, top + 30}, {100, top + 43}});
    EXPECT_EQ(game.helpfulHints, 1);
    // Difficulty wraps from 4 to 1 and loads each table (creating it).
    for (int expected : {2, 3, 4, 1}) {
        f.tap(left + 11, top + 154);
        EXPECT_EQ(game.difficulty, expected);
        EXPECT_EQ(readFileBytes("Data/Plinkor" + std::to_string(expected) + ".dat").size(), 500u);
    }
    f.tapEach({{left + 10, top + 160}, {left + 197, top + 160}, {left + 100, top + 153},
               {left + 100, top + 168}});
    EXPECT_EQ(game.difficulty, 1);
    EXPECT_EQ(mainLoop.currentMode, MODE_OPTIONS);
    // Control configuration, then back.
    f.tap(left + 11, top + 126);
    EXPECT_EQ(mainLoop.currentMode, MODE_CONTROL_CONFIG);
    mainLoop.currentMode = MODE_OPTIONS;
    f.tap(left + 137, top + 140);
    EXPECT_EQ(mainLoop.currentMode, MODE_OPTIONS);
    f.tap(left + 145, top + 5);
    EXPECT_EQ(mainLoop.currentMode, MODE_MAIN_MENU);
    mainLoop.currentMode = MODE_OPTIONS;
    f.tapEach({{left + 195, top + 10}, {left + 170, top + 21}});
    EXPECT_EQ(mainLoop.currentMode, MODE_OPTIONS);
}

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
