// Start-up: the one-time initialisation and the three splash screens that load the game's assets.
#pragma once

#include <cstdint>

// The sound effects, loaded into their slots during the logo splash, in this order.
struct EffectFile {
    const char* name;
    int id;
};
enum { EFFECT_FILES = 14 };
extern const EffectFile effectFiles[EFFECT_FILES];

void enterSplash(int32_t mode);
void leaveSplash(int32_t mode);
// One update of a splash: the fade counter, its hold, the loading batch at 280; returns the next mode.
int32_t updateSplash(int32_t mode);

// The loading batches (each runs once per program, from its splash).
void loadLogoBatch(void);
void loadIntroBatch(void);
