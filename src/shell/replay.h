// Recorded sessions seen from the game's side: the command line, the run folder's data and player files,
// the replay's own folder, update counting with state hashes, and the hash of the game's state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/journal.h"

enum {
    CHECKPOINT_UPDATES = 600,  // a state hash is kept every this many updates
    EXIT_BAD_JOURNAL = 2,      // the journal cannot be read, ends early, or does not fit the data here
    EXIT_DIVERGED = 3,         // the replay went out of step with its journal
    // Custom/last.journal keeps about this much of the latest play, in seconds of game time: past it,
    // the next level start begins a new journal. PLINKOR_JOURNAL_KEEP_SECONDS overrides it (tests).
    JOURNAL_KEEP_SECONDS = 30 * 60,
};

// The state hash after `update` updates.
struct Checkpoint {
    uint32_t update;
    uint64_t hash;
};

struct UpdateWatch {
    uint32_t updates = 0;               // updates run
    std::vector<Checkpoint> checkpoints;  // one every CHECKPOINT_UPDATES updates
    int64_t problemUpdate = -1;         // updates run before the journal first reported a problem
};
extern UpdateWatch updateWatch;

// FNV-1a of the game's state: mode, generator state, score, lives, level and the other game values,
// paddle, balls, blocks, debris, capsules and active power-ups, and the settings as their file holds them.
uint64_t gameStateHash(void);

// Puts a counting update in front of the game's: counts updates and keeps a checkpoint every
// CHECKPOINT_UPDATES; and a watching mode entry: the first one ends the journal's prelude (or, replaying
// a continued journal, puts its state in place), a level start may begin a new journal (keepRecentPlay).
// Once per process, before runGame.
void watchUpdates(void);
// While recording to path: past `seconds` of game time in one file, the next level start goes on in a
// new file at path that starts with the game's state there (seconds <= 0: never). `header` is the one
// the recording started with (its data files go into every new file).
void keepRecentPlay(const char* path, int64_t seconds, const JournalHeader& header);
// The bound for Custom/last.journal: JOURNAL_KEEP_SECONDS or PLINKOR_JOURNAL_KEEP_SECONDS.
int64_t recentPlaySeconds(void);
// Before replaying a journal that continues a session: reads its state, to be put in place where the
// game's loop begins. 1 for a whole session; 0 with *error when the state is damaged.
int armContinuation(const JournalHeader& header, std::string* error);
// Notes a problem the journal reported after the last update (call when runGame has returned).
void noticeReplayEnd(void);

// The header a recording made in the current folder starts with: the data files (Data/ and Sound/, the
// player's files left out) hashed, the player's files (settings, score tables, levels) stored whole.
void describeRunFolder(JournalHeader* header);
// Compares the data files of the current folder with those a journal was recorded with: "" when they
// match, else which file differs (and how many more do).
std::string compareDataFiles(const JournalHeader& header);
// A fresh folder under /tmp holding links to the current folder's data and the journal's player files,
// made the current directory. A journal that holds the desktop options gets them as the folder's
// desktop.ini, and the command line's desktop flags are forgotten: the replay plays as recorded. 0 with
// *error set when it cannot be made.
int enterReplayFolder(const JournalHeader& header, std::string* folder, std::string* error);
// Goes back to `previous` and deletes the replay folder (the links, not what they point to).
void leaveReplayFolder(const std::string& folder, const std::string& previous);

// The result line of a replay: "updates N score S hash H".
std::string replayResultLine(void);

// The whole program with its command line: no arguments plays and records to Custom/last.journal;
// --record FILE, --replay FILE [--headless] [--force]. Returns the process exit code.
int runCommandLine(int argc, char** argv);
