// Finding the game data and preparing the player's folder the game runs in.
#include "shell/runfolder.h"

#include "platform/platform.h"

#include <dirent.h>
#include <errno.h>
#include <limits.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

RunPaths runPaths;

static const char* const BOX_TITLE = "Plinkor";

static bool isFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

static bool hasGameData(const std::string& folder) {
    return isFile(folder + "/Data/loading.png");
}

// The canonical form of an existing path, or the path itself when it cannot be resolved.
static std::string resolved(const std::string& path) {
    char buffer[PATH_MAX];
    if (realpath(path.c_str(), buffer) == nullptr) {
        return path;
    }
    return buffer;
}

static std::string homeFolder() {
    const char* home = getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return home;
    }
    struct passwd* entry = getpwuid(getuid());
    if (entry != nullptr && entry->pw_dir != nullptr && entry->pw_dir[0] == '/') {
        return entry->pw_dir;
    }
    return "";
}

static std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

static int copyOut(const std::string& text, char* out, int size) {
    if (text.empty() || (int)text.size() >= size) {
        return 0;
    }
    memcpy(out, text.c_str(), text.size() + 1);
    return 1;
}

int playerFolderPath(char* out, int size) {
    // Relative values are to be ignored, so a stray setting cannot scatter files into the current folder.
    const char* xdg = getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return copyOut(withoutTrailingSlashes(xdg) + "/plinkor", out, size);
    }
    std::string home = homeFolder();
    if (home.empty()) {
        return 0;
    }
    return copyOut(withoutTrailingSlashes(home) + "/.local/share/plinkor", out, size);
}

int picturesFolderPath(char* out, int size) {
    std::string home = homeFolder();
    if (home.empty()) {
        return 0;
    }
    home = withoutTrailingSlashes(home);
    std::string answer;
    FILE* pipe = popen("xdg-user-dir PICTURES 2>/dev/null", "r");
    if (pipe != nullptr) {
        char line[PATH_MAX];
        if (fgets(line, sizeof(line), pipe) != nullptr) {
            answer = line;
        }
        // A missing program is the shell's exit code 127, with nothing printed.
        if (pclose(pipe) != 0) {
            answer.clear();
        }
    }
    while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r')) {
        answer.pop_back();
    }
    answer = withoutTrailingSlashes(answer);
    // xdg-user-dir answers with the home folder itself when no pictures folder is configured.
    if (answer.empty() || answer[0] != '/' || answer == home) {
        answer = home + "/Pictures";
    }
    return copyOut(answer, out, size);
}

// Makes every missing folder along `path` with `mode`; true when the whole path is a folder.
static bool makeFolders(const std::string& path, mode_t mode) {
    for (size_t at = 1; at <= path.size(); at++) {
        if (at == path.size() || path[at] == '/') {
            std::string part = path.substr(0, at);
            if (mkdir(part.c_str(), mode) != 0 && errno != EEXIST) {
                return false;
            }
        }
    }
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Files only the player writes: a build's run folder may hold the developer's own, which are not data.
static bool belongsToPlayer(const std::string& name) {
    if (name == "settings.dat") {
        return true;
    }
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0) {
        return true;
    }
    if (name.size() > 11 && name.compare(0, 7, "Plinkor") == 0 && name.compare(name.size() - 4, 4, ".dat") == 0) {
        for (size_t i = 7; i < name.size() - 4; i++) {
            if (name[i] < '0' || name[i] > '9') {
                return false;
            }
        }
        return true;
    }
    return false;
}

// Points `link` at `target` unless it already does; a real file or folder in its place is the player's
// and stays. True unless the link could not be made.
static bool refreshLink(const std::string& target, const std::string& link) {
    struct stat info;
    if (lstat(link.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            return true;
        }
        char current[PATH_MAX];
        ssize_t length = readlink(link.c_str(), current, sizeof(current) - 1);
        if (length >= 0) {
            current[length] = 0;
            if (target == current) {
                return true;
            }
        }
        if (unlink(link.c_str()) != 0) {
            return false;
        }
    }
    return symlink(target.c_str(), link.c_str()) == 0;
}

// Links every data file of `source` into the player's folder `target`, and drops links that no longer
// lead to one (a file the data lost, a data folder that moved).
static bool linkFolder(const std::string& source, const std::string& target, std::string& failed) {
    if (!makeFolders(target, 0755)) {
        failed = target;
        return false;
    }
    std::vector<std::string> linked;
    DIR* dir = opendir(source.c_str());
    if (dir == nullptr) {
        failed = source;
        return false;
    }
    bool ok = true;
    while (struct dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name[0] == '.' || belongsToPlayer(name) || !isFile(source + "/" + name)) {
            continue;
        }
        if (!refreshLink(source + "/" + name, target + "/" + name)) {
            failed = target + "/" + name;
            ok = false;
            break;
        }
        linked.push_back(name);
    }
    closedir(dir);
    if (!ok) {
        return false;
    }
    dir = opendir(target.c_str());
    if (dir == nullptr) {
        failed = target;
        return false;
    }
    std::vector<std::string> stale;
    while (struct dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        struct stat info;
        if (lstat((target + "/" + name).c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            continue;
        }
        bool current = false;
        for (const std::string& done : linked) {
            current = current || done == name;
        }
        if (!current) {
            stale.push_back(name);
        }
    }
    closedir(dir);
    for (const std::string& name : stale) {
        unlink((target + "/" + name).c_str());
    }
    return true;
}

// Screenshots go to the player's pictures: "My Documents" is a link to a Plinkor folder there. Without
// one, screenshots are simply not saved, as on a device without the folder; the game still runs.
static void linkPictures(const std::string& playerDir) {
    char pictures[PATH_MAX];
    std::string link = playerDir + "/My Documents";
    struct stat info;
    if (lstat(link.c_str(), &info) == 0 && !S_ISLNK(info.st_mode)) {
        return;
    }
    if (!picturesFolderPath(pictures, sizeof(pictures))) {
        return;
    }
    std::string folder = std::string(pictures) + "/Plinkor";
    if (!makeFolders(folder, 0755) || !refreshLink(folder, link)) {
        fprintf(stderr, "Plinkor: screenshots cannot be saved: %s: %s\n", folder.c_str(), strerror(errno));
    }
}

static int refuse(const std::string& text) {
    platformMessageBox(text.c_str(), BOX_TITLE, MB_TYPE_OK);
    return 0;
}

int prepareRunFolderFrom(const char* const* candidates, int count) {
    char buffer[PATH_MAX];
    std::string here = getcwd(buffer, sizeof(buffer)) != nullptr ? buffer : ".";
    std::string playerDir;
    if (playerFolderPath(buffer, sizeof(buffer))) {
        playerDir = buffer;
    }
    // A folder that holds the data already is run in as it is (a build's run folder, a copied game),
    // except the player's own folder, whose links are refreshed like at any other start.
    bool playersOwn = !playerDir.empty() && (resolved(here) == resolved(playerDir) ||
                                             resolved(here) == resolved(playerDir + "/player"));
    if (hasGameData(here) && !playersOwn) {
        return 1;
    }
    std::vector<std::string> places = {here};
    std::string source;
    for (int i = 0; i < count; i++) {
        if (candidates[i] == nullptr || candidates[i][0] == 0) {
            continue;
        }
        std::string candidate = withoutTrailingSlashes(candidates[i]);
        bool listed = false;
        for (const std::string& place : places) {
            listed = listed || place == candidate;
        }
        if (!listed) {
            places.push_back(candidate);
        }
        if (source.empty() && hasGameData(candidate)) {
            source = resolved(candidate);
        }
    }
    if (source.empty()) {
        std::string looked;
        for (const std::string& place : places) {
            looked += (looked.empty() ? "" : ", ") + place;
        }
        return refuse("Plinkor's game data was not found; looked in: " + looked);
    }
    if (playerDir.empty()) {
        return refuse("Plinkor cannot find the home folder to keep the player's files in.");
    }
    // Installed per user into ~/.local, the data itself occupies the player's folder: the player's files
    // then go one level down, where reinstalling the data cannot overwrite them.
    if (source == resolved(playerDir)) {
        playerDir += "/player";
    }
    // The player's folder is private, as the desktop's rules for per-user data ask.
    std::string failed;
    bool ready = makeFolders(playerDir, 0700) || (failed = playerDir, false);
    ready = ready && linkFolder(source + "/Data", playerDir + "/Data", failed) &&
            linkFolder(source + "/Sound", playerDir + "/Sound", failed);
    ready = ready && (makeFolders(playerDir + "/Custom", 0755) || (failed = playerDir + "/Custom", false));
    ready = ready && (chdir(playerDir.c_str()) == 0 || (failed = playerDir, false));
    if (!ready) {
        return refuse("Plinkor cannot prepare its folder " + failed + ": " + strerror(errno));
    }
    linkPictures(playerDir);
    return 1;
}

int prepareRunFolder(void) {
    std::string candidates[3];
    char exe[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
    if (length > 0) {
        exe[length] = 0;
        std::string folder = exe;
        folder = folder.substr(0, folder.rfind('/'));
        candidates[0] = folder + "/run";
        candidates[1] = resolved(folder + "/..") + "/share/plinkor";
    }
#ifdef PLINKOR_SHARE_DIR
    candidates[2] = PLINKOR_SHARE_DIR;
#endif
    const char* list[3] = {candidates[0].c_str(), candidates[1].c_str(), candidates[2].c_str()};
    return prepareRunFolderFrom(list, 3);
}
