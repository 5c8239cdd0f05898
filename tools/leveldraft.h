// A level under construction: placing blocks by the editor's fit rule, drawing patterns with them, the
// checks every level must pass (bounds, overlaps, reachability by the ball) and the level file writer.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace levelset {

struct PlacedBlock {
    int x, y;     // top-left in field pixels
    int type;     // block type number
    int powerUp;  // 0 none, else power-up kind + 1
};

struct LevelDraft {
    int index = 0;
    std::vector<PlacedBlock> blocks;
    std::vector<uint8_t> used;  // FIELD_WIDTH x FIELD_HEIGHT, 1 under every placed block's rectangle
    std::string problem;        // the first design fault, empty while there is none
    uint32_t randomState = 1;   // the design's own generator, seeded from the level index
};

void beginDraft(LevelDraft& d, int index);
// The design's deterministic random numbers: 0..n-1.
int draftRandom(LevelDraft& d, int n);

// True when the type's cell at (x, y) lies inside the field above the block limit, no drawn pixel of it
// lands on a wall, and its rectangle meets no placed block.
bool fits(const LevelDraft& d, int x, int y, int type);
// Places a block; a block that does not fit is a design fault (noted in d.problem, nothing placed).
bool place(LevelDraft& d, int x, int y, int type);
// Places a block where it fits and quietly skips it elsewhere (patterns clipped by the walls).
bool placeIfFits(LevelDraft& d, int x, int y, int type);
// Places a block and its mirror image across the field's centre line (once when the two coincide).
void placeMirrored(LevelDraft& d, int x, int y, int type);
// Removes every block whose rectangle holds the point; returns how many went.
int removeAt(LevelDraft& d, int x, int y);

// Pixel pictures: each character of a row is one cell of cellW x cellH pixels; the block of that
// character's type is centred in the cell. '.' and ' ' are empty. Legend: see artType.
void art(LevelDraft& d, int x0, int y0, int cellW, int cellH, std::initializer_list<const char*> rows,
         bool clipped = false);
// Same, mirrored: each row is drawn and also mirrored across the field's centre line.
void artMirrored(LevelDraft& d, int x0, int y0, int cellW, int cellH, std::initializer_list<const char*> rows);
// The type a picture character stands for, or -1.
int artType(char c);
// Capital letters, digits and a few signs from a 5 x 7 font, each dot one block of `type` in a
// cell x cell square; letters advance by 6 cells. Returns the width in pixels.
int lettering(LevelDraft& d, int x0, int y0, const char* text, int cell, int type, bool clipped = false);
int letteringWidth(const char* text, int cell);
// Blocks of one type centred on a circle (skipped where they do not fit).
void ring(LevelDraft& d, int cx, int cy, int radius, int count, int type, double startDegrees = 0);
// A row of `count` blocks from x0 in steps of stepX.
void row(LevelDraft& d, int x0, int y, int count, int stepX, int type);
// Lines of touching blocks: across from (x, y) and down from (x, y).
void lineAcross(LevelDraft& d, int x, int y, int count, int type);
void lineDown(LevelDraft& d, int x, int y, int count, int type);
// Blocks centred on an arc from a0 to a1 degrees (0 right, 90 down), skipped where they do not fit.
void arc(LevelDraft& d, int cx, int cy, int radius, double a0, double a1, int count, int type);
// Bead pictures: each character becomes scale x scale blocks of its type in 5 x 5 cells.
void beads(LevelDraft& d, int x0, int y0, int scale, std::initializer_list<const char*> rows);
// A maze of metal plates over cols x rows rooms of `room` pixels with 10-pixel walls, from (x0, y0);
// openings in the bottom wall let the ball in. `loops` extra walls are removed to make circuits.
// Returns the top-left corners of the rooms (row-major) so the design can furnish them.
std::vector<std::pair<int, int>> maze(LevelDraft& d, int x0, int y0, int cols, int rows, int room, int openings,
                                      int loops);

// Figures of a finished draft.
struct LevelFacts {
    int blocks;         // records
    int breakable;      // records of a type other than 0
    int metal;          // type-0 records
    int gems;           // breakable blocks 5 pixels wide or less
    int powerUps;       // records hiding a power-up
    int debrisPixels;   // drawn pixels of all breakable blocks
    int pileRows;       // rows of settled debris they make across the field (two pieces per pixel)
};
LevelFacts levelFacts(const LevelDraft& d);

// Hides the given power-up kinds, one per block, in distinct breakable blocks chosen by the design's
// generator. Returns false when there are not enough breakable blocks.
bool hidePowerUps(LevelDraft& d, const std::vector<int>& kinds);

// Every rule a finished level must meet: bounds, the fit rule between blocks and walls and blocks,
// 1000 records at most, and that a 7 x 7 ball starting in the serve area can reach every breakable
// block through free space with walls and metal plates solid. False with the reason in *why.
bool checkDraft(const LevelDraft& d, std::string* why);

// Writes the records, 12 bytes each (x, y, type, width, height, three reserved zero bytes, power-up).
bool writeLevelFile(const std::string& path, const LevelDraft& d);

}  // namespace levelset
