// Surfaces: rectangles of 16-bit pixels addressed through steps and an origin; colour packing; gamma.
#pragma once

#include <cstdint>

// Pixel (x, y) is the word at origin + xStep * x + yStep * y (steps and origin in 16-bit words).
struct Surface {
    int32_t width, height;   // pixels
    int32_t verticalMemory;  // 1: the pixels of a column are adjacent in memory
    int32_t xStep, yStep;    // words from (x, y) to (x + 1, y) and to (x, y + 1)
    int32_t centreX, centreY; // width >> 1, height >> 1
    uint16_t* pixels;        // the allocation, width * height words
    uint16_t* origin;        // pixel (0, 0)
};

Surface* createSurface(int width, int height);
void removeSurface(Surface** handle);
uint16_t getPixel(const Surface* s, int x, int y);
void putPixel(Surface* s, int x, int y, uint16_t colour);
void clearSurface(Surface* s);
void fillSurfaceBytes(Surface* s, int value);

// Red bits 15-11, green 10-6, blue 4-0 from 5-bit components; bit 5 stays 0 (white is 0xFFDF).
inline uint16_t packColour(int r, int g, int b) {
    return (uint16_t)(r << 11 | g << 6 | b);
}
inline void unpackColour(uint16_t c, int* r, int* g, int* b) {
    *r = c >> 11;
    *g = (c >> 6) & 31;
    *b = c & 31;
}

// The back surface every frame is drawn into (made at start-up, the size of the screen).
extern Surface* backSurface;

extern uint32_t gammaTable[32];
void setGamma(int g);
int getGamma(void);
uint16_t packGammaColour(int r, int g, int b);
