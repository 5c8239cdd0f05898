// Fuzz target: a settings file loaded (a file of the right size must come back from the live values
// exactly, volumes clamped), the screens that show the settings visited, then saved and loaded again.
#include <algorithm>
#include <cstring>

#include "fuzzkit.h"
#include "field/gamevalues.h"
#include "game/settings.h"

enum { EFFECTS_VOLUME_AT = 36, MUSIC_VOLUME_AT = 40 };

const int fuzzSetUpParts = FUZZ_KIT;

static int32_t valueAt(const uint8_t* bytes, int at) {
    return (int32_t)((uint32_t)bytes[at] | (uint32_t)bytes[at + 1] << 8 | (uint32_t)bytes[at + 2] << 16 |
                     (uint32_t)bytes[at + 3] << 24);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzBeginInput();
    fuzzGameReset();
    setDefaultSettings();
    fuzzWriteDataFile("settings.dat", data, size);

    // As the start-up does it: a file that does not load gives the defaults.
    int loaded = loadSettings();
    if (loaded != (size == SETTINGS_BYTES)) {
        fuzzFail("a settings file was taken or refused by something other than its size");
    }
    if (!loaded) {
        setDefaultSettings();
    } else {
        uint8_t live[SETTINGS_BYTES];
        encodeSettings(live);
        for (int at = 0; at < SETTINGS_BYTES; at += 4) {
            int32_t expected = valueAt(data, at);
            if (at == EFFECTS_VOLUME_AT || at == MUSIC_VOLUME_AT) {
                expected = std::clamp(expected, 0, 255);
            }
            if (valueAt(live, at) != expected) {
                fuzzFail("a loaded settings value differs from the file's");
            }
        }
    }

    // The screens that show what was loaded (the options screen repairs a bad difficulty or hints value).
    fuzzVisitMode(MODE_MAIN_MENU, 2);
    fuzzVisitMode(MODE_CONTROL_CONFIG, 2);
    fuzzVisitMode(MODE_HIGH_SCORES, 2);
    fuzzVisitMode(MODE_OPTIONS, 2);
    fuzzVisitMode(MODE_LEVEL_SELECT, 3);

    // What is saved loads again as it is.
    uint8_t before[SETTINGS_BYTES];
    encodeSettings(before);
    if (!saveSettings()) {
        fuzzFail("settings could not be saved");
    }
    setDefaultSettings();
    if (!loadSettings()) {
        fuzzFail("saved settings did not load");
    }
    uint8_t after[SETTINGS_BYTES];
    encodeSettings(after);
    if (memcmp(before, after, sizeof(before)) != 0) {
        fuzzFail("settings changed by saving and loading");
    }
    return 0;
}
