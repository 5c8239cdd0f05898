// The settings file "settings.dat": 412 little-endian 32-bit values, read once, written on every menu entry.
#include "game/settings.h"

#include <cstdio>
#include <cstring>

#include "game/gamevalues.h"
#include "game/savefile.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "sound/mixer.h"

// Offsets in 32-bit values.
enum {
    FIELD_KEYS = 0,
    FIELD_DIFFICULTY = 8,
    FIELD_EFFECTS_VOLUME = 9,
    FIELD_MUSIC_VOLUME = 10,
    FIELD_HINTS = 11,
    FIELD_UNLOCKED = 12,
};

static int formPath(char* out, size_t size) {
    return snprintf(out, size, "%ssettings.dat", dataPath) < (int)size;
}

static void putValue(uint8_t* bytes, int index, int32_t value) {
    uint32_t v = (uint32_t)value;
    bytes[index * 4 + 0] = (uint8_t)(v & 0xFF);
    bytes[index * 4 + 1] = (uint8_t)((v >> 8) & 0xFF);
    bytes[index * 4 + 2] = (uint8_t)((v >> 16) & 0xFF);
    bytes[index * 4 + 3] = (uint8_t)((v >> 24) & 0xFF);
}

static int32_t getValue(const uint8_t* bytes, int index) {
    uint32_t v = (uint32_t)bytes[index * 4] | (uint32_t)bytes[index * 4 + 1] << 8 |
                 (uint32_t)bytes[index * 4 + 2] << 16 | (uint32_t)bytes[index * 4 + 3] << 24;
    return (int32_t)v;
}

// The two class volumes go through the mixer, which clamps them; the music fade scales by the
// clamped music volume.
static void applyVolumes(int32_t effects, int32_t music) {
    setVolume(0, effects);
    setVolume(1, music);
    game.effectsVolume = getVolume(0);
    game.musicVolume = getVolume(1);
}

int loadSettings(void) {
    char path[300];
    if (!formPath(path, sizeof(path))) {
        return 0;
    }
    FILE* f = fopen(path, "rb");
    if (f == nullptr) {
        return 0;
    }
    long count = 0;
    while (fgetc(f) != EOF) {
        count++;
    }
    fclose(f);
    if (count != SETTINGS_BYTES) {
        logMessage(1, "[WARNING] Settings size mismatch.  Loading defaults.\n");
        return 0;
    }
    f = fopen(path, "rb");
    if (f == nullptr) {
        return 0;
    }
    uint8_t bytes[SETTINGS_BYTES];
    size_t got = fread(bytes, 1, sizeof(bytes), f);
    fclose(f);
    // A file that changed between the two reads is treated as unreadable: nothing half-applied.
    if (got != sizeof(bytes)) {
        return 0;
    }
    for (int d = 0; d < DIFFICULTY_COUNT; d++) {
        for (int i = 0; i < LEVEL_COUNT; i++) {
            game.unlocked[d][i] = getValue(bytes, FIELD_UNLOCKED + d * LEVEL_COUNT + i);
        }
    }
    for (int k = 0; k < CONTROL_COUNT; k++) {
        controlKeys[k] = getValue(bytes, FIELD_KEYS + k);
    }
    game.difficulty = getValue(bytes, FIELD_DIFFICULTY);
    game.helpfulHints = getValue(bytes, FIELD_HINTS);
    applyVolumes(getValue(bytes, FIELD_EFFECTS_VOLUME), getValue(bytes, FIELD_MUSIC_VOLUME));
    return 1;
}

void encodeSettings(uint8_t out[SETTINGS_BYTES]) {
    for (int k = 0; k < CONTROL_COUNT; k++) {
        putValue(out, FIELD_KEYS + k, controlKeys[k]);
    }
    putValue(out, FIELD_DIFFICULTY, game.difficulty);
    putValue(out, FIELD_EFFECTS_VOLUME, getVolume(0));
    // The player's music volume: the class volume itself follows the music fade and is lower while
    // a track changes.
    putValue(out, FIELD_MUSIC_VOLUME, game.musicVolume);
    putValue(out, FIELD_HINTS, game.helpfulHints);
    for (int d = 0; d < DIFFICULTY_COUNT; d++) {
        for (int i = 0; i < LEVEL_COUNT; i++) {
            putValue(out, FIELD_UNLOCKED + d * LEVEL_COUNT + i, game.unlocked[d][i]);
        }
    }
}

int saveSettings(void) {
    char path[300];
    if (!formPath(path, sizeof(path))) {
        return 0;
    }
    uint8_t bytes[SETTINGS_BYTES];
    encodeSettings(bytes);
    return saveFileAtomically(path, bytes, sizeof(bytes));
}

void setDefaultSettings(void) {
    memset(game.unlocked, 0, sizeof(game.unlocked));
    for (int k = 0; k < CONTROL_COUNT; k++) {
        controlKeys[k] = 0;
    }
    static const int32_t keys[7] = {38, 40, 37, 39, 32, 27, 13};
    for (int k = 0; k < 7; k++) {
        controlKeys[k] = keys[k];
    }
    game.difficulty = 1;
    game.helpfulHints = 1;
    applyVolumes(255, 220);
}

void normaliseSettings(void) {
    if (game.difficulty < 1 || game.difficulty > DIFFICULTY_COUNT) {
        game.difficulty = 1;
    }
    if (game.helpfulHints != 0 && game.helpfulHints != 1) {
        game.helpfulHints = 1;
    }
}
