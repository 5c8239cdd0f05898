// Fuzz target: a raw sample file through both sample loaders, then played through the mixer to its end.
#include "fuzzkit.h"
#include "sound/mixer.h"
#include "sound/sample.h"

enum {
    PLAIN_SLOT = 1,     // an effect, loaded as it is
    DOUBLED_SLOT = 11,  // an effect at half the rate
    MUSIC_SLOT = 15,    // a music track: doubled and looping over its whole length
    MAX_BUFFERS = 4096, // mixing stops here even if a voice has not ended
};

const int fuzzSetUpParts = FUZZ_SOUND;

// Mixes until no voice of the slot plays any more; each buffer is queued with the (headless) device.
static void mixUntilIdle(int id) {
    for (int n = 0; n < MAX_BUFFERS && !isSoundIdle(id); n++) {
        mixBuffer();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzBeginInput();
    fuzzWriteSoundFile("fuzz.raw", data, size);

    loadSound("fuzz.raw", PLAIN_SLOT, 0);
    loadSoundDoubled("fuzz.raw", DOUBLED_SLOT, 0);
    loadSoundDoubled("fuzz.raw", MUSIC_SLOT, 1);
    setLoopEnd(MUSIC_SLOT);

    // Every sample a voice can reach is read: one-shot voices to their ends, the loop round and out.
    startVoice(PLAIN_SLOT, 0);
    startVoice(DOUBLED_SLOT, 0);
    startVoice(MUSIC_SLOT, 1);
    mixUntilIdle(PLAIN_SLOT);
    mixUntilIdle(DOUBLED_SLOT);
    stopLooping(MUSIC_SLOT);
    mixUntilIdle(MUSIC_SLOT);
    startVoice(MUSIC_SLOT, 1);
    mixBuffer();
    releaseLoop(MUSIC_SLOT);
    mixUntilIdle(MUSIC_SLOT);

    // Empty slots again for the next input (unloading stops any voice still playing).
    unloadSound(PLAIN_SLOT);
    unloadSound(DOUBLED_SLOT);
    unloadSound(MUSIC_SLOT);
    return 0;
}
