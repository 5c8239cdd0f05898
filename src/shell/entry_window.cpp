// Entry of the windowed build: a 240 x 320 frame in a resizable window.
#include "shell/desktop.h"
#include "shell/display.h"
#include "shell/replay.h"
#include "shell/runfolder.h"

int main(int argc, char** argv) {
    int exitCode = readDesktopFlags(argc, argv);
    if (exitCode != DESKTOP_FLAGS_RUN) {
        return exitCode;
    }
    displayInfo.fullscreenFlag = 0;
    // Before anything is opened: every file the game touches is relative to the current folder.
    if (!prepareRunFolder()) {
        return 1;
    }
    return runCommandLine(argc, argv);
}
