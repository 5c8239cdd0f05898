// The generated effects and music as the game loads them: lengths, levels, clipping, loop seams, variety.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/testutil.h"

namespace {

const int OUTPUT_RATE = 22050;

struct SoundFile {
    const char* name;
    bool doubled;  // recorded at 11025 Hz, loaded at twice its sample count
};

const SoundFile effectFiles[] = {
    {"cleep2.raw", false},      {"electron.raw", false},   {"generalsfx8.raw", false}, {"generalsfx48.raw", false},
    {"zwiff.raw", false},       {"maximize03.raw", false}, {"minimize3.raw", false},   {"DESTROY.raw", false},
    {"chomp.raw", false},       {"fizz.raw", false},       {"doh.raw", false},         {"scoreup.raw", false},
    {"fearme1.raw", false},     {"scream.raw", true},      {"monkey.raw", true},
};

const char* const musicFiles[] = {"coolcat.raw",      "claudioa.raw",      "percmysterya.raw",
                                  "burningloveb.raw", "slowbassorgan.raw", "spacemonkey.raw"};

// A slot as the game's loaders fill it: `length` samples, then whatever lies after them.
struct Loaded {
    std::vector<int16_t> data;
    int length = 0;
};

// Reads the file as the game's loaders do: pairs lo, hi until the end-of-file state, the read that meets
// the end included; doubled files get the mean of neighbours between their samples.
Loaded loadLikeTheGame(const char* name, bool doubled) {
    Loaded slot;
    std::vector<uint8_t> bytes = readFileBytes(std::string("Sound/") + name);
    long n = (long)bytes.size() + 1;
    std::vector<int16_t> read;
    for (size_t i = 0; i <= bytes.size(); i += 2) {
        int lo = i < bytes.size() ? bytes[i] : -1;
        int hi = i + 1 < bytes.size() ? (int)(int8_t)bytes[i + 1] : -1;
        read.push_back((int16_t)(lo + hi * 256));
    }
    if (!doubled) {
        slot.length = (int)(n >> 1);
        slot.data.assign(read.begin(), read.end());
        slot.data.resize(slot.length + 1, 0);
        return slot;
    }
    slot.length = (int)(n - 1);
    slot.data.assign(n + 2, 0);
    for (size_t k = 0; k < read.size() && 2 * k < slot.data.size(); k++) {
        slot.data[2 * k] = read[k];
    }
    for (size_t k = 1; k < 2 * read.size() && k + 1 < slot.data.size(); k += 2) {
        slot.data[k] = (int16_t)((slot.data[k - 1] + slot.data[k + 1]) / 2);
    }
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
        Loaded slot = loadLikeTheGame(f.name, f.doubled);
        ASSERT_GT(slot.length, 0);
        double seconds = (double)slot.length / OUTPUT_RATE;
        EXPECT_GE(seconds, 0.05);
        EXPECT_LE(seconds, 2.0);
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

TEST(SoundFiles, MenuClickAndBlockBreakAreBrief) {
    Loaded click = loadLikeTheGame("cleep2.raw", false);
    EXPECT_LT((double)click.length / OUTPUT_RATE, 0.1);
    Loaded electron = loadLikeTheGame("electron.raw", false);
    EXPECT_LT((double)electron.length / OUTPUT_RATE, 0.15);
    Loaded monkey = loadLikeTheGame("monkey.raw", true);
    EXPECT_NEAR((double)monkey.length / OUTPUT_RATE, 1.5, 0.25);
}

TEST(SoundFiles, MusicTracksAreLongLevelledAndUnclipped) {
    for (const char* name : musicFiles) {
        SCOPED_TRACE(name);
        Loaded slot = loadLikeTheGame(name, true);
        EXPECT_GE(slot.length, 40 * OUTPUT_RATE);
        Measure m = measure(slot.data, slot.length);
        EXPECT_GE(m.rmsDb, -17.0);
        EXPECT_LE(m.rmsDb, -15.0);
        EXPECT_LT(m.peakDb, -0.3);
        EXPECT_EQ(m.clipped, 0);
    }
}

TEST(SoundFiles, MusicLoopsWithoutAJumpAtTheSeam) {
    for (const char* name : musicFiles) {
        SCOPED_TRACE(name);
        Loaded slot = loadLikeTheGame(name, true);
        ASSERT_GT(slot.length, 2);
        Measure m = measure(slot.data, slot.length);
        // A looping voice with loop end = length plays positions 0..length, then 0 again.
        int last = slot.data[slot.length - 1];
        int spare = slot.data[slot.length];
        int first = slot.data[0];
        EXPECT_LE(std::abs(spare - last), m.meanStep);
        EXPECT_LE(std::abs(first - spare), m.meanStep);
        EXPECT_LE(std::abs(first - last), m.meanStep);
        // The raw file alone: its last sample flows into its first.
        std::vector<uint8_t> bytes = readFileBytes(std::string("Sound/") + name);
        ASSERT_EQ(bytes.size() % 2, 0u);
        std::vector<int16_t> raw(bytes.size() / 2);
        for (size_t i = 0; i < raw.size(); i++) {
            raw[i] = (int16_t)(bytes[2 * i] | bytes[2 * i + 1] << 8);
        }
        Measure rawMeasure = measure(raw, (int)raw.size());
        EXPECT_LE(std::abs(raw.front() - raw.back()), rawMeasure.meanStep);
    }
}

TEST(SoundFiles, SixTracksAreDistinctPieces) {
    std::vector<Loaded> tracks;
    for (const char* name : musicFiles) {
        tracks.push_back(loadLikeTheGame(name, true));
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

// The mixer adds (sample x effective volume) >> 9 per voice; effective volume is v x v x 255 / 65025 / 2.
int effective(int v) {
    return (v * v * 255 / 65025) / 2;
}

TEST(SoundFiles, EffectsStandOutAboveTheMusicAtDefaultVolumes) {
    const int effects = effective(255), music = effective(220);
    ASSERT_EQ(effects, 127);
    ASSERT_EQ(music, 94);
    double loudestMusicRms = 0.0, loudestMusicPeak = 0.0;
    for (const char* name : musicFiles) {
        Loaded slot = loadLikeTheGame(name, true);
        Measure m = measure(slot.data, slot.length);
        loudestMusicRms = std::max(loudestMusicRms, 32768.0 * std::pow(10.0, m.rmsDb / 20.0));
        loudestMusicPeak = std::max(loudestMusicPeak, 32768.0 * std::pow(10.0, m.peakDb / 20.0));
    }
    double musicRmsOut = loudestMusicRms * music / 512.0;
    double musicPeakOut = loudestMusicPeak * music / 512.0;
    for (const SoundFile& f : effectFiles) {
        SCOPED_TRACE(f.name);
        Loaded slot = loadLikeTheGame(f.name, f.doubled);
        Measure m = measure(slot.data, slot.length);
        double effectPeakOut = 32768.0 * std::pow(10.0, m.peakDb / 20.0) * effects / 512.0;
        // At least 12 dB above the music's average level...
        EXPECT_GT(effectPeakOut, 4.0 * musicRmsOut);
        // ...and an effect over the loudest music moment still fits the 16-bit output.
        EXPECT_LT(effectPeakOut + musicPeakOut, 32767.0);
    }
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
    Loaded grow = loadLikeTheGame("maximize03.raw", false);
    EXPECT_GT(crossingRate(grow, 3), 2.0 * crossingRate(grow, 0));
    Loaded shrink = loadLikeTheGame("minimize3.raw", false);
    EXPECT_LT(2.0 * crossingRate(shrink, 3), crossingRate(shrink, 0));
    Loaded helpful = loadLikeTheGame("zwiff.raw", false);
    EXPECT_GT(crossingRate(helpful, 3), 2.0 * crossingRate(helpful, 0));
    Loaded negative = loadLikeTheGame("generalsfx48.raw", false);
    EXPECT_LT(crossingRate(negative, 3), crossingRate(negative, 0));
}

// The generator makes the same bytes on every run: nothing depends on the clock or on stray memory.
TEST(SoundFiles, GeneratorWritesTheSameSoundsEveryRun) {
    const std::string generator = std::string(PLINKOR_RUN_DIR) + "/../tools/plinkor-gen";
    const std::string built = std::string(PLINKOR_RUN_DIR) + "/Sound/";
    ScratchFolder folder;
    const std::string command = "'" + generator + "' '" + folder.path() + "' >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const SoundFile& f : effectFiles) {
        EXPECT_EQ(readFileBytes(folder.path() + "/Sound/" + f.name), readFileBytes(built + f.name)) << f.name;
    }
    for (const char* name : musicFiles) {
        EXPECT_EQ(readFileBytes(folder.path() + "/Sound/" + name), readFileBytes(built + name)) << name;
    }
}

}  // namespace
