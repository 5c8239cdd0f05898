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

// A grey JPEG of the given size, best quality.
std::vector<uint8_t> greyJpeg(int width, int height) {
    std::vector<uint8_t> rgb((size_t)width * height * 3, 128);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &out, &size);
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
    std::vector<uint8_t> bytes(out, out + size);
    free(out);
    return bytes;
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
    ScratchFolder folder;
    Surface* s = nullptr;
};

}  // namespace

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
    ASSERT_TRUE(s != nullptr && s->width == 5 && s->height == 1);
    EXPECT_EQ((Ints{getPixel(s, 0, 0), getPixel(s, 1, 0), getPixel(s, 2, 0), getPixel(s, 3, 0), getPixel(s, 4, 0)}),
              (Ints{packColour(30, 0, 0), packColour(0, 30, 0), 0, 0, 0}));
}

TEST_F(Picture, AMissingFileIsReportedAndLeavesABlankFallback) {
    logLevel = 1;
    loadPicture("nothere.png", &s);
    ASSERT_EQ(headlessMessageBoxes().size(), 1u);
    EXPECT_EQ(headlessMessageBoxes()[0].text + " " + headlessMessageBoxes()[0].title + " " + std::to_string(s->width),
              "./Data/nothere.png File Not Found 5");
    EXPECT_STREQ(logBuffer.text[3], "     ./Data/nothere.png");
    EXPECT_STREQ(logBuffer.text[4], "[ERROR] Loading Picture:");
    // "[ERROR] " in the error colour.
    EXPECT_EQ((Ints{logBuffer.colours[4][0], logBuffer.colours[4][8]}), (Ints{6, 0}));
    // A missing file with an existing surface leaves it as it was.
    Surface *kept = createSurface(3, 3), *before = kept;
    fillSurfaceBytes(kept, 7);
    loadPicture("nothere.png", &kept);
    EXPECT_TRUE(kept == before && getPixel(kept, 1, 1) == 0x0707);
    removeSurface(&kept);
}

// A .jpg goes to the JPEG decoder whatever it holds.
TEST_F(Picture, AJpegDeclaringAHugePictureOrNoJpegAtAllShowsTheJpegError) {
    std::vector<uint8_t> big = greyJpeg(8, 8);
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
        EXPECT_EQ(headlessMessageBoxes()[0].text + " " + headlessMessageBoxes()[0].title, "Jpeg Error Load Picture");
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
