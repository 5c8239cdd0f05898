// The tour of the whole game for the bad-input tests: each screen in turn, random hands on it.
#include "reliability_tour.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <random>

#include "field/ball.h"
#include "flowtest.h"
#include "field/gamevalues.h"
#include "game/modes.h"
#include "platform/platform.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"

namespace {

const int64_t UPDATE = HEADLESS_TICKS_PER_SECOND / 60;

// The stops of the tour: the screen the tour puts up (as an input handler would) and stays on.
const int32_t stops[] = {MODE_MAIN_MENU,  MODE_OPTIONS,      MODE_CONTROL_CONFIG, MODE_HIGH_SCORES,
                         MODE_INFO_PAGE,  MODE_LEVEL_SELECT, MODE_NEW_GAME,       MODE_MAIN_MENU,
                         MODE_PLAY,       MODE_GAME_OVER,    MODE_NAME_ENTRY,     MODE_EDITOR,
                         MODE_MAIN_MENU,  MODE_FAREWELL,     MODE_EXIT};
const int STOPS = (int)(sizeof(stops) / sizeof(stops[0]));

struct Tour {
    TourOptions options;
    TourResult result;
    std::mt19937 random;
    int stop = -1;          // -1 while the splashes run
    int64_t stopSince = 0;  // pass the stop's screen was first shown, -1 until then
    int attempts = 0;       // times the stop's screen was asked for again
    int held = 0, heldX = 0;
};

Tour tour;

int roll(int n) {
    return (int)(tour.random() % (uint32_t)n);
}

void tap(int x, int y) {
    headlessMouse(MSG_LBUTTONDOWN, x, y);
    headlessMouse(MSG_LBUTTONUP, x, y);
}

void letGo(void) {
    if (tour.held) {
        headlessMouse(MSG_LBUTTONUP, tour.heldX, 300);
        tour.held = 0;
    }
}

// Random hands that never leave the game: no escape and no last menu item in the main menu.
void randomHands(void) {
    int r = roll(100);
    bool menu = mainLoop.currentMode == MODE_MAIN_MENU;
    if (r < 40) {
        int y = roll(320);
        if (menu && menuItemAt(y) >= 5) {
            y = 100;
        }
        tap(roll(240), y);
    } else if (r < 60) {
        int y0 = roll(320), y1 = roll(320);
        if (menu && menuItemAt(y1) >= 5) {
            y1 = 100;
        }
        int x1 = roll(240);
        headlessMouse(MSG_LBUTTONDOWN, roll(240), y0);
        headlessMouse(MSG_MOUSEMOVE, (x1 + 120) / 2, (y0 + y1) / 2);
        headlessMouse(MSG_MOUSEMOVE, x1, y1);
        headlessMouse(MSG_LBUTTONUP, x1, y1);
    } else {
        // The direction and action keys, sometimes another key.
        uint32_t vk = r < 90 ? (uint32_t)controlKeys[roll(5)] : (uint32_t)(65 + roll(26));
        if (menu && (vk == 27 || (int32_t)vk == controlKeys[CONTROL_ESCAPE])) {
            return;
        }
        headlessKey(MSG_KEYDOWN, vk);
        headlessKey(MSG_KEYUP, vk);
    }
}

// Play: the paddle kept under the ball, the hint tapped away.
void playHands(void) {
    if (game.helpfulHints && game.readyCountdown > 300 && roll(20) == 0) {
        letGo();
        tap(120, 40);
        return;
    }
    int x = ballList.count > 0 ? fixedToInt(ballList.balls[0].x) : 120;
    x = x < 0 ? 0 : (x > 239 ? 239 : x);
    if (!tour.held) {
        headlessMouse(MSG_LBUTTONDOWN, x, 300);
        tour.held = 1;
    } else if (x != tour.heldX) {
        headlessMouse(MSG_MOUSEMOVE, x, 300);
    }
    tour.heldX = x;
}

// Every mode the loop entered counts, even one that an update left at once (an empty level is
// cleared by its first update).
void record(void) {
    int32_t mode = mainLoop.previousMode;
    for (int32_t m : tour.result.shown) {
        if (m == mode) {
            return;
        }
    }
    tour.result.shown.push_back(mode);
}

// The screen is put up as an input handler puts it up: the loop enters it on its next pass.
void putUp(int32_t mode) {
    if (mode == MODE_PLAY) {
        // Back to the game through the menu's first item, or a new game when it has ended.
        if (game.gameInProgress) {
            if (mainLoop.currentMode == MODE_MAIN_MENU) {
                tap(120, 122 + 12 + 8);
            } else {
                mainLoop.currentMode = MODE_MAIN_MENU;
            }
            return;
        }
        if (!game.gameInProgress) {
            mode = MODE_NEW_GAME;
        }
    }
    if (mode == MODE_NEW_GAME) {
        game.levelIndex = tour.options.level;
    }
    mainLoop.currentMode = mode;
}

void nextStop(void) {
    letGo();
    tour.stop++;
    tour.stopSince = -1;
    tour.attempts = 0;
    if (tour.stop < STOPS) {
        putUp(stops[tour.stop]);
    }
}

void hook(int64_t pass) {
    tour.result.passes = pass;
    headlessAdvance(UPDATE + 1);
    if (tour.options.drainAudio && pass % 3 == 0) {
        headlessAudioPlayOne();
    }
    record();
    if (!tour.options.needles.empty()) {
        std::string log = logText();
        for (const std::string& needle : tour.options.needles) {
            if (log.find(needle) != std::string::npos) {
                tour.result.found.insert(needle);
            }
        }
    }
    if (tour.options.everyPass) {
        tour.options.everyPass(pass);
    }
    if (pass > 60000) {
        tour.result.failure = "the tour did not end (stop " + std::to_string(tour.stop) + ", mode " +
                              std::to_string(mainLoop.currentMode) + ")";
        headlessPushMessage(MSG_CLOSE, 0, 0);
        return;
    }
    if (appActive == 0) {
        tap(120, 160);
        return;
    }
    if (tour.stop < 0) {
        // The splashes, hurried along by a press now and then.
        if (showing(MODE_MAIN_MENU)) {
            nextStop();
        } else if (pass % 90 == 0) {
            tap(120, 160);
        }
        return;
    }
    if (tour.stop >= STOPS) {
        return;
    }
    int32_t mode = stops[tour.stop];
    // Screens that pass on by themselves count as shown once the screen after them is.
    if (mode == MODE_NEW_GAME) {
        // On once play has begun, or the game has passed through it to a screen of its own.
        if (mainLoop.previousMode == MODE_PLAY || (mainLoop.previousMode == mainLoop.currentMode && mainLoop.currentMode != MODE_NEW_GAME &&
                                          mainLoop.currentMode != MODE_NEXT_LEVEL && mainLoop.currentMode != MODE_LEVEL_DONE)) {
            nextStop();
        }
        return;
    }
    if (tour.stopSince < 0) {
        if (!showing(mode)) {
            // Something (a random tap) took the game elsewhere before the screen came up: ask again, a
            // few times (levels without blocks are over before play can be shown).
            if (mainLoop.previousMode == mainLoop.currentMode && pass % 30 == 0) {
                if (++tour.attempts > 5) {
                    nextStop();
                } else {
                    putUp(mode);
                }
            }
            return;
        }
        tour.stopSince = pass;
    }
    int64_t on = pass - tour.stopSince;
    if (mode == MODE_FAREWELL || mode == MODE_EXIT) {
        if (on == 20 && showing(mode)) {
            tap(120, 160);
            if (mode == MODE_FAREWELL) {
                tour.stop++;
                tour.stopSince = -1;
            }
        }
        return;
    }
    if (mode == MODE_PLAY) {
        if (on >= tour.options.playPasses) {
            nextStop();
        } else if (showing(MODE_PLAY)) {
            playHands();
        }
        return;
    }
    if (on >= tour.options.passesPerScreen) {
        nextStop();
        return;
    }
    if (pass % 4 == 0 && mainLoop.currentMode != MODE_FAREWELL && mainLoop.currentMode != MODE_EXIT) {
        randomHands();
    }
}

}  // namespace

TourResult tourTheGame(const TourOptions& options) {
    tour = Tour();
    tour.options = options;
    tour.random.seed(options.seed);
    headlessReset();
    headlessSetAudioCapture(0);
    logLevel = 1;
    clearLog();
    if (options.setUp) {
        options.setUp();
    }
    headlessSetPumpHook(hook);
    tour.result.exitCode = runGame();
    headlessSetPumpHook(nullptr);
    tour.result.updates = game.updateCounter;
    tour.result.boxes = headlessMessageBoxes();
    if (tour.result.failure.empty() && tour.stop < STOPS - 1) {
        tour.result.failure = "the tour ended at stop " + std::to_string(tour.stop);
    }
    std::string shown;
    for (int32_t m : tour.result.shown) {
        shown += " " + std::to_string(m);
    }
    std::printf("tour: %lld passes, %u updates, %zu message boxes, modes entered:%s\n",
                (long long)tour.result.passes, tour.result.updates, tour.result.boxes.size(), shown.c_str());
    return tour.result;
}

std::string screensMissed(const TourResult& result) {
    static const int32_t expected[] = {MODE_SPLASH_LOGO,  MODE_SPLASH_INTRO, MODE_SPLASH_MONKEY, MODE_MAIN_MENU,
                                       MODE_OPTIONS,      MODE_CONTROL_CONFIG, MODE_HIGH_SCORES, MODE_INFO_PAGE,
                                       MODE_LEVEL_SELECT, MODE_PLAY,         MODE_GAME_OVER,     MODE_NAME_ENTRY,
                                       MODE_EDITOR,       MODE_FAREWELL,     MODE_EXIT};
    std::string missed;
    for (int32_t m : expected) {
        bool seen = false;
        for (int32_t s : result.shown) {
            seen = seen || s == m;
        }
        if (!seen) {
            missed += (missed.empty() ? "" : " ") + std::to_string(m);
        }
    }
    return missed;
}

std::string tourFaults(const TourResult& result) {
    std::string faults = result.failure;
    std::string missed = screensMissed(result);
    if (!missed.empty()) {
        faults += (faults.empty() ? "" : "; ") + std::string("screens never shown: ") + missed;
    }
    if (result.exitCode != 0) {
        faults += (faults.empty() ? "" : "; ") + std::string("exit code ") + std::to_string(result.exitCode);
    }
    if (mainLoop.quitRequested != 1) {
        faults += (faults.empty() ? "" : "; ") + std::string("not ended by the close message");
    }
    return faults;
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
        size_t written = 0;
        while (written < result.size()) {
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
    ssize_t n;
    while ((n = read(ends[0], chunk, sizeof(chunk))) > 0) {
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
