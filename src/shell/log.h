// The log: a 100-line by 30-column text buffer with a colour per character, behind a level filter.
#pragma once

#include <cstdint>

enum { LOG_LINES = 100, LOG_COLUMNS = 30 };

struct LogBuffer {
    char text[LOG_LINES][LOG_COLUMNS];      // line 0 is being written; a 0 byte ends a shorter line
    uint8_t colours[LOG_LINES][LOG_COLUMNS]; // index into logColourTable (gfx/font.h)
    int32_t column;                           // next column to write in line 0 (0..30)
};

extern LogBuffer logBuffer;
// A message is taken only when its level is at most this. 0 in both builds; tests raise it.
extern int32_t logLevel;
// Indices into the console colours.
enum LogColour {
    LOG_WHITE = 0,
    LOG_YELLOW = 1,
    LOG_CYAN = 2,
    LOG_BLUE = 3,
    LOG_MAGENTA = 4,
    LOG_GREEN = 5,
    LOG_RED = 6,
    LOG_ERROR = LOG_RED,  // every error line
};
void logMessage(int level, const char* text);
void logColoured(int level, const char* text, int colour);
// printf-style convenience over logColoured; the text is cut at 511 characters.
void logFormat(int level, int colour, const char* format, ...) __attribute__((format(printf, 3, 4)));
// Empties the buffer (tests only: the game never clears it).
void clearLog(void);
