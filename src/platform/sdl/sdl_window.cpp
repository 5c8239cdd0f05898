// The SDL2 backend: single-instance name, window, message queue, clock, message boxes, console.
#include <SDL.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>

#include "platform/journal.h"
#include "platform/keyboard.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_gamepad.h"
#include "platform/sdl/sdl_instance.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/sdl_present.h"

namespace {

struct SdlState {
    SDL_Window* window = nullptr;
    int fullscreen = 0;
    int logicalWidth = 240, logicalHeight = 320;  // console size from its options
    WindowProc proc = nullptr;
    std::deque<PlatformMessage> queue;
    bool closeSent = false;
    bool buttonHeld = false;  // the left button went down on the frame and is not up yet
    int preferredScale = 0;    // windowed build: the player's whole scale, 0 for the largest that fits
    int startFilling = 0;      // windowed build: 1 to start at desktop fullscreen
    // Console surfaces: at most two are ever made (the display's 240 x 320 and 640 x 480).
    struct ConsoleSurface {
        int width, height;
        uint16_t* pixels;
    } surfaces[8];
    int surfaceCount = 0;
};

SdlState sdl;

bool videoReady(void) {
    return SDL_WasInit(SDL_INIT_VIDEO) != 0;
}

// Starts SDL's video. Without a display SDL falls back to a driver that shows nothing (offscreen,
// dummy): a game nobody can see would run for ever, so those count only when asked for by name.
bool startVideo(void) {
    if (videoReady()) {
        return true;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        fprintf(stderr, "Plinkor: no display: %s\n", SDL_GetError());
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = getenv("SDL_VIDEODRIVER");
    bool invisible = driver != nullptr && (strcmp(driver, "offscreen") == 0 || strcmp(driver, "dummy") == 0);
    if (invisible && (asked == nullptr || strstr(asked, driver) == nullptr)) {
        fprintf(stderr, "Plinkor: no display to show the window on (is DISPLAY set?); SDL offers only its \"%s\" "
                        "driver\n", driver);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    return true;
}

// The window comes to the front when another copy of the game asks.
void serviceOtherCopies(void) {
    if (serviceInstance() > 0 && sdl.window != nullptr) {
        SDL_RestoreWindow(sdl.window);
        SDL_ShowWindow(sdl.window);
        SDL_RaiseWindow(sdl.window);
    }
}

int32_t packPosition(int x, int y) {
    return (int32_t)(((uint32_t)y & 0xFFFF) << 16 | ((uint32_t)x & 0xFFFF));
}

// The message position of a mouse event at window position (x, y); false when it sends none.
// Fullscreen build: every event counts, mapped to the logical screen and clamped to it, so a press or
// release in the bars beside the picture arrives at its nearest edge. Windowed build: the frame is the
// client area; events beside it count only while the button pressed on it is held (the mouse is
// captured then), clamped to the frame.
bool mousePosition(int x, int y, int32_t* lParam) {
    FrameLayout layout = presentWindowLayout();
    int fx = 0, fy = 0;
    if (sdl.fullscreen) {
        clampToFrame(layout, x, y, &fx, &fy);
        *lParam = packPosition(fx / layout.scale, fy / layout.scale);
        return true;
    }
    if (!sdl.buttonHeld && !onFrame(layout, x, y)) {
        return false;
    }
    clampToFrame(layout, x, y, &fx, &fy);
    *lParam = packPosition(fx, fy);
    return true;
}

void pushClose(void) {
    if (!sdl.closeSent) {
        sdl.closeSent = true;
        sdl.queue.push_back(PlatformMessage{MSG_CLOSE, 0, 0});
    }
}

// Turns pending SDL events into window messages at the back of the queue.
void translateEvents(void) {
    gamepadPoll();
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
        case SDL_QUIT:
            pushClose();
            break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
                pushClose();
            } else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST || e.window.event == SDL_WINDOWEVENT_MINIMIZED) {
                sdl.queue.push_back(PlatformMessage{MSG_ACTIVATEAPP, 0, 0});
            } else if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
                sdl.queue.push_back(PlatformMessage{MSG_ACTIVATEAPP, 1, 0});
            } else if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                presentRedraw();
            }
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            if (presentToggleKey(e.key)) {
                break;
            }
            uint32_t vk = virtualKeyOf(e.key.keysym.sym);
            if (vk != 0) {
                int32_t lParam = (int32_t)(((uint32_t)e.key.keysym.scancode & 0xFF) << 16);
                sdl.queue.push_back(
                    PlatformMessage{e.type == SDL_KEYDOWN ? MSG_KEYDOWN : MSG_KEYUP, vk, lParam});
            }
            break;
        }
        case SDL_MOUSEMOTION: {
            int32_t lParam = 0;
            presentPointerAt(e.motion.x, e.motion.y);
            if (mousePosition(e.motion.x, e.motion.y, &lParam)) {
                uint32_t buttons = (e.motion.state & SDL_BUTTON_LMASK) ? 1 : 0;
                sdl.queue.push_back(PlatformMessage{MSG_MOUSEMOVE, buttons, lParam});
            }
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            int32_t lParam = 0;
            if (e.button.button == SDL_BUTTON_LEFT && mousePosition(e.button.x, e.button.y, &lParam)) {
                bool down = e.type == SDL_MOUSEBUTTONDOWN;
                sdl.buttonHeld = down;
                sdl.queue.push_back(PlatformMessage{down ? MSG_LBUTTONDOWN : MSG_LBUTTONUP, down ? 1u : 0u, lParam});
            }
            break;
        }
        default:
            gamepadEvent(e);
            break;
        }
    }
}

}  // namespace

// ---- Window and messages ----

int platformCreateWindow(const char* title, int fullscreen, int width, int height, WindowProc proc) {
    if (journalHeadless()) {
        sdl.proc = proc;
        return journalCreateWindow(1);
    }
    // While the button is held the mouse is captured, so a release beside the window ends the press.
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "1");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    // Decided before video starts: the probe for the GL renderer runs in a child of a process without
    // a display connection.
    Uint32 flags = SDL_WINDOW_SHOWN | presentChoosePath();
    if (!startVideo()) {
        return 0;
    }
    sdl.fullscreen = fullscreen;
    sdl.proc = proc;
    if (!gamepadStart()) {
        fprintf(stderr, "Plinkor: no gamepads: %s\n", SDL_GetError());
    }
    SDL_DisplayMode desktop;
    int refresh = 0;
    int desktopHeight = 0;
    if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
        desktopHeight = desktop.h;
        refresh = desktop.refresh_rate;
    }
    int outerWidth = width, outerHeight = height;
    if (fullscreen) {
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    } else {
        // A 240 x 320 window is tiny on today's screens: take the largest whole scale (up to 4)
        // that fits in 85% of the desktop's height.
        int scale = 1;
        for (int s = 4; s >= 1; s--) {
            if (desktopHeight == 0 || height * s <= desktopHeight * 85 / 100) {
                scale = s;
                break;
            }
        }
        if (sdl.preferredScale > 0) {
            scale = sdl.preferredScale;
        }
        outerWidth = width * scale;
        outerHeight = height * scale;
        flags |= SDL_WINDOW_RESIZABLE;
        if (sdl.startFilling) {
            flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        }
    }
    sdl.window = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, outerWidth, outerHeight,
                                  flags);
    if (sdl.window == nullptr) {
        fprintf(stderr, "Plinkor: cannot create the window: %s\n", SDL_GetError());
        return 0;
    }
    if (!fullscreen) {
        SDL_SetWindowMinimumSize(sdl.window, width, height);
    }
    presentConsoleSize(width, height);
    if (!presentOpen(sdl.window, fullscreen, refresh)) {
        fprintf(stderr, "Plinkor: cannot show frames in the window: %s\n", SDL_GetError());
        return 0;
    }
    return journalCreateWindow(1);
}

void platformClientSize(int* width, int* height) {
    if (sdl.window == nullptr) {
        *width = 0;
        *height = 0;
        journalClientSize(width, height);
        return;
    }
    if (sdl.fullscreen) {
        // Mouse positions arrive in the logical 640 x 480 screen.
        *width = sdl.logicalWidth;
        *height = sdl.logicalHeight;
        journalClientSize(width, height);
        return;
    }
    if (SDL_GetWindowFlags(sdl.window) & SDL_WINDOW_MINIMIZED) {
        *width = 0;
        *height = 0;
        journalClientSize(width, height);
        return;
    }
    // Mouse positions arrive relative to the frame, which keeps its shape inside the window.
    FrameLayout layout = presentWindowLayout();
    *width = layout.width;
    *height = layout.height;
    journalClientSize(width, height);
}

int platformWindowScale(void) {
    if (sdl.window == nullptr || sdl.fullscreen ||
        (SDL_GetWindowFlags(sdl.window) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP) {
        return 0;
    }
    return presentWindowLayout().scale;
}

void platformWindowPreferences(int scale, int desktopFullscreen) {
    sdl.preferredScale = scale;
    sdl.startFilling = desktopFullscreen;
}

void platformOwnCursor(int drawn) {
    presentPointerOwn(drawn);
}

int platformPeekMessage(PlatformMessage* msg) {
    if (sdl.queue.empty()) {
        serviceOtherCopies();
        if (SDL_WasInit(SDL_INIT_EVENTS) != 0) {
            translateEvents();
        }
    }
    if (sdl.queue.empty()) {
        return journalPeek(0, msg);
    }
    *msg = sdl.queue.front();
    sdl.queue.pop_front();
    return journalPeek(1, msg);
}

void platformTranslateMessage(const PlatformMessage* msg) {
    (void)msg;
}

int32_t platformDispatchMessage(const PlatformMessage* msg) {
    return sdl.proc != nullptr ? sdl.proc(msg->message, msg->wParam, msg->lParam) : 0;
}

void platformPostMessage(int32_t message, uint32_t wParam, int32_t lParam) {
    sdl.queue.push_back(PlatformMessage{message, wParam, lParam});
}

int32_t platformSendMessage(int32_t message, uint32_t wParam, int32_t lParam) {
    return sdl.proc != nullptr ? sdl.proc(message, wParam, lParam) : 0;
}

void platformPostQuitMessage(int32_t exitCode) {
    platformPostMessage(MSG_QUIT, (uint32_t)exitCode, 0);
}

int platformToAscii(uint32_t vk, uint32_t scanCode, uint16_t* out) {
    (void)scanCode;
    int shift = (SDL_GetModState() & KMOD_SHIFT) != 0;
    return journalToAscii(translateVirtualKey(vk, shift, out), out);
}

// ---- Clock ----

int platformCounterFrequency(int64_t* ticksPerSecond) {
    uint64_t f = SDL_GetPerformanceFrequency();
    if (f == 0) {
        return journalCounterFrequency(0, ticksPerSecond);
    }
    *ticksPerSecond = (int64_t)f;
    return journalCounterFrequency(1, ticksPerSecond);
}

int64_t platformCounter(void) {
    return journalCounter((int64_t)SDL_GetPerformanceCounter());
}

void platformSleep(int milliseconds) {
    if (journalHeadless()) {
        return;
    }
    SDL_Delay((Uint32)milliseconds);
}

void platformWaitUntil(int64_t until) {
    int64_t left = until - (int64_t)SDL_GetPerformanceCounter();
    if (left <= 0 || !videoReady()) {
        return;
    }
    int ms = (int)(left * 1000 / (int64_t)SDL_GetPerformanceFrequency());
    if (ms > 0) {
        // Wakes early for input; the event stays queued for the pump.
        SDL_WaitEventTimeout(nullptr, ms);
    }
}

// ---- Message boxes ----

int platformMessageBox(const char* text, const char* title, int type) {
    if (journalReplaying()) {
        return journalMessageBox(0);
    }
    bool retry = type == MB_TYPE_RETRYCANCEL;
    if (startVideo()) {
        SDL_MessageBoxButtonData buttons[2];
        int count = 0;
        if (retry) {
            buttons[0] = SDL_MessageBoxButtonData{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, MB_RESULT_RETRY, "Retry"};
            buttons[1] = SDL_MessageBoxButtonData{SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, MB_RESULT_CANCEL, "Cancel"};
            count = 2;
        } else {
            buttons[0] = SDL_MessageBoxButtonData{
                SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, MB_RESULT_OK, "OK"};
            count = 1;
        }
        SDL_MessageBoxData data{};
        data.flags = retry ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_ERROR;
        data.window = nullptr;
        data.title = title;
        data.message = text;
        data.numbuttons = count;
        data.buttons = buttons;
        // SDL turns SIGTERM and SIGINT into a quit event, which nobody reads while the box runs its own
        // loop: while it is up, the signals end the program as they end any other.
        struct sigaction plain = {}, oldTerm = {}, oldInt = {};
        plain.sa_handler = SIG_DFL;
        sigaction(SIGTERM, &plain, &oldTerm);
        sigaction(SIGINT, &plain, &oldInt);
        int pressed = -1;
        int shown = SDL_ShowMessageBox(&data, &pressed);
        sigaction(SIGTERM, &oldTerm, nullptr);
        sigaction(SIGINT, &oldInt, nullptr);
        if (shown == 0) {
            // Closed by the window manager (no button): the answer of the Escape key, the default
            // for a box that was dismissed.
            return journalMessageBox(pressed > 0 ? pressed : (retry ? MB_RESULT_CANCEL : MB_RESULT_OK));
        }
    }
    fprintf(stderr, "%s: %s\n", title, text);
    return journalMessageBox(retry ? MB_RESULT_CANCEL : MB_RESULT_OK);
}

// ---- Console ----

int consoleCreateFormat(int bits, uint32_t redMask, uint32_t greenMask, uint32_t blueMask, uint32_t alphaMask) {
    (void)bits;
    (void)redMask;
    (void)greenMask;
    (void)blueMask;
    (void)alphaMask;
    return 1;
}

int consoleCreate(void) {
    return 1;
}

int consoleOption(int console, const char* option) {
    (void)console;
    int value = 0;
    if (sscanf(option, "default width %d", &value) == 1 && value > 0) {
        sdl.logicalWidth = value;
        return 1;
    }
    if (sscanf(option, "default height %d", &value) == 1 && value > 0) {
        sdl.logicalHeight = value;
        return 1;
    }
    return strcmp(option, "windowed output") == 0 || strcmp(option, "fullscreen output") == 0;
}

int consoleOpen(int console, int window) {
    (void)console;
    (void)window;
    if (journalHeadless()) {
        // A replay run as fast as it goes shows nothing.
        return 1;
    }
    if (sdl.window == nullptr) {
        return 0;
    }
    presentConsoleSize(sdl.logicalWidth, sdl.logicalHeight);
    return 1;
}

int consoleCreateSurface(int width, int height, int format) {
    (void)format;
    if (sdl.surfaceCount >= 8) {
        return 0;
    }
    SdlState::ConsoleSurface& s = sdl.surfaces[sdl.surfaceCount];
    s.width = width;
    s.height = height;
    s.pixels = new uint16_t[(size_t)width * height]();
    sdl.surfaceCount++;
    return sdl.surfaceCount;
}

uint16_t* consoleLock(int surface) {
    return sdl.surfaces[surface - 1].pixels;
}

void consoleUnlock(int surface) {
    (void)surface;
}

void consoleCopy(int surface, int console) {
    (void)console;
    if (journalHeadless()) {
        return;
    }
    presentCopy(sdl.surfaces[surface - 1].pixels);
}

void consoleUpdate(int console) {
    (void)console;
    if (journalHeadless()) {
        return;
    }
    presentShow();
}
