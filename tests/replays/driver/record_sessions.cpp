// Records the guarding sessions: scripts of the game's one scripted player (tests/game/player.h),
// journaled, with the state hashes the replay tests expect.
//
//   plinkor-record-sessions SESSION OUTDIR     SESSION: level1, gameover, tour or editor
//
// Run from the build's run folder (generated data). Writes OUTDIR/SESSION.journal and
// OUTDIR/SESSION.hashes (a line "UPDATE HASH" every 600 updates, then "final UPDATES SCORE HASH").
#include <cstdio>
#include <filesystem>
#include <string>

#include "field/gamevalues.h"
#include "game/modes.h"
#include "platform/headless/headless.h"
#include "platform/journal.h"
#include "shell/mainloop.h"
#include "shell/replay.h"
#include "../../game/flowtest.h"
#include "../../game/player.h"

namespace {

bool writeHashes(const std::string& path) {
    FILE* f = fopen(path.c_str(), "w");
    if (f == nullptr) {
        return false;
    }
    for (const Checkpoint& c : updateWatch.checkpoints) {
        fprintf(f, "%u %016llx\n", c.update, (unsigned long long)c.hash);
    }
    fprintf(f, "final %u %d %016llx\n", updateWatch.updates, (int)game.score, (unsigned long long)gameStateHash());
    return fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: plinkor-record-sessions level1|gameover|tour|editor OUTDIR\n");
        return 2;
    }
    std::string name = argv[1], out = argv[2];
    if (out[0] != '/') {
        out = std::string(std::filesystem::current_path().string()) + "/" + out;
    }
    GameFolder folder;
    script = GameScript();
    script.limit = 100000;
    if (!writeSessionScript(name)) {
        fprintf(stderr, "no such session: %s\n", name.c_str());
        return 2;
    }
    JournalHeader header;
    describeRunFolder(&header);
    std::string error;
    if (!journalStartRecording((out + "/" + name + ".journal").c_str(), header, 0, &error)) {
        fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    watchUpdates();
    int code = runScript();
    journalFinish();
    if (script.next != script.steps.size() || code != 0) {
        fprintf(stderr, "%s: the script stuck at step %zu of %zu in mode %d (exit code %d)\n", name.c_str(),
                script.next, script.steps.size(), (int)mainLoop.currentMode, code);
        return 1;
    }
    if (!writeHashes(out + "/" + name + ".hashes")) {
        fprintf(stderr, "cannot write %s/%s.hashes\n", out.c_str(), name.c_str());
        return 1;
    }
    printf("%s: %s, %lld journal bytes\n", name.c_str(), replayResultLine().c_str(), (long long)journalBytesWritten());
    return 0;
}
