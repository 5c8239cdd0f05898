// Listening aid: writes every generated sound as a WAV file and a spectrogram picture of each music track.
// The files land in sound-export/ of the review folder for a person to play and look at.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "reviewkit.h"

namespace {

struct Export {
    const char* name;
    int rate;  // samples per second the file was recorded at
    bool music;
};

const Export exports[] = {
    {"cleep2", 22050, false},       {"electron", 22050, false},   {"generalsfx8", 22050, false},
    {"generalsfx48", 22050, false}, {"zwiff", 22050, false},      {"maximize03", 22050, false},
    {"minimize3", 22050, false},    {"DESTROY", 22050, false},    {"chomp", 22050, false},
    {"fizz", 22050, false},         {"doh", 22050, false},        {"scoreup", 22050, false},
    {"fearme1", 22050, false},      {"scream", 11025, false},     {"monkey", 11025, false},
    {"paddletap", 22050, false},
    {"coolcat", 11025, true},       {"claudioa", 11025, true},    {"percmysterya", 11025, true},
    {"burningloveb", 11025, true},  {"slowbassorgan", 11025, true}, {"spacemonkey", 11025, true},
};

void put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; i++) {
        b.push_back((uint8_t)(v >> (8 * i)));
    }
}

void put16(std::vector<uint8_t>& b, uint16_t v) {
    b.push_back((uint8_t)v);
    b.push_back((uint8_t)(v >> 8));
}

// A canonical 44-byte header, 16-bit mono PCM, then the raw samples unchanged (both little-endian).
std::vector<uint8_t> wavFile(const std::vector<uint8_t>& raw, int rate) {
    std::vector<uint8_t> b;
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    put32(b, 36 + (uint32_t)raw.size());
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(b, 16);
    put16(b, 1);  // PCM
    put16(b, 1);  // mono
    put32(b, (uint32_t)rate);
    put32(b, (uint32_t)rate * 2);
    put16(b, 2);
    put16(b, 16);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    put32(b, (uint32_t)raw.size());
    b.insert(b.end(), raw.begin(), raw.end());
    return b;
}

}  // namespace

bool writeSoundExport() {
    bool ok = true;
    const std::string folder = reviewOutDir + "sound-export/";
    std::filesystem::create_directories(folder);
    const bool haveSox = std::system("command -v sox >/dev/null 2>&1") == 0;
    for (const Export& e : exports) {
        std::vector<uint8_t> raw = readFileBytes(std::string("Sound/") + e.name + ".raw");
        if (raw.empty()) {
            fprintf(stderr, "plinkor-review: Sound/%s.raw is missing\n", e.name);
            ok = false;
            continue;
        }
        const std::string wav = folder + e.name + ".wav";
        writeFileBytes(wav, wavFile(raw, e.rate));
        if (e.music && haveSox) {
            const std::string png = folder + e.name + ".png";
            std::filesystem::remove(png);
            const std::string command = "sox '" + wav + "' -n spectrogram -x 1200 -y 400 -z 90 -t " + e.name +
                                        " -o '" + png + "' 2>/dev/null";
            if (std::system(command.c_str()) != 0) {
                fprintf(stderr, "plinkor-review: sox failed on %s\n", wav.c_str());
                ok = false;
            }
        }
    }
    printf("sound export: %s (%s)\n", std::filesystem::canonical(folder).c_str(),
           haveSox ? "WAV files and spectrograms" : "WAV files; no sox for spectrograms");
    return ok;
}
