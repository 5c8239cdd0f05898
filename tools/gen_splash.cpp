// Generator of the splash pictures: our studio emblem and engine wordmark, the intro picture, and the
// monkey mascot with its open-mouth overlay.
#include <cmath>
#include <cstdio>

#include "neon.h"
#include "pictures.h"

// Studio and engine names are our own inventions.
static const char* const STUDIO_NAME = "QUIBZEL";
static const char* const STUDIO_LINE = "S T U D I O";
static const char* const ENGINE_NAME = "OCTOLUMEN";

// The monkey's mouth overlay sits at this place of the monkey picture.
enum { MONKEY_W = 240, MONKEY_H = 240, MOUTH_X = 104, MOUTH_Y = 128, MOUTH_W = 32, MOUTH_H = 24 };

static double distEllipse(double px, double py, double cx, double cy, double rx, double ry) {
    // Approximate distance: exact on the axes, good enough for soft edges.
    double k = hypot((px - cx) / rx, (py - cy) / ry);
    return (k - 1) * std::min(rx, ry);
}

void paintMonkey(Canvas& c, double cx, double cy, double s, bool mouthOpen) {
    const Rgb fur{132, 78, 44}, furDark{92, 52, 30}, face{240, 204, 160}, faceShade{214, 170, 128};
    const Rgb inkBrown{60, 30, 18}, ear{236, 160, 150};
    auto X = [&](double v) { return cx + v * s; };
    auto Y = [&](double v) { return cy + v * s; };
    auto box = [&](double x0, double y0, double x1, double y1) {
        return std::vector<int>{(int)floor(X(x0)), (int)floor(Y(y0)), (int)ceil(X(x1)), (int)ceil(Y(y1))};
    };
    auto ellipse = [&](double ex, double ey, double rx, double ry, Rgb colour) {
        auto b = box(ex - rx - 2, ey - ry - 2, ex + rx + 2, ey + ry + 2);
        paintShape(c, b[0], b[1], b[2], b[3],
                   [&](double x, double y) { return distEllipse(x, y, X(ex), Y(ey), rx * s, ry * s); }, colour);
    };
    // Rim light behind the figure.
    addGlow(c, X(0), Y(10), 150 * s, Rgb{40, 120, 160}, 70);
    // Body and a waving arm.
    ellipse(0, 118, 74, 46, fur);
    ellipse(0, 128, 40, 34, faceShade);
    drawLine(c, X(58), Y(104), X(86), Y(42), 20 * s, fur);
    ellipse(88, 34, 15, 15, face);
    for (int f = -1; f <= 1; f++) {
        drawLine(c, X(88 + f * 7), Y(26), X(90 + f * 9), Y(16), 6 * s, face);
    }
    // Ears, head and the tuft on top.
    for (int side = -1; side <= 1; side += 2) {
        ellipse(side * 62, -4, 23, 23, fur);
        ellipse(side * 62, -4, 13, 14, ear);
    }
    ellipse(0, -8, 58, 56, fur);
    for (int t = -1; t <= 1; t++) {
        fillPolygon(c, {X(t * 10 - 7), Y(-58), X(t * 13), Y(-76 + fabs(t) * 6), X(t * 10 + 7), Y(-58)}, furDark);
    }
    // Face: two brow lobes and the muzzle.
    ellipse(-20, -14, 25, 27, face);
    ellipse(20, -14, 25, 27, face);
    ellipse(0, 26, 44, 30, face);
    // Cheeks.
    for (int side = -1; side <= 1; side += 2) {
        auto b = box(side * 36 - 12, 12, side * 36 + 12, 36);
        paintShape(c, b[0], b[1], b[2], b[3],
                   [&](double x, double y) { return distEllipse(x, y, X(side * 36), Y(24), 10 * s, 7 * s); },
                   Rgb{255, 140, 150}, 110);
    }
    // Eyes looking at the player, with shining highlights.
    for (int side = -1; side <= 1; side += 2) {
        ellipse(side * 19, -14, 12, 14, Rgb{252, 252, 255});
        ellipse(side * 19 + 1.5, -11, 7, 8, Rgb{40, 24, 20});
        ellipse(side * 19 - 0.5, -14, 2.6, 2.6, Rgb{255, 255, 255});
        // Arched brows for a cheerful look.
        drawLine(c, X(side * 9), Y(-34), X(side * 19), Y(-38.5), 3.2 * s, furDark);
        drawLine(c, X(side * 19), Y(-38.5), X(side * 29), Y(-34), 3.2 * s, furDark);
    }
    // Nose above the mouth's patch.
    ellipse(-6, 8, 3.4, 2.4, inkBrown);
    ellipse(6, 8, 3.4, 2.4, inkBrown);
    // Mouth: a wide smile, or wide open mid-song.
    if (!mouthOpen) {
        auto b = box(-16, 16, 16, 40);
        paintShape(c, b[0], b[1], b[2], b[3], [&](double x, double y) {
            double arc = fabs(distCircle(x, y, X(0), Y(17), 13 * s)) - 1.6 * s;
            return std::max(arc, Y(22) - y);
        }, inkBrown);
    } else {
        auto b = box(-16, 18, 16, 42);
        auto mouth = [&](double x, double y) {
            return std::max(distEllipse(x, y, X(0), Y(24), 14 * s, 15 * s), Y(21) - y);
        };
        paintShape(c, b[0], b[1], b[2], b[3], mouth, Rgb{96, 18, 34});
        paintShape(c, b[0], b[1], b[2], b[3], [&](double x, double y) {
            return std::max(mouth(x, y), distEllipse(x, y, X(0), Y(37), 9 * s, 6 * s));
        }, Rgb{240, 100, 120});
        paintShape(c, b[0], b[1], b[2], b[3], [&](double x, double y) {
            return std::max(mouth(x, y), y - Y(25));
        }, Rgb{250, 250, 245});
    }
}

void paintPlayScene(Canvas& c, double cx, double cy, double s) {
    // A block at the top, breaking apart into grains that fall towards the paddle.
    ArtRandom rnd{31337};
    const double bx = cx - 20 * s, by = cy - 52 * s;
    glowRoundRect(c, bx - 26 * s, by, 40 * s, 16 * s, 3 * s, 10 * s, scaleRgb(NEON_CYAN, 0.6), 120);
    fillRoundRect(c, bx - 26 * s, by, 40 * s, 16 * s, 3 * s, scaleRgb(NEON_CYAN, 0.6));
    fillRoundRect(c, bx - 25 * s, by + 1 * s, 38 * s, 4 * s, 2 * s, Rgb{180, 245, 255});
    // The magenta block: whole on its left, its right half coming apart in chunks that drop away.
    const double mx = bx + 20 * s;
    glowRoundRect(c, mx, by, 22 * s, 16 * s, 3 * s, 10 * s, scaleRgb(NEON_MAGENTA, 0.6), 120);
    fillRoundRect(c, mx, by, 22 * s, 16 * s, 3 * s, scaleRgb(NEON_MAGENTA, 0.7));
    fillRoundRect(c, mx + 1 * s, by + 1 * s, 20 * s, 4 * s, 2 * s, Rgb{255, 170, 235});
    for (int col = 0; col < 5; col++) {
        for (int row = 0; row < 4; row++) {
            double k = col + 1 + row * 0.35;
            double dx = k * 0.8 * s + artRange(rnd, -1, 1) * s, dy = k * k * 1.3 * s + artRange(rnd, 0, 2) * s;
            double fade = std::max(0.25, 1.0 - k * 0.13);
            fillRect(c, (int)lround(mx + (22 + col * 4) * s + dx), (int)lround(by + row * 4 * s + dy),
                     (int)ceil(3.4 * s), (int)ceil(3.4 * s), scaleRgb(NEON_MAGENTA, 0.75 * fade));
        }
    }
    for (int g = 0; g < 60; g++) {
        double gx = mx + artRange(rnd, 22, 46) * s, gy = by + artRange(rnd, 24, 76) * s;
        int size = artUnit(rnd) < 0.3 ? 2 : 1;
        fillRect(c, (int)gx, (int)gy, size, size, scaleRgb(mixRgb(NEON_MAGENTA, NEON_WHITE, artUnit(rnd) * 0.4),
                                                           artRange(rnd, 0.5, 1.0)));
    }
    // The ball rising from the paddle with a fading trail.
    const double ballX = cx - 24 * s, ballY = cy - 4 * s;
    for (int t = 8; t >= 1; t--) {
        addGlow(c, ballX - t * 3.5 * s, ballY + t * 5 * s, 4 * s, NEON_CYAN, 160 - t * 18);
    }
    addGlow(c, ballX, ballY, 16 * s, NEON_CYAN, 200);
    fillDisc(c, ballX, ballY, 5 * s, Rgb{240, 252, 255});
    // The paddle with its glow, and a low pile of debris beside it.
    const double py = cy + 52 * s;
    glowRoundRect(c, cx - 34 * s, py, 68 * s, 9 * s, 4 * s, 12 * s, NEON_AMBER, 140);
    fillRoundRect(c, cx - 34 * s, py, 68 * s, 9 * s, 4 * s, NEON_AMBER);
    fillRoundRect(c, cx - 31 * s, py + 1.5 * s, 62 * s, 2.5 * s, 1.2 * s, Rgb{255, 236, 170});
    // The debris pile: a heap of grains on the floor to the paddle's right.
    const double floorY = py + 14 * s, heapX = cx + 40 * s, heapW = 52 * s;
    for (int g = 0; g < 260; g++) {
        double t = artUnit(rnd);
        double top = 13 * s * pow(std::max(0.0, 1 - fabs(t - 0.45) * 2.1), 0.8);
        double gx = heapX + t * heapW, gy = floorY - artUnit(rnd) * top;
        fillRect(c, (int)gx, (int)gy, 2, 2, scaleRgb(mixRgb(NEON_MAGENTA, NEON_CYAN, artUnit(rnd)),
                                                     artRange(rnd, 0.45, 0.85)));
    }
}

static bool writeStudioLogo(const std::string& dataDir) {
    const int w = 180, h = 110;
    Canvas c = makeCanvas(w, h, Rgb{0, 0, 0});
    // A hexagonal emblem holding the letters Q and Z.
    std::vector<double> hex;
    for (int i = 0; i < 6; i++) {
        double a = M_PI / 6 + i * M_PI / 3;
        hex.push_back(90 + cos(a) * 34);
        hex.push_back(40 + sin(a) * 34);
    }
    glowShape(c, 40, 0, 140, 85, [&](double x, double y) { return fabs(distPolygon(x, y, hex)); }, NEON_MAGENTA,
              9, 200);
    fillPolygon(c, hex, Rgb{26, 10, 34});
    paintShape(c, 40, 0, 140, 85, [&](double x, double y) { return fabs(distPolygon(x, y, hex)) - 1.3; },
               Rgb{255, 150, 230});
    drawNeonText(c, 62, 55, "Q", FONT_SERIF_BOLD, 36, Rgb{220, 250, 255}, NEON_CYAN, 2, 200);
    drawNeonText(c, 90, 61, "Z", FONT_SERIF_BOLD, 30, Rgb{255, 230, 170}, NEON_AMBER, 2, 200);
    drawNeonTextCentred(c, 90, 95, STUDIO_NAME, FONT_SANS_BOLD, 18, Rgb{240, 240, 255}, NEON_MAGENTA, 2, 160);
    drawTextCentred(c, 90, 107, STUDIO_LINE, FONT_SANS_BOLD, 9, Rgb{210, 190, 240});
    return writePngRgb(dataDir + "qzlogo.png", c);
}

static bool writeEngineMark(const std::string& dataDir) {
    const int w = 200, h = 40;
    Canvas c = makeCanvas(w, h, Rgb{0, 0, 0});
    // Two linked rings standing for the figure eight, then the engine's name.
    for (int ring = 0; ring < 2; ring++) {
        double ry = 11 + ring * 17;
        glowShape(c, 2, 0, 34, 40, [=](double x, double y) { return fabs(distCircle(x, y, 18, ry, 8)); },
                  NEON_CYAN, 5, 170);
        drawRing(c, 18, ry, 8, 2.4, ring == 0 ? Rgb{200, 250, 255} : Rgb{160, 230, 255});
    }
    drawNeonText(c, 38, 28, ENGINE_NAME, FONT_CONDENSED_BOLD, 22, Rgb{230, 250, 255}, NEON_CYAN, 2, 170);
    return writePngRgb(dataDir + "8quorn.png", c);
}

static bool writeIntro(const std::string& dataDir) {
    const int w = 240, h = 220;
    Canvas c = makeCanvas(w, h, Rgb{0, 0, 0});
    addGlow(c, 120, 120, 130, Rgb{40, 20, 70}, 140);
    paintPlayScene(c, 120, 128, 1.0);
    drawNeonTextCentred(c, 120, 50, "PLINKOR", FONT_SANS_BOLD, 42, Rgb{230, 252, 255}, NEON_CYAN, 4, 255);
    drawNeonTextCentred(c, 120, 212, "break it all down", FONT_SANS_BOLD, 12, Rgb{255, 220, 150}, NEON_AMBER, 2,
                        140);
    return writePngRgb(dataDir + "kvintro.png", c);
}

static bool writeMonkey(const std::string& dataDir) {
    Canvas closed = makeCanvas(MONKEY_W, MONKEY_H, Rgb{0, 0, 0});
    Canvas open = makeCanvas(MONKEY_W, MONKEY_H, Rgb{0, 0, 0});
    paintMonkey(closed, 120, 112, 1.0, false);
    paintMonkey(open, 120, 112, 1.0, true);
    Canvas mouth = makeCanvas(MOUTH_W, MOUTH_H, Rgb{0, 0, 0});
    for (int y = 0; y < MOUTH_H; y++) {
        for (int x = 0; x < MOUTH_W; x++) {
            canvasSet(mouth, x, y, canvasGet(open, MOUTH_X + x, MOUTH_Y + y));
        }
    }
    // The overlay replaces its whole rectangle, so the open mouth must fit inside it.
    for (int y = 0; y < MONKEY_H; y++) {
        for (int x = 0; x < MONKEY_W; x++) {
            bool inside = x >= MOUTH_X && x < MOUTH_X + MOUTH_W && y >= MOUTH_Y && y < MOUTH_Y + MOUTH_H;
            Rgb a = canvasGet(closed, x, y), b = canvasGet(open, x, y);
            if (!inside && (a.r != b.r || a.g != b.g || a.b != b.b)) {
                return pictureFault("monkeym.png", "the open mouth spills out of its overlay at (%d, %d)", x, y);
            }
        }
    }
    if (!writePngRgb(dataDir + "monkey.png", closed) || !writePngRgb(dataDir + "monkeym.png", mouth)) {
        return false;
    }
    Surface* s = loadWrittenPicture(dataDir + "monkey.png");
    Surface* m = loadWrittenPicture(dataDir + "monkeym.png");
    bool ok = s != nullptr && m != nullptr &&
              checkRegion("monkey.png", s, "mouth overlay place", 104, 128, m->width, m->height, true,
                          m->width * m->height) &&
              checkRegion("monkeym.png", m, "open mouth", 0, 0, m->width, m->height, true, m->width * m->height);
    if (s != nullptr) {
        removeSurface(&s);
    }
    if (m != nullptr) {
        removeSurface(&m);
    }
    return ok;
}

static bool checkSplash(const std::string& dataDir, const char* name, int maxW, int maxH) {
    Surface* s = loadWrittenPicture(dataDir + name);
    if (s == nullptr) {
        return false;
    }
    bool ok = checkPictureSize(name, s, 16, maxW, 16, maxH) &&
              checkRegion(name, s, "picture", 0, 0, s->width, s->height, true, s->width * s->height / 8);
    removeSurface(&s);
    return ok;
}

bool generateSplashes(const std::string& dataDir) {
    // The intro and the monkey keep clear of the "...Loading..." line at y 280 of the screen.
    return writeStudioLogo(dataDir) && checkSplash(dataDir, "qzlogo.png", 240, 140) && writeEngineMark(dataDir) &&
           checkSplash(dataDir, "8quorn.png", 240, 60) && writeIntro(dataDir) &&
           checkSplash(dataDir, "kvintro.png", 240, 230) && writeMonkey(dataDir) &&
           checkSplash(dataDir, "monkey.png", 240, 240);
}
