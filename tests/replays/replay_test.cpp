// The recorded sessions beside this file replayed headless: every state hash they were recorded with must
// come back, update for update. A failure names the first update whose hash differs; when the change
// was meant, scripts/rerecord.sh records the sessions again.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "field/gamevalues.h"
#include "shell/replay.h"
#include "support/testutil.h"

namespace {

struct Expected {
    std::vector<Checkpoint> checkpoints;
    uint32_t updates = 0;
    int32_t score = 0;
    uint64_t hash = 0;
    bool read = false;
};

Expected readExpected(const std::string& path) {
    Expected e;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string first;
        words >> first;
        if (first == "final") {
            words >> e.updates >> e.score >> std::hex >> e.hash;
            e.read = !words.fail();
        } else {
            Checkpoint c{(uint32_t)std::stoul(first), 0};
            words >> std::hex >> c.hash;
            e.checkpoints.push_back(c);
        }
    }
    return e;
}

std::string hex(uint64_t v) {
    char text[20];
    snprintf(text, sizeof(text), "%016llx", (unsigned long long)v);
    return text;
}

// Replays one session in this process and says where it first parted from its recording ("" if never).
std::string replayDivergence(const std::string& name) {
    std::string base = std::string(PLINKOR_SOURCE_DIR) + "/tests/replays/" + name;
    Expected expected = readExpected(base + ".hashes");
    if (!expected.read) {
        return "cannot read " + base + ".hashes";
    }
    std::string outOfStep = replayHeadless(base + ".journal");
    const std::vector<Checkpoint>& seen = updateWatch.checkpoints;
    for (size_t i = 0; i < expected.checkpoints.size(); i++) {
        const Checkpoint& want = expected.checkpoints[i];
        if (i >= seen.size() || seen[i].hash != want.hash) {
            return "first differing state hash at update " + std::to_string(want.update) + ": " +
                   (i < seen.size() ? hex(seen[i].hash) : std::string("(never reached)")) + ", recorded " +
                   hex(want.hash) + " (update " + std::to_string(want.update - CHECKPOINT_UPDATES) + " matched)" +
                   (outOfStep.empty() ? "" : "; " + outOfStep);
        }
    }
    if (!outOfStep.empty()) {
        return outOfStep;
    }
    if (updateWatch.updates != expected.updates || game.score != expected.score || gameStateHash() != expected.hash) {
        return "the final state differs: " + replayResultLine() + ", recorded updates " +
               std::to_string(expected.updates) + " score " + std::to_string(expected.score) + " hash " +
               hex(expected.hash);
    }
    return "";
}

class RecordedSession : public ::testing::TestWithParam<const char*> {};

TEST_P(RecordedSession, ReplaysWithTheStateHashesItWasRecordedWith) {
    EXPECT_EQ(replayDivergence(GetParam()), "");
}

INSTANTIATE_TEST_SUITE_P(Replays, RecordedSession, ::testing::Values("level1", "gameover", "tour", "editor"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

}  // namespace
