// The sound table: 40 slots of raw 16-bit samples loaded from the sound folder, with class and loop points.
#pragma once

#include <cstdint>

enum { SOUND_SLOTS = 40 };

// What each slot holds: the effects (loaded at start-up), the two music slots and the monkey jingle.
enum SoundSlot {
    SOUND_NONE = 0,               // no sound (the power-up table's kinds that make none)
    SOUND_POSITIVE_JINGLE = 1,    // "generalsfx8.raw": a high score, the level bonus
    SOUND_NEGATIVE_JINGLE = 2,    // "generalsfx48.raw": no high score
    SOUND_GROW = 3,               // "maximize03.raw"
    SOUND_SHRINK = 4,             // "minimize3.raw"
    SOUND_POWER_UP = 5,           // "zwiff.raw"
    SOUND_DESTROY = 6,            // "DESTROY.raw": a small explosion, the pile drained or lowered
    SOUND_CHOMP = 7,              // "chomp.raw": a big explosion
    SOUND_FIZZ = 8,               // "fizz.raw"
    SOUND_DOH = 9,                // "doh.raw": a ball lost
    SOUND_MENU_CLICK = 10,        // "cleep2.raw"
    SOUND_SCREAM = 11,            // "scream.raw": the ball shower caught
    SOUND_SCORE_UP = 12,          // "scoreup.raw"
    SOUND_FEAR_ME = 13,           // "fearme1.raw"
    SOUND_ELECTRON = 14,          // "electron.raw": a block broken by a ball
    SOUND_MUSIC_A = 15,           // the title music at start-up; the music tracks take turns in A and B
    SOUND_PADDLE_TAP = 16,        // "paddletap.raw": the soft tap a ball makes on the paddle
    SOUND_MUSIC_B = 18,
    SOUND_MONKEY_JINGLE = 20,     // "monkey.raw"
};

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
