// Balls: angle tables, ball list, fixed-point stepping over the collision map, paddle bounces, drawing.
#include "field/ball.h"

#include <cmath>

#include "field/debris.h"
#include "field/effects.h"
#include "field/gamevalues.h"
#include "field/level.h"
#include "field/paddle.h"
#include "field/powerup.h"
#include "gfx/blit.h"
#include "gfx/draw.h"
#include "shell/display.h"
#include "shell/fixed.h"
#include "shell/random.h"
#include "sound/mixer.h"
#include "sound/sample.h"

BallList ballList;
int32_t cosTable[360];
int32_t sinTable[360];

// The probe ring on the ball's rim: up first, then clockwise.
static const int probeX[8] = {0, 2, 3, 2, 0, -2, -3, -2};
static const int probeY[8] = {-3, -2, 0, 2, 3, 2, 0, -2};

void buildAngleTables(void) {
    for (int i = 0; i < 360; i++) {
        // 57.3 rather than 180 / pi: the tables are part of the game's feel.
        cosTable[i] = (int32_t)std::trunc(256.0 * std::cos(i / 57.3));
        sinTable[i] = (int32_t)std::trunc(256.0 * std::sin(i / 57.3));
    }
}

int wrapAngle(int a) {
    while (a < 0) {
        a += 360;
    }
    while (a > 359) {
        a -= 360;
    }
    return a;
}

int angleOf(int32_t dx, int32_t dy) {
    if (dx == 0) {
        return dy < 0 ? 0 : 180;
    }
    // dy = 0 divides by zero on purpose: atan of an infinity is a right angle.
    int t = (int)std::trunc(std::atan((double)dx / (double)dy) * 57.3);
    if (dy < 0) {
        t += 180;
    }
    return 540 - t;
}

static int32_t magnitude(int32_t v) {
    return v < 0 ? -v : v;
}

void angleAndDistance(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int* angle, int32_t* distance) {
    int32_t dy = y1 - y0;
    int32_t dx = x1 - x0;
    if (magnitude(x1 - (x0 - 750)) < magnitude(dx)) {
        dx = x1 - (x0 - 750);
    } else if (magnitude(x1 - (x0 + 750)) < magnitude(dx)) {
        dx = x1 - (x0 + 750);
    }
    if (dx == 0 && dy == 0) {
        *distance = 0;
    } else {
        *distance = (int32_t)std::trunc(std::sqrt((double)dx * dx + (double)dy * dy));
    }
    *angle = wrapAngle(angleOf(dx, dy));
}

int32_t baseBallSpeed(void) {
    return 2000 + 500 * game.difficulty;
}

int32_t minimumBallSpeed(void) {
    return (baseBallSpeed() * 3) >> 2;
}

int32_t maximumBallSpeed(void) {
    return (baseBallSpeed() * 6) >> 2;
}

int spawnBall(int x, int y, int32_t vx, int32_t vy) {
    if (ballList.count >= MAX_BALLS) {
        return -1;
    }
    int index = ballList.count++;
    Ball* b = &ballList.balls[index];
    b->x = intToFixed(x);
    b->y = intToFixed(y);
    b->prevX = b->x;
    b->prevY = b->y;
    b->vx = vx;
    b->vy = vy;
    b->speed = (int16_t)baseBallSpeed();
    setBallSpeed(index);
    return index;
}

void removeBall(int index) {
    if (index < 0 || index >= ballList.count) {
        return;
    }
    ballList.balls[index] = ballList.balls[ballList.count - 1];
    ballList.count--;
}

static void setVelocityAt(Ball* b, int a) {
    b->vx = (b->speed * cosTable[a]) >> 8;
    b->vy = (b->speed * sinTable[a]) >> 8;
}

void setBallSpeed(int index) {
    Ball* b = &ballList.balls[index];
    setVelocityAt(b, wrapAngle(angleOf(b->vx, b->vy) - 90));
}

void setBallSpeedWrapped(int index) {
    Ball* b = &ballList.balls[index];
    if (b->speed < MIN_REBOUND_SPEED) {
        b->speed = MIN_REBOUND_SPEED;
    }
    int a;
    int32_t length;
    angleAndDistance(0, 0, b->vx, b->vy, &a, &length);
    setVelocityAt(b, wrapAngle(a - 90));
}

void setBallAngle(int index, int angle) {
    Ball* b = &ballList.balls[index];
    if (b->speed < MIN_REBOUND_SPEED) {
        b->speed = MIN_REBOUND_SPEED;
    }
    setVelocityAt(b, angle);
}

void reflectVelocity(int32_t* vx, int32_t* vy, int a) {
    int64_t nx = (cosTable[a] * 10) >> 8;
    int64_t ny = (sinTable[a] * 10) >> 8;
    int64_t t = ((*vx * nx + *vy * ny) * 4) / 2;
    *vx += (int32_t)(-(((t * cosTable[a]) >> 8) / 10));
    *vy += (int32_t)(-(((t * sinTable[a]) >> 8) / 10));
}

void reflectBall(int index) {
    Ball* b = &ballList.balls[index];
    int bx = fixedToInt(b->x), by = fixedToInt(b->y);
    int width = screenWidth();
    int32_t sx = 0, sy = 0;
    for (int dy = -5; dy <= 5; dy++) {
        int w = (int)std::trunc(std::sqrt((double)(36 - dy * dy)));
        for (int dx = -w; dx <= w; dx++) {
            int px = bx + dx, py = by + dy;
            int solid = px < 0 || px > width || py < 0 || getPixel(currentLevel.collisionMap, px, py) != 0;
            if (solid) {
                sx += dx;
                sy += dy;
            }
        }
    }
    if (sx == 0 && sy == 0) {
        return;
    }
    int a;
    int32_t length;
    angleAndDistance(0, 0, sx, sy, &a, &length);
    reflectVelocity(&b->vx, &b->vy, wrapAngle(a - 90));
    setBallSpeed(index);
}

static int ringTouches(int bx, int by) {
    for (int k = 0; k < 8; k++) {
        if (getPixel(currentLevel.collisionMap, bx + probeX[k], by + probeY[k]) != 0) {
            return 1;
        }
    }
    return 0;
}

void unstickBall(int index) {
    Ball* b = &ballList.balls[index];
    int bx = fixedToInt(b->x), by = fixedToInt(b->y);
    if (!ringTouches(bx, by)) {
        return;
    }
    for (int n = 3; n <= 31; n++) {
        int r = (n >> 2) + 1;
        int dx = gameRand() % (2 * r + 1) - r;
        int dy = gameRand() % (2 * r + 1) - r;
        if (!ringTouches(bx + dx, by + dy)) {
            b->x += intToFixed(dx);
            b->y += intToFixed(dy);
            b->prevX = b->x;
            b->prevY = b->y;
            return;
        }
    }
}

uint16_t ballColour(void) {
    int through = powerUps.counts[POWERUP_THROUGH_BALL] > 0;
    int homing = powerUps.counts[POWERUP_HOMING] > 0;
    if (through && homing) {
        return packColour(31, 7, 31);
    }
    if (through) {
        return packColour(31, 7, 7);
    }
    if (homing) {
        return packColour(0, 7, 31);
    }
    return 0xFFFF;
}

void burstAllBalls(int pieces, uint16_t colour) {
    for (int i = 0; i < ballList.count; i++) {
        int bx = fixedToInt(ballList.balls[i].x), by = fixedToInt(ballList.balls[i].y);
        for (int k = 0; k < pieces; k++) {
            int32_t vy = (gameRand() & 0x3FF) * 8 - 4096;
            int32_t vx = (gameRand() & 0x3FF) * 8 - 4096;
            spawnDebris(bx, by, vx, vy, DEBRIS_PIECE, colour);
        }
        removeBall(i);
        i--;
    }
}

// The ball bursts in the kill zone: two pieces for every pixel of its 7 x 7 square.
static void burstInKillZone(int index) {
    int bx = fixedToInt(ballList.balls[index].x), by = fixedToInt(ballList.balls[index].y);
    uint16_t colour = ballColour();
    for (int dx = -3; dx <= 3; dx++) {
        for (int dy = -3; dy <= 3; dy++) {
            for (int k = 0; k < 2; k++) {
                int32_t vy = (gameRand() & 0x3FF) * 4 - 2048;
                int32_t vx = (gameRand() & 0x3FF) * 4 - 2048;
                spawnDebris(bx + dx, by + dy, vx, vy, DEBRIS_PIECE, colour);
            }
        }
    }
}

enum {
    PADDLE_TAP_GAP = 4,     // updates at least between two taps (the tap lasts about that long)
};

static bool paddleSoundOn = true;
static bool paddleTapped;        // a tap has been played since the program started
static uint32_t lastPaddleTap;   // update counter of the last tap

void setPaddleSound(bool on) {
    paddleSoundOn = on;
}

bool paddleSoundEnabled(void) {
    return paddleSoundOn;
}

// One tap at a time: a shower of balls on the paddle must not crowd block breaks out of the mixer.
static void paddleTap(void) {
    if (!paddleSoundOn || (paddleTapped && game.updateCounter - lastPaddleTap < PADDLE_TAP_GAP)) {
        return;
    }
    paddleTapped = true;
    lastPaddleTap = game.updateCounter;
    playSound(SOUND_PADDLE_TAP);
}

// The bounce off the paddle line; side is +10 from above, -10 from below, 1 for the tunnelling catch.
static void bounceOffPaddle(Ball* b, int index, int side, int bx) {
    paddleTap();
    reflectVelocity(&b->vx, &b->vy, side > 0 ? 90 : 270);
    int hw = paddle.halfWidth;
    int h = ((bx - paddle.x) * 20) / (hw > 20 ? hw : 20);
    if (b->vy < 1) {
        setBallAngle(index, 270 + 3 * h);
    } else {
        setBallAngle(index, 90 - 3 * h);
    }
    int32_t speed = b->speed;
    int16_t paddleVy = (int16_t)paddle.vy;
    if (side == 1) {
        speed += paddleVy;
    } else {
        speed -= paddleVy;
    }
    int32_t low = minimumBallSpeed(), high = maximumBallSpeed();
    speed = speed < low ? low : (speed > high ? high : speed);
    b->speed = (int16_t)speed;
    setBallSpeed(index);
    b->x += b->vx;
    b->y += b->vy;
    b->y = side >= 1 ? intToFixed(paddle.y - 6) : intToFixed(paddle.y + 8);
}

// Paddle tests A (the ball on the paddle line) and B (a fast ball that crossed it). 1 after a bounce.
static int paddleHit(Ball* b, int index, int side) {
    int bx = fixedToInt(b->x), by = fixedToInt(b->y);
    int py = paddle.y;
    int off = bx - paddle.x;
    if (off < 0) {
        off = -off;
    }
    if (py - 3 < by && by < py + 7 && off < paddle.halfWidth) {
        bounceOffPaddle(b, index, side, bx);
        return 1;
    }
    if (by > py - 3 && b->vy > 0 && fixedToInt(b->prevY) <= ballList.previousPaddleLine - 3 && off < paddle.halfWidth) {
        bounceOffPaddle(b, index, 1, bx);
        return 1;
    }
    return 0;
}

// Whether the column below a green wall pixel is green all the way down: the kill zone.
static int inKillZone(int x, int y) {
    int bottom = currentLevel.collisionMap->height;
    for (int row = y; row < bottom; row++) {
        if (((getPixel(currentLevel.collisionMap, x, row) >> 6) & 31) == 0) {
            return 0;
        }
    }
    return 1;
}

void stepBalls(void) {
    if (currentLevel.collisionMap == nullptr) {
        return;
    }
    int width = screenWidth(), height = screenHeight();
    int homing = powerUps.counts[POWERUP_HOMING];
    int through = powerUps.counts[POWERUP_THROUGH_BALL] > 0;
    for (int i = 0; i < ballList.count; i++) {
        Ball* b = &ballList.balls[i];
        b->prevX = b->x;
        b->prevY = b->y;
        int side = fixedToInt(b->y) < paddle.y + 3 ? 10 : -10;
        b->x += b->vx;
        b->y += b->vy;
        if (homing > 0) {
            for (int n = 0; n < currentLevel.blockCount; n++) {
                const LevelBlock* r = &currentLevel.blocks[n];
                if (r->type != 0) {
                    b->vx += ((r->x + (r->width >> 1) - fixedToInt(b->x)) * homing) >> 2;
                    b->vy += ((r->y + (r->height >> 1) - fixedToInt(b->y)) * homing) >> 2;
                }
            }
            setBallSpeed(i);
        }
        if (fixedToInt(b->x) > width || b->x < 0 || b->y < 0 || fixedToInt(b->y) > height - 1) {
            removeBall(i);
            i--;
            continue;
        }
        int bx = fixedToInt(b->x), by = fixedToInt(b->y);
        int burst = 0;
        for (int k = 0; k < 8; k++) {
            int px = bx + probeX[k], py = by + probeY[k];
            uint16_t p = getPixel(currentLevel.collisionMap, px, py);
            int red = p >> 11, green = (p >> 6) & 31, blue = p & 31;
            if (red == 0 && blue == 0) {
                if (paddleHit(b, i, side)) {
                    break;
                }
                continue;
            }
            if (red == 0) {
                if (green != 0 && inKillZone(px, py)) {
                    burstInKillZone(i);
                    burst = 1;
                    break;
                }
                reflectBall(i);
                b->x += b->vx;
                b->y += b->vy;
                unstickBall(i);
                setBallSpeed(i);
                break;
            }
            int hit = findBlockAt(px, py);
            if (!through) {
                reflectBall(i);
            }
            if (hit >= 0) {
                if (currentLevel.blocks[hit].type == 0) {
                    if (through) {
                        reflectBall(i);
                    }
                } else {
                    breakBlock(hit);
                    playSound(SOUND_ELECTRON);
                }
            }
            b->x += b->vx;
            b->y += b->vy;
            unstickBall(i);
            break;
        }
        if (burst) {
            removeBall(i);
            i--;
        }
    }
    ballList.previousPaddleLine = paddle.y;
}

void drawBalls(void) {
    if (backSurface == nullptr || effects.spritesPicture == nullptr) {
        return;
    }
    int homing = powerUps.counts[POWERUP_HOMING] > 0, through = powerUps.counts[POWERUP_THROUGH_BALL] > 0;
    int cell = homing && through ? 18 : (through ? 12 : (homing ? 6 : 0));
    int trail = powerUps.counts[POWERUP_FAST_BALLS];
    for (int i = 0; i < ballList.count; i++) {
        const Ball* b = &ballList.balls[i];
        int bx = fixedToInt(b->x), by = fixedToInt(b->y);
        blit(backSurface, bx - 3, by - 3, 7, 7, effects.spritesPicture, cell, 32, BLIT_TRANSPARENT);
        if (trail > 0) {
            int copies = 4 * trail;
            int stepX = (b->prevX >> 9) - (b->x >> 9), stepY = (b->prevY >> 9) - (b->y >> 9);
            int w = 255 / (4 * trail + 2);
            for (int j = 0; j < copies; j++) {
                blit(backSurface, bx + stepX * j - 3, by + stepY * j - 3, 7, 7, effects.spritesPicture, cell, 32,
                     BLIT_ALPHA_BLEND, 255 - w * (j + 1));
            }
        }
        if (game.readyCountdown > 0) {
            int a = wrapAngle(angleOf(b->vx, b->vy) - 90);
            for (int j = 0; j <= 62; j++) {
                // The dots march with the update counter and fade towards the line's end.
                int v = ((j >> 1) - (int)game.updateCounter) & 31;
                if (v > (64 - j) >> 1) {
                    v = (64 - j) >> 1;
                }
                brightenPixel(backSurface, bx + ((j * cosTable[a]) >> 9), by + ((j * sinTable[a]) >> 9), v >> 1);
            }
        }
    }
}
