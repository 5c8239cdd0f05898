// The log: level filter, 30-column wrapping, newline rules, the error peek.
#include <gtest/gtest.h>

#include <string>

#include "shell/log.h"
#include "shell/overlay.h"

namespace {

std::string line(int n) {
    return std::string(logBuffer.text[n], strnlen(logBuffer.text[n], LOG_COLUMNS));
}

class Log : public ::testing::Test {
protected:
    void SetUp() override {
        clearLog();
        resetOverlay();
        logLevel = 1;
    }
    void TearDown() override { logLevel = 0; }
};

}  // namespace

TEST_F(Log, ThresholdZeroDropsEveryMessage) {
    logLevel = 0;
    logMessage(1, "start-up line\n");
    logColoured(2, "panel event\n", 0);
    logColoured(1, "[ERROR] broken\n", 6);
    for (int i = 0; i < LOG_LINES; i++) {
        EXPECT_EQ(line(i), "") << i;
    }
    EXPECT_EQ(logBuffer.column, 0);
    EXPECT_EQ(overlay.logState, 1);  // a dropped error does not open the window
}

TEST_F(Log, FortyCharactersWrapAfterThirty) {
    logMessage(1, "0123456789012345678901234567890123456789");
    EXPECT_EQ(line(1), "012345678901234567890123456789");
    EXPECT_EQ(line(0), "0123456789");
    EXPECT_EQ(logBuffer.column, 10);
}

TEST_F(Log, ANewlineAfterAFullLineLeavesAnEmptyLine) {
    logMessage(1, "012345678901234567890123456789\n");
    logMessage(1, "next");
    EXPECT_EQ(line(2), "012345678901234567890123456789");
    EXPECT_EQ(line(1), "");
    EXPECT_EQ(line(0), "next");
}

TEST_F(Log, ColoursAndLevelsAndTheLastLineFallsOff) {
    logColoured(1, "ab", 2);
    logColoured(2, "cd", 5);  // above the threshold
    logColoured(1, "e\n", 4);
    EXPECT_EQ(line(1), "abe");
    EXPECT_EQ(logBuffer.colours[1][0], 2);
    EXPECT_EQ(logBuffer.colours[1][2], 4);
    logMessage(1, "first\n");
    for (int i = 0; i < LOG_LINES; i++) {
        logMessage(1, "x\n");
    }
    for (int i = 0; i < LOG_LINES; i++) {
        EXPECT_NE(line(i), "first");
    }
    logFormat(1, 0, "Mode %d --> %d\n", 0, 500);
    EXPECT_EQ(line(1), "Mode 0 --> 500");
}

TEST_F(Log, AnErrorLineDropsAClosedWindowToItsPeek) {
    overlay.logState = 0;
    overlay.logY = 0;
    logColoured(1, "[ERROR] x\n", 6);
    EXPECT_EQ(overlay.logState, 3);
    // Fully open, or lowered to y 20 or more: left alone.
    overlay.logState = 2;
    logColoured(1, "[ERROR] x\n", 6);
    EXPECT_EQ(overlay.logState, 2);
    overlay.logState = 0;
    overlay.logY = 20;
    logColoured(1, "[ERROR] x\n", 6);
    EXPECT_EQ(overlay.logState, 0);
}
