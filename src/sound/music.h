// Music: the six-track playlist and the fade machine that cross-fades between tracks, once per update.
#pragma once

#include <cstdint>

#include "sound/sample.h"

enum {
    MUSIC_TRACKS = 6,
    MUSIC_SLOT_A = SOUND_MUSIC_A,  // the title music is loaded here at start-up
    MUSIC_SLOT_B = SOUND_MUSIC_B,  // the two slots take turns, one track change each
};

struct MusicState {
    int32_t requestedTrack;   // what the game flow asks for, -1 none
    int32_t wantedTrack;      // what the fade machine is moving to
    int32_t playingTrack;     // whose voice runs
    int32_t musicFade;        // -100..255; volume follows it while it is above 0
    int32_t musicSlot;        // sound slot of the playing track: 15 or 18
    int32_t unloadCountdown;  // updates until the other slot is freed
};

extern MusicState music;
extern const char* musicPlaylist[MUSIC_TRACKS];

// Start-up: the playlist and the state at rest (slot 15, full fade, nothing requested). The music volume
// setting starts at 255.
void musicInit(void);
// The game flow asks for a track (0..5). A change starts only when the machine is steady.
void requestMusic(int track);
// Entering the options screen: the music comes in at once, at full volume, as the requested track,
// without reloading.
void bringMusicIn(void);
// Run first in every update with the current mode: fade out, switch slots, fade in, free the old track.
void musicUpdate(int32_t mode);
