// Fuzz target: a PNG picture through loadPicture, into a new surface and centred into an existing one.
#include "fuzzkit.h"

const int fuzzSetUpParts = FUZZ_FOLDER;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzBeginInput();
    fuzzWritePngFile("fuzz.png", data, size);
    fuzzLoadPictureTwice("fuzz.png");
    return 0;
}
