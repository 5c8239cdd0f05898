// The software mixer and the wave output: voices, volume classes, mixing into a ring of 16 buffers.
//
// The wave output calls back on its own thread each time it has played a buffer; the callback mixes the
// next buffer there. The voice list, the class tables and the sound table are guarded by one lock,
// held for one voice operation or one mix, so the game thread may start and stop voices at any time.
#pragma once

#include <atomic>
#include <cstdint>

enum {
    OUTPUT_RATE = 22050,         // samples a second, mono, signed 16-bit
    WAVE_BUFFERS = 16,           // the ring; two of them are queued with the device at any time
    WAVE_BUFFER_SAMPLES = 1024,  // about 46 ms
    MAX_VOICES = 40,
    EFFECT_VOICE_LIMIT = 5,      // startVoice
    FIELD_VOICE_LIMIT = 10,      // startFieldVoice
    VOLUME_CLASSES = 5,          // class tables; the game uses 0 (effects) and 1 (music)
};

struct Voice {
    int32_t soundId;   // slot of the sound table
    int32_t position;  // sample position; negative: start delay still to run, in samples
    int32_t loop;      // non-zero: loops between the sound's loop start and loop end
};

// Set to 1 each time a buffer has been mixed (the main loop may read and clear it).
extern std::atomic<int32_t> soundBufferMixed;

// Opens the wave output and prepares the buffers; 1 on success (probe 1: 1 as soon as the device opened).
// A device held by another program offers Retry/Cancel.
int soundInit(int probe);
// Queues the first two (silent) buffers when sound is enabled; from then on every finished buffer has
// the next one mixed and queued.
void soundStart(void);

// Starts a voice of slot id unless 5 voices are live or the slot is empty. It begins as many samples
// into the next mixed buffer as have passed since the last mix, so sounds keep their spacing.
void startVoice(int id, int loop);
// The same with a limit of 10 live voices (the play field's sounds).
void startFieldVoice(int id, int loop);
// A one-shot voice of slot id.
void playSound(int id);
// Removes live voice index (the last voice takes its place).
void stopVoice(int index);
// Voices of slot id stop looping and end at the sound's length.
void stopLooping(int id);
// Voices of slot id jump to the loop end, play what lies after it and end.
void releaseLoop(int id);
// 1 when no live voice plays slot id.
int isSoundIdle(int id);
// Configured volume 0..255 of class 0..4; the mixer uses v x v x 255 / 65025 / class count.
void setVolume(int soundClass, int volume);
int getVolume(int soundClass);

// Mixes the live voices into the next ring buffer and queues it with the device. Runs on the device's
// thread (tests call it directly).
void mixBuffer(void);
// The device's buffer-done callback.
void waveDone(void);

// The lock over voices, class tables and the sound table, for the slot loaders.
void lockMixer(void);
void unlockMixer(void);
// Removes every voice of slot id; the caller holds the lock.
void removeVoicesOf(int id);

// Read-outs for tests and the benchmark (each takes the lock).
int liveVoiceCount(void);
Voice voiceAt(int index);
int classVoiceCount(int soundClass);
int effectiveVolume(int soundClass);
int nextWaveBuffer(void);
int finishedWaveBuffers(void);
const int16_t* waveBuffer(int index);
