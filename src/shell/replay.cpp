// Recorded sessions: command line, run folder description, the replay's folder, update watch, state hash.
#include "shell/replay.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

#include "field/ball.h"
#include "field/debris.h"
#include "field/gamevalues.h"
#include "field/level.h"
#include "field/paddle.h"
#include "field/powerup.h"
#include "game/modes.h"
#include "game/settings.h"
#include "game/startup.h"
#include "shell/datafile.h"
#include "shell/desktop.h"
#include "shell/display.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "shell/random.h"
#include "shell/replaystate.h"
#include "shell/runfolder.h"

namespace fs = std::filesystem;

UpdateWatch updateWatch;

namespace {

int32_t (*gameUpdate)(int32_t mode) = nullptr;
void (*gameEnter)(int32_t mode) = nullptr;

// The bounded journal: where it goes, how much it keeps, and the session's first header (its data files).
struct RecentPlay {
    std::string path;
    int64_t seconds = 0;
    JournalHeader header;
};
RecentPlay recent;

// A continued journal's state, put in place where the replay's loop begins.
GameSnapshot continuation;
bool continuationArmed = false;
bool loopBegun = false;

struct Fnv {
    uint64_t h = 1469598103934665603ull;
    void bytes(const void* p, size_t n) {
        const uint8_t* b = (const uint8_t*)p;
        for (size_t i = 0; i < n; i++) {
            h = (h ^ b[i]) * 1099511628211ull;
        }
    }
    void value(int64_t v) {
        bytes(&v, sizeof(v));
    }
};

// Notes the update in which the journal first reported a problem (the updates run before it).
void notice(void) {
    if (updateWatch.problemUpdate < 0 && (journalExhausted() || !journalProblem().empty())) {
        updateWatch.problemUpdate = updateWatch.updates;
    }
}

int32_t countedUpdate(int32_t mode) {
    notice();
    int32_t next = gameUpdate(mode);
    updateWatch.updates++;
    if (updateWatch.updates % CHECKPOINT_UPDATES == 0) {
        updateWatch.checkpoints.push_back(Checkpoint{updateWatch.updates, gameStateHash()});
    }
    return next;
}

void playerFiles(std::vector<JournalSnapshotFile>* out);
void desktopValues(const DesktopOptions& o, std::vector<int32_t>* out) {
    *out = {o.followPointer, o.pauseWhenAway, o.skipIntro, o.scale, o.paddleSound, o.fullscreen};
}

// A new journal from this level start on: the session's data files and start-up, the player's files and
// desktop options as they stand, and the game's state.
void startRecentJournal(void) {
    if (journalPrelude().empty()) {
        return;
    }
    JournalHeader h;
    h.gameVersion = recent.header.gameVersion;
    h.fullscreen = recent.header.fullscreen;
    h.dataFiles = recent.header.dataFiles;
    playerFiles(&h.snapshot);
    desktopValues(desktopOptions, &h.desktop);
    h.prelude = journalPrelude();
    GameSnapshot state;
    takeGameSnapshot(&state);
    writeGameSnapshot(state, &h.state);
    std::string error;
    if (!journalRestart(recent.path.c_str(), h, &error)) {
        logFormat(1, 0, "[WARNING] %s\n", error.c_str());
    }
}

void watchedEnter(int32_t mode) {
    if (!loopBegun) {
        loopBegun = true;
        journalEndPrelude();
        if (continuationArmed) {
            continuationArmed = false;
            // The recording's start-up may have gone on in its splashes; what they load for the whole
            // run is loaded here, then the state goes over it.
            if (flowPictures.fontTickerTape == nullptr) {
                loadLogoBatch();
                loadIntroBatch();
            }
            putGameSnapshot(continuation);
            journalContinue();
            mode = mainLoop.currentMode;
        }
    } else if (mode == MODE_NEXT_LEVEL && recent.seconds > 0 && journalMode() == JOURNAL_RECORD &&
               journalTicksPerSecond() > 0 && journalSpanTicks() > recent.seconds * journalTicksPerSecond()) {
        startRecentJournal();
    }
    gameEnter(mode);
}

// The player's own files in Data/: settings, desktop options, score tables and levels (the editor
// writes levels).
bool isPlayerFile(const std::string& name) {
    if (name == "settings.dat" || name == "desktop.ini") {
        return true;
    }
    for (const char* prefix : {"Plinkor", "level"}) {
        size_t n = strlen(prefix);
        if (name.size() > n + 4 && name.compare(0, n, prefix) == 0 && name.compare(name.size() - 4, 4, ".dat") == 0 &&
            name.find_first_not_of("0123456789", n) == name.size() - 4) {
            return true;
        }
    }
    return false;
}

bool isTemporary(const std::string& name) {
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0;
}

// Regular files of a folder (links followed), by name, sorted.
std::vector<std::string> filesIn(const char* folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        std::error_code ignored;
        if (entry.is_regular_file(ignored)) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<JournalDataFile> hashDataFiles(void) {
    std::vector<JournalDataFile> files;
    for (const char* folder : {"Data", "Sound"}) {
        for (const std::string& name : filesIn(folder)) {
            if ((strcmp(folder, "Data") == 0 && isPlayerFile(name)) || isTemporary(name)) {
                continue;
            }
            JournalDataFile d{std::string(folder) + "/" + name, 0, 0};
            if (journalHashFile(d.name.c_str(), &d.size, &d.crc)) {
                files.push_back(d);
            }
        }
    }
    return files;
}

bool readWhole(const std::string& path, std::vector<uint8_t>* out) {
    // The player's files only: the largest of them (a level) is far below this.
    FILE* f = openDataFile(path.c_str(), 16 << 20, nullptr);
    if (f == nullptr) {
        return false;
    }
    uint8_t buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), f)) > 0) {
        out->insert(out->end(), buffer, buffer + n);
    }
    fclose(f);
    return true;
}

}  // namespace

uint64_t gameStateHash(void) {
    Fnv f;
    f.value(mainLoop.currentMode);
    f.value(gameRandState());
    f.value(game.score);
    f.value(game.lives);
    f.value(game.levelIndex);
    f.value(game.difficulty);
    f.value(game.gameInProgress);
    f.value(game.readyCountdown);
    f.value(game.highScoreRank);
    f.value(game.cheatPanelOpen);
    f.value(game.cheatPanelAmount);
    f.value(game.shake);
    f.bytes(&game.cheats, sizeof(game.cheats));
    f.bytes(&game.unlocked, sizeof(game.unlocked));
    const Paddle& p = paddle;
    for (int32_t v : {p.x, p.y, p.fixedX, p.fixedY, p.vx, p.vy, p.halfWidth, p.zoneHeight}) {
        f.value(v);
    }
    f.value(ballList.count);
    for (int i = 0; i < ballList.count; i++) {
        const Ball& b = ballList.balls[i];
        for (int32_t v : {b.x, b.y, b.vx, b.vy, (int32_t)b.speed}) {
            f.value(v);
        }
    }
    f.value(currentLevel.blockCount);
    for (int i = 0; i < currentLevel.blockCount; i++) {
        const LevelBlock& b = currentLevel.blocks[i];
        for (int32_t v : {(int32_t)b.x, (int32_t)b.y, (int32_t)b.type, (int32_t)b.powerUp}) {
            f.value(v);
        }
    }
    f.value(debrisList.count);
    for (int i = 0; i < debrisList.count; i++) {
        const Debris& d = debrisList.pieces[i];
        for (int32_t v : {d.x, d.y, d.vx, d.vy, (int32_t)d.colour, (int32_t)d.type}) {
            f.value(v);
        }
    }
    f.value(powerUps.capsuleCount);
    for (int i = 0; i < powerUps.capsuleCount; i++) {
        const FallingPowerUp& c = powerUps.capsules[i];
        for (int32_t v : {c.x, c.y, c.vy, c.kind}) {
            f.value(v);
        }
    }
    f.value(powerUps.activeCount);
    for (int i = 0; i < powerUps.activeCount; i++) {
        f.value(powerUps.active[i].kind);
        f.value(powerUps.active[i].counter);
    }
    uint8_t settings[SETTINGS_BYTES];
    encodeSettings(settings);
    f.bytes(settings, sizeof(settings));
    return f.h;
}

void watchUpdates(void) {
    if (gameUpdate == nullptr) {
        gameUpdate = gameInterface.update;
        gameInterface.update = countedUpdate;
        gameEnter = gameInterface.enter;
        gameInterface.enter = watchedEnter;
    }
    loopBegun = false;
    updateWatch.checkpoints.reserve(1024);
}

void keepRecentPlay(const char* path, int64_t seconds, const JournalHeader& header) {
    recent.path = path;
    recent.seconds = seconds;
    recent.header.gameVersion = header.gameVersion;
    recent.header.fullscreen = header.fullscreen;
    recent.header.dataFiles = header.dataFiles;
}

int64_t recentPlaySeconds(void) {
    const char* text = getenv("PLINKOR_JOURNAL_KEEP_SECONDS");
    if (text != nullptr && *text != 0) {
        char* end = nullptr;
        long long seconds = strtoll(text, &end, 10);
        if (*end == 0 && seconds > 0) {
            return seconds;
        }
    }
    return JOURNAL_KEEP_SECONDS;
}

int armContinuation(const JournalHeader& header, std::string* error) {
    continuationArmed = false;
    if (header.state.empty()) {
        return 1;
    }
    if (!readGameSnapshot(header.state.data(), header.state.size(), &continuation, error)) {
        return 0;
    }
    continuationArmed = true;
    return 1;
}

void noticeReplayEnd(void) {
    notice();
}

namespace {

void playerFiles(std::vector<JournalSnapshotFile>* out) {
    out->clear();
    for (const std::string& name : filesIn("Data")) {
        if (isPlayerFile(name)) {
            JournalSnapshotFile s{"Data/" + name, {}};
            if (readWhole(s.name, &s.bytes)) {
                out->push_back(s);
            }
        }
    }
}

}  // namespace

void describeRunFolder(JournalHeader* header) {
    header->gameVersion = journalGameVersion();
    header->fullscreen = displayInfo.fullscreenFlag;
    header->dataFiles = hashDataFiles();
    playerFiles(&header->snapshot);
    // The options as runGame will find them: defaults, the folder's desktop.ini, then the flags.
    if (runPaths.dataPath[0] == 0) {
        snprintf(runPaths.dataPath, sizeof(runPaths.dataPath), "./Data/");
    }
    loadDesktopOptions();
    desktopValues(desktopOptions, &header->desktop);
}

std::string compareDataFiles(const JournalHeader& header) {
    std::vector<JournalDataFile> here = hashDataFiles();
    std::vector<std::string> differing;
    size_t j = 0;
    // Both lists are sorted by folder, then name.
    std::vector<JournalDataFile> recorded = header.dataFiles;
    std::sort(recorded.begin(), recorded.end(),
              [](const JournalDataFile& a, const JournalDataFile& b) { return a.name < b.name; });
    std::sort(here.begin(), here.end(), [](const JournalDataFile& a, const JournalDataFile& b) { return a.name < b.name; });
    for (const JournalDataFile& r : recorded) {
        while (j < here.size() && here[j].name < r.name) {
            differing.push_back(here[j].name + " was not there when the session was recorded");
            j++;
        }
        if (j < here.size() && here[j].name == r.name) {
            if (here[j].size != r.size || here[j].crc != r.crc) {
                differing.push_back(r.name + " differs from the one the session was recorded with");
            }
            j++;
        } else {
            differing.push_back(r.name + " is missing");
        }
    }
    for (; j < here.size(); j++) {
        differing.push_back(here[j].name + " was not there when the session was recorded");
    }
    if (differing.empty()) {
        return std::string();
    }
    std::string text = differing[0];
    if (differing.size() > 1) {
        text += " (and " + std::to_string(differing.size() - 1) + " more file" + (differing.size() > 2 ? "s" : "") + ")";
    }
    return text;
}

int enterReplayFolder(const JournalHeader& header, std::string* folder, std::string* error) {
    std::error_code ec;
    fs::path here = fs::current_path(ec);
    char pattern[] = "/tmp/plinkor-replay-XXXXXX";
    if (ec || mkdtemp(pattern) == nullptr) {
        *error = std::string("cannot make a folder for the replay: ") + strerror(errno);
        return 0;
    }
    fs::path root(pattern);
    *folder = pattern;
    fs::create_directory(root / "Data", ec);
    fs::create_directory(root / "Custom", ec);
    fs::create_directory(root / "My Documents", ec);
    fs::create_directory_symlink(here / "Sound", root / "Sound", ec);
    for (const std::string& name : filesIn("Data")) {
        if (!isPlayerFile(name) && !isTemporary(name)) {
            fs::create_symlink(here / "Data" / name, root / "Data" / name, ec);
        }
    }
    for (const JournalSnapshotFile& s : header.snapshot) {
        FILE* f = fopen((root / s.name).c_str(), "wb");
        if (f == nullptr || fwrite(s.bytes.data(), 1, s.bytes.size(), f) != s.bytes.size()) {
            if (f != nullptr) {
                fclose(f);
            }
            *error = "cannot write " + s.name + " into the replay's folder";
            leaveReplayFolder(*folder, here.string());
            return 0;
        }
        fclose(f);
    }
    if (header.desktop.size() >= 6) {
        const std::vector<int32_t>& d = header.desktop;
        std::string scale = d[3] == DESKTOP_SCALE_AUTO ? "auto" : std::to_string(d[3]);
        std::string text = "# the desktop options the session was recorded with\nfollow_pointer = " +
                           std::to_string(d[0] != 0) + "\npause_when_away = " + std::to_string(d[1] != 0) +
                           "\nskip_intro = " + std::to_string(d[2] != 0) + "\nscale = " + scale +
                           "\npaddle_sound = " + std::to_string(d[4] != 0) + "\nfullscreen = " +
                           std::to_string(d[5] != 0) + "\n";
        FILE* f = fopen((root / "Data" / "desktop.ini").c_str(), "wb");
        if (f == nullptr || fwrite(text.data(), 1, text.size(), f) != text.size()) {
            if (f != nullptr) {
                fclose(f);
            }
            *error = "cannot write Data/desktop.ini into the replay's folder";
            leaveReplayFolder(*folder, here.string());
            return 0;
        }
        fclose(f);
        clearDesktopFlags();
    }
    if (chdir(pattern) != 0) {
        *error = std::string("cannot enter the replay's folder: ") + strerror(errno);
        leaveReplayFolder(*folder, here.string());
        return 0;
    }
    return 1;
}

void leaveReplayFolder(const std::string& folder, const std::string& previous) {
    if (chdir(previous.c_str()) != 0) {
        return;
    }
    std::error_code ec;
    fs::remove_all(folder, ec);
}

std::string replayResultLine(void) {
    char line[128];
    snprintf(line, sizeof(line), "updates %u score %d hash %016llx", updateWatch.updates, (int)game.score,
             (unsigned long long)gameStateHash());
    return line;
}

namespace {

int usage(void) {
    fprintf(stderr, "usage: plinkor [--record FILE | --replay FILE [--headless] [--force]]\n");
    return EXIT_BAD_JOURNAL;
}

int replaySession(const char* path, int headless, int force) {
    static JournalContents contents;
    std::string error;
    if (!journalLoad(path, &contents, &error)) {
        fprintf(stderr, "Plinkor: cannot replay %s\n", error.c_str());
        return EXIT_BAD_JOURNAL;
    }
    if (!armContinuation(contents.header, &error)) {
        fprintf(stderr, "Plinkor: cannot replay %s: %s\n", path, error.c_str());
        return EXIT_BAD_JOURNAL;
    }
    std::string differs = compareDataFiles(contents.header);
    if (!differs.empty()) {
        if (!force) {
            fprintf(stderr, "Plinkor: cannot replay %s: %s (--force replays it all the same)\n", path, differs.c_str());
            return EXIT_BAD_JOURNAL;
        }
        fprintf(stderr, "Plinkor: replaying %s although %s\n", path, differs.c_str());
    }
    std::string folder;
    std::error_code ec;
    std::string previous = fs::current_path(ec).string();
    if (!enterReplayFolder(contents.header, &folder, &error)) {
        fprintf(stderr, "Plinkor: %s\n", error.c_str());
        return EXIT_BAD_JOURNAL;
    }
    displayInfo.fullscreenFlag = contents.header.fullscreen;
    watchUpdates();
    journalStartReplay(&contents, headless, headless ? 0 : 1);
    runGame();
    noticeReplayEnd();
    std::string problem = journalProblem();
    bool usedUp = journalExhausted() != 0;
    journalStop();
    leaveReplayFolder(folder, previous);
    printf("%s\n", replayResultLine().c_str());
    fflush(stdout);
    if (problem == "stopped by the viewer") {
        return 0;
    }
    if (!problem.empty()) {
        fprintf(stderr, "Plinkor: the replay of %s diverged after update %lld: %s\n", path,
                (long long)updateWatch.problemUpdate, problem.c_str());
        return EXIT_DIVERGED;
    }
    if (usedUp && !contents.complete) {
        fprintf(stderr, "Plinkor: %s ends early, after update %lld: the recording was cut short\n", path,
                (long long)updateWatch.problemUpdate);
        return EXIT_BAD_JOURNAL;
    }
    if (usedUp) {
        fprintf(stderr, "Plinkor: the replay of %s diverged after update %lld: the game went on past the recorded end\n",
                path, (long long)updateWatch.problemUpdate);
        return EXIT_DIVERGED;
    }
    return 0;
}

int recordSession(const char* path, int explicitly) {
    JournalHeader header;
    describeRunFolder(&header);
    std::string error;
    if (!journalStartRecording(path, header, explicitly ? 0 : 1, &error)) {
        fprintf(stderr, "Plinkor: %s\n", error.c_str());
        if (explicitly) {
            return EXIT_BAD_JOURNAL;
        }
    }
    watchUpdates();
    if (!explicitly) {
        keepRecentPlay(path, recentPlaySeconds(), header);
    }
    int code = runGame();
    journalFinish();
    if (explicitly) {
        // The same line a headless replay of the journal prints.
        printf("%s\n", replayResultLine().c_str());
    }
    return code;
}

}  // namespace

int runCommandLine(int argc, char** argv) {
    const char* record = nullptr;
    const char* replay = nullptr;
    int headless = 0, force = 0;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--record") == 0 && i + 1 < argc && record == nullptr) {
            record = argv[++i];
        } else if (strcmp(argv[i], "--replay") == 0 && i + 1 < argc && replay == nullptr) {
            replay = argv[++i];
        } else if (strcmp(argv[i], "--headless") == 0) {
            headless = 1;
        } else if (strcmp(argv[i], "--force") == 0) {
            force = 1;
        } else if (strcmp(argv[i], "--record") == 0 || strcmp(argv[i], "--replay") == 0) {
            return usage();
        } else if (strcmp(argv[i], "--scale") == 0) {
            // The desktop options were checked before; --scale takes the next argument with it.
            i++;
        } else if (strncmp(argv[i], "--", 2) != 0) {
            return usage();
        }
    }
    if ((record != nullptr && replay != nullptr) || ((headless || force) && replay == nullptr)) {
        return usage();
    }
    if (replay != nullptr) {
        return replaySession(replay, headless, force);
    }
    if (record != nullptr) {
        return recordSession(record, 1);
    }
    std::error_code ec;
    fs::create_directory("Custom", ec);
    return recordSession("Custom/last.journal", 0);
}
