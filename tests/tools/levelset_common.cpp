// Level set-up for the level set tests, as the game does it around loadLevel.
#include "levelset_common.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "field/blocks.h"
#include "field/level.h"
#include "gfx/blit.h"
#include "gfx/picture.h"
#include "shell/runfolder.h"

void openTestLevel(int n) {
    setGamma(128);
    snprintf(runPaths.dataPath, sizeof runPaths.dataPath, "./Data/");
    loadLevel(n);
    const Surface* back = currentLevel.backgroundPicture;
    currentLevel.pristineBackground = createSurface(back->width, back->height);
    blit(currentLevel.pristineBackground, 0, 0, back->width, back->height, back, 0, 0, BLIT_COPY);
    currentLevel.fieldPicture = createSurface(back->width, back->height);
    redrawField();
}

void closeTestLevel() {
    EXPECT_EQ(unloadLevel(), 1);
    removeSurface(&currentLevel.fieldPicture);
}
