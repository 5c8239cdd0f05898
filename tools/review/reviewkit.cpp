// The review writers' shared helpers: files, pictures as the game loads them, PNG output, the level set.
#include "reviewkit.h"

#include <png.h>

#include <cstdio>

#include "field/blocks.h"
#include "gfx/picture.h"
#include "platform/headless/headless.h"
#include "shell/mainloop.h"
#include "shell/runfolder.h"

std::string reviewOutDir;

std::vector<uint8_t> readFileBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (f == nullptr) {
        return bytes;
    }
    uint8_t buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    fclose(f);
    return bytes;
}

void writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (f == nullptr) {
        fprintf(stderr, "plinkor-review: cannot write %s\n", path.c_str());
        return;
    }
    if (!bytes.empty()) {
        fwrite(bytes.data(), 1, bytes.size(), f);
    }
    fclose(f);
}

Surface* loadDataPicture(const char* name, int gamma) {
    setGamma(gamma);
    snprintf(runPaths.dataPath, sizeof runPaths.dataPath, "./Data/");
    size_t boxes = headlessMessageBoxes().size();
    Surface* s = nullptr;
    loadPicture(name, &s);
    if (headlessMessageBoxes().size() != boxes) {
        fprintf(stderr, "plinkor-review: %s did not load\n", name);
    }
    setGamma(128);
    if (s == nullptr) {
        s = createSurface(1, 1);
    }
    return s;
}

bool writePngFile(const std::string& path, int width, int height, const std::vector<uint8_t>& pixels,
                  const std::vector<uint8_t>* paletteRgb) {
    FILE* f = fopen(path.c_str(), "wb");
    if (f == nullptr) {
        fprintf(stderr, "plinkor-review: cannot write %s\n", path.c_str());
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, (png_uint_32)width, (png_uint_32)height, 8,
                 paletteRgb != nullptr ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> entries;
    if (paletteRgb != nullptr) {
        for (size_t i = 0; i + 2 < paletteRgb->size(); i += 3) {
            entries.push_back(png_color{(*paletteRgb)[i], (*paletteRgb)[i + 1], (*paletteRgb)[i + 2]});
        }
        png_set_PLTE(png, info, entries.data(), (int)entries.size());
    }
    png_write_info(png, info);
    const size_t rowBytes = (size_t)width * (paletteRgb != nullptr ? 1 : 3);
    for (int y = 0; y < height; y++) {
        png_write_row(png, const_cast<png_bytep>(&pixels[(size_t)y * rowBytes]));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    fclose(f);
    return true;
}

bool writeSurfacePng(const std::string& path, const Surface* s) {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < s->height; y++) {
        for (int x = 0; x < s->width; x++) {
            int c[3];
            unpackColour(getPixel(s, x, y), &c[0], &c[1], &c[2]);
            for (int v : c) {
                rgb.push_back((uint8_t)(v << 3 | v >> 2));
            }
        }
    }
    if (!writePngFile(path, s->width, s->height, rgb, nullptr)) {
        return false;
    }
    printf("wrote %s\n", path.c_str());
    return true;
}

void recolourArea(Surface* s, int w, int h, int p) {
    if (p == 0) {
        return;
    }
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            int r, g, b;
            unpackColour(getPixel(s, x, y), &r, &g, &b);
            int nr = r, ng = g, nb = b;
            switch (p) {
                case 1: nr = r; ng = b; nb = g; break;
                case 2: nr = g; ng = r; nb = b; break;
                case 3: nr = b; ng = r; nb = g; break;
                default: nr = b; ng = g; nb = r; break;
            }
            putPixel(s, x, y, packColour(nr, ng, nb));
        }
    }
}

LevelSet::LevelSet() {
    setGamma(128);
    snprintf(runPaths.dataPath, sizeof runPaths.dataPath, "./Data/");
    loadBlockDescriptions(5);
    for (int t = 0; t < blockTypeCount; t++) {
        types.push_back({blockTypes[t].cellX, blockTypes[t].cellY, blockTypes[t].width, blockTypes[t].height});
    }
    blocks = loadDataPicture("blocks5.png");
    scheme = loadDataPicture("scheme5.png");
    levels.resize(100);
    for (int n = 0; n < 100; n++) {
        std::vector<uint8_t> bytes = readFileBytes("Data/level" + std::to_string(n) + ".dat");
        for (size_t i = 0; i + 12 <= bytes.size(); i += 12) {
            const uint8_t* r = &bytes[i];
            levels[(size_t)n].push_back({r[0] | r[1] << 8, r[2] | r[3] << 8, r[4], r[5], r[6], r[10] | r[11] << 8});
        }
    }
}

LevelSet::~LevelSet() {
    removeSurface(&blocks);
    removeSurface(&scheme);
}

bool LevelSet::cellPixel(int type, int dx, int dy) const {
    const TypeCellView& t = types[(size_t)type];
    return getPixel(blocks, t.x + dx, t.y + dy) != 0;
}

Figures levelFigures(const LevelSet& set, int n) {
    // Walls and the level's metal plates, one byte a pixel.
    std::vector<uint8_t> solid(240 * 320, 0);
    for (int y = 0; y < 320; y++) {
        for (int x = 0; x < 240; x++) {
            solid[(size_t)y * 240 + x] = getPixel(set.scheme, x, y) != 0;
        }
    }
    for (const LevelRecordView& r : set.levels[(size_t)n]) {
        for (int dy = 0; dy < r.height && r.type == 0; dy++) {
            for (int dx = 0; dx < r.width; dx++) {
                if (set.cellPixel(0, dx, dy)) {
                    solid[(size_t)(r.y + dy) * 240 + r.x + dx] = 1;
                }
            }
        }
    }
    Figures f;
    for (const LevelRecordView& r : set.levels[(size_t)n]) {
        f.blocks++;
        f.metal += r.type == 0;
        if (r.type == 0) {
            continue;
        }
        f.gems += r.width <= 5;
        for (int dy = 0; dy < r.height; dy++) {
            for (int dx = 0; dx < r.width; dx++) {
                f.debris += set.cellPixel(r.type, dx, dy);
            }
        }
        bool open = false;
        for (int cx = r.x - 3; cx <= r.x + r.width + 2 && !open; cx++) {
            bool clear = cx - 3 >= 0 && cx + 3 < 240;
            for (int y = r.y + r.height; y < 200 && clear; y++) {
                for (int x = cx - 3; x <= cx + 3 && clear; x++) {
                    clear = !solid[(size_t)y * 240 + x];
                }
            }
            open = clear;
        }
        f.shielded += open ? 0 : 1;
    }
    return f;
}
