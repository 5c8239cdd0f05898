// Picture loading from PNG (libpng) and JPEG (libjpeg-turbo): 5-bit components through the gamma table.
#include "gfx/picture.h"

#include <png.h>
#include <setjmp.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jpeglib.h>

#include "platform/platform.h"
#include "shell/datafile.h"
#include "shell/log.h"
#include "shell/runfolder.h"

// Converts one 8-bit RGB pixel and places it centred on the target; all components below 8 give 0,
// the transparent key.
static void placePixel(Surface* target, int x, int y, int width, int height, int r, int g, int b) {
    uint16_t colour = packGammaColour(r >> 3, g >> 3, b >> 3);
    putPixel(target, x - (width >> 1) + target->centreX, y - (height >> 1) + target->centreY, colour);
}

static bool sizeAllowed(uint64_t width, uint64_t height) {
    return width > 0 && height > 0 && width * height <= (uint64_t)MAX_PICTURE_PIXELS;
}

void loadPicture(const char* name, Surface** handle) {
    char path[512];
    snprintf(path, sizeof(path), "%s%s", runPaths.dataPath, name);
    // Anything that is not a readable picture-sized regular file (a FIFO, a device, a folder) is
    // reported like a missing one, at once.
    FILE* probe = openDataFile(path, MAX_PICTURE_FILE_BYTES, nullptr);
    if (probe == nullptr) {
        platformMessageBox(path, "File Not Found", MB_TYPE_OK);
        logColoured(1, "[ERROR] ", LOG_ERROR);
        logMessage(1, "Loading Picture:\n     ");
        logMessage(1, path);
        logMessage(1, "\n");
    } else {
        fclose(probe);
        size_t length = strlen(path);
        char third = length >= 3 ? path[length - 3] : 0;
        if (third == 'j' || third == 'J') {
            loadJpegPicture(path, handle);
        } else {
            loadPngPicture(path, handle);
        }
    }
    if (*handle == nullptr) {
        logMessage(1, "surface still null\n");
        *handle = createSurface(5, 5);
    }
}

// ---- JPEG ----

namespace {
struct JpegError {
    jpeg_error_mgr manager;
    jmp_buf back;
};
}  // namespace

static void jpegFail(j_common_ptr info) {
    JpegError* error = (JpegError*)info->err;
    longjmp(error->back, 1);
}

static void jpegSilent(j_common_ptr info, int level) {
    (void)info;
    (void)level;
}

static void jpegErrorBox(void) {
    platformMessageBox("Jpeg Error", "Load Picture", MB_TYPE_OK);
}

int loadJpegPicture(const char* path, Surface** handle) {
    FILE* file = openDataFile(path, MAX_PICTURE_FILE_BYTES, nullptr);
    if (file == nullptr) {
        jpegErrorBox();
        return 0;
    }
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jpegFail;
    error.manager.emit_message = jpegSilent;
    // Volatile: these change between setjmp and a possible longjmp.
    uint8_t* volatile buffer = nullptr;
    volatile int stage = 0;
    volatile int width = 0, height = 0;
    if (setjmp(error.back)) {
        if (stage < 2) {
            // Failed before the image was read: nothing to show.
            jpeg_destroy_decompress(&info);
            fclose(file);
            free(buffer);
            jpegErrorBox();
            return 0;
        }
        // The whole-image read failed: report the library's code, then show what was decoded.
        char text[32];
        snprintf(text, sizeof(text), "[%d]", error.manager.msg_code);
        platformMessageBox(text, "Load Picture", MB_TYPE_OK);
    } else {
        jpeg_create_decompress(&info);
        jpeg_stdio_src(&info, file);
        jpeg_read_header(&info, TRUE);
        stage = 1;
        width = (int)info.image_width;
        height = (int)info.image_height;
        if (!sizeAllowed((uint64_t)width, (uint64_t)height)) {
            jpeg_destroy_decompress(&info);
            fclose(file);
            jpegErrorBox();
            return 0;
        }
        buffer = (uint8_t*)calloc((size_t)width * 4, (size_t)height);
        if (buffer == nullptr) {
            jpeg_destroy_decompress(&info);
            fclose(file);
            jpegErrorBox();
            return 0;
        }
        info.out_color_space = JCS_RGB;
        stage = 2;
        jpeg_start_decompress(&info);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = buffer + (size_t)info.output_scanline * width * 3;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
    }
    jpeg_destroy_decompress(&info);
    fclose(file);
    if (*handle == nullptr) {
        *handle = createSurface(width, height);
    }
    for (int y = 0; y < height; y++) {
        const uint8_t* row = buffer + (size_t)y * width * 3;
        for (int x = 0; x < width; x++) {
            placePixel(*handle, x, y, width, height, row[x * 3], row[x * 3 + 1], row[x * 3 + 2]);
        }
    }
    free(buffer);
    return 1;
}

// ---- PNG ----

int loadPngPicture(const char* path, Surface** handle) {
    FILE* file = openDataFile(path, MAX_PICTURE_FILE_BYTES, nullptr);
    if (file == nullptr) {
        return 0;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) {
        fclose(file);
        return 0;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        fclose(file);
        return 0;
    }
    // Rows live outside the jump's reach: a vector's destructor would not run across longjmp.
    png_bytep* volatile rows = nullptr;
    uint8_t* volatile image = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        fclose(file);
        free(rows);
        free(image);
        return 0;
    }
    png_init_io(png, file);
    png_set_sig_bytes(png, 0);
    // Side chunks (text, profiles, ...) are skipped unread: nothing here uses them, and libpng would
    // otherwise allocate whatever length a text chunk declares, gigabytes for a 60-byte file, before
    // finding the file's end. tRNS and the critical chunks are still read.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_read_info(png, info);
    png_uint_32 width = png_get_image_width(png, info);
    png_uint_32 height = png_get_image_height(png, info);
    int colourType = png_get_color_type(png, info);
    int bitDepth = png_get_bit_depth(png, info);
    if (!sizeAllowed(width, height)) {
        png_error(png, "picture too large");
    }
    bool palette = colourType == PNG_COLOR_TYPE_PALETTE;
    // 8-bit palette and 8-bit RGB pictures are read as they are; any other layout is converted to
    // 8-bit RGB so that every row holds what the pixel loop below reads.
    if (palette) {
        if (bitDepth < 8) {
            png_set_packing(png);
        }
    } else if (!(colourType == PNG_COLOR_TYPE_RGB && bitDepth == 8)) {
        png_set_expand(png);
        png_set_strip_16(png);
        png_set_strip_alpha(png);
        png_set_gray_to_rgb(png);
    }
    // Interlaced pictures come in seven passes; libpng puts them together into whole rows.
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    size_t rowBytes = png_get_rowbytes(png, info);
    size_t needed = palette ? width : (size_t)width * 3;
    if (rowBytes < needed) {
        png_error(png, "unexpected row layout");
    }
    image = (uint8_t*)malloc(rowBytes * height);
    rows = (png_bytep*)malloc(sizeof(png_bytep) * height);
    if (image == nullptr || rows == nullptr) {
        png_error(png, "out of memory");
    }
    for (png_uint_32 y = 0; y < height; y++) {
        rows[y] = image + rowBytes * y;
    }
    png_read_image(png, rows);
    png_read_end(png, nullptr);

    if (*handle == nullptr) {
        *handle = createSurface((int)width, (int)height);
    }
    png_colorp entries = nullptr;
    int entryCount = 0;
    if (palette && png_get_PLTE(png, info, &entries, &entryCount) != 0 && entryCount > 0) {
        for (png_uint_32 y = 0; y < height; y++) {
            for (png_uint_32 x = 0; x < width; x++) {
                int index = rows[y][x];
                // An index past the palette reads as black rather than past the table.
                png_color c = index < entryCount ? entries[index] : png_color{0, 0, 0};
                placePixel(*handle, (int)x, (int)y, (int)width, (int)height, c.red, c.green, c.blue);
            }
        }
    } else if (!palette) {
        for (png_uint_32 y = 0; y < height; y++) {
            const uint8_t* row = rows[y];
            for (png_uint_32 x = 0; x < width; x++) {
                placePixel(*handle, (int)x, (int)y, (int)width, (int)height, row[x * 3], row[x * 3 + 1],
                           row[x * 3 + 2]);
            }
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    fclose(file);
    free(rows);
    free(image);
    return 1;
}
