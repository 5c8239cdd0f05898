// The recorded sessions beside this file replayed headless: every state hash they were recorded with must
// come back, update for update. A failure names the first update whose hash differs; when the change
// was meant, scripts/rerecord.sh records the sessions again.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "field/gamevalues.h"
#include "shell/replay.h"
#include "support/testutil.h"

namespace {

std::string hex(uint64_t v) {
    char text[20];
    snprintf(text, sizeof(text), "%016llx", (unsigned long long)v);
    return text;
}

// Replays one session in this process and says where it first parted from its recording ("" if never).
// NAME.hashes holds a line "UPDATE HASH" for every checkpoint, then "final UPDATES SCORE HASH".
std::string replayDivergence(const std::string& name) {
    std::string base = std::string(PLINKOR_SOURCE_DIR) + "/tests/replays/" + name, update;
    std::ifstream in(base + ".hashes");
    std::string outOfStep = replayHeadless(base + ".journal");
    const std::vector<Checkpoint>& seen = updateWatch.checkpoints;
    for (size_t i = 0; in >> std::dec >> update && update != "final"; i++) {
        uint64_t want = 0;
        in >> std::hex >> want;
        if (i >= seen.size() || seen[i].hash != want) {
            return "first differing state hash at update " + update + ": " +
                   (i < seen.size() ? hex(seen[i].hash) : std::string("(never reached)")) + ", recorded " +
                   hex(want) + (outOfStep.empty() ? "" : "; " + outOfStep);
        }
    }
    if (!outOfStep.empty()) {
        return outOfStep;
    }
    uint32_t updates = 0;
    int32_t score = 0;
    uint64_t hash = 0;
    if (!(in >> std::dec >> updates >> score >> std::hex >> hash)) {
        return "cannot read " + base + ".hashes";
    }
    if (updateWatch.updates != updates || game.score != score || gameStateHash() != hash) {
        return "the final state differs: " + replayResultLine() + ", recorded updates " + std::to_string(updates) +
               " score " + std::to_string(score) + " hash " + hex(hash);
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
