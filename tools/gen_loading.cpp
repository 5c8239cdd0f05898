// Generator of the loading picture: the game's name with a small emblem (a paddle, a ball, a crumbling block).
#include "canvas.h"
#include "generator.h"

bool generateLoadingPicture(const std::string& runDir) {
    const int w = 200, h = 120;
    Canvas c = makeCanvas(w, h, Rgb{8, 8, 16});
    const Rgb cyan{40, 230, 255}, magenta{255, 60, 200}, amber{255, 180, 40};
    // Emblem: a block crumbling into grains above a paddle, a ball on its way up.
    addGlow(c, 100, 34, 46, Rgb{20, 60, 120}, 90);
    fillRect(c, 78, 14, 44, 12, magenta);
    fillRect(c, 79, 15, 42, 3, Rgb{255, 150, 230});
    const int grains[][2] = {{82, 29}, {88, 31}, {95, 30}, {104, 33}, {111, 30}, {117, 32}, {91, 36}, {108, 38}};
    for (const auto& g : grains) {
        fillRect(c, g[0], g[1], 2, 2, Rgb{200, 70, 170});
    }
    addGlow(c, 128, 40, 10, cyan, 160);
    fillDisc(c, 128, 40, 3.5, Rgb{230, 250, 255});
    addGlow(c, 100, 56, 30, amber, 60);
    fillRect(c, 80, 54, 40, 5, amber);
    fillRect(c, 80, 54, 40, 1, Rgb{255, 230, 150});
    // The name, with a soft glow behind it.
    const char* font = "DejaVuSans-Bold.ttf";
    int nameWidth = measureFontText("PLINKOR", font, 34);
    int x = (w - nameWidth) / 2;
    for (int dy = -2; dy <= 2; dy++) {
        for (int dx = -2; dx <= 2; dx++) {
            drawFontText(c, x + dx, 96 + dy, "PLINKOR", font, 34, Rgb{8, 22, 36}, true);
        }
    }
    drawFontText(c, x, 96, "PLINKOR", font, 34, cyan, false);
    const char* small = "loading...";
    int smallWidth = measureFontText(small, "DejaVuSans.ttf", 11);
    drawFontText(c, (w - smallWidth) / 2, 113, small, "DejaVuSans.ttf", 11, Rgb{150, 160, 190}, false);
    return writePngRgb(runDir + "Data/loading.png", c);
}
