// Power-ups: catching, the paddle targets, blocks broken, drawing, Drain and Lower Pile;
// the sounds of the play field.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fieldkit.h"
#include "shell/runfolder.h"
#include "sound/mixer.h"
#include "sound/sample.h"

// Ticks the power-up pass until the only entry has ended, or the limit.
static void ticksUntilEnded(int limit) {
    for (int t = 1; t <= limit && powerUps.activeCount > 0; t++) {
        game.updateCounter++;
        updatePowerUps();
    }
}

TEST(PowerUpCatch, CaughtAtHalfWidthPlusSevenMissedAtPlusEightAndLostBelowTheField) {
    // Capsule x and y, paddle x (y 300, half width 18), then capsules and entries after one update.
    const int cases[][5] = {{145, 295, 120, 0, 1}, {146, 295, 120, 1, 0}, {94, 295, 120, 1, 0},
                            {120, 320, 20, 1, 0},  {120, 321, 20, 0, 0}};  // row 320 is still the field's
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0] * 1000 + c[1]);
        makeKitField();
        paddle.x = c[2];
        spawnFallingPowerUp(c[0], c[1], POWERUP_WIDE_PADDLE);
        updateFallingPowerUps();
        EXPECT_EQ((Ints{powerUps.capsuleCount, powerUps.activeCount, game.score}), (Ints{c[3], c[4], 50 * c[4]}));
    }
    // A missed capsule falls on, speeding up.
    spawnFallingPowerUp(120, 10, POWERUP_HOMING);
    updateFallingPowerUps();
    const FallingPowerUp& c = powerUps.capsules[0];
    EXPECT_EQ((Ints{c.y, c.vy, c.age}), (Ints{intToFixed(10) + 500, 530, 1}));
}

TEST(PowerUpEffects, PaddleTargetsAndStepLimit) {
    // Fat paddle cheat, kinds collected (and how often), then the target half width, step limit and
    // target zone height after one pass. Quick paddle adds 4 to the step limit while below 10.
    const int cases[][8] = {
        {0, POWERUP_WIDE_PADDLE, 2, -1, 0, 30, 3, 78},
        {0, POWERUP_NARROW_PADDLE, 3, -1, 0, 4, 3, 78},
        {6, POWERUP_SLUGGISH_PADDLE, 1, -1, 0, 24, 1, 78},
        {6, POWERUP_SLUGGISH_PADDLE, 1, POWERUP_QUICK_PADDLE, 3, 24, 13, 78},
        {0, POWERUP_ZONE_UP, 1, -1, 0, 18, 3, 98},
        {0, POWERUP_ZONE_UP, 16, -1, 0, 18, 3, 315},
        {0, POWERUP_ZONE_DOWN, 5, -1, 0, 18, 3, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c[1] * 100 + c[2]);
        makeKitField();
        game.cheats.fatPaddle = c[0];
        for (int i = 0; i < c[2] + c[4]; i++) {
            collectPowerUp(i < c[2] ? c[1] : c[3]);
        }
        updatePowerUps();
        EXPECT_EQ((Ints{paddle.targetHalfWidth, paddle.stepLimit, paddle.targetZoneHeight}), (Ints{c[5], c[6], c[7]}));
    }
}

TEST(PowerUpEffects, DemolitionBombsAndLasersBreakTheirShareOfBlocks) {
    // Kind, Max Power-Up, then blocks and steel blocks left of ten steel over ten bricks, and explosions.
    // Demolition breaks sixteen of any type, a bomb one (here steel), or three with Max Power-Up; the beams,
    // at 84 and 115 with the paddle at 100, the bricks above them but not the steel above those.
    const int cases[][5] = {{POWERUP_DEMOLITION, 0, 4, 1, 16}, {POWERUP_BOMB, 0, 19, 9, 1},
                            {POWERUP_BOMB, 1, 17, 9, 3},       {POWERUP_LASER, 0, 18, 10, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0] * 10 + c[1]);
        makeKitField();
        paddle.x = 100;
        game.cheats.maxPowerUp = c[1];
        for (int i = 0; i < 20; i++) {
            addLevelBlock(10 + 11 * (i % 10), 10 + 10 * (i / 10), i < 10 ? KIT_STEEL : KIT_BRICK);
        }
        currentLevel.indestructibleCount = 10;
        redrawField();
        collectPowerUp(c[0]);
        ticksUntilEnded(400);
        EXPECT_EQ((Ints{currentLevel.blockCount, currentLevel.indestructibleCount, effects.explosionCount}),
                  (Ints{c[2], c[3], c[4]}));
        int kind = c[0] == POWERUP_BOMB ? EXPLOSION_BIG : EXPLOSION_SMALL;
        EXPECT_TRUE(c[4] == 0 || effects.explosions[0].kind == kind);
    }
    makeKitField();  // a bomb without blocks does nothing
    collectPowerUp(POWERUP_BOMB);
    ticksUntilEnded(10);
    EXPECT_EQ((Ints{game.score, effects.explosionCount}), (Ints{100, 0}));
}

TEST(DrawPowerUps, CapsulesActiveListAndPaddleMarks) {
    makeKitField();
    clearSurface(effects.powerUpsPicture);
    for (int k = 0; k < POWERUP_KINDS; k++) {
        putPixel(effects.powerUpsPicture, k * 24, 48, packColour(k + 1, 0, 0));  // the cell's top-left pixel
    }
    spawnFallingPowerUp(50, 60, 4);
    powerUps.capsules[0].age = 3;
    collectPowerUp(POWERUP_FROZEN_PADDLE);
    collectPowerUp(POWERUP_QUICK_PADDLE);
    paddle.x = 120;
    paddle.y = 280;
    drawPowerUps();
    // The capsule of kind 4 (red 5) at phase 3; entries 0 and 1 at (12, 12) and (12, 28), phase 0; on the
    // paddle frozen, then quick 24 below, no sluggish 12 below.
    EXPECT_EQ(pixelsAt(backSurface, {{38, 48}, {0, 0}, {0, 16}, {108, 268}, {108, 292}, {108, 280}}),
              (Ints{packColour(2, 0, 0), packColour(17, 0, 0), packColour(14, 0, 0), packColour(17, 0, 0),
                    packColour(14, 0, 0), 0}));
}

// A pile of 40 rows (280..319) from x 60 to 179, red 20 in the field picture.
static void buildPile(void) {
    makeKitField();
    paintMap(60, 280, 120, 40, KIT_CYAN);
    paintRect(currentLevel.fieldPicture, 60, 280, 120, 40, packColour(20, 10, 5));
    paintRect(currentLevel.backgroundPicture, 60, 280, 120, 40, packColour(20, 10, 5));
    paddle.x = 120;
    paddle.y = 270;
}

// An ember: red 20, no blue, green no more than red's.
static void expectEmber(uint16_t c) {
    EXPECT_EQ((Ints{c >> 11, c & 31}), (Ints{20, 0}));
    EXPECT_LE((c >> 6) & 31, 20);
}

TEST(PowerUpPile, DrainClearsADiscAroundThePaddleAndLeavesTheBottomRows) {
    buildPile();
    paddle.x = 20;  // no pile under the paddle: nothing happens
    drainPile();
    EXPECT_EQ(debrisList.count, 0);

    paddle.x = 120;
    drainPile();
    // Clear radius 38: row 280 is cleared from 120 - 39 to 120 + 38. Row 317 (37 below): half width
    // trunc(sqrt(39^2 - 37^2)) = 12. The last two rows stay.
    const int c = KIT_CYAN;
    EXPECT_EQ(pixelsAt(currentLevel.collisionMap, {{81, 280}, {80, 280}, {158, 280}, {159, 280}, {108, 317},
                                                   {107, 317}, {131, 317}, {132, 317}, {120, 318}, {120, 319}}),
              (Ints{0, c, 0, c, 0, c, 0, c, c, c}));
    EXPECT_EQ(getPixel(currentLevel.fieldPicture, 120, 300), getPixel(currentLevel.pristineBackground, 120, 300));
    // One spark per cleared pixel, the list full.
    EXPECT_EQ((Ints{debrisList.count, debrisList.pieces[0].type}), (Ints{MAX_DEBRIS, DEBRIS_SPARK}));
    // The glow disc (radius 46) reaches pile the clear pass left and turns it to embers.
    expectEmber(getPixel(currentLevel.fieldPicture, 75, 280));
    EXPECT_EQ(getPixel(currentLevel.fieldPicture, 65, 280), packColour(20, 10, 5));  // outside the glow
}

TEST(PowerUpPile, LowerPileRemovesTheTopSixRowsOfEveryColumn) {
    buildPile();
    paintMap(100, 260, 1, 20, KIT_CYAN);  // one taller column, up to row 260
    paintMap(200, 318, 1, 2, KIT_CYAN);   // a two-row column: nothing above row 317 to clear
    lowerPile();
    EXPECT_EQ(pixelsAt(currentLevel.collisionMap,
                       {{60, 280}, {60, 285}, {60, 286}, {100, 265}, {100, 266}, {200, 318}}),
              (Ints{0, 0, KIT_CYAN, 0, KIT_CYAN, KIT_CYAN}));
    EXPECT_EQ(getPixel(currentLevel.fieldPicture, 60, 285), getPixel(currentLevel.pristineBackground, 60, 285));
    expectEmber(getPixel(currentLevel.fieldPicture, 60, 286));
    EXPECT_EQ(debrisList.count, 3 * 121);
}

// Slots 1..16 hold a short sound each; the mixer is never run, so voices stay until stopped.
class FieldSounds : public KitFiles {
protected:
    void SetUp() override {
        KitFiles::SetUp();
        makeKitField();
        strcpy(runPaths.soundPath, "./Sound/");
        std::vector<uint8_t> samples(200, 1);
        for (int id = 1; id <= 16; id++) {
            std::string name = "s" + std::to_string(id) + ".raw";
            writeFileBytes("Sound/" + name, samples);
            loadSound(name.c_str(), id, 0);
        }
    }
    void TearDown() override { voices(); }
    // The sounds of the live voices, which are then stopped.
    static Ints voices(void) {
        Ints ids;
        for (int i = 0; i < liveVoiceCount(); i++) {
            ids.push_back(voiceAt(i).soundId);
        }
        while (liveVoiceCount() > 0) {
            stopVoice(0);
        }
        return ids;
    }
};

TEST_F(FieldSounds, CaughtPowerUpsPlayTheirTableSoundAndTheShowerAlsoItsWhoosh) {
    for (int i = 0; i < 5; i++) {
        playSound(10);  // five plain voices: the plain limit is reached
    }
    collectPowerUp(POWERUP_HOMING);         // 5, plain: refused
    collectPowerUp(POWERUP_FROZEN_PADDLE);  // 2, field voice: still starts
    spawnFallingPowerUp(120, 295, POWERUP_BALL_SHOWER);
    updateFallingPowerUps();
    EXPECT_EQ(voices(), (Ints{10, 10, 10, 10, 10, 2, 2, 11}));
}

TEST_F(FieldSounds, ABallOnThePaddleTapsSoftlyAtMostOnceInFourUpdatesUnlessTurnedOff) {
    // Update counter, the tap turned on, then the taps (slot 16) after a bounce.
    const int rows[][3] = {{100, 1, 1}, {101, 1, 0}, {103, 1, 0}, {104, 1, 1}, {200, 0, 0}, {300, 1, 1}};
    for (const auto& r : rows) {
        game.updateCounter = (uint32_t)r[0];
        setPaddleSound(r[1] != 0);
        ballList.count = 0;
        placeBall(120, 296, 0, 3000, 3000);
        stepBalls();
        ASSERT_LT(ballList.balls[0].vy, 0) << r[0];  // bounced
        EXPECT_EQ(voices(), Ints(r[2], 16)) << r[0];
    }
}
