// The player's settings on the real game: full screen and back, the window's size and place, full
// screen and the volume kept for the next game; arrows bound in the file walk and turn, and the
// game they played replays with the default keys. Under Wine, the file lands in %APPDATA%.
#include "demo/demo.h"
#include "support/game_process.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>
#include <string>

namespace {

using Place = GameProcess::Place;

// The game's window as xwininfo sees it once it has the size asked for; the last seen on timeout.
Place waitForSize(GameProcess &game, int width, int height, double seconds = 20) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    Place place = game.windowPlace();
    while ((place.width != width || place.height != height) &&
           std::chrono::steady_clock::now() < end) {
        sleepSeconds(0.1);
        place = game.windowPlace();
    }
    return place;
}

std::string fileText(const std::string &path) {
    Bytes bytes = readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// The Xvfb screen GameProcess starts.
const int SCREEN_WIDTH = 1280, SCREEN_HEIGHT = 1024;

TEST(SettingsEndToEnd, FullScreenComesAndGoesAndTheWindowAndVolumeComeBackInTheNextGame) {
    std::string dir = makeTempDir("settings-window");
    installTextures(dir);
    std::string file = dir + "/config/grazewell/settings.toml";
    GameStart start;
    start.windowManager = true;
    Place moved;
    {
        GameProcess game(dir, {}, start);
        Place opened = waitForSize(game, 1000, 500);
        ASSERT_EQ(opened.width, 1000);
        game.tapKey("F11");
        Place full = waitForSize(game, SCREEN_WIDTH, SCREEN_HEIGHT);
        EXPECT_EQ(full.x, 0);
        EXPECT_EQ(full.y, 0);
        EXPECT_EQ(full.width, SCREEN_WIDTH);
        game.tapKey("F11");
        Place back = waitForSize(game, 1000, 500);
        EXPECT_EQ(back.width, 1000);
        EXPECT_EQ(back.x, opened.x);
        EXPECT_EQ(back.y, opened.y);

        ASSERT_EQ(game.xdotool("windowmove --sync " + game.window() + " 200 150"), 0);
        ASSERT_EQ(game.xdotool("windowsize --sync " + game.window() + " 700 400"), 0);
        moved = waitForSize(game, 700, 400);
        game.tapKey("minus");
        sleepSeconds(0.2);
        game.tapKey("minus");
        sleepSeconds(0.2);
        game.tapKey("F11");
        EXPECT_EQ(waitForSize(game, SCREEN_WIDTH, SCREEN_HEIGHT).width, SCREEN_WIDTH);
        EXPECT_EQ(game.quit(), 0);
        EXPECT_EQ(game.errors(), "");
    }
    std::string kept = fileText(file);
    for (const char *entry :
         {"\nwidth = 700\n", "\nheight = 400\n", "\nfull_screen = true\n", "\nvolume = 80\n"})
        EXPECT_NE(kept.find(entry), std::string::npos) << entry << " not in\n" << kept;
    {
        GameProcess game(dir, {}, start);
        EXPECT_EQ(waitForSize(game, SCREEN_WIDTH, SCREEN_HEIGHT).width, SCREEN_WIDTH)
            << "the game did not open full screen";
        game.tapKey("F11");
        Place again = waitForSize(game, 700, 400);
        EXPECT_EQ(again.width, 700);
        EXPECT_EQ(again.x, moved.x);
        EXPECT_EQ(again.y, moved.y);
        game.tapKey("equal");
        sleepSeconds(0.3);
        EXPECT_EQ(game.quit(), 0);
    }
    kept = fileText(file);
    EXPECT_NE(kept.find("\nvolume = 90\n"), std::string::npos) << kept;
    EXPECT_NE(kept.find("\nfull_screen = false\n"), std::string::npos) << kept;
    removeTree(dir);
}

TEST(SettingsEndToEnd, ArrowsBoundInTheFileWalkAndTurnAndTheirGameReplaysWithTheDefaultKeys) {
    std::string dir = makeTempDir("settings-arrows");
    installTextures(dir);
    const std::string keys = "[keys]\nwalk_forward = [\"up\"]\nwalk_backward = [\"down\"]\n"
                             "turn_left = [\"left\"]\nturn_right = [\"right\"]\n";
    ASSERT_TRUE(makeDir(dir + "/config") && makeDir(dir + "/config/grazewell"));
    ASSERT_TRUE(
        writeBytes(dir + "/config/grazewell/settings.toml", Bytes(keys.begin(), keys.end())));
    std::string recording = dir + "/game.gzd";
    {
        GameStart start;
        start.arguments = {"--seed", "3", "--record", recording};
        GameProcess game(dir, {}, start);
        game.tapKey("m"); // the bison stands still
        Screenshot still = game.stillScreen(60);
        ASSERT_FALSE(still.rgb.empty()) << "the view never stood still";
        // Backward: the bison starts where the player stands, and w does not walk into it.
        game.pressKey("Down");
        sleepSeconds(0.5);
        game.releaseKey("Down");
        Screenshot walked = game.stillScreen(30);
        EXPECT_NE(walked.rgb, still.rgb) << "the down arrow did not walk";
        game.pressKey("Left");
        sleepSeconds(0.5);
        game.releaseKey("Left");
        EXPECT_NE(game.stillScreen(30).rgb, walked.rgb) << "the left arrow did not turn";
        EXPECT_EQ(game.quit(), 0);
        EXPECT_EQ(game.errors(), "");
    }
    // What the keys did is what was recorded: the table's s and a.
    Demo demo;
    std::string reason;
    ASSERT_TRUE(readDemo(recording.c_str(), demo, &reason)) << reason;
    int walks = 0, turns = 0, specials = 0;
    for (const DemoFrame &frame : demo.frames)
        for (const DemoEvent &event : frame.events) {
            walks += event.type == DEMO_KEY_DOWN && event.a == 's';
            turns += event.type == DEMO_KEY_DOWN && event.a == 'a';
            specials += event.type == DEMO_SPECIAL_DOWN;
        }
    EXPECT_GE(walks, 1);
    EXPECT_GE(turns, 1);
    EXPECT_EQ(specials, 0);
    {
        GameStart start;
        start.arguments = {"--replay", recording, "--no-settings"};
        GameProcess replay(dir, {}, start);
        replay.waitForExit(120);
        ASSERT_FALSE(replay.running()) << "the replay never ended";
        // Every frame's checksum agreed, or it would have stopped with 3.
        EXPECT_EQ(replay.quit(), 0) << replay.errors();
    }
    removeTree(dir);
}

// The Windows build under Wine (scripts/test-windows.sh names it): a change made in the game is
// kept in %APPDATA%\Grazewell\settings.toml, and the next game reads it back; a key held past
// the auto-repeat's delay acts once.
TEST(WindowsBuild, UnderWineTheSettingsLandInAppDataAndAreReadBack) {
    const char *exe = getenv("GRAZEWELL_WINDOWS_GAME"), *wine = getenv("GRAZEWELL_WINE");
    const char *prefix = getenv("WINEPREFIX");
    if (!exe || !*exe || !wine || !*wine || !prefix || !*prefix)
        GTEST_SKIP() << "no Windows build named (scripts/test-windows.sh runs this)";
    std::string dir = makeTempDir("wine-settings");
    // Wine's %APPDATA% for the user running it, named as Wine names it.
    const char *user = getenv("USER");
    const struct passwd *account = getpwuid(getuid());
    std::string name = user && *user ? user : account ? account->pw_name : "";
    ASSERT_FALSE(name.empty()) << "no user name for Wine's folders";
    std::string appData = std::string(prefix) + "/drive_c/users/" + name + "/AppData/Roaming";
    std::string file = appData + "/Grazewell/settings.toml";
    // Left by an earlier run in the same prefix, the file would start the game elsewhere than at
    // the default. (removeTree takes only the tests' own temporary folders.)
    std::error_code error;
    std::filesystem::remove_all(appData + "/Grazewell", error);
    ASSERT_FALSE(fileExists(file)) << file << " cannot be removed";
    GameStart start;
    start.launcher = wine;
    start.binary = exe;
    start.findPictures = true;
    {
        GameProcess game(dir, {}, start);
        game.tapKey("minus");
        sleepSeconds(0.5);
        EXPECT_EQ(game.quit(), 0);
    }
    EXPECT_NE(fileText(file).find("\nvolume = 90\n"), std::string::npos) << file << " holds:\n"
                                                                         << fileText(file);
    // Read back: the next game steps on from the volume kept.
    {
        GameProcess game(dir, {}, start);
        game.tapKey("minus");
        sleepSeconds(0.5);
        EXPECT_EQ(game.quit(), 0);
    }
    EXPECT_NE(fileText(file).find("\nvolume = 80\n"), std::string::npos) << fileText(file);
    // Held a second past the keyboard's auto-repeat delay, the key is one press under Wine too.
    start.autoRepeat = true;
    {
        GameProcess game(dir, {}, start);
        game.pressKey("minus");
        sleepSeconds(1.2);
        game.releaseKey("minus");
        sleepSeconds(0.5);
        EXPECT_EQ(game.quit(), 0);
    }
    EXPECT_NE(fileText(file).find("\nvolume = 70\n"), std::string::npos) << fileText(file);
    std::filesystem::remove_all(appData + "/Grazewell", error);
    removeTree(dir);
}

} // namespace
