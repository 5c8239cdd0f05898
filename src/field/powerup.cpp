// Power-ups: capsules, catching, the active list and every kind's effect, Drain and Lower Pile, drawing.
#include "field/powerup.h"

#include <cmath>

#include "field/ball.h"
#include "field/blocks.h"
#include "field/debris.h"
#include "field/effects.h"
#include "field/gamevalues.h"
#include "field/level.h"
#include "field/paddle.h"
#include "gfx/draw.h"
#include "shell/fixed.h"
#include "shell/random.h"
#include "sound/mixer.h"
#include "sound/sample.h"

// score, sound slot, started as a field voice, duration in ticks (0: acts once), fixed duration
const PowerUpRule powerUpRules[POWERUP_KINDS] = {
    {100, SOUND_POWER_UP, 0, 300, 0},          // Homing
    {100, SOUND_POWER_UP, 0, 300, 0},          // Slow Motion
    {1000, SOUND_NEGATIVE_JINGLE, 1, 255, 0},  // Ball Shower
    {100, SOUND_FIZZ, 1, 32, 0},               // Fountain
    {100, SOUND_POWER_UP, 0, 700, 0},          // Ball Split
    {50, SOUND_GROW, 0, 2000, 0},              // Wide Paddle
    {-200, SOUND_SHRINK, 0, 2000, 0},          // Narrow Paddle
    {100, SOUND_POWER_UP, 0, 500, 0},          // Fast Balls
    {100, SOUND_POWER_UP, 0, 129, 0},          // Demolition
    {100, SOUND_NONE, 0, 0, 0},                // Bomb: goes off once its counter passes 4
    {-200, SOUND_SHRINK, 0, 2000, 1},          // Sluggish Paddle
    {100, SOUND_POWER_UP, 0, 300, 0},          // Laser
    {100, SOUND_POWER_UP, 0, 1000, 0},         // Through Ball
    {50, SOUND_GROW, 0, 2000, 0},              // Quick Paddle
    {-1000, SOUND_NEGATIVE_JINGLE, 1, 0, 0},   // Ball Killer
    {100, SOUND_POSITIVE_JINGLE, 0, 0, 0},     // Extra Life
    {-200, SOUND_NEGATIVE_JINGLE, 1, 300, 0},  // Frozen Paddle
    {100, SOUND_GROW, 0, 2000, 0},             // Zone Up
    {-200, SOUND_SHRINK, 0, 2000, 1},          // Zone Down
    {100, SOUND_POWER_UP, 0, 3000, 0},         // Reveal
    {100, SOUND_POWER_UP, 0, 0, 0},            // Drain
    {100, SOUND_POWER_UP, 0, 0, 0},            // Lower Pile
};

PowerUpState powerUps;

void clearPowerUps(void) {
    powerUps.capsuleCount = 0;
    powerUps.activeCount = 0;
    for (int k = 0; k < POWERUP_KINDS; k++) {
        powerUps.counts[k] = 0;
    }
}

int32_t powerUpDuration(int kind) {
    const PowerUpRule* rule = &powerUpRules[kind];
    return rule->fixed ? rule->duration : rule->duration * (1 + game.cheats.maxPowerUp);
}

void spawnFallingPowerUp(int x, int y, int kind) {
    if (powerUps.capsuleCount >= MAX_CAPSULES || kind < 0 || kind >= POWERUP_KINDS) {
        return;
    }
    FallingPowerUp* c = &powerUps.capsules[powerUps.capsuleCount++];
    c->x = intToFixed(x);
    c->y = intToFixed(y);
    c->prevX = c->x;
    c->prevY = c->y;
    c->vx = 0;
    c->vy = 500;
    c->kind = kind;
    c->age = 0;
}

void collectPowerUp(int kind) {
    if (kind < 0 || kind >= POWERUP_KINDS) {
        return;
    }
    const PowerUpRule* rule = &powerUpRules[kind];
    game.score += rule->score;
    if (rule->sound != SOUND_NONE) {
        if (rule->fieldVoice) {
            startFieldVoice(rule->sound, 0);
        } else {
            playSound(rule->sound);
        }
    }
    if (kind == POWERUP_BALL_SHOWER) {
        game.shake = 16;
    }
    if (powerUps.activeCount < MAX_ACTIVE_POWERUPS) {
        powerUps.active[powerUps.activeCount].kind = kind;
        powerUps.active[powerUps.activeCount].counter = 0;
        powerUps.activeCount++;
        powerUps.counts[kind]++;
        if (kind == POWERUP_REVEAL && powerUps.counts[kind] == 1) {
            redrawField();
        }
    }
}

void expirePowerUp(int index) {
    if (index < 0 || index >= powerUps.activeCount) {
        return;
    }
    int kind = powerUps.active[index].kind;
    powerUps.counts[kind]--;
    if (kind == POWERUP_REVEAL && powerUps.counts[kind] == 0) {
        redrawField();
    }
    powerUps.active[index] = powerUps.active[powerUps.activeCount - 1];
    powerUps.activeCount--;
}

int findPowerUp(int kind) {
    for (int i = 0; i < powerUps.activeCount; i++) {
        if (powerUps.active[i].kind == kind) {
            return i;
        }
    }
    return -1;
}

void shedBadPowerUps(void) {
    static const int harmful[5] = {POWERUP_NARROW_PADDLE, POWERUP_SLUGGISH_PADDLE, POWERUP_ZONE_DOWN,
                                   POWERUP_FROZEN_PADDLE, POWERUP_FAST_BALLS};
    for (int n = 0; n < 2 - game.difficulty; n++) {
        for (int k = 0; k < 5; k++) {
            if (powerUps.counts[harmful[k]] > 0) {
                int index = findPowerUp(harmful[k]);
                if (index >= 0) {
                    expirePowerUp(index);
                }
            }
        }
    }
}

// A ball launched upwards from a random point along the paddle (Ball Shower and Fountain).
static void ballFromPaddle(int shower) {
    int32_t vx = (gameRand() & 0x1FF) - 255;
    int span = 2 * paddle.halfWidth > 0 ? 2 * paddle.halfWidth : 1;
    int x = paddle.x + gameRand() % span - paddle.halfWidth;
    int index = spawnBall(x, paddle.y - 5, vx, -2048);
    if (shower && index >= 0) {
        ballList.balls[index].vx += paddle.vx;
        ballList.balls[index].vy += paddle.vy;
        setBallSpeedWrapped(index);
    }
}

static void fountainSparks(void) {
    int span = 2 * paddle.halfWidth > 0 ? 2 * paddle.halfWidth : 1;
    for (int n = 0; n < 10; n++) {
        int32_t vy = -((gameRand() & 0x7FF) + 2048);
        int32_t vx = (gameRand() & 0x1FF) - 255;
        int x = paddle.x + gameRand() % span - paddle.halfWidth;
        spawnDebris(x, paddle.y - 2, vx, vy, DEBRIS_SPARK, 0xFFFF);
    }
}

static void splitBall(void) {
    if (currentLevel.blockCount <= currentLevel.indestructibleCount || (game.updateCounter & 15) != 0 ||
        ballList.count < 1 ||
        ballList.count >= 4 * powerUps.counts[POWERUP_BALL_SPLIT]) {
        return;
    }
    int j = gameRand() % ballList.count;
    playSound(SOUND_POSITIVE_JINGLE);
    int32_t vx = (gameRand() & 0x3FF) - 512;
    int32_t vy = (gameRand() & 0x3FF) - 512;
    int bx = fixedToInt(ballList.balls[j].x), by = fixedToInt(ballList.balls[j].y);
    int index = spawnBall(bx, by, vx, vy);
    if (index >= 0) {
        ballList.balls[index].speed = ballList.balls[j].speed;
        setBallSpeed(index);
    }
    for (int n = 0; n < 20; n++) {
        int32_t svy = (gameRand() & 0x3FF) - 512;
        int32_t svx = (gameRand() & 0x3FF) - 512;
        spawnDebris(bx, by, svx, svy, DEBRIS_SPARK, 0xFFFF);
    }
}

// A random block of any type, indestructible ones included, blows up.
static void blowUpRandomBlock(int kind, int sound) {
    int index = gameRand() % currentLevel.blockCount;
    const LevelBlock* r = &currentLevel.blocks[index];
    spawnExplosion(r->x + (r->width >> 1), r->y + (r->height >> 1), kind);
    breakBlock(index);
    playSound(sound);
}

// Column of the beam of laser pair j on side 0 (left) or 1 (right) of the paddle.
static int laserBeamX(int j, int side) {
    return side == 0 ? paddle.x - paddle.halfWidth + 2 + j : paddle.x + paddle.halfWidth - 3 - j;
}

static void fireLasers(void) {
    if (currentLevel.collisionMap == nullptr) {
        return;
    }
    for (int j = 0; j < powerUps.counts[POWERUP_LASER]; j++) {
        int beams[2] = {laserBeamX(j, 0), laserBeamX(j, 1)};
        for (int n = 0; n < 2; n++) {
            if ((gameRand() & 15) != 0) {
                continue;
            }
            int x = beams[n];
            for (int y = paddle.y - 2; y > 0; y--) {
                if (getPixel(currentLevel.collisionMap, x, y) != 0) {
                    int hit = findBlockAt(x, y);
                    if (hit >= 0 && currentLevel.blocks[hit].type != 0) {
                        breakBlock(hit);
                        playSound(SOUND_POSITIVE_JINGLE);
                    }
                    break;
                }
                brightenPixel(backSurface, x + (gameRand() & 15) - 7, y, 20);
            }
        }
    }
}

// Applies entry i's rule for this tick; returns 1 when the entry ends.
static int applyPowerUp(ActivePowerUp* entry) {
    int kind = entry->kind;
    int32_t counter = entry->counter;
    int mapHeight = currentLevel.collisionMap != nullptr ? currentLevel.collisionMap->height : screenHeight();
    switch (kind) {
    case POWERUP_BALL_SHOWER:
        if (counter < 64 && (game.updateCounter & 1) == 0) {
            ballFromPaddle(1);
        }
        break;
    case POWERUP_FOUNTAIN:
        fountainSparks();
        if ((counter & 7) == 0) {
            ballFromPaddle(0);
        }
        break;
    case POWERUP_BALL_SPLIT:
        splitBall();
        break;
    case POWERUP_WIDE_PADDLE:
        paddle.targetHalfWidth += 6;
        break;
    case POWERUP_NARROW_PADDLE:
        paddle.targetHalfWidth -= 6;
        if (paddle.targetHalfWidth < 4) {
            paddle.targetHalfWidth = 4;
        }
        break;
    case POWERUP_FAST_BALLS:
        for (int n = 0; n < powerUps.counts[POWERUP_FAST_BALLS]; n++) {
            stepBalls();
        }
        break;
    case POWERUP_DEMOLITION:
        if ((counter & 7) == 0 && currentLevel.blockCount > 0) {
            blowUpRandomBlock(EXPLOSION_SMALL, SOUND_DESTROY);
        }
        break;
    case POWERUP_BOMB:
        if (counter > 4) {
            int bombs = game.cheats.maxPowerUp != 0 ? 3 : 1;
            for (int n = 0; n < bombs; n++) {
                if (currentLevel.blockCount > 0) {
                    blowUpRandomBlock(EXPLOSION_BIG, SOUND_CHOMP);
                }
            }
            return 1;
        }
        return 0;
    case POWERUP_SLUGGISH_PADDLE:
        if (paddle.stepLimit > 2) {
            paddle.stepLimit -= 2;
        }
        break;
    case POWERUP_QUICK_PADDLE:
        if (paddle.stepLimit < 10) {
            paddle.stepLimit += 4;
        }
        break;
    case POWERUP_BALL_KILLER:
        burstAllBalls(20, ballColour());
        return 1;
    case POWERUP_EXTRA_LIFE:
        game.lives++;
        redrawField();
        return 1;
    case POWERUP_ZONE_UP:
        paddle.targetZoneHeight += 20;
        if (paddle.targetZoneHeight > mapHeight - 5) {
            paddle.targetZoneHeight = mapHeight - 5;
        }
        break;
    case POWERUP_ZONE_DOWN:
        paddle.targetZoneHeight -= 20;
        if (paddle.targetZoneHeight < 5) {
            paddle.targetZoneHeight = 5;
        }
        break;
    case POWERUP_DRAIN:
        playSound(SOUND_DESTROY);
        drainPile();
        return 1;
    case POWERUP_LOWER_PILE:
        playSound(SOUND_DESTROY);
        lowerPile();
        return 1;
    default:
        // Homing, Slow Motion, Laser, Through Ball, Frozen Paddle and Reveal act where they are read.
        break;
    }
    return counter >= powerUpDuration(kind);
}

void updatePowerUps(void) {
    paddle.targetHalfWidth = 20 - 2 * game.difficulty + game.cheats.fatPaddle;
    paddle.targetZoneHeight = 85 - 7 * game.difficulty;
    paddle.stepLimit = 3;
    fireLasers();
    for (int i = 0; i < powerUps.activeCount; i++) {
        powerUps.active[i].counter++;
        if (applyPowerUp(&powerUps.active[i])) {
            expirePowerUp(i);
            i--;
        }
    }
}

void updateFallingPowerUps(void) {
    int mapHeight = currentLevel.collisionMap != nullptr ? currentLevel.collisionMap->height : screenHeight();
    for (int i = 0; i < powerUps.capsuleCount; i++) {
        FallingPowerUp* c = &powerUps.capsules[i];
        c->prevX = c->x;
        c->prevY = c->y;
        c->x += c->vx;
        c->y += c->vy;
        c->age++;
        c->vy += 30;
        int caught = 0;
        if (fixedToInt(c->y) <= mapHeight) {
            int cy = fixedToInt(c->y), off = fixedToInt(c->x) - paddle.x;
            if (off < 0) {
                off = -off;
            }
            if (paddle.y - 16 < cy && cy < paddle.y + 16 && off < paddle.halfWidth + 8) {
                int kind = c->kind;
                collectPowerUp(kind);
                if (kind == POWERUP_BALL_SHOWER) {
                    startFieldVoice(SOUND_SCREAM, 0);
                }
                caught = 1;
            }
        } else {
            caught = 1;  // lost below the field
        }
        if (caught) {
            powerUps.capsules[i] = powerUps.capsules[powerUps.capsuleCount - 1];
            powerUps.capsuleCount--;
            i--;
        }
    }
}

// The running red of the embers follows the picture's red; the pixel flickers between red and orange.
static void glowPixel(int x, int y, int* ember) {
    int red = getPixel(currentLevel.fieldPicture, x, y) >> 11;
    if (*ember < 0) {
        *ember = red;
    }
    *ember = (3 * red + *ember) >> 2;
    uint16_t colour = packColour(*ember, gameRand() & *ember, 0);
    putPixel(currentLevel.fieldPicture, x, y, colour);
    putPixel(currentLevel.backgroundPicture, x, y, colour);
}

// A fleck of the cleared pile flies off as a spark.
static void pileSpark(int x, int y) {
    int c = (gameRand() & 15) + 16;
    uint16_t colour = packColour(c, gameRand() & c, 0);
    int32_t vy = (gameRand() & 0x3FF) - 1500;
    spawnDebris(x, y, 0, vy, DEBRIS_SPARK, colour);
}

static void clearPilePixel(int x, int y) {
    putPixel(currentLevel.collisionMap, x, y, 0);
    uint16_t p = getPixel(currentLevel.pristineBackground, x, y);
    putPixel(currentLevel.backgroundPicture, x, y, p);
    putPixel(currentLevel.fieldPicture, x, y, p);
}

static int discHalfWidth(int r, int y, int y0) {
    if (y < y0) {
        return r + 1;
    }
    return (int)std::trunc(std::sqrt((double)((r + 1) * (r + 1) - (y - y0) * (y - y0))));
}

void drainPile(void) {
    if (currentLevel.collisionMap == nullptr || currentLevel.fieldPicture == nullptr ||
        currentLevel.backgroundPicture == nullptr ||
        currentLevel.pristineBackground == nullptr) {
        return;
    }
    int px = paddle.x, mapHeight = currentLevel.collisionMap->height;
    int bottom = currentLevel.backgroundPicture != nullptr ? currentLevel.backgroundPicture->height : mapHeight;
    int y0 = -1;
    for (int y = paddle.y; y < bottom; y++) {
        if (getPixel(currentLevel.collisionMap, px, y) == CYAN) {
            y0 = y;
            break;
        }
    }
    if (y0 < 0) {
        return;
    }
    int r = paddle.halfWidth + 28 > 28 ? paddle.halfWidth + 28 : 28;
    int ember = -1;
    for (int y = y0 - r - 50; y <= y0 + r - 1 && y <= mapHeight; y++) {
        int w = discHalfWidth(r, y, y0);
        for (int x = px - w; x <= px + w - 1; x++) {
            if (getPixel(currentLevel.collisionMap, x, y) == CYAN) {
                glowPixel(x, y, &ember);
            }
        }
    }
    r = paddle.halfWidth + 20 > 20 ? paddle.halfWidth + 20 : 20;
    for (int y = y0 - r - 50; y <= y0 + r - 1 && y <= mapHeight - 3; y++) {
        int w = discHalfWidth(r, y, y0);
        for (int x = px - w; x <= px + w - 1; x++) {
            if (getPixel(currentLevel.collisionMap, x, y) == CYAN) {
                clearPilePixel(x, y);
                pileSpark(x, y);
            }
        }
    }
}

void lowerPile(void) {
    if (currentLevel.collisionMap == nullptr || currentLevel.fieldPicture == nullptr ||
        currentLevel.backgroundPicture == nullptr ||
        currentLevel.pristineBackground == nullptr) {
        return;
    }
    int mapHeight = currentLevel.collisionMap->height;
    for (int x = 0; x < currentLevel.backgroundPicture->width; x++) {
        if (getPixel(currentLevel.collisionMap, x, mapHeight - 1) != CYAN) {
            continue;
        }
        int y = mapHeight - 2;
        while (y >= 0 && getPixel(currentLevel.collisionMap, x, y) == CYAN) {
            y--;
        }
        if (y < 0) {
            y = 0;
        }
        for (int n = 0; n < 3; n++) {
            pileSpark(x, y);
        }
        int row = y + 1;
        while (row <= y + 6 && row < mapHeight - 3) {
            clearPilePixel(x, row);
            row++;
        }
        int ember = -1;
        for (; row < mapHeight; row++) {
            glowPixel(x, row, &ember);
        }
    }
}

void drawPowerUps(void) {
    for (int i = 0; i < powerUps.capsuleCount; i++) {
        const FallingPowerUp* c = &powerUps.capsules[i];
        drawPowerUpMark(backSurface, fixedToInt(c->x), fixedToInt(c->y), c->age & 31, c->kind);
    }
    for (int i = 0; i < powerUps.activeCount; i++) {
        drawPowerUpMark(backSurface, 12, 12 + 16 * i, powerUps.active[i].counter & 31, powerUps.active[i].kind);
    }
    int phase = (int)(game.updateCounter & 31);
    if (powerUps.counts[POWERUP_FROZEN_PADDLE] > 0) {
        drawPowerUpMark(backSurface, paddle.x, paddle.y, phase, POWERUP_FROZEN_PADDLE);
    }
    if (powerUps.counts[POWERUP_SLUGGISH_PADDLE] > 0) {
        drawPowerUpMark(backSurface, paddle.x, paddle.y + 12, phase, POWERUP_SLUGGISH_PADDLE);
    }
    if (powerUps.counts[POWERUP_QUICK_PADDLE] > 0) {
        drawPowerUpMark(backSurface, paddle.x, paddle.y + 24, phase, POWERUP_QUICK_PADDLE);
    }
}

void drawLaserBeams(void) {
    if (backSurface == nullptr || currentLevel.collisionMap == nullptr) {
        return;
    }
    for (int j = 0; j < powerUps.counts[POWERUP_LASER]; j++) {
        int beams[2] = {laserBeamX(j, 0), laserBeamX(j, 1)};
        for (int n = 0; n < 2; n++) {
            int x = beams[n];
            for (int y = paddle.y - 2; y > 0; y--) {
                if (getPixel(currentLevel.collisionMap, x, y) != 0) {
                    uint16_t colour = getPixel(currentLevel.fieldPicture, x, y - 3);
                    int32_t vy = gameRand() & 0x1FF;
                    int32_t vx = (gameRand() & 0x3FF) - 511;
                    spawnDebris(x, y + 1, vx, vy, DEBRIS_SPARK, colour);
                    break;
                }
                brightenPixel(backSurface, x, y, (gameRand() & 7) + 7);
            }
        }
    }
}
