// Mixer speed with ten live voices, and the delay from playSound to the sound's first sample in the stream.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/headless/headless.h"
#include "shell/mainloop.h"
#include "shell/runfolder.h"
#include "sound/mixer.h"
#include "sound/sample.h"

namespace {

// A scratch sound folder with the benchmark's own sounds, and the headless wave output running.
void setUpSound(void) {
    static bool done = false;
    if (done) {
        return;
    }
    done = true;
    char folder[] = "/tmp/plinkor-bench-XXXXXX";
    if (mkdtemp(folder) == nullptr || chdir(folder) != 0 || mkdir("Sound", 0755) != 0) {
        abort();
    }
    snprintf(runPaths.soundPath, sizeof(runPaths.soundPath), "%s", "./Sound/");
    // Ten long sounds of varied content (about 4.5 s each) and one short click.
    for (int id = 0; id < 10; id++) {
        FILE* f = fopen(("Sound/long" + std::to_string(id) + ".raw").c_str(), "wb");
        for (int i = 0; i < 100000; i++) {
            int16_t s = (int16_t)((i * (id + 3) * 37) % 60000 - 30000);
            fwrite(&s, 2, 1, f);
        }
        fclose(f);
    }
    FILE* f = fopen("Sound/click.raw", "wb");
    for (int i = 0; i < 50; i++) {
        int16_t s = 10000;
        fwrite(&s, 2, 1, f);
    }
    fclose(f);
    for (int id = 0; id < 10; id++) {
        loadSound(("long" + std::to_string(id) + ".raw").c_str(), id, id % 2);
        setLoopEnd(id);
    }
    loadSound("click.raw", 20, 0);
    if (!soundInit(0)) {
        abort();
    }
    mainLoop.soundEnabled = 1;
    appActive = 1;
    soundStart();
    headlessSetAudioCapture(0);
}

void startTenVoices(void) {
    while (liveVoiceCount() > 0) {
        stopVoice(0);
    }
    for (int id = 0; id < 10; id++) {
        startFieldVoice(id, 1);
    }
}

// One mix of 1024 samples over ten looping voices. The device refuses the buffers here, so nothing piles
// up in the headless queue; the mixing is the same.
void mixBufferTenVoices(benchmark::State& state) {
    setUpSound();
    startTenVoices();
    headlessSetAudioQueueFails(1);
    for (auto _ : state) {
        mixBuffer();
        benchmark::DoNotOptimize(waveBuffer(0)[0]);
    }
    headlessSetAudioQueueFails(0);
    if (liveVoiceCount() != 10) {
        state.SkipWithError("voices ended");
    }
}
BENCHMARK(mixBufferTenVoices)->Unit(benchmark::kMicrosecond);

// The whole device cycle: a finished buffer is taken off the queue, the next one mixed and queued.
void deviceCycleTenVoices(benchmark::State& state) {
    setUpSound();
    startTenVoices();
    for (auto _ : state) {
        headlessAudioPlayOne();
    }
    if (liveVoiceCount() != 10) {
        state.SkipWithError("voices ended");
    }
}
BENCHMARK(deviceCycleTenVoices)->Unit(benchmark::kMicrosecond);

// The device plays in real time on the virtual clock: buffer j is heard from j x 1024 / 22050 s after
// the stream started and, when it has played, the next buffer is mixed. playSound at assorted moments
// between two buffers; the delay is from the call to the moment its first sample is heard in the stream.
// (SDL's own device buffer and the system's output come on top of this.)
void playSoundToFirstSample(benchmark::State& state) {
    setUpSound();
    while (liveVoiceCount() > 0) {
        stopVoice(0);
    }
    headlessSetAudioCapture(1);
    const double tick = 1.0 / HEADLESS_TICKS_PER_SECOND;
    const double bufferSeconds = (double)WAVE_BUFFER_SAMPLES / OUTPUT_RATE;
    // The stream starts now; bring the clock and the played count in step.
    int64_t streamStart = 0;
    headlessSetCounter(streamStart);
    size_t playedBefore = headlessAudioOutput().size();
    int64_t buffersPlayed = 0;
    auto finishTime = [&](int64_t buffer) {
        return streamStart + (int64_t)((double)buffer * bufferSeconds / tick);
    };
    auto playNext = [&]() {
        buffersPlayed++;
        headlessSetCounter(finishTime(buffersPlayed));
        headlessAudioPlayOne();
    };
    // Play out what earlier runs left queued.
    for (int n = 0; n < 3; n++) {
        playNext();
    }
    uint32_t seed = 7;
    double total = 0, least = 1e9, most = 0;
    int trials = 0;
    for (auto _ : state) {
        seed = seed * 1664525u + 1013904223u;
        double fraction = (double)(seed >> 8) / (double)(1u << 24);
        int64_t playTime = finishTime(buffersPlayed) + (int64_t)(fraction * bufferSeconds / tick);
        headlessSetCounter(playTime);
        size_t from = headlessAudioOutput().size();
        playSound(20);
        size_t first = 0;
        bool found = false;
        for (int n = 0; n < 8 && !found; n++) {
            playNext();
            const std::vector<int16_t>& out = headlessAudioOutput();
            for (size_t i = from; i < out.size(); i++) {
                if (out[i] != 0) {
                    first = i;
                    found = true;
                    break;
                }
            }
        }
        if (!found) {
            state.SkipWithError("the sound never reached the stream");
            return;
        }
        double heard = (double)(first - playedBefore) / OUTPUT_RATE;
        double delay = (heard - (double)(playTime - streamStart) * tick) * 1000.0;
        total += delay;
        least = delay < least ? delay : least;
        most = delay > most ? delay : most;
        trials++;
        // Let the click end and leave the queued buffers before the next trial.
        while (!isSoundIdle(20)) {
            playNext();
        }
        for (int n = 0; n < 3; n++) {
            playNext();
        }
    }
    state.counters["delay_ms_mean"] = total / trials;
    state.counters["delay_ms_min"] = least;
    state.counters["delay_ms_max"] = most;
}
BENCHMARK(playSoundToFirstSample)->Iterations(200);

}  // namespace

BENCHMARK_MAIN();
