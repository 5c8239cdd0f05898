// Records the guarding sessions: a scripted player on the headless backend, journaled, with the state
// hashes the replay tests expect.
//
//   plinkor-record-sessions SESSION OUTDIR     SESSION: level1, gameover, tour or editor
//
// Run from the build's run folder (generated data). Writes OUTDIR/SESSION.journal and
// OUTDIR/SESSION.hashes (a line "UPDATE HASH" every 600 updates, then "final UPDATES SCORE HASH").
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "field/ball.h"
#include "field/level.h"
#include "field/gamevalues.h"
#include "game/modes.h"
#include "game/play.h"
#include "platform/headless/headless.h"
#include "platform/journal.h"
#include "shell/mainloop.h"
#include "shell/replay.h"
#include "../../game/flowtest.h"

namespace {

enum { KEY_ACTION = 32, KEY_ESCAPE = 27, KEY_DOWN = 40 };

struct Hands {
    int held = 0;
    int heldX = 0;
};
Hands hands;

void press(int x, int y) {
    act([x, y]() { headlessMouse(MSG_LBUTTONDOWN, x, y); });
}
void release(int x, int y) {
    act([x, y]() { headlessMouse(MSG_LBUTTONUP, x, y); });
}
void moveTo(int x, int y) {
    act([x, y]() { headlessMouse(MSG_MOUSEMOVE, x, y); });
}
// A press and its release in the next pass.
void tap(int x, int y) {
    press(x, y);
    release(x, y);
}
void key(uint32_t vk) {
    keyStep(MSG_KEYDOWN, vk);
    keyStep(MSG_KEYUP, vk);
}

int clampX(int x) {
    return x < 0 ? 0 : (x > 239 ? 239 : x);
}

void holdAt(int x, int y) {
    if (!hands.held) {
        headlessMouse(MSG_LBUTTONDOWN, x, y);
        hands.held = 1;
    } else if (x != hands.heldX) {
        headlessMouse(MSG_MOUSEMOVE, x, y);
    }
    hands.heldX = x;
}

void letGo(void) {
    if (hands.held) {
        headlessMouse(MSG_LBUTTONUP, hands.heldX, 300);
        hands.held = 0;
    }
}

// The hint panel is tapped away once it has slid in.
bool dismissHint(void) {
    if (game.helpfulHints && game.readyCountdown > 300 && hintPanel.y > 60) {
        letGo();
        headlessMouse(MSG_LBUTTONDOWN, hintPanel.x + 60, hintPanel.y + 10);
        headlessMouse(MSG_LBUTTONUP, hintPanel.x + 60, hintPanel.y + 10);
        return true;
    }
    return false;
}

// From the splashes (the intro let go by a tap) to the main menu.
void toMenu(void) {
    step([]() {
        if (showing(MODE_SPLASH_INTRO) && flow.splashCounter == 290) {
            headlessMouse(MSG_LBUTTONDOWN, 120, 160);
            headlessMouse(MSG_LBUTTONUP, 120, 160);
            return true;
        }
        return false;
    });
    waitFor(MODE_MAIN_MENU);
    waitPasses(20);
}

void menuItem(int item) {
    waitFor(MODE_MAIN_MENU);
    waitPasses(10);
    tap(120, 122 + 24 * item + 5);
}

// Level 1 from the chooser, played until `done` holds, the paddle under the ball a little off centre.
void playLevelOne(std::function<bool(void)> done) {
    menuItem(1);
    waitFor(MODE_LEVEL_SELECT);
    waitPasses(20);
    tap(12, 80 + 12);
    step([done]() {
        if (done()) {
            letGo();
            return true;
        }
        if (!showing(MODE_PLAY) || dismissHint()) {
            return false;
        }
        holdAt(clampX(landingX() + (int)((script.passes / 240) % 5) * 4 - 8), 300);
        return false;
    });
}

// The information page dragged down to where the cheat panel's lid stands, the lid tapped open.
void openCheatPanel(void) {
    menuItem(3);
    waitFor(MODE_INFO_PAGE);
    waitPasses(10);
    for (int i = 0; i < 6; i++) {
        press(120, 310);
        moveTo(120, 10);
        release(120, 10);
    }
    press(120, 300);
    moveTo(120, 27);
    release(120, 27);
    step([]() { return flow.pageY == 2073; });
    tap(100, 150);
    step([]() { return game.cheatPanelAmount == CHEAT_PANEL_FULL; });
    waitPasses(30);
}

void close(void) {
    waitPasses(30);
    act([]() { headlessPushMessage(MSG_CLOSE, 0, 0); });
}

void level1(void) {
    toMenu();
    playLevelOne([]() { return game.levelIndex == 1; });
    waitPasses(120);
    close();
}

void gameover(void) {
    toMenu();
    // Level 1 lost: the paddle kept to the far side from the ball.
    menuItem(1);
    waitFor(MODE_LEVEL_SELECT);
    waitPasses(20);
    tap(12, 80 + 12);
    step([]() {
        if (showing(MODE_GAME_OVER)) {
            return true;
        }
        if (showing(MODE_PLAY) && !dismissHint() && game.readyCountdown <= 0) {
            holdAt(ballList.count > 0 && fixedToInt(ballList.balls[0].x) < 120 ? 230 : 10, 300);
        }
        return false;
    });
    waitPasses(6);
    act(letGo);
    waitPasses(40);
    tap(120, 200);
    waitFor(MODE_NAME_ENTRY);
    for (char c : std::string("REPLAY")) {
        waitPasses(8);
        tap(2 + 20 * ((c - 32) % 12) + 5, 151 + 14 * ((c - 32) / 12) + 5);
    }
    waitPasses(8);
    tap(200, 300);
    waitFor(MODE_HIGH_SCORES);
    close();
}

void tour(void) {
    const int left = 16, top = 53;
    toMenu();
    menuItem(2);
    waitFor(MODE_OPTIONS);
    waitPasses(20);
    // Difficulty on to Medium, hints off and on, the effects and music knobs dragged.
    tap(left + 11, top + 154);
    waitPasses(10);
    tap(100, top + 30);
    waitPasses(10);
    tap(100, top + 30);
    for (int y : {top + 80, top + 110}) {
        press(60, y);
        moveTo(80, y);
        moveTo(110, y);
        release(110, y);
        waitPasses(10);
    }
    // Control configuration: the third row takes the F key, then back to the menu by the corner button.
    tap(left + 11, top + 126);
    waitFor(MODE_CONTROL_CONFIG);
    waitPasses(20);
    tap(120, 20 + 4 * 17 + 1);
    waitPasses(10);
    key('F');
    waitPasses(20);
    tap(232, 314);
    waitFor(MODE_MAIN_MENU);
    // The information page and its cheat panel: unlimited lives and fat paddle switched on.
    openCheatPanel();
    for (int line = 0; line < 2; line++) {
        act([line]() {
            int y = 10 + 2173 - flow.pageY + cheatLineOffsets[line] + 4;
            headlessMouse(MSG_LBUTTONDOWN, infoPageLeft() + 40, y);
            headlessMouse(MSG_LBUTTONUP, infoPageLeft() + 40, y);
        });
        waitPasses(10);
    }
    waitPasses(60);
    key(KEY_ESCAPE);
    waitFor(MODE_MAIN_MENU);
    close();
}

void editorSession(void) {
    toMenu();
    openCheatPanel();
    tap(100, 115);  // "Level Editor"
    waitFor(MODE_EDITOR);
    waitPasses(20);
    // A few blocks stamped from the palette's first cells, one dragged, one erased.
    tap(10, 302);
    moveTo(60, 120);
    key(KEY_ACTION);
    moveTo(100, 140);
    key(KEY_ACTION);
    tap(34, 302);
    moveTo(150, 160);
    key(KEY_ACTION);
    moveTo(62, 122);
    press(62, 122);
    moveTo(90, 180);
    release(90, 180);
    moveTo(100, 140);
    key(KEY_ACTION);
    waitPasses(20);
    key(KEY_ESCAPE);
    waitFor(MODE_MAIN_MENU);
    // The level played for a while from the chooser.
    playLevelOne([]() { return showing(MODE_PLAY) && game.readyCountdown <= 0 && script.passes % 1200 == 0; });
    waitPasses(600);
    close();
}

bool writeHashes(const std::string& path) {
    FILE* f = fopen(path.c_str(), "w");
    if (f == nullptr) {
        return false;
    }
    for (const Checkpoint& c : updateWatch.checkpoints) {
        fprintf(f, "%u %016llx\n", c.update, (unsigned long long)c.hash);
    }
    fprintf(f, "final %u %d %016llx\n", updateWatch.updates, (int)game.score, (unsigned long long)gameStateHash());
    return fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: plinkor-record-sessions level1|gameover|tour|editor OUTDIR\n");
        return 2;
    }
    std::string name = argv[1], out = argv[2];
    if (out[0] != '/') {
        out = std::string(std::filesystem::current_path().string()) + "/" + out;
    }
    GameFolder folder;
    script = GameScript();
    script.limit = 100000;
    if (name == "level1") {
        level1();
    } else if (name == "gameover") {
        gameover();
    } else if (name == "tour") {
        tour();
    } else if (name == "editor") {
        editorSession();
    } else {
        fprintf(stderr, "no such session: %s\n", name.c_str());
        return 2;
    }
    JournalHeader header;
    describeRunFolder(&header);
    std::string error;
    if (!journalStartRecording((out + "/" + name + ".journal").c_str(), header, 0, &error)) {
        fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    watchUpdates();
    int code = runScript();
    journalFinish();
    if (script.next != script.steps.size() || code != 0) {
        fprintf(stderr, "%s: the script stuck at step %zu of %zu in mode %d (exit code %d); modes:", name.c_str(),
                script.next, script.steps.size(), (int)mainLoop.currentMode, code);
        for (int32_t mode : script.modesSeen) {
            fprintf(stderr, " %d", (int)mode);
        }
        fprintf(stderr, "\n");
        return 1;
    }
    if (!writeHashes(out + "/" + name + ".hashes")) {
        fprintf(stderr, "cannot write %s/%s.hashes\n", out.c_str(), name.c_str());
        return 1;
    }
    printf("%s: %s, %lld journal bytes\n", name.c_str(), replayResultLine().c_str(), (long long)journalBytesWritten());
    return 0;
}
