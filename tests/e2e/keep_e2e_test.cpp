// Games kept end to end: a live game lands in the games folder and --replay last plays it again;
// a crash, made by the tests' trigger or sent by another process, says where its game is and
// leaves a recording that plays, or says that none was played; a replay's crash names what it
// played; eight games begun and ended together are all kept and counted; a games folder that
// cannot be made is said once.
#include "build_paths.h"
#include "clock/clock.h"
#include "demo/demo.h"
#include "keep/index.h"
#include "keep/keep.h"
#include "support/game_process.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

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
    EXPECT_TRUE(fileExists(games + "/" + INDEX_FILE));
    {
        GameStart start;
        start.arguments = {"--replay", "last"};
        GameProcess replay(dir, {}, start);
        EXPECT_EQ(endOf(replay, 120), 0) << replay.errors();
        EXPECT_EQ(replay.output(), played);
    }
    // A replay keeps no game and counts none.
    EXPECT_EQ(runGame(state, "--record-of-games", &status), record);
    EXPECT_EQ(keptRecordings(games), 1);
    removeTree(dir);
}

// The recording of the newest kept game under state, as --games lists it; "" when none.
std::string newestKept(const std::string &state) {
    int status = 0;
    std::string listing = runGame(state, "--games", &status);
    size_t line = listing.find('\n');
    size_t end = line == std::string::npos ? line : listing.find('\n', line + 1);
    if (end == std::string::npos) return "";
    size_t name = listing.rfind("  ", end);
    return state + "/grazewell/games/" + listing.substr(name + 2, end - name - 2);
}

// Waits until the newest kept game under state has recorded ticks ticks; false on timeout.
bool waitForTicks(const std::string &state, size_t ticks, double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    do {
        Demo demo;
        std::string reason;
        if (readDemo(newestKept(state).c_str(), demo, &reason) && demo.frames.size() >= ticks)
            return true;
        sleepSeconds(0.1);
    } while (std::chrono::steady_clock::now() < end);
    return false;
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
        // Sent once the game has played: a game that dies before its first tick has nothing to
        // show.
        ASSERT_TRUE(waitForTicks(state, 2, 60));
        kill(game.pid(), SIGBUS);
        EXPECT_EQ(endOf(game, 30), 128 + SIGBUS);
        EXPECT_EQ(countOf(game.errors(), "grazewell: crashed (SIGBUS); "), 1) << game.errors();
        std::string sent = namedInCrashLine(game.errors());
        ASSERT_TRUE(readDemo(sent.c_str(), demo, &reason)) << sent << ": " << reason;
        EXPECT_GT(demo.frames.size(), 0u);
    }
    removeTree(dir);
}

TEST(KeepEndToEnd, AGameCrashedBeforeItsFirstTickSaysSoAndLastPlaysTheGameBefore) {
    std::string dir = makeTempDir("keep-crash-at-once");
    installTextures(dir);
    std::string state = dir + "/state";
    std::string played;
    {
        GameStart start;
        start.arguments = {"--seed", "6"};
        GameProcess game(dir, {}, start);
        game.tapKey("1");
        ASSERT_TRUE(waitForTicks(state, 30, 60));
        EXPECT_EQ(game.quit(), 0);
        played = newestKept(state);
    }
    Demo first;
    std::string reason;
    ASSERT_TRUE(readDemo(played.c_str(), first, &reason)) << reason;
    {
        GameStart start;
        start.waitForWindow = false; // it crashes as soon as its window is made
        GameProcess game(dir, {"GRAZEWELL_TEST_CRASH_TICK=0"}, start);
        EXPECT_EQ(endOf(game, 60), 128 + SIGSEGV);
        EXPECT_EQ(game.errors(),
                  "grazewell: crashed (SIGSEGV); no tick was played, so there is nothing to "
                  "watch\n");
    }
    // Its recording was begun before the window opened, and says what the game was; it holds no
    // tick, so last passes it over.
    std::string crashed = newestKept(state);
    EXPECT_NE(crashed, played);
    Demo none;
    ASSERT_TRUE(readDemo(crashed.c_str(), none, &reason)) << crashed << ": " << reason;
    EXPECT_EQ(none.frames.size(), 0u);
    EXPECT_EQ(none.header.width, 1000);
    int status = 0;
    std::string listing = runGame(state, "--games", &status);
    EXPECT_NE(listing.find(" crashed "), std::string::npos) << listing;
    std::string timed = runGame(state, "--timedemo last", &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(timed.find("timedemo: " + std::to_string(first.frames.size()) + " frames in "),
              std::string::npos)
        << timed;
    removeTree(dir);
}

TEST(KeepEndToEnd, AReplayOrATimedemoThatCrashesNamesTheRecordingItWasPlaying) {
    std::string dir = makeTempDir("keep-crash-replay");
    installTextures(dir);
    std::string win = std::string(GRAZEWELL_SOURCE_DIR) + "/tests/data/win.gzd";
    for (bool timed : {false, true}) {
        GameStart start;
        start.arguments = {timed ? "--timedemo" : "--replay", win};
        GameProcess game(dir, {}, start);
        // Once the recorded game has begun to print its lines.
        ASSERT_TRUE(game.waitForOutput("\n", 60)) << game.errors();
        int signal = timed ? SIGFPE : SIGABRT;
        kill(game.pid(), signal);
        EXPECT_EQ(endOf(game, 30), 128 + signal);
        EXPECT_EQ(game.errors(), std::string("grazewell: crashed (") +
                                     (timed ? "SIGFPE" : "SIGABRT") + "); it was playing " + win +
                                     "; play it again with: grazewell " +
                                     (timed ? "--timedemo " : "--replay ") + win + "\n");
    }
    removeTree(dir);
}

// Eight games on one display, begun together and ended together when the display goes (as at a
// logout): every one is kept under a name of its own and counted.
TEST(KeepEndToEnd, EightGamesBegunAndEndedTogetherAreEveryOneKeptAndCounted) {
    const int GAMES = 8;
    std::string dir = makeTempDir("keep-eight");
    installTextures(dir);
    std::string state = dir + "/state", games = state + "/grazewell/games";
    GameStart start;
    // Small and slow to draw: eight games share two processors.
    start.arguments = {"--fps", "5", "-geometry", "200x100"};
    std::vector<std::string> environment = {"XDG_STATE_HOME=" + state, "GRAZEWELL_DATA=" + dir};
    std::vector<std::unique_ptr<GameProcess>> played;
    ASSERT_TRUE(makeDir(dir + "/0"));
    played.push_back(std::make_unique<GameProcess>(dir + "/0", environment, start));
    start.display = played[0]->displayName();
    // The other seven begun at once, each waiting for its own window.
    std::vector<std::unique_ptr<GameProcess>> others(GAMES - 1);
    std::vector<std::thread> starting;
    for (int n = 1; n < GAMES; n++) {
        std::string folder = dir + "/" + std::to_string(n);
        makeDir(folder);
        starting.emplace_back([&, n, folder] {
            try {
                others[size_t(n - 1)] = std::make_unique<GameProcess>(folder, environment, start);
            } catch (const std::exception &) {
            }
        });
    }
    for (std::thread &thread : starting) thread.join();
    for (auto &game : others) {
        ASSERT_TRUE(game) << "a game did not start";
        played.push_back(std::move(game));
    }
    // Each window's game leaves its title: a game under way in every one.
    for (auto &game : played) {
        game->focus();
        game->tapKey("1");
    }
    // Until every recording holds its '1'.
    auto begun = [&] {
        int withOne = 0;
        for (const KeptFile &file : listKeptGames(games)) {
            Demo demo;
            std::string reason;
            readDemo((games + "/" + file.name).c_str(), demo, &reason);
            bool one = false;
            for (const DemoFrame &frame : demo.frames)
                for (const DemoEvent &event : frame.events)
                    one = one || (event.type == DEMO_KEY_DOWN && event.a == '1');
            withOne += one;
        }
        return withOne;
    };
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (begun() < GAMES && std::chrono::steady_clock::now() < end) sleepSeconds(0.2);
    ASSERT_EQ(begun(), GAMES);
    played[0]->endDisplay();
    for (auto &game : played) EXPECT_TRUE(game->waitForExit(60));
    played.clear();

    int status = 0;
    std::string record = runGame(state, "--record-of-games", &status);
    EXPECT_NE(record.find("games played:          8\n"), std::string::npos) << record;
    EXPECT_NE(record.find("quit:                  8\n"), std::string::npos) << record;
    std::string listing = runGame(state, "--games", &status);
    EXPECT_EQ(countOf(listing, " quit "), GAMES) << listing;
    EXPECT_EQ(listKeptGames(games).size(), size_t(GAMES));
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
    // Games an earlier run kept in the same prefix would fill the folder to its 20 and hide a new
    // one among them.
    for (const std::string &folder : wineGamesFolders()) {
        std::error_code error;
        std::filesystem::remove_all(folder, error);
    }
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
