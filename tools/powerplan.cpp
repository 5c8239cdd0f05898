// The power-up plan of the level set: introduction order, harmful kinds and the per-level draw.
#include "powerplan.h"

#include <algorithm>
#include <cstdint>

namespace levelset {

namespace {

const char* const names[POWER_UP_KINDS] = {
    "Homing",       "Slow Motion",  "Ball Shower",     "Fountain",    "Ball Split",    "Wide Paddle",
    "Narrow Paddle", "Fast Balls",  "Demolition",      "Bomb",        "Sluggish Paddle", "Laser",
    "Through Ball", "Quick Paddle", "Ball Killer",     "Extra Life",  "Frozen Paddle", "Zone Up",
    "Zone Down",    "Reveal",       "Drain",           "Lower Pile",
};

// Level index that introduces each kind: the friendly ones first, the harmful ones spaced out after 20.
const int introLevels[POWER_UP_KINDS] = {
    11,  // Homing
    15,  // Slow Motion
    12,  // Ball Shower
    18,  // Fountain
    2,   // Ball Split
    0,   // Wide Paddle
    20,  // Narrow Paddle
    27,  // Fast Balls
    17,  // Demolition
    23,  // Bomb
    25,  // Sluggish Paddle
    4,   // Laser
    3,   // Through Ball
    6,   // Quick Paddle
    38,  // Ball Killer
    1,   // Extra Life
    34,  // Frozen Paddle
    8,   // Zone Up
    30,  // Zone Down
    9,   // Reveal
    21,  // Drain
    14,  // Lower Pile
};

uint32_t step(uint32_t& s) {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s;
}

// Relative weight of a kind in a level's draw (0 while not yet introduced), in quarters.
int weight(int kind, int level, int pileRows) {
    if (introLevels[kind] > level) {
        return 0;
    }
    if (powerUpHarmful(kind)) {
        // Mixed in gently from their introduction, more often the further the player gets.
        int w = 4 + std::max(0, level - 40) / 5;
        return kind == 14 ? w / 2 : w;
    }
    switch (kind) {
        case 15:  // Extra Life
        case 2:   // Ball Shower
            return 4;
        case 9:  // Bomb
        case 7:  // Fast Balls
            return 8;
        case 20:  // Drain
        case 21:  // Lower Pile
            return 4 + pileRows / 3;
        default:
            return 12;
    }
}

}  // namespace

const char* powerUpName(int kind) {
    return kind >= 0 && kind < POWER_UP_KINDS ? names[kind] : "";
}

bool powerUpHarmful(int kind) {
    return kind == 6 || kind == 10 || kind == 14 || kind == 16 || kind == 18;
}

int powerUpIntroLevel(int kind) {
    return kind >= 0 && kind < POWER_UP_KINDS ? introLevels[kind] : -1;
}

int kindIntroducedAt(int level) {
    for (int k = 0; k < POWER_UP_KINDS; k++) {
        if (introLevels[k] == level) {
            return k;
        }
    }
    return -1;
}

std::vector<int> powerUpsForLevel(int level, int breakable, int pileRows) {
    uint32_t s = 0x51ED2701u ^ (uint32_t)(level + 7) * 0x2545F491u;
    step(s);
    int count = 3 + (level * 8) / 99 + (int)(step(s) % 2);
    count = std::min(std::min(count, 12), breakable);
    std::vector<int> kinds;
    int fresh = kindIntroducedAt(level);
    if (fresh >= 0) {
        kinds.push_back(fresh);
        kinds.push_back(fresh);
    }
    int total = 0;
    for (int k = 0; k < POWER_UP_KINDS; k++) {
        total += weight(k, level, pileRows);
    }
    while ((int)kinds.size() < count && total > 0) {
        int pick = (int)(step(s) % (uint32_t)total);
        for (int k = 0; k < POWER_UP_KINDS; k++) {
            pick -= weight(k, level, pileRows);
            if (pick < 0) {
                kinds.push_back(k);
                break;
            }
        }
    }
    kinds.resize(std::min((int)kinds.size(), count));
    return kinds;
}

}  // namespace levelset
