// The generator's canvas, shapes, FreeType text and PNG output.
#include "canvas.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

Canvas makeCanvas(int width, int height, Rgb fill) {
    Canvas c;
    c.width = width;
    c.height = height;
    c.rgb.resize((size_t)width * height * 3);
    for (size_t i = 0; i < (size_t)width * height; i++) {
        c.rgb[i * 3] = fill.r;
        c.rgb[i * 3 + 1] = fill.g;
        c.rgb[i * 3 + 2] = fill.b;
    }
    return c;
}

Rgb canvasGet(const Canvas& c, int x, int y) {
    if (x < 0 || y < 0 || x >= c.width || y >= c.height) {
        return Rgb{0, 0, 0};
    }
    const uint8_t* p = &c.rgb[((size_t)y * c.width + x) * 3];
    return Rgb{p[0], p[1], p[2]};
}

void canvasSet(Canvas& c, int x, int y, Rgb colour) {
    if (x < 0 || y < 0 || x >= c.width || y >= c.height) {
        return;
    }
    uint8_t* p = &c.rgb[((size_t)y * c.width + x) * 3];
    p[0] = colour.r;
    p[1] = colour.g;
    p[2] = colour.b;
}

void canvasBlend(Canvas& c, int x, int y, Rgb colour, int weight) {
    if (x < 0 || y < 0 || x >= c.width || y >= c.height || weight <= 0) {
        return;
    }
    weight = std::min(weight, 255);
    uint8_t* p = &c.rgb[((size_t)y * c.width + x) * 3];
    p[0] = (uint8_t)((p[0] * (255 - weight) + colour.r * weight) / 255);
    p[1] = (uint8_t)((p[1] * (255 - weight) + colour.g * weight) / 255);
    p[2] = (uint8_t)((p[2] * (255 - weight) + colour.b * weight) / 255);
}

void canvasAdd(Canvas& c, int x, int y, Rgb colour, int weight) {
    if (x < 0 || y < 0 || x >= c.width || y >= c.height || weight <= 0) {
        return;
    }
    uint8_t* p = &c.rgb[((size_t)y * c.width + x) * 3];
    p[0] = (uint8_t)std::min(255, p[0] + colour.r * weight / 255);
    p[1] = (uint8_t)std::min(255, p[1] + colour.g * weight / 255);
    p[2] = (uint8_t)std::min(255, p[2] + colour.b * weight / 255);
}

void fillRect(Canvas& c, int x, int y, int w, int h, Rgb colour) {
    for (int j = y; j < y + h; j++) {
        for (int i = x; i < x + w; i++) {
            canvasSet(c, i, j, colour);
        }
    }
}

void fillDisc(Canvas& c, double cx, double cy, double radius, Rgb colour) {
    int x0 = (int)floor(cx - radius - 1), x1 = (int)ceil(cx + radius + 1);
    int y0 = (int)floor(cy - radius - 1), y1 = (int)ceil(cy + radius + 1);
    for (int y = y0; y <= y1; y++) {
        for (int x = x0; x <= x1; x++) {
            double d = hypot(x + 0.5 - cx, y + 0.5 - cy);
            double cover = std::clamp(radius - d + 0.5, 0.0, 1.0);
            canvasBlend(c, x, y, colour, (int)lround(cover * 255));
        }
    }
}

void addGlow(Canvas& c, double cx, double cy, double radius, Rgb colour, int strength) {
    int x0 = (int)floor(cx - radius), x1 = (int)ceil(cx + radius);
    int y0 = (int)floor(cy - radius), y1 = (int)ceil(cy + radius);
    for (int y = y0; y <= y1; y++) {
        for (int x = x0; x <= x1; x++) {
            double d = hypot(x + 0.5 - cx, y + 0.5 - cy) / radius;
            if (d < 1.0) {
                double f = (1.0 - d) * (1.0 - d);
                canvasAdd(c, x, y, colour, (int)lround(f * strength));
            }
        }
    }
}

std::string dejaVuPath(const char* fontFile) {
    return std::string("/usr/share/fonts/truetype/dejavu/") + fontFile;
}

// One FreeType face per (file, size), kept for the generator's run.
static FT_Face faceFor(const char* fontFile, int pixelSize) {
    static FT_Library library = nullptr;
    static std::map<std::pair<std::string, int>, FT_Face> faces;
    if (library == nullptr && FT_Init_FreeType(&library) != 0) {
        fprintf(stderr, "plinkor-gen: FreeType does not start\n");
        return nullptr;
    }
    auto key = std::make_pair(std::string(fontFile), pixelSize);
    auto found = faces.find(key);
    if (found != faces.end()) {
        return found->second;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(library, dejaVuPath(fontFile).c_str(), 0, &face) != 0) {
        fprintf(stderr, "plinkor-gen: cannot open font %s\n", dejaVuPath(fontFile).c_str());
        return nullptr;
    }
    FT_Set_Pixel_Sizes(face, 0, pixelSize);
    faces[key] = face;
    return face;
}

static int renderText(Canvas* c, int x, int baselineY, const std::string& text, const char* fontFile,
                      int pixelSize, Rgb colour, bool additive) {
    FT_Face face = faceFor(fontFile, pixelSize);
    if (face == nullptr) {
        return 0;
    }
    int penX = x * 64;
    FT_UInt previous = 0;
    for (unsigned char ch : text) {
        FT_UInt glyph = FT_Get_Char_Index(face, ch);
        if (previous != 0 && glyph != 0 && FT_HAS_KERNING(face)) {
            FT_Vector kern;
            FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kern);
            penX += (int)kern.x;
        }
        if (FT_Load_Glyph(face, glyph, FT_LOAD_RENDER) != 0) {
            continue;
        }
        FT_GlyphSlot slot = face->glyph;
        if (c != nullptr) {
            const FT_Bitmap& bm = slot->bitmap;
            int left = (penX >> 6) + slot->bitmap_left;
            int top = baselineY - slot->bitmap_top;
            for (unsigned row = 0; row < bm.rows; row++) {
                for (unsigned col = 0; col < bm.width; col++) {
                    int cover = bm.buffer[row * bm.pitch + col];
                    if (additive) {
                        canvasAdd(*c, left + (int)col, top + (int)row, colour, cover);
                    } else {
                        canvasBlend(*c, left + (int)col, top + (int)row, colour, cover);
                    }
                }
            }
        }
        penX += (int)slot->advance.x;
        previous = glyph;
    }
    return (penX >> 6) - x;
}

int drawFontText(Canvas& c, int x, int baselineY, const std::string& text, const char* fontFile, int pixelSize,
                 Rgb colour, bool additive) {
    return renderText(&c, x, baselineY, text, fontFile, pixelSize, colour, additive);
}

int measureFontText(const std::string& text, const char* fontFile, int pixelSize) {
    return renderText(nullptr, 0, 0, text, fontFile, pixelSize, Rgb{0, 0, 0}, false);
}

static bool writePng(const std::string& path, int width, int height, int colourType,
                     const std::vector<const uint8_t*>& rows, const std::vector<Rgb>* palette) {
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr) {
        fprintf(stderr, "plinkor-gen: cannot write %s\n", path.c_str());
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(file);
        fprintf(stderr, "plinkor-gen: libpng failed on %s\n", path.c_str());
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, (png_uint_32)width, (png_uint_32)height, 8, colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> entries;
    if (palette != nullptr) {
        for (const Rgb& p : *palette) {
            entries.push_back(png_color{p.r, p.g, p.b});
        }
        png_set_PLTE(png, info, entries.data(), (int)entries.size());
    }
    // No timestamps or text chunks: the same picture gives the same bytes on every machine.
    png_write_info(png, info);
    png_write_image(png, const_cast<png_bytepp>(rows.data()));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    bool ok = fclose(file) == 0;
    if (!ok) {
        fprintf(stderr, "plinkor-gen: cannot finish %s\n", path.c_str());
    }
    return ok;
}

bool writePngRgb(const std::string& path, const Canvas& c) {
    std::vector<const uint8_t*> rows((size_t)c.height);
    for (int y = 0; y < c.height; y++) {
        rows[y] = &c.rgb[(size_t)y * c.width * 3];
    }
    return writePng(path, c.width, c.height, PNG_COLOR_TYPE_RGB, rows, nullptr);
}

bool writePngPalette(const std::string& path, int width, int height, const std::vector<uint8_t>& indices,
                     const std::vector<Rgb>& palette) {
    std::vector<const uint8_t*> rows((size_t)height);
    for (int y = 0; y < height; y++) {
        rows[y] = &indices[(size_t)y * width];
    }
    return writePng(path, width, height, PNG_COLOR_TYPE_PALETTE, rows, &palette);
}
