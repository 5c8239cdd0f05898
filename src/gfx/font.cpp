// Proportional fonts measured out of pictures at load time, and the 6 x 6 small font.
#include "gfx/font.h"

#include <cstdlib>

#include "gfx/draw.h"
#include "shell/log.h"

Surface* smallCharsSheet;
Font* fonts[FONT_SLOTS];
uint16_t logColourTable[7];

void buildLogColours(void) {
    logColourTable[0] = packColour(31, 31, 31);
    logColourTable[1] = packColour(31, 31, 0);
    logColourTable[2] = packColour(0, 31, 31);
    logColourTable[3] = packColour(0, 0, 31);
    logColourTable[4] = packColour(31, 0, 31);
    logColourTable[5] = packColour(0, 31, 0);
    logColourTable[6] = packColour(31, 0, 0);
}

static bool slotInRange(int slot) {
    if (slot < 0 || slot >= FONT_SLOTS) {
        logFormat(1, LOG_ERROR, "[ERROR] font slot %d out of range.\n", slot);
        return false;
    }
    return true;
}

// A font that can be drawn: a measured record with a picture.
static const Font* usableFont(int slot) {
    if (slot < 0 || slot >= FONT_SLOTS || fonts[slot] == nullptr || fonts[slot]->picture == nullptr) {
        return nullptr;
    }
    return fonts[slot];
}

// A glyph is drawn only for codes that can have one; the rest advance like a control code.
static bool hasGlyph(unsigned code) {
    return code >= 33 && code < FONT_GLYPHS;
}

// One column of one band: whether any scanned row is inked, the first inked row, and the row just after
// the last run of ink that ends inside the scanned rows (band top + 1 when none ends there).
struct ColumnInk {
    bool inked;
    int top, bottom;
};

static ColumnInk scanColumn(const Surface* picture, int x, int bandTop, int bandHeight) {
    ColumnInk ink{false, 0, bandTop + 1};
    bool previous = false;
    // The last three rows of a band are never scanned.
    for (int y = bandTop; y <= bandTop + bandHeight - 4; y++) {
        bool set = getPixel(picture, x, y) != 0;
        if (set && !ink.inked) {
            ink.inked = true;
            ink.top = y;
        }
        if (!set && previous) {
            ink.bottom = y;
        }
        previous = set;
    }
    return ink;
}

void loadFont(Surface* picture, int slot, int bandHeight) {
    if (!slotInRange(slot)) {
        return;
    }
    Font* font = fonts[slot];
    if (font != nullptr) {
        logColoured(1, "[ERROR] font of this index already loaded.\n", LOG_ERROR);
    } else {
        font = (Font*)calloc(1, sizeof(Font));
        if (font == nullptr) {
            logColoured(1, "[ERROR] unable to allocate memory for loadFont.\n", LOG_ERROR);
            return;
        }
        fonts[slot] = font;
    }
    font->picture = picture;
    if (picture == nullptr) {
        logColoured(1, "[ERROR] font not loaded.\n", LOG_ERROR);
        return;
    }
    int reference = -1;
    for (int y = 0; y < bandHeight; y++) {
        if (getPixel(picture, 0, y) != 0) {
            reference = y;
            break;
        }
    }
    if (reference < 0) {
        logColoured(1, "[ERROR] can't locate font reference point.\n", LOG_ERROR);
        return;
    }
    font->referenceRow = (uint8_t)reference;

    int code = 33;
    for (int bandTop = 0; bandTop < picture->height && code < FONT_GLYPHS; bandTop += bandHeight) {
        bool previousInked = false;
        // The table ends at code 223: a picture with more glyphs has the rest ignored.
        for (int x = 1; x < picture->width && code < FONT_GLYPHS; x++) {
            ColumnInk ink = scanColumn(picture, x, bandTop, bandHeight);
            if (ink.inked && !previousInked) {
                font->glyphX[code] = (uint16_t)x;
                font->glyphTop[code] = (uint16_t)ink.top;
                font->glyphTopOffset[code] = (uint16_t)(ink.top - bandTop);
                font->glyphBottom[code] = (uint16_t)(ink.bottom - bandTop);
            }
            if (ink.inked) {
                if (ink.top < font->glyphTop[code]) {
                    font->glyphTop[code] = (uint16_t)ink.top;
                }
                if (ink.top - bandTop < font->glyphTopOffset[code]) {
                    font->glyphTopOffset[code] = (uint16_t)(ink.top - bandTop);
                }
                if (ink.bottom - bandTop > font->glyphBottom[code]) {
                    font->glyphBottom[code] = (uint16_t)(ink.bottom - bandTop);
                }
            }
            if ((!ink.inked && previousInked) || (ink.inked && x == picture->width - 1)) {
                // A glyph touching the right edge ends one column short.
                font->glyphWidth[code] = (uint16_t)(x - font->glyphX[code]);
                code++;
            }
            previousInked = ink.inked;
        }
    }
    logFormat(1, 0, "Loaded %d characters\n", code - 33);
}

void unloadFont(int slot) {
    if (!slotInRange(slot)) {
        return;
    }
    if (fonts[slot] == nullptr) {
        logMessage(1, "[ERROR] font already unloaded.\n");
        return;
    }
    free(fonts[slot]);
    fonts[slot] = nullptr;
}

int fontLineHeight(int slot) {
    if (slot < 0 || slot >= FONT_SLOTS || fonts[slot] == nullptr) {
        return 0;
    }
    int r = fonts[slot]->referenceRow;
    return r + (r >> 2);
}

int textWidth(const char* text, int slot) {
    if (slot < 0 || slot >= FONT_SLOTS || fonts[slot] == nullptr) {
        return 0;
    }
    const Font* font = fonts[slot];
    int width = 0;
    for (const unsigned char* p = (const unsigned char*)text; *p != 0; p++) {
        if (*p == ' ') {
            width += 5;
        } else if (!hasGlyph(*p)) {
            width += 4;
        } else {
            width += font->glyphWidth[*p] + 1;
        }
    }
    return width;
}

// Walks the text's glyph pixels: plot(dstX, dstY, intensity) for every pixel of intensity p != 0.
template <class Plot>
static void walkGlyphs(const Font* font, const char* text, int x, int y, Plot plot) {
    int cursor = x;
    for (const unsigned char* p = (const unsigned char*)text; *p != 0; p++) {
        if (!hasGlyph(*p)) {
            cursor += *p == ' ' ? 5 : 4;
            continue;
        }
        unsigned c = *p;
        int width = font->glyphWidth[c];
        int rows = font->glyphBottom[c] - font->glyphTopOffset[c];
        int top = y + font->glyphTopOffset[c] - font->referenceRow;
        for (int j = 0; j < rows; j++) {
            for (int i = 0; i < width; i++) {
                int intensity = getPixel(font->picture, font->glyphX[c] + i, font->glyphTop[c] + j) & 31;
                if (intensity != 0) {
                    plot(cursor + i, top + j, intensity);
                }
            }
        }
        cursor += width + 1;
    }
}

void drawText(Surface* dst, const char* text, int x, int y, int slot) {
    const Font* font = usableFont(slot);
    if (font == nullptr) {
        return;
    }
    walkGlyphs(font, text, x, y, [dst](int px, int py, int p) { brightenPixel(dst, px, py, p); });
}

void drawTextColoured(Surface* dst, const char* text, int x, int y, int slot, uint16_t colour) {
    const Font* font = usableFont(slot);
    if (font == nullptr) {
        return;
    }
    walkGlyphs(font, text, x, y,
               [dst, colour](int px, int py, int p) { blendPixel(dst, px, py, colour, 255 - 8 * p); });
}

// The small font: codes are signed bytes, so codes 128-255 (like code 1) use the first cell.
template <class Plot>
static void walkSmallText(const char* text, int x, int y, Plot plot) {
    const Surface* sheet = smallCharsSheet;
    if (sheet == nullptr) {
        return;
    }
    int cursor = x;
    for (const char* p = text; *p != 0; p++) {
        if (*p != ' ') {
            int k = (int)(signed char)*p - 1;
            if (k < 0) {
                k = 0;
            }
            int cellX = (k & 31) * 7 + 1;
            int cellY = (k >> 5) * 11 + 3;
            for (int j = 0; j < SMALL_CHAR_SIZE; j++) {
                for (int i = 0; i < SMALL_CHAR_SIZE; i++) {
                    if (getPixel(sheet, cellX + i, cellY + j) != 0) {
                        plot(cursor + i, y + j);
                    }
                }
            }
        }
        cursor += SMALL_CHAR_ADVANCE;
    }
}

void drawSmallText(Surface* dst, const char* text, int x, int y, uint16_t colour) {
    walkSmallText(text, x, y, [dst, colour](int px, int py) { putPixel(dst, px, py, colour); });
}

void drawSmallTextBlended(Surface* dst, const char* text, int x, int y, uint16_t colour, int weight) {
    walkSmallText(text, x, y, [dst, colour, weight](int px, int py) {
        if (px >= 0 && py >= 0 && px < dst->width && py < dst->height) {
            putPixel(dst, px, py, blendColour(colour, getPixel(dst, px, py), weight));
        }
    });
}

void drawConsoleText(const char* text, int x, int y, int colourIndex) {
    if (backSurface == nullptr) {
        return;
    }
    // An unknown colour index falls back to white rather than reading past the table.
    if (colourIndex < 0 || colourIndex > 6) {
        colourIndex = 0;
    }
    drawSmallText(backSurface, text, x, y, logColourTable[colourIndex]);
}
