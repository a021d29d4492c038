// The real game: a key tap shorter than a frame still acts, and a click's selection frame never
// shows (or captures) a frame the game did not draw.
#include "support/files.h"
#include "support/game_process.h"

#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

// Holds a key over a few frames.
void holdFor(GameProcess &game, const std::string &key, double seconds) {
    game.pressKey(key);
    sleepSeconds(seconds);
    game.releaseKey(key);
}

// At ten frames a second a tap from xdotool (down and up a few milliseconds apart) falls between
// two frames nearly every time; it acts all the same.
TEST(KeyTaps, AtTenFramesASecondOneShortTapStartsPlayAndOneEndsTheGame) {
    std::string dir = makeTempDir("taps");
    installTextures(dir);
    {
        GameStart start;
        start.arguments = {"--fps", "10"};
        GameProcess game(dir, {}, start);
        holdFor(game, "m", 0.3); // the bison stands still
        Screenshot title = game.stillScreen(60);
        ASSERT_FALSE(title.rgb.empty()) << "the title never stood still";
        game.xdotool("key 1");
        sleepSeconds(1);
        Screenshot playing = game.screenshot();
        EXPECT_NE(playing.rgb, title.rgb) << "a tap of 1 did not leave the title";

        game.xdotool("key Escape");
        game.waitForExit(20);
        EXPECT_FALSE(game.running()) << "a tap of Escape did not end the game";
        if (game.running()) game.quit();
    }
    removeTree(dir);
}

// Recording every tick while turning: each tick differs from the one before, and so must each
// capture, the clicks' ticks among them.
TEST(Clicks, CapturesOfEveryFrameWhileClickingAndTurningAllDifferFromTheOneBefore) {
    std::string dir = makeTempDir("click-captures");
    installTextures(dir);
    {
        GameStart start;
        start.arguments = {"--fps", "10", "-geometry", "400x200"};
        GameProcess game(dir, {}, start);
        // Turning all the while the recording runs: captures are made a tick, six to a frame
        // here, and a tick without a turn between the keys would capture the same picture.
        game.pressKey("a");
        ASSERT_TRUE(game.holdKeyUntil("0", "Saving image", 20)) << "no recording";
        for (int click = 0; click < 12; click++) {
            game.click(3, 3, 1); // the sky
            sleepSeconds(0.25);
        }
        holdFor(game, "0", 0.3); // the recording stops
        game.releaseKey("a");
        EXPECT_GE(countOf(game.output(), "Stopped picking\n"), 6) << "too few selection frames";
        EXPECT_EQ(game.quit(), 0);
    }
    int files = 0, same = 0;
    Bytes before;
    for (int index = 0;; index++) {
        char name[64];
        snprintf(name, sizeof name, "/ppm/img%03d.ppm", index);
        if (!fileExists(dir + name)) break;
        Bytes capture = readBytes(dir + name);
        if (capture == before) {
            same++;
            ADD_FAILURE() << name << " equals the capture before it";
        }
        before = capture;
        files++;
    }
    EXPECT_GE(files, 20);
    EXPECT_EQ(same, 0);
    removeTree(dir);
}

} // namespace
