// Effects: the shared sprite sheets, the explosion list, its ageing and drawing.
#include "field/effects.h"

#include "field/level.h"
#include "gfx/blit.h"
#include "gfx/draw.h"

EffectsState effects;
int32_t explosionSequence[EXPLOSION_FRAMES];

void buildExplosionSequence(void) {
    static const int32_t frames[EXPLOSION_FRAMES] = {0, 1, 2, 3, 2, 1, 2, 3, 4, 5, 6};
    for (int i = 0; i < EXPLOSION_FRAMES; i++) {
        explosionSequence[i] = frames[i];
    }
}

void spawnExplosion(int x, int y, int kind) {
    if (effects.explosionCount >= MAX_EXPLOSIONS) {
        return;
    }
    Explosion* e = &effects.explosions[effects.explosionCount++];
    e->x = x;
    e->y = y;
    e->kind = kind;
    e->age = 0;
}

void removeExplosion(int index) {
    if (index < 0 || index >= effects.explosionCount) {
        return;
    }
    effects.explosions[index] = effects.explosions[effects.explosionCount - 1];
    effects.explosionCount--;
}

void updateExplosions(void) {
    for (int i = 0; i < effects.explosionCount; i++) {
        Explosion* e = &effects.explosions[i];
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
    if (effects.iconsPicture == nullptr || currentLevel.collisionMap == nullptr) {
        return;
    }
    for (int i = 0; i <= 50; i++) {
        for (int j = 0; j <= 46; j++) {
            int a = (getPixel(effects.iconsPicture, 52 + i, 1 + j) & 31) * 8;
            int x = e->x - 30 + i, y = e->y - 37 + j;
            if (a != 0 && getPixel(currentLevel.collisionMap, x, y) == 0) {
                putPixel(backSurface, x, y,
                         blendColour(getPixel(effects.iconsPicture, 1 + i, j), getPixel(backSurface, x, y), a));
            }
        }
    }
}

void drawExplosions(void) {
    if (backSurface == nullptr) {
        return;
    }
    for (int n = 0; n < effects.explosionCount; n++) {
        const Explosion* e = &effects.explosions[n];
        if (e->kind == EXPLOSION_SMALL) {
            if (effects.spritesPicture != nullptr) {
                int f = e->age >> 1 < 10 ? e->age >> 1 : 10;
                blit(backSurface, e->x - 16, e->y - 16, 32, 32, effects.spritesPicture, explosionSequence[f] * 32, 0,
                     BLIT_ADDITIVE, -6);
            }
        } else {
            drawBlast(e);
        }
    }
}
