// The mixer against a plain sample-by-sample model: random voice operations over many buffers must give
// the same output samples and leave the voice list in the same order.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "soundtest.h"

namespace {

// The mix as the game describes it: for every output sample every live voice in list order adds its
// sample and steps; an ended voice is replaced by the last one, which is processed next.
struct Model {
    std::vector<Voice> voices;

    int16_t mixSample(const int32_t* effective) {
        int32_t sum = 0;
        size_t j = 0;
        while (j < voices.size()) {
            Voice& v = voices[j];
            const Sound& s = sounds[v.soundId];
            if (v.position >= 0 && v.position <= s.length) {
                sum += (s.data[v.position] * effective[s.soundClass]) >> 9;
            }
            if (v.loop) {
                v.position = v.position >= s.loopEnd ? s.loopStart : v.position + 1;
                j++;
            } else if (v.position >= s.length) {
                voices[j] = voices.back();
                voices.pop_back();
            } else {
                v.position++;
                j++;
            }
        }
        return (int16_t)(sum < -32768 ? -32768 : (sum > 32767 ? 32767 : sum));
    }
};

void checkSameVoices(const Model& model, const std::string& where) {
    ASSERT_EQ(liveVoiceCount(), (int)model.voices.size()) << where;
    for (size_t j = 0; j < model.voices.size(); j++) {
        Voice v = voiceAt((int)j), m = model.voices[j];
        ASSERT_EQ((Ints{v.soundId, (int)v.position, v.loop}), (Ints{m.soundId, (int)m.position, m.loop}))
            << where << " " << j;
    }
}

void runScenario(uint32_t seed) {
    ScratchFolder folder;
    useSoundFolder();
    ASSERT_EQ(openSoundOutput(), 1);
    while (liveVoiceCount() > 0) {
        stopVoice(0);
    }
    std::mt19937 engine(seed);  // the same scenario on every run
    auto below = [&engine](int n) { return (int)(engine() % (uint32_t)n); };
    // Short and long sounds, loud and quiet, some looping over inner parts.
    const int lengths[8] = {1, 3, 17, 300, 1023, 1024, 2500, 6000};
    for (int id = 0; id < 8; id++) {
        std::vector<int16_t> samples((size_t)lengths[id]);
        std::generate(samples.begin(), samples.end(), [&below] { return (int16_t)(below(65536) - 32768); });
        std::string name = "s" + std::to_string(id) + ".raw";
        writeSoundFile(name, samples);
        int loopStart = below(lengths[id]);
        int loopEnd = loopStart + below(lengths[id] - loopStart + 3);
        ASSERT_EQ(loadSound(name.c_str(), id, id % 2, loopStart, loopEnd), 1);
        if (id == 6) {
            setLoopEnd(id);
        }
    }
    Model model;
    for (int round = 0; round < 300; round++) {
        std::string where = "seed " + std::to_string(seed) + " round " + std::to_string(round);
        int operations = below(5);
        for (int n = 0; n < operations; n++) {
            int op = below(10);
            int id = below(8);
            if (op < 5) {
                size_t before = model.voices.size();
                if (op < 2) {
                    startVoice(id, below(3) == 0);
                } else {
                    startFieldVoice(id, below(3) == 0);
                }
                if (liveVoiceCount() > (int)before) {
                    model.voices.push_back(voiceAt((int)before));
                    ASSERT_EQ(model.voices.back().soundId, id) << where;
                }
            } else if (op == 5 && !model.voices.empty()) {
                int index = below((int)model.voices.size());
                stopVoice(index);
                model.voices[(size_t)index] = model.voices.back();
                model.voices.pop_back();
            } else if (op == 6 || op == 7) {
                (op == 6 ? stopLooping : releaseLoop)(id);
                for (Voice& v : model.voices) {
                    if (v.soundId == id) {
                        v.loop = 0;
                        v.position = op == 7 ? sounds[id].loopEnd : v.position;  // a release skips the loop's rest
                    }
                }
            } else if (op == 8) {
                setVolume(below(2), below(300));
            } else {
                headlessAdvance(below(60) * HEADLESS_TICKS_PER_SECOND / 1000);
            }
        }
        checkSameVoices(model, where);
        int32_t effective[VOLUME_CLASSES];
        for (int c = 0; c < VOLUME_CLASSES; c++) {
            effective[c] = effectiveVolume(c);
        }
        appActive = below(20) == 0 ? 0 : 1;
        int index = nextWaveBuffer();
        mixBuffer();
        const int16_t* out = waveBuffer(index);
        for (int i = 0; i < WAVE_BUFFER_SAMPLES; i++) {
            int16_t expected = appActive == 1 ? model.mixSample(effective) : 0;
            ASSERT_EQ(out[i], expected) << where << " sample " << i;
        }
        checkSameVoices(model, where + " after the mix");
        headlessAdvance(below(50) * HEADLESS_TICKS_PER_SECOND / 1000);
    }
}

TEST(MixerModel, RandomVoiceOperationsMatchTheSampleBySampleMix) {
    for (uint32_t seed : {1u, 20240611u}) {
        runScenario(seed);
    }
}

}  // namespace
