// The six music tracks of the playlist, composed for the generator's sequencer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

const int MUSIC_TRACK_COUNT = 6;

// The file name of track index (0 is the title music), or null.
const char* musicTrackFile(int index);
// Composes and masters track index into 16-bit samples at 11025 Hz; false with a reason when it fails.
bool renderMusicTrack(int index, std::vector<int16_t>& pcm, std::string& error);
