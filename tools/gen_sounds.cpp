// Generator of sound effects and music: synthesises every sample file of Sound/ and checks what it wrote.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "gen_music_tracks.h"
#include "generator.h"
#include "synth.h"

static const int FX_RATE = 22050;     // effects loaded as they are
static const int HALF_RATE = 11025;   // files the game loads doubled
static const float FX_PEAK = 0.891f;  // -1 dBFS
static const float SOFT_PEAK = 0.224f; // -13 dBFS: sounds heard at every return of the ball
// The game's loader keeps this value after the last sample of every file.
static const int LOADER_TAIL = -257;

static Wave silence(double seconds, int rate) {
    return Wave((size_t)(seconds * rate), 0.0f);
}

// Short raised-cosine ramps so that a sound starts and ends at rest, without a click.
static void fadeEdges(Wave& w, int rate, float inSeconds, float outSeconds) {
    int in = std::min((int)w.size(), (int)(inSeconds * rate));
    int out = std::min((int)w.size(), (int)(outSeconds * rate));
    for (int i = 0; i < in; i++) {
        w[i] *= 0.5f - 0.5f * (float)std::cos(SYNTH_PI * i / in);
    }
    for (int i = 0; i < out; i++) {
        w[w.size() - 1 - i] *= 0.5f - 0.5f * (float)std::cos(SYNTH_PI * i / out);
    }
}

// ---- Effects at 22050 Hz.

// Menu click: a crisp two-partial tick.
static Wave makeClick() {
    Wave w = silence(0.06, FX_RATE);
    Noise nz = makeNoise(10);
    Svf hp{};
    svfSet(hp, 5000.0f, FX_RATE, 0.7f);
    double ph = 0.0, ph2 = 0.0;
    for (size_t i = 0; i < w.size(); i++) {
        float t = (float)i / FX_RATE;
        double f = 1900.0 * (1.0 - 2.5 * t);
        ph += f / FX_RATE;
        ph2 += 2.0 * f / FX_RATE;
        w[i] = sineCycle(ph) * std::exp(-t / 0.009f) + 0.45f * sineCycle(ph2) * std::exp(-t / 0.004f) +
               0.35f * svfHigh(hp, noiseNext(nz)) * std::exp(-t / 0.0015f);
    }
    fadeEdges(w, FX_RATE, 0.0005f, 0.01f);
    return w;
}

// A block breaks: a short glassy ping with a touch of crumble; it plays constantly, so it stays soft-edged.
static Wave makeElectron() {
    Wave w = silence(0.09, FX_RATE);
    Noise nz = makeNoise(14);
    Svf bp{};
    svfSet(bp, 3200.0f, FX_RATE, 1.2f);
    double ph[3] = {0, 0, 0};
    const double ratios[3] = {1.0, 2.01, 3.02};
    const float levels[3] = {1.0f, 0.4f, 0.15f}, decays[3] = {0.022f, 0.012f, 0.007f};
    for (size_t i = 0; i < w.size(); i++) {
        float t = (float)i / FX_RATE;
        double f = 1568.0 * (1.0 + 0.06 * std::exp(-t / 0.004));
        float v = 0.0f;
        for (int k = 0; k < 3; k++) {
            ph[k] += f * ratios[k] / FX_RATE;
            v += levels[k] * sineCycle(ph[k]) * std::exp(-t / decays[k]);
        }
        v += 0.18f * svfBand(bp, noiseNext(nz)) * std::exp(-t / 0.01f);
        w[i] = v;
    }
    fadeEdges(w, FX_RATE, 0.001f, 0.02f);
    return w;
}

// The ball meets the paddle: a soft, low wooden tock, far below a block break, since it plays at every
// return and must not tire the ear.
static Wave makePaddleTap() {
    Wave w = silence(0.07, FX_RATE);
    Noise nz = makeNoise(21);
    Svf lp{};
    svfSet(lp, 1800.0f, FX_RATE, 0.6f);
    double ph = 0.0, ph2 = 0.0;
    for (size_t i = 0; i < w.size(); i++) {
        float t = (float)i / FX_RATE;
        double f = 300.0 + 140.0 * std::exp(-t / 0.006);
        ph += f / FX_RATE;
        ph2 += 2.76 * f / FX_RATE;
        w[i] = sineCycle(ph) * std::exp(-t / 0.014f) + 0.25f * sineCycle(ph2) * std::exp(-t / 0.005f) +
               0.3f * svfLow(lp, noiseNext(nz)) * std::exp(-t / 0.002f);
    }
    fadeEdges(w, FX_RATE, 0.001f, 0.02f);
    return w;
}

// A bright tone for jingles: a pulse softened by a low-pass, with a sine an octave up.
static void addChime(Wave& w, int rate, double at, double hz, float dur, float decay, float level) {
    int start = (int)(at * rate);
    int n = std::min((int)w.size() - start, (int)(dur * rate));
    Osc o{0.0};
    Svf lp{};
    svfSet(lp, 4500.0f, rate, 0.7f);
    double ph = 0.0;
    for (int i = 0; i < n; i++) {
        float t = (float)i / rate;
        float env = std::min(1.0f, t / 0.003f) * std::exp(-t / decay);
        float v = svfLow(lp, oscNext(o, WAVE_SQUARE, hz / rate, 0.25f)) * 0.6f;
        ph += 2.0 * hz / rate;
        v += 0.4f * sineCycle(ph);
        w[start + i] += v * env * level;
    }
}

// Positive jingle: a quick rising major arpeggio that rings out.
static Wave makePositive() {
    Wave w = silence(0.62, FX_RATE);
    const double notes[4] = {1046.5, 1318.5, 1568.0, 2093.0};
    for (int k = 0; k < 4; k++) {
        bool last = k == 3;
        addChime(w, FX_RATE, 0.07 * k, notes[k], last ? 0.4f : 0.12f, last ? 0.13f : 0.06f, 1.0f);
        addChime(w, FX_RATE, 0.07 * k + 0.01, notes[k] * 0.5, last ? 0.38f : 0.1f, last ? 0.1f : 0.05f, 0.35f);
    }
    fadeEdges(w, FX_RATE, 0.001f, 0.05f);
    return w;
}

// A buzzy tone through a wah: the filter opens and closes over the note; the pitch may sag at the end.
static void addWah(Wave& w, int rate, double at, double hz, float dur, float sag) {
    int start = (int)(at * rate);
    int n = std::min((int)w.size() - start, (int)(dur * rate));
    Osc o{0.0}, o2{0.3};
    Svf lp{};
    for (int i = 0; i < n; i++) {
        float t = (float)i / rate;
        float shape = (float)std::sin(SYNTH_PI * t / dur);
        if (i % 8 == 0) {
            svfSet(lp, 300.0f + 1800.0f * shape, rate, 2.5f);
        }
        double f = hz * std::pow(2.0, -sag * (t / dur) * (t / dur) / 12.0) *
                   (1.0 + 0.01 * sineCycle(5.5 * t));
        float v = 0.5f * (oscNext(o, WAVE_SAW, f / rate, 0.5f) + oscNext(o2, WAVE_SAW, f * 1.006 / rate, 0.5f));
        float env = std::min(1.0f, t / 0.01f) * std::min(1.0f, (dur - t) / 0.04f);
        w[start + i] += svfLow(lp, v) * env;
    }
}

// Negative jingle: "wah, wah, waaah", falling.
static Wave makeNegative() {
    Wave w = silence(0.8, FX_RATE);
    addWah(w, FX_RATE, 0.0, 329.6, 0.2f, 0.0f);
    addWah(w, FX_RATE, 0.2, 311.1, 0.2f, 0.0f);
    addWah(w, FX_RATE, 0.4, 293.7, 0.38f, 2.0f);
    fadeEdges(w, FX_RATE, 0.002f, 0.03f);
    return w;
}

// A helpful power-up: a bright upward swoop with a sparkle on top.
static Wave makeZwiff() {
    Wave w = silence(0.32, FX_RATE);
    Osc saw{0.0};
    Svf lp{};
    double ph = 0.0, sparkle = 0.0;
    for (size_t i = 0; i < w.size(); i++) {
        float t = (float)i / FX_RATE;
        double f = 350.0 * std::pow(2400.0 / 350.0, std::min(1.0, t / 0.2));
        if (i % 8 == 0) {
            svfSet(lp, (float)(f * 3.0), FX_RATE, 1.2f);
        }
        ph += 2.0 * f / FX_RATE;
        sparkle += 4.0 * f / FX_RATE;
        float tremble = 0.75f + 0.25f * sineCycle(38.0 * t);
        float v = 0.6f * svfLow(lp, oscNext(saw, WAVE_SAW, f / FX_RATE, 0.5f)) + 0.35f * sineCycle(ph) +
                  0.2f * sineCycle(sparkle) * std::min(1.0f, t / 0.15f);
        float env = std::min(1.0f, t / 0.015f) * (t < 0.2f ? 1.0f : std::exp(-(t - 0.2f) / 0.04f));
        w[i] = v * env * tremble;
    }
    fadeEdges(w, FX_RATE, 0.001f, 0.02f);
    return w;
}

// Growth and shrink: a warbling square sliding two octaves up or down, with a fifth above it.
static Wave makeSlide(bool up) {
    Wave w = silence(0.55, FX_RATE);
    Osc a{0.0}, b{0.0};
    Svf lp{};
    svfSet(lp, 3000.0f, FX_RATE, 0.8f);
    for (size_t i = 0; i < w.size(); i++) {
        float t = (float)i / FX_RATE;
        double x = std::min(1.0, t / 0.48);
        double f = up ? 220.0 * std::pow(4.0, x) : 880.0 * std::pow(0.25, x);
        float warble = 0.55f + 0.45f * sineCycle(16.0 * t - 0.25);
        float v = oscNext(a, WAVE_SQUARE, f / FX_RATE, 0.5f) + 0.4f * oscNext(b, WAVE_SQUARE, f * 1.5 / FX_RATE, 0.5f);
        float env = std::min(1.0f, t / 0.01f) * std::min(1.0f, (0.55f - t) / 0.06f);
        w[i] = svfLow(lp, v) * warble * env;
    }
    fadeEdges(w, FX_RATE, 0.001f, 0.01f);
    return w;
}

// Demolition: a rumble with debris rattling down.
static Wave makeDestroy() {
    Wave w = silence(1.0, FX_RATE);
    Noise nz = makeNoise(6);
    Svf lp{}, bp{};
    svfSet(bp, 2500.0f, FX_RATE, 2.0f);
    double ph = 0.0;
    float debris = 0.0f;
    for (size_t i = 0; i < w.size(); i++) {
        float t = (float)i / FX_RATE;
        if (i % 8 == 0) {
            svfSet(lp, 200.0f + 3000.0f * std::exp(-t / 0.15f), FX_RATE, 0.8f);
        }
        ph += (40.0 + 40.0 * std::exp(-t / 0.08)) / FX_RATE;
        float rumble = svfLow(lp, noiseNext(nz)) * std::exp(-t / 0.3f);
        float thump = sineCycle(ph) * std::exp(-t / 0.2f);
        // Bits of rubble: short clicks, thinning out as the pile settles.
        if (t < 0.7f && noiseUnit(nz) < 0.004f * std::exp(-t / 0.3f)) {
            debris = 0.6f + 0.4f * noiseUnit(nz);
        }
        float rattle = svfBand(bp, noiseNext(nz)) * debris;
        debris *= 0.996f;
        w[i] = 0.9f * rumble + 0.8f * thump + 0.5f * rattle;
    }
    fadeEdges(w, FX_RATE, 0.002f, 0.1f);
    return w;
}

// The bomb: a deep boom with a crunchy bite.
static Wave makeChomp() {
    Wave w = silence(0.8, FX_RATE);
    Noise nz = makeNoise(7);
    Svf lp{};
    double ph = 0.0;
    float held = 0.0f;
    for (size_t i = 0; i < w.size(); i++) {
        float t = (float)i / FX_RATE;
        if (i % 8 == 0) {
            svfSet(lp, 300.0f + 2200.0f * std::exp(-t / 0.06f), FX_RATE, 0.9f);
        }
        ph += (32.0 + 90.0 * std::exp(-t / 0.05)) / FX_RATE;
        float boom = std::tanh(3.0f * sineCycle(ph) * std::exp(-t / 0.22f));
        float blast = svfLow(lp, noiseNext(nz)) * std::exp(-t / 0.12f);
        // Sample-and-hold noise at a low rate: a gritty crunch at the front.
        if (i % 14 == 0) {
            held = noiseNext(nz);
        }
        float crunch = held * std::exp(-t / 0.05f);
        w[i] = 0.8f * boom + 0.9f * blast + 0.35f * crunch;
    }
    fadeEdges(w, FX_RATE, 0.001f, 0.12f);
    return w;
}

// The fountain: a rising hiss full of crackling sparks.
static Wave makeFizz() {
    Wave w = silence(0.9, FX_RATE);
    Noise nz = makeNoise(8);
    Svf bp{};
    float flutter = 1.0f;
    float spark = 0.0f;
    double sparkPhase = 0.0, sparkHz = 4000.0;
    for (size_t i = 0; i < w.size(); i++) {
        float t = (float)i / FX_RATE;
        if (i % 8 == 0) {
            svfSet(bp, 2000.0f + 4500.0f * std::min(1.0f, t / 0.6f), FX_RATE, 1.5f);
        }
        if (i % 735 == 0) {  // the hiss flutters thirty times a second
            flutter = 0.6f + 0.4f * noiseUnit(nz);
        }
        if (noiseUnit(nz) < 0.003f) {
            spark = 0.8f + 0.2f * noiseUnit(nz);
            sparkHz = 3000.0 + 5000.0 * noiseUnit(nz);
        }
        sparkPhase += sparkHz / FX_RATE;
        float env = std::min(1.0f, t / 0.06f) * (t < 0.6f ? 1.0f : std::exp(-(t - 0.6f) / 0.1f));
        w[i] = (0.8f * svfBand(bp, noiseNext(nz)) * flutter + 0.5f * spark * sineCycle(sparkPhase)) * env;
        spark *= 0.993f;
    }
    fadeEdges(w, FX_RATE, 0.002f, 0.04f);
    return w;
}

// A voice through vowel resonances: pitch from `fromHz` to `toHz`; formants in Hz with their levels.
static void addVoice(Wave& w, int rate, double fromHz, double toHz, const float* formants, const float* levels,
                     int count, float attack, float hold) {
    Osc glottis{0.0};
    Svf f[4] = {};
    for (int k = 0; k < count && k < 4; k++) {
        svfSet(f[k], formants[k], rate, 6.0f);
    }
    const int n = (int)w.size();
    for (int i = 0; i < n; i++) {
        float t = (float)i / rate;
        float x = (float)i / n;
        double hz = fromHz * std::pow(toHz / fromHz, x) * (1.0 + 0.012 * sineCycle(5.0 * t));
        float src = oscNext(glottis, WAVE_SAW, hz / rate, 0.5f);
        float v = 0.0f;
        for (int k = 0; k < count && k < 4; k++) {
            v += levels[k] * svfBand(f[k], src);
        }
        float env = std::min(1.0f, t / attack) * (t < hold ? 1.0f : std::exp(-(t - hold) / 0.06f));
        w[i] += v * env;
    }
}

// "D'oh": a short voiced "oh" falling in pitch, with a plosive at the front.
static Wave makeDoh() {
    Wave w = silence(0.5, FX_RATE);
    const float formants[3] = {480.0f, 820.0f, 2500.0f}, levels[3] = {1.0f, 0.7f, 0.12f};
    addVoice(w, FX_RATE, 220.0, 135.0, formants, levels, 3, 0.02f, 0.3f);
    Noise nz = makeNoise(9);
    Svf bp{};
    svfSet(bp, 3000.0f, FX_RATE, 1.0f);
    for (int i = 0; i < FX_RATE / 80; i++) {
        float t = (float)i / FX_RATE;
        w[i] += 0.5f * svfBand(bp, noiseNext(nz)) * std::exp(-t / 0.004f);
    }
    fadeEdges(w, FX_RATE, 0.001f, 0.05f);
    return w;
}

// Score up: three quick bell strikes climbing to a bright top note.
static Wave makeScoreUp() {
    Wave w = silence(0.55, FX_RATE);
    const double notes[3] = {1318.5, 1760.0, 2637.0};
    for (int k = 0; k < 3; k++) {
        int start = (int)(0.06 * k * FX_RATE);
        double carrier = 0.0, mod = 0.0;
        for (int i = start; i < (int)w.size(); i++) {
            float t = (float)(i - start) / FX_RATE;
            float decay = k == 2 ? 0.14f : 0.05f;
            float env = std::min(1.0f, t / 0.002f) * std::exp(-t / decay);
            float index = 1.2f * std::exp(-t / 0.05f);
            w[i] += 0.8f * env * sineCycle(carrier + index * sineCycle(mod) / (2.0 * SYNTH_PI));
            carrier += notes[k] / FX_RATE;
            mod += notes[k] * 2.0 / FX_RATE;
        }
    }
    fadeEdges(w, FX_RATE, 0.001f, 0.04f);
    return w;
}

// "Fear me": a low growling "aah" on a dark cluster, sinking.
static Wave makeFearMe() {
    Wave w = silence(1.6, FX_RATE);
    const float formants[3] = {700.0f, 1150.0f, 2600.0f}, levels[3] = {1.0f, 0.6f, 0.15f};
    Wave part = silence(1.6, FX_RATE);
    const double roots[3] = {65.4, 92.5, 98.0};  // C, F sharp, G: a tritone and a rub
    for (int k = 0; k < 3; k++) {
        std::fill(part.begin(), part.end(), 0.0f);
        addVoice(part, FX_RATE, roots[k], roots[k] * 0.89, formants, levels, 3, 0.15f, 1.1f);
        for (size_t i = 0; i < w.size(); i++) {
            w[i] += part[i];
        }
    }
    Noise nz = makeNoise(13);
    Svf lp{};
    svfSet(lp, 500.0f, FX_RATE, 0.7f);
    for (size_t i = 0; i < w.size(); i++) {
        float t = (float)i / FX_RATE;
        float growl = 0.7f + 0.3f * sineCycle(28.0 * t);
        w[i] = w[i] * growl + 0.3f * svfLow(lp, noiseNext(nz)) * std::min(1.0f, t / 0.3f);
    }
    fadeEdges(w, FX_RATE, 0.01f, 0.35f);
    return w;
}

// ---- Effects at 11025 Hz, loaded doubled.

// The ball shower: a rushing whoosh, the band of noise sweeping up and back down, with a faint whistle.
static Wave makeScream() {
    Wave w = silence(1.3, HALF_RATE);
    Noise nz = makeNoise(11);
    Svf bp{};
    double ph = 0.0;
    for (size_t i = 0; i < w.size(); i++) {
        float t = (float)i / HALF_RATE;
        float x = t < 0.6f ? t / 0.6f : 1.0f - (t - 0.6f) / 0.7f * 0.7f;
        float centre = 400.0f * (float)std::pow(9.0, x);
        if (i % 8 == 0) {
            svfSet(bp, centre, HALF_RATE, 2.5f);
        }
        ph += centre * 0.6 / HALF_RATE;
        float env = std::min(1.0f, t / 0.5f) * (t < 0.7f ? 1.0f : std::exp(-(t - 0.7f) / 0.2f));
        w[i] = (svfBand(bp, noiseNext(nz)) + 0.08f * sineCycle(ph)) * env;
    }
    fadeEdges(w, HALF_RATE, 0.01f, 0.05f);
    return w;
}

// A struck wooden bar for the jingle.
static void addMarimbaNote(Wave& w, int rate, double at, double hz, float level) {
    int start = (int)(at * rate);
    double ph1 = 0.0, ph2 = 0.0;
    for (int i = start; i < (int)w.size(); i++) {
        float t = (float)(i - start) / rate;
        ph1 += hz / rate;
        ph2 += hz * 3.93 / rate;
        float v = sineCycle(ph1) * std::exp(-t / 0.18f);
        if (hz * 3.93 < 0.45 * rate) {
            v += 0.3f * sineCycle(ph2) * std::exp(-t / 0.05f);
        }
        w[i] += level * v * std::min(1.0f, t / 0.002f);
    }
}

// The mascot's jingle: a cheeky marimba tune over bongos, a slide whistle up, and a bright final chord.
static Wave makeMonkey() {
    Wave w = silence(1.5, HALF_RATE);
    const double tune[6] = {523.3, 659.3, 784.0, 880.0, 784.0, 659.3};
    for (int k = 0; k < 6; k++) {
        addMarimbaNote(w, HALF_RATE, 0.1 * k, tune[k], 0.7f);
    }
    for (int k = 0; k < 5; k++) {
        double at = 0.15 * k;
        double hz = k % 2 ? 300.0 : 220.0;
        int start = (int)(at * HALF_RATE);
        double ph = 0.0;
        for (int i = start; i < start + HALF_RATE / 6; i++) {
            float t = (float)(i - start) / HALF_RATE;
            ph += hz * (1.0 + 0.3 * std::exp(-t / 0.01)) / HALF_RATE;
            w[i] += 0.45f * sineCycle(ph) * std::exp(-t / 0.06f);
        }
    }
    double ph = 0.0;
    int whistleStart = (int)(0.62 * HALF_RATE), whistleLen = (int)(0.3 * HALF_RATE);
    for (int i = 0; i < whistleLen; i++) {
        float x = (float)i / whistleLen;
        ph += (600.0 * std::pow(3.0, x)) * (1.0 + 0.01 * sineCycle(i * 7.0 / HALF_RATE)) / HALF_RATE;
        float env = std::min(1.0f, x / 0.1f) * std::min(1.0f, (1.0f - x) / 0.1f);
        w[whistleStart + i] += 0.4f * sineCycle(ph) * env;
    }
    const double chord[3] = {1046.5, 1318.5, 1568.0};
    for (int k = 0; k < 3; k++) {
        addMarimbaNote(w, HALF_RATE, 0.95 + 0.015 * k, chord[k], 0.5f);
        addMarimbaNote(w, HALF_RATE, 0.95, chord[0] * 0.5, 0.25f);
    }
    fadeEdges(w, HALF_RATE, 0.002f, 0.15f);
    return w;
}

// ---- Writing and checking.

struct Effect {
    const char* file;
    Wave (*make)(void);
    int rate;           // samples per second of the file
    double maxSeconds;  // the click must stay short
    float peak = FX_PEAK;  // of full scale
    double minSeconds = 0.05;
};

static bool checkEffect(const Effect& e, const std::vector<int16_t>& pcm) {
    Levels l = measurePcm(pcm);
    double seconds = (double)pcm.size() / e.rate;
    bool ok = true;
    auto fail = [&](const char* what) {
        fprintf(stderr, "plinkor-gen: %s: %s (%.3f s, peak %.2f dBFS, rms %.2f dBFS, %d clipped)\n", e.file, what,
                seconds, l.peakDb, l.rmsDb, l.clipped);
        ok = false;
    };
    if (seconds < e.minSeconds || seconds > e.maxSeconds) {
        fail("length out of range");
    }
    double peakDb = 20.0 * std::log10(e.peak);
    if (l.peakDb < peakDb - 0.5 || l.peakDb > peakDb + 0.5) {
        fail("peak is not where it is set");
    }
    if (l.clipped > 0) {
        fail("clipped samples");
    }
    if (l.rmsDb < -35.0) {
        fail("too quiet");
    }
    if (std::abs(pcm.front()) > 600 || std::abs(pcm.back()) > 600) {
        fail("does not start and end at rest");
    }
    return ok;
}

static bool checkMusic(const char* file, const std::vector<int16_t>& pcm) {
    Levels l = measurePcm(pcm);
    double seconds = (double)pcm.size() / HALF_RATE;
    bool ok = true;
    auto fail = [&](const char* what) {
        fprintf(stderr, "plinkor-gen: %s: %s (%.1f s, peak %.2f dBFS, rms %.2f dBFS, %d clipped, step %.0f)\n", file,
                what, seconds, l.peakDb, l.rmsDb, l.clipped, l.meanStep);
        ok = false;
    };
    if (seconds < 40.0) {
        fail("shorter than 40 s");
    }
    if (l.rmsDb < -17.0 || l.rmsDb > -15.0) {
        fail("RMS is not near -16 dBFS");
    }
    if (l.clipped > 0 || l.peakDb > -0.3) {
        fail("clipped or too near full scale");
    }
    // The seam as the looping voice plays it: last sample, the loader's extra value, first sample.
    int last = pcm.back(), first = pcm.front();
    if (std::abs(last - first) > l.meanStep || std::abs(last - LOADER_TAIL) > l.meanStep ||
        std::abs(first - LOADER_TAIL) > l.meanStep) {
        fail("the loop point jumps");
    }
    return ok;
}

// Correlation of two tracks over their common length: near 0 for different pieces, 1 for the same.
static double correlation(const std::vector<int16_t>& a, const std::vector<int16_t>& b) {
    size_t n = std::min(a.size(), b.size());
    double ab = 0.0, aa = 0.0, bb = 0.0;
    for (size_t i = 0; i < n; i++) {
        ab += (double)a[i] * b[i];
        aa += (double)a[i] * a[i];
        bb += (double)b[i] * b[i];
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 1.0;
}

bool generateSounds(const std::string& runDir) {
    initSineTable();
    const Effect effects[] = {
        {"cleep2.raw", makeClick, FX_RATE, 0.1},          {"electron.raw", makeElectron, FX_RATE, 0.15},
        {"generalsfx8.raw", makePositive, FX_RATE, 2.0},  {"generalsfx48.raw", makeNegative, FX_RATE, 2.0},
        {"zwiff.raw", makeZwiff, FX_RATE, 2.0},           {"maximize03.raw", [] { return makeSlide(true); }, FX_RATE, 2.0},
        {"minimize3.raw", [] { return makeSlide(false); }, FX_RATE, 2.0},
        {"DESTROY.raw", makeDestroy, FX_RATE, 2.0},       {"chomp.raw", makeChomp, FX_RATE, 2.0},
        {"fizz.raw", makeFizz, FX_RATE, 2.0},             {"doh.raw", makeDoh, FX_RATE, 2.0},
        {"scoreup.raw", makeScoreUp, FX_RATE, 2.0},       {"fearme1.raw", makeFearMe, FX_RATE, 2.0},
        {"scream.raw", makeScream, HALF_RATE, 2.0},       {"monkey.raw", makeMonkey, HALF_RATE, 1.75, FX_PEAK, 1.25},
        {"paddletap.raw", makePaddleTap, FX_RATE, 0.1, SOFT_PEAK},
    };
    const std::string folder = runDir + "Sound/";
    bool ok = true;
    double tapRms = 0.0, blockRms = 0.0;
    for (const Effect& e : effects) {
        Wave w = e.make();
        normalisePeak(w, e.peak);
        std::vector<int16_t> pcm = toPcm16(w);
        ok = checkEffect(e, pcm) && ok;
        // The tap sounds at every return of the ball: it stays well under a block break.
        if (e.make == makePaddleTap) {
            tapRms = measurePcm(pcm).rmsDb;
        } else if (e.make == makeElectron) {
            blockRms = measurePcm(pcm).rmsDb;
        }
        ok = writeRaw16(folder + e.file, pcm) && ok;
    }
    if (tapRms > blockRms - 6.0) {
        fprintf(stderr, "plinkor-gen: paddletap.raw is not 6 dB under electron.raw (rms %.1f, %.1f dBFS)\n", tapRms,
                blockRms);
        ok = false;
    }
    std::vector<int16_t> tracks[MUSIC_TRACK_COUNT];
    for (int i = 0; i < MUSIC_TRACK_COUNT; i++) {
        std::string error;
        if (!renderMusicTrack(i, tracks[i], error)) {
            fprintf(stderr, "plinkor-gen: %s: %s\n", musicTrackFile(i), error.c_str());
            ok = false;
            continue;
        }
        ok = checkMusic(musicTrackFile(i), tracks[i]) && ok;
        ok = writeRaw16(folder + musicTrackFile(i), tracks[i]) && ok;
    }
    for (int i = 0; i < MUSIC_TRACK_COUNT; i++) {
        for (int j = i + 1; j < MUSIC_TRACK_COUNT; j++) {
            if (tracks[i].empty() || tracks[j].empty()) {
                continue;  // already reported
            }
            double c = correlation(tracks[i], tracks[j]);
            if (std::fabs(c) > 0.3) {
                fprintf(stderr, "plinkor-gen: %s and %s are too alike (correlation %.2f)\n", musicTrackFile(i),
                        musicTrackFile(j), c);
                ok = false;
            }
        }
    }
    return ok;
}
