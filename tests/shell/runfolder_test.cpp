// The run folder: where the data is found, the player's folder of links and own files, the one message.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "shell/savefile.h"
#include "platform/headless/headless.h"
#include "shell/runfolder.h"
#include "support/testutil.h"

namespace fs = std::filesystem;

namespace {

std::string linkTarget(const std::string& path) {
    return fs::is_symlink(path) ? fs::read_symlink(path).string() : "";
}

void writeText(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    writeFileBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::string readText(const std::string& path) {
    std::vector<uint8_t> bytes = readFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// A scratch home and an installed data folder; xdg-user-dir is a script of the test's own, answering
// `pictures` (nothing: the program is missing).
class RunFolder : public ::testing::Test {
protected:
    ScratchFolder scratch;
    std::string root, home, data;

    void SetUp() override {
        headlessReset();
        root = scratch.path();
        home = root + "/home";
        data = root + "/share/plinkor";
        fs::create_directories(home);
        makeData(data, "stock level 3");
        setenv("HOME", home.c_str(), 1);
        unsetenv("XDG_DATA_HOME");
        setPictures("");
    }

    void makeData(const std::string& folder, const std::string& level3) {
        writeText(folder + "/Data/loading.png", "picture");
        writeText(folder + "/Data/level3.dat", level3);
        writeText(folder + "/Data/hint0.txt", "hint");
        writeText(folder + "/Data/settings.dat", "developer's settings");
        writeText(folder + "/Data/Plinkor2.dat", "developer's scores");
        writeText(folder + "/Sound/bounce.raw", "samples");
    }

    void setPictures(const std::string& answer) {
        fs::create_directories(root + "/bin");
        fs::remove(root + "/bin/xdg-user-dir");
        if (!answer.empty()) {
            writeText(root + "/bin/xdg-user-dir", "#!/bin/sh\necho '" + answer + "'\n");
            fs::permissions(root + "/bin/xdg-user-dir", fs::perms::owner_all);
        }
        setenv("PATH", (root + "/bin").c_str(), 1);
    }

    int prepare(const std::string& source) {
        const std::string missing = root + "/missing";
        const char* candidates[] = {missing.c_str(), source.c_str()};
        return prepareRunFolderFrom(candidates, 2);
    }
};

}  // namespace

// The first start makes the player's folder of links (never to a developer's own files in a build's run
// folder) and a folder for screenshots, where the desktop settings say.
TEST_F(RunFolder, FolderAndPicturesFollowTheDesktopSettings) {
    struct Case {
        const char* xdgDataHome;   // relative to the scratch root; nullptr: unset
        const char* pictures;      // xdg-user-dir's answer ("HOME": the home itself; "": no program)
        const char* player;        // expected, relative to the scratch root
        const char* screenshots;
    };
    const Case cases[] = {
        {"/xdg", "/home/Bilder", "/xdg/plinkor", "/home/Bilder/Plinkor"},
        {nullptr, "HOME", "/home/.local/share/plinkor", "/home/Pictures/Plinkor"},
        {nullptr, "", "/home/.local/share/plinkor", "/home/Pictures/Plinkor"},
        {"", "/home/Bilder/", "/home/.local/share/plinkor", "/home/Bilder/Plinkor"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.player) + " " + c.pictures);
        fs::remove_all(root + "/xdg");
        fs::remove_all(home);
        fs::create_directories(home);
        if (c.xdgDataHome == nullptr) {
            unsetenv("XDG_DATA_HOME");
        } else {
            setenv("XDG_DATA_HOME", c.xdgDataHome[0] ? (root + c.xdgDataHome).c_str() : "relative/data", 1);
        }
        setPictures(std::string(c.pictures) == "HOME" ? home : (c.pictures[0] ? root + c.pictures : ""));
        ASSERT_EQ(prepare(data), 1);
        EXPECT_EQ(fs::current_path().string(), root + c.player);
        struct stat info;
        EXPECT_TRUE(stat(".", &info) == 0 && (info.st_mode & 0777) == 0700u && info.st_uid == getuid());
        for (const char* name : {"Data/loading.png", "Data/level3.dat", "Data/hint0.txt", "Sound/bounce.raw"}) {
            EXPECT_EQ(linkTarget(name), data + "/" + name);
        }
        EXPECT_FALSE(fs::exists(fs::symlink_status("Data/settings.dat")) || fs::exists("Data/Plinkor2.dat"));
        EXPECT_TRUE(fs::is_directory(fs::symlink_status("Custom")));
        EXPECT_EQ(linkTarget("My Documents"), root + c.screenshots);
        EXPECT_TRUE(fs::is_directory(root + c.screenshots));
        EXPECT_TRUE(headlessMessageBoxes().empty());
        ASSERT_EQ(chdir(root.c_str()), 0);
    }
    EXPECT_FALSE(fs::exists(root + "/relative"));
}

// The player's own files stay (saves replace a link with a file of theirs); links follow the data to a
// new place, and started inside the player's folder the links are refreshed all the same.
TEST_F(RunFolder, PlayersFilesStayAndLinksFollowTheData) {
    ASSERT_EQ(prepare(data), 1);
    ASSERT_EQ(saveFileAtomically("Data/level3.dat", "mine", 4), 1);
    EXPECT_EQ(readText(data + "/Data/level3.dat"), "stock level 3");
    const std::string newer = root + "/newer";
    makeData(newer, "new stock level 3");
    writeText(newer + "/Data/level4.dat", "stock level 4");
    fs::remove(newer + "/Data/hint0.txt");
    ASSERT_EQ(chdir("/"), 0);
    ASSERT_EQ(prepare(newer), 1);
    EXPECT_EQ(readText("Data/level3.dat"), "mine");
    EXPECT_EQ(linkTarget("Data/level4.dat"), newer + "/Data/level4.dat");
    EXPECT_FALSE(fs::exists(fs::symlink_status("Data/hint0.txt")));
    ASSERT_EQ(prepare(data), 1);
    EXPECT_EQ(linkTarget("Data/loading.png"), data + "/Data/loading.png");
    EXPECT_FALSE(fs::exists(fs::symlink_status("Data/level4.dat")));
    EXPECT_EQ(readText("Data/level3.dat"), "mine");
}

// No data anywhere, or a home the folder cannot be made in: one message, and the game does not start.
TEST_F(RunFolder, NoDataOrAnUnwritableHomeIsOneMessage) {
    ASSERT_EQ(prepare(root + "/elsewhere"), 0);
    EXPECT_FALSE(fs::exists(home + "/.local"));
    writeText(home + "/.local", "in the way");  // permissions do not stop root: a file in the way does
    ASSERT_EQ(prepare(data), 0);
    ASSERT_EQ(headlessMessageBoxes().size(), 2u);
    EXPECT_EQ(headlessMessageBoxes()[0].title + ": " + headlessMessageBoxes()[0].text,
              "Plinkor: Plinkor's game data was not found; looked in: " + root + ", " + root + "/missing, " + root +
                  "/elsewhere");
    EXPECT_EQ(headlessMessageBoxes()[1].text.rfind("Plinkor cannot prepare its folder " + home, 0), 0u);
    EXPECT_EQ(fs::current_path().string(), root);
}
