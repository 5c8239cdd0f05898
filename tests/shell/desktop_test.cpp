// Desktop options: the desktop.ini reader, the write-back of a remembered scale, the command-line flags.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/runfolder.h"
#include "shell/savefile.h"
#include "shell/desktop.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "support/testutil.h"

namespace {

const char* const INI = "Data/desktop.ini";

struct Expected {
    int32_t followPointer, pauseWhenAway, skipIntro, scale, paddleSound, fullscreen;
};

void expectOptions(const DesktopOptions& o, const Expected& e, const std::string& what) {
    EXPECT_EQ(o.followPointer, e.followPointer) << what;
    EXPECT_EQ(o.pauseWhenAway, e.pauseWhenAway) << what;
    EXPECT_EQ(o.skipIntro, e.skipIntro) << what;
    EXPECT_EQ(o.scale, e.scale) << what;
    EXPECT_EQ(o.paddleSound, e.paddleSound) << what;
    EXPECT_EQ(o.fullscreen, e.fullscreen) << what;
}

const Expected DEFAULTS = {0, 1, 0, 0, 1, 0};

std::vector<uint8_t> bytesOf(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::string fileText(const char* path) {
    std::vector<uint8_t> bytes = readFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void useScratchData(void) {
    std::snprintf(runPaths.dataPath, sizeof(runPaths.dataPath), "./Data/");
}

}  // namespace

TEST(DesktopOptions, ParsesKeyValueLines) {
    struct Case {
        const char* name;
        std::string text;
        Expected expected;
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
        {"CRLF line ends", "skip_intro = on\r\nscale = 2\r\n\r\n# done\r\n", {0, 1, 1, 2, 1, 0}, 0},
        {"no final line end", "scale = 4", {0, 1, 0, 4, 1, 0}, 0},
        {"byte-order mark", "\xEF\xBB\xBFscale = 5\n", {0, 1, 0, 5, 1, 0}, 0},
        {"key in capitals, scale auto", "SCALE = 6\nScale = Auto\n", DEFAULTS, 0},
        {"bad values are ignored",
         "follow_pointer = maybe\nscale = 9\nscale = -1\nscale = 99999999999999999999\nscale =\n"
         "pause_when_away = of\nfullscreen = on off\n",
         DEFAULTS, 7},
        {"a bad value keeps the earlier good one", "scale = 2\nscale = x\nskip_intro = on\nskip_intro = ?\n",
         {0, 1, 1, 2, 1, 0}, 2},
        {"unknown keys and stray text pass with a warning",
         "colour = red\njust some words\n= 3\nfollow_pointer # = on\nfollow_pointer = on\n", {1, 1, 0, 0, 1, 0}, 4},
    };
    for (const Case& c : cases) {
        DesktopOptions options;
        setDefaultDesktopOptions(&options);
        int warnings = parseDesktopOptions(c.text.data(), c.text.size(), &options, "desktop.ini");
        expectOptions(options, c.expected, c.name);
        EXPECT_EQ(warnings, c.warnings) << c.name;
    }
}

TEST(DesktopOptions, ABadValueIsNamedInTheLog) {
    clearLog();
    logLevel = 1;
    const std::string text = "# first\nscale = huge\n";
    DesktopOptions options;
    setDefaultDesktopOptions(&options);
    parseDesktopOptions(text.data(), text.size(), &options, "ini");
    std::string log;
    for (int i = LOG_LINES - 1; i >= 0; i--) {
        log += std::string(logBuffer.text[i], strnlen(logBuffer.text[i], LOG_COLUMNS));
    }
    EXPECT_NE(log.find("[WARNING] ini line 2:"), std::string::npos) << log;
    EXPECT_NE(log.find("\"huge\""), std::string::npos) << log;
    EXPECT_EQ(options.scale, DESKTOP_SCALE_AUTO);
}

TEST(DesktopOptions, MissingFileGivesDefaultsAndIsNotCreated) {
    ScratchFolder folder;
    useScratchData();
    desktopOptions = DesktopOptions{1, 0, 1, 7, 0, 1};
    loadDesktopOptions();
    expectOptions(desktopOptions, DEFAULTS, "missing");
    EXPECT_FALSE(std::filesystem::exists(INI));
}

TEST(DesktopOptions, LargeFilesAreReadUpToTheLimitAndLeftAloneAbove) {
    ScratchFolder folder;
    useScratchData();
    // Just under the limit: comments, then the options at the end still count.
    std::string comment = "# " + std::string(97, 'x') + "\n";
    std::string text;
    while (text.size() + comment.size() + 32 < DESKTOP_FILE_LIMIT) {
        text += comment;
    }
    text += "scale = 3\nfollow_pointer = on\n";
    ASSERT_LE(text.size(), (size_t)DESKTOP_FILE_LIMIT);
    writeFileBytes(INI, bytesOf(text));
    loadDesktopOptions();
    expectOptions(desktopOptions, {1, 1, 0, 3, 1, 0}, "under the limit");
    ASSERT_EQ(rememberDesktopScale(2), 1);
    loadDesktopOptions();
    EXPECT_EQ(desktopOptions.scale, 2);

    // Over it: defaults, and the file is never rewritten (it could not be written back whole).
    std::string huge = text + text;
    writeFileBytes(INI, bytesOf(huge));
    loadDesktopOptions();
    expectOptions(desktopOptions, DEFAULTS, "over the limit");
    EXPECT_EQ(rememberDesktopScale(4), 0);
    EXPECT_EQ(desktopOptions.scale, 4);  // in force for this run all the same
    EXPECT_EQ(readFileBytes(INI), bytesOf(huge));
}

TEST(DesktopOptions, RememberedScaleKeepsEveryOtherLine) {
    struct Case {
        const char* name;
        const char* before;  // nullptr: no file
        int32_t scale;
        std::string after;
    };
    const std::vector<Case> cases = {
        {"no file yet", nullptr, 3, "# Plinkor desktop options: see README.md\nscale = 3\n"},
        {"value replaced in place, comment and CRLF kept",
         "# mine\nwhatever = 7\r\nscale = 2   # big\r\nfollow_pointer = on\r\n", 3,
         "# mine\nwhatever = 7\r\nscale = 3   # big\r\nfollow_pointer = on\r\n"},
        {"appended after a last line without its end", "colour = red", 4, "colour = red\nscale = 4\n"},
        {"appended with the file's CRLF", "a = b\r\n", 0, "a = b\r\nscale = auto\r\n"},
        {"the last scale line is the one replaced", "scale = 2\nscale = bad\n", 5, "scale = 2\nscale = 5\n"},
        {"an empty value filled", "scale =\n", 2, "scale = 2\n"},
        {"an empty file", "", 1, "# Plinkor desktop options: see README.md\nscale = 1\n"},
    };
    for (const Case& c : cases) {
        ScratchFolder folder;
        useScratchData();
        if (c.before != nullptr) {
            writeFileBytes(INI, bytesOf(c.before));
        }
        EXPECT_EQ(rememberDesktopScale(c.scale), 1) << c.name;
        EXPECT_EQ(fileText(INI), c.after) << c.name;
        EXPECT_FALSE(std::filesystem::exists(std::string(INI) + ".tmp")) << c.name;
        desktopOptions.scale = -5;
        loadDesktopOptions();
        EXPECT_EQ(desktopOptions.scale, c.scale) << c.name;
    }
}

TEST(DesktopOptions, AFailedSaveLeavesTheOldFile) {
    ScratchFolder folder;
    useScratchData();
    writeFileBytes(INI, bytesOf("scale = 2\n# keep me\n"));
    saveFaults.failAfterBytes = 4;
    EXPECT_EQ(rememberDesktopScale(3), 0);
    saveFaults.failAfterBytes = -1;
    EXPECT_EQ(fileText(INI), "scale = 2\n# keep me\n");
    EXPECT_FALSE(std::filesystem::exists(std::string(INI) + ".tmp"));
}

TEST(DesktopOptions, CommandLineFlags) {
    struct Case {
        std::vector<std::string> args;
        int result;
        Expected expected;      // after loading, when the game runs
        const char* message;    // on stderr (or stdout for --help)
    };
    const std::vector<Case> cases = {
        {{}, DESKTOP_FLAGS_RUN, DEFAULTS, ""},
        {{"--fullscreen", "--scale", "3", "--no-intro", "--follow-pointer", "--no-pause-when-away",
          "--no-paddle-sound"},
         DESKTOP_FLAGS_RUN, {1, 0, 1, 3, 0, 1}, ""},
        {{"--scale=2", "--follow-pointer", "--no-follow-pointer"}, DESKTOP_FLAGS_RUN, {0, 1, 0, 2, 1, 0}, ""},
        {{"--scale"}, 2, DEFAULTS, "plinkor: --scale needs a whole number from 1 to 8"},
        {{"--scale", "0x"}, 2, DEFAULTS, "not \"0x\""},
        {{"--scale=12"}, 2, DEFAULTS, "--scale needs"},
        {{"--bogus"}, 2, DEFAULTS, "plinkor: unknown option \"--bogus\"\nTry \"plinkor --help\" for the options."},
        {{"--fullscreenx"}, 2, DEFAULTS, "unknown option \"--fullscreenx\""},
        {{"level7"}, 2, DEFAULTS, "unknown option \"level7\""},
        {{"--no-intro", "--help", "--bogus"}, 0, DEFAULTS, "--no-pause-when-away"},
    };
    ScratchFolder folder;
    useScratchData();
    for (const Case& c : cases) {
        std::vector<std::string> strings = {"/usr/games/plinkor"};
        strings.insert(strings.end(), c.args.begin(), c.args.end());
        std::vector<char*> argv;
        for (std::string& s : strings) {
            argv.push_back(s.data());
        }
        clearDesktopFlags();
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        int result = readDesktopFlags((int)argv.size(), argv.data());
        std::string out = testing::internal::GetCapturedStdout();
        std::string err = testing::internal::GetCapturedStderr();
        std::string what = strings.size() > 1 ? strings[1] : "no flags";
        EXPECT_EQ(result, c.result) << what;
        EXPECT_NE((c.result == 0 ? out : err).find(c.message), std::string::npos) << what << ": " << out << err;
        if (result == DESKTOP_FLAGS_RUN) {
            loadDesktopOptions();
            expectOptions(desktopOptions, c.expected, what);
        }
    }
}

TEST(DesktopOptions, FlagsOverTheFileForThisRunOnly) {
    ScratchFolder folder;
    useScratchData();
    const std::string text = "skip_intro = on\nscale = 4\nfollow_pointer = on\n";
    writeFileBytes(INI, bytesOf(text));
    std::vector<std::string> strings = {"plinkor", "--intro", "--scale", "2"};
    std::vector<char*> argv;
    for (std::string& s : strings) {
        argv.push_back(s.data());
    }
    ASSERT_EQ(readDesktopFlags((int)argv.size(), argv.data()), DESKTOP_FLAGS_RUN);
    loadDesktopOptions();
    expectOptions(desktopOptions, {1, 1, 0, 2, 1, 0}, "flags over file");
    EXPECT_EQ(readFileBytes(INI), bytesOf(text));
}
