// The session journal: recording the platform's answers to a compressed file, and answering from one.
#include "platform/journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#ifndef PLINKOR_VERSION
#define PLINKOR_VERSION "0"
#endif

namespace {

enum {
    EV_COUNTER = 1,       // zigzag delta from the previous reading
    EV_FREQUENCY = 2,     // result, then ticks a second when result is 1
    EV_PEEK_EMPTY = 3,
    EV_PEEK = 4,          // message, wParam, lParam
    EV_CLIENT_SIZE = 5,   // width, height (zigzag)
    EV_TO_ASCII = 6,      // result, then the character when result is 1
    EV_MESSAGE_BOX = 7,   // result
    EV_AUDIO_OPEN = 8,    // result
    EV_INSTANCE = 9,      // result
    EV_WINDOW = 10,       // result
    EV_END = 11,          // the session ended cleanly
    EV_SOUND_TIME = 12,   // a reading right after a later frequency call (as EV_COUNTER)
    EV_STICK = 13,        // a gamepad stick reading: x, y (zigzag)
    EV_KINDS = 14,
};

const char* const eventNames[EV_KINDS] = {
    "?", "a counter reading", "the counter frequency", "a message (queue empty)", "a message", "the client size",
    "a key translation", "a message box's answer", "the sound device", "the instance check", "the window",
    "the end of the session", "a counter reading", "the gamepad stick"};

const uint8_t magic[4] = {'P', 'L', 'K', 'J'};

// Bytes gathered before they go through the compressor, and how often the file is flushed.
enum { PENDING_LIMIT = 16384, OUT_CHUNK = 16384, FLUSH_EVENTS = 4096 };
// A start-up takes a few hundred bytes of events; a recording whose game never says its loop began
// stops keeping them here rather than keep the whole session in memory.
enum { PRELUDE_LIMIT = 1 << 16 };

struct JournalState {
    int mode = JOURNAL_OFF;
    int headless = 0;
    int realSpeed = 0;
    // Recording.
    FILE* file = nullptr;
    std::string deferredPath;  // opened once the game's window exists (a second copy writes nothing)
    z_stream zs;
    std::vector<uint8_t> pending;
    uint8_t out[OUT_CHUNK];
    int64_t sinceFlush = 0;
    int64_t bytesWritten = 0;
    bool failed = false;
    std::vector<uint8_t> prelude;  // the start-up's events, kept while keepPrelude
    bool keepPrelude = false;
    size_t headerLeft = 0;        // header bytes at the front of pending (they are not events)
    int64_t fileFirstCounter = -1; // the current file's first counter reading, -1 before it
    // Replaying.
    const JournalContents* contents = nullptr;
    const std::vector<uint8_t>* source = nullptr;  // the prelude, then the events
    size_t pos = 0;
    bool exhausted = false;
    bool closeSent = false;
    std::string problem;
    bool paced = false;
    bool soundTime = false;  // the next reading follows a frequency call (recording and replaying)
    int64_t firstCounter = 0;
    int64_t frequency = 0;
    std::chrono::steady_clock::time_point realStart;
    // Both.
    int64_t lastCounter = 0;
    int64_t lastFlush = 0;  // counter reading at the last flush while recording
    int64_t events = 0;
};

JournalState journal;
std::atomic<int64_t> replayedCounter{0};
thread_local bool journaledThread = false;

// ---- Encoding ----

void putVarint(std::vector<uint8_t>& out, uint64_t v) {
    while (v >= 0x80) {
        out.push_back((uint8_t)(v | 0x80));
        v >>= 7;
    }
    out.push_back((uint8_t)v);
}

uint64_t zigzag(int64_t v) {
    return ((uint64_t)v << 1) ^ (uint64_t)(v >> 63);
}

int64_t unzigzag(uint64_t v) {
    return (int64_t)(v >> 1) ^ -(int64_t)(v & 1);
}

void putString(std::vector<uint8_t>& out, const std::string& s) {
    putVarint(out, s.size());
    out.insert(out.end(), s.begin(), s.end());
}

// A bounds-checked reader over inflated bytes.
struct Reader {
    const uint8_t* data;
    size_t size;
    size_t pos;
    bool bad;
};

uint64_t getVarint(Reader& r) {
    uint64_t v = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        if (r.pos >= r.size) {
            r.bad = true;
            return 0;
        }
        uint8_t b = r.data[r.pos++];
        v |= (uint64_t)(b & 0x7F) << shift;
        if ((b & 0x80) == 0) {
            return v;
        }
    }
    r.bad = true;
    return 0;
}

std::string getString(Reader& r) {
    uint64_t n = getVarint(r);
    if (r.bad || n > r.size - r.pos) {
        r.bad = true;
        return std::string();
    }
    std::string s((const char*)r.data + r.pos, (size_t)n);
    r.pos += (size_t)n;
    return s;
}

// ---- Recording ----

void writeOut(int flush) {
    if (journal.file == nullptr) {
        return;
    }
    if (journal.keepPrelude) {
        journal.prelude.insert(journal.prelude.end(), journal.pending.begin() + (long)journal.headerLeft,
                               journal.pending.end());
        if (journal.prelude.size() > PRELUDE_LIMIT) {
            journal.keepPrelude = false;
            journal.prelude.clear();
            journal.prelude.shrink_to_fit();
        }
    }
    journal.headerLeft = 0;
    journal.zs.next_in = journal.pending.data();
    journal.zs.avail_in = (uInt)journal.pending.size();
    do {
        journal.zs.next_out = journal.out;
        journal.zs.avail_out = OUT_CHUNK;
        deflate(&journal.zs, flush);
        size_t have = OUT_CHUNK - journal.zs.avail_out;
        if (have > 0 && !journal.failed) {
            if (fwrite(journal.out, 1, have, journal.file) != have) {
                // A full disk must not stop the game: the journal just ends here.
                journal.failed = true;
            }
            journal.bytesWritten += (int64_t)have;
        }
    } while (journal.zs.avail_out == 0);
    journal.pending.clear();
    if (flush != Z_NO_FLUSH) {
        fflush(journal.file);
    }
}

void recordEvent(void) {
    journal.events++;
    journal.sinceFlush++;
    if (journal.sinceFlush >= FLUSH_EVENTS) {
        journal.sinceFlush = 0;
        writeOut(Z_SYNC_FLUSH);
    } else if (journal.pending.size() >= PENDING_LIMIT) {
        writeOut(Z_NO_FLUSH);
    }
}

thread_local bool ignoring = false;

bool recording(void) {
    return journal.mode == JOURNAL_RECORD && journaledThread && !ignoring;
}

bool replaying(void) {
    return journal.mode == JOURNAL_REPLAY && journaledThread && !ignoring;
}

// ---- Replaying ----

// Takes the next event when it is of kind `kind`; otherwise the replay is out of step (or used up) and
// the game is asked to close. Returns a reader positioned after the tag, or one marked bad.
Reader nextEvent(int kind) {
    const std::vector<uint8_t>& events = *journal.source;
    Reader r{events.data(), events.size(), journal.pos, false};
    if (journal.exhausted || !journal.problem.empty()) {
        r.bad = true;
        return r;
    }
    if (r.pos >= r.size || events[r.pos] == EV_END) {
        journal.exhausted = true;
        r.bad = true;
        return r;
    }
    int tag = events[r.pos];
    // After start-up the frequency and the reading after it only place a starting sound in the output:
    // how often the game asks depends on how far the sound device has played, which a replay without
    // one cannot repeat. Such pairs the game does not ask for are passed over.
    while (tag == EV_FREQUENCY && kind != EV_FREQUENCY && journal.frequency > 0) {
        Reader skip{events.data(), events.size(), r.pos + 1, false};
        if (getVarint(skip) == 1) {
            getVarint(skip);
        }
        if (skip.pos < skip.size && events[skip.pos] == EV_SOUND_TIME) {
            skip.pos++;
            getVarint(skip);
        }
        r.pos = journal.pos = skip.pos;
        if (r.pos >= r.size || events[r.pos] == EV_END) {
            journal.exhausted = true;
            r.bad = true;
            return r;
        }
        tag = events[r.pos];
    }
    if (tag != kind) {
        char text[200];
        snprintf(text, sizeof(text), "out of step after %lld events: the game asked for %s where the journal holds %s",
                 (long long)journal.events, eventNames[kind], tag < EV_KINDS ? eventNames[tag] : "?");
        journal.problem = text;
        r.bad = true;
        return r;
    }
    r.pos++;
    return r;
}

void consumed(const Reader& r) {
    journal.pos = r.pos;
    journal.events++;
}

// Waits until the real time since the first reading has caught up with the recorded time.
void pace(int64_t value) {
    if (!journal.paced) {
        journal.paced = true;
        journal.firstCounter = value;
        journal.realStart = std::chrono::steady_clock::now();
        return;
    }
    if (journal.frequency <= 0) {
        return;
    }
    int64_t ticks = value - journal.firstCounter;
    auto due = journal.realStart + std::chrono::microseconds(ticks / journal.frequency * 1000000 +
                                                              ticks % journal.frequency * 1000000 / journal.frequency);
    auto now = std::chrono::steady_clock::now();
    if (due > now) {
        // A long pause (the recorded program was suspended) is shortened to a second.
        if (due - now > std::chrono::seconds(1)) {
            journal.realStart -= (due - now) - std::chrono::seconds(1);
            due = now + std::chrono::seconds(1);
        }
        std::this_thread::sleep_until(due);
    }
}

// Checks the whole event stream; returns the length of its whole events, or -1 with *error set when
// an event is malformed (for a complete journal: anything short).
long long checkEvents(const uint8_t* data, size_t size, bool complete, std::string* error) {
    Reader r{data, size, 0, false};
    size_t whole = 0;
    bool ended = false;
    while (r.pos < r.size) {
        int tag = data[r.pos++];
        switch (tag) {
        case EV_COUNTER:
        case EV_SOUND_TIME:
        case EV_MESSAGE_BOX:
        case EV_AUDIO_OPEN:
        case EV_INSTANCE:
        case EV_WINDOW:
            getVarint(r);
            break;
        case EV_FREQUENCY:
        case EV_TO_ASCII:
            if (getVarint(r) == 1) {
                getVarint(r);
            }
            break;
        case EV_PEEK_EMPTY:
            break;
        case EV_PEEK:
            getVarint(r);
            getVarint(r);
            getVarint(r);
            break;
        case EV_CLIENT_SIZE:
        case EV_STICK:
            getVarint(r);
            getVarint(r);
            break;
        case EV_END:
            ended = true;
            break;
        default:
            *error = "the journal is damaged: unknown event " + std::to_string(tag) + " after " +
                     std::to_string(whole) + " bytes of events";
            return -1;
        }
        if (r.bad) {
            break;
        }
        whole = r.pos;
        if (ended) {
            break;
        }
    }
    if (complete && (!ended || r.bad || whole != size)) {
        *error = "the journal is damaged: its events do not end where its stream does";
        return -1;
    }
    return (long long)whole;
}

}  // namespace

const char* journalGameVersion(void) {
    return PLINKOR_VERSION;
}

int journalHashFile(const char* path, uint64_t* size, uint32_t* crc) {
    // Only regular files are hashed, and the open never waits: a FIFO in the data folder must not
    // stall the start (the game's own loaders refuse it the same way).
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return 0;
    }
    FILE* f = fdopen(fd, "rb");
    if (f == nullptr) {
        close(fd);
        return 0;
    }
    uLong c = crc32(0L, Z_NULL, 0);
    uint64_t total = 0;
    static uint8_t buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), f)) > 0) {
        c = crc32(c, buffer, (uInt)n);
        total += n;
    }
    bool ok = !ferror(f);
    fclose(f);
    *size = total;
    *crc = (uint32_t)c;
    return ok ? 1 : 0;
}

// The header as format 2 writes it; every field has a length or a count in front.
static void putHeader(std::vector<uint8_t>& p, const JournalHeader& header) {
    putString(p, header.gameVersion);
    putVarint(p, (uint64_t)header.fullscreen);
    putVarint(p, header.dataFiles.size());
    for (const JournalDataFile& d : header.dataFiles) {
        putString(p, d.name);
        putVarint(p, d.size);
        putVarint(p, d.crc);
    }
    putVarint(p, header.snapshot.size());
    for (const JournalSnapshotFile& s : header.snapshot) {
        putString(p, s.name);
        putVarint(p, s.bytes.size());
        p.insert(p.end(), s.bytes.begin(), s.bytes.end());
    }
    putVarint(p, header.desktop.size());
    for (int32_t v : header.desktop) {
        putVarint(p, zigzag(v));
    }
    putVarint(p, header.prelude.size());
    p.insert(p.end(), header.prelude.begin(), header.prelude.end());
    putVarint(p, header.state.size());
    p.insert(p.end(), header.state.begin(), header.state.end());
    putVarint(p, zigzag(header.counterBase));
}

static int openJournalFile(const char* path, std::string* error) {
    FILE* f = fopen(path, "wb");
    if (f == nullptr) {
        *error = std::string("cannot write the journal ") + path + ": " + strerror(errno);
        return 0;
    }
    uint8_t start[6] = {magic[0], magic[1], magic[2], magic[3], (uint8_t)(JOURNAL_FORMAT & 0xFF),
                        (uint8_t)(JOURNAL_FORMAT >> 8)};
    fwrite(start, 1, sizeof(start), f);
    journal.file = f;
    journal.bytesWritten = sizeof(start);
    return 1;
}

int journalStartRecording(const char* path, const JournalHeader& header, int whenWindowOpens,
                          std::string* error) {
    journalStop();
    journal = JournalState();
    memset(&journal.zs, 0, sizeof(journal.zs));
    if (deflateInit(&journal.zs, 6) != Z_OK) {
        *error = "cannot start the compressor";
        return 0;
    }
    if (whenWindowOpens) {
        journal.deferredPath = path;
    } else if (!openJournalFile(path, error)) {
        deflateEnd(&journal.zs);
        return 0;
    }
    journal.pending.reserve(PENDING_LIMIT * 2);
    putHeader(journal.pending, header);
    journal.headerLeft = journal.pending.size();
    writeOut(Z_SYNC_FLUSH);
    journal.keepPrelude = true;
    journal.mode = JOURNAL_RECORD;
    journaledThread = true;
    return 1;
}

void journalEndPrelude(void) {
    if (journal.mode != JOURNAL_RECORD || !journal.keepPrelude) {
        return;
    }
    journal.prelude.insert(journal.prelude.end(), journal.pending.begin() + (long)journal.headerLeft,
                           journal.pending.end());
    journal.keepPrelude = false;
}

const std::vector<uint8_t>& journalPrelude(void) {
    return journal.prelude;
}

int64_t journalSpanTicks(void) {
    if (journal.mode != JOURNAL_RECORD || journal.fileFirstCounter < 0) {
        return 0;
    }
    return journal.lastCounter - journal.fileFirstCounter;
}

int64_t journalTicksPerSecond(void) {
    return journal.frequency;
}

int journalRestart(const char* path, const JournalHeader& header, std::string* error) {
    if (journal.mode != JOURNAL_RECORD || journal.file == nullptr) {
        *error = "no journal is being written";
        return 0;
    }
    std::string fresh = std::string(path) + ".tmp";
    FILE* f = fopen(fresh.c_str(), "wb");
    if (f == nullptr) {
        *error = "cannot write the journal " + fresh + ": " + strerror(errno);
        return 0;
    }
    // The old file is finished as it stands: the new one holds everything from here on.
    journal.pending.push_back(EV_END);
    writeOut(Z_FINISH);
    deflateEnd(&journal.zs);
    fclose(journal.file);
    journal.file = nullptr;
    memset(&journal.zs, 0, sizeof(journal.zs));
    if (deflateInit(&journal.zs, 6) != Z_OK) {
        fclose(f);
        remove(fresh.c_str());
        journal.mode = JOURNAL_OFF;
        *error = "cannot start the compressor";
        return 0;
    }
    uint8_t start[6] = {magic[0], magic[1], magic[2], magic[3], (uint8_t)(JOURNAL_FORMAT & 0xFF),
                        (uint8_t)(JOURNAL_FORMAT >> 8)};
    fwrite(start, 1, sizeof(start), f);
    journal.file = f;
    journal.failed = false;
    journal.bytesWritten = sizeof(start);
    // The new file's counter deltas go on from the last reading, which its header holds; its span is
    // measured from its own first reading.
    JournalHeader continued = header;
    continued.counterBase = journal.lastCounter;
    journal.fileFirstCounter = -1;
    journal.sinceFlush = 0;
    putHeader(journal.pending, continued);
    journal.headerLeft = 0;
    writeOut(Z_SYNC_FLUSH);
    if (journal.failed || rename(fresh.c_str(), path) != 0) {
        *error = "cannot put the new journal in place of " + std::string(path);
        return 0;
    }
    return 1;
}

static void closeRecording(bool clean) {
    if (journal.mode != JOURNAL_RECORD) {
        return;
    }
    if (clean) {
        journal.pending.push_back(EV_END);
        writeOut(Z_FINISH);
    } else {
        writeOut(Z_SYNC_FLUSH);
    }
    deflateEnd(&journal.zs);
    if (journal.file != nullptr) {
        fclose(journal.file);
    }
    journal.file = nullptr;
    journal.mode = JOURNAL_OFF;
}

void journalFinish(void) {
    closeRecording(true);
}

void journalAbandon(void) {
    closeRecording(false);
}

int journalParse(const uint8_t* bytes, size_t size, JournalContents* out, std::string* error) {
    *out = JournalContents();
    if (size < 6 || memcmp(bytes, magic, 4) != 0) {
        *error = "not a Plinkor journal";
        return 0;
    }
    int format = bytes[4] | bytes[5] << 8;
    if (format < JOURNAL_FORMAT_OLDEST || format > JOURNAL_FORMAT) {
        *error = "the journal is of format " + std::to_string(format) + "; this game reads formats " +
                 std::to_string(JOURNAL_FORMAT_OLDEST) + " to " + std::to_string(JOURNAL_FORMAT);
        return 0;
    }
    z_stream zs;
    memset(&zs, 0, sizeof(zs));
    if (inflateInit(&zs) != Z_OK) {
        *error = "cannot start the decompressor";
        return 0;
    }
    std::vector<uint8_t> plain;
    plain.resize(65536);
    zs.next_in = const_cast<uint8_t*>(bytes + 6);
    zs.avail_in = (uInt)(size - 6);
    size_t have = 0;
    int status = Z_OK;
    while (true) {
        if (have == plain.size()) {
            if (plain.size() >= JOURNAL_MAX_BYTES) {
                inflateEnd(&zs);
                *error = "the journal is damaged: it inflates past " + std::to_string(JOURNAL_MAX_BYTES >> 20) + " MB";
                return 0;
            }
            plain.resize(plain.size() * 2);
        }
        zs.next_out = plain.data() + have;
        zs.avail_out = (uInt)(plain.size() - have);
        status = inflate(&zs, Z_NO_FLUSH);
        have = plain.size() - zs.avail_out;
        if (status == Z_STREAM_END) {
            break;
        }
        if (status == Z_BUF_ERROR && zs.avail_in == 0) {
            break;  // the file stops here
        }
        if (status != Z_OK && status != Z_BUF_ERROR) {
            inflateEnd(&zs);
            *error = "the journal is damaged: its compressed data is broken after " + std::to_string(have) + " bytes";
            return 0;
        }
        if (zs.avail_in == 0 && zs.avail_out != 0) {
            break;
        }
    }
    bool streamEnded = status == Z_STREAM_END;
    bool trailing = streamEnded && zs.avail_in != 0;
    inflateEnd(&zs);
    if (trailing) {
        *error = "the journal is damaged: bytes follow its end";
        return 0;
    }
    plain.resize(have);

    Reader r{plain.data(), plain.size(), 0, false};
    JournalHeader& h = out->header;
    h.gameVersion = getString(r);
    h.fullscreen = (int32_t)(getVarint(r) & 1);
    uint64_t count = getVarint(r);
    for (uint64_t i = 0; i < count && !r.bad; i++) {
        JournalDataFile d;
        d.name = getString(r);
        d.size = getVarint(r);
        d.crc = (uint32_t)getVarint(r);
        h.dataFiles.push_back(d);
    }
    count = r.bad ? 0 : getVarint(r);
    for (uint64_t i = 0; i < count && !r.bad; i++) {
        JournalSnapshotFile s;
        s.name = getString(r);
        uint64_t n = getVarint(r);
        if (r.bad || n > r.size - r.pos) {
            r.bad = true;
            break;
        }
        s.bytes.assign(plain.begin() + (long)r.pos, plain.begin() + (long)(r.pos + n));
        r.pos += (size_t)n;
        h.snapshot.push_back(s);
    }
    if (format >= 2 && !r.bad) {
        count = getVarint(r);
        // The desktop record has six values; a later game may add a few, never hundreds.
        if (count > 64) {
            r.bad = true;
        }
        for (uint64_t i = 0; i < count && !r.bad; i++) {
            h.desktop.push_back((int32_t)unzigzag(getVarint(r)));
        }
        for (std::vector<uint8_t>* block : {&h.prelude, &h.state}) {
            uint64_t n = r.bad ? 0 : getVarint(r);
            if (r.bad || n > r.size - r.pos) {
                r.bad = true;
                break;
            }
            block->assign(plain.begin() + (long)r.pos, plain.begin() + (long)(r.pos + n));
            r.pos += (size_t)n;
        }
        h.counterBase = r.bad ? 0 : unzigzag(getVarint(r));
    }
    if (r.bad) {
        *error = streamEnded ? "the journal is damaged: its header is broken"
                             : "the journal is cut short: it ends inside its header";
        return 0;
    }
    for (const JournalSnapshotFile& s : h.snapshot) {
        // Snapshot names become files in the replay's folder: plain relative names only.
        if (s.name.empty() || s.name[0] == '/' || s.name.find("..") != std::string::npos ||
            s.name.find('\0') != std::string::npos) {
            *error = "the journal is damaged: a stored file has the name \"" + s.name + "\"";
            return 0;
        }
    }
    if (!h.prelude.empty() || !h.state.empty()) {
        std::string ignored;
        if (h.prelude.empty() || h.state.empty() ||
            checkEvents(h.prelude.data(), h.prelude.size(), false, &ignored) != (long long)h.prelude.size()) {
            *error = "the journal is damaged: the start-up it continues from is broken";
            return 0;
        }
    }
    long long whole = checkEvents(plain.data() + r.pos, plain.size() - r.pos, streamEnded, error);
    if (whole < 0) {
        return 0;
    }
    out->events.assign(plain.begin() + (long)r.pos, plain.begin() + (long)(r.pos + (size_t)whole));
    out->complete = streamEnded ? 1 : 0;
    return 1;
}

int journalLoad(const char* path, JournalContents* out, std::string* error) {
    FILE* f = fopen(path, "rb");
    if (f == nullptr) {
        *error = std::string("cannot open ") + path + ": " + strerror(errno);
        return 0;
    }
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), f)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + n);
        if (bytes.size() > JOURNAL_MAX_BYTES) {
            fclose(f);
            *error = std::string(path) + " is too large to be a journal";
            return 0;
        }
    }
    fclose(f);
    if (!journalParse(bytes.data(), bytes.size(), out, error)) {
        *error = std::string(path) + ": " + *error;
        return 0;
    }
    return 1;
}

void journalStartReplay(const JournalContents* contents, int headless, int realSpeed) {
    journalStop();
    journal = JournalState();
    journal.mode = JOURNAL_REPLAY;
    journal.contents = contents;
    journal.source = contents->header.prelude.empty() ? &contents->events : &contents->header.prelude;
    journal.headless = headless;
    journal.realSpeed = realSpeed;
    journaledThread = true;
}

void journalContinue(void) {
    if (journal.mode != JOURNAL_REPLAY || journal.source == &journal.contents->events) {
        return;
    }
    if ((journal.exhausted || journal.pos != journal.source->size()) && journal.problem.empty()) {
        journal.problem = "out of step: the game's start-up did not take the answers the journal holds for it";
    }
    journal.source = &journal.contents->events;
    journal.pos = 0;
    // The events' counter deltas go on from the reading the header holds, the pace from their first.
    journal.lastCounter = journal.contents->header.counterBase;
    journal.paced = false;
}

void journalStop(void) {
    if (journal.mode == JOURNAL_RECORD) {
        journalFinish();
    }
    journal.mode = JOURNAL_OFF;
    journal.contents = nullptr;
}

void journalIgnore(int on) {
    ignoring = on != 0;
}

int journalMode(void) {
    return journal.mode;
}
int journalReplaying(void) {
    return replaying() ? 1 : 0;
}
int journalHeadless(void) {
    return replaying() && journal.headless ? 1 : 0;
}
int journalExhausted(void) {
    return journal.exhausted ? 1 : 0;
}
const std::string& journalProblem(void) {
    return journal.problem;
}
int64_t journalEventCount(void) {
    return journal.events;
}
int64_t journalBytesWritten(void) {
    return journal.bytesWritten;
}

// ---- Hooks ----

int64_t journalCounter(int64_t real) {
    if (journal.mode == JOURNAL_OFF) {
        return real;
    }
    if (!journaledThread) {
        return journal.mode == JOURNAL_REPLAY ? replayedCounter.load(std::memory_order_relaxed) : real;
    }
    if (journal.mode == JOURNAL_RECORD) {
        if (journal.fileFirstCounter < 0) {
            journal.fileFirstCounter = real;
        }
        journal.pending.push_back(journal.soundTime ? EV_SOUND_TIME : EV_COUNTER);
        journal.soundTime = false;
        putVarint(journal.pending, zigzag(real - journal.lastCounter));
        journal.lastCounter = real;
        // About once a second of game time the file is brought up to date.
        if (journal.frequency > 0 && real - journal.lastFlush > journal.frequency) {
            journal.lastFlush = real;
            journal.sinceFlush = FLUSH_EVENTS;
        }
        recordEvent();
        return real;
    }
    if (journal.soundTime) {
        // The frequency call before this one was not in the journal: nor is this reading.
        journal.soundTime = false;
        const std::vector<uint8_t>& held = *journal.source;
        if (journal.pos >= held.size() || held[journal.pos] != EV_SOUND_TIME) {
            return journal.lastCounter;
        }
    }
    const std::vector<uint8_t>& events = *journal.source;
    bool sound = journal.pos < events.size() && events[journal.pos] == EV_SOUND_TIME;
    Reader r = nextEvent(sound ? EV_SOUND_TIME : EV_COUNTER);
    if (!r.bad) {
        int64_t delta = unzigzag(getVarint(r));
        consumed(r);
        journal.lastCounter += delta;
        replayedCounter.store(journal.lastCounter, std::memory_order_relaxed);
        if (journal.realSpeed) {
            pace(journal.lastCounter);
        }
    }
    // Used up or out of step: time stands still while the game closes.
    return journal.lastCounter;
}

int journalCounterFrequency(int result, int64_t* ticksPerSecond) {
    if (recording()) {
        journal.pending.push_back(EV_FREQUENCY);
        putVarint(journal.pending, result ? 1 : 0);
        if (result) {
            putVarint(journal.pending, (uint64_t)*ticksPerSecond);
            journal.soundTime = journal.frequency > 0;
            journal.frequency = *ticksPerSecond;
        }
        recordEvent();
        return result;
    }
    if (!replaying()) {
        return result;
    }
    const std::vector<uint8_t>& events = *journal.source;
    bool held = journal.pos < events.size() && events[journal.pos] == EV_FREQUENCY;
    if (!held && journal.frequency > 0 && journal.problem.empty() && !journal.exhausted) {
        // A sound started that did not start in the recording (see nextEvent).
        *ticksPerSecond = journal.frequency;
        journal.soundTime = true;
        return 1;
    }
    Reader r = nextEvent(EV_FREQUENCY);
    if (r.bad) {
        return 0;
    }
    int ok = getVarint(r) == 1;
    if (ok) {
        *ticksPerSecond = (int64_t)getVarint(r);
        journal.soundTime = journal.frequency > 0;
        journal.frequency = *ticksPerSecond;
    }
    consumed(r);
    return ok;
}

int journalPeek(int result, PlatformMessage* msg) {
    if (recording()) {
        if (result) {
            journal.pending.push_back(EV_PEEK);
            putVarint(journal.pending, (uint32_t)msg->message);
            putVarint(journal.pending, msg->wParam);
            putVarint(journal.pending, (uint32_t)msg->lParam);
        } else {
            journal.pending.push_back(EV_PEEK_EMPTY);
        }
        recordEvent();
        return result;
    }
    if (!replaying()) {
        return result;
    }
    if (result && msg->message == MSG_CLOSE && journal.problem.empty() && !journal.exhausted) {
        journal.problem = "stopped by the viewer";
    }
    const std::vector<uint8_t>& events = *journal.source;
    bool full = journal.pos < events.size() && events[journal.pos] == EV_PEEK;
    Reader r = nextEvent(full ? EV_PEEK : EV_PEEK_EMPTY);
    if (r.bad) {
        // The game is asked to close once; after that the queue stays empty.
        if (!journal.closeSent) {
            journal.closeSent = true;
            *msg = PlatformMessage{MSG_CLOSE, 0, 0};
            return 1;
        }
        return 0;
    }
    if (full) {
        msg->message = (int32_t)(uint32_t)getVarint(r);
        msg->wParam = (uint32_t)getVarint(r);
        msg->lParam = (int32_t)(uint32_t)getVarint(r);
    }
    consumed(r);
    return full ? 1 : 0;
}

void journalClientSize(int* width, int* height) {
    if (recording()) {
        journal.pending.push_back(EV_CLIENT_SIZE);
        putVarint(journal.pending, zigzag(*width));
        putVarint(journal.pending, zigzag(*height));
        recordEvent();
        return;
    }
    if (!replaying()) {
        return;
    }
    Reader r = nextEvent(EV_CLIENT_SIZE);
    if (r.bad) {
        return;
    }
    *width = (int)unzigzag(getVarint(r));
    *height = (int)unzigzag(getVarint(r));
    consumed(r);
}

void journalStick(int* x, int* y) {
    if (recording()) {
        journal.pending.push_back(EV_STICK);
        putVarint(journal.pending, zigzag(*x));
        putVarint(journal.pending, zigzag(*y));
        recordEvent();
        return;
    }
    if (!replaying()) {
        return;
    }
    Reader r = nextEvent(EV_STICK);
    if (r.bad) {
        *x = 0;
        *y = 0;
        return;
    }
    *x = (int)unzigzag(getVarint(r));
    *y = (int)unzigzag(getVarint(r));
    consumed(r);
}

int journalToAscii(int result, uint16_t* out) {
    if (recording()) {
        journal.pending.push_back(EV_TO_ASCII);
        putVarint(journal.pending, result ? 1 : 0);
        if (result) {
            putVarint(journal.pending, *out);
        }
        recordEvent();
        return result;
    }
    if (!replaying()) {
        return result;
    }
    Reader r = nextEvent(EV_TO_ASCII);
    if (r.bad) {
        return 0;
    }
    int ok = getVarint(r) == 1;
    if (ok) {
        *out = (uint16_t)getVarint(r);
    }
    consumed(r);
    return ok;
}

// The calls answered with one small number.
static int plainAnswer(int kind, int result) {
    if (recording()) {
        journal.pending.push_back((uint8_t)kind);
        putVarint(journal.pending, zigzag(result));
        recordEvent();
        return result;
    }
    if (!replaying()) {
        return result;
    }
    Reader r = nextEvent(kind);
    if (r.bad) {
        return result;
    }
    int answer = (int)unzigzag(getVarint(r));
    consumed(r);
    return answer;
}

int journalMessageBox(int result) {
    return plainAnswer(EV_MESSAGE_BOX, result);
}
int journalAudioOpen(int result) {
    return plainAnswer(EV_AUDIO_OPEN, result);
}
int journalFindOtherInstance(int result) {
    return plainAnswer(EV_INSTANCE, result);
}
int journalCreateWindow(int result) {
    if (recording() && result == 1 && journal.file == nullptr && !journal.deferredPath.empty()) {
        std::string ignored;
        openJournalFile(journal.deferredPath.c_str(), &ignored);
    }
    return plainAnswer(EV_WINDOW, result);
}
