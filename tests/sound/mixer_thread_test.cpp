// The mixer shared between two threads: one plays the wave output (mixing every finished buffer) without
// pause while the game thread starts, stops, releases and unloads voices and changes volumes. Meant to
// be run under a thread or address sanitizer as well.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>
#include <vector>

#include "platform/headless/headless.h"
#include "soundtest.h"

TEST(MixerThreads, VoiceOperationsWhileAnotherThreadMixes) {
    ScratchFolder folder;
    useSoundFolder();
    ASSERT_EQ(openSoundOutput(), 1);
    headlessSetAudioCapture(0);
    const int lengths[6] = {5, 300, 1500, 4000, 20000, 1};
    auto load = [&](int id) {
        loadTestSound(id, id % 2, std::vector<int16_t>((size_t)lengths[id], (int16_t)(id * 5000 - 12000)));
        setLoopEnd(id);
    };
    for (int id = 0; id < 6; id++) {
        load(id);
    }
    std::atomic<bool> stop{false};
    std::atomic<int> mixes{0};
    std::thread device([&] {
        while (!stop) {
            mixes += headlessAudioPlayOne();
        }
    });
    std::mt19937 draw(12345);
    auto next = [&draw](int n) { return (int)(draw() % (uint32_t)n); };
    int operations = 0, idleAnswers = 0, maxLive = 0;
    volatile uint32_t work = 0;
    // Counted rather than timed, so a busy machine only makes the test slower; the deadline is a guard.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while ((operations < 5000 || mixes.load() < 200 || maxLive < FIELD_VOICE_LIMIT) &&
           std::chrono::steady_clock::now() < deadline) {
        int id = next(6);
        switch (next(9)) {
        case 0: playSound(id); break;
        case 1: startFieldVoice(id, next(4) == 0); break;
        case 2: startVoice(id, 1); break;
        case 3: stopVoice(next(12)); break;
        case 4: stopLooping(id); break;
        case 5: releaseLoop(id); break;
        case 6: setVolume(next(2), next(256)); break;
        case 7: idleAnswers += isSoundIdle(id); break;
        default:
            unloadSound(id);  // a slot freed and filled again while voices of it may be playing
            load(id);
            break;
        }
        maxLive = std::max(maxLive, liveVoiceCount());
        headlessAdvance(100);
        operations++;
        for (int spin = 0; spin < 2000; spin++) {
            work = work * 31 + spin;  // the game's other work, during which a mix may begin
        }
    }
    stop = true;
    device.join();
    // Two buffers stayed queued all along, and the class counts agree with the list.
    Ints perClass = {0, 0};
    for (int j = 0; j < liveVoiceCount(); j++) {
        perClass[(size_t)sounds[voiceAt(j).soundId].soundClass]++;
    }
    EXPECT_EQ((Ints{mixes.load() >= 200, operations >= 5000, idleAnswers > 0, maxLive, headlessAudioQueued(),
                    classVoiceCount(0), classVoiceCount(1)}),
              (Ints{1, 1, 1, FIELD_VOICE_LIMIT, 2, perClass[0], perClass[1]}));
}
