// The generator's music sequencer: instruments, drums, melody text, chords, and a loop of parts mixed to one track.
#include "gen_music.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// Pitch, filter and wobble are updated once per this many samples: cheap, and far finer than anyone hears.
static const int CONTROL_BLOCK = 8;

void songStart(Song& s, int stepSamples, int stepsPerBar, int bars, uint32_t seed) {
    initSineTable();
    s.rate = MUSIC_RATE;
    s.stepSamples = stepSamples;
    s.stepsPerBar = stepsPerBar;
    s.bars = bars;
    s.length = stepSamples * stepsPerBar * bars;
    s.noise = makeNoise(seed);
    s.timing = 0.003f * s.rate;
    for (int p = 0; p < PART_COUNT; p++) {
        s.part[p].assign(s.length, 0.0f);
        s.level[p] = 0.0f;
        s.send[p] = 0.15f;
        s.echoSteps[p] = 0;
        s.echoFeedback[p] = 0.0f;
        s.echoMix[p] = 0.0f;
        s.lastMidi[p] = -1.0;
    }
    s.room = 0.8f;
    s.damp = 0.3f;
    s.problem.clear();
}

// The sample where a step starts, shifted a little at random as a player would, wrapped into the loop.
static int startSample(Song& s, double step) {
    long at = std::lround(step * s.stepSamples + noiseNext(s.noise) * s.timing);
    at %= s.length;
    if (at < 0) {
        at += s.length;
    }
    return (int)at;
}

// Adds one sample at a loop position that may run past the end: it wraps round to the start.
static inline void addAt(Wave& w, int length, int start, int n, float v) {
    int i = start + n;
    if (i >= length) {
        i -= length;
    }
    w[i] += v;
}

static const float drawbarRatio[9] = {0.5f, 1.0f, 1.5f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 8.0f};

static void renderTone(Song& s, Wave& dst, const Tone& t, int start, int gate, double midi, double fromMidi,
                       float vel) {
    const int rate = s.rate;
    const int length = s.length;
    Env env;
    envInit(env, rate, t.attack, t.decay, t.sustain, t.release, gate);
    const int maxLen = std::min(length, gate + (int)(t.release * rate * 10.0f) + 16);
    const double baseHz = midiToHz(midi);
    const float amp = t.gain * vel;

    // Pitch movement.
    double glideDiff = (t.glide > 0.0f && fromMidi >= 0.0) ? fromMidi - midi : 0.0;
    const double glideCoef = t.glide > 0.0f ? std::exp(-(double)CONTROL_BLOCK / (t.glide * rate)) : 0.0;
    double inc = baseHz / rate;

    // Analog state.
    Osc osc[7];
    double detuneMul[7];
    const int voices = std::max(1, std::min(7, t.voices));
    for (int v = 0; v < voices; v++) {
        osc[v].phase = voices > 1 ? noiseUnit(s.noise) : 0.0;
        double cents = voices > 1 ? t.detune * ((double)v / (voices - 1) - 0.5) : 0.0;
        detuneMul[v] = std::pow(2.0, cents / 1200.0);
    }
    const float voiceNorm = 1.0f / std::sqrt((float)voices);
    Osc subOsc{0.0};
    Svf filter{};
    const bool filtered = t.cutoff > 0.0f;
    const float keyMul = t.keyTrack != 0.0f ? (float)std::pow(baseHz / 261.63, t.keyTrack) : 1.0f;
    float filterEnv = 1.0f;
    const float filterCoef = (float)std::exp(-(double)CONTROL_BLOCK / (std::max(t.filterDecay, 0.001f) * rate));
    const float driveNorm = t.drive > 0.0f ? 1.0f / std::tanh(t.drive) : 1.0f;

    // Partials (explicit or a harmonic series), organ drawbars and flute harmonics all use the same bank.
    float ratio[24], level[24], coef[24], partAmp[24];
    double phase[24];
    int count = 0;
    if (t.kind == TONE_PARTIALS) {
        if (t.harmonics > 0) {
            for (int k = 1; k <= t.harmonics && count < 24; k++) {
                ratio[count] = (float)k;
                level[count] = (float)std::pow((double)k, -(double)t.rolloff);
                float d = t.baseDecay + t.harmonicDecay * (k - 1);
                coef[count] = (float)std::exp(-d / rate);
                count++;
            }
        } else {
            for (int k = 0; k < t.partialCount && k < 8; k++) {
                ratio[count] = t.partialRatio[k];
                level[count] = t.partialLevel[k];
                coef[count] = (float)std::exp(-t.partialDecay[k] / rate);
                count++;
            }
        }
    } else if (t.kind == TONE_ORGAN) {
        for (int k = 0; k < 9; k++) {
            if (t.drawbar[k] > 0.0f) {
                ratio[count] = drawbarRatio[k];
                level[count] = t.drawbar[k];
                coef[count] = 1.0f;
                count++;
            }
        }
    } else if (t.kind == TONE_FLUTE) {
        const float flute[3] = {1.0f, 0.22f, 0.07f};
        for (int k = 0; k < 3; k++) {
            ratio[count] = (float)(k + 1);
            level[count] = flute[k];
            coef[count] = 1.0f;
            count++;
        }
    }
    // Partials above the Nyquist limit would fold back as noise: leave them out, and keep the rest in order.
    {
        int kept = 0;
        for (int k = 0; k < count; k++) {
            if (baseHz * ratio[k] < 0.45 * rate) {
                ratio[kept] = ratio[k];
                level[kept] = level[k];
                coef[kept] = coef[k];
                kept++;
            }
        }
        count = kept;
    }
    for (int k = 0; k < count; k++) {
        partAmp[k] = 1.0f;
        phase[k] = noiseUnit(s.noise);
    }

    // FM state.
    double carrier = 0.0, modulator = 0.0, tine = 0.0;
    float fmEnv = 1.0f;
    const float fmCoef = (float)std::exp(-1.0 / (std::max(t.fmDecay, 0.001f) * rate));
    float tineEnv = 1.0f;
    const float tineCoef = t.partialDecay[0] > 0.0f ? (float)std::exp(-t.partialDecay[0] / rate) : 0.0f;

    // Strike noise and breath.
    Svf breathFilter{};
    svfSet(breathFilter, (float)std::min(baseHz * 2.0, 0.4 * rate), rate, 1.5f);
    Svf clickFilter{};
    svfSet(clickFilter, 2500.0f, rate, 0.8f);
    float clickEnv = 1.0f;
    const float clickCoef = (float)std::exp(-1.0 / (0.004 * rate));

    float trem = 1.0f;
    for (int n = 0; n < maxLen; n++) {
        if (n % CONTROL_BLOCK == 0) {
            double tsec = (double)n / rate;
            double semis = glideDiff;
            glideDiff *= glideCoef;
            if (t.vibratoDepth > 0.0f && tsec > t.vibratoDelay) {
                double ramp = std::min(1.0, (tsec - t.vibratoDelay) / 0.25);
                semis += t.vibratoDepth * ramp * sineCycle(t.vibratoRate * tsec);
            }
            inc = baseHz * std::pow(2.0, semis / 12.0) / rate;
            if (filtered) {
                svfSet(filter, t.cutoff * keyMul + t.envCutoff * filterEnv, rate, t.q);
                filterEnv *= filterCoef;
            }
            trem = 1.0f - t.tremolo * 0.5f * (1.0f + sineCycle(t.tremoloRate * tsec));
        }
        float e = envNext(env);
        if (envDone(env)) {
            break;
        }
        float v = 0.0f;
        switch (t.kind) {
        case TONE_ANALOG: {
            for (int k = 0; k < voices; k++) {
                v += oscNext(osc[k], t.wave, inc * detuneMul[k], t.width);
            }
            v *= voiceNorm;
            if (t.sub > 0.0f) {
                v += t.sub * oscNext(subOsc, WAVE_SQUARE, inc * 0.5, 0.5f);
            }
            if (t.drive > 0.0f) {
                v = std::tanh(v * t.drive) * driveNorm;
            }
            if (filtered) {
                v = svfLow(filter, v);
            }
            break;
        }
        case TONE_FM: {
            float mod = sineCycle(modulator);
            float index = t.fmIndex * (0.4f + 0.6f * vel) * fmEnv + 0.08f;
            v = sineCycle(carrier + index * mod * (1.0 / (2.0 * SYNTH_PI)));
            carrier += inc;
            modulator += inc * t.fmRatio;
            fmEnv *= fmCoef;
            if (t.partialLevel[0] > 0.0f && baseHz * t.partialRatio[0] < 0.45 * rate) {
                v += t.partialLevel[0] * tineEnv * sineCycle(tine);
                tine += inc * t.partialRatio[0];
                tineEnv *= tineCoef;
            }
            break;
        }
        case TONE_PARTIALS:
        case TONE_ORGAN:
        case TONE_FLUTE: {
            for (int k = 0; k < count; k++) {
                v += level[k] * partAmp[k] * sineCycle(phase[k]);
                phase[k] += inc * ratio[k];
                partAmp[k] *= coef[k];
            }
            if (t.kind == TONE_FLUTE && t.breath > 0.0f) {
                v += t.breath * svfBand(breathFilter, noiseNext(s.noise));
            }
            break;
        }
        }
        if (t.click > 0.0f && clickEnv > 0.001f) {
            v += t.click * clickEnv * svfBand(clickFilter, noiseNext(s.noise));
            clickEnv *= clickCoef;
        }
        // Keep the phases small so that long notes lose no precision.
        if ((n & 1023) == 1023) {
            for (int k = 0; k < count; k++) {
                phase[k] -= std::floor(phase[k]);
            }
            carrier -= std::floor(carrier);
            modulator -= std::floor(modulator);
            tine -= std::floor(tine);
        }
        addAt(dst, length, start, n, v * e * amp * trem);
    }
}

void songNote(Song& s, int part, const Tone& t, double step, double steps, double midi, float vel) {
    if (part < 0 || part >= PART_COUNT) {
        return;
    }
    int start = startSample(s, step);
    int gate = std::max(1, (int)std::lround(steps * s.stepSamples * t.legato));
    double from = t.glide > 0.0f ? s.lastMidi[part] : -1.0;
    s.lastMidi[part] = midi;
    renderTone(s, s.part[part], t, start, gate, midi, from, vel);
}

void songDrum(Song& s, Drum d, double step, float vel, float tune) {
    const int rate = s.rate;
    const int length = s.length;
    const int start = startSample(s, step);
    Wave& dst = s.part[PART_DRUMS];
    Svf f1{}, f2{};
    double ph[6] = {0, 0, 0, 0, 0, 0};
    float lenSec = 0.3f;
    switch (d) {
    case DRUM_KICK: lenSec = 0.4f; break;
    case DRUM_SNARE: lenSec = 0.3f; svfSet(f1, 1200.0f, rate, 0.6f); break;
    case DRUM_HAT: lenSec = 0.08f; svfSet(f1, 3600.0f, rate, 0.7f); break;
    case DRUM_OPEN_HAT: lenSec = 0.45f; svfSet(f1, 3400.0f, rate, 0.7f); break;
    case DRUM_RIDE: lenSec = 1.2f; svfSet(f1, 3000.0f, rate, 0.7f); break;
    case DRUM_CRASH: lenSec = 1.8f; svfSet(f1, 2200.0f, rate, 0.7f); break;
    case DRUM_TOM: lenSec = 0.6f; svfSet(f1, 600.0f, rate, 0.7f); break;
    case DRUM_SHAKER: lenSec = 0.1f; svfSet(f1, 3800.0f, rate, 1.2f); break;
    case DRUM_CLAP: lenSec = 0.35f; svfSet(f1, 1300.0f, rate, 0.9f); break;
    case DRUM_RIM: lenSec = 0.06f; svfSet(f1, 2200.0f, rate, 1.0f); break;
    case DRUM_BRUSH: lenSec = 0.3f; svfSet(f1, 2600.0f, rate, 0.6f); break;
    case DRUM_TAMBOURINE: lenSec = 0.3f; svfSet(f1, 4000.0f, rate, 0.8f); break;
    case DRUM_CONGA: lenSec = 0.4f; svfSet(f1, 1600.0f, rate, 1.0f); break;
    case DRUM_TIMPANI: lenSec = 1.6f; svfSet(f1, 300.0f, rate, 0.7f); break;
    case DRUM_ZAP: lenSec = 0.25f; break;
    default: return;
    }
    svfSet(f2, d == DRUM_RIDE || d == DRUM_CRASH ? 3500.0f : 1500.0f, rate, 0.7f);
    const int len = std::min(length, (int)(lenSec * rate));
    for (int n = 0; n < len; n++) {
        const float t = (float)n / rate;
        const float nz = noiseNext(s.noise);
        float v = 0.0f;
        switch (d) {
        case DRUM_KICK: {
            double f = tune * (48.0 + 120.0 * std::exp(-t / 0.03));
            ph[0] += f / rate;
            v = std::tanh(1.6f * sineCycle(ph[0]) * std::exp(-t / 0.17f)) +
                0.3f * svfLow(f2, nz) * std::exp(-t / 0.003f);
            break;
        }
        case DRUM_SNARE: {
            ph[0] += 185.0 * tune / rate;
            ph[1] += 330.0 * tune / rate;
            float tone = sineCycle(ph[0]) * std::exp(-t / 0.05f) + 0.5f * sineCycle(ph[1]) * std::exp(-t / 0.03f);
            v = 0.55f * tone + 0.9f * svfHigh(f1, nz) * std::exp(-t / 0.075f);
            break;
        }
        case DRUM_HAT:
        case DRUM_OPEN_HAT: {
            static const double metal[4] = {587.0, 845.0, 1097.0, 1486.0};
            float m = 0.0f;
            for (int k = 0; k < 4; k++) {
                ph[k] += metal[k] * 2.0 * tune / rate;
                m += ph[k] - std::floor(ph[k]) < 0.5 ? 0.25f : -0.25f;
            }
            float decay = d == DRUM_HAT ? 0.018f : 0.13f;
            v = svfHigh(f1, 0.8f * nz + 0.35f * m) * std::exp(-t / decay);
            break;
        }
        case DRUM_RIDE:
        case DRUM_CRASH: {
            // Six square waves at unrelated pitches: their harmonics (and the folded ones) make the
            // dense, unpitched shimmer of a cymbal rather than a chord of tones.
            static const double metal[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
            float m = 0.0f;
            const double spread = d == DRUM_RIDE ? 1.6 : 2.1;
            for (int k = 0; k < 6; k++) {
                ph[k] += metal[k] * spread * tune / rate;
                m += ph[k] - std::floor(ph[k]) < 0.5 ? 1.0f / 6.0f : -1.0f / 6.0f;
            }
            if (d == DRUM_RIDE) {
                v = 0.55f * svfHigh(f1, m) * std::exp(-t / 0.3f) + 0.35f * svfHigh(f2, nz) * std::exp(-t / 0.15f);
            } else {
                v = (0.5f * svfHigh(f1, m) + 0.8f * svfHigh(f2, nz)) * std::exp(-t / 0.5f) *
                    std::min(1.0f, t / 0.002f);
            }
            break;
        }
        case DRUM_TOM: {
            double f = tune * 110.0 * (1.0 + 0.45 * std::exp(-t / 0.06));
            ph[0] += f / rate;
            v = sineCycle(ph[0]) * std::exp(-t / 0.2f) + 0.25f * svfLow(f1, nz) * std::exp(-t / 0.02f);
            break;
        }
        case DRUM_SHAKER: {
            float envelope = std::min(1.0f, t / 0.012f) * std::exp(-t / 0.03f);
            v = svfBand(f1, nz) * envelope * 1.6f;
            break;
        }
        case DRUM_CLAP: {
            float envelope = 0.0f;
            for (int k = 0; k < 3; k++) {
                float tk = t - 0.011f * k;
                if (tk >= 0.0f) {
                    envelope = std::max(envelope, std::exp(-tk / 0.005f));
                }
            }
            if (t > 0.022f) {
                envelope = std::max(envelope, 0.6f * std::exp(-(t - 0.022f) / 0.07f));
            }
            v = 1.6f * svfBand(f1, nz) * envelope;
            break;
        }
        case DRUM_RIM: {
            ph[0] += 1710.0 * tune / rate;
            ph[1] += 830.0 * tune / rate;
            v = sineCycle(ph[0]) * std::exp(-t / 0.007f) + 0.7f * sineCycle(ph[1]) * std::exp(-t / 0.012f) +
                0.4f * svfBand(f1, nz) * std::exp(-t / 0.003f);
            break;
        }
        case DRUM_BRUSH: {
            float envelope = std::min(1.0f, t / 0.025f) * std::exp(-t / 0.09f);
            v = 1.2f * svfBand(f1, nz) * envelope;
            break;
        }
        case DRUM_TAMBOURINE: {
            float envelope = 0.0f;
            for (int k = 0; k < 3; k++) {
                float tk = t - 0.018f * k;
                if (tk >= 0.0f) {
                    envelope += std::exp(-tk / 0.03f) * (1.0f - 0.25f * k);
                }
            }
            ph[0] += 3130.0 / rate;
            ph[1] += 4470.0 / rate;
            float jingle = 0.3f * (sineCycle(ph[0]) + sineCycle(ph[1]));
            v = (svfHigh(f1, nz) + jingle) * envelope * 0.8f;
            break;
        }
        case DRUM_CONGA: {
            double f = tune * 196.0 * (1.0 + 0.25 * std::exp(-t / 0.012));
            ph[0] += f / rate;
            v = sineCycle(ph[0]) * std::exp(-t / 0.11f) + 0.45f * svfBand(f1, nz) * std::exp(-t / 0.006f);
            break;
        }
        case DRUM_TIMPANI: {
            const double f = 65.0 * tune;
            ph[0] += f / rate;
            ph[1] += f * 1.504 / rate;
            ph[2] += f * 1.742 / rate;
            v = sineCycle(ph[0]) * std::exp(-t / 0.6f) + 0.5f * sineCycle(ph[1]) * std::exp(-t / 0.4f) +
                0.3f * sineCycle(ph[2]) * std::exp(-t / 0.3f) + 0.4f * svfLow(f1, nz) * std::exp(-t / 0.03f);
            v *= std::min(1.0f, t / 0.003f);
            break;
        }
        case DRUM_ZAP: {
            double f = tune * (140.0 + 2200.0 * std::exp(-t / 0.035));
            ph[0] += f / rate;
            v = sineCycle(ph[0]) * std::exp(-t / 0.07f);
            break;
        }
        default:
            break;
        }
        addAt(dst, length, start, n, v * vel);
    }
}

// Reads a note name ("c", "f#", "bb") at *p; returns its pitch class, or -1.
static int readPitchClass(const char*& p) {
    static const int classes[7] = {9, 11, 0, 2, 4, 5, 7};  // a b c d e f g
    char c = (char)std::tolower((unsigned char)*p);
    if (c < 'a' || c > 'g') {
        return -1;
    }
    int pc = classes[c - 'a'];
    p++;
    if (*p == '#') {
        pc++;
        p++;
    } else if (*p == 'b') {
        // No octave or chord quality starts with 'b', so a 'b' after the letter is always a flat.
        pc--;
        p++;
    }
    return (pc + 12) % 12;
}

int songLine(Song& s, int part, const Tone& t, double step, const char* text, float vel, int transpose) {
    const char* p = text;
    double at = step;
    double len = 1.0;
    while (*p != '\0') {
        while (*p == ' ' || *p == '|' || *p == '\n') {
            p++;
        }
        if (*p == '\0') {
            break;
        }
        bool accent = false;
        if (*p == '!') {
            accent = true;
            p++;
        }
        bool rest = false;
        int midi = 0;
        if (*p == 'r') {
            rest = true;
            p++;
        } else {
            int pc = readPitchClass(p);
            if (pc < 0 || !std::isdigit((unsigned char)*p)) {
                if (s.problem.empty()) {
                    s.problem = std::string("bad note in line: ") + text;
                }
                return (int)(at - step);
            }
            int octave = *p - '0';
            p++;
            midi = (octave + 1) * 12 + pc + transpose;
        }
        if (*p == '.') {
            p++;
            len = std::strtod(p, const_cast<char**>(&p));
        }
        if (*p != '\0' && *p != ' ' && *p != '|' && *p != '\n') {
            if (s.problem.empty()) {
                s.problem = std::string("bad token in line: ") + text;
            }
            return (int)(at - step);
        }
        if (!rest) {
            float v = vel * (1.0f + 0.08f * noiseNext(s.noise));
            if (accent) {
                v *= 1.25f;
            }
            songNote(s, part, t, at, len, midi, std::min(v, 1.0f));
        }
        at += len;
    }
    return (int)std::lround(at - step);
}

bool parseChord(const char* name, Chord& c) {
    const char* p = name;
    if (*p < 'A' || *p > 'G') {
        return false;
    }
    int pc = readPitchClass(p);
    if (pc < 0) {
        return false;
    }
    struct Quality {
        const char* name;
        int count;
        int tones[6];
    };
    static const Quality qualities[] = {
        {"", 3, {0, 4, 7}},           {"m", 3, {0, 3, 7}},           {"7", 4, {0, 4, 7, 10}},
        {"maj7", 4, {0, 4, 7, 11}},   {"m7", 4, {0, 3, 7, 10}},      {"m7b5", 4, {0, 3, 6, 10}},
        {"dim", 3, {0, 3, 6}},        {"dim7", 4, {0, 3, 6, 9}},     {"6", 4, {0, 4, 7, 9}},
        {"m6", 4, {0, 3, 7, 9}},      {"sus4", 3, {0, 5, 7}},        {"9", 5, {0, 4, 7, 10, 14}},
        {"m9", 5, {0, 3, 7, 10, 14}}, {"maj9", 5, {0, 4, 7, 11, 14}}, {"5", 2, {0, 7}},
        {"aug", 3, {0, 4, 8}},        {"add9", 4, {0, 4, 7, 14}},    {"7sus4", 4, {0, 5, 7, 10}},
    };
    for (const Quality& q : qualities) {
        if (std::strcmp(p, q.name) == 0) {
            c.root = pc;
            c.count = q.count;
            for (int i = 0; i < 6; i++) {
                c.tones[i] = i < q.count ? q.tones[i] : 0;
            }
            return true;
        }
    }
    return false;
}

std::vector<ChordSpan> parseChords(const Song& s, const char* text) {
    std::vector<ChordSpan> spans;
    int step = 0;
    const char* p = text;
    while (*p != '\0') {
        while (*p == ' ' || *p == '|' || *p == '\n') {
            p++;
        }
        if (*p == '\0') {
            break;
        }
        const char* end = p;
        while (*end != '\0' && *end != ' ' && *end != '|' && *end != '\n') {
            end++;
        }
        std::string token(p, end);
        int steps = s.stepsPerBar;
        size_t dot = token.find('.');
        if (dot != std::string::npos) {
            steps = std::atoi(token.c_str() + dot + 1);
            token.resize(dot);
        }
        ChordSpan span;
        span.step = step;
        span.steps = steps;
        if (!parseChord(token.c_str(), span.chord) || steps <= 0) {
            // The caller sees an empty progression and reports it.
            return std::vector<ChordSpan>();
        }
        spans.push_back(span);
        step += steps;
        p = end;
    }
    return spans;
}

const Chord& chordAt(const std::vector<ChordSpan>& spans, int step) {
    int total = spans.back().step + spans.back().steps;
    step %= total;
    if (step < 0) {
        step += total;
    }
    for (const ChordSpan& sp : spans) {
        if (step >= sp.step && step < sp.step + sp.steps) {
            return sp.chord;
        }
    }
    return spans.back().chord;
}

int voiceChord(const Chord& c, int low, int high, double& centre, int* out) {
    int best[6];
    int bestCount = 0;
    double bestCost = 1e9;
    const double middle = (low + high) * 0.5;
    for (int bottom = low; bottom <= high; bottom++) {
        // The voicing starts on whichever chord tone sits at `bottom`, then stacks the rest upwards.
        int first = -1;
        for (int i = 0; i < c.count; i++) {
            if ((c.root + c.tones[i]) % 12 == ((bottom % 12) + 12) % 12) {
                first = i;
                break;
            }
        }
        if (first < 0) {
            continue;
        }
        int notes[6];
        notes[0] = bottom;
        bool fits = true;
        for (int k = 1; k < c.count; k++) {
            int pc = (c.root + c.tones[(first + k) % c.count]) % 12;
            int n = notes[k - 1] + 1;
            while (((n % 12) + 12) % 12 != pc) {
                n++;
            }
            notes[k] = n;
            if (n > high) {
                fits = false;
            }
        }
        if (!fits) {
            continue;
        }
        double mean = 0.0;
        for (int k = 0; k < c.count; k++) {
            mean += notes[k];
        }
        mean /= c.count;
        double cost = std::fabs(mean - centre) + 0.3 * std::fabs(mean - middle);
        if (cost < bestCost) {
            bestCost = cost;
            bestCount = c.count;
            std::copy(notes, notes + c.count, best);
        }
    }
    if (bestCount == 0) {
        return 0;
    }
    double mean = 0.0;
    for (int k = 0; k < bestCount; k++) {
        out[k] = best[k];
        mean += best[k];
    }
    centre = mean / bestCount;
    return bestCount;
}

int chordTone(const Chord& c, int degree, int near) {
    int pc = (c.root + c.tones[((degree % c.count) + c.count) % c.count]) % 12;
    int bestNote = near;
    int bestDist = 100;
    for (int n = near - 6; n <= near + 6; n++) {
        if (((n % 12) + 12) % 12 == pc && std::abs(n - near) < bestDist) {
            bestDist = std::abs(n - near);
            bestNote = n;
        }
    }
    return bestNote;
}

// RMS over the stretches where the part plays: a part that rests half the time is not pushed up for it.
static float activeRms(const Wave& w) {
    const int block = 2048;
    std::vector<double> powers;
    double maxPower = 0.0;
    for (size_t i = 0; i < w.size(); i += block) {
        size_t end = std::min(w.size(), i + block);
        double p = 0.0;
        for (size_t j = i; j < end; j++) {
            p += (double)w[j] * w[j];
        }
        p /= (double)(end - i);
        powers.push_back(p);
        maxPower = std::max(maxPower, p);
    }
    double sum = 0.0;
    int counted = 0;
    for (double p : powers) {
        if (p > maxPower * 0.01) {
            sum += p;
            counted++;
        }
    }
    return counted > 0 ? (float)std::sqrt(sum / counted) : 0.0f;
}

bool songFinish(Song& s, std::vector<int16_t>& pcm, std::string& error) {
    static const char* partNames[PART_COUNT] = {"melody", "harmony", "bass", "drums", "extra"};
    if (!s.problem.empty()) {
        error = s.problem;
        return false;
    }
    const int length = s.length;
    Wave mix(length, 0.0f), send(length, 0.0f);
    for (int p = 0; p < PART_COUNT; p++) {
        float rms = activeRms(s.part[p]);
        if (rms < 1e-6f) {
            if (p != PART_EXTRA) {
                error = std::string("the ") + partNames[p] + " is silent";
                return false;
            }
            continue;
        }
        float gain = (float)std::pow(10.0, s.level[p] / 20.0) * 0.1f / rms;
        Wave& w = s.part[p];
        for (float& v : w) {
            v *= gain;
        }
        if (s.echoSteps[p] > 0) {
            applyEcho(w, s.echoSteps[p] * s.stepSamples, s.echoFeedback[p], s.echoMix[p], true);
        }
        for (int i = 0; i < length; i++) {
            mix[i] += w[i];
            send[i] += w[i] * s.send[p];
        }
    }
    addReverb(send, mix, s.rate, s.room, s.damp, 1.0f, true);
    double mean = 0.0;
    for (float v : mix) {
        mean += v;
    }
    mean /= length;
    for (float& v : mix) {
        v -= (float)mean;
    }
    // Master: bring the loop to -16 dBFS RMS; a soft knee above -6 dBFS rounds the few peaks off well
    // below full scale. Rounding lowers the RMS a little, so the two steps alternate a few times.
    const float target = (float)std::pow(10.0, -16.0 / 20.0);
    const float knee = 0.5f, ceiling = 0.93f;
    for (int round = 0; round < 5; round++) {
        float rms = rmsOf(mix);
        if (rms <= 0.0f) {
            error = "the mix is silent";
            return false;
        }
        float g = target / rms;
        for (float& v : mix) {
            float a = std::fabs(v * g);
            if (a > knee) {
                a = knee + (ceiling - knee) * std::tanh((a - knee) / (ceiling - knee));
            }
            v = v < 0.0f ? -a : a;
        }
    }
    pcm = toPcm16(mix);
    // The game's loader keeps one sample of -257 after the data and plays it before looping back: turn
    // the loop (by at most 30 ms) so that both ends sit next to that value and the seam stays smooth.
    const int junk = -257;
    const int turnLimit = std::min(length - 1, s.rate * 3 / 100);
    int bestTurn = 0;
    int bestGap = 1 << 30;
    for (int k = 0; k <= turnLimit; k++) {
        int last = pcm[(length - k - 1 + length) % length];
        int first = pcm[(length - k) % length];
        int gap = std::max(std::abs(last - junk), std::abs(first - junk));
        if (gap < bestGap) {
            bestGap = gap;
            bestTurn = k;
        }
    }
    std::rotate(pcm.begin(), pcm.begin() + (length - bestTurn) % length, pcm.end());
    return true;
}
