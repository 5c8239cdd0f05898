// The SDL backend's present: GL, SDL's software renderer or our own scaler into the window's pixels.
#include "platform/sdl/sdl_present.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

struct PresentState {
    int path = PRESENT_DIRECT;
    int fullscreen = 0;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int frameWidth = 240, frameHeight = 320;  // console size, pixels
    const uint16_t* frame = nullptr;          // the last frame given; null before the first
    bool fresh = false;                       // a frame was given since the last present
    // Direct path: the window surface last drawn into and its pixel format.
    SDL_Surface* surface = nullptr;
    int surfaceWidth = 0, surfaceHeight = 0;
    Uint32 surfaceFormat = SDL_PIXELFORMAT_UNKNOWN;
    PixelFormat pixel{};
    bool bordersDirty = true;  // the area around the frame must be painted black again
    PresentPacer pacer{};
    SDL_Scancode heldToggle = SDL_SCANCODE_UNKNOWN;  // the toggle key whose release we still swallow
    int pointerOwn = 0;
    int pointerHidden = 0;
    int pointerX = -1, pointerY = -1;
};

PresentState present;
// Every 16-bit frame pixel in the window surface's format (built when that format is first seen).
uint32_t pixelTable[PIXEL_TABLE_SIZE];

bool softwareName(const char* renderer) {
    char lower[128];
    size_t n = 0;
    for (; renderer[n] != 0 && n < sizeof(lower) - 1; n++) {
        lower[n] = (char)tolower((unsigned char)renderer[n]);
    }
    lower[n] = 0;
    return strstr(lower, "llvmpipe") != nullptr || strstr(lower, "softpipe") != nullptr ||
           strstr(lower, "swrast") != nullptr || strstr(lower, "software") != nullptr;
}

// A GPU driver shows itself as a DRM node or NVIDIA's control device; without one GL can only run in
// software, and asking would cost a GL context's start-up.
bool gpuDevicePresent(void) {
    if (access("/dev/nvidiactl", F_OK) == 0) {
        return true;
    }
    DIR* dri = opendir("/dev/dri");
    if (dri == nullptr) {
        return false;
    }
    bool found = false;
    while (dirent* e = readdir(dri)) {
        if (strncmp(e->d_name, "card", 4) == 0 || strncmp(e->d_name, "renderD", 7) == 0) {
            found = true;
        }
    }
    closedir(dri);
    return found;
}

// Asks a child process which GL renderer this display has, so that our own process never maps the GL
// libraries unless it uses them. Returns 1 for real hardware, 0 for a software rasteriser or no GL.
int hardwareGl(void) {
    if (!gpuDevicePresent()) {
        return 0;
    }
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return 0;
    }
    pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        return 0;
    }
    if (child == 0) {
        close(fds[0]);
        char name[128] = "";
        if (SDL_Init(SDL_INIT_VIDEO) == 0) {
            SDL_Window* w = SDL_CreateWindow("probe", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
            SDL_GLContext context = w != nullptr ? SDL_GL_CreateContext(w) : nullptr;
            typedef const unsigned char* (*GetString)(unsigned);
            GetString getString = context != nullptr ? (GetString)SDL_GL_GetProcAddress("glGetString") : nullptr;
            const unsigned char* text = getString != nullptr ? getString(0x1F01) : nullptr;  // GL_RENDERER
            if (text != nullptr) {
                snprintf(name, sizeof(name), "%s", (const char*)text);
            }
        }
        ssize_t sent = write(fds[1], name, strlen(name) + 1);
        (void)sent;
        _exit(0);
    }
    close(fds[1]);
    char name[128] = "";
    size_t got = 0;
    pollfd p{fds[0], POLLIN, 0};
    // A broken driver must not hold up the start for long.
    while (got < sizeof(name) - 1 && poll(&p, 1, 2000) == 1) {
        ssize_t n = read(fds[0], name + got, sizeof(name) - 1 - got);
        if (n <= 0) {
            break;
        }
        got += (size_t)n;
    }
    name[got] = 0;
    close(fds[0]);
    if (waitpid(child, nullptr, WNOHANG) == 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    if (name[0] == 0) {
        fprintf(stderr, "Plinkor: no OpenGL; drawing the frame directly\n");
        return 0;
    }
    if (softwareName(name)) {
        fprintf(stderr, "Plinkor: OpenGL renderer \"%s\" runs in software; drawing the frame directly\n", name);
        return 0;
    }
    return 1;
}

void sleepTicks(int64_t ticks) {
    if (ticks <= 0) {
        return;
    }
    int64_t ns = ticks * 1000000000 / (int64_t)SDL_GetPerformanceFrequency();
    timespec t{(time_t)(ns / 1000000000), (long)(ns % 1000000000)};
    while (nanosleep(&t, &t) != 0) {
    }
}

void pacedPresentBegin(void) {
    int64_t now = (int64_t)SDL_GetPerformanceCounter();
    sleepTicks(pacerWait(&present.pacer, now));
}

void pacedPresentEnd(void) {
    pacerPresented(&present.pacer, (int64_t)SDL_GetPerformanceCounter());
}

// The window surface's format as our scaler understands it; false for formats it does not write.
bool describeSurface(const SDL_PixelFormat* f, PixelFormat* out) {
    if ((f->BytesPerPixel != 2 && f->BytesPerPixel != 4) || f->palette != nullptr || f->Rmask == 0) {
        return false;
    }
    out->bytesPerPixel = f->BytesPerPixel;
    out->redShift = f->Rshift;
    out->greenShift = f->Gshift;
    out->blueShift = f->Bshift;
    out->redBits = 8 - f->Rloss;
    out->greenBits = 8 - f->Gloss;
    out->blueBits = 8 - f->Bloss;
    out->opaque = f->Amask;
    return true;
}

bool openRenderer(Uint32 flags) {
    present.renderer = SDL_CreateRenderer(present.window, -1, flags);
    if (present.renderer == nullptr) {
        return false;
    }
    SDL_RendererInfo info;
    int vsync = 0;
    if (SDL_GetRendererInfo(present.renderer, &info) == 0) {
        vsync = (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
    }
    SDL_DisplayMode mode;
    int refresh = 0;
    if (SDL_GetWindowDisplayMode(present.window, &mode) == 0) {
        refresh = mode.refresh_rate;
    }
    pacerStart(&present.pacer, (int64_t)SDL_GetPerformanceFrequency(), refresh, vsync);
    SDL_SetRenderDrawColor(present.renderer, 0, 0, 0, 255);
    SDL_RenderClear(present.renderer);
    SDL_RenderPresent(present.renderer);
    return true;
}

void showWithRenderer(void) {
    if (present.texture == nullptr) {
        present.texture = SDL_CreateTexture(present.renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                            present.frameWidth, present.frameHeight);
        if (present.texture == nullptr) {
            return;
        }
    }
    // Our pixels keep bit 5 at 0, so red 5 / green 5 / blue 5 read as RGB565 show the right colours.
    SDL_UpdateTexture(present.texture, nullptr, present.frame, present.frameWidth * 2);
    int w = 0, h = 0;
    SDL_GetRendererOutputSize(present.renderer, &w, &h);
    FrameLayout layout = layoutFrame(present.frameWidth, present.frameHeight, w, h);
    SDL_Rect target{layout.x, layout.y, layout.width, layout.height};
    SDL_RenderClear(present.renderer);
    SDL_RenderCopy(present.renderer, present.texture, nullptr, &target);
    pacedPresentBegin();
    SDL_RenderPresent(present.renderer);
    pacedPresentEnd();
}

// Returns false when the window's pixels are in a format our scaler does not write.
bool showDirect(bool paced) {
    SDL_Surface* s = SDL_GetWindowSurface(present.window);
    if (s == nullptr) {
        return true;
    }
    if (s->format->format != present.surfaceFormat) {
        if (!describeSurface(s->format, &present.pixel)) {
            return false;
        }
        buildPixelTable(present.pixel, pixelTable);
        present.surfaceFormat = s->format->format;
        present.bordersDirty = true;
    }
    if (s != present.surface || s->w != present.surfaceWidth || s->h != present.surfaceHeight) {
        present.surface = s;
        present.surfaceWidth = s->w;
        present.surfaceHeight = s->h;
        present.bordersDirty = true;
    }
    FrameLayout layout = layoutFrame(present.frameWidth, present.frameHeight, s->w, s->h);
    if (SDL_MUSTLOCK(s)) {
        SDL_LockSurface(s);
    }
    scaleFrame(present.frame, present.frameWidth, present.frameHeight, pixelTable, present.pixel, layout,
               (uint8_t*)s->pixels, s->w, s->h, s->pitch, present.bordersDirty ? 1 : 0);
    if (SDL_MUSTLOCK(s)) {
        SDL_UnlockSurface(s);
    }
    if (paced) {
        pacedPresentBegin();
    }
    if (present.bordersDirty) {
        SDL_UpdateWindowSurface(present.window);
        present.bordersDirty = false;
    } else {
        // Only the frame changed: send just its rectangle to the display.
        SDL_Rect r{layout.x, layout.y, layout.width, layout.height};
        SDL_Rect all{0, 0, s->w, s->h};
        SDL_Rect shown;
        if (SDL_IntersectRect(&r, &all, &shown)) {
            SDL_UpdateWindowSurfaceRects(present.window, &shown, 1);
        }
    }
    if (paced) {
        pacedPresentEnd();
    }
    return true;
}

void show(bool paced) {
    if (present.frame == nullptr) {
        return;
    }
    if (present.path == PRESENT_DIRECT) {
        if (showDirect(paced)) {
            return;
        }
        // Pixels our scaler does not write (paletted, 24-bit): SDL's software renderer converts them.
        fprintf(stderr, "Plinkor: the window's pixel format is %s; using SDL's software renderer\n",
                SDL_GetPixelFormatName(present.surfaceFormat));
        present.path = PRESENT_SOFTWARE;
        if (!openRenderer(SDL_RENDERER_SOFTWARE)) {
            return;
        }
    }
    if (present.renderer != nullptr) {
        showWithRenderer();
    }
}

void updatePointer(void) {
    int hide = 0;
    if (present.pointerOwn && present.pointerX >= 0) {
        hide = onFrame(presentWindowLayout(), present.pointerX, present.pointerY);
    }
    if (hide != present.pointerHidden) {
        present.pointerHidden = hide;
        SDL_ShowCursor(hide ? SDL_DISABLE : SDL_ENABLE);
    }
}

}  // namespace

Uint32 presentChoosePath(void) {
    const char* forced = getenv("PLINKOR_PRESENT");
    const char* sdlDriver = getenv("SDL_RENDER_DRIVER");
    if (forced != nullptr && strcmp(forced, "gl") == 0) {
        present.path = PRESENT_GL;
    } else if (forced != nullptr && strcmp(forced, "software") == 0) {
        present.path = PRESENT_SOFTWARE;
    } else if (forced != nullptr && strcmp(forced, "direct") == 0) {
        present.path = PRESENT_DIRECT;
    } else {
        if (forced != nullptr && forced[0] != 0) {
            fprintf(stderr, "Plinkor: PLINKOR_PRESENT is gl, software or direct, not \"%s\"\n", forced);
        }
        if (sdlDriver != nullptr && strcmp(sdlDriver, "software") == 0) {
            present.path = PRESENT_SOFTWARE;
        } else {
            present.path = hardwareGl() ? PRESENT_GL : PRESENT_DIRECT;
        }
    }
    if (present.path != PRESENT_GL) {
        // Otherwise SDL backs the window's pixels with a GL texture of its own.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        return 0;
    }
    return SDL_WINDOW_OPENGL;
}

int presentPath(void) {
    return present.path;
}

int presentOpen(SDL_Window* window, int fullscreen, int refreshHz) {
    present.window = window;
    present.fullscreen = fullscreen;
    if (present.path == PRESENT_GL) {
        if (openRenderer(SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC)) {
            return 1;
        }
        fprintf(stderr, "Plinkor: no accelerated renderer (%s); drawing the frame directly\n", SDL_GetError());
        present.path = PRESENT_DIRECT;
    }
    if (present.path == PRESENT_SOFTWARE) {
        return openRenderer(SDL_RENDERER_SOFTWARE) ? 1 : 0;
    }
    pacerStart(&present.pacer, (int64_t)SDL_GetPerformanceFrequency(), refreshHz, 0);
    SDL_Surface* s = SDL_GetWindowSurface(window);
    if (s == nullptr) {
        fprintf(stderr, "Plinkor: no window surface: %s\n", SDL_GetError());
        return 0;
    }
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 0, 0, 0));
    SDL_UpdateWindowSurface(window);
    return 1;
}

void presentConsoleSize(int width, int height) {
    present.frameWidth = width;
    present.frameHeight = height;
    present.bordersDirty = true;
}

void presentCopy(const uint16_t* pixels) {
    present.frame = pixels;
    present.fresh = true;
}

void presentShow(void) {
    if (!present.fresh) {
        return;
    }
    present.fresh = false;
    show(true);
}

void presentRedraw(void) {
    present.bordersDirty = true;
    show(false);
}

FrameLayout presentWindowLayout(void) {
    int w = 0, h = 0;
    if (present.window != nullptr) {
        SDL_GetWindowSize(present.window, &w, &h);
    }
    return layoutFrame(present.frameWidth, present.frameHeight, w, h);
}

int presentToggleKey(const SDL_KeyboardEvent& key) {
    if (present.fullscreen || present.window == nullptr) {
        return 0;
    }
    if (key.type == SDL_KEYUP) {
        if (key.keysym.scancode == present.heldToggle) {
            present.heldToggle = SDL_SCANCODE_UNKNOWN;
            return 1;
        }
        return 0;
    }
    SDL_Keycode sym = key.keysym.sym;
    bool alt = (key.keysym.mod & KMOD_ALT) != 0;
    if (!(sym == SDLK_F11 || (alt && (sym == SDLK_RETURN || sym == SDLK_KP_ENTER)))) {
        return 0;
    }
    present.heldToggle = key.keysym.scancode;
    if (key.repeat) {
        return 1;
    }
    bool full = (SDL_GetWindowFlags(present.window) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
    SDL_SetWindowFullscreen(present.window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    present.bordersDirty = true;
    return 1;
}

void presentPointerOwn(int drawn) {
    if (drawn != present.pointerOwn) {
        present.pointerOwn = drawn;
        updatePointer();
    }
}

void presentPointerAt(int x, int y) {
    present.pointerX = x;
    present.pointerY = y;
    updatePointer();
}
