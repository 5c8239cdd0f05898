// The level editor: palettes, snapping, the fit test, the edits on the level block list and the saving.
#include "field/editor.h"

#include <cerrno>
#include <cstring>

#include "field/blocks.h"
#include "field/debris.h"
#include "field/gamevalues.h"
#include "field/level.h"
#include "field/powerup.h"
#include "gfx/blit.h"
#include "gfx/draw.h"
#include "platform/platform.h"
#include "shell/datafile.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "shell/savefile.h"
#include "sound/music.h"

EditorState editor = {-1, -1, 0, 0, 0, 0, 0, 0, 0};
void (*drawEditorHeld)(void) = nullptr;

void editorReset(void) {
    editor.selectedType = -1;
    editor.selectedPowerUp = -1;
    editor.grabX = 0;
    editor.grabY = 0;
    editor.pickedUp = 0;
    editor.painting = 0;
    editor.edited = 0;
    drawEditorOverlay = drawEditorPalettes;
    drawEditorHeld = drawEditorHand;
}

// ---- Palette layout -------------------------------------------------------------------------------

// Walks the type palette: the types in table order, in rows from the bottom up; a type that would
// reach past the right margin starts a new row. Fills the places (when asked) and returns the top of
// the last row.
static int32_t layOutTypes(int32_t* xs, int32_t* ys) {
    int32_t limit = screenWidth() - PALETTE_RIGHT_MARGIN;
    int32_t x = 0, y = PALETTE_BOTTOM_ROW;
    for (int t = 0; t < blockTypeCount; t++) {
        int32_t w = blockTypes[t].width;
        if (x + w + PALETTE_GAP > limit) {
            y -= PALETTE_ROW_STEP;
            x = 0;
        }
        if (xs != nullptr) {
            xs[t] = x;
            ys[t] = y;
        }
        x += w + PALETTE_GAP;
    }
    return y;
}

int paletteTypePlace(int type, int32_t* x, int32_t* y) {
    if (type < 0 || type >= blockTypeCount) {
        return 0;
    }
    int32_t xs[MAX_BLOCK_TYPES], ys[MAX_BLOCK_TYPES];
    layOutTypes(xs, ys);
    *x = xs[type];
    *y = ys[type];
    return 1;
}

int32_t paletteLastRowTop(void) {
    return layOutTypes(nullptr, nullptr);
}

void palettePowerUpCentre(int kind, int32_t* x, int32_t* y) {
    int32_t cx = PALETTE_MARK_STEP / 2, cy = paletteLastRowTop() - PALETTE_MARK_STEP / 2;
    for (int k = 0; k < kind; k++) {
        cx += PALETTE_MARK_STEP;
        if (cx > screenWidth() - PALETTE_MARK_STEP) {
            cx = PALETTE_MARK_STEP / 2;
            cy -= PALETTE_MARK_ROW_STEP;
        }
    }
    *x = cx;
    *y = cy;
}

int paletteTypeAt(int32_t px, int32_t py) {
    int32_t xs[MAX_BLOCK_TYPES], ys[MAX_BLOCK_TYPES];
    layOutTypes(xs, ys);
    for (int t = 0; t < blockTypeCount; t++) {
        if (xs[t] <= px && px <= xs[t] + blockTypes[t].width && ys[t] <= py && py <= ys[t] + blockTypes[t].height) {
            return t;
        }
    }
    return -1;
}

int palettePowerUpAt(int32_t px, int32_t py) {
    for (int k = 0; k < POWERUP_KINDS; k++) {
        int32_t cx, cy;
        palettePowerUpCentre(k, &cx, &cy);
        int32_t dx = px - cx, dy = py - cy;
        if (dx >= -PALETTE_MARK_REACH && dx <= PALETTE_MARK_REACH && dy >= -PALETTE_MARK_REACH &&
            dy <= PALETTE_MARK_REACH) {
            return k;
        }
    }
    return -1;
}

// ---- Holding and placing blocks ----------------------------------------------------------------------

void editorSnap(void) {
    if (editor.selectedType < 0) {
        return;
    }
    // Division truncates toward zero. A block held by its middle near the left or top edge would come
    // out at a negative place, which the level record cannot hold: it stops at the edge instead.
    int32_t x = (stylus.x - editor.grabX) / EDITOR_SNAP * EDITOR_SNAP;
    int32_t y = (stylus.y - editor.grabY) / EDITOR_SNAP * EDITOR_SNAP;
    editor.snappedX = x < 0 ? 0 : x;
    editor.snappedY = y < 0 ? 0 : y;
}

void editorSelectType(int type) {
    editor.selectedType = type;
    // A type taken from the palette is not a lifted block, whatever was held before.
    editor.pickedUp = 0;
    const BlockType* t = blockTypeOf(type);
    editor.grabX = t->width >> 1;
    editor.grabY = t->height >> 1;
}

int editorFits(int type, int32_t x, int32_t y) {
    if (type < 0 || type >= blockTypeCount || currentLevel.collisionMap == nullptr ||
        currentLevel.blocksPicture == nullptr) {
        return 0;
    }
    const BlockType* t = &blockTypes[type];
    for (int dy = 0; dy < t->height; dy++) {
        for (int dx = 0; dx < t->width; dx++) {
            if (getPixel(currentLevel.blocksPicture, t->cellX + dx, t->cellY + dy) == 0) {
                continue;
            }
            // Beyond the map's edge reads as free: a block may reach past it, and drawing clips it there.
            if (getPixel(currentLevel.collisionMap, x + dx, y + dy) > 0) {
                return 0;
            }
        }
    }
    return 1;
}

static int blockExists(int index) {
    return index >= 0 && index < currentLevel.blockCount;
}

void editorPickUp(int index) {
    if (!blockExists(index)) {
        return;
    }
    const LevelBlock* b = &currentLevel.blocks[index];
    editor.selectedType = b->type;
    editor.grabX = stylus.x - b->x;
    editor.grabY = stylus.y - b->y;
    editor.pickedUp = 1;
    // Snapped at once, so that a release before the next frame puts the block back where it was taken
    // rather than where an earlier held block was last shown.
    editorSnap();
    breakBlock(index);
    editor.edited = 1;
    redrawField();
}

void editorErase(int index) {
    if (!blockExists(index)) {
        return;
    }
    breakBlock(index);
    editor.edited = 1;
    redrawField();
}

void editorAssignPowerUp(int index, int kind) {
    if (!blockExists(index) || kind < 0 || kind >= POWERUP_KINDS) {
        return;
    }
    currentLevel.blocks[index].powerUp = (uint16_t)(kind + 1);
    editor.edited = 1;
    redrawField();
}

void editorStamp(void) {
    if (editor.selectedType < 0 || editor.pickedUp != 0 || editor.painting == 0) {
        return;
    }
    if (!editorFits(editor.selectedType, editor.snappedX, editor.snappedY)) {
        return;
    }
    addLevelBlock(editor.snappedX, editor.snappedY, editor.selectedType, 0);
    editor.edited = 1;
    redrawField();
}

void editorDrop(void) {
    if (editor.selectedType < 0 || editor.pickedUp == 0) {
        return;
    }
    if (!editorFits(editor.selectedType, editor.snappedX, editor.snappedY)) {
        return;
    }
    addLevelBlock(editor.snappedX, editor.snappedY, editor.selectedType, 0);
    editor.edited = 1;
    editor.selectedType = -1;
    editor.pickedUp = 0;
    redrawField();
}

// ---- Saving and moving between levels ------------------------------------------------------------

int editorSave(void) {
    if (!editor.edited) {
        return 1;
    }
    char path[512];
    levelFileName(path, sizeof(path), game.levelIndex);
    for (;;) {
        const char* reason = nullptr;
        // A level whose file was there but could not be read was opened empty: writing it would put
        // the player's new blocks over everything the file held.
        if (currentLevel.unreadable && dataPathExists(path)) {
            reason = "The file could not be read when the level was opened, so it is not written over.";
        } else if (saveLevel(game.levelIndex)) {
            editor.edited = 0;
            currentLevel.unreadable = 0;
            return 1;
        } else {
            reason = strerror(errno);
        }
        logFormat(1, LOG_ERROR, "[ERROR] %s was not saved: %s\n", path, reason);
        if (!askRetrySave(path, reason)) {
            return 0;
        }
    }
}

void editorChangeLevel(int step) {
    int32_t next = game.levelIndex + step;
    if (next < 0 || next > LAST_LEVEL_INDEX) {
        return;
    }
    // A level whose changes could not be written stays open, so the player's work is not thrown away
    // with it.
    if (!editorSave()) {
        return;
    }
    unloadLevel();
    game.levelIndex = next;
    loadLevel(next);
    requestMusic(currentLevel.musicTrack);
    // The level owns an untouched copy of its background, which the next unload frees with it; the field
    // picture stays, made anew only if the new background has another size.
    if (currentLevel.pristineBackground != nullptr) {
        removeSurface(&currentLevel.pristineBackground);
    }
    if (currentLevel.backgroundPicture != nullptr) {
        int w = currentLevel.backgroundPicture->width, h = currentLevel.backgroundPicture->height;
        currentLevel.pristineBackground = createSurface(w, h);
        blit(currentLevel.pristineBackground, 0, 0, w, h, currentLevel.backgroundPicture, 0, 0, BLIT_COPY);
        if (currentLevel.fieldPicture != nullptr &&
            (currentLevel.fieldPicture->width != w || currentLevel.fieldPicture->height != h)) {
            removeSurface(&currentLevel.fieldPicture);
        }
        if (currentLevel.fieldPicture == nullptr) {
            currentLevel.fieldPicture = createSurface(w, h);
        }
    }
    editor.edited = 0;
    if (editor.selectedType >= blockTypeCount) {
        editor.selectedType = -1;
        editor.pickedUp = 0;
    }
    redrawField();
}

int32_t editorLeave(void) {
    return editorSave() ? MODE_MAIN_MENU : MODE_EDITOR;
}

// ---- Input -------------------------------------------------------------------------------------

// What a press, a painting move or the action key does at the stylus: with no type held, lift (press)
// or erase (the others) the block there, or hide the selected power-up in it; with a type held, stamp.
static void editorAct(int32_t message) {
    if (editor.selectedType >= 0) {
        editorStamp();
        return;
    }
    int b = findBlockAt(stylus.x, stylus.y);
    if (b < 0) {
        return;
    }
    if (editor.selectedPowerUp >= 0) {
        editorAssignPowerUp(b, editor.selectedPowerUp);
    } else if (message == MSG_LBUTTONDOWN) {
        editorPickUp(b);
    } else {
        editorErase(b);
    }
}

void editorInput(int32_t message, int32_t key) {
    switch (message) {
    case MSG_KEYDOWN:
        if (key == controlKeys[CONTROL_ACTION]) {
            editor.painting = 1;
            editorAct(message);
        }
        break;
    case MSG_KEYUP:
        if (key == controlKeys[CONTROL_DOWN]) {
            editorChangeLevel(-1);
        } else if (key == controlKeys[CONTROL_UP]) {
            editorChangeLevel(+1);
        } else if (key == controlKeys[CONTROL_ACTION]) {
            editor.painting = 0;
            if (!stylus.down) {
                editor.selectedType = -1;
                editor.selectedPowerUp = -1;
                editor.pickedUp = 0;
            }
        } else if (key == controlKeys[CONTROL_LEFT]) {
            if (blockTypeCount > 0) {
                editorSelectType(editor.selectedType <= 0 ? blockTypeCount - 1 : editor.selectedType - 1);
            }
        } else if (key == controlKeys[CONTROL_RIGHT]) {
            if (blockTypeCount > 0) {
                editorSelectType((editor.selectedType + 1) % blockTypeCount);
            }
        }
        break;
    case MSG_LBUTTONDOWN: {
        int t = paletteTypeAt(stylus.x, stylus.y);
        if (t >= 0) {
            editorSelectType(t);
            break;
        }
        int k = palettePowerUpAt(stylus.x, stylus.y);
        if (k >= 0) {
            editor.selectedPowerUp = k;
        }
        editorAct(message);
        break;
    }
    case MSG_MOUSEMOVE:
        if (editor.painting) {
            editorAct(message);
        }
        break;
    case MSG_LBUTTONUP:
        editorDrop();
        break;
    default:
        break;
    }
}

// ---- Drawing -------------------------------------------------------------------------------------

void drawEditorPalettes(void) {
    Surface* field = currentLevel.fieldPicture;
    if (field == nullptr) {
        return;
    }
    // The grid: where a row crosses a column the pixel is brightened twice.
    for (int x = EDITOR_GRID; x < field->width; x += EDITOR_GRID) {
        for (int y = 0; y < field->height; y++) {
            putPixel(field, x, y, brighten(getPixel(field, x, y), EDITOR_GRID_LIGHT));
        }
    }
    for (int y = EDITOR_GRID; y < field->height; y += EDITOR_GRID) {
        for (int x = 0; x < field->width; x++) {
            putPixel(field, x, y, brighten(getPixel(field, x, y), EDITOR_GRID_LIGHT));
        }
    }
    int32_t xs[MAX_BLOCK_TYPES], ys[MAX_BLOCK_TYPES];
    layOutTypes(xs, ys);
    for (int t = 0; t < blockTypeCount; t++) {
        const BlockType* bt = &blockTypes[t];
        int32_t x = xs[t], y = ys[t];
        // Each type on its own black plate, two pixels round its cell.
        for (int py = y - PALETTE_GAP; py <= y + bt->height + 1; py++) {
            for (int px = x - PALETTE_GAP; px <= x + bt->width + 1; px++) {
                putPixel(field, px, py, 0);
            }
        }
        if (currentLevel.blocksPicture != nullptr) {
            blit(field, x, y, bt->width, bt->height, currentLevel.blocksPicture, bt->cellX, bt->cellY,
                 BLIT_TRANSPARENT);
        }
    }
    for (int k = 0; k < POWERUP_KINDS; k++) {
        int32_t cx, cy;
        palettePowerUpCentre(k, &cx, &cy);
        drawPowerUpMark(field, cx, cy, 0, k);
    }
}

void drawEditorHand(void) {
    if (backSurface == nullptr) {
        return;
    }
    if (editor.selectedType >= 0) {
        editorSnap();
        if (currentLevel.blocksPicture != nullptr && editor.selectedType < blockTypeCount) {
            const BlockType* t = &blockTypes[editor.selectedType];
            blit(backSurface, editor.snappedX, editor.snappedY, t->width, t->height, currentLevel.blocksPicture,
                 t->cellX, t->cellY,
                 BLIT_TRANSPARENT);
        }
    }
    if (editor.selectedPowerUp >= 0) {
        drawPowerUpMark(backSurface, stylus.x, stylus.y, (int)(game.updateCounter & 31), editor.selectedPowerUp);
    }
}
