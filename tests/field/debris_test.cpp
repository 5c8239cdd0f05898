// Debris: breaking blocks, scoring by width, the debris list and its bounce, slide and settle rules.
#include <gtest/gtest.h>

#include "field/blocks.h"
#include "field/debris.h"
#include "field/level.h"
#include "field/powerup.h"
#include "fieldkit.h"
#include "field/gamevalues.h"
#include "shell/random.h"
#include "support/testutil.h"

static int addPiece(int x, int y, int32_t vx, int32_t vy, uint16_t colour = 0x1234) {
    spawnDebris(x, y, vx, vy, DEBRIS_PIECE, colour);
    return debrisList.count - 1;
}

// The kit field with a floor of wall from row 200 to 204.
static void floorField(void) {
    makeKitField();
    paintMap(0, 200, 240, 5, KIT_WALL);
}

TEST(BreakBlock, HollowTenByFiveGivesEightyPiecesAndTwentyPoints) {
    makeKitField();
    addLevelBlock(50, 60, KIT_HOLLOW, 5);
    redrawField();
    paintMap(50, 60, 10, 5, 0xF800);  // as if a neighbour shared the empty columns
    uint32_t before = gameRandState();
    breakBlock(0);
    EXPECT_EQ((Ints{debrisList.count, drawsBetween(before, gameRandState()), game.score, currentLevel.blockCount}),
              (Ints{80, 160, 20, 0}));
    for (int i = 0; i < debrisList.count; i++) {
        int px = fixedToInt(debrisList.pieces[i].x), py = fixedToInt(debrisList.pieces[i].y);
        EXPECT_TRUE(px >= 51 && px <= 58 && py >= 60 && py <= 64) << px << "," << py;
        EXPECT_EQ(debrisList.pieces[i].colour, KIT_BRICK_COLOUR + KIT_HOLLOW);
        EXPECT_EQ(debrisList.pieces[i].vx % 4, 0);
    }
    // Erased from the map where the cell has pixels; the cell's empty columns keep what the map had.
    EXPECT_EQ(pixelsAt(currentLevel.collisionMap, {{51, 60}, {58, 64}, {50, 60}, {59, 62}}), (Ints{0, 0, 0xF800, 0xF800}));
    EXPECT_EQ(getPixel(currentLevel.fieldPicture, 55, 62), getPixel(currentLevel.backgroundPicture, 55, 62));
    // The hidden power-up (kind 4) falls from the block's centre.
    ASSERT_EQ(powerUps.capsuleCount, 1);
    EXPECT_EQ((Ints{powerUps.capsules[0].kind, powerUps.capsules[0].x, powerUps.capsules[0].y, powerUps.capsules[0].vy}),
              (Ints{4, intToFixed(55), intToFixed(62), 500}));
}

TEST(BreakBlock, PointsFollowTheWidthAndSteelCountsDown) {
    EXPECT_EQ((Ints{blockScore(21), blockScore(20), blockScore(11), blockScore(10), blockScore(6), blockScore(5),
                    blockScore(1)}),
              (Ints{2, 5, 5, 20, 20, 50, 50}));
    makeKitField();
    addLevelBlock(10, 10, KIT_WIDE);
    addLevelBlock(40, 10, KIT_LONG);
    addLevelBlock(70, 10, KIT_GEM);
    addLevelBlock(100, 10, KIT_STEEL);
    currentLevel.indestructibleCount = 1;
    Ints scores;
    for (int x : {10, 40, 70, 100}) {
        breakBlock(findBlockAt(x, 10));
        scores.push_back(game.score);
    }
    EXPECT_EQ(scores, (Ints{2, 7, 57, 77}));
    EXPECT_EQ((Ints{currentLevel.indestructibleCount, currentLevel.blockCount}), (Ints{0, 0}));
    breakBlock(5);  // outside the list: nothing
    EXPECT_EQ(game.score, 77);
}

TEST(DebrisList, TheFifteenHundredFirstPieceEvictsARandomOne) {
    makeKitField();
    for (int i = 0; i < MAX_DEBRIS; i++) {
        addPiece(i % 240, 10, 0, 0, (uint16_t)(i + 1));
    }
    seedGameRand(77);
    int evicted = RandModel{77}.next() % MAX_DEBRIS;
    addPiece(5, 6, 7, 8, 0xBEEF);
    EXPECT_EQ(drawsBetween(77, gameRandState()), 1);
    // The evicted slot now holds the piece that was last.
    EXPECT_EQ((Ints{debrisList.count, debrisList.pieces[MAX_DEBRIS - 1].colour, debrisList.pieces[MAX_DEBRIS - 1].vx, debrisList.pieces[evicted].colour}),
              (Ints{MAX_DEBRIS, 0xBEEF, 7, MAX_DEBRIS}));
}

TEST(DebrisPhysics, BouncesOffFloorsAndCeilingsCuttingTheSpeedTowardsZero) {
    floorField();
    int i = addPiece(50, 199, 2048, 1024);
    updateDebris();
    ASSERT_EQ(debrisList.count, 1);
    EXPECT_EQ((Ints{debrisList.pieces[i].x, debrisList.pieces[i].y, debrisList.pieces[i].vx, debrisList.pieces[i].vy, debrisList.pieces[i].age}),
              (Ints{intToFixed(50), intToFixed(199), 128, 512, 1}));
    // A rising piece hitting a ceiling turns round.
    makeKitField();
    paintMap(0, 100, 240, 5, KIT_WALL);
    i = addPiece(50, 105, 0, -1500);
    updateDebris();
    EXPECT_EQ((Ints{debrisList.pieces[i].y, debrisList.pieces[i].vy}), (Ints{intToFixed(105), 1400}));
    // -(17 >> 4), not -17 >> 4 = -2.
    floorField();
    addPiece(50, 199, -17, 1024);
    updateDebris();
    EXPECT_EQ((Ints{debrisList.count, debrisList.pieces[0].vx}), (Ints{1, -1}));
    // -15 becomes 0: on a flat floor it rests at once, at the restored position.
    floorField();
    addPiece(50, 199, -15, 1024);
    updateDebris();
    EXPECT_EQ((Ints{debrisList.count, getPixel(currentLevel.collisionMap, 50, 199)}), (Ints{0, KIT_CYAN}));
}

TEST(DebrisPhysics, SlidesOffAOnePixelSpikeToARandomSide) {
    int sides[2] = {0, 0};
    for (uint32_t seed = 1; seed <= 8; seed++) {
        makeKitField();
        paintMap(100, 250, 1, 1, KIT_WALL);
        addPiece(100, 249, 0, 1024);
        seedGameRand(seed);
        int s = (RandModel{seed}.next() & 1) * 2 - 1;
        updateDebris();
        ASSERT_EQ(debrisList.count, 1);
        EXPECT_EQ((Ints{fixedToInt(debrisList.pieces[0].x), fixedToInt(debrisList.pieces[0].y), debrisList.pieces[0].vy}), (Ints{100 + s, 250, 512}));
        sides[s > 0]++;
    }
    EXPECT_GT(sides[0], 0);
    EXPECT_GT(sides[1], 0);
}

TEST(DebrisPhysics, SettlesWhenBothLowerDiagonalsAreFilledOrVanishesWithoutDebris) {
    for (int disabled = 0; disabled <= 1; disabled++) {
        makeKitField();
        game.cheats.disableDebris = disabled;
        paintMap(99, 250, 3, 1, KIT_WALL);
        int field = getPixel(currentLevel.fieldPicture, 100, 249);
        addPiece(100, 249, 0, 1024, 0x4321);
        updateDebris();
        EXPECT_EQ(debrisList.count, 0);
        if (disabled) {
            EXPECT_EQ((Ints{getPixel(currentLevel.collisionMap, 100, 249), getPixel(currentLevel.fieldPicture, 100, 249)}), (Ints{0, field}));
        } else {
            EXPECT_EQ((Ints{getPixel(currentLevel.collisionMap, 100, 249), getPixel(currentLevel.fieldPicture, 100, 249),
                            getPixel(currentLevel.backgroundPicture, 100, 249)}),
                      (Ints{KIT_CYAN, 0x4321, 0x4321}));
        }
    }
    // Piles count as ground, red block pixels do not.
    paintMap(20, 251, 1, 1, 0xF800);
    addPiece(20, 249, 0, 1024);
    updateDebris();
    EXPECT_EQ((Ints{debrisList.count, fixedToInt(debrisList.pieces[0].y)}), (Ints{1, 250}));
    // A piece inside solid ground settles there.
    makeKitField();
    paintMap(40, 200, 30, 20, KIT_WALL);
    addPiece(50, 205, 0, 100);
    updateDebris();
    EXPECT_EQ((Ints{debrisList.count, getPixel(currentLevel.collisionMap, 50, 205)}), (Ints{0, KIT_CYAN}));
}

TEST(DebrisPhysics, PiecesLeavingTheFieldAreRemoved) {
    makeKitField();
    addPiece(240, 100, 1024, 0);  // to column 241: gone
    addPiece(239, 150, 1024, 0);  // to column 240: still in
    addPiece(100, 0, 0, -2048);   // above the top
    addPiece(100, 319, 0, 1024);  // below the bottom: settles outside every picture
    updateDebris();
    ASSERT_EQ(debrisList.count, 1);
    EXPECT_EQ(fixedToInt(debrisList.pieces[0].x), 240);
    for (int x = 0; x < 240; x++) {
        ASSERT_EQ(getPixel(currentLevel.collisionMap, x, 319), 0);
    }
}

TEST(DebrisPhysics, SparksFlyThroughWallsAndFadeWithinSeventyEightTicks) {
    makeKitField();
    paintMap(0, 0, 240, 320, KIT_WALL);
    spawnDebris(100, 100, 100, -3000, DEBRIS_SPARK, 0xFFFF);
    for (int t = 0; t < 15; t++) {
        updateDebris();
    }
    ASSERT_EQ(debrisList.count, 1);
    // Moved by its speed, then pulled down by 100 a tick: 15 ticks from -3000 rise 45000 - 100 x (0 + ... + 14).
    EXPECT_EQ((Ints{debrisList.pieces[0].age, debrisList.pieces[0].x, debrisList.pieces[0].y, debrisList.pieces[0].vy}),
              (Ints{15, intToFixed(100) + 1500, intToFixed(100) - 45000 + 10500, -1500}));
    for (int t = 15; t < 79; t++) {
        updateDebris();
    }
    EXPECT_EQ(debrisList.count, 0);
    EXPECT_EQ(getPixel(currentLevel.collisionMap, 100, 100), KIT_WALL);
}
