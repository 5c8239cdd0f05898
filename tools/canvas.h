// The generator's drawing board: an 8-bit RGB canvas, simple shapes, anti-aliased text, PNG writing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    uint8_t r, g, b;
};

// Row-major RGB pixels, 3 bytes each.
struct Canvas {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

Canvas makeCanvas(int width, int height, Rgb fill);
Rgb canvasGet(const Canvas& c, int x, int y);
void canvasSet(Canvas& c, int x, int y, Rgb colour);
// Mixes colour into the pixel with weight 0..255 (255 replaces it).
void canvasBlend(Canvas& c, int x, int y, Rgb colour, int weight);
// Adds colour scaled by weight/255 to the pixel, saturating (light on a dark ground).
void canvasAdd(Canvas& c, int x, int y, Rgb colour, int weight);
void fillRect(Canvas& c, int x, int y, int w, int h, Rgb colour);
// A filled disc with a soft anti-aliased edge.
void fillDisc(Canvas& c, double cx, double cy, double radius, Rgb colour);
// A soft glow: colour added with weight falling from `strength` at the centre to 0 at `radius`.
void addGlow(Canvas& c, double cx, double cy, double radius, Rgb colour, int strength);

// Text rendered with FreeType from a DejaVu font file (plain name like "DejaVuSans-Bold.ttf").
// Draws with its baseline at y, starting at x; returns the advance width in pixels.
int drawFontText(Canvas& c, int x, int baselineY, const std::string& text, const char* fontFile, int pixelSize,
                 Rgb colour, bool additive);
int measureFontText(const std::string& text, const char* fontFile, int pixelSize);
std::string dejaVuPath(const char* fontFile);

// Writes an 8-bit RGB PNG without alpha; returns false (with a message on stderr) on failure.
bool writePngRgb(const std::string& path, const Canvas& c);
// Writes an 8-bit palette PNG: one index per pixel into up to 256 palette colours.
bool writePngPalette(const std::string& path, int width, int height, const std::vector<uint8_t>& indices,
                     const std::vector<Rgb>& palette);
