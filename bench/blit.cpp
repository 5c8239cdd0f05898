// Full-screen blits in every mode, in Mpixel/s, against memcpy of the same bytes in the same run.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "gfx/blit.h"
#include "gfx/surface.h"
#include "shell/display.h"
#include "shell/random.h"

namespace {

const int WIDTH = 240, HEIGHT = 320;

Surface* screen;
Surface* picture;

// A source that looks like a sprite sheet: mostly coloured, about one pixel in five transparent.
void setUp() {
    if (screen != nullptr) {
        return;
    }
    initDisplayInfo();
    screen = createSurface(WIDTH, HEIGHT);
    picture = createSurface(WIDTH, HEIGHT);
    seedGameRand(99);
    for (int y = 0; y < HEIGHT; y++) {
        for (int x = 0; x < WIDTH; x++) {
            int v = gameRand();
            putPixel(screen, x, y, packColour((x + y) & 31, (x * 3) & 31, v & 31));
            putPixel(picture, x, y, v % 5 == 0 ? 0 : packColour((v >> 2) & 31, (v >> 7) & 31, (v >> 9) & 31));
        }
    }
}

void pixelsProcessed(benchmark::State& state) {
    state.SetItemsProcessed((int64_t)state.iterations() * WIDTH * HEIGHT);
    state.SetBytesProcessed((int64_t)state.iterations() * WIDTH * HEIGHT * 2);
}

void BM_memcpy(benchmark::State& state) {
    setUp();
    for (auto _ : state) {
        memcpy(screen->pixels, picture->pixels, (size_t)WIDTH * HEIGHT * 2);
        benchmark::ClobberMemory();
    }
    pixelsProcessed(state);
}

// The same bytes, one call per row as Copy does it.
void BM_memcpyRows(benchmark::State& state) {
    setUp();
    for (auto _ : state) {
        for (int y = 0; y < HEIGHT; y++) {
            memcpy(screen->pixels + y * WIDTH, picture->pixels + y * WIDTH, (size_t)WIDTH * 2);
        }
        benchmark::ClobberMemory();
    }
    pixelsProcessed(state);
}

void BM_blit(benchmark::State& state) {
    setUp();
    int32_t mode = (int32_t)state.range(0);
    int32_t param = (int32_t)state.range(1);
    for (auto _ : state) {
        blit(screen, 0, 0, WIDTH, HEIGHT, picture, 0, 0, mode, param);
        benchmark::ClobberMemory();
    }
    pixelsProcessed(state);
    static const char* const names[] = {"Copy", "Transparent", "Shadowed", "BlueOnly", "AddLight",
                                        "SubtractLight", "White", "7", "8", "AlphaBlend", "Mirror",
                                        "Silhouette", "Additive", "Sparkle", "Fill", "HalfSize",
                                        "HalfSizeMirror"};
    state.SetLabel(names[mode]);
}

// Prints the usual table, then Copy against memcpy (the medians when runs are repeated).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(OutputOptions options) : ConsoleReporter(options) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median") {
                    seconds_[name] = run.GetAdjustedRealTime();
                    medians_[name] = true;
                }
            } else if (!medians_[name]) {
                seconds_[name] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        double copy = seconds_["BM_blit/0/0"], whole = seconds_["BM_memcpy"], rows = seconds_["BM_memcpyRows"];
        if (copy > 0 && whole > 0 && rows > 0) {
            printf("Copy / memcpy of the whole screen: %.2f\n", copy / whole);
            printf("Copy / memcpy row by row:          %.2f\n", copy / rows);
        }
    }

private:
    std::map<std::string, double> seconds_;
    std::map<std::string, bool> medians_;
};

}  // namespace

BENCHMARK(BM_memcpy);
BENCHMARK(BM_memcpyRows);
BENCHMARK(BM_blit)
    ->Args({BLIT_COPY, 0})
    ->Args({BLIT_TRANSPARENT, 0})
    ->Args({BLIT_SHADOWED, 0})
    ->Args({BLIT_BLUE_ONLY, 0})
    ->Args({BLIT_ADD_LIGHT, 0})
    ->Args({BLIT_SUBTRACT_LIGHT, 0})
    ->Args({BLIT_WHITE, 0})
    ->Args({7, 0})
    ->Args({8, 0})
    ->Args({BLIT_ALPHA_BLEND, 140})
    ->Args({BLIT_MIRROR, 0})
    ->Args({BLIT_SILHOUETTE, 0x1234})
    ->Args({BLIT_ADDITIVE, 0})
    ->Args({BLIT_SPARKLE, 3})
    ->Args({BLIT_FILL, 0})
    ->Args({BLIT_HALF_SIZE, 0})
    ->Args({BLIT_HALF_SIZE_MIRROR, 0});

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    // Colours only on a terminal, so that saved figures read cleanly.
    RatioReporter reporter(isatty(fileno(stdout)) ? benchmark::ConsoleReporter::OO_Defaults
                                                  : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
