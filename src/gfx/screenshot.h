// Screenshots: the back surface written as a 24-bit bottom-up BMP into the documents folder.
#pragma once

// Writes "Storage Card/My Documents/Plinkor<n>.BMP", or "My Documents/Plinkor<n>.BMP" when the first
// cannot be created, below the current directory; n counts from 0 in each run and skips the names that
// exist already (nothing is overwritten, no link followed). Without either folder nothing is written
// and the number is not used up.
void saveScreenshot(void);
