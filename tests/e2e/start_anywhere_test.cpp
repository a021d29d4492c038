// The real game started as players start it: the built one from the repository root, the
// installed one from an empty folder, one with no pictures anywhere, and its command line.
#include "build_paths.h"
#include "support/files.h"
#include "support/game_process.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <set>
#include <sys/wait.h>

namespace {

bool grassy(const unsigned char *p) {
    return p[1] > p[0] && p[1] > p[2];
}

// Textured: the grass across the bottom and the many colours of pictures, where the untextured
// meadow has a few hundred flat shades.
bool texturedMeadow(const Screenshot &shot) {
    std::set<int> colours;
    for (int y = 0; y < shot.height; y++)
        for (int x = 0; x < shot.width; x++) {
            const unsigned char *p = shot.at(x, y);
            colours.insert(p[0] << 16 | p[1] << 8 | p[2]);
        }
    int grass = 0;
    for (int y = shot.height - 60; y < shot.height; y++)
        for (int x = 0; x < shot.width; x++) grass += grassy(shot.at(x, y));
    return colours.size() > 2000 && grass > shot.width * 60 * 9 / 10;
}

// Screenshots until the title view shows the textured meadow, or the time is up.
bool showsTexturedMeadow(GameProcess &game, double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!texturedMeadow(game.screenshot())) {
        if (std::chrono::steady_clock::now() > end) return false;
        sleepSeconds(0.5);
    }
    return true;
}

int shell(const std::string &command) {
    int status = system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string text(const std::string &path) {
    Bytes bytes = readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

TEST(StartAnywhere, TheBuiltGameFromTheRepositoryRootIsTextured) {
    std::string files = makeTempDir("root");
    {
        GameStart start;
        start.folder = GRAZEWELL_SOURCE_DIR; // no tex/ there: the build's, beside the game
        start.findPictures = true;
        GameProcess game(files, {}, start);
        EXPECT_TRUE(showsTexturedMeadow(game, 60));
        EXPECT_EQ(game.quit(), 0);
        EXPECT_EQ(game.errors(), "") << "nothing to complain of";
    }
    removeTree(files);
}

TEST(StartAnywhere, TheInstalledGameFromAnEmptyFolderIsTexturedAndCapturesThere) {
    std::string prefix = makeTempDir("prefix");
    ASSERT_EQ(shell("'" GRAZEWELL_CMAKE "' --install '" GRAZEWELL_BUILD_DIR "' --prefix '" +
                    prefix + "' > '" + prefix + "/install.log'"),
              0)
        << text(prefix + "/install.log");
    for (const char *file : {"/bin/grazewell", "/share/grazewell/tex/sky.tga",
                             "/share/grazewell/tex/grass.raw", "/share/man/man6/grazewell.6.gz",
                             "/share/icons/hicolor/48x48/apps/org.example.grazewell.png",
                             "/share/icons/hicolor/128x128/apps/org.example.grazewell.png"})
        EXPECT_TRUE(fileExists(prefix + file)) << file;
    // What desktops and software centres read, as their own validators judge it: any warning
    // (even a pedantic one) fails.
    std::string desktop = prefix + "/share/applications/org.example.grazewell.desktop";
    EXPECT_EQ(shell("desktop-file-validate '" + desktop + "' > '" + prefix + "/desktop.log' 2>&1"),
              0)
        << text(prefix + "/desktop.log");
    EXPECT_EQ(text(prefix + "/desktop.log"), "");
    std::string metainfo = prefix + "/share/metainfo/org.example.grazewell.metainfo.xml";
    EXPECT_EQ(shell("appstreamcli validate --no-net --pedantic --no-color '" + metainfo + "' > '" +
                    prefix + "/metainfo.log' 2>&1"),
              0)
        << text(prefix + "/metainfo.log");
    // Errors, warnings, infos and pedantic notes are each a line of their own, "E: ", "W: ", ...
    EXPECT_EQ(shell("grep -E '^[EWIP]: ' '" + prefix + "/metainfo.log'"), 1)
        << text(prefix + "/metainfo.log");
    // The icon is a PNG of the size its folder says.
    Bytes icon = readBytes(prefix + "/share/icons/hicolor/48x48/apps/org.example.grazewell.png");
    ASSERT_GT(icon.size(), 24u);
    EXPECT_EQ(std::string(icon.begin() + 1, icon.begin() + 4), "PNG");
    EXPECT_EQ(icon[19], 48); // width, big-endian, in IHDR
    EXPECT_EQ(icon[23], 48); // height

    std::string play = makeTempDir("empty");
    std::string files = makeTempDir("installed");
    {
        GameStart start;
        start.binary = prefix + "/bin/grazewell";
        start.folder = play;
        start.findPictures = true;
        GameProcess game(files, {}, start);
        EXPECT_TRUE(showsTexturedMeadow(game, 60));
        EXPECT_TRUE(game.holdKeyUntil("9", "Saving image `ppm/img000.ppm`\n", 20));
        EXPECT_EQ(game.quit(), 0);
        EXPECT_EQ(game.errors(), "");
    }
    EXPECT_EQ(readBytes(play + "/ppm/img000.ppm").size(), 1500016u);
    for (const std::string &dir : {prefix, play, files}) removeTree(dir);
}

TEST(StartAnywhere, WithNoPicturesAnywhereStandardErrorSaysWhereItLookedAndOutputIsAsBefore) {
    // A game of its own with nothing beside it, and nothing in the folder it starts from.
    std::string lone = makeTempDir("lone");
    ASSERT_EQ(shell("mkdir '" + lone + "/bin' '" + lone + "/play' && cp '" GRAZEWELL_BINARY "' '" +
                    lone + "/bin/'"),
              0);
    std::string files = makeTempDir("lonefiles");
    {
        GameStart start;
        start.binary = lone + "/bin/grazewell";
        start.folder = lone + "/play";
        start.findPictures = true;
        GameProcess game(files, {}, start);
        EXPECT_TRUE(game.holdKeyUntil("9", "Saving image `ppm/img000.ppm`\n", 20));
        EXPECT_EQ(game.quit(), 0);
        EXPECT_EQ(game.errors(), "grazewell: no pictures folder found (looked in ./tex, " + lone +
                                     "/bin/tex, " + lone +
                                     "/share/grazewell/tex); the meadow is drawn without pictures. "
                                     "GRAZEWELL_DATA may name the folder that holds tex/.\n");
        // Standard output keeps to the game's own lines.
        std::string output = game.output();
        for (const char *word : {"grazewell", "tex", "picture"})
            EXPECT_EQ(output.find(word), std::string::npos) << word << " in: " << output;
    }
    for (const std::string &dir : {lone, files}) removeTree(dir);
}

struct GameRun {
    int status = -1;
    std::string output, errors;
};

// The game run with arguments and no display: what it prints and its exit status.
GameRun runGame(const std::string &arguments) {
    std::string dir = makeTempDir("command");
    GameRun run;
    run.status = shell("env -u DISPLAY '" GRAZEWELL_BINARY "' " + arguments + " > '" + dir +
                       "/out' 2> '" + dir + "/err'");
    run.output = text(dir + "/out");
    run.errors = text(dir + "/err");
    removeTree(dir);
    return run;
}

TEST(StartAnywhere, HelpVersionAndAWrongOptionNeedNoDisplay) {
    GameRun help = runGame("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.output.rfind("Usage: grazewell", 0), 0u) << help.output;
    EXPECT_NE(help.output.find("--fps N"), std::string::npos);
    EXPECT_NE(help.output.find("Escape"), std::string::npos);
    EXPECT_EQ(help.errors, "");

    GameRun version = runGame("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.output, "grazewell " GRAZEWELL_VERSION "\n");

    // A recording that is not there, or not a recording, is refused before any window opens.
    std::string dir = makeTempDir("bad-recording");
    ASSERT_TRUE(writeBytes(dir + "/notes.gzd", Bytes{'h', 'e', 'l', 'l', 'o', '\n'}));
    // Nor is a file that is there already overwritten by a recording.
    for (std::string command :
         {"--replay " + dir + "/missing.gzd", "--timedemo " + dir + "/notes.gzd",
          "--record " + dir + "/notes.gzd"}) {
        std::string file = command.substr(command.find(' ') + 1);
        GameRun run = runGame(command);
        EXPECT_EQ(run.status, 2) << command;
        EXPECT_EQ(run.output, "");
        EXPECT_EQ(run.errors.rfind("grazewell: " + file + ": ", 0), 0u) << run.errors;
        EXPECT_EQ(countOf(run.errors, "\n"), 1) << run.errors;
    }
    EXPECT_EQ(readBytes(dir + "/notes.gzd").size(), 6u);
    removeTree(dir);

    for (const char *wrong : {"--bogus", "--fps 1001", "--fps", "--seed x"}) {
        GameRun run = runGame(wrong);
        EXPECT_EQ(run.status, 2) << wrong;
        EXPECT_EQ(run.output, "") << wrong;
        EXPECT_EQ(run.errors.rfind("grazewell: ", 0), 0u) << wrong << ": " << run.errors;
    }
}

TEST(StartAnywhere, FpsThirtyHoldsTheSwapsToThirtyASecondAndGlutOptionsStillWork) {
    std::string dir = makeTempDir("fps");
    std::string frameFile = dir + "/frames.txt";
    {
        GameStart start;
        start.arguments = {"--fps", "30", "-geometry", "640x320"};
        GameProcess game(dir, frameCounterEnvironment(frameFile), start);
        Screenshot shot = game.screenshot();
        EXPECT_EQ(shot.width, 640);
        EXPECT_EQ(shot.height, 320);
        // Timed from the moment one hundredth frame is counted to the moment a later one is, so
        // the count is exact at both ends; a slow machine only makes the rate lower.
        auto waitForCount = [&](long atLeast) {
            auto end = std::chrono::steady_clock::now() + std::chrono::seconds(120);
            long frames = readFrameCount(frameFile).frames;
            while (frames < atLeast && std::chrono::steady_clock::now() < end) {
                sleepSeconds(0.005);
                frames = readFrameCount(frameFile).frames;
            }
            return std::make_pair(frames, std::chrono::steady_clock::now());
        };
        auto first = waitForCount(readFrameCount(frameFile).frames + 1);
        auto last = waitForCount(first.first + 200);
        ASSERT_GE(last.first, first.first + 200) << "the game stopped drawing";
        double seconds = std::chrono::duration<double>(last.second - first.second).count();
        double rate = double(last.first - first.first) / seconds;
        EXPECT_LE(rate, 33.0) << last.first - first.first << " frames in " << seconds << " s";
        EXPECT_EQ(game.quit(), 0);
    }
    removeTree(dir);
}

} // namespace
