// The paddle: steering towards the stylus or keys inside the paddle zone, the pile lift, drawing.
#pragma once

#include <cstdint>

#include "gfx/surface.h"
#include "shell/fixed.h"

struct Paddle {
    int32_t x, y;                    // centre x and line y, pixels; the row tested against the map is y + 4
    int32_t fixedX, fixedY;          // the same position, 1/1024 px
    int32_t vx, vy;                  // smoothed velocity, 1/1024 px per tick (balls read vy as 16 bits)
    int32_t halfWidth, targetHalfWidth;   // pixels
    int32_t zoneHeight, targetZoneHeight; // pixels: the line may not rise above map height - zone height
    int32_t stepLimit;               // most pixels moved per tick
    int32_t keyHold;                 // ticks for which any direction key has been held
    // Inputs set by the play screen's input handler.
    int32_t keyUp, keyDown, keyLeft, keyRight; // 1 while the direction key is held
    int32_t swallow;                 // 1: the current stylus press is consumed and does not steer
};

extern Paddle paddle;

// Start of a game: half width and its target 20 - 2 x difficulty + the Fat Paddle amount.
void startGamePaddle(void);
// Puts the paddle at the serve position (screen centre, 20 rows above the bottom), fixed values to match.
void placePaddleForServe(void);
// Whether the paddle's row (every second pixel) is free of anything in the collision map.
int paddleRowClear(void);
// Moves the paddle one row up, fixed position with it.
void raisePaddle(void);

// Start of a play tick: the velocity halves.
void halvePaddleVelocity(void);
// The tick's paddle work: width and zone easing, key hold, pile lift, zone clamp, burying, steering.
void movePaddle(void);
// End of a play tick: a velocity whose position did not change this tick becomes 0.
void stopIdlePaddle(int32_t oldX, int32_t oldY);

// Draws the paddle's pieces from the blocks picture with its centre at (x, line y); ghost: half-transparent.
void drawPaddlePieces(Surface* dst, int x, int y, int ghost);
// The paddle as the play screen shows it: the Quick Paddle ghosts, then the paddle itself.
void drawPaddle(void);
