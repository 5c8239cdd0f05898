// Bad input for the reliability tests: crafted levels, block descriptions, settings, tables and hints,
// and folders made read-only or full in a mount namespace of the test's own.
#include "badinput.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include "flowtest.h"
#include "field/gamevalues.h"
#include "game/settings.h"

LevelBlock blockRecord(int x, int y, int type, int w, int h, int powerUp) {
    LevelBlock r = {};
    r.x = (uint16_t)x;
    r.y = (uint16_t)y;
    r.type = (uint8_t)type;
    r.width = (uint8_t)w;
    r.height = (uint8_t)h;
    r.powerUp = (uint16_t)powerUp;
    return r;
}

std::vector<uint8_t> levelBytes(const std::vector<LevelBlock>& blocks) {
    std::vector<uint8_t> bytes(blocks.size() * sizeof(LevelBlock));
    if (!blocks.empty()) {
        std::memcpy(bytes.data(), blocks.data(), bytes.size());
    }
    return bytes;
}

// 200 block records with fields of 100 characters: numbers of 100 digits, a number padded with
// spaces, or 100 characters of anything but the separators; every fifth record of another word.
std::string wideBlockDescriptions(void) {
    std::string text;
    std::mt19937 random(5);
    for (int r = 0; r < 200; r++) {
        std::string fields[5];
        fields[0] = "block";
        for (int k = 1; k < 5; k++) {
            // A number of up to 100 digits, or 100 characters of anything but the separators.
            std::string f;
            if (r % 3 == 0) {
                f = std::string(100, (char)('0' + r % 10));
            } else if (r % 3 == 1) {
                f = std::to_string(random() % 400) + std::string(97, ' ');
            } else {
                for (int c = 0; c < 100; c++) {
                    char ch = (char)(32 + random() % 95);
                    f += ch == '[' || ch == ']' || ch == ',' ? '#' : ch;
                }
            }
            fields[k] = f;
        }
        if (r % 5 == 4) {
            fields[0] = std::string(100, 'b');  // not a block record
        }
        text += "[" + fields[0] + "," + fields[1] + "," + fields[2] + "," + fields[3] + "," + fields[4] + "]\n";
    }
    return text;
}

// Blocks of every odd shape and type: at the far right, on the lowest row kept, as wide and tall as a
// record allows, of types past the table, hiding power-ups past the last kind.
std::vector<LevelBlock> oddBlocks(void) {
    std::vector<LevelBlock> blocks;
    for (int i = 0; i < 300; i++) {
        blocks.push_back(blockRecord((i * 37) % 230, (i * 11) % 230, (i * 3) % 256, 1 + i % 40, 1 + i % 30, i % 30));
    }
    blocks.push_back(blockRecord(65535, 10, 1, 255, 255, 65535));
    blocks.push_back(blockRecord(230, 240, 255, 255, 255, 23));
    blocks.push_back(blockRecord(0, 0, 99, 0, 0, 22));
    blocks.push_back(blockRecord(239, 239, 0, 1, 1, 1));
    return blocks;
}

// A settings file of the right size holding garbage, with a difficulty of 7, volumes of 300 and -5,
// hints 5 and an unlock flag of the most negative number.
std::vector<uint8_t> garbageSettings(void) {
    std::mt19937 random(3);
    std::vector<int32_t> values(SETTINGS_BYTES / 4);
    for (int32_t& v : values) {
        v = (int32_t)random();
    }
    values[8] = 7;           // difficulty
    values[9] = 300;         // effects volume
    values[10] = -5;         // music volume
    values[11] = 5;          // helpful hints
    values[12] = INT32_MIN;  // an unlock flag
    return valuesToBytes(values);
}

// Every file of a folder (links followed) by name, with its bytes.
std::map<std::string, std::vector<uint8_t>> folderContents(const std::string& folder) {
    std::map<std::string, std::vector<uint8_t>> contents;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        contents[entry.path().filename().string()] = readFileBytes(entry.path().string());
    }
    return contents;
}

bool canCreateIn(const std::string& folder) {
    std::string probe = folder + "/.probe";
    int fd = open(probe.c_str(), O_CREAT | O_WRONLY, 0644);
    if (fd < 0) {
        return false;
    }
    close(fd);
    unlink(probe.c_str());
    return true;
}

// A mount namespace of this process's own, so that mounts made for a test are seen by nobody else.
// Root needs only the namespace; anyone else becomes root of a user namespace first. "" on success.
std::string ownMountNamespace(void) {
    static std::string result = "unset";
    if (result != "unset") {
        return result;
    }
    uid_t uid = geteuid();
    gid_t gid = getegid();
    if (uid != 0) {
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            return result = std::string("no user namespace: ") + strerror(errno);
        }
        std::string uidMap = "0 " + std::to_string(uid) + " 1\n", gidMap = "0 " + std::to_string(gid) + " 1\n";
        writeFileBytes("/proc/self/setgroups", textBytes("deny"));
        writeFileBytes("/proc/self/uid_map", textBytes(uidMap));
        writeFileBytes("/proc/self/gid_map", textBytes(gidMap));
    } else if (unshare(CLONE_NEWNS) != 0) {
        return result = std::string("no mount namespace: ") + strerror(errno);
    }
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return result = std::string("mounts cannot be made private: ") + strerror(errno);
    }
    return result = "";
}

// Makes the folder read-only for this process: a read-only mount of itself. "" on success.
std::string makeReadOnly(const std::string& folder) {
    std::string why = ownMountNamespace();
    if (!why.empty()) {
        return why;
    }
    if (mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
        mount(nullptr, folder.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
        return std::string("no read-only mount: ") + strerror(errno);
    }
    return canCreateIn(folder) ? "the read-only mount takes writes" : "";
}

std::string makeTinyDisk(const std::string& folder, int kilobytes) {
    std::string why = ownMountNamespace();
    if (!why.empty()) {
        return why;
    }
    std::string size = "size=" + std::to_string(kilobytes) + "k";
    if (mount("tmpfs", folder.c_str(), "tmpfs", 0, size.c_str()) != 0) {
        return std::string("no tmpfs: ") + strerror(errno);
    }
    return "";
}

// Fills the file system of the folder to the last byte.
void fillDisk(const std::string& folder) {
    FILE* f = fopen((folder + "/filler").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::vector<uint8_t> chunk(1024, 0xEE);
    while (fwrite(chunk.data(), 1, chunk.size(), f) == chunk.size() && fflush(f) == 0) {
    }
    fclose(f);
    for (size_t n = 1; n > 0;) {
        f = fopen((folder + "/filler").c_str(), "ab");
        n = f != nullptr ? fwrite(chunk.data(), 1, 1, f) : 0;
        if (f != nullptr && fclose(f) != 0) {
            n = 0;
        }
    }
    ASSERT_FALSE(canCreateIn(folder) && std::filesystem::space(folder).available > 0);
}

std::vector<uint8_t> settingsWithDifficulty(int32_t difficulty) {
    setDefaultSettings();
    game.difficulty = difficulty;
    std::vector<uint8_t> bytes(SETTINGS_BYTES);
    encodeSettings(bytes.data());
    return bytes;
}

std::vector<uint8_t> oneBlockLevel(int x) {
    return {(uint8_t)x, 0, 50, 0, 1, 20, 10, 0, 0, 0, 0, 0};
}

bool temporaryFilesIn(const std::string& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".tmp") {
            return true;
        }
    }
    return false;
}

std::vector<uint8_t> thousandBlockLevel(void) {
    std::vector<LevelBlock> blocks;
    for (int i = 0; i < 1000; i++) {
        blocks.push_back(blockRecord(10 + (i * 7) % 210, 10 + (i * 13) % 200, i % 4, 10, 5, i % 23));
    }
    std::vector<uint8_t> bytes = levelBytes(blocks);
    bytes.push_back(0x5A);
    return bytes;
}

std::vector<std::string> hugeHintFiles(void) {
    std::string letters;
    for (int i = 0; i < 5000; i++) {
        letters += (char)('a' + i % 26);
        if (i % 7 == 6) {
            letters += ' ';
        }
    }
    letters.resize(5000);
    return {
        "[hint|" + letters + "]",
        "[hint|" + std::string(5000, '\n') + "]",
        "[hint|" + std::string(5000, '^') + "]",
        "[hint|" + std::string(5000, '-') + "][width|-99999]",
        "[show|" + std::string(5000, '9') + "][width|" + std::string(5000, '7') + "][hint|x]",
        "[" + std::string(5000, '|') + "]",
        "[hint|" + letters + "|" + letters + "]" + letters,
    };
}

std::string letteredScoreTable(void) {
    // Names of anything; scores with letters, signs, control characters and bytes past 127.
    std::string table = "ALICE.....abcdefghij"
                        "BOB.......12ab34cd56"
                        "CAROL.....-----99999"
                        "DAVE......\x01\x02\x03\x04\xff\xfe\x80.. "
                        "EVE.......  ++++7777"
                        "\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff";
    table.resize(500, 'Z');
    return table;
}
