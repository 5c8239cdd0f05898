// Level designs 0 to 49: a few friendly rows first, then pictures, shapes, metal plates and first channels.
#include <cmath>

#include "blockset.h"
#include "designs.h"
#include "fieldscheme.h"

namespace levelset {

namespace {


// 0: two rows of bricks.
void firstLight(LevelDraft& d) {
    centredRow(d, 60, 9, T_BRICK_RED);
    centredRow(d, 65, 9, T_BRICK_YELLOW);
}

// 1: a stepped pyramid, one colour a step.
void steps(LevelDraft& d) {
    for (int r = 0; r < 6; r++) {
        centredRow(d, 45 + 10 * r, r + 1, BRICKS[5 - r]);
    }
}

// 2: a checkerboard of tiles.
void checkers(LevelDraft& d) {
    for (int r = 0; r < 4; r++) {
        for (int c = 0; c < 12; c++) {
            if ((r + c) % 2 == 0) {
                place(d, 60 + 10 * c, 50 + 10 * r, r % 2 == 0 ? T_TILE_BLUE : T_TILE_WHITE);
            }
        }
    }
}

// 3: a rainbow over two clouds.
void rainbow(LevelDraft& d) {
    arc(d, 120, 150, 88, 198, 342, 14, T_TILE_RED);
    arc(d, 120, 150, 72, 198, 342, 11, T_PEARL);
    art(d, 25, 150, 10, 10, {".o", "oo"});
    art(d, 195, 150, 10, 10, {"o.", "oo"});
}

// 4: a smiling face.
void smile(LevelDraft& d) {
    ring(d, 120, 100, 52, 22, T_PEARL, 8);
    place(d, 96, 78, T_ORB);
    place(d, 129, 78, T_ORB);
    arc(d, 120, 100, 30, 25, 155, 7, T_TILE_RED);
}

// 5: bricks sheltered by a metal shelf with two gaps.
void shelter(LevelDraft& d) {
    centredRow(d, 40, 9, T_BRICK_RED);
    centredRow(d, 45, 9, T_BRICK_ORANGE);
    centredRow(d, 50, 9, T_BRICK_YELLOW);
    for (int i = 0; i < 22; i++) {
        if ((i >= 4 && i <= 6) || (i >= 15 && i <= 17)) {
            continue;
        }
        place(d, 10 + 10 * i, 90, T_METAL);
    }
}

// 6: rings of lozenges and pearls round an orb.
void diamondRings(LevelDraft& d) {
    for (int r = -6; r <= 6; r++) {
        for (int c = -6; c <= 6; c++) {
            int k = std::abs(r) + std::abs(c);
            int type = k == 6 ? T_LOZENGE : k == 3 ? T_PEARL : k == 0 ? T_ORB : -1;
            if (type >= 0) {
                const BlockCell& cell = blockCell(type);
                place(d, 120 + 10 * c - cell.width / 2, 95 + 10 * r - cell.height / 2, type);
            }
        }
    }
}

// 7: a golden crown set with gems.
void crown(LevelDraft& d) {
    centredRow(d, 120, 6, T_BRICK_YELLOW);
    centredRow(d, 135, 6, T_BRICK_YELLOW);
    for (int i = 0; i < 12; i++) {
        place(d, 63 + 10 * i, 128, GEMS[i % 3]);
    }
    lineDown(d, 60, 90, 3, T_TILE_YELLOW);
    lineDown(d, 115, 80, 4, T_TILE_YELLOW);
    lineDown(d, 170, 90, 3, T_TILE_YELLOW);
    place(d, 58, 72, T_STAR);
    place(d, 113, 62, T_STAR);
    place(d, 168, 72, T_STAR);
    place(d, 80, 105, T_RED_WEDGE_DR);
    place(d, 105, 105, T_RED_WEDGE_DL);
    place(d, 125, 105, T_RED_WEDGE_DR);
    place(d, 150, 105, T_RED_WEDGE_DL);
    const int gemX[4] = {85, 97, 138, 150};
    for (int i = 0; i < 4; i++) {
        place(d, gemX[i], 95, GEMS[(i + 1) % 3]);
    }
}

// 8: "GO!" with gems underlined.
void go(LevelDraft& d) {
    lettering(d, 35, 45, "GO!", 10, T_HALF_TILE);
    for (int i = 0; i < 15; i++) {
        place(d, 47 + 10 * i, 135, GEMS[2]);
    }
}

// 9: green hills under the sun.
void hills(LevelDraft& d) {
    art(d, 10, 120, 10, 10,
        {
            "....ij................",
            "...ieej.........ij....",
            "..iesesj.......ieej...",
            ".ieseseej.....iesesj..",
        });
    place(d, 180, 35, T_ORB);
    ring(d, 187, 42, 18, 8, T_STAR, 22);
    art(d, 40, 50, 10, 10, {".WW..", "WWWW.", "..WWW"});
}

// 10: pillars of half tiles on metal pedestals, pearls on top.
void pillars(LevelDraft& d) {
    for (int i = 0; i < 7; i++) {
        int x = 25 + 30 * i;
        place(d, x, 50, T_PEARL);
        lineDown(d, x, 65, 6, T_HALF_TILE);
        place(d, x, 95, T_METAL);
    }
}

// 11: a heart, outlined, full of rubies.
void heart(LevelDraft& d) {
    art(d, 65, 45, 10, 10,
        {
            ".bRRa.bRRa.",
            "brrrrRrrrra",
            "Rr.r.r.r.rR",
            "d.r.r.r.r.c",
            ".dr.r.r.rc.",
            "..d.r.r.c..",
            "...dr.rc...",
            "....drc....",
            ".....R.....",
        });
}

// 12: an invader of lozenges over three metal bunkers.
void invader(LevelDraft& d) {
    art(d, 65, 35, 10, 10,
        {
            "..x.....x..",
            "...x...x...",
            "..xxxxxxx..",
            ".xx.xxx.xx.",
            "xxxxxxxxxxx",
            "x.xxxxxxx.x",
            "x.x.....x.x",
            "...xx.xx...",
        });
    for (int b = 0; b < 3; b++) {
        lineAcross(d, 40 + 65 * b, 150, 3, T_METAL);
    }
}

// 13: two waves of bricks.
void waves(LevelDraft& d) {
    for (int c = 0; c < 11; c++) {
        int y = 75 + (int)std::lround(25 * sin(c * 2 * M_PI / 10)) / 5 * 5;
        place(d, 10 + 20 * c, y, T_BRICK_RED);
        place(d, 10 + 20 * c, y + 25, T_BRICK_BLUE);
    }
}

// 14: a metal funnel with bricks and rubies inside.
void funnel(LevelDraft& d) {
    for (int k = 0; k < 9; k++) {
        placeMirrored(d, 20 + 10 * k, 50 + 10 * k, T_METAL);
    }
    int y = 60;
    for (int n = 8; n >= 4; n -= 2) {
        centredRow(d, y, n, n == 8 ? T_BRICK_ORANGE : n == 6 ? T_BRICK_YELLOW : T_BRICK_GREEN);
        y += 20;
    }
    for (int i = 0; i < 14; i++) {
        place(d, 52 + 10 * i, 72, T_RUBY);
    }
    for (int i = 0; i < 10; i++) {
        place(d, 72 + 10 * i, 92, T_SAPPHIRE);
    }
    for (int i = 0; i < 6; i++) {
        place(d, 92 + 10 * i, 112, T_EMERALD);
    }
}

// 15: nested frames round an orb.
void frames(LevelDraft& d) {
    lineAcross(d, 60, 45, 4, T_BAR);
    lineAcross(d, 60, 135, 4, T_BAR);
    for (int i = 0; i < 5; i++) {
        place(d, 60, 55 + 15 * i, T_PEARL);
        place(d, 170, 55 + 15 * i, T_PEARL);
    }
    for (int i = 0; i < 12; i++) {
        place(d, 87 + 6 * i, 70, GEMS[0]);
        place(d, 87 + 6 * i, 115, GEMS[0]);
    }
    for (int j = 1; j < 7; j++) {
        place(d, 87, 70 + 6 * j, GEMS[1]);
        place(d, 153, 70 + 6 * j, GEMS[1]);
    }
    place(d, 113, 85, T_ORB);
}

// 16: a fir tree hung with ornaments.
void firTree(LevelDraft& d) {
    place(d, 113, 22, T_STAR);
    art(d, 65, 40, 10, 10,
        {
            "....iGj....",
            "...iGrGj...",
            "..iGsGrGj..",
            "....iGj....",
            "...iGrGj...",
            "..iGGsGGj..",
            ".iGrGGGsGj.",
        });
    art(d, 65, 110, 10, 5, {"....hhh....", "....hhh....", "....hhh...."});
}

// 17: a metal fortress with a gate, its treasure inside.
void fortress(LevelDraft& d) {
    lineAcross(d, 40, 40, 16, T_METAL);
    lineDown(d, 40, 50, 9, T_METAL);
    lineDown(d, 190, 50, 9, T_METAL);
    lineAcross(d, 50, 130, 5, T_METAL);
    lineAcross(d, 140, 130, 5, T_METAL);
    centredRow(d, 60, 6, T_BRICK_VIOLET);
    centredRow(d, 70, 6, T_BRICK_BLUE);
    centredRow(d, 80, 6, T_BRICK_VIOLET);
    for (int i = 0; i < 11; i++) {
        place(d, 68 + 10 * i, 100, GEMS[i % 3]);
    }
    centredRow(d, 25, 8, T_BRICK_YELLOW, 5);
}

// 18: a honeycomb with drops of honey.
void honeycomb(LevelDraft& d) {
    for (int r = 0; r < 4; r++) {
        int n = r % 2 == 0 ? 6 : 5;
        int x0 = r % 2 == 0 ? 52 : 72;
        for (int c = 0; c < n; c++) {
            place(d, x0 + 20 * c, 40 + 12 * r, T_HEX);
        }
    }
    for (int i = 0; i < 8; i++) {
        place(d, 57 + 18 * i, 100 + (i % 2) * 8, i % 2 ? T_RUBY : T_EMERALD);
    }
}

// 19: a trophy.
void trophy(LevelDraft& d) {
    centredRow(d, 45, 8, T_BRICK_YELLOW);
    place(d, 40, 55, T_HALF_TILE);
    place(d, 190, 55, T_HALF_TILE);
    centredRow(d, 65, 6, T_BRICK_YELLOW);
    place(d, 60, 75, T_RED_WEDGE_UR);
    place(d, 170, 75, T_RED_WEDGE_UL);
    centredRow(d, 85, 4, T_BRICK_YELLOW);
    centredRow(d, 95, 2, T_BRICK_ORANGE);
    centredRow(d, 105, 1, T_TILE_YELLOW);
    centredRow(d, 115, 1, T_TILE_YELLOW);
    centredRow(d, 125, 4, T_BRICK_ORANGE);
    arc(d, 40, 72, 20, 100, 260, 7, T_SAPPHIRE);
    arc(d, 200, 72, 20, -80, 80, 7, T_SAPPHIRE);
    for (int i = 0; i < 6; i++) {
        place(d, 88 + 12 * i, 57, GEMS[i % 3]);
    }
}

// 20: a pin board: lozenges among metal pins.
void pinBoard(LevelDraft& d) {
    for (int r = 0; r < 5; r++) {
        for (int c = 0; c < 8; c++) {
            place(d, 35 + 22 * c, 40 + 22 * r, T_LOZENGE);
        }
    }
    for (int r = 0; r < 4; r++) {
        for (int c = 0; c < 7; c++) {
            place(d, 46 + 22 * c, 51 + 22 * r, T_METAL);
        }
    }
}

// 21: a fish with sapphire scales.
void fish(LevelDraft& d) {
    art(d, 35, 50, 10, 10,
        {
            "....bxxxxa.......",
            "..bx......xa...bx",
            ".bo..s.s.s.xa.bx.",
            "bx.s.s.s.s..xbx..",
            "dx.s.s.s.s..xdx..",
            ".dx..s.s.s.xc.dx.",
            "..dx......xc...dx",
            "....dxxxxc.......",
        });
    for (int i = 0; i < 3; i++) {
        place(d, 25 + 12 * i, 40 - 12 * i, T_PEARL);
    }
}

// 22: twin towers of metal and bricks, a bridge of gems between.
void twinTowers(LevelDraft& d) {
    for (int side = 0; side < 2; side++) {
        int x = side == 0 ? 40 : 160;
        lineDown(d, x, 50, 12, T_METAL);
        lineDown(d, x + 30, 50, 12, T_METAL);
        for (int j = 0; j < 12; j++) {
            place(d, x + 10, 52 + 10 * j, j % 2 == 0 ? T_BRICK_RED : T_BRICK_ORANGE);
        }
        place(d, x + 7, 33, T_ORB);
    }
    for (int i = 0; i < 8; i++) {
        place(d, 83 + 10 * i, 80, GEMS[i % 3]);
        place(d, 83 + 10 * i, 110, GEMS[(i + 1) % 3]);
    }
}

// 23: a clock: twelve orbs round a metal hub, hands of gems.
void clockFace(LevelDraft& d) {
    ring(d, 120, 100, 70, 12, T_ORB, -90);
    ring(d, 120, 100, 54, 36, T_EMERALD, -90);
    place(d, 115, 95, T_METAL);
    for (int i = 1; i <= 6; i++) {
        place(d, 117, 95 - 6 * i, T_RUBY);
    }
    for (int i = 1; i <= 4; i++) {
        place(d, 120 + 6 * i, 97, T_SAPPHIRE);
    }
}

// 24: arrows pointing the way up.
void arrows(LevelDraft& d) {
    for (int k = 0; k < 3; k++) {
        int x = 45 + 55 * k;
        art(d, x, 40 + (k % 2) * 20, 10, 10,
            {
                "..R..",
                ".bRa.",
                "bRRRa",
                "..R..",
                "..R..",
                "..h..",
            });
    }
    for (int i = 0; i < 10; i++) {
        place(d, 22 + 21 * i, 150, GEMS[i % 3]);
    }
}

// 25: a field of crosses.
void crosses(LevelDraft& d) {
    const int types[4] = {T_TILE_RED, T_TILE_BLUE, T_TILE_GREEN, T_TILE_YELLOW};
    int k = 0;
    for (int r = 0; r < 3; r++) {
        for (int c = 0; c < 3 - (r % 2); c++) {
            int x = 45 + 60 * c + (r % 2) * 30, y = 35 + 40 * r;
            int t = types[k++ % 4];
            place(d, x + 10, y, t);
            place(d, x, y + 10, t);
            place(d, x + 10, y + 10, T_METAL);
            place(d, x + 20, y + 10, t);
            place(d, x + 10, y + 20, t);
        }
    }
}

// 26: a toadstool.
void toadstool(LevelDraft& d) {
    beads(d, 60, 35, 1,
          {
              "........rrrrrrrr........",
              ".....rrrrrrrrrrrrrr.....",
              "...rrrr..rrrrrrrr..rrr..",
              "..rrr....rrrrrrrr....rr.",
              ".rrrrr..rrr....rrr..rrrr",
              "rrrrrrrrrr......rrrrrrrr",
              "rrr..rrrrrr....rrrrrr..r",
              "rr....rrrrrrrrrrrrr....r",
              "rrr..rrrrrrrrrrrrrrr..rr",
              ".rrrrrrrrrrrrrrrrrrrrrr.",
          });
    art(d, 60, 85, 10, 10, {"....oooo....", "....o..o....", "....o..o....", "....oooo...."});
}

// 27: rails of metal with rows of gems in between.
void rails(LevelDraft& d) {
    for (int r = 0; r < 4; r++) {
        int y = 50 + 30 * r;
        for (int i = 0; i < 22; i++) {
            bool gap = (r % 2 == 0) ? (i >= 8 && i <= 13) : (i <= 3 || i >= 18);
            if (!gap) {
                place(d, 10 + 10 * i, y, T_METAL);
            }
        }
        for (int i = 0; i < 18; i++) {
            place(d, 22 + 11 * i, y - 12, GEMS[(i + r) % 3]);
        }
    }
}

// 28: a spiral arm of tiles and pearls.
void spiral(LevelDraft& d) {
    for (int i = 0; i < 44; i++) {
        double a = i * 0.42;
        double r = 10 + i * 1.7;
        int type = i % 4 == 3 ? T_TILE_BLUE : i % 2 ? T_LOZENGE : T_PEARL;
        const BlockCell& c = blockCell(type);
        placeIfFits(d, (int)std::lround(120 + r * cos(a) - c.width / 2.0),
                    (int)std::lround(100 + r * sin(a) * 0.95 - c.height / 2.0), type);
    }
}

// 29: a rocket lifting off.
void rocket(LevelDraft& d) {
    art(d, 90, 25, 10, 10,
        {
            "..ba..",
            ".bWWa.",
            ".W..W.",
            ".W.sW.",
            ".W..W.",
            ".W.sW.",
            "bWWWWa",
            "R.WW.R",
            "R.hh.R",
        });
    for (int i = 0; i < 5; i++) {
        place(d, 105 + 6 * (i % 3) - (i > 2 ? 3 : 0), 120 + 6 * (i / 3) + 2, T_RUBY);
    }
    ring(d, 60, 60, 22, 6, T_STAR, 10);
    ring(d, 180, 120, 18, 5, T_STAR, 40);
}

// 30: "ZAP" in bricks of light.
void zap(LevelDraft& d) {
    lettering(d, 35, 45, "ZAP", 10, T_LOZENGE);
    for (int i = 0; i < 18; i++) {
        place(d, 22 + 11 * i, 130, GEMS[i % 3]);
    }
    lineAcross(d, 10, 150, 6, T_METAL);
    lineAcross(d, 170, 150, 6, T_METAL);
}

// 31: gems in metal cages open at the bottom.
void cages(LevelDraft& d) {
    for (int r = 0; r < 3; r++) {
        for (int c = 0; c < 4; c++) {
            int x = 15 + 52 * c + (r % 2) * 26, y = 35 + 45 * r;
            if (x + 40 > 230) {
                continue;
            }
            lineAcross(d, x, y, 4, T_METAL);
            place(d, x, y + 10, T_METAL);
            place(d, x + 30, y + 10, T_METAL);
            place(d, x + 13, y + 12, GEMS[(r + c) % 3]);
            place(d, x + 22, y + 12, GEMS[(r + c + 1) % 3]);
            place(d, x, y + 22, T_PEARL);
            place(d, x + 30, y + 22, T_PEARL);
        }
    }
}

// 32: a skull of pearl beads.
void skull(LevelDraft& d) {
    art(d, 55, 35, 10, 10,
        {
            "...bWWWWa...",
            "..bW....Wa..",
            ".bW......Wa.",
            ".W.rr..rr.W.",
            ".W.rr..rr.W.",
            ".dW..xx..Wc.",
            "..dW....Wc..",
            "...WoWWoW...",
            "...W.WW.W...",
        });
}

// 33: a staircase of metal with bricks on every step.
void staircase(LevelDraft& d) {
    for (int k = 0; k < 6; k++) {
        int x = 10 + 36 * k, y = 170 - 25 * k;
        lineAcross(d, x, y, 3, T_METAL);
        place(d, x + 5, y - 5, BRICKS[k]);
        place(d, x + 5, y - 10, BRICKS[(k + 1) % 6]);
        place(d, x + 8, y - 18, GEMS[k % 3]);
        place(d, x + 16, y - 18, GEMS[(k + 1) % 3]);
    }
    for (int k = 0; k < 6; k++) {
        place(d, 25 + 25 * k, 30 + 10 * (k % 2), T_PEARL);
    }
}

// 34: a snowflake.
void snowflake(LevelDraft& d) {
    place(d, 113, 93, T_ORB);
    for (int a = 0; a < 6; a++) {
        double ang = a * M_PI / 3 - M_PI / 2;
        for (int k = 1; k <= 5; k++) {
            int type = k == 5 ? T_STAR : k % 2 ? T_LOZENGE : T_TILE_WHITE;
            const BlockCell& c = blockCell(type);
            placeIfFits(d, (int)std::lround(120 + 14 * k * cos(ang) - c.width / 2.0),
                        (int)std::lround(100 + 14 * k * sin(ang) - c.height / 2.0), type);
        }
        for (int s = -1; s <= 1; s += 2) {
            double b = ang + s * 0.6;
            placeIfFits(d, (int)std::lround(120 + 42 * cos(ang) + 12 * cos(b) - 2.5),
                        (int)std::lround(100 + 42 * sin(ang) + 12 * sin(b) - 2.5), T_SAPPHIRE);
        }
    }
}

// 35: a metal chequer with gem windows.
void metalChequer(LevelDraft& d) {
    for (int r = 0; r < 6; r++) {
        for (int c = 0; c < 10; c++) {
            int x = 20 + 20 * c, y = 40 + 20 * r;
            if ((r + c) % 2 == 0) {
                place(d, x + 5, y + 5, T_METAL);
            } else {
                place(d, x + 2, y + 2, GEMS[(r + c / 2) % 3]);
                place(d, x + 12, y + 2, GEMS[(r + c / 2 + 1) % 3]);
                place(d, x + 2, y + 12, GEMS[(r + c / 2 + 2) % 3]);
                place(d, x + 12, y + 12, GEMS[(r + c / 2) % 3]);
            }
        }
    }
}

// 36: a flower on its stem.
void flower(LevelDraft& d) {
    place(d, 113, 63, T_ORB);
    ring(d, 120, 70, 20, 8, T_PEARL, 0);
    ring(d, 120, 70, 34, 12, T_TILE_RED, 15);
    lineDown(d, 115, 110, 4, T_TILE_GREEN);
    art(d, 75, 130, 10, 10, {".kGG.GGl..", "..kG.Gl..."});
    for (int i = 0; i < 10; i++) {
        place(d, 20 + 22 * i, 175, GEMS[1]);
    }
}

// 37: a small maze.
void smallMaze(LevelDraft& d) {
    auto rooms = maze(d, 20, 40, 5, 3, 30, 3, 2);
    for (size_t i = 0; i < rooms.size(); i++) {
        int x = rooms[i].first, y = rooms[i].second;
        place(d, x + 5, y + 12, BRICKS[i % 6]);
        place(d, x + 12, y + 4, GEMS[i % 3]);
    }
}

// 38: a bomb with a lit fuse.
void bombPicture(LevelDraft& d) {
    art(d, 60, 60, 10, 10,
        {
            "...bWWWa....",
            "..bB...Ba...",
            ".bBW.s.sBa..",
            ".BW.s.s.sB..",
            ".B.s.s.s.B..",
            ".dBs.s.sBc..",
            "..dB...Bc...",
            "...dBBBc....",
        });
    art(d, 150, 30, 5, 5, {"....r", "...r.", "..r..", ".r...", "r...."});
    ring(d, 177, 28, 12, 6, T_STAR, 0);
}

// 39: a butterfly with wings of gems.
void butterfly(LevelDraft& d) {
    for (int side = -1; side <= 1; side += 2) {
        for (int i = 0; i < 44; i++) {
            double a = i * 2 * M_PI / 44;
            placeIfFits(d, (int)std::lround(120 + side * 55 + 42 * cos(a) - 2.5),
                        (int)std::lround(72 + 30 * sin(a) - 2.5), T_RUBY);
        }
        for (int i = 0; i < 32; i++) {
            double a = i * 2 * M_PI / 32;
            placeIfFits(d, (int)std::lround(120 + side * 42 + 28 * cos(a) - 2.5),
                        (int)std::lround(135 + 20 * sin(a) - 2.5), T_SAPPHIRE);
        }
        place(d, 120 + side * 55 - 7, 65, T_ORB);
        place(d, 120 + side * 42 - 5, 130, T_PEARL);
        for (int k = 1; k <= 3; k++) {
            place(d, 120 + side * 6 * k - 2, 42 - 8 * k, T_EMERALD);
        }
    }
    lineDown(d, 115, 50, 18, T_HALF_TILE);
}

// 40: stripes of colour between metal posts.
void stripes(LevelDraft& d) {
    for (int c = 0; c < 6; c++) {
        int x = 15 + 36 * c;
        for (int j = 0; j < 16; j++) {
            place(d, x + 8, 35 + 8 * j, j % 2 ? T_HALF_TILE : GEMS[c % 3]);
        }
        if (c < 5) {
            lineDown(d, x + 26, 50, 8, T_METAL);
        }
    }
}

// 41: "PLINK" three times, zigzagging down between metal ledges.
void plink(LevelDraft& d) {
    lettering(d, 20, 30, "PLINK", 5, T_EMERALD);
    lettering(d, 75, 75, "PLINK", 5, T_RUBY);
    lettering(d, 20, 120, "PLINK", 5, T_SAPPHIRE);
    lineAcross(d, 175, 130, 5, T_METAL);
    lineAcross(d, 175, 40, 5, T_METAL);
}

// 42: a duck on the water.
void duck(LevelDraft& d) {
    art(d, 40, 40, 10, 10,
        {
            "....bYYa.........",
            "...bY..Ya........",
            "...Y.s..YRR......",
            "...dY..Yc........",
            "....Y.Y..........",
            ".bYYY.hhhhhYa....",
            "bY..........Ya...",
            "dY.........Yc....",
            ".dhhhhhhhhhc.....",
        });
    for (int i = 0; i < 20; i++) {
        place(d, 12 + 11 * i, 140 + (i % 2) * 5, T_SAPPHIRE);
    }
}

// 43: pillars and bridges.
void bridges(LevelDraft& d) {
    for (int k = 0; k < 4; k++) {
        lineDown(d, 30 + 55 * k, 40, 13, T_METAL);
    }
    for (int k = 0; k < 3; k++) {
        int x = 40 + 55 * k;
        for (int j = 0; j < 4; j++) {
            lineAcross(d, x + 5, 50 + 30 * j, 2, j % 2 ? T_BRICK_BLUE : T_BRICK_GREEN);
            place(d, x + 10, 62 + 30 * j, GEMS[(j + k) % 3]);
            place(d, x + 30, 62 + 30 * j, GEMS[(j + k + 1) % 3]);
        }
    }
}

// 44: a key.
void keyPicture(LevelDraft& d) {
    ring(d, 60, 95, 25, 14, T_TILE_YELLOW, 0);
    place(d, 53, 88, T_ORB);
    lineAcross(d, 90, 90, 12, T_TILE_YELLOW);
    lineDown(d, 180, 100, 3, T_TILE_YELLOW);
    lineDown(d, 200, 100, 2, T_TILE_YELLOW);
    for (int i = 0; i < 10; i++) {
        place(d, 95 + 10 * i, 80, T_RUBY);
    }
}

// 45: a target of rings.
void target(LevelDraft& d) {
    ring(d, 120, 95, 75, 40, T_RUBY, 0);
    ring(d, 120, 95, 60, 20, T_LOZENGE, 7);
    ring(d, 120, 95, 44, 24, T_EMERALD, 0);
    ring(d, 120, 95, 30, 12, T_TILE_RED, 15);
    ring(d, 120, 95, 16, 10, T_SAPPHIRE, 0);
    place(d, 113, 88, T_ORB);
}

// 46: a sailing boat.
void sailboat(LevelDraft& d) {
    art(d, 60, 30, 10, 10,
        {
            ".....R......",
            ".....Wa.....",
            ".....WWa....",
            "....iW.Wa...",
            "...iGW..Wa..",
            "..i.GW...Wa.",
            ".iGGGWxxxxxa",
            ".....W......",
        });
    place(d, 60, 110, T_RED_WEDGE_UR);
    lineAcross(d, 70, 110, 5, T_BRICK_BLUE);
    place(d, 170, 110, T_RED_WEDGE_UL);
    lineAcross(d, 80, 115, 4, T_BRICK_VIOLET);
    for (int i = 0; i < 19; i++) {
        place(d, 15 + 11 * i, 150 + 5 * (i % 2), T_SAPPHIRE);
    }
}

// 47: zigzag channels of metal.
void zigzag(LevelDraft& d) {
    for (int k = 0; k < 3; k++) {
        int y = 45 + 45 * k;
        for (int i = 0; i < 8; i++) {
            int dy = (i % 4 == 1 || i % 4 == 2) ? 10 : 0;
            int x = 10 + 30 * i + (k % 2) * 15;
            if (x + 20 <= 230) {
                place(d, x, y + dy, T_METAL);
                place(d, x + 10, y + dy, T_METAL);
            }
        }
        for (int i = 0; i < 10; i++) {
            int x = 15 + 22 * i;
            placeIfFits(d, x, y - 15, BRICKS[(k + i) % 6]);
        }
    }
}

// 48: a cat's face.
void catFace(LevelDraft& d) {
    art(d, 60, 35, 10, 10,
        {
            "ia........ji",
            "GGa......jGG",
            "GG.GGGGGG.GG",
            "x..........x",
            "x..e....e..x",
            "x..........x",
            "x....rr....x",
            ".G..r..r..G.",
            "..GGGGGGGG..",
        });
    for (int s = 0; s < 3; s++) {
        for (int k = 0; k < 4; k++) {
            placeMirrored(d, 25 + 7 * k, 95 + 10 * s + (s - 1) * (3 - k), T_RUBY);
        }
    }
}

// 49: half time: "50" in gems with a band of bars.
void fifty(LevelDraft& d) {
    lettering(d, 60, 40, "50", 10, T_LOZENGE);
    for (int i = 0; i < 19; i++) {
        place(d, 15 + 11 * i, 130, GEMS[i % 3]);
        place(d, 20 + 11 * i, 140, GEMS[(i + 1) % 3]);
    }
}

void (*const designs[50])(LevelDraft&) = {
    firstLight, steps,       checkers,     rainbow,   smile,      shelter,   diamondRings, crown,
    go,         hills,       pillars,      heart,     invader,    waves,     funnel,       frames,
    firTree,    fortress,    honeycomb,    trophy,    pinBoard,   fish,      twinTowers,   clockFace,
    arrows,     crosses,     toadstool,    rails,     spiral,     rocket,    zap,          cages,
    skull,      staircase,   snowflake,    metalChequer, flower,  smallMaze, bombPicture,  butterfly,
    stripes,    plink,       duck,         bridges,   keyPicture, target,    sailboat,     zigzag,
    catFace,    fifty,
};

}  // namespace

void designEarlyLevel(LevelDraft& d) {
    designs[d.index](d);
}

}  // namespace levelset
