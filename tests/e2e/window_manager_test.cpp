// The real game under a window manager (openbox on its own Xvfb): minimised it sleeps, and a key
// let go in another window stops acting.
#include "support/game_process.h"

#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace {

// Processor time the process has used so far, in clock ticks (user and system).
long processorTicks(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(in, line);
    // The fields after the command name, which is in brackets and may hold spaces.
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int index = 3; fields >> field; index++) {
        if (index == 14 || index == 15) ticks += atol(field.c_str());
        if (index == 15) break;
    }
    return ticks;
}

// Waits until the frame counter has counted at least frames frames; false on timeout.
bool waitForFrames(const std::string &file, long frames, double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (readFrameCount(file).frames < frames) {
        if (std::chrono::steady_clock::now() > end) return false;
        sleepSeconds(0.1);
    }
    return true;
}

TEST(WindowManager, MinimisedTheGameSleepsAndDrawsAgainWhenRestored) {
    std::string dir = makeTempDir("minimised");
    installTextures(dir);
    std::string frames = dir + "/frames.txt";
    {
        GameStart start;
        start.windowManager = true;
        GameProcess game(dir, frameCounterEnvironment(frames), start);
        ASSERT_TRUE(waitForFrames(frames, 100, 60)) << "no frames before minimising";
        ASSERT_EQ(game.xdotool("windowminimize --sync " + game.window()), 0);
        sleepSeconds(1);
        long framesBefore = readFrameCount(frames).frames;
        long ticksBefore = processorTicks(game.pid());
        sleepSeconds(5);
        long ticks = processorTicks(game.pid()) - ticksBefore;
        long perSecond = sysconf(_SC_CLK_TCK);
        // Drawing, or posting redisplays that are never drawn, takes most of a core.
        EXPECT_LE(ticks, perSecond / 4) << ticks << " ticks in 5 s while minimised";
        EXPECT_EQ(readFrameCount(frames).frames, framesBefore) << "frames drawn while minimised";
        EXPECT_TRUE(game.running());

        game.xdotool("windowactivate " + game.window());
        EXPECT_TRUE(waitForFrames(frames, framesBefore + 200, 60)) << "no frames once restored";
        EXPECT_EQ(game.quit(), 0);
    }
    removeTree(dir);
}

TEST(WindowManager, AKeyLetGoInAnotherWindowNoLongerMovesTheCameraNorOnceTheGameIsBack) {
    std::string dir = makeTempDir("focus");
    installTextures(dir);
    {
        GameStart start;
        start.windowManager = true;
        // Ten frames a second: walking backward from the start takes half a minute to reach the
        // fence, where it would stop of itself.
        start.arguments = {"--fps", "10"};
        GameProcess game(dir, {}, start);
        game.tapKey("m"); // the bison stands still
        Screenshot still = game.stillScreen(60);
        ASSERT_FALSE(still.rgb.empty()) << "the view never stood still";

        game.pressKey("s");
        sleepSeconds(0.5);
        EXPECT_NE(game.screenshot().rgb, still.rgb) << "holding s did not walk";
        // Another window, away from the game's, takes the keyboard; s is let go there.
        game.xdotool("exec xlogo -geometry 100x100+1150+900");
        ASSERT_EQ(game.xdotool("search --sync --class XLogo windowactivate --sync"), 0);
        game.releaseKey("s");
        sleepSeconds(0.5);
        Screenshot stopped = game.screenshot();
        sleepSeconds(1.5);
        EXPECT_EQ(game.screenshot().rgb, stopped.rgb) << "the camera walks on";

        // Held, then at once another window takes the keyboard and it is let go there, before a
        // frame of the game may have asked who holds it: back in the game, nothing moves.
        for (const char *key : {"a", "d", "s"}) {
            game.xdotool("windowactivate --sync " + game.window());
            ASSERT_FALSE(game.stillScreen(30).rgb.empty()) << "the view never stood still";
            game.pressKey(key);
            game.xdotool("search --class XLogo windowactivate --sync");
            game.releaseKey(key);
            sleepSeconds(0.3);
            game.xdotool("windowactivate --sync " + game.window());
            sleepSeconds(0.5);
            Screenshot back = game.screenshot();
            sleepSeconds(1.5);
            EXPECT_TRUE(game.screenshot().rgb == back.rgb) << key << " stayed down";
        }
        EXPECT_EQ(game.quit(), 0);
    }
    removeTree(dir);
}

// Makes tests/data/window.gzd (scripts/make-recordings.sh; skipped otherwise): a game recorded
// with a fixed seed whose window is resized, which saves frames with 9 and loses the keyboard to
// another window while s is held.
TEST(MakeRecording, Window) {
    const char *folder = getenv("GRAZEWELL_RECORDINGS");
    if (!folder) GTEST_SKIP() << "GRAZEWELL_RECORDINGS names no folder";
    std::string dir = makeTempDir("make-window");
    installTextures(dir);
    std::string file = dir + "/window.gzd";
    {
        GameStart start;
        start.windowManager = true;
        start.arguments = {"--seed", "2", "--record", file};
        GameProcess game(dir, {}, start);
        game.tapKey("1");
        game.pressKey("w");
        sleepSeconds(0.5);
        game.releaseKey("w");
        ASSERT_EQ(game.xdotool("windowsize --sync " + game.window() + " 700 450"), 0);
        sleepSeconds(0.5);
        game.pressKey("9");
        ASSERT_TRUE(game.waitForOutput("Saving image", 20, 3));
        game.releaseKey("9");
        game.pressKey("s");
        sleepSeconds(0.5);
        game.xdotool("exec xlogo -geometry 100x100+1150+900");
        ASSERT_EQ(game.xdotool("search --sync --class XLogo windowactivate --sync"), 0);
        game.releaseKey("s");
        sleepSeconds(0.5);
        game.xdotool("windowactivate --sync " + game.window());
        ASSERT_EQ(game.xdotool("windowsize --sync " + game.window() + " 1000 500"), 0);
        sleepSeconds(0.5);
        game.tapKey("9");
        sleepSeconds(0.5);
        EXPECT_EQ(game.quit(), 0);
    }
    Bytes recorded = readBytes(file);
    ASSERT_FALSE(recorded.empty());
    ASSERT_TRUE(writeBytes(std::string(folder) + "/window.gzd", recorded));
    removeTree(dir);
}

} // namespace
