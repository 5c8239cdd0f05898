// Helpful hints: the tagged hint files and the framed, darkened box they are drawn in over the field.
#pragma once

#include <cstdint>

#include "gfx/surface.h"

enum {
    HINT_FIELD_CHARS = 1000,  // characters kept per field of a tag
    HINT_FIELDS = 50,         // fields kept per tag
    HINT_ICON_INDENT = 27,    // pixels of the text area left free beside the icon, across and down
    HINT_LINE_HEIGHT = 7,     // pixels: the 6-row letters and one row of leading
    HINT_ADVANCE = 6,         // pixels per character
    HINT_TEXT_MARGIN = 5,     // pixels from the box's corner to the text's first character
    HINT_RIGHT_MARGIN = 10,   // a line wraps once the cursor comes this close to the box's width
    HINT_TAB_WIDTH = 88,      // the title tab above the box covers this much of its top edge
    HINT_TAB_HEIGHT = 12,
    HINT_MAX_FILE_BYTES = 1 << 20,  // a longer hint file is refused like an unreadable one
};

// What a hint file says. Only tags of exactly two fields count; a later tag overrides an earlier one.
struct HintText {
    int32_t icon;                      // power-up kind 0..21 of the "show" tag, -1 none
    int32_t hasWidth;                  // 1 when a "width" tag was given
    int32_t width;                     // the narrowest "width" tag's value, pixels (tags only narrow)
    int32_t hasText;                   // 1 when a "hint" tag was given
    char text[HINT_FIELD_CHARS + 1];   // the "hint" tag's value, zero-terminated
};

// Reads the tags of a hint file's characters (length bytes, zeros included) into out.
void parseHint(const char* data, int32_t length, HintText* out);
// Reads "hint<number>.txt" from the data folder; 0 when it cannot be opened, is no regular file or is
// longer than 1 MiB (out is emptied then).
int loadHint(int32_t number, HintText* out);
// Reads hint `number` into the box's memory; done when a level is set up, so that drawing never
// touches the file.
void setUpHint(int32_t number);

// The colour a "^" code's three letters give: each letter minus 'A', clamped to 0..31.
uint16_t hintColour(char red, char green, char blue);

// Lays the text out in a box of the given width (with the icon's indent when shown), drawing each
// character onto dst with its top-left inner corner at (x, y) unless dst is null. Returns the cursor's
// final row, pixels below the first line's row.
int32_t layOutHintText(Surface* dst, int32_t x, int32_t y, const char* text, int32_t width, int32_t indent);

// Draws hint `number` with the box's top-left inner corner at (x, y): title tab, darkened box, frame,
// icon and text, from memory (a number other than the one set up is read once first). The box takes its width and height from the hint panel (play.h); the width tags narrow
// it, and the height becomes the text's height from the next drawing on. A missing file draws nothing
// and cuts a ready countdown above 200 to 200.
void drawHint(Surface* dst, int32_t x, int32_t y, int32_t number);
