// Start-up, the fixed-step main loop with its 4-update cap and render limit, and shutdown.
#include "shell/mainloop.h"

#include <cstdio>

#include "game/game.h"
#include "game/render.h"
#include "gfx/blit.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "platform/platform.h"
#include "shell/desktop.h"
#include "shell/display.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/overlay.h"
#include "shell/runfolder.h"
#include "sound/mixer.h"

LoopState mainLoop;
std::atomic<int32_t> appActive{0};

GameInterface gameInterface = {gameInit, gameShutdown, enterMode, leaveMode, updateMode, renderMode, handleInput};

static int32_t lastMessageWParam;
static Surface* pauseSurface;  // the suspended picture; made with the back surface, so a pause allocates nothing
static int32_t pauseShown;     // 1 once this suspension's picture is on the screen

void setAppActive(int32_t value) {
    appActive.store(value, std::memory_order_relaxed);
}

void resetLoopState(void) {
    mainLoop = LoopState{};
    setAppActive(0);
    lastMessageWParam = 0;
    pauseShown = 0;
}

// The folders are short fixed names below "./"; a longer base would be cut, never overrun.
static void formatPath(char (&out)[256], const char* format, const char* base) {
    if (snprintf(out, sizeof(out), format, base) >= (int)sizeof(out)) {
        out[sizeof(out) - 1] = 0;
    }
}

static void pumpMessages(void) {
    PlatformMessage msg;
    while (platformPeekMessage(&msg)) {
        lastMessageWParam = (int32_t)msg.wParam;
        platformTranslateMessage(&msg);
        platformDispatchMessage(&msg);
    }
}

// The frame render: the game's screen, then the overlay and the stylus cursor on top.
static int32_t renderFrame(int32_t mode) {
    int32_t next = gameInterface.render(mode);
    drawOverlay();
    return next;
}

static void showLoadingPicture(void) {
    backSurface = createSurface(displayInfo.width, displayInfo.height);
    pauseSurface = createSurface(displayInfo.width, displayInfo.height);
    clearSurface(backSurface);
    Surface* picture = nullptr;
    loadPicture("loading.png", &picture);
    blit(backSurface, (backSurface->width >> 1) - (picture->width >> 1),
         (backSurface->height >> 1) - (picture->height >> 1) - 30, picture->width, picture->height, picture, 0, 0,
         BLIT_COPY, 0);
    presentSurface(backSurface);
    removeSurface(&picture);
}

static void logDisplaySpecifics(void) {
    logMessage(1, "Init Console [");
    for (int i = 0; i < 7; i++) {
        logFormat(1, i, "%d", i);
    }
    logMessage(1, "]\n");
    logMessage(1, "Allocating Memory:\n");
    logMessage(1, "  Sound\n");
    logMessage(1, "Display Specifics\n");
    logFormat(1, 0, "  width,height: %dx%d\n", displayInfo.width, displayInfo.height);
    logFormat(1, 0, "  xspan,yspan : %dx%d\n", displayInfo.xStep, displayInfo.yStep);
    logMessage(1, displayInfo.landscape ? "  orientation : Landscape\n" : "  orientation : Portait\n");
    logMessage(1, displayInfo.verticalMemory ? "  memory      : Vertical\n" : "  memory      : Horizontal\n");
    logFormat(1, 0, "  bits/pixel  : %d\n", displayInfo.bitsPerPixel);
    logFormat(1, 0, "  fullscreen  : %d\n", displayInfo.fullscreen);
    logFormat(1, 0, "  format      : %d\n", displayInfo.format);
    logMessage(1, "Program State\n");
}

// A frozen picture with no sign looks hung: a suspended game shows its last frame dimmed, once.
static void showPauseFrame(void) {
    if (pauseShown || !mainLoop.frameRendered || backSurface == nullptr) {
        return;
    }
    if (pauseSurface == nullptr) {
        return;
    }
    renderPauseFrame(pauseSurface, backSurface);
    presentSurface(pauseSurface);
    pauseShown = 1;
}

// One pass of the loop while the program is active: mode change, updates, render. Returns 1 when it
// rendered a new frame.
static int runActivePass(void) {
    if (mainLoop.currentMode != mainLoop.previousMode) {
        logFormat(1, 2, "Mode %d --> %d\n", mainLoop.previousMode, mainLoop.currentMode);
        gameInterface.leave(mainLoop.previousMode);
        gameInterface.enter(mainLoop.currentMode);
        mainLoop.previousMode = mainLoop.currentMode;
    }
    int32_t passMode = mainLoop.currentMode;
    int n = 0;
    while (mainLoop.nowTicks - mainLoop.updateClock > mainLoop.updateStep && n < 4) {
        n++;
        mainLoop.currentMode = gameInterface.update(mainLoop.currentMode);
        mainLoop.updatesThisSecond++;
        if (mainLoop.currentMode != passMode) {
            break;
        }
        mainLoop.updateClock += mainLoop.updateStep;
    }
    if (n == 4) {
        mainLoop.updateClock = platformCounter();
    }
    if (mainLoop.currentMode == passMode && mainLoop.nowTicks - mainLoop.renderClock > mainLoop.renderStep) {
        mainLoop.currentMode = renderFrame(mainLoop.currentMode);
        mainLoop.renderClock += mainLoop.renderStep;
        if (mainLoop.nowTicks - mainLoop.renderClock > mainLoop.renderStep) {
            mainLoop.renderClock = platformCounter();
        }
        mainLoop.frameRendered = 1;
        return 1;
    }
    return 0;
}

int runGame(void) {
    formatPath(runPaths.basePath, "%s", "./");
    formatPath(runPaths.dataPath, "%sData/", runPaths.basePath);
    formatPath(runPaths.soundPath, "%sSound/", runPaths.basePath);
    formatPath(runPaths.customPath, "%sCustom/", runPaths.basePath);
    loadDesktopOptions();
    setPauseWhenAway(desktopOptions.pauseWhenAway != 0);

    if (openDisplay("Plinkor") == 0) {
        platformMessageBox("Unable to create window.", "Critical", MB_TYPE_OK);
        return 1;
    }
    setGamma(128);
    initDisplayInfo();
    pumpMessages();
    if (soundInit(0)) {
        mainLoop.soundEnabled = 1;
        soundStart();
    } else {
        logMessage(1, "[ERROR] Sound Init Failed.\n");
    }
    showLoadingPicture();

    logMessage(1, "Timing Scheme\n");
    int64_t frequency = 0;
    if (!platformCounterFrequency(&frequency)) {
        return -1;
    }
    mainLoop.ticksPerSecond = frequency;
    mainLoop.updateStep = mainLoop.ticksPerSecond / 60;
    mainLoop.renderStep = mainLoop.ticksPerSecond / 100;
    mainLoop.secondClock = mainLoop.updateClock = mainLoop.renderClock = platformCounter();

    buildLogColours();
    logDisplaySpecifics();
    loadPicture("smallchars.png", &smallCharsSheet);

    mainLoop.currentMode = MODE_MAIN_MENU;
    loadButtonCodes();
    gameInterface.init();

    setAppActive(1);
    overlay.logState = PANEL_RETRACTING;
    while (true) {
        mainLoop.nowTicks = platformCounter();
        while (mainLoop.nowTicks - mainLoop.secondClock > mainLoop.ticksPerSecond) {
            mainLoop.secondClock += mainLoop.ticksPerSecond;
            mainLoop.presentsLastSecond = mainLoop.presentsThisSecond;
            mainLoop.updatesLastSecond = mainLoop.updatesThisSecond;
            mainLoop.presentsThisSecond = 0;
            mainLoop.updatesThisSecond = 0;
            rememberWindowScale();
        }
        int newFrame = 0;
        if (appActive) {
            newFrame = runActivePass();
        }
        // Only a new frame is presented: the present waits for the display's refresh, and showing the
        // same picture again would cost as much as a new one.
        if (appActive == 1 && newFrame) {
            presentSurface(backSurface);
            mainLoop.presentsThisSecond++;
        }
        pumpMessages();
        stepGamepadPointer();
        if (appActive == 0) {
            showPauseFrame();
            platformSleep(250);
        } else {
            pauseShown = 0;
            if (!newFrame && mainLoop.quitRequested == 0) {
                // Nothing to show: rest until the next update or render is due (input wakes us sooner)
                // rather than spinning a core.
                int64_t nextUpdate = mainLoop.updateClock + mainLoop.updateStep + 1;
                int64_t nextRender = mainLoop.renderClock + mainLoop.renderStep + 1;
                platformWaitUntil(nextUpdate < nextRender ? nextUpdate : nextRender);
            }
        }
        if (mainLoop.quitRequested == 1) {
            break;
        }
    }
    gameInterface.leave(mainLoop.currentMode);
    gameInterface.shutdown();
    return lastMessageWParam;
}
