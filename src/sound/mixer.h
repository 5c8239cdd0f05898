// The software mixer and the wave output: voices, volume classes, mixing into a ring of 16 buffers.
#pragma once

#include <cstdint>

// Opens the wave output and prepares the buffers; true on success (probe 1: true once the device opened).
int soundInit(int probe);
// Queues the first two buffers when sound is enabled.
void soundStart(void);
