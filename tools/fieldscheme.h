// The play field every level shares: its walls ("scheme5.png", the collision map) and its look ("scheme5v.png").
#pragma once

#include <string>

namespace levelset {

enum {
    FIELD_WIDTH = 240,
    FIELD_HEIGHT = 320,
    // Blocks end at or above this row, so the serve area and the paddle zone stay clear.
    BLOCK_BOTTOM_LIMIT = 195,
};

// 1 where the collision map holds a wall (pure blue); the bottom row is never a wall.
bool fieldWall(int x, int y);
// Writes both pictures into dataDir and checks the collision map's colour classes.
bool writeFieldScheme(const std::string& dataDir);

}  // namespace levelset
