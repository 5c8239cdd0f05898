// The generator's music sequencer: instruments, drums, melody text, chords, and a loop of parts mixed to one track.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "synth.h"

// Music files are recorded at half the output rate; the game loads them doubled.
const int MUSIC_RATE = 11025;

// Each part is rendered on its own, then brought to its wanted loudness and mixed.
enum Part { PART_MELODY, PART_HARMONY, PART_BASS, PART_DRUMS, PART_EXTRA, PART_COUNT };

enum ToneKind {
    TONE_ANALOG,    // detuned oscillators, sub-octave, drive, resonant low-pass with its own envelope
    TONE_FM,        // two-operator FM, the index falling after the strike (electric piano, bells)
    TONE_PARTIALS,  // sum of decaying partials (plucked strings, mallets)
    TONE_ORGAN,     // drawbar organ with a rotating-speaker wobble
    TONE_FLUTE,     // sine with soft harmonics and breath noise
};

// An instrument: times in seconds, frequencies in Hz, levels 0..1 unless stated.
struct Tone {
    ToneKind kind = TONE_ANALOG;
    float gain = 1.0f;
    float attack = 0.005f, decay = 0.3f, sustain = 0.7f, release = 0.08f;  // decay, release: time constants
    float legato = 0.9f;          // share of the written length that the note sounds
    // Analog kind.
    Waveform wave = WAVE_SAW;
    float width = 0.5f;           // pulse width of WAVE_SQUARE
    int voices = 1;               // detuned copies, 1..7
    float detune = 0.0f;          // cents between the outermost copies
    float sub = 0.0f;             // level of a square one octave below
    float cutoff = 0.0f;          // low-pass cutoff; 0 leaves the filter out
    float keyTrack = 0.0f;        // cutoff follows the pitch with this exponent
    float envCutoff = 0.0f;       // added to the cutoff at the strike, falling with filterDecay
    float filterDecay = 0.2f;
    float q = 0.7f;
    float drive = 0.0f;           // tanh saturation gain before the filter; 0 is clean
    // Pitch movement.
    float vibratoRate = 5.0f, vibratoDepth = 0.0f, vibratoDelay = 0.2f;  // depth in semitones
    float glide = 0.0f;           // time constant of the slide from the line's previous note
    float tremolo = 0.0f, tremoloRate = 5.0f;  // amplitude wobble depth
    // FM kind.
    float fmRatio = 1.0f, fmIndex = 1.0f, fmDecay = 0.3f;
    // Partials kind: either explicit partials or a harmonic series.
    int partialCount = 0;
    float partialRatio[8] = {0}, partialLevel[8] = {0}, partialDecay[8] = {0};  // decay: 1/e per second
    int harmonics = 0;            // harmonic series of this many partials when > 0
    float rolloff = 1.0f;         // level of harmonic k is k^-rolloff
    float baseDecay = 2.0f;       // decay rate of the fundamental, per second
    float harmonicDecay = 0.5f;   // extra decay rate per harmonic number
    float click = 0.0f;           // noise burst at the strike
    // Organ kind: drawbars at 1/2, 1, 3/2, 2, 3, 4, 5, 6 and 8 times the pitch.
    float drawbar[9] = {0};
    // Flute kind.
    float breath = 0.0f;
};

enum Drum {
    DRUM_KICK, DRUM_SNARE, DRUM_HAT, DRUM_OPEN_HAT, DRUM_RIDE, DRUM_CRASH, DRUM_TOM, DRUM_SHAKER,
    DRUM_CLAP, DRUM_RIM, DRUM_BRUSH, DRUM_TAMBOURINE, DRUM_CONGA, DRUM_TIMPANI, DRUM_ZAP, DRUM_COUNT
};

struct Song {
    int rate;                     // samples per second
    int stepSamples;              // samples per grid step
    int stepsPerBar;
    int bars;
    int length;                   // samples in the loop
    Noise noise;                  // humanising and drum noise
    float timing;                 // largest random shift of a start, samples
    Wave part[PART_COUNT];
    float level[PART_COUNT];      // wanted loudness of each part while it plays, dB (the melody at 0)
    float send[PART_COUNT];       // share sent to the reverb
    int echoSteps[PART_COUNT];    // echo delay in steps, 0 for none
    float echoFeedback[PART_COUNT], echoMix[PART_COUNT];
    double lastMidi[PART_COUNT];  // the previous note of each line, for glides; -1 none
    float room, damp;             // reverb
    std::string problem;          // the first fault met while composing (a bad note or chord name)
};

// A chord: root as a pitch class 0..11 (C = 0), tones as semitones above the root.
struct Chord {
    int root;
    int count;
    int tones[6];
};

struct ChordSpan {
    int step;      // first step
    int steps;     // length in steps
    Chord chord;
};

void songStart(Song& s, int stepSamples, int stepsPerBar, int bars, uint32_t seed);
// One note: start and length in steps, pitch as a MIDI number, velocity 0..1.
void songNote(Song& s, int part, const Tone& t, double step, double steps, double midi, float vel);
void songDrum(Song& s, Drum d, double step, float vel, float tune = 1.0f);
// A line of notes from text: "c5.4 eb5.2 r.2 f#4" (pitch class, accidental, octave, '.' length in steps;
// r is a rest; a length carries on until changed; a leading '!' accents a note). Returns the steps covered.
int songLine(Song& s, int part, const Tone& t, double step, const char* text, float vel, int transpose = 0);

bool parseChord(const char* name, Chord& c);
// Chord names with optional lengths in steps ("Dm7.6 G7.6 | Cmaj7"); a name without a length lasts one bar.
std::vector<ChordSpan> parseChords(const Song& s, const char* text);
const Chord& chordAt(const std::vector<ChordSpan>& spans, int step);
// Chord tones (MIDI numbers, ascending) inside low..high, the inversion nearest to the previous voicing's centre.
int voiceChord(const Chord& c, int low, int high, double& centre, int* out);
// The chord tone nearest to `near`, as a MIDI number (degree 0 root, 1 third, 2 fifth, 3 seventh...).
int chordTone(const Chord& c, int degree, int near);

// Balances, echoes, reverberates and masters the parts into one loop at about -16 dBFS RMS, turned so
// that its ends meet at the value the game's loader adds after the last sample. False when a part is silent.
bool songFinish(Song& s, std::vector<int16_t>& pcm, std::string& error);
