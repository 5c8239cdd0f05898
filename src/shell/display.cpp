// The display: single-instance check, the application window, the console and its surfaces, present.
#include "shell/display.h"

#include <cstdio>
#include <cstring>

#include "gfx/surface.h"
#include "platform/platform.h"
#include "shell/desktop.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "shell/overlay.h"

DisplayInfo displayInfo;

static int pixelFormat;
static int console;
static int displaySurface;     // 240 x 320
static int fullscreenSurface;  // 640 x 480, used by the fullscreen build

int openDisplay(const char* title) {
    if (platformFindOtherInstance(title)) {
        platformRaiseOtherInstance();
        logColoured(1, "[ERROR] Application already running", LOG_ERROR);
        return 0;
    }
    if (!displayInfo.fullscreenFlag) {
        platformWindowPreferences(desktopOptions.scale, desktopOptions.fullscreen);
    }
    int w = displayInfo.fullscreenFlag ? 640 : DEFAULT_WIDTH;
    int h = displayInfo.fullscreenFlag ? 480 : DEFAULT_HEIGHT;
    if (!platformCreateWindow(title, displayInfo.fullscreenFlag, w, h, windowProc)) {
        logColoured(1, "[Critical] Unable to create application window", LOG_ERROR);
        return 0;
    }
    displayInfo.appWindow = 1;
    pixelFormat = consoleCreateFormat(16, 0xF800, 0x07C0, 0x001F, 0);
    console = consoleCreate();
    if (displayInfo.fullscreenFlag) {
        consoleOption(console, "fullscreen output");
        consoleOption(console, "synchronized update");
        consoleOption(console, "fullscreen primary secondary");
        consoleOption(console, "show cursor");
        consoleOption(console, "default width 640");
        consoleOption(console, "default height 480");
    } else {
        char option[64];
        consoleOption(console, "windowed output");
        consoleOption(console, "show cursor");
        snprintf(option, sizeof(option), "default width %d", DEFAULT_WIDTH);
        consoleOption(console, option);
        snprintf(option, sizeof(option), "default height %d", DEFAULT_HEIGHT);
        consoleOption(console, option);
    }
    consoleOption(console, "DirectX");
    consoleOpen(console, displayInfo.appWindow);
    consoleOption(console, "disable key buffering");
    displaySurface = consoleCreateSurface(DEFAULT_WIDTH, DEFAULT_HEIGHT, pixelFormat);
    fullscreenSurface = consoleCreateSurface(640, 480, pixelFormat);
    return displayInfo.appWindow;
}

void initDisplayInfo(void) {
    displayInfo.fullscreen = 0;
    displayInfo.width = DEFAULT_WIDTH;
    displayInfo.height = DEFAULT_HEIGHT;
    displayInfo.verticalMemory = 0;
    displayInfo.landscape = 0;
    displayInfo.bitsPerPixel = 16;
    displayInfo.format = 0;
    displayInfo.xStep = 1;
    displayInfo.yStep = DEFAULT_WIDTH;
    loadButtonCodes();
}

int presentSurface(const Surface* back) {
    if (mainLoop.quitRequested) {
        return 1;
    }
    int target;
    if (!displayInfo.fullscreenFlag) {
        target = displaySurface;
        uint16_t* out = consoleLock(target);
        memcpy(out, back->pixels, (size_t)DEFAULT_WIDTH * DEFAULT_HEIGHT * 2);
        consoleUnlock(target);
    } else {
        target = fullscreenSurface;
        uint16_t* out = consoleLock(target);
        for (int x = 0; x < DEFAULT_WIDTH; x++) {
            for (int y = 0; y < DEFAULT_HEIGHT; y++) {
                out[(x + 200) + (y + 80) * 640] = getPixel(back, x, y);
            }
        }
        consoleUnlock(target);
    }
    consoleCopy(target, console);
    consoleUpdate(console);
    platformOwnCursor(showStylusCursor);
    return 1;
}

// The window scale the game last saw; the file is written only when the player settles on another.
static int lastWindowScale = -1;

void rememberWindowScale(void) {
    int scale = platformWindowScale();
    if (scale <= 0 || displayInfo.fullscreenFlag) {
        return;
    }
    if (lastWindowScale > 0 && scale != lastWindowScale && scale != desktopOptions.scale) {
        rememberDesktopScale(scale);
    }
    lastWindowScale = scale;
}
