// Cost of presenting one 240 x 320 frame through the SDL window (run under a display, e.g. Xvfb).
#include <benchmark/benchmark.h>

#include <cstdio>

#include "gfx/surface.h"
#include "shell/display.h"
#include "shell/mainloop.h"

static Surface* frame;

static bool openOnce(void) {
    static int opened = -1;
    if (opened < 0) {
        opened = openDisplay("Plinkor") != 0;
        initDisplayInfo();
        frame = createSurface(240, 320);
        for (int y = 0; y < 320; y++) {
            for (int x = 0; x < 240; x++) {
                putPixel(frame, x, y, packColour(x & 31, y & 31, (x + y) & 31));
            }
        }
    }
    return opened == 1;
}

// Wall time includes the wait for the display's refresh; CPU time is what one present costs us.
static void presentFrame(benchmark::State& state) {
    if (!openOnce()) {
        state.SkipWithError("no display");
        return;
    }
    for (auto _ : state) {
        presentSurface(frame);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(presentFrame)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

BENCHMARK_MAIN();
