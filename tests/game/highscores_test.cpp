// High-score files: exact bytes of creation and insertion, ranking, short files, failed saves.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "game/highscores.h"
#include "game/savefile.h"
#include "shell/mainloop.h"
#include "support/testutil.h"

namespace {

struct HighScoreFolder {
    ScratchFolder folder;
    HighScoreFolder() {
        snprintf(dataPath, sizeof(dataPath), "./Data/");
        saveFailAfterBytes = -1;
    }
};

std::string fileText(int difficulty) {
    std::vector<uint8_t> bytes = readFileBytes("Data/Plinkor" + std::to_string(difficulty) + ".dat");
    return std::string(bytes.begin(), bytes.end());
}

std::string entryText(const std::string& name, int score) {
    char printed[16];
    snprintf(printed, sizeof(printed), "%8d", score);
    std::string e = name.substr(0, 10);
    e.resize(10, '.');
    e += "..";
    for (int i = 0; i < 8; i++) {
        e += printed[i] == ' ' ? '.' : printed[i];
    }
    return e;
}

void writeTable(int difficulty, const std::vector<std::pair<std::string, int>>& entries) {
    std::string text;
    for (const auto& e : entries) {
        text += entryText(e.first, e.second);
    }
    text.resize(500, '.');
    writeFileBytes("Data/Plinkor" + std::to_string(difficulty) + ".dat",
                   std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace

TEST(HighScores, MissingFileIsCreatedAsFiveHundredDots) {
    HighScoreFolder f;
    loadHighScores(3);
    EXPECT_EQ(fileText(3), std::string(500, '.'));
    EXPECT_EQ(std::string(highScoreTable(), 504), std::string(504, '.'));
    EXPECT_TRUE(readFileBytes("Data/Plinkor3.dat.tmp").empty());
}

TEST(HighScores, FirstPositiveScoreOnAFreshInstallRanksFirst) {
    HighScoreFolder f;
    EXPECT_EQ(highScoreRank(0, 1), 25);
    EXPECT_EQ(highScoreRank(1, 1), 0);
    EXPECT_EQ(insertHighScore("XYZ", 1234, 1), 1);
    std::string text = fileText(1);
    ASSERT_EQ(text.size(), 500u);
    EXPECT_EQ(text.substr(0, 20), "XYZ.............1234");
    EXPECT_EQ(text.substr(20), std::string(480, '.'));
}

TEST(HighScores, ZeroNeverEntersAndTiesGoBelow) {
    HighScoreFolder f;
    EXPECT_EQ(insertHighScore("NOBODY", 0, 2), 0);
    EXPECT_EQ(fileText(2), std::string(500, '.'));
    writeTable(2, {{"A", 900}, {"B", 500}, {"C", 100}});
    EXPECT_EQ(highScoreRank(900, 2), 1);
    EXPECT_EQ(highScoreRank(901, 2), 0);
    EXPECT_EQ(highScoreRank(500, 2), 2);
    EXPECT_EQ(highScoreRank(100, 2), 3);
    EXPECT_EQ(highScoreRank(99, 2), 3);
    EXPECT_EQ(highScoreRank(1, 2), 3);
}

TEST(HighScores, InsertionLandsAfterAnEqualScore) {
    HighScoreFolder f;
    writeTable(1, {{"A", 900}, {"B", 500}, {"C", 100}});
    EXPECT_EQ(insertHighScore("NEW", 500, 1), 1);
    std::string text = fileText(1);
    ASSERT_EQ(text.size(), 500u);
    EXPECT_EQ(text.substr(0, 20), entryText("A", 900));
    EXPECT_EQ(text.substr(20, 20), entryText("B", 500));
    EXPECT_EQ(text.substr(40, 20), "NEW..............500");
    EXPECT_EQ(text.substr(60, 20), entryText("C", 100));
    EXPECT_EQ(text.substr(80), std::string(420, '.'));
}

TEST(HighScores, NamesAreCutToTenAndKeepSpaces) {
    HighScoreFolder f;
    insertHighScore("ABCDEFGHIJKLMN", 7, 4);
    insertHighScore("A B", 8, 4);
    std::string text = fileText(4);
    EXPECT_EQ(text.substr(0, 20), "A B................8");
    EXPECT_EQ(text.substr(20, 20), "ABCDEFGHIJ.........7");
}

TEST(HighScores, WideScoresKeepTheirFirstEightCharacters) {
    HighScoreFolder f;
    insertHighScore("EIGHT", 12345678, 1);
    EXPECT_EQ(fileText(1).substr(0, 20), "EIGHT.......12345678");
    insertHighScore("NINE", 123456789, 1);
    // Ranked by its real value it goes on top, but only its first 8 digits are stored.
    std::string text = fileText(1);
    EXPECT_EQ(text.substr(0, 20), "NINE........12345678");
    EXPECT_EQ(text.substr(20, 20), "EIGHT.......12345678");
    EXPECT_EQ(text.substr(40), std::string(460, '.'));
}

TEST(HighScores, TwentyFiveRisingInsertionsKeepFiveHundredBytes) {
    HighScoreFolder f;
    for (int i = 1; i <= 26; i++) {
        EXPECT_EQ(insertHighScore(("P" + std::to_string(i)).c_str(), i * 100, 2), 1);
        EXPECT_EQ(fileText(2).size(), 500u);
    }
    std::string text = fileText(2);
    EXPECT_EQ(text.substr(0, 20), entryText("P26", 2600));
    EXPECT_EQ(text.substr(480, 20), entryText("P2", 200));
    // A full table turns away a score below its last entry.
    EXPECT_EQ(highScoreRank(150, 2), 25);
    EXPECT_EQ(insertHighScore("LOW", 150, 2), 0);
    EXPECT_EQ(fileText(2), text);
}

TEST(HighScores, ShortFileReadsAsFarAsItGoes) {
    HighScoreFolder f;
    std::string text = entryText("A", 900) + "B.........";
    writeFileBytes("Data/Plinkor1.dat", std::vector<uint8_t>(text.begin(), text.end()));
    loadHighScores(1);
    const char* t = highScoreTable();
    EXPECT_EQ(std::string(t, 30), text);
    for (int i = 30; i < 504; i++) {
        ASSERT_EQ(t[i], 0) << i;
    }
    // The second entry's score text is empty (0), so any positive score ranks there.
    EXPECT_EQ(highScoreRank(5, 1), 1);
    EXPECT_EQ(highScoreRank(901, 1), 0);
}

TEST(HighScores, EachDifficultyHasItsOwnFile) {
    HighScoreFolder f;
    insertHighScore("EASY", 10, 1);
    insertHighScore("INSANE", 20, 4);
    EXPECT_EQ(fileText(1).substr(0, 4), "EASY");
    EXPECT_EQ(fileText(4).substr(0, 6), "INSANE");
    EXPECT_EQ(fileText(2), std::string());
    loadHighScores(2);
    EXPECT_EQ(fileText(2), std::string(500, '.'));
}

TEST(HighScores, SaveKilledAtAnyByteLeavesTheOldTable) {
    HighScoreFolder f;
    writeTable(3, {{"A", 900}, {"B", 500}, {"C", 100}});
    std::string before = fileText(3);
    for (int k = 0; k < 500; k++) {
        saveFailAfterBytes = k;
        ASSERT_EQ(insertHighScore("NEW", 700, 3), 0) << k;
        ASSERT_EQ(fileText(3), before) << k;
        ASSERT_TRUE(readFileBytes("Data/Plinkor3.dat.tmp").empty()) << k;
    }
    saveFailAfterBytes = -1;
    EXPECT_EQ(insertHighScore("NEW", 700, 3), 1);
    EXPECT_EQ(fileText(3).substr(20, 20), entryText("NEW", 700));
}

TEST(HighScores, FailedCreationShowsEmptyEntriesAndWritesNothing) {
    HighScoreFolder f;
    saveFailAfterBytes = 100;
    loadHighScores(2);
    EXPECT_EQ(std::string(highScoreTable(), 504), std::string(504, '.'));
    EXPECT_TRUE(readFileBytes("Data/Plinkor2.dat").empty());
    FILE* probe = fopen("Data/Plinkor2.dat", "rb");
    EXPECT_EQ(probe, nullptr);
    if (probe != nullptr) {
        fclose(probe);
    }
}
