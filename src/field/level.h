// Levels: the placed-block record and list, the level files, the level's pictures and the thumbnails.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gfx/surface.h"

// One placed block: 12 bytes, the same layout in memory and in the level file (little-endian).
struct LevelBlock {
    uint16_t x, y;        // left and top edge, play-field pixels
    uint8_t type;         // index into the block type table; 0 is the indestructible block
    uint8_t width;        // pixels, copied from the block type when placed
    uint8_t height;       // pixels, copied from the block type when placed
    uint8_t reserved[3];  // never read; written as they stand in the slot
    uint16_t powerUp;     // 0 none, else power-up kind + 1
};
static_assert(sizeof(LevelBlock) == 12, "a level record is 12 bytes");

enum {
    MAX_LEVEL_BLOCKS = 1000,
    LEVEL_PICTURE_SET = 5,   // the number in "scheme5.png", "blocks5.png", "blocks5.txt"
    THUMBNAIL_SIZE = 24,     // pixels per level in the thumbnail sheet
    THUMBNAIL_WORK_SIZE = 240, // the square a thumbnail is drawn in first; blocks from this row down are left out
    // A level file longer than this is no level (1000 records are 12000 bytes; the rest is ignored).
    MAX_LEVEL_FILE_BYTES = 65536,
};

// The collision map's kill zone and pile: packColour(0, 31, 31).
constexpr uint16_t CYAN = 0x07DF;

// The level in play: its block list and its pictures. The collision map says what each pixel is (0 empty,
// red block, blue wall, cyan kill zone and pile); the background is what the player sees behind the
// blocks; the pristine background is an untouched copy of it; the field picture is background plus
// blocks as drawn. The pictures are owned here and made by loadLevel.
struct LevelState {
    LevelBlock blocks[MAX_LEVEL_BLOCKS];    // the placed blocks, in file order
    int32_t blockCount = 0;                 // entries of blocks in use
    int32_t indestructibleCount = 0;        // records of type 0: the level is cleared at this count
    Surface* collisionMap = nullptr;        // play-field pixels, one colour per kind of surface
    Surface* backgroundPicture = nullptr;   // play-field pixels
    Surface* blocksPicture = nullptr;       // the block set's picture, "blocks5.png"
    Surface* pristineBackground = nullptr;  // play-field pixels, never drawn on
    Surface* fieldPicture = nullptr;        // play-field pixels, background plus blocks
    Surface* thumbnailSheet = nullptr;      // 240 x 240, 24 x 24 per level; made and owned by the level choice
    int32_t musicTrack = -1;                // (level + 1) mod 6 for a loaded level; -1 before any
    int32_t unreadable = 0;                 // 1: the last level's file is there but could not be read, so it
                                            // was loaded as an empty level and must not be saved over
};

extern LevelState currentLevel;

// The back surface's size, or the handheld's 240 x 320 while there is no back surface (tools, tests).
int screenWidth(void);
int screenHeight(void);

// The path of level n's file: "<data folder>level<n>.dat".
void levelFileName(char* out, size_t size, int level);
// Loads the pictures, block descriptions and "level<n>.dat" of level n. Returns 1.
int loadLevel(int level);
// Writes the list to "level<n>.dat" through a temporary file renamed over the old one. 1 on success;
// 0 with errno saying why.
int saveLevel(int level);
// Frees the collision map, background, pristine background and blocks picture; 0 when one is missing.
int unloadLevel(void);
// Appends a block of the given type (size from the type table); does nothing when the list is full.
void addLevelBlock(int x, int y, int type, int powerUp = 0);
// Moves the last record into slot index; does nothing for an index outside the list.
void removeLevelBlock(int index);
// Lowest index whose rectangle holds the point, -1 when none does.
int findBlockAt(int px, int py);
// Draws level n shrunk to 24 x 24 into the thumbnail sheet at ((n mod 10) x 24, (n div 10) x 24).
void makeLevelThumbnail(int level);
// Rewrites the colour channels of the w x h area of s by permutation p (0 leaves it alone).
void recolourSurface(Surface* s, int p, int w, int h);
