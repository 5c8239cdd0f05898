// What the review writers share: the output folder, pictures loaded as the game loads them, PNG writing,
// and the level set read from its files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/surface.h"

// The folder the review files land in, ending with '/'.
extern std::string reviewOutDir;

std::vector<uint8_t> readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
// Loads Data/<name> at the given gamma as the game would; nullptr (with a message) when it does not load.
Surface* loadDataPicture(const char* name, int gamma = 128);
// Writes an 8-bit PNG: RGB (3 bytes a pixel, row-major), or palette indices when paletteRgb is given.
bool writePngFile(const std::string& path, int width, int height, const std::vector<uint8_t>& pixels,
                  const std::vector<uint8_t>* paletteRgb = nullptr);
// Writes the surface as an 8-bit RGB PNG, each 5-bit channel widened to 8 bits; false when it cannot.
bool writeSurfacePng(const std::string& path, const Surface* s);
// The level recolouring: channel permutation p (0..4) of every pixel in the w x h area.
void recolourArea(Surface* s, int w, int h, int p);

struct LevelRecordView {
    int x, y, type, width, height, powerUp;  // pixels; block type; power-up kind + 1 (0: none)
};

struct TypeCellView {
    int x, y, width, height;  // the type's cell in blocks5.png, pixels
};

// The whole level set as the files hold it: block types, the block cells, the collision map, 100 levels.
struct LevelSet {
    std::vector<TypeCellView> types;
    std::vector<std::vector<LevelRecordView>> levels;
    Surface* blocks = nullptr;
    Surface* scheme = nullptr;
    LevelSet();
    ~LevelSet();
    bool cellPixel(int type, int dx, int dy) const;
};

// A level's figures: blocks, metal plates, gems, debris pixels, and shielded blocks (breakable ones no
// ball can reach straight up from the serve line: metal or a wall stands in every 7-pixel lane below).
struct Figures {
    int blocks = 0, metal = 0, gems = 0, debris = 0, shielded = 0;
};
Figures levelFigures(const LevelSet& set, int n);

// The writers; each returns false when it could not write its files.
bool writeContactSheet();
bool writeLevelSheets();
bool writeSoundExport();
