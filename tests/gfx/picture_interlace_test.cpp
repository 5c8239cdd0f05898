// Interlaced PNGs: the seven passes are put together into the right pixels, without libpng complaining.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "gfx/picture.h"
#include "platform/headless/headless.h"
#include "shell/display.h"
#include "shell/mainloop.h"
#include "shell/runfolder.h"
#include "support/testutil.h"

namespace {

// An 8-bit PNG with Adam7 interlacing, one pass after the other, every row unfiltered.
std::vector<uint8_t> interlacedPng(int width, int height, int colourType, int bytesPerPixel,
                                   const std::vector<uint8_t>& pixels, const std::vector<uint8_t>& paletteRgb) {
    const int passes[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                              {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    std::vector<uint8_t> raw;
    for (const auto& p : passes) {
        for (int y = p[1]; y < height; y += p[3]) {
            if (p[0] >= width) {
                break;  // a pass with no columns has no rows either
            }
            raw.push_back(0);
            for (int x = p[0]; x < width; x += p[2]) {
                const uint8_t* px = &pixels[((size_t)y * width + x) * bytesPerPixel];
                raw.insert(raw.end(), px, px + bytesPerPixel);
            }
        }
    }
    uLongf size = compressBound((uLong)raw.size());
    std::vector<uint8_t> packed(size);
    compress(packed.data(), &size, raw.data(), (uLong)raw.size());
    packed.resize(size);
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    appendPngChunk(out, "IHDR", {0, 0, 0, (uint8_t)width, 0, 0, 0, (uint8_t)height, 8, (uint8_t)colourType, 0, 0, 1});
    if (!paletteRgb.empty()) {
        appendPngChunk(out, "PLTE", paletteRgb);
    }
    appendPngChunk(out, "IDAT", packed);
    appendPngChunk(out, "IEND", {});
    return out;
}

}  // namespace

TEST(InterlacedPng, EveryPassLandsOnItsPixelsAndNothingIsPrinted) {
    headlessReset();
    initDisplayInfo();
    setGamma(128);
    snprintf(runPaths.dataPath, sizeof(runPaths.dataPath), "./Data/");
    ScratchFolder folder;
    // Four colours in a pattern that differs between neighbours in every pass: black, white, red, blue.
    const uint8_t rgb[4][3] = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {0, 64, 255}};
    const uint16_t shown[4] = {0, packColour(30, 30, 30), packColour(30, 0, 0), packColour(0, 8, 30)};
    const int width = 11, height = 9;
    std::vector<uint8_t> indices, colours;
    std::vector<uint16_t> expected;
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            int c = (x + 2 * y + x * y) & 3;
            indices.push_back((uint8_t)c);
            colours.insert(colours.end(), rgb[c], rgb[c] + 3);
            expected.push_back(shown[c]);
        }
    }
    std::vector<uint8_t> palette(&rgb[0][0], &rgb[0][0] + 12);
    writeFileBytes("Data/rgb.png", interlacedPng(width, height, 2, 3, colours, {}));
    writeFileBytes("Data/palette.png", interlacedPng(width, height, 3, 1, indices, palette));
    for (const char* name : {"rgb.png", "palette.png"}) {
        Surface* s = nullptr;
        testing::internal::CaptureStderr();
        loadPicture(name, &s);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << name;
        ASSERT_NE(s, nullptr);
        ASSERT_EQ((std::vector<int>{s->width, s->height}), (std::vector<int>{width, height})) << name;
        std::vector<uint16_t> got;
        for (int y = 0; y < height; y++) {
            for (int x = 0; x < width; x++) {
                got.push_back(getPixel(s, x, y));
            }
        }
        EXPECT_EQ(got, expected) << name;
        removeSurface(&s);
    }
    EXPECT_TRUE(headlessMessageBoxes().empty());
}
