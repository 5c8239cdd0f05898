// The music fade machine update by update: fade-out, slot switch, fade-in, the delayed unload, requests
// for the playing track, the options screen and the volume setting and a missing track.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "field/gamevalues.h"
#include "platform/headless/headless.h"
#include "sound/music.h"
#include "soundtest.h"

namespace {

class Music : public ::testing::Test {
protected:
    ScratchFolder folder;
    void SetUp() override {
        useSoundFolder();
        ASSERT_EQ(openSoundOutput(), 1);
        // Every track a different length so the slots tell which one they hold.
        for (int t = 0; t < MUSIC_TRACKS; t++) {
            writeSoundFile(musicPlaylist[t], std::vector<int16_t>(100 + 10 * t, (int16_t)(1000 * (t + 1))));
        }
        musicInit();
        // The start-up sequence: the title music in slot 15, its looping voice started after the intro.
        ASSERT_EQ(loadSoundDoubled("coolcat.raw", 15, 1), 1);
        setLoopEnd(15);
        startVoice(15, 1);
    }
    // Wanted and playing track, fade, slot, unload countdown and the music class's volume.
    static Ints machine(void) {
        return {music.wantedTrack, music.playingTrack, music.musicFade, music.musicSlot, music.unloadCountdown,
                getVolume(1)};
    }
    // Length of the track's file in the slot (the doubled loader keeps twice the samples).
    static int trackLength(int track) { return 2 * (100 + 10 * track); }
    void update(int32_t mode = MODE_MAIN_MENU) { musicUpdate(mode); }
    void updates(int n) {
        while (n-- > 0) {
            update();
        }
    }
    // Runs updates until the machine is steady again (guarded), returns how many ran.
    int runToSteady(void) {
        int n = 0;
        while ((music.playingTrack != music.wantedTrack || music.musicFade != 255) && n < 200) {
            update();
            n++;
        }
        return n;
    }
};

TEST_F(Music, TrackChangeTimelineUpdateByUpdate) {
    requestMusic(1);
    // The steady machine takes the request; the fade-out starts with the next update.
    update();
    EXPECT_EQ(machine(), (Ints{1, -1, 255, 15, 0, 255}));
    for (int k = 1; k <= 35; k++) {
        update();
        int fade = 255 - 10 * k;
        ASSERT_EQ(machine(), (Ints{1, -1, fade, 15, 0, fade < 0 ? 0 : fade})) << k;
    }
    EXPECT_EQ(sounds[18].data, nullptr);
    // The 36th update passes -100: the switch. The old track keeps its voice and samples until the unload.
    update();
    EXPECT_EQ(machine(), (Ints{1, 1, 0, 18, 19, 0}));
    ASSERT_NE(sounds[18].data, nullptr);
    const Sound& track = sounds[18];
    EXPECT_EQ((Ints{track.length, track.loopEnd, track.soundClass, track.data[0]}),
              (Ints{trackLength(1), trackLength(1), 1, 2000}));
    EXPECT_EQ((Ints{isSoundIdle(18), voiceAt(1).soundId, voiceAt(1).loop, isSoundIdle(15)}),
              (Ints{0, 18, 1, 0}));

    for (int k = 1; k <= 26; k++) {
        update();
        int fade = k < 26 ? 10 * k : 255;
        ASSERT_EQ(machine(), (Ints{1, 1, fade, 18, k < 19 ? 19 - k : 0, fade})) << k;
        // Slot 15 is freed 18 updates after the switch, never before.
        if (k < 18) {
            ASSERT_NE(sounds[15].data, nullptr) << k;
        } else if (k <= 19) {
            ASSERT_EQ(sounds[15].data, nullptr) << k;
            ASSERT_EQ(isSoundIdle(15), 1) << k;
        } else {
            ASSERT_NE(sounds[15].data, nullptr) << k;
        }
        // Reloading slot 15 by hand after the unload shows that it is freed only once.
        if (k == 19) {
            ASSERT_EQ(loadSound("coolcat.raw", 15, 1), 1);
        }
    }
    EXPECT_EQ((Ints{sounds[18].length, isSoundIdle(18)}), (Ints{trackLength(1), 0}));
    update();  // steady again
    EXPECT_EQ(machine(), (Ints{1, 1, 255, 18, 0, 255}));
}

TEST_F(Music, SlotsTakeTurnsOnEveryChangeAndTheSameTrackAgainChangesNothing) {
    requestMusic(2);
    runToSteady();
    update();
    EXPECT_EQ(runToSteady(), 36 + 26);
    EXPECT_EQ((Ints{music.musicSlot, sounds[18].length}), (Ints{18, trackLength(2)}));
    // Only the new track is left, and class 1 is back at 255 (effective 127: (3000 x 127) >> 9 = 744).
    ASSERT_EQ(liveVoiceCount(), 1);
    int index = nextWaveBuffer();
    mixBuffer();
    EXPECT_EQ(waveBuffer(index)[0], 744);
    // A request for the playing track changes nothing.
    int16_t* data = sounds[18].data;
    requestMusic(2);
    for (int i = 0; i < 60; i++) {
        update();
        ASSERT_EQ(music.musicFade, 255);
    }
    EXPECT_EQ((Ints{sounds[18].data == data, music.musicSlot}), (Ints{1, 18}));
    requestMusic(3);
    update();
    EXPECT_EQ(runToSteady(), 36 + 26);
    EXPECT_EQ(machine(), (Ints{3, 3, 255, 15, 0, 255}));
    EXPECT_EQ(sounds[18].data, nullptr);
    EXPECT_EQ((Ints{sounds[15].length, isSoundIdle(18), liveVoiceCount(), voiceAt(0).soundId}),
              (Ints{trackLength(3), 1, 1, 15}));
}

TEST_F(Music, OptionsScreenBringsTheMusicInAtOnce) {
    requestMusic(3);
    updates(11);
    EXPECT_EQ(music.musicFade, 155);
    // Entering the options: full fade, the request becomes the playing track, nothing is loaded.
    bringMusicIn();
    EXPECT_EQ(machine(), (Ints{3, 3, 255, 15, 0, 255}));
    EXPECT_EQ(sounds[18].data, nullptr);

    // A fade-in running while the options screen shows jumps to full in one update; the volume setting
    // scales the fade (128 x 30 / 255 = 15).
    music.volume = 128;
    requestMusic(0);
    updates(1 + 36 + 3);
    EXPECT_EQ((Ints{music.musicFade, getVolume(1)}), (Ints{30, 15}));
    update(MODE_OPTIONS);
    EXPECT_EQ((Ints{music.musicFade, getVolume(1)}), (Ints{255, 128}));
}

TEST_F(Music, MissingTrackFileLeavesTheMusicSilentButTheMachineGoesOn) {
    remove(("Sound/" + std::string(musicPlaylist[2])).c_str());
    requestMusic(2);
    updates(1 + 36);
    ASSERT_EQ(headlessMessageBoxes().size(), 1u);
    EXPECT_EQ(headlessMessageBoxes()[0].text + " " + headlessMessageBoxes()[0].title,
              "./Sound/percmysterya.raw File Not Found");
    EXPECT_EQ(sounds[18].data, nullptr);
    EXPECT_EQ((Ints{music.musicSlot, isSoundIdle(18), music.playingTrack}), (Ints{18, 1, 2}));
    EXPECT_EQ(runToSteady(), 26);
    EXPECT_EQ(sounds[15].data, nullptr);
    EXPECT_EQ(liveVoiceCount(), 0);
    // The next change plays again.
    requestMusic(3);
    update();
    EXPECT_EQ(runToSteady(), 36 + 26);
    EXPECT_EQ((Ints{isSoundIdle(15), (int)headlessMessageBoxes().size()}), (Ints{0, 1}));
}

}  // namespace
