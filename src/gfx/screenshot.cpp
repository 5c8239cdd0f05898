// Screenshots: the back surface as an uncompressed 24-bit bottom-up BMP, numbered from 0 in each run.
#include "gfx/screenshot.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "gfx/surface.h"
#include "shell/bytes.h"
#include "shell/display.h"

// The handheld's folders below the root; on the desktop they sit below the current directory.
static const char* const screenshotNames[2] = {
    "Storage Card/My Documents/%s%d.BMP",
    "My Documents/%s%d.BMP",
};
static const char* const gameName = "Plinkor";

// Number of the next screenshot; not stored, so every run starts again at 0 (and skips the names
// that earlier runs left).
static int32_t screenshotCounter;

// How many taken names one screenshot skips at most before giving up.
enum { MAX_NAMES_TRIED = 100000 };

// Creates the next screenshot file that does not exist yet, in the first folder that takes it, and
// returns it open for writing (its name in `name`). The file is created exclusively: an existing file
// (an earlier run's screenshot) is skipped, never overwritten, and a link at the name is never
// followed. Null when neither folder takes a new file; the number is not used up then.
static FILE* openNextScreenshot(char* name, size_t size) {
    for (int tries = 0; tries < MAX_NAMES_TRIED && screenshotCounter < INT32_MAX; tries++) {
        int taken = 0;
        for (int attempt = 0; attempt < 2 && !taken; attempt++) {
            snprintf(name, size, screenshotNames[attempt], gameName, screenshotCounter);
            int fd = open(name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd >= 0) {
                screenshotCounter++;
                FILE* file = fdopen(fd, "wb");
                if (file == nullptr) {
                    close(fd);
                }
                return file;
            }
            // A name in use (file, folder or link) is skipped; a folder that is missing or refuses
            // the file gives way to the next folder.
            taken = errno == EEXIST;
        }
        if (!taken) {
            return nullptr;
        }
        screenshotCounter++;
    }
    return nullptr;
}

void saveScreenshot(void) {
    if (backSurface == nullptr) {
        return;
    }
    char name[300];
    FILE* file = openNextScreenshot(name, sizeof(name));
    if (file == nullptr) {
        return;
    }

    int width = displayInfo.width > 0 ? displayInfo.width : 0;
    int height = displayInfo.height > 0 ? displayInfo.height : 0;
    uint32_t padding = (uint32_t)((4 - (width * 3) % 4) % 4);
    uint32_t rowBytes = (uint32_t)width * 3 + padding;
    uint32_t imageSize = rowBytes * (uint32_t)height;

    // The file size field stays 0, as readers take the size from the info header.
    uint8_t fileHeader[14] = {'B', 'M'};
    putLe32(fileHeader + 10, 54);
    uint8_t infoHeader[40] = {0};
    putLe32(infoHeader + 0, 40);
    putLe32(infoHeader + 4, (uint32_t)width);
    putLe32(infoHeader + 8, (uint32_t)height);
    putLe16(infoHeader + 12, 1);
    putLe16(infoHeader + 14, 24);
    putLe32(infoHeader + 20, imageSize);
    putLe32(infoHeader + 24, 2952);
    putLe32(infoHeader + 28, 2952);

    if (fwrite(fileHeader, 1, sizeof(fileHeader), file) < sizeof(fileHeader)) {
        printf("Error writing bitmap file header\n");
        fclose(file);
        return;
    }
    if (fwrite(infoHeader, 1, sizeof(infoHeader), file) < sizeof(infoHeader)) {
        printf("Error writing bitmap info header\n");
        fclose(file);
        return;
    }
    uint8_t* pixels = (uint8_t*)calloc(imageSize > 0 ? imageSize : 1, 1);
    if (pixels == nullptr) {
        printf("Error allocating memory \n");
        fclose(file);
        return;
    }
    // Rows bottom-up; each pixel blue, green, red, each 5-bit component times 8.
    for (int row = 0; row < height; row++) {
        uint8_t* out = pixels + (size_t)row * rowBytes;
        for (int x = 0; x < width; x++) {
            int r, g, b;
            unpackColour(getPixel(backSurface, x, height - 1 - row), &r, &g, &b);
            out[x * 3] = (uint8_t)(b * 8);
            out[x * 3 + 1] = (uint8_t)(g * 8);
            out[x * 3 + 2] = (uint8_t)(r * 8);
        }
    }
    if (fwrite(pixels, 1, imageSize, file) < imageSize) {
        printf("Error writing bitmap data\n");
    }
    free(pixels);
    fclose(file);
}
