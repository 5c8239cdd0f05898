// The game values the play field changes and the game flow reads: score, lives, level, cheats, unlocks.
#pragma once

#include <cstdint>

#include "shell/mainloop.h"  // the MODE_ numbers

enum { LEVEL_COUNT = 100, DIFFICULTY_COUNT = 4 };

struct Cheats {
    int32_t unlimitedLives = 0;
    int32_t unlockAllLevels = 0;
    int32_t fatPaddle = 0;      // pixels added to the paddle's half widths (6 when on)
    int32_t maxPowerUp = 0;     // m: power-up durations stretched by 1 + m
    int32_t seePowerUps = 0;
    int32_t disableDebris = 0;
};

struct GameValues {
    uint32_t updateCounter = 0;  // +1 at the start of every update in every mode
    int32_t score = 0;           // points
    int32_t lives = 0;           // balls left
    int32_t levelIndex = 0;      // 0..99, shown as index + 1
    int32_t difficulty = 1;      // 1 easy, 2 medium, 3 hard, 4 insane
    int16_t gameInProgress = 0;  // 1 while a level is loaded that the main menu can continue
    int32_t readyCountdown = 0;  // updates until the balls move
    int32_t highScoreRank = -1;  // rank of the last game's score, -1 none
    int32_t helpfulHints = 1;    // 1: show the hint at the start of a level
    int32_t effectsVolume = 0;   // 0..255 (volume class 0)
    Cheats cheats = {};
    int32_t cheatPanelOpen = 0;  // 1 while the information page's cheat panel is open
    int32_t cheatPanelAmount = 0; // 0..150, how far the lid has lifted
    int32_t unlocked[DIFFICULTY_COUNT][LEVEL_COUNT] = {}; // > 0: level unlocked, one row per difficulty
    int32_t shake = 0;           // field shake amount (play screen)
    int32_t shakeX = 0, shakeY = 0;  // current field shake offsets, pixels (0 while not shaking)
};

extern GameValues game;

// Back to the values at program start: the member initialisers above.
void resetGameValues(void);
