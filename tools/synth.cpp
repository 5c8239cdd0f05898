// Building blocks of the sound generator: noise, oscillators, envelopes, filters, reverb, levels, raw files.
#include "synth.h"

#include <algorithm>
#include <cstdio>

float sineTable[SINE_TABLE_SIZE + 1];

void initSineTable(void) {
    for (int i = 0; i <= SINE_TABLE_SIZE; i++) {
        sineTable[i] = (float)std::sin(2.0 * SYNTH_PI * i / SINE_TABLE_SIZE);
    }
}

Noise makeNoise(uint32_t seed) {
    Noise n;
    n.state = seed * 2654435761u + 0x9E3779B9u;
    if (n.state == 0) {
        n.state = 1;
    }
    // A few rounds so that close seeds part ways at once.
    for (int i = 0; i < 4; i++) {
        noiseBits(n);
    }
    return n;
}

uint32_t noiseBits(Noise& n) {
    uint32_t x = n.state;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    n.state = x;
    return x;
}

float noiseNext(Noise& n) {
    return (float)((noiseBits(n) >> 8) * (2.0 / 16777216.0) - 1.0);
}

float noiseUnit(Noise& n) {
    return (float)((noiseBits(n) >> 8) * (1.0 / 16777216.0));
}

double midiToHz(double midi) {
    return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

// The correction that removes the aliasing step of a waveform edge (polynomial band-limited step).
static inline double polyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

float oscNext(Osc& o, Waveform w, double inc, float width) {
    if (inc < 0.0) {
        inc = 0.0;
    }
    if (inc > 0.45) {
        inc = 0.45;
    }
    double t = o.phase;
    double v = 0.0;
    switch (w) {
    case WAVE_SINE:
        v = sineCycle(t);
        break;
    case WAVE_SAW:
        v = 2.0 * t - 1.0 - polyBlep(t, inc);
        break;
    case WAVE_SQUARE: {
        double pw = std::min(0.95, std::max(0.05, (double)width));
        double t2 = t + 1.0 - pw;
        t2 -= std::floor(t2);
        v = (t < pw ? 1.0 : -1.0) + polyBlep(t, inc) - polyBlep(t2, inc) - (2.0 * pw - 1.0);
        break;
    }
    case WAVE_TRIANGLE:
        v = 1.0 - 4.0 * std::fabs(t - 0.5);
        break;
    }
    t += inc;
    if (t >= 1.0) {
        t -= 1.0;
    }
    o.phase = t;
    return (float)v;
}

void envInit(Env& e, int rate, float attack, float decay, float sustain, float release, int gateSamples) {
    e.level = 0.0f;
    e.stage = 0;
    e.gate = gateSamples;
    e.pos = 0;
    e.attackStep = attack > 0.0f ? 1.0f / (attack * rate) : 1.0f;
    e.decayCoef = decay > 0.0f ? (float)std::exp(-1.0 / (decay * rate)) : 0.0f;
    e.sustain = sustain;
    e.releaseCoef = release > 0.0f ? (float)std::exp(-1.0 / (release * rate)) : 0.0f;
}

float envNext(Env& e) {
    if (e.stage < 2 && e.pos >= e.gate) {
        e.stage = 2;
    }
    switch (e.stage) {
    case 0:
        e.level += e.attackStep;
        if (e.level >= 1.0f) {
            e.level = 1.0f;
            e.stage = 1;
        }
        break;
    case 1:
        e.level = e.sustain + (e.level - e.sustain) * e.decayCoef;
        break;
    case 2:
        e.level *= e.releaseCoef;
        if (e.level < 0.0001f) {
            e.level = 0.0f;
            e.stage = 3;
        }
        break;
    default:
        e.level = 0.0f;
        break;
    }
    e.pos++;
    return e.level;
}

void svfSet(Svf& f, float cutoffHz, int rate, float q) {
    float fc = std::min(std::max(cutoffHz, 10.0f), 0.45f * rate);
    f.g = (float)std::tan(SYNTH_PI * fc / rate);
    f.k = 1.0f / std::max(q, 0.05f);
    f.a1 = 1.0f / (1.0f + f.g * (f.g + f.k));
    f.a2 = f.g * f.a1;
    f.a3 = f.g * f.a2;
}

void svfRun(Svf& f, float x, float& low, float& band, float& high) {
    float v3 = x - f.ic2;
    float v1 = f.a1 * f.ic1 + f.a2 * v3;
    float v2 = f.ic2 + f.a2 * f.ic1 + f.a3 * v3;
    f.ic1 = 2.0f * v1 - f.ic1;
    f.ic2 = 2.0f * v2 - f.ic2;
    low = v2;
    band = v1;
    high = x - f.k * v1 - v2;
}

float svfLow(Svf& f, float x) {
    float l, b, h;
    svfRun(f, x, l, b, h);
    return l;
}

float svfBand(Svf& f, float x) {
    float l, b, h;
    svfRun(f, x, l, b, h);
    return b;
}

float svfHigh(Svf& f, float x) {
    float l, b, h;
    svfRun(f, x, l, b, h);
    return h;
}

void onePoleSet(OnePole& f, float cutoffHz, int rate) {
    f.a = (float)(1.0 - std::exp(-2.0 * SYNTH_PI * cutoffHz / rate));
}

void addReverb(const Wave& in, Wave& out, int rate, float room, float damp, float wet, bool loop) {
    // Eight damped combs in parallel, then four all-passes in series (the classic room network).
    static const int combLengths[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static const int passLengths[4] = {556, 441, 341, 225};
    const double scale = rate / 44100.0;
    std::vector<float> combs[8];
    std::vector<float> passes[4];
    int combPos[8] = {0};
    int passPos[4] = {0};
    float combStore[8] = {0};
    for (int c = 0; c < 8; c++) {
        combs[c].assign(std::max(1, (int)(combLengths[c] * scale)), 0.0f);
    }
    for (int p = 0; p < 4; p++) {
        passes[p].assign(std::max(1, (int)(passLengths[p] * scale)), 0.0f);
    }
    const size_t n = std::min(in.size(), out.size());
    // A loop runs twice: the first round only fills the network with the end's tail.
    const int rounds = loop ? 2 : 1;
    for (int round = 0; round < rounds; round++) {
        for (size_t i = 0; i < n; i++) {
            float x = in[i] * 0.03f;
            float sum = 0.0f;
            for (int c = 0; c < 8; c++) {
                float y = combs[c][combPos[c]];
                combStore[c] = y * (1.0f - damp) + combStore[c] * damp;
                combs[c][combPos[c]] = x + combStore[c] * room;
                if (++combPos[c] >= (int)combs[c].size()) {
                    combPos[c] = 0;
                }
                sum += y;
            }
            for (int p = 0; p < 4; p++) {
                float b = passes[p][passPos[p]];
                float o = b - sum;
                passes[p][passPos[p]] = sum + b * 0.5f;
                if (++passPos[p] >= (int)passes[p].size()) {
                    passPos[p] = 0;
                }
                sum = o;
            }
            if (round == rounds - 1) {
                out[i] += sum * wet;
            }
        }
    }
}

void applyEcho(Wave& w, int delay, float feedback, float mix, bool loop) {
    const int n = (int)w.size();
    if (delay <= 0 || delay >= n) {
        return;
    }
    // d[i] is the echo arriving at sample i: the signal one delay earlier plus its own echo, fed back.
    std::vector<float> d(n, 0.0f);
    const int rounds = loop ? 3 : 1;
    for (int round = 0; round < rounds; round++) {
        for (int i = 0; i < n; i++) {
            int j = i - delay;
            if (j < 0) {
                if (!loop) {
                    continue;
                }
                j += n;
            }
            d[i] = w[j] + feedback * d[j];
        }
    }
    for (int i = 0; i < n; i++) {
        w[i] += mix * d[i];
    }
}

float peakOf(const Wave& w) {
    float p = 0.0f;
    for (float v : w) {
        p = std::max(p, std::fabs(v));
    }
    return p;
}

float rmsOf(const Wave& w) {
    if (w.empty()) {
        return 0.0f;
    }
    double s = 0.0;
    for (float v : w) {
        s += (double)v * v;
    }
    return (float)std::sqrt(s / w.size());
}

void normalisePeak(Wave& w, float peak) {
    float p = peakOf(w);
    if (p <= 0.0f) {
        return;
    }
    float g = peak / p;
    for (float& v : w) {
        v *= g;
    }
}

std::vector<int16_t> toPcm16(const Wave& w) {
    std::vector<int16_t> pcm(w.size());
    for (size_t i = 0; i < w.size(); i++) {
        long v = std::lround(w[i] * 32767.0);
        pcm[i] = (int16_t)std::min(32767L, std::max(-32767L, v));
    }
    return pcm;
}

bool writeRaw16(const std::string& path, const std::vector<int16_t>& pcm) {
    FILE* f = fopen(path.c_str(), "wb");
    if (f == nullptr) {
        fprintf(stderr, "plinkor-gen: cannot write %s\n", path.c_str());
        return false;
    }
    std::vector<uint8_t> bytes(pcm.size() * 2);
    for (size_t i = 0; i < pcm.size(); i++) {
        uint16_t u = (uint16_t)pcm[i];
        bytes[2 * i] = (uint8_t)(u & 0xFF);
        bytes[2 * i + 1] = (uint8_t)(u >> 8);
    }
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (fclose(f) == 0) && ok;
    if (!ok) {
        fprintf(stderr, "plinkor-gen: short write on %s\n", path.c_str());
    }
    return ok;
}

Levels measurePcm(const std::vector<int16_t>& pcm) {
    Levels l{-200.0, -200.0, 0, 0.0};
    if (pcm.empty()) {
        return l;
    }
    int peak = 0;
    double power = 0.0, steps = 0.0;
    for (size_t i = 0; i < pcm.size(); i++) {
        int v = pcm[i];
        peak = std::max(peak, std::abs(v));
        power += (double)v * v;
        if (v >= 32767 || v <= -32767) {
            l.clipped++;
        }
        if (i > 0) {
            steps += std::abs(v - pcm[i - 1]);
        }
    }
    l.peakDb = peak > 0 ? 20.0 * std::log10(peak / 32768.0) : -200.0;
    double rms = std::sqrt(power / pcm.size());
    l.rmsDb = rms > 0 ? 20.0 * std::log10(rms / 32768.0) : -200.0;
    l.meanStep = pcm.size() > 1 ? steps / (pcm.size() - 1) : 0.0;
    return l;
}
