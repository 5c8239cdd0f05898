// Generator of the information page: the game's manual as one tall picture, with the maintenance
// hatch that hides the cheat panel.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "neon.h"
#include "pictures.h"

// The page and its hatch (the lid lifts off the compartment where the cheat panel is drawn).
enum { PAGE_W = 220, LID_X = 14, LID_Y = 2173, LID_W = 191, LID_H = 106, MIN_PAGE_H = 2300 };
enum { MARGIN_L = 16, MARGIN_R = 10, TEXT_W = PAGE_W - MARGIN_L - MARGIN_R, BODY_SIZE = 11, LINE_H = 13 };

static const Rgb BODY{205, 212, 232}, DIM{150, 158, 190}, PAGE_TOP{14, 14, 34}, PAGE_BOTTOM{10, 12, 26};

struct Page {
    Canvas c;
    int y = 0;
    int headings = 0;
    int tooWide = 0;  // lines that would run past the right margin
};

static void heading(Page& p, const char* text) {
    static const Rgb hues[3] = {NEON_CYAN, NEON_MAGENTA, NEON_AMBER};
    Rgb hue = hues[p.headings++ % 3];
    p.y += 8;
    if (textWidthPx(text, FONT_SANS_BOLD, 15) > TEXT_W) {
        p.tooWide++;
    }
    drawNeonText(p.c, MARGIN_L, p.y + 14, text, FONT_SANS_BOLD, 15, mixRgb(hue, NEON_WHITE, 0.55), hue, 2, 170);
    for (int x = MARGIN_L; x < PAGE_W - MARGIN_R; x++) {
        double f = 1.0 - (x - MARGIN_L) / (double)TEXT_W;
        canvasAdd(p.c, x, p.y + 19, hue, (int)lround(200 * f));
    }
    p.y += 21;
}

// Where the round back button stands over the page as it first shows (the page's top on screen row 10,
// its left edge at column 10): text there would sit under the button until the player scrolls.
enum { BUTTON_LEFT = 181 - 10, BUTTON_TOP = 264 - 10, BUTTON_BOTTOM = 320 - 10 };

// The width a line ending at row y (its baseline area) may take from x.
static int lineWidthAt(int y, int x, int width) {
    if (y > BUTTON_TOP && y - LINE_H < BUTTON_BOTTOM) {
        return std::min(width, BUTTON_LEFT - 4 - x);
    }
    return width;
}

// A paragraph wrapped to the given width, starting at x; lines beside the back button wrap shorter.
static void paragraphAt(Page& p, int x, int width, const std::string& text, Rgb colour,
                        const char* font = FONT_CONDENSED) {
    std::string rest = text;
    while (!rest.empty()) {
        p.y += LINE_H;
        int lineWidth = lineWidthAt(p.y, x, width);
        std::string line = wrapText(rest, font, BODY_SIZE, lineWidth).front();
        rest = rest.substr(std::min(rest.size(), line.size()));
        if (!rest.empty() && (rest[0] == ' ' || rest[0] == '\n')) {
            rest = rest.substr(1);
        }
        if (textWidthPx(line, font, BODY_SIZE) > lineWidth) {
            p.tooWide++;
        }
        drawFontText(p.c, x, p.y - 3, line, font, BODY_SIZE, colour, false);
    }
}

static void paragraph(Page& p, const std::string& text) {
    paragraphAt(p, MARGIN_L, TEXT_W, text, BODY);
    p.y += 5;
}

// A key or term in amber on the left, its meaning beside it.
static void keyRow(Page& p, const char* key, const char* meaning, int keyWidth = 62) {
    int top = p.y;
    drawFontText(p.c, MARGIN_L + 4, p.y + LINE_H - 3, key, FONT_CONDENSED_BOLD, BODY_SIZE, NEON_AMBER, false);
    paragraphAt(p, MARGIN_L + keyWidth, TEXT_W - keyWidth, meaning, BODY);
    p.y = std::max(p.y, top + LINE_H) + 1;
}

// A small picture of the field during play, with the zone line and the pile pointed out.
static void playIllustration(Page& p) {
    const int w = 150, h = 100, x0 = MARGIN_L + (TEXT_W - w) / 2 - 16, y0 = p.y + 4;
    Canvas& c = p.c;
    fillGradient(c, x0, y0, w, h, Rgb{8, 10, 22}, Rgb{14, 10, 30});
    strokeRoundRect(c, x0 - 1, y0 - 1, w + 2, h + 2, 2, 1, Rgb{60, 80, 130});
    const Rgb rows[4] = {NEON_MAGENTA, NEON_AMBER, NEON_CYAN, NEON_GREEN};
    for (int r = 0; r < 4; r++) {
        for (int i = 0; i < 8; i++) {
            if ((r == 3 && (i == 2 || i == 5)) || (r == 2 && i == 6)) {
                continue;
            }
            int bw = r == 3 ? 10 : 15;
            int bx = x0 + 8 + i * 17 + (r == 3 ? 3 : 0), by = y0 + 10 + r * 9;
            fillRect(c, bx, by, bw, 6, scaleRgb(rows[r], 0.7));
            fillRect(c, bx, by, bw, 1, mixRgb(rows[r], NEON_WHITE, 0.5));
        }
    }
    // A falling capsule, the ball and its path, the zone line, the paddle and the pile.
    addGlow(c, x0 + 110, y0 + 54, 6, NEON_GREEN, 200);
    fillDisc(c, x0 + 110, y0 + 54, 2.5, Rgb{200, 255, 210});
    for (int t = 1; t < 7; t++) {
        canvasAdd(c, x0 + 56 - t * 3, y0 + 48 + t * 4, NEON_CYAN, 200 - t * 25);
    }
    addGlow(c, x0 + 56, y0 + 48, 6, NEON_CYAN, 180);
    fillDisc(c, x0 + 56, y0 + 48, 2.2, NEON_WHITE);
    const int zoneY = y0 + 66;
    for (int x = x0; x < x0 + w; x += 2) {
        canvasAdd(c, x, zoneY, Rgb{90, 140, 200}, 160);
    }
    fillRoundRect(c, x0 + 30, y0 + 78, 28, 4, 2, NEON_AMBER);
    ArtRandom rnd{77};
    for (int x = 0; x < w; x++) {
        double heap = 4 + 8 * exp(-pow((x - 112) / 22.0, 2)) + 3 * exp(-pow((x - 20) / 14.0, 2));
        for (int k = 0; k < heap; k++) {
            Rgb grain = rows[artRand(rnd) % 4];
            canvasSet(c, x0 + x, y0 + h - 1 - k, scaleRgb(grain, artRange(rnd, 0.35, 0.7)));
        }
    }
    // Labels to the right of the picture.
    const int lx = x0 + w + 6;
    drawFontText(c, lx, zoneY + 4, "zone", FONT_SANS_BOLD, 10, NEON_CYAN, false);
    drawLine(c, lx - 1, zoneY, x0 + w - 8, zoneY, 1, scaleRgb(NEON_CYAN, 0.8));
    drawFontText(c, lx, y0 + h - 4, "pile", FONT_SANS_BOLD, 10, NEON_MAGENTA, false);
    drawLine(c, lx - 1, y0 + h - 8, x0 + w - 12, y0 + h - 10, 1, scaleRgb(NEON_MAGENTA, 0.8));
    drawFontText(c, lx, y0 + 57, "capsule", FONT_SANS_BOLD, 9, NEON_GREEN, false);
    drawFontText(c, lx, y0 + 45, "ball", FONT_SANS_BOLD, 10, Rgb{200, 240, 255}, false);
    drawFontText(c, lx, y0 + 84, "paddle", FONT_SANS_BOLD, 9, NEON_AMBER, false);
    p.y = y0 + h + 8;
}

// A desktop option: its line as written in the file, then what it does and its command-line flag.
static void optionRow(Page& p, const char* line, const char* flag, const char* meaning) {
    drawFontText(p.c, MARGIN_L + 4, p.y + LINE_H - 3, line, FONT_CONDENSED_BOLD, BODY_SIZE, NEON_AMBER, false);
    p.y += LINE_H;
    paragraphAt(p, MARGIN_L + 12, TEXT_W - 12, std::string(meaning) + " (" + flag + ")", BODY);
    p.y += 3;
}

static void scoringRow(Page& p, int blockWidth, const char* size, const char* points) {
    const int bx = MARGIN_L + 6 + (28 - blockWidth) / 2, by = p.y + 4;
    fillRect(p.c, bx, by, blockWidth, 7, scaleRgb(NEON_MAGENTA, 0.7));
    fillRect(p.c, bx, by, blockWidth, 2, Rgb{255, 170, 235});
    drawFontText(p.c, MARGIN_L + 40, p.y + LINE_H - 3, size, FONT_CONDENSED, BODY_SIZE, BODY, false);
    int pw = textWidthPx(points, FONT_SANS_BOLD, BODY_SIZE);
    drawFontText(p.c, PAGE_W - MARGIN_R - pw, p.y + LINE_H - 3, points, FONT_SANS_BOLD, BODY_SIZE, NEON_AMBER,
                 false);
    p.y += LINE_H + 2;
}

static void powerUpRow(Page& p, int kind) {
    const int top = p.y;
    stampPowerUp(p.c, MARGIN_L + 12, top + 13, kind);
    Rgb hue = mixRgb(powerUpHue(kind), NEON_WHITE, 0.3);
    drawFontText(p.c, MARGIN_L + 30, top + 11, POWER_UP_NAMES[kind], FONT_CONDENSED_BOLD, BODY_SIZE, hue, false);
    p.y = top + 11;
    paragraphAt(p, MARGIN_L + 30, TEXT_W - 30, POWER_UP_EFFECTS[kind], DIM);
    p.y = std::max(p.y + 1, top + 25);
}

// The hatch: a riveted steel plate between warning stripes, that looks as if it could be lifted.
static void paintLid(Canvas& c) {
    const int x0 = LID_X, y0 = LID_Y, w = LID_W, h = LID_H;
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            double brushed = 0.5 + 0.5 * sin(x * 0.9 + y * 0.05) * sin(y * 0.33);
            Rgb steel = mixRgb(Rgb{58, 64, 84}, Rgb{92, 100, 124}, 0.35 + 0.3 * brushed - 0.3 * y / h);
            canvasSet(c, x0 + x, y0 + y, steel);
        }
    }
    // Warning stripes along top and bottom.
    for (int band = 0; band < 2; band++) {
        int by = band == 0 ? y0 + 4 : y0 + h - 14;
        for (int y = 0; y < 10; y++) {
            for (int x = 4; x < w - 4; x++) {
                bool amber = ((x + y) / 7) % 2 == 0;
                canvasSet(c, x0 + x, by + y, amber ? Rgb{230, 160, 30} : Rgb{26, 22, 20});
            }
        }
    }
    // Bevelled edge: light above and left, shadow below and right.
    for (int x = 0; x < w; x++) {
        canvasSet(c, x0 + x, y0, Rgb{170, 180, 210});
        canvasSet(c, x0 + x, y0 + 1, Rgb{120, 130, 160});
        canvasSet(c, x0 + x, y0 + h - 1, Rgb{20, 22, 34});
        canvasSet(c, x0 + x, y0 + h - 2, Rgb{34, 36, 50});
    }
    for (int y = 0; y < h; y++) {
        canvasSet(c, x0, y0 + y, Rgb{170, 180, 210});
        canvasSet(c, x0 + 1, y0 + y, Rgb{120, 130, 160});
        canvasSet(c, x0 + w - 1, y0 + y, Rgb{20, 22, 34});
        canvasSet(c, x0 + w - 2, y0 + y, Rgb{34, 36, 50});
    }
    // Rivets in the corners.
    for (int ry : {y0 + 22, y0 + h - 22}) {
        for (int rx : {x0 + 10, x0 + w - 11}) {
            fillDisc(c, rx + 0.5, ry + 1.0, 3.2, Rgb{24, 26, 36});
            fillDisc(c, rx, ry, 3.0, Rgb{150, 158, 182});
            fillDisc(c, rx - 0.8, ry - 0.8, 1.2, Rgb{230, 235, 250});
        }
    }
    // The engraved label and the handle.
    const int cx = x0 + w / 2;
    drawTextCentred(c, cx + 1, y0 + 43, "MAINTENANCE", FONT_CONDENSED_BOLD, 15, Rgb{26, 28, 40});
    drawTextCentred(c, cx, y0 + 42, "MAINTENANCE", FONT_CONDENSED_BOLD, 15, Rgb{200, 210, 232});
    drawTextCentred(c, cx, y0 + 57, "authorised players only", FONT_SANS, 9, Rgb{180, 188, 210});
    fillRoundRect(c, cx - 30 + 1, y0 + 66 + 2, 60, 12, 6, Rgb{24, 26, 36});
    fillRoundRect(c, cx - 30, y0 + 66, 60, 12, 6, Rgb{40, 44, 60});
    fillRoundRect(c, cx - 26, y0 + 69, 52, 6, 3, Rgb{140, 150, 176});
    fillRoundRect(c, cx - 24, y0 + 69, 48, 2, 1, Rgb{220, 228, 245});
    drawTextCentred(c, cx, y0 + 88, "tap to open", FONT_SANS_BOLD, 9, NEON_AMBER);
}

static bool paintPage(Canvas& out) {
    Page p;
    p.c = makeCanvas(PAGE_W, 3200, Rgb{0, 0, 0});
    Canvas& c = p.c;

    // Title.
    addGlow(c, PAGE_W / 2.0, 34, 90, Rgb{50, 30, 90}, 110);
    drawNeonTextCentred(c, PAGE_W / 2.0, 46, "PLINKOR", FONT_SANS_BOLD, 36, Rgb{230, 252, 255}, NEON_CYAN, 3, 255);
    drawTextCentred(c, PAGE_W / 2.0, 66, "the players' manual", FONT_SANS_BOLD, 11, NEON_AMBER);
    p.y = 72;

    heading(p, "The Goal");
    paragraph(p, "Bounce the ball off your paddle and break every block in the level to clear it. Some blocks "
                 "cannot be broken at all: you can leave those standing.");
    paragraph(p, "You start with 5 lives. When the last ball in play is lost, a life goes and a new ball is "
                 "served. With no lives left, the game is over.");
    paragraph(p, "While \"Get Ready!\" shows, a dotted line marks the ball's way.");

    heading(p, "Controls");
    paragraph(p, "Hold the mouse button and move: your paddle chases the pointer, left and right and up and "
                 "down inside its zone.");
    keyRow(p, "Arrows", "move the paddle");
    keyRow(p, "Space", "action (level editor)");
    keyRow(p, "Esc", "back to the main menu");
    keyRow(p, "Enter", "save a screenshot");
    keyRow(p, "Suspend", "no key at first: pick one");
    p.y += 4;
    paragraph(p, "To change keys: Options, then Configure Controls. Tap a control, press its new key, and tap "
                 "the round button in the corner when done.");
    paragraph(p, "Elsewhere, tap to choose; the round corner button goes back. Drag this page or use the up "
                 "and down keys.");

    heading(p, "The Zone and the Pile");
    paragraph(p, "Your paddle lives in the zone, the band at the bottom marked by a faint line. Broken blocks "
                 "crumble into grains that fall and settle into a pile. A ball that touches the pile is "
                 "destroyed! The pile lifts your paddle; if it buries the paddle, every ball bursts and you "
                 "lose 1000 points.");
    playIllustration(p);

    heading(p, "Scoring");
    paragraph(p, "The smaller the block, the more it is worth:");
    scoringRow(p, 28, "wider than 20 pixels", "2");
    scoringRow(p, 16, "11 to 20 pixels", "5");
    scoringRow(p, 8, "6 to 10 pixels", "20");
    scoringRow(p, 4, "5 pixels or less", "50");
    p.y += 3;
    paragraph(p, "Power-ups change your score too, and each ball still in play when a level is cleared pays "
                 "a bonus.");

    heading(p, "Power-ups");
    paragraph(p, "Some blocks hide a power-up. Break one and a capsule falls: catch it with your paddle. Red "
                 "ones are bad news. Active power-ups glow down the left edge of the field.");
    p.y += 2;
    for (int k = 0; k < POWER_UP_KINDS; k++) {
        powerUpRow(p, k);
    }

    heading(p, "Difficulties");
    paragraph(p, "Easy, Medium, Hard and Insane: the harder, the narrower your paddle, the shallower its zone "
                 "and the faster the balls. On Easy, losing a ball also cancels one of each bad power-up.");
    paragraph(p, "Each difficulty has its own high scores and unlocked levels. Tap the Difficulty line in "
                 "Options to change it (this ends a game in progress).");

    heading(p, "Levels and Hints");
    paragraph(p, "Play opens the level chooser: 100 levels. Levels you have reached light up; tap one to "
                 "start there. Continue, in the main menu, takes you back to a game you left with Esc.");
    paragraph(p, "With Helpful Hints on (Options), a hint comes up as a level starts. Tap it to send it away "
                 "and play sooner.");

    heading(p, "High Scores");
    paragraph(p, "Every difficulty keeps its 25 best scores. Make the table and you may enter a name of up to "
                 "10 letters: tap or type them; ERASE or Backspace takes one back, DONE or Enter saves.");

    heading(p, "Screenshots");
    paragraph(p, "Enter saves the screen as Plinkor0.BMP, Plinkor1.BMP and so on in the My Documents folder, "
                 "counting from 0 at every start: copy the ones you want to keep.");

    // The hatch section sits right above the lid.
    const int hatchHeading = LID_Y - 96;
    if (p.y > hatchHeading) {
        return pictureFault("strider.png", "the manual runs to row %d, past the hatch section at %d", p.y,
                            hatchHeading);
    }
    p.y = hatchHeading;
    heading(p, "Maintenance Hatch");
    paragraph(p, "Tap the hatch below to open it. Inside are the Level Editor and six switches for the "
                 "curious: tap a line to turn it on or off.");
    if (p.y > LID_Y - 4) {
        return pictureFault("strider.png", "the hatch text runs to row %d, into the lid at %d", p.y, LID_Y);
    }
    paintLid(c);
    p.y = LID_Y + LID_H + 4;

    heading(p, "Level Editor");
    paragraph(p, "Tap a block in the palette to pick it, then hold Space and tap or sweep over the field to "
                 "place it. Drag placed blocks to move them. With nothing picked, Space and a sweep erase "
                 "blocks. Left and right keys step through the blocks, up and down through the levels. Tap "
                 "a power-up in the palette, then a block, to hide it there. Levels are saved as you leave.");

    heading(p, "Desktop Options");
    paragraph(p, "Data/desktop.ini holds a few choices, one \"key = value\" line each; # starts a note. "
                 "The flag after each choice sets it for one start of the game.");
    optionRow(p, "follow_pointer = off", "--follow-pointer", "on: the paddle follows the mouse, no button held");
    optionRow(p, "pause_when_away = on", "--no-pause-when-away", "pause when the window is left or minimised");
    optionRow(p, "skip_intro = off", "--no-intro", "on: straight to the menu once loaded");
    optionRow(p, "scale = auto", "--scale N", "the window's size, 1 to 8 times; kept when you resize it");
    optionRow(p, "paddle_sound = on", "--no-paddle-sound", "a soft tap when the ball meets the paddle");
    optionRow(p, "fullscreen = off", "--fullscreen", "on: fill the whole screen");
    p.y += 5;

    heading(p, "Credits");
    paragraph(p, "Plinkor was made by the Plinkor team: a Quibzel Studio game built on Octolumen technology. "
                 "Every picture, font, sound, tune and level was made by our own tools.");
    paragraph(p, "Thank you for playing!");
    p.y += 16;

    if (p.tooWide > 0) {
        return pictureFault("strider.png", "%d lines run past the right margin", p.tooWide);
    }
    // Cut the page to its content and lay the dark ground and side rules under it.
    int height = std::max((int)MIN_PAGE_H, p.y);
    out = makeCanvas(PAGE_W, height, Rgb{0, 0, 0});
    for (int y = 0; y < height; y++) {
        Rgb ground = mixRgb(PAGE_TOP, PAGE_BOTTOM, (double)y / height);
        for (int x = 0; x < PAGE_W; x++) {
            Rgb ink = canvasGet(c, x, y);
            Rgb px{(uint8_t)std::min(255, ground.r + ink.r), (uint8_t)std::min(255, ground.g + ink.g),
                   (uint8_t)std::min(255, ground.b + ink.b)};
            canvasSet(out, x, y, px);
        }
        canvasSet(out, 0, y, Rgb{30, 90, 130});
        canvasSet(out, PAGE_W - 1, y, Rgb{30, 90, 130});
    }
    // The lid is opaque: its own pixels, not light added to the ground.
    for (int y = 0; y < LID_H; y++) {
        for (int x = 0; x < LID_W; x++) {
            canvasSet(out, LID_X + x, LID_Y + y, canvasGet(c, LID_X + x, LID_Y + y));
        }
    }
    return true;
}

bool generateManual(const std::string& dataDir) {
    Canvas page;
    if (!paintPage(page) || !writePngRgb(dataDir + "strider.png", page)) {
        return false;
    }
    const char* name = "strider.png";
    Surface* s = loadWrittenPicture(dataDir + name);
    if (s == nullptr) {
        return false;
    }
    bool ok = checkPictureSize(name, s, 200, 240, 2300, 4000) &&
              checkRegion(name, s, "lid", 14, 2173, 191, 106, true, 191 * 106);
    // The panel's lines are centred on the screen; the compartment must be centred there too, so the
    // page's left edge (120 - width / 2) plus the lid's x puts the lid's middle within a pixel of 120.
    int lidMiddle = 120 - s->width / 2 + 14 + 191 / 2;
    if (ok && (lidMiddle < 119 || lidMiddle > 121)) {
        ok = pictureFault(name, "the lid's middle lands at x %d on the screen, not under the panel's lines",
                          lidMiddle);
    }
    // The lid stands out exactly on its rectangle: its bevelled top and left edges are much brighter than
    // the page just outside them, and the page below it is darker than the plate.
    auto light = [&](int x, int y, int w, int h) {
        long sum = 0;
        for (int j = y; j < y + h; j++) {
            for (int i = x; i < x + w; i++) {
                int r, g, b;
                unpackColour(getPixel(s, i, j), &r, &g, &b);
                sum += r + g + b;
            }
        }
        return sum / (w * h);
    };
    if (ok && (light(14, 2173, 191, 1) < 2 * light(14, 2172, 191, 1) + 6 ||
               light(14, 2173, 1, 106) < 2 * light(13, 2173, 1, 106) + 6 ||
               light(14, 2279, 191, 1) * 2 > light(14, 2173, 191, 106))) {
        ok = pictureFault(name, "no lid stands out at (14, 2173, 191 x 106)");
    }
    removeSurface(&s);
    return ok;
}
