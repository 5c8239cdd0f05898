// Picture loading: PNG (libpng) and JPEG (libjpeg) files from the data folder into surfaces.
#pragma once

#include "gfx/surface.h"

// Loads Data/<name> into *handle: a null handle gets a surface of the picture's size, an existing one
// gets the picture drawn centred into it. A missing or broken picture leaves a 5 x 5 blank surface; one
// that is no regular file or is too long gets the missing file's box without a byte being read.
void loadPicture(const char* name, Surface** handle);
// The two decoders: 1 after a completed load, 0 when they gave up.
int loadJpegPicture(const char* path, Surface** handle);
int loadPngPicture(const char* path, Surface** handle);

// Pictures whose pixels would need more memory than this are refused like a broken file.
enum { MAX_PICTURE_PIXELS = 32 * 1024 * 1024 };
// A picture file longer than this is refused unread: even stored without compression, the largest
// picture allowed takes less.
enum { MAX_PICTURE_FILE_BYTES = 128 * 1024 * 1024 };
