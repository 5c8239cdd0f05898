// The whole game toured (tests/game/player.h) with bad input in place, one row a case: broken pictures,
// sounds, levels, hints, block descriptions, settings and tables, missing or read-only folders, no
// sound device. Every screen must still show, the program end cleanly, and each row's own look hold.
#include <gtest/gtest.h>

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "badinput.h"
#include "flowtest.h"
#include "field/blocks.h"
#include "field/gamevalues.h"
#include "game/modes.h"
#include "game/play.h"
#include "game/settings.h"
#include "player.h"
#include "shell/input.h"
#include "shell/mainloop.h"
#include "sound/mixer.h"
#include "sound/music.h"
#include "sound/sample.h"

namespace {

std::vector<std::string> filesIn(const char* folder, const char* extension) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == extension) {
            names.push_back(entry.path().filename().string());
        }
    }
    return names;
}

int boxesTitled(const TourResult& result, const std::string& title) {
    int n = 0;
    for (const HeadlessMessageBox& box : result.boxes) {
        n += box.title == title ? 1 : 0;
    }
    return n;
}

std::string unless(bool holds, const std::string& what) {
    return holds ? "" : what + "; ";
}

// What the row's look saw on every pass, for its check.
struct Seen {
    int hintShown = 0, tableShown = 0, queued = 0;
    int32_t difficulty = 0;
    bool defaults = false;
    std::map<std::string, std::vector<uint8_t>> dataBefore;
    std::vector<uint8_t> bytes;
};
Seen seen;

bool onMenu(void) {
    return mainLoop.currentMode == MODE_MAIN_MENU && mainLoop.previousMode == MODE_MAIN_MENU;
}

struct BadInput {
    const char* name;
    bool gameFolder;                                  // the generated data linked in, else an empty folder
    std::function<std::string(TourOptions&)> prepare;  // breaks the files; a reason to skip, or ""
    std::function<std::string(const TourResult&)> check;
};

std::string hintRow(TourOptions& o, int i) {
    replaceFileBytes("Data/hint0.txt", textBytes(hugeHintFiles()[i]));
    o.passesPerScreen = 60;
    o.playPasses = 400;
    o.seed = 11 + (uint32_t)i;
    o.everyPass = [](int64_t) {
        seen.hintShown += mainLoop.currentMode == MODE_PLAY && game.helpfulHints && hintPanel.y > -50 ? 1 : 0;
    };
    return "";
}

std::string hintShown(const TourResult&) {
    return unless(seen.hintShown > 0, "the hint never showed");
}

std::string soundRow(TourOptions& o, std::function<void()> setUp, const char* needle) {
    o.passesPerScreen = 120;
    o.setUp = setUp;
    if (needle != nullptr) {
        o.needles = {needle};
    }
    return "";
}

std::string soundCheck(const TourResult& r, bool needle, int boxes, int opened) {
    return unless(!needle || !r.found.empty(), "no \"[ERROR] Sound Init Failed.\"") +
           unless(boxesTitled(r, "Sound not available") == boxes && (int)r.boxes.size() == boxes,
                  std::to_string(r.boxes.size()) + " boxes") +
           unless(headlessAudioOpened() == opened && mainLoop.soundEnabled == opened,
                  "device opened " + std::to_string(headlessAudioOpened()));
}

const BadInput rows[] = {
    {"every_picture_of_no_size_or_huge", true,
     [](TourOptions& o) {
         std::vector<std::string> pictures = filesIn("Data", ".png");
         for (size_t i = 0; i < pictures.size(); i++) {
             replaceFileBytes("Data/" + pictures[i], i % 2 == 0 ? craftedPng(0, 0) : craftedPng(60000, 60000));
         }
         o.needles = {"surface still null"};
         return pictures.size() > 10 ? "" : "no pictures";
     },
     [](const TourResult& r) {
         return unless(boxesTitled(r, "File Not Found") == 0, "a picture reported missing") +
                unless(r.found.count("surface still null") == 1, "no null surface logged");
     }},
    {"every_sound_empty_or_odd_sized", true,
     [](TourOptions& o) {
         std::vector<std::string> sounds = filesIn("Sound", ".raw");
         for (size_t i = 0; i < sounds.size(); i++) {
             size_t size = i % 3 == 0 ? 0 : (i % 3 == 1 ? 1 : 12345);
             replaceFileBytes("Sound/" + sounds[i], std::vector<uint8_t>(size, (uint8_t)(0x40 + i)));
         }
         o.everyPass = [](int64_t) { seen.queued = headlessAudioQueued(); };
         return sounds.size() > 10 ? "" : "no sounds";
     },
     [](const TourResult& r) {
         return unless(boxesTitled(r, "File Not Found") == 0, "a sound reported missing") +
                unless(seen.queued >= 0 && headlessAudioOpened() > 0, "the mixer stopped");
     }},
    {"level_of_12001_bytes", true,
     [](TourOptions& o) {
         seen.bytes = thousandBlockLevel();
         replaceFileBytes("Data/level0.dat", seen.bytes);
         o.level = 0;
         return "";
     },
     [](const TourResult&) {
         // The editor wrote level 0 only if the tour edited it: then at most the thousand records, whole.
         std::vector<uint8_t> saved = readFileBytes("Data/level0.dat");
         return unless(saved == seen.bytes || (saved.size() <= 12000u && saved.size() % 12 == 0u),
                       "level 0 saved as " + std::to_string(saved.size()) + " bytes");
     }},
    {"odd_block_descriptions_and_blocks", true,
     [](TourOptions& o) {
         replaceFileBytes("Data/blocks5.txt", textBytes(wideBlockDescriptions()));
         replaceFileBytes("Data/level0.dat", levelBytes(oddBlocks()));
         o.level = 0;
         return "";
     },
     [](const TourResult&) { return unless(blockTypeCount == 100, "block types past the limit"); }},
    {"garbage_settings", true,
     [](TourOptions&) {
         replaceFileBytes("Data/settings.dat", garbageSettings());
         return "";
     },
     [](const TourResult&) {
         std::vector<uint8_t> saved = readFileBytes("Data/settings.dat");
         return unless(saved.size() == (size_t)SETTINGS_BYTES && valueAt(saved, 8) >= 1 && valueAt(saved, 8) <= 4 &&
                           (valueAt(saved, 11) == 0 || valueAt(saved, 11) == 1),
                       "settings saved unrepaired");
     }},
    {"scores_with_letters", true,
     [](TourOptions& o) {
         replaceFileBytes("Data/Plinkor1.dat", textBytes(letteredScoreTable()));
         o.everyPass = [](int64_t) {
             seen.tableShown += mainLoop.currentMode == MODE_HIGH_SCORES && mainLoop.previousMode == MODE_HIGH_SCORES ? 1 : 0;
         };
         return "";
     },
     [](const TourResult&) {
         // Still 500 characters whatever was inserted, the old entries moved down whole.
         std::vector<uint8_t> saved = readFileBytes("Data/Plinkor1.dat");
         std::string text(saved.begin(), saved.end());
         return unless(seen.tableShown > 0, "the table never showed") + unless(saved.size() == 500u, "table size") +
                unless(text.find("BOB.......12ab34cd56") != std::string::npos, "an old entry was cut");
     }},
    {"hint_of_5000_letters", true, [](TourOptions& o) { return hintRow(o, 0); }, hintShown},
    {"hint_of_5000_line_ends", true, [](TourOptions& o) { return hintRow(o, 1); }, hintShown},
    {"hint_of_5000_colour_codes", true, [](TourOptions& o) { return hintRow(o, 2); }, hintShown},
    {"hint_of_5000_dashes_in_a_negative_box", true, [](TourOptions& o) { return hintRow(o, 3); }, hintShown},
    {"hint_of_huge_numbers", true, [](TourOptions& o) { return hintRow(o, 4); }, hintShown},
    {"hint_of_5000_separators", true, [](TourOptions& o) { return hintRow(o, 5); }, hintShown},
    {"hint_of_three_fields", true, [](TourOptions& o) { return hintRow(o, 6); }, hintShown},
    {"no_data_or_sound_folder", false,
     [](TourOptions& o) {
         std::filesystem::remove_all("Data");
         std::filesystem::remove_all("Sound");
         o.needles = {"[WARNING] Unable to load settings. Setting defaults.", "[WARNING] Unable to save settings."};
         o.everyPass = [](int64_t) {
             if (!seen.defaults && onMenu()) {
                 const int32_t keys[8] = {38, 40, 37, 39, 32, 27, 13, 0};
                 seen.defaults = std::memcmp(controlKeys, keys, sizeof(keys)) == 0 && game.difficulty == 1 &&
                                 game.helpfulHints == 1 && getVolume(0) == 255 && music.volume == 220;
             }
         };
         return "";
     },
     [](const TourResult& r) {
         // Every missing picture and sound was named, and every save that failed for want of the folder.
         int pictures = 0, sounds = 0, saves = 0;
         std::string wrong;
         for (const HeadlessMessageBox& box : r.boxes) {
             if (box.title == "Save Failed") {
                 saves++;
                 wrong += unless(box.text.rfind("Unable to save ./Data/", 0) == 0 &&
                                     box.text.find(strerror(ENOENT)) != std::string::npos, box.text);
                 continue;
             }
             wrong += unless(box.title == "File Not Found", box.text);
             pictures += box.text.rfind("./Data/", 0) == 0 ? 1 : 0;
             sounds += box.text.rfind("./Sound/", 0) == 0 ? 1 : 0;
         }
         return wrong + unless(seen.defaults, "not on defaults") + unless(r.found.size() == 2u, "warnings") +
                unless(pictures > 10 && sounds > 10 && saves >= 1 && pictures + sounds + saves == (int)r.boxes.size(),
                       "boxes") +
                unless(!std::filesystem::exists("Data") && !std::filesystem::exists("Sound"), "a folder was made");
     }},
    {"read_only_data_folder", true,
     [](TourOptions& o) {
         replaceFileBytes("Data/settings.dat", settingsWithDifficulty(2));
         replaceFileBytes("Data/Plinkor2.dat", textBytes(scoreTable({{"KEEPER", 5}})));
         replaceFileBytes("Data/level0.dat", oneBlockLevel(40));
         std::string why = makeReadOnly("Data");
         seen.dataBefore = folderContents("Data");
         o.needles = {"[WARNING] Unable to save settings.", "[ERROR] Unable to save level."};
         o.everyPass = [](int64_t) {
             if (seen.difficulty == 0 && onMenu()) {
                 seen.difficulty = game.difficulty;
             }
         };
         return why;
     },
     [](const TourResult& r) {
         // Told once about the settings, and about the edited level at each try to leave the editor.
         int settingsBoxes = 0;
         std::string wrong;
         for (const HeadlessMessageBox& box : r.boxes) {
             bool settings = box.text.find("./Data/settings.dat") != std::string::npos;
             settingsBoxes += settings ? 1 : 0;
             wrong += unless(box.title == "Save Failed" && box.text.find(strerror(EROFS)) != std::string::npos &&
                                 (settings || (box.text.find("./Data/level0.dat") != std::string::npos &&
                                               box.type == MB_TYPE_RETRYCANCEL)),
                             box.text);
         }
         return wrong + unless(seen.difficulty == 2, "the settings were not read") +
                unless(r.found.size() == 2u, "warnings") + unless(settingsBoxes == 1, "settings boxes") +
                unless(folderContents("Data") == seen.dataBefore, "a file changed") +
                unless(umount2("Data", MNT_DETACH) == 0, "unmount");
     }},
    {"no_sound_device", true,
     [](TourOptions& o) { return soundRow(o, [] { headlessSetAudioResult(AUDIO_FAILED); }, "[ERROR] Sound Init Failed."); },
     [](const TourResult& r) { return soundCheck(r, true, 0, 0); }},
    {"sound_device_busy_and_cancelled", true,
     [](TourOptions& o) { return soundRow(o, [] { headlessSetAudioResult(AUDIO_BUSY); }, "[ERROR] Sound Init Failed."); },
     [](const TourResult& r) { return soundCheck(r, true, 1, 0); }},
    {"sound_device_busy_twice_then_retried", true,
     [](TourOptions& o) {
         return soundRow(o, [] {
             headlessSetAudioResultFor(AUDIO_BUSY, 2);
             headlessSetBoxAnswer(MB_RESULT_RETRY);
         }, nullptr);
     },
     [](const TourResult& r) { return soundCheck(r, false, 2, 1); }},
};

void PrintTo(const BadInput& row, std::ostream* out) {
    *out << row.name;
}

class Tour : public ::testing::TestWithParam<BadInput> {};

}  // namespace

TEST_P(Tour, EveryScreenStillWorks) {
    const BadInput& row = GetParam();
    std::unique_ptr<GameFolder> linked(row.gameFolder ? new GameFolder() : nullptr);
    std::unique_ptr<ScratchFolder> empty(row.gameFolder ? nullptr : new ScratchFolder());
    TourOptions options;
    std::string skip = row.prepare(options);
    if (!skip.empty()) {
        GTEST_SKIP() << skip;
    }
    TourResult result = tourTheGame(options);
    EXPECT_EQ(tourFaults(result), "");
    EXPECT_EQ(row.check(result), "");
}

INSTANTIATE_TEST_SUITE_P(BadInput, Tour, ::testing::ValuesIn(rows),
                         [](const ::testing::TestParamInfo<BadInput>& info) { return std::string(info.param.name); });
