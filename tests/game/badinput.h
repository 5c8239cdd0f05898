// Bad input for the reliability tests: crafted files, and folders made read-only or full.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "field/level.h"

LevelBlock blockRecord(int x, int y, int type, int w, int h, int powerUp);
std::vector<uint8_t> levelBytes(const std::vector<LevelBlock>& blocks);
// A thousand blocks over the upper field, and one byte more (12001 bytes).
std::vector<uint8_t> thousandBlockLevel(void);
// 200 block records with fields of 100 characters; every fifth record of another word.
std::string wideBlockDescriptions(void);
// Blocks of every odd shape and type: at the far right, on the lowest row kept, as wide and tall as a
// record allows, of types past the table, hiding power-ups past the last kind.
std::vector<LevelBlock> oddBlocks(void);
// A settings file of the right size holding garbage, with a difficulty of 7, volumes of 300 and -5,
// hints 5 and an unlock flag of the most negative number.
std::vector<uint8_t> garbageSettings(void);
// A high-score table with letters, signs, control characters and bytes past 127 where the scores go.
std::string letteredScoreTable(void);
// Seven hint files with fields of 5000 characters.
std::vector<std::string> hugeHintFiles(void);
std::vector<uint8_t> settingsWithDifficulty(int32_t difficulty);
std::vector<uint8_t> oneBlockLevel(int x);

// Every file of a folder (links followed) by name, with its bytes.
std::map<std::string, std::vector<uint8_t>> folderContents(const std::string& folder);
bool canCreateIn(const std::string& folder);
bool temporaryFilesIn(const std::string& folder);
// The folder made read-only for this process, or a tmpfs of the size mounted on it, in a mount namespace
// of its own: "" on success, else why not.
std::string makeReadOnly(const std::string& folder);
std::string makeTinyDisk(const std::string& folder, int kilobytes);
// Fills the file system of the folder to the last byte.
void fillDisk(const std::string& folder);
