// The level set's block types: their names, sizes, shapes and cells in "blocks5.png", and the paddle pieces.
#pragma once

#include <string>

namespace levelset {

// Type numbers as they stand in "blocks5.txt" (file order); type 0 is the indestructible metal plate.
enum BlockTypeId {
    T_METAL,
    T_BRICK_RED,
    T_BRICK_ORANGE,
    T_BRICK_YELLOW,
    T_BRICK_GREEN,
    T_BRICK_BLUE,
    T_BRICK_VIOLET,
    T_BAR,
    T_TILE_RED,
    T_TILE_YELLOW,
    T_TILE_GREEN,
    T_TILE_BLUE,
    T_TILE_WHITE,
    T_HALF_TILE,
    T_RUBY,
    T_EMERALD,
    T_SAPPHIRE,
    T_PEARL,
    T_ORB,
    T_LOZENGE,
    T_RED_WEDGE_DL,  // red right triangles named by their filled corner: down-left, down-right,
    T_RED_WEDGE_DR,  // up-left, up-right
    T_RED_WEDGE_UL,
    T_RED_WEDGE_UR,
    T_GREEN_WEDGE_DL,
    T_GREEN_WEDGE_DR,
    T_GREEN_WEDGE_UL,
    T_GREEN_WEDGE_UR,
    T_HEX,
    T_STAR,
    BLOCK_TYPE_COUNT
};

// Where a type's cell lies in the blocks picture (pixels).
struct BlockCell {
    int x, y, width, height;
};

// The blocks picture's size and the paddle pieces the game draws from it.
enum {
    BLOCKS_PICTURE_WIDTH = 128,
    BLOCKS_PICTURE_HEIGHT = 64,
};

const BlockCell& blockCell(int type);
const char* blockTypeName(int type);
// 1 where the type's cell pixel is drawn (and solid in the collision map), 0 where it is transparent.
bool blockPixel(int type, int dx, int dy);
// Number of solid pixels of a type (each becomes two debris pieces when the block breaks).
int blockPixelCount(int type);
// The type mirrored left to right (wedges swap sides; every other type is its own mirror).
int mirroredType(int type);

// Lays out the cells; must run before the queries above. Returns false with a message on a layout fault.
bool layoutBlockSet();
// Writes "blocks5.png" and "blocks5.txt" into dataDir and checks them against the game's rules.
bool writeBlockSet(const std::string& dataDir);

}  // namespace levelset
