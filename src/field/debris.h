// Debris: breaking blocks into pieces, the debris list with its sand-like physics, sparks and the pile.
#pragma once

#include <cstdint>

#include "shell/fixed.h"

enum {
    MAX_DEBRIS = 1500,
    DEBRIS_PIECE = 0,  // falls, bounces and settles into the pile
    DEBRIS_SPARK = 1,  // flies through everything and fades
};

struct Debris {
    int32_t x, y;          // 1/1024 px
    int32_t vx, vy;        // 1/1024 px per tick
    int32_t prevX, prevY;  // 1/1024 px, before the latest move
    uint16_t age;          // ticks since spawning
    uint16_t colour;       // the pixel it carries
    uint8_t type;          // DEBRIS_PIECE or DEBRIS_SPARK
};

// The debris flying over the field.
struct DebrisList {
    Debris pieces[MAX_DEBRIS];  // in the order they were spawned
    int32_t count = 0;          // entries of pieces in use
};

extern DebrisList debrisList;

// Block points by width: more than 20 pixels 2, 11..20 5, 6..10 20, 5 or less 50.
int blockScore(int width);
// Breaks block i of the level list: two pieces per visible pixel, score, capsule, erased from the map.
void breakBlock(int index);
// Appends a piece at pixel (x, y); a full list first evicts a random piece.
void spawnDebris(int x, int y, int32_t vx, int32_t vy, int type, uint16_t colour);
void removeDebris(int index);
// Writes the piece into the pictures (unless Disable Debris is on) and removes it.
void settleDebris(int index);
// One tick of every piece and spark.
void updateDebris(void);
// Each piece as one back-surface pixel.
void drawDebris(void);
