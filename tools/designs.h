// The designs of the 100 levels: each fills a draft with blocks (power-ups are added afterwards).
#pragma once

#include <utility>
#include <vector>

#include "blockset.h"
#include "leveldraft.h"

namespace levelset {

// Fills d with the blocks of level d.index (0..99).
void designLevel(LevelDraft& d);
// The parts of the set: 0 to 49 in designs_early.cpp, 50 to 74 in designs_late.cpp, 75 to 99 in
// designs_final.cpp.
void designEarlyLevel(LevelDraft& d);
void designLateLevel(LevelDraft& d);
void designFinalLevel(LevelDraft& d);

// Helpers shared by the designs.
// A row of n blocks of one type centred on the field, `gap` pixels apart.
void centredRow(LevelDraft& d, int y, int n, int type, int gap = 0);
// The outline of a rectangle of blocks of one type (corners included), w x h in blocks.
void outline(LevelDraft& d, int x, int y, int w, int h, int type);
// Blocks centred on an ellipse, skipped where they do not fit.
void ellipse(LevelDraft& d, double cx, double cy, double rx, double ry, int count, int type, double start = 0);
// A metal fence across the field at row y with `gaps` openings two plates wide, spread evenly and
// moved `shift` plates to the right.
void fence(LevelDraft& d, int y, int gaps, int shift);
// Furnishes maze rooms: a tile or a cluster of gems in each, by turns.
void furnishRooms(LevelDraft& d, const std::vector<std::pair<int, int>>& rooms, int room, int tileEvery);

// The gem, brick and tile types by colour, for designs that cycle through them.
inline constexpr int GEMS[3] = {T_RUBY, T_EMERALD, T_SAPPHIRE};
inline constexpr int BRICKS[6] = {T_BRICK_RED, T_BRICK_ORANGE, T_BRICK_YELLOW, T_BRICK_GREEN, T_BRICK_BLUE,
                                  T_BRICK_VIOLET};
inline constexpr int TILES[5] = {T_TILE_RED, T_TILE_YELLOW, T_TILE_GREEN, T_TILE_BLUE, T_TILE_WHITE};

}  // namespace levelset
