// The contact sheet: one PNG (contact-sheet.png) with every generated picture as the game loads it,
// the screens composed the way the game draws them, and text in both fonts and the small font.
#include <cstdio>
#include <string>
#include <vector>

#include "gfx/blit.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/surface.h"
#include "reviewkit.h"
#include "shell/mainloop.h"

namespace {

const uint16_t LABEL = packColour(31, 31, 0), GREY = packColour(15, 15, 15);
const int SCREEN_W = 240, SCREEN_H = 320;

// The sheet with a cursor that lays items out in rows.
struct Sheet {
    Surface* s;
    int x = 10, y = 10, rowHeight = 0;
};

void newRow(Sheet& sheet) {
    sheet.x = 10;
    sheet.y += sheet.rowHeight + 22;
    sheet.rowHeight = 0;
}

// Pictures keep their transparent pixels (the chequered ground shows there); composed screens are opaque.
void place(Sheet& sheet, const Surface* item, const char* label, int scale = 1, bool opaque = false) {
    int w = item->width * scale, h = item->height * scale;
    if (sheet.x + w > sheet.s->width - 10) {
        newRow(sheet);
    }
    drawSmallText(sheet.s, label, sheet.x, sheet.y, LABEL);
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            uint16_t p = getPixel(item, x / scale, y / scale);
            if (p != 0 || opaque) {
                putPixel(sheet.s, sheet.x + x, sheet.y + 9 + y, p);
            }
        }
    }
    sheet.x += w + 12;
    sheet.rowHeight = std::max(sheet.rowHeight, h + 9);
}

void centredText(Surface* dst, const char* text, int y, int slot) {
    drawText(dst, text, 120 - textWidth(text, slot) / 2, y, slot);
}

// A capsule centred on (x, y): the glow added at the given brightness, then the icon through its mask.
void capsule(Surface* screen, Surface* powerUps, int kind, int x, int y, int brightness) {
    blit(screen, x - 12, y - 12, 24, 24, powerUps, kind * 24, 48, BLIT_ADDITIVE, brightness);
    blitMasked(screen, x - 8, y - 8, 16, 16, powerUps, kind * 24 + 4, 4, powerUps, kind * 24 + 4, 28);
}

void cornerButton(Surface* screen, Surface* icons, bool hover) {
    blit(screen, 181, 264, 60, 56, icons, 103, 1, BLIT_ADDITIVE, hover ? 0 : -10);
    blitMasked(screen, 184, 268, 51, 47, icons, 1, 0, icons, 52, 1);
}

Surface* composeMainMenu(bool fieldBehind) {
    Surface* screen = createSurface(SCREEN_W, SCREEN_H);
    Surface* title = loadDataPicture("titleBack.png");
    Surface* menu = loadDataPicture("mainMenu.png");
    int g = fieldBehind ? 1 : 0;
    if (fieldBehind) {
        // A stand-in paused field at half brightness where the title is pure black.
        Surface* bg = loadDataPicture("bg.png");
        for (int y = 0; y < SCREEN_H; y++) {
            for (int x = 0; x < SCREEN_W; x++) {
                if (getPixel(title, x, y) == 0) {
                    int r, gr, b;
                    unpackColour(getPixel(bg, x % bg->width, y % bg->height), &r, &gr, &b);
                    putPixel(title, x, y, packColour(r + (x * 12 / 240), gr, b + (y * 10 / 320)));
                }
            }
        }
        removeSurface(&bg);
    }
    for (int i = 1 - g; i < 6; i++) {
        blit(title, 82, 122 + 24 * i + 12 * g, menu->width, 24, menu, 0, 150 + 24 * i, BLIT_ADDITIVE, 0);
    }
    blitCentred(screen, title);
    blit(screen, 82, 122 + 24 * 2 + 12 * g, menu->width, 24, menu, 0, 2 + 24 * 2, BLIT_ADDITIVE, -8);
    removeSurface(&title);
    removeSurface(&menu);
    return screen;
}

Surface* composeOptions(Surface* icons) {
    Surface* screen = createSurface(SCREEN_W, SCREEN_H);
    Surface* bg = loadDataPicture("bg.png");
    Surface* win = loadDataPicture("optionsWin.png");
    tileSurface(screen, 0, 0, SCREEN_W, SCREEN_H, bg, 0, 37);
    int L = 120 - win->width / 2, T = 150 - win->height / 2;
    blit(screen, L, T, win->width, win->height - 18, win, 0, 0, BLIT_TRANSPARENT);
    blit(screen, L + 11 + 255 / 2, T + 72, 6, 18, win, 0, win->height - 18, BLIT_TRANSPARENT);
    blit(screen, L + 11 + 220 / 2, T + 103, 6, 18, win, 0, win->height - 18, BLIT_TRANSPARENT);
    drawText(screen, "Difficulty: Medium", L + 12, T + 165, 1);
    drawText(screen, "Helpful Hints: ON", L + 14, T + 40, 1);
    cornerButton(screen, icons, false);
    removeSurface(&bg);
    removeSurface(&win);
    return screen;
}

Surface* composeHighScores(Surface* icons) {
    Surface* screen = createSurface(SCREEN_W, SCREEN_H);
    Surface* bg = loadDataPicture("bg.png");
    tileSurface(screen, 0, 0, SCREEN_W, SCREEN_H, bg, 0, 0);
    centredText(screen, "High Scores", 20, 0);
    drawSmallText(screen, "Difficulty: INSANE", 120 - 3 * 18, fontLineHeight(0) + 12, LABEL);
    const char* names[] = {"WWWWWWWWWW", "Plinkor", "MMMMMMMMMM", "ace", "Zed", "..."};
    const char* scores[] = {"9999999", "1234567", "888888", "54321", "2000", ""};
    for (int i = 0; i < 6; i++) {
        int y = 20 + (i + 2) * (fontLineHeight(0) + 5);
        if (i == 5) {
            centredText(screen, "...", y, 0);
            continue;
        }
        char rank[8];
        snprintf(rank, sizeof(rank), "%2d", i + 1);
        if (i == 1) {
            drawTextColoured(screen, rank, 5, y, 0, packColour(31, 31, 12));
            drawTextColoured(screen, names[i], 35, y, 0, packColour(31, 31, 12));
            drawTextColoured(screen, scores[i], 235 - textWidth(scores[i], 0), y, 0, packColour(31, 31, 12));
        } else {
            drawText(screen, rank, 5, y, 0);
            drawText(screen, names[i], 35, y, 0);
            drawText(screen, scores[i], 235 - textWidth(scores[i], 0), y, 0);
        }
    }
    cornerButton(screen, icons, true);
    removeSurface(&bg);
    return screen;
}

Surface* composeNameEntry() {
    Surface* screen = createSurface(SCREEN_W, SCREEN_H);
    Surface* bg = loadDataPicture("bg.png");
    tileSurface(screen, 0, 0, SCREEN_W, SCREEN_H, bg, 0, 120);
    centredText(screen, "Congratulations!", 20, 0);
    drawSmallText(screen, "Score 12345", 120 - 3 * 11, 32, LABEL);
    centredText(screen, "Enter your name:", 50, 1);
    centredText(screen, "Plinkor", 80, 0);
    for (int r = 0; r < 8; r++) {
        for (int c = 0; c < 12; c++) {
            char key[2] = {(char)(32 + c + 12 * r), 0};
            drawText(screen, key, 5 + 20 * c, 160 + 14 * r, 1);
        }
    }
    drawText(screen, "ERASE", 5, 310, 0);
    drawText(screen, "DONE", 235 - textWidth("DONE", 0), 310, 0);
    removeSurface(&bg);
    return screen;
}

// The information page scrolled to the hatch, closed or with the lid lifted off the cheat panel.
Surface* composeInfoPage(Surface* powerUps, bool open) {
    Surface* screen = createSurface(SCREEN_W, SCREEN_H);
    Surface* bg = loadDataPicture("bg.png");
    Surface* page = loadDataPicture("strider.png");
    int sy = 2173 - 120;
    tileSurface(screen, 0, 0, SCREEN_W, SCREEN_H, bg, 0, sy >> 1);
    int left = 120 - page->width / 2;
    blit(screen, left, 10 - sy, page->width, page->height, page, 0, 0, BLIT_COPY);
    if (open) {
        const int p = 150, s = 5, lift = p - 35;
        blit(screen, left + 14, 10 - sy + 2173, 191, 106, page, 14, 2173, BLIT_FILL, 0);
        const char* lines[] = {"Level Editor",     "Unlimited Lives  OFF", "Unlock All Levels  ON",
                               "Fat Paddle  OFF",  "Max Power-up  OFF",   "See Power-ups  ON",
                               "Disable Debris  OFF"};
        const int offsets[] = {0, 23, 36, 49, 62, 75, 88};
        for (int i = 0; i < 7; i++) {
            centredText(screen, lines[i], 21 - sy + 2173 + offsets[i], 1);
        }
        for (int k = 1; k < s; k++) {
            for (int x = 0; x < 191; x++) {
                darkenPixel(screen, left + 14 - s + x + k, 10 - sy + 2173 - s - lift + 106 + k - 1, (5 - k) * 4);
            }
        }
        blit(screen, left + 14 - s, 10 - sy + 2173 - s - lift, 191, 106, page, 14, 2173, BLIT_COPY);
    }
    // Scroll arrows: the marks of kinds 17 and 18.
    capsule(screen, powerUps, 17, 15, 15, -4);
    capsule(screen, powerUps, 18, 15, 305, -4);
    removeSurface(&bg);
    removeSurface(&page);
    return screen;
}

// The level chooser: its title above the 10 x 10 grid, the first three levels open, the rest locked.
Surface* composeChooser() {
    Surface* screen = createSurface(SCREEN_W, SCREEN_H);
    Surface* choose = loadDataPicture("choose.png");
    blitCentred(screen, choose);
    for (int cell = 0; cell < 100; cell++) {
        int cx = (cell % 10) * 24, cy = 80 + (cell / 10) * 24;
        for (int y = 0; y < 24; y++) {
            for (int x = 0; x < 24; x++) {
                putPixel(screen, cx + x, cy + y, cell < 3 ? 0 : packColour(x, 0, y));
            }
        }
    }
    drawSmallText(screen, "1", 24 * 0 + 12 - 3, 90, 0xFFFF);
    removeSurface(&choose);
    return screen;
}

Surface* composeLogoSplash() {
    Surface* screen = createSurface(SCREEN_W, SCREEN_H);
    Surface* logo = loadDataPicture("qzlogo.png");
    Surface* mark = loadDataPicture("8quorn.png");
    const int d = (230 >> 4) - 20, a = 255;
    blit(screen, 120 - logo->width / 2, 160 - logo->height / 2 - 50 - d, logo->width, logo->height, logo, 0, 0,
         BLIT_ALPHA_BLEND, a);
    blit(screen, 120 - mark->width / 2, 160 - mark->height / 2 + 60 + d, mark->width, mark->height, mark, 0, 0,
         BLIT_ALPHA_BLEND, a);
    uint16_t grey = packColour(a >> 4, a >> 4, a >> 4);
    drawSmallText(screen, "Built on", 120 - 3 * 8, 160 - mark->height / 2 + 51 + d, grey);
    drawSmallText(screen, "Technology", 120 - 3 * 10, 160 - mark->height / 2 + 64 + d + mark->height, grey);
    drawSmallText(screen, "...Loading...", 120 - 3 * 13, 280, grey);
    removeSurface(&logo);
    removeSurface(&mark);
    return screen;
}

Surface* composeCentred(const char* name, const char* overlay) {
    Surface* screen = createSurface(SCREEN_W, SCREEN_H);
    Surface* picture = loadDataPicture(name);
    int left = 120 - picture->width / 2, top = 160 - picture->height / 2;
    blit(screen, left, top, picture->width, picture->height, picture, 0, 0, BLIT_ALPHA_BLEND, 255);
    if (overlay != nullptr) {
        Surface* o = loadDataPicture(overlay);
        blit(screen, left + 104, top + 128, o->width, o->height, o, 0, 0, BLIT_FILL, 0);
        blit(screen, left + 104, top + 128, o->width, o->height, o, 0, 0, BLIT_ALPHA_BLEND, 255);
        removeSurface(&o);
    }
    drawSmallText(screen, "...Loading...", 120 - 3 * 13, 280, packColour(31, 31, 31));
    removeSurface(&picture);
    return screen;
}

// A mock field: every capsule, the balls, explosion frames, the bomb's blast and a hint box.
Surface* composePlay(Surface* sprites, Surface* icons, Surface* powerUps) {
    Surface* screen = createSurface(SCREEN_W, SCREEN_H);
    Surface* bg = loadDataPicture("bg.png");
    tileSurface(screen, 0, 0, SCREEN_W, SCREEN_H, bg, 0, 0);
    for (int k = 0; k < 22; k++) {
        capsule(screen, powerUps, k, 24 + (k % 8) * 27, 24 + (k / 8) * 28, -(k & 31));
    }
    for (int b = 0; b < 4; b++) {
        blit(screen, 30 + 14 * b, 106, 7, 7, sprites, 6 * b, 32, BLIT_TRANSPARENT);
    }
    for (int i = 0; i < 5; i++) {
        blit(screen, 231 - 9 - 7 * i, 107, 7, 7, sprites, 0, 32, BLIT_ALPHA_BLEND, 255 - 4 * i);
    }
    const int sequence[] = {0, 2, 3, 5};
    for (int i = 0; i < 4; i++) {
        blit(screen, 20 + 36 * i, 124, 32, 32, sprites, sequence[i] * 32, 0, BLIT_ADDITIVE, -6);
    }
    // The bomb's blast over empty field.
    for (int i = 0; i <= 50; i++) {
        for (int j = 0; j <= 46; j++) {
            int a = (getPixel(icons, 52 + i, 1 + j) & 31) * 8;
            if (a != 0) {
                putPixel(screen, 200 - 30 + i, 140 - 37 + j,
                         blendColour(getPixel(icons, 1 + i, j), getPixel(screen, 200 - 30 + i, 140 - 37 + j), a));
            }
        }
    }
    // Hint box at (20, 200), 200 x 80, with its tab.
    const int hx = 20, hy = 200, hw = 200, hh = 84;
    blit(screen, hx, hy - 12, 8, 12, sprites, 25, 33, BLIT_TRANSPARENT);
    blit(screen, hx + 8, hy - 12, 80, 12, sprites, 33, 33, BLIT_COPY);
    // Darkened inside a grey frame, whose top edge starts where the tab ends.
    for (int y = hy; y < hy + hh; y++) {
        for (int x = hx; x < hx + hw; x++) {
            int r, g, b;
            unpackColour(getPixel(screen, x, y), &r, &g, &b);
            bool frame = x == hx || x == hx + hw - 1 || y == hy + hh - 1 || (y == hy && x >= hx + 88);
            uint16_t dark = packColour((r * 6) >> 4, (g * 6) >> 4, (b * 6) >> 4);
            putPixel(screen, x, y, frame ? packColour(16, 16, 16) : dark);
        }
    }
    capsule(screen, powerUps, 11, hx + 15, hy + 15, 0);
    drawSmallText(screen, "Catch the green pill", hx + 32, hy + 5, 0xFFFF);
    drawSmallText(screen, "to fire lasers at the", hx + 32, hy + 11, 0xFFFF);
    drawSmallText(screen, "blocks. The pile at the bottom", hx + 5, hy + 29, packColour(0, 25, 0));
    drawSmallText(screen, "destroys balls: keep it low!", hx + 5, hy + 35, packColour(25, 25, 25));
    centredText(screen, "Get Ready!", 306, 0);
    removeSurface(&bg);
    return screen;
}

}  // namespace

bool writeContactSheet() {
    setGamma(128);
    Surface* small = loadDataPicture("smallchars.png");
    smallCharsSheet = small;
    Surface* big = loadDataPicture("c_tickertape.png", 80);
    Surface* neo = loadDataPicture("c_neopolitical.png", 80);
    loadFont(big, 0, 30);
    loadFont(neo, 1, 18);
    Surface* sprites = loadDataPicture("sprites.png");
    Surface* icons = loadDataPicture("icons.png");
    Surface* powerUps = loadDataPicture("power-ups.png");

    Sheet sheet;
    sheet.s = createSurface(1560, 3600);
    for (int y = 0; y < sheet.s->height; y++) {
        for (int x = 0; x < sheet.s->width; x++) {
            putPixel(sheet.s, x, y, ((x >> 3) + (y >> 3)) & 1 ? GREY : packColour(12, 12, 12));
        }
    }
    // Screens composed as the game draws them.
    struct Composed {
        Surface* screen;
        const char* label;
    };
    const Composed screens[] = {
        {composeLogoSplash(), "splash 1: qzlogo + 8quorn"},
        {composeCentred("kvintro.png", nullptr), "splash 2: kvintro"},
        {composeCentred("monkey.png", "monkeym.png"), "splash 3: monkey + monkeym"},
        {composeMainMenu(false), "main menu"},
        {composeMainMenu(true), "main menu, game in progress"},
        {composeOptions(icons), "options"},
        {composeChooser(), "level chooser"},
        {composeHighScores(icons), "high scores"},
        {composeNameEntry(), "name entry"},
        {composeInfoPage(powerUps, false), "information page: hatch"},
        {composeInfoPage(powerUps, true), "information page: hatch open"},
        {composePlay(sprites, icons, powerUps), "play sprites, hint"},
    };
    for (const Composed& c : screens) {
        place(sheet, c.screen, c.label, 1, true);
    }
    newRow(sheet);
    // Every picture as loaded, transparent pixels showing the chequered ground.
    for (const char* name : {"titleBack.png", "choose.png", "pawall.png", "exit.png", "kvintro.png",
                             "monkey.png", "bg.png", "optionsWin.png", "mainMenu.png", "qzlogo.png", "8quorn.png",
                             "monkeym.png", "loading.png"}) {
        Surface* p = loadDataPicture(name);
        place(sheet, p, name);
        removeSurface(&p);
    }
    place(sheet, small, "smallchars.png x2", 2);
    place(sheet, big, "c_tickertape.png (gamma 80)");
    place(sheet, neo, "c_neopolitical.png (gamma 80) x2", 2);
    place(sheet, sprites, "sprites.png x3", 3);
    place(sheet, icons, "icons.png x2", 2);
    place(sheet, powerUps, "power-ups.png x2", 2);
    newRow(sheet);
    // The information page cut into columns.
    Surface* page = loadDataPicture("strider.png");
    const int part = 660;
    for (int top = 0; top < page->height; top += part) {
        Surface* piece = createSurface(page->width, std::min(part, page->height - top));
        blit(piece, 0, 0, piece->width, piece->height, page, 0, top, BLIT_COPY);
        char label[48];
        snprintf(label, sizeof(label), "strider.png %d-%d", top, top + piece->height - 1);
        place(sheet, piece, label);
        removeSurface(&piece);
    }
    // Text samples in both fonts and the small font, on the tiled background.
    Surface* text = createSurface(480, 300);
    Surface* bg = loadDataPicture("bg.png");
    tileSurface(text, 0, 0, 480, 300, bg, 0, 0);
    drawText(text, "CONTROL CONFIG  High Scores", 8, 28, 0);
    drawText(text, "Level 100 Complete!  Get Ready!  Doh!", 8, 58, 0);
    drawText(text, "ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789", 8, 88, 0);
    drawText(text, "abcdefghijklmnopqrstuvwxyz !?@#%&()[]{}", 8, 118, 0);
    drawTextColoured(text, "Screenshot [0x0d]  tinted", 8, 148, 0, packColour(31, 10, 31));
    drawText(text, "Unlock All Levels  OFF    Helpful Hints: ON    Difficulty: Insane", 8, 170, 1);
    drawText(text, "The quick brown fox jumps over the lazy dog. 0123456789", 8, 190, 1);
    drawTextColoured(text, "You have a high score!!", 8, 210, 1, packColour(0, 31, 31));
    drawText(text, "Latin-1: \xc0\xc9\xcd\xd1\xd6\xdc\xdf \xa9\xae\xb0\xb1\xbd\xbf \xa1\xa3\xa5\xa7 \xc6\xd8\xc5\xc7", 8, 230, 1);
    drawSmallText(text, "Small font: ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789", 8, 250, 0xFFFF);
    drawSmallText(text, "abcdefghijklmnopqrstuvwxyz !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~", 8, 260, packColour(31, 31, 0));
    drawSmallText(text, "Catch the green pill to fire lasers at the blocks.", 8, 270, packColour(0, 31, 31));
    drawSmallTextBlended(text, "...Loading...  (blended)", 8, 280, 0xFFFF, 128);
    place(sheet, text, "text samples: font 0, font 1, small font");
    removeSurface(&bg);
    removeSurface(&text);

    bool ok = writeSurfacePng(reviewOutDir + "contact-sheet.png", sheet.s);
    if (sheet.y + sheet.rowHeight >= sheet.s->height) {
        fprintf(stderr, "plinkor-review: the contact sheet is too short for its pictures\n");
    }
    for (const Composed& c : screens) {
        Surface* s = c.screen;
        removeSurface(&s);
    }
    unloadFont(0);
    unloadFont(1);
    smallCharsSheet = nullptr;
    for (Surface** s : {&small, &big, &neo, &sprites, &icons, &powerUps, &page, &sheet.s}) {
        removeSurface(s);
    }
    return ok;
}
