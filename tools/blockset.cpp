// The block types of the level set: shapes, shading, the cell layout of "blocks5.png" and "blocks5.txt".
#include "blockset.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "canvas.h"

namespace levelset {

namespace {

enum Shape {
    SHAPE_PLATE,   // rectangle with the corner pixels cut
    SHAPE_STUD,    // likewise below a 2-pixel knob on top: no flat roof for a ball to bounce on for ever
    SHAPE_BRICK,   // likewise, with a brick's shading
    SHAPE_GEM,     // small diamond
    SHAPE_DISC,
    SHAPE_LOZENGE,
    SHAPE_WEDGE_DL,
    SHAPE_WEDGE_DR,
    SHAPE_WEDGE_UL,
    SHAPE_WEDGE_UR,
    SHAPE_HEX,
    SHAPE_STAR,
};

struct TypeStyle {
    const char* name;
    int width, height;  // pixels
    Shape shape;
    Rgb colour;
};

// File order. Colours are saturated and distinct so that every channel permutation of a level still
// tells the types apart; the metal plate is neutral grey and so stays metal under all of them.
const TypeStyle styles[BLOCK_TYPE_COUNT] = {
    {"metal plate", 10, 10, SHAPE_STUD, {150, 154, 162}},
    {"red brick", 20, 5, SHAPE_BRICK, {222, 44, 52}},
    {"orange brick", 20, 5, SHAPE_BRICK, {244, 132, 30}},
    {"yellow brick", 20, 5, SHAPE_BRICK, {236, 212, 44}},
    {"green brick", 20, 5, SHAPE_BRICK, {56, 200, 72}},
    {"blue brick", 20, 5, SHAPE_BRICK, {52, 112, 236}},
    {"violet brick", 20, 5, SHAPE_BRICK, {168, 72, 224}},
    {"teal bar", 30, 5, SHAPE_BRICK, {40, 192, 180}},
    {"red tile", 10, 10, SHAPE_PLATE, {210, 52, 52}},
    {"yellow tile", 10, 10, SHAPE_PLATE, {240, 200, 52}},
    {"green tile", 10, 10, SHAPE_PLATE, {72, 190, 84}},
    {"blue tile", 10, 10, SHAPE_PLATE, {64, 104, 224}},
    {"white tile", 10, 10, SHAPE_PLATE, {214, 216, 224}},
    {"half tile", 10, 5, SHAPE_BRICK, {246, 152, 44}},
    {"ruby", 5, 5, SHAPE_GEM, {255, 36, 76}},
    {"emerald", 5, 5, SHAPE_GEM, {36, 232, 112}},
    {"sapphire", 5, 5, SHAPE_GEM, {48, 96, 255}},
    {"pearl", 10, 10, SHAPE_DISC, {236, 222, 240}},
    {"amber orb", 15, 15, SHAPE_DISC, {242, 150, 32}},
    {"cyan lozenge", 10, 10, SHAPE_LOZENGE, {40, 200, 232}},
    {"red wedge down-left", 10, 10, SHAPE_WEDGE_DL, {214, 48, 56}},
    {"red wedge down-right", 10, 10, SHAPE_WEDGE_DR, {214, 48, 56}},
    {"red wedge up-left", 10, 10, SHAPE_WEDGE_UL, {214, 48, 56}},
    {"red wedge up-right", 10, 10, SHAPE_WEDGE_UR, {214, 48, 56}},
    {"green wedge down-left", 10, 10, SHAPE_WEDGE_DL, {72, 190, 84}},
    {"green wedge down-right", 10, 10, SHAPE_WEDGE_DR, {72, 190, 84}},
    {"green wedge up-left", 10, 10, SHAPE_WEDGE_UL, {72, 190, 84}},
    {"green wedge up-right", 10, 10, SHAPE_WEDGE_UR, {72, 190, 84}},
    {"rose hexagon", 15, 10, SHAPE_HEX, {232, 88, 144}},
    {"yellow star", 15, 15, SHAPE_STAR, {255, 228, 84}},
};

// The paddle pieces: left cap, middle piece (drawn every 3 pixels), right cap.
const BlockCell paddleLeft = {9, 0, 4, 11};
const BlockCell paddleMiddle = {13, 1, 3, 7};
const BlockCell paddleRight = {16, 0, 4, 11};

// The smallest component an opaque pixel may have as its brightest one: the picture loader turns a pixel
// whose components are all below 8 into the transparent key, and the gamma table darkens a little more.
const int MIN_OPAQUE_COMPONENT = 40;

struct BlockSetState {
    BlockCell cells[BLOCK_TYPE_COUNT];
    std::vector<uint8_t> masks[BLOCK_TYPE_COUNT];
    int pixelCounts[BLOCK_TYPE_COUNT];
    bool laidOut;
};
BlockSetState state;

bool starContains(double px, double py, double cx, double cy, double outer, double inner) {
    // Point in the 10-corner star polygon, by the crossing rule.
    double vx[10], vy[10];
    for (int i = 0; i < 10; i++) {
        double a = -M_PI / 2 + i * M_PI / 5;
        double r = (i % 2 == 0) ? outer : inner;
        vx[i] = cx + r * cos(a);
        vy[i] = cy + r * sin(a);
    }
    bool inside = false;
    for (int i = 0, j = 9; i < 10; j = i++) {
        if ((vy[i] > py) != (vy[j] > py) && px < (vx[j] - vx[i]) * (py - vy[i]) / (vy[j] - vy[i]) + vx[i]) {
            inside = !inside;
        }
    }
    return inside;
}

bool shapeContains(Shape shape, int w, int h, int x, int y) {
    bool corner = (x == 0 || x == w - 1) && (y == 0 || y == h - 1);
    double cx = w / 2.0, cy = h / 2.0;
    double px = x + 0.5, py = y + 0.5;
    switch (shape) {
        case SHAPE_PLATE:
        case SHAPE_BRICK:
            return !corner;
        case SHAPE_STUD:
            if (y < 2) {
                return x >= w / 2 - 2 && x <= w / 2 + 1;
            }
            return !((x == 0 || x == w - 1) && (y == 2 || y == h - 1));
        case SHAPE_GEM:
        case SHAPE_LOZENGE:
            return fabs(px - cx) / cx + fabs(py - cy) / cy <= 1.0 + 1e-9;
        case SHAPE_DISC: {
            double r = w / 2.0;
            return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= r * r + 0.3;
        }
        case SHAPE_WEDGE_DL:
            return x <= y;
        case SHAPE_WEDGE_DR:
            return w - 1 - x <= y;
        case SHAPE_WEDGE_UL:
            return x + y <= w - 1;
        case SHAPE_WEDGE_UR:
            return x >= y;
        case SHAPE_HEX: {
            int inset = (int)(fabs(py - cy) * 0.8);
            return x >= inset && x < w - inset;
        }
        case SHAPE_STAR:
            return starContains(px, py, cx, cy + 0.6, w / 2.0 + 0.3, w / 5.0);
    }
    return false;
}

Rgb scaled(Rgb c, double f) {
    auto s = [f](int v) { return (uint8_t)std::lround(std::fmin(255.0, std::fmax(0.0, v * f))); };
    return Rgb{s(c.r), s(c.g), s(c.b)};
}

Rgb mixed(Rgb a, Rgb b, double t) {
    auto m = [t](int u, int v) { return (uint8_t)std::lround(u + (v - u) * t); };
    return Rgb{m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

// Keeps an opaque pixel visible through the loader: its brightest component at least the minimum.
Rgb opaque(Rgb c) {
    int top = std::max(c.r, std::max(c.g, c.b));
    if (top >= MIN_OPAQUE_COMPONENT) {
        return c;
    }
    if (top == 0) {
        return Rgb{MIN_OPAQUE_COMPONENT, MIN_OPAQUE_COMPONENT, MIN_OPAQUE_COMPONENT};
    }
    return scaled(c, (double)MIN_OPAQUE_COMPONENT / top + 0.01);
}

bool maskAt(int type, int x, int y) {
    const TypeStyle& s = styles[type];
    if (x < 0 || y < 0 || x >= s.width || y >= s.height) {
        return false;
    }
    return state.masks[type][(size_t)y * s.width + x] != 0;
}

// The colour of one pixel of a type's cell: bevelled edges lit from the top left, a soft vertical
// gradient, and a few touches per shape (rivet, sparkle, highlight).
Rgb typePixel(int type, int x, int y) {
    const TypeStyle& s = styles[type];
    const Rgb white{255, 255, 255};
    bool litEdge = !maskAt(type, x - 1, y) || !maskAt(type, x, y - 1);
    bool darkEdge = !maskAt(type, x + 1, y) || !maskAt(type, x, y + 1);
    double gradient = 1.08 - 0.22 * (y + 0.5) / s.height;
    switch (s.shape) {
        case SHAPE_STUD: {
            if (litEdge) {
                return Rgb{226, 229, 236};
            }
            if (darkEdge) {
                return Rgb{76, 78, 88};
            }
            if ((x == 4 || x == 5) && (y == 5 || y == 6)) {
                // The rivet: lit above, shadowed below.
                return (x + y <= 9) ? Rgb{240, 242, 246} : Rgb{92, 94, 102};
            }
            bool innerRing = x == 1 || y == 3 || x == s.width - 2 || y == s.height - 2;
            int brush = ((x * 7 + y * 3) % 5 - 2) * 5;
            Rgb base = scaled(s.colour, gradient);
            if (innerRing) {
                base = scaled(base, 0.86);
            }
            return Rgb{(uint8_t)(base.r + brush), (uint8_t)(base.g + brush), (uint8_t)(base.b + brush)};
        }
        case SHAPE_PLATE:
            if (litEdge) {
                return mixed(s.colour, white, 0.5);
            }
            if (darkEdge) {
                return scaled(s.colour, 0.5);
            }
            if (x >= 3 && x <= 6 && y >= 3 && y <= 6) {
                // A slightly raised centre gives the tile a face.
                return scaled(s.colour, gradient * 1.06);
            }
            return scaled(s.colour, gradient * 0.92);
        case SHAPE_BRICK:
            if (y == 0 || litEdge) {
                return mixed(s.colour, white, 0.48);
            }
            if (y == s.height - 1 || darkEdge) {
                return scaled(s.colour, 0.52);
            }
            if (y == 1 && x > 1 && x < s.width - 3) {
                return mixed(s.colour, white, 0.18);
            }
            return scaled(s.colour, gradient);
        case SHAPE_GEM:
            if (x == 2 && y == 1) {
                return Rgb{255, 255, 255};
            }
            if (x + y <= 3) {
                return mixed(s.colour, white, 0.35);
            }
            if (x + y >= 5) {
                return scaled(s.colour, 0.6);
            }
            return s.colour;
        case SHAPE_DISC: {
            double r = s.width / 2.0;
            double nx = (x + 0.5 - r) / r, ny = (y + 0.5 - r) / r;
            double light = 0.55 + 0.55 * std::fmax(0.0, -0.6 * nx - 0.7 * ny + 0.4 * std::sqrt(std::fmax(0.0, 1.0 - nx * nx - ny * ny)));
            Rgb c = scaled(s.colour, light);
            double sx = nx + 0.38, sy = ny + 0.38;
            double spot = std::fmax(0.0, 1.0 - (sx * sx + sy * sy) * 9.0);
            return mixed(c, white, spot * 0.85);
        }
        case SHAPE_LOZENGE:
        case SHAPE_HEX:
        case SHAPE_STAR: {
            if (litEdge) {
                return mixed(s.colour, white, 0.45);
            }
            if (darkEdge) {
                return scaled(s.colour, 0.55);
            }
            double cx = s.width / 2.0, cy = s.height / 2.0;
            // Facets: the upper left half catches the light.
            bool lit = (x + 0.5 - cx) + (y + 0.5 - cy) < 0;
            return lit ? mixed(s.colour, white, 0.16) : scaled(s.colour, 0.86);
        }
        case SHAPE_WEDGE_DL:
        case SHAPE_WEDGE_DR:
        case SHAPE_WEDGE_UL:
        case SHAPE_WEDGE_UR:
            if (litEdge) {
                return mixed(s.colour, white, 0.5);
            }
            if (darkEdge) {
                return scaled(s.colour, 0.5);
            }
            return scaled(s.colour, gradient * 0.95);
    }
    return s.colour;
}

void drawPaddle(Canvas& c) {
    const Rgb accent{80, 200, 255}, silver{204, 212, 228}, light{236, 240, 248}, shadow{96, 102, 118};
    // End caps: rounded, with the accent on the outer column.
    for (int side = 0; side < 2; side++) {
        const BlockCell& cell = side == 0 ? paddleLeft : paddleRight;
        for (int x = 0; x < 4; x++) {
            int outer = side == 0 ? x : 3 - x;  // 0 at the paddle's end
            int top = outer == 0 ? 2 : (outer == 1 ? 1 : 0);
            for (int y = top; y <= 10 - top; y++) {
                Rgb colour;
                if (outer == 0) {
                    colour = scaled(accent, 1.05 - 0.05 * std::abs(y - 5));
                } else if (y == top) {
                    colour = light;
                } else if (y == 10 - top) {
                    colour = shadow;
                } else if (y == 5) {
                    colour = mixed(accent, light, 0.3);
                } else {
                    colour = scaled(silver, 1.05 - 0.04 * y);
                }
                canvasSet(c, cell.x + x, cell.y + y, opaque(colour));
            }
        }
    }
    // Middle piece: a lit top, a glowing centre line, a shadowed bottom, a faint seam every 3 pixels.
    for (int x = 0; x < 3; x++) {
        for (int y = 0; y < 7; y++) {
            Rgb colour;
            if (y == 0) {
                colour = light;
            } else if (y == 6) {
                colour = shadow;
            } else if (y == 3) {
                colour = mixed(accent, light, 0.25);
            } else {
                colour = scaled(silver, 1.04 - 0.06 * y);
            }
            if (x == 2 && y != 3) {
                colour = scaled(colour, 0.9);
            }
            canvasSet(c, paddleMiddle.x + x, paddleMiddle.y + y, opaque(colour));
        }
    }
}

bool overlaps(const BlockCell& a, const BlockCell& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// The editor's type palette (rows from the bottom of the 240 x 320 screen, 22 apart) and its power-up
// palette above it: both must stay below the lowest row a block may reach, so that no palette entry hides a
// block in the editor.
bool checkEditorPalette() {
    const int screenWidth = 240, lowestBlockRow = 195;
    int x = 0, y = 300;
    for (int t = 0; t < BLOCK_TYPE_COUNT; t++) {
        if (x + styles[t].width + 2 > screenWidth - 50) {
            y -= 22;
            x = 0;
        }
        x += styles[t].width + 2;
    }
    int top = y;
    // 22 marks, 9 to a row of 24-pixel steps from x 12, each next row 16 higher; hit areas reach 10 up.
    int rows = (22 + 8) / 9;
    int highestMarkTop = top - 12 - 16 * (rows - 1) - 10;
    if (highestMarkTop <= lowestBlockRow) {
        fprintf(stderr, "plinkor-gen: the editor palettes reach up to row %d, into the block area\n", highestMarkTop);
        return false;
    }
    return true;
}

// Reads the description text back by the game's rules and compares it with the table.
bool checkDescriptions(const std::string& text) {
    std::vector<std::string> fields;
    std::string field;
    bool inside = false;
    int count = 0;
    for (char ch : text) {
        if (ch == '[') {
            field.clear();
            fields.clear();
            inside = true;
        } else if (ch == ',') {
            fields.push_back(field);
            field.clear();
        } else if (ch == ']') {
            fields.push_back(field);
            if (fields.size() == 5 && fields[0] == "block") {
                if (count >= BLOCK_TYPE_COUNT) {
                    fprintf(stderr, "plinkor-gen: blocks5.txt holds more records than types\n");
                    return false;
                }
                const BlockCell& cell = state.cells[count];
                int v[4];
                for (int i = 0; i < 4; i++) {
                    v[i] = atoi(fields[i + 1].c_str());
                }
                if (v[0] != cell.x || v[1] != cell.y || v[2] != cell.width || v[3] != cell.height) {
                    fprintf(stderr, "plinkor-gen: blocks5.txt record %d reads back wrong\n", count);
                    return false;
                }
                count++;
            }
            fields.clear();
            inside = false;
        } else if (inside && field.size() < 40) {
            field += ch;
        }
    }
    if (count != BLOCK_TYPE_COUNT) {
        fprintf(stderr, "plinkor-gen: blocks5.txt reads back %d types, not %d\n", count, BLOCK_TYPE_COUNT);
        return false;
    }
    return true;
}

}  // namespace

bool layoutBlockSet() {
    // Shelf packing in file order, starting right of the paddle pieces; 2 pixels between cells.
    const int gap = 2;
    int x = paddleRight.x + paddleRight.width + gap, y = 0, shelfHeight = paddleLeft.height;
    for (int t = 0; t < BLOCK_TYPE_COUNT; t++) {
        const TypeStyle& s = styles[t];
        if (x + s.width > BLOCKS_PICTURE_WIDTH) {
            y += shelfHeight + gap;
            x = 0;
            shelfHeight = 0;
        }
        state.cells[t] = BlockCell{x, y, s.width, s.height};
        shelfHeight = std::max(shelfHeight, s.height);
        x += s.width + gap;
        state.masks[t].assign((size_t)s.width * s.height, 0);
        int count = 0;
        for (int cy = 0; cy < s.height; cy++) {
            for (int cx = 0; cx < s.width; cx++) {
                bool in = shapeContains(s.shape, s.width, s.height, cx, cy);
                state.masks[t][(size_t)cy * s.width + cx] = in ? 1 : 0;
                count += in ? 1 : 0;
            }
        }
        state.pixelCounts[t] = count;
    }
    state.laidOut = true;
    const BlockCell paddle[3] = {paddleLeft, paddleMiddle, paddleRight};
    for (int t = 0; t < BLOCK_TYPE_COUNT; t++) {
        const BlockCell& c = state.cells[t];
        if (c.x + c.width > BLOCKS_PICTURE_WIDTH || c.y + c.height > BLOCKS_PICTURE_HEIGHT) {
            fprintf(stderr, "plinkor-gen: block type %d does not fit the blocks picture\n", t);
            return false;
        }
        for (const BlockCell& p : paddle) {
            if (overlaps(c, p)) {
                fprintf(stderr, "plinkor-gen: block type %d overlaps a paddle piece\n", t);
                return false;
            }
        }
        for (int u = 0; u < t; u++) {
            if (overlaps(c, state.cells[u])) {
                fprintf(stderr, "plinkor-gen: block types %d and %d overlap\n", u, t);
                return false;
            }
        }
        if (state.pixelCounts[t] == 0) {
            fprintf(stderr, "plinkor-gen: block type %d is empty\n", t);
            return false;
        }
    }
    return checkEditorPalette();
}

const BlockCell& blockCell(int type) {
    return state.cells[type];
}

const char* blockTypeName(int type) {
    return styles[type].name;
}

bool blockPixel(int type, int dx, int dy) {
    return maskAt(type, dx, dy);
}

int blockPixelCount(int type) {
    return state.pixelCounts[type];
}

int mirroredType(int type) {
    switch (type) {
        case T_RED_WEDGE_DL:
            return T_RED_WEDGE_DR;
        case T_RED_WEDGE_DR:
            return T_RED_WEDGE_DL;
        case T_RED_WEDGE_UL:
            return T_RED_WEDGE_UR;
        case T_RED_WEDGE_UR:
            return T_RED_WEDGE_UL;
        case T_GREEN_WEDGE_DL:
            return T_GREEN_WEDGE_DR;
        case T_GREEN_WEDGE_DR:
            return T_GREEN_WEDGE_DL;
        case T_GREEN_WEDGE_UL:
            return T_GREEN_WEDGE_UR;
        case T_GREEN_WEDGE_UR:
            return T_GREEN_WEDGE_UL;
        default:
            return type;
    }
}

bool writeBlockSet(const std::string& dataDir) {
    if (!state.laidOut) {
        fprintf(stderr, "plinkor-gen: block cells not laid out\n");
        return false;
    }
    Canvas c = makeCanvas(BLOCKS_PICTURE_WIDTH, BLOCKS_PICTURE_HEIGHT, Rgb{0, 0, 0});
    drawPaddle(c);
    for (int t = 0; t < BLOCK_TYPE_COUNT; t++) {
        const BlockCell& cell = state.cells[t];
        for (int y = 0; y < cell.height; y++) {
            for (int x = 0; x < cell.width; x++) {
                if (maskAt(t, x, y)) {
                    canvasSet(c, cell.x + x, cell.y + y, opaque(typePixel(t, x, y)));
                }
            }
        }
    }
    // Every cell pixel must load as exactly its shape: opaque where the mask is set, the key elsewhere.
    for (int t = 0; t < BLOCK_TYPE_COUNT; t++) {
        const BlockCell& cell = state.cells[t];
        for (int y = 0; y < cell.height; y++) {
            for (int x = 0; x < cell.width; x++) {
                Rgb p = canvasGet(c, cell.x + x, cell.y + y);
                bool visible = std::max(p.r, std::max(p.g, p.b)) >= MIN_OPAQUE_COMPONENT;
                bool key = p.r < 8 && p.g < 8 && p.b < 8;
                if (maskAt(t, x, y) ? !visible : !key) {
                    fprintf(stderr, "plinkor-gen: block type %d pixel (%d, %d) would load wrong\n", t, x, y);
                    return false;
                }
            }
        }
    }
    if (!writePngRgb(dataDir + "blocks5.png", c)) {
        return false;
    }
    std::string text =
        "Plinkor block types for picture set 5.\n"
        "Each record is the word block then the cell's left and top edge in blocks5.png and its width and\n"
        "height. The first record is type 0: the metal plate that no ball can break.\n"
        "The paddle is drawn from the same picture: left cap 4 x 11 at 9 0 and middle piece 3 x 7 at 13 1\n"
        "and right cap 4 x 11 at 16 0.\n\n";
    for (int t = 0; t < BLOCK_TYPE_COUNT; t++) {
        const BlockCell& cell = state.cells[t];
        char line[160];
        snprintf(line, sizeof line, "[block,%d,%d,%d,%d]   type %d: %s\n", cell.x, cell.y, cell.width, cell.height, t,
                 styles[t].name);
        text += line;
    }
    FILE* f = fopen((dataDir + "blocks5.txt").c_str(), "wb");
    if (f == nullptr) {
        fprintf(stderr, "plinkor-gen: cannot write %sblocks5.txt\n", dataDir.c_str());
        return false;
    }
    bool ok = fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = (fclose(f) == 0) && ok;
    if (!ok) {
        fprintf(stderr, "plinkor-gen: cannot finish %sblocks5.txt\n", dataDir.c_str());
        return false;
    }
    return checkDescriptions(text);
}

}  // namespace levelset
