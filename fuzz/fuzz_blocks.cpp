// Fuzz target: a block description file read into the type table, then a level of blocks of every type
// number (and past the table) placed, played and shrunk to its thumbnail.
#include <cstdio>

#include "field/blocks.h"
#include "field/level.h"
#include "fuzzkit.h"

enum { PLAY_UPDATES = 120 };

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzzSetUp();
    fuzzKitSetUp();
    // Blocks of types 0..119 in rows over the field, each with a power-up of its own kind (and some past
    // the kinds), sizes left as the file says and as the type table will say.
    uint8_t level[120 * 12];
    for (int i = 0; i < 120; i++) {
        uint8_t* r = level + i * 12;
        int x = 4 + (i % 12) * 19, y = 8 + (i / 12) * 22;
        r[0] = (uint8_t)x;
        r[1] = (uint8_t)(x >> 8);
        r[2] = (uint8_t)y;
        r[3] = (uint8_t)(y >> 8);
        r[4] = (uint8_t)i;
        r[5] = (uint8_t)(10 + i % 30);
        r[6] = (uint8_t)(3 + i % 17);
        r[7] = r[8] = r[9] = 0;
        int powerUp = i % 3 == 0 ? 0 : i % 25;
        r[10] = (uint8_t)powerUp;
        r[11] = 0;
    }
    char name[32];
    snprintf(name, sizeof(name), "level%d.dat", (int)FUZZ_LEVEL);
    fuzzWriteDataFile(name, level, sizeof(level));
    return 0;
}

// The editor's way of placing blocks: width and height come from the type table.
static void placeEveryType(void) {
    for (int type = 0; type <= blockTypeCount && type < MAX_BLOCK_TYPES; type++) {
        addLevelBlock(4 + (type % 10) * 23, 20 + (type / 10) * 21, type, type % 23);
    }
    redrawField();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzBeginInput();
    fuzzWriteDataFile("blocks5.txt", data, size);
    fuzzGameReset();
    fuzzPlayLevel(PLAY_UPDATES, placeEveryType);
    return 0;
}
