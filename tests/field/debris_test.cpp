// Debris: breaking blocks, scoring by width, the debris list and its bounce, slide and settle rules.
#include <gtest/gtest.h>

#include "field/blocks.h"
#include "field/debris.h"
#include "field/level.h"
#include "field/powerup.h"
#include "fieldkit.h"
#include "game/gamevalues.h"
#include "shell/random.h"
#include "support/testutil.h"

static int addPiece(int x, int y, int32_t vx, int32_t vy, uint16_t colour = 0x1234) {
    spawnDebris(x, y, vx, vy, DEBRIS_PIECE, colour);
    return debrisCount - 1;
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
    EXPECT_EQ((Ints{debrisCount, drawsBetween(before, gameRandState()), game.score, levelBlockCount}),
              (Ints{80, 160, 20, 0}));
    for (int i = 0; i < debrisCount; i++) {
        int px = debris[i].x >> 10, py = debris[i].y >> 10;
        EXPECT_TRUE(px >= 51 && px <= 58 && py >= 60 && py <= 64) << px << "," << py;
        EXPECT_EQ(debris[i].colour, KIT_BRICK_COLOUR + KIT_HOLLOW);
        EXPECT_EQ(debris[i].vx % 4, 0);
    }
    // Erased from the map where the cell has pixels; the cell's empty columns keep what the map had.
    EXPECT_EQ(pixelsAt(collisionMap, {{51, 60}, {58, 64}, {50, 60}, {59, 62}}), (Ints{0, 0, 0xF800, 0xF800}));
    EXPECT_EQ(getPixel(fieldPicture, 55, 62), getPixel(backgroundPicture, 55, 62));
    // The hidden power-up (kind 4) falls from the block's centre.
    ASSERT_EQ(capsuleCount, 1);
    EXPECT_EQ((Ints{capsules[0].kind, capsules[0].x, capsules[0].y, capsules[0].vy}),
              (Ints{4, 55 << 10, 62 << 10, 500}));
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
    indestructibleCount = 1;
    Ints scores;
    for (int x : {10, 40, 70, 100}) {
        breakBlock(findBlockAt(x, 10));
        scores.push_back(game.score);
    }
    EXPECT_EQ(scores, (Ints{2, 7, 57, 77}));
    EXPECT_EQ((Ints{indestructibleCount, levelBlockCount}), (Ints{0, 0}));
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
    EXPECT_EQ((Ints{debrisCount, debris[MAX_DEBRIS - 1].colour, debris[MAX_DEBRIS - 1].vx, debris[evicted].colour}),
              (Ints{MAX_DEBRIS, 0xBEEF, 7, MAX_DEBRIS}));
}

TEST(DebrisPhysics, BouncesOffFloorsAndCeilingsCuttingTheSpeedTowardsZero) {
    floorField();
    int i = addPiece(50, 199, 2048, 1024);
    updateDebris();
    ASSERT_EQ(debrisCount, 1);
    EXPECT_EQ((Ints{debris[i].x, debris[i].y, debris[i].vx, debris[i].vy, debris[i].age}),
              (Ints{50 << 10, 199 << 10, 128, 512, 1}));
    // A rising piece hitting a ceiling turns round.
    makeKitField();
    paintMap(0, 100, 240, 5, KIT_WALL);
    i = addPiece(50, 105, 0, -1500);
    updateDebris();
    EXPECT_EQ((Ints{debris[i].y, debris[i].vy}), (Ints{105 << 10, 1400}));
    // -(17 >> 4), not -17 >> 4 = -2.
    floorField();
    addPiece(50, 199, -17, 1024);
    updateDebris();
    EXPECT_EQ((Ints{debrisCount, debris[0].vx}), (Ints{1, -1}));
    // -15 becomes 0: on a flat floor it rests at once, at the restored position.
    floorField();
    addPiece(50, 199, -15, 1024);
    updateDebris();
    EXPECT_EQ((Ints{debrisCount, getPixel(collisionMap, 50, 199)}), (Ints{0, KIT_CYAN}));
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
        ASSERT_EQ(debrisCount, 1);
        EXPECT_EQ((Ints{debris[0].x >> 10, debris[0].y >> 10, debris[0].vy}), (Ints{100 + s, 250, 512}));
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
        int field = getPixel(fieldPicture, 100, 249);
        addPiece(100, 249, 0, 1024, 0x4321);
        updateDebris();
        EXPECT_EQ(debrisCount, 0);
        if (disabled) {
            EXPECT_EQ((Ints{getPixel(collisionMap, 100, 249), getPixel(fieldPicture, 100, 249)}), (Ints{0, field}));
        } else {
            EXPECT_EQ((Ints{getPixel(collisionMap, 100, 249), getPixel(fieldPicture, 100, 249),
                            getPixel(backgroundPicture, 100, 249)}),
                      (Ints{KIT_CYAN, 0x4321, 0x4321}));
        }
    }
    // Piles count as ground, red block pixels do not.
    paintMap(20, 251, 1, 1, 0xF800);
    addPiece(20, 249, 0, 1024);
    updateDebris();
    EXPECT_EQ((Ints{debrisCount, debris[0].y >> 10}), (Ints{1, 250}));
    // A piece inside solid ground settles there.
    makeKitField();
    paintMap(40, 200, 30, 20, KIT_WALL);
    addPiece(50, 205, 0, 100);
    updateDebris();
    EXPECT_EQ((Ints{debrisCount, getPixel(collisionMap, 50, 205)}), (Ints{0, KIT_CYAN}));
}

TEST(DebrisPhysics, PiecesLeavingTheFieldAreRemoved) {
    makeKitField();
    addPiece(240, 100, 1024, 0);  // to column 241: gone
    addPiece(239, 150, 1024, 0);  // to column 240: still in
    addPiece(100, 0, 0, -2048);   // above the top
    addPiece(100, 319, 0, 1024);  // below the bottom: settles outside every picture
    updateDebris();
    ASSERT_EQ(debrisCount, 1);
    EXPECT_EQ(debris[0].x >> 10, 240);
    for (int x = 0; x < 240; x++) {
        ASSERT_EQ(getPixel(collisionMap, x, 319), 0);
    }
}

TEST(DebrisPhysics, SparksFlyThroughWallsAndFadeWithinSeventyEightTicks) {
    makeKitField();
    paintMap(0, 0, 240, 320, KIT_WALL);
    spawnDebris(100, 100, 100, -3000, DEBRIS_SPARK, 0xFFFF);
    for (int t = 0; t < 15; t++) {
        updateDebris();
    }
    ASSERT_EQ(debrisCount, 1);
    EXPECT_EQ((Ints{debris[0].age, debris[0].x}), (Ints{15, (100 << 10) + 1500}));
    for (int t = 15; t < 79; t++) {
        updateDebris();
    }
    EXPECT_EQ(debrisCount, 0);
    EXPECT_EQ(getPixel(collisionMap, 100, 100), KIT_WALL);
}
