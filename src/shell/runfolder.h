// The folder the game runs in: finds the game data and prepares the player's own folder around it.
//
// The game reads and writes relative to its current directory. When that directory holds no game data,
// the data is looked for beside the executable (a build's run/ folder, an installed share/plinkor), and
// the player's folder, $XDG_DATA_HOME/plinkor (default ~/.local/share/plinkor), is made current: the
// player's files (settings, high scores, levels saved by the editor, Custom/) are real files there, the
// rest are symbolic links into the read-only data, refreshed at every start. When the data is installed
// in that very folder (a per-user installation into ~/.local), the player's folder is its player/.
#pragma once

// Where the game's files lie below the run folder, set at start-up. Text, each ending in '/'.
struct RunPaths {
    char basePath[256];    // "./"
    char dataPath[256];    // "./Data/"
    char soundPath[256];   // "./Sound/"
    char customPath[256];  // "./Custom/"
};

extern RunPaths runPaths;

// First thing at start-up. Returns 1 when the current directory is ready to run the game in; 0 after
// one message box saying where the data was looked for or which folder could not be prepared.
// Looks beside the executable: its own folder's run/ (a build), ../share/plinkor beside its bin/ (an
// installation wherever it was unpacked), then the share folder chosen at build time.
int prepareRunFolder(void);

// The same with the places to look in given (absolute folders holding Data/ and Sound/, in order of
// preference; empty strings are skipped). Tests call this with folders of their own.
int prepareRunFolderFrom(const char* const* candidates, int count);

// The player's folder: $XDG_DATA_HOME/plinkor when that is an absolute path, else
// $HOME/.local/share/plinkor. Returns 0 when neither can be formed (no home).
int playerFolderPath(char* out, int size);

// The player's pictures folder: what `xdg-user-dir PICTURES` prints when that is a folder other than
// the home folder itself, else $HOME/Pictures. Returns 0 without a home.
int picturesFolderPath(char* out, int size);
