// The largest single allocation made while a watch runs, seen through the sanitizer's allocation hooks.
#pragma once

#include <cstddef>

// True when the build has AddressSanitizer, the only builds in which allocations can be watched.
bool allocationWatchAvailable(void);
// Starts recording; every allocation of the process counts until allocationWatchStop.
void allocationWatchStart(void);
// Stops recording and returns the largest single request seen since the start, in bytes.
size_t allocationWatchStop(void);
