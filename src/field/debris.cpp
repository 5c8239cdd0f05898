// Debris: block breaking and scoring, the debris list, falling, bouncing, sliding and settling pieces.
#include "field/debris.h"

#include "field/blocks.h"
#include "field/gamevalues.h"
#include "field/level.h"
#include "field/powerup.h"
#include "gfx/blit.h"
#include "shell/fixed.h"
#include "shell/random.h"

DebrisList debrisList;

int blockScore(int width) {
    int score = 2;
    if (width <= 20) {
        score += 3;
    }
    if (width <= 10) {
        score += 15;
    }
    if (width <= 5) {
        score += 30;
    }
    return score;
}

// One piece for every visible pixel of the block's cell, flying off at random.
static void shatter(const LevelBlock* b, const BlockType* t, int restoreField) {
    if (currentLevel.blocksPicture == nullptr || currentLevel.fieldPicture == nullptr ||
        currentLevel.backgroundPicture == nullptr) {
        return;
    }
    for (int dx = 0; dx < b->width; dx++) {
        for (int dy = 0; dy < b->height; dy++) {
            uint16_t p = getPixel(currentLevel.blocksPicture, t->cellX + dx, t->cellY + dy);
            if (p == 0) {
                continue;
            }
            int32_t vy = (gameRand() & 0x3FF) * 4 - 2048;
            int32_t vx = (gameRand() & 0x3FF) * 4 - 2048;
            spawnDebris(b->x + dx, b->y + dy, vx, vy, DEBRIS_PIECE, p);
            if (restoreField) {
                putPixel(currentLevel.fieldPicture, b->x + dx, b->y + dy,
                         getPixel(currentLevel.backgroundPicture, b->x + dx, b->y + dy));
            }
        }
    }
}

void breakBlock(int index) {
    if (index < 0 || index >= currentLevel.blockCount) {
        return;
    }
    LevelBlock b = currentLevel.blocks[index];
    const BlockType* t = blockTypeOf(b.type);
    shatter(&b, t, 0);
    game.score += blockScore(b.width);
    if (b.powerUp != 0) {
        spawnFallingPowerUp(b.x + (b.width >> 1), b.y + (b.height >> 1), b.powerUp - 1);
    }
    if (currentLevel.collisionMap != nullptr && currentLevel.blocksPicture != nullptr) {
        blit(currentLevel.collisionMap, b.x, b.y, b.width, b.height, currentLevel.blocksPicture, t->cellX, t->cellY,
             BLIT_SILHOUETTE, 0);
    }
    shatter(&b, t, 1);
    if (b.type == 0) {
        currentLevel.indestructibleCount--;
    }
    removeLevelBlock(index);
    if (game.cheats.seePowerUps != 0 || powerUps.counts[POWERUP_REVEAL] > 0) {
        redrawField();
    }
}

void removeDebris(int index) {
    if (index < 0 || index >= debrisList.count) {
        return;
    }
    debrisList.pieces[index] = debrisList.pieces[debrisList.count - 1];
    debrisList.count--;
}

void spawnDebris(int x, int y, int32_t vx, int32_t vy, int type, uint16_t colour) {
    if (debrisList.count >= MAX_DEBRIS) {
        removeDebris(gameRand() % MAX_DEBRIS);
    }
    if (debrisList.count >= MAX_DEBRIS) {
        return;
    }
    Debris* d = &debrisList.pieces[debrisList.count++];
    d->x = intToFixed(x);
    d->y = intToFixed(y);
    d->vx = vx;
    d->vy = vy;
    d->prevX = d->x;
    d->prevY = d->y;
    d->age = 0;
    d->colour = colour;
    d->type = (uint8_t)type;
}

void settleDebris(int index) {
    if (game.cheats.disableDebris == 0) {
        const Debris* d = &debrisList.pieces[index];
        int px = fixedToInt(d->x), py = fixedToInt(d->y);
        putPixel(currentLevel.fieldPicture, px, py, d->colour);
        putPixel(currentLevel.backgroundPicture, px, py, d->colour);
        putPixel(currentLevel.collisionMap, px, py, CYAN);
    }
    removeDebris(index);
}

// Walls and pile stop debris; red block pixels do not.
static int solidForDebris(int x, int y) {
    return (getPixel(currentLevel.collisionMap, x, y) & 31) != 0;
}

// Moves one debris piece; returns 1 when it left the list.
static int movePiece(int index, int mapWidth, int mapHeight) {
    Debris* d = &debrisList.pieces[index];
    d->x += d->vx;
    d->y += d->vy;
    d->vy += 100;
    d->age++;
    int px = fixedToInt(d->x), py = fixedToInt(d->y);
    if (px < 0 || px > mapWidth) {
        removeDebris(index);
        return 1;
    }
    if (solidForDebris(px, py) && solidForDebris(fixedToInt(d->prevX), fixedToInt(d->prevY))) {
        settleDebris(index);
        return 1;
    }
    if (py < 0) {
        removeDebris(index);
        return 1;
    }
    if (py >= mapHeight) {
        settleDebris(index);
        return 1;
    }
    if (!solidForDebris(px, py)) {
        return 0;
    }
    // It has just hit solid ground: back out, then bounce or come to rest.
    d->x = d->prevX;
    d->y = d->prevY;
    if (d->vy < 0) {
        d->vy = -d->vy;
        return 0;
    }
    d->vy = 512;
    d->vx = d->vx >= 0 ? d->vx >> 4 : -((-d->vx) >> 4);
    px = fixedToInt(d->x);
    py = fixedToInt(d->y);
    if (d->vx == 0 && solidForDebris(px, py + 1)) {
        // Sand: roll down to a free lower diagonal, either side at random, or rest here.
        int s = (gameRand() & 1) * 2 - 1;
        if (!solidForDebris(px + s, py + 1)) {
            d->x += intToFixed(s);
            d->y += FRACUNIT;
        } else if (!solidForDebris(px - s, py + 1)) {
            d->x -= intToFixed(s);
            d->y += FRACUNIT;
        } else {
            settleDebris(index);
            return 1;
        }
    }
    return 0;
}

void updateDebris(void) {
    if (currentLevel.collisionMap == nullptr || currentLevel.fieldPicture == nullptr ||
        currentLevel.backgroundPicture == nullptr) {
        return;
    }
    int mapWidth = currentLevel.collisionMap->width, mapHeight = currentLevel.collisionMap->height;
    for (int i = 0; i < debrisList.count; i++) {
        Debris* d = &debrisList.pieces[i];
        d->prevX = d->x;
        d->prevY = d->y;
        if (d->type == DEBRIS_SPARK) {
            d->x += d->vx;
            d->y += d->vy;
            d->vy += 100;
            d->age++;
            if (d->age > (gameRand() & 63) + 15) {
                removeDebris(i);
                i--;
            }
            continue;
        }
        if (movePiece(i, mapWidth, mapHeight)) {
            i--;
        }
    }
}

void drawDebris(void) {
    if (backSurface == nullptr) {
        return;
    }
    for (int i = 0; i < debrisList.count; i++) {
        putPixel(backSurface, fixedToInt(debrisList.pieces[i].x), fixedToInt(debrisList.pieces[i].y), debrisList.pieces[i].colour);
    }
}
