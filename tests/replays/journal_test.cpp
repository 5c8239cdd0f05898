// The journal file: answers come back in order, compactly stored; damaged or foreign files, data
// that differs from the recording's and broken game states are refused with a message.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/journal.h"
#include "shell/replay.h"
#include "shell/replaystate.h"
#include "support/testutil.h"

namespace {

JournalHeader smallHeader(void) {
    JournalHeader h;
    h.gameVersion = "9.9";
    h.fullscreen = 1;
    h.dataFiles = {{"Data/bg.png", 1234, 0xCAFEF00Du}, {"Sound/doh.raw", 5, 7}};
    h.snapshot = {{"Data/settings.dat", {1, 2, 3, 4}}, {"Data/level0.dat", {}}};
    h.desktop = {1, 0, 1, 3, 0, -5};
    return h;
}

// One call of every kind, with the system's answers the recording saw.
void recordEveryKind(void) {
    int64_t f = 1000000;
    EXPECT_EQ(journalCounterFrequency(1, &f), 1);
    for (int64_t t : {5000000000ll, 5000016667ll, 4999999000ll}) {
        EXPECT_EQ(journalCounter(t), t);
    }
    PlatformMessage m{MSG_MOUSEMOVE, 1, (int32_t)0xFFFF00F0};
    EXPECT_EQ(journalPeek(1, &m), 1);
    EXPECT_EQ(journalPeek(0, &m), 0);
    int w = 480, h = 640;
    journalClientSize(&w, &h);
    uint16_t c = 'a';
    EXPECT_EQ(journalToAscii(1, &c), 1);
    EXPECT_EQ(journalToAscii(0, &c), 0);
    EXPECT_EQ((Ints{journalMessageBox(MB_RESULT_RETRY), journalAudioOpen(AUDIO_BUSY), journalFindOtherInstance(0),
                    journalCreateWindow(1)}),
              (Ints{MB_RESULT_RETRY, AUDIO_BUSY, 0, 1}));
}

// The bytes of a journal recorded with `calls`, through a file of this process's own.
std::vector<uint8_t> recordedBytes(void (*calls)(void), const JournalHeader& header = smallHeader()) {
    std::string error, path = "/tmp/plinkor-journal-test-" + std::to_string(getpid());
    EXPECT_EQ(journalStartRecording(path.c_str(), header, 0, &error), 1) << error;
    calls();
    journalFinish();
    std::vector<uint8_t> bytes = readFileBytes(path);
    std::remove(path.c_str());
    return bytes;
}

// Whatever the system says now, the replay answers as recorded; a game asking for something else is out
// of step.
TEST(Journal, EveryAnswerComesBackInTheOrderItWasGiven) {
    std::vector<uint8_t> bytes = recordedBytes(recordEveryKind);
    JournalContents contents;
    std::string error;
    ASSERT_EQ(journalParse(bytes.data(), bytes.size(), &contents, &error), 1) << error;
    EXPECT_EQ(contents.complete, 1);
    const JournalHeader& h = contents.header;
    EXPECT_EQ(h.gameVersion + " " + std::to_string(h.fullscreen), "9.9 1");
    ASSERT_EQ(h.dataFiles.size(), 2u);
    EXPECT_EQ((Ints{(int)h.dataFiles[0].size, (int)h.dataFiles[0].crc}), (Ints{1234, (int)0xCAFEF00Du}));
    EXPECT_EQ(h.dataFiles[0].name, "Data/bg.png");
    ASSERT_EQ(h.snapshot.size(), 2u);
    EXPECT_EQ(h.snapshot[0].bytes, (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_TRUE(h.snapshot[1].bytes.empty());
    EXPECT_EQ(h.desktop, (std::vector<int32_t>{1, 0, 1, 3, 0, -5}));

    // The system now says something else every time; the journal's answers win.
    journalStartReplay(&contents, 1, 0);
    int64_t f = 7;
    EXPECT_EQ(journalCounterFrequency(0, &f), 1);
    EXPECT_EQ(f, 1000000);
    for (int64_t t : {5000000000ll, 5000016667ll, 4999999000ll}) {
        EXPECT_EQ(journalCounter(1), t);
    }
    PlatformMessage m{MSG_KEYDOWN, 65, 0};
    EXPECT_EQ(journalPeek(1, &m), 1);
    EXPECT_EQ((Ints{(int)m.message, (int)m.wParam, m.lParam}), (Ints{MSG_MOUSEMOVE, 1, (int32_t)0xFFFF00F0}));
    EXPECT_EQ(journalPeek(1, &m), 0);
    int w = 1, height = 1;
    journalClientSize(&w, &height);
    uint16_t c = 'z';
    EXPECT_EQ(journalToAscii(0, &c), 1);
    EXPECT_EQ((Ints{w, height, c}), (Ints{480, 640, 'a'}));
    EXPECT_EQ(journalToAscii(1, &c), 0);
    EXPECT_EQ((Ints{journalMessageBox(MB_RESULT_OK), journalAudioOpen(AUDIO_OK), journalFindOtherInstance(1),
                    journalCreateWindow(0), journalExhausted()}),
              (Ints{MB_RESULT_RETRY, AUDIO_BUSY, 0, 1, 0}));
    EXPECT_EQ(journalProblem(), "");
    // Past the end the game is asked to close, once, and time stands still.
    EXPECT_EQ((Ints{journalPeek(0, &m), (int)m.message, journalPeek(0, &m), journalExhausted()}),
              (Ints{1, MSG_CLOSE, 0, 1}));
    EXPECT_EQ(journalCounter(99), 4999999000ll);
    journalStop();

    // A game asking for something else is out of step, and is asked to close.
    journalStartReplay(&contents, 1, 0);
    EXPECT_EQ(journalCounter(5), 0);
    EXPECT_EQ(journalProblem(),
              "out of step after 0 events: the game asked for a counter reading where the journal holds the counter "
              "frequency");
    EXPECT_EQ(journalPeek(0, &m), 1);
    EXPECT_EQ(m.message, MSG_CLOSE);
    journalStop();
}

// An hour of a quiet loop (a reading with some jitter and an empty queue per pass, 60 passes a second)
// in well under 100 kB.
TEST(Journal, AQuietHourTakesUnder100Kilobytes) {
    std::vector<uint8_t> bytes = recordedBytes(
        []() {
            int64_t f = 1000000;
            journalCounterFrequency(1, &f);
            PlatformMessage m;
            for (int64_t pass = 0; pass < 216000; pass++) {
                journalCounter(pass * 16667 + (pass * 7919) % 13);
                journalPeek(0, &m);
            }
        },
        JournalHeader());
    EXPECT_LT(bytes.size(), 100000u);  // about 40 kB; 880 kB when readings are stored whole
}

// Data files are hashed and player files stored; a changed data file is named, and the replay's folder
// holds the stored player files with links to the data, and goes away after.
TEST(ReplayFolder, DataFilesAreHashedAndPlayerFilesStoredAndADifferenceIsNamed) {
    ScratchFolder folder;
    const char* names[] = {"Data/bg.png", "Data/hint1.txt", "Sound/doh.raw", "Data/Plinkor2.dat",
                           "Data/desktop.ini", "Data/level12.dat", "Data/settings.dat"};
    for (uint8_t n = 0; n < 7; n++) {
        writeFileBytes(names[n], {n, n});
    }
    JournalHeader header;
    describeRunFolder(&header);
    std::string listed;
    for (const JournalDataFile& d : header.dataFiles) {
        listed += d.name + " ";
    }
    for (const JournalSnapshotFile& s : header.snapshot) {
        listed += "+" + s.name + " ";
    }
    EXPECT_EQ(listed, "Data/bg.png Data/hint1.txt Sound/doh.raw +Data/Plinkor2.dat +Data/desktop.ini "
                      "+Data/level12.dat +Data/settings.dat ");
    // Player files may change freely; data files may not.
    writeFileBytes("Data/settings.dat", {9});
    EXPECT_EQ(compareDataFiles(header), "");
    writeFileBytes("Data/hint1.txt", {5});
    EXPECT_EQ(compareDataFiles(header), "Data/hint1.txt differs from the one the session was recorded with");
    std::remove("Sound/doh.raw");
    writeFileBytes("Data/new.png", {1});
    EXPECT_EQ(compareDataFiles(header),
              "Data/hint1.txt differs from the one the session was recorded with (and 2 more files)");
    std::remove("Data/hint1.txt");
    std::remove("Data/new.png");
    EXPECT_EQ(compareDataFiles(header), "Data/hint1.txt is missing (and 1 more file)");

    std::string replayFolder, error, here = std::filesystem::current_path().string();
    ASSERT_EQ(enterReplayFolder(header, &replayFolder, &error), 1) << error;
    EXPECT_EQ(readFileBytes("Data/settings.dat"), (std::vector<uint8_t>{6, 6}));
    EXPECT_TRUE(std::filesystem::is_symlink("Data/bg.png"));
    leaveReplayFolder(replayFolder, here);
    EXPECT_FALSE(std::filesystem::exists(replayFolder));
    EXPECT_EQ(readFileBytes("Data/settings.dat"), (std::vector<uint8_t>{9}));
}

const std::string LEVEL_ONE = std::string(PLINKOR_SOURCE_DIR) + "/tests/replays/level1.journal";

// A replay refuses what it cannot trust before the game starts: exit code 2 with the reason, never a
// crash. Foreign or damaged files, data that differs, a continued journal's broken game state.
TEST(ReplayCommand, RefusesForeignDamagedAndDifferentJournalsWithExitCodeTwo) {
    ScratchFolder dir(false);
    std::vector<uint8_t> session = readFileBytes(LEVEL_ONE);
    JournalContents contents;
    std::string error;
    ASSERT_EQ(journalParse(session.data(), session.size(), &contents, &error), 1) << error;
    GameSnapshot state;
    takeGameSnapshot(&state);
    std::vector<uint8_t> atProgramStart, badDifficulty;
    writeGameSnapshot(state, &atProgramStart);
    state.currentMode = MODE_NEXT_LEVEL;
    state.ticksPerSecond = 1000000;
    state.updateStep = state.renderStep = 10000;
    state.game.difficulty = DIFFICULTY_COUNT + 1;
    writeGameSnapshot(state, &badDifficulty);
    std::vector<uint8_t> longer = atProgramStart, otherSize = atProgramStart;
    longer.push_back(0);
    otherSize.insert(otherSize.begin() + 40, 0x7F);
    // A journal continuing the recording from `state`; with no state, the recording's with one CRC changed.
    auto continued = [&](const std::vector<uint8_t>& state) {
        JournalHeader h = contents.header;
        h.dataFiles[0].crc ^= state.empty() ? 1 : 0;
        h.prelude = state.empty() ? std::vector<uint8_t>() : std::vector<uint8_t>{3};  // one empty queue
        h.state = state;
        return recordedBytes([]() {}, h);
    };
    JournalHeader sneaky = smallHeader();
    sneaky.snapshot[0].name = "Data/../../etc/x";
    std::vector<uint8_t> good = recordedBytes(recordEveryKind), garbage = good, damaged = good;
    garbage.push_back(0);
    damaged[damaged.size() / 2] ^= 0x55;
    const std::string broken = "the game's state it continues from is broken";
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;  // nothing for "none": no file
        std::string message;
    };
    const Case cases[] = {
        {"none", {}, "cannot open"},
        {"empty", {}, "not a Plinkor journal"},
        {"other magic", {'P', 'N', 'G', 'J', 1, 0, 0}, "not a Plinkor journal"},
        {"newer format", {'P', 'L', 'K', 'J', 3, 0, 0}, "the journal is of format 3; this game reads formats 1 to 2"},
        {"garbage after the end", garbage, "the journal is damaged: bytes follow its end"},
        {"a byte changed inside", damaged, "the journal is damaged"},
        {"a stored file outside", recordedBytes(recordEveryKind, sneaky), "damaged: a stored file has the name"},
        {"changed", continued({}),
         contents.header.dataFiles[0].name + " differs from the one the session was recorded with"},
        {"cut short", continued({atProgramStart.begin(), atProgramStart.end() - 3}), broken},
        {"a byte more", continued(longer), broken},
        {"a record of another size", continued(otherSize), broken},
        {"not at a level start", continued(atProgramStart), "is unusable: it was not taken at a level start"},
        {"no such difficulty", continued(badDifficulty), "is unusable: its difficulty or level is out of range"},
    };
    for (const Case& c : cases) {
        std::string path = dir.path() + "/" + c.name + ".journal", err;
        if (c.name != std::string("none")) {
            writeFileBytes(path, c.bytes);
        }
        EXPECT_EQ(replayCommand(path, &err), 2) << c.name;
        EXPECT_NE(err.find(c.message), std::string::npos) << c.name << ": " << err;
    }
}

// A journal cut short replays as far as it goes, then says so with exit code 2.
TEST(ReplayCommand, AJournalCutShortEndsWithExitCodeTwo) {
    ScratchFolder dir(false);
    std::vector<uint8_t> session = readFileBytes(LEVEL_ONE);
    session.resize(session.size() - 600);
    writeFileBytes(dir.path() + "/cut.journal", session);
    std::string err;
    EXPECT_EQ(replayCommand(dir.path() + "/cut.journal", &err), 2);
    EXPECT_NE(err.find("ends early, after update "), std::string::npos) << err;
    EXPECT_NE(err.find("the recording was cut short"), std::string::npos) << err;
}

}  // namespace
