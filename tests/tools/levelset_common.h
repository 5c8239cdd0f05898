// The level set as the tests read it: level records on their own, block types with the game's reader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/surface.h"

struct LevelRecordView {
    int x, y, type, width, height, powerUp;
    uint8_t reserved[3];
};

struct TypeCellView {
    int x, y, width, height;
};

// Reads a level file: whole 12-byte little-endian records; false when the file cannot be read.
bool readLevelRecords(const std::string& path, std::vector<LevelRecordView>* out, long* fileSize = nullptr);
std::string levelFile(int n);
// The block types of "blocks5.txt" as the game's own reader takes them.
std::vector<TypeCellView> loadBlockTypes();

// Makes picture loading work as in the game: gamma 128 and the data folder "./Data/".
void prepareLevelSetPictures();
// Loads Data/<name> at the given gamma as the game would; a picture that does not load fails the test.
Surface* loadDataPicture(const char* name, int gamma = 128);
// The level recolouring: channel permutation p (0..4) of every pixel in the w x h area.
void recolourArea(Surface* s, int w, int h, int p);
// The kinds that hurt the player: narrow, sluggish and frozen paddle, ball killer, zone down.
bool harmfulKind(int kind);
// 1 when the collision-map pixel is a wall (red 0, blue above 0).
bool wallPixel(uint16_t pixel);

// The whole level set as the files hold it: block types, the block cells, the collision map, 100 levels.
struct LevelSet {
    std::vector<TypeCellView> types;
    std::vector<std::vector<LevelRecordView>> levels;
    Surface* blocks = nullptr;
    Surface* scheme = nullptr;
    LevelSet();
    ~LevelSet();
    bool cellPixel(int type, int dx, int dy) const;
    // One byte a pixel (240 x 320): walls and the level's metal plates.
    std::vector<uint8_t> solidMap(int n) const;
};

// A level's figures: blocks, metal plates, gems, debris pixels, and shielded blocks (breakable ones no
// ball can reach straight up from the serve line: metal or a wall stands in every 7-pixel lane below).
struct Figures {
    int blocks = 0, metal = 0, gems = 0, debris = 0, shielded = 0;
};
Figures levelFigures(const LevelSet& set, int n);

// What level set-up does around loadLevel: the pristine copy and the field picture, then the redraw.
void openTestLevel(int n);
void closeTestLevel();
