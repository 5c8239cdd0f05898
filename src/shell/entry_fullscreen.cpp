// Entry of the fullscreen build: the frame centred on a 640 x 480 screen scaled to the desktop.
#include "shell/desktop.h"
#include "shell/display.h"
#include "shell/replay.h"
#include "shell/runfolder.h"

int main(int argc, char** argv) {
    int exitCode = readDesktopFlags(argc, argv);
    if (exitCode != DESKTOP_FLAGS_RUN) {
        return exitCode;
    }
    displayInfo.fullscreenFlag = 1;
    // Before anything is opened: every file the game touches is relative to the current folder.
    if (!prepareRunFolder()) {
        return 1;
    }
    return runCommandLine(argc, argv);
}
