// The data generator's parts: each writes its files into the run folder and checks them; false fails the build.
#pragma once

#include <string>

// `runDir` ends with '/'; Data/ and Sound/ exist below it when the parts run.
bool generateLoadingPicture(const std::string& runDir);
bool generatePictures(const std::string& runDir);   // menus, screens, sprites, fonts
bool generateLevelSet(const std::string& runDir);   // field pictures, block types, levels, hints
bool generateSounds(const std::string& runDir);     // effects and music
