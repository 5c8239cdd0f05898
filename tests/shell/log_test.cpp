// The log: level filter, 30-column wrapping, newline rules, colours, the error peek.
#include <gtest/gtest.h>

#include <string>

#include "shell/log.h"
#include "shell/overlay.h"
#include "support/testutil.h"

namespace {

// The lines from the newest (0) up to the first empty one, joined by "|".
std::string lines(void) {
    std::string text;
    for (int n = 0; n < LOG_LINES && (n == 0 || logBuffer.text[n][0] != 0); n++) {
        text += (n > 0 ? "|" : "") + std::string(logBuffer.text[n], strnlen(logBuffer.text[n], LOG_COLUMNS));
    }
    return text;
}

}  // namespace

TEST(Log, WrapsAtThirtyColumnsFiltersByLevelAndKeepsEachCharactersColour) {
    resetOverlay();
    struct Case {
        int threshold;
        std::string text;
        const char* lines;  // newest first
        int column;
    };
    const Case cases[] = {
        {0, "start-up line\n", "", 0},
        {1, "0123456789012345678901234567890123456789", "0123456789|012345678901234567890123456789", 10},
        // A newline after a full line leaves an empty line.
        {1, "012345678901234567890123456789\nnext", "next", 4},
    };
    for (const Case& c : cases) {
        clearLog();
        logLevel = c.threshold;
        logMessage(1, c.text.c_str());
        EXPECT_EQ(lines(), c.lines) << c.text;
        EXPECT_EQ(logBuffer.column, c.column) << c.text;
    }
    EXPECT_EQ(std::string(logBuffer.text[2]).substr(0, 30), "012345678901234567890123456789");
    clearLog();
    logColoured(1, "ab", 2);
    logColoured(2, "cd", 5);  // above the threshold
    logColoured(1, "e\n", 4);
    EXPECT_EQ(lines(), "|abe");
    EXPECT_EQ((Ints{logBuffer.colours[1][0], logBuffer.colours[1][2]}), (Ints{2, 4}));
    for (int i = 0; i < LOG_LINES; i++) {
        logMessage(1, "x\n");
    }
    EXPECT_EQ(std::string(logBuffer.text[LOG_LINES - 1], 1), "x");  // "abe" fell off the top
    logLevel = 0;
}

// An error line drops a closed window to its peek; one below the threshold, a window fully open or one
// lowered to y 20 or more is left alone.
TEST(Log, AnErrorLineDropsAClosedWindowToItsPeek) {
    const int cases[][4] = {{1, 0, 0, 3}, {0, 0, 0, 0}, {1, 2, 0, 2}, {1, 0, 20, 0}};
    for (const auto& c : cases) {
        resetOverlay();
        logLevel = c[0];
        overlay.logState = c[1];
        overlay.logY = c[2];
        logColoured(1, "[ERROR] x\n", 6);
        EXPECT_EQ(overlay.logState, c[3]) << c[0] << " " << c[1] << " " << c[2];
    }
    logLevel = 0;
}
