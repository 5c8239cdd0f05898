// Level drafts: block placement by the editor's fit rule, patterns, the reachability proof and the file writer.
#include "leveldraft.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "blockset.h"
#include "fieldscheme.h"

namespace levelset {

namespace {

const int MAX_RECORDS = 1000;
const int BALL_REACH = 3;  // the 7 x 7 ball reaches 3 pixels from its centre
// Serve area: the ball appears at x 56..183 and, depending on difficulty, y 207..228.
const int SERVE_LEFT = 56, SERVE_RIGHT = 183, SERVE_TOP = 207, SERVE_BOTTOM = 228;

size_t at(int x, int y) {
    return (size_t)y * FIELD_WIDTH + x;
}

// 5 x 7 capitals, digits and signs; '#' is a dot.
struct Glyph {
    char code;
    const char* rows[7];
};
const Glyph glyphs[] = {
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"}},
    {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {".###.", "#....", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "....#", ".###."}},
    {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
    {'?', {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."}},
    {'+', {".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."}},
    {'-', {".....", ".....", ".....", "#####", ".....", ".....", "....."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".....", "..#.."}},
};

const Glyph* glyphFor(char c) {
    for (const Glyph& g : glyphs) {
        if (g.code == c) {
            return &g;
        }
    }
    return nullptr;
}

void note(LevelDraft& d, const char* format, int a, int b, int c) {
    if (d.problem.empty()) {
        char text[200];
        snprintf(text, sizeof text, format, a, b, c);
        d.problem = text;
    }
}

// Summed-area table over a FIELD_WIDTH x FIELD_HEIGHT mask, for quick window counts.
struct AreaSums {
    std::vector<int> sums;  // (FIELD_WIDTH + 1) x (FIELD_HEIGHT + 1)
    void build(const std::vector<uint8_t>& mask) {
        sums.assign((size_t)(FIELD_WIDTH + 1) * (FIELD_HEIGHT + 1), 0);
        for (int y = 0; y < FIELD_HEIGHT; y++) {
            int rowSum = 0;
            for (int x = 0; x < FIELD_WIDTH; x++) {
                rowSum += mask[at(x, y)];
                sums[(size_t)(y + 1) * (FIELD_WIDTH + 1) + x + 1] = sums[(size_t)y * (FIELD_WIDTH + 1) + x + 1] + rowSum;
            }
        }
    }
    // Count in the window x0..x1, y0..y1 inclusive, clipped to the field.
    int count(int x0, int y0, int x1, int y1) const {
        x0 = std::max(x0, 0);
        y0 = std::max(y0, 0);
        x1 = std::min(x1, FIELD_WIDTH - 1);
        y1 = std::min(y1, FIELD_HEIGHT - 1);
        if (x0 > x1 || y0 > y1) {
            return 0;
        }
        auto s = [this](int x, int y) { return sums[(size_t)y * (FIELD_WIDTH + 1) + x]; };
        return s(x1 + 1, y1 + 1) - s(x0, y1 + 1) - s(x1 + 1, y0) + s(x0, y0);
    }
};

}  // namespace

void beginDraft(LevelDraft& d, int index) {
    d.index = index;
    d.blocks.clear();
    d.used.assign((size_t)FIELD_WIDTH * FIELD_HEIGHT, 0);
    d.problem.clear();
    d.randomState = 0x9E3779B9u ^ (uint32_t)(index + 1) * 2654435761u;
}

int draftRandom(LevelDraft& d, int n) {
    // xorshift32: small, fixed, and the same everywhere.
    uint32_t s = d.randomState;
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    d.randomState = s;
    return n <= 1 ? 0 : (int)(s % (uint32_t)n);
}

bool fits(const LevelDraft& d, int x, int y, int type) {
    if (type < 0 || type >= BLOCK_TYPE_COUNT) {
        return false;
    }
    const BlockCell& cell = blockCell(type);
    if (x < 0 || y < 0 || x + cell.width > FIELD_WIDTH || y + cell.height > BLOCK_BOTTOM_LIMIT) {
        return false;
    }
    for (int dy = 0; dy < cell.height; dy++) {
        for (int dx = 0; dx < cell.width; dx++) {
            if (d.used[at(x + dx, y + dy)]) {
                return false;
            }
            if (blockPixel(type, dx, dy) && fieldWall(x + dx, y + dy)) {
                return false;
            }
        }
    }
    return true;
}

static void commit(LevelDraft& d, int x, int y, int type) {
    const BlockCell& cell = blockCell(type);
    for (int dy = 0; dy < cell.height; dy++) {
        for (int dx = 0; dx < cell.width; dx++) {
            d.used[at(x + dx, y + dy)] = 1;
        }
    }
    d.blocks.push_back(PlacedBlock{x, y, type, 0});
}

bool place(LevelDraft& d, int x, int y, int type) {
    if (!fits(d, x, y, type)) {
        note(d, "block of type %d at (%d, %d) does not fit", type, x, y);
        return false;
    }
    commit(d, x, y, type);
    return true;
}

bool placeIfFits(LevelDraft& d, int x, int y, int type) {
    if (!fits(d, x, y, type)) {
        return false;
    }
    commit(d, x, y, type);
    return true;
}

void placeMirrored(LevelDraft& d, int x, int y, int type) {
    int width = blockCell(type).width;
    int mx = FIELD_WIDTH - x - width;
    place(d, x, y, type);
    if (mx != x) {
        place(d, mx, y, mirroredType(type));
    }
}

int removeAt(LevelDraft& d, int x, int y) {
    int removed = 0;
    for (size_t i = 0; i < d.blocks.size();) {
        const PlacedBlock& b = d.blocks[i];
        const BlockCell& cell = blockCell(b.type);
        if (x >= b.x && x < b.x + cell.width && y >= b.y && y < b.y + cell.height) {
            for (int dy = 0; dy < cell.height; dy++) {
                for (int dx = 0; dx < cell.width; dx++) {
                    d.used[at(b.x + dx, b.y + dy)] = 0;
                }
            }
            d.blocks.erase(d.blocks.begin() + (long)i);
            removed++;
        } else {
            i++;
        }
    }
    return removed;
}

int artType(char c) {
    switch (c) {
        case 'M': return T_METAL;
        case '1': return T_BRICK_RED;
        case '2': return T_BRICK_ORANGE;
        case '3': return T_BRICK_YELLOW;
        case '4': return T_BRICK_GREEN;
        case '5': return T_BRICK_BLUE;
        case '6': return T_BRICK_VIOLET;
        case '=': return T_BAR;
        case 'R': return T_TILE_RED;
        case 'Y': return T_TILE_YELLOW;
        case 'G': return T_TILE_GREEN;
        case 'B': return T_TILE_BLUE;
        case 'W': return T_TILE_WHITE;
        case 'h': return T_HALF_TILE;
        case 'r': return T_RUBY;
        case 'e': return T_EMERALD;
        case 's': return T_SAPPHIRE;
        case 'o': return T_PEARL;
        case 'O': return T_ORB;
        case 'x': return T_LOZENGE;
        case 'a': return T_RED_WEDGE_DL;
        case 'b': return T_RED_WEDGE_DR;
        case 'c': return T_RED_WEDGE_UL;
        case 'd': return T_RED_WEDGE_UR;
        case 'i': return T_GREEN_WEDGE_DL;
        case 'j': return T_GREEN_WEDGE_DR;
        case 'k': return T_GREEN_WEDGE_UL;
        case 'l': return T_GREEN_WEDGE_UR;
        case 'H': return T_HEX;
        case '*': return T_STAR;
        default: return -1;
    }
}

void art(LevelDraft& d, int x0, int y0, int cellW, int cellH, std::initializer_list<const char*> rows,
         bool clipped) {
    int r = 0;
    for (const char* line : rows) {
        for (int c = 0; line[c] != 0; c++) {
            if (line[c] == '.' || line[c] == ' ') {
                continue;
            }
            int type = artType(line[c]);
            if (type < 0) {
                note(d, "unknown picture character %d in row %d column %d", line[c], r, c);
                continue;
            }
            const BlockCell& cell = blockCell(type);
            int x = x0 + c * cellW + (cellW - cell.width) / 2;
            int y = y0 + r * cellH + (cellH - cell.height) / 2;
            if (clipped) {
                placeIfFits(d, x, y, type);
            } else {
                place(d, x, y, type);
            }
        }
        r++;
    }
}

void artMirrored(LevelDraft& d, int x0, int y0, int cellW, int cellH, std::initializer_list<const char*> rows) {
    int r = 0;
    for (const char* line : rows) {
        for (int c = 0; line[c] != 0; c++) {
            int type = artType(line[c]);
            if (line[c] == '.' || line[c] == ' ') {
                continue;
            }
            if (type < 0) {
                note(d, "unknown picture character %d in row %d column %d", line[c], r, c);
                continue;
            }
            const BlockCell& cell = blockCell(type);
            placeMirrored(d, x0 + c * cellW + (cellW - cell.width) / 2, y0 + r * cellH + (cellH - cell.height) / 2,
                          type);
        }
        r++;
    }
}

int letteringWidth(const char* text, int cell) {
    int n = (int)strlen(text);
    return n == 0 ? 0 : (n * 6 - 1) * cell;
}

int lettering(LevelDraft& d, int x0, int y0, const char* text, int cell, int type, bool clipped) {
    int x = x0;
    for (const char* p = text; *p != 0; p++) {
        const Glyph* g = glyphFor(*p);
        if (g == nullptr && *p != ' ') {
            note(d, "no letter for character %d at %d, %d", *p, x, y0);
        }
        if (g != nullptr) {
            const BlockCell& c = blockCell(type);
            for (int r = 0; r < 7; r++) {
                for (int k = 0; k < 5; k++) {
                    if (g->rows[r][k] == '#') {
                        int bx = x + k * cell + (cell - c.width) / 2, by = y0 + r * cell + (cell - c.height) / 2;
                        if (clipped) {
                            placeIfFits(d, bx, by, type);
                        } else {
                            place(d, bx, by, type);
                        }
                    }
                }
            }
        }
        x += 6 * cell;
    }
    return x - x0 - cell;
}

void ring(LevelDraft& d, int cx, int cy, int radius, int count, int type, double startDegrees) {
    const BlockCell& cell = blockCell(type);
    for (int i = 0; i < count; i++) {
        double a = (startDegrees + 360.0 * i / count) * M_PI / 180.0;
        int x = (int)std::lround(cx + radius * cos(a) - cell.width / 2.0);
        int y = (int)std::lround(cy + radius * sin(a) - cell.height / 2.0);
        placeIfFits(d, x, y, type);
    }
}

void row(LevelDraft& d, int x0, int y, int count, int stepX, int type) {
    for (int i = 0; i < count; i++) {
        place(d, x0 + i * stepX, y, type);
    }
}

void lineAcross(LevelDraft& d, int x, int y, int count, int type) {
    row(d, x, y, count, blockCell(type).width, type);
}

void lineDown(LevelDraft& d, int x, int y, int count, int type) {
    int step = blockCell(type).height;
    for (int i = 0; i < count; i++) {
        place(d, x, y + i * step, type);
    }
}

void arc(LevelDraft& d, int cx, int cy, int radius, double a0, double a1, int count, int type) {
    const BlockCell& cell = blockCell(type);
    for (int i = 0; i < count; i++) {
        double a = (count == 1 ? a0 : a0 + (a1 - a0) * i / (count - 1)) * M_PI / 180.0;
        int x = (int)std::lround(cx + radius * cos(a) - cell.width / 2.0);
        int y = (int)std::lround(cy + radius * sin(a) - cell.height / 2.0);
        placeIfFits(d, x, y, type);
    }
}

void beads(LevelDraft& d, int x0, int y0, int scale, std::initializer_list<const char*> rows) {
    int r = 0;
    for (const char* line : rows) {
        for (int c = 0; line[c] != 0; c++) {
            if (line[c] == '.' || line[c] == ' ') {
                continue;
            }
            int type = artType(line[c]);
            if (type < 0) {
                note(d, "unknown bead character %d in row %d column %d", line[c], r, c);
                continue;
            }
            for (int j = 0; j < scale; j++) {
                for (int i = 0; i < scale; i++) {
                    place(d, x0 + (c * scale + i) * 5, y0 + (r * scale + j) * 5, type);
                }
            }
        }
        r++;
    }
}

std::vector<std::pair<int, int>> maze(LevelDraft& d, int x0, int y0, int cols, int rows, int room, int openings,
                                      int loops) {
    const int wall = 10;
    const int period = room + wall;
    if (room % wall != 0 || cols < 1 || rows < 1) {
        note(d, "maze rooms of %d pixels in %d x %d do not tile with metal plates", room, cols, rows);
        return {};
    }
    // Walls between rooms: right[r][c] is the wall east of room (c, r), down[r][c] the wall south of it.
    std::vector<uint8_t> right((size_t)rows * cols, 1), down((size_t)rows * cols, 1), seen((size_t)rows * cols, 0);
    std::vector<int> stack;
    int start = draftRandom(d, rows * cols);
    stack.push_back(start);
    seen[(size_t)start] = 1;
    while (!stack.empty()) {
        int cur = stack.back();
        int r = cur / cols, c = cur % cols;
        int options[4], n = 0;
        if (c > 0 && !seen[(size_t)cur - 1]) options[n++] = 0;
        if (c < cols - 1 && !seen[(size_t)cur + 1]) options[n++] = 1;
        if (r > 0 && !seen[(size_t)(cur - cols)]) options[n++] = 2;
        if (r < rows - 1 && !seen[(size_t)(cur + cols)]) options[n++] = 3;
        if (n == 0) {
            stack.pop_back();
            continue;
        }
        int choice = options[draftRandom(d, n)];
        int next = choice == 0 ? cur - 1 : choice == 1 ? cur + 1 : choice == 2 ? cur - cols : cur + cols;
        if (choice == 0) right[(size_t)cur - 1] = 0;
        if (choice == 1) right[(size_t)cur] = 0;
        if (choice == 2) down[(size_t)(cur - cols)] = 0;
        if (choice == 3) down[(size_t)cur] = 0;
        seen[(size_t)next] = 1;
        stack.push_back(next);
    }
    for (int i = 0, guard = 0; i < loops && guard < 1000; guard++) {
        int cur = draftRandom(d, rows * cols);
        int r = cur / cols, c = cur % cols;
        if (draftRandom(d, 2) == 0 && c < cols - 1 && right[(size_t)cur]) {
            right[(size_t)cur] = 0;
            i++;
        } else if (r < rows - 1 && down[(size_t)cur]) {
            down[(size_t)cur] = 0;
            i++;
        }
    }
    // Bottom openings: spread over the columns.
    std::vector<uint8_t> bottomOpen((size_t)cols, 0);
    for (int i = 0; i < openings && i < cols; i++) {
        int c = (int)(((long)(2 * i + 1) * cols) / (2L * openings));
        bottomOpen[(size_t)c] = 1;
    }
    auto plate = [&](int px, int py) { place(d, px, py, T_METAL); };
    int width = cols * period + wall, height = rows * period + wall;
    // Outer frame.
    for (int x = 0; x < width; x += wall) {
        plate(x0 + x, y0);
        int c = (x - wall) / period;
        bool opening = x >= wall && (x - wall) % period < room && c < cols && bottomOpen[(size_t)c];
        if (!opening) {
            plate(x0 + x, y0 + height - wall);
        }
    }
    for (int y = wall; y < height - wall; y += wall) {
        plate(x0, y0 + y);
        plate(x0 + width - wall, y0 + y);
    }
    // Inner posts and walls.
    for (int r = 0; r < rows; r++) {
        for (int c = 0; c < cols; c++) {
            int rx = x0 + wall + c * period, ry = y0 + wall + r * period;
            if (c < cols - 1 && right[(size_t)(r * cols + c)]) {
                for (int y = 0; y < room; y += wall) {
                    plate(rx + room, ry + y);
                }
            }
            if (r < rows - 1 && down[(size_t)(r * cols + c)]) {
                for (int x = 0; x < room; x += wall) {
                    plate(rx + x, ry + room);
                }
            }
            if (r < rows - 1 && c < cols - 1) {
                plate(rx + room, ry + room);
            }
        }
    }
    std::vector<std::pair<int, int>> rooms;
    for (int r = 0; r < rows; r++) {
        for (int c = 0; c < cols; c++) {
            rooms.emplace_back(x0 + wall + c * period, y0 + wall + r * period);
        }
    }
    return rooms;
}

LevelFacts levelFacts(const LevelDraft& d) {
    LevelFacts f{};
    f.blocks = (int)d.blocks.size();
    for (const PlacedBlock& b : d.blocks) {
        if (b.type == T_METAL) {
            f.metal++;
        } else {
            f.breakable++;
            f.debrisPixels += blockPixelCount(b.type);
            if (blockCell(b.type).width <= 5) {
                f.gems++;
            }
        }
        if (b.powerUp != 0) {
            f.powerUps++;
        }
    }
    const int innerWidth = 220;
    f.pileRows = (2 * f.debrisPixels + innerWidth - 1) / innerWidth;
    return f;
}

bool hidePowerUps(LevelDraft& d, const std::vector<int>& kinds) {
    std::vector<int> candidates;
    for (size_t i = 0; i < d.blocks.size(); i++) {
        if (d.blocks[i].type != T_METAL && d.blocks[i].powerUp == 0) {
            candidates.push_back((int)i);
        }
    }
    if (candidates.size() < kinds.size()) {
        return false;
    }
    for (int kind : kinds) {
        int pick = draftRandom(d, (int)candidates.size());
        d.blocks[(size_t)candidates[(size_t)pick]].powerUp = kind + 1;
        candidates.erase(candidates.begin() + pick);
    }
    return true;
}

bool checkDraft(const LevelDraft& d, std::string* why) {
    char text[200];
    if (!d.problem.empty()) {
        *why = d.problem;
        return false;
    }
    if (d.blocks.size() > (size_t)MAX_RECORDS) {
        *why = "more than 1000 blocks";
        return false;
    }
    // Bounds and the fit rule, from scratch: every block against the walls and every other block.
    std::vector<int> owner((size_t)FIELD_WIDTH * FIELD_HEIGHT, -1);
    std::vector<uint8_t> solid((size_t)FIELD_WIDTH * FIELD_HEIGHT, 0);
    for (int y = 0; y < FIELD_HEIGHT; y++) {
        for (int x = 0; x < FIELD_WIDTH; x++) {
            // The bottom row becomes the kill zone at level set-up: solid for the ball's path.
            solid[at(x, y)] = (fieldWall(x, y) || y == FIELD_HEIGHT - 1) ? 1 : 0;
        }
    }
    for (size_t i = 0; i < d.blocks.size(); i++) {
        const PlacedBlock& b = d.blocks[i];
        if (b.type < 0 || b.type >= BLOCK_TYPE_COUNT || b.powerUp < 0 || b.powerUp > 22) {
            snprintf(text, sizeof text, "block %zu has type %d and power-up %d", i, b.type, b.powerUp);
            *why = text;
            return false;
        }
        const BlockCell& cell = blockCell(b.type);
        if (b.x < 0 || b.y < 0 || b.x + cell.width > FIELD_WIDTH || b.y + cell.height > BLOCK_BOTTOM_LIMIT) {
            snprintf(text, sizeof text, "block %zu at (%d, %d) leaves the block area", i, b.x, b.y);
            *why = text;
            return false;
        }
        for (int dy = 0; dy < cell.height; dy++) {
            for (int dx = 0; dx < cell.width; dx++) {
                size_t p = at(b.x + dx, b.y + dy);
                if (owner[p] >= 0) {
                    snprintf(text, sizeof text, "blocks %d and %zu overlap at (%d, %d)", owner[p], i, b.x + dx, b.y + dy);
                    *why = text;
                    return false;
                }
                owner[p] = (int)i;
                if (blockPixel(b.type, dx, dy)) {
                    if (fieldWall(b.x + dx, b.y + dy)) {
                        snprintf(text, sizeof text, "block %zu at (%d, %d) overlaps a wall", i, b.x, b.y);
                        *why = text;
                        return false;
                    }
                    if (b.type == T_METAL) {
                        solid[p] = 1;
                    }
                }
            }
        }
    }
    // Ball centres whose 7 x 7 square is free of walls and metal; breakable blocks give way.
    AreaSums solidSums;
    solidSums.build(solid);
    std::vector<uint8_t> reached((size_t)FIELD_WIDTH * FIELD_HEIGHT, 0);
    auto free = [&](int x, int y) {
        return x - BALL_REACH >= 0 && y - BALL_REACH >= 0 && x + BALL_REACH < FIELD_WIDTH &&
               y + BALL_REACH < FIELD_HEIGHT &&
               solidSums.count(x - BALL_REACH, y - BALL_REACH, x + BALL_REACH, y + BALL_REACH) == 0;
    };
    std::vector<int> queue;
    for (int y = SERVE_TOP; y <= SERVE_BOTTOM; y++) {
        for (int x = SERVE_LEFT; x <= SERVE_RIGHT; x++) {
            if (free(x, y)) {
                reached[at(x, y)] = 1;
                queue.push_back((int)at(x, y));
            }
        }
    }
    if (queue.empty()) {
        *why = "the serve area is blocked";
        return false;
    }
    for (size_t head = 0; head < queue.size(); head++) {
        int x = queue[head] % FIELD_WIDTH, y = queue[head] / FIELD_WIDTH;
        const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& s : steps) {
            int nx = x + s[0], ny = y + s[1];
            if (nx >= 0 && ny >= 0 && nx < FIELD_WIDTH && ny < FIELD_HEIGHT && !reached[at(nx, ny)] && free(nx, ny)) {
                reached[at(nx, ny)] = 1;
                queue.push_back((int)at(nx, ny));
            }
        }
    }
    AreaSums reachSums;
    reachSums.build(reached);
    for (size_t i = 0; i < d.blocks.size(); i++) {
        const PlacedBlock& b = d.blocks[i];
        if (b.type == T_METAL) {
            continue;
        }
        const BlockCell& cell = blockCell(b.type);
        bool touched = false;
        for (int dy = 0; dy < cell.height && !touched; dy++) {
            for (int dx = 0; dx < cell.width && !touched; dx++) {
                if (blockPixel(b.type, dx, dy)) {
                    int px = b.x + dx, py = b.y + dy;
                    touched = reachSums.count(px - BALL_REACH, py - BALL_REACH, px + BALL_REACH, py + BALL_REACH) > 0;
                }
            }
        }
        if (!touched) {
            snprintf(text, sizeof text, "block %zu (type %d at %d, %d) cannot be reached by the ball", i, b.type, b.x, b.y);
            *why = text;
            return false;
        }
    }
    return true;
}

bool writeLevelFile(const std::string& path, const LevelDraft& d) {
    std::vector<uint8_t> bytes;
    bytes.reserve(d.blocks.size() * 12);
    for (const PlacedBlock& b : d.blocks) {
        const BlockCell& cell = blockCell(b.type);
        uint8_t r[12] = {(uint8_t)(b.x & 0xFF), (uint8_t)(b.x >> 8), (uint8_t)(b.y & 0xFF), (uint8_t)(b.y >> 8),
                         (uint8_t)b.type, (uint8_t)cell.width, (uint8_t)cell.height, 0, 0, 0,
                         (uint8_t)(b.powerUp & 0xFF), (uint8_t)(b.powerUp >> 8)};
        bytes.insert(bytes.end(), r, r + 12);
    }
    FILE* f = fopen(path.c_str(), "wb");
    if (f == nullptr) {
        fprintf(stderr, "plinkor-gen: cannot write %s\n", path.c_str());
        return false;
    }
    bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (fclose(f) == 0) && ok;
    if (!ok) {
        fprintf(stderr, "plinkor-gen: cannot finish %s\n", path.c_str());
    }
    return ok;
}

}  // namespace levelset
