// Play: level set-up, the serve, the play update in its fixed order, and the play field's drawing.
#include "game/play.h"

#include "field/ball.h"
#include "field/blocks.h"
#include "field/debris.h"
#include "field/effects.h"
#include "field/gamevalues.h"
#include "field/level.h"
#include "field/paddle.h"
#include "field/powerup.h"
#include "game/hints.h"
#include "gfx/blit.h"
#include "gfx/draw.h"
#include "shell/display.h"
#include "shell/fixed.h"
#include "shell/mainloop.h"
#include "shell/overlay.h"
#include "shell/random.h"
#include "sound/mixer.h"
#include "sound/sample.h"

enum {
    DOH_BELOW = -200,  // the lost-ball caption shows once the countdown has fallen below this
};

HintPanel hintPanel = {0, 0, 120, 100, 0};

int levelCleared(void) {
    return currentLevel.blockCount <= currentLevel.indestructibleCount;
}

int32_t zoneHeightForCounts(void) {
    return 85 - 7 * game.difficulty + 20 * powerUps.counts[POWERUP_ZONE_UP] - 20 * powerUps.counts[POWERUP_ZONE_DOWN];
}

void serveBall(void) {
    int mapWidth = currentLevel.collisionMap != nullptr ? currentLevel.collisionMap->width : screenWidth();
    int mapHeight = currentLevel.collisionMap != nullptr ? currentLevel.collisionMap->height : screenHeight();
    int32_t vx = (gameRand() & 1023) - 512;
    int x = (mapWidth >> 1) - 64 + (gameRand() & 127);
    int lift = powerUps.counts[POWERUP_ZONE_UP] - powerUps.counts[POWERUP_ZONE_DOWN];
    int y = mapHeight - 85 - 7 * game.difficulty - 20 * (lift > 0 ? lift : 0);
    if (y < 20) {
        y = 20;
    }
    int index = spawnBall(x, y, vx, 512);
    if (index >= 0) {
        setBallSpeed(index);
    }
}

static int difficultyRow(void) {
    return game.difficulty >= 1 && game.difficulty <= DIFFICULTY_COUNT ? game.difficulty - 1 : 0;
}

void setUpLevel(void) {
    hintPanel.leaving = 0;
    hintPanel.y = -(hintPanel.height + 50);
    hintPanel.width = 200;
    hintPanel.x = screenWidth() / 2 - 100;
    setUpHint(game.levelIndex);

    clearPowerUps();
    paddle.swallow = 0;

    if (game.cheats.unlockAllLevels == 0 && game.levelIndex >= 0 && game.levelIndex < LEVEL_COUNT) {
        game.unlocked[difficultyRow()][game.levelIndex] = 1;
    }

    // A level still loaded is let go first, so that nothing leaks and the loader starts from empty handles.
    if (currentLevel.collisionMap != nullptr) {
        unloadLevel();
    }
    if (currentLevel.fieldPicture != nullptr) {
        removeSurface(&currentLevel.fieldPicture);
    }
    if (currentLevel.pristineBackground != nullptr) {
        removeSurface(&currentLevel.pristineBackground);
    }
    loadLevel(game.levelIndex);
    currentLevel.pristineBackground = createSurface(currentLevel.backgroundPicture->width,
                                                    currentLevel.backgroundPicture->height);
    blit(currentLevel.pristineBackground, 0, 0, currentLevel.backgroundPicture->width,
         currentLevel.backgroundPicture->height, currentLevel.backgroundPicture, 0, 0,
         BLIT_COPY);
    currentLevel.fieldPicture = createSurface(currentLevel.backgroundPicture->width,
                                              currentLevel.backgroundPicture->height);
    game.gameInProgress = 1;
    game.shake = 0;
    game.shakeX = 0;
    game.shakeY = 0;
    showStylusCursor = 0;

    placePaddleForServe();
    serveBall();

    // The paddle is pushed up out of anything left in its row (the zone as it was before this level).
    int top = currentLevel.collisionMap->height - paddle.zoneHeight;
    int clear = 0;
    while (paddle.y > top && !clear) {
        clear = paddleRowClear();
        raisePaddle();
    }

    paddle.zoneHeight = zoneHeightForCounts();
    paddle.targetZoneHeight = paddle.zoneHeight;
    game.readyCountdown = game.helpfulHints ? 1000 : 200;
    redrawField();
    for (int x = 0; x < DEFAULT_WIDTH; x++) {
        putPixel(currentLevel.collisionMap, x, currentLevel.collisionMap->height - 1, CYAN);
    }
}

void tearDownLevel(void) {
    if (currentLevel.collisionMap != nullptr) {
        unloadLevel();
    }
    if (currentLevel.fieldPicture != nullptr) {
        removeSurface(&currentLevel.fieldPicture);
    }
}

// The ball is lost for good: a new serve, the paddle pushed clear of the pile, a life taken.
static void serveAfterLostBall(void) {
    placePaddleForServe();
    serveBall();
    int mapHeight = currentLevel.collisionMap->height;
    int clear = 0;
    while (!clear && paddle.y > 50) {
        clear = paddleRowClear();
        raisePaddle();
        // Each time the pile pushes the paddle to the zone top the zone grows, 100 points a time.
        if (paddle.y <= mapHeight - paddle.zoneHeight) {
            collectPowerUp(POWERUP_ZONE_UP);
            int zone = zoneHeightForCounts();
            if (zone > screenHeight() - 5) {
                zone = screenHeight() - 5;
            }
            paddle.zoneHeight = zone;
            paddle.targetZoneHeight = zone;
        }
    }
    shedBadPowerUps();
    if (game.cheats.unlimitedLives == 0) {
        game.lives--;
    }
    redrawField();
}

// Level cleared: the balls are cashed in one by one in a burst of coloured pieces.
static void cashInBall(void) {
    uint16_t colour = ballColour();
    int bx = fixedToInt(ballList.balls[0].x), by = fixedToInt(ballList.balls[0].y);
    for (int n = 0; n < 20; n++) {
        int32_t vy = (gameRand() & 1023) * 8 - 4096;
        int32_t vx = (gameRand() & 1023) * 8 - 4096;
        spawnDebris(bx, by, vx, vy, DEBRIS_PIECE, colour);
    }
    game.score += 100 / ballList.count;
    removeBall(0);
    playSound(SOUND_POSITIVE_JINGLE);
}

static void shakeField(void) {
    if (game.shake <= 0) {
        return;
    }
    game.shakeX = gameRand() % game.shake;
    if (gameRand() & 1) {
        game.shakeX = -game.shakeX;
    }
    game.shakeY = gameRand() % game.shake;
    if (gameRand() & 1) {
        game.shakeY = -game.shakeY;
    }
    if ((game.updateCounter & 7) == 0) {
        game.shake--;
    }
    if (game.shake < 1) {
        game.shake = 0;
        game.shakeX = 0;
        game.shakeY = 0;
    }
}

int lostBallCaptionShowing(void) {
    return game.readyCountdown < DOH_BELOW && ballList.count == 0 && !levelCleared();
}

int32_t updatePlay(void) {
    int32_t result = MODE_PLAY;
    if (currentLevel.collisionMap == nullptr || currentLevel.fieldPicture == nullptr ||
        currentLevel.backgroundPicture == nullptr) {
        return result;  // no level set up: nothing to play
    }
    int32_t oldX = paddle.x, oldY = paddle.y;
    halvePaddleVelocity();

    if (game.readyCountdown > 0) {
        int32_t targetX = screenWidth() / 2 - hintPanel.width / 2;
        int32_t targetY = hintPanel.leaving ? -(hintPanel.height + 50) : 100;
        hintPanel.x += (targetX - hintPanel.x) >> 2;
        hintPanel.y += (targetY - hintPanel.y) >> 2;
        if (game.readyCountdown < 300) {
            hintPanel.leaving = 1;
        }
    }

    shakeField();

    if (!levelCleared()) {
        if (ballList.count == 0 && game.readyCountdown <= -250 && debrisList.count == 0) {
            game.readyCountdown = 200;
            if (game.lives <= 0) {
                result = MODE_GAME_OVER;
            } else {
                serveAfterLostBall();
            }
        }
    } else {
        if ((game.updateCounter & 3) == 0) {
            if (powerUps.activeCount > 0) {
                expirePowerUp(0);
            }
            if (ballList.count > 0) {
                cashInBall();
            }
        }
        if (game.readyCountdown > -200) {
            game.readyCountdown -= 2;
        }
        if (debrisList.count == 0) {
            result = MODE_LEVEL_DONE;
        }
    }

    int dohShown = lostBallCaptionShowing();
    if (game.readyCountdown > -200 || (ballList.count == 0 && game.readyCountdown > -400)) {
        game.readyCountdown -= 2;
    }
    // The caption comes with its sound, once, on the update it appears.
    if (!dohShown && lostBallCaptionShowing()) {
        playSound(SOUND_DOH);
    }

    movePaddle();

    int slow = powerUps.counts[POWERUP_SLOW_MOTION];
    if (slow <= 0 || ((game.updateCounter >> (slow - 1)) & 1) == 0) {
        updateDebris();
        updateExplosions();
        if (game.readyCountdown <= 0) {
            stepBalls();
            updatePowerUps();
            updateFallingPowerUps();
        }
    }

    stopIdlePaddle(oldX, oldY);
    return result;
}

void drawPlayField(void) {
    if (backSurface == nullptr || currentLevel.fieldPicture == nullptr || currentLevel.collisionMap == nullptr) {
        return;
    }
    blit(backSurface, backSurface->centreX - currentLevel.fieldPicture->centreX + game.shakeX,
         backSurface->centreY - currentLevel.fieldPicture->centreY + game.shakeY, currentLevel.fieldPicture->width, currentLevel.fieldPicture->height,
         currentLevel.fieldPicture, 0, 0, BLIT_COPY);
    // The zone line glimmers; with the paddle at the top of its zone it sparks.
    int y0 = currentLevel.fieldPicture->height - paddle.zoneHeight;
    for (int x = 0; x < backSurface->width; x++) {
        if (getPixel(currentLevel.collisionMap, x, y0) != 0) {
            continue;
        }
        brightenPixel(backSurface, x, y0, 5);
        if (paddle.y < y0 + 2) {
            int y = y0 - 2 + gameRand() % 5;
            brightenPixel(backSurface, x, y, gameRand() & 31);
        }
    }
    drawDebris();
    drawBalls();
    drawPaddle();
}

void drawPlayMarks(void) {
    drawPowerUps();
    drawLaserBeams();
    drawExplosions();
}
