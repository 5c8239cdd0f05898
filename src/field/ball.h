// Balls: the ball list, the angle tables and functions, stepping with pixel-exact collisions, drawing.
#pragma once

#include <cstdint>

#include "shell/fixed.h"

// Positions and velocities are in 1/1024 pixel (pixel = fixedToInt(value), shell/fixed.h); velocities are per step.
struct Ball {
    int32_t x, y;          // centre, 1/1024 px
    int32_t vx, vy;        // 1/1024 px per step; +y is down
    int32_t prevX, prevY;  // centre before the latest step, 1/1024 px
    int16_t speed;         // 1/1024 px per step: the length the velocity is rescaled to
};

enum {
    MAX_BALLS = 5000,
    MIN_REBOUND_SPEED = 750,  // 1/1024 px per step: slowest speed setBallAngle and the wrap keep
};

// The balls in play.
struct BallList {
    Ball balls[MAX_BALLS];              // in the order they were served or split off
    int32_t count = 0;                  // entries of balls in use
    int32_t previousPaddleLine = 320;   // the paddle line y of the previous stepBalls call, pixels, for
                                        // the tunnelling catch
};

extern BallList ballList;

// trunc(256 cos(i / 57.3)) and trunc(256 sin(i / 57.3)), i in degrees 0..359 (0 right, 90 down).
extern int32_t cosTable[360];
extern int32_t sinTable[360];

// Builds the angle tables; once at start-up.
void buildAngleTables(void);
// Brings an angle into 0..359.
int wrapAngle(int a);
// Direction of (dx, dy) as 540 - atan angle: 270..630, or 0 / 180 when dx is 0. Callers subtract 90.
int angleOf(int32_t dx, int32_t dy);
// Direction (0..359, same convention as angleOf) and length from (x0, y0) to (x1, y1), with the
// horizontal distance wrapped at 750 units.
void angleAndDistance(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int* angle, int32_t* distance);

// Base ball speed 2000 + 500 d and the bounds paddle hits keep the speed in (1/1024 px per step).
int32_t baseBallSpeed(void);
int32_t minimumBallSpeed(void);
int32_t maximumBallSpeed(void);

// Appends a ball at pixel (x, y) with the base speed; returns its index, or -1 when the list is full.
int spawnBall(int x, int y, int32_t vx, int32_t vy);
void removeBall(int index);
// Rescales the velocity to the ball's speed along its own direction.
void setBallSpeed(int index);
// The same through the wrapped direction of angleAndDistance, with the speed at least 750.
void setBallSpeedWrapped(int index);
// Velocity of the ball's speed (at least 750) at the given angle.
void setBallAngle(int index, int angle);
// Mirrors the velocity on the normal at angle a (the scale is about 10, not exact).
void reflectVelocity(int32_t* vx, int32_t* vy, int a);
// Bounces the ball off the solid pixels of the disc around it.
void reflectBall(int index);
// Moves a ball that overlaps solid pixels to a free spot near by, trying 29 random spots.
void unstickBall(int index);
// The colour of ball bursts: white, or tinted by Through Ball and Homing.
uint16_t ballColour(void);
// Every ball bursts into `pieces` debris pieces at its position and is removed.
void burstAllBalls(int pieces, uint16_t colour);
// One step of every ball.
void stepBalls(void);
// Whether a ball meeting the paddle plays the soft paddle tap (on unless turned off).
void setPaddleSound(bool on);
bool paddleSoundEnabled(void);
// Balls, their trails and the aiming line onto the back surface.
void drawBalls(void);
