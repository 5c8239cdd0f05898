// Generator of sound effects and music.
#include "generator.h"

bool generateSounds(const std::string& runDir) {
    (void)runDir;
    return true;
}
