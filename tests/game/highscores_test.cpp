// High-score files: exact bytes of insertion, ranking, full tables and short files.
#include <gtest/gtest.h>

#include <string>

#include "flowtest.h"
#include "game/highscores.h"
#include "shell/mainloop.h"

namespace {

std::string fileText(int difficulty) {
    std::vector<uint8_t> bytes = readFileBytes("Data/Plinkor" + std::to_string(difficulty) + ".dat");
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

TEST(HighScores, ZeroNeverEntersTiesGoBelowNamesAreCutAndWideScoresKeepEightCharacters) {
    GameFolder f;
    EXPECT_EQ(highScoreRank(0, 1), 25);
    EXPECT_EQ(highScoreRank(1, 1), 0);
    EXPECT_EQ(insertHighScore("NOBODY", 0, 2), 0);
    EXPECT_EQ(fileText(2), std::string(500, '.'));
    writeFileBytes("Data/Plinkor2.dat", textBytes(scoreTable({{"A", 900}, {"B", 500}, {"C", 100}})));
    const int ranks[][2] = {{901, 0}, {900, 1}, {500, 2}, {100, 3}, {99, 3}, {1, 3}};
    for (const auto& r : ranks) {
        EXPECT_EQ(highScoreRank(r[0], 2), r[1]) << r[0];
    }
    EXPECT_EQ(insertHighScore("NEW", 500, 2), 1);
    EXPECT_EQ(fileText(2), scoreTable({{"A", 900}, {"B", 500}, {"NEW", 500}, {"C", 100}}));
    EXPECT_EQ(fileText(2).substr(40, 20), "NEW..............500");

    insertHighScore("ABCDEFGHIJKLMN", 7, 4);
    insertHighScore("A B", 8, 4);
    EXPECT_EQ(fileText(4).substr(0, 40), "A B................8ABCDEFGHIJ.........7");
    // Ranked by its real value a nine-digit score goes on top, but only its first 8 digits are stored.
    insertHighScore("EIGHT", 12345678, 1);
    insertHighScore("NINE", 123456789, 1);
    EXPECT_EQ(fileText(1), scoreTable({{"NINE", 12345678}, {"EIGHT", 12345678}}));
}

// A full table turns the lowest away; a short file reads as far as it goes, the rest empty entries.
TEST(HighScores, AFullTableTurnsTheLowestAwayAndAShortFileReadsAsFarAsItGoes) {
    GameFolder f;
    for (int i = 1; i <= 26; i++) {
        EXPECT_EQ(insertHighScore(("P" + std::to_string(i)).c_str(), i * 100, 2), 1);
    }
    std::string text = fileText(2);
    EXPECT_EQ(text.substr(0, 20) + text.substr(480, 20), scoreEntry("P26", 2600) + scoreEntry("P2", 200));
    EXPECT_EQ(insertHighScore("LOW", 150, 2), 0);
    EXPECT_EQ(fileText(2), text);

    text = scoreEntry("A", 900) + "B.........";
    writeFileBytes("Data/Plinkor1.dat", textBytes(text));
    loadHighScores(1);
    EXPECT_EQ(std::string(highScoreTable(), 504), text + std::string(474, '\0'));
    // The second entry's score text is empty (0), so any positive score ranks there.
    EXPECT_EQ((Ints{highScoreRank(5, 1), highScoreRank(901, 1)}), (Ints{1, 0}));
}
