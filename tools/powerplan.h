// Which power-ups each level hides: when each of the 22 kinds is introduced, which are harmful, the draw.
#pragma once

#include <vector>

namespace levelset {

enum { POWER_UP_KINDS = 22 };

// The game's names of the kinds, 0..21.
const char* powerUpName(int kind);
// Kinds that cost points and hurt the player: Narrow Paddle, Sluggish Paddle, Ball Killer, Frozen
// Paddle, Zone Down.
bool powerUpHarmful(int kind);
// The level index whose hint introduces the kind (every kind by index 40).
int powerUpIntroLevel(int kind);
// The kind a level introduces, or -1.
int kindIntroducedAt(int level);
// The kinds to hide in a level (3 to 12): only kinds introduced by then, the level's new kind at least
// twice, harmful kinds growing more common in later levels, pile clearers more common where the
// level leaves a deep pile. breakable caps the count.
std::vector<int> powerUpsForLevel(int level, int breakable, int pileRows);

}  // namespace levelset
