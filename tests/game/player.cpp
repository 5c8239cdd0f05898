// The one scripted player: the step runner, the hands, the tour and monkey, the recorded sessions' scripts.
#include "player.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "field/ball.h"
#include "field/level.h"
#include "flowtest.h"
#include "field/gamevalues.h"
#include "game/modes.h"
#include "game/play.h"
#include "platform/platform.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"

GameScript script;

namespace {

const int64_t UPDATE = HEADLESS_TICKS_PER_SECOND / 60;

void scriptHook(int64_t pass) {
    script.passes = pass;
    headlessAdvance(UPDATE + 1);
    if (script.drainAudio && pass % 3 == 0) {
        headlessAudioPlayOne();
    }
    if (script.modesSeen.empty() || script.modesSeen.back() != mainLoop.previousMode) {
        script.modesSeen.push_back(mainLoop.previousMode);
    }
    std::string log = script.needles.empty() ? "" : logText();
    for (const std::string& needle : script.needles) {
        if (log.find(needle) != std::string::npos) {
            script.found.insert(needle);
        }
    }
    if (script.everyPass) {
        script.everyPass(pass);
    }
    if (pass > script.limit) {
        headlessPushMessage(MSG_CLOSE, 0, 0);
    } else if (script.next < script.steps.size() && script.steps[script.next]()) {
        script.next++;
    }
}

int runHooked(void) {
    headlessSetPumpHook(scriptHook);
    int code = runGame();
    headlessSetPumpHook(nullptr);
    return code;
}

void tap(int x, int y) {
    headlessMouse(MSG_LBUTTONDOWN, x, y);
    headlessMouse(MSG_LBUTTONUP, x, y);
}

// The stylus held down at row 300, moved to x.
void holdAt(int x) {
    x = std::clamp(x, 0, 239);
    if (!script.held) {
        headlessMouse(MSG_LBUTTONDOWN, x, 300);
        script.held = 1;
    } else if (x != script.heldX) {
        headlessMouse(MSG_MOUSEMOVE, x, 300);
    }
    script.heldX = x;
}

void letGo(void) {
    if (script.held) {
        headlessMouse(MSG_LBUTTONUP, script.heldX, 300);
        script.held = 0;
    }
}

// Taps the hint panel away once it has slid in; true if it did.
bool dismissHint(void) {
    if (game.helpfulHints && game.readyCountdown > 300 && hintPanel.y > 60) {
        letGo();
        tap(hintPanel.x + 60, hintPanel.y + 10);
        return true;
    }
    return false;
}

}  // namespace

bool showing(int32_t mode) {
    return mainLoop.currentMode == mode && mainLoop.previousMode == mode;
}

void step(std::function<bool(void)> s) {
    script.steps.push_back(s);
}

void act(std::function<void(void)> f) {
    step([f]() {
        f();
        return true;
    });
}

void waitFor(int32_t mode) {
    step([mode]() { return showing(mode); });
}

void waitPasses(int passes) {
    for (int i = 0; i < passes; i++) {
        act([]() {});
    }
}

void tapStep(int x, int y) {
    act([x, y]() { tap(x, y); });
}

void keyStep(uint32_t message, uint32_t vk) {
    act([message, vk]() { headlessKey(message, vk); });
}

int runScript(void) {
    headlessReset();
    headlessSetAudioCapture(0);
    return runHooked();
}

int landingX(void) {
    if (ballList.count == 0) {
        return 120;
    }
    const Ball& b = ballList.balls[0];
    if (b.vy == 0) {
        return fixedToInt(b.x);
    }
    double y = b.y / 1024.0, vy = b.vy / 1024.0, vx = b.vx / 1024.0;
    double x = b.x / 1024.0 + vx * (vy > 0 ? 288 - y : y + 288) / std::fabs(vy);
    const double left = 3, span = 233;
    double t = std::fmod(x - left, 2 * span);
    t += t < 0 ? 2 * span : 0;
    return (int)(left + (t <= span ? t : 2 * span - t));
}

// ---- The tour and the monkey ----

namespace {

// The stops of the tour: the screen the tour puts up (as an input handler would) and stays on.
const int32_t tourStops[] = {MODE_MAIN_MENU,  MODE_OPTIONS,      MODE_CONTROL_CONFIG, MODE_HIGH_SCORES,
                             MODE_INFO_PAGE,  MODE_LEVEL_SELECT, MODE_NEW_GAME,       MODE_MAIN_MENU,
                             MODE_PLAY,       MODE_GAME_OVER,    MODE_NAME_ENTRY,     MODE_EDITOR,
                             MODE_MAIN_MENU,  MODE_FAREWELL,     MODE_EXIT};
// The monkey's later stops, weighted as a player's time goes.
const int32_t monkeyStops[] = {MODE_OPTIONS, MODE_CONTROL_CONFIG, MODE_HIGH_SCORES, MODE_INFO_PAGE, MODE_EDITOR,
                               MODE_EDITOR,  MODE_NEW_GAME,       MODE_NEW_GAME,    MODE_LEVEL_SELECT,
                               MODE_MAIN_MENU};
struct Tour {
    TourOptions options;
    TourResult result;
    std::vector<int32_t> stops;
    int stop = -1;          // -1 while the splashes run
    int64_t stopSince = 0;  // pass the stop's screen was first shown, -1 until then
    int attempts = 0;       // times the stop's screen was asked for again
    int passesHere = 0;     // hands on this stop
    bool playBadly = false;
};

Tour tour;

int roll(int n) {
    return (int)(script.random() % (uint32_t)n);
}

bool monkeyRun(void) {
    return tour.options.monkeyUpdates > 0;
}

// A y in the main menu's last items (farewell) is moved up: the hands never leave the game.
int keepInGame(int y) {
    return mainLoop.currentMode == MODE_MAIN_MENU && menuItemAt(y) >= 5 ? 100 : y;
}

// Random taps, drags and keys; no escape in the main menu. The monkey's keys take in every configured
// key (screenshot and suspend too).
void randomHands(void) {
    int r = roll(100);
    if (r < 40) {
        int y = keepInGame(roll(320));
        tap(roll(240), y);
    } else if (r < 60) {
        int y0 = roll(320);
        int y1 = keepInGame(roll(320));
        int x1 = roll(240);
        headlessMouse(MSG_LBUTTONDOWN, roll(240), y0);
        headlessMouse(MSG_MOUSEMOVE, (x1 + 120) / 2, (y0 + y1) / 2);
        headlessMouse(MSG_MOUSEMOVE, x1, y1);
        headlessMouse(MSG_LBUTTONUP, x1, y1);
    } else {
        uint32_t vk = r < 90 ? (uint32_t)controlKeys[roll(monkeyRun() ? 8 : 5)] : (uint32_t)(65 + roll(26));
        bool escape = vk == 27 || (int32_t)vk == controlKeys[CONTROL_ESCAPE];
        if (vk != 0 && !(mainLoop.currentMode == MODE_MAIN_MENU && escape)) {
            headlessKey(MSG_KEYDOWN, vk);
            headlessKey(MSG_KEYUP, vk);
        }
    }
}

// Play: the paddle kept under the ball (or, played badly, away from it), the hint tapped away.
void playHands(void) {
    if (game.helpfulHints && game.readyCountdown > 300 && roll(20) == 0) {
        letGo();
        tap(120, 40);
        return;
    }
    int x = ballList.count > 0 ? ballList.balls[0].x >> 10 : 120;
    holdAt(tour.playBadly ? (x < 120 ? 230 : 10) : x);
}

void putUp(int32_t mode) {
    if (mode == MODE_PLAY && game.gameInProgress) {
        // Back to the game through the menu's first item.
        if (mainLoop.currentMode == MODE_MAIN_MENU) {
            tap(120, 122 + 12 + 8);
        } else {
            mainLoop.currentMode = MODE_MAIN_MENU;
        }
        return;
    }
    if (mode == MODE_PLAY || mode == MODE_NEW_GAME) {
        game.levelIndex = tour.options.level;
        mode = MODE_NEW_GAME;
    }
    mainLoop.currentMode = mode;
}

void nextStop(void) {
    letGo();
    tour.stop++;
    tour.stopSince = -1;
    tour.attempts = 0;
    // The monkey: another screen at random until its time is up, then goodbye.
    if (monkeyRun() && tour.stop >= (int)tour.stops.size() - 3 && game.updateCounter < tour.options.monkeyUpdates) {
        int32_t mode = monkeyStops[roll((int)std::size(monkeyStops))];
        tour.stops.insert(tour.stops.end() - 3, mode);
        if (mode == MODE_NEW_GAME) {
            tour.stops.insert(tour.stops.end() - 3, MODE_PLAY);
        }
    }
    tour.passesHere = tour.options.passesPerScreen;
    tour.playBadly = false;
    if (monkeyRun() && tour.stop > 15) {
        tour.passesHere = 30 + roll(2 * tour.options.passesPerScreen);
        tour.playBadly = roll(3) == 0;
        tour.options.level = roll(3);
    }
    if (tour.stop < (int)tour.stops.size()) {
        putUp(tour.stops[tour.stop]);
    }
}

// One pass of the tour; never done (the game's end ends it).
bool tourPass(void) {
    int64_t pass = script.passes;
    if (monkeyRun()) {
        // Now and then a pass takes longer, and the loop catches up with several updates.
        if (roll(50) == 0) {
            headlessAdvance(UPDATE * (1 + roll(5)));
        }
        // The screenshots of a long run would fill the disk.
        if (pass % 3600 == 0) {
            std::error_code ignored;
            std::filesystem::remove_all("My Documents", ignored);
            std::filesystem::create_directory("My Documents", ignored);
        }
    }
    int32_t now = mainLoop.currentMode, before = mainLoop.previousMode;
    if (appActive == 0) {
        tap(120, 160);
    } else if (tour.stop < 0) {
        // The splashes, hurried along by a press now and then.
        if (showing(MODE_MAIN_MENU)) {
            nextStop();
        } else if (pass % 90 == 0) {
            tap(120, 160);
        }
    } else if (tour.stop >= (int)tour.stops.size()) {
    } else if (tour.stops[tour.stop] == MODE_NEW_GAME) {
        // It passes on by itself: shown once the screen after it is.
        if (before == MODE_PLAY ||
            (before == now && now != MODE_NEW_GAME && now != MODE_NEXT_LEVEL && now != MODE_LEVEL_DONE)) {
            nextStop();
        }
    } else if (tour.stopSince < 0 && !showing(tour.stops[tour.stop])) {
        // Something (a random tap) took the game elsewhere before the screen came up: ask again, a few
        // times (levels without blocks are over before play can be shown).
        if (before == now && pass % 30 == 0) {
            if (++tour.attempts > 5) {
                nextStop();
            } else {
                putUp(tour.stops[tour.stop]);
            }
        }
    } else {
        int32_t mode = tour.stops[tour.stop];
        tour.stopSince = tour.stopSince < 0 ? pass : tour.stopSince;
        int64_t on = pass - tour.stopSince;
        if (mode == MODE_FAREWELL || mode == MODE_EXIT) {
            if (on == 20 && showing(mode)) {
                tap(120, 160);
                tour.stop += mode == MODE_FAREWELL ? 1 : 0;
                tour.stopSince = mode == MODE_FAREWELL ? -1 : tour.stopSince;
            }
        } else if (mode == MODE_PLAY) {
            if (on >= tour.options.playPasses) {
                nextStop();
            } else if (showing(MODE_PLAY)) {
                playHands();
            }
        } else if (on >= tour.passesHere) {
            nextStop();
        } else if (pass % 4 == 0 && now != MODE_FAREWELL && now != MODE_EXIT) {
            randomHands();
        }
    }
    return false;
}

}  // namespace

TourResult tourTheGame(const TourOptions& options) {
    tour = Tour();
    tour.options = options;
    tour.stops.assign(std::begin(tourStops), std::end(tourStops));
    script = GameScript();
    script.random.seed(options.seed);
    script.limit = monkeyRun() ? (int64_t)options.monkeyUpdates * 3 + 200000 : 60000;
    script.drainAudio = true;
    script.needles = options.needles;
    script.everyPass = options.everyPass;
    step(tourPass);
    headlessReset();
    headlessSetAudioCapture(0);
    logLevel = 1;
    clearLog();
    if (options.setUp) {
        options.setUp();
    }
    TourResult& r = tour.result;
    r.exitCode = runHooked();
    r.updates = game.updateCounter;
    r.boxes = headlessMessageBoxes();
    r.found = script.found;
    for (int32_t m : script.modesSeen) {
        if (std::find(r.shown.begin(), r.shown.end(), m) == r.shown.end()) {
            r.shown.push_back(m);
        }
    }
    if (script.passes > script.limit) {
        r.failure = "the tour did not end (stop " + std::to_string(tour.stop) + ", mode " +
                    std::to_string(mainLoop.currentMode) + ")";
    } else if (tour.stop < (int)tour.stops.size() - 1) {
        r.failure = "the tour ended at stop " + std::to_string(tour.stop);
    }
    return r;
}

std::string tourFaults(const TourResult& result) {
    std::string faults = result.failure, missed;
    auto add = [&faults](const std::string& fault) { faults += (faults.empty() ? "" : "; ") + fault; };
    // Every stop of the tour and the splashes (new game passes on by itself).
    std::vector<int32_t> every(std::begin(tourStops), std::end(tourStops));
    every.insert(every.end(), {MODE_SPLASH_LOGO, MODE_SPLASH_INTRO, MODE_SPLASH_MONKEY});
    for (int32_t m : every) {
        if (m != MODE_NEW_GAME && std::find(result.shown.begin(), result.shown.end(), m) == result.shown.end()) {
            missed += " " + std::to_string(m);
        }
    }
    if (!missed.empty()) {
        add("screens never shown:" + missed);
    }
    if (result.exitCode != 0) {
        add("exit code " + std::to_string(result.exitCode));
    }
    if (mainLoop.quitRequested != 1) {
        add("not ended by the close message");
    }
    return faults;
}

// ---- The recorded sessions ----

namespace {

enum { KEY_ACTION = 32, KEY_ESCAPE = 27 };

void mouseStep(uint32_t message, int x, int y) {
    act([message, x, y]() { headlessMouse(message, x, y); });
}

// Press and release, one pass each.
void tapSteps(int x, int y) {
    mouseStep(MSG_LBUTTONDOWN, x, y);
    mouseStep(MSG_LBUTTONUP, x, y);
}

void dragStep(int x0, int y0, int x1, int y1) {
    mouseStep(MSG_LBUTTONDOWN, x0, y0);
    mouseStep(MSG_MOUSEMOVE, x1, y1);
    mouseStep(MSG_LBUTTONUP, x1, y1);
}

void keySteps(uint32_t vk) {
    keyStep(MSG_KEYDOWN, vk);
    keyStep(MSG_KEYUP, vk);
}

// From the splashes (the intro let go by a tap) to the main menu.
void toMenu(void) {
    step([]() {
        bool now = showing(MODE_SPLASH_INTRO) && flow.splashCounter == 290;
        if (now) {
            tap(120, 160);
        }
        return now;
    });
    waitFor(MODE_MAIN_MENU);
    waitPasses(20);
}

void menuItem(int item) {
    waitFor(MODE_MAIN_MENU);
    waitPasses(10);
    tapSteps(120, 122 + 24 * item + 5);
}

void chooseLevelOne(void) {
    menuItem(1);
    waitFor(MODE_LEVEL_SELECT);
    waitPasses(20);
    tapSteps(12, 80 + 12);
}

// Level 1 from the chooser, played until `done` holds, the paddle under the ball a little off centre.
void playLevelOne(std::function<bool(void)> done) {
    chooseLevelOne();
    step([done]() {
        if (done()) {
            letGo();
            return true;
        }
        if (showing(MODE_PLAY) && !dismissHint()) {
            holdAt(landingX() + (int)((script.passes / 240) % 5) * 4 - 8);
        }
        return false;
    });
}

// The information page dragged down to where the cheat panel's lid stands, the lid tapped open.
void openCheatPanel(void) {
    menuItem(3);
    waitFor(MODE_INFO_PAGE);
    waitPasses(10);
    for (int i = 0; i < 6; i++) {
        dragStep(120, 310, 120, 10);
    }
    dragStep(120, 300, 120, 27);
    step([]() { return flow.pageY == 2073; });
    tapSteps(100, 150);
    step([]() { return game.cheatPanelAmount == CHEAT_PANEL_FULL; });
    waitPasses(30);
}

void level1Session(void) {
    toMenu();
    playLevelOne([]() { return game.levelIndex == 1; });
    waitPasses(120);
}

void gameoverSession(void) {
    toMenu();
    // Level 1 lost: the paddle kept to the far side from the ball.
    chooseLevelOne();
    step([]() {
        if (showing(MODE_PLAY) && !dismissHint() && game.readyCountdown <= 0) {
            holdAt(ballList.count > 0 && (ballList.balls[0].x >> 10) < 120 ? 230 : 10);
        }
        return showing(MODE_GAME_OVER);
    });
    waitPasses(6);
    act(letGo);
    waitPasses(40);
    tapSteps(120, 200);
    waitFor(MODE_NAME_ENTRY);
    for (char c : std::string("REPLAY")) {
        waitPasses(8);
        tapSteps(2 + 20 * ((c - 32) % 12) + 5, 151 + 14 * ((c - 32) / 12) + 5);
    }
    waitPasses(8);
    tapSteps(200, 300);
    waitFor(MODE_HIGH_SCORES);
}

void tourSession(void) {
    const int left = 16, top = 53;
    toMenu();
    menuItem(2);
    waitFor(MODE_OPTIONS);
    waitPasses(20);
    // Difficulty on to Medium, hints off and on, the effects and music knobs dragged.
    tapSteps(left + 11, top + 154);
    waitPasses(10);
    tapSteps(100, top + 30);
    waitPasses(10);
    tapSteps(100, top + 30);
    for (int y : {top + 80, top + 110}) {
        mouseStep(MSG_LBUTTONDOWN, 60, y);
        mouseStep(MSG_MOUSEMOVE, 80, y);
        mouseStep(MSG_MOUSEMOVE, 110, y);
        mouseStep(MSG_LBUTTONUP, 110, y);
        waitPasses(10);
    }
    // Control configuration: the third row takes the F key, then back to the menu by the corner button.
    tapSteps(left + 11, top + 126);
    waitFor(MODE_CONTROL_CONFIG);
    waitPasses(20);
    tapSteps(120, 20 + 4 * 17 + 1);
    waitPasses(10);
    keySteps('F');
    waitPasses(20);
    tapSteps(232, 314);
    waitFor(MODE_MAIN_MENU);
    // The information page and its cheat panel: unlimited lives and fat paddle switched on.
    openCheatPanel();
    for (int line = 0; line < 2; line++) {
        act([line]() { tap(infoPageLeft() + 40, 10 + 2173 - flow.pageY + cheatLineOffsets[line] + 4); });
        waitPasses(10);
    }
    waitPasses(60);
    keySteps(KEY_ESCAPE);
    waitFor(MODE_MAIN_MENU);
}

void editorSession(void) {
    toMenu();
    openCheatPanel();
    tapSteps(100, 115);  // "Level Editor"
    waitFor(MODE_EDITOR);
    waitPasses(20);
    // A few blocks stamped from the palette's first cells, one dragged, one erased.
    tapSteps(10, 302);
    mouseStep(MSG_MOUSEMOVE, 60, 120);
    keySteps(KEY_ACTION);
    mouseStep(MSG_MOUSEMOVE, 100, 140);
    keySteps(KEY_ACTION);
    tapSteps(34, 302);
    mouseStep(MSG_MOUSEMOVE, 150, 160);
    keySteps(KEY_ACTION);
    mouseStep(MSG_MOUSEMOVE, 62, 122);
    dragStep(62, 122, 90, 180);
    mouseStep(MSG_MOUSEMOVE, 100, 140);
    keySteps(KEY_ACTION);
    waitPasses(20);
    keySteps(KEY_ESCAPE);
    waitFor(MODE_MAIN_MENU);
    // The level played for a while from the chooser.
    playLevelOne([]() { return showing(MODE_PLAY) && game.readyCountdown <= 0 && script.passes % 1200 == 0; });
    waitPasses(600);
}

}  // namespace

bool writeSessionScript(const std::string& name) {
    static const std::pair<const char*, void (*)(void)> sessions[] = {
        {"level1", level1Session}, {"gameover", gameoverSession}, {"tour", tourSession}, {"editor", editorSession}};
    for (const auto& s : sessions) {
        if (name == s.first) {
            s.second();
            waitPasses(30);
            act([]() { headlessPushMessage(MSG_CLOSE, 0, 0); });
            return true;
        }
    }
    return false;
}

std::string inChild(const std::function<std::string()>& body) {
    int ends[2];
    if (pipe(ends) != 0) {
        return "no pipe";
    }
    fflush(stdout);
    pid_t child = fork();
    if (child < 0) {
        return "no child";
    }
    if (child == 0) {
        close(ends[0]);
        std::string result = body();
        for (size_t written = 0; written < result.size();) {
            ssize_t n = write(ends[1], result.data() + written, result.size() - written);
            if (n <= 0) {
                _exit(2);
            }
            written += (size_t)n;
        }
        close(ends[1]);
        fflush(stdout);
        _exit(0);
    }
    close(ends[1]);
    std::string result;
    char chunk[256];
    for (ssize_t n; (n = read(ends[0], chunk, sizeof(chunk))) > 0;) {
        result.append(chunk, (size_t)n);
    }
    close(ends[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        result += " (the child ended with status " + std::to_string(status) + ")";
    }
    return result;
}
