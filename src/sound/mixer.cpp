// The software mixer: voice list, square-law volume classes, mixing and queueing the ring of wave buffers.
#include "sound/mixer.h"

#include <climits>
#include <cstring>
#include <mutex>

#include "platform/platform.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "sound/sample.h"

std::atomic<int32_t> soundBufferMixed{0};

namespace {

struct MixerState {
    Voice voices[MAX_VOICES];             // the first voiceCount are live
    int32_t voiceCount;
    int32_t classCount;                   // volume classes in use (2)
    int32_t classVoices[VOLUME_CLASSES];  // live voices per class
    int32_t classVolume[VOLUME_CLASSES];  // configured, 0..255
    int32_t effective[VOLUME_CLASSES];    // what the mixer multiplies by (then >> 9)
    int32_t nextBuffer;                   // ring buffer mixed and queued next, 0..15
    int64_t lastMixTime;                  // performance counter at the start of the last mix
    int16_t ring[WAVE_BUFFERS][WAVE_BUFFER_SAMPLES];
    int32_t sum[WAVE_BUFFER_SAMPLES];     // a mix adds up here, wider than a sample, then clamps
};

MixerState mixer;
std::mutex mixerMutex;
std::atomic<int32_t> finishedBuffers{0};

// The lock is held by the caller in everything below.

void removeVoice(int index) {
    if (index < 0 || index >= mixer.voiceCount) {
        return;
    }
    const Sound& sound = sounds[mixer.voices[index].soundId];
    mixer.classVoices[sound.soundClass]--;
    mixer.voices[index] = mixer.voices[mixer.voiceCount - 1];
    mixer.voiceCount--;
}

// Output samples that have passed since the last mix: a voice started now sounds that far into the
// next buffer, so sounds started between two mixes keep their spacing.
int32_t samplesSinceLastMix(void) {
    int64_t frequency = 0;
    if (!platformCounterFrequency(&frequency) || frequency <= 0) {
        return 0;
    }
    int64_t elapsed = platformCounter() - mixer.lastMixTime;
    if (elapsed <= 0) {
        return 0;
    }
    // elapsed x 22050 / frequency without overflowing on a long silence.
    int64_t samples = elapsed / frequency * OUTPUT_RATE + elapsed % frequency * OUTPUT_RATE / frequency;
    return samples > INT32_MAX ? INT32_MAX : (int32_t)samples;
}

void addVoice(int id, int loop, int limit) {
    if (id < 0 || id >= SOUND_SLOTS) {
        return;
    }
    std::lock_guard<std::mutex> guard(mixerMutex);
    if (mixer.voiceCount >= limit || sounds[id].data == nullptr) {
        return;
    }
    Voice& voice = mixer.voices[mixer.voiceCount];
    voice.soundId = id;
    voice.position = -samplesSinceLastMix();
    voice.loop = loop;
    mixer.voiceCount++;
    mixer.classVoices[sounds[id].soundClass]++;
}

// Samples from now on in which the voice only adds data[position] (when position >= 0) and steps on:
// no loop jump, no end, no read outside the samples.
int64_t plainRun(const Voice& voice) {
    const Sound& sound = sounds[voice.soundId];
    if (sound.data == nullptr) {
        return 0;
    }
    int64_t limit = voice.loop ? (sound.loopEnd < sound.length + 1 ? sound.loopEnd : (int64_t)sound.length + 1)
                               : sound.length;
    int64_t run = limit - voice.position;
    return run > 0 ? run : 0;
}

// Adds `count` plain samples of the voice into out and moves it on.
void addRun(Voice& voice, int32_t* out, int count) {
    const Sound& sound = sounds[voice.soundId];
    int32_t volume = mixer.effective[sound.soundClass];
    int first = 0;
    if (voice.position < 0) {
        first = -voice.position < count ? -voice.position : count;
    }
    const int16_t* data = sound.data;
    int32_t position = voice.position;
    for (int j = first; j < count; j++) {
        out[j] += (data[position + j] * volume) >> 9;
    }
    voice.position += count;
}

// One output sample the long way: every live voice in list order adds its sample, then steps, loops
// back or ends (a voice moved into an ended voice's place is processed next for the same sample).
int32_t mixOneSample(void) {
    int32_t total = 0;
    int j = 0;
    while (j < mixer.voiceCount) {
        Voice& voice = mixer.voices[j];
        const Sound& sound = sounds[voice.soundId];
        if (voice.position >= 0 && voice.position <= sound.length && sound.data != nullptr) {
            total += (sound.data[voice.position] * mixer.effective[sound.soundClass]) >> 9;
        }
        if (voice.loop) {
            if (voice.position >= sound.loopEnd) {
                voice.position = sound.loopStart;
            } else {
                voice.position++;
            }
            j++;
        } else if (voice.position >= sound.length) {
            removeVoice(j);
        } else {
            voice.position++;
            j++;
        }
    }
    return total;
}

// Fills mixer.sum. Between events (a voice reaching its end or loop end) every voice runs plainly, so
// those stretches are added voice by voice; the event samples go the long way. The result, and the
// order of the voice list afterwards, are those of mixing sample by sample.
void mixVoices(void) {
    int32_t* sum = mixer.sum;
    memset(sum, 0, sizeof(mixer.sum));
    int i = 0;
    while (i < WAVE_BUFFER_SAMPLES && mixer.voiceCount > 0) {
        int64_t run = WAVE_BUFFER_SAMPLES - i;
        for (int v = 0; v < mixer.voiceCount; v++) {
            int64_t plain = plainRun(mixer.voices[v]);
            run = plain < run ? plain : run;
        }
        if (run > 0) {
            for (int v = 0; v < mixer.voiceCount; v++) {
                addRun(mixer.voices[v], sum + i, (int)run);
            }
            i += (int)run;
        }
        if (i < WAVE_BUFFER_SAMPLES) {
            sum[i] = mixOneSample();
            i++;
        }
    }
}

}  // namespace

void lockMixer(void) {
    mixerMutex.lock();
}

void unlockMixer(void) {
    mixerMutex.unlock();
}

void removeVoicesOf(int id) {
    int j = 0;
    while (j < mixer.voiceCount) {
        if (mixer.voices[j].soundId == id) {
            removeVoice(j);
        } else {
            j++;
        }
    }
}

int soundInit(int probe) {
    {
        std::lock_guard<std::mutex> guard(mixerMutex);
        mixer.lastMixTime = platformCounter();
        for (int c = 0; c < VOLUME_CLASSES; c++) {
            mixer.classVoices[c] = 0;
        }
        mixer.classCount = 2;
        // Until the settings set them, effects and music play at full volume.
        for (int c = 0; c < 2; c++) {
            if (mixer.classVolume[c] == 0) {
                mixer.classVolume[c] = 255;
                mixer.effective[c] = 255;
            }
        }
    }
    while (true) {
        int result = platformAudioOpen(OUTPUT_RATE, waveDone);
        if (result == AUDIO_OK) {
            break;
        }
        if (result == AUDIO_BUSY) {
            int answer = platformMessageBox("The sound hardware is in use by another program.\n\n"
                                            "Select Retry to try to start sound again or Cancel to play "
                                            "without sound.",
                                            "Sound not available", MB_TYPE_RETRYCANCEL);
            if (answer == MB_RESULT_RETRY) {
                continue;
            }
            return 0;
        }
        logMessage(1, "waveOutOpen failed\n");
        return 0;
    }
    if (probe == 1) {
        return 1;
    }
    // The ring lives in the mixer's static state: there is nothing to allocate, lock or prepare, and
    // it starts silent.
    std::lock_guard<std::mutex> guard(mixerMutex);
    memset(mixer.ring, 0, sizeof(mixer.ring));
    return 1;
}

void soundStart(void) {
    if (!mainLoop.soundEnabled) {
        return;
    }
    // Held so that a buffer finishing at once cannot have the callback mix into the second one.
    std::lock_guard<std::mutex> guard(mixerMutex);
    for (int n = 0; n < 2; n++) {
        if (!platformAudioQueue(mixer.ring[mixer.nextBuffer], WAVE_BUFFER_SAMPLES)) {
            logMessage(1, "Unable to start sound.");
            return;
        }
        mixer.nextBuffer = (mixer.nextBuffer + 1) % WAVE_BUFFERS;
    }
}

void startVoice(int id, int loop) {
    addVoice(id, loop, EFFECT_VOICE_LIMIT);
}

void startFieldVoice(int id, int loop) {
    addVoice(id, loop, FIELD_VOICE_LIMIT);
}

void playSound(int id) {
    startVoice(id, 0);
}

void stopVoice(int index) {
    std::lock_guard<std::mutex> guard(mixerMutex);
    removeVoice(index);
}

void stopLooping(int id) {
    std::lock_guard<std::mutex> guard(mixerMutex);
    for (int j = 0; j < mixer.voiceCount; j++) {
        if (mixer.voices[j].soundId == id) {
            mixer.voices[j].loop = 0;
        }
    }
}

void releaseLoop(int id) {
    std::lock_guard<std::mutex> guard(mixerMutex);
    for (int j = 0; j < mixer.voiceCount; j++) {
        if (mixer.voices[j].soundId == id) {
            mixer.voices[j].loop = 0;
            mixer.voices[j].position = sounds[id].loopEnd;
        }
    }
}

int isSoundIdle(int id) {
    std::lock_guard<std::mutex> guard(mixerMutex);
    for (int j = 0; j < mixer.voiceCount; j++) {
        if (mixer.voices[j].soundId == id) {
            return 0;
        }
    }
    return 1;
}

void setVolume(int soundClass, int volume) {
    if (soundClass < 0 || soundClass >= VOLUME_CLASSES) {
        return;
    }
    int v = volume < 0 ? 0 : (volume > 255 ? 255 : volume);
    std::lock_guard<std::mutex> guard(mixerMutex);
    mixer.classVolume[soundClass] = v;
    // Square law: the slider's middle is a quarter of full power.
    mixer.effective[soundClass] = (v * v * 255 / 65025) / (mixer.classCount > 0 ? mixer.classCount : 1);
}

int getVolume(int soundClass) {
    if (soundClass < 0 || soundClass >= VOLUME_CLASSES) {
        return 0;
    }
    std::lock_guard<std::mutex> guard(mixerMutex);
    return mixer.classVolume[soundClass];
}

void mixBuffer(void) {
    std::lock_guard<std::mutex> guard(mixerMutex);
    for (int c = 0; c < mixer.classCount; c++) {
        mixer.classVoices[c] = 0;
    }
    for (int j = 0; j < mixer.voiceCount; j++) {
        mixer.classVoices[sounds[mixer.voices[j].soundId].soundClass]++;
    }
    mixer.lastMixTime = platformCounter();

    int16_t* out = mixer.ring[mixer.nextBuffer];
    // While the program is suspended the stream goes on with silence and the voices keep their places.
    if (appActive.load(std::memory_order_relaxed) != 1) {
        memset(out, 0, sizeof(mixer.ring[0]));
    } else {
        mixVoices();
        // Loud moments clip at full scale instead of wrapping round to the opposite sign.
        for (int i = 0; i < WAVE_BUFFER_SAMPLES; i++) {
            int32_t s = mixer.sum[i];
            out[i] = (int16_t)(s < -32768 ? -32768 : (s > 32767 ? 32767 : s));
        }
    }

    if (platformAudioQueue(out, WAVE_BUFFER_SAMPLES)) {
        mixer.nextBuffer = (mixer.nextBuffer + 1) % WAVE_BUFFERS;
    } else {
        logColoured(1, "[ERROR] Unable to play WAV_Buffer\n", LOG_ERROR);
    }
}

void waveDone(void) {
    if (!mainLoop.soundEnabled) {
        return;
    }
    mixBuffer();
    finishedBuffers = (finishedBuffers + 1) % WAVE_BUFFERS;
    soundBufferMixed = 1;
}

int liveVoiceCount(void) {
    std::lock_guard<std::mutex> guard(mixerMutex);
    return mixer.voiceCount;
}

Voice voiceAt(int index) {
    std::lock_guard<std::mutex> guard(mixerMutex);
    if (index < 0 || index >= mixer.voiceCount) {
        return Voice{-1, 0, 0};
    }
    return mixer.voices[index];
}

int classVoiceCount(int soundClass) {
    std::lock_guard<std::mutex> guard(mixerMutex);
    return soundClass >= 0 && soundClass < VOLUME_CLASSES ? mixer.classVoices[soundClass] : 0;
}

int effectiveVolume(int soundClass) {
    std::lock_guard<std::mutex> guard(mixerMutex);
    return soundClass >= 0 && soundClass < VOLUME_CLASSES ? mixer.effective[soundClass] : 0;
}

int nextWaveBuffer(void) {
    std::lock_guard<std::mutex> guard(mixerMutex);
    return mixer.nextBuffer;
}

int finishedWaveBuffers(void) {
    return finishedBuffers;
}

const int16_t* waveBuffer(int index) {
    return mixer.ring[index & (WAVE_BUFFERS - 1)];
}
