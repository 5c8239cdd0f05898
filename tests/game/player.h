// The one scripted player of the whole game: the real program (runGame) on the headless backend, driven
// by a script of steps tried once a main-loop pass. The tour, the monkey and the recorded sessions are
// scripts of it.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/headless/headless.h"

// Every pass moves the clock on by a little more than one update and tries the current step; a step
// returns true to hand over to the next. Messages pushed in a pass are handled after its frame.
struct GameScript {
    std::deque<std::function<bool(void)>> steps;  // a step may add steps while the script runs
    size_t next = 0;
    int64_t passes = 0;
    int64_t limit = 30000;                   // passes before the run is closed as stuck
    bool drainAudio = false;                 // the sound device asks for a buffer every third pass
    std::vector<int32_t> modesSeen;          // every mode entered, in order
    std::function<void(int64_t)> everyPass;  // the test's own look at every pass
    std::vector<std::string> needles;        // log texts looked for on every pass
    std::set<std::string> found;             // needles seen in the log
    std::mt19937 random;                     // the hands of the tour and the monkey
    int held = 0, heldX = 0;                 // the stylus held down at (heldX, 300)
};
extern GameScript script;

// The mode has been entered and drawn at least once.
bool showing(int32_t mode);
void step(std::function<bool(void)> s);
void act(std::function<void(void)> f);  // a step that acts once
void waitFor(int32_t mode);
void waitPasses(int passes);
void tapStep(int x, int y);  // press and release in one pass
void keyStep(uint32_t message, uint32_t vk);
// Runs the game from a fresh start with the script until the game ends it or the limit closes it.
// Returns the exit code.
int runScript(void);
// Where the first ball will cross the paddle's row (y 288), its bounces off the side walls folded in.
int landingX(void);

// The tour of every screen with random hands from a seed (a level played, the editor, game over, name
// entry, farewell and exit); the monkey tours screens in random order for a number of updates.
struct TourOptions {
    int passesPerScreen = 240;  // random hands on each screen
    int playPasses = 900;       // the level played with the paddle under the ball
    int32_t level = 0;          // the level started from the chooser
    uint32_t seed = 7;
    std::vector<std::string> needles;
    std::function<void(int64_t)> everyPass;
    std::function<void()> setUp;  // after the backend is reset, before the game starts
    uint32_t monkeyUpdates = 0;   // 0: the tour
};

struct TourResult {
    int exitCode = -99;
    uint32_t updates = 0;
    std::vector<int32_t> shown;  // modes shown, in order, each once
    std::set<std::string> found;
    std::vector<HeadlessMessageBox> boxes;
    std::string failure;  // the tour got stuck
};

// Runs the game from a fresh start in the current folder; the game starts once a process, so a test
// that tours more than once tours in children.
TourResult tourTheGame(const TourOptions& options);
// What kept the tour from being complete (stuck, a screen never shown, an exit code other than 0, not
// ended by its close message); "" when it was.
std::string tourFaults(const TourResult& result);

// The recorded sessions' scripts: level1, gameover, tour, editor. False for another name.
bool writeSessionScript(const std::string& name);

// Runs `body` in a forked child and hands back the text it returns ("" for success), with a note added
// when the child did not end normally.
std::string inChild(const std::function<std::string()>& body);
