// The SDL2 backend: single-instance name, window, message queue, clock, message boxes, console.
#include <SDL.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <fcntl.h>

#include <cstdio>
#include <cstring>
#include <deque>

#include "platform/journal.h"
#include "platform/keyboard.h"
#include "platform/platform.h"

namespace {

struct SdlState {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    bool vsync = false;
    int fullscreen = 0;
    int logicalWidth = 240, logicalHeight = 320;  // console size from its options
    WindowProc proc = nullptr;
    std::deque<PlatformMessage> queue;
    bool closeSent = false;
    int instanceSocket = -1;  // listening; holds the system-wide name while we run
    uint64_t lastPresent = 0;
    uint64_t refreshTicks = 0;
    // Console surfaces: at most two are ever made (the display's 240 x 320 and 640 x 480).
    struct ConsoleSurface {
        int width, height;
        uint16_t* pixels;
    } surfaces[8];
    int surfaceCount = 0;
    int copied = -1;
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

// Mouse messages only arrive for positions inside the client area, as on the original system.
bool insideClient(int x, int y) {
    int w = 0, h = 0;
    journalIgnore(1), platformClientSize(&w, &h), journalIgnore(0);
    return x >= 0 && y >= 0 && x < w && y < h;
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
            }
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            uint32_t vk = virtualKeyOf(e.key.keysym.sym);
            if (vk != 0) {
                int32_t lParam = (int32_t)(((uint32_t)e.key.keysym.scancode & 0xFF) << 16);
                sdl.queue.push_back(
                    PlatformMessage{e.type == SDL_KEYDOWN ? MSG_KEYDOWN : MSG_KEYUP, vk, lParam});
            }
            break;
        }
        case SDL_MOUSEMOTION:
            if (insideClient(e.motion.x, e.motion.y)) {
                uint32_t buttons = (e.motion.state & SDL_BUTTON_LMASK) ? 1 : 0;
                sdl.queue.push_back(PlatformMessage{MSG_MOUSEMOVE, buttons, packPosition(e.motion.x, e.motion.y)});
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (e.button.button == SDL_BUTTON_LEFT && insideClient(e.button.x, e.button.y)) {
                int32_t message = e.type == SDL_MOUSEBUTTONDOWN ? MSG_LBUTTONDOWN : MSG_LBUTTONUP;
                sdl.queue.push_back(PlatformMessage{message, e.type == SDL_MOUSEBUTTONDOWN ? 1u : 0u,
                                                    packPosition(e.button.x, e.button.y)});
            }
            break;
        default:
            break;
        }
    }
}

}  // namespace

// ---- Instance ----

int platformFindOtherInstance(const char* name) {
    if (journalReplaying()) { return journalFindOtherInstance(0); }
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
        return journalFindOtherInstance(1);
    }
    listen(fd, 4);
    fcntl(fd, F_SETFL, O_NONBLOCK);
    sdl.instanceSocket = fd;
    return journalFindOtherInstance(0);
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
    if (journalHeadless()) { sdl.proc = proc; return journalCreateWindow(1); }
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        fprintf(stderr, "Plinkor: no display: %s\n", SDL_GetError());
        return 0;
    }
    sdl.fullscreen = fullscreen;
    sdl.proc = proc;
    SDL_DisplayMode desktop;
    int refresh = 60;
    int desktopHeight = 0;
    if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
        desktopHeight = desktop.h;
        if (desktop.refresh_rate > 0) {
            refresh = desktop.refresh_rate;
        }
    }
    sdl.refreshTicks = SDL_GetPerformanceFrequency() / (uint64_t)refresh;
    Uint32 flags = SDL_WINDOW_SHOWN;
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
    sdl.renderer = SDL_CreateRenderer(sdl.window, -1, SDL_RENDERER_PRESENTVSYNC);
    if (sdl.renderer == nullptr) {
        sdl.renderer = SDL_CreateRenderer(sdl.window, -1, SDL_RENDERER_SOFTWARE);
    }
    if (sdl.renderer == nullptr) {
        fprintf(stderr, "Plinkor: cannot create a renderer: %s\n", SDL_GetError());
        return 0;
    }
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(sdl.renderer, &info) == 0) {
        sdl.vsync = (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
    }
    SDL_SetRenderDrawColor(sdl.renderer, 0, 0, 0, 255);
    SDL_RenderClear(sdl.renderer);
    SDL_RenderPresent(sdl.renderer);
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
    SDL_GetWindowSize(sdl.window, width, height);
    journalClientSize(width, height);
}

int platformPeekMessage(PlatformMessage* msg) {
    if (sdl.queue.empty()) {
        serviceInstanceSocket();
        if (videoReady()) {
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
    if (journalHeadless()) { return; }
    SDL_Delay((Uint32)milliseconds);
}

// ---- Message boxes ----

int platformMessageBox(const char* text, const char* title, int type) {
    if (journalReplaying()) { return journalMessageBox(0); }
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
            return journalMessageBox(pressed);
        }
        if (SDL_ShowMessageBox(&data, &pressed) == 0) {
            return journalMessageBox(retry ? MB_RESULT_CANCEL : MB_RESULT_OK);
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
    if (sdl.renderer == nullptr) {
        return 0;
    }
    if (sdl.fullscreen) {
        SDL_RenderSetLogicalSize(sdl.renderer, sdl.logicalWidth, sdl.logicalHeight);
    }
    // Our pixels keep bit 5 at 0, so red 5 / green 5 / blue 5 read as RGB565 show the right colours.
    sdl.texture = SDL_CreateTexture(sdl.renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                    sdl.logicalWidth, sdl.logicalHeight);
    return sdl.texture != nullptr;
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
    sdl.copied = surface - 1;
    const SdlState::ConsoleSurface& s = sdl.surfaces[sdl.copied];
    if (sdl.texture != nullptr) {
        SDL_UpdateTexture(sdl.texture, nullptr, s.pixels, s.width * 2);
    }
}

void consoleUpdate(int console) {
    (void)console;
    if (sdl.renderer == nullptr || sdl.texture == nullptr) {
        return;
    }
    SDL_RenderClear(sdl.renderer);
    SDL_RenderCopy(sdl.renderer, sdl.texture, nullptr, nullptr);
    if (!sdl.vsync) {
        // Without a synchronised present, pace to the display's refresh as vsync would, so that the
        // loop does not spin a core.
        uint64_t now = SDL_GetPerformanceCounter();
        uint64_t next = sdl.lastPresent + sdl.refreshTicks;
        if (now < next && next - now < sdl.refreshTicks * 2) {
            SDL_Delay((Uint32)((next - now) * 1000 / SDL_GetPerformanceFrequency()));
        }
        sdl.lastPresent = SDL_GetPerformanceCounter();
    }
    SDL_RenderPresent(sdl.renderer);
}
