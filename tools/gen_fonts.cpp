// Generator of the two proportional font pictures, with a measuring pass that reads them back the way
// the game's font loader does and checks that the screens' texts fit.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "neon.h"
#include "pictures.h"

enum { FIRST_CODE = 33, LAST_CODE = 223, GLYPH_COUNT = LAST_CODE - FIRST_CODE + 1, FONT_GAMMA = 80 };

struct FontPicture {
    const char* name;
    const char* fontFile;
    int pixelSize;
    double xScale;  // horizontal squeeze of the outlines
    int band;       // band height the game measures with
    int width;      // picture width
};

static const FontPicture FONT_PICTURES[] = {
    {"c_tickertape.png", "DejaVuSansMono-Bold.ttf", 20, 0.85, 30, 256},
    {"c_neopolitical.png", "DejaVuSans-Bold.ttf", 12, 1.0, 18, 256},
};

// One glyph as intensities 0..30 (what survives loading at the fonts' gamma), trimmed to its inked columns.
struct GlyphImage {
    int width = 0, height = 0;
    int top = 0;  // rows above the baseline of the first row
    std::vector<int> level;
};

// The 5-bit intensity each loaded component gets at the fonts' gamma, and the 8-bit value that gives
// each intensity: text is drawn as light proportional to the outline's coverage.
static int gammaLevels[32];

static void buildGammaLevels() {
    int previous = getGamma();
    setGamma(FONT_GAMMA);
    for (int i = 0; i < 32; i++) {
        gammaLevels[i] = (int)gammaTable[i];
    }
    setGamma(previous);
}

static int byteForLevel(int level) {
    if (level <= 0) {
        return 0;
    }
    for (int i = 0; i < 32; i++) {
        if (gammaLevels[i] >= level) {
            return i * 8 + 4;
        }
    }
    return 255;
}

static FT_Library library;

static FT_Face openFace(const FontPicture& f) {
    if (library == nullptr && FT_Init_FreeType(&library) != 0) {
        fprintf(stderr, "plinkor-gen: FreeType does not start\n");
        return nullptr;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(library, dejaVuPath(f.fontFile).c_str(), 0, &face) != 0) {
        fprintf(stderr, "plinkor-gen: cannot open font %s\n", dejaVuPath(f.fontFile).c_str());
        return nullptr;
    }
    FT_Set_Pixel_Sizes(face, 0, (FT_UInt)f.pixelSize);
    FT_Matrix squeeze{(FT_Fixed)lround(f.xScale * 65536.0), 0, 0, 0x10000};
    FT_Set_Transform(face, &squeeze, nullptr);
    return face;
}

static void trimColumns(GlyphImage& g) {
    auto columnInked = [&g](int x) {
        for (int y = 0; y < g.height; y++) {
            if (g.level[y * g.width + x] != 0) {
                return true;
            }
        }
        return false;
    };
    int left = 0, right = g.width - 1;
    while (left <= right && !columnInked(left)) {
        left++;
    }
    while (right >= left && !columnInked(right)) {
        right--;
    }
    GlyphImage t;
    t.width = right >= left ? right - left + 1 : 0;
    t.height = g.height;
    t.top = g.top;
    t.level.assign((size_t)t.width * t.height, 0);
    for (int y = 0; y < g.height; y++) {
        for (int x = 0; x < t.width; x++) {
            t.level[y * t.width + x] = g.level[y * g.width + left + x];
        }
    }
    g = t;
}

// A glyph that is not one run of inked columns (such as '"') gets a faint bridge in each gap: the
// faintest level that still survives loading, in the row of the ink just left of the gap.
static void bridgeGaps(GlyphImage& g) {
    for (int x = 1; x < g.width - 1; x++) {
        bool inked = false;
        for (int y = 0; y < g.height && !inked; y++) {
            inked = g.level[y * g.width + x] != 0;
        }
        if (inked) {
            continue;
        }
        int row = 0;
        for (int y = 0; y < g.height; y++) {
            if (g.level[y * g.width + x - 1] != 0) {
                row = y;
                break;
            }
        }
        g.level[row * g.width + x] = 1;
    }
}

// Codes without a printable character get a small square at the middle of the lower-case height.
static GlyphImage neutralMark(FT_Face face, int size) {
    FT_Load_Char(face, 'x', FT_LOAD_RENDER);
    int xHeight = face->glyph->bitmap_top;
    GlyphImage g;
    g.width = size;
    g.height = size;
    g.top = (xHeight + size) / 2;
    g.level.assign((size_t)size * size, 14);
    return g;
}

static bool renderGlyph(FT_Face face, int code, GlyphImage& g) {
    if (FT_Load_Char(face, (FT_ULong)code, FT_LOAD_RENDER) != 0) {
        return false;
    }
    const FT_Bitmap& bm = face->glyph->bitmap;
    g.width = (int)bm.width;
    g.height = (int)bm.rows;
    g.top = face->glyph->bitmap_top;
    g.level.assign((size_t)g.width * g.height, 0);
    for (int y = 0; y < g.height; y++) {
        for (int x = 0; x < g.width; x++) {
            int cover = bm.buffer[y * bm.pitch + x];
            g.level[y * g.width + x] = (cover * 30 + 127) / 255;
        }
    }
    trimColumns(g);
    return g.width > 0;
}

// The game's measuring of a font picture: glyph columns and widths per code, and the reference row.
struct Measured {
    int referenceRow = -1;
    int count = 0;
    int x[256] = {}, width[256] = {}, top[256] = {}, bottom[256] = {};
};

static Measured measureFontPicture(const Surface* s, int band) {
    Measured m;
    for (int y = 0; y < band; y++) {
        if (getPixel(s, 0, y) != 0) {
            m.referenceRow = y;
            break;
        }
    }
    if (m.referenceRow < 0) {
        return m;
    }
    int c = FIRST_CODE;
    for (int b = 0; b < s->height && c <= LAST_CODE; b += band) {
        bool previous = false;
        for (int x = 1; x < s->width && c <= LAST_CODE; x++) {
            bool inked = false;
            int top = -1, bottom = b + 1;
            for (int y = b; y <= b + band - 4; y++) {
                bool on = getPixel(s, x, y) != 0;
                bool before = y > b && getPixel(s, x, y - 1) != 0;
                bool after = y < b + band - 4 && getPixel(s, x, y + 1) != 0;
                if (on) {
                    inked = true;
                    if (!before && top < 0) {
                        top = y;
                    }
                    if (!after && y < b + band - 4) {
                        bottom = y + 1;
                    }
                }
            }
            if (inked && !previous) {
                m.x[c] = x;
                m.top[c] = top - b;
                m.bottom[c] = bottom - b;
            }
            if (inked) {
                m.top[c] = std::min(m.top[c], top - b);
                m.bottom[c] = std::max(m.bottom[c], bottom - b);
            }
            if ((!inked && previous) || (inked && x == s->width - 1)) {
                m.width[c] = x - m.x[c];
                c++;
            }
            previous = inked;
        }
    }
    m.count = c - FIRST_CODE;
    return m;
}

// Text width as the game computes it.
static int measuredWidth(const Measured& m, const std::string& text) {
    int w = 0;
    for (unsigned char ch : text) {
        if (ch < 33) {
            w += ch == ' ' ? 5 : 4;
        } else {
            w += m.width[ch] + 1;
        }
    }
    return w;
}

static int widestOf(const Measured& m, int first, int last) {
    int widest = 0;
    for (int c = first; c <= last; c++) {
        widest = std::max(widest, c < 33 ? 5 : m.width[c] + 1);
    }
    return widest;
}

// The texts each font must hold on the screens that use it.
static bool checkScreenFits(const char* name, const Measured& m, int slot) {
    auto fits = [&](const char* what, int width, int room) {
        if (width > room) {
            return pictureFault(name, "%s is %d pixels wide, the screen has room for %d", what, width, room);
        }
        return true;
    };
    bool ok = true;
    if (slot == 0) {
        // High-score row: rank at x 5, a 10-character name at x 35, a 7-digit score ending at x 235.
        int widestName = 10 * widestOf(m, 32, 127);
        int widestScore = 7 * widestOf(m, '0', '9');
        ok = ok && fits("a rank \"25\"", measuredWidth(m, "25"), 35 - 5 - 2);
        ok = ok && fits("the widest name and score", widestName + widestScore, 235 - 35 - 2);
        // Control rows: the longest label at x 5, the key code ending at x 235.
        ok = ok && fits("\"Screenshot\" with its key", measuredWidth(m, "Screenshot") + measuredWidth(m, "[0xdd]"),
                        230 - 4);
        for (const char* title : {"Level 100 Complete!", "CONTROL CONFIG", "Congratulations!", "Score 99999999",
                                  "High Scores", "Game Over", "Get Ready!"}) {
            ok = ok && fits(title, measuredWidth(m, title), 238);
        }
    } else {
        for (const char* line : {"Unlock All Levels  OFF", "Unlimited Lives  OFF", "Disable Debris  OFF",
                                 "See Power-ups  OFF", "Max Power-up  OFF", "Fat Paddle  OFF", "Level Editor"}) {
            ok = ok && fits(line, measuredWidth(m, line), 180);
        }
        // Options window lines stay inside the window (their hit areas are 185 pixels wide).
        for (const char* line : {"Difficulty: Insane", "Difficulty: Medium", "Helpful Hints: OFF"}) {
            ok = ok && fits(line, measuredWidth(m, line), 180);
        }
        ok = ok && fits("You have a high score!!", measuredWidth(m, "You have a high score!!"), 236);
        // Name-entry keys stand 20 pixels apart.
        ok = ok && fits("the widest key", widestOf(m, 32, 127), 17);
    }
    return ok;
}

static bool makeFontPicture(const std::string& dataDir, const FontPicture& f, int slot) {
    // The game measures slot 0 in bands of 30 rows and slot 1 in bands of 18.
    if (f.band != (slot == 0 ? 30 : 18)) {
        return pictureFault(f.name, "drawn in bands of %d rows, the game reads bands of %d", f.band,
                            slot == 0 ? 30 : 18);
    }
    FT_Face face = openFace(f);
    if (face == nullptr) {
        return false;
    }
    std::vector<GlyphImage> glyphs(GLYPH_COUNT);
    int above = 0, below = 0;
    for (int code = FIRST_CODE; code <= LAST_CODE; code++) {
        GlyphImage& g = glyphs[code - FIRST_CODE];
        bool printable = !(code >= 127 && code <= 160) && renderGlyph(face, code, g);
        if (!printable) {
            g = neutralMark(face, slot == 0 ? 3 : 2);
        }
        bridgeGaps(g);
        above = std::max(above, g.top);
        below = std::max(below, g.height - g.top);
    }
    FT_Done_Face(face);
    // Glyphs hang from the reference row; every column run must end before the band's unscanned rows.
    const int reference = above;
    if (reference + below > f.band - 4) {
        return pictureFault(f.name, "glyphs need %d rows, the band scans only %d", reference + below + 1,
                            f.band - 3);
    }
    // Lay the glyphs out band after band, two empty columns between them, the last column kept empty.
    std::vector<int> placeX(GLYPH_COUNT), placeBand(GLYPH_COUNT);
    int x = 1, bandIndex = 0;
    for (int i = 0; i < GLYPH_COUNT; i++) {
        if (x + glyphs[i].width > f.width - 2) {
            bandIndex++;
            x = 1;
        }
        placeX[i] = x;
        placeBand[i] = bandIndex;
        x += glyphs[i].width + 2;
    }
    Canvas c = makeCanvas(f.width, (bandIndex + 1) * f.band, Rgb{0, 0, 0});
    uint8_t full = (uint8_t)byteForLevel(30);
    canvasSet(c, 0, reference, Rgb{full, full, full});
    for (int i = 0; i < GLYPH_COUNT; i++) {
        const GlyphImage& g = glyphs[i];
        int y0 = placeBand[i] * f.band + reference - g.top;
        for (int y = 0; y < g.height; y++) {
            for (int gx = 0; gx < g.width; gx++) {
                uint8_t v = (uint8_t)byteForLevel(g.level[y * g.width + gx]);
                if (v != 0) {
                    canvasSet(c, placeX[i] + gx, y0 + y, Rgb{v, v, v});
                }
            }
        }
    }
    const std::string path = dataDir + f.name;
    if (!writePngRgb(path, c)) {
        return false;
    }

    // Read it back at the fonts' gamma and measure it as the game will.
    int previous = getGamma();
    setGamma(FONT_GAMMA);
    Surface* s = loadWrittenPicture(path);
    setGamma(previous);
    if (s == nullptr) {
        return false;
    }
    Measured m = measureFontPicture(s, f.band);
    removeSurface(&s);
    if (m.referenceRow != reference) {
        return pictureFault(f.name, "reference row reads %d, drawn at %d", m.referenceRow, reference);
    }
    if (m.count != GLYPH_COUNT) {
        return pictureFault(f.name, "%d glyphs measured, wanted %d", m.count, GLYPH_COUNT);
    }
    for (int i = 0; i < GLYPH_COUNT; i++) {
        int code = FIRST_CODE + i;
        if (m.x[code] != placeX[i] || m.width[code] != glyphs[i].width) {
            return pictureFault(f.name, "code %d measures at column %d, %d wide; drawn at %d, %d wide", code,
                                m.x[code], m.width[code], placeX[i], glyphs[i].width);
        }
    }
    return checkScreenFits(f.name, m, slot);
}

bool generateFontPictures(const std::string& dataDir) {
    buildGammaLevels();
    for (int slot = 0; slot < 2; slot++) {
        if (!makeFontPicture(dataDir, FONT_PICTURES[slot], slot)) {
            return false;
        }
    }
    return true;
}
