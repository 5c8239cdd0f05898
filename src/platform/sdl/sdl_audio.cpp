// SDL2 wave output (interim: reports no device until the mixer's output lands).
#include "platform/platform.h"

int platformAudioOpen(int sampleRate, AudioDoneCallback done) {
    (void)sampleRate;
    (void)done;
    return AUDIO_FAILED;
}

int platformAudioQueue(const int16_t* samples, int count) {
    (void)samples;
    (void)count;
    return 0;
}
