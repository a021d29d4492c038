// Games kept end to end: a live game lands in the games folder and --replay last plays it again;
// a crash, made by the tests' trigger or sent by another process, says where its game is and
// leaves a recording that plays; a games folder that cannot be made is said once.
#include "build_paths.h"
#include "clock/clock.h"
#include "demo/demo.h"
#include "keep/record.h"
#include "support/game_process.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

// What a game program run with state folder state and these arguments prints, and its status.
std::string runGame(const std::string &state, const std::string &arguments, int *status) {
    std::string command = "XDG_STATE_HOME='" + state + "' '" GRAZEWELL_BINARY "' " + arguments;
    FILE *pipe = popen(command.c_str(), "r");
    std::string text;
    char buffer[4096];
    size_t got = 0;
    while (pipe && (got = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, got);
    int ended = pipe ? pclose(pipe) : -1;
    *status = WIFEXITED(ended) ? WEXITSTATUS(ended) : -1;
    return text;
}

// The kept recordings of a games folder.
int keptRecordings(const std::string &games) {
    int status = 0;
    std::string listing = runGame(games + "/../..", "--games", &status);
    return countOf(listing, ".gzd\n");
}

// Waits for the game to end by itself; its status, -1 when it did not within seconds.
int endOf(GameProcess &game, double seconds) {
    return game.waitForExit(seconds) ? game.quit() : -1;
}

TEST(KeepEndToEnd, ALiveGameIsKeptAndReplayLastPlaysItToTheSameLinesLeavingTheRecord) {
    std::string dir = makeTempDir("keep-live");
    installTextures(dir);
    std::string state = dir + "/state", games = state + "/grazewell/games";
    // Nothing kept yet: refused before any window opens.
    int status = 0;
    runGame(state, "--replay last 2>&1", &status);
    EXPECT_EQ(status, 2);
    std::string played;
    {
        GameStart start;
        start.arguments = {"--seed", "3"};
        GameProcess game(dir, {}, start);
        game.tapKey("1");
        game.pressKey("a");
        game.click(500, 300, 1); // the meadow: a pick that hits no food
        ASSERT_TRUE(game.waitForOutput("Stopped picking\n", 20));
        game.releaseKey("a");
        game.tapKey("1"); // back to the title: a game quit
        sleepSeconds(0.3);
        EXPECT_EQ(game.quit(), 0);
        played = game.output();
        EXPECT_EQ(game.errors(), "");
    }
    std::string listing = runGame(state, "--games", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(countOf(listing, ".gzd\n"), 1) << listing;
    EXPECT_NE(listing.find(" quit "), std::string::npos) << listing;
    std::string record = runGame(state, "--record-of-games", &status);
    EXPECT_NE(record.find("games played:          1\n"), std::string::npos) << record;
    EXPECT_NE(record.find("quit:                  1\n"), std::string::npos) << record;
    Bytes recordBefore = readBytes(games + "/" + RECORD_FILE);
    ASSERT_FALSE(recordBefore.empty());
    {
        GameStart start;
        start.arguments = {"--replay", "last"};
        GameProcess replay(dir, {}, start);
        EXPECT_EQ(endOf(replay, 120), 0) << replay.errors();
        EXPECT_EQ(replay.output(), played);
    }
    // A replay keeps no game and counts none.
    EXPECT_TRUE(readBytes(games + "/" + RECORD_FILE) == recordBefore);
    EXPECT_EQ(keptRecordings(games), 1);
    removeTree(dir);
}

// The recording the crash line names, or "" when there is no such line.
std::string namedInCrashLine(const std::string &errors) {
    const std::string watch = "; watch it with: grazewell --replay ";
    size_t at = errors.find(watch);
    if (at == std::string::npos) return "";
    size_t end = errors.find('\n', at);
    return errors.substr(at + watch.size(), end - at - watch.size());
}

TEST(KeepEndToEnd, AGameMadeToCrashSaysWhereItIsAndItsRecordingPlaysToTheFrameBefore) {
    std::string dir = makeTempDir("keep-crash");
    installTextures(dir);
    std::string state = dir + "/state";
    std::string path;
    {
        GameStart start;
        start.arguments = {"--seed", "4"};
        GameProcess game(dir, {"GRAZEWELL_TEST_CRASH_TICK=300"}, start);
        game.tapKey("1");
        game.pressKey("w");
        EXPECT_EQ(endOf(game, 60), 128 + SIGSEGV);
        std::string errors = game.errors();
        EXPECT_EQ(countOf(errors, "grazewell: crashed (SIGSEGV); the game up to its last whole "
                                  "frame is in "),
                  1)
            << errors;
        path = namedInCrashLine(errors);
        EXPECT_EQ(path.rfind(state + "/grazewell/games/", 0), 0u) << errors;
    }
    Demo demo;
    std::string reason;
    ASSERT_TRUE(readDemo(path.c_str(), demo, &reason)) << path << ": " << reason;
    // The trigger crashes the game between two frames once 300 ticks are advanced: the frame
    // that got there ran at most its backlog's ticks.
    EXPECT_GE(demo.frames.size(), 300u);
    EXPECT_LE(demo.frames.size(), size_t(300 + 1 + TICK_BACKLOG_LIMIT));
    EXPECT_FALSE(demo.endsMidFrame);
    int status = 0;
    std::string listing = runGame(state, "--games", &status);
    EXPECT_NE(listing.find(" crashed "), std::string::npos) << listing;
    {
        GameStart start;
        start.arguments = {"--replay", path};
        GameProcess replay(dir, {}, start);
        EXPECT_EQ(endOf(replay, 120), 0) << replay.errors();
    }
    // Sent by another process, the signal is a crash all the same.
    {
        GameStart start;
        start.arguments = {"--seed", "5"};
        GameProcess game(dir, {}, start);
        game.tapKey("1");
        sleepSeconds(0.5);
        kill(game.pid(), SIGBUS);
        EXPECT_EQ(endOf(game, 30), 128 + SIGBUS);
        EXPECT_EQ(countOf(game.errors(), "grazewell: crashed (SIGBUS); "), 1) << game.errors();
        std::string sent = namedInCrashLine(game.errors());
        ASSERT_TRUE(readDemo(sent.c_str(), demo, &reason)) << sent << ": " << reason;
        EXPECT_GT(demo.frames.size(), 0u);
    }
    removeTree(dir);
}

TEST(KeepEndToEnd, AGamesFolderThatCannotBeMadeIsSaidOnceAndTheGamePlays) {
    std::string dir = makeTempDir("keep-unwritable");
    installTextures(dir);
    // A file where the state folder should be: nothing can be made inside it, even by root.
    Bytes file = {'x'};
    ASSERT_TRUE(writeBytes(dir + "/not-a-folder", file));
    {
        GameProcess game(dir, {"XDG_STATE_HOME=" + dir + "/not-a-folder"});
        game.tapKey("1");
        game.click(500, 300, 1);
        EXPECT_TRUE(game.waitForOutput("Stopped picking\n", 20));
        game.tapKey("1"); // a game ended: the record is not tried again
        game.tapKey("1");
        sleepSeconds(0.3);
        EXPECT_EQ(game.quit(), 0);
        std::string errors = game.errors();
        // The one line, naming what stands in the way.
        EXPECT_EQ(errors, "grazewell: " + dir +
                              "/not-a-folder: Not a directory; this game is not kept, and plays "
                              "on\n");
    }
    removeTree(dir);
}

// The games folders of Wine's prefix (WINEPREFIX): %LOCALAPPDATA%\Grazewell\games of each user.
std::vector<std::string> wineGamesFolders() {
    std::vector<std::string> folders;
    const char *prefix = getenv("WINEPREFIX");
    if (!prefix) return folders;
    std::error_code error;
    for (const auto &user :
         std::filesystem::directory_iterator(std::string(prefix) + "/drive_c/users", error)) {
        std::string games = user.path().string() + "/AppData/Local/Grazewell/games";
        if (isDirectory(games)) folders.push_back(games);
    }
    return folders;
}

// The kept recordings in the folders.
int recordingsIn(const std::vector<std::string> &folders) {
    int count = 0;
    for (const std::string &folder : folders)
        for (const auto &entry : std::filesystem::directory_iterator(folder))
            count += entry.path().extension() == ".gzd";
    return count;
}

// The Windows build under Wine (scripts/test-windows.sh names it): a game lands in the local
// application data of Wine's user, --replay last plays it to the same lines, and a crash says
// where it is.
TEST(WindowsBuild, UnderWineAGameIsKeptInLocalAppDataAndReplayLastPlaysIt) {
    const char *exe = getenv("GRAZEWELL_WINDOWS_GAME"), *wine = getenv("GRAZEWELL_WINE");
    if (!exe || !*exe || !wine || !*wine)
        GTEST_SKIP() << "no Windows build named (scripts/test-windows.sh runs this)";
    std::string dir = makeTempDir("wine-keep");
    GameStart start;
    start.launcher = wine;
    start.binary = exe;
    start.findPictures = true;
    int before = recordingsIn(wineGamesFolders());
    std::string played;
    {
        start.arguments = {"--seed", "3"};
        GameProcess game(dir, {}, start);
        game.tapKey("1");
        game.click(500, 300, 1);
        ASSERT_TRUE(game.waitForOutput("Stopped picking\n", 60));
        sleepSeconds(0.3);
        EXPECT_EQ(game.quit(60), 0);
        played = game.output();
    }
    ASSERT_EQ(wineGamesFolders().size(), 1u) << "no Grazewell\\games in the local application data";
    EXPECT_EQ(recordingsIn(wineGamesFolders()), before + 1);
    {
        start.arguments = {"--replay", "last"};
        GameProcess replay(dir, {}, start);
        EXPECT_EQ(endOf(replay, 120), 0) << replay.errors();
        EXPECT_EQ(replay.output(), played);
    }
    {
        start.arguments = {"--seed", "4"};
        GameProcess game(dir, {"GRAZEWELL_TEST_CRASH_TICK=200"}, start);
        EXPECT_NE(endOf(game, 120), 0);
        std::string errors = game.errors();
        EXPECT_EQ(countOf(errors, "grazewell: crashed (an access violation); the game up to its "
                                  "last whole frame is in "),
                  1)
            << errors;
        std::string path = namedInCrashLine(errors);
        EXPECT_NE(path.find("/AppData/Local/Grazewell/games/"), std::string::npos) << errors;
    }
    EXPECT_EQ(recordingsIn(wineGamesFolders()), before + 2);
    removeTree(dir);
}

} // namespace
