// Drawing of the play field's power-ups: falling capsules, the active list and the paddle's marks.
#include <gtest/gtest.h>

#include "fieldkit.h"
#include "gfx/draw.h"
#include "shell/mainloop.h"

TEST(DrawPowerUps, CapsulesActiveListAndPaddleMarks) {
    makeKitField();
    clearSurface(effects.powerUpsPicture);
    for (int k = 0; k < POWERUP_KINDS; k++) {
        putPixel(effects.powerUpsPicture, k * 24, 48, packColour(k + 1, 0, 0));  // the cell's top-left pixel
    }
    spawnFallingPowerUp(50, 60, 4);
    powerUps.capsules[0].age = 3;
    collectPowerUp(POWERUP_FROZEN_PADDLE);
    collectPowerUp(POWERUP_QUICK_PADDLE);
    paddle.x = 120;
    paddle.y = 280;
    drawPowerUps();
    // The capsule of kind 4 (red 5) at phase 3; entries 0 and 1 at (12, 12) and (12, 28), phase 0; on the
    // paddle frozen, then quick 24 below, no sluggish 12 below.
    EXPECT_EQ(pixelsAt(backSurface, {{38, 48}, {0, 0}, {0, 16}, {108, 268}, {108, 292}, {108, 280}}),
              (Ints{packColour(2, 0, 0), packColour(17, 0, 0), packColour(14, 0, 0), packColour(17, 0, 0),
                    packColour(14, 0, 0), 0}));
}
