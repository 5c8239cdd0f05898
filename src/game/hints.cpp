// Helpful hints: reading the tags of a hint file and drawing its box, icon and word-wrapped text.
#include "game/hints.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "field/blocks.h"
#include "field/effects.h"
#include "field/gamevalues.h"
#include "field/powerup.h"
#include "game/play.h"
#include "gfx/blit.h"
#include "gfx/font.h"
#include "shell/datafile.h"
#include "shell/log.h"
#include "shell/runfolder.h"

enum {
    HINT_COUNTDOWN_CUT = 200,   // without a hint the ready countdown runs no longer than this
    TAB_SOURCE_X = 25,          // the title tab's pieces in "sprites.png"
    TAB_SOURCE_Y = 33,
    TAB_CORNER_WIDTH = 8,
    TAB_BODY_WIDTH = 80,
    ICON_CENTRE = 15,           // the icon's centre from the box's corner, pixels
    HEIGHT_PADDING = 16,        // the box is this much taller than the text's last row
};

static const uint16_t FRAME_GREY = packColour(16, 16, 16);
static const uint16_t FRAME_DOT = packColour(31, 31, 31);
static const uint16_t TEXT_WHITE = 0xFFFF;

namespace {
// The tag reader's state: the field being read and the fields of the current tag.
struct HintReader {
    char field[HINT_FIELD_CHARS + 1];
    int32_t fieldLength;
    char fields[HINT_FIELDS][HINT_FIELD_CHARS + 1];
    int32_t fieldCount;
    int32_t inside;
    int32_t heldReturn;  // 1: a carriage return waits to see whether a line feed follows
};
}  // namespace

// About 50 kB each: kept out of the stack and allocated once.
static HintReader reader;
static HintText shownHint;
// Which hint shownHint holds (-1 none yet) and whether its file was there: read once per level.
static int32_t shownNumber = -1;
static int shownLoaded = 0;

static void endField(void) {
    if (reader.fieldCount < HINT_FIELDS) {
        memcpy(reader.fields[reader.fieldCount], reader.field, (size_t)reader.fieldLength + 1);
        reader.fieldCount++;
    }
    reader.fieldLength = 0;
    reader.field[0] = 0;
}

static void endTag(HintText* out) {
    if (reader.fieldCount == 2) {
        const char* name = reader.fields[0];
        const char* value = reader.fields[1];
        if (strcmp(name, "show") == 0) {
            int32_t kind = readNumber(value);
            // Only the power-up kinds have icons; any other number shows none.
            out->icon = kind >= 0 && kind < POWERUP_KINDS ? kind : -1;
        } else if (strcmp(name, "width") == 0) {
            int32_t width = readNumber(value);
            if (!out->hasWidth || width < out->width) {
                out->width = width;
            }
            out->hasWidth = 1;
        } else if (strcmp(name, "hint") == 0) {
            memcpy(out->text, value, strlen(value) + 1);
            out->hasText = 1;
        }
    }
    reader.fieldCount = 0;
    reader.inside = 0;
}

static void beginHint(HintText* out) {
    memset(out, 0, sizeof(*out));
    out->icon = -1;
    reader.fieldLength = 0;
    reader.field[0] = 0;
    reader.fieldCount = 0;
    reader.inside = 0;
    reader.heldReturn = 0;
}

static void readChar(char c, HintText* out) {
    if (c == '[') {
        reader.fieldLength = 0;
        reader.field[0] = 0;
        reader.fieldCount = 0;
        reader.inside = 1;
    } else if (!reader.inside) {
        // Text outside the tags is not read.
    } else if (c == '|') {
        endField();
    } else if (c == ']') {
        endField();
        endTag(out);
    } else if (reader.fieldLength < HINT_FIELD_CHARS) {
        reader.field[reader.fieldLength++] = c;
        reader.field[reader.fieldLength] = 0;
    }
}

// A line end written as CR LF reads as one line break, as text files do where they were made.
static void feedChar(char c, HintText* out) {
    if (reader.heldReturn) {
        reader.heldReturn = 0;
        if (c != '\n') {
            readChar('\r', out);
        }
    }
    if (c == '\r') {
        reader.heldReturn = 1;
        return;
    }
    readChar(c, out);
}

static void endHint(HintText* out) {
    if (reader.heldReturn) {
        reader.heldReturn = 0;
        readChar('\r', out);
    }
}

void parseHint(const char* data, int32_t length, HintText* out) {
    beginHint(out);
    for (int32_t i = 0; i < length; i++) {
        feedChar(data[i], out);
    }
    endHint(out);
}

int loadHint(int32_t number, HintText* out) {
    char path[512];
    snprintf(path, sizeof(path), "%shint%d.txt", runPaths.dataPath, (int)number);
    FILE* file = openDataFile(path, HINT_MAX_FILE_BYTES, nullptr);
    beginHint(out);
    if (file == nullptr) {
        if (errno != ENOENT) {
            logFormat(1, 0, "[WARNING] Unable to read %s: %s.\n", path, strerror(errno));
        }
        return 0;
    }
    char chunk[4096];
    size_t length;
    while ((length = fread(chunk, 1, sizeof(chunk), file)) > 0) {
        for (size_t i = 0; i < length; i++) {
            feedChar(chunk[i], out);
        }
    }
    fclose(file);
    endHint(out);
    return 1;
}

void setUpHint(int32_t number) {
    shownNumber = number;
    shownLoaded = loadHint(number, &shownHint);
}

static int letterValue(char letter) {
    int v = (int)(signed char)letter - 'A';
    return v < 0 ? 0 : (v > 31 ? 31 : v);
}

uint16_t hintColour(char red, char green, char blue) {
    return packColour(letterValue(red), letterValue(green), letterValue(blue));
}

// Characters of the word that starts at text: up to the next space, line end or "-", without carriage
// returns and colour codes.
static int32_t wordLength(const char* text) {
    int32_t count = 0;
    for (const char* p = text; *p != 0 && *p != ' ' && *p != '\n' && *p != '-'; p++) {
        if (*p == '\r') {
            continue;
        }
        if (*p == '^') {
            for (int k = 0; k < 3 && p[1] != 0; k++) {
                p++;
            }
            continue;
        }
        count++;
    }
    return count;
}

int32_t layOutHintText(Surface* dst, int32_t x, int32_t y, const char* text, int32_t width, int32_t indent) {
    int32_t cx = 0, cy = 0;
    uint16_t colour = TEXT_WHITE;
    // A width tag may narrow the box to any negative width; below the smallest integer plus the margin
    // the subtraction would wrap round to a huge limit. Any negative limit lays out alike: every
    // character starts a line of its own.
    int32_t limit = width < INT32_MIN + HINT_RIGHT_MARGIN ? INT32_MIN : width - HINT_RIGHT_MARGIN;
    for (const char* p = text; *p != 0; p++) {
        if (cy < indent && cx < indent) {
            cx = indent;
        }
        char c = *p;
        if (c == '\n') {
            cx = 0;
            cy += HINT_LINE_HEIGHT;
            continue;
        }
        if (c == '^') {
            // A code cut short by the end of the text changes nothing.
            if (p[1] != 0 && p[2] != 0 && p[3] != 0) {
                colour = hintColour(p[1], p[2], p[3]);
                p += 3;
            } else {
                break;
            }
            continue;
        }
        if (c == '\r') {
            continue;
        }
        if (c != ' ' || cx != 0) {
            if (dst != nullptr) {
                char one[2] = {c, 0};
                drawSmallText(dst, one, x + cx + HINT_TEXT_MARGIN, y + cy + HINT_TEXT_MARGIN, colour);
            }
            cx += HINT_ADVANCE;
            if (cx >= limit) {
                cx = 0;
                cy += HINT_LINE_HEIGHT;
            }
        }
        if (c == ' ' || c == '-') {
            if (HINT_ADVANCE * wordLength(p + 1) + cx > limit) {
                cx = 0;
                cy += HINT_LINE_HEIGHT;
            }
        }
    }
    return cy;
}

// from + by, summed wide and clamped into the integers: a narrowed box may have any negative width, and
// a place past the integers is off every surface anyway.
static int32_t offsetOf(int32_t from, int64_t by) {
    int64_t at = (int64_t)from + by;
    return at < INT32_MIN ? INT32_MIN : (at > INT32_MAX ? INT32_MAX : (int32_t)at);
}

// Each 5-bit component c of the box's pixels becomes (c x 6) >> 4.
static void darkenBox(Surface* dst, int32_t x, int32_t y, int32_t w, int32_t h) {
    int32_t left = x < 0 ? 0 : x, top = y < 0 ? 0 : y;
    int32_t right = offsetOf(x, w) > dst->width ? dst->width : offsetOf(x, w);
    int32_t bottom = offsetOf(y, h) > dst->height ? dst->height : offsetOf(y, h);
    for (int32_t py = top; py < bottom; py++) {
        for (int32_t px = left; px < right; px++) {
            int r, g, b;
            unpackColour(getPixel(dst, px, py), &r, &g, &b);
            putPixel(dst, px, py, packColour((r * 6) >> 4, (g * 6) >> 4, (b * 6) >> 4));
        }
    }
}

static void drawFrame(Surface* dst, int32_t x, int32_t y, int32_t w, int32_t h) {
    // The edges never run further than the surface: a box of absurd size costs no more than the screen.
    int32_t rowEnd = offsetOf(x, w) < dst->width ? offsetOf(x, w) : dst->width;
    int32_t columnEnd = offsetOf(y, h) < dst->height ? offsetOf(y, h) : dst->height;
    int32_t right = offsetOf(x, (int64_t)w - 1), bottom = offsetOf(y, (int64_t)h - 1);
    int32_t tabEnd = offsetOf(x, HINT_TAB_WIDTH);
    for (int32_t px = tabEnd < 0 ? 0 : tabEnd; px < rowEnd; px++) {
        putPixel(dst, px, y, FRAME_GREY);
    }
    for (int32_t px = x < 0 ? 0 : x; px < rowEnd; px++) {
        putPixel(dst, px, bottom, FRAME_GREY);
    }
    for (int32_t py = y < 0 ? 0 : y; py < columnEnd; py++) {
        putPixel(dst, x, py, FRAME_GREY);
        putPixel(dst, right, py, FRAME_GREY);
    }
    putPixel(dst, offsetOf(x, HINT_TAB_WIDTH - 1), y, FRAME_DOT);
    putPixel(dst, x, bottom, FRAME_DOT);
    putPixel(dst, right, bottom, FRAME_DOT);
    putPixel(dst, right, y, FRAME_DOT);
}

void drawHint(Surface* dst, int32_t x, int32_t y, int32_t number) {
    if (dst == nullptr) {
        return;
    }
    if (number != shownNumber) {
        setUpHint(number);
    }
    if (!shownLoaded) {
        if (game.readyCountdown > HINT_COUNTDOWN_CUT) {
            game.readyCountdown = HINT_COUNTDOWN_CUT;
        }
        return;
    }
    if (shownHint.hasWidth && shownHint.width < hintPanel.width) {
        hintPanel.width = shownHint.width;
    }
    int32_t w = hintPanel.width, h = hintPanel.height;
    if (effects.spritesPicture != nullptr) {
        blit(dst, x, y - HINT_TAB_HEIGHT, TAB_CORNER_WIDTH, HINT_TAB_HEIGHT, effects.spritesPicture, TAB_SOURCE_X,
             TAB_SOURCE_Y, BLIT_TRANSPARENT);
        blit(dst, x + TAB_CORNER_WIDTH, y - HINT_TAB_HEIGHT, TAB_BODY_WIDTH, HINT_TAB_HEIGHT, effects.spritesPicture,
             TAB_SOURCE_X + TAB_CORNER_WIDTH, TAB_SOURCE_Y, BLIT_COPY);
    }
    darkenBox(dst, x, y, w, h);
    drawFrame(dst, x, y, w, h);
    int32_t indent = 0;
    if (shownHint.icon >= 0) {
        drawPowerUpMark(dst, x + ICON_CENTRE, y + ICON_CENTRE, (int)(game.updateCounter & 31), shownHint.icon);
        indent = HINT_ICON_INDENT;
    }
    int32_t cy = layOutHintText(dst, x, y, shownHint.text, w, indent);
    if (cy + HEIGHT_PADDING != hintPanel.height) {
        hintPanel.height = cy + HEIGHT_PADDING;
    }
}
