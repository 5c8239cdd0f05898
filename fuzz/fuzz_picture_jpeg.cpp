// Fuzz target: a JPEG picture through loadPicture, into a new surface and centred into an existing one.
#include "fuzzutil.h"
#include "gfx/picture.h"
#include "gfx/surface.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzzSetUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzBeginInput();
    fuzzWriteDataFile("fuzz.jpg", data, size);

    Surface* made = nullptr;
    loadPicture("fuzz.jpg", &made);
    removeSurface(&made);
    Surface* existing = createSurface(7, 5);
    loadPicture("fuzz.jpg", &existing);
    removeSurface(&existing);
    return 0;
}
