// SDL2 wave output: mono signed 16-bit at the game's rate, fed from a short queue of the game's buffers.
//
// SDL pulls samples on its audio thread. The pull copies from the queued buffers in order; each time a
// buffer has been copied out whole, that buffer counts as played and the done callback runs right there
// (on SDL's thread), which mixes the next buffer and queues it. Before anything is queued, or if the
// queue ever runs dry, SDL gets silence.
#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/journal.h"
#include "platform/platform.h"

namespace {

// The game keeps two buffers queued; the ring it mixes into has 16, so never more than that.
const int QUEUE_CAPACITY = 16;
// Samples SDL asks for at a time: half a game buffer keeps the device's own latency low.
const int DEVICE_SAMPLES = 512;

struct QueuedBuffer {
    const int16_t* samples;
    int count;
};

struct SdlAudio {
    SDL_AudioDeviceID device = 0;
    AudioDoneCallback done = nullptr;
    std::mutex lock;  // guards the queue below (never held while the done callback runs)
    QueuedBuffer queue[QUEUE_CAPACITY];
    int head = 0;
    int size = 0;
    int consumed = 0;  // samples of the head buffer already handed to SDL
};

SdlAudio audio;

void fillStream(void* userdata, Uint8* stream, int length) {
    (void)userdata;
    int16_t* out = (int16_t*)stream;
    int wanted = length / 2;
    while (wanted > 0) {
        bool finished = false;
        {
            std::lock_guard<std::mutex> guard(audio.lock);
            if (audio.size == 0) {
                break;
            }
            const QueuedBuffer& buffer = audio.queue[audio.head];
            int n = buffer.count - audio.consumed;
            if (n > wanted) {
                n = wanted;
            }
            memcpy(out, buffer.samples + audio.consumed, (size_t)n * sizeof(int16_t));
            out += n;
            wanted -= n;
            audio.consumed += n;
            if (audio.consumed >= buffer.count) {
                audio.head = (audio.head + 1) % QUEUE_CAPACITY;
                audio.size--;
                audio.consumed = 0;
                finished = true;
            }
        }
        // Outside the lock: the callback queues the next buffer through platformAudioQueue.
        if (finished && audio.done != nullptr) {
            audio.done();
        }
    }
    if (wanted > 0) {
        memset(out, 0, (size_t)wanted * sizeof(int16_t));
    }
}

// The device is closed when the process ends so that SDL's thread stops calling into the game while
// its state goes away (and a file-backed device is flushed).
void closeAtExit(void) {
    if (audio.device != 0) {
        SDL_CloseAudioDevice(audio.device);
        audio.device = 0;
    }
}

}  // namespace

int platformAudioOpen(int sampleRate, AudioDoneCallback done) {
    if (journalHeadless()) { return journalAudioOpen(AUDIO_OK); }
    if (audio.device != 0) {
        audio.done = done;
        return journalAudioOpen(AUDIO_OK);
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return journalAudioOpen(AUDIO_FAILED);
    }
    SDL_AudioSpec want;
    SDL_zero(want);
    want.freq = sampleRate;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = DEVICE_SAMPLES;
    want.callback = fillStream;
    SDL_AudioSpec have;
    audio.done = done;
    // No allowed changes: SDL converts to whatever the hardware takes.
    SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
        const char* error = SDL_GetError();
        bool busy = error != nullptr && (strstr(error, "busy") != nullptr || strstr(error, "Busy") != nullptr);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return journalAudioOpen(busy ? AUDIO_BUSY : AUDIO_FAILED);
    }
    audio.device = device;
    atexit(closeAtExit);
    // Silence until the game queues its first buffers.
    SDL_PauseAudioDevice(device, 0);
    return journalAudioOpen(AUDIO_OK);
}

int platformAudioQueue(const int16_t* samples, int count) {
    if (audio.device == 0 || samples == nullptr || count <= 0) {
        return 0;
    }
    std::lock_guard<std::mutex> guard(audio.lock);
    if (audio.size >= QUEUE_CAPACITY) {
        return 0;
    }
    audio.queue[(audio.head + audio.size) % QUEUE_CAPACITY] = QueuedBuffer{samples, count};
    audio.size++;
    return 1;
}
