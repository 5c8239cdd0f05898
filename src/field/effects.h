// Effects: the sprite sheets the play field draws from, explosions and their drawing.
#pragma once

#include <cstdint>

#include "gfx/surface.h"

enum {
    MAX_EXPLOSIONS = 50,
    EXPLOSION_SMALL = 0,   // animated, 32 x 32 frames
    EXPLOSION_BIG = 1,     // the blast drawn over empty field
    EXPLOSION_FRAMES = 11,
};

struct Explosion {
    int32_t x, y;  // centre, pixels
    int32_t kind;  // EXPLOSION_SMALL or EXPLOSION_BIG
    int32_t age;   // ticks
};

// The sheets the field draws from and the explosions on it. The sheets are loaded once at start-up by the
// intro splash and kept for the whole run.
struct EffectsState {
    Surface* spritesPicture = nullptr;   // "sprites.png": balls at (0..18, 32), life mark, explosion frames
    Surface* iconsPicture = nullptr;     // "icons.png": the big blast at (1, 0) with its mask at (52, 1)
    Surface* powerUpsPicture = nullptr;  // "power-ups.png": one 24-pixel column per power-up kind
    Explosion explosions[MAX_EXPLOSIONS];  // in the order they started
    int32_t explosionCount = 0;            // entries of explosions in use
};

extern EffectsState effects;
// Frame numbers of the small explosion, one per two ticks of age.
extern int32_t explosionSequence[EXPLOSION_FRAMES];

// Sets the explosion frame sequence; part of the game's one-time initialisation.
void buildExplosionSequence(void);
void spawnExplosion(int x, int y, int kind);
void removeExplosion(int index);
// Ages explosions and removes finished ones.
void updateExplosions(void);
void drawExplosions(void);
