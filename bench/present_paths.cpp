// What each way of showing the frame costs the real game in a window (run under a display, e.g. Xvfb):
// SDL's GL renderer, SDL's software renderer and our direct path. Each path runs in a process of its
// own through the splashes to the main menu and then into play; for each the process's CPU over 10 s
// in the menu and in play, that CPU per presented frame, the peak resident memory, whether GL libraries
// were mapped, and the time from start to the first game initialisation (just after the loading picture).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "field/gamevalues.h"
#include "shell/display.h"
#include "shell/mainloop.h"
#include "platform/platform.h"

static double nowSeconds(void) {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

static double cpuSeconds(void) {
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    return (double)u.ru_utime.tv_sec + (double)u.ru_utime.tv_usec * 1e-6 + (double)u.ru_stime.tv_sec +
           (double)u.ru_stime.tv_usec * 1e-6;
}

static bool glMapped(void) {
    FILE* f = fopen("/proc/self/maps", "r");
    if (f == nullptr) {
        return false;
    }
    char line[512];
    bool found = false;
    while (fgets(line, sizeof(line), f) != nullptr) {
        if (strstr(line, "libGL") != nullptr || strstr(line, "libLLVM") != nullptr || strstr(line, "_dri.so") != nullptr) {
            found = true;
        }
    }
    fclose(f);
    return found;
}

// The child: the real game with its operations wrapped to follow the phases.
static GameInterface real;
static double startTime, initTime;
static int phase;  // 0 splashes, 1 menu settling, 2 menu measured, 3 play settling, 4 play measured
static double phaseStart, phaseCpu;
static long phaseFrames;
static double menuCpu, menuFrames, playCpu, playFrames;
static const double SETTLE = 2.0, MEASURE = 10.0;

static void wrappedInit(void) {
    initTime = nowSeconds();
    real.init();
}

static int32_t wrappedRender(int32_t mode) {
    phaseFrames++;
    return real.render(mode);
}

static void beginPhase(int next) {
    phase = next;
    phaseStart = nowSeconds();
    phaseCpu = cpuSeconds();
    phaseFrames = 0;
}

static int32_t wrappedUpdate(int32_t mode) {
    int32_t next = real.update(mode);
    double t = nowSeconds();
    if (phase == 0 && mode == MODE_MAIN_MENU) {
        beginPhase(1);
    } else if (phase == 1 && t - phaseStart > SETTLE) {
        beginPhase(2);
    } else if (phase == 2 && t - phaseStart > MEASURE) {
        menuCpu = cpuSeconds() - phaseCpu;
        menuFrames = (double)phaseFrames;
        game.cheats.unlimitedLives = 1;
        beginPhase(3);
        return MODE_NEW_GAME;
    } else if (phase == 3 && t - phaseStart > SETTLE) {
        beginPhase(4);
    } else if (phase == 4 && t - phaseStart > MEASURE) {
        playCpu = cpuSeconds() - phaseCpu;
        playFrames = (double)phaseFrames;
        phase = 5;
        platformSendMessage(MSG_CLOSE, 0, 0);
    }
    return next;
}

static int runChild(const char* path) {
    const char* start = getenv("PRESENT_PATHS_START");
    startTime = start != nullptr ? atof(start) : nowSeconds();
    real = gameInterface;
    gameInterface.init = wrappedInit;
    gameInterface.update = wrappedUpdate;
    gameInterface.render = wrappedRender;
    if (chdir(PLINKOR_RUN_DIR) != 0) {
        return 1;
    }
    runGame();
    if (phase != 5) {
        fprintf(stderr, "%s: the game ended before the measurements (phase %d)\n", path, phase);
        return 1;
    }
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    printf("%-9s %7.1f%% %9.0f us %7.1f%% %9.0f us %7.0f %9.1f MB %4s %8.0f ms\n", path, 100.0 * menuCpu / MEASURE,
           1e6 * menuCpu / (menuFrames > 0 ? menuFrames : 1), 100.0 * playCpu / MEASURE,
           1e6 * playCpu / (playFrames > 0 ? playFrames : 1), playFrames / MEASURE, (double)u.ru_maxrss / 1024.0,
           glMapped() ? "yes" : "no", 1000.0 * (initTime - startTime));
    fflush(stdout);
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 3 && strcmp(argv[1], "--child") == 0) {
        return runChild(argv[2]);
    }
    printf("Each path: the real game, CPU of the whole process (all threads) over %.0f s after %.0f s of settling.\n",
           MEASURE, SETTLE);
    printf("%-9s %8s %12s %8s %12s %7s %12s %4s %11s\n", "path", "menu CPU", "per frame", "play CPU", "per frame",
           "fps", "peak RSS", "GL", "to loading");
    const char* paths[] = {"gl", "software", "direct"};
    for (const char* path : paths) {
        fflush(stdout);
        pid_t child = fork();
        if (child == 0) {
            char start[32];
            snprintf(start, sizeof(start), "%.6f", nowSeconds());
            setenv("PRESENT_PATHS_START", start, 1);
            setenv("PLINKOR_PRESENT", path, 1);
            execl("/proc/self/exe", argv[0], "--child", path, (char*)nullptr);
            _exit(127);
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            printf("%-9s failed (status %d)\n", path, status);
        }
    }
    return 0;
}
