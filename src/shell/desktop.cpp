// Desktop options: the desktop.ini reader and writer, and the command-line flags that override it.
#include "shell/desktop.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shell/datafile.h"
#include "shell/log.h"
#include "shell/runfolder.h"
#include "shell/savefile.h"

DesktopOptions desktopOptions = {0, 1, 0, DESKTOP_SCALE_AUTO, 1, 0};

namespace {

enum { OPTION_SWITCH, OPTION_SCALE };

struct OptionKey {
    const char* key;
    int32_t DesktopOptions::*field;
    int kind;
};

const OptionKey optionKeys[] = {
    {"follow_pointer", &DesktopOptions::followPointer, OPTION_SWITCH},
    {"pause_when_away", &DesktopOptions::pauseWhenAway, OPTION_SWITCH},
    {"skip_intro", &DesktopOptions::skipIntro, OPTION_SWITCH},
    {"scale", &DesktopOptions::scale, OPTION_SCALE},
    {"paddle_sound", &DesktopOptions::paddleSound, OPTION_SWITCH},
    {"fullscreen", &DesktopOptions::fullscreen, OPTION_SWITCH},
};
const int OPTION_KEYS = (int)(sizeof(optionKeys) / sizeof(optionKeys[0]));

// A flag sets one option to a fixed value, or (scale) to the number that follows it.
struct Flag {
    const char* name;
    int32_t DesktopOptions::*field;
    int32_t value;
    const char* help;
};

const Flag flags[] = {
    {"--fullscreen", &DesktopOptions::fullscreen, 1, "start in desktop fullscreen"},
    {"--windowed", &DesktopOptions::fullscreen, 0, "start in a window"},
    {"--scale", &DesktopOptions::scale, -1, "window scale: a whole number 1 to 8, or 0 to fit the desktop"},
    {"--no-intro", &DesktopOptions::skipIntro, 1, "straight to the main menu once loading is done"},
    {"--intro", &DesktopOptions::skipIntro, 0, "show the splash screens"},
    {"--follow-pointer", &DesktopOptions::followPointer, 1, "steer with the mouse without holding the button"},
    {"--no-follow-pointer", &DesktopOptions::followPointer, 0, "steer with the mouse only while the button is held"},
    {"--pause-when-away", &DesktopOptions::pauseWhenAway, 1, "pause when the window is minimised or loses focus"},
    {"--no-pause-when-away", &DesktopOptions::pauseWhenAway, 0, "keep playing when the window is left"},
    {"--paddle-sound", &DesktopOptions::paddleSound, 1, "a soft sound when the ball meets the paddle"},
    {"--no-paddle-sound", &DesktopOptions::paddleSound, 0, "a silent paddle"},
};
const int FLAGS = (int)(sizeof(flags) / sizeof(flags[0]));

// What the command line set: -1 where it said nothing.
DesktopOptions flagValues = {-1, -1, -1, -1, -1, -1};

// One line of the file: where its key and value stand (offsets into the line).
struct LineParts {
    int pair;             // 1: a "key = value" line; 0: blank, comment or not a pair (see broken)
    int broken;           // 1: text that is neither a comment nor a pair
    size_t keyStart, keyEnd;
    size_t valueStart, valueEnd;
};

int isBlank(char c) {
    return c == ' ' || c == '\t';
}

LineParts splitLine(const char* line, size_t length) {
    LineParts parts = {0, 0, 0, 0, 0, 0};
    size_t i = 0;
    while (i < length && isBlank(line[i])) {
        i++;
    }
    if (i == length || line[i] == '#') {
        return parts;
    }
    const char* equals = (const char*)memchr(line + i, '=', length - i);
    const char* hash = (const char*)memchr(line + i, '#', length - i);
    if (equals == nullptr || (hash != nullptr && hash < equals)) {
        parts.broken = 1;
        return parts;
    }
    parts.keyStart = i;
    size_t e = (size_t)(equals - line);
    size_t k = e;
    while (k > i && isBlank(line[k - 1])) {
        k--;
    }
    parts.keyEnd = k;
    size_t v = e + 1;
    while (v < length && isBlank(line[v])) {
        v++;
    }
    // A value never holds "#": what follows one is a comment.
    size_t end = hash != nullptr ? (size_t)(hash - line) : length;
    if (v > end) {
        v = end;
    }
    while (end > v && isBlank(line[end - 1])) {
        end--;
    }
    parts.valueStart = v;
    parts.valueEnd = end;
    parts.pair = parts.keyEnd > parts.keyStart;
    parts.broken = !parts.pair;
    return parts;
}

int sameWord(const char* text, size_t length, const char* word) {
    size_t n = strlen(word);
    if (n != length) {
        return 0;
    }
    for (size_t i = 0; i < n; i++) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = (char)(c - 'A' + 'a');
        }
        if (c != word[i]) {
            return 0;
        }
    }
    return 1;
}

int findKey(const char* text, size_t length) {
    for (int i = 0; i < OPTION_KEYS; i++) {
        if (sameWord(text, length, optionKeys[i].key)) {
            return i;
        }
    }
    return -1;
}

// A whole number of at most two digits within 0..DESKTOP_SCALE_MAX, or "auto". -1: not a scale.
int32_t scaleValue(const char* text, size_t length) {
    if (sameWord(text, length, "auto")) {
        return DESKTOP_SCALE_AUTO;
    }
    if (length == 0 || length > 2) {
        return -1;
    }
    int32_t value = 0;
    for (size_t i = 0; i < length; i++) {
        if (text[i] < '0' || text[i] > '9') {
            return -1;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value <= DESKTOP_SCALE_MAX ? value : -1;
}

int32_t switchValue(const char* text, size_t length) {
    static const char* const ons[] = {"on", "yes", "true", "1"};
    static const char* const offs[] = {"off", "no", "false", "0"};
    for (int i = 0; i < 4; i++) {
        if (sameWord(text, length, ons[i])) {
            return 1;
        }
        if (sameWord(text, length, offs[i])) {
            return 0;
        }
    }
    return -1;
}

// A warning goes to the game's log and, since that log is hidden in a normal run, to the terminal.
void warn(const char* source, int lineNumber, const char* what, const char* text, size_t length) {
    int shown = length > 40 ? 40 : (int)length;
    logFormat(1, 0, "[WARNING] %s line %d: %s \"%.*s\"\n", source, lineNumber, what, shown, text);
    fprintf(stderr, "Plinkor: %s line %d: %s \"%.*s\"%s\n", source, lineNumber, what, shown, text,
            length > 40 ? "..." : "");
}

// Reads the whole file into a fresh buffer (0-terminated). Returns 1 with *text (free it), 0 when the
// file is missing, -1 when it cannot be read or is larger than the limit.
int readOptionsFile(const char* path, char** text, size_t* length) {
    *text = nullptr;
    *length = 0;
    // Opened as every data file is: a FIFO or device at the name must not stall the start.
    FILE* f = openDataFile(path, DESKTOP_FILE_LIMIT, nullptr);
    if (f == nullptr) {
        return errno == ENOENT ? 0 : -1;
    }
    char* buffer = (char*)malloc(DESKTOP_FILE_LIMIT + 1);
    if (buffer == nullptr) {
        fclose(f);
        return -1;
    }
    size_t count = fread(buffer, 1, DESKTOP_FILE_LIMIT + 1, f);
    int failed = ferror(f);
    fclose(f);
    if (failed || count > DESKTOP_FILE_LIMIT) {
        free(buffer);
        return -1;
    }
    buffer[count] = 0;
    *text = buffer;
    *length = count;
    return 1;
}

// The next line from `at`: its length without the line end, and where the one after starts.
size_t lineLength(const char* text, size_t length, size_t at, size_t* next) {
    const char* newline = (const char*)memchr(text + at, '\n', length - at);
    size_t end = newline != nullptr ? (size_t)(newline - text) : length;
    *next = newline != nullptr ? end + 1 : length;
    if (end > at && text[end - 1] == '\r') {
        end--;
    }
    return end - at;
}

size_t skipByteOrderMark(const char* text, size_t length) {
    return length >= 3 && (unsigned char)text[0] == 0xEF && (unsigned char)text[1] == 0xBB &&
                   (unsigned char)text[2] == 0xBF
               ? 3
               : 0;
}

void applyFlags(DesktopOptions* options) {
    for (int i = 0; i < OPTION_KEYS; i++) {
        int32_t value = flagValues.*optionKeys[i].field;
        if (value >= 0) {
            options->*optionKeys[i].field = value;
        }
    }
}

const char* programName(const char* argv0) {
    if (argv0 == nullptr || argv0[0] == 0) {
        return "plinkor";
    }
    const char* slash = strrchr(argv0, '/');
    return slash != nullptr ? slash + 1 : argv0;
}

void printHelp(const char* name) {
    printf("Usage: %s [options]\n\nOptions (each overrides Data/desktop.ini for this run):\n", name);
    for (int i = 0; i < FLAGS; i++) {
        char shown[32];
        snprintf(shown, sizeof(shown), "%s%s", flags[i].name, flags[i].value < 0 ? " N" : "");
        printf("  %-22s %s\n", shown, flags[i].help);
    }
    printf("  %-22s %s\n", "--record FILE", "record this session to FILE (every session goes to Custom/last.journal)");
    printf("  %-22s %s\n", "--replay FILE", "play a recorded session back in the window");
    printf("  %-22s %s\n", "  --headless", "replay as fast as it goes and print updates, score and state hash");
    printf("  %-22s %s\n", "  --force", "replay even when the data files differ from the recorded ones");
    printf("  %-22s %s\n", "--help", "show this text");
    printf("\nData/desktop.ini holds the same choices as \"key = value\" lines:\n"
           "  follow_pointer = off   pause_when_away = on   skip_intro = off\n"
           "  scale = auto           paddle_sound = on      fullscreen = off\n");
}

}  // namespace

void setDefaultDesktopOptions(DesktopOptions* options) {
    *options = DesktopOptions{0, 1, 0, DESKTOP_SCALE_AUTO, 1, 0};
}

int parseDesktopOptions(const char* text, size_t length, DesktopOptions* options, const char* source) {
    int warnings = 0;
    int lineNumber = 0;
    size_t at = skipByteOrderMark(text, length);
    while (at < length) {
        size_t next = 0;
        size_t n = lineLength(text, length, at, &next);
        const char* line = text + at;
        lineNumber++;
        at = next;
        LineParts parts = splitLine(line, n);
        if (parts.broken) {
            warn(source, lineNumber, "is not a \"key = value\" line, kept as it is:", line, n);
            warnings++;
            continue;
        }
        if (!parts.pair) {
            continue;
        }
        const char* key = line + parts.keyStart;
        size_t keyLength = parts.keyEnd - parts.keyStart;
        const char* value = line + parts.valueStart;
        size_t valueLength = parts.valueEnd - parts.valueStart;
        int index = findKey(key, keyLength);
        if (index < 0) {
            warn(source, lineNumber, "unknown key, kept as it is:", key, keyLength);
            warnings++;
            continue;
        }
        const OptionKey& option = optionKeys[index];
        int32_t parsed = option.kind == OPTION_SCALE ? scaleValue(value, valueLength) : switchValue(value, valueLength);
        if (parsed < 0) {
            warn(source, lineNumber,
                 option.kind == OPTION_SCALE ? "scale takes auto or a whole number 1 to 8, ignored:"
                                             : "this option takes on or off, ignored:",
                 value, valueLength);
            warnings++;
            continue;
        }
        options->*option.field = parsed;
    }
    return warnings;
}

int readDesktopFlags(int argc, char** argv) {
    const char* name = programName(argc > 0 ? argv[0] : nullptr);
    for (int i = 1; i < argc; i++) {
        const char* arg = argv[i];
        if (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0) {
            printHelp(name);
            return 0;
        }
        int known = 0;
        // The session journal's flags are read by its own parser; here they only pass.
        if (strcmp(arg, "--record") == 0 || strcmp(arg, "--replay") == 0) {
            if (i + 1 >= argc) {
                fprintf(stderr, "%s: %s needs a file name\n", name, arg);
                return 2;
            }
            i++;
            continue;
        }
        if (strcmp(arg, "--headless") == 0 || strcmp(arg, "--force") == 0) {
            continue;
        }
        for (int f = 0; f < FLAGS && !known; f++) {
            size_t n = strlen(flags[f].name);
            if (strncmp(arg, flags[f].name, n) != 0) {
                continue;
            }
            if (flags[f].value >= 0) {
                if (arg[n] != 0) {
                    continue;
                }
                flagValues.*flags[f].field = flags[f].value;
                known = 1;
                continue;
            }
            // --scale N or --scale=N
            const char* number = nullptr;
            if (arg[n] == '=') {
                number = arg + n + 1;
            } else if (arg[n] == 0 && i + 1 < argc) {
                number = argv[++i];
            } else if (arg[n] != 0) {
                continue;
            }
            int32_t scale = number != nullptr ? scaleValue(number, strlen(number)) : -1;
            if (scale < 0) {
                fprintf(stderr, "%s: --scale needs a whole number from 1 to 8 (0 or auto: fit the desktop)%s%s%s\n",
                        name, number != nullptr ? ", not \"" : "", number != nullptr ? number : "",
                        number != nullptr ? "\"" : "");
                return 2;
            }
            flagValues.scale = scale;
            known = 1;
        }
        if (!known) {
            fprintf(stderr, "%s: unknown option \"%s\"\nTry \"%s --help\" for the options.\n", name, arg, name);
            return 2;
        }
    }
    return DESKTOP_FLAGS_RUN;
}

void clearDesktopFlags(void) {
    flagValues = DesktopOptions{-1, -1, -1, -1, -1, -1};
}

void desktopOptionsPath(char* out, size_t size) {
    if (snprintf(out, size, "%sdesktop.ini", runPaths.dataPath) >= (int)size) {
        out[0] = 0;
    }
}

void loadDesktopOptions(void) {
    setDefaultDesktopOptions(&desktopOptions);
    char path[320];
    desktopOptionsPath(path, sizeof(path));
    char* text = nullptr;
    size_t length = 0;
    int read = readOptionsFile(path, &text, &length);
    if (read > 0) {
        parseDesktopOptions(text, length, &desktopOptions, path);
        free(text);
    } else if (read < 0) {
        logFormat(1, 0, "[WARNING] %s is unreadable or over 1 MiB: defaults used\n", path);
        fprintf(stderr, "Plinkor: %s is unreadable or over 1 MiB: the defaults are used\n", path);
    }
    applyFlags(&desktopOptions);
}

int rememberDesktopScale(int32_t scale) {
    if (scale < 0 || scale > DESKTOP_SCALE_MAX) {
        return 0;
    }
    desktopOptions.scale = scale;
    char path[320];
    desktopOptionsPath(path, sizeof(path));
    char* text = nullptr;
    size_t length = 0;
    int read = readOptionsFile(path, &text, &length);
    if (read < 0) {
        // Rewriting what could not be read in full would lose the player's text.
        logFormat(1, 0, "[WARNING] %s not rewritten: unreadable or over 1 MiB\n", path);
        return 0;
    }
    char value[8];
    if (scale == DESKTOP_SCALE_AUTO) {
        snprintf(value, sizeof(value), "auto");
    } else {
        snprintf(value, sizeof(value), "%d", (int)scale);
    }
    // The last "scale" line is the one that counts when the file is read: its value is replaced in place.
    size_t at = skipByteOrderMark(text, length);
    int found = 0;
    size_t replaceStart = 0, replaceEnd = 0;
    int crlf = 0, sawLineEnd = 0;
    while (at < length) {
        size_t next = 0;
        size_t n = lineLength(text, length, at, &next);
        if (!sawLineEnd && next > at + n) {
            sawLineEnd = 1;
            crlf = text[at + n] == '\r';
        }
        LineParts parts = splitLine(text + at, n);
        if (parts.pair && sameWord(text + at + parts.keyStart, parts.keyEnd - parts.keyStart, "scale")) {
            found = 1;
            replaceStart = at + parts.valueStart;
            replaceEnd = at + parts.valueEnd;
        }
        at = next;
    }
    const char* newline = crlf ? "\r\n" : "\n";
    size_t capacity = length + 128;
    char* out = (char*)malloc(capacity);
    if (out == nullptr) {
        free(text);
        return 0;
    }
    size_t used = 0;
    if (found) {
        int spaceFirst = replaceStart == replaceEnd && replaceStart > 0 && text[replaceStart - 1] == '=';
        memcpy(out, text, replaceStart);
        used = replaceStart;
        used += (size_t)snprintf(out + used, capacity - used, "%s%s", spaceFirst ? " " : "", value);
        memcpy(out + used, text + replaceEnd, length - replaceEnd);
        used += length - replaceEnd;
    } else {
        if (length > 0) {
            memcpy(out, text, length);
            used = length;
            if (text[length - 1] != '\n') {
                used += (size_t)snprintf(out + used, capacity - used, "%s", newline);
            }
        } else {
            used += (size_t)snprintf(out, capacity, "# Plinkor desktop options: see README.md%s", newline);
        }
        used += (size_t)snprintf(out + used, capacity - used, "scale = %s%s", value, newline);
    }
    int saved = saveFileAtomically(path, out, used);
    if (!saved) {
        logFormat(1, 0, "[WARNING] Unable to save %s\n", path);
    }
    free(out);
    free(text);
    return saved;
}
