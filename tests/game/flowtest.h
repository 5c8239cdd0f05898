// Helpers for the game-flow tests: the log as one text, a scratch folder holding the generated data.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/testutil.h"

// Every line of the log buffer, oldest first, joined without separators.
std::string logText(void);

// A scratch folder (current directory) whose Data/ and Sound/ hold links to the generated files, so
// the game reads the real data and writes its settings and tables here. Sets the data and sound paths.
// A test never writes through a link (that would change the shared generated file): it replaces the
// link with replaceFileBytes or the picture writers below.
struct GameFolder {
    ScratchFolder folder;
    GameFolder();
};

// The game's modes driven as the main loop drives them, without the loop: the mode change applied
// (leave, then enter), updates, and input through the real window procedure. The virtual clock runs
// at 1,000,000 ticks a second and every update advances it by one update step.
struct FlowFixture {
    GameFolder folder;
    FlowFixture();
    // Applies a pending mode change as the top of a main-loop pass does.
    void apply(void);
    // One pass: the mode change, then one update (the clock moves on by one update step).
    void update(int count = 1);
    // Sets the mode as an input handler would and applies it.
    void goTo(int32_t mode);
    // Runs updates until the mode differs from `mode` or `limit` updates have run; returns the count.
    int runWhile(int32_t mode, int limit);
    void press(int x, int y);
    void move(int x, int y);
    void release(int x, int y);
    void tap(int x, int y);
    // Taps each point in turn.
    void tapEach(std::initializer_list<std::pair<int, int>> points);
    void keyDown(uint32_t vk);
    void keyUp(uint32_t vk);
    void key(uint32_t vk);
    // Gives sound slot id a short sample so that voices of it can be seen.
    void loadTestSound(int id);
    // 1 while a voice of slot id is live.
    int voicePlaying(int id);
    // Stops every voice (the mixer is not running in these tests, so voices never end by themselves).
    void silence(void);
};

// The text as bytes.
std::vector<uint8_t> textBytes(const std::string& text);
// A high-score entry as a table stores it: the name cut to ten and padded with full stops, two more,
// then the score right-aligned in eight places, full stops for spaces.
std::string scoreEntry(const std::string& name, int64_t score);
// A table of 500 characters: the entries, then full stops.
std::string scoreTable(const std::vector<std::pair<std::string, int64_t>>& entries);
// The 32-bit little-endian value number `index` of a file's bytes, and such values as bytes.
int32_t valueAt(const std::vector<uint8_t>& bytes, int index);
std::vector<uint8_t> valuesToBytes(const std::vector<int32_t>& values);
// Removes whatever stands at path (a link to a generated file included) and writes the bytes there.
void replaceFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Replaces Data/<name> in the scratch folder by a picture of the given size, every pixel `grey` (0..255).
void writeFlatPicture(const std::string& name, int width, int height, int grey);

// A small level set of our own in the scratch folder: an empty 240 x 320 collision map, a grey
// background, a blocks picture whose type 1 is a white 20 x 10 cell, and the description file.
void writeTestLevelSet(void);
// Level file n holding one block of type `type` at (x, y) with the type's size (20 x 10).
void writeTestLevel(int n, int x, int y, int type);
