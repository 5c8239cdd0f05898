// Drawing the pages that scroll under the stylus: control configuration, high scores, information page.
#pragma once

#include <cstdint>

enum { LIST_ROW_GAP = 5 };  // rows of the lists stand font 0's line height + 5 apart; a row takes taps
                            // from a line height above its baseline to 5 below

// Baseline of row i of a list page, page pixels: 20 + (i + 2) x (font 0's line height + 5).
int32_t listRowY(int i);

void renderControlConfig(void);
void renderHighScores(void);
void renderInfoPage(void);
