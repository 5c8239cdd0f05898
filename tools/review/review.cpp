// plinkor-review RUN_FOLDER OUT_FOLDER: writes pictures and sounds of the generated data for a person to
// look at and listen to (a contact sheet, level sheets, WAV files and spectrograms). Not a test.
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "reviewkit.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: plinkor-review RUN_FOLDER OUT_FOLDER\n");
        return 2;
    }
    std::error_code error;
    std::filesystem::create_directories(argv[2], error);
    reviewOutDir = std::filesystem::absolute(argv[2]).string() + "/";
    // The game's loaders read Data/ and Sound/ relative to the run folder.
    if (chdir(argv[1]) != 0) {
        fprintf(stderr, "plinkor-review: cannot enter %s\n", argv[1]);
        return 1;
    }
    bool ok = writeContactSheet();
    ok = writeLevelSheets() && ok;
    ok = writeSoundExport() && ok;
    printf("review files in %s\n", reviewOutDir.c_str());
    return ok ? 0 : 1;
}
