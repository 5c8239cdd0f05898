// Generator of the small character sheet: our 6 x 6 console font and the overlay console's panel pieces.
#include <cstdio>
#include <cstring>

#include "neon.h"
#include "pictures.h"

// Glyphs 5 pixels wide: capitals and digits in rows 0-4, lower case in rows 1-4 with ascenders in row 0
// and descenders in row 5; column 5 and (for most) row 5 stay empty so that text keeps its gaps.
struct SmallGlyph {
    char code;
    const char* rows;  // up to six rows of five '#'/'.', separated by spaces
};

// The letters that a 4-row x-height makes alike keep apart by shape: a has its stem and tail, o is round;
// c is open on the right where e has its bar; l bends to the right where i has its dot and serifs.
static const SmallGlyph SMALL_GLYPHS[] = {
    {'!', "..#.. ..#.. ..#.. ..... ..#.."},
    {'"', ".#.#. .#.#."},
    {'#', ".#.#. ##### .#.#. ##### .#.#."},
    {'$', ".#### #.#.. .###. ..#.# ####. ..#.."},
    {'%', "##..# ##.#. ..#.. .#.## #..##"},
    {'&', ".##.. #..#. .##.# #..#. .##.#"},
    {'\'', "..#.. ..#.."},
    {'(', "...#. ..#.. ..#.. ..#.. ...#."},
    {')', ".#... ..#.. ..#.. ..#.. .#..."},
    {'*', "..... #.#.# .###. #.#.# ....."},
    {'+', "..... ..#.. ##### ..#.. ....."},
    {',', "..... ..... ..... ..... ..#.. .#..."},
    {'-', "..... ..... .###."},
    {'.', "..... ..... ..... ..... ..#.."},
    {'/', "....# ...#. ..#.. .#... #...."},
    {'0', ".###. #..## #.#.# ##..# .###."},
    {'1', "..#.. .##.. ..#.. ..#.. .###."},
    {'2', ".###. #...# ..##. .#... #####"},
    {'3', "####. ....# .###. ....# ####."},
    {'4', "..##. .#.#. #..#. ##### ...#."},
    {'5', "##### #.... ####. ....# ####."},
    {'6', ".###. #.... ####. #...# .###."},
    {'7', "##### ....# ...#. ..#.. ..#.."},
    {'8', ".###. #...# .###. #...# .###."},
    {'9', ".###. #...# .#### ....# .###."},
    {':', "..... ..#.. ..... ..#.. ....."},
    {';', "..... ..#.. ..... ..#.. .#..."},
    {'<', "...#. ..#.. .#... ..#.. ...#."},
    {'=', "..... ##### ..... ##### ....."},
    {'>', ".#... ..#.. ...#. ..#.. .#..."},
    {'?', ".###. #...# ..##. ..... ..#.."},
    {'@', ".###. #..## #.#.# #.### #.... .###."},
    {'A', ".###. #...# ##### #...# #...#"},
    {'B', "####. #...# ####. #...# ####."},
    {'C', ".#### #.... #.... #.... .####"},
    {'D', "####. #...# #...# #...# ####."},
    {'E', "##### #.... ####. #.... #####"},
    {'F', "##### #.... ####. #.... #...."},
    {'G', ".#### #.... #.### #...# .###."},
    {'H', "#...# #...# ##### #...# #...#"},
    {'I', ".###. ..#.. ..#.. ..#.. .###."},
    {'J', "..### ...#. ...#. #..#. .##.."},
    {'K', "#...# #..#. ###.. #..#. #...#"},
    {'L', "#.... #.... #.... #.... #####"},
    {'M', "#...# ##.## #.#.# #...# #...#"},
    {'N', "#...# ##..# #.#.# #..## #...#"},
    {'O', ".###. #...# #...# #...# .###."},
    {'P', "####. #...# ####. #.... #...."},
    {'Q', ".###. #...# #.#.# #..#. .##.#"},
    {'R', "####. #...# ####. #..#. #...#"},
    {'S', ".#### #.... .###. ....# ####."},
    {'T', "##### ..#.. ..#.. ..#.. ..#.."},
    {'U', "#...# #...# #...# #...# .###."},
    {'V', "#...# #...# #...# .#.#. ..#.."},
    {'W', "#...# #...# #.#.# ##.## #...#"},
    {'X', "#...# .#.#. ..#.. .#.#. #...#"},
    {'Y', "#...# .#.#. ..#.. ..#.. ..#.."},
    {'Z', "##### ...#. ..#.. .#... #####"},
    {'[', ".###. .#... .#... .#... .###."},
    {'\\', "#.... .#... ..#.. ...#. ....#"},
    {']', ".###. ...#. ...#. ...#. .###."},
    {'^', "..#.. .#.#. #...#"},
    {'_', "..... ..... ..... ..... #####"},
    {'`', ".#... ..#.."},
    {'a', "..... .#### #...# #..## .##.#"},
    {'b', "#.... ####. #...# #...# ####."},
    {'c', "..... .###. #.... #.... .###."},
    {'d', "....# .#### #...# #...# .####"},
    {'e', "..... .###. ##### #.... .####"},
    {'f', "..##. .#... ####. .#... .#..."},
    {'g', "..... .#### #...# .#### ....# .###."},
    {'h', "#.... ####. #...# #...# #...#"},
    {'i', "..#.. ..... .##.. ..#.. .###."},
    {'j', "...#. ..... ..##. ...#. ...#. .##.."},
    {'k', "#.... #..#. ###.. #..#. #...#"},
    {'l', ".#... .#... .#... .#... ..##."},
    {'m', "..... ##.#. #.#.# #.#.# #...#"},
    {'n', "..... ####. #...# #...# #...#"},
    {'o', "..... .###. #...# #...# .###."},
    {'p', "..... ####. #...# ####. #.... #...."},
    {'q', "..... .#### #...# .#### ....# ....#"},
    {'r', "..... #.##. ##..# #.... #...."},
    {'s', "..... .#### ##... ...## ####."},
    {'t', ".#... ####. .#... .#... ..##."},
    {'u', "..... #...# #...# #...# .####"},
    {'v', "..... #...# #...# .#.#. ..#.."},
    {'w', "..... #...# #.#.# #.#.# .#.#."},
    {'x', "..... #..#. .##.. .##.. #..#."},
    {'y', "..... #...# #...# .#### ....# .###."},
    {'z', "..... ##### ..##. .#... #####"},
    {'{', "..##. .#... ##... .#... ..##."},
    {'|', "..#.. ..#.. ..#.. ..#.. ..#.."},
    {'}', ".##.. ...#. ...## ...#. .##.."},
    {'~', "..... .#..# #.##. ....."},
    {127, "##### #.#.# ##.## #.#.# #####"},
};

// Cell 0 (code 1, and every code the game reads as negative) shows a small hollow box: an unknown character.
static const char* const UNKNOWN_GLYPH = "..... .###. .#.#. .###. .....";

enum { SHEET_W = 240, SHEET_H = 135 };

static void putSmallGlyph(Canvas& c, int code, const char* rows, Rgb ink) {
    int k = code - 1 < 0 ? 0 : code - 1;
    int x0 = (k & 31) * 7 + 1, y0 = (k >> 5) * 11 + 3;
    int row = 0, col = 0;
    for (const char* p = rows; *p != 0 && row < 6; p++) {
        if (*p == ' ') {
            row++;
            col = 0;
        } else {
            if (*p == '#' && col < 6) {
                canvasSet(c, x0 + col, y0 + row, ink);
            }
            col++;
        }
    }
}

// Writes a word in our small font onto the sheet itself (panel labels).
static void sheetLabel(Canvas& c, int x, int y, const char* text, Rgb ink) {
    for (const char* t = text; *t != 0; t++, x += 6) {
        for (const SmallGlyph& g : SMALL_GLYPHS) {
            if (g.code == *t) {
                int row = 0, col = 0;
                for (const char* p = g.rows; *p != 0 && row < 6; p++) {
                    if (*p == ' ') {
                        row++;
                        col = 0;
                    } else {
                        if (*p == '#') {
                            canvasSet(c, x + col, y + row, ink);
                        }
                        col++;
                    }
                }
            }
        }
    }
}

static const Rgb PANEL{12, 20, 40}, PANEL_DEEP{8, 12, 26}, EDGE{40, 200, 255}, EDGE_DIM{20, 90, 130};

static void paintLogPieces(Canvas& c) {
    // Top edge (0, 88, 194 x 2): a bright line over a dim one.
    fillRect(c, 0, 88, 194, 1, EDGE);
    fillRect(c, 0, 89, 194, 1, EDGE_DIM);
    // Line background (0, 90, 194 x 6): the text area, then the scroll-bar trough from column 184.
    fillRect(c, 0, 90, 184, 6, PANEL);
    fillRect(c, 184, 90, 10, 6, PANEL_DEEP);
    fillRect(c, 184, 90, 1, 6, EDGE_DIM);
    fillRect(c, 193, 90, 1, 6, EDGE_DIM);
    fillRect(c, 188, 90, 2, 6, Rgb{16, 40, 60});
    // Bottom edge (0, 96, 194 x 2): dim, then bright; its bright row is also the title tab's top row.
    fillRect(c, 0, 96, 194, 1, EDGE_DIM);
    fillRect(c, 0, 97, 194, 1, EDGE);
    // Title tab (0, 97, 62 x 9), drawn transparently below the window: a tab with slanted right side.
    for (int j = 1; j < 9; j++) {
        int right = 61 - (j > 5 ? j - 5 : 0);
        for (int i = 0; i <= right; i++) {
            bool border = j == 8 || i == right;
            canvasSet(c, i, 97 + j, border ? EDGE : PANEL);
        }
    }
    sheetLabel(c, 4, 99, "CONSOLE", Rgb{200, 240, 255});
    // Scroll-bar thumb (231, 0, 9 x 20).
    fillRect(c, 231, 0, 9, 20, PANEL_DEEP);
    fillRoundRect(c, 232, 1, 7, 18, 3, EDGE);
    fillRect(c, 233, 8, 5, 1, PANEL);
    fillRect(c, 233, 10, 5, 1, PANEL);
    fillRect(c, 233, 12, 5, 1, PANEL);
}

static void paintStatsPieces(Canvas& c) {
    const Rgb amber{255, 176, 40}, amberDim{120, 80, 20};
    // Handle (203, 89, 6 x 9), transparent: a grip with three notches.
    for (int j = 0; j < 9; j++) {
        for (int i = 0; i < 6; i++) {
            int inset = j < 2 ? 2 - j : (j > 6 ? j - 6 : 0);
            if (i >= inset) {
                canvasSet(c, 203 + i, 89 + j, (j == 3 || j == 5) && i > 1 ? amberDim : amber);
            }
        }
    }
    // Cell (209, 89, 31 x 9), copied: a dark box with an amber frame; numbers are written at column 3.
    fillRect(c, 209, 89, 31, 9, Rgb{24, 16, 8});
    for (int i = 0; i < 31; i++) {
        canvasSet(c, 209 + i, 89, amber);
        canvasSet(c, 209 + i, 97, amberDim);
    }
    for (int j = 0; j < 9; j++) {
        canvasSet(c, 239, 89 + j, amberDim);
    }
}

static void paintMenuPieces(Canvas& c) {
    const Rgb mag{255, 60, 200}, magDim{110, 30, 90};
    // Menu tab (77, 98, 42 x 8), transparent, sits on top of the body.
    for (int j = 0; j < 8; j++) {
        int inset = j < 3 ? 3 - j : 0;
        for (int i = inset; i < 42 - inset; i++) {
            bool border = j == 0 || i == inset || i == 41 - inset;
            canvasSet(c, 77 + i, 98 + j, border ? mag : Rgb{30, 10, 30});
        }
    }
    sheetLabel(c, 77 + 9, 99, "MENU", Rgb{255, 200, 240});
    // Body (77, 106, 163 x 29), copied: three button wells at 10, 32 and 54 and a name field from 88.
    fillRect(c, 77, 106, 163, 29, Rgb{20, 8, 22});
    strokeRoundRect(c, 77, 106, 163, 29, 2, 1, mag);
    for (int b = 0; b < 3; b++) {
        int x = 77 + 10 + 22 * b;
        fillRect(c, x - 1, 106 + 3, 22, 22, Rgb{10, 4, 12});
        strokeRoundRect(c, x - 1, 106 + 3, 22, 22, 1, 1, magDim);
    }
    fillRect(c, 77 + 88, 106 + 4, 70, 8, Rgb{10, 4, 12});
    fillRect(c, 77 + 88, 106 + 12, 70, 1, magDim);
}

static void paintButton(Canvas& c, int x, int y, Rgb hue, int symbol) {
    fillRect(c, x, y, 20, 20, Rgb{12, 12, 24});
    fillRoundRect(c, x + 1, y + 1, 18, 18, 3, scaleRgb(hue, 0.25));
    strokeRoundRect(c, x + 1, y + 1, 18, 18, 3, 1, hue);
    if (symbol == 0) {  // begin: a play triangle
        fillPolygon(c, {x + 7.0, y + 5.0, x + 15.0, y + 10.0, x + 7.0, y + 15.0}, NEON_WHITE);
    } else if (symbol == 1) {  // exit: a cross
        drawLine(c, x + 6.0, y + 6.0, x + 14.0, y + 14.0, 2.0, NEON_WHITE);
        drawLine(c, x + 14.0, y + 6.0, x + 6.0, y + 14.0, 2.0, NEON_WHITE);
    } else {  // pause: two bars
        fillRect(c, x + 6, y + 5, 3, 10, NEON_WHITE);
        fillRect(c, x + 11, y + 5, 3, 10, NEON_WHITE);
    }
}

bool generateSmallChars(const std::string& dataDir) {
    Canvas c = makeCanvas(SHEET_W, SHEET_H, Rgb{0, 0, 0});
    const Rgb ink{255, 255, 255};
    putSmallGlyph(c, 1, UNKNOWN_GLYPH, ink);
    for (const SmallGlyph& g : SMALL_GLYPHS) {
        putSmallGlyph(c, (unsigned char)g.code, g.rows, ink);
    }
    paintLogPieces(c);
    paintStatsPieces(c);
    paintMenuPieces(c);
    paintButton(c, 0, 107, NEON_GREEN, 0);
    paintButton(c, 20, 107, NEON_MAGENTA, 1);
    paintButton(c, 40, 107, NEON_AMBER, 2);
    const std::string path = dataDir + "smallchars.png";
    if (!writePngRgb(path, c)) {
        return false;
    }

    // Read back: every printable character has ink inside its own cell, and every panel piece shows.
    const char* name = "smallchars.png";
    Surface* s = loadWrittenPicture(path);
    if (s == nullptr) {
        return false;
    }
    bool ok = checkPictureSize(name, s, 240, 240, 135, 135);
    for (int code = 33; ok && code < 127; code++) {
        int k = code - 1;
        int x = (k & 31) * 7 + 1, y = (k >> 5) * 11 + 3;
        char label[32];
        snprintf(label, sizeof(label), "character %d", code);
        ok = checkRegion(name, s, label, x, y, 6, 6, true);
    }
    struct Piece {
        const char* region;
        int x, y, w, h;
    };
    const Piece pieces[] = {
        {"log top edge", 0, 88, 194, 2},      {"log line background", 0, 90, 194, 6},
        {"log bottom edge", 0, 96, 194, 2},   {"log title tab", 0, 97, 62, 9},
        {"scroll thumb", 231, 0, 9, 20},      {"stats handle", 203, 89, 6, 9},
        {"stats cell", 209, 89, 31, 9},       {"menu tab", 77, 98, 42, 8},
        {"menu body", 77, 106, 163, 29},      {"Begin button", 0, 107, 20, 20},
        {"Pause button", 40, 107, 20, 20},    {"Exit button", 20, 107, 20, 20},
    };
    for (const Piece& p : pieces) {
        // Copied pieces cover their whole rectangle; transparent ones need only show something.
        ok = ok && checkRegion(name, s, p.region, p.x, p.y, p.w, p.h, true, p.w * p.h / 3);
    }
    // The panel pieces must stay clear of the character cells (rows 3..41 hold the four cell rows).
    if (ok && countInk(s, 0, 42, 231, 46) != 0) {
        ok = pictureFault(name, "something is drawn between the characters and the panel pieces");
    }
    removeSurface(&s);
    return ok;
}
