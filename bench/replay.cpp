// Headless replay speed: a recorded session (tests/replays/level1.journal, or the journal named by
// PLINKOR_BENCH_JOURNAL) replayed through the whole game as fast as it goes, in updates a second of CPU
// time and as a multiple of real time (60 updates a second). The game runs once a process, so the
// benchmark runs one iteration.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "platform/journal.h"
#include "shell/mainloop.h"
#include "shell/replay.h"

namespace {

void BM_HeadlessReplay(benchmark::State& state) {
    std::string path = std::string(PLINKOR_SOURCE_DIR) + "/tests/replays/level1.journal";
    const char* chosen = getenv("PLINKOR_BENCH_JOURNAL");
    if (chosen != nullptr) {
        path = chosen;
    }
    static JournalContents contents;
    std::string error, folder;
    if (!journalLoad(path.c_str(), &contents, &error) || chdir(PLINKOR_RUN_DIR) != 0 ||
        !compareDataFiles(contents.header).empty() || !enterReplayFolder(contents.header, &folder, &error)) {
        state.SkipWithError(("cannot replay " + path + " " + error).c_str());
        return;
    }
    watchUpdates();
    for (auto _ : state) {
        journalStartReplay(&contents, 1, 0);
        runGame();
        journalStop();
    }
    leaveReplayFolder(folder, PLINKOR_RUN_DIR);
    state.counters["updates"] = updateWatch.updates;
    state.counters["updates_per_s"] = benchmark::Counter(updateWatch.updates, benchmark::Counter::kIsRate);
    state.counters["x_real_time"] = benchmark::Counter(updateWatch.updates / 60.0, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_HeadlessReplay)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
