// The screens pinned by the hashes of their frames in fixed states. A frame that differs names its state
// and is saved as build/frames/<state>.png to look at; a change meant to alter a screen puts the printed
// hash here. Beside them, the splash brightness curve a hash would not name.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "field/ball.h"
#include "field/blocks.h"
#include "field/level.h"
#include "field/paddle.h"
#include "game/game.h"
#include "field/gamevalues.h"
#include "game/highscores.h"
#include "game/hints.h"
#include "game/modes.h"
#include "game/play.h"
#include "game/render.h"
#include "game/settings.h"
#include "gfx/blit.h"
#include "gfx/draw.h"
#include "render_kit.h"
#include "shell/input.h"
#include "shell/mainloop.h"
#include "sound/mixer.h"
#include "sound/music.h"

namespace {

// The small level set with one block in level 6, chosen, defaults in force.
void levelSix(void) {
    writeTestLevelSet();
    writeTestLevel(5, 100, 50, 1);
    setDefaultSettings();
    game.levelIndex = 5;
}

// Level 6 without hints, play entered and the paddle down at its row.
void startLevelSix(ScreenFixture& f) {
    levelSix();
    game.helpfulHints = 0;
    f.goTo(MODE_NEW_GAME);
    f.update(2);
    f.apply();
    paddle.y = 300;
}

void readyCountdownFrame(ScreenFixture& f, int32_t countdown) {
    startLevelSix(f);
    game.readyCountdown = countdown;
}

void chooser(ScreenFixture& f, std::initializer_list<int> unlocked) {
    writeTestLevelSet();
    setDefaultSettings();
    for (int level : unlocked) {
        game.unlocked[0][level] = 1;
    }
    f.goTo(MODE_LEVEL_SELECT);
    game.updateCounter = 1000;
}

void menu(ScreenFixture& f, int inProgress) {
    game.gameInProgress = (int16_t)inProgress;
    if (inProgress) {
        currentLevel.fieldPicture = makeScreen(packColour(10, 20, 30));
    }
    f.goTo(MODE_FAREWELL);
    f.goTo(MODE_MAIN_MENU);
    const int32_t glows[6] = {-3, -31, 0, -12, -20, -7};
    std::copy(glows, glows + 6, flow.menuGlow);
}

void gameOver(ScreenFixture& f, int score) {
    game.score = score;
    f.goTo(MODE_MAIN_MENU);
    f.goTo(MODE_GAME_OVER);
    flow.backgroundRow = -200;
}

void cheatLid(ScreenFixture& f, int amount) {
    f.goTo(MODE_INFO_PAGE);
    flow.pageY = 2100;
    game.cheats.fatPaddle = 6;
    game.cheats.disableDebris = 1;
    game.cheatPanelAmount = amount;
}

// A hint file the fuzzer found troublesome, kept byte for byte: narrowing tags of every odd kind (a
// width of the smallest integer draws only the box's left edge, and nothing left of the screen), then a
// text with line ends and a colour code cut short.
const char FUZZED_HINT[] =
    "text outside [hint] [hint|a|b] [Hint|no] [show|-1][show|22][width|-2147483648][width|0][hint|\n"
    "line\r\nends\rand ^AB at the end^]";

// Hint file 3 drawn as a box at (x, y) on a grey ground, after the hints named in `before` were drawn
// (a box takes its height from the drawing before, and a width tag narrows it for good).
void hintBox(const char* text, int x, int y, std::initializer_list<const char*> before = {}) {
    hintPanel.width = 200;
    hintPanel.height = 100;
    int n = 0;
    for (const char* earlier : before) {
        replaceFileBytes("Data/hint" + std::to_string(++n + 3) + ".txt", textBytes(earlier));
        drawHint(backSurface, x, y, n + 3);
    }
    replaceFileBytes("Data/hint3.txt", textBytes(text));
    Surface* ground = makeScreen(packColour(20, 20, 20));
    blit(backSurface, 0, 0, 240, 320, ground, 0, 0, BLIT_COPY);
    removeSurface(&ground);
    game.updateCounter = 37;
    drawHint(backSurface, x, y, 3);
}

struct FrameCase {
    const char* name;
    uint32_t seed;
    bool drawsItself;  // else the current mode is rendered after the set-up
    void (*draw)(ScreenFixture&);
    uint64_t hash;
};

const FrameCase frames[] = {
    {"corner_rest", 1, true, [](ScreenFixture&) { clearSurface(backSurface); drawCornerButton(); }, 0x1f7f6b84be26579dull},
    {"corner_glow", 1, true, [](ScreenFixture&) {
         stylus.x = 200;
         stylus.y = 300;
         for (int frame = 1; frame <= 7; frame++) {
             clearSurface(backSurface);
             drawCornerButton();
         }
     }, 0xe7bbda1efbbc5b41ull},
    {"logo", 1, false, [](ScreenFixture& f) { f.goTo(MODE_SPLASH_LOGO); flow.logoCounter = 100; }, 0xbb1377fa4b54e19ull},
    {"logo_gone", 1, false, [](ScreenFixture& f) { f.goTo(MODE_SPLASH_LOGO); flow.logoCounter = 556; }, 0x37dfb25a63112383ull},
    {"intro_fading", 1, false, [](ScreenFixture& f) { f.goTo(MODE_SPLASH_INTRO); flow.splashCounter = 400; }, 0xe7c81b7fdbb773f2ull},
    {"monkey_mouth", 1, true, [](ScreenFixture& f) {
         f.goTo(MODE_SPLASH_MONKEY);
         f.silence();
         flow.splashCounter = 200;
         f.loadTestSound(20);
         playSound(20);
         f.render();
         f.silence();
     }, 0xddf2965b0a7dd2a0ull},
    {"menu", 1, false, [](ScreenFixture& f) { menu(f, 0); }, 0xb8f97bdc93c22d20ull},
    {"menu_paused_game", 1, false, [](ScreenFixture& f) { menu(f, 1); }, 0xc11bd5af5cc3dac5ull},
    {"options", 1, false, [](ScreenFixture& f) {
         setDefaultSettings();
         f.goTo(MODE_OPTIONS);
         setVolume(0, 200);
         music.volume = 81;
         game.difficulty = 2;
         game.helpfulHints = 0;
         flow.backgroundRow = -37;
     }, 0xf6330f48c031898aull},
    {"controls_row_selected", 12345, false, [](ScreenFixture& f) {
         setDefaultSettings();
         f.goTo(MODE_CONTROL_CONFIG);
         flow.selectedControlRow = 6;
         game.updateCounter = 7;
     }, 0xd3db1466668cd54cull},
    {"controls_cheat_label", 1, false, [](ScreenFixture& f) {
         setDefaultSettings();
         f.goTo(MODE_CONTROL_CONFIG);
         flow.selectedControlRow = -1;
         game.updateCounter = 21;
         flow.pageY = 60;
         flow.pageX = 200;
     }, 0xc6e4f25b470794eaull},
    {"high_scores", 777, false, [](ScreenFixture& f) {
         setDefaultSettings();
         game.difficulty = 2;
         insertHighScore("BOB", 99999, 2);
         insertHighScore("A.B", 1234, 2);
         game.highScoreRank = 1;
         f.goTo(MODE_HIGH_SCORES);
         game.updateCounter = 70;
         flow.pageX = 10;
         flow.pageY = 4;
     }, 0xa2fc53779e11f6e4ull},
    {"name_entry", 99, false, [](ScreenFixture& f) {
         game.score = 4321;
         f.goTo(MODE_NAME_ENTRY);
         strcpy(flow.name, "ZOE");
         flow.nameLength = 3;
         flow.backgroundRow = 0;
     }, 0xa47b4e8e98611278ull},
    {"game_over", 1, false, [](ScreenFixture& f) { gameOver(f, 0); }, 0x4cd0ff1180ff8f5dull},
    {"game_over_high_score", 1, false, [](ScreenFixture& f) { gameOver(f, 500); }, 0x4ee7988a50456a22ull},
    {"farewell", 1, false, [](ScreenFixture& f) { f.goTo(MODE_FAREWELL); }, 0x8521198aadbea2d5ull},
    {"exit", 1, false, [](ScreenFixture& f) { f.goTo(MODE_EXIT); }, 0xd8e4205dc1a7477full},
    {"chooser_locked", 1, false, [](ScreenFixture& f) { chooser(f, {3}); }, 0xea52f357a2b843a8ull},
    {"chooser_level_two_reached", 1, false, [](ScreenFixture& f) { chooser(f, {1, 3}); }, 0x5ba35b1dabdb10e7ull},
    {"chooser_all_unlocked", 1, false, [](ScreenFixture& f) {
         chooser(f, {1, 3});
         game.cheats.unlockAllLevels = 1;
     }, 0x620d398f5b502968ull},
    {"chooser_pressed_cell", 1, false, [](ScreenFixture& f) {
         chooser(f, {1});
         stylus.down = 1;
         stylus.x = 2 * 24 + 5;
         stylus.y = 80 + 3 * 24 + 20;
     }, 0x3f3bb8f97318e55ull},
    {"chooser_reveal", 1, false, [](ScreenFixture& f) { chooser(f, {1}); flow.revealCounter = 37; }, 0x1e2bc81ddbabed7aull},
    {"chooser_sweep", 1, false, [](ScreenFixture& f) {
         chooser(f, {0, 1, 3, 97});
         flow.revealCounter = 150;
         flow.revealSweep = 95;
     }, 0xf9127f3dd0a5ca4bull},
    {"play_zone_sparks", 1, false, [](ScreenFixture& f) {
         startLevelSix(f);
         game.readyCountdown = 0;
         game.score = 12345;
         int y0 = 320 - paddle.zoneHeight;
         putPixel(currentLevel.collisionMap, 60, y0, 0xF800);
         putPixel(currentLevel.collisionMap, 61, y0, 0x001F);
         paddle.y = y0 + 1;
     }, 0xe52fc3414777f3eull},
    {"play_get_ready", 1, false, [](ScreenFixture& f) { readyCountdownFrame(f, 349); }, 0xff51f7e468ff6eb7ull},
    {"play_ready_over", 1, false, [](ScreenFixture& f) { readyCountdownFrame(f, 50); }, 0x5ed9c3890fc0bc10ull},
    {"play_doh", 1, false, [](ScreenFixture& f) {
         startLevelSix(f);
         ballList.count = 0;
         game.readyCountdown = -201;
     }, 0xe48902f7e6f5a82cull},
    {"play_level_complete", 1, false, [](ScreenFixture& f) {
         startLevelSix(f);
         currentLevel.blockCount = currentLevel.indestructibleCount;
         game.readyCountdown = -150;
     }, 0xa70e0bbfa524bfcdull},
    {"play_hint", 1, false, [](ScreenFixture& f) {
         levelSix();
         replaceFileBytes("Data/hint5.txt", textBytes("[hint|Level six hint]"));
         f.goTo(MODE_NEW_GAME);
         f.update(22);
     }, 0x7a911f8cc96aed70ull},
    {"info_page", 1, false, [](ScreenFixture& f) { f.goTo(MODE_INFO_PAGE); flow.pageY = 1000; }, 0x9a656913919eec10ull},
    {"info_lid_opening", 1, false, [](ScreenFixture& f) { cheatLid(f, 8); }, 0x104b698e30a82cc3ull},
    {"info_lid_lifting", 1, false, [](ScreenFixture& f) { cheatLid(f, 20); }, 0x1a595a90a95b2437ull},
    {"info_cheat_panel", 1, false, [](ScreenFixture& f) { cheatLid(f, 150); }, 0xc304c07e6555e739ull},
    {"editor", 1, false, [](ScreenFixture& f) {
         levelSix();
         f.goTo(MODE_EDITOR);
     }, 0xf44a139b69cb31b1ull},
    {"hint_box", 1, true, [](ScreenFixture&) { hintBox("[hint|]", 20, 100); }, 0x9db1900cbe517ec3ull},
    {"hint_grown", 1, true, [](ScreenFixture&) {
         hintBox("[hint|one\ntwo\nthree]", 20, 100, {"[hint|one\ntwo\nthree]"});
     }, 0xf378429a86226f83ull},
    {"hint_narrowed", 1, true, [](ScreenFixture&) {
         hintBox("[width|180][hint|x]", 20, 100, {"[width|150][hint|x]"});
     }, 0xf068947a8a513f03ull},
    {"hint_icon_colours", 1, true, [](ScreenFixture&) {
         hintBox("[show|5][hint|Catch the ^AZAgreen^ZZZ pill]", 20, 100);
     }, 0xe2eec754bb5dc8f8ull},
    {"hint_fuzzed_width", 1, true, [](ScreenFixture&) { hintBox(FUZZED_HINT, 20, 100); }, 0xb41e69a76ebfb375ull},
    {"hint_fuzzed_off_screen", 1, true, [](ScreenFixture&) { hintBox(FUZZED_HINT, -150, -40); }, 0xf3e60a14b044f383ull},
};

void PrintTo(const FrameCase& c, std::ostream* out) {
    *out << c.name;
}

class Frame : public ::testing::TestWithParam<FrameCase> {};

}  // namespace

TEST_P(Frame, HashesAsRecorded) {
    const FrameCase& c = GetParam();
    ScreenFixture f(c.seed);
    c.draw(f);
    if (!c.drawsItself) {
        f.render();
    }
    uint64_t hash = hashSurface(backSurface);
    if (hash != c.hash) {
        ADD_FAILURE() << c.name << ": frame hash 0x" << std::hex << hash << ", recorded 0x" << c.hash
                      << "; frame saved as " << saveBackSurfacePng(c.name);
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, Frame, ::testing::ValuesIn(frames),
                         [](const ::testing::TestParamInfo<FrameCase>& info) { return std::string(info.param.name); });

TEST(Splashes, BrightnessRisesHoldsAndFadesOut) {
    const int32_t counters[] = {0, 120, 290, 300, 301, 400, 555, 600};
    const int32_t brightness[] = {0, 120, 255, 255, 254, 155, 0, 0};
    for (int i = 0; i < 8; i++) {
        EXPECT_EQ(splashBrightness(counters[i]), brightness[i]) << counters[i];
    }
}
