// The game's own clock, end to end on the real game: the same game time in the same wall time at
// any --fps, a 1 x 1 window that plays and replays, a recorded reshape that never makes a capture
// larger than the window drawn, and a replay that says why it may part from its recording.
#include "support/game_process.h"

#include "app/app.h"
#include "clock/clock.h"
#include "app/loop.h"
#include "app/ticks.h"
#include "app/replay.h"
#include "app/world_check.h"
#include "input/input.h"
#include "demo/demo.h"
#include "support/gl_env.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>

namespace {

Demo readRecording(const std::string &path) {
    Demo demo;
    std::string reason;
    EXPECT_TRUE(readDemo(path.c_str(), demo, &reason)) << path << ": " << reason;
    return demo;
}

// The ticks from the one that took KEY's press to the one that took its release.
long ticksHeld(const Demo &demo, int key) {
    long down = -1;
    for (size_t i = 0; i < demo.frames.size(); i++)
        for (const DemoEvent &event : demo.frames[i].events) {
            if (event.type == DEMO_KEY_DOWN && event.a == key && down < 0) down = long(i);
            if (event.type == DEMO_KEY_UP && event.a == key && down >= 0) return long(i) - down;
        }
    return -1;
}

// The bison walked ('/', a step a tick) for three seconds of wall time: the ticks it walked.
long bisonWalkTicks(const std::string &dir, const char *fps) {
    std::string file = dir + "/walk-" + fps + ".gzd";
    {
        GameStart start;
        start.arguments = {"--seed", "5", "--mute", "--record", file};
        if (fps[0]) start.arguments.insert(start.arguments.end(), {"--fps", fps});
        GameProcess game(dir, {}, start);
        sleepSeconds(1.0);
        game.pressKey("slash");
        sleepSeconds(3.0);
        game.releaseKey("slash");
        sleepSeconds(0.3);
        EXPECT_EQ(game.quit(), 0);
    }
    return ticksHeld(readRecording(file), '/');
}

TEST(ClockEndToEnd, AtTwentyFramesASecondTheBisonWalksAsFarInThreeSecondsAsByDefault) {
    std::string dir = makeTempDir("clock-pace");
    installTextures(dir);
    long paced = bisonWalkTicks(dir, "");
    long twenty = bisonWalkTicks(dir, "20");
    printf("three seconds of '/': %ld ticks by default, %ld at --fps 20\n", paced, twenty);
    EXPECT_NEAR(double(paced), 180.0, 18.0);
    EXPECT_NEAR(double(twenty), double(paced), paced * 0.1);
    removeTree(dir);
}

// Waits for a replay or timedemo to end by itself; its exit status, or -1 after SECONDS.
int waitForEnd(GameProcess &game, double seconds) {
    return game.waitForExit(seconds) ? game.quit() : -1;
}

TEST(ClockEndToEnd, AOneByOneWindowPlaysAndItsRecordingReplays) {
    std::string dir = makeTempDir("one-by-one");
    installTextures(dir);
    std::string file = dir + "/tiny.gzd";
    {
        GameStart start;
        start.arguments = {"--seed", "2", "--mute", "--record", file, "-geometry", "1x1"};
        GameProcess game(dir, {}, start);
        sleepSeconds(2.0);
    }
    Demo demo = readRecording(file);
    EXPECT_GE(demo.frames.size(), 60u) << "a live game of 1 x 1 stood still";
    for (const char *how : {"--replay", "--timedemo"}) {
        GameStart start;
        start.arguments = {how, file};
        GameProcess game(dir, {}, start);
        EXPECT_EQ(waitForEnd(game, 30), 0) << how << " of a 1 x 1 game: " << game.errors();
    }
    removeTree(dir);
}

// A recording made in process at the largest size a recording holds (its header's, or a reshape's
// in its second tick), with 9 held in two of its ticks, written at file.
void writeHugeRecording(const std::string &file, bool inHeader) {
    startWorld();
    DemoHeader header;
    header.gameVersion = GRAZEWELL_VERSION;
    header.seed = 9;
    header.width = inHeader ? DEMO_MAX_WINDOW_SIDE : 1000;
    header.height = inHeader ? DEMO_MAX_WINDOW_SIDE : 500;
    header.fps = 60;
    header.platform = "linux";
    header.fingerprint = worldFingerprint();
    startDemo(header);
    releaseKeysWithFocus = false; // only the events written move this game
    DemoWriter writer;
    std::string reason;
    ASSERT_TRUE(openDemoWriter(writer, file.c_str(), header, &reason)) << reason;
    std::vector<std::vector<DemoEvent>> ticks(12);
    if (!inHeader) ticks[1] = {{DEMO_RESHAPE, DEMO_MAX_WINDOW_SIDE, DEMO_MAX_WINDOW_SIDE}};
    ticks[4] = {{DEMO_KEY_DOWN, '9'}};
    ticks[6] = {{DEMO_KEY_UP, '9'}};
    drawEveryFrame = false;
    for (const auto &events : ticks)
        ASSERT_TRUE(writeDemoFrame(writer, runTick(events, TICK_ADVANCE)));
    drawEveryFrame = true;
    closeDemoWriter(writer);
    freshWorld();
}

// The real game replays a recording of a window far larger than the screen, and its captures are
// no larger than the screen it drew on (1280 x 1024), whether the header or a reshape asked for
// it. The same file cut short, in a folder with other tree pictures, says both up front.
TEST(ClockEndToEnd, AHugeRecordedWindowCapturesNoMoreThanTheWindowDrawn) {
    std::string dir = makeTempDir("huge-reshape");
    installTextures(dir);
    std::string file = dir + "/huge.gzd";
    // Its header's size, then a reshape's, each far beyond the screen.
    for (bool inHeader : {true, false}) {
        removeTree(dir + "/ppm");
        remove(file.c_str());
        writeHugeRecording(file, inHeader);
        GameStart start;
        start.arguments = {"--replay", file};
        GameProcess game(dir, {}, start);
        EXPECT_EQ(waitForEnd(game, 60), 0) << game.errors();
        EXPECT_EQ(game.errors().find("tree pictures"), std::string::npos) << game.errors();
        for (const char *capture : {"/ppm/img000.ppm", "/ppm/img001.ppm"}) {
            Bytes bytes = readBytes(dir + capture);
            EXPECT_GT(bytes.size(), 0u) << "no capture was made";
            EXPECT_LE(bytes.size(), size_t(1280) * 1024 * 3 + 32) << inHeader;
        }
    }

    Bytes whole = readBytes(file);
    whole.resize(whole.size() - 2);
    ASSERT_TRUE(writeBytes(file, whole));
    Bytes tree = readBytes(dir + "/tex/tree.tga");
    ASSERT_GT(tree.size(), 18u);
    for (size_t alpha = 18 + 3; alpha < tree.size(); alpha += 4) tree[alpha] = 255;
    ASSERT_TRUE(writeBytes(dir + "/tex/tree.tga", tree));
    {
        GameStart start;
        start.arguments = {"--replay", file};
        GameProcess game(dir, {}, start);
        waitForEnd(game, 60);
        std::string said = game.errors();
        EXPECT_NE(said.find("the tree pictures here are not the recording's"), std::string::npos)
            << said;
        EXPECT_NE(said.find("was cut inside a tick; its 11 whole ticks are played"),
                  std::string::npos)
            << said;
    }
    removeTree(dir);
}

} // namespace
