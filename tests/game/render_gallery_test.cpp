// Every screen rendered once with the generated pictures and saved as a PNG picture for a look.
#include <gtest/gtest.h>

#include "field/level.h"
#include "game/gamevalues.h"
#include "game/highscores.h"
#include "game/modes.h"
#include "game/play.h"
#include "game/render.h"
#include "game/settings.h"
#include "render_kit.h"
#include "shell/input.h"
#include "shell/mainloop.h"
#include "sound/mixer.h"

#include <cstring>

TEST(Gallery, EveryScreen) {
    ScreenFixture f;
    setDefaultSettings();
    f.goTo(MODE_SPLASH_LOGO);
    flow.logoCounter = 200;
    f.render();
    saveBackSurfacePng("gallery_logo");
    f.goTo(MODE_SPLASH_INTRO);
    flow.splashCounter = 250;
    f.render();
    saveBackSurfacePng("gallery_intro");
    f.goTo(MODE_SPLASH_MONKEY);
    flow.splashCounter = 250;
    f.loadTestSound(20);
    playSound(20);
    f.render();
    saveBackSurfacePng("gallery_monkey");
    f.silence();
    f.goTo(MODE_MAIN_MENU);
    flow.menuGlow[2] = 0;
    f.render();
    saveBackSurfacePng("gallery_menu");
    f.goTo(MODE_OPTIONS);
    f.render();
    saveBackSurfacePng("gallery_options");
    f.goTo(MODE_CONTROL_CONFIG);
    flow.selectedControlRow = 2;
    stylusX = 200;
    stylusY = 300;
    f.render();
    f.render();
    saveBackSurfacePng("gallery_controls");
    flow.pageX = 150;
    f.render();
    saveBackSurfacePng("gallery_controls_cheat");
    stylusX = 0;
    stylusY = 0;
    insertHighScore("ANNA", 1234, 1);
    insertHighScore("BOB", 99999, 1);
    game.highScoreRank = 1;
    f.goTo(MODE_HIGH_SCORES);
    f.render();
    saveBackSurfacePng("gallery_highscores");
    game.score = 4321;
    f.goTo(MODE_NAME_ENTRY);
    strcpy(flow.name, "ANNA");
    flow.nameLength = 4;
    f.render();
    saveBackSurfacePng("gallery_nameentry");
    f.goTo(MODE_FAREWELL);
    f.render();
    saveBackSurfacePng("gallery_farewell");
    f.goTo(MODE_EXIT);
    f.render();
    saveBackSurfacePng("gallery_exit");
    f.goTo(MODE_INFO_PAGE);
    f.render();
    saveBackSurfacePng("gallery_info_top");
    flow.pageY = 2173 - 100;
    game.cheatPanelAmount = 150;
    game.cheats.fatPaddle = 6;
    f.render();
    saveBackSurfacePng("gallery_info_cheat");
    game.cheatPanelAmount = 20;
    f.render();
    saveBackSurfacePng("gallery_info_cheat_lifting");
    f.goTo(MODE_GAME_OVER);
    f.render();
    saveBackSurfacePng("gallery_gameover");
    f.goTo(MODE_MAIN_MENU);
    writeTestLevelSet();
    writeTestLevel(5, 100, 50, 1);
    writeTestLevel(7, 60, 40, 1);
    for (int i = 0; i < 12; i++) {
        game.unlocked[0][i] = 1;
    }
    f.goTo(MODE_LEVEL_SELECT);
    f.update(200);
    stylusDown = 1;
    stylusX = 60;
    stylusY = 100;
    f.render();
    saveBackSurfacePng("gallery_chooser_reveal");
    f.update(300);
    f.render();
    saveBackSurfacePng("gallery_chooser_sweep");
    stylusDown = 0;
    std::string hint = "[show|5][hint|^ZZFWide Paddle^ZZZ\nCatch the ^AZAgreen^ZZZ pill and your paddle grows for a while, so more balls come back.]";
    replaceFileBytes("Data/hint5.txt", std::vector<uint8_t>(hint.begin(), hint.end()));
    game.levelIndex = 5;
    f.goTo(MODE_NEW_GAME);
    f.update(2);
    f.apply();
    f.update(40);
    f.render();
    f.render();
    saveBackSurfacePng("gallery_play_hint");
    game.readyCountdown = 200;
    f.update(10);
    f.render();
    saveBackSurfacePng("gallery_play_ready");
    f.update(300);
    f.render();
    saveBackSurfacePng("gallery_play");
    f.goTo(MODE_EDITOR);
    f.render();
    saveBackSurfacePng("gallery_editor");
}
