// Level set readers for the tests: level records, block descriptions, hint tags, recolouring.
#include "levelset_common.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shell/mainloop.h"

bool readLevelRecords(const std::string& path, std::vector<LevelRecordView>* out, long* fileSize) {
    out->clear();
    FILE* f = fopen(path.c_str(), "rb");
    if (f == nullptr) {
        return false;
    }
    std::vector<uint8_t> bytes;
    uint8_t buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    fclose(f);
    if (fileSize != nullptr) {
        *fileSize = (long)bytes.size();
    }
    for (size_t i = 0; i + 12 <= bytes.size(); i += 12) {
        const uint8_t* r = &bytes[i];
        LevelRecordView v;
        v.x = r[0] | r[1] << 8;
        v.y = r[2] | r[3] << 8;
        v.type = r[4];
        v.width = r[5];
        v.height = r[6];
        memcpy(v.reserved, r + 7, 3);
        v.powerUp = r[10] | r[11] << 8;
        out->push_back(v);
    }
    return true;
}

static int readNumber(const std::string& field) {
    size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || field[i] == '\t' || field[i] == '\n' || field[i] == '\r')) {
        i++;
    }
    int sign = 1;
    if (i < field.size() && (field[i] == '-' || field[i] == '+')) {
        sign = field[i] == '-' ? -1 : 1;
        i++;
    }
    int value = 0;
    while (i < field.size() && field[i] >= '0' && field[i] <= '9') {
        value = value * 10 + (field[i] - '0');
        i++;
    }
    return sign * value;
}

std::vector<TypeCellView> parseBlockDescriptionText(const std::string& text) {
    std::vector<TypeCellView> types;
    std::vector<std::string> fields;
    std::string field;
    bool inside = false;
    for (char ch : text) {
        if (ch == '[') {
            field.clear();
            fields.clear();
            inside = true;
        } else if (ch == ',') {
            if (fields.size() < 50) {
                fields.push_back(field);
            }
            field.clear();
        } else if (ch == ']') {
            if (fields.size() < 50) {
                fields.push_back(field);
            }
            if (!fields.empty() && fields[0] == "block" && fields.size() == 5 && types.size() < 100) {
                types.push_back(TypeCellView{readNumber(fields[1]) & 0xFFFF, readNumber(fields[2]) & 0xFFFF,
                                             readNumber(fields[3]) & 0xFF, readNumber(fields[4]) & 0xFF});
            }
            fields.clear();
            inside = false;
        } else if (inside && field.size() < 40) {
            field += ch;
        }
    }
    return types;
}

std::string readTextFile(const std::string& path) {
    std::string text;
    FILE* f = fopen(path.c_str(), "rb");
    if (f == nullptr) {
        return text;
    }
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) {
        text.append(buffer, n);
    }
    fclose(f);
    return text;
}

void prepareLevelSetPictures() {
    setGamma(128);
    snprintf(dataPath, sizeof dataPath, "./Data/");
}

void recolourArea(Surface* s, int w, int h, int p) {
    if (p == 0) {
        return;
    }
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            int r, g, b;
            unpackColour(getPixel(s, x, y), &r, &g, &b);
            int nr = r, ng = g, nb = b;
            switch (p) {
                case 1: nr = r; ng = b; nb = g; break;
                case 2: nr = g; ng = r; nb = b; break;
                case 3: nr = b; ng = r; nb = g; break;
                default: nr = b; ng = g; nb = r; break;
            }
            putPixel(s, x, y, packColour(nr, ng, nb));
        }
    }
}

bool wallPixel(uint16_t pixel) {
    int r, g, b;
    unpackColour(pixel, &r, &g, &b);
    return r == 0 && b != 0;
}

HintTags parseHintTags(const std::string& text) {
    HintTags tags;
    std::vector<std::string> fields;
    std::string field;
    bool inside = false;
    for (char ch : text) {
        if (ch == '[') {
            inside = true;
            fields.clear();
            field.clear();
        } else if (!inside) {
            continue;
        } else if (ch == '|') {
            if (fields.size() < 50) {
                fields.push_back(field);
            }
            field.clear();
        } else if (ch == ']') {
            if (fields.size() < 50) {
                fields.push_back(field);
            }
            inside = false;
            if (fields.size() == 2) {
                if (fields[0] == "show") {
                    tags.hasShow = true;
                    tags.show = atoi(fields[1].c_str());
                } else if (fields[0] == "width") {
                    tags.hasWidth = true;
                    tags.width = std::min(tags.width, atoi(fields[1].c_str()));
                } else if (fields[0] == "hint") {
                    tags.hasHint = true;
                    tags.hint = fields[1];
                }
            }
        } else if (field.size() < 1000) {
            field += ch;
        }
    }
    return tags;
}
