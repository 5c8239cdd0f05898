// Entry of the fullscreen build: the frame centred on a 640 x 480 screen scaled to the desktop.
#include "shell/display.h"
#include "shell/mainloop.h"
#include "shell/replay.h"

int main(int argc, char** argv) {
    fullscreenFlag = 1;
    return runCommandLine(argc, argv);
}
