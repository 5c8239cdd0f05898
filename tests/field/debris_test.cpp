// Debris: breaking blocks, scoring by width, the debris list and its bounce, slide and settle rules.
#include <gtest/gtest.h>

#include "fieldkit.h"
#include "shell/random.h"

static void addPiece(int x, int y, int32_t vx, int32_t vy, uint16_t colour = 0x1234) {
    spawnDebris(x, y, vx, vy, DEBRIS_PIECE, colour);
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
    // Two pieces for each visible pixel, column by column from (51, 60).
    const Debris &first = debrisList.pieces[0], &last = debrisList.pieces[79];
    EXPECT_EQ((Ints{fixedToInt(first.x), fixedToInt(first.y), fixedToInt(last.x), fixedToInt(last.y),
                    last.colour}),
              (Ints{51, 60, 58, 64, KIT_BRICK_COLOUR + KIT_HOLLOW}));
    // Erased from the map where the cell has pixels; the cell's empty columns keep what the map had.
    EXPECT_EQ(pixelsAt(currentLevel.collisionMap, {{51, 60}, {58, 64}, {50, 60}, {59, 62}}),
              (Ints{0, 0, 0xF800, 0xF800}));
    EXPECT_EQ(getPixel(currentLevel.fieldPicture, 55, 62), getPixel(currentLevel.backgroundPicture, 55, 62));
    // The hidden power-up (kind 4) falls from the block's centre.
    ASSERT_EQ(powerUps.capsuleCount, 1);
    const FallingPowerUp& c = powerUps.capsules[0];
    EXPECT_EQ((Ints{c.kind, c.x, c.y, c.vy}), (Ints{4, intToFixed(55), intToFixed(62), 500}));
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

TEST(DebrisPhysics, OneStepBouncesSettlesOrLeaves) {
    // A rectangle of the map (x, y, w, h, colour), a piece (x, y, vx, vy), then after one step: 1 with the
    // piece's x, y, vx and vy, or 0 with the map's pixel where the piece started (pile if it settled).
    const int F = KIT_WALL, R = 0xF800;
    const int cases[][14] = {
        {0, 200, 240, 5, F, 50, 199, 2048, 1024, 1, 50, 199, 128, 512},  // off a floor, the speed cut
        {0, 100, 240, 5, F, 50, 105, 0, -1500, 1, 50, 105, 0, 1400},     // a ceiling turns it round
        {0, 200, 240, 5, F, 50, 199, -17, 1024, 1, 50, 199, -1, 512},       // -(17 >> 4), not -17 >> 4 = -2
        {0, 200, 240, 5, F, 50, 199, -15, 1024, 0, KIT_CYAN},            // -15 becomes 0: rests at once
        {99, 250, 3, 1, F, 100, 249, 0, 1024, 0, KIT_CYAN},              // both lower diagonals filled
        {40, 200, 30, 20, F, 50, 205, 0, 100, 0, KIT_CYAN},              // inside solid ground
        {20, 251, 1, 1, R, 20, 249, 0, 1024, 1, 20, 250, 0, 1124},        // red block pixels are not ground
        {0, 0, 0, 0, 0, 240, 100, 1024, 0, 0, 0},                        // to column 241: gone
        {0, 0, 0, 0, 0, 239, 150, 1024, 0, 1, 240, 150, 1024, 100},         // to column 240: still in
        {0, 0, 0, 0, 0, 100, 0, 0, -2048, 0, 0},                         // above the top
        {0, 0, 0, 0, 0, 100, 319, 0, 1024, 0, 0},                        // below the bottom: not settled
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c[5] * 1000 + c[6]);
        makeKitField();
        paintMap(c[0], c[1], c[2], c[3], (uint16_t)c[4]);
        addPiece(c[5], c[6], c[7], c[8]);
        updateDebris();
        const Debris& d = debrisList.pieces[0];
        Ints after = debrisList.count == 1 ? Ints{1, fixedToInt(d.x), fixedToInt(d.y), d.vx, d.vy}
                                           : Ints{debrisList.count, getPixel(currentLevel.collisionMap, c[5], c[6])};
        EXPECT_EQ(after, Ints(c + 9, c + (c[9] ? 14 : 11)));
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
    const Debris& d = debrisList.pieces[0];
    EXPECT_EQ((Ints{d.age, d.x, d.y, d.vy}),
              (Ints{15, intToFixed(100) + 1500, intToFixed(100) - 45000 + 10500, -1500}));
    for (int t = 15; t < 79; t++) {
        updateDebris();
    }
    EXPECT_EQ(debrisList.count, 0);
    EXPECT_EQ(getPixel(currentLevel.collisionMap, 100, 100), KIT_WALL);
}
