// The game values shared by the game flow and the play field: modes, score, lives, level, cheats, unlocks.
#pragma once

#include <cstdint>

enum {
    MODE_MAIN_MENU = 1,
    MODE_OPTIONS = 40,
    MODE_CONTROL_CONFIG = 41,
    MODE_HIGH_SCORES = 50,
    MODE_NAME_ENTRY = 51,
    MODE_FAREWELL = 60,
    MODE_EXIT = 61,
    MODE_INFO_PAGE = 70,
    MODE_LEVEL_SELECT = 109,
    MODE_PLAY = 110,
    MODE_NEXT_LEVEL = 112,
    MODE_LEVEL_DONE = 113,
    MODE_NEW_GAME = 114,
    MODE_GAME_OVER = 115,
    MODE_EDITOR = 200,
    MODE_SPLASH_LOGO = 500,
    MODE_SPLASH_MONKEY = 501,
    MODE_SPLASH_INTRO = 502,
};

enum { LEVEL_COUNT = 100, DIFFICULTY_COUNT = 4 };

struct Cheats {
    int32_t unlimitedLives;
    int32_t unlockAllLevels;
    int32_t fatPaddle;      // pixels added to the paddle's half widths (6 when on)
    int32_t maxPowerUp;     // m: power-up durations stretched by 1 + m
    int32_t seePowerUps;
    int32_t disableDebris;
};

struct GameValues {
    uint32_t updateCounter;  // +1 at the start of every update in every mode
    int32_t score;
    int32_t lives;
    int32_t levelIndex;      // 0..99, shown as index + 1
    int32_t difficulty;      // 1 easy, 2 medium, 3 hard, 4 insane
    int16_t gameInProgress;  // 1 while a level is loaded that the main menu can continue
    int32_t readyCountdown;  // updates until the balls move
    int32_t highScoreRank;   // rank of the last game's score, -1 none
    int32_t helpfulHints;    // 1: show the hint at the start of a level
    int32_t musicVolume;     // 0..255 (volume class 1, through the music fade)
    int32_t effectsVolume;   // 0..255 (volume class 0)
    Cheats cheats;
    int32_t cheatPanelOpen;  // 1 while the information page's cheat panel is open
    int32_t cheatPanelAmount; // 0..150, how far the lid has lifted
    int32_t unlocked[DIFFICULTY_COUNT][LEVEL_COUNT]; // > 0: level unlocked, one row per difficulty
    int32_t shake;           // field shake amount (play screen)
    int32_t shakeX, shakeY;  // current field shake offsets, pixels (0 while not shaking)
};

extern GameValues game;

// Values at program start (difficulty 1, hints on, no high-score rank, everything else 0).
void resetGameValues(void);
