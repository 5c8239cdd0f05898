// High-score files: fixed-width text of dots, letters and digits, read whole and rewritten on insertion.
#include "game/highscores.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shell/datafile.h"
#include "shell/log.h"
#include "shell/runfolder.h"
#include "shell/savefile.h"

static char table[HIGH_SCORE_BUFFER_CHARS];

static int formPath(char* out, size_t size, int32_t difficulty) {
    return snprintf(out, size, "%s%s%d.dat", runPaths.dataPath, "Plinkor", difficulty) < (int)size;
}

// 0 after a load that found a table it could not read: such a table is never written nor ranked
// against, so its scores survive whatever kept it from being read.
static int tableUsable = 1;

void loadHighScores(int32_t difficulty) {
    memset(table, '.', sizeof(table));
    tableUsable = 0;
    char path[300];
    if (!formPath(path, sizeof(path), difficulty)) {
        return;
    }
    char bytes[HIGH_SCORE_BUFFER_CHARS];
    FILE* f = openDataFile(path, HIGH_SCORE_MAX_FILE_BYTES, nullptr);
    if (f != nullptr) {
        size_t got = fread(bytes, 1, sizeof(bytes), f);
        int failed = ferror(f);
        fclose(f);
        if (failed) {
            logFormat(1, 0, "[WARNING] Unable to read the high scores in %s.\n", path);
            return;
        }
        for (size_t i = 0; i < sizeof(table); i++) {
            table[i] = i < got ? bytes[i] : 0;
        }
        tableUsable = 1;
        return;
    }
    // Only a table that does not exist is created: a file that is there but unreadable keeps its
    // scores, and the screen shows empty entries meanwhile.
    if (errno != ENOENT) {
        logFormat(1, 0, "[WARNING] Unable to read the high scores in %s: %s.\n", path, strerror(errno));
        return;
    }
    tableUsable = 1;
    char empty[HIGH_SCORE_FILE_CHARS];
    memset(empty, '.', sizeof(empty));
    if (!saveFileAtomically(path, empty, sizeof(empty))) {
        logMessage(1, "[WARNING] Unable to create the high-score table.\n");
    }
}

// The digits of an entry's score field, dots skipped; a 0 character (past a short file's end) ends
// the text. Damaged text reads as far as it is a number; an empty text is 0.
static int32_t entryScore(int entry) {
    char digits[HIGH_SCORE_ENTRY_CHARS - HIGH_SCORE_NAME_CHARS + 1];
    int n = 0;
    for (int k = HIGH_SCORE_NAME_CHARS; k < HIGH_SCORE_ENTRY_CHARS; k++) {
        char c = table[entry * HIGH_SCORE_ENTRY_CHARS + k];
        if (c == 0) {
            break;
        }
        if (c != '.') {
            digits[n++] = c;
        }
    }
    digits[n] = 0;
    long long value = strtoll(digits, nullptr, 10);
    if (value > INT32_MAX) {
        return INT32_MAX;
    }
    if (value < INT32_MIN) {
        return INT32_MIN;
    }
    return (int32_t)value;
}

int32_t highScoreRank(int32_t score, int32_t difficulty) {
    loadHighScores(difficulty);
    if (!tableUsable) {
        return HIGH_SCORE_ENTRIES;
    }
    for (int e = 0; e < HIGH_SCORE_ENTRIES; e++) {
        if (score > entryScore(e)) {
            return e;
        }
    }
    return HIGH_SCORE_ENTRIES;
}

int insertHighScore(const char* name, int32_t score, int32_t difficulty) {
    // "%8d" with its spaces as dots; a score wider than 8 digits keeps its first 8 characters.
    char printed[16];
    snprintf(printed, sizeof(printed), "%8d", score);
    for (int i = 0; i < 8; i++) {
        if (printed[i] == ' ') {
            printed[i] = '.';
        }
    }
    int32_t p = highScoreRank(score, difficulty);
    if (p >= HIGH_SCORE_ENTRIES || !tableUsable) {
        return 0;
    }
    char entry[HIGH_SCORE_ENTRY_CHARS];
    size_t nameLength = strlen(name);
    for (int i = 0; i < HIGH_SCORE_NAME_CHARS; i++) {
        entry[i] = (size_t)i < nameLength ? name[i] : '.';
    }
    entry[10] = '.';
    entry[11] = '.';
    memcpy(entry + 12, printed, 8);

    char file[HIGH_SCORE_FILE_CHARS];
    int start = p * HIGH_SCORE_ENTRY_CHARS;
    for (int i = 0; i < HIGH_SCORE_FILE_CHARS; i++) {
        if (i < start) {
            file[i] = table[i];
        } else if (i < start + HIGH_SCORE_ENTRY_CHARS) {
            file[i] = entry[i - start];
        } else {
            file[i] = table[i - HIGH_SCORE_ENTRY_CHARS];
        }
    }
    char path[300];
    if (!formPath(path, sizeof(path), difficulty)) {
        return 0;
    }
    if (!saveFileAtomically(path, file, sizeof(file))) {
        int error = errno;
        logMessage(1, "[WARNING] Unable to save high scores.\n");
        showSaveFailure(path, strerror(error));
        return 0;
    }
    return 1;
}

int highScoreTableUsable(void) {
    return tableUsable;
}

const char* highScoreTable(void) {
    return table;
}
