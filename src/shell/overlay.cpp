// Overlay console state and the stylus cursor.
#include "shell/overlay.h"

OverlayState overlay;
int32_t showStylusCursor = 1;

void resetOverlay(void) {
    overlay = OverlayState{};
    overlay.logState = 1;
    overlay.visibleLines = 16;
    overlay.menuY = 200;
    overlay.menuState = 1;
    overlay.statsX = 239;
    overlay.statsState = 1;
}

void overlayPeek(void) {
    if (overlay.logState != 2 && overlay.logY < 20) {
        overlay.logState = 3;
    }
}

void drawOverlay(void) {
    // The panels and the stylus cursor are drawn here once the overlay is built.
}

int overlayInput(int32_t message, uint32_t wParam, int32_t lParam) {
    (void)message;
    (void)wParam;
    (void)lParam;
    return 0;
}
