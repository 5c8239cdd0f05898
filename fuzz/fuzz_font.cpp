// Fuzz target: a PNG font picture measured into both font slots and every glyph drawn with it.
#include "fuzzkit.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/surface.h"

const int fuzzSetUpParts = FUZZ_FOLDER;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzBeginInput();
    fuzzWritePngFile("fuzz.png", data, size);

    Surface* picture = nullptr;
    loadPicture("fuzz.png", &picture);
    // The game's two band heights.
    loadFont(picture, 0, 30);
    loadFont(picture, 1, 18);

    char text[FONT_GLYPHS - 32 + 1];
    for (int code = 32; code < FONT_GLYPHS; code++) {
        text[code - 32] = (char)code;
    }
    text[FONT_GLYPHS - 32] = 0;
    Surface* screen = createSurface(240, 320);
    for (int slot = 0; slot < 2; slot++) {
        textWidth(text, slot);
        fontLineHeight(slot);
        drawText(screen, text, -20, 30, slot);
        drawTextColoured(screen, text, 3, 300, slot, 0xFFDF);
    }
    removeSurface(&screen);
    unloadFont(0);
    unloadFont(1);
    removeSurface(&picture);
    return 0;
}
