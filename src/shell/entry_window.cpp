// Entry of the windowed build: a 240 x 320 frame in a resizable window.
#include "shell/display.h"
#include "shell/mainloop.h"
#include "shell/replay.h"

int main(int argc, char** argv) {
    fullscreenFlag = 0;
    return runCommandLine(argc, argv);
}
