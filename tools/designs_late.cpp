// Level designs 50 to 74: mazes, vaults and channels of metal, dense walls, pictures behind fences.
#include <cmath>
#include <vector>

#include "blockset.h"
#include "designs.h"
#include "fieldscheme.h"

namespace levelset {
namespace {

// 50: the first real maze.
void mazeHalfway(LevelDraft& d) {
    auto rooms = maze(d, 10, 30, 7, 5, 20, 3, 6);
    furnishRooms(d, rooms, 20, 3);
}

// 51: a robot with a metal chassis and blinking panels.
void robot(LevelDraft& d) {
    art(d, 60, 25, 10, 10,
        {
            ".....o......",
            ".....M......",
            "..WWWWWWWW..",
            "..Wr....rW..",
            "..W..xx..W..",
            "..WWWWWWWW..",
            "....MMMM....",
            ".MMMMMMMMMM.",
            "cM.s.e.r..Md",
            "aM.e.r.s..Mb",
            ".MMMM..MMMM.",
            "..MM....MM..",
            "..hh....hh..",
        });
}

// 52: a metal comb: gems in the narrow slots between its teeth, bricks below.
void comb(LevelDraft& d) {
    lineAcross(d, 20, 40, 20, T_METAL);
    for (int t = 0; t < 9; t++) {
        lineDown(d, 20 + 25 * t, 50, 5, T_METAL);
    }
    for (int s = 0; s < 8; s++) {
        for (int j = 4; j < 8; j++) {
            place(d, 35 + 25 * s, 52 + 6 * j, GEMS[(s + j) % 3]);
        }
    }
    centredRow(d, 135, 9, T_BRICK_ORANGE);
}

// 53: a star field with metal asteroids and three planets.
void starField(LevelDraft& d) {
    const int asteroids[6][2] = {{30, 60}, {190, 45}, {95, 110}, {160, 140}, {40, 150}, {130, 55}};
    for (const auto& a : asteroids) {
        place(d, a[0], a[1], T_METAL);
        place(d, a[0] + 10, a[1], T_METAL);
        place(d, a[0] + 5, a[1] + 10, T_METAL);
    }
    place(d, 70, 80, T_ORB);
    place(d, 180, 95, T_ORB);
    place(d, 120, 165, T_ORB);
    int placed = 0;
    for (int guard = 0; guard < 600 && placed < 44; guard++) {
        int type = placed % 2 == 0 ? T_STAR : GEMS[placed % 3];
        int x = 15 + draftRandom(d, 200), y = 25 + draftRandom(d, 160);
        placed += placeIfFits(d, x, y, type) ? 1 : 0;
    }
}

// 54: a castle with metal towers, brick walls and a portcullis.
void castle(LevelDraft& d) {
    for (int side = 0; side < 2; side++) {
        int x = side == 0 ? 30 : 190;
        int outer = side == 0 ? x : x + 10, inner = side == 0 ? x + 10 : x;
        lineDown(d, outer, 60, 10, T_METAL);
        for (int j = 0; j < 10; j++) {
            if (j == 2 || j == 6) {
                place(d, inner + 2, 67 + 10 * j, j == 2 ? T_RUBY : T_SAPPHIRE);
            } else if (j != 3 && j != 7) {
                place(d, inner, 60 + 10 * j, T_METAL);
            }
        }
        place(d, x, 45, T_TILE_RED);
        place(d, x + 10, 45, T_TILE_RED);
        place(d, x, 35, T_RED_WEDGE_DR);
        place(d, x + 10, 35, T_RED_WEDGE_DL);
    }
    for (int i = 0; i < 7; i++) {
        place(d, 50 + 20 * i, 90, i % 2 == 0 ? T_TILE_WHITE : T_HALF_TILE);
    }
    for (int r = 0; r < 3; r++) {
        for (int i = 0; i < 7; i++) {
            if (r >= 1 && i == 3) {
                continue;
            }
            place(d, 50 + 20 * i, 100 + 5 * r, r % 2 ? T_BRICK_RED : T_BRICK_ORANGE);
        }
    }
    lineDown(d, 115, 120, 3, T_METAL);
    place(d, 118, 107, T_EMERALD);
    place(d, 114, 25, T_STAR);
    for (int i = 0; i < 6; i++) {
        place(d, 70 + 18 * i, 70, GEMS[i % 3]);
    }
}

// 55: gem rows behind metal grilles with slots two plates wide.
void grilles(LevelDraft& d) {
    for (int r = 0; r < 4; r++) {
        int y = 60 + 35 * r;
        for (int i = 0; i < 22; i++) {
            int slot = (i + 2 * r) % 7;
            if (slot == 3 || slot == 4) {
                continue;
            }
            place(d, 10 + 10 * i, y, T_METAL);
        }
        for (int i = 0; i < 20; i++) {
            place(d, 15 + 10 * i + (r % 2) * 5, y - 12, GEMS[(i + r) % 3]);
        }
        if (r < 3) {
            for (int i = 0; i < 3; i++) {
                place(d, 40 + 70 * i + (r % 2) * 20, y - 25, BRICKS[(r + i) % 6]);
            }
        }
    }
}

// 56: a ghost over a graveyard.
void ghost(LevelDraft& d) {
    art(d, 65, 25, 10, 10,
        {
            "...xxxxx...",
            ".xxxxxxxxx.",
            "xx.r.x.r.xx",
            "xx...x...xx",
            "xsxsxsxsxsx",
            "xxxx...xxxx",
            "xsxsxsxsxsx",
            "xx.xxx.xxx.",
            "x...x...x..",
        });
    for (int k = 0; k < 4; k++) {
        int x = 25 + 55 * k;
        place(d, x, 150, T_METAL);
        place(d, x + 10, 150, T_METAL);
        place(d, x + 5, 140, T_METAL);
        place(d, x + 5, 128, T_PEARL);
    }
}

// 57: "WOW" with a metal underline.
void wow(LevelDraft& d) {
    lettering(d, 35, 40, "WOW", 10, T_LOZENGE);
    lineAcross(d, 30, 125, 8, T_METAL);
    lineAcross(d, 130, 125, 8, T_METAL);
    for (int i = 0; i < 19; i++) {
        place(d, 18 + 11 * i, 140, GEMS[i % 3]);
    }
}

// 58: a dense wall of bricks studded with metal.
void denseWall(LevelDraft& d) {
    for (int r = 1; r < 3; r++) {
        for (int i = 0; i < 11; i++) {
            place(d, 10 + 20 * i, 60 + 5 * r, BRICKS[(r * 2 + i) % 6]);
        }
    }
    for (int i = 0; i < 11; i++) {
        if (i % 2 == 0) {
            place(d, 15 + 20 * i, 75, T_METAL);
        } else {
            place(d, 17 + 20 * i, 77, GEMS[i % 3]);
        }
    }
    for (int i = 0; i < 11; i++) {
        place(d, 10 + 20 * i, 85, BRICKS[(i + 3) % 6]);
    }
    for (int i = 0; i < 19; i++) {
        place(d, 20 + 11 * i, 40, GEMS[i % 3]);
    }
}

// 59: a snail: a shell of rings on a long foot, eyes on stalks.
void snail(LevelDraft& d) {
    place(d, 95, 85, T_PEARL);
    ring(d, 100, 90, 14, 8, T_SAPPHIRE, 0);
    ring(d, 100, 90, 25, 14, T_RUBY, 12);
    ring(d, 100, 90, 38, 20, T_TILE_YELLOW, 0);
    lineAcross(d, 40, 135, 16, T_HALF_TILE);
    place(d, 190, 115, T_TILE_GREEN);
    place(d, 200, 115, T_TILE_GREEN);
    place(d, 190, 125, T_TILE_GREEN);
    place(d, 200, 125, T_TILE_GREEN);
    for (int k = 0; k < 3; k++) {
        place(d, 189 - 3 * k, 105 - 8 * k, T_EMERALD);
        place(d, 207 + 3 * k, 105 - 8 * k, T_EMERALD);
    }
    place(d, 176, 74, T_PEARL);
    place(d, 211, 74, T_PEARL);
    lineAcross(d, 30, 160, 17, T_METAL);
}

// 60: two nested metal rings: in at the bottom left, round the corridor, into the core at the right.
void ringVault(LevelDraft& d) {
    lineAcross(d, 30, 30, 18, T_METAL);
    lineDown(d, 200, 40, 14, T_METAL);
    lineAcross(d, 60, 170, 14, T_METAL);
    lineDown(d, 30, 40, 11, T_METAL);
    lineAcross(d, 60, 60, 12, T_METAL);
    lineDown(d, 60, 70, 8, T_METAL);
    lineAcross(d, 70, 140, 11, T_METAL);
    lineDown(d, 170, 70, 4, T_METAL);
    lineAcross(d, 90, 90, 7, T_METAL);
    lineDown(d, 90, 100, 2, T_METAL);
    for (int i = 0; i < 16; i++) {
        place(d, 43 + 10 * i, 45, GEMS[i % 3]);
    }
    for (int i = 0; i < 15; i++) {
        place(d, 63 + 9 * i, 155, GEMS[(i + 1) % 3]);
    }
    for (int j = 0; j < 11; j++) {
        place(d, 183, 55 + 9 * j, GEMS[j % 3]);
        place(d, 43, 60 + 9 * j, GEMS[(j + 2) % 3]);
    }
    for (int i = 0; i < 8; i++) {
        place(d, 78 + 10 * i, 75, GEMS[i % 3]);
        place(d, 80 + 10 * i, 125, GEMS[(i + 2) % 3]);
    }
    place(d, 125, 105, T_ORB);
    place(d, 105, 106, T_STAR);
}

// 61: an anchor.
void anchor(LevelDraft& d) {
    art(d, 55, 25, 10, 10,
        {
            ".....MMM.....",
            ".....M.M.....",
            ".....MMM.....",
            "...BBBBBBB...",
            "......B......",
            "......B......",
            "......B......",
            "......B......",
            "b.....B.....a",
            "Bc....B....dB",
            "dBc...B...dBc",
            ".dBBBBBBBBBc.",
        });
    const int gemAt[6][2] = {{70, 70}, {85, 82}, {95, 94}, {140, 94}, {150, 82}, {165, 70}};
    for (int i = 0; i < 6; i++) {
        place(d, gemAt[i][0], gemAt[i][1], GEMS[i % 3]);
    }
    fence(d, 160, 3, 0);
}

// 62: falling tetrominoes.
void tetrominoes(LevelDraft& d) {
    art(d, 30, 40, 10, 10,
        {
            "RRRR..YY..GG.B......",
            "......YY.GG..BBB....",
            ".BB..............WWW",
            "BB....RRR.........W.",
            ".......R............",
            "GGG..............BB.",
            "G................BB.",
            "....................",
        });
    for (int i = 0; i < 22; i++) {
        if (i % 4 != 1) {
            place(d, 10 + 10 * i, 140, T_METAL);
        }
    }
    for (int i = 0; i < 18; i++) {
        place(d, 17 + 11 * i, 125, GEMS[i % 3]);
    }
}

// 63: a shimmering wall of gems with metal studs.
void gemWall(LevelDraft& d) {
    for (int r = 0; r < 5; r++) {
        for (int i = 0; i < 36; i++) {
            int x = 15 + 6 * i, y = 50 + 7 * r;
            if ((r == 2 || r == 3) && (i % 6 == 1 || i % 6 == 2)) {
                continue;
            }
            place(d, x, y, GEMS[(i / 2 + r) % 3]);
        }
    }
    for (int i = 0; i < 6; i++) {
        place(d, 21 + 36 * i, 64, T_METAL);
    }
    lineAcross(d, 10, 110, 7, T_METAL);
    lineAcross(d, 160, 110, 7, T_METAL);
}

// 64: an umbrella in the rain.
void umbrella(LevelDraft& d) {
    art(d, 50, 40, 10, 10,
        {
            "......RR......",
            "...bRRRRRRa...",
            ".bRRxRRRRxRRa.",
            "bRxxRRxxRRxxRa",
            "d.....MM.....c",
            "......M.......",
            "......M.......",
            "......M.......",
            "...M..M.......",
            "...MMMM.......",
        });
    for (int i = 0; i < 24; i++) {
        int x = 15 + 9 * i, y = 150 + (i * 7) % 25;
        placeIfFits(d, x, y, T_SAPPHIRE);
    }
}

// 65: "MAX" over channels.
void maxWord(LevelDraft& d) {
    lettering(d, 35, 30, "MA", 10, T_PEARL);
    lettering(d, 155, 30, "X", 10, T_LOZENGE);
    for (int k = 0; k < 6; k++) {
        lineDown(d, 25 + 36 * k, 115, 6, T_METAL);
    }
    for (int k = 0; k < 5; k++) {
        for (int j = 0; j < 5; j++) {
            place(d, 40 + 36 * k, 120 + 11 * j, GEMS[(k + j) % 3]);
        }
    }
}

// 66: a beehive: hexagons in a metal frame.
void beehive(LevelDraft& d) {
    for (int r = 0; r < 6; r++) {
        int n = r % 2 == 0 ? 7 : 6;
        int x0 = r % 2 == 0 ? 45 : 55;
        for (int c = 0; c < n; c++) {
            int x = x0 + 22 * c, y = 45 + 13 * r;
            if ((r * 7 + c * 3) % 5 == 0) {
                place(d, x + 2, y, T_METAL);
            } else if ((r + c) % 3 == 0) {
                place(d, x, y, T_HEX);
            } else {
                place(d, x + 5, y + 2, GEMS[(r + c) % 3]);
            }
        }
    }
    lineAcross(d, 40, 30, 16, T_METAL);
    lineDown(d, 30, 30, 9, T_METAL);
    lineDown(d, 200, 30, 9, T_METAL);
}

// 67: a maze of wider rooms.
void mazeWide(LevelDraft& d) {
    auto rooms = maze(d, 15, 25, 5, 4, 30, 2, 5);
    for (size_t i = 0; i < rooms.size(); i++) {
        int x = rooms[i].first, y = rooms[i].second;
        if (i % 2 == 0) {
            place(d, x + 5, y + 5, T_PEARL);
        } else {
            place(d, x + 3, y + 10, BRICKS[i % 6]);
        }
        place(d, x + 17, y + 2, GEMS[i % 3]);
    }
}

// 68: a sword.
void sword(LevelDraft& d) {
    art(d, 60, 25, 10, 10,
        {
            ".....ba.....",
            ".....WW.....",
            ".....WW.....",
            ".....WW.....",
            ".....WW.....",
            ".....WW.....",
            ".....WW.....",
            "..MMMMMMMM..",
            "..r..hh..r..",
            ".....hh.....",
            ".....MM.....",
            "....s..s....",
        });
    for (int k = 0; k < 5; k++) {
        placeMirrored(d, 20 + 12 * k, 50 + 14 * k, T_LOZENGE);
    }
    fence(d, 160, 2, 0);
}

// 69: an owl on a branch.
void owl(LevelDraft& d) {
    art(d, 60, 30, 10, 10,
        {
            ".ba......ba.",
            ".xhhhhhhhhx.",
            "xh.oo..oo.hx",
            "xho.s..s.ohx",
            "xh.oo..oo.hx",
            "xh...dc...hx",
            ".xh.e..e.hx.",
            ".xh..ee..hx.",
            "..xhhhhhhx..",
        });
    lineAcross(d, 30, 125, 18, T_METAL);
    for (int i = 0; i < 4; i++) {
        place(d, 45 + 40 * i, 137, T_EMERALD);
    }
}

// 70: V-shaped metal cups, gems waiting inside, tiles below.
void vChannels(LevelDraft& d) {
    for (int v = 0; v < 3; v++) {
        int cx = 50 + 70 * v;
        for (int k = 0; k < 5; k++) {
            int y = 50 + 12 * k;
            place(d, cx - 30 + 5 * k, y, T_METAL);
            place(d, cx + 20 - 5 * k, y, T_METAL);
            for (int x = cx - 18 + 5 * k; x + 5 <= cx + 19 - 5 * k; x += 8) {
                place(d, x, y + 2, GEMS[(v + k) % 3]);
            }
        }
        place(d, cx - 10, 130, T_TILE_RED);
        place(d, cx, 130, T_TILE_YELLOW);
        place(d, cx - 7, 150, T_ORB);
    }
}

// 71: a dragonfly.
void dragonfly(LevelDraft& d) {
    place(d, 113, 35, T_ORB);
    lineDown(d, 115, 50, 11, T_TILE_BLUE);
    lineDown(d, 117, 160, 2, T_RUBY);
    for (int side = -1; side <= 1; side += 2) {
        ellipse(d, 120 + side * 58, 62, 46, 14, 34, T_SAPPHIRE);
        ellipse(d, 120 + side * 52, 97, 40, 12, 30, T_EMERALD);
    }
    fence(d, 180, 3, 0);
}

// 72: a grid of metal vaults, each open below and some on one side as well.
void vaults(LevelDraft& d) {
    for (int r = 0; r < 3; r++) {
        for (int c = 0; c < 4; c++) {
            int x = 20 + 52 * c, y = 25 + 58 * r;
            // Every vault opens below; one also opens on a side (never towards a side wall): 0 none,
            // 1 left, 2 right.
            int side = draftRandom(d, 3);
            if ((c == 0 && side == 1) || (c == 3 && side == 2)) {
                side = 0;
            }
            lineAcross(d, x, y, 4, T_METAL);
            for (int j = 1; j <= 2; j++) {
                if (side != 1) {
                    place(d, x, y + 10 * j, T_METAL);
                }
                if (side != 2) {
                    place(d, x + 30, y + 10 * j, T_METAL);
                }
            }
            place(d, x, y + 30, T_METAL);
            place(d, x + 30, y + 30, T_METAL);
            place(d, x + 10, y + 12, TILES[(r * 4 + c) % 5]);
            place(d, x + 21, y + 12, GEMS[(r + c) % 3]);
            place(d, x + 21, y + 19, GEMS[(r + c + 1) % 3]);
        }
    }
}

// 73: music: two beamed notes in front of a staff of bars.
void music(LevelDraft& d) {
    art(d, 60, 30, 10, 10, {"..MMMMMMMM", "..M......M", "..M......M", "..M......M", "..M......M"});
    place(d, 65, 80, T_ORB);
    place(d, 135, 80, T_ORB);
    place(d, 70, 96, T_LOZENGE);
    place(d, 140, 96, T_LOZENGE);
    for (int l = 0; l < 5; l++) {
        for (int i = 0; i < 7; i++) {
            if ((i + l) % 2 == 0) {
                placeIfFits(d, 15 + 30 * i, 60 + 18 * l, T_BAR);
            }
        }
    }
    for (int i = 0; i < 8; i++) {
        place(d, 180 + 6 * (i % 4), 30 + 7 * (i / 4), GEMS[i % 3]);
    }
    fence(d, 165, 3, 1);
}

// 74: a maze with few ways in.
void mazeNarrow(LevelDraft& d) {
    auto rooms = maze(d, 25, 40, 6, 4, 20, 2, 3);
    furnishRooms(d, rooms, 20, 4);
}

void (*const designs[25])(LevelDraft&) = {
    mazeHalfway, robot, comb, starField, castle, grilles,
    ghost, wow, denseWall, snail, ringVault, anchor,
    tetrominoes, gemWall, umbrella, maxWord, beehive, mazeWide,
    sword, owl, vChannels, dragonfly, vaults, music,
    mazeNarrow,
};

}  // namespace

void designLateLevel(LevelDraft& d) {
    designs[d.index - 50](d);
}

}  // namespace levelset
