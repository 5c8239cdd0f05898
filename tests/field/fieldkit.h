// Test kit for the play field: a fresh field of plain surfaces with a small blocks picture of known cells,
// level files, and the field modules every field test uses.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "field/ball.h"
#include "field/blocks.h"
#include "field/debris.h"
#include "field/effects.h"
#include "field/gamevalues.h"
#include "field/level.h"
#include "field/paddle.h"
#include "field/powerup.h"
#include "gfx/surface.h"
#include "support/testutil.h"

// Test block types (cells in the kit's blocks picture):
enum {
    KIT_STEEL = 0,   // 10 x 5, every pixel set (indestructible)
    KIT_BRICK = 1,   // 10 x 5, every pixel set
    KIT_HOLLOW = 2,  // 10 x 5, the first and last column empty: 40 visible pixels
    KIT_WIDE = 3,    // 21 x 3
    KIT_GEM = 4,     // 5 x 5
    KIT_LONG = 5,    // 20 x 5
    KIT_TYPES = 6,
};

extern const uint16_t KIT_CYAN;   // 0x07DF
extern const uint16_t KIT_WALL;   // pure blue
extern const uint16_t KIT_BRICK_COLOUR;

// Data path, gamma, angle tables, explosion frames, random seed 1, game values and every list emptied;
// a 240 x 320 back surface.
void resetFieldState(void);
// resetFieldState, then an empty 240 x 320 field: collision map, background (a gradient), pristine copy,
// field picture, the kit's blocks picture and types, sprite sheets; difficulty 1, 3 lives.
void makeKitField(void);
// Paints a rectangle of a surface, or of the collision map.
void paintRect(Surface* s, int x, int y, int w, int h, uint16_t colour);
void paintMap(int x, int y, int w, int h, uint16_t colour);

// A scratch folder holding the kit's data, a fresh field state with nothing loaded, and the log on.
class KitFiles : public ::testing::Test {
protected:
    void SetUp() override;
    ScratchFolder folder;
};

// Writes the kit's field into Data/ of the current folder: "scheme5.png" (black, blue walls on the left,
// right and top), "scheme5v.png" (a gradient), "blocks5.png" and "blocks5.txt" with the kit's six types.
void writeKitData(void);
// A level record; width and height default to the kit type's.
LevelBlock record(int x, int y, int type, int powerUp = 0, int w = -1, int h = -1);
// Writes Data/level<n>.dat from records.
void writeLevelFile(int level, const LevelBlock* records, int count);
// Every line of the log, oldest first, joined without separators.
std::string logText(void);

// A ball placed directly, with the given speed (velocity not rescaled); returns its index.
int placeBall(int px, int py, int32_t vx, int32_t vy, int speed);
// The pixels of a surface at the given points, in order.
Ints pixelsAt(const Surface* s, std::initializer_list<std::pair<int, int>> points);
