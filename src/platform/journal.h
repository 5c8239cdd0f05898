// The session journal: every answer the platform layer gives the game, recorded to a file or replayed from one.
//
// While recording, each backend call that tells the game something about the outside world (counter
// readings and frequency, peeked messages, the client size, key translation, message-box answers, the
// sound device's open result, the window and instance checks) is appended to a zlib-compressed stream of
// small delta-encoded events. While replaying, the same calls are answered from the journal instead of
// the system, so the game, which is deterministic given those answers, runs exactly as it did.
//
// File: "PLKJ", format version (16-bit little-endian), then one zlib stream holding the header (game
// version, fullscreen flag, name, size and CRC-32 of every data file, the player's files as they stood
// at the start, the desktop options in force, and for a journal that continues a session the start-up's
// events and the game's state where it goes on) and the events. The stream is flushed about once a second of game time, so a session
// cut short by a crash still replays up to its last flush.
//
// Only the thread that started the journal is journaled: the audio thread's counter readings only place
// sounds in the output and are passed through (while replaying they read the last replayed value).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

enum {
    JOURNAL_FORMAT = 2,
    JOURNAL_FORMAT_OLDEST = 1,  // format 1 has no desktop options and never continues a session
    JOURNAL_OFF = 0,
    JOURNAL_RECORD = 1,
    JOURNAL_REPLAY = 2,
    // Largest journal the reader inflates (a damaged size field must not ask for all memory), bytes.
    JOURNAL_MAX_BYTES = 256 << 20,
};

// A data file the game reads: name relative to the run folder ("Data/bg.png"), size in bytes, CRC-32.
struct JournalDataFile {
    std::string name;
    uint64_t size;
    uint32_t crc;
};

// A player's file as it stood at the start: name relative to the run folder, its bytes.
struct JournalSnapshotFile {
    std::string name;
    std::vector<uint8_t> bytes;
};

struct JournalHeader {
    std::string gameVersion;
    int32_t fullscreen = 0;  // 1 when recorded by the fullscreen build
    std::vector<JournalDataFile> dataFiles;
    std::vector<JournalSnapshotFile> snapshot;
    // The desktop options in force as the journal starts, in the order of shell/desktop.h's record
    // (the reader leaves it empty for a format 1 journal).
    std::vector<int32_t> desktop;
    // A journal that continues a session: the events of the session's start-up, answered first, up to
    // where the game's loop begins; there the game's state (shell/replaystate.h) is put back and the
    // events go on. Both empty for a whole session.
    std::vector<uint8_t> prelude;
    std::vector<uint8_t> state;
    int64_t counterBase = 0;  // counter ticks: the reading the events' first delta is taken from
};

// A journal read into memory: its header and the event bytes (inflated).
struct JournalContents {
    JournalHeader header;
    std::vector<uint8_t> events;
    int complete = 0;  // 1 when the session ended cleanly; 0 when the file stops early
};

// The game's version as journals carry it.
const char* journalGameVersion(void);

// Hashes one file; 0 when it cannot be read.
int journalHashFile(const char* path, uint64_t* size, uint32_t* crc);

// Starts recording to path (replacing it) with the header; 0 with a message in *error when the file
// cannot be written. whenWindowOpens: the file is made only once the game's window exists, so that a
// second copy of the game, which closes at once, leaves the first one's journal alone. The calling
// thread becomes the journaled one.
int journalStartRecording(const char* path, const JournalHeader& header, int whenWindowOpens, std::string* error);
// While recording: the start-up is over (the game's loop begins); the events so far are kept aside as
// the prelude every later journal of this session starts with.
void journalEndPrelude(void);
// While recording: the start-up's events kept by journalEndPrelude (empty when there were too many:
// such a session cannot be continued in a new file).
const std::vector<uint8_t>& journalPrelude(void);
// While recording: counter ticks the current file covers, from its first reading to its last, and the
// counter's ticks a second (0 until the game has asked).
int64_t journalSpanTicks(void);
int64_t journalTicksPerSecond(void);
// While recording: goes on in a new file at path that starts with `header` (which carries the prelude
// and the state), replacing the file only once the new one holds its header. 0 with *error set when
// the new file cannot be written; the recording then goes on in the old one.
int journalRestart(const char* path, const JournalHeader& header, std::string* error);
// Ends the session cleanly: writes the end mark, finishes the stream, closes the file.
void journalFinish(void);
// Closes the file as it stands, without the end mark (what a crash leaves, for tests).
void journalAbandon(void);

// Parses a whole journal file's bytes. Returns 1 on success (a file cut short after its header is a
// success with complete 0: its events up to the last whole one); 0 with a message in *error when it is
// not a journal, is of another format or is damaged.
int journalParse(const uint8_t* bytes, size_t size, JournalContents* out, std::string* error);
// Reads and parses a file.
int journalLoad(const char* path, JournalContents* out, std::string* error);

// Starts replaying the events of `contents` (kept by the caller until the replay ends). headless: no
// window, no sound device, no message boxes; realSpeed: counter readings wait until that much real time
// has passed since the first one. The calling thread becomes the journaled one.
// A journal with a prelude answers from it first, until journalContinue.
void journalStartReplay(const JournalContents* contents, int headless, int realSpeed);
// While replaying a continued journal: the prelude has been answered and the state put back; the
// answers now come from the events.
void journalContinue(void);
void journalStop(void);

int journalMode(void);
int journalReplaying(void);
int journalHeadless(void);
// While replaying: 1 once the events are used up (the game was asked to close then).
int journalExhausted(void);
// While replaying: "" while the game asks what the journal holds; else what went out of step (the
// game was asked to close then). Also set when the viewer closes the replay window.
const std::string& journalProblem(void);
// Events answered so far while replaying, or written while recording.
int64_t journalEventCount(void);
// Bytes written to the file so far while recording (compressed).
int64_t journalBytesWritten(void);

// While on, the hooks pass the system's answers through unjournaled: for the backend's own calls.
void journalIgnore(int on);

// ---- Backend hooks: each takes the system's answer and returns the one the game gets. ----
int64_t journalCounter(int64_t real);
int journalCounterFrequency(int result, int64_t* ticksPerSecond);
// result 1: *msg holds the system's message; while replaying the system's message is dropped (a close
// from the viewer stops the replay) and *msg gets the journal's.
int journalPeek(int result, PlatformMessage* msg);
void journalClientSize(int* width, int* height);
void journalStick(int* x, int* y);
int journalToAscii(int result, uint16_t* out);
int journalMessageBox(int result);
int journalAudioOpen(int result);
int journalFindOtherInstance(int result);
int journalCreateWindow(int result);
