// The desktop system as the game sees it: window and messages, clock, message boxes, framebuffer console, wave output.
//
// Two backends provide every call below: sdl/ (a real window, SDL2) and headless/ (no window, a virtual
// clock, injected messages and captured frames, for tests). Each executable links exactly one of them.
// Message numbers, virtual-key codes and message-box codes follow the Windows numbering the game was
// written against, so the game's input code reads them as they are.
//
// Threads: everything here is called on the main thread only, except the wave-output callback, which
// the backend calls on its own audio thread (see the wave output section).
#pragma once

#include <cstdint>

// ---- Messages -------------------------------------------------------------------------------------

enum {
    MSG_DESTROY = 2,
    MSG_CLOSE = 16,
    MSG_ACTIVATEAPP = 28,  // wParam 0: the window was minimised or lost the focus; 1: it is back
    MSG_QUIT = 18,
    MSG_KEYDOWN = 256,
    MSG_KEYUP = 257,
    MSG_MOUSEMOVE = 512,
    MSG_LBUTTONDOWN = 513,
    MSG_LBUTTONUP = 514,
};

// One queued message. For key messages wParam is the virtual-key code and lParam carries the scan code
// in bits 16-23; for mouse messages lParam packs the client position (x low 16 bits, y high 16 bits).
struct PlatformMessage {
    int32_t message;
    uint32_t wParam;
    int32_t lParam;
};

// The window procedure: called by platformDispatchMessage and platformSendMessage on the main thread.
typedef int32_t (*WindowProc)(int32_t message, uint32_t wParam, int32_t lParam);

// Single-instance check. Called once by the display at start-up, before the window exists.
// Returns 1 when another running copy of the game holds the name (one per user and display); 0 when this
// process now holds it. The name dies with the process, so a crash leaves no stale lock.
int platformFindOtherInstance(const char* name);
// Asks the running copy found above to bring its window to the front. Main thread, start-up only.
void platformRaiseOtherInstance(void);

// Creates the application window (class and title both `title`). fullscreen 0: a resizable window whose
// client area is a whole multiple of width x height; fullscreen 1: a width x height logical screen
// scaled to the desktop. Returns 1 on success, 0 on failure. Called once by the display at start-up.
int platformCreateWindow(const char* title, int fullscreen, int width, int height, WindowProc proc);
// Size of the window's client area in the coordinates that mouse messages use (for the fullscreen build:
// the logical 640 x 480 screen). May be 0 x 0 while minimised. Called by the window procedure.
void platformClientSize(int* width, int* height);
// The whole-number scale the frame is shown at in the window now (the window keeps the frame's shape:
// the largest scale that fits, centred, black around); 0 while the windowed build fills the desktop.
// Read by the display to remember the player's window size.
int platformWindowScale(void);
// The player's choices for the windowed build: the window's whole scale (0: the largest up to 4 that
// fits the desktop) and whether to start filling the desktop. The display, before platformCreateWindow.
void platformWindowPreferences(int scale, int desktopFullscreen);
// 1 while the game draws its own stylus cursor: the desktop's pointer is then hidden over the frame.
// The display tells it with every present.
void platformOwnCursor(int drawn);

// Takes the next message without waiting; returns 1 with *msg filled, 0 when the queue is empty.
// Called by the main loop's pump.
int platformPeekMessage(PlatformMessage* msg);
// Nothing to translate on our systems (characters are produced by platformToAscii); kept so the pump
// reads as it was written. Main loop's pump.
void platformTranslateMessage(const PlatformMessage* msg);
// Calls the window procedure with the message; returns its result. Main loop's pump.
int32_t platformDispatchMessage(const PlatformMessage* msg);
// Appends a message to the queue. Any main-thread caller (window procedure, game).
void platformPostMessage(int32_t message, uint32_t wParam, int32_t lParam);
// Calls the window procedure at once (re-entrantly when called from inside it). Game and overlay.
int32_t platformSendMessage(int32_t message, uint32_t wParam, int32_t lParam);
// Posts MSG_QUIT with wParam = exitCode. Window procedure on MSG_DESTROY.
void platformPostQuitMessage(int32_t exitCode);

// Virtual-key codes of key messages (wParam), numbered as the system numbers them. Letters and digits
// are their upper-case ASCII codes ('A', '0'); the runs VK_NUMPAD0..9, VK_F1..F12 and VK_F13..F24 are
// consecutive.
enum {
    VK_CANCEL = 3,
    VK_BACK = 8,  // Backspace
    VK_TAB = 9,
    VK_CLEAR = 12,
    VK_RETURN = 13,
    VK_SHIFT = 16,
    VK_CONTROL = 17,
    VK_MENU = 18,  // Alt
    VK_PAUSE = 19,
    VK_CAPITAL = 20,  // Caps Lock
    VK_ESCAPE = 27,
    VK_SPACE = 32,
    VK_PRIOR = 33,  // Page Up
    VK_NEXT = 34,   // Page Down
    VK_END = 35,
    VK_HOME = 36,
    VK_LEFT = 37,
    VK_UP = 38,
    VK_RIGHT = 39,
    VK_DOWN = 40,
    VK_SELECT = 41,
    VK_EXECUTE = 43,
    VK_SNAPSHOT = 44,  // Print Screen
    VK_INSERT = 45,
    VK_DELETE = 46,
    VK_HELP = 47,
    VK_LWIN = 91,
    VK_RWIN = 92,
    VK_APPS = 93,  // the context-menu key
    VK_SLEEP = 95,
    VK_NUMPAD0 = 96,
    VK_NUMPAD1 = 97,
    VK_NUMPAD9 = 105,
    VK_MULTIPLY = 106,  // keypad operators
    VK_ADD = 107,
    VK_SEPARATOR = 108,
    VK_SUBTRACT = 109,
    VK_DECIMAL = 110,
    VK_DIVIDE = 111,
    VK_F1 = 112,
    VK_F12 = 123,
    VK_F13 = 124,
    VK_F24 = 135,
    VK_NUMLOCK = 144,
    VK_SCROLL = 145,
    VK_OEM_NEC_EQUAL = 146,  // keypad =
    VK_BROWSER_BACK = 166,
    VK_BROWSER_FORWARD = 167,
    VK_BROWSER_REFRESH = 168,
    VK_BROWSER_STOP = 169,
    VK_BROWSER_SEARCH = 170,
    VK_BROWSER_FAVORITES = 171,
    VK_BROWSER_HOME = 172,
    VK_VOLUME_MUTE = 173,
    VK_VOLUME_DOWN = 174,
    VK_VOLUME_UP = 175,
    VK_MEDIA_NEXT_TRACK = 176,
    VK_MEDIA_PREV_TRACK = 177,
    VK_MEDIA_STOP = 178,
    VK_MEDIA_PLAY_PAUSE = 179,
    VK_LAUNCH_MAIL = 180,
    VK_LAUNCH_MEDIA_SELECT = 181,
    VK_LAUNCH_APP1 = 182,
    VK_LAUNCH_APP2 = 183,
    VK_OEM_1 = 186,       // ; :
    VK_OEM_PLUS = 187,    // = +
    VK_OEM_COMMA = 188,   // , <
    VK_OEM_MINUS = 189,   // - _
    VK_OEM_PERIOD = 190,  // . >
    VK_OEM_2 = 191,       // / ?
    VK_OEM_3 = 192,       // ` ~
    VK_OEM_4 = 219,       // [ {
    VK_OEM_5 = 220,       // \ |
    VK_OEM_6 = 221,       // ] }
    VK_OEM_7 = 222,       // ' "
    VK_OEM_102 = 226,     // the extra key beside the left Shift on some keyboards
    VK_CRSEL = 247,
    VK_EXSEL = 248,
};

// Keyboard translation like the system's ToAscii: writes the character that virtual key `vk` produces
// with the current Shift state into *out and returns 1; returns 0 and leaves *out alone for keys that
// produce no character. Window procedure, key messages.
int platformToAscii(uint32_t vk, uint32_t scanCode, uint16_t* out);

// ---- Gamepad --------------------------------------------------------------------------------------

// Gamepad buttons, d-pad and the left stick's four directions arrive as key messages with the
// system's own gamepad virtual-key codes (the stick's as it crosses half way out, and back).
enum {
    VK_GAMEPAD_A = 0xC3,
    VK_GAMEPAD_B = 0xC4,
    VK_GAMEPAD_X = 0xC5,
    VK_GAMEPAD_Y = 0xC6,
    VK_GAMEPAD_RIGHT_SHOULDER = 0xC7,
    VK_GAMEPAD_LEFT_SHOULDER = 0xC8,
    VK_GAMEPAD_DPAD_UP = 0xCB,
    VK_GAMEPAD_DPAD_DOWN = 0xCC,
    VK_GAMEPAD_DPAD_LEFT = 0xCD,
    VK_GAMEPAD_DPAD_RIGHT = 0xCE,
    VK_GAMEPAD_MENU = 0xCF,  // Start
    VK_GAMEPAD_VIEW = 0xD0,  // Back
    VK_GAMEPAD_LEFT_THUMBSTICK_BUTTON = 0xD1,
    VK_GAMEPAD_RIGHT_THUMBSTICK_BUTTON = 0xD2,
    VK_GAMEPAD_LEFT_THUMBSTICK_UP = 0xD3,
    VK_GAMEPAD_LEFT_THUMBSTICK_DOWN = 0xD4,
    VK_GAMEPAD_LEFT_THUMBSTICK_RIGHT = 0xD5,
    VK_GAMEPAD_LEFT_THUMBSTICK_LEFT = 0xD6,
};
// Where the left stick of the gamepad used last stands now: each axis -32768..32767 (right, down
// positive); 0, 0 without a gamepad. Main loop, once a pass.
void platformGamepadStick(int* x, int* y);

// ---- Clock ----------------------------------------------------------------------------------------

// Performance-counter frequency in ticks per second; returns 0 when there is none. Main loop at start-up.
int platformCounterFrequency(int64_t* ticksPerSecond);
// Current performance-counter value in ticks. Any thread (the mixer reads it on the audio thread).
int64_t platformCounter(void);
// Sleeps the calling thread. Main loop while suspended.
void platformSleep(int milliseconds);
// Waits until the counter reaches `until` or input arrives, whichever is first. Main loop, when a pass
// had nothing to show.
void platformWaitUntil(int64_t until);

// ---- Message boxes ----------------------------------------------------------------------------------

enum {
    MB_TYPE_OK = 0,
    MB_TYPE_RETRYCANCEL = 5,
};
enum {
    MB_RESULT_OK = 1,
    MB_RESULT_CANCEL = 2,
    MB_RESULT_RETRY = 4,
};
// Shows a modal box and returns which button was pressed. With no display the text goes to stderr and
// the result is OK (Cancel for a Retry/Cancel box). Main thread.
int platformMessageBox(const char* text, const char* title, int type);

// ---- Framebuffer console ----------------------------------------------------------------------------

// The console library the display draws through. Handles are small positive numbers; 0 is none.
// All calls: main thread, from the display (start-up and present).
int consoleCreateFormat(int bits, uint32_t redMask, uint32_t greenMask, uint32_t blueMask, uint32_t alphaMask);
int consoleCreate(void);
// Understood options: "windowed output", "fullscreen output", "default width %d", "default height %d";
// others are accepted and ignored. Returns 1 when understood.
int consoleOption(int console, const char* option);
// Opens the console inside the application window at the size the options gave.
int consoleOpen(int console, int window);
int consoleCreateSurface(int width, int height, int format);
// Pixel memory of a console surface: rows one after another, width 16-bit pixels each.
uint16_t* consoleLock(int surface);
void consoleUnlock(int surface);
// Copies the whole surface onto the console's drawing area.
void consoleCopy(int surface, int console);
// Makes the console's contents visible (paced by the display's refresh where the system offers it).
void consoleUpdate(int console);

// ---- Wave output ------------------------------------------------------------------------------------

enum {
    AUDIO_OK = 0,
    AUDIO_BUSY = 1,    // the device is held by another program: the game offers Retry/Cancel
    AUDIO_FAILED = 2,  // no device, or any other error
};
// Called on the audio thread each time the device has finished playing one queued buffer. It must not
// call game code: the mixer mixes the next buffer and queues it from here.
typedef void (*AudioDoneCallback)(void);
// Opens mono signed 16-bit output at sampleRate. Main thread, start-up.
int platformAudioOpen(int sampleRate, AudioDoneCallback done);
// Queues `count` samples for playing; the memory must stay untouched until its done callback.
// Returns 1 on success. Main thread at start, then the audio thread from inside the done callback.
int platformAudioQueue(const int16_t* samples, int count);
