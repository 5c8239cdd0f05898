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
    int32_t requestedTrack = -1;       // what the game flow asks for, -1 none
    int32_t wantedTrack = -1;          // what the fade machine is moving to
    int32_t playingTrack = -1;         // whose voice runs
    int32_t musicFade = 255;           // -100..255; volume follows it while it is above 0
    int32_t musicSlot = MUSIC_SLOT_A;  // sound slot of the playing track: 15 or 18
    int32_t unloadCountdown = 0;       // updates until the other slot is freed
    int32_t volume = 255;              // the player's music volume, 0..255 (volume class 1, through the fade)
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
