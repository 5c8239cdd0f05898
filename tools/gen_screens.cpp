// Generator of the menu screens: title background and menu strips, the tiling background, the options
// window, the level chooser's title, and the farewell and exit screens.
#include <cmath>
#include <cstdio>

#include "game/layout.h"
#include "neon.h"
#include "pictures.h"

static const char* const MENU_ITEMS[6] = {"Continue", "Play", "Options", "Information", "High Scores", "Quit"};
enum { MENU_W = 158, MENU_H = 296, TITLE_OPEN_Y = 110 };

// A menu strip: a small diamond and the item's name; the glowing version is a halo, a light bar and a
// brighter core, added over the base strip while the stylus rests on the item.
static Canvas paintMenuStrip(const char* text, bool glowing) {
    Canvas s = makeCanvas(MENU_W, 24, Rgb{0, 0, 0});
    const int baseline = 18, textX = 22;
    if (!glowing) {
        fillPolygon(s, {8, 12, 12, 8, 16, 12, 12, 16}, scaleRgb(NEON_MAGENTA, 0.8));
        drawFontText(s, textX, baseline, text, FONT_SANS_BOLD, 17, Rgb{150, 205, 235}, false);
        return s;
    }
    Canvas halo = makeCanvas(MENU_W, 24, Rgb{0, 0, 0});
    drawFontText(halo, textX, baseline, text, FONT_SANS_BOLD, 17, NEON_MAGENTA, true);
    fillPolygon(halo, {8, 12, 12, 8, 16, 12, 12, 16}, NEON_AMBER);
    blurCanvas(halo, 2, 3);
    for (int x = 0; x < MENU_W; x++) {
        double fade = std::max(0.0, 1.0 - x / (double)MENU_W);
        for (int y = 0; y < 24; y++) {
            double band = exp(-pow((y - 12.5) / 7.0, 2));
            canvasAdd(s, x, y, Rgb{90, 20, 80}, (int)lround(255 * fade * band));
        }
    }
    addCanvas(s, halo, 0, 0, 255);
    addCanvas(s, halo, 0, 0, 160);
    drawFontText(s, textX, baseline, text, FONT_SANS_BOLD, 17, Rgb{90, 60, 40}, true);
    fillPolygon(s, {8, 12, 12, 8, 16, 12, 12, 16}, NEON_WHITE);
    return s;
}

static bool writeMainMenu(const std::string& dataDir) {
    Canvas c = makeCanvas(MENU_W, MENU_H, Rgb{0, 0, 0});
    for (int i = 0; i < 6; i++) {
        copyCanvas(c, paintMenuStrip(MENU_ITEMS[i], true), 0, 2 + 24 * i);
        copyCanvas(c, paintMenuStrip(MENU_ITEMS[i], false), 0, 150 + 24 * i);
    }
    const std::string path = dataDir + "mainMenu.png";
    if (!writePngRgb(path, c)) {
        return false;
    }
    const char* name = "mainMenu.png";
    Surface* s = loadWrittenPicture(path);
    if (s == nullptr) {
        return false;
    }
    // The game draws the strips at x 82, so the picture may be at most 158 wide.
    bool ok = checkPictureSize(name, s, 100, 158, 150 + 24 * 6, 400);
    for (int i = 0; i < 6 && ok; i++) {
        char region[48];
        snprintf(region, sizeof(region), "glowing \"%s\"", MENU_ITEMS[i]);
        ok = checkRegion(name, s, region, 0, 2 + 24 * i, s->width, 24, true, 300);
        snprintf(region, sizeof(region), "\"%s\"", MENU_ITEMS[i]);
        ok = ok && checkRegion(name, s, region, 0, 150 + 24 * i, s->width, 24, true, 60);
    }
    removeSurface(&s);
    return ok;
}

// Bricks along the title's lower edge, the last ones crumbling into grains.
static void paintTitleBricks(Canvas& c, int y) {
    const Rgb hues[6] = {NEON_CYAN, NEON_MAGENTA, NEON_AMBER, NEON_GREEN, NEON_MAGENTA, NEON_CYAN};
    ArtRandom rnd{1701};
    for (int i = 0; i < 6; i++) {
        double x = 14 + i * 36;
        Rgb hue = hues[i];
        if (i == 4) {
            // A block in pieces: grains scattered below where it stood.
            for (int g = 0; g < 26; g++) {
                double gx = x + artRange(rnd, 0, 30), gy = y + artRange(rnd, 2, 18);
                fillRect(c, (int)gx, (int)gy, 2, 2, scaleRgb(hue, artRange(rnd, 0.4, 0.9)));
            }
            continue;
        }
        glowRoundRect(c, x, y, 30, 11, 2, 6, scaleRgb(hue, 0.6), 110);
        fillRoundRect(c, x, y, 30, 11, 2, scaleRgb(hue, 0.55));
        fillRoundRect(c, x + 1, y + 1, 28, 3, 1.5, mixRgb(hue, NEON_WHITE, 0.5));
    }
}

static bool writeTitleBack(const std::string& dataDir) {
    Canvas c = makeCanvas(240, 320, Rgb{0, 0, 0});
    fillGradient(c, 0, 0, 240, TITLE_OPEN_Y, Rgb{14, 10, 36}, Rgb{6, 6, 16});
    // Faint stars in the sky behind the name.
    ArtRandom rnd{99};
    for (int i = 0; i < 40; i++) {
        int x = artRand(rnd) % 240, y = artRand(rnd) % 60;
        canvasAdd(c, x, y, Rgb{120, 140, 200}, 40 + artRand(rnd) % 80);
    }
    addGlow(c, 120, 42, 110, Rgb{60, 20, 90}, 90);
    drawNeonTextCentred(c, 120, 58, "PLINKOR", FONT_SANS_BOLD, 46, Rgb{225, 250, 255}, NEON_CYAN, 4, 255);
    drawNeonTextCentred(c, 120, 76, "brick by brick", FONT_SANS_BOLD, 11, NEON_AMBER, NEON_AMBER, 2, 120);
    paintTitleBricks(c, 86);
    // The glowing rule that closes the title; below it the picture stays pure black, so that a game in
    // progress shows through behind the menu.
    for (int x = 0; x < 240; x++) {
        double f = sin(M_PI * (x + 0.5) / 240);
        canvasSet(c, x, TITLE_OPEN_Y - 2, scaleRgb(NEON_MAGENTA, 0.3 + 0.7 * f));
        canvasSet(c, x, TITLE_OPEN_Y - 3, scaleRgb(NEON_MAGENTA, 0.25 * f));
        canvasSet(c, x, TITLE_OPEN_Y - 1, scaleRgb(NEON_MAGENTA, 0.25 * f));
    }
    fillRect(c, 0, TITLE_OPEN_Y, 240, 320 - TITLE_OPEN_Y, Rgb{0, 0, 0});
    const std::string path = dataDir + "titleBack.png";
    if (!writePngRgb(path, c)) {
        return false;
    }
    const char* name = "titleBack.png";
    Surface* s = loadWrittenPicture(path);
    if (s == nullptr) {
        return false;
    }
    bool ok = checkPictureSize(name, s, 240, 240, 320, 320) &&
              checkRegion(name, s, "title", 0, 0, 240, 110, true, 2000);
    if (ok && countInk(s, 0, 110, 240, 210) != 0) {
        ok = pictureFault(name, "the menu area from row 110 down is not pure black");
    }
    removeSurface(&s);
    return ok;
}

// The tiling background: a dim brick wall with a few bricks faintly lit, wrapping round at every edge.
static bool writeBackground(const std::string& dataDir) {
    const int size = 240, bw = 40, bh = 15;
    Canvas c = makeCanvas(size, size, Rgb{6, 7, 15});
    Canvas light = makeCanvas(size, size, Rgb{0, 0, 0});
    ArtRandom rnd{2024};
    const Rgb hues[3] = {NEON_CYAN, NEON_MAGENTA, NEON_AMBER};
    for (int row = 0; row < size / bh; row++) {
        int offset = (row & 1) ? bw / 2 : 0;
        for (int col = 0; col < size / bw; col++) {
            int x0 = col * bw + offset, y0 = row * bh;
            int lit = artRand(rnd) % 9;
            Rgb face = lit == 0 ? scaleRgb(hues[artRand(rnd) % 3], 0.09) : Rgb{11, 13, 26};
            for (int j = 1; j < bh - 1; j++) {
                for (int i = 1; i < bw - 1; i++) {
                    Rgb p = j == 1 ? mixRgb(face, Rgb{30, 34, 60}, 0.35) : face;
                    canvasSet(c, (x0 + i) % size, y0 + j, p);
                }
            }
            if (lit == 0) {
                Rgb hue = scaleRgb(face, 2.0);
                for (int j = 2; j < bh - 2; j++) {
                    for (int i = 2; i < bw - 2; i++) {
                        canvasSet(light, (x0 + i) % size, y0 + j, hue);
                    }
                }
            }
        }
    }
    blurCanvasWrapped(light, 5, 3);
    addCanvas(c, light, 0, 0, 255);
    const std::string path = dataDir + "bg.png";
    if (!writePngRgb(path, c)) {
        return false;
    }
    const char* name = "bg.png";
    Surface* s = loadWrittenPicture(path);
    if (s == nullptr) {
        return false;
    }
    bool ok = checkPictureSize(name, s, 240, 240, 16, 640);
    // Dark enough that light text stays readable on it.
    for (int y = 0; y < s->height && ok; y++) {
        for (int x = 0; x < s->width && ok; x++) {
            int r, g, b;
            unpackColour(getPixel(s, x, y), &r, &g, &b);
            if (r > 12 || g > 12 || b > 12) {
                ok = pictureFault(name, "pixel (%d, %d) is too bright for a background", x, y);
            }
        }
    }
    removeSurface(&s);
    return ok;
}

// The options window. Places match the options screen's hit tests (window coordinates).
enum { OPT_W = 208, OPT_BODY_H = 176, OPT_H = OPT_BODY_H + 18 };

static void paintButtonBox(Canvas& c, int x0, int y0, int x1, int y1, const char* label, Rgb hue, int size) {
    double w = x1 - x0 + 1, h = y1 - y0 + 1;
    glowRoundRect(c, x0, y0, w, h, 3, 4, scaleRgb(hue, 0.5), 90);
    fillRoundRect(c, x0, y0, w, h, 3, scaleRgb(hue, 0.16));
    strokeRoundRect(c, x0, y0, w, h, 3, 1.2, hue);
    int tw = textWidthPx(label, FONT_SANS_BOLD, size);
    drawFontText(c, (int)lround(x0 + (w - tw) / 2), (int)lround(y0 + h / 2 + size * 0.36), label, FONT_SANS_BOLD,
                 size, mixRgb(hue, NEON_WHITE, 0.7), false);
}

static void paintSliderTrack(Canvas& c, int y, const char* label) {
    // The label sits between the tick marks of the slider above and the top of its own knob.
    drawFontText(c, 12, y - 3, label, FONT_SANS_BOLD, 11, NEON_AMBER, false);
    // The knob's centre runs from column 14 (silent) to 141 (full).
    fillRoundRect(c, 12, y + 7, 132, 4, 2, Rgb{30, 40, 70});
    for (int i = 0; i <= 8; i++) {
        int x = 14 + i * 127 / 8;
        fillRect(c, x, y + 13, 1, i % 4 == 0 ? 4 : 2, Rgb{70, 90, 130});
    }
    // Loudness wedge beside the track.
    fillPolygon(c, {152, (double)y + 14, 196, (double)y + 14, 196, (double)y + 3}, scaleRgb(NEON_CYAN, 0.35));
}

// The pixels a hit area of the game takes taps on (inside its edges) must show on the picture.
static bool checkHitArea(const char* name, const Surface* s, const char* region, const HitRect& r, int minInk) {
    return checkRegion(name, s, region, r.left + 1, r.top + 1, r.right - r.left - 1, r.bottom - r.top - 1, true,
                       minInk);
}

static bool writeOptionsWindow(const std::string& dataDir) {
    Canvas c = makeCanvas(OPT_W, OPT_H, Rgb{0, 0, 0});
    fillGradient(c, 0, 0, OPT_W, OPT_BODY_H, Rgb{16, 18, 42}, Rgb{8, 10, 24});
    strokeRoundRect(c, 0, 0, OPT_W, OPT_BODY_H, 4, 1.5, NEON_CYAN);
    strokeRoundRect(c, 3, 3, OPT_W - 6, OPT_BODY_H - 6, 3, 1, Rgb{20, 70, 100});
    drawNeonText(c, 11, 18, "Options", FONT_SANS_BOLD, 15, Rgb{255, 220, 245}, NEON_MAGENTA, 2, 200);
    // Back button: x 145..194, y 5..20.
    paintButtonBox(c, 145, 5, 194, 20, "Back", NEON_MAGENTA, 11);
    // Hints line (any x, y 31..42): the game writes "Helpful Hints: ON/OFF" at (14, 40).
    strokeRoundRect(c, 8, 28, OPT_W - 16, 17, 3, 1, Rgb{40, 60, 100});
    // Sliders: effects knob rows 72..89, music knob rows 103..120.
    paintSliderTrack(c, 72, "Sound Effects");
    paintSliderTrack(c, 103, "Music");
    // Control configuration button: x 11..136, y 126..151.
    paintButtonBox(c, 11, 126, 136, 151, "Configure Controls", NEON_CYAN, 11);
    // Difficulty line (x 11..196, y 154..167): the game writes "Difficulty: ..." at (12, 165).
    strokeRoundRect(c, 8, 153, OPT_W - 16, 17, 3, 1, Rgb{90, 60, 30});
    // The knob, 6 x 18 in the last rows: an amber pill.
    fillRoundRect(c, 0, OPT_BODY_H, 6, 18, 2.5, NEON_AMBER);
    fillRoundRect(c, 1, OPT_BODY_H + 2, 2, 14, 1, Rgb{255, 235, 180});
    fillRect(c, 1, OPT_BODY_H + 8, 4, 1, Rgb{120, 70, 10});
    fillRect(c, 1, OPT_BODY_H + 10, 4, 1, Rgb{120, 70, 10});
    const std::string path = dataDir + "optionsWin.png";
    if (!writePngRgb(path, c)) {
        return false;
    }
    const char* name = "optionsWin.png";
    Surface* s = loadWrittenPicture(path);
    if (s == nullptr) {
        return false;
    }
    // The window must hold every hit area, and the printed lines must stay on the window's dark ground.
    bool ok = checkPictureSize(name, s, 198, 236, 190, 290) &&
              checkHitArea(name, s, "Back button", optionsAreas[OPTIONS_BACK], 400) &&
              checkHitArea(name, s, "Configure Controls button", optionsAreas[OPTIONS_CONTROLS], 2000) &&
              checkRegion(name, s, "effects slider", 11, 72, 133, 18, true, 300) &&
              checkRegion(name, s, "music slider", 11, 103, 133, 18, true, 300) &&
              checkHitArea(name, s, "difficulty line", optionsAreas[OPTIONS_DIFFICULTY], 186 * 14) &&
              checkRegion(name, s, "hints line", 11, 31, 186, 12, true, 186 * 12) &&
              checkRegion(name, s, "slider knob", 0, s->height - 18, 6, 18, true, 80);
    removeSurface(&s);
    return ok;
}

static bool writeChooser(const std::string& dataDir) {
    Canvas c = makeCanvas(240, 320, Rgb{0, 0, 0});
    fillGradient(c, 0, 0, 240, 80, Rgb{14, 10, 36}, Rgb{8, 8, 20});
    addGlow(c, 120, 30, 100, Rgb{30, 60, 110}, 80);
    drawNeonTextCentred(c, 120, 38, "Choose a Level", FONT_SANS_BOLD, 24, Rgb{225, 250, 255}, NEON_CYAN, 3, 230);
    drawTextCentred(c, 120, 60, "tap a lit square to start there", FONT_SANS, 11, Rgb{180, 150, 210});
    // Small glowing bricks in the top corners.
    const Rgb corners[4] = {NEON_MAGENTA, NEON_AMBER, NEON_CYAN, NEON_GREEN};
    for (int i = 0; i < 4; i++) {
        double x = i < 2 ? 6 + i * 14 : 240 - 6 - 12 - (i - 2) * 14, y = 8;
        glowRoundRect(c, x, y, 12, 5, 1.5, 4, scaleRgb(corners[i], 0.5), 90);
        fillRoundRect(c, x, y, 12, 5, 1.5, scaleRgb(corners[i], 0.7));
    }
    for (int x = 0; x < 240; x++) {
        double f = sin(M_PI * (x + 0.5) / 240);
        canvasSet(c, x, 76, scaleRgb(NEON_MAGENTA, 0.25 + 0.6 * f));
    }
    // Rows from 80 down lie under the level grid.
    const std::string path = dataDir + "choose.png";
    if (!writePngRgb(path, c)) {
        return false;
    }
    Surface* s = loadWrittenPicture(path);
    if (s == nullptr) {
        return false;
    }
    bool ok = checkPictureSize("choose.png", s, 240, 240, 320, 320) &&
              checkRegion("choose.png", s, "title area", 0, 0, 240, 80, true, 4000);
    removeSurface(&s);
    return ok;
}

static bool writeFarewell(const std::string& dataDir) {
    Canvas c = makeCanvas(240, 320, Rgb{0, 0, 0});
    fillGradient(c, 0, 0, 240, 320, Rgb{18, 8, 34}, Rgb{4, 4, 12});
    addGlow(c, 120, 150, 140, Rgb{70, 30, 90}, 110);
    paintMonkey(c, 120, 138, 0.68, false);
    drawNeonTextCentred(c, 120, 40, "Thanks for playing", FONT_SANS_BOLD, 20, Rgb{255, 230, 250}, NEON_MAGENTA,
                        3, 230);
    drawNeonTextCentred(c, 120, 66, "PLINKOR", FONT_SANS_BOLD, 22, Rgb{220, 250, 255}, NEON_CYAN, 3, 230);
    drawTextCentred(c, 120, 268, "Come back soon: the blocks", FONT_SANS, 12, Rgb{200, 200, 230});
    drawTextCentred(c, 120, 284, "are already piling up again.", FONT_SANS, 12, Rgb{200, 200, 230});
    drawTextCentred(c, 120, 305, "tap to go on", FONT_SANS_BOLD, 11, NEON_AMBER);
    return writePngRgb(dataDir + "pawall.png", c);
}

static bool writeExit(const std::string& dataDir) {
    Canvas c = makeCanvas(240, 320, Rgb{0, 0, 0});
    fillGradient(c, 0, 0, 240, 320, Rgb{4, 6, 16}, Rgb{16, 6, 24});
    // A low sun of light sinking behind the floor line.
    addGlow(c, 120, 210, 150, Rgb{120, 40, 90}, 120);
    addGlow(c, 120, 210, 60, NEON_AMBER, 120);
    for (int y = 210; y < 320; y++) {
        for (int x = 0; x < 240; x++) {
            canvasSet(c, x, y, scaleRgb(canvasGet(c, x, y), 0.35));
        }
    }
    for (int k = 0; k < 8; k++) {
        int y = 212 + k * k * 2 + k * 3;
        for (int x = 0; x < 240; x++) {
            canvasAdd(c, x, y, NEON_MAGENTA, 110 - k * 10);
        }
    }
    for (int k = -6; k <= 6; k++) {
        drawLine(c, 120 + k * 8, 211, 120 + k * 60, 320, 1, scaleRgb(NEON_MAGENTA, 0.45));
    }
    paintPlayScene(c, 120, 130, 0.9);
    drawNeonTextCentred(c, 120, 48, "See you soon!", FONT_SANS_BOLD, 22, Rgb{230, 250, 255}, NEON_CYAN, 3, 230);
    drawTextCentred(c, 120, 300, "tap or press a key to close", FONT_SANS_BOLD, 11, Rgb{240, 200, 120});
    return writePngRgb(dataDir + "exit.png", c);
}

static bool checkFullScreen(const std::string& dataDir, const char* name) {
    Surface* s = loadWrittenPicture(dataDir + name);
    if (s == nullptr) {
        return false;
    }
    bool ok = checkPictureSize(name, s, 240, 240, 320, 320) &&
              checkRegion(name, s, "screen", 0, 0, 240, 320, true, 240 * 320 / 2);
    removeSurface(&s);
    return ok;
}

bool generateScreens(const std::string& dataDir) {
    return writeMainMenu(dataDir) && writeTitleBack(dataDir) && writeBackground(dataDir) &&
           writeOptionsWindow(dataDir) && writeChooser(dataDir) && writeFarewell(dataDir) &&
           checkFullScreen(dataDir, "pawall.png") && writeExit(dataDir) && checkFullScreen(dataDir, "exit.png");
}
