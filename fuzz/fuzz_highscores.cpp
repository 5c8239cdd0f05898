// Fuzz target: a high-score file shown, ranked against and inserted into (every insertion leaves a
// 500-character file holding the new entry at its rank), then shown again.
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "fuzzkit.h"
#include "field/gamevalues.h"
#include "game/highscores.h"
#include "game/modes.h"
#include "shell/runfolder.h"

enum { DIFFICULTY = 3 };

const int fuzzSetUpParts = FUZZ_KIT;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzBeginInput();
    fuzzGameReset();
    game.difficulty = DIFFICULTY;
    const char* name = "Plinkor3.dat";  // the table of DIFFICULTY
    fuzzWriteDataFile(name, data, size);

    fuzzVisitMode(MODE_HIGH_SCORES, 2);

    static const int32_t scores[] = {0, 1, 500, 12345678, 123456789, INT_MAX, 77};
    static const char* const names[] = {"", "A", "ten chars!", "longer than ten", "Z", "x.y", "  "};
    for (size_t i = 0; i < sizeof(scores) / sizeof(scores[0]); i++) {
        int32_t rank = highScoreRank(scores[i], DIFFICULTY);
        if (rank < 0 || rank > HIGH_SCORE_ENTRIES) {
            fuzzFail("rank outside the table");
        }
        int written = insertHighScore(names[i], scores[i], DIFFICULTY);
        if (written != (rank < HIGH_SCORE_ENTRIES)) {
            fuzzFail("insertion disagrees with the rank");
        }
        if (!written) {
            continue;
        }
        std::vector<uint8_t> table = readFileBytes(std::string(runPaths.dataPath) + name);
        if (table.size() != HIGH_SCORE_FILE_CHARS) {
            fuzzFail("the table file is not 500 characters after an insertion");
        }
        // The name padded with dots to 12 characters, then the score right-aligned in 8, dots before it.
        std::string expected = std::string(names[i]).substr(0, HIGH_SCORE_NAME_CHARS);
        expected.resize(12, '.');
        char printed[16];
        snprintf(printed, sizeof(printed), "%8d", scores[i]);
        for (const char* c = printed; *c != 0; c++) {
            expected += *c == ' ' ? '.' : *c;
        }
        if (memcmp(table.data() + rank * HIGH_SCORE_ENTRY_CHARS, expected.data(), HIGH_SCORE_ENTRY_CHARS) != 0) {
            fuzzFail("the new entry is not at its rank");
        }
    }

    game.highScoreRank = 0;
    fuzzVisitMode(MODE_HIGH_SCORES, 2);
    return 0;
}
