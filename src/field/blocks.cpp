// Block types: reading the block description file, redrawing the field, drawing power-up marks.
#include "field/blocks.h"

#include <cstdio>
#include <cstring>

#include "field/effects.h"
#include "field/gamevalues.h"
#include "field/level.h"
#include "field/powerup.h"
#include "gfx/blit.h"
#include "shell/datafile.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "shell/runfolder.h"

BlockType blockTypes[MAX_BLOCK_TYPES];
int32_t blockTypeCount = 0;
void (*drawEditorOverlay)(void) = nullptr;

const BlockType* blockTypeOf(int type) {
    static const BlockType none = {};
    if (type < 0 || type >= blockTypeCount) {
        return &none;
    }
    return &blockTypes[type];
}

// The fields keep only the number's low bits.
int32_t readNumber(const char* text) {
    while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\v' || *text == '\f' || *text == '\r') {
        text++;
    }
    int negative = 0;
    if (*text == '-' || *text == '+') {
        negative = *text == '-';
        text++;
    }
    uint32_t value = 0;
    while (*text >= '0' && *text <= '9') {
        value = value * 10u + (uint32_t)(*text - '0');
        text++;
    }
    if (negative) {
        value = 0u - value;
    }
    return (int32_t)value;
}

namespace {
// The reader's state: the field being read and the fields of the current record.
struct DescriptionReader {
    char field[MAX_DESCRIPTION_FIELD_TEXT + 1];
    int32_t fieldLength;
    char fields[MAX_DESCRIPTION_FIELDS][MAX_DESCRIPTION_FIELD_TEXT + 1];
    int32_t fieldCount;
    int32_t inside;
};
}  // namespace

static DescriptionReader reader;

static void endField(void) {
    if (reader.fieldCount < MAX_DESCRIPTION_FIELDS) {
        memcpy(reader.fields[reader.fieldCount], reader.field, (size_t)reader.fieldLength + 1);
        reader.fieldCount++;
    }
    reader.fieldLength = 0;
    reader.field[0] = 0;
}

static void endRecord(void) {
    if (reader.fieldCount == 5 && strcmp(reader.fields[0], "block") == 0 && blockTypeCount < MAX_BLOCK_TYPES) {
        BlockType* t = &blockTypes[blockTypeCount];
        memset(t, 0, sizeof(*t));
        t->cellX = (uint16_t)readNumber(reader.fields[1]);
        t->cellY = (uint16_t)readNumber(reader.fields[2]);
        t->width = (uint8_t)readNumber(reader.fields[3]);
        t->height = (uint8_t)readNumber(reader.fields[4]);
        blockTypeCount++;
        logMessage(1, ".");
    }
    reader.fieldCount = 0;
    reader.inside = 0;
}

void loadBlockDescriptions(int number) {
    blockTypeCount = 0;
    char path[512];
    snprintf(path, sizeof(path), "%sblocks%d.txt", runPaths.dataPath, number);
    FILE* file = openDataFile(path, MAX_BLOCK_FILE_BYTES, nullptr);
    if (file == nullptr) {
        logColoured(1, "[ERROR] block description not found\n", LOG_ERROR);
        return;
    }
    memset(&reader, 0, sizeof(reader));
    int c = fgetc(file);
    while (c != EOF) {
        int next = fgetc(file);
        if (c == '\r' && next == '\n') {
            // A line end written as CR LF reads as one line break, as text files do where they were made.
        } else if (c == '[') {
            reader.fieldLength = 0;
            reader.field[0] = 0;
            reader.fieldCount = 0;
            reader.inside = 1;
        } else if (c == ',') {
            endField();
        } else if (c == ']') {
            endField();
            endRecord();
        } else if (reader.inside && reader.fieldLength < MAX_DESCRIPTION_FIELD_TEXT) {
            reader.field[reader.fieldLength++] = (char)c;
            reader.field[reader.fieldLength] = 0;
        }
        c = next;
    }
    fclose(file);
}

int powerUpMarksShown(void) {
    return mainLoop.currentMode == MODE_EDITOR || game.cheats.seePowerUps != 0 || powerUps.counts[POWERUP_REVEAL] > 0;
}

void redrawField(void) {
    if (currentLevel.fieldPicture == nullptr || currentLevel.backgroundPicture == nullptr) {
        return;
    }
    blitCentred(currentLevel.fieldPicture, currentLevel.backgroundPicture);
    int marks = powerUpMarksShown();
    for (int i = 0; i < currentLevel.blockCount; i++) {
        const LevelBlock* r = &currentLevel.blocks[i];
        const BlockType* t = blockTypeOf(r->type);
        if (currentLevel.blocksPicture != nullptr) {
            blit(currentLevel.fieldPicture, r->x, r->y, r->width, r->height, currentLevel.blocksPicture, t->cellX,
                 t->cellY, BLIT_TRANSPARENT);
        }
        if (r->powerUp != 0 && marks) {
            drawPowerUpMark(currentLevel.fieldPicture, r->x + (r->width >> 1), r->y + (r->height >> 1), 0,
                            r->powerUp - 1);
        }
        if (currentLevel.blocksPicture != nullptr && currentLevel.collisionMap != nullptr) {
            blit(currentLevel.collisionMap, r->x, r->y, r->width, r->height, currentLevel.blocksPicture, t->cellX,
                 t->cellY, BLIT_SILHOUETTE,
                 0xF800);
        }
    }
    if (mainLoop.currentMode == MODE_EDITOR) {
        if (drawEditorOverlay != nullptr) {
            drawEditorOverlay();
        }
        return;
    }
    if (effects.spritesPicture != nullptr && currentLevel.collisionMap != nullptr) {
        for (int i = 0; i < game.lives && i < 32; i++) {
            blit(currentLevel.fieldPicture, currentLevel.collisionMap->width - 9 - 7 * i, 1, 7, 7,
                 effects.spritesPicture, 0, 32, BLIT_ALPHA_BLEND,
                 255 - 4 * i);
        }
    }
}

void drawPowerUpMark(Surface* dst, int x, int y, int phase, int kind) {
    if (effects.powerUpsPicture == nullptr || dst == nullptr) {
        return;
    }
    int ox = game.shakeX, oy = game.shakeY;
    blit(dst, x + ox - 12, y + oy - 12, 24, 24, effects.powerUpsPicture, kind * 24, 48, BLIT_ADDITIVE, -(phase & 31));
    blitMasked(dst, x - 8 - ox, y - 8 - oy, 16, 16, effects.powerUpsPicture, kind * 24 + 4, 4, effects.powerUpsPicture,
               kind * 24 + 4, 28);
}
