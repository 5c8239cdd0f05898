// Level designs 75 to 99: fenced pictures, cages, citadels and the grand vault at the end.
#include <cmath>
#include <vector>

#include "blockset.h"
#include "designs.h"
#include "fieldscheme.h"

namespace levelset {
namespace {

// 75: an apple with a worm.
void apple(LevelDraft& d) {
    art(d, 60, 25, 10, 10,
        {
            "......M.ij..",
            "......Mij...",
            "..bRRaMbRa..",
            ".bR..RRR.Ra.",
            "bR.W......Ra",
            "R.W.......rR",
            "R........r.R",
            "R.......r..R",
            "dR.....r..Rc",
            ".dR......Rc.",
            "..dRRcdRRc..",
        });
    fence(d, 150, 2, 1);
    for (int i = 0; i < 10; i++) {
        place(d, 22 + 21 * i, 165, GEMS[i % 3]);
    }
}

// 76: a bell.
void bell(LevelDraft& d) {
    art(d, 60, 25, 10, 10,
        {
            ".....MM.....",
            ".....MM.....",
            "....bYYa....",
            "...bY..Ya...",
            "...Y.e..Y...",
            "..bY..e.Ya..",
            "..Y......Y..",
            ".bY.s..s.Ya.",
            "bYYYYYYYYYYa",
        });
    place(d, 113, 115, T_ORB);
    for (int k = 0; k < 2; k++) {
        arc(d, 120, 60, 80 + 12 * k, 140, 220, 6, T_RUBY);
        arc(d, 120, 60, 80 + 12 * k, -40, 40, 6, T_RUBY);
    }
    fence(d, 150, 3, 0);
}

// 77: crossroads: a metal cross parts four different quarters.
void crossroads(LevelDraft& d) {
    for (int i = 0; i < 22; i++) {
        if (i != 3 && i != 4 && i != 17 && i != 18) {
            place(d, 10 + 10 * i, 100, T_METAL);
        }
    }
    for (int j = 0; j < 16; j++) {
        if (j != 3 && j != 7 && j != 11) {
            place(d, 110, 30 + 10 * j, T_METAL);
        }
    }
    for (int r = 0; r < 3; r++) {
        lineAcross(d, 25, 40 + 15 * r, 4, BRICKS[r]);
    }
    ring(d, 170, 60, 25, 12, T_PEARL);
    place(d, 163, 53, T_ORB);
    for (int r = 0; r < 5; r++) {
        for (int c = 0; c < 8; c++) {
            if ((r + c) % 2 == 0) {
                place(d, 20 + 10 * c, 120 + 10 * r, T_LOZENGE);
            }
        }
    }
    for (int r = 0; r < 6; r++) {
        for (int c = 0; c < 12; c++) {
            place(d, 140 + 7 * c, 120 + 9 * r, GEMS[(r + c) % 3]);
        }
    }
}

// 78: masonry of bars with metal keystones.
void masonry(LevelDraft& d) {
    for (int r = 0; r < 6; r++) {
        int offset = (r % 2) * 15;
        for (int i = 0; i < 8; i++) {
            int x = 10 + offset + 30 * i;
            if (x + 30 > 230) {
                continue;
            }
            if ((i + r) % 3 == 2) {
                place(d, x + 10, 40 + 10 * r, T_METAL);
            } else {
                place(d, x, 40 + 10 * r, r % 2 ? T_BAR : BRICKS[(i + r) % 6]);
            }
        }
    }
    for (int i = 0; i < 20; i++) {
        place(d, 15 + 11 * i, 110, GEMS[i % 3]);
    }
    fence(d, 130, 3, 1);
}

// 79: a crab.
void crab(LevelDraft& d) {
    art(d, 40, 35, 10, 10,
        {
            "bxa............bxa",
            "x.x............x.x",
            "dxc...r....r...dxc",
            ".x....x....x....x.",
            "..x.bRRRRRRRRa.x..",
            "...xxR.RRRR.Rxx...",
            "....dxxxxxxxxc....",
            "...x..x....x..x...",
            "..x..x......x..x..",
        });
    for (int i = 0; i < 12; i++) {
        place(d, 30 + 16 * i, 145 + 5 * (i % 2), GEMS[i % 3]);
    }
    fence(d, 170, 3, -1);
}

// 80: metal arches open below, each sheltering a clutch of gems.
void arches(LevelDraft& d) {
    for (int r = 0; r < 4; r++) {
        for (int c = 0; c < 3 - (r % 2); c++) {
            int cx = 50 + 70 * c + (r % 2) * 35, top = 30 + 40 * r;
            place(d, cx - 5, top, T_METAL);
            for (int k = 1; k <= 2; k++) {
                place(d, cx - 5 - 10 * k, top + 8 * k, T_METAL);
                place(d, cx - 5 + 10 * k, top + 8 * k, T_METAL);
            }
            place(d, cx - 5, top + 10, T_LOZENGE);
            place(d, cx - 13, top + 20, GEMS[(r + c) % 3]);
            place(d, cx + 8, top + 20, GEMS[(r + c + 1) % 3]);
            place(d, cx - 2, top + 24, GEMS[(r + c + 2) % 3]);
        }
    }
}

// 81: a ringed planet with moons.
void planet(LevelDraft& d) {
    ring(d, 120, 95, 42, 26, T_TILE_YELLOW, 0);
    ring(d, 120, 95, 28, 16, T_HALF_TILE, 0);
    place(d, 113, 88, T_ORB);
    ellipse(d, 120, 95, 95, 18, 48, T_SAPPHIRE, 0.1);
    place(d, 30, 35, T_PEARL);
    place(d, 200, 160, T_PEARL);
    place(d, 190, 30, T_STAR);
    fence(d, 150, 2, -2);
}

// 82: an hourglass of metal, open at its foot; gems fill the upper bulb above a wide neck.
void hourglass(LevelDraft& d) {
    lineAcross(d, 50, 30, 14, T_METAL);
    for (int i = 0; i < 14; i++) {
        if (i < 5 || i > 8) {
            place(d, 50 + 10 * i, 170, T_METAL);
        }
    }
    for (int k = 0; k < 5; k++) {
        place(d, 50 + 10 * k, 40 + 10 * k, T_METAL);
        place(d, 180 - 10 * k, 40 + 10 * k, T_METAL);
        place(d, 50 + 10 * k, 160 - 10 * k, T_METAL);
        place(d, 180 - 10 * k, 160 - 10 * k, T_METAL);
    }
    for (int r = 1; r < 6; r++) {
        int y = 42 + 8 * r;
        int k = (y + 4 - 40) / 10;  // the lowest arm plate beside this row
        int left = 60 + 10 * k, right = 180 - 10 * k;
        for (int x = left + 6; x + 5 <= right - 5; x += 8) {
            place(d, x, y, r % 2 ? T_RUBY : T_EMERALD);
        }
    }
    for (int i = 0; i < 5; i++) {
        place(d, 100 + 8 * i, 150, GEMS[2]);
    }
    for (int k = 0; k < 4; k++) {
        place(d, 20, 50 + 30 * k, T_PEARL);
        place(d, 210, 50 + 30 * k, T_PEARL);
    }
}

// 83: "BAM", letters of half tiles in a burst of gems.
void bam(LevelDraft& d) {
    lettering(d, 35, 50, "BAM", 10, T_HALF_TILE);
    for (int i = 0; i < 18; i++) {
        double a = i * 2 * M_PI / 18;
        placeIfFits(d, (int)std::lround(120 + 105 * cos(a)) - 2, (int)std::lround(85 + 70 * sin(a)) - 2, GEMS[i % 3]);
    }
    fence(d, 165, 3, 0);
}

// 84: a lighthouse on metal rocks.
void lighthouse(LevelDraft& d) {
    art(d, 90, 25, 10, 10,
        {
            "..ba..",
            ".bYYa.",
            ".M..M.",
            ".MMMM.",
            "..RW..",
            "..WR..",
            "..RW..",
            ".bWRa.",
            ".RWRW.",
            "MMMMMM",
        });
    for (int k = 0; k < 2; k++) {
        for (int i = 0; i < 8; i++) {
            int side = k == 0 ? -1 : 1;
            placeIfFits(d, 120 + side * (30 + 10 * i) - 2, 48 + i * (2 + k) - 2, T_RUBY);
        }
    }
    lineAcross(d, 30, 125, 5, T_METAL);
    lineAcross(d, 160, 125, 5, T_METAL);
    for (int i = 0; i < 20; i++) {
        place(d, 15 + 11 * i, 150 + 5 * (i % 3), T_SAPPHIRE);
    }
    fence(d, 180, 3, 0);
}

// 85: a maze with pearls in its far corners.
void mazePearls(LevelDraft& d) {
    auto rooms = maze(d, 15, 35, 5, 3, 30, 2, 3);
    for (size_t i = 0; i < rooms.size(); i++) {
        int x = rooms[i].first, y = rooms[i].second;
        place(d, x + 2, y + 2, T_PEARL);
        place(d, x + 15, y + 15, GEMS[i % 3]);
        place(d, x + 16, y + 4, GEMS[(i + 1) % 3]);
    }
}

// 86: islands of metal and tiles with alleys between.
void islands(LevelDraft& d) {
    for (int r = 0; r < 5; r++) {
        for (int c = 0; c < 7; c++) {
            int x = 15 + 30 * c, y = 30 + 30 * r;
            if ((r + c) % 2 == 0) {
                place(d, x, y, T_METAL);
                place(d, x + 10, y, T_METAL);
                place(d, x, y + 10, T_METAL);
                place(d, x + 10, y + 10, T_METAL);
            } else {
                place(d, x, y, TILES[(r + c) % 5]);
                place(d, x + 10, y + 10, TILES[(r + c + 2) % 5]);
                place(d, x + 12, y + 2, GEMS[c % 3]);
                place(d, x + 2, y + 12, GEMS[r % 3]);
            }
        }
    }
}

// 87: a house with a garden.
void house(LevelDraft& d) {
    art(d, 60, 25, 10, 10,
        {
            "........MM..",
            ".....ba.MM..",
            "....bRRa....",
            "...bRxxRa...",
            "..bRRRRRRa..",
            ".bRxxxxxxRa.",
            "..WWWWWWWW..",
            "..Ws.W..sW..",
            "..W..WMMW...",
            "..WWWWMMWW..",
        });
    for (int i = 0; i < 4; i++) {
        place(d, 20 + 60 * i, 135, T_STAR);
    }
    fence(d, 165, 2, 0);
}

// 88: a wall of tiles with windows and metal sills.
void tileWall(LevelDraft& d) {
    for (int r = 0; r < 2; r++) {
        for (int i = 0; i < 22; i++) {
            bool window = r == 1 && (i % 5 == 2);
            if (!window) {
                place(d, 10 + 10 * i, 55 + 10 * r, TILES[(i / 2 + r) % 5]);
            } else {
                place(d, 12 + 10 * i, 67, T_SAPPHIRE);
            }
        }
    }
    for (int i = 0; i < 22; i++) {
        if (i % 3 == 1) {
            place(d, 10 + 10 * i, 75, T_METAL);
        }
    }
    for (int i = 0; i < 18; i++) {
        place(d, 20 + 11 * i, 40, GEMS[i % 3]);
    }
    fence(d, 110, 3, 0);
}

// 89: a bat with scalloped wings.
void bat(LevelDraft& d) {
    art(d, 25, 35, 10, 10,
        {
            "b.......b.a.......a",
            "xb.....bxxxa.....ax",
            "xxb...bxrxrxa...axx",
            "xxxxbxxxxxxxxxaxxxx",
            "d.dxxcdxxxxxcdxxc.c",
            ".......dxxxc.......",
            "........dxc........",
        });
    for (int i = 0; i < 10; i++) {
        place(d, 25 + 20 * i, 130 + 10 * (i % 2), GEMS[i % 3]);
    }
    fence(d, 160, 3, 1);
}

// 90: fireworks bursting over metal launch tubes.
void fireworks(LevelDraft& d) {
    const int bursts[4][3] = {{60, 60, 28}, {165, 50, 24}, {110, 110, 30}, {190, 130, 20}};
    for (int b = 0; b < 4; b++) {
        int cx = bursts[b][0], cy = bursts[b][1], r = bursts[b][2];
        place(d, cx - 7, cy - 7, T_STAR);
        ring(d, cx, cy, r, 22, GEMS[b % 3], b * 7);
        ring(d, cx, cy, r / 2 + 3, 8, GEMS[(b + 1) % 3], b * 11);
    }
    for (int t = 0; t < 5; t++) {
        lineDown(d, 30 + 42 * t, 165, 3, T_METAL);
        place(d, 30 + 42 * t, 155, T_HALF_TILE);
    }
}

// 91: a skull over crossed metal bones.
void crossbones(LevelDraft& d) {
    for (int k = 0; k < 12; k++) {
        place(d, 45 + 12 * k, 100 + 5 * k, T_METAL);
    }
    for (int k = 0; k < 12; k++) {
        placeIfFits(d, 185 - 12 * k, 100 + 5 * k, T_METAL);
    }
    place(d, 32, 93, T_PEARL);
    place(d, 198, 93, T_PEARL);
    place(d, 32, 160, T_PEARL);
    place(d, 198, 160, T_PEARL);
    art(d, 70, 25, 10, 10,
        {
            "..bWWWWa..",
            ".bW....Wa.",
            ".W.rr.rrW.",
            ".W.rr.rrW.",
            ".dW..x.Wc.",
            "..WoWWoW..",
        });
    for (int i = 0; i < 9; i++) {
        place(d, 78 + 10 * i, 88, GEMS[i % 3]);
    }
}

// 92: lozenges in diamond-shaped metal cages, each open at the bottom point and one lower side.
void diamondCages(LevelDraft& d) {
    for (int r = 0; r < 3; r++) {
        for (int c = 0; c < 3; c++) {
            int cx = 50 + 70 * c, cy = 45 + 55 * r;
            for (int j = -2; j <= 2; j++) {
                for (int i = -2; i <= 2; i++) {
                    bool door = (i == 0 && j == 2) || (j == 1 && i == ((r + c) % 2 ? 1 : -1));
                    if (std::abs(i) + std::abs(j) == 2 && !door) {
                        place(d, cx - 5 + 10 * i, cy - 5 + 10 * j, T_METAL);
                    }
                }
            }
            place(d, cx - 5, cy - 5, T_LOZENGE);
            place(d, cx - 13, cy - 2, GEMS[(r + c) % 3]);
            place(d, cx + 8, cy - 2, GEMS[(r + c + 1) % 3]);
            place(d, cx - 2, cy + 8, GEMS[(r + c) % 3]);
        }
    }
}

// 93: "ACE" in lozenges, "RUSH" in gems beneath, metal ledges at the sides.
void aceRush(LevelDraft& d) {
    lettering(d, 35, 30, "ACE", 10, T_LOZENGE);
    lettering(d, 48, 120, "RUSH", 5, T_RUBY);
    lineAcross(d, 10, 110, 3, T_METAL);
    lineAcross(d, 200, 110, 3, T_METAL);
    lineAcross(d, 10, 165, 4, T_METAL);
    lineAcross(d, 190, 165, 4, T_METAL);
}

// 94: a windmill.
void windmill(LevelDraft& d) {
    place(d, 113, 70, T_ORB);
    art(d, 90, 95, 10, 10, {"..MM..", ".bWWa.", ".WRRW.", ".W..W.", "bWWWWa", "MMMMMM"});
    for (int k = 1; k <= 5; k++) {
        placeIfFits(d, 113 - 11 * k, 70 - 8 * k, T_PEARL);
        placeIfFits(d, 117 + 11 * k, 70 - 8 * k, T_PEARL);
        placeIfFits(d, 113 - 11 * k, 84 + 8 * k, T_LOZENGE);
        placeIfFits(d, 117 + 11 * k, 84 + 8 * k, T_LOZENGE);
    }
    for (int i = 0; i < 19; i++) {
        place(d, 15 + 11 * i, 170, GEMS[1]);
    }
}

// 95: a maze with a single way in.
void mazeSingle(LevelDraft& d) {
    auto rooms = maze(d, 10, 45, 7, 4, 20, 1, 10);
    furnishRooms(d, rooms, 20, 5);
}

// 96: a space station: a metal ring with gates, modules around it.
void spaceStation(LevelDraft& d) {
    ring(d, 120, 95, 45, 26, T_METAL, 0);
    removeAt(d, 120, 140);
    removeAt(d, 75, 95);
    removeAt(d, 165, 95);
    place(d, 113, 88, T_ORB);
    ring(d, 120, 95, 25, 12, T_HALF_TILE, 0);
    for (int side = -1; side <= 1; side += 2) {
        for (int k = 0; k < 3; k++) {
            place(d, 120 + side * 75 - 10, 40 + 40 * k, T_TILE_BLUE);
            place(d, 120 + side * 75, 40 + 40 * k, T_TILE_WHITE);
            place(d, 120 + side * 75 - 5, 52 + 40 * k, GEMS[k]);
        }
    }
    for (int i = 0; i < 12; i++) {
        place(d, 55 + 11 * i, 172, GEMS[i % 3]);
    }
}

// 97: a citadel: nested metal rings with gates on alternate sides, corridors of gems between.
void citadel(LevelDraft& d) {
    outline(d, 20, 25, 20, 16, T_METAL);
    removeAt(d, 115, 175);
    removeAt(d, 125, 175);
    outline(d, 50, 55, 14, 10, T_METAL);
    removeAt(d, 55, 85);
    removeAt(d, 55, 95);
    removeAt(d, 55, 105);
    outline(d, 80, 85, 8, 4, T_METAL);
    removeAt(d, 155, 95);
    removeAt(d, 155, 105);
    for (int i = 0; i < 16; i++) {
        place(d, 33 + 11 * i, 42, GEMS[i % 3]);
        place(d, 33 + 11 * i, 162, GEMS[(i + 1) % 3]);
    }
    for (int j = 0; j < 10; j++) {
        place(d, 37, 55 + 11 * j, GEMS[j % 3]);
        place(d, 198, 55 + 11 * j, GEMS[(j + 2) % 3]);
    }
    for (int i = 0; i < 11; i++) {
        place(d, 63 + 11 * i, 72, T_RUBY);
        place(d, 63 + 11 * i, 132, T_SAPPHIRE);
    }
    for (int j = 0; j < 4; j++) {
        place(d, 67, 88 + 11 * j, T_EMERALD);
        place(d, 168, 88 + 11 * j, T_EMERALD);
    }
    place(d, 92, 95, T_BRICK_YELLOW);
    place(d, 92, 110, T_BRICK_YELLOW);
    place(d, 117, 97, T_ORB);
    place(d, 137, 100, T_PEARL);
}

// 98: the game's name in gems inside a metal frame.
void nameInGems(LevelDraft& d) {
    lettering(d, 18, 60, "PLINKOR", 5, T_RUBY);
    for (int i = 0; i < 21; i++) {
        place(d, 10 + 10 * i + 5, 40, i % 4 == 0 ? T_METAL : T_HALF_TILE);
        place(d, 10 + 10 * i + 5, 110, i % 4 == 2 ? T_METAL : T_HALF_TILE);
    }
    for (int i = 0; i < 19; i++) {
        place(d, 16 + 11 * i, 130, GEMS[i % 3]);
        place(d, 21 + 11 * i, 140, GEMS[(i + 1) % 3]);
    }
}

// 99: the grand vault: a switchback of metal floors, each with one gate, up to a crown of treasure.
void grandVault(LevelDraft& d) {
    const int floors[3] = {65, 105, 145};
    for (int f = 0; f < 3; f++) {
        bool gateLeft = f % 2 == 0;
        for (int i = 0; i < 22; i++) {
            bool gate = gateLeft ? (i >= 1 && i <= 3) : (i >= 18 && i <= 20);
            gate = gate || (f == 1 && (i == 10 || i == 11)) || (f == 0 && i >= 18 && i <= 20);
            if (!gate) {
                place(d, 10 + 10 * i, floors[f], T_METAL);
            }
        }
        for (int i = 0; i < 19; i++) {
            int x = 17 + 11 * i;
            if (fits(d, x, floors[f] - 8, GEMS[0])) {
                place(d, x, floors[f] - 8, GEMS[(i + f) % 3]);
            }
        }
        if (f == 0) {
            continue;
        }
        for (int p = 0; p < 3; p++) {
            place(d, 55 + 60 * p + (f % 2) * 30, floors[f] - 20, T_METAL);
        }
        for (int i = 0; i < 6; i++) {
            placeIfFits(d, 25 + 35 * i + (f % 2) * 10, floors[f] - 32, BRICKS[(i + f) % 6]);
        }
    }
    place(d, 113, 20, T_STAR);
    place(d, 83, 26, T_STAR);
    place(d, 143, 26, T_STAR);
    place(d, 98, 38, T_ORB);
    place(d, 128, 38, T_ORB);
    for (int i = 0; i < 7; i++) {
        place(d, 30 + 8 * i, 45, GEMS[i % 3]);
        place(d, 156 + 8 * i, 45, GEMS[(i + 1) % 3]);
    }
}

void (*const designs[25])(LevelDraft&) = {
    apple, bell, crossroads, masonry, crab, arches,
    planet, hourglass, bam, lighthouse, mazePearls, islands,
    house, tileWall, bat, fireworks, crossbones, diamondCages,
    aceRush, windmill, mazeSingle, spaceStation, citadel, nameInGems,
    grandVault,
};

}  // namespace

void designFinalLevel(LevelDraft& d) {
    designs[d.index - 75](d);
}

}  // namespace levelset
