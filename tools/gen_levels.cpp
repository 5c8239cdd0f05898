// Generator of the level set: field pictures, block types, the 100 levels with their power-ups, and hints.
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "blockset.h"
#include "designs.h"
#include "fieldscheme.h"
#include "generator.h"
#include "hintset.h"
#include "leveldraft.h"
#include "powerplan.h"

namespace levelset {
namespace {

const int LEVELS = 100;
// Design limits: a level holds roughly 20 to 200 blocks.
const int MIN_BLOCKS = 15, MAX_BLOCKS = 250;

// The debris of a level's breakable blocks settles into a pile that lifts the paddle and buries it at
// the top of the zone (57 rows deep on Insane). Counted as two pieces a pixel spread evenly across the
// field (an upper bound: fast pieces drop through the thin bottom row and are lost), the first levels
// leave a shallow pile and the allowance grows with the level to 44 rows.
int maxPileRows(int index) {
    return 26 + index * 18 / 99;
}

bool fileExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// Builds one level from its design and power-up plan and checks it; false with a message on a fault.
bool buildLevel(int index, LevelDraft& d) {
    beginDraft(d, index);
    designLevel(d);
    LevelFacts facts = levelFacts(d);
    std::vector<int> kinds = powerUpsForLevel(index, facts.breakable, facts.pileRows);
    if (kinds.size() < 3 || kinds.size() > 12 || !hidePowerUps(d, kinds)) {
        fprintf(stderr, "plinkor-gen: level %d: cannot hide %zu power-ups in %d breakable blocks\n", index,
                kinds.size(), facts.breakable);
        return false;
    }
    std::string why;
    if (!checkDraft(d, &why)) {
        fprintf(stderr, "plinkor-gen: level %d is rejected: %s\n", index, why.c_str());
        return false;
    }
    if (facts.blocks < MIN_BLOCKS || facts.blocks > MAX_BLOCKS) {
        fprintf(stderr, "plinkor-gen: level %d is rejected: %d blocks\n", index, facts.blocks);
        return false;
    }
    if (facts.pileRows > maxPileRows(index)) {
        fprintf(stderr, "plinkor-gen: level %d is rejected: its debris would pile %d rows deep (at most %d)\n",
                index, facts.pileRows, maxPileRows(index));
        return false;
    }
    return true;
}

}  // namespace
}  // namespace levelset

bool generateLevelSet(const std::string& runDir) {
    using namespace levelset;
    const std::string dataDir = runDir + "Data/";
    if (!layoutBlockSet() || !writeBlockSet(dataDir) || !writeFieldScheme(dataDir)) {
        return false;
    }
    int kept = 0;
    for (int index = 0; index < LEVELS; index++) {
        LevelDraft d;
        if (!buildLevel(index, d)) {
            return false;
        }
        // A level file already in the run folder may be the player's own work from the editor: keep it.
        std::string path = dataDir + "level" + std::to_string(index) + ".dat";
        if (fileExists(path)) {
            kept++;
            continue;
        }
        if (!writeLevelFile(path, d)) {
            return false;
        }
    }
    if (kept > 0) {
        printf("plinkor-gen: kept %d level files already in %s\n", kept, dataDir.c_str());
    }
    return writeHints(dataDir);
}
