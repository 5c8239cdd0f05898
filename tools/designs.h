// The designs of the 100 levels: each fills a draft with blocks (power-ups are added afterwards).
#pragma once

#include "leveldraft.h"

namespace levelset {

// Fills d with the blocks of level d.index (0..99).
void designLevel(LevelDraft& d);
// The two halves of the set, in designs_early.cpp and designs_late.cpp.
void designEarlyLevel(LevelDraft& d);
void designLateLevel(LevelDraft& d);

// Helpers shared by the designs.
// A row of n blocks of one type centred on the field, `gap` pixels apart.
void centredRow(LevelDraft& d, int y, int n, int type, int gap = 0);
// The outline of a rectangle of blocks of one type (corners included), w x h in blocks.
void outline(LevelDraft& d, int x, int y, int w, int h, int type);

}  // namespace levelset
