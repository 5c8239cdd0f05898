// The level editor: its values, the palettes' layout and drawing, snapping, the fit test and the edits.
#pragma once

#include <cstdint>

enum {
    EDITOR_SNAP = 5,              // blocks land on a 5-pixel grid
    EDITOR_GRID = 20,             // the grid drawn over the field is 20 pixels apart
    EDITOR_GRID_LIGHT = 5,        // how much the grid lines brighten the field
    PALETTE_BOTTOM_ROW = 300,     // top of the type palette's first (lowest) row, pixels
    PALETTE_ROW_STEP = 22,        // each further type row lies this much higher
    PALETTE_GAP = 2,              // pixels between two types of a row
    PALETTE_RIGHT_MARGIN = 50,    // a type row ends this far from the screen's right edge
    PALETTE_MARK_STEP = 24,       // power-up marks: centre to centre across a row
    PALETTE_MARK_ROW_STEP = 16,   // each further mark row lies this much higher
    PALETTE_MARK_REACH = 10,      // a mark takes taps up to this far from its centre
    LAST_LEVEL_INDEX = 99,
};

// What the editor holds between inputs.
struct EditorState {
    int32_t selectedType;     // index into the block type table, -1 none
    int32_t selectedPowerUp;  // power-up kind 0..21, -1 none
    int32_t grabX, grabY;     // pixels from the held block's top-left to the stylus
    int32_t snappedX, snappedY; // top-left where the held block would go, pixels (multiples of 5)
    int32_t pickedUp;         // 1 while the held type came from a block lifted off the level
    int32_t painting;         // 1 while the action key is held
    int32_t edited;           // 1 once the level was changed since it was opened or saved
};

extern EditorState editor;

// What the editor holds (the held block, the chosen power-up), drawn by the editor screen over the field;
// null until the editor is entered.
extern void (*drawEditorHeld)(void);

// The values as entering the editor leaves them: nothing selected or held, not painting. Also makes
// redrawField draw the editor's grid and palettes, and the editor screen what the editor holds.
void editorReset(void);

// Palette layout, shared by drawing and hit testing. The types stand in rows from y 300 upwards.
// Place of type t (its cell's top-left); 0 when t is not in the table.
int paletteTypePlace(int type, int32_t* x, int32_t* y);
// Top of the last (highest) type row; 300 with an empty table.
int32_t paletteLastRowTop(void);
// Centre of the mark of power-up kind 0..21.
void palettePowerUpCentre(int kind, int32_t* x, int32_t* y);
// The first type whose place (edges included) holds the point, -1 when none does.
int paletteTypeAt(int32_t px, int32_t py);
// The first kind whose mark lies within 10 pixels in x and y of the point, -1 when none does.
int palettePowerUpAt(int32_t px, int32_t py);

// Snaps the held type's top-left to the grid under the stylus (once per frame while a type is held).
void editorSnap(void);
// Takes type `type` from the palette, held by its middle (not a lifted block).
void editorSelectType(int type);
// 1 when type `type` placed with its top-left at (x, y) covers no wall, block or pile pixel and lies
// inside the collision map.
int editorFits(int type, int32_t x, int32_t y);
// Lifts block `index` off the level: its type becomes the held type, held where the stylus took it.
void editorPickUp(int index);
// Breaks block `index` out of the level.
void editorErase(int index);
// Hides power-up kind `kind` in block `index`, replacing what it held.
void editorAssignPowerUp(int index, int kind);
// While painting with a palette type, places it at the snapped position where it fits.
void editorStamp(void);
// Puts a lifted block down at the snapped position where it fits; otherwise it stays held.
void editorDrop(void);
// Saves the level being edited when it was changed since it was opened or last saved; a level whose
// file is there but could not be read is never written over. When the save fails the player is asked:
// Retry tries again, Cancel gives up. Returns 1 when nothing is left unsaved.
int editorSave(void);
// Saves the level (when edited) and moves to the level `step` (-1 or +1) away, staying within 0..99.
// A level whose changes could not be saved is not left.
void editorChangeLevel(int step);
// Saves the level being edited (when edited); returns the mode that follows the editor: the main menu,
// or the editor itself when the changes could not be saved and the player chose to stay.
int32_t editorLeave(void);
// The editor screen's key and stylus handling: palettes, stamping, lifting and dropping, erasing, hiding
// power-ups, the level keys. `key` is the virtual-key code of key messages.
void editorInput(int32_t message, int32_t key);
// The editor's part of redrawField: grid, type palette and power-up palette over the field picture.
void drawEditorPalettes(void);
// The editor screen's frame, over the field: the held type snapped to the stylus (the place the input
// handler then uses) and drawn there, and the chosen power-up's mark under the stylus.
void drawEditorHand(void);
