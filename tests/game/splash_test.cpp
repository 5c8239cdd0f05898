// The last splash: its jingle, its pictures, and the title music it leaves to. The splashes' timing and
// loading are pinned by the recorded sessions' state hashes, their pictures by the frame hashes.
#include <gtest/gtest.h>

#include "flowtest.h"
#include "field/gamevalues.h"
#include "game/game.h"
#include "game/modes.h"
#include "gfx/picture.h"
#include "shell/mainloop.h"
#include "sound/mixer.h"
#include "sound/music.h"
#include "sound/sample.h"

TEST(Splash, MonkeyPlaysItsJingleAtTwoEightyAndStartsTheTitleMusicOnLeaving) {
    FlowFixture f;
    replaceFileBytes("Sound/monkey.raw", std::vector<uint8_t>(400, 5));
    f.loadTestSound(15);
    f.goTo(MODE_SPLASH_MONKEY);
    ASSERT_NE(flowPictures.blackScreen, nullptr);
    EXPECT_EQ(flowPictures.blackScreen->width, 240);
    EXPECT_EQ(flowPictures.blackScreen->height, 320);
    EXPECT_EQ(getPixel(flowPictures.blackScreen, 120, 160), 0);
    ASSERT_NE(sounds[20].data, nullptr);
    EXPECT_EQ(sounds[20].length, 400);
    f.update(28);
    EXPECT_EQ(f.voicePlaying(20), 0);
    f.update();
    EXPECT_EQ(f.voicePlaying(20), 1);
    f.press(5, 5);
    f.runWhile(MODE_SPLASH_MONKEY, 100);
    EXPECT_EQ(mainLoop.currentMode, MODE_MAIN_MENU);
    EXPECT_EQ(music.requestedTrack, 0);
    EXPECT_EQ(f.voicePlaying(15), 0);
    f.apply();
    EXPECT_EQ(flowPictures.blackScreen, nullptr);
    EXPECT_EQ(flowPictures.monkey, nullptr);
    EXPECT_EQ(f.voicePlaying(15), 1);
    EXPECT_EQ(sounds[15].loopEnd, sounds[15].length);
}
