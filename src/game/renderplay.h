// Drawing the screens of a game: the level chooser, play, game over and the level editor.
#pragma once

void renderLevelSelect(void);
void renderPlay(void);
void renderGameOver(void);
void renderEditor(void);
