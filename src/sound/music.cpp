// The music playlist and its fade machine: fade out, swap slots 15 and 18, fade in, free the old track.
#include "sound/music.h"

#include "shell/mainloop.h"
#include "sound/mixer.h"
#include "sound/sample.h"

MusicState music;

const char* musicPlaylist[MUSIC_TRACKS] = {
    "coolcat.raw", "claudioa.raw", "percmysterya.raw", "burningloveb.raw", "slowbassorgan.raw", "spacemonkey.raw",
};

namespace {

const int FADE_STEP = 10;
const int FADE_FLOOR = -100;       // the fade rests here for the switch (silence since it passed 0)
const int UNLOAD_COUNTDOWN = 20;   // the old slot is freed 18 updates after the switch

// The music class follows the player's music volume scaled by the fade.
void applyFade(void) {
    setVolume(1, music.musicFade > 0 ? music.volume * music.musicFade / 255 : 0);
}

// Fade at its floor: the wanted track starts in the other slot at fade 0.
void switchTrack(void) {
    music.musicSlot = music.musicSlot == MUSIC_SLOT_A ? MUSIC_SLOT_B : MUSIC_SLOT_A;
    music.unloadCountdown = UNLOAD_COUNTDOWN;
    if (music.wantedTrack >= 0 && music.wantedTrack < MUSIC_TRACKS) {
        loadSoundDoubled(musicPlaylist[music.wantedTrack], music.musicSlot, 1);
    }
    setLoopEnd(music.musicSlot);
    // A missing file leaves the slot empty and this refuses the voice: silence until the next change.
    startVoice(music.musicSlot, 1);
    music.playingTrack = music.wantedTrack;
    music.musicFade = 0;
}

}  // namespace

void musicInit(void) {
    music = MusicState{};
}

void requestMusic(int track) {
    music.requestedTrack = track;
}

void bringMusicIn(void) {
    music.musicFade = 255 + 6;
    if (music.musicFade > 255) {
        music.musicFade = 255;
    }
    applyFade();
    music.wantedTrack = music.requestedTrack;
    music.playingTrack = music.requestedTrack;
}

void musicUpdate(int32_t mode) {
    if (music.playingTrack != music.wantedTrack) {
        music.musicFade -= FADE_STEP;
        setVolume(1, music.musicFade < 0 ? 0 : music.volume * music.musicFade / 255);
        if (music.musicFade < FADE_FLOOR) {
            music.musicFade = FADE_FLOOR;
        }
        if (music.musicFade == FADE_FLOOR && music.unloadCountdown == 0) {
            switchTrack();
        }
    } else if (music.musicFade < 255) {
        // The options screen never shows a fade.
        if (mode == MODE_OPTIONS) {
            music.musicFade = 255;
        }
        music.musicFade += FADE_STEP;
        if (music.musicFade > 255) {
            music.musicFade = 255;
        }
        applyFade();
    } else if (music.requestedTrack != music.wantedTrack) {
        // Taken only when steady: the fade-out starts with the next update.
        music.wantedTrack = music.requestedTrack;
    }
    if (music.unloadCountdown > 0) {
        music.unloadCountdown--;
        if (music.unloadCountdown == 1) {
            unloadSound(music.musicSlot == MUSIC_SLOT_A ? MUSIC_SLOT_B : MUSIC_SLOT_A);
        }
    }
}
