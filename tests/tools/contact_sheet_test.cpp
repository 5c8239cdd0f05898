// The contact sheet: one PNG (build/contact-sheet.png) with every generated picture as the game loads it,
// and text in both fonts and the small font, for a person to look over.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "gfx/blit.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/surface.h"
#include "platform/headless/headless.h"
#include "shell/mainloop.h"
#include "support/testutil.h"

namespace {

const uint16_t LABEL = packColour(31, 31, 0);

Surface* load(const char* name, int gamma = 128) {
    snprintf(dataPath, sizeof(dataPath), "./Data/");
    setGamma(gamma);
    Surface* s = nullptr;
    loadPicture(name, &s);
    setGamma(128);
    return s;
}

// The sheet with a cursor that lays items out in rows.
struct Sheet {
    Surface* s;
    int x = 10, y = 10, rowHeight = 0;
};

// Transparent pixels let the chequered ground show.
void place(Sheet& sheet, const Surface* item, const std::string& label, int scale = 1) {
    int w = item->width * scale, h = item->height * scale;
    if (sheet.x + w > sheet.s->width - 10) {
        sheet.x = 10;
        sheet.y += sheet.rowHeight + 22;
        sheet.rowHeight = 0;
    }
    drawSmallText(sheet.s, label.c_str(), sheet.x, sheet.y, LABEL);
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            uint16_t p = getPixel(item, x / scale, y / scale);
            if (p != 0) {
                putPixel(sheet.s, sheet.x + x, sheet.y + 9 + y, p);
            }
        }
    }
    sheet.x += w + 12;
    sheet.rowHeight = std::max(sheet.rowHeight, h + 9);
}

}  // namespace

TEST(ContactSheet, ShowsEveryPictureAsTheGameLoadsIt) {
    Surface* small = load("smallchars.png");
    smallCharsSheet = small;
    Surface* big = load("c_tickertape.png", 80);
    Surface* neo = load("c_neopolitical.png", 80);
    loadFont(big, 0, 30);
    loadFont(neo, 1, 18);

    Sheet sheet;
    sheet.s = createSurface(1560, 2500);
    for (int y = 0; y < sheet.s->height; y++) {
        for (int x = 0; x < sheet.s->width; x++) {
            putPixel(sheet.s, x, y, ((x >> 3) + (y >> 3)) & 1 ? packColour(15, 15, 15) : packColour(12, 12, 12));
        }
    }
    struct Item {
        const char* name;
        int scale;
    };
    const Item items[] = {{"titleBack.png", 1}, {"choose.png", 1},   {"pawall.png", 1},     {"exit.png", 1},
                          {"kvintro.png", 1},   {"monkey.png", 1},   {"bg.png", 1},         {"optionsWin.png", 1},
                          {"mainMenu.png", 1},  {"qzlogo.png", 1},   {"8quorn.png", 1},     {"monkeym.png", 1},
                          {"loading.png", 1},   {"sprites.png", 3},  {"icons.png", 2},      {"power-ups.png", 2}};
    for (const Item& item : items) {
        Surface* p = load(item.name);
        ASSERT_NE(p, nullptr) << item.name;
        place(sheet, p, std::string(item.name) + " x" + std::to_string(item.scale), item.scale);
        removeSurface(&p);
    }
    place(sheet, small, "smallchars.png x2", 2);
    place(sheet, big, "c_tickertape.png (gamma 80)");
    place(sheet, neo, "c_neopolitical.png (gamma 80) x2", 2);
    // The information page cut into columns.
    Surface* page = load("strider.png");
    for (int top = 0; top < page->height; top += 660) {
        Surface* piece = createSurface(page->width, std::min(660, page->height - top));
        blit(piece, 0, 0, piece->width, piece->height, page, 0, top, BLIT_COPY);
        place(sheet, piece, "strider.png from " + std::to_string(top));
        removeSurface(&piece);
    }
    // Text samples in both fonts and the small font, on the tiled background.
    Surface* text = createSurface(480, 300);
    Surface* bg = load("bg.png");
    tileSurface(text, 0, 0, 480, 300, bg, 0, 0);
    drawText(text, "CONTROL CONFIG  High Scores", 8, 28, 0);
    drawText(text, "ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789", 8, 88, 0);
    drawText(text, "abcdefghijklmnopqrstuvwxyz !?@#%&()[]{}", 8, 118, 0);
    drawTextColoured(text, "Screenshot [0x0d]  tinted", 8, 148, 0, packColour(31, 10, 31));
    drawText(text, "The quick brown fox jumps over the lazy dog. 0123456789", 8, 190, 1);
    drawText(text, "Latin-1: \xc0\xc9\xcd\xd1\xd6\xdc\xdf \xa9\xae\xb0\xb1\xbd\xbf \xa1\xa3\xa5\xa7 \xc6\xd8\xc5\xc7", 8, 230, 1);
    drawSmallText(text, "Small font: ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789", 8, 250, 0xFFFF);
    drawSmallText(text, "abcdefghijklmnopqrstuvwxyz !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~", 8, 260, LABEL);
    drawSmallTextBlended(text, "...Loading...  (blended)", 8, 280, 0xFFFF, 128);
    place(sheet, text, "text samples: font 0, font 1, small font");
    EXPECT_LT(sheet.y + sheet.rowHeight, sheet.s->height) << "the sheet is too short for its pictures";
    EXPECT_TRUE(headlessMessageBoxes().empty());

    std::vector<uint8_t> rgb;
    for (int y = 0; y < sheet.s->height; y++) {
        for (int x = 0; x < sheet.s->width; x++) {
            int r, g, b;
            unpackColour(getPixel(sheet.s, x, y), &r, &g, &b);
            rgb.insert(rgb.end(), {(uint8_t)(r * 255 / 31), (uint8_t)(g * 255 / 31), (uint8_t)(b * 255 / 31)});
        }
    }
    const std::string path = std::string(PLINKOR_RUN_DIR) + "/../contact-sheet.png";
    writeTestPngRgb(path, sheet.s->width, sheet.s->height, rgb);
    printf("contact sheet: %s\n", path.c_str());
    unloadFont(0);
    unloadFont(1);
    smallCharsSheet = nullptr;
    for (Surface** s : {&small, &big, &neo, &page, &bg, &text, &sheet.s}) {
        removeSurface(s);
    }
}
