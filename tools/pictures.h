// The picture generator's parts, the art they share, and the checks that read written pictures back
// through the game's own loader.
#pragma once

#include <string>

#include "canvas.h"
#include "gfx/surface.h"

// Each part writes its pictures into dataDir (ending in '/') and checks them; false fails the build.
bool generateSmallChars(const std::string& dataDir);
bool generateFontPictures(const std::string& dataDir);
bool generateScreens(const std::string& dataDir);
bool generateSplashes(const std::string& dataDir);
bool generateSprites(const std::string& dataDir);
bool generateManual(const std::string& dataDir);

// Power-up art, shared by the power-up sheet and the information page.
enum { POWER_UP_KINDS = 22, POWER_UP_ICON = 16, POWER_UP_GLOW = 24 };
extern const char* const POWER_UP_NAMES[POWER_UP_KINDS];
extern const char* const POWER_UP_EFFECTS[POWER_UP_KINDS];
bool powerUpHarmful(int kind);
Rgb powerUpHue(int kind);
// The 16 x 16 icon: its colours and its mask (grey = weight; black leaves the ground alone).
void paintPowerUpIcon(int kind, Canvas& colour, Canvas& mask);
// The 24 x 24 additive glow drawn under the icon.
Canvas paintPowerUpGlow(int kind);
// Puts the icon with its glow on a picture as the game shows it, icon centre at (cx, cy).
void stampPowerUp(Canvas& c, int cx, int cy, int kind);

// The mascot, drawn with its head centred at (cx, cy) and scaled; the mouth open or closed.
void paintMonkey(Canvas& c, double cx, double cy, double scale, bool mouthOpen);
// A small scene: a paddle, a ball with its trail and a block crumbling into grains, around (cx, cy).
void paintPlayScene(Canvas& c, double cx, double cy, double scale);

// Checks on written pictures, read back with the game's PNG loader at the gamma in force.
Surface* loadWrittenPicture(const std::string& path);
// Prints "plinkor-gen: <picture>: <message>" on stderr and returns false.
bool pictureFault(const char* picture, const char* format, ...) __attribute__((format(printf, 2, 3)));
bool checkPictureSize(const char* picture, const Surface* s, int minWidth, int maxWidth, int minHeight,
                      int maxHeight);
// The rectangle lies inside the picture, and (when mustShow) holds at least minInk non-zero pixels.
bool checkRegion(const char* picture, const Surface* s, const char* region, int x, int y, int w, int h,
                 bool mustShow, int minInk = 1);
int countInk(const Surface* s, int x, int y, int w, int h);
