// The settings file "settings.dat": 412 little-endian 32-bit values, read once, written on every menu entry.
#include "game/settings.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "field/gamevalues.h"
#include "platform/platform.h"
#include "shell/bytes.h"
#include "shell/datafile.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/runfolder.h"
#include "shell/savefile.h"
#include "sound/mixer.h"
#include "sound/music.h"

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
    return snprintf(out, size, "%ssettings.dat", runPaths.dataPath) < (int)size;
}

static void putValue(uint8_t* bytes, int index, int32_t value) {
    putLe32(bytes + index * 4, (uint32_t)value);
}

static int32_t getValue(const uint8_t* bytes, int index) {
    return (int32_t)getLe32(bytes + index * 4);
}

// The two class volumes go through the mixer, which clamps them; the music fade scales by the
// clamped music volume.
static void applyVolumes(int32_t effects, int32_t musicVolume) {
    setVolume(0, effects);
    setVolume(1, musicVolume);
    game.effectsVolume = getVolume(0);
    music.volume = getVolume(1);
}

// 1 after a load that found a settings file it could not use: the next save keeps that file aside.
static int keepBadFile = 0;
// 1 once the player was told that the settings cannot be saved: the main menu saves on every entry,
// and the box is not shown again until a save has worked (the log still gets every failure).
static int failureShown = 0;

int loadSettings(void) {
    char path[300];
    if (!formPath(path, sizeof(path))) {
        return 0;
    }
    uint8_t bytes[SETTINGS_BYTES];
    int64_t size = 0;
    FILE* f = openDataFile(path, SETTINGS_BYTES, &size);
    if (f == nullptr) {
        // A missing file is a first start; anything else there is the player's file, kept at the next save.
        keepBadFile = errno != ENOENT;
        if (errno == EFBIG) {
            logMessage(1, "[WARNING] Settings size mismatch.  Loading defaults.\n");
        }
        return 0;
    }
    size_t got = size == SETTINGS_BYTES ? fread(bytes, 1, sizeof(bytes), f) : 0;
    fclose(f);
    if (size != SETTINGS_BYTES) {
        keepBadFile = 1;
        logMessage(1, "[WARNING] Settings size mismatch.  Loading defaults.\n");
        return 0;
    }
    // A file that changed under the read is treated as unreadable: nothing half-applied.
    if (got != sizeof(bytes)) {
        keepBadFile = 1;
        return 0;
    }
    keepBadFile = 0;
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
    putValue(out, FIELD_MUSIC_VOLUME, music.volume);
    putValue(out, FIELD_HINTS, game.helpfulHints);
    for (int d = 0; d < DIFFICULTY_COUNT; d++) {
        for (int i = 0; i < LEVEL_COUNT; i++) {
            putValue(out, FIELD_UNLOCKED + d * LEVEL_COUNT + i, game.unlocked[d][i]);
        }
    }
}

// Moves the file that did not load to "settings.dat.bad", replacing an older one, so that the save
// that follows does not destroy what the player had. 0 when it could not be moved (errno says why).
static int moveBadFileAside(const char* path) {
    char aside[320];
    if (snprintf(aside, sizeof(aside), "%s.bad", path) >= (int)sizeof(aside)) {
        errno = ENAMETOOLONG;
        return 0;
    }
    if (rename(path, aside) != 0) {
        // A folder cannot replace a file nor a file a folder: the older copy makes way first.
        if (errno == ENOENT) {
            return 1;
        }
        if ((errno != EISDIR && errno != ENOTDIR && errno != ENOTEMPTY && errno != EEXIST) || remove(aside) != 0 ||
            rename(path, aside) != 0) {
            return 0;
        }
    }
    logFormat(1, 0, "[WARNING] %s could not be loaded; it is kept as %s.\n", path, aside);
    return 1;
}

int saveSettings(void) {
    char path[300];
    if (!formPath(path, sizeof(path))) {
        return 0;
    }
    uint8_t bytes[SETTINGS_BYTES];
    encodeSettings(bytes);
    int ok = 1;
    if (keepBadFile) {
        ok = moveBadFileAside(path);
        if (ok) {
            keepBadFile = 0;
        }
    }
    ok = ok && saveFileAtomically(path, bytes, sizeof(bytes));
    if (ok) {
        failureShown = 0;
        return 1;
    }
    if (!failureShown) {
        failureShown = 1;
        showSaveFailure(path, strerror(errno));
    }
    return 0;
}

void setDefaultSettings(void) {
    memset(game.unlocked, 0, sizeof(game.unlocked));
    for (int k = 0; k < CONTROL_COUNT; k++) {
        controlKeys[k] = 0;
    }
    static const int32_t keys[7] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_SPACE, VK_ESCAPE, VK_RETURN};
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
