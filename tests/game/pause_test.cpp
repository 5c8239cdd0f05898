// Pause when away: a window minimised or left during play suspends the game and shows it dimmed, once.
#include <gtest/gtest.h>

#include <vector>

#include "flowtest.h"
#include "player.h"
#include "render_kit.h"
#include "field/gamevalues.h"
#include "game/modes.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "shell/input.h"
#include "shell/mainloop.h"

namespace {

struct Seen {
    uint32_t updates = 0;
    int32_t lives = 0, level = 0, score = 0, active = 0;
    int frames = 0;
    std::vector<uint16_t> frame;
};
Seen before, during, after;

void see(Seen* s) {
    s->updates = game.updateCounter;
    s->lives = game.lives;
    s->level = game.levelIndex;
    s->score = game.score;
    s->active = appActive;
    s->frames = headlessFrameCount();
    s->frame = headlessLastFrame();
}

// From the menu to level 1's play screen.
void startLevelOne(void) {
    waitFor(MODE_MAIN_MENU);
    tapStep(120, 122 + 24 + 5);
    waitFor(MODE_LEVEL_SELECT);
    waitPasses(30);
    tapStep(12, 80 + 12);
    waitFor(MODE_PLAY);
    waitPasses(60);
}

}  // namespace

TEST(PauseWhenAway, LeavingDuringPlaySuspendsWithOneDimmedFrameUntilAPress) {
    GameFolder folder;
    startLevelOne();
    act([]() {
        see(&before);
        headlessPushMessage(MSG_ACTIVATEAPP, 0, 0);
    });
    waitPasses(48);  // 12 s: a suspended pass sleeps 250 ms
    act([]() {
        see(&during);
        headlessMouse(MSG_LBUTTONDOWN, 120, 200);
        headlessMouse(MSG_LBUTTONUP, 120, 200);
    });
    waitPasses(30);
    act([]() {
        see(&after);
        headlessPushMessage(MSG_CLOSE, 0, 0);
    });
    EXPECT_EQ(runScript(), 0);
    ASSERT_EQ(before.active, 1);
    EXPECT_EQ(during.active, 0);
    EXPECT_EQ(during.updates, before.updates);
    EXPECT_EQ(during.lives, before.lives);
    EXPECT_EQ(during.level, before.level);
    EXPECT_EQ(during.score, before.score);
    EXPECT_EQ(during.frames, before.frames + 1);
    // The frame is the last one halved, except where the caption is written.
    ASSERT_EQ(during.frame.size(), before.frame.size());
    saveFramePng("paused", during.frame, 240, 320);
    int halved = 0, text = 0;
    for (size_t i = 0; i < before.frame.size(); i++) {
        uint16_t dim = (uint16_t)((before.frame[i] >> 1) & 0x7BCF);
        if (during.frame[i] == dim) {
            halved++;
        } else if (i / 240 >= 140 && i / 240 <= 170) {
            text++;
        }
    }
    EXPECT_EQ(halved + text, (int)before.frame.size());
    EXPECT_GT(text, 100);
    EXPECT_EQ(after.active, 1);
    EXPECT_GT(after.updates, during.updates);
    EXPECT_EQ(mainLoop.currentMode, MODE_PLAY);
}

TEST(PauseWhenAway, OnlyDuringPlayAndOnlyWhenOn) {
    GameFolder folder;
    waitFor(MODE_MAIN_MENU);
    waitPasses(10);
    act([]() { headlessPushMessage(MSG_ACTIVATEAPP, 0, 0); });
    waitPasses(5);
    act([]() { see(&before); });
    startLevelOne();
    act([]() {
        setPauseWhenAway(false);
        headlessPushMessage(MSG_ACTIVATEAPP, 0, 0);
    });
    waitPasses(5);
    act([]() {
        see(&during);
        headlessPushMessage(MSG_CLOSE, 0, 0);
    });
    EXPECT_EQ(runScript(), 0);
    EXPECT_EQ(before.active, 1);
    EXPECT_EQ(during.active, 1);
}
