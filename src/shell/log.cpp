// The log buffer and its calls: level filter, 30-column wrapping, the error peek of the overlay.
#include "shell/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "shell/overlay.h"

LogBuffer logBuffer;
int32_t logLevel = 0;

// Moves every line one down (the last is lost) and starts an empty line 0.
static void newLine(void) {
    memmove(logBuffer.text[1], logBuffer.text[0], sizeof(logBuffer.text[0]) * (LOG_LINES - 1));
    memmove(logBuffer.colours[1], logBuffer.colours[0], sizeof(logBuffer.colours[0]) * (LOG_LINES - 1));
    memset(logBuffer.text[0], 0, sizeof(logBuffer.text[0]));
    memset(logBuffer.colours[0], 0, sizeof(logBuffer.colours[0]));
    logBuffer.column = 0;
}

void logColoured(int level, const char* text, int colour) {
    if (level > logLevel) {
        return;
    }
    const char* p = text;
    while (*p != 0) {
        if (logBuffer.column < LOG_COLUMNS && *p != '\n') {
            logBuffer.text[0][logBuffer.column] = *p;
            logBuffer.colours[0][logBuffer.column] = (uint8_t)colour;
            logBuffer.column++;
            p++;
        } else {
            // A newline is consumed by the new line; any character that met a full line, a newline
            // included, is kept for the next one (so a newline after 30 characters starts two lines).
            bool consumed = (*p == '\n' && logBuffer.column < LOG_COLUMNS);
            newLine();
            if (consumed) {
                p++;
            }
        }
    }
    if (colour == 6) {
        overlayPeek();
    }
}

void logMessage(int level, const char* text) {
    logColoured(level, text, 0);
}

void logFormat(int level, int colour, const char* format, ...) {
    if (level > logLevel) {
        return;
    }
    char text[512];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    logColoured(level, text, colour);
}

void clearLog(void) {
    memset(&logBuffer, 0, sizeof(logBuffer));
}
