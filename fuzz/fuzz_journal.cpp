// Fuzz target: a journal file read, then replayed to its end through the backend's calls in a game-like
// order: reading it must refuse or take any bytes, and the replay must end (used up or out of step).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/journal.h"

static void fail(const char* what) {
    fprintf(stderr, "%s\n", what);
    abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static JournalContents contents;
    std::string error;
    if (!journalParse(data, size, &contents, &error)) {
        if (error.empty()) {
            fail("a journal was refused without a message");
        }
        return 0;
    }
    journalStartReplay(&contents, 1, 0);
    // Every call takes at most one event, so the events bound the passes; one more pass closes.
    size_t limit = contents.events.size() + 2;
    int64_t f = 0;
    PlatformMessage msg{0, 0, 0};
    int w = 0, h = 0;
    uint16_t c = 0;
    size_t pass = 0;
    for (; pass < limit && !journalExhausted() && journalProblem().empty(); pass++) {
        switch (pass % 9) {
        case 0: journalCounterFrequency(1, &f); break;
        case 1: journalCounter(0); break;
        case 2: journalPeek(0, &msg); break;
        case 3: journalClientSize(&w, &h); break;
        case 4: journalToAscii(0, &c); break;
        case 5: journalMessageBox(1); break;
        case 6: journalAudioOpen(0); break;
        case 7: journalFindOtherInstance(0); break;
        default: journalCreateWindow(1); break;
        }
    }
    if (pass == limit && contents.events.size() > 0 && !journalExhausted() && journalProblem().empty()) {
        fail("the replay went on past its events");
    }
    journalStop();
    return 0;
}
