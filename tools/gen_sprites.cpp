// Generator of the sprite sheets: explosion frames, balls and the hint tab; the corner button with its
// mask and frame; the 22 power-up icons with their masks and glows.
#include <cmath>
#include <cstdio>

#include "neon.h"
#include "pictures.h"

const char* const POWER_UP_NAMES[POWER_UP_KINDS] = {
    "Homing",        "Slow Motion",  "Ball Shower", "Fountain",       "Ball Split",   "Wide Paddle",
    "Narrow Paddle", "Fast Balls",   "Demolition",  "Bomb",           "Sluggish Paddle", "Laser",
    "Through Ball",  "Quick Paddle", "Ball Killer", "Extra Life",     "Frozen Paddle", "Zone Up",
    "Zone Down",     "Reveal",       "Drain",       "Lower Pile",
};

const char* const POWER_UP_EFFECTS[POWER_UP_KINDS] = {
    "Balls home in on the blocks.",
    "Everything runs at half speed.",
    "A shower of new balls.",
    "Sparks that launch new balls.",
    "Balls keep splitting in two.",
    "Your paddle grows wider.",
    "Your paddle shrinks.",
    "Faster balls with bright trails.",
    "Blocks blow up one by one.",
    "A big blast takes out a block.",
    "Your paddle turns sluggish.",
    "Your paddle fires twin lasers.",
    "Balls smash through blocks.",
    "Your paddle moves much faster.",
    "Every ball in play bursts. Ouch!",
    "One more life.",
    "Your paddle freezes in place.",
    "The paddle zone grows taller.",
    "The paddle zone shrinks.",
    "Shows where power-ups hide.",
    "Clears the pile near the paddle.",
    "Lowers the whole debris pile.",
};

bool powerUpHarmful(int kind) {
    return kind == 6 || kind == 10 || kind == 14 || kind == 16 || kind == 18;
}

Rgb powerUpHue(int kind) {
    static const Rgb hues[POWER_UP_KINDS] = {
        {70, 140, 255},  {90, 220, 255},  {90, 255, 140},  {120, 230, 255}, {255, 90, 220}, {255, 190, 60},
        {255, 56, 48},   {255, 240, 110}, {255, 140, 50},  {255, 170, 90},  {255, 80, 40},  {150, 255, 70},
        {255, 120, 70},  {255, 225, 60},  {255, 40, 60},   {255, 100, 190}, {255, 70, 90},  {80, 255, 150},
        {255, 50, 50},   {190, 130, 255}, {60, 220, 200},  {255, 180, 90},
    };
    return hues[kind];
}

// Paints an icon's shapes into its colour picture and records their coverage in the mask.
struct IconPen {
    Canvas colour = makeCanvas(POWER_UP_ICON, POWER_UP_ICON, Rgb{0, 0, 0});
    Canvas cover = makeCanvas(POWER_UP_ICON, POWER_UP_ICON, Rgb{0, 0, 0});

    template <class Distance>
    void shape(Distance dist, Rgb c) {
        paintShape(colour, 0, 0, POWER_UP_ICON, POWER_UP_ICON, dist, c);
        paintShape(cover, 0, 0, POWER_UP_ICON, POWER_UP_ICON, dist, Rgb{255, 255, 255});
    }
    // A cut-out in the colour only (dark detail inside a shape).
    template <class Distance>
    void detail(Distance dist, Rgb c) {
        paintShape(colour, 0, 0, POWER_UP_ICON, POWER_UP_ICON, dist, c);
    }
    void disc(double x, double y, double r, Rgb c) {
        shape([=](double px, double py) { return distCircle(px, py, x, y, r); }, c);
    }
    void line(double ax, double ay, double bx, double by, double w, Rgb c) {
        shape([=](double px, double py) { return distSegment(px, py, ax, ay, bx, by) - w / 2; }, c);
    }
    void ring(double x, double y, double r, double w, Rgb c) {
        shape([=](double px, double py) { return fabs(distCircle(px, py, x, y, r)) - w / 2; }, c);
    }
    void box(double x0, double y0, double x1, double y1, double round, Rgb c) {
        shape([=](double px, double py) {
            return distRoundBox(px, py, (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2, round);
        }, c);
    }
    void poly(const std::vector<double>& p, Rgb c) {
        shape([&p](double px, double py) { return distPolygon(px, py, p); }, c);
    }
};

static void paintIconShapes(int kind, IconPen& pen) {
    const Rgb hue = powerUpHue(kind);
    // Harmful kinds keep their red strong; the others get light pastel highlights.
    const Rgb light = mixRgb(hue, NEON_WHITE, powerUpHarmful(kind) ? 0.2 : 0.55), dark = scaleRgb(hue, 0.25), white = NEON_WHITE;
    switch (kind) {
    case 0:  // homing: a target sight
        pen.ring(8, 8, 4.8, 1.6, hue);
        pen.line(8, 0.8, 8, 4.5, 1.6, light);
        pen.line(8, 11.5, 8, 15.2, 1.6, light);
        pen.line(0.8, 8, 4.5, 8, 1.6, light);
        pen.line(11.5, 8, 15.2, 8, 1.6, light);
        pen.disc(8, 8, 1.7, white);
        break;
    case 1:  // slow motion: an hourglass
        pen.box(3, 1, 13, 3, 0.8, light);
        pen.box(3, 13, 13, 15, 0.8, light);
        pen.poly({4.2, 3, 11.8, 3, 8.8, 8, 11.8, 13, 4.2, 13, 7.2, 8}, hue);
        pen.detail([](double x, double y) { return distPolygon(x, y, {5.8, 4, 10.2, 4, 8, 7}); }, dark);
        pen.detail([](double x, double y) { return distPolygon(x, y, {8, 9.5, 10.6, 12.2, 5.4, 12.2}); }, white);
        break;
    case 2:  // ball shower: balls raining down
        static const double balls[5][2] = {{4, 6}, {9, 3.5}, {13, 8}, {6.5, 12}, {11.5, 13.5}};
        for (const auto& b : balls) {
            pen.line(b[0] - 1.2, b[1] - 4.5, b[0], b[1], 1.0, dark);
            pen.disc(b[0], b[1], 1.9, light);
        }
        break;
    case 3:  // fountain: jets rising from a basin
        for (int side = -1; side <= 1; side++) {
            double px = 8, py = 12;
            for (int i = 1; i <= 10; i++) {
                double t = i / 10.0;
                double x = 8 + side * 6 * t, y = 12 - (side == 0 ? 11 : 9) * (2 * t - t * t * (side == 0 ? 0.6 : 1.1));
                pen.line(px, py, x, y, side == 0 ? 1.8 : 1.3, side == 0 ? white : hue);
                px = x;
                py = y;
            }
        }
        pen.box(2.5, 12, 13.5, 15.2, 1.5, light);
        break;
    case 4:  // ball split: one ball becoming two
        pen.line(8, 11, 4, 5, 1.2, hue);
        pen.line(8, 11, 12, 5, 1.2, hue);
        pen.disc(8, 12.3, 2.6, light);
        pen.disc(3.6, 4.2, 2.6, white);
        pen.disc(12.4, 4.2, 2.6, white);
        break;
    case 5:  // wide paddle: a bar with arrows pointing out
        pen.box(4, 6.5, 12, 9.5, 1.2, light);
        pen.poly({0.3, 8, 4, 4.3, 4, 11.7}, hue);
        pen.poly({15.7, 8, 12, 4.3, 12, 11.7}, hue);
        break;
    case 6:  // narrow paddle: a short bar with arrows pointing in
        pen.box(6, 6.5, 10, 9.5, 1.0, light);
        pen.poly({5.2, 8, 1, 4.3, 1, 11.7}, hue);
        pen.poly({10.8, 8, 15, 4.3, 15, 11.7}, hue);
        break;
    case 7:  // fast balls: a ball with speed lines
        pen.line(1, 5, 7, 5, 1.3, hue);
        pen.line(0.5, 8, 7, 8, 1.3, hue);
        pen.line(1, 11, 7, 11, 1.3, hue);
        pen.disc(11.2, 8, 3.8, light);
        pen.detail([](double x, double y) { return distCircle(x, y, 10, 6.8, 1.2); }, white);
        break;
    case 8:  // demolition: a wrecking ball on its chain
        pen.line(2, 0.8, 8.2, 7.6, 1.3, hue);
        pen.disc(10, 10, 5, light);
        pen.detail([](double x, double y) { return distCircle(x, y, 8.6, 8.4, 1.5); }, white);
        pen.detail([](double x, double y) { return fabs(distCircle(x, y, 10, 10, 5)) - 0.6; }, hue);
        break;
    case 9:  // bomb: a round bomb with a burning fuse
        pen.disc(7, 10, 5.2, Rgb{170, 180, 215});
        pen.box(5, 3.5, 9, 6, 0.6, Rgb{130, 140, 175});
        pen.line(8, 4, 11.5, 2.2, 1.2, hue);
        pen.detail([](double x, double y) { return distCircle(x, y, 5.2, 8.2, 1.4); }, white);
        pen.disc(13, 2, 1.9, Rgb{255, 235, 120});
        pen.line(13, 0, 13, 4, 0.7, white);
        pen.line(11, 2, 15, 2, 0.7, white);
        break;
    case 10:  // sluggish paddle: a snail
        pen.box(1, 12, 15, 14.6, 1.3, hue);
        pen.line(2, 12.5, 0.8, 8.5, 1.0, hue);
        pen.line(3.6, 12.5, 3.6, 8.5, 1.0, hue);
        pen.disc(9.5, 8.2, 5, light);
        pen.detail([](double x, double y) { return fabs(distCircle(x, y, 9.5, 8.2, 2.9)) - 0.6; }, dark);
        pen.detail([](double x, double y) { return distCircle(x, y, 9.7, 8.4, 0.9); }, dark);
        break;
    case 11:  // laser: a paddle firing two beams
        pen.line(4.5, 0.5, 4.5, 11, 1.6, white);
        pen.line(11.5, 0.5, 11.5, 11, 1.6, white);
        pen.box(1.5, 11, 14.5, 15, 1.5, hue);
        pen.detail([](double x, double y) { return distSegment(x, y, 4.5, 0.5, 4.5, 11) - 1.6; }, hue);
        pen.detail([](double x, double y) { return distSegment(x, y, 11.5, 0.5, 11.5, 11) - 1.6; }, hue);
        pen.detail([](double x, double y) { return distSegment(x, y, 4.5, 0.5, 4.5, 11) - 0.5; }, white);
        pen.detail([](double x, double y) { return distSegment(x, y, 11.5, 0.5, 11.5, 11) - 0.5; }, white);
        break;
    case 12:  // through ball: a ball passing through a wall
        pen.box(5.5, 1, 9.5, 15, 0.5, Rgb{120, 110, 140});
        pen.detail([](double x, double y) { return distSegment(x, y, 5.5, 5.5, 9.5, 5.5) - 0.4; }, Rgb{40, 36, 50});
        pen.detail([](double x, double y) { return distSegment(x, y, 5.5, 10.5, 9.5, 10.5) - 0.4; }, Rgb{40, 36, 50});
        pen.line(0.5, 8, 10, 8, 1.6, hue);
        pen.disc(12.3, 8, 3.2, light);
        pen.detail([](double x, double y) { return distCircle(x, y, 11.4, 7, 1.0); }, white);
        break;
    case 13:  // quick paddle: a lightning bolt
        pen.poly({10, 0.5, 3.5, 9, 7.5, 9, 5.5, 15.5, 12.5, 6.5, 8.5, 6.5, 11.5, 0.5}, light);
        pen.detail([](double x, double y) { return distPolygon(x, y, {9.6, 1.5, 5.2, 8, 8, 8, 9.2, 2.5}); }, white);
        break;
    case 14:  // ball killer: a skull
        pen.disc(8, 6.8, 5.6, light);
        pen.box(4.8, 9, 11.2, 15, 1.2, light);
        pen.detail([](double x, double y) { return distCircle(x, y, 5.8, 7, 1.7); }, Rgb{50, 0, 8});
        pen.detail([](double x, double y) { return distCircle(x, y, 10.2, 7, 1.7); }, Rgb{50, 0, 8});
        pen.detail([](double x, double y) { return distPolygon(x, y, {8, 9.2, 7, 11, 9, 11}); }, Rgb{50, 0, 8});
        for (double tx : {6.5, 8.0, 9.5}) {
            pen.detail([tx](double x, double y) { return distSegment(x, y, tx, 12.4, tx, 15) - 0.35; }, Rgb{50, 0, 8});
        }
        break;
    case 15:  // extra life: a heart
        pen.disc(5.2, 5.8, 3.6, hue);
        pen.disc(10.8, 5.8, 3.6, hue);
        pen.poly({1.8, 7, 14.2, 7, 8, 14.8}, hue);
        pen.detail([](double x, double y) { return distCircle(x, y, 4.6, 4.8, 1.3); }, white);
        break;
    case 16:  // frozen paddle: an ice crystal
        for (int a = 0; a < 3; a++) {
            double t = a * M_PI / 3 + M_PI / 2, dx = cos(t) * 7, dy = sin(t) * 7;
            pen.line(8 - dx, 8 - dy, 8 + dx, 8 + dy, 1.5, light);
            for (int end = -1; end <= 1; end += 2) {
                double ex = 8 + end * dx * 0.62, ey = 8 + end * dy * 0.62;
                double nx = -sin(t) * 2.2, ny = cos(t) * 2.2;
                double ox = end * dx * 0.3, oy = end * dy * 0.3;
                pen.line(ex, ey, ex + ox + nx, ey + oy + ny, 1.1, hue);
                pen.line(ex, ey, ex + ox - nx, ey + oy - ny, 1.1, hue);
            }
        }
        pen.disc(8, 8, 1.5, white);
        break;
    case 17:  // zone up: an arrow up
        pen.poly({8, 0.5, 15.2, 8, 10.6, 8, 10.6, 15.3, 5.4, 15.3, 5.4, 8, 0.8, 8}, hue);
        pen.detail([](double x, double y) { return distPolygon(x, y, {8, 2.6, 12, 6.8, 4, 6.8}); }, light);
        break;
    case 18:  // zone down: an arrow down
        pen.poly({8, 15.5, 15.2, 8, 10.6, 8, 10.6, 0.7, 5.4, 0.7, 5.4, 8, 0.8, 8}, hue);
        pen.detail([](double x, double y) { return distPolygon(x, y, {8, 13.4, 12, 9.2, 4, 9.2}); }, light);
        break;
    case 19:  // reveal: an eye
        pen.shape([](double x, double y) {
            return std::max(distCircle(x, y, 8, 14.5, 10), distCircle(x, y, 8, 1.5, 10));
        }, light);
        pen.detail([](double x, double y) { return distCircle(x, y, 8, 8, 3); }, hue);
        pen.detail([](double x, double y) { return distCircle(x, y, 8, 8, 1.4); }, Rgb{20, 0, 40});
        pen.detail([](double x, double y) { return distCircle(x, y, 9, 7, 0.7); }, white);
        break;
    case 20: {  // drain: a whirlpool going down the plughole
        double px = 8 + 6.6, py = 8;
        for (int i = 1; i <= 40; i++) {
            double t = i / 40.0, angle = t * 2.4 * M_PI, r = 6.6 * (1 - t * 0.85);
            double x = 8 + cos(angle) * r, y = 8 + sin(angle) * r;
            pen.line(px, py, x, y, 1.5 - t * 0.4, i < 20 ? hue : light);
            px = x;
            py = y;
        }
        pen.disc(8, 8, 1.5, white);
        break;
    }
    case 21:  // lower pile: a heap with an arrow pressing it down
        pen.poly({0.5, 15.5, 5, 10.5, 8, 9.5, 11, 10.5, 15.5, 15.5}, hue);
        static const double grains[4][2] = {{4.5, 13.5}, {8, 11.5}, {11, 14}, {7, 14.5}};
        for (const auto& g : grains) {
            double gx = g[0], gy = g[1];
            pen.detail([gx, gy](double x, double y) { return distCircle(x, y, gx, gy, 0.8); }, dark);
        }
        pen.poly({8, 8.2, 12, 4.2, 9.6, 4.2, 9.6, 0.5, 6.4, 0.5, 6.4, 4.2, 4, 4.2}, light);
        break;
    }
}

void paintPowerUpIcon(int kind, Canvas& colour, Canvas& mask) {
    IconPen pen;
    paintIconShapes(kind, pen);
    // A one-pixel dark rim round the shapes keeps the icon readable on any ground.
    colour = pen.colour;
    mask = makeCanvas(POWER_UP_ICON, POWER_UP_ICON, Rgb{0, 0, 0});
    const Rgb rim = scaleRgb(powerUpHue(kind), 0.12);
    for (int y = 0; y < POWER_UP_ICON; y++) {
        for (int x = 0; x < POWER_UP_ICON; x++) {
            int own = canvasGet(pen.cover, x, y).r, near = 0;
            for (int dy = -1; dy <= 1; dy++) {
                for (int dx = -1; dx <= 1; dx++) {
                    near = std::max(near, (int)canvasGet(pen.cover, x + dx, y + dy).r);
                }
            }
            int weight = std::max(own, near * 2 / 3);
            if (weight > 0) {
                uint8_t v = (uint8_t)weight;
                canvasSet(mask, x, y, Rgb{v, v, v});
            }
            if (own < 255 && near > 0) {
                Rgb c = canvasGet(colour, x, y);
                canvasSet(colour, x, y, mixRgb(rim, c, own / 255.0));
            }
        }
    }
}

Canvas paintPowerUpGlow(int kind) {
    Canvas g = makeCanvas(POWER_UP_GLOW, POWER_UP_GLOW, Rgb{0, 0, 0});
    const Rgb hue = powerUpHue(kind);
    for (int y = 0; y < POWER_UP_GLOW; y++) {
        for (int x = 0; x < POWER_UP_GLOW; x++) {
            double d = hypot(x + 0.5 - 12, y + 0.5 - 12) / 12.0;
            if (d < 1.0) {
                // Brightest in a ring just outside the icon, so the pulse shows round it.
                double f = (1 - d) * (0.55 + 0.9 * exp(-pow((d - 0.68) / 0.18, 2)));
                canvasSet(g, x, y, scaleRgb(hue, std::min(f, 1.0)));
            }
        }
    }
    return g;
}

void stampPowerUp(Canvas& c, int cx, int cy, int kind) {
    Canvas glow = paintPowerUpGlow(kind);
    addCanvas(c, glow, cx - 12, cy - 12, 255);
    Canvas icon, mask;
    paintPowerUpIcon(kind, icon, mask);
    for (int y = 0; y < POWER_UP_ICON; y++) {
        for (int x = 0; x < POWER_UP_ICON; x++) {
            canvasBlend(c, cx - 8 + x, cy - 8 + y, canvasGet(icon, x, y), canvasGet(mask, x, y).r);
        }
    }
}

// ---- sprites.png ----

static void paintExplosionFrame(Canvas& c, int frame) {
    const double cx = 32 * frame + 16, cy = 16;
    ArtRandom rnd{(uint32_t)(977 + frame * 131)};
    // Frames 0-3 grow a fireball; 4-6 let it break into a fading ring of embers.
    static const double radius[7] = {4, 7, 9.5, 11.5, 12.5, 13, 13.5};
    static const double heat[7] = {1.0, 1.0, 0.95, 0.9, 0.7, 0.48, 0.28};
    double r = radius[frame], h = heat[frame];
    for (int y = 0; y < 32; y++) {
        for (int x = 0; x < 32; x++) {
            double d = hypot(x + 0.5 - 16, y + 0.5 - 16) / r;
            double body;
            if (frame < 4) {
                body = d < 1 ? 1 - d * d * 0.6 : std::max(0.0, 1 - (d - 1) * 2.5) * 0.4;
            } else {
                double ring = exp(-pow((d - 0.8) / 0.22, 2));
                body = std::max(ring, d < 0.8 ? 0.25 * (1 - d) : 0.0);
            }
            body *= h;
            // Everything fades out before the cell's edge.
            body *= std::clamp((15.0 - hypot(x + 0.5 - 16, y + 0.5 - 16)) / 2.0, 0.0, 1.0);
            if (body <= 0.02) {
                continue;
            }
            // White-hot core, amber body, magenta rim.
            Rgb colour = body > 0.7 ? mixRgb(NEON_AMBER, Rgb{255, 250, 220}, (body - 0.7) / 0.3)
                                    : mixRgb(NEON_MAGENTA, NEON_AMBER, body / 0.7);
            canvasSet(c, (int)cx - 16 + x, (int)cy - 16 + y, scaleRgb(colour, std::min(1.0, body * 1.3)));
        }
    }
    // Sparks thrown out ahead of the fire.
    int sparks = 6 + frame * 3;
    for (int i = 0; i < sparks; i++) {
        double angle = artRange(rnd, 0, 2 * M_PI), dist = r * artRange(rnd, 0.9, 1.25);
        int sx = (int)lround(cx + cos(angle) * dist), sy = (int)lround(cy + sin(angle) * dist);
        if (sx >= 32 * frame + 1 && sx < 32 * frame + 31 && sy >= 1 && sy < 31) {
            canvasSet(c, sx, sy, scaleRgb(Rgb{255, 230, 150}, std::max(h, 0.45)));
        }
    }
}

static void paintBall(Canvas& c, int x0, int y0, Rgb hue) {
    for (int y = 0; y < 7; y++) {
        for (int x = 0; x < 7; x++) {
            double d = hypot(x + 0.5 - 3.5, y + 0.5 - 3.5);
            double cover = std::clamp(3.55 - d, 0.0, 1.0);
            if (cover <= 0) {
                continue;
            }
            Rgb colour;
            if (x == 0 || x == 6) {
                // Shared with the neighbouring ball: one neutral rim colour for every ball.
                colour = Rgb{150, 150, 165};
            } else {
                double light = std::clamp(1.0 - hypot(x + 0.5 - 2.6, y + 0.5 - 2.4) / 4.2, 0.0, 1.0);
                colour = mixRgb(scaleRgb(hue, 0.7), NEON_WHITE, light * light * 1.2);
            }
            canvasSet(c, x0 + x, y0 + y, scaleRgb(colour, cover));
        }
    }
}

static void paintHintTab(Canvas& c) {
    const Rgb fill{34, 24, 8}, edge = NEON_AMBER;
    // Left cap (25, 33, 8 x 12), drawn transparently: a slanted end.
    for (int j = 0; j < 12; j++) {
        int start = std::max(0, 7 - j);
        for (int i = start; i < 8; i++) {
            canvasSet(c, 25 + i, 33 + j, (i == start || j == 0) ? edge : fill);
        }
    }
    // Body (33, 33, 80 x 12), copied: the word HINT; the bottom row opens into the hint box below.
    fillRect(c, 33, 33, 80, 12, fill);
    fillRect(c, 33, 33, 80, 1, edge);
    fillRect(c, 112, 33, 1, 12, edge);
    drawNeonText(c, 40, 43, "HINT", FONT_SANS_BOLD, 11, Rgb{255, 235, 180}, edge, 1, 120);
    fillRect(c, 33, 44, 79, 1, fill);
}

static bool writeSpriteSheet(const std::string& dataDir) {
    Canvas c = makeCanvas(224, 48, Rgb{0, 0, 0});
    for (int f = 0; f < 7; f++) {
        paintExplosionFrame(c, f);
    }
    paintBall(c, 0, 32, Rgb{200, 225, 255});
    paintBall(c, 6, 32, Rgb{40, 90, 255});
    paintBall(c, 12, 32, Rgb{255, 60, 60});
    paintBall(c, 18, 32, Rgb{255, 60, 255});
    paintHintTab(c);
    const std::string path = dataDir + "sprites.png";
    if (!writePngRgb(path, c)) {
        return false;
    }
    const char* name = "sprites.png";
    Surface* s = loadWrittenPicture(path);
    if (s == nullptr) {
        return false;
    }
    bool ok = true;
    for (int f = 0; f < 7 && ok; f++) {
        char region[32];
        snprintf(region, sizeof(region), "explosion frame %d", f);
        ok = checkRegion(name, s, region, 32 * f, 0, 32, 32, true, 20) &&
             (countInk(s, 32 * f, 0, 32, 1) + countInk(s, 32 * f, 31, 32, 1) == 0 ||
              pictureFault(name, "explosion frame %d reaches its cell's edge", f));
    }
    const char* balls[] = {"normal ball", "homing ball", "through ball", "homing through ball"};
    for (int b = 0; b < 4 && ok; b++) {
        ok = checkRegion(name, s, balls[b], 6 * b, 32, 7, 7, true, 25);
    }
    // The ball's corners stay clear so that it draws round.
    if (ok && getPixel(s, 0, 32) + getPixel(s, 6, 38) != 0) {
        ok = pictureFault(name, "the ball's corners are not transparent");
    }
    ok = ok && checkRegion(name, s, "hint tab cap", 25, 33, 8, 12, true, 40) &&
         checkRegion(name, s, "hint tab", 33, 33, 80, 12, true, 80 * 12);
    removeSurface(&s);
    return ok;
}

// ---- icons.png: the corner button (also the bomb's blast) ----

static bool writeIconSheet(const std::string& dataDir) {
    Canvas c = makeCanvas(168, 60, Rgb{0, 0, 0});
    // Face (1, 0, 51 x 47): a fireball, deep orange at the heart and magenta at the rim, with a white-hot
    // return arrow in it. The same face is the bomb's blast, where the arrow reads as a swirl of flame.
    const double fx = 1 + 25.5, fy = 23.5;
    for (int y = 0; y < 47; y++) {
        for (int x = 0; x < 51; x++) {
            double d = hypot(1 + x + 0.5 - fx, y + 0.5 - fy) / 23.0;
            Rgb colour = d < 0.5 ? mixRgb(Rgb{255, 120, 30}, NEON_AMBER, d / 0.5)
                                 : mixRgb(NEON_AMBER, NEON_MAGENTA, std::min((d - 0.5) / 0.5, 1.0));
            canvasSet(c, 1 + x, y, scaleRgb(colour, std::clamp(1.1 - d * 0.45, 0.4, 1.0)));
        }
    }
    auto arrowShape = [=](double x, double y) {
        double top = distSegment(x, y, fx - 7, fy - 5, fx + 3, fy - 5);
        double bottom = distSegment(x, y, fx - 3, fy + 9, fx + 3, fy + 9);
        double bend = x >= fx + 3 ? fabs(distCircle(x, y, fx + 3, fy + 2, 7)) : 1e9;
        double head = distPolygon(x, y, {fx - 15, fy - 5, fx - 6, fy - 12.5, fx - 6, fy + 2.5});
        return std::min(std::min(std::min(top, bottom) - 2.2, bend - 2.2), head);
    };
    glowShape(c, 1, 0, 52, 47, arrowShape, Rgb{255, 230, 160}, 5, 170);
    paintShape(c, 1, 0, 52, 47, arrowShape, Rgb{255, 252, 240});
    // Mask (52, 1, 51 x 47): a soft round weight, ragged at its rim so that the blast looks torn.
    ArtRandom rnd{4242};
    double rim[64];
    for (double& r : rim) {
        r = artRange(rnd, 21.5, 24.5);
    }
    for (int y = 0; y < 47; y++) {
        for (int x = 0; x < 51; x++) {
            double dx = x + 0.5 - 25.5, dy = y + 0.5 - 23.5;
            double angle = atan2(dy, dx) + M_PI;
            double edge = rim[(int)(angle / (2 * M_PI) * 64) % 64];
            double w = std::clamp((edge - hypot(dx, dy)) / 5.0, 0.0, 1.0);
            uint8_t v = (uint8_t)lround(255 * w);
            if (v >= 8) {
                canvasSet(c, 52 + x, 1 + y, Rgb{v, v, v});
            }
        }
    }
    // Frame (103, 1, 60 x 56), drawn additively: a cyan ring of light round the face.
    const double rx = 103 + 28, ry = 1 + 27;
    glowShape(c, 103, 1, 163, 57, [=](double x, double y) { return fabs(distCircle(x, y, rx, ry, 25)); },
              NEON_CYAN, 5.5, 255);
    drawRing(c, rx, ry, 25, 1.4, Rgb{200, 250, 255});
    const std::string path = dataDir + "icons.png";
    if (!writePngRgb(path, c)) {
        return false;
    }
    const char* name = "icons.png";
    Surface* s = loadWrittenPicture(path);
    if (s == nullptr) {
        return false;
    }
    bool ok = checkRegion(name, s, "button face", 1, 0, 51, 47, true, 51 * 47) &&
              checkRegion(name, s, "button mask", 52, 1, 51, 47, true, 900) &&
              checkRegion(name, s, "button frame", 103, 1, 60, 56, true, 400);
    // The mask is transparent at its corners, so the button and the blast are round.
    if (ok && getPixel(s, 52, 1) + getPixel(s, 102, 47) != 0) {
        ok = pictureFault(name, "the mask's corners are not clear");
    }
    removeSurface(&s);
    return ok;
}

// ---- power-ups.png ----

static bool writePowerUpSheet(const std::string& dataDir) {
    Canvas c = makeCanvas(528, 72, Rgb{0, 0, 0});
    for (int k = 0; k < POWER_UP_KINDS; k++) {
        Canvas icon, mask;
        paintPowerUpIcon(k, icon, mask);
        copyCanvas(c, icon, 24 * k + 4, 4);
        copyCanvas(c, mask, 24 * k + 4, 28);
        copyCanvas(c, paintPowerUpGlow(k), 24 * k, 48);
    }
    const std::string path = dataDir + "power-ups.png";
    if (!writePngRgb(path, c)) {
        return false;
    }
    const char* name = "power-ups.png";
    Surface* s = loadWrittenPicture(path);
    if (s == nullptr) {
        return false;
    }
    bool ok = checkPictureSize(name, s, 528, 528, 72, 72);
    for (int k = 0; k < POWER_UP_KINDS && ok; k++) {
        char region[48];
        snprintf(region, sizeof(region), "icon %d", k);
        ok = checkRegion(name, s, region, 24 * k + 4, 4, 16, 16, true, 40);
        snprintf(region, sizeof(region), "mask %d", k);
        ok = ok && checkRegion(name, s, region, 24 * k + 4, 28, 16, 16, true, 40);
        snprintf(region, sizeof(region), "glow %d", k);
        ok = ok && checkRegion(name, s, region, 24 * k, 48, 24, 24, true, 200);
        // Harmful kinds read red: red outweighs green and blue over the icon's shape.
        long red = 0, other = 0;
        for (int y = 0; y < 16; y++) {
            for (int x = 0; x < 16; x++) {
                if ((getPixel(s, 24 * k + 4 + x, 28 + y) & 31) > 20) {
                    uint16_t p = getPixel(s, 24 * k + 4 + x, 4 + y);
                    red += p >> 11;
                    other += std::max((p >> 6) & 31, p & 31);
                }
            }
        }
        if (ok && powerUpHarmful(k) != (red > other * 3 / 2)) {
            ok = pictureFault(name, "kind %d is %s but its icon %s red", k, powerUpHarmful(k) ? "harmful" : "helpful",
                              red > other * 3 / 2 ? "is" : "is not");
        }
    }
    // Every kind looks different: any two masks differ in a good number of pixels.
    for (int a = 0; a < POWER_UP_KINDS && ok; a++) {
        for (int b = a + 1; b < POWER_UP_KINDS && ok; b++) {
            int differ = 0;
            for (int y = 0; y < 16; y++) {
                for (int x = 0; x < 16; x++) {
                    bool inA = (getPixel(s, 24 * a + 4 + x, 28 + y) & 31) > 15;
                    bool inB = (getPixel(s, 24 * b + 4 + x, 28 + y) & 31) > 15;
                    differ += inA != inB;
                }
            }
            if (differ < 12) {
                ok = pictureFault(name, "the icons of kinds %d and %d are too alike", a, b);
            }
        }
    }
    removeSurface(&s);
    return ok;
}

bool generateSprites(const std::string& dataDir) {
    return writeSpriteSheet(dataDir) && writeIconSheet(dataDir) && writePowerUpSheet(dataDir);
}
