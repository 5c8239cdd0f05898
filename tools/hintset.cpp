// Hint texts for the levels that introduce something, with the game's own layout rules checked at build time.
#include "hintset.h"

#include <cstdio>
#include <cstring>

#include "powerplan.h"

namespace levelset {

namespace {

struct Hint {
    int level;
    int icon;   // power-up kind shown beside the text, -1 for none
    int width;  // box width, 200 unless narrowed
    const char* text;
};

// "^" and three letters set the colour: ^ZZF yellow titles, ^ZFF red for the harmful kinds, ^AZZ cyan
// for names in the text, ^ZZZ back to the body colour.
const Hint hints[] = {
    {0, 5, 200,
     "^ZZFWelcome to Plinkor!^ZZZ\n"
     "Hold the mouse button and\n"
     "move, or use the arrow\n"
     "keys.\n"
     "Break every coloured block\n"
     "to clear the level.\n"
     "Some blocks hide capsules:\n"
     "catch them with the paddle.\n"
     "This one is ^AZZWide Paddle^ZZZ: it\n"
     "makes your paddle longer."},
    {1, 15, 200,
     "^ZZFExtra Life^ZZZ\n"
     "Catch this capsule and you\n"
     "get one more ball. Spare\n"
     "balls are shown in the top\n"
     "right corner of the field."},
    {2, 4, 200,
     "^ZZFBall Split^ZZZ\n"
     "For a while your balls\n"
     "split in two now and then.\n"
     "The more balls in play,\n"
     "the faster blocks go!"},
    {3, 12, 200,
     "^ZZFThrough Ball^ZZZ\n"
     "For a while your balls\n"
     "smash straight through\n"
     "coloured blocks instead\n"
     "of bouncing off them."},
    {4, 11, 200,
     "^ZZFLaser^ZZZ\n"
     "Your paddle fires laser\n"
     "beams upwards for a while.\n"
     "A beam breaks the first\n"
     "coloured block it meets."},
    {5, -1, 200,
     "^ZZFMetal plates^ZZZ\n"
     "Grey metal plates never break.\n"
     "Balls bounce off them, so aim\n"
     "for the gaps between them to\n"
     "reach the blocks behind.\n"
     "A level is cleared when every\n"
     "coloured block is gone."},
    {6, 13, 200,
     "^ZZFQuick Paddle^ZZZ\n"
     "Your paddle moves much\n"
     "faster for a while, so you\n"
     "reach the wild bounces\n"
     "in time."},
    {7, -1, 200,
     "^ZZFSmall is precious^ZZZ\n"
     "The smaller the block, the\n"
     "more it is worth: wide blocks\n"
     "give 2 points, the tiny gems\n"
     "50 each. Gems are hard to hit,\n"
     "so take your time."},
    {8, 17, 200,
     "^ZZFZone Up^ZZZ\n"
     "Your paddle may rise higher\n"
     "up the field for a while.\n"
     "Meet the ball early!"},
    {9, 19, 200,
     "^ZZFReveal^ZZZ\n"
     "For a while every block\n"
     "that hides a capsule shows\n"
     "its mark, so you know\n"
     "where to aim."},
    {10, -1, 200,
     "^ZZFMind the pile^ZZZ\n"
     "Broken blocks crumble to dust\n"
     "that piles up at the bottom.\n"
     "The pile lifts your paddle, and\n"
     "a ball that touches it is lost.\n"
     "If it reaches the top of your\n"
     "zone, it buries the paddle!"},
    {11, 0, 200,
     "^ZZFHoming^ZZZ\n"
     "For a while your balls are\n"
     "pulled towards the blocks\n"
     "that are left. Great for\n"
     "the last few stragglers."},
    {12, 2, 200,
     "^ZZFBall Shower^ZZZ\n"
     "A whole shower of balls\n"
     "leaps from your paddle.\n"
     "Hold on tight: the field\n"
     "will shake!"},
    {14, 21, 170,
     "^ZZFLower Pile^ZZZ\n"
     "Burns away the top of\n"
     "the dust pile right\n"
     "across the field."},
    {15, 1, 200,
     "^ZZFSlow Motion^ZZZ\n"
     "Everything moves at\n"
     "half speed for a while.\n"
     "Catch your breath!"},
    {16, -1, 200,
     "^ZZFShapes^ZZZ\n"
     "Balls bounce off the true\n"
     "outline of every block, so\n"
     "round and slanted blocks send\n"
     "them off at new angles."},
    {17, 8, 200,
     "^ZZFDemolition^ZZZ\n"
     "For a few seconds blocks\n"
     "blow up one after another,\n"
     "metal plates included."},
    {18, 3, 200,
     "^ZZFFountain^ZZZ\n"
     "A fountain of sparks\n"
     "shoots from your paddle\n"
     "and launches a few\n"
     "extra balls."},
    {20, 6, 200,
     "^ZFFBeware: Narrow Paddle^ZZZ\n"
     "Not every capsule is a\n"
     "friend. This one shrinks\n"
     "your paddle for a long\n"
     "while and costs points.\n"
     "Capsules in red tones mean\n"
     "trouble: let them fall!"},
    {21, 20, 170,
     "^ZZFDrain^ZZZ\n"
     "Clears the dust pile\n"
     "around your paddle in\n"
     "a blaze of embers."},
    {23, 9, 170,
     "^ZZFBomb^ZZZ\n"
     "Blows up a random\n"
     "block, metal or not,\n"
     "with a big bang."},
    {25, 10, 200,
     "^ZFFBeware: Sluggish Paddle^ZZZ\n"
     "Your paddle crawls along\n"
     "for a long while. Let this\n"
     "one fall if you can!"},
    {27, 7, 200,
     "^ZZFFast Balls^ZZZ\n"
     "Your balls race along,\n"
     "trailing light. More\n"
     "blocks break, but you\n"
     "need quick hands!"},
    {30, 18, 200,
     "^ZFFBeware: Zone Down^ZZZ\n"
     "Your paddle zone shrinks,\n"
     "so the pile buries you\n"
     "sooner. Costs points too."},
    {34, 16, 200,
     "^ZFFBeware: Frozen Paddle^ZZZ\n"
     "Your paddle freezes in\n"
     "place for a few seconds.\n"
     "Catch it only when the\n"
     "ball is right above you!"},
    {38, 14, 200,
     "^ZFFBeware: Ball Killer^ZZZ\n"
     "The worst of them all:\n"
     "every ball in play bursts\n"
     "at once, and 1000 points\n"
     "go with them. Keep well\n"
     "clear of it!"},
    {40, -1, 200,
     "^ZZFYou have met them all^ZZZ\n"
     "Every kind of capsule is out\n"
     "there now, the good and the\n"
     "bad. From here on, look at a\n"
     "capsule before you catch it!"},
    {50, -1, 200,
     "^ZZFHalfway there^ZZZ\n"
     "Fifty levels down, fifty to go.\n"
     "Deep mazes lie ahead: a Bomb\n"
     "or Demolition blasts a way in\n"
     "where the ball cannot go."},
    {99, -1, 200,
     "^ZZFThe last level^ZZZ\n"
     "Clear this one and you have\n"
     "beaten Plinkor. Good luck!"},
};

}  // namespace

// Rows from one hint line to the next, as the game draws them: the 6-row letters and one row between.
static const int HINT_LEADING = 7;

HintLayout layoutHint(const std::string& text, int boxWidth, bool icon) {
    const int indent = icon ? 27 : 0;
    const int margin = boxWidth - 10;
    HintLayout out{1, 0, 0};
    int cx = 0, cy = 0;
    for (size_t i = 0; i < text.size(); i++) {
        if (cy < indent && cx < indent) {
            cx = indent;
        }
        char ch = text[i];
        if (ch == '\n') {
            cx = 0;
            cy += HINT_LEADING;
            out.lines++;
            continue;
        }
        if (ch == '^') {
            i += 3;
            continue;
        }
        if (ch == '\r') {
            continue;
        }
        if (!(ch == ' ' && cx == 0)) {
            cx += 6;
            if (cx >= margin) {
                cx = 0;
                cy += HINT_LEADING;
                out.lines++;
                out.autoWraps++;
            }
        }
        if (ch == ' ' || ch == '-') {
            int count = 0;
            for (size_t j = i + 1; j < text.size(); j++) {
                char c = text[j];
                if (c == ' ' || c == '\n' || c == '-') {
                    break;
                }
                if (c == '^') {
                    j += 3;
                    continue;
                }
                if (c != '\r') {
                    count++;
                }
            }
            if (6 * count + cx > margin) {
                cx = 0;
                cy += HINT_LEADING;
                out.lines++;
                out.autoWraps++;
            }
        }
    }
    out.height = cy + 16;
    return out;
}

std::vector<int> hintLevels() {
    std::vector<int> levels;
    for (const Hint& h : hints) {
        levels.push_back(h.level);
    }
    return levels;
}

bool writeHints(const std::string& dataDir) {
    bool has[100] = {};
    for (const Hint& h : hints) {
        has[h.level] = true;
        HintLayout layout = layoutHint(h.text, h.width, h.icon >= 0);
        if (layout.autoWraps != 0 || layout.lines > 12) {
            fprintf(stderr, "plinkor-gen: hint %d does not fit its box (%d lines, %d made by the game)\n", h.level,
                    layout.lines, layout.autoWraps);
            return false;
        }
        if (strchr(h.text, '[') || strchr(h.text, ']') || strchr(h.text, '|') || strlen(h.text) >= 1000) {
            fprintf(stderr, "plinkor-gen: hint %d would break its tags\n", h.level);
            return false;
        }
        // A level that introduces a power-up must show that kind's icon.
        int fresh = kindIntroducedAt(h.level);
        if (fresh != h.icon && !(fresh < 0 && h.icon < 0)) {
            fprintf(stderr, "plinkor-gen: hint %d shows kind %d but the level introduces kind %d\n", h.level, h.icon,
                    fresh);
            return false;
        }
        std::string file;
        if (h.icon >= 0) {
            file += "[show|" + std::to_string(h.icon) + "]\n";
        }
        if (h.width != 200) {
            file += "[width|" + std::to_string(h.width) + "]\n";
        }
        file += std::string("[hint|") + h.text + "]\n";
        std::string path = dataDir + "hint" + std::to_string(h.level) + ".txt";
        FILE* f = fopen(path.c_str(), "wb");
        if (f == nullptr) {
            fprintf(stderr, "plinkor-gen: cannot write %s\n", path.c_str());
            return false;
        }
        bool ok = fwrite(file.data(), 1, file.size(), f) == file.size();
        ok = (fclose(f) == 0) && ok;
        if (!ok) {
            fprintf(stderr, "plinkor-gen: cannot finish %s\n", path.c_str());
            return false;
        }
    }
    for (int k = 0; k < POWER_UP_KINDS; k++) {
        if (!has[powerUpIntroLevel(k)]) {
            fprintf(stderr, "plinkor-gen: no hint introduces %s\n", powerUpName(k));
            return false;
        }
    }
    // Hints belong to the generator: a hint file of a level without a hint is a leftover of an older set.
    for (int n = 0; n < 100; n++) {
        if (!has[n]) {
            std::remove((dataDir + "hint" + std::to_string(n) + ".txt").c_str());
        }
    }
    return true;
}

}  // namespace levelset
