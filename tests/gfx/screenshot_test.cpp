// Screenshots: the exact bytes of the bottom-up 24-bit BMP, the folders tried and the numbering.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "gfx/screenshot.h"
#include "gfx/surface.h"
#include "shell/display.h"
#include "shell/mainloop.h"
#include "support/testutil.h"

namespace {

using std::filesystem::exists;

class Screenshot : public ::testing::Test {
protected:
    void SetUp() override {
        initDisplayInfo();
        displayInfo.width = 240;
        displayInfo.height = 320;
        backSurface = createSurface(240, 320);
    }
};

}  // namespace

TEST_F(Screenshot, WritesABottomUpBitmapOfTheBackSurface) {
    ScratchFolder scratch;
    putPixel(backSurface, 0, 0, packColour(31, 31, 31));
    putPixel(backSurface, 1, 0, packColour(1, 2, 3));
    putPixel(backSurface, 239, 319, packColour(31, 0, 16) | 0x20);
    saveScreenshot();
    std::vector<uint8_t> bmp = readFileBytes("My Documents/Plinkor0.BMP");
    ASSERT_EQ(bmp.size(), 230454u);
    // The header: no file size, pixels at 54, 240 x 320, one plane of 24 bits, 230400 bytes of pixels at
    // 2952 pixels a metre.
    const std::vector<uint8_t> header = {'B', 'M', 0, 0, 0,   0,    0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                         240, 0,   0, 0, 64,  1,    0, 0, 1, 0, 24, 0, 0, 0, 0,  0, 0, 0x84,
                                         3,   0,   0x88, 0x0B, 0, 0, 0x88, 0x0B, 0, 0, 0, 0, 0,  0, 0, 0, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(bmp.begin(), bmp.begin() + 54), header);
    // The screen's top-left pixel starts the file's last row: blue, green, red times 8.
    const size_t lastRow = 54 + 319 * 720;
    EXPECT_EQ(std::vector<uint8_t>(bmp.begin() + lastRow, bmp.begin() + lastRow + 6),
              (std::vector<uint8_t>{248, 248, 248, 24, 16, 8}));
    // The bottom-right pixel ends the first row.
    EXPECT_EQ(std::vector<uint8_t>(bmp.begin() + 54 + 717, bmp.begin() + 54 + 720),
              (std::vector<uint8_t>{128, 0, 248}));
    EXPECT_EQ(std::count_if(bmp.begin() + 54, bmp.end(), [](uint8_t v) { return v != 0; }), 3 + 3 + 2);

    // Numbered on within the run; the storage card's folder is preferred when it exists.
    saveScreenshot();
    EXPECT_TRUE(exists("My Documents/Plinkor1.BMP"));
    std::filesystem::create_directories("Storage Card/My Documents");
    saveScreenshot();
    EXPECT_TRUE(exists("Storage Card/My Documents/Plinkor2.BMP"));
    EXPECT_FALSE(exists("My Documents/Plinkor2.BMP"));
    EXPECT_EQ(readFileBytes("Storage Card/My Documents/Plinkor2.BMP"), bmp);
}

// Without a folder nothing is written and the number is kept. The last run's screenshots are kept: the
// numbering skips every name in use, and a link planted at a name is skipped too, never written through.
TEST_F(Screenshot, NothingIsLostOrWrittenThroughALink) {
    ScratchFolder scratch;
    std::filesystem::remove_all("My Documents");
    saveScreenshot();
    EXPECT_FALSE(exists("My Documents"));
    std::filesystem::create_directories("My Documents");
    writeFileBytes("victim", {'v'});
    writeFileBytes("My Documents/Plinkor0.BMP", {'o', 'l', 'd'});
    std::filesystem::create_symlink("../victim", "My Documents/Plinkor1.BMP");
    std::filesystem::create_symlink("../nowhere", "My Documents/Plinkor2.BMP");
    saveScreenshot();
    saveScreenshot();
    EXPECT_EQ(readFileBytes("My Documents/Plinkor0.BMP"), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(readFileBytes("victim"), (std::vector<uint8_t>{'v'}));
    EXPECT_FALSE(exists("nowhere"));
    EXPECT_EQ(readFileBytes("My Documents/Plinkor3.BMP").size(), 230454u);
    EXPECT_EQ(readFileBytes("My Documents/Plinkor4.BMP").size(), 230454u);
    EXPECT_FALSE(exists("My Documents/Plinkor5.BMP"));
}
