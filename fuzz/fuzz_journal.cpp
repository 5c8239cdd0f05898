// Fuzz target: a journal file read, then replayed to its end through the backend's calls in a game-like
// order: reading it must refuse or take any bytes, and the replay must end (used up or out of step). The
// game's state a continued journal holds is read as well: refused with a message, or taken and stored
// again as it was read.
#include <string>

#include "fuzzkit.h"
#include "platform/journal.h"
#include "shell/replaystate.h"

const int fuzzSetUpParts = FUZZ_FOLDER;

// Replays the journal through the backend's calls until it is used up or out of step.
static void replayToEnd(const JournalContents& contents) {
    journalStartReplay(&contents, 1, 0);
    // Every call takes at most one event, so the events bound the passes; one more pass closes.
    const std::vector<uint8_t>& source = contents.header.prelude.empty() ? contents.events : contents.header.prelude;
    size_t limit = source.size() + 2;
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
    if (pass == limit && source.size() > 0 && !journalExhausted() && journalProblem().empty()) {
        fuzzFail("the replay went on past its events");
    }
    journalStop();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static JournalContents contents;
    std::string error;
    if (!journalParse(data, size, &contents, &error)) {
        if (error.empty()) {
            fuzzFail("a journal was refused without a message");
        }
        return 0;
    }
    if (!contents.header.state.empty()) {
        static GameSnapshot state, second;
        static std::vector<uint8_t> again, third;
        const std::vector<uint8_t>& bytes = contents.header.state;
        if (!readGameSnapshot(bytes.data(), bytes.size(), &state, &error)) {
            if (error.empty()) {
                fuzzFail("a game state was refused without a message");
            }
        } else {
            // What is accepted is stored again as it reads: written, read back and written once more,
            // the bytes stay the same.
            writeGameSnapshot(state, &again);
            if (!readGameSnapshot(again.data(), again.size(), &second, &error)) {
                fuzzFail("a game state written back is refused");
            }
            writeGameSnapshot(second, &third);
            if (third != again) {
                fuzzFail("a game state written back reads differently");
            }
        }
    }
    // A continued journal answers from its prelude first; then, as after its state is put back, from
    // its events.
    replayToEnd(contents);
    if (!contents.header.prelude.empty()) {
        contents.header.prelude.clear();
        replayToEnd(contents);
    }
    return 0;
}
