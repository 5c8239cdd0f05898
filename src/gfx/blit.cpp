// The sprite blitter (interim: Copy only, until the full set of modes lands).
#include "gfx/blit.h"

void blit(Surface* dst, int dx, int dy, int w, int h, const Surface* src, int sx, int sy, int32_t mode,
          int32_t param) {
    (void)mode;
    (void)param;
    for (int j = 0; j < h; j++) {
        for (int i = 0; i < w; i++) {
            if (sx + i >= 0 && sy + j >= 0 && sx + i < src->width && sy + j < src->height) {
                putPixel(dst, dx + i, dy + j, getPixel(src, sx + i, sy + j));
            }
        }
    }
}
