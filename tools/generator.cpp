// The data generator's entry: makes the run folder's Data/, Sound/ and My Documents/ and fills them.
#include "generator.h"

#include <sys/stat.h>

#include <cstdio>
#include <string>

static bool makeFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0755) == 0) {
        return true;
    }
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int main(int argc, char** argv) {
    // The desktop's icons and catalogue pictures go to a folder of their own, made from a run folder.
    if (argc == 4 && std::string(argv[1]) == "--desktop") {
        std::string runDir = std::string(argv[2]) + "/", outDir = std::string(argv[3]) + "/";
        if (!makeFolder(outDir) || !generateDesktopFiles(runDir, outDir)) {
            fprintf(stderr, "plinkor-gen: desktop files failed\n");
            return 1;
        }
        return 0;
    }
    if (argc != 2) {
        fprintf(stderr, "usage: plinkor-gen RUN_FOLDER | plinkor-gen --desktop RUN_FOLDER OUT_FOLDER\n");
        return 2;
    }
    std::string runDir = argv[1];
    if (runDir.empty() || runDir.back() != '/') {
        runDir += '/';
    }
    for (const char* sub : {"", "Data", "Sound", "Custom", "My Documents"}) {
        if (!makeFolder(runDir + sub)) {
            fprintf(stderr, "plinkor-gen: cannot make folder %s%s\n", runDir.c_str(), sub);
            return 1;
        }
    }
    struct Step {
        const char* name;
        bool (*run)(const std::string&);
    };
    const Step steps[] = {
        {"loading picture", generateLoadingPicture},
        {"pictures and fonts", generatePictures},
        {"level set", generateLevelSet},
        {"sounds and music", generateSounds},
    };
    for (const Step& step : steps) {
        if (!step.run(runDir)) {
            fprintf(stderr, "plinkor-gen: %s failed\n", step.name);
            return 1;
        }
    }
    return 0;
}
