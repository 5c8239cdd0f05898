// The level designs' shared pieces: rows, outlines, ellipses, fences, maze furnishing, and the dispatch.
#include <cmath>
#include <vector>

#include "blockset.h"
#include "designs.h"
#include "fieldscheme.h"

namespace levelset {

void centredRow(LevelDraft& d, int y, int n, int type, int gap) {
    int w = blockCell(type).width;
    int total = n * w + (n - 1) * gap;
    int x0 = (FIELD_WIDTH - total) / 2;
    for (int i = 0; i < n; i++) {
        place(d, x0 + i * (w + gap), y, type);
    }
}

void outline(LevelDraft& d, int x, int y, int w, int h, int type) {
    const BlockCell& c = blockCell(type);
    for (int i = 0; i < w; i++) {
        place(d, x + i * c.width, y, type);
        if (h > 1) {
            place(d, x + i * c.width, y + (h - 1) * c.height, type);
        }
    }
    for (int j = 1; j < h - 1; j++) {
        place(d, x, y + j * c.height, type);
        if (w > 1) {
            place(d, x + (w - 1) * c.width, y + j * c.height, type);
        }
    }
}

void designLevel(LevelDraft& d) {
    if (d.index < 50) {
        designEarlyLevel(d);
    } else if (d.index < 75) {
        designLateLevel(d);
    } else {
        designFinalLevel(d);
    }
}

// Blocks centred on an ellipse, skipped where they do not fit.
void ellipse(LevelDraft& d, double cx, double cy, double rx, double ry, int count, int type, double start) {
    const BlockCell& c = blockCell(type);
    for (int i = 0; i < count; i++) {
        double a = start + i * 2 * M_PI / count;
        placeIfFits(d, (int)std::lround(cx + rx * cos(a) - c.width / 2.0), (int)std::lround(cy + ry * sin(a) - c.height / 2.0),
                    type);
    }
}

// A metal fence across the field at row y with `gaps` openings two plates wide, spread evenly and
// moved `shift` plates to the right.
void fence(LevelDraft& d, int y, int gaps, int shift) {
    std::vector<uint8_t> open(22, 0);
    for (int k = 0; k < gaps; k++) {
        int centre = (2 * k + 1) * 22 / (2 * gaps) + shift;
        for (int i = centre - 1; i <= centre; i++) {
            if (i >= 0 && i < 22) {
                open[(size_t)i] = 1;
            }
        }
    }
    for (int i = 0; i < 22; i++) {
        if (!open[(size_t)i]) {
            place(d, 10 + 10 * i, y, T_METAL);
        }
    }
}

// Furnishes maze rooms: a tile or a cluster of gems in each, by turns.
void furnishRooms(LevelDraft& d, const std::vector<std::pair<int, int>>& rooms, int room, int tileEvery) {
    for (size_t i = 0; i < rooms.size(); i++) {
        int x = rooms[i].first, y = rooms[i].second;
        int mid = room / 2;
        if (tileEvery > 0 && i % (size_t)tileEvery == 0) {
            place(d, x + mid - 5, y + mid - 5, TILES[i % 5]);
        } else {
            place(d, x + mid - 5, y + mid - 5, GEMS[i % 3]);
            place(d, x + mid, y + mid, GEMS[(i + 1) % 3]);
        }
    }
}

}  // namespace levelset
