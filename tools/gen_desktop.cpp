// The desktop's files: the game's emblem as icons of every standard size and the catalogue screenshots.
#include "generator.h"

#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Row-major RGBA pixels, 4 bytes each, alpha not premultiplied.
struct RgbaImage {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
};

struct Colour {
    double r, g, b, a;   // 0..1
};

bool writePngRgba(const std::string& path, const RgbaImage& image) {
    png_image info;
    memset(&info, 0, sizeof(info));
    info.version = PNG_IMAGE_VERSION;
    info.width = (png_uint_32)image.width;
    info.height = (png_uint_32)image.height;
    info.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&info, path.c_str(), 0, image.pixels.data(), 0, nullptr)) {
        fprintf(stderr, "plinkor-gen: cannot write %s: %s\n", path.c_str(), info.message);
        return false;
    }
    return true;
}

bool readPngRgba(const std::string& path, RgbaImage& image) {
    png_image info;
    memset(&info, 0, sizeof(info));
    info.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&info, path.c_str())) {
        fprintf(stderr, "plinkor-gen: cannot read %s: %s\n", path.c_str(), info.message);
        return false;
    }
    info.format = PNG_FORMAT_RGBA;
    image.width = (int)info.width;
    image.height = (int)info.height;
    image.pixels.assign(PNG_IMAGE_SIZE(info), 0);
    if (!png_image_finish_read(&info, nullptr, image.pixels.data(), 0, nullptr)) {
        fprintf(stderr, "plinkor-gen: cannot read %s: %s\n", path.c_str(), info.message);
        return false;
    }
    return true;
}

// The emblem in a unit square (0..1 both ways, y down): which colour covers point (x, y), if any.
// A night-blue rounded tile; three bricks, the right one crumbling; a glowing ball; the amber paddle
// on a heap of sand.
bool emblemAt(double x, double y, Colour& out) {
    const double radius = 0.18;
    double cx = x < radius ? radius : (x > 1 - radius ? 1 - radius : x);
    double cy = y < radius ? radius : (y > 1 - radius ? 1 - radius : y);
    if ((x - cx) * (x - cx) + (y - cy) * (y - cy) > radius * radius) {
        return false;
    }
    out = {0.06, 0.08 + 0.10 * y, 0.22 + 0.12 * y, 1};
    struct Brick {
        double x0, x1;
        Colour colour;
    };
    const Brick bricks[] = {
        {0.12, 0.36, {0.20, 0.85, 0.95, 1}},
        {0.39, 0.63, {0.95, 0.35, 0.75, 1}},
        {0.66, 0.88, {0.55, 0.95, 0.35, 1}},
    };
    for (const Brick& b : bricks) {
        if (x >= b.x0 && x < b.x1 && y >= 0.16 && y < 0.30) {
            // The right brick crumbles: a stepped bite out of its lower corner.
            if (b.x0 > 0.6 && y > 0.30 - (x - 0.74) * 0.9 && x > 0.74) {
                continue;
            }
            out = y < 0.19 ? Colour{b.colour.r * 0.6 + 0.4, b.colour.g * 0.6 + 0.4, b.colour.b * 0.6 + 0.4, 1}
                           : b.colour;
        }
    }
    double bx = x - 0.56, by = y - 0.55;
    double ball = sqrt(bx * bx + by * by);
    if (ball < 0.085) {
        out = {1, 1, 0.95, 1};
    } else if (ball < 0.16) {
        double glow = (0.16 - ball) / 0.075 * 0.6;
        out.r += (1.0 - out.r) * glow;
        out.g += (0.95 - out.g) * glow;
        out.b += (0.70 - out.b) * glow;
    }
    // Sand heaped under the paddle, highest in the middle.
    double heap = 0.92 - 0.10 * exp(-(x - 0.5) * (x - 0.5) / 0.05);
    if (y > heap) {
        out = {0.85, 0.70, 0.40, 1};
    }
    if (x > 0.26 && x < 0.74 && y > 0.72 && y < 0.80) {
        out = y < 0.745 ? Colour{1.0, 0.85, 0.45, 1} : Colour{0.98, 0.68, 0.15, 1};
    }
    return true;
}

// Draws the emblem at `size` pixels, 8 x 8 samples a pixel so small icons keep clean edges.
RgbaImage drawEmblem(int size) {
    RgbaImage image;
    image.width = image.height = size;
    image.pixels.assign((size_t)size * size * 4, 0);
    const int samples = 8;
    for (int py = 0; py < size; py++) {
        for (int px = 0; px < size; px++) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < samples; sy++) {
                for (int sx = 0; sx < samples; sx++) {
                    Colour c;
                    double x = (px + (sx + 0.5) / samples) / size;
                    double y = (py + (sy + 0.5) / samples) / size;
                    if (emblemAt(x, y, c)) {
                        r += c.r;
                        g += c.g;
                        b += c.b;
                        a += 1;
                    }
                }
            }
            uint8_t* out = &image.pixels[((size_t)py * size + px) * 4];
            if (a > 0) {
                out[0] = (uint8_t)lround(fmin(1.0, r / a) * 255);
                out[1] = (uint8_t)lround(fmin(1.0, g / a) * 255);
                out[2] = (uint8_t)lround(fmin(1.0, b / a) * 255);
            }
            out[3] = (uint8_t)lround(a / (samples * samples) * 255);
        }
    }
    return image;
}

// The main menu as a new game shows it: items 1..5 of the menu strips added onto the title background
// at the menu's place (left 82, top 122, 24 rows an item, the strips' first item at row 2).
void addMenuItems(RgbaImage& frame, const RgbaImage& strips) {
    for (int item = 1; item < 6; item++) {
        for (int row = 0; row < 24; row++) {
            int from = 2 + 24 * item + row, to = 122 + 24 * item + row;
            if (from >= strips.height || to >= frame.height) {
                continue;
            }
            for (int col = 0; col < strips.width && 82 + col < frame.width; col++) {
                const uint8_t* s = &strips.pixels[((size_t)from * strips.width + col) * 4];
                uint8_t* d = &frame.pixels[((size_t)to * frame.width + 82 + col) * 4];
                for (int k = 0; k < 3; k++) {
                    d[k] = (uint8_t)(d[k] + s[k] > 255 ? 255 : d[k] + s[k]);
                }
            }
        }
    }
}

// The 240 x 320 screen made three times larger, each pixel a block, as the catalogue shows it.
RgbaImage enlarged(const RgbaImage& screen, int factor) {
    RgbaImage big;
    big.width = screen.width * factor;
    big.height = screen.height * factor;
    big.pixels.resize((size_t)big.width * big.height * 4);
    for (int y = 0; y < big.height; y++) {
        for (int x = 0; x < big.width; x++) {
            memcpy(&big.pixels[((size_t)y * big.width + x) * 4],
                   &screen.pixels[((size_t)(y / factor) * screen.width + x / factor) * 4], 4);
        }
    }
    return big;
}

}   // namespace

const int ICON_SIZES[ICON_SIZE_COUNT] = {16, 24, 32, 48, 64, 128, 256};

bool generateDesktopFiles(const std::string& runDir, const std::string& outDir) {
    for (int size : ICON_SIZES) {
        RgbaImage icon = drawEmblem(size);
        // The rounded corners let the desktop show through and the middle is solid: the tile was drawn.
        if (icon.pixels[3] > 128 || icon.pixels[((size_t)(size / 2) * size + size / 2) * 4 + 3] != 255) {
            fprintf(stderr, "plinkor-gen: the %d px icon lost its shape\n", size);
            return false;
        }
        if (!writePngRgba(outDir + "icon-" + std::to_string(size) + ".png", icon)) {
            return false;
        }
    }
    // Catalogue pictures of the screens the game shows: the main menu and the level chooser.
    RgbaImage back, menu, chooser;
    if (!readPngRgba(runDir + "Data/titleBack.png", back) || !readPngRgba(runDir + "Data/mainMenu.png", menu) ||
        !readPngRgba(runDir + "Data/choose.png", chooser)) {
        return false;
    }
    if (back.width != 240 || back.height != 320 || chooser.width != 240 || chooser.height != 320) {
        fprintf(stderr, "plinkor-gen: the screen pictures are not 240 x 320\n");
        return false;
    }
    addMenuItems(back, menu);
    return writePngRgba(outDir + "screenshot-menu.png", enlarged(back, 3)) &&
           writePngRgba(outDir + "screenshot-levels.png", enlarged(chooser, 3));
}
