// Desktop options: the desktop.ini reader, the write-back of a remembered scale, the command-line flags.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/desktop.h"
#include "shell/runfolder.h"
#include "support/testutil.h"

namespace {

const char* const INI = "Data/desktop.ini";

// followPointer, pauseWhenAway, skipIntro, scale, paddleSound, fullscreen
const Ints DEFAULTS = {0, 1, 0, 0, 1, 0};

Ints options(const DesktopOptions& o) {
    return {o.followPointer, o.pauseWhenAway, o.skipIntro, o.scale, o.paddleSound, o.fullscreen};
}

std::vector<uint8_t> bytesOf(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

struct DesktopFolder {
    ScratchFolder folder;
    DesktopFolder() { std::snprintf(runPaths.dataPath, sizeof(runPaths.dataPath), "./Data/"); }
};

}  // namespace

TEST(DesktopOptions, ParsesKeyValueLines) {
    struct Case {
        const char* name;
        std::string text;
        Ints expected;
        int warnings;
    };
    const std::vector<Case> cases = {
        {"empty", "", DEFAULTS, 0},
        {"every key changed",
         "follow_pointer = on\npause_when_away = off\nskip_intro = yes\nscale = 3\npaddle_sound = false\n"
         "fullscreen = 1\n",
         {1, 0, 1, 3, 0, 1}, 0},
        {"comments, blanks, no spaces, a trailing comment",
         "# my choices\n\n   # indented comment\nfollow_pointer=ON   # mine\n\tskip_intro\t=\tTrue\n",
         {1, 1, 1, 0, 1, 0}, 0},
        {"byte-order mark, CRLF line ends, no final line end", "\xEF\xBB\xBFskip_intro = on\r\n\r\n# done\r\nscale = 2",
         {0, 1, 1, 2, 1, 0}, 0},
        {"key in capitals, scale auto", "SCALE = 6\nScale = Auto\n", DEFAULTS, 0},
        {"bad values are ignored",
         "follow_pointer = maybe\nscale = 9\nscale = -1\nscale = 99999999999999999999\nscale =\n"
         "pause_when_away = of\nfullscreen = on off\n",
         DEFAULTS, 7},
        {"a bad value keeps the earlier good one", "scale = 2\nscale = x\n", {0, 1, 0, 2, 1, 0}, 1},
        {"unknown keys and stray text pass with a warning",
         "colour = red\njust some words\n= 3\nfollow_pointer # = on\nfollow_pointer = on\n", {1, 1, 0, 0, 1, 0}, 4},
    };
    for (const Case& c : cases) {
        DesktopOptions o;
        setDefaultDesktopOptions(&o);
        int warnings = parseDesktopOptions(c.text.data(), c.text.size(), &o, "desktop.ini");
        EXPECT_EQ(options(o), c.expected) << c.name;
        EXPECT_EQ(warnings, c.warnings) << c.name;
    }
}

// A missing file gives the defaults and is not created; a file over the limit gives the defaults and is
// never rewritten (it could not be written back whole), though the scale is in force for this run.
TEST(DesktopOptions, MissingOrLargeFilesAreLeftAlone) {
    DesktopFolder f;
    desktopOptions = DesktopOptions{1, 0, 1, 7, 0, 1};
    loadDesktopOptions();
    EXPECT_EQ(options(desktopOptions), DEFAULTS);
    EXPECT_FALSE(std::filesystem::exists(INI));
    std::string text;
    while (text.size() + 100 + 32 < DESKTOP_FILE_LIMIT) {
        text += "# " + std::string(97, 'x') + "\n";
    }
    text += "scale = 3\nfollow_pointer = on\n";
    writeFileBytes(INI, bytesOf(text));
    loadDesktopOptions();
    EXPECT_EQ(options(desktopOptions), (Ints{1, 1, 0, 3, 1, 0}));
    writeFileBytes(INI, bytesOf(text + text));
    loadDesktopOptions();
    EXPECT_EQ(options(desktopOptions), DEFAULTS);
    EXPECT_EQ(rememberDesktopScale(4), 0);
    EXPECT_EQ(desktopOptions.scale, 4);
    EXPECT_EQ(readFileBytes(INI), bytesOf(text + text));
}

TEST(DesktopOptions, RememberedScaleKeepsEveryOtherLine) {
    struct Case {
        const char* before;  // nullptr: no file
        int32_t scale;
        std::string after;
    };
    const std::vector<Case> cases = {
        {nullptr, 3, "# Plinkor desktop options: see README.md\nscale = 3\n"},
        // The value replaced in place, the comment and CRLF kept.
        {"# mine\nwhatever = 7\r\nscale = 2   # big\r\nfollow_pointer = on\r\n", 3,
         "# mine\nwhatever = 7\r\nscale = 3   # big\r\nfollow_pointer = on\r\n"},
        {"colour = red", 4, "colour = red\nscale = 4\n"},
        {"a = b\r\n", 0, "a = b\r\nscale = auto\r\n"},
        {"scale = 2\nscale = bad\n", 5, "scale = 2\nscale = 5\n"},
        {"scale =\n", 2, "scale = 2\n"},
    };
    for (const Case& c : cases) {
        DesktopFolder f;
        if (c.before != nullptr) {
            writeFileBytes(INI, bytesOf(c.before));
        }
        EXPECT_EQ(rememberDesktopScale(c.scale), 1) << c.after;
        EXPECT_EQ(readFileBytes(INI), bytesOf(c.after));
        desktopOptions.scale = -5;
        loadDesktopOptions();
        EXPECT_EQ(desktopOptions.scale, c.scale) << c.after;
    }
}

// Flags go over the file for this run only.
TEST(DesktopOptions, CommandLineFlags) {
    struct Case {
        std::vector<std::string> args;
        int result;
        Ints expected;        // after loading, when the game runs
        const char* message;  // on stderr (or stdout for --help)
    };
    const std::vector<Case> cases = {
        {{}, DESKTOP_FLAGS_RUN, {1, 1, 1, 4, 1, 0}, ""},
        {{"--fullscreen", "--scale", "3", "--intro", "--no-pause-when-away", "--no-paddle-sound"}, DESKTOP_FLAGS_RUN,
         {1, 0, 0, 3, 0, 1}, ""},
        {{"--scale=2", "--no-intro", "--follow-pointer", "--no-follow-pointer"}, DESKTOP_FLAGS_RUN, {0, 1, 1, 2, 1, 0}, ""},
        {{"--scale"}, 2, {}, "plinkor: --scale needs a whole number from 1 to 8"},
        {{"--scale", "0x"}, 2, {}, "not \"0x\""},
        {{"--scale=12"}, 2, {}, "--scale needs"},
        {{"--bogus"}, 2, {}, "plinkor: unknown option \"--bogus\"\nTry \"plinkor --help\" for the options."},
        {{"level7"}, 2, {}, "unknown option \"level7\""},
        {{"--no-intro", "--help", "--bogus"}, 0, {}, "--no-pause-when-away"},
    };
    DesktopFolder f;
    const std::string text = "skip_intro = on\nscale = 4\nfollow_pointer = on\n";
    writeFileBytes(INI, bytesOf(text));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "" : c.args.back());
        std::vector<char*> argv = {const_cast<char*>("/usr/games/plinkor")};
        for (const std::string& a : c.args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        clearDesktopFlags();
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        int result = readDesktopFlags((int)argv.size(), argv.data());
        std::string out = testing::internal::GetCapturedStdout(), err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(result, c.result);
        EXPECT_NE((c.result == 0 ? out : err).find(c.message), std::string::npos) << out << err;
        if (result == DESKTOP_FLAGS_RUN) {
            loadDesktopOptions();
            EXPECT_EQ(options(desktopOptions), c.expected);
        }
    }
    EXPECT_EQ(readFileBytes(INI), bytesOf(text));
}
