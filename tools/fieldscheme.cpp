// The shared play field: wall geometry, the collision map picture and the background picture drawn over it.
#include "fieldscheme.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "canvas.h"

namespace levelset {

namespace {

// Wall thicknesses and the fixed features (pixels).
const int SIDE_WALL = 10;       // left wall x 0..9, right wall x 230..239
const int TOP_WALL = 12;        // rows 0..11
const int CORNER_BEVEL = 12;    // 45-degree fillets in both top corners
const int DEFLECTOR_ROW = 212;  // centre row of the two side deflectors
const int DEFLECTOR_DEPTH = 7;  // how far they reach into the field
const int GROOVE_PERIOD = 16;   // rows from one groove in the side walls to the next

// A small hash for texture noise, so the picture is the same on every machine.
int noise(int x, int y) {
    uint32_t h = (uint32_t)x * 374761393u + (uint32_t)y * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return (int)((h ^ (h >> 16)) & 0xFF);
}

Rgb add(Rgb c, int dr, int dg, int db) {
    return Rgb{(uint8_t)std::clamp(c.r + dr, 0, 255), (uint8_t)std::clamp(c.g + dg, 0, 255),
               (uint8_t)std::clamp(c.b + db, 0, 255)};
}

// Chebyshev distance from a wall pixel to the nearest free pixel, up to `limit` (limit when none is near).
int depthInWall(int x, int y, int limit) {
    for (int d = 1; d < limit; d++) {
        for (int j = -d; j <= d; j++) {
            for (int i = -d; i <= d; i++) {
                if (std::max(std::abs(i), std::abs(j)) != d) {
                    continue;
                }
                int px = x + i, py = y + j;
                if (px >= 0 && py >= 0 && px < FIELD_WIDTH && py < FIELD_HEIGHT - 1 && !fieldWall(px, py)) {
                    return d;
                }
            }
        }
    }
    return limit;
}

// Distance from a free pixel to the nearest wall, up to `limit`.
int distanceToWall(int x, int y, int limit) {
    for (int d = 1; d < limit; d++) {
        for (int j = -d; j <= d; j++) {
            for (int i = -d; i <= d; i++) {
                if (std::max(std::abs(i), std::abs(j)) == d && fieldWall(x + i, y + j)) {
                    return d;
                }
            }
        }
    }
    return limit;
}

Rgb wallColour(int x, int y) {
    int depth = depthInWall(x, y, 5);
    if (depth == 1) {
        return Rgb{178, 202, 246};
    }
    if (depth == 2) {
        return Rgb{124, 148, 206};
    }
    if (depth == 3) {
        return Rgb{88, 108, 164};
    }
    bool sideWall = y >= TOP_WALL && (x < SIDE_WALL || x >= FIELD_WIDTH - SIDE_WALL);
    // The lives tray: a recessed channel along the top wall where the game draws the life marks.
    if (y >= 1 && y <= 8 && x >= 6 && x <= FIELD_WIDTH - 3) {
        if (y == 1) {
            return Rgb{28, 34, 58};
        }
        if (y == 8) {
            return Rgb{112, 132, 186};
        }
        return add(Rgb{22, 28, 50}, 0, 0, (noise(x, y) & 7));
    }
    if (sideWall) {
        int local = y % 40;
        if (local == 0) {
            return Rgb{34, 44, 74};
        }
        if (local == 1) {
            return Rgb{104, 124, 176};
        }
        int rivetX = x < SIDE_WALL ? 4 : FIELD_WIDTH - 5;
        if (local >= 19 && local <= 21 && x >= rivetX - 1 && x <= rivetX + 1) {
            int i = x - rivetX, j = local - 20;
            if (i + j < 0) {
                return Rgb{196, 214, 250};
            }
            if (i + j > 0) {
                return Rgb{40, 50, 82};
            }
            return Rgb{140, 160, 214};
        }
    }
    if (x == 0 || x == FIELD_WIDTH - 1 || y == 0) {
        return Rgb{40, 50, 84};
    }
    int brush = ((noise(x / 3, y) & 15) - 8) + ((x + y) % 4 == 0 ? 4 : 0);
    return add(Rgb{64, 82, 130}, brush, brush, brush + 2);
}

Rgb fieldColour(int x, int y) {
    double t = (double)y / FIELD_HEIGHT;
    Rgb c{(uint8_t)std::lround(15 - 9 * t), (uint8_t)std::lround(17 - 10 * t), (uint8_t)std::lround(40 - 22 * t)};
    // A faint diamond lattice with brighter dots where its lines cross.
    int a = (x + y) % 24, b = (x - y + 480) % 24;
    if (a == 0 && b == 0) {
        c = add(c, 26, 30, 58);
    } else if (a == 0 || b == 0) {
        c = add(c, 6, 7, 15);
    }
    // A sprinkle of dim specks.
    if (noise(x, y) > 252) {
        c = add(c, 18, 20, 34);
    }
    // Light spilling from the walls onto the field.
    int d = distanceToWall(x, y, 7);
    if (d < 7) {
        int spill = (7 - d) * 5;
        c = add(c, spill / 2, spill * 2 / 3, spill);
    }
    return c;
}

}  // namespace

bool fieldWall(int x, int y) {
    if (x < 0 || y < 0 || x >= FIELD_WIDTH || y >= FIELD_HEIGHT - 1) {
        return false;
    }
    if (y < TOP_WALL) {
        return true;
    }
    // Shallow saw-tooth grooves in the side walls' faces: a ball flying level between the walls meets
    // a slanted edge sooner or later and is turned, instead of bouncing across for ever.
    int phase = y % GROOVE_PERIOD;
    bool plainFace = y < 30 || std::abs(y - DEFLECTOR_ROW) < 2 * DEFLECTOR_DEPTH + 2;
    int groove = (phase < 6 && !plainFace) ? (phase + 2) / 2 : 0;
    if (x < SIDE_WALL - groove || x >= FIELD_WIDTH - SIDE_WALL + groove) {
        return true;
    }
    if (x < SIDE_WALL || x >= FIELD_WIDTH - SIDE_WALL) {
        return false;
    }
    int inX = x - SIDE_WALL, inY = y - TOP_WALL, fromRight = FIELD_WIDTH - SIDE_WALL - 1 - x;
    if (inX + inY < CORNER_BEVEL || fromRight + inY < CORNER_BEVEL) {
        return true;
    }
    // Two deflectors low on the side walls turn a ball sliding down a wall back towards the middle.
    int reach = DEFLECTOR_DEPTH - std::abs(y - DEFLECTOR_ROW) / 2;
    if (reach > 0 && (inX < reach || fromRight < reach)) {
        return true;
    }
    return false;
}

bool writeFieldScheme(const std::string& dataDir) {
    // Collision map: index 0 black (free), index 1 pure blue (wall); nothing with red or green.
    std::vector<uint8_t> indices((size_t)FIELD_WIDTH * FIELD_HEIGHT, 0);
    for (int y = 0; y < FIELD_HEIGHT; y++) {
        for (int x = 0; x < FIELD_WIDTH; x++) {
            indices[(size_t)y * FIELD_WIDTH + x] = fieldWall(x, y) ? 1 : 0;
        }
    }
    for (int y = 0; y < FIELD_HEIGHT - 1; y++) {
        if (!fieldWall(0, y) || !fieldWall(FIELD_WIDTH - 1, y)) {
            fprintf(stderr, "plinkor-gen: the side walls have a hole at row %d\n", y);
            return false;
        }
    }
    for (int x = 0; x < FIELD_WIDTH; x++) {
        if (!fieldWall(x, 0) || fieldWall(x, FIELD_HEIGHT - 1)) {
            fprintf(stderr, "plinkor-gen: the top wall or the bottom row is wrong at column %d\n", x);
            return false;
        }
    }
    if (!writePngPalette(dataDir + "scheme5.png", FIELD_WIDTH, FIELD_HEIGHT, indices,
                         {Rgb{0, 0, 0}, Rgb{0, 0, 255}})) {
        return false;
    }
    Canvas v = makeCanvas(FIELD_WIDTH, FIELD_HEIGHT, Rgb{0, 0, 0});
    for (int y = 0; y < FIELD_HEIGHT; y++) {
        for (int x = 0; x < FIELD_WIDTH; x++) {
            bool wall = y == FIELD_HEIGHT - 1 ? fieldWall(x, y - 1) : fieldWall(x, y);
            canvasSet(v, x, y, wall ? wallColour(x, std::min(y, FIELD_HEIGHT - 2)) : fieldColour(x, y));
        }
    }
    // Soft coloured light over the open field, kept dark so the blocks stand out in every recolouring.
    Canvas glow = makeCanvas(FIELD_WIDTH, FIELD_HEIGHT, Rgb{0, 0, 0});
    addGlow(glow, 120, 96, 130, Rgb{44, 30, 96}, 80);
    addGlow(glow, 52, 250, 90, Rgb{12, 56, 80}, 60);
    addGlow(glow, 196, 236, 80, Rgb{60, 22, 70}, 50);
    for (int y = 0; y < FIELD_HEIGHT; y++) {
        for (int x = 0; x < FIELD_WIDTH; x++) {
            if (!fieldWall(x, std::min(y, FIELD_HEIGHT - 2))) {
                Rgb g = canvasGet(glow, x, y);
                canvasAdd(v, x, y, g, 255);
            }
        }
    }
    return writePngRgb(dataDir + "scheme5v.png", v);
}

}  // namespace levelset
