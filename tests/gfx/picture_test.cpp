// Picture loading: PNG colours, missing files and the exact refusals of bad ones (the fuzzers feed the
// rest).
#include <gtest/gtest.h>

#include <jpeglib.h>
#include <zlib.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gfx/picture.h"
#include "platform/headless/headless.h"
#include "shell/display.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "shell/runfolder.h"
#include "support/allocwatch.h"
#include "support/testutil.h"

namespace {

void writeJpeg(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, f);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(&rgb[(size_t)info.next_scanline * width * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    fclose(f);
}

class Picture : public ::testing::Test {
protected:
    void SetUp() override {
        headlessReset();
        initDisplayInfo();
        setGamma(128);
        snprintf(runPaths.dataPath, sizeof(runPaths.dataPath), "./Data/");
        clearLog();
        logLevel = 0;
    }
    // The loaded picture's pixels, row by row.
    std::vector<uint16_t> pixels(void) {
        std::vector<uint16_t> v;
        for (int y = 0; y < s->height; y++) {
            for (int x = 0; x < s->width; x++) {
                v.push_back(getPixel(s, x, y));
            }
        }
        return v;
    }
    ScratchFolder folder;
    Surface* s = nullptr;
};

}  // namespace

TEST_F(Picture, RgbPngConvertsThroughTheGammaAndKeysNearBlack) {
    // white, pure black, (7, 7, 7) near black, (8, 0, 0) dark but visible, (100, 200, 40)
    writeTestPngRgb("Data/p.png", 5, 1, {255, 255, 255, 0, 0, 0, 7, 7, 7, 8, 0, 0, 100, 200, 40});
    loadPicture("p.png", &s);
    ASSERT_EQ((std::vector<int>{s->width, s->height}), (std::vector<int>{5, 1}));
    EXPECT_EQ(pixels(), (std::vector<uint16_t>{packColour(30, 30, 30), 0, 0, packColour(1, 0, 0),
                                               packColour(12, 25, 5)}));
    EXPECT_TRUE(headlessMessageBoxes().empty());
}

// Indexes at and past the end of a two-entry palette read as black, never as a neighbouring entry.
TEST_F(Picture, PaletteIndexPastThePaletteReadsAsBlack) {
    const uint8_t raw[] = {0, 0, 1, 2, 3, 255};  // filter byte, then 5 indexes
    uint8_t packed[64];
    uLongf packedSize = sizeof packed;
    ASSERT_EQ(compress(packed, &packedSize, raw, sizeof raw), Z_OK);
    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    appendPngChunk(file, "IHDR", {0, 0, 0, 5, 0, 0, 0, 1, 8, 3, 0, 0, 0});
    appendPngChunk(file, "PLTE", {255, 0, 0, 0, 255, 0});
    appendPngChunk(file, "IDAT", std::vector<uint8_t>(packed, packed + packedSize));
    appendPngChunk(file, "IEND", {});
    writeFileBytes("Data/p.png", file);
    loadPicture("p.png", &s);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(pixels(), (std::vector<uint16_t>{packColour(30, 0, 0), packColour(0, 30, 0), 0, 0, 0}));
}

TEST_F(Picture, AMissingFileIsReportedAndLeavesABlankFallback) {
    logLevel = 1;
    loadPicture("nothere.png", &s);
    ASSERT_EQ(headlessMessageBoxes().size(), 1u);
    EXPECT_EQ(headlessMessageBoxes()[0].title, "File Not Found");
    EXPECT_EQ(headlessMessageBoxes()[0].text, "./Data/nothere.png");
    EXPECT_EQ(s->width, 5);
    EXPECT_STREQ(logBuffer.text[3], "     ./Data/nothere.png");
    EXPECT_STREQ(logBuffer.text[4], "[ERROR] Loading Picture:");
    EXPECT_EQ(logBuffer.colours[4][0], 6);  // "[ERROR] " in the error colour
    EXPECT_EQ(logBuffer.colours[4][8], 0);
    // A missing file with an existing surface leaves it as it was.
    Surface* kept = createSurface(3, 3);
    fillSurfaceBytes(kept, 7);
    Surface* before = kept;
    loadPicture("nothere.png", &kept);
    EXPECT_EQ(kept, before);
    EXPECT_EQ(getPixel(kept, 1, 1), 0x0707);
    removeSurface(&kept);
}

TEST_F(Picture, AHeaderDeclaringAHugePictureIsRefused) {
    // Just over the limit is refused too.
    for (uint32_t height : {100000u, 4097u}) {
        writeFileBytes("Data/huge.png", craftedPng(height == 4097 ? 8192 : height, height));
        loadPicture("huge.png", &s);
        EXPECT_EQ(s->width, 5) << height;
        removeSurface(&s);
    }
}

// A .jpg goes to the JPEG decoder whatever it holds.
TEST_F(Picture, AJpegDeclaringAHugePictureOrNoJpegAtAllShowsTheJpegError) {
    std::vector<uint8_t> rgb(8 * 8 * 3, 128);
    writeJpeg("Data/big.jpg", 8, 8, rgb);
    std::vector<uint8_t> big = readFileBytes("Data/big.jpg");
    // Patch the frame header's height and width to 60000 x 60000.
    for (size_t i = 0; i + 8 < big.size(); i++) {
        if (big[i] == 0xFF && (big[i + 1] == 0xC0 || big[i + 1] == 0xC2)) {
            big[i + 5] = big[i + 7] = 0xEA;
            big[i + 6] = big[i + 8] = 0x60;
            break;
        }
    }
    for (const std::vector<uint8_t>& bytes : {big, std::vector<uint8_t>(10, 'x')}) {
        headlessReset();
        writeFileBytes("Data/bad.jpg", bytes);
        loadPicture("bad.jpg", &s);
        EXPECT_EQ(s->width, 5);
        ASSERT_EQ(headlessMessageBoxes().size(), 1u);
        EXPECT_EQ(headlessMessageBoxes()[0].text, "Jpeg Error");
        EXPECT_EQ(headlessMessageBoxes()[0].title, "Load Picture");
        removeSurface(&s);
    }
}

// 60 bytes the fuzzer found: a 4 x 2 palette header, then a text chunk that declares 1 887 605 121 bytes
// and ends at once. libpng allocated the declared length before it met the file's end; the loader now
// skips side chunks unread.
TEST_F(Picture, ATextChunkDeclaringGigabytesIsSkippedWithoutAllocatingThem) {
    writeFileBytes("Data/text.png",
                   {0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44,
                    0x52, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x02, 0x08, 0x03, 0x00, 0x00, 0x00, 0x48,
                    0x76, 0x8d, 0x51, 0x70, 0x82, 0x91, 0x81, 0x74, 0x45, 0x58, 0x74, 0x01, 0xcf, 0xa3, 0xef,
                    0xb4, 0xc2, 0x08, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0x7e, 0x42, 0x60, 0x82});
    allocationWatchStart();
    loadPicture("text.png", &s);
    size_t largest = allocationWatchStop();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->width, 5);
    EXPECT_TRUE(headlessMessageBoxes().empty());
    if (!allocationWatchAvailable()) {
        GTEST_SKIP() << "allocations are watched only in AddressSanitizer builds";
    }
    EXPECT_LT(largest, (size_t)1 << 20);
}
