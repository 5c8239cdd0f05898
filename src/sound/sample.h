// The sound table: 40 slots of raw 16-bit samples loaded from the sound folder, with class and loop points.
#pragma once

#include <cstdint>

enum { SOUND_SLOTS = 40 };

// One slot. The mixer reads it on the audio thread: change a loaded slot only through the calls below,
// which hold the mixer's lock while they publish.
struct Sound {
    int32_t soundClass;  // volume class: 0 effects, 1 music
    int32_t length;      // samples a one-shot voice plays before it ends (it also plays the spare at length)
    int32_t loopStart;   // sample a looping voice jumps back to
    int32_t loopEnd;     // sample after which a looping voice jumps back
    int16_t* data;       // length + 1 samples at least (the spare after the data); null when empty
};

extern Sound sounds[SOUND_SLOTS];

// Loads "<runPaths.soundPath><name>" into slot id, one stored sample per file sample. Returns 1 when the slot was
// filled; a missing file shows the "File Not Found" box with the full path and leaves the slot as it was.
int loadSound(const char* name, int id, int soundClass, int loopStart = 0, int loopEnd = 0);
// The same for files recorded at half the output rate: every file sample is followed by the mean of it
// and the next one, so the slot holds twice the samples.
int loadSoundDoubled(const char* name, int id, int soundClass, int loopStart = 0, int loopEnd = 0);
// Stops every voice of slot id and frees its samples.
void unloadSound(int id);
// A looping voice of slot id then plays the whole sound: loop end = length.
void setLoopEnd(int id);
