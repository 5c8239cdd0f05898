// Generator of menus, screens, sprites and fonts: runs each picture part, and the checks they share.
#include <cstdarg>
#include <cstdio>

#include "generator.h"
#include "gfx/picture.h"
#include "pictures.h"

bool generatePictures(const std::string& runDir) {
    // Pictures are checked as the game loads them: at its start-up gamma (the font part switches to
    // the fonts' own gamma and back).
    int previousGamma = getGamma();
    setGamma(128);
    const std::string dataDir = runDir + "Data/";
    struct Part {
        const char* name;
        bool (*run)(const std::string&);
    };
    const Part parts[] = {
        {"small characters", generateSmallChars},
        {"font pictures", generateFontPictures},
        {"screens", generateScreens},
        {"splash pictures", generateSplashes},
        {"sprites", generateSprites},
        {"information page", generateManual},
    };
    bool ok = true;
    for (const Part& part : parts) {
        if (!part.run(dataDir)) {
            fprintf(stderr, "plinkor-gen: %s: a check failed\n", part.name);
            ok = false;
            break;
        }
    }
    setGamma(previousGamma);
    return ok;
}

Surface* loadWrittenPicture(const std::string& path) {
    Surface* s = nullptr;
    if (loadPngPicture(path.c_str(), &s) != 1 && s != nullptr) {
        removeSurface(&s);
    }
    if (s == nullptr) {
        fprintf(stderr, "plinkor-gen: %s does not load as a picture\n", path.c_str());
    }
    return s;
}

bool pictureFault(const char* picture, const char* format, ...) {
    fprintf(stderr, "plinkor-gen: %s: ", picture);
    va_list args;
    va_start(args, format);
    vfprintf(stderr, format, args);
    va_end(args);
    fputc('\n', stderr);
    return false;
}

bool checkPictureSize(const char* picture, const Surface* s, int minWidth, int maxWidth, int minHeight,
                      int maxHeight) {
    if (s->width < minWidth || s->width > maxWidth || s->height < minHeight || s->height > maxHeight) {
        return pictureFault(picture, "size %d x %d, wanted width %d..%d and height %d..%d", s->width, s->height,
                            minWidth, maxWidth, minHeight, maxHeight);
    }
    return true;
}

int countInk(const Surface* s, int x, int y, int w, int h) {
    int ink = 0;
    for (int j = y; j < y + h; j++) {
        for (int i = x; i < x + w; i++) {
            if (getPixel(s, i, j) != 0) {
                ink++;
            }
        }
    }
    return ink;
}

bool checkRegion(const char* picture, const Surface* s, const char* region, int x, int y, int w, int h,
                 bool mustShow, int minInk) {
    if (x < 0 || y < 0 || w < 1 || h < 1 || x + w > s->width || y + h > s->height) {
        return pictureFault(picture, "%s (%d, %d, %d x %d) is not inside the %d x %d picture", region, x, y, w, h,
                            s->width, s->height);
    }
    if (mustShow) {
        int ink = countInk(s, x, y, w, h);
        if (ink < minInk) {
            return pictureFault(picture, "%s (%d, %d, %d x %d) shows %d pixels, wanted at least %d", region, x, y,
                                w, h, ink, minInk);
        }
    }
    return true;
}
