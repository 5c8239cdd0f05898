// The hint files: one for each level index that brings something new (a power-up kind, a kind of block).
#pragma once

#include <string>
#include <vector>

namespace levelset {

struct HintLayout {
    int lines;      // text lines the box shows
    int autoWraps;  // line breaks the game makes by itself (0 when every line fits as written)
    int height;     // box height the game settles on (text height + 16)
};

// Lays out a hint text as the game does (6-pixel characters, word wrap, the icon's 27 x 27 corner).
HintLayout layoutHint(const std::string& text, int boxWidth, bool icon);
// The level indices that have a hint.
std::vector<int> hintLevels();
// Writes "hint<n>.txt" for those levels, removes stale hint files of other level indices, checks layout.
bool writeHints(const std::string& dataDir);

}  // namespace levelset
