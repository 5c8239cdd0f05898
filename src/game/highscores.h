// High-score tables: per difficulty 25 entries of 20 characters (name, then score), best first.
#pragma once

#include <cstdint>

enum {
    HIGH_SCORE_ENTRIES = 25,
    HIGH_SCORE_ENTRY_CHARS = 20,
    HIGH_SCORE_NAME_CHARS = 10,
    HIGH_SCORE_FILE_CHARS = HIGH_SCORE_ENTRIES * HIGH_SCORE_ENTRY_CHARS, // 500
    HIGH_SCORE_BUFFER_CHARS = 504,
    // A table file longer than this is no table (its first 504 characters are all that is ever read).
    HIGH_SCORE_MAX_FILE_BYTES = 4096,
};

// Fills the table buffer from "Plinkor<difficulty>.dat" in the data folder; a missing file is created
// holding 25 empty entries (500 dots). Characters past the end of a short file read as 0. A file that
// is there but cannot be read (or is no regular file, or longer than 4096 bytes) shows as empty and
// makes the table unusable until a later load reads it.
void loadHighScores(int32_t difficulty);
// Loads the table and returns the index of the first entry whose score is lower than `score`;
// 25 when the score does not enter the table (ties go below the existing entries) or the table
// could not be read.
int32_t highScoreRank(int32_t score, int32_t difficulty);
// Writes the table again with (name, score) inserted at the score's rank; the last entry drops off.
// Returns 1 when the file was written, 0 when the score does not enter, the table could not be read
// (it is then left alone) or the file could not be saved (the player is shown why).
int insertHighScore(const char* name, int32_t score, int32_t difficulty);
// 1 when the last load read the table or found none: only then may it be ranked against and written.
int highScoreTableUsable(void);
// The table as last loaded: 504 characters, entry e at 20 * e (name 0..9, score text 10..19).
const char* highScoreTable(void);
