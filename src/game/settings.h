// The settings file: control keys, difficulty, volumes, helpful hints and the level unlock table.
#pragma once

#include <cstdint>

enum {
    SETTINGS_VALUES = 412,                 // signed 32-bit little-endian integers
    SETTINGS_BYTES = SETTINGS_VALUES * 4,  // 1648
};

// Reads "settings.dat" from the data folder and puts its values in force; 0 when it is missing,
// unreadable, not a regular file or not exactly 1648 bytes long (nothing is changed then). Values are
// not range-checked.
int loadSettings(void);
// Writes the live values (crash-safely: the old file stays whole until the new one is complete). The
// first save after a load that found an unusable file moves that file to "settings.dat.bad" first.
// A failed save shows the player a box naming the file and the reason (once, until a save works again).
int saveSettings(void);
// Default keys, difficulty 1, hints on, effects volume 255, music volume 220, every level locked.
void setDefaultSettings(void);
// The options screen's view of loaded values: a difficulty outside 1..4 becomes 1 and a hints value
// other than 0 or 1 becomes 1.
void normaliseSettings(void);

// The file's bytes for the live values (also what saveSettings writes).
void encodeSettings(uint8_t out[SETTINGS_BYTES]);
