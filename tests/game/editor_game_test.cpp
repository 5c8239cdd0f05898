// The whole game on the headless backend: a level built in the editor, reached from the information
// page's cheat panel, then played from the level chooser.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "field/editor.h"
#include "field/level.h"
#include "field/powerup.h"
#include "flowtest.h"
#include "player.h"
#include "field/gamevalues.h"
#include "game/modes.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "shell/mainloop.h"

namespace {

enum { KEY_ACTION = 32, KEY_ESCAPE = 27 };
enum { STEEL = 0, BRICK = 1, BAR = 2 };
const int HIDDEN_KIND = POWERUP_EXTRA_LIFE;

// A level set of our own: walls on the left, right and top; a steel and a brick type of 20 x 10 and a
// 160 x 6 bar; level 0 holds a brick at (40, 40), another at (100, 40) and a steel block at (160, 40).
void writeEditorLevelSet(void) {
    for (int n = 0; n < 100; n++) {
        std::remove(("Data/level" + std::to_string(n) + ".dat").c_str());
    }
    std::vector<uint8_t> scheme(240 * 320 * 3, 0);
    for (int y = 0; y < 320; y++) {
        for (int x = 0; x < 240; x++) {
            if (x < 4 || x >= 236 || y < 4) {
                scheme[(y * 240 + x) * 3 + 2] = 200;
            }
        }
    }
    std::remove("Data/scheme5.png");
    writeTestPngRgb("Data/scheme5.png", 240, 320, scheme);
    writeFlatPicture("scheme5v.png", 240, 320, 60);

    std::vector<uint8_t> blocks(200 * 60 * 3, 0);
    auto fill = [&](int x0, int y0, int w, int h, int r, int g, int b) {
        for (int y = y0; y < y0 + h; y++) {
            for (int x = x0; x < x0 + w; x++) {
                uint8_t* p = &blocks[(y * 200 + x) * 3];
                p[0] = (uint8_t)r;
                p[1] = (uint8_t)g;
                p[2] = (uint8_t)b;
            }
        }
    };
    fill(9, 0, 4, 11, 200, 200, 200);   // paddle left cap
    fill(13, 1, 3, 7, 100, 100, 240);   // paddle middle
    fill(16, 0, 4, 11, 200, 200, 200);  // paddle right cap
    fill(0, 20, 20, 10, 150, 150, 160);
    fill(20, 20, 20, 10, 240, 80, 40);
    fill(0, 40, 160, 6, 60, 220, 90);
    std::remove("Data/blocks5.png");
    writeTestPngRgb("Data/blocks5.png", 200, 60, blocks);
    std::string text = "Steel, brick and bar\n[block,0,20,20,10]\n[block,20,20,20,10]\n[block,0,40,160,6]\n";
    std::remove("Data/blocks5.txt");
    writeFileBytes("Data/blocks5.txt", std::vector<uint8_t>(text.begin(), text.end()));

    std::vector<uint8_t> level;
    const int start[3][3] = {{40, 40, BRICK}, {100, 40, BRICK}, {160, 40, STEEL}};
    for (const auto& b : start) {
        const uint8_t record[12] = {(uint8_t)b[0], 0, (uint8_t)b[1], 0, (uint8_t)b[2], 20, 10, 0, 0, 0, 0, 0};
        for (uint8_t v : record) {
            level.push_back(v);
        }
    }
    writeFileBytes("Data/level0.dat", level);
}

void actionKey(void) {
    keySteps(KEY_ACTION);
}

// Where the test saw things on the way.
struct Seen {
    int editorEntered = 0;
    int levelIndexInEditor = -1;
    int blocksOnEntry = -1;
    std::vector<uint8_t> savedLevel;
    std::vector<LevelBlock> played;
    int capsuleKind = -1;
    int capsuleX = -1, capsuleY = -1;
};
Seen seen;

bool holds(const std::vector<LevelBlock>& list, int x, int y, int type, int powerUp) {
    return std::any_of(list.begin(), list.end(), [&](const LevelBlock& b) {
        return b.x == x && b.y == y && b.type == type && b.powerUp == powerUp;
    });
}

std::vector<LevelBlock> recordsOf(const std::vector<uint8_t>& bytes) {
    std::vector<LevelBlock> list(bytes.size() / sizeof(LevelBlock));
    std::memcpy(list.data(), bytes.data(), list.size() * sizeof(LevelBlock));
    return list;
}

}  // namespace

TEST(EditorGame, ALevelBuiltInTheEditorIsPlayedFromTheChooser) {
    GameFolder folder;
    writeEditorLevelSet();
    script = GameScript();
    seen = Seen();

    // From the menu to the information page, scrolled by dragging to offset 2073, where the cheat
    // panel's lid stands on screen rows 110 .. 215.
    waitFor(MODE_MAIN_MENU);
    tapSteps(120, 122 + 24 * 3 + 5);
    waitFor(MODE_INFO_PAGE);
    for (int i = 0; i < 6; i++) {
        pressStep(120, 310);
        moveStep(120, 10);
        releaseStep(120, 10);
    }
    pressStep(120, 300);
    moveStep(120, 27);
    releaseStep(120, 27);
    step([]() { return flow.pageY == 2073; });
    tapSteps(100, 150);
    step([]() { return game.cheatPanelAmount == CHEAT_PANEL_FULL; });
    tapSteps(100, 115);  // "Level Editor"
    waitFor(MODE_EDITOR);
    act([]() {
        seen.editorEntered = 1;
        seen.levelIndexInEditor = game.levelIndex;
        seen.blocksOnEntry = currentLevel.blockCount;
    });

    // The palette: steel at (0, 300), brick at (22, 300); the bar starts a row of its own at (0, 278),
    // so the power-up marks stand in rows at 266, 250 and 234.
    // Stamp the bar at (40, 235), just below where the ball is served.
    tapSteps(50, 280);
    moveStep(120, 238);
    actionKey();
    // Paint two bricks at (60, 100) and (85, 100): the second stamp lands once a frame has shown the
    // brick under the stylus.
    tapSteps(30, 302);
    moveStep(70, 105);
    keyStep(MSG_KEYDOWN, KEY_ACTION);
    moveStep(95, 105);
    moveStep(96, 105);
    keyStep(MSG_KEYUP, KEY_ACTION);
    // Move the brick at (40, 40) to (120, 70).
    moveStep(45, 45);
    pressStep(45, 45);
    moveStep(90, 60);
    moveStep(125, 75);
    releaseStep(125, 75);
    // Erase the brick at (100, 40) with the action key.
    moveStep(105, 45);
    actionKey();
    // Hide an extra life in the bar: its mark in the palette, then the bar (right of the marks).
    tapSteps(12 + 24 * (HIDDEN_KIND - 9), 250);
    tapSteps(150, 237);
    moveStep(200, 200);
    actionKey();
    // Leave with the escape key: the level is saved on the way out.
    keyStep(MSG_KEYUP, KEY_ESCAPE);
    waitFor(MODE_MAIN_MENU);
    act([]() { seen.savedLevel = readFileBytes("Data/level0.dat"); });

    // Play it: the chooser's first cell, then a tap on the hint panel to start sooner.
    tapSteps(120, 122 + 24 * 1 + 5);
    waitFor(MODE_LEVEL_SELECT);
    tapSteps(12, 92);
    waitFor(MODE_PLAY);
    act([]() { seen.played.assign(currentLevel.blocks, currentLevel.blocks + currentLevel.blockCount); });
    waitPasses(30);
    tapSteps(120, 150);
    step([]() {
        for (int i = 0; i < powerUps.capsuleCount; i++) {
            seen.capsuleKind = powerUps.capsules[i].kind;
            seen.capsuleX = powerUps.capsules[i].x;
            seen.capsuleY = powerUps.capsules[i].y;
            return true;
        }
        return false;
    });

    act([]() { headlessPushMessage(MSG_CLOSE, 0, 0); });
    EXPECT_EQ(runScript(), 0);
    EXPECT_EQ(script.next, script.steps.size()) << "stuck at step " << script.next;
    EXPECT_LT(script.passes, script.limit);

    EXPECT_EQ(seen.editorEntered, 1);
    EXPECT_EQ(seen.levelIndexInEditor, 0);
    EXPECT_EQ(seen.blocksOnEntry, 3);

    // The file written on leaving: the steel block, the moved brick, the two painted bricks and the bar
    // with its extra life; the erased brick is gone.
    std::vector<LevelBlock> saved = recordsOf(seen.savedLevel);
    EXPECT_EQ(seen.savedLevel.size(), 5u * 12u);
    const int want[5][4] = {{160, 40, STEEL, 0}, {120, 70, BRICK, 0}, {60, 100, BRICK, 0}, {85, 100, BRICK, 0},
                            {40, 235, BAR, HIDDEN_KIND + 1}};
    for (const auto& w : want) {
        EXPECT_TRUE(holds(saved, w[0], w[1], w[2], w[3])) << w[0] << ", " << w[1];
        EXPECT_TRUE(holds(seen.played, w[0], w[1], w[2], w[3])) << w[0] << ", " << w[1];
    }
    for (const LevelBlock& b : saved) {
        EXPECT_FALSE(b.x == 40 && b.y == 40) << "the moved brick stayed";
        EXPECT_FALSE(b.x == 100 && b.y == 40) << "the erased brick stayed";
    }

    // Play loaded exactly those blocks, and the ball's first hit broke the bar and freed its capsule.
    ASSERT_EQ(seen.played.size(), 5u);
    EXPECT_EQ(seen.capsuleKind, HIDDEN_KIND);
    EXPECT_EQ(seen.capsuleX / 1024, 40 + 80);
    EXPECT_GE(seen.capsuleY / 1024, 235 + 3);
    EXPECT_LT(seen.capsuleY / 1024, 250);
}
