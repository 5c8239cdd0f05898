// Drawing the pages that scroll under the stylus: control configuration, high scores, information page.
#pragma once

void renderControlConfig(void);
void renderHighScores(void);
void renderInfoPage(void);
