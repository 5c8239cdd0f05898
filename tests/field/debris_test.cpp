// Debris: breaking blocks, scoring by width, the debris list and its bounce, slide and settle rules.
#include <gtest/gtest.h>

#include "field/blocks.h"
#include "field/debris.h"
#include "field/level.h"
#include "field/powerup.h"
#include "fieldkit.h"
#include "game/gamevalues.h"
#include "shell/random.h"

static int addPiece(int x, int y, int32_t vx, int32_t vy, uint16_t colour = 0x1234) {
    spawnDebris(x, y, vx, vy, DEBRIS_PIECE, colour);
    return debrisCount - 1;
}

TEST(BreakBlock, HollowTenByFiveGivesEightyPiecesAndTwentyPoints) {
    makeKitField();
    addLevelBlock(50, 60, KIT_HOLLOW, 5);
    redrawField();
    paintMap(50, 60, 10, 5, 0xF800);  // as if a neighbour shared the empty columns
    uint32_t before = gameRandState();
    breakBlock(0);
    EXPECT_EQ(debrisCount, 80);
    EXPECT_EQ(drawsBetween(before, gameRandState()), 160);
    EXPECT_EQ(game.score, 20);
    EXPECT_EQ(levelBlockCount, 0);
    for (int i = 0; i < debrisCount; i++) {
        int px = debris[i].x >> 10, py = debris[i].y >> 10;
        EXPECT_TRUE(px >= 51 && px <= 58 && py >= 60 && py <= 64) << px << "," << py;
        EXPECT_EQ(debris[i].colour, KIT_BRICK_COLOUR + KIT_HOLLOW);
        EXPECT_EQ(debris[i].vx % 4, 0);
    }
    // Erased from the map where the cell has pixels; the cell's empty columns keep what the map had.
    EXPECT_EQ(getPixel(collisionMap, 51, 60), 0);
    EXPECT_EQ(getPixel(collisionMap, 58, 64), 0);
    EXPECT_EQ(getPixel(collisionMap, 50, 60), 0xF800);
    EXPECT_EQ(getPixel(collisionMap, 59, 62), 0xF800);
    // The field shows the background again.
    EXPECT_EQ(getPixel(fieldPicture, 55, 62), getPixel(backgroundPicture, 55, 62));
    // The hidden power-up (kind 4) falls from the block's centre.
    ASSERT_EQ(capsuleCount, 1);
    EXPECT_EQ(capsules[0].kind, 4);
    EXPECT_EQ(capsules[0].x, 55 << 10);
    EXPECT_EQ(capsules[0].y, 62 << 10);
    EXPECT_EQ(capsules[0].vy, 500);
}

TEST(BreakBlock, PointsFollowTheWidth) {
    EXPECT_EQ(blockScore(21), 2);
    EXPECT_EQ(blockScore(20), 5);
    EXPECT_EQ(blockScore(11), 5);
    EXPECT_EQ(blockScore(10), 20);
    EXPECT_EQ(blockScore(6), 20);
    EXPECT_EQ(blockScore(5), 50);
    EXPECT_EQ(blockScore(1), 50);
    makeKitField();
    addLevelBlock(10, 10, KIT_WIDE);
    addLevelBlock(40, 10, KIT_LONG);
    addLevelBlock(70, 10, KIT_GEM);
    breakBlock(0);
    EXPECT_EQ(game.score, 2);
    breakBlock(findBlockAt(40, 10));
    EXPECT_EQ(game.score, 7);
    breakBlock(0);
    EXPECT_EQ(game.score, 57);
}

TEST(BreakBlock, SteelCountsDownTheIndestructibleCount) {
    makeKitField();
    addLevelBlock(10, 10, KIT_STEEL);
    addLevelBlock(30, 10, KIT_BRICK);
    indestructibleCount = 1;
    breakBlock(0);
    EXPECT_EQ(indestructibleCount, 0);
    ASSERT_EQ(levelBlockCount, 1);
    EXPECT_EQ(levelBlocks[0].type, KIT_BRICK);
    breakBlock(5);  // outside the list: nothing
    EXPECT_EQ(levelBlockCount, 1);
}

TEST(DebrisList, TheFifteenHundredFirstPieceEvictsARandomOne) {
    makeKitField();
    for (int i = 0; i < MAX_DEBRIS; i++) {
        addPiece(i % 240, 10, 0, 0, (uint16_t)(i + 1));
    }
    seedGameRand(77);
    int evicted = ((77u * 214013u + 2531011u) >> 16 & 0x7FFF) % MAX_DEBRIS;
    uint32_t before = gameRandState();
    addPiece(5, 6, 7, 8, 0xBEEF);
    EXPECT_EQ(drawsBetween(before, gameRandState()), 1);
    EXPECT_EQ(debrisCount, MAX_DEBRIS);
    EXPECT_EQ(debris[MAX_DEBRIS - 1].colour, 0xBEEF);
    EXPECT_EQ(debris[MAX_DEBRIS - 1].vx, 7);
    // The evicted slot now holds the piece that was last.
    EXPECT_EQ(debris[evicted].colour, MAX_DEBRIS);
}

TEST(DebrisPhysics, BouncesOffAFloorWithVelocityCut) {
    makeKitField();
    paintMap(0, 200, 240, 5, KIT_WALL);
    int i = addPiece(50, 199, 2048, 1024);
    updateDebris();
    ASSERT_EQ(debrisCount, 1);
    EXPECT_EQ(debris[i].x, 50 << 10);
    EXPECT_EQ(debris[i].y, 199 << 10);
    EXPECT_EQ(debris[i].vx, 128);
    EXPECT_EQ(debris[i].vy, 512);
    EXPECT_EQ(debris[i].age, 1);
    // A rising piece hitting a ceiling turns round.
    makeKitField();
    paintMap(0, 100, 240, 5, KIT_WALL);
    i = addPiece(50, 105, 0, -1500);
    updateDebris();
    EXPECT_EQ(debris[i].y, 105 << 10);
    EXPECT_EQ(debris[i].vy, 1400);
}

TEST(DebrisPhysics, HorizontalSpeedIsCutTowardsZero) {
    makeKitField();
    paintMap(0, 200, 240, 5, KIT_WALL);
    addPiece(50, 199, -17, 1024);
    updateDebris();
    EXPECT_EQ(debris[0].vx, -1);  // -(17 >> 4), not -17 >> 4 = -2
    EXPECT_EQ(debrisCount, 1);
    makeKitField();
    paintMap(0, 200, 240, 5, KIT_WALL);
    addPiece(50, 199, -15, 1024);  // becomes 0: on a flat floor it rests at once
    updateDebris();
    EXPECT_EQ(debrisCount, 0);
    EXPECT_EQ(getPixel(collisionMap, 50, 199), KIT_CYAN);  // at the restored position
}

TEST(DebrisPhysics, SlidesOffAOnePixelSpikeToARandomSide) {
    int sides[2] = {0, 0};
    for (uint32_t seed = 1; seed <= 8; seed++) {
        makeKitField();
        paintMap(100, 250, 1, 1, KIT_WALL);
        addPiece(100, 249, 0, 1024);
        seedGameRand(seed);
        int s = ((seed * 214013u + 2531011u) >> 16 & 1) * 2 - 1;
        updateDebris();
        ASSERT_EQ(debrisCount, 1);
        EXPECT_EQ(debris[0].x >> 10, 100 + s);
        EXPECT_EQ(debris[0].y >> 10, 250);
        EXPECT_EQ(debris[0].vy, 512);
        sides[s > 0]++;
    }
    EXPECT_GT(sides[0], 0);
    EXPECT_GT(sides[1], 0);
}

TEST(DebrisPhysics, SettlesWhenBothLowerDiagonalsAreFilled) {
    makeKitField();
    paintMap(99, 250, 3, 1, KIT_WALL);
    addPiece(100, 249, 0, 1024, 0x4321);
    updateDebris();
    EXPECT_EQ(debrisCount, 0);
    EXPECT_EQ(getPixel(collisionMap, 100, 249), KIT_CYAN);
    EXPECT_EQ(getPixel(fieldPicture, 100, 249), 0x4321);
    EXPECT_EQ(getPixel(backgroundPicture, 100, 249), 0x4321);
    // Piles count as ground, red block pixels do not.
    paintMap(20, 251, 1, 1, 0xF800);
    addPiece(20, 249, 0, 1024);
    updateDebris();
    EXPECT_EQ(debrisCount, 1);
    EXPECT_EQ(debris[0].y >> 10, 250);
}

TEST(DebrisPhysics, DisableDebrisLetsPiecesVanishWhereTheyWouldSettle) {
    makeKitField();
    game.cheats.disableDebris = 1;
    paintMap(99, 250, 3, 1, KIT_WALL);
    uint16_t field = getPixel(fieldPicture, 100, 249);
    addPiece(100, 249, 0, 1024, 0x4321);
    updateDebris();
    EXPECT_EQ(debrisCount, 0);
    EXPECT_EQ(getPixel(collisionMap, 100, 249), 0);
    EXPECT_EQ(getPixel(fieldPicture, 100, 249), field);
}

TEST(DebrisPhysics, APieceInsideSolidGroundSettlesThere) {
    makeKitField();
    paintMap(40, 200, 30, 20, KIT_WALL);
    addPiece(50, 205, 0, 100);
    updateDebris();
    EXPECT_EQ(debrisCount, 0);
    EXPECT_EQ(getPixel(collisionMap, 50, 205), KIT_CYAN);
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
    EXPECT_EQ(debris[0].age, 15);
    EXPECT_EQ(debris[0].x, (100 << 10) + 1500);
    for (int t = 15; t < 79; t++) {
        updateDebris();
    }
    EXPECT_EQ(debrisCount, 0);
    EXPECT_EQ(getPixel(collisionMap, 100, 100), KIT_WALL);
}

TEST(DebrisPhysics, AFallingPieceComesToRestOnTheFloor) {
    makeKitField();
    paintMap(0, 200, 240, 5, KIT_WALL);
    addPiece(50, 150, 2000, -500, 0x2222);
    int ticks = 0;
    while (debrisCount > 0 && ticks < 1000) {
        updateDebris();
        ticks++;
    }
    ASSERT_EQ(debrisCount, 0);
    int found = 0;
    for (int x = 0; x < 240; x++) {
        if (getPixel(collisionMap, x, 199) == KIT_CYAN) {
            found++;
            EXPECT_EQ(getPixel(fieldPicture, x, 199), 0x2222);
        }
    }
    EXPECT_EQ(found, 1);
}
