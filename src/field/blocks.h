// Block types: the block description file, the type table, the field redraw and the power-up marks.
#pragma once

#include <cstdint>

#include "gfx/surface.h"

// One block type: its cell in the blocks picture. Laid out like a LevelBlock (cell x and y where a block
// has x and y, width and height at the same places); only these four fields are used.
struct BlockType {
    uint16_t cellX, cellY;  // top-left of the cell in the blocks picture, pixels
    uint8_t unused;
    uint8_t width, height;  // cell size, pixels
    uint8_t reserved[3];
    uint16_t powerUp;       // always 0
};
static_assert(sizeof(BlockType) == 12, "a block type has the level record's layout");

enum {
    MAX_BLOCK_TYPES = 100,
    MAX_DESCRIPTION_FIELDS = 50,     // fields kept per bracketed record
    MAX_DESCRIPTION_FIELD_TEXT = 40, // characters kept per field
    MAX_BLOCK_FILE_BYTES = 1 << 20,  // a longer description file is refused unread
};

extern BlockType blockTypes[MAX_BLOCK_TYPES];
extern int32_t blockTypeCount;

// The type a block of type number t draws with; a number outside the table gives an empty cell.
const BlockType* blockTypeOf(int type);
// Decimal reading as the C library's atoi: leading white space, an optional sign, digits up to the
// first non-digit, none giving 0. Wraps instead of overflowing. The hint reader reads its tags with it.
int32_t readNumber(const char* text);

// Empties the type table and fills it from "blocks<n>.txt" in the data folder; a file that is no
// regular file or is longer than 1 MiB is reported like a missing one and leaves the table empty.
void loadBlockDescriptions(int number);
// Rebuilds the field picture and the collision map from the background and the level block list.
void redrawField(void);
// Whether redrawField puts the power-up marks on blocks (editor, See Power-ups cheat, Reveal active).
int powerUpMarksShown(void);
// Draws the mark of power-up kind 0..21 centred on (x, y); larger phases (0..31) are darker.
void drawPowerUpMark(Surface* dst, int x, int y, int phase, int kind);

// The editor draws its grid and palettes over the field at the end of redrawField; null elsewhere.
extern void (*drawEditorOverlay)(void);
