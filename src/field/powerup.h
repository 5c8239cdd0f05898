// Power-ups: falling capsules, the active list with its per-kind counts, the 22 kinds and their effects.
#pragma once

#include <cstdint>

#include "shell/fixed.h"

enum PowerUpKind {
    POWERUP_HOMING = 0,
    POWERUP_SLOW_MOTION = 1,
    POWERUP_BALL_SHOWER = 2,
    POWERUP_FOUNTAIN = 3,
    POWERUP_BALL_SPLIT = 4,
    POWERUP_WIDE_PADDLE = 5,
    POWERUP_NARROW_PADDLE = 6,
    POWERUP_FAST_BALLS = 7,
    POWERUP_DEMOLITION = 8,
    POWERUP_BOMB = 9,
    POWERUP_SLUGGISH_PADDLE = 10,
    POWERUP_LASER = 11,
    POWERUP_THROUGH_BALL = 12,
    POWERUP_QUICK_PADDLE = 13,
    POWERUP_BALL_KILLER = 14,
    POWERUP_EXTRA_LIFE = 15,
    POWERUP_FROZEN_PADDLE = 16,
    POWERUP_ZONE_UP = 17,
    POWERUP_ZONE_DOWN = 18,
    POWERUP_REVEAL = 19,
    POWERUP_DRAIN = 20,
    POWERUP_LOWER_PILE = 21,
    POWERUP_KINDS = 22,
};

enum {
    MAX_CAPSULES = 40,
    MAX_ACTIVE_POWERUPS = 20,
};

// A capsule falling from a broken block.
struct FallingPowerUp {
    int32_t x, y;          // 1/1024 px
    int32_t vx, vy;        // 1/1024 px per tick (vx always 0)
    int32_t prevX, prevY;  // 1/1024 px, before the latest move
    int32_t kind;          // 0..21
    uint8_t age;           // ticks, wraps
};

// A caught power-up at work.
struct ActivePowerUp {
    int32_t kind;     // 0..21
    int32_t counter;  // ticks since it was caught
};

// What each kind does when caught: score change, sound slot (SOUND_NONE: none) and how it is started.
struct PowerUpRule {
    int32_t score;
    int32_t sound;
    int32_t fieldVoice;  // 1: started as a field voice, 0: played as a plain sound
    int32_t duration;    // ticks; 0: acts once
    int32_t fixed;       // 1: the Max Power-up cheat does not stretch it
};
extern const PowerUpRule powerUpRules[POWERUP_KINDS];

// The power-ups on the field: capsules falling and the effects running.
struct PowerUpState {
    FallingPowerUp capsules[MAX_CAPSULES];       // falling, in the order they were released
    int32_t capsuleCount = 0;                    // entries of capsules in use
    ActivePowerUp active[MAX_ACTIVE_POWERUPS];   // running effects, in the order they were caught
    int32_t activeCount = 0;                     // entries of active in use
    int16_t counts[POWERUP_KINDS] = {};          // entries of active per kind
};

extern PowerUpState powerUps;

// Empties the capsules, the active list and the counts (level set-up).
void clearPowerUps(void);
// The tick at which an entry of this kind ends (its duration stretched by Max Power-up unless fixed).
int32_t powerUpDuration(int kind);
// Appends a capsule at pixel (x, y) falling with vy 500; nothing when 40 exist or the kind is unknown.
void spawnFallingPowerUp(int x, int y, int kind);
// Score and sound of the kind, then a new active entry when fewer than 20 exist.
void collectPowerUp(int kind);
void expirePowerUp(int index);
// Lowest active index of the kind, -1 when none.
int findPowerUp(int kind);
// A lost life ends one entry of each harmful kind, once on Easy and never on harder difficulties.
void shedBadPowerUps(void);
// The tick's pass over the active list: paddle targets, lasers, each kind's work and its ending.
void updatePowerUps(void);
// Capsules fall and are caught by the paddle or lost below the field.
void updateFallingPowerUps(void);

// Drain: the pile near the paddle glows and is cleared.
void drainPile(void);
// Lower Pile: the top 6 rows of the pile are cleared across the field.
void lowerPile(void);

// The capsules, the active list down the left edge and the paddle's own marks.
void drawPowerUps(void);
// The laser beams of the Laser entries, drawn onto the back surface.
void drawLaserBeams(void);
