// Play: setting up a level and the play update that drives the field in its fixed order.
#pragma once

#include <cstdint>

// The hint panel that slides in at level start.
struct HintPanel {
    int32_t x, y;           // top-left, pixels
    int32_t width, height;  // pixels: 120 x 100 at program start, 200 wide from the first level on
    int32_t leaving;        // 1 once it slides out
};

extern HintPanel hintPanel;

// The level is cleared when no breakable block is left.
int levelCleared(void);
// Serves a new ball above the paddle zone, falling slightly sideways at the base speed.
void serveBall(void);
// The zone height for the current difficulty and Zone Up / Zone Down counts (pixels).
int32_t zoneHeightForCounts(void);
// Entry work of the next-level mode: loads level game.levelIndex and prepares play.
void setUpLevel(void);
// Leaves the level: frees the level's pictures and the field picture.
void tearDownLevel(void);
// One play update; returns MODE_PLAY, MODE_LEVEL_DONE or MODE_GAME_OVER.
int32_t updatePlay(void);
// 1 while the lost-ball caption "Doh!" shows: the countdown has run below -200 with no ball and the
// level not cleared.
int lostBallCaptionShowing(void);
// The play field as the play screen shows it up to the paddle: field picture (at the shake offsets),
// zone line, debris, balls and aiming line, the Quick Paddle ghosts and the paddle.
void drawPlayField(void);
// What the play screen draws after the score: capsules, active marks, paddle marks, laser beams, explosions.
void drawPlayMarks(void);
