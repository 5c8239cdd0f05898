// Fuzz target: a level file loaded and played, saved as the editor saves it (a clean file must come back
// byte for byte), and shrunk to its thumbnail.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "field/level.h"
#include "fuzzkit.h"
#include "shell/mainloop.h"
#include "shell/runfolder.h"

enum { PLAY_UPDATES = 240, LOWEST_ROW = 240 };

static const uint8_t* input;
static size_t inputSize;

const int fuzzSetUpParts = FUZZ_KIT;

// Saved right after loading: the file holds the loaded list, and a file the loader had nothing to drop
// from (whole records, at most 1000, none below the lowest row) comes back exactly as it was.
static void checkSave(void) {
    if (!saveLevel(FUZZ_LEVEL)) {
        fuzzFail("level could not be saved");
    }
    std::vector<uint8_t> saved = readFileBytes(std::string(runPaths.dataPath) + FUZZ_LEVEL_FILE);
    if (saved.size() != (size_t)currentLevel.blockCount * 12) {
        fuzzFail("saved level has the wrong size");
    }
    for (int i = 0; i < currentLevel.blockCount; i++) {
        const uint8_t* b = saved.data() + i * 12;
        const LevelBlock& r = currentLevel.blocks[i];
        if ((b[0] | b[1] << 8) != r.x || (b[2] | b[3] << 8) != r.y || b[4] != r.type || b[5] != r.width ||
            b[6] != r.height || memcmp(b + 7, r.reserved, 3) != 0 || (b[10] | b[11] << 8) != r.powerUp) {
            fuzzFail("saved record differs from the loaded one");
        }
    }
    bool clean = inputSize % 12 == 0 && inputSize <= (size_t)MAX_LEVEL_BLOCKS * 12;
    for (size_t at = 0; clean && at < inputSize; at += 12) {
        clean = (input[at + 2] | input[at + 3] << 8) <= LOWEST_ROW;
    }
    bool same = saved.size() == inputSize && (inputSize == 0 || memcmp(saved.data(), input, inputSize) == 0);
    if (clean && !same) {
        fuzzFail("a clean level file did not survive loading and saving unchanged");
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzBeginInput();
    fuzzWriteDataFile(FUZZ_LEVEL_FILE, data, size);
    input = data;
    inputSize = size;
    fuzzGameReset();
    fuzzPlayLevel(PLAY_UPDATES, checkSave);
    return 0;
}
