// Levels: loading, saving and unloading the level block list and pictures, lookups and thumbnails.
#include "field/level.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "field/ball.h"
#include "field/blocks.h"
#include "field/debris.h"
#include "gfx/blit.h"
#include "gfx/draw.h"
#include "gfx/picture.h"
#include "shell/bytes.h"
#include "shell/datafile.h"
#include "shell/display.h"
#include "shell/log.h"
#include "shell/runfolder.h"
#include "shell/savefile.h"

LevelState currentLevel;

int screenWidth(void) {
    return backSurface != nullptr ? backSurface->width : DEFAULT_WIDTH;
}

int screenHeight(void) {
    return backSurface != nullptr ? backSurface->height : DEFAULT_HEIGHT;
}

void levelFileName(char* out, size_t size, int level) {
    snprintf(out, size, "%slevel%d.dat", runPaths.dataPath, level);
}

static void pictureName(char* out, size_t size, const char* pattern) {
    snprintf(out, size, pattern, (int)LEVEL_PICTURE_SET);
}

// Reads a whole level file into the list. Records past the 1000th are left in the file with a warning;
// a trailing partial record is ignored. Returns 1 when read, 0 when there is no such file and -1 when
// one is there but could not be read (not a regular file, too long, no permission, a read error).
static int readLevelFile(int level) {
    char path[512];
    levelFileName(path, sizeof(path), level);
    FILE* file = openDataFile(path, MAX_LEVEL_FILE_BYTES, nullptr);
    if (file == nullptr) {
        if (errno == ENOENT) {
            return 0;
        }
        logFormat(1, 0, "[WARNING] Unable to read %s: %s.\n", path, strerror(errno));
        return -1;
    }
    static uint8_t bytes[MAX_LEVEL_BLOCKS * sizeof(LevelBlock)];
    size_t got = fread(bytes, 1, sizeof(bytes), file);
    // Only a whole record past the 1000th is worth the warning; a partial one is ignored like any.
    uint8_t probe[sizeof(LevelBlock)];
    int more = fread(probe, 1, sizeof(probe), file) == sizeof(probe);
    int failed = ferror(file);
    fclose(file);
    if (failed) {
        logFormat(1, 0, "[WARNING] Unable to read %s.\n", path);
        return -1;
    }
    int count = (int)(got / sizeof(LevelBlock));
    if (more) {
        logFormat(1, 0, "[WARNING] %s holds more than %d blocks; the rest are ignored.\n", path,
                  (int)MAX_LEVEL_BLOCKS);
    }
    for (int i = 0; i < count; i++) {
        const uint8_t* b = bytes + i * sizeof(LevelBlock);
        LevelBlock* r = &currentLevel.blocks[i];
        r->x = getLe16(b);
        r->y = getLe16(b + 2);
        r->type = b[4];
        r->width = b[5];
        r->height = b[6];
        memcpy(r->reserved, b + 7, 3);
        r->powerUp = getLe16(b + 10);
    }
    currentLevel.blockCount = count;
    return 1;
}

void recolourSurface(Surface* s, int p, int w, int h) {
    if (s == nullptr || p == 0) {
        return;
    }
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            int r, g, b;
            unpackColour(getPixel(s, x, y), &r, &g, &b);
            uint16_t c = 0;
            if (p == 1) {
                c = packColour(r, b, g);
            } else if (p == 2) {
                c = packColour(g, r, b);
            } else if (p == 3) {
                c = packColour(b, r, g);
            } else {
                c = packColour(b, g, r);
            }
            putPixel(s, x, y, c);
        }
    }
}

static int recolouringOf(int level) {
    return ((level % 5) + 5) % 5;
}

int loadLevel(int level) {
    currentLevel.musicTrack = (level + 1) % 6;
    char name[64];
    pictureName(name, sizeof(name), "scheme%d.png");
    loadPicture(name, &currentLevel.collisionMap);
    pictureName(name, sizeof(name), "scheme%dv.png");
    loadPicture(name, &currentLevel.backgroundPicture);
    if (currentLevel.blocksPicture != nullptr) {
        removeSurface(&currentLevel.blocksPicture);
    }
    pictureName(name, sizeof(name), "blocks%d.png");
    loadPicture(name, &currentLevel.blocksPicture);
    loadBlockDescriptions(LEVEL_PICTURE_SET);

    int p = recolouringOf(level);
    recolourSurface(currentLevel.backgroundPicture, p, currentLevel.collisionMap->width,
                    currentLevel.collisionMap->height);
    recolourSurface(currentLevel.blocksPicture, p, currentLevel.blocksPicture->width,
                    currentLevel.blocksPicture->height);

    int read = readLevelFile(level);
    currentLevel.unreadable = read < 0;
    if (read <= 0) {
        // A missing level is an empty one, and so is one that could not be read (for play; the editor
        // never writes over it).
        currentLevel.blockCount = 0;
        currentLevel.indestructibleCount = 0;
    } else {
        // Blocks in the paddle's part of the screen are dropped; the record moved into the freed slot is
        // examined next.
        int lowest = screenHeight() - 80;
        for (int i = 0; i < currentLevel.blockCount; i++) {
            if (currentLevel.blocks[i].y > lowest) {
                removeLevelBlock(i);
                i--;
            }
        }
        currentLevel.indestructibleCount = 0;
        for (int i = 0; i < currentLevel.blockCount; i++) {
            if (currentLevel.blocks[i].type == 0) {
                currentLevel.indestructibleCount++;
            }
        }
    }
    debrisList.count = 0;
    ballList.count = 0;
    return 1;
}

int saveLevel(int level) {
    char path[512];
    levelFileName(path, sizeof(path), level);
    static uint8_t bytes[MAX_LEVEL_BLOCKS * sizeof(LevelBlock)];
    int count = currentLevel.blockCount < 0 ? 0 : (currentLevel.blockCount > MAX_LEVEL_BLOCKS ? MAX_LEVEL_BLOCKS : currentLevel.blockCount);
    for (int i = 0; i < count; i++) {
        const LevelBlock* r = &currentLevel.blocks[i];
        uint8_t* b = bytes + i * sizeof(LevelBlock);
        putLe16(b, r->x);
        putLe16(b + 2, r->y);
        b[4] = r->type;
        b[5] = r->width;
        b[6] = r->height;
        memcpy(b + 7, r->reserved, 3);
        putLe16(b + 10, r->powerUp);
    }
    // The old level survives any failure up to the rename, a full disk or a killed process included:
    // only a complete file, flushed to the disk, replaces it.
    if (!saveFileAtomically(path, bytes, (size_t)count * sizeof(LevelBlock))) {
        int error = errno;
        logMessage(1, "[ERROR] Unable to save level.\n");
        errno = error;
        return 0;
    }
    return 1;
}

// Frees one level picture, or logs which one was already gone and reports 0.
static int freeLevelPicture(Surface** handle, const char* message) {
    if (*handle == nullptr) {
        logColoured(1, message, LOG_ERROR);
        return 0;
    }
    removeSurface(handle);
    return 1;
}

int unloadLevel(void) {
    ballList.count = 0;
    if (!freeLevelPicture(&currentLevel.collisionMap, "Level Already Unloaded (scheme)\n") ||
        !freeLevelPicture(&currentLevel.backgroundPicture, "Level Already Unloaded (schemev)\n") ||
        !freeLevelPicture(&currentLevel.pristineBackground, "Level Already Unloaded (schemev2)\n") ||
        !freeLevelPicture(&currentLevel.blocksPicture, "Level Already Unloaded (blocks)\n")) {
        return 0;
    }
    blockTypeCount = 0;
    currentLevel.blockCount = 0;
    return 1;
}

void addLevelBlock(int x, int y, int type, int powerUp) {
    if (currentLevel.blockCount >= MAX_LEVEL_BLOCKS) {
        return;
    }
    const BlockType* t = blockTypeOf(type);
    LevelBlock* r = &currentLevel.blocks[currentLevel.blockCount];
    r->x = (uint16_t)x;
    r->y = (uint16_t)y;
    r->type = (uint8_t)type;
    r->width = t->width;
    r->height = t->height;
    r->powerUp = (uint16_t)powerUp;
    currentLevel.blockCount++;
}

void removeLevelBlock(int index) {
    if (index < 0 || index >= currentLevel.blockCount) {
        return;
    }
    const LevelBlock* last = &currentLevel.blocks[currentLevel.blockCount - 1];
    LevelBlock* r = &currentLevel.blocks[index];
    r->x = last->x;
    r->y = last->y;
    r->width = last->width;
    r->height = last->height;
    r->type = last->type;
    r->powerUp = last->powerUp;
    currentLevel.blockCount--;
}

int findBlockAt(int px, int py) {
    for (int i = 0; i < currentLevel.blockCount; i++) {
        const LevelBlock* r = &currentLevel.blocks[i];
        if (r->x <= px && px < r->x + r->width && r->y <= py && py < r->y + r->height) {
            return i;
        }
    }
    return -1;
}

// Halves the top-left (2 size) square of s into its top-left (size) square, four pixels to one.
static void shrinkInPlace(Surface* s, int size) {
    for (int j = 0; j < size; j++) {
        for (int i = 0; i < size; i++) {
            int r = 0, g = 0, b = 0;
            for (int k = 0; k < 4; k++) {
                int cr, cg, cb;
                unpackColour(getPixel(s, 2 * i + (k & 1), 2 * j + (k >> 1)), &cr, &cg, &cb);
                r += cr;
                g += cg;
                b += cb;
            }
            putPixel(s, i, j, packColour(r >> 2, g >> 2, b >> 2));
        }
    }
}

void makeLevelThumbnail(int level) {
    Surface* work = createSurface(THUMBNAIL_WORK_SIZE, THUMBNAIL_WORK_SIZE);
    if (currentLevel.blocksPicture != nullptr) {
        removeSurface(&currentLevel.blocksPicture);
    }
    char name[64];
    pictureName(name, sizeof(name), "blocks%d.png");
    loadPicture(name, &currentLevel.blocksPicture);
    loadBlockDescriptions(LEVEL_PICTURE_SET);
    if (readLevelFile(level) <= 0) {
        removeSurface(&currentLevel.blocksPicture);
        removeSurface(&work);
        return;
    }
    recolourSurface(currentLevel.blocksPicture, recolouringOf(level), currentLevel.blocksPicture->width,
                    currentLevel.blocksPicture->height);
    for (int n = 0; n < currentLevel.blockCount; n++) {
        const LevelBlock* r = &currentLevel.blocks[n];
        if (r->y >= THUMBNAIL_WORK_SIZE) {
            continue;
        }
        const BlockType* t = blockTypeOf(r->type);
        for (int dx = 0; dx < r->width; dx++) {
            for (int dy = 0; dy < r->height; dy++) {
                uint16_t c = getPixel(currentLevel.blocksPicture, t->cellX + dx, t->cellY + dy);
                if (c != 0) {
                    int tx = (r->x + dx) * 2 / 5, ty = (r->y + dy) * 2 / 5;
                    putPixel(work, tx, ty, blendColour(getPixel(work, tx, ty), c, 20));
                }
            }
        }
    }
    shrinkInPlace(work, 48);
    shrinkInPlace(work, 24);
    if (currentLevel.thumbnailSheet != nullptr) {
        blit(currentLevel.thumbnailSheet, (level % 10) * THUMBNAIL_SIZE, (level / 10) * THUMBNAIL_SIZE, THUMBNAIL_SIZE,
             THUMBNAIL_SIZE, work, 0, 0, BLIT_COPY);
    }
    removeSurface(&work);
    currentLevel.blockCount = 0;
    removeSurface(&currentLevel.blocksPicture);
}
