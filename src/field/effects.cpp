// Effects: the shared sprite sheets, the explosion list, its ageing and drawing.
#include "field/effects.h"

#include "field/level.h"
#include "gfx/blit.h"
#include "gfx/draw.h"
#include "shell/mainloop.h"

Surface* spritesPicture = nullptr;
Surface* iconsPicture = nullptr;
Surface* powerUpsPicture = nullptr;

Explosion explosions[MAX_EXPLOSIONS];
int32_t explosionCount = 0;
int32_t explosionSequence[EXPLOSION_FRAMES];

void buildExplosionSequence(void) {
    static const int32_t frames[EXPLOSION_FRAMES] = {0, 1, 2, 3, 2, 1, 2, 3, 4, 5, 6};
    for (int i = 0; i < EXPLOSION_FRAMES; i++) {
        explosionSequence[i] = frames[i];
    }
}

void spawnExplosion(int x, int y, int kind) {
    if (explosionCount >= MAX_EXPLOSIONS) {
        return;
    }
    Explosion* e = &explosions[explosionCount++];
    e->x = x;
    e->y = y;
    e->kind = kind;
    e->age = 0;
}

void removeExplosion(int index) {
    if (index < 0 || index >= explosionCount) {
        return;
    }
    explosions[index] = explosions[explosionCount - 1];
    explosionCount--;
}

void updateExplosions(void) {
    for (int i = 0; i < explosionCount; i++) {
        Explosion* e = &explosions[i];
        e->age++;
        int done = e->kind == EXPLOSION_BIG ? e->age > 70 : (e->age >> 1) > 10;
        if (done) {
            removeExplosion(i);
            i--;
        }
    }
}

// The big blast: the icon sheet's blast picture blended in by its mask, only over empty field.
static void drawBlast(const Explosion* e) {
    if (iconsPicture == nullptr || currentLevel.collisionMap == nullptr) {
        return;
    }
    for (int i = 0; i <= 50; i++) {
        for (int j = 0; j <= 46; j++) {
            int a = (getPixel(iconsPicture, 52 + i, 1 + j) & 31) * 8;
            int x = e->x - 30 + i, y = e->y - 37 + j;
            if (a != 0 && getPixel(currentLevel.collisionMap, x, y) == 0) {
                putPixel(backSurface, x, y, blendColour(getPixel(iconsPicture, 1 + i, j), getPixel(backSurface, x, y), a));
            }
        }
    }
}

void drawExplosions(void) {
    if (backSurface == nullptr) {
        return;
    }
    for (int n = 0; n < explosionCount; n++) {
        const Explosion* e = &explosions[n];
        if (e->kind == EXPLOSION_SMALL) {
            if (spritesPicture != nullptr) {
                int f = e->age >> 1 < 10 ? e->age >> 1 : 10;
                blit(backSurface, e->x - 16, e->y - 16, 32, 32, spritesPicture, explosionSequence[f] * 32, 0,
                     BLIT_ADDITIVE, -6);
            }
        } else {
            drawBlast(e);
        }
    }
}
