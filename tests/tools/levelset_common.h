// Readers for the generated level set, written to the file formats on their own (not the generator's code).
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
// Parses a block description text with the game's reader rules (brackets, commas, 40-character fields,
// at most 50 fields, exactly five fields starting with "block", at most 100 types, values truncated).
std::vector<TypeCellView> parseBlockDescriptionText(const std::string& text);
std::string readTextFile(const std::string& path);

// Makes picture loading work as in the game: gamma 128 and the data folder "./Data/".
void prepareLevelSetPictures();
// The level recolouring: channel permutation p (0..4) of every pixel in the w x h area.
void recolourArea(Surface* s, int w, int h, int p);
// 1 when the collision-map pixel is a wall (red 0, blue above 0).
bool wallPixel(uint16_t pixel);

// Hint tags parsed as the game does: "[" name "|" value "]", exactly two fields, later tags override.
struct HintTags {
    bool hasShow = false, hasWidth = false, hasHint = false;
    int show = -1, width = 200;
    std::string hint;
};
HintTags parseHintTags(const std::string& text);
