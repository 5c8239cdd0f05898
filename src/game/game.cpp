// The game as the shell sees it before the modes exist: the start-up picture stays on screen.
#include "game/game.h"

#include "shell/mainloop.h"
#include "shell/overlay.h"

void gameInit(void) {
    currentMode = 500;
    overlay.off = 1;
}

void gameShutdown(void) {}

void enterMode(int32_t mode) {
    (void)mode;
}

void leaveMode(int32_t mode) {
    (void)mode;
}

int32_t updateMode(int32_t mode) {
    return mode;
}

int32_t renderMode(int32_t mode) {
    return mode;
}

void handleInput(int32_t message, uint32_t wParam, int32_t value) {
    (void)message;
    (void)wParam;
    (void)value;
}
