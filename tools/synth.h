// Building blocks of the sound generator: noise, oscillators, envelopes, filters, reverb, levels, raw files.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

// Samples as floats, full scale at -1..1; converted to 16 bits only when written.
typedef std::vector<float> Wave;

const double SYNTH_PI = 3.14159265358979323846;

// ---- Noise: a small xorshift generator, seeded, so every run makes the same sounds.
struct Noise {
    uint32_t state;  // never 0
};

Noise makeNoise(uint32_t seed);
uint32_t noiseBits(Noise& n);
// Uniform in -1..1.
float noiseNext(Noise& n);
// Uniform in 0..1.
float noiseUnit(Noise& n);

// ---- Sine from a table: phase in cycles (any value, only its fraction counts).
const int SINE_TABLE_SIZE = 4096;
extern float sineTable[SINE_TABLE_SIZE + 1];
void initSineTable(void);

inline float sineCycle(double phase) {
    double p = (phase - std::floor(phase)) * SINE_TABLE_SIZE;
    int i = (int)p;
    float f = (float)(p - i);
    return sineTable[i] + (sineTable[i + 1] - sineTable[i]) * f;
}

// ---- Oscillators: phase in cycles 0..1, increment = frequency / sample rate.
struct Osc {
    double phase;  // cycles, 0..1
};

enum Waveform { WAVE_SINE, WAVE_SAW, WAVE_SQUARE, WAVE_TRIANGLE };

// One sample of the waveform, then the phase advances; saw and square are band-limited at their edges.
float oscNext(Osc& o, Waveform w, double inc, float width);

double midiToHz(double midi);

// ---- Envelope: linear attack, exponential decay to the sustain level, exponential release after the gate.
struct Env {
    float level;        // 0..1
    int stage;          // 0 attack, 1 decay/sustain, 2 release, 3 done
    int gate;           // samples the gate stays open
    int pos;            // samples run so far
    float attackStep;   // level added per sample in the attack
    float decayCoef;    // per-sample factor of the distance to sustain
    float sustain;      // 0..1
    float releaseCoef;  // per-sample factor in the release
};

// Times in seconds: attack to full level, decay and release as time constants (to 1/e).
void envInit(Env& e, int rate, float attack, float decay, float sustain, float release, int gateSamples);
float envNext(Env& e);
inline bool envDone(const Env& e) {
    return e.stage == 3;
}

// ---- Topology-preserving state-variable filter (low, band, high outputs).
struct Svf {
    float ic1, ic2;  // integrator states
    float g, k, a1, a2, a3;
};

void svfSet(Svf& f, float cutoffHz, int rate, float q);
void svfRun(Svf& f, float x, float& low, float& band, float& high);
float svfLow(Svf& f, float x);
float svfBand(Svf& f, float x);
float svfHigh(Svf& f, float x);

// One-pole low-pass.
struct OnePole {
    float z, a;  // state; coefficient 0..1
};
void onePoleSet(OnePole& f, float cutoffHz, int rate);
inline float onePoleRun(OnePole& f, float x) {
    f.z += f.a * (x - f.z);
    return f.z;
}

// Soft saturation that never exceeds 1.
inline float softClip(float x) {
    return std::tanh(x);
}

// ---- Effects on whole buffers.
// A room reverb added to `out`; with `loop` the buffer is a loop: tails wrap round into its start.
void addReverb(const Wave& in, Wave& out, int rate, float room, float damp, float wet, bool loop);
// A feedback echo on the buffer itself (delay in samples); with `loop` echoes wrap round.
void applyEcho(Wave& w, int delay, float feedback, float mix, bool loop);
// Multiplies so the largest magnitude becomes `peak`.
void normalisePeak(Wave& w, float peak);
float peakOf(const Wave& w);
float rmsOf(const Wave& w);

// ---- 16-bit output and its measures.
// Rounds to 16 bits; values beyond full scale are clamped to -32767..32767.
std::vector<int16_t> toPcm16(const Wave& w);
bool writeRaw16(const std::string& path, const std::vector<int16_t>& pcm);

struct Levels {
    double peakDb;      // dB relative to 32768
    double rmsDb;       // dB relative to 32768
    int clipped;        // samples at -32768 or 32767
    double meanStep;    // mean absolute difference of neighbouring samples
};
Levels measurePcm(const std::vector<int16_t>& pcm);
