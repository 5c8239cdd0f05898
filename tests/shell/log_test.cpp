// The log's error peek (its wrapping, colours and lines show in the overlay's frames).
#include <gtest/gtest.h>

#include "shell/log.h"
#include "shell/overlay.h"

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
