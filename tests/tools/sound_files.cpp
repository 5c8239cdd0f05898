// The generated effects and music as the game loads them: lengths, levels, clipping, loop seams, variety.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "shell/mainloop.h"
#include "shell/runfolder.h"
#include "sound/mixer.h"
#include "sound/sample.h"
#include "support/testutil.h"

namespace {

struct SoundFile {
    const char* name;
    bool doubled;  // recorded at 11025 Hz, loaded at twice its sample count
    double minSeconds, maxSeconds;
};

// The menu click and the block break are brief; the monkey's cry lasts about a second and a half.
const SoundFile effectFiles[] = {
    {"cleep2.raw", false, 0.05, 0.1},     {"electron.raw", false, 0.05, 0.15}, {"generalsfx8.raw", false, 0.05, 2},
    {"generalsfx48.raw", false, 0.05, 2}, {"zwiff.raw", false, 0.05, 2},       {"maximize03.raw", false, 0.05, 2},
    {"minimize3.raw", false, 0.05, 2},    {"DESTROY.raw", false, 0.05, 2},     {"chomp.raw", false, 0.05, 2},
    {"fizz.raw", false, 0.05, 2},         {"doh.raw", false, 0.05, 2},         {"scoreup.raw", false, 0.05, 2},
    {"fearme1.raw", false, 0.05, 2},      {"scream.raw", true, 0.05, 2},       {"monkey.raw", true, 1.25, 1.75},
};

const char* const musicFiles[] = {"coolcat.raw",      "claudioa.raw",      "percmysterya.raw",
                                  "burningloveb.raw", "slowbassorgan.raw", "spacemonkey.raw"};

// A slot as the game's loaders fill it: `length` samples, then the spare the voices also play.
struct Loaded {
    std::vector<int16_t> data;
    int length = 0;
};

const int TEST_SLOT = 15;

// Loads the file through the game's own loader (doubled for the 11025 Hz files) and copies the slot.
Loaded loadThroughTheGame(const char* name, bool doubled) {
    snprintf(runPaths.soundPath, sizeof(runPaths.soundPath), "%s", "./Sound/");
    unloadSound(TEST_SLOT);
    int ok = doubled ? loadSoundDoubled(name, TEST_SLOT, 1) : loadSound(name, TEST_SLOT, 0);
    Loaded slot;
    EXPECT_EQ(ok, 1) << name;
    EXPECT_TRUE(headlessMessageBoxes().empty()) << name;
    if (ok == 1 && sounds[TEST_SLOT].data != nullptr) {
        slot.length = sounds[TEST_SLOT].length;
        slot.data.assign(sounds[TEST_SLOT].data, sounds[TEST_SLOT].data + slot.length + 1);
    }
    unloadSound(TEST_SLOT);
    return slot;
}

struct Measure {
    double peakDb = -200.0;
    double rmsDb = -200.0;
    int clipped = 0;
    double meanStep = 0.0;  // mean absolute difference of neighbouring samples
};

Measure measure(const std::vector<int16_t>& data, int length) {
    Measure m;
    int peak = 0;
    double power = 0.0, steps = 0.0;
    for (int i = 0; i < length; i++) {
        int v = data[i];
        peak = std::max(peak, std::abs(v));
        power += (double)v * v;
        if (v >= 32767 || v <= -32767) {
            m.clipped++;
        }
        if (i > 0) {
            steps += std::abs(v - data[i - 1]);
        }
    }
    if (length > 0) {
        m.peakDb = 20.0 * std::log10(std::max(peak, 1) / 32768.0);
        m.rmsDb = 20.0 * std::log10(std::max(std::sqrt(power / length), 1e-3) / 32768.0);
        m.meanStep = length > 1 ? steps / (length - 1) : 0.0;
    }
    return m;
}

// Loudness of 50 ms blocks, for comparing the shapes of two pieces.
std::vector<double> envelope(const std::vector<int16_t>& data, int length) {
    const int block = OUTPUT_RATE / 20;
    std::vector<double> e;
    for (int i = 0; i + block <= length; i += block) {
        double p = 0.0;
        for (int j = i; j < i + block; j++) {
            p += (double)data[j] * data[j];
        }
        e.push_back(std::sqrt(p / block));
    }
    return e;
}

double correlation(const std::vector<double>& a, const std::vector<double>& b, bool centred) {
    size_t n = std::min(a.size(), b.size());
    double ma = 0.0, mb = 0.0;
    if (centred) {
        for (size_t i = 0; i < n; i++) {
            ma += a[i];
            mb += b[i];
        }
        ma /= n;
        mb /= n;
    }
    double ab = 0.0, aa = 0.0, bb = 0.0;
    for (size_t i = 0; i < n; i++) {
        ab += (a[i] - ma) * (b[i] - mb);
        aa += (a[i] - ma) * (a[i] - ma);
        bb += (b[i] - mb) * (b[i] - mb);
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 1.0;
}

std::vector<double> asDoubles(const std::vector<int16_t>& data, int length) {
    return std::vector<double>(data.begin(), data.begin() + length);
}

TEST(SoundFiles, EffectsAreShortPeakNearFullScaleAndNeverClip) {
    for (const SoundFile& f : effectFiles) {
        SCOPED_TRACE(f.name);
        Loaded slot = loadThroughTheGame(f.name, f.doubled);
        ASSERT_GT(slot.length, 0);
        double seconds = (double)slot.length / OUTPUT_RATE;
        EXPECT_GE(seconds, f.minSeconds);
        EXPECT_LE(seconds, f.maxSeconds);
        Measure m = measure(slot.data, slot.length);
        EXPECT_GE(m.peakDb, -1.5);
        EXPECT_LE(m.peakDb, -0.5);
        EXPECT_EQ(m.clipped, 0);
        // Not a lone spike: the sound carries some energy.
        EXPECT_GE(m.rmsDb, -35.0);
        // Starts and ends at rest: no click when a voice begins or ends.
        EXPECT_LE(std::abs(slot.data[0]), 600);
        EXPECT_LE(std::abs(slot.data[slot.length - 1]), 600);
    }
}

// The paddle tap plays at every return of the ball: short, clean, and well below a block break.
TEST(SoundFiles, ThePaddleTapIsShortAndQuieterThanABlockBreak) {
    Loaded tap = loadThroughTheGame("paddletap.raw", false);
    Loaded block = loadThroughTheGame("electron.raw", false);
    ASSERT_GT(tap.length, 0);
    ASSERT_GT(block.length, 0);
    double seconds = (double)tap.length / OUTPUT_RATE;
    EXPECT_GE(seconds, 0.03);
    EXPECT_LE(seconds, 0.1);
    Measure t = measure(tap.data, tap.length), b = measure(block.data, block.length);
    EXPECT_LE(t.peakDb, b.peakDb - 10.0);
    EXPECT_LE(t.rmsDb, b.rmsDb - 6.0);
    EXPECT_GE(t.rmsDb, -40.0);
    EXPECT_LE(std::abs(tap.data[0]), 300);
    EXPECT_LE(std::abs(tap.data[tap.length - 1]), 300);
}

// Zero crossings a second over one quarter of a sound: a rough measure of its pitch there.
double crossingRate(const Loaded& slot, int quarter) {
    int from = slot.length * quarter / 4, to = slot.length * (quarter + 1) / 4;
    int crossings = 0;
    for (int i = from + 1; i < to; i++) {
        if ((slot.data[i - 1] < 0) != (slot.data[i] < 0)) {
            crossings++;
        }
    }
    return crossings * (double)OUTPUT_RATE / 2.0 / (to - from);
}

TEST(SoundFiles, GrowthRisesShrinkFallsAndTheBadNewsSinks) {
    Loaded grow = loadThroughTheGame("maximize03.raw", false);
    EXPECT_GT(crossingRate(grow, 3), 2.0 * crossingRate(grow, 0));
    Loaded shrink = loadThroughTheGame("minimize3.raw", false);
    EXPECT_LT(2.0 * crossingRate(shrink, 3), crossingRate(shrink, 0));
    Loaded helpful = loadThroughTheGame("zwiff.raw", false);
    EXPECT_GT(crossingRate(helpful, 3), 2.0 * crossingRate(helpful, 0));
    Loaded negative = loadThroughTheGame("generalsfx48.raw", false);
    EXPECT_LT(crossingRate(negative, 3), crossingRate(negative, 0));
}

// The real playback path for every track: the slot loaded doubled, loop end = length, a looping voice at
// the default music volume, mixed buffer by buffer across the loop point. With the effects' peaks between
// -1.5 and -0.5 dB at effective volume 127, the levels asked of the music here (at 94) keep every effect
// 12 dB above the music's average, and an effect over the loudest music moment within 16 bits.
TEST(SoundFiles, MusicTracksAreLevelledDistinctAndLoopSmoothlyThroughTheMixer) {
    snprintf(runPaths.soundPath, sizeof(runPaths.soundPath), "%s", "./Sound/");
    appActive = 1;
    ASSERT_EQ(soundInit(0), 1);
    setVolume(0, 255);
    setVolume(1, 220);
    const int volume = effectiveVolume(1);
    std::vector<Loaded> tracks;
    for (const char* name : musicFiles) {
        SCOPED_TRACE(name);
        ASSERT_EQ(loadSoundDoubled(name, TEST_SLOT, 1), 1);
        setLoopEnd(TEST_SLOT);
        const int length = sounds[TEST_SLOT].length;
        tracks.push_back(Loaded{std::vector<int16_t>(sounds[TEST_SLOT].data, sounds[TEST_SLOT].data + length + 1),
                                length});
        const std::vector<int16_t>& data = tracks.back().data;
        EXPECT_GE(length, 40 * OUTPUT_RATE);
        Measure m = measure(data, length);
        EXPECT_GE(m.rmsDb, -17.0);
        EXPECT_LE(m.rmsDb, -15.0);
        EXPECT_LT(m.peakDb, -0.3);
        EXPECT_EQ(m.clipped, 0);
        // The raw file alone loops too: its last sample flows into its first.
        std::vector<uint8_t> bytes = readFileBytes(std::string("Sound/") + name);
        ASSERT_EQ(bytes.size() % 2, 0u);
        std::vector<int16_t> raw(bytes.size() / 2);
        for (size_t i = 0; i < raw.size(); i++) {
            raw[i] = (int16_t)(bytes[2 * i] | bytes[2 * i + 1] << 8);
        }
        EXPECT_LE(std::abs(raw.front() - raw.back()), measure(raw, (int)raw.size()).meanStep);

        startVoice(TEST_SLOT, 1);
        ASSERT_EQ(liveVoiceCount(), 1);
        const int delay = -voiceAt(0).position;
        ASSERT_GE(delay, 0);
        // Mix until the voice has gone round once and a little more.
        std::vector<int16_t> out;
        while ((int)out.size() < delay + length + 1 + 4 * WAVE_BUFFER_SAMPLES) {
            int index = nextWaveBuffer();
            mixBuffer();
            out.insert(out.end(), waveBuffer(index), waveBuffer(index) + WAVE_BUFFER_SAMPLES);
        }
        // Positions 0..length, then 0 again: the output follows the samples exactly, round the seam too.
        const int seam = delay + length + 1;
        for (int i = seam - 300; i < seam + 300; i++) {
            int position = i - delay;
            if (position > length) {
                position -= length + 1;
            }
            ASSERT_EQ(out[i], (data[position] * volume) >> 9) << "output sample " << i;
        }
        double steps = 0.0;
        for (int i = delay + 1; i < seam; i++) {
            steps += std::abs(out[i] - out[i - 1]);
        }
        double meanStep = steps / (seam - delay - 1);
        // Last sample to the loader's spare, and the spare to the first sample: no steeper than the music.
        for (int i = seam - 1; i <= seam; i++) {
            EXPECT_LE(std::abs(out[i] - out[i - 1]), meanStep) << "output sample " << i;
        }
        stopVoice(0);
        unloadSound(TEST_SLOT);
    }
    for (size_t i = 0; i < tracks.size(); i++) {
        for (size_t j = i + 1; j < tracks.size(); j++) {
            SCOPED_TRACE(std::string(musicFiles[i]) + " / " + musicFiles[j]);
            int n = std::min(tracks[i].length, tracks[j].length);
            // Different samples, and different shapes of loudness over time (not one piece re-levelled).
            double samples = correlation(asDoubles(tracks[i].data, n), asDoubles(tracks[j].data, n), false);
            double shapes = correlation(envelope(tracks[i].data, n), envelope(tracks[j].data, n), true);
            EXPECT_LT(std::fabs(samples), 0.3);
            EXPECT_LT(shapes, 0.5);
            EXPECT_NE(tracks[i].length, tracks[j].length);
        }
    }
}

}  // namespace
