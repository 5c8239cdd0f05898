// Fuzz target: a block description file read into the type table, then a level of blocks of every type
// number (and past the table) placed, played and shrunk to its thumbnail.
#include <cstring>

#include "field/blocks.h"
#include "field/level.h"
#include "fuzzkit.h"

enum { PLAY_UPDATES = 120 };

const int fuzzSetUpParts = FUZZ_KIT;

// Blocks of types 0..119 in rows over the field, each with a power-up of its own kind (and some past the
// kinds), sizes left as the file says and as the type table will say; written before the first input.
static bool writeLevel(void) {
    uint8_t level[120 * 12];
    for (int i = 0; i < 120; i++) {
        int x = 4 + (i % 12) * 19, y = 8 + (i / 12) * 22;
        const uint8_t record[12] = {(uint8_t)x, (uint8_t)(x >> 8), (uint8_t)y, 0, (uint8_t)i, (uint8_t)(10 + i % 30),
                                    (uint8_t)(3 + i % 17), 0, 0, 0, (uint8_t)(i % 3 == 0 ? 0 : i % 25), 0};
        memcpy(level + i * 12, record, sizeof record);
    }
    fuzzWriteDataFile(FUZZ_LEVEL_FILE, level, sizeof(level));
    return true;
}

// The editor's way of placing blocks: width and height come from the type table.
static void placeEveryType(void) {
    for (int type = 0; type <= blockTypeCount && type < MAX_BLOCK_TYPES; type++) {
        addLevelBlock(4 + (type % 10) * 23, 20 + (type / 10) * 21, type, type % 23);
    }
    redrawField();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    [[maybe_unused]] static const bool levelWritten = writeLevel();
    fuzzBeginInput();
    fuzzWriteDataFile("blocks5.txt", data, size);
    fuzzGameReset();
    fuzzPlayLevel(PLAY_UPDATES, placeEveryType);
    return 0;
}
