// Start-up, the fixed-step main loop with its 4-update cap and render limit, and shutdown.
#include "shell/mainloop.h"

#include <cstdio>

#include "game/game.h"
#include "game/gamevalues.h"
#include "game/render.h"
#include "gfx/blit.h"
#include "gfx/picture.h"
#include "platform/platform.h"
#include "shell/desktop.h"
#include "shell/display.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/overlay.h"
#include "sound/mixer.h"

char basePath[256];
char dataPath[256];
char soundPath[256];
char customPath[256];

int32_t currentMode;
int32_t previousMode;
int32_t appActive;
int32_t quitRequested;
int32_t frameRendered;
int64_t ticksPerSecond;
int64_t updateStep;
int64_t renderStep;
int64_t nowTicks;
int64_t secondClock, updateClock, renderClock;
int32_t updatesThisSecond, presentsThisSecond;
int32_t updatesLastSecond, presentsLastSecond;
int32_t soundEnabled;

GameInterface gameInterface = {gameInit, gameShutdown, enterMode, leaveMode, updateMode, renderMode, handleInput};

Surface* backSurface;
Surface* smallCharsSheet;

static int32_t lastMessageWParam;
static Surface* pauseSurface;  // the suspended picture; made with the back surface, so a pause allocates nothing
static int32_t pauseShown;     // 1 once this suspension's picture is on the screen

void setAppActive(int32_t value) {
    __atomic_store_n(&appActive, value, __ATOMIC_RELAXED);
}

void resetLoopState(void) {
    currentMode = previousMode = 0;
    setAppActive(0);
    quitRequested = frameRendered = 0;
    ticksPerSecond = updateStep = renderStep = nowTicks = 0;
    secondClock = updateClock = renderClock = 0;
    updatesThisSecond = presentsThisSecond = updatesLastSecond = presentsLastSecond = 0;
    soundEnabled = 0;
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
    if (pauseShown || !frameRendered || backSurface == nullptr) {
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
    if (currentMode != previousMode) {
        logFormat(1, 2, "Mode %d --> %d\n", previousMode, currentMode);
        gameInterface.leave(previousMode);
        gameInterface.enter(currentMode);
        previousMode = currentMode;
    }
    int32_t passMode = currentMode;
    int n = 0;
    while (nowTicks - updateClock > updateStep && n < 4) {
        n++;
        currentMode = gameInterface.update(currentMode);
        updatesThisSecond++;
        if (currentMode != passMode) {
            break;
        }
        updateClock += updateStep;
    }
    if (n == 4) {
        updateClock = platformCounter();
    }
    if (currentMode == passMode && nowTicks - renderClock > renderStep) {
        currentMode = renderFrame(currentMode);
        renderClock += renderStep;
        if (nowTicks - renderClock > renderStep) {
            renderClock = platformCounter();
        }
        frameRendered = 1;
        return 1;
    }
    return 0;
}

int runGame(void) {
    formatPath(basePath, "%s", "./");
    formatPath(dataPath, "%sData/", basePath);
    formatPath(soundPath, "%sSound/", basePath);
    formatPath(customPath, "%sCustom/", basePath);
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
        soundEnabled = 1;
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
    ticksPerSecond = frequency;
    updateStep = ticksPerSecond / 60;
    renderStep = ticksPerSecond / 100;
    secondClock = updateClock = renderClock = platformCounter();

    buildLogColours();
    logDisplaySpecifics();
    loadPicture("smallchars.png", &smallCharsSheet);

    currentMode = MODE_MAIN_MENU;
    loadButtonCodes();
    gameInterface.init();

    setAppActive(1);
    overlay.logState = PANEL_RETRACTING;
    while (true) {
        nowTicks = platformCounter();
        while (nowTicks - secondClock > ticksPerSecond) {
            secondClock += ticksPerSecond;
            presentsLastSecond = presentsThisSecond;
            updatesLastSecond = updatesThisSecond;
            presentsThisSecond = 0;
            updatesThisSecond = 0;
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
            presentsThisSecond++;
        }
        pumpMessages();
        stepGamepadPointer();
        if (appActive == 0) {
            showPauseFrame();
            platformSleep(250);
        } else {
            pauseShown = 0;
            if (!newFrame && quitRequested == 0) {
                // Nothing to show: rest until the next update or render is due (input wakes us sooner)
                // rather than spinning a core.
                int64_t nextUpdate = updateClock + updateStep + 1;
                int64_t nextRender = renderClock + renderStep + 1;
                platformWaitUntil(nextUpdate < nextRender ? nextUpdate : nextRender);
            }
        }
        if (quitRequested == 1) {
            break;
        }
    }
    gameInterface.leave(currentMode);
    gameInterface.shutdown();
    return lastMessageWParam;
}
