// The data generator's parts: each writes its files into the run folder and checks them; false fails the build.
#pragma once

#include <string>

// `runDir` ends with '/'; Data/ and Sound/ exist below it when the parts run.
bool generateLoadingPicture(const std::string& runDir);
bool generatePictures(const std::string& runDir);   // menus, screens, sprites, fonts
bool generateLevelSet(const std::string& runDir);   // field pictures, block types, levels, hints
bool generateSounds(const std::string& runDir);     // effects and music

// The desktop's files, written into `outDir` (ending with '/') from the pictures in `runDir`:
// icon-<size>.png for every size below (the emblem, RGBA) and screenshot-menu.png, screenshot-levels.png.
enum { ICON_SIZE_COUNT = 7 };
extern const int ICON_SIZES[ICON_SIZE_COUNT];
bool generateDesktopFiles(const std::string& runDir, const std::string& outDir);
