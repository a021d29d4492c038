// Recordings end to end: a short game played through the window with xdotool and recorded, then
// replayed by the real game to the same end, the same lines and the same captures; and the pace
// the game keeps by default.
#include "build_paths.h"
#include "demo/demo.h"
#include "input/input.h"
#include "support/game_process.h"

#include <chrono>
#include <gtest/gtest.h>
#include <regex>
#include <string>

namespace {

// The captures in dir/ppm, in order, whole.
std::vector<Bytes> captures(const std::string &dir) {
    std::vector<Bytes> files;
    for (int i = 0; i < 1000; i++) {
        char name[32];
        snprintf(name, sizeof name, "/ppm/img%03d.ppm", i);
        if (!fileExists(dir + name)) break;
        files.push_back(readBytes(dir + name));
    }
    return files;
}

// Recorded drawn at 20 frames a second (three ticks a frame) and replayed as fast as it draws: the
// same ticks, so the same lines and the same captures, byte for byte.
TEST(RecordingEndToEnd, AGameRecordedThroughTheWindowReplaysToTheSameLinesAndCaptures) {
    std::string dir = makeTempDir("record-replay");
    installTextures(dir);
    std::string file = dir + "/game.gzd";
    std::string played;
    {
        GameStart start;
        start.arguments = {"--seed", "3", "--fps", "20", "--record", file};
        GameProcess game(dir, {}, start);
        game.tapKey("1");
        game.pressKey("a");
        game.click(500, 300, 1); // the meadow: a pick that hits no food
        ASSERT_TRUE(game.waitForOutput("Stopped picking\n", 20));
        game.releaseKey("a");
        game.pressKey("9");
        ASSERT_TRUE(game.waitForOutput("Saving image", 20, 3));
        game.releaseKey("9");
        game.pressKey("w");
        sleepSeconds(0.3);
        game.releaseKey("w");
        game.tapKey("9");
        sleepSeconds(0.3);
        EXPECT_EQ(game.quit(), 0);
        played = game.output();
    }
    {
        // The game is left once the tick that took Escape is done, and that tick is recorded.
        Demo demo;
        std::string reason;
        ASSERT_TRUE(readDemo(file.c_str(), demo, &reason)) << reason;
        ASSERT_FALSE(demo.frames.empty());
        bool quits = false;
        DemoFrame last = demo.frames[demo.frames.size() - 1];
        for (const DemoEvent &event : last.events)
            quits = quits || (event.type == DEMO_KEY_DOWN && event.a == KEY_ESCAPE);
        EXPECT_TRUE(quits) << "the last recorded tick does not hold Escape";
    }
    std::vector<Bytes> recorded = captures(dir);
    ASSERT_GE(recorded.size(), 3u);
    ASSERT_EQ(rename((dir + "/ppm").c_str(), (dir + "/ppm-played").c_str()), 0);
    {
        GameStart start;
        start.arguments = {"--replay", file, "--fps", "0"};
        GameProcess replay(dir, {}, start);
        replay.waitForExit(120);
        ASSERT_FALSE(replay.running()) << "the replay never ended";
        // Every frame's checksum agreed, the last one's included, or it would have stopped.
        EXPECT_EQ(replay.quit(), 0) << replay.errors();
        EXPECT_EQ(replay.output(), played);
    }
    std::vector<Bytes> replayed = captures(dir);
    ASSERT_EQ(replayed.size(), recorded.size());
    for (size_t i = 0; i < recorded.size(); i++)
        EXPECT_TRUE(replayed[i] == recorded[i]) << "capture " << i << " differs";
    removeTree(dir);
}

// The recorded game that resizes its window, captures and loses the keyboard, played by the real
// game as a timedemo: every frame agrees (or it would stop with status 3), its captures are made
// again, and the figures are its last line.
TEST(RecordingEndToEnd, ATimedemoPlaysARecordingThroughAndPrintsItsFigures) {
    std::string dir = makeTempDir("timedemo");
    installTextures(dir);
    {
        GameStart start;
        start.arguments = {"--timedemo", GRAZEWELL_SOURCE_DIR "/tests/data/window.gzd"};
        GameProcess game(dir, {}, start);
        ASSERT_TRUE(game.waitForOutput("timedemo: ", 120)) << game.errors();
        EXPECT_EQ(game.quit(), 0) << game.errors();
        std::string out = game.output();
        std::string last = out.substr(out.rfind("timedemo: "));
        EXPECT_TRUE(
            std::regex_match(last, std::regex("timedemo: [0-9]+ frames in [0-9.]+ s: [0-9.]+ "
                                              "fps average, [0-9.]+ fps 1% low, slowest "
                                              "frame [0-9]+ \\([0-9.]+ ms\\)\n")))
            << last;
        EXPECT_GE(countOf(out, "Saving image"), 3);
        EXPECT_TRUE(fileExists(dir + "/ppm/img000.ppm"));
        EXPECT_EQ(game.errors().find("differs"), std::string::npos) << game.errors();
    }
    removeTree(dir);
}

// Frames drawn a second by a game started with these arguments, once its window shows. The
// counter writes its count every hundred frames, so the clock is read as the count steps: from one
// step to the one three hundred frames later.
double framesPerSecond(const std::string &dir, std::vector<std::string> arguments) {
    std::string counter = dir + "/frames.txt";
    GameStart start;
    start.arguments = arguments;
    // A small window draws quickly, so that a game not held to its pace would show it.
    start.arguments.insert(start.arguments.end(), {"-geometry", "200x100", "--mute"});
    GameProcess game(dir, frameCounterEnvironment(counter), start);
    using Clock = std::chrono::steady_clock;
    // The time the count first reads at least `frames` (or -1 after 20 s).
    auto stepTo = [&](long frames, long *read) {
        Clock::time_point give = Clock::now() + std::chrono::seconds(20);
        while (Clock::now() < give) {
            *read = readFrameCount(counter).frames;
            if (*read >= frames) return Clock::now();
            sleepSeconds(0.002);
        }
        return Clock::time_point::min();
    };
    long first = 0, last = 0;
    sleepSeconds(1.0);
    long now = readFrameCount(counter).frames;
    Clock::time_point begun = stepTo(now + 1, &first);
    Clock::time_point ended = stepTo(first + 300, &last);
    EXPECT_EQ(game.quit(), 0);
    if (begun == Clock::time_point::min() || ended == Clock::time_point::min()) {
        ADD_FAILURE() << "the frame count stood still";
        return 0;
    }
    return double(last - first) / std::chrono::duration<double>(ended - begun).count();
}

TEST(RecordingEndToEnd, TheGameKeepsSixtyFramesASecondByDefault) {
    std::string dir = makeTempDir("pace");
    installTextures(dir);
    double paced = framesPerSecond(dir, {});
    double free = framesPerSecond(dir, {"--fps", "0"});
    printf("by default %.1f frames a second, with --fps 0 %.1f\n", paced, free);
    // Loose: a busy machine may draw fewer, never many more.
    EXPECT_GT(paced, 30.0);
    EXPECT_LT(paced, 63.0);
    EXPECT_GT(free, paced * 1.5) << "this machine could not tell a paced game from a free one";
    removeTree(dir);
}

} // namespace
