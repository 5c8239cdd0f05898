// The SDL2 backend: single-instance name, window, message queue, clock, message boxes, console.
#include <SDL.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <fcntl.h>

#include <cstdio>
#include <cstring>
#include <deque>

#include "platform/keyboard.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_present.h"

namespace {

struct SdlState {
    SDL_Window* window = nullptr;
    int fullscreen = 0;
    int logicalWidth = 240, logicalHeight = 320;  // console size from its options
    WindowProc proc = nullptr;
    std::deque<PlatformMessage> queue;
    bool closeSent = false;
    int instanceSocket = -1;  // listening; holds the system-wide name while we run
    bool buttonHeld = false;  // the left button went down on the frame and is not up yet
    // Console surfaces: at most two are ever made (the display's 240 x 320 and 640 x 480).
    struct ConsoleSurface {
        int width, height;
        uint16_t* pixels;
    } surfaces[8];
    int surfaceCount = 0;
};

SdlState sdl;

// The instance name lives in Linux's abstract socket namespace: it vanishes with the process.
void instanceAddress(const char* name, sockaddr_un* address, socklen_t* length) {
    memset(address, 0, sizeof(*address));
    address->sun_family = AF_UNIX;
    int n = snprintf(address->sun_path + 1, sizeof(address->sun_path) - 1, "%s-game-instance", name);
    *length = (socklen_t)(offsetof(sockaddr_un, sun_path) + 1 + n);
}

const char* instanceName = "Plinkor";

bool videoReady(void) {
    return SDL_WasInit(SDL_INIT_VIDEO) != 0;
}

// A second copy connects to ask us to come to the front.
void serviceInstanceSocket(void) {
    if (sdl.instanceSocket < 0) {
        return;
    }
    while (true) {
        int client = accept(sdl.instanceSocket, nullptr, nullptr);
        if (client < 0) {
            return;
        }
        char request[16] = {0};
        ssize_t got = read(client, request, sizeof(request) - 1);
        close(client);
        if (got > 0 && strncmp(request, "raise", 5) == 0 && sdl.window != nullptr) {
            SDL_RestoreWindow(sdl.window);
            SDL_ShowWindow(sdl.window);
            SDL_RaiseWindow(sdl.window);
        }
    }
}

uint32_t virtualKeyOf(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) {
        return (uint32_t)('A' + (key - SDLK_a));
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return (uint32_t)('0' + (key - SDLK_0));
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return (uint32_t)(112 + (key - SDLK_F1));
    }
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) {
        return (uint32_t)(97 + (key - SDLK_KP_1));
    }
    switch (key) {
    case SDLK_KP_0: return 96;
    case SDLK_BACKSPACE: return 8;
    case SDLK_TAB: return 9;
    case SDLK_RETURN: case SDLK_KP_ENTER: return 13;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return 16;
    case SDLK_LCTRL: case SDLK_RCTRL: return 17;
    case SDLK_LALT: case SDLK_RALT: return 18;
    case SDLK_PAUSE: return 19;
    case SDLK_CAPSLOCK: return 20;
    case SDLK_ESCAPE: return 27;
    case SDLK_SPACE: return 32;
    case SDLK_PAGEUP: return 33;
    case SDLK_PAGEDOWN: return 34;
    case SDLK_END: return 35;
    case SDLK_HOME: return 36;
    case SDLK_LEFT: return 37;
    case SDLK_UP: return 38;
    case SDLK_RIGHT: return 39;
    case SDLK_DOWN: return 40;
    case SDLK_INSERT: return 45;
    case SDLK_DELETE: return 46;
    case SDLK_KP_MULTIPLY: return 106;
    case SDLK_KP_PLUS: return 107;
    case SDLK_KP_MINUS: return 109;
    case SDLK_KP_PERIOD: return 110;
    case SDLK_KP_DIVIDE: return 111;
    case SDLK_SEMICOLON: return 186;
    case SDLK_EQUALS: return 187;
    case SDLK_COMMA: return 188;
    case SDLK_MINUS: return 189;
    case SDLK_PERIOD: return 190;
    case SDLK_SLASH: return 191;
    case SDLK_BACKQUOTE: return 192;
    case SDLK_LEFTBRACKET: return 219;
    case SDLK_BACKSLASH: return 220;
    case SDLK_RIGHTBRACKET: return 221;
    case SDLK_QUOTE: return 222;
    default: return 0;
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
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
        case SDL_QUIT:
            pushClose();
            break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
                pushClose();
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
            break;
        }
    }
}

}  // namespace

// ---- Instance ----

int platformFindOtherInstance(const char* name) {
    instanceName = name;
    sockaddr_un address;
    socklen_t length;
    instanceAddress(name, &address, &length);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return 0;
    }
    if (bind(fd, (sockaddr*)&address, length) != 0) {
        close(fd);
        return 1;
    }
    listen(fd, 4);
    fcntl(fd, F_SETFL, O_NONBLOCK);
    sdl.instanceSocket = fd;
    return 0;
}

void platformRaiseOtherInstance(void) {
    sockaddr_un address;
    socklen_t length;
    instanceAddress(instanceName, &address, &length);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return;
    }
    if (connect(fd, (sockaddr*)&address, length) == 0) {
        ssize_t sent = write(fd, "raise", 5);
        (void)sent;
    }
    close(fd);
}

// ---- Window and messages ----

int platformCreateWindow(const char* title, int fullscreen, int width, int height, WindowProc proc) {
    // While the button is held the mouse is captured, so a release beside the window ends the press.
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "1");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    // Decided before video starts: the probe for the GL renderer runs in a child of a process without
    // a display connection.
    Uint32 flags = SDL_WINDOW_SHOWN | presentChoosePath();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        fprintf(stderr, "Plinkor: no display: %s\n", SDL_GetError());
        return 0;
    }
    sdl.fullscreen = fullscreen;
    sdl.proc = proc;
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
        outerWidth = width * scale;
        outerHeight = height * scale;
        flags |= SDL_WINDOW_RESIZABLE;
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
    return 1;
}

void platformClientSize(int* width, int* height) {
    if (sdl.window == nullptr) {
        *width = 0;
        *height = 0;
        return;
    }
    if (sdl.fullscreen) {
        // Mouse positions arrive in the logical 640 x 480 screen.
        *width = sdl.logicalWidth;
        *height = sdl.logicalHeight;
        return;
    }
    if (SDL_GetWindowFlags(sdl.window) & SDL_WINDOW_MINIMIZED) {
        *width = 0;
        *height = 0;
        return;
    }
    // Mouse positions arrive relative to the frame, which keeps its shape inside the window.
    FrameLayout layout = presentWindowLayout();
    *width = layout.width;
    *height = layout.height;
}

int platformWindowScale(void) {
    return presentWindowLayout().scale;
}

void platformOwnCursor(int drawn) {
    presentPointerOwn(drawn);
}

int platformPeekMessage(PlatformMessage* msg) {
    if (sdl.queue.empty()) {
        serviceInstanceSocket();
        if (videoReady()) {
            translateEvents();
        }
    }
    if (sdl.queue.empty()) {
        return 0;
    }
    *msg = sdl.queue.front();
    sdl.queue.pop_front();
    return 1;
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
    return translateVirtualKey(vk, shift, out);
}

// ---- Clock ----

int platformCounterFrequency(int64_t* ticksPerSecond) {
    uint64_t f = SDL_GetPerformanceFrequency();
    if (f == 0) {
        return 0;
    }
    *ticksPerSecond = (int64_t)f;
    return 1;
}

int64_t platformCounter(void) {
    return (int64_t)SDL_GetPerformanceCounter();
}

void platformSleep(int milliseconds) {
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
    bool retry = type == MB_TYPE_RETRYCANCEL;
    if (videoReady() || SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
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
        int pressed = 0;
        if (SDL_ShowMessageBox(&data, &pressed) == 0 && pressed > 0) {
            return pressed;
        }
        if (SDL_ShowMessageBox(&data, &pressed) == 0) {
            return retry ? MB_RESULT_CANCEL : MB_RESULT_OK;
        }
    }
    fprintf(stderr, "%s: %s\n", title, text);
    return retry ? MB_RESULT_CANCEL : MB_RESULT_OK;
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
    presentCopy(sdl.surfaces[surface - 1].pixels);
}

void consoleUpdate(int console) {
    (void)console;
    presentShow();
}
