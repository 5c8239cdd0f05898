// Painting helpers for the neon look: shapes by distance with soft edges, glows, blurred light layers,
// glowing and wrapped text, and the generator's own seeded random numbers.
#pragma once

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "canvas.h"

// Seeded pseudo-random numbers for the art: the same seed draws the same picture on every machine.
struct ArtRandom {
    uint32_t state;
};
int artRand(ArtRandom& r);        // 0..32767
double artUnit(ArtRandom& r);     // 0 <= value < 1
double artRange(ArtRandom& r, double low, double high);

// Distances from the point (px, py); negative inside the shape.
double distCircle(double px, double py, double cx, double cy, double radius);
double distSegment(double px, double py, double ax, double ay, double bx, double by);
// A box of half sizes hw, hh around (cx, cy) with corners rounded by `radius`.
double distRoundBox(double px, double py, double cx, double cy, double hw, double hh, double radius);
// A closed polygon given as x0, y0, x1, y1, ...
double distPolygon(double px, double py, const std::vector<double>& points);

// Paints a shape given by its distance function over the pixel box [x0, x1) x [y0, y1): coverage at the
// pixel centre, with one pixel of anti-aliasing, blended with `alpha` (0..255).
template <class Distance>
void paintShape(Canvas& c, int x0, int y0, int x1, int y1, Distance dist, Rgb colour, int alpha = 255) {
    for (int y = std::max(y0, 0); y < std::min(y1, c.height); y++) {
        for (int x = std::max(x0, 0); x < std::min(x1, c.width); x++) {
            double d = dist(x + 0.5, y + 0.5);
            double cover = std::clamp(0.5 - d, 0.0, 1.0);
            if (cover > 0.0) {
                canvasBlend(c, x, y, colour, (int)lround(cover * alpha));
            }
        }
    }
}

// Adds light around a shape: full `strength` inside, falling off quadratically to 0 at `radius` outside.
template <class Distance>
void glowShape(Canvas& c, int x0, int y0, int x1, int y1, Distance dist, Rgb colour, double radius, int strength) {
    for (int y = std::max(y0, 0); y < std::min(y1, c.height); y++) {
        for (int x = std::max(x0, 0); x < std::min(x1, c.width); x++) {
            double d = std::max(dist(x + 0.5, y + 0.5), 0.0) / radius;
            if (d < 1.0) {
                canvasAdd(c, x, y, colour, (int)lround((1.0 - d) * (1.0 - d) * strength));
            }
        }
    }
}

// Shorthands over the distance painter.
void drawLine(Canvas& c, double ax, double ay, double bx, double by, double width, Rgb colour, int alpha = 255);
void glowLine(Canvas& c, double ax, double ay, double bx, double by, double radius, Rgb colour, int strength);
void fillRoundRect(Canvas& c, double x, double y, double w, double h, double radius, Rgb colour, int alpha = 255);
void strokeRoundRect(Canvas& c, double x, double y, double w, double h, double radius, double width, Rgb colour,
                     int alpha = 255);
void glowRoundRect(Canvas& c, double x, double y, double w, double h, double radius, double glowRadius, Rgb colour,
                   int strength);
void drawRing(Canvas& c, double cx, double cy, double radius, double width, Rgb colour, int alpha = 255);
void fillPolygon(Canvas& c, const std::vector<double>& points, Rgb colour, int alpha = 255);
// A vertical colour ramp from `top` to `bottom` over the rectangle.
void fillGradient(Canvas& c, int x, int y, int w, int h, Rgb top, Rgb bottom);

// Light layers: a black canvas painted with light, blurred and added onto a picture.
void blurCanvas(Canvas& layer, int radius, int passes);
// The same blur with the picture wrapping round at its edges (for tiles).
void blurCanvasWrapped(Canvas& layer, int radius, int passes);
void addCanvas(Canvas& dst, const Canvas& layer, int dx, int dy, int weight);
// Copies the picture's pixels onto dst (no blending).
void copyCanvas(Canvas& dst, const Canvas& src, int dx, int dy);

// Text: plain, centred, and with a neon glow (a blurred halo of `glow` under a core of `colour`).
int textWidthPx(const std::string& text, const char* fontFile, int pixelSize);
void drawTextCentred(Canvas& c, double cx, int baselineY, const std::string& text, const char* fontFile,
                     int pixelSize, Rgb colour);
void drawNeonText(Canvas& c, int x, int baselineY, const std::string& text, const char* fontFile, int pixelSize,
                  Rgb colour, Rgb glow, int glowRadius, int glowWeight);
void drawNeonTextCentred(Canvas& c, double cx, int baselineY, const std::string& text, const char* fontFile,
                         int pixelSize, Rgb colour, Rgb glow, int glowRadius, int glowWeight);
// Splits text into lines no wider than maxWidth (words kept whole; "\n" forces a break).
std::vector<std::string> wrapText(const std::string& text, const char* fontFile, int pixelSize, int maxWidth);

Rgb scaleRgb(Rgb c, double f);
Rgb mixRgb(Rgb a, Rgb b, double t);

// Font files the pictures use.
extern const char* const FONT_SANS;
extern const char* const FONT_SANS_BOLD;
extern const char* const FONT_CONDENSED;
extern const char* const FONT_CONDENSED_BOLD;
extern const char* const FONT_MONO_BOLD;
extern const char* const FONT_SERIF_BOLD;

// The palette of the look.
extern const Rgb NEON_CYAN, NEON_MAGENTA, NEON_AMBER, NEON_WHITE, NEON_RED, NEON_GREEN, NEON_BLUE;
extern const Rgb NIGHT;  // the near-black ground of panels that must stay visible in transparent blits
