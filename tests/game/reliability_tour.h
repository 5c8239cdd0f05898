// A tour of the whole game for the bad-input tests: the real program from start-up through every screen
// with random hands from a fixed seed, a level played, the editor, game over and name entry, then
// farewell and exit. What it met on the way is handed back for the test to check.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/headless/headless.h"

struct TourOptions {
    int passesPerScreen = 240;   // random hands on each screen
    int playPasses = 900;        // the level played with the paddle under the ball
    int32_t level = 0;           // the level started from the chooser
    uint32_t seed = 7;
    bool drainAudio = true;      // the device asks for buffers as it plays
    std::vector<std::string> needles;  // log texts looked for on every pass
    std::function<void(int64_t)> everyPass;  // the test's own look at every pass
    std::function<void()> setUp;             // after the backend is reset, before the game starts
};

struct TourResult {
    int exitCode = -99;
    int64_t passes = 0;
    uint32_t updates = 0;
    std::vector<int32_t> shown;   // modes shown, in order, each once
    std::set<std::string> found;  // needles seen in the log
    std::vector<HeadlessMessageBox> boxes;
    std::string failure;          // the tour got stuck
};

// Runs the game (runGame) from a fresh start in the current folder. The game starts once a process
// (a second start finds the first instance): a test that tours more than once tours in children.
TourResult tourTheGame(const TourOptions& options);

// The modes of the tour that were not shown, as text ("" when all were).
std::string screensMissed(const TourResult& result);
// What kept the tour from being complete (stuck, not every screen shown, an exit code other than 0,
// the program not ended by its close message); "" when it was.
std::string tourFaults(const TourResult& result);

// Runs `body` in a forked child process and hands back the text it returns ("" for success), with a
// note added when the child did not end normally.
std::string inChild(const std::function<std::string()>& body);
