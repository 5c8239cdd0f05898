// Fuzz target: a PNG picture through loadPicture, into a new surface and centred into an existing one.
#include "fuzzutil.h"
#include "gfx/picture.h"
#include "gfx/surface.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzzSetUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzBeginInput();
    fuzzWritePngFile("fuzz.png", data, size);

    // A null handle: the loader makes a surface of the picture's size (or the 5 x 5 fallback).
    Surface* made = nullptr;
    loadPicture("fuzz.png", &made);
    // An existing odd-sized surface: the picture is centred and clipped on every side. Big pictures
    // take the same path as small ones at a thousand times the cost, so they are drawn only once.
    bool small = (int64_t)made->width * made->height <= SECOND_LOAD_PIXELS;
    removeSurface(&made);
    if (small) {
        Surface* existing = createSurface(7, 5);
        loadPicture("fuzz.png", &existing);
        removeSurface(&existing);
    }
    return 0;
}
