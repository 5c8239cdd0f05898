// The six music tracks of the playlist, composed for the generator's sequencer: instruments, chords, lines, beats.
#include "gen_music_tracks.h"

#include <algorithm>
#include <cstdio>

#include "gen_music.h"

// ---- Instruments shared by the tracks.

static Tone vibraphone() {
    Tone t;
    t.kind = TONE_PARTIALS;
    t.partialCount = 3;
    const float ratio[3] = {1.0f, 4.0f, 10.0f}, level[3] = {1.0f, 0.22f, 0.05f}, decay[3] = {0.9f, 5.0f, 18.0f};
    for (int k = 0; k < 3; k++) {
        t.partialRatio[k] = ratio[k];
        t.partialLevel[k] = level[k];
        t.partialDecay[k] = decay[k];
    }
    t.attack = 0.002f;
    t.decay = 0.0f;
    t.sustain = 1.0f;
    t.release = 0.25f;
    t.legato = 1.0f;
    t.tremolo = 0.3f;
    t.tremoloRate = 5.2f;
    t.click = 0.06f;
    return t;
}

static Tone electricPiano() {
    Tone t;
    t.kind = TONE_FM;
    t.fmRatio = 1.0f;
    t.fmIndex = 2.0f;
    t.fmDecay = 0.35f;
    t.partialRatio[0] = 7.0f;   // the metallic tine at the strike
    t.partialLevel[0] = 0.12f;
    t.partialDecay[0] = 40.0f;
    t.attack = 0.002f;
    t.decay = 1.4f;
    t.sustain = 0.15f;
    t.release = 0.12f;
    t.tremolo = 0.1f;
    t.tremoloRate = 4.0f;
    return t;
}

static Tone pluckedBass(float sustainRate) {
    Tone t;
    t.kind = TONE_PARTIALS;
    t.harmonics = 6;
    t.rolloff = 1.3f;
    t.baseDecay = sustainRate;
    t.harmonicDecay = 1.4f;
    t.click = 0.12f;
    t.attack = 0.004f;
    t.decay = 0.0f;
    t.sustain = 1.0f;
    t.release = 0.06f;
    t.legato = 0.92f;
    return t;
}

static Tone harpsichord() {
    Tone t;
    t.kind = TONE_PARTIALS;
    t.harmonics = 16;
    t.rolloff = 1.0f;
    t.baseDecay = 1.6f;
    t.harmonicDecay = 1.0f;
    t.click = 0.08f;
    t.attack = 0.001f;
    t.decay = 0.0f;
    t.sustain = 1.0f;
    t.release = 0.05f;
    t.legato = 1.6f;
    return t;
}

static Tone strings(float cutoff) {
    Tone t;
    t.wave = WAVE_SAW;
    t.voices = 3;
    t.detune = 16.0f;
    t.cutoff = cutoff;
    t.q = 0.7f;
    t.attack = 0.35f;
    t.decay = 0.0f;
    t.sustain = 1.0f;
    t.release = 0.45f;
    t.legato = 1.0f;
    t.vibratoDepth = 0.06f;
    t.vibratoRate = 5.5f;
    t.vibratoDelay = 0.3f;
    return t;
}

static Tone flute() {
    Tone t;
    t.kind = TONE_FLUTE;
    t.breath = 0.12f;
    t.attack = 0.05f;
    t.decay = 0.4f;
    t.sustain = 0.85f;
    t.release = 0.1f;
    t.legato = 0.95f;
    t.vibratoDepth = 0.13f;
    t.vibratoRate = 5.2f;
    t.vibratoDelay = 0.15f;
    return t;
}

static Tone marimba() {
    Tone t;
    t.kind = TONE_PARTIALS;
    t.partialCount = 3;
    const float ratio[3] = {1.0f, 3.93f, 9.2f}, level[3] = {1.0f, 0.3f, 0.08f}, decay[3] = {5.0f, 16.0f, 40.0f};
    for (int k = 0; k < 3; k++) {
        t.partialRatio[k] = ratio[k];
        t.partialLevel[k] = level[k];
        t.partialDecay[k] = decay[k];
    }
    t.click = 0.12f;
    t.attack = 0.001f;
    t.decay = 0.0f;
    t.sustain = 1.0f;
    t.release = 0.1f;
    t.legato = 1.5f;
    return t;
}

static Tone theremin() {
    Tone t;
    t.wave = WAVE_SINE;
    t.drive = 1.3f;  // a little warmth: odd harmonics from the saturation
    t.attack = 0.08f;
    t.decay = 0.0f;
    t.sustain = 1.0f;
    t.release = 0.25f;
    t.legato = 1.02f;
    t.glide = 0.05f;
    t.vibratoDepth = 0.3f;
    t.vibratoRate = 5.6f;
    t.vibratoDelay = 0.12f;
    return t;
}

static Tone organ(bool lead) {
    Tone t;
    t.kind = TONE_ORGAN;
    if (lead) {
        const float bars[9] = {0.0f, 1.0f, 0.3f, 0.8f, 0.5f, 0.4f, 0.0f, 0.12f, 0.08f};
        std::copy(bars, bars + 9, t.drawbar);
        t.decay = 0.25f;
        t.sustain = 0.7f;
        t.vibratoRate = 6.8f;
        t.vibratoDepth = 0.07f;
    } else {
        const float bars[9] = {0.6f, 0.8f, 0.55f, 0.35f, 0.12f, 0.1f, 0.0f, 0.0f, 0.05f};
        std::copy(bars, bars + 9, t.drawbar);
        t.decay = 0.0f;
        t.sustain = 1.0f;
        t.vibratoRate = 5.9f;
        t.vibratoDepth = 0.05f;
    }
    t.vibratoDelay = 0.0f;
    t.tremolo = 0.14f;
    t.tremoloRate = t.vibratoRate;
    t.attack = 0.008f;
    t.release = 0.06f;
    t.click = 0.05f;
    t.legato = 0.97f;
    return t;
}

static Tone guitar(bool muted) {
    Tone t;
    t.wave = WAVE_SAW;
    t.voices = 2;
    t.detune = 10.0f;
    t.drive = 4.0f;
    t.cutoff = muted ? 650.0f : 1700.0f;
    t.envCutoff = muted ? 500.0f : 900.0f;
    t.filterDecay = 0.08f;
    t.q = 0.9f;
    t.attack = 0.003f;
    t.decay = muted ? 0.07f : 0.6f;
    t.sustain = muted ? 0.15f : 0.7f;
    t.release = 0.05f;
    t.legato = muted ? 0.8f : 0.95f;
    return t;
}

static Tone rockBass() {
    Tone t;
    t.wave = WAVE_SAW;
    t.sub = 0.3f;
    t.cutoff = 450.0f;
    t.envCutoff = 900.0f;
    t.filterDecay = 0.1f;
    t.drive = 1.4f;
    t.attack = 0.003f;
    t.decay = 0.25f;
    t.sustain = 0.7f;
    t.release = 0.04f;
    t.legato = 0.85f;
    return t;
}

static Tone sawLead() {
    Tone t;
    t.wave = WAVE_SAW;
    t.voices = 2;
    t.detune = 8.0f;
    t.drive = 2.0f;
    t.cutoff = 2400.0f;
    t.envCutoff = 1200.0f;
    t.filterDecay = 0.15f;
    t.attack = 0.01f;
    t.decay = 0.4f;
    t.sustain = 0.85f;
    t.release = 0.1f;
    t.glide = 0.02f;
    t.vibratoDepth = 0.25f;
    t.vibratoRate = 5.6f;
    t.vibratoDelay = 0.22f;
    return t;
}

static Tone squareLead() {
    Tone t;
    t.wave = WAVE_SQUARE;
    t.width = 0.5f;
    t.cutoff = 2600.0f;
    t.attack = 0.008f;
    t.decay = 0.3f;
    t.sustain = 0.8f;
    t.release = 0.08f;
    t.glide = 0.025f;
    t.vibratoDepth = 0.18f;
    t.vibratoRate = 6.0f;
    t.vibratoDelay = 0.18f;
    t.legato = 0.92f;
    return t;
}

static Tone bell() {
    Tone t;
    t.kind = TONE_FM;
    t.fmRatio = 1.41f;  // an inharmonic ratio gives the glassy bell; a low one keeps it below the Nyquist limit
    t.fmIndex = 1.5f;
    t.fmDecay = 0.5f;
    t.attack = 0.002f;
    t.decay = 0.9f;
    t.sustain = 0.0f;
    t.release = 0.3f;
    t.legato = 1.0f;
    return t;
}

static Tone arpeggiator() {
    Tone t;
    t.wave = WAVE_SQUARE;
    t.width = 0.3f;
    t.cutoff = 700.0f;
    t.envCutoff = 2600.0f;
    t.filterDecay = 0.07f;
    t.q = 2.0f;
    t.attack = 0.002f;
    t.decay = 0.12f;
    t.sustain = 0.3f;
    t.release = 0.05f;
    t.legato = 0.8f;
    return t;
}

static Tone superPad() {
    Tone t = strings(1500.0f);
    t.voices = 5;
    t.detune = 28.0f;
    t.attack = 0.25f;
    t.release = 0.6f;
    t.vibratoDepth = 0.0f;
    t.tremolo = 0.15f;
    t.tremoloRate = 0.5f;
    return t;
}

static Tone synthBass() {
    Tone t = rockBass();
    t.drive = 0.0f;
    t.cutoff = 300.0f;
    t.envCutoff = 1300.0f;
    t.filterDecay = 0.09f;
    t.q = 1.6f;
    t.sub = 0.6f;
    t.legato = 0.7f;
    return t;
}

// ---- Helpers.

// Plays a written line that must cover exactly `bars` bars; a miscount is a composing fault.
static void line(Song& s, int part, const Tone& t, int bar, int bars, const char* text, float vel, int transpose = 0) {
    int covered = songLine(s, part, t, (double)bar * s.stepsPerBar, text, vel, transpose);
    if (covered != bars * s.stepsPerBar && s.problem.empty()) {
        char message[128];
        snprintf(message, sizeof(message), "the line at bar %d covers %d steps, not %d", bar, covered,
                 bars * s.stepsPerBar);
        s.problem = message;
    }
}

static std::vector<ChordSpan> chords(Song& s, const char* text) {
    std::vector<ChordSpan> spans = parseChords(s, text);
    int total = spans.empty() ? 0 : spans.back().step + spans.back().steps;
    if (total != s.bars * s.stepsPerBar && s.problem.empty()) {
        s.problem = std::string("the chords do not fill the piece: ") + text;
    }
    if (spans.empty()) {
        ChordSpan fallback{0, s.bars * s.stepsPerBar, {0, 3, {0, 4, 7, 0, 0, 0}}};
        spans.push_back(fallback);
    }
    return spans;
}

// Strikes the chord that sounds at `step`, voiced inside low..high.
static void strum(Song& s, int part, const Tone& t, const std::vector<ChordSpan>& spans, int step, double steps,
                  int low, int high, double& centre, float vel, double spread = 0.0) {
    int notes[6];
    int n = voiceChord(chordAt(spans, step), low, high, centre, notes);
    for (int k = 0; k < n; k++) {
        songNote(s, part, t, step + spread * k, steps, notes[k], vel * (0.9f + 0.1f * noiseUnit(s.noise)));
    }
}

// A walking bass: the root where a chord begins, a step towards the next root before it changes, chord
// tones in between.
static void walkingBass(Song& s, const Tone& t, const std::vector<ChordSpan>& spans, int beatSteps, int low,
                        int high, float vel) {
    int previous = (low + high) / 2;
    const int total = s.bars * s.stepsPerBar;
    for (int step = 0; step < total; step += beatSteps) {
        const Chord& now = chordAt(spans, step);
        const Chord& next = chordAt(spans, step + beatSteps);
        bool starts = &chordAt(spans, step - 1) != &now || step == 0;
        bool changes = &next != &now;
        int note;
        if (starts) {
            note = chordTone(now, 0, previous);
        } else if (changes) {
            int target = chordTone(next, 0, previous);
            note = target + ((noiseBits(s.noise) & 1) ? 1 : -1);
        } else {
            static const int degrees[4] = {1, 2, 2, 3};
            note = chordTone(now, degrees[noiseBits(s.noise) & 3], previous + ((noiseBits(s.noise) & 1) ? 3 : -3));
        }
        while (note < low) {
            note += 12;
        }
        while (note > high) {
            note -= 12;
        }
        float accent = starts ? 1.0f : 0.85f;
        songNote(s, PART_BASS, t, step, beatSteps, note, vel * accent);
        previous = note;
    }
}

static int rootNear(const Chord& c, int near) {
    return chordTone(c, 0, near);
}

// ---- Track 0: the title. Cool swing in F, 126 beats a minute on a triplet grid: vibraphone, electric
// piano, walking upright bass, ride and brushes.
static void composeCoolCat(Song& s) {
    songStart(s, 1750, 12, 24, 0xC001CA7);
    auto sp = chords(s,
                     "Fmaj7 Dm7 Gm7 C7 Fmaj7 Bb7 Am7.6 D7.6 Gm7.6 C7.6 | "
                     "Cm7 F7 Bbmaj7 Bbmaj7 Am7 D7 Gm7 C7 | "
                     "Fmaj7 Dm7 Gm7 C7 Fmaj7 Bb7 Gm7.6 C7.6 F6.6 C7.6");
    Tone vibes = vibraphone();
    line(s, PART_MELODY, vibes, 0, 8,
         "r.3 a4.2 c5.1 e5.3 d5.2 c5.1 | a4.6 f4.2 a4.1 c5.3 | bb4.2 a4.1 g4.2 f4.1 g4.3 d5.3 | "
         "e4.2 g4.1 bb4.2 d5.1 c5.6 | r.3 c5.2 d5.1 f5.2 e5.1 c5.3 | d5.3 c5.2 ab4.1 f4.6 | "
         "e5.2 c5.1 a4.3 f#4.2 a4.1 c5.3 | bb4.3 d5.3 c5.2 bb4.1 g4.3",
         0.8f);
    line(s, PART_MELODY, vibes, 8, 8,
         "g5.6 eb5.2 d5.1 c5.3 | eb5.3 d5.2 c5.1 a4.6 | r.3 d5.2 f5.1 a5.6 | g5.2 f5.1 d5.3 bb4.6 | "
         "c5.2 e5.1 g5.3 e5.3 c5.3 | f#5.6 e5.2 d5.1 c5.3 | bb4.3 d5.2 f5.1 a5.3 g5.3 | "
         "e5.2 d5.1 c5.2 bb4.1 g4.6",
         0.85f);
    line(s, PART_MELODY, vibes, 16, 8,
         "r.3 a4.2 c5.1 e5.3 d5.2 c5.1 | a4.6 f4.2 a4.1 d5.3 | f5.3 d5.2 bb4.1 g4.3 a4.2 bb4.1 | "
         "c5.2 e5.1 g5.2 bb5.1 a5.3 g5.3 | a5.6 f5.2 e5.1 c5.3 | d5.3 f5.2 ab5.1 g5.2 f5.1 d5.3 | "
         "bb4.2 d5.1 f5.3 e5.2 c5.1 bb4.3 | a4.6 r.6",
         0.8f);
    // Electric piano comping: one of a few swung figures per bar, the chord of the moment at each hit.
    Tone piano = electricPiano();
    static const int figures[4][4][2] = {
        {{0, 2}, {5, 4}, {-1, 0}, {-1, 0}},
        {{2, 1}, {8, 3}, {-1, 0}, {-1, 0}},
        {{3, 2}, {9, 2}, {11, 1}, {-1, 0}},
        {{0, 3}, {5, 1}, {6, 2}, {-1, 0}},
    };
    double centre = 61.0;
    for (int bar = 0; bar < s.bars; bar++) {
        int f = (int)(noiseBits(s.noise) % 4);
        for (int h = 0; h < 4 && figures[f][h][0] >= 0; h++) {
            int step = bar * 12 + figures[f][h][0];
            strum(s, PART_HARMONY, piano, sp, step, figures[f][h][1], 53, 68, centre, 0.7f, 0.04);
        }
    }
    walkingBass(s, pluckedBass(1.2f), sp, 3, 33, 52, 0.9f);
    // Swing ride, hi-hat foot on two and four, feathered kick, a brush comping now and then.
    for (int bar = 0; bar < s.bars; bar++) {
        int b = bar * 12;
        static const int ride[6] = {0, 3, 5, 6, 9, 11};
        static const float rideVel[6] = {0.7f, 0.85f, 0.5f, 0.7f, 0.85f, 0.5f};
        for (int k = 0; k < 6; k++) {
            songDrum(s, DRUM_RIDE, b + ride[k], rideVel[k]);
        }
        songDrum(s, DRUM_HAT, b + 3, 0.5f);
        songDrum(s, DRUM_HAT, b + 9, 0.5f);
        songDrum(s, DRUM_KICK, b, 0.45f);
        songDrum(s, DRUM_KICK, b + 6, 0.3f);
        if (bar % 8 == 7) {
            const int fill[5] = {6, 8, 9, 10, 11};
            for (int k = 0; k < 5; k++) {
                songDrum(s, DRUM_SNARE, b + fill[k], 0.4f + 0.1f * k);
            }
        } else {
            for (int st = 2; st < 12; st += 3) {
                if ((noiseBits(s.noise) & 3) == 0) {
                    songDrum(s, DRUM_BRUSH, b + st, 0.5f);
                }
            }
        }
        if (bar % 8 == 0) {
            songDrum(s, DRUM_CRASH, b, 0.35f);
        }
    }
    s.level[PART_HARMONY] = -5.0f;
    s.level[PART_BASS] = -2.5f;
    s.level[PART_DRUMS] = -5.5f;
    s.send[PART_MELODY] = 0.3f;
    s.send[PART_HARMONY] = 0.2f;
    s.send[PART_BASS] = 0.05f;
    s.send[PART_DRUMS] = 0.12f;
}

// ---- Track 1: an elegant waltz in A minor, 150 beats a minute: flute over harpsichord, cello, strings
// later on, tambourine and timpani.
static void composeClaudio(Song& s) {
    songStart(s, 2205, 6, 36, 0xC1A0D10);
    auto sp = chords(s,
                     "Am Dm G C F Dm E E7 | Am Dm G C F Bdim E7 Am | C G Am Em F C Dm E7 | "
                     "Am Dm G C F Dm E7 Am | F Dm E E7");
    Tone fl = flute();
    line(s, PART_MELODY, fl, 0, 8,
         "e5.4 a5.2 | f5.3 e5.1 d5.2 | d5.4 b4.2 | c5.6 | a4.2 c5.2 f5.2 | f5.3 e5.1 d5.2 | b4.4 e5.2 | g#4.6", 0.8f);
    line(s, PART_MELODY, fl, 8, 8,
         "e5.4 a5.2 | f5.3 e5.1 d5.2 | g5.4 f5.2 | e5.6 | c6.2 a5.2 f5.2 | d5.3 e5.1 f5.2 | e5.2 d5.2 b4.2 | a4.6",
         0.8f);
    line(s, PART_MELODY, fl, 16, 8,
         "g5.4 e5.2 | d5.4 b4.2 | c5.3 d5.1 e5.2 | b4.6 | a4.2 c5.2 f5.2 | e5.2 g5.2 c6.2 | a5.3 g5.1 f5.2 | "
         "e5.2 d5.2 g#5.2",
         0.85f);
    line(s, PART_MELODY, fl, 24, 8,
         "a5.4 e5.2 | f5.2 a5.2 d6.2 | b5.3 a5.1 g5.2 | e5.6 | f5.2 e5.2 d5.2 | d5.3 c5.1 b4.2 | b4.4 g#4.2 | a4.6",
         0.85f);
    line(s, PART_MELODY, fl, 32, 4, "r.2 c5.2 a4.2 | d5.4 f5.2 | e5.6 | d5.2 b4.2 g#4.2", 0.75f);
    // Harpsichord: an arpeggio of eighths through the chord each bar.
    Tone harp = harpsichord();
    double centre = 62.0;
    for (int bar = 0; bar < s.bars; bar++) {
        int notes[6];
        int n = voiceChord(chordAt(sp, bar * 6), 55, 71, centre, notes);
        if (n < 3) {
            continue;
        }
        const int order[6] = {0, 2, 1, 3, 2, 1};
        for (int k = 0; k < 6; k++) {
            int note = order[k] == 3 ? notes[0] + 12 : notes[order[k]];
            songNote(s, PART_HARMONY, harp, bar * 6 + k, 1.0, note, k == 0 ? 0.8f : 0.6f);
        }
    }
    // Cello on the downbeat of every bar, a fifth on the third beat.
    Tone cello = strings(520.0f);
    cello.voices = 1;
    cello.attack = 0.06f;
    cello.release = 0.15f;
    cello.legato = 0.95f;
    for (int bar = 0; bar < s.bars; bar++) {
        const Chord& c = chordAt(sp, bar * 6);
        int root = rootNear(c, 45);
        songNote(s, PART_BASS, cello, bar * 6, 4.0, root, 0.9f);
        songNote(s, PART_BASS, cello, bar * 6 + 4, 2.0, chordTone(c, 2, root + 5), 0.7f);
    }
    // Strings join for the second half.
    Tone pad = strings(1300.0f);
    double padCentre = 64.0;
    for (int bar = 16; bar < s.bars; bar++) {
        strum(s, PART_EXTRA, pad, sp, bar * 6, 6.0, 57, 72, padCentre, 0.6f);
    }
    for (int bar = 0; bar < s.bars; bar++) {
        int b = bar * 6;
        songDrum(s, DRUM_KICK, b, 0.4f);
        songDrum(s, DRUM_TAMBOURINE, b + 2, 0.35f);
        songDrum(s, DRUM_TAMBOURINE, b + 4, 0.3f);
        for (int k = 1; k < 6; k += 2) {
            songDrum(s, DRUM_SHAKER, b + k, 0.2f);
        }
        if (bar % 8 == 0 || bar >= 32) {
            int root = rootNear(chordAt(sp, b), 36);
            songDrum(s, DRUM_TIMPANI, b, 0.7f, (float)(midiToHz(root) / 65.0));
        }
    }
    s.level[PART_HARMONY] = -5.0f;
    s.level[PART_BASS] = -4.0f;
    s.level[PART_DRUMS] = -9.0f;
    s.level[PART_EXTRA] = -9.0f;
    s.send[PART_MELODY] = 0.35f;
    s.send[PART_HARMONY] = 0.25f;
    s.send[PART_EXTRA] = 0.35f;
    s.room = 0.84f;
}

// ---- Track 2: percussive mystery in D minor, 92 beats a minute: marimba ostinato, theremin, a dark pad,
// sub bass, congas, toms and shaker.
static void composePercMystery(Song& s) {
    songStart(s, 1800, 16, 18, 0x9E7C5A);
    auto sp = chords(s, "Dm Dm | Dm Eb Dm C Dm Eb Bb A7 | Gm Eb Dm Dm Gm Eb A7 A7");
    Tone th = theremin();
    line(s, PART_MELODY, th, 2, 8,
         "a4.6 d5.4 f5.6 | g5.8 bb5.4 g5.4 | a5.12 f5.4 | e5.8 g5.4 e5.4 | d5.6 f5.4 a5.6 | "
         "bb5.8 g5.4 eb5.4 | f5.8 d5.8 | c#5.8 e5.4 a4.4",
         0.8f);
    line(s, PART_MELODY, th, 10, 8,
         "d6.12 bb5.4 | g5.8 eb6.8 | d6.6 c6.2 a5.8 | f5.16 | g5.4 a5.4 bb5.4 d6.4 | eb6.8 d6.4 bb5.4 | "
         "c#6.8 a5.8 | e5.8 g5.4 c#5.4",
         0.8f);
    // Marimba ostinato: chord degree and octave at fixed steps of the bar.
    Tone mar = marimba();
    static const int pattern[10][3] = {{0, 0, 0}, {2, 2, 0}, {3, 0, 1}, {5, 1, 1}, {6, 2, 0},
                                       {8, 0, 0}, {10, 2, 0}, {11, 1, 1}, {13, 2, 1}, {14, 0, 1}};
    for (int bar = 0; bar < s.bars; bar++) {
        const Chord& c = chordAt(sp, bar * 16);
        int root = rootNear(c, 62);
        for (int k = 0; k < 10; k++) {
            int note = chordTone(c, pattern[k][1], root + 3) + 12 * pattern[k][2];
            if (note < root) {
                note += 12;
            }
            songNote(s, PART_HARMONY, mar, bar * 16 + pattern[k][0], 2.0, note, k == 0 ? 0.85f : 0.6f);
        }
    }
    // A dark pad under the tune.
    Tone pad = strings(850.0f);
    pad.voices = 4;
    pad.detune = 22.0f;
    pad.q = 1.1f;
    pad.attack = 0.8f;
    pad.release = 0.9f;
    pad.tremolo = 0.2f;
    pad.tremoloRate = 0.4f;
    double centre = 58.0;
    for (int bar = 2; bar < s.bars; bar++) {
        strum(s, PART_EXTRA, pad, sp, bar * 16, 16.0, 50, 65, centre, 0.6f);
    }
    Tone sub;
    sub.wave = WAVE_SINE;
    sub.drive = 1.8f;
    sub.attack = 0.005f;
    sub.decay = 0.4f;
    sub.sustain = 0.6f;
    sub.release = 0.08f;
    for (int bar = 0; bar < s.bars; bar++) {
        const Chord& c = chordAt(sp, bar * 16);
        int root = rootNear(c, 38);
        songNote(s, PART_BASS, sub, bar * 16, 6.0, root, 0.9f);
        songNote(s, PART_BASS, sub, bar * 16 + 10, 2.0, root, 0.7f);
        songNote(s, PART_BASS, sub, bar * 16 + 14, 2.0, chordTone(c, 2, root + 7), 0.7f);
    }
    for (int bar = 0; bar < s.bars; bar++) {
        int b = bar * 16;
        songDrum(s, DRUM_KICK, b, 0.8f);
        songDrum(s, DRUM_KICK, b + 10, 0.6f);
        songDrum(s, DRUM_TOM, b + 6, 0.5f, 0.8f);
        songDrum(s, DRUM_TOM, b + 14, 0.45f, 1.05f);
        const int congaSteps[5] = {3, 7, 11, 12, 15};
        const float congaTune[5] = {1.0f, 1.35f, 1.0f, 1.35f, 1.0f};
        for (int k = 0; k < 5; k++) {
            songDrum(s, DRUM_CONGA, b + congaSteps[k], 0.55f, congaTune[k]);
        }
        for (int k = 0; k < 16; k++) {
            songDrum(s, DRUM_SHAKER, b + k, (k % 4 == 2) ? 0.35f : 0.18f);
        }
        if (bar >= 2) {
            songDrum(s, DRUM_RIM, b + 4, 0.45f);
            songDrum(s, DRUM_RIM, b + 12, 0.4f);
        }
        if (bar == 2 || bar == 10) {
            songDrum(s, DRUM_TIMPANI, b, 0.8f, (float)(midiToHz(38) / 65.0));
        }
    }
    s.level[PART_HARMONY] = -4.0f;
    s.level[PART_BASS] = -3.0f;
    s.level[PART_DRUMS] = -4.5f;
    s.level[PART_EXTRA] = -8.0f;
    s.send[PART_MELODY] = 0.4f;
    s.send[PART_HARMONY] = 0.25f;
    s.send[PART_EXTRA] = 0.4f;
    s.send[PART_DRUMS] = 0.2f;
    s.room = 0.86f;
}

// ---- Track 3: driving rock in E, 156 beats a minute: overdriven power chords, saw lead, eighth-note bass,
// a full kit with fills.
static void composeBurningLove(Song& s) {
    songStart(s, 1060, 16, 32, 0xB0B1E);
    auto sp = chords(s,
                     "E5.8 G5.4 A5.4 | E5.8 G5.4 D5.4 | E5.8 G5.4 A5.4 | C5.8 D5.8 | "
                     "E D A E E D A B | A B E C#m A B E E | "
                     "E5.8 G5.4 A5.4 | E5.8 G5.4 D5.4 | E5.8 G5.4 A5.4 | C5.8 D5.8 | "
                     "A B E C#m A B C D");
    Tone lead = sawLead();
    const char* riff =
        "e5.3 e5.1 g5.2 e5.2 a5.3 g5.1 e5.2 d5.2 | e5.3 e5.1 g5.2 e5.2 b5.4 a5.2 g5.2 | "
        "e5.3 e5.1 g5.2 e5.2 a5.3 g5.1 e5.2 g5.2 | c6.4 b5.2 g5.2 d6.4 b5.2 a5.2";
    const char* chorus =
        "!e6.6 c#6.2 a5.8 | !f#6.6 d#6.2 b5.8 | g#5.4 b5.4 e6.8 | e6.4 c#6.4 g#5.8 | "
        "a5.4 c#6.4 e6.4 c#6.4 | d#6.4 f#6.4 b5.8";
    line(s, PART_MELODY, lead, 0, 4, riff, 0.75f);
    line(s, PART_MELODY, lead, 4, 8,
         "b4.4 e5.2 e5.2 g#5.4 e5.4 | f#5.4 e5.2 d5.2 a4.8 | c#5.4 e5.4 a5.4 g#5.2 e5.2 | b4.12 r.4 | "
         "b4.4 e5.2 e5.2 g#5.4 b5.4 | a5.4 f#5.2 d5.2 a5.8 | e5.4 c#5.4 e5.4 a5.4 | f#5.8 d#5.4 b4.4",
         0.8f);
    line(s, PART_MELODY, lead, 12, 6, chorus, 0.9f);
    line(s, PART_MELODY, lead, 18, 2, "e6.12 d6.2 b5.2 | e6.8 r.8", 0.9f);
    line(s, PART_MELODY, lead, 20, 4, riff, 0.75f);
    line(s, PART_MELODY, lead, 24, 6, chorus, 0.9f);
    line(s, PART_MELODY, lead, 30, 2, "c6.4 e6.4 g6.8 | d6.4 f#6.4 a6.8", 0.9f);
    // Guitar: power chords (root, fifth, octave); accents and palm-muted eighths.
    Tone open = guitar(false), muted = guitar(true);
    auto power = [&](int step, double steps, const Tone& t, float vel) {
        // Power chords sit an octave above the bass.
        int root = rootNear(chordAt(sp, step), 47);
        songNote(s, PART_HARMONY, t, step, steps, root, vel);
        songNote(s, PART_HARMONY, t, step + 0.03, steps, root + 7, vel);
        songNote(s, PART_HARMONY, t, step + 0.06, steps, root + 12, vel * 0.8f);
    };
    for (int bar = 0; bar < s.bars; bar++) {
        int b = bar * 16;
        bool chorusBar = (bar >= 12 && bar < 20) || bar >= 24;
        bool riffBar = bar < 4 || (bar >= 20 && bar < 24);
        if (chorusBar) {
            power(b, 6, open, 0.9f);
            power(b + 6, 4, open, 0.8f);
            power(b + 10, 6, open, 0.85f);
        } else {
            for (int st = 0; st < 16; st += 2) {
                bool change = &chordAt(sp, b + st) != &chordAt(sp, b + st - 1);
                if (riffBar && change) {
                    power(b + st, 3, open, 0.9f);
                    st += 2;
                } else {
                    power(b + st, 1, muted, (st % 4 == 0) ? 0.85f : 0.7f);
                }
            }
        }
    }
    Tone bass = rockBass();
    for (int bar = 0; bar < s.bars; bar++) {
        for (int st = 0; st < 16; st += 2) {
            int step = bar * 16 + st;
            int root = rootNear(chordAt(sp, step), 38);
            bool chorusBar = (bar >= 12 && bar < 20) || bar >= 24;
            int note = (chorusBar && st % 4 == 2) ? root + 12 : root;
            songNote(s, PART_BASS, bass, step, 2.0, note, st % 4 == 0 ? 0.95f : 0.8f);
        }
    }
    for (int bar = 0; bar < s.bars; bar++) {
        int b = bar * 16;
        bool chorusBar = (bar >= 12 && bar < 20) || bar >= 24;
        bool fillBar = bar == 3 || bar == 11 || bar == 19 || bar == 23 || bar == 31;
        if (bar == 0 || bar == 4 || bar == 12 || bar == 20 || bar == 24) {
            songDrum(s, DRUM_CRASH, b, 0.8f);
        }
        songDrum(s, DRUM_KICK, b, 0.95f);
        songDrum(s, DRUM_KICK, b + 8, 0.9f);
        songDrum(s, DRUM_KICK, b + 10, 0.7f);
        if (chorusBar) {
            songDrum(s, DRUM_KICK, b + 6, 0.6f);
        }
        songDrum(s, DRUM_SNARE, b + 4, 0.9f);
        int lastStep = fillBar ? 8 : 16;
        if (!fillBar) {
            songDrum(s, DRUM_SNARE, b + 12, 0.95f);
        }
        for (int st = 0; st < lastStep; st += 2) {
            if (chorusBar) {
                songDrum(s, DRUM_RIDE, b + st, st % 4 == 0 ? 0.6f : 0.45f);
            } else {
                songDrum(s, DRUM_HAT, b + st, st % 4 == 0 ? 0.7f : 0.5f);
            }
        }
        if (fillBar) {
            const float tunes[8] = {1.6f, 1.6f, 1.3f, 1.3f, 1.0f, 1.0f, 0.8f, 0.8f};
            for (int k = 0; k < 8; k++) {
                if (k == 2 || k == 6) {
                    songDrum(s, DRUM_SNARE, b + 8 + k, 0.8f);
                } else {
                    songDrum(s, DRUM_TOM, b + 8 + k, 0.75f, tunes[k]);
                }
            }
        }
    }
    s.level[PART_HARMONY] = -4.0f;
    s.level[PART_BASS] = -3.5f;
    s.level[PART_DRUMS] = -2.5f;
    s.send[PART_MELODY] = 0.2f;
    s.send[PART_HARMONY] = 0.1f;
    s.send[PART_BASS] = 0.0f;
    s.send[PART_DRUMS] = 0.1f;
    s.echoSteps[PART_MELODY] = 3;
    s.echoFeedback[PART_MELODY] = 0.25f;
    s.echoMix[PART_MELODY] = 0.2f;
    s.room = 0.75f;
}

// ---- Track 4: a slow twelve-bar blues in B flat, 12/8 at 60 beats a minute: drawbar organ chords and tune,
// a slow walking bass, a lazy kit.
static void composeSlowBassOrgan(Song& s) {
    songStart(s, 3675, 12, 12, 0x51057);
    auto sp = chords(s, "Bb7 Eb7 Bb7 Bb7 Eb7 Edim7 Bb7 G7 Cm7 F7 Bb7.6 G7.6 Cm7.6 F7.6");
    Tone lead = organ(true);
    line(s, PART_MELODY, lead, 0, 12,
         "r.3 f4.2 ab4.1 bb4.6 | db5.3 c5.2 bb4.1 g4.6 | f4.3 bb4.2 d5.1 f5.6 | ab5.2 g5.1 f5.3 d5.3 bb4.3 | "
         "g5.6 f5.2 eb5.1 db5.3 | bb4.3 db5.3 e5.6 | f5.9 d5.3 | b4.3 d5.2 f5.1 g5.6 | "
         "eb5.3 g5.2 bb5.1 g5.3 eb5.3 | c5.3 a4.3 f4.3 eb4.3 | d4.3 f4.3 g4.3 b4.3 | c5.6 a4.3 c5.3",
         0.85f);
    Tone chordsOrgan = organ(false);
    double centre = 62.0;
    for (int bar = 0; bar < s.bars; bar++) {
        int b = bar * 12;
        strum(s, PART_HARMONY, chordsOrgan, sp, b, 6.0, 55, 70, centre, 0.75f);
        strum(s, PART_HARMONY, chordsOrgan, sp, b + 6, 5.0, 55, 70, centre, 0.7f);
        strum(s, PART_HARMONY, chordsOrgan, sp, b + 11, 1.0, 55, 70, centre, 0.5f);
    }
    walkingBass(s, pluckedBass(0.9f), sp, 3, 31, 50, 0.9f);
    for (int bar = 0; bar < s.bars; bar++) {
        int b = bar * 12;
        if (bar == 0) {
            songDrum(s, DRUM_CRASH, b, 0.5f);
        }
        songDrum(s, DRUM_KICK, b, 0.75f);
        songDrum(s, DRUM_KICK, b + 7, 0.45f);
        songDrum(s, DRUM_SNARE, b + 3, 0.7f);
        bool fill = bar == 11;
        songDrum(s, DRUM_SNARE, b + 9, 0.75f);
        for (int st = 0; st < 12; st++) {
            songDrum(s, DRUM_HAT, b + st, st % 3 == 0 ? 0.45f : 0.25f);
        }
        if (fill) {
            songDrum(s, DRUM_TOM, b + 10, 0.6f, 1.2f);
            songDrum(s, DRUM_TOM, b + 11, 0.6f, 0.85f);
        }
    }
    s.level[PART_HARMONY] = -4.0f;
    s.level[PART_BASS] = -2.0f;
    s.level[PART_DRUMS] = -5.5f;
    s.send[PART_MELODY] = 0.25f;
    s.send[PART_HARMONY] = 0.2f;
    s.send[PART_BASS] = 0.05f;
    s.send[PART_DRUMS] = 0.2f;
    s.room = 0.82f;
}

// ---- Track 5: playful space electro in G minor, 136 beats a minute: square lead and bells, an echoing
// arpeggio, a wide pad, bouncing octave bass, four on the floor.
static void composeSpaceMonkey(Song& s) {
    songStart(s, 1216, 16, 24, 0x5BACE);
    auto sp = chords(s,
                     "Gm Eb Bb F Gm Eb Cm D | Eb F Dm Gm Eb F D D7 | Gm Eb Bb F Gm Eb Cm D");
    const char* tune =
        "g5.3 bb5.3 d6.2 c6.2 bb5.2 a5.2 g5.2 | bb5.6 g5.2 eb5.4 f5.4 | d5.3 f5.3 bb5.2 a5.2 bb5.2 c6.2 d6.2 | "
        "c6.8 a5.4 f5.4 | g5.3 bb5.3 d6.2 c6.2 bb5.2 a5.2 g5.2 | g5.4 bb5.2 eb6.6 d6.4 | c6.3 bb5.3 g5.2 eb5.4 g5.4 | "
        "f#5.8 a5.4 d6.4";
    Tone sq = squareLead();
    Tone bl = bell();
    line(s, PART_MELODY, sq, 0, 8, tune, 0.8f);
    line(s, PART_MELODY, bl, 8, 8,
         "g5.6 bb5.6 eb6.4 | c6.6 a5.6 f5.4 | d6.6 a5.6 f5.4 | g5.12 r.4 | eb6.4 d6.4 bb5.4 g5.4 | "
         "a5.4 c6.4 f6.8 | f#6.6 e6.2 d6.8 | c6.4 a5.4 f#5.4 d5.4",
         0.9f);
    line(s, PART_MELODY, sq, 16, 8, tune, 0.75f, -12);
    line(s, PART_MELODY, bl, 16, 8, tune, 0.45f);
    Tone arp = arpeggiator();
    double centre = 66.0;
    for (int bar = 0; bar < s.bars; bar++) {
        int notes[6];
        int n = voiceChord(chordAt(sp, bar * 16), 60, 76, centre, notes);
        if (n < 3) {
            continue;
        }
        const int order[8] = {0, 1, 2, 3, 2, 1, 0, 1};
        for (int st = 0; st < 16; st++) {
            int o = order[st % 8];
            int note = o == 3 ? notes[0] + 12 : notes[o];
            songNote(s, PART_HARMONY, arp, bar * 16 + st, 1.0, note, st % 4 == 0 ? 0.85f : 0.6f);
        }
    }
    Tone pad = superPad();
    double padCentre = 62.0;
    for (int bar = 0; bar < s.bars; bar++) {
        strum(s, PART_EXTRA, pad, sp, bar * 16, 16.0, 55, 70, padCentre, 0.6f);
    }
    Tone bass = synthBass();
    for (int bar = 0; bar < s.bars; bar++) {
        int root = rootNear(chordAt(sp, bar * 16), 40);
        for (int st = 0; st < 16; st += 2) {
            songNote(s, PART_BASS, bass, bar * 16 + st, 2.0, (st % 4 == 2) ? root + 12 : root,
                     st % 4 == 0 ? 0.95f : 0.75f);
        }
    }
    for (int bar = 0; bar < s.bars; bar++) {
        int b = bar * 16;
        bool middle = bar >= 8 && bar < 16;
        if (bar % 8 == 0) {
            songDrum(s, DRUM_CRASH, b, 0.6f);
        }
        for (int st = 0; st < 16; st += 4) {
            songDrum(s, DRUM_KICK, b + st, 0.95f);
        }
        songDrum(s, DRUM_CLAP, b + 4, 0.8f);
        songDrum(s, DRUM_CLAP, b + 12, 0.8f);
        for (int st = 2; st < 16; st += 4) {
            songDrum(s, middle ? DRUM_OPEN_HAT : DRUM_HAT, b + st, 0.55f);
        }
        for (int st = 0; st < 16; st++) {
            songDrum(s, DRUM_SHAKER, b + st, st % 2 ? 0.2f : 0.12f);
        }
        if (bar % 2 == 1) {
            songDrum(s, DRUM_ZAP, b + 14, 0.45f, 1.0f + 0.1f * (bar % 4));
        }
    }
    s.level[PART_HARMONY] = -6.0f;
    s.level[PART_BASS] = -3.0f;
    s.level[PART_DRUMS] = -3.5f;
    s.level[PART_EXTRA] = -9.0f;
    s.send[PART_MELODY] = 0.25f;
    s.send[PART_HARMONY] = 0.2f;
    s.send[PART_EXTRA] = 0.35f;
    s.send[PART_BASS] = 0.0f;
    s.send[PART_DRUMS] = 0.08f;
    s.echoSteps[PART_HARMONY] = 3;
    s.echoFeedback[PART_HARMONY] = 0.35f;
    s.echoMix[PART_HARMONY] = 0.4f;
    s.echoSteps[PART_MELODY] = 6;
    s.echoFeedback[PART_MELODY] = 0.2f;
    s.echoMix[PART_MELODY] = 0.2f;
}

struct MusicTrack {
    const char* file;
    void (*compose)(Song&);
};

static const MusicTrack tracks[MUSIC_TRACK_COUNT] = {
    {"coolcat.raw", composeCoolCat},        {"claudioa.raw", composeClaudio},
    {"percmysterya.raw", composePercMystery}, {"burningloveb.raw", composeBurningLove},
    {"slowbassorgan.raw", composeSlowBassOrgan}, {"spacemonkey.raw", composeSpaceMonkey},
};

const char* musicTrackFile(int index) {
    return index >= 0 && index < MUSIC_TRACK_COUNT ? tracks[index].file : nullptr;
}

bool renderMusicTrack(int index, std::vector<int16_t>& pcm, std::string& error) {
    if (index < 0 || index >= MUSIC_TRACK_COUNT) {
        error = "no such track";
        return false;
    }
    Song s;
    tracks[index].compose(s);
    return songFinish(s, pcm, error);
}
