// Neon painting helpers: shapes by distance, glows, light layers, text with halos, seeded random numbers.
#include "neon.h"

const char* const FONT_SANS = "DejaVuSans.ttf";
const char* const FONT_SANS_BOLD = "DejaVuSans-Bold.ttf";
const char* const FONT_CONDENSED = "DejaVuSansCondensed.ttf";
const char* const FONT_CONDENSED_BOLD = "DejaVuSansCondensed-Bold.ttf";
const char* const FONT_MONO_BOLD = "DejaVuSansMono-Bold.ttf";
const char* const FONT_SERIF_BOLD = "DejaVuSerif-Bold.ttf";

const Rgb NEON_CYAN{40, 225, 255};
const Rgb NEON_MAGENTA{255, 60, 200};
const Rgb NEON_AMBER{255, 176, 40};
const Rgb NEON_WHITE{235, 245, 255};
const Rgb NEON_RED{255, 48, 40};
const Rgb NEON_GREEN{80, 255, 120};
const Rgb NEON_BLUE{70, 110, 255};
const Rgb NIGHT{10, 12, 26};

int artRand(ArtRandom& r) {
    r.state = r.state * 214013u + 2531011u;
    return (int)((r.state >> 16) & 0x7FFF);
}

double artUnit(ArtRandom& r) {
    return artRand(r) / 32768.0;
}

double artRange(ArtRandom& r, double low, double high) {
    return low + (high - low) * artUnit(r);
}

double distCircle(double px, double py, double cx, double cy, double radius) {
    return hypot(px - cx, py - cy) - radius;
}

double distSegment(double px, double py, double ax, double ay, double bx, double by) {
    double dx = bx - ax, dy = by - ay;
    double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / length2, 0.0, 1.0) : 0.0;
    return hypot(px - (ax + t * dx), py - (ay + t * dy));
}

double distRoundBox(double px, double py, double cx, double cy, double hw, double hh, double radius) {
    double qx = fabs(px - cx) - hw + radius, qy = fabs(py - cy) - hh + radius;
    double outside = hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

double distPolygon(double px, double py, const std::vector<double>& points) {
    size_t n = points.size() / 2;
    double best = 1e9;
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        double xi = points[2 * i], yi = points[2 * i + 1], xj = points[2 * j], yj = points[2 * j + 1];
        best = std::min(best, distSegment(px, py, xi, yi, xj, yj));
        if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) {
            inside = !inside;
        }
    }
    return inside ? -best : best;
}

void drawLine(Canvas& c, double ax, double ay, double bx, double by, double width, Rgb colour, int alpha) {
    double m = width + 2;
    paintShape(
        c, (int)floor(std::min(ax, bx) - m), (int)floor(std::min(ay, by) - m), (int)ceil(std::max(ax, bx) + m),
        (int)ceil(std::max(ay, by) + m),
        [&](double x, double y) { return distSegment(x, y, ax, ay, bx, by) - width / 2; }, colour, alpha);
}

void glowLine(Canvas& c, double ax, double ay, double bx, double by, double radius, Rgb colour, int strength) {
    double m = radius + 1;
    glowShape(
        c, (int)floor(std::min(ax, bx) - m), (int)floor(std::min(ay, by) - m), (int)ceil(std::max(ax, bx) + m),
        (int)ceil(std::max(ay, by) + m), [&](double x, double y) { return distSegment(x, y, ax, ay, bx, by); },
        colour, radius, strength);
}

void fillRoundRect(Canvas& c, double x, double y, double w, double h, double radius, Rgb colour, int alpha) {
    paintShape(
        c, (int)floor(x - 1), (int)floor(y - 1), (int)ceil(x + w + 1), (int)ceil(y + h + 1),
        [&](double px, double py) { return distRoundBox(px, py, x + w / 2, y + h / 2, w / 2, h / 2, radius); },
        colour, alpha);
}

void strokeRoundRect(Canvas& c, double x, double y, double w, double h, double radius, double width, Rgb colour,
                     int alpha) {
    // The stroke lies inside the rectangle's outline.
    double inset = width / 2;
    paintShape(
        c, (int)floor(x - 1), (int)floor(y - 1), (int)ceil(x + w + 1), (int)ceil(y + h + 1),
        [&](double px, double py) {
            double d = distRoundBox(px, py, x + w / 2, y + h / 2, w / 2 - inset, h / 2 - inset,
                                    std::max(radius - inset, 0.0));
            return fabs(d) - width / 2;
        },
        colour, alpha);
}

void glowRoundRect(Canvas& c, double x, double y, double w, double h, double radius, double glowRadius, Rgb colour,
                   int strength) {
    double m = glowRadius + 1;
    glowShape(
        c, (int)floor(x - m), (int)floor(y - m), (int)ceil(x + w + m), (int)ceil(y + h + m),
        [&](double px, double py) {
            return fabs(distRoundBox(px, py, x + w / 2, y + h / 2, w / 2, h / 2, radius));
        },
        colour, glowRadius, strength);
}

void drawRing(Canvas& c, double cx, double cy, double radius, double width, Rgb colour, int alpha) {
    double m = radius + width + 2;
    paintShape(
        c, (int)floor(cx - m), (int)floor(cy - m), (int)ceil(cx + m), (int)ceil(cy + m),
        [&](double x, double y) { return fabs(distCircle(x, y, cx, cy, radius)) - width / 2; }, colour, alpha);
}

void fillPolygon(Canvas& c, const std::vector<double>& points, Rgb colour, int alpha) {
    double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
    for (size_t i = 0; i + 1 < points.size(); i += 2) {
        x0 = std::min(x0, points[i]);
        x1 = std::max(x1, points[i]);
        y0 = std::min(y0, points[i + 1]);
        y1 = std::max(y1, points[i + 1]);
    }
    paintShape(
        c, (int)floor(x0 - 1), (int)floor(y0 - 1), (int)ceil(x1 + 1), (int)ceil(y1 + 1),
        [&](double x, double y) { return distPolygon(x, y, points); }, colour, alpha);
}

void fillGradient(Canvas& c, int x, int y, int w, int h, Rgb top, Rgb bottom) {
    for (int j = 0; j < h; j++) {
        Rgb colour = mixRgb(top, bottom, h > 1 ? (double)j / (h - 1) : 0.0);
        for (int i = 0; i < w; i++) {
            canvasSet(c, x + i, y + j, colour);
        }
    }
}

// One box-blur pass along rows or columns; `wrap` reads round the edges, otherwise outside is black.
static void boxPass(Canvas& layer, int radius, bool horizontal, bool wrap) {
    int length = horizontal ? layer.width : layer.height;
    int lines = horizontal ? layer.height : layer.width;
    std::vector<int> line((size_t)length * 3);
    int span = 2 * radius + 1;
    for (int l = 0; l < lines; l++) {
        for (int i = 0; i < length; i++) {
            Rgb p = horizontal ? canvasGet(layer, i, l) : canvasGet(layer, l, i);
            line[i * 3] = p.r;
            line[i * 3 + 1] = p.g;
            line[i * 3 + 2] = p.b;
        }
        for (int i = 0; i < length; i++) {
            int sum[3] = {0, 0, 0};
            for (int k = -radius; k <= radius; k++) {
                int at = i + k;
                if (wrap) {
                    at = ((at % length) + length) % length;
                } else if (at < 0 || at >= length) {
                    continue;
                }
                sum[0] += line[at * 3];
                sum[1] += line[at * 3 + 1];
                sum[2] += line[at * 3 + 2];
            }
            Rgb out{(uint8_t)(sum[0] / span), (uint8_t)(sum[1] / span), (uint8_t)(sum[2] / span)};
            if (horizontal) {
                canvasSet(layer, i, l, out);
            } else {
                canvasSet(layer, l, i, out);
            }
        }
    }
}

void blurCanvas(Canvas& layer, int radius, int passes) {
    for (int p = 0; p < passes; p++) {
        boxPass(layer, radius, true, false);
        boxPass(layer, radius, false, false);
    }
}

void blurCanvasWrapped(Canvas& layer, int radius, int passes) {
    for (int p = 0; p < passes; p++) {
        boxPass(layer, radius, true, true);
        boxPass(layer, radius, false, true);
    }
}

void addCanvas(Canvas& dst, const Canvas& layer, int dx, int dy, int weight) {
    for (int y = 0; y < layer.height; y++) {
        for (int x = 0; x < layer.width; x++) {
            Rgb p = canvasGet(layer, x, y);
            if (p.r | p.g | p.b) {
                canvasAdd(dst, dx + x, dy + y, p, weight);
            }
        }
    }
}

void copyCanvas(Canvas& dst, const Canvas& src, int dx, int dy) {
    for (int y = 0; y < src.height; y++) {
        for (int x = 0; x < src.width; x++) {
            canvasSet(dst, dx + x, dy + y, canvasGet(src, x, y));
        }
    }
}

int textWidthPx(const std::string& text, const char* fontFile, int pixelSize) {
    return measureFontText(text, fontFile, pixelSize);
}

void drawTextCentred(Canvas& c, double cx, int baselineY, const std::string& text, const char* fontFile,
                     int pixelSize, Rgb colour) {
    int w = measureFontText(text, fontFile, pixelSize);
    drawFontText(c, (int)lround(cx - w / 2.0), baselineY, text, fontFile, pixelSize, colour, false);
}

void drawNeonText(Canvas& c, int x, int baselineY, const std::string& text, const char* fontFile, int pixelSize,
                  Rgb colour, Rgb glow, int glowRadius, int glowWeight) {
    int w = measureFontText(text, fontFile, pixelSize);
    int margin = glowRadius * 3 + 2;
    Canvas layer = makeCanvas(w + 2 * margin, pixelSize * 2 + 2 * margin, Rgb{0, 0, 0});
    int layerBaseline = margin + pixelSize + pixelSize / 4;
    drawFontText(layer, margin, layerBaseline, text, fontFile, pixelSize, glow, true);
    blurCanvas(layer, glowRadius, 3);
    addCanvas(c, layer, x - margin, baselineY - layerBaseline, glowWeight);
    drawFontText(c, x, baselineY, text, fontFile, pixelSize, colour, false);
}

void drawNeonTextCentred(Canvas& c, double cx, int baselineY, const std::string& text, const char* fontFile,
                         int pixelSize, Rgb colour, Rgb glow, int glowRadius, int glowWeight) {
    int w = measureFontText(text, fontFile, pixelSize);
    drawNeonText(c, (int)lround(cx - w / 2.0), baselineY, text, fontFile, pixelSize, colour, glow, glowRadius,
                 glowWeight);
}

std::vector<std::string> wrapText(const std::string& text, const char* fontFile, int pixelSize, int maxWidth) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        std::string paragraph = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::string line;
        size_t at = 0;
        while (at < paragraph.size()) {
            size_t space = paragraph.find(' ', at);
            std::string word = paragraph.substr(at, space == std::string::npos ? std::string::npos : space - at);
            std::string tried = line.empty() ? word : line + " " + word;
            if (!line.empty() && measureFontText(tried, fontFile, pixelSize) > maxWidth) {
                lines.push_back(line);
                line = word;
            } else {
                line = tried;
            }
            at = space == std::string::npos ? paragraph.size() : space + 1;
        }
        lines.push_back(line);
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return lines;
}

Rgb scaleRgb(Rgb c, double f) {
    auto s = [f](uint8_t v) { return (uint8_t)std::clamp((int)lround(v * f), 0, 255); };
    return Rgb{s(c.r), s(c.g), s(c.b)};
}

Rgb mixRgb(Rgb a, Rgb b, double t) {
    auto m = [t](uint8_t x, uint8_t y) { return (uint8_t)std::clamp((int)lround(x + (y - x) * t), 0, 255); };
    return Rgb{m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}
