// The paddle: per-tick movement in fixed point, the zone, the pile lift, burying and drawing.
#include "field/paddle.h"

#include "field/ball.h"
#include "field/gamevalues.h"
#include "field/level.h"
#include "field/powerup.h"
#include "gfx/blit.h"
#include "shell/fixed.h"
#include "shell/input.h"

Paddle paddle = {120, 300, intToFixed(120), intToFixed(300), 0, 0, 18, 18, 0, 0, 5, 0, 0, 0, 0, 0, 0};

void startGamePaddle(void) {
    paddle.halfWidth = 20 - 2 * game.difficulty + game.cheats.fatPaddle;
    paddle.targetHalfWidth = paddle.halfWidth;
}

void placePaddleForServe(void) {
    paddle.x = screenWidth() / 2;
    paddle.y = screenHeight() - 20;
    paddle.fixedX = intToFixed(paddle.x);
    paddle.fixedY = intToFixed(paddle.y);
}

int paddleRowClear(void) {
    for (int k = -paddle.halfWidth; k < paddle.halfWidth; k += 2) {
        if (getPixel(currentLevel.collisionMap, paddle.x + k, paddle.y + 4) != 0) {
            return 0;
        }
    }
    return 1;
}

void raisePaddle(void) {
    paddle.y--;
    paddle.fixedY -= FRACUNIT;
}

void halvePaddleVelocity(void) {
    paddle.vx >>= 1;
    paddle.vy >>= 1;
}

// The pile lifts the paddle: its row holds pile (blue with green) and no wall (blue without green).
static int standsOnPile(void) {
    int pile = 0;
    for (int k = -paddle.halfWidth; k < paddle.halfWidth; k++) {
        uint16_t p = getPixel(currentLevel.collisionMap, paddle.x + k, paddle.y + 4);
        if ((p & 31) != 0) {
            if (((p >> 6) & 31) == 0) {
                return 0;
            }
            pile = 1;
        }
    }
    return pile;
}

static void clampToZoneTop(int top) {
    if (paddle.y < top) {
        paddle.y = top;
        paddle.fixedY = intToFixed(top);
        paddle.vy = 0;
    }
}

void movePaddle(void) {
    if (currentLevel.collisionMap == nullptr) {
        return;
    }
    int mapHeight = currentLevel.collisionMap->height;
    // Width eases one pixel every fourth tick; growing stops at anything in the paddle's row.
    if ((game.updateCounter & 3) == 0) {
        if (paddle.halfWidth < paddle.targetHalfWidth) {
            paddle.halfWidth++;
            if (!paddleRowClear()) {
                paddle.halfWidth--;
            }
        } else if (paddle.halfWidth > paddle.targetHalfWidth) {
            paddle.halfWidth--;
        }
    }
    if (paddle.zoneHeight < paddle.targetZoneHeight) {
        paddle.zoneHeight++;
    } else if (paddle.zoneHeight > paddle.targetZoneHeight) {
        paddle.zoneHeight--;
    }
    int keys = paddle.keyUp | paddle.keyDown | paddle.keyLeft | paddle.keyRight;
    paddle.keyHold = keys ? paddle.keyHold + 1 : 0;

    int top = mapHeight - paddle.zoneHeight;
    while (paddle.y > top && standsOnPile()) {
        raisePaddle();
    }
    if (paddle.y < top) {
        paddle.y = top;
        paddle.fixedY = intToFixed(top);
    }

    if (!paddleRowClear() && ballList.count > 0) {
        burstAllBalls(20, 0xFFFF);
        game.score -= 1000;
    }

    int32_t targetX, targetY;
    if (stylusSteers() && !paddle.swallow) {
        targetX = stylus.x;
        targetY = stylus.y - 12;
    } else if (keys) {
        targetX = paddle.x + (((paddle.keyRight - paddle.keyLeft) * paddle.keyHold) >> 2);
        targetY = paddle.y + (((paddle.keyDown - paddle.keyUp) * paddle.keyHold) >> 2);
    } else {
        return;
    }

    if (targetY < top) {
        targetY = top;
    }
    int a;
    int32_t distance;
    angleAndDistance(paddle.x, paddle.y, targetX, targetY, &a, &distance);
    // The paddle moves by this tick's whole step; the smoothed velocity only feeds ball bounces and ghosts.
    int32_t stepX = 0, stepY = 0;
    if (distance > 0) {
        a = wrapAngle(a - 90);
        if (distance > paddle.stepLimit) {
            distance = paddle.stepLimit;
        }
        stepX = distance * cosTable[a] * 4;
        stepY = distance * sinTable[a] * 4;
        paddle.vx = (paddle.vx * 3 + stepX) >> 2;
        paddle.vy = (paddle.vy * 3 + stepY) >> 2;
    }
    int screenTop = screenHeight() - paddle.zoneHeight;
    if (fixedToInt(paddle.fixedY) < screenTop) {
        paddle.fixedY = intToFixed(screenTop);
        paddle.vy = 0;
    }

    if (powerUps.counts[POWERUP_FROZEN_PADDLE] == 0) {
        int32_t oldX = paddle.x, oldY = paddle.y, oldFixedX = paddle.fixedX, oldFixedY = paddle.fixedY;
        paddle.fixedX += stepX;
        paddle.fixedY += stepY;
        paddle.x = fixedToInt(paddle.fixedX);
        paddle.y = fixedToInt(paddle.fixedY);
        if (!paddleRowClear()) {
            paddle.x = oldX;
            paddle.y = oldY;
            paddle.fixedX = oldFixedX;
            paddle.fixedY = oldFixedY;
        }
    }

    clampToZoneTop(mapHeight - paddle.zoneHeight);
    if (paddle.y > mapHeight - 1) {
        paddle.y = mapHeight - 1;
        paddle.fixedY = intToFixed(paddle.y);
    }
}

void stopIdlePaddle(int32_t oldX, int32_t oldY) {
    if (paddle.x == oldX) {
        paddle.vx = 0;
    }
    if (paddle.y == oldY) {
        paddle.vy = 0;
    }
}

void drawPaddlePieces(Surface* dst, int x, int y, int ghost) {
    if (dst == nullptr || currentLevel.blocksPicture == nullptr) {
        return;
    }
    int hw = paddle.halfWidth;
    int middle = ghost ? BLIT_ALPHA_BLEND : BLIT_COPY, caps = ghost ? BLIT_ALPHA_BLEND : BLIT_TRANSPARENT;
    for (int o = -hw; o < hw - 3; o += 3) {
        blit(dst, x + o, y, 3, 7, currentLevel.blocksPicture, 13, 1, middle, 140);
    }
    blit(dst, x - hw, y - 1, 4, 11, currentLevel.blocksPicture, 9, 0, caps, 140);
    blit(dst, x + hw - 4, y - 1, 4, 11, currentLevel.blocksPicture, 16, 0, caps, 140);
}

void drawPaddle(void) {
    if (powerUps.counts[POWERUP_QUICK_PADDLE] > 0) {
        for (int k = 0; k <= 3; k++) {
            drawPaddlePieces(backSurface, paddle.x - ((paddle.vx * k) >> 8), paddle.y - ((paddle.vy * k) >> 8), 1);
        }
    }
    drawPaddlePieces(backSurface, paddle.x, paddle.y, 0);
}
