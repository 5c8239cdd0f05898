// The sound table and the raw sample loaders: whole files into slots, as they are or at twice the rate.
#include "sound/sample.h"

#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"
#include "shell/datafile.h"
#include "shell/runfolder.h"
#include "sound/mixer.h"

Sound sounds[SOUND_SLOTS];

namespace {

// Anything near this is no sound file: it would not fit the 32-bit lengths the mixer walks.
const long MAX_FILE_BYTES = 0x20000000L;

// Opens "<runPaths.soundPath><name>" with its length in bytes; a missing file (or one that is no regular file, or
// too large to be a sound) gets the box that names the full path.
FILE* openSoundFile(const char* name, long* bytes) {
    char path[512];
    snprintf(path, sizeof(path), "%s%s", runPaths.soundPath, name);
    int64_t size = 0;
    FILE* f = openDataFile(path, MAX_FILE_BYTES, &size);
    if (f == nullptr) {
        platformMessageBox(path, "File Not Found", MB_TYPE_OK);
        return nullptr;
    }
    *bytes = (long)size;
    return f;
}

// Reads sample pairs lo, hi until the end-of-file state, storing lo + (signed hi) x 256 every `step`
// positions from 0. The read that meets the end gives -1 for a missing byte, so a file of even size
// ends with one more sample (-257) and an odd one ends with its last byte over -1. Returns the number
// of samples stored; never writes at or past `capacity`, even if the file grew since it was counted.
int readSamples(FILE* f, int16_t* data, int capacity, int step) {
    int stored = 0;
    rewind(f);
    while (!feof(f)) {
        int lo = fgetc(f);
        int hi = fgetc(f);
        int position = stored * step;
        if (position >= capacity) {
            break;
        }
        data[position] = (int16_t)(lo + (int)(int8_t)hi * 256);
        stored++;
    }
    return stored;
}

bool validSlot(int id, int soundClass) {
    return id >= 0 && id < SOUND_SLOTS && soundClass >= 0 && soundClass < VOLUME_CLASSES;
}

// Makes the new record visible to the mixer in one step. The slot's previous samples are not freed:
// callers unload a slot before loading into it again.
void publish(int id, const Sound& sound) {
    lockMixer();
    sounds[id] = sound;
    unlockMixer();
}

}  // namespace

int loadSound(const char* name, int id, int soundClass, int loopStart, int loopEnd) {
    if (!validSlot(id, soundClass)) {
        return 0;
    }
    long bytes = 0;
    FILE* f = openSoundFile(name, &bytes);
    if (f == nullptr) {
        return 0;
    }
    long n = bytes + 1;  // the read that met the end counts too
    int samples = (int)(n >> 1);
    if (samples < 1) {
        fclose(f);
        return 0;
    }
    // One spare sample after the data: a one-shot voice plays position `length` as its last.
    int capacity = samples + 1;
    int16_t* data = (int16_t*)calloc((size_t)capacity, sizeof(int16_t));
    if (data == nullptr) {
        fclose(f);
        return 0;
    }
    readSamples(f, data, capacity, 1);
    fclose(f);
    publish(id, Sound{soundClass, samples, loopStart, loopEnd, data});
    return 1;
}

int loadSoundDoubled(const char* name, int id, int soundClass, int loopStart, int loopEnd) {
    if (!validSlot(id, soundClass)) {
        return 0;
    }
    long bytes = 0;
    FILE* f = openSoundFile(name, &bytes);
    if (f == nullptr) {
        return 0;
    }
    // An empty file stores nothing, as with the plain loader.
    if (bytes < 1) {
        fclose(f);
        return 0;
    }
    long n = bytes + 1;
    // n + 2 samples: the file's samples at even positions, the means between them, and the spare that the
    // last mean reads.
    int capacity = (int)n + 2;
    int16_t* data = (int16_t*)calloc((size_t)capacity, sizeof(int16_t));
    if (data == nullptr) {
        fclose(f);
        return 0;
    }
    int stored = readSamples(f, data, capacity, 2);
    fclose(f);
    for (int k = 1; k < 2 * stored && k + 1 < capacity; k += 2) {
        data[k] = (int16_t)((data[k - 1] + data[k + 1]) / 2);
    }
    publish(id, Sound{soundClass, (int32_t)(n - 1), loopStart, loopEnd, data});
    return 1;
}

void unloadSound(int id) {
    if (id < 0 || id >= SOUND_SLOTS) {
        return;
    }
    lockMixer();
    removeVoicesOf(id);
    int16_t* data = sounds[id].data;
    sounds[id].data = nullptr;
    unlockMixer();
    // No voice refers to the samples any more and none can start on an empty slot.
    free(data);
}

void setLoopEnd(int id) {
    if (id < 0 || id >= SOUND_SLOTS) {
        return;
    }
    lockMixer();
    sounds[id].loopEnd = sounds[id].length;
    unlockMixer();
}
