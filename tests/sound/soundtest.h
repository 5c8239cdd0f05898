// Helpers shared by the sound tests: raw sample files in the scratch sound folder, an open wave output.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "shell/mainloop.h"
#include "shell/runfolder.h"
#include "sound/mixer.h"
#include "sound/sample.h"
#include "support/testutil.h"

// The game's sound folder, relative to the scratch folder the test runs in.
inline void useSoundFolder(void) {
    snprintf(runPaths.soundPath, sizeof(runPaths.soundPath), "%s", "./Sound/");
}

// Samples as the files hold them: signed 16-bit little-endian.
inline void writeSoundFile(const std::string& name, const std::vector<int16_t>& samples) {
    std::vector<uint8_t> bytes;
    for (int16_t s : samples) {
        bytes.push_back((uint8_t)((uint16_t)s & 0xFF));
        bytes.push_back((uint8_t)((uint16_t)s >> 8));
    }
    writeFileBytes("Sound/" + name, bytes);
}

// Writes the samples as a file and loads them into slot id with the plain loader.
inline void loadTestSound(int id, int soundClass, const std::vector<int16_t>& samples) {
    std::string name = "test" + std::to_string(id) + ".raw";
    writeSoundFile(name, samples);
    loadSound(name.c_str(), id, soundClass);
}

// Opens the headless wave output as the start-up does and lets the program run.
inline int openSoundOutput(void) {
    int ok = soundInit(0);
    if (ok) {
        mainLoop.soundEnabled = 1;
        soundStart();
    }
    appActive = 1;
    return ok;
}
