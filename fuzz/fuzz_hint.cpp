// Fuzz target: a hint file parsed and drawn as the play screen draws it, frame after frame (the box
// takes the text's height from the next frame on), at the panel's place and half off the screen.
#include "field/level.h"
#include "fuzzkit.h"
#include "field/gamevalues.h"
#include "game/hints.h"
#include "game/play.h"
#include "shell/mainloop.h"

enum { HINT_NUMBER = 5 };

const int fuzzSetUpParts = FUZZ_KIT;

static HintText parsed;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzBeginInput();
    fuzzGameReset();
    fuzzWriteDataFile("hint5.txt", data, size);

    parseHint((const char*)data, (int32_t)size, &parsed);
    layOutHintText(nullptr, 0, 0, parsed.text, 200, 0);

    // As at a level's set-up: 200 wide, centred, with the icon's glow pulsing over the frames.
    hintPanel.width = 200;
    hintPanel.x = screenWidth() / 2 - 100;
    hintPanel.y = 60;
    setUpHint(HINT_NUMBER);
    game.readyCountdown = 1000;
    for (int frame = 0; frame < 3; frame++) {
        game.updateCounter += 7;
        drawHint(backSurface, hintPanel.x, hintPanel.y, HINT_NUMBER);
    }
    drawHint(backSurface, -150, -40, HINT_NUMBER);
    drawHint(backSurface, 230, 315, HINT_NUMBER);
    return 0;
}
