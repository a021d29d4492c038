// The real game drawing faster than its ticks, traced by apitrace: each frame shows the world at
// its own moment, so no two frames in a row draw the same while the bison walks.
#include "support/game_process.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

// The GL calls of each frame of TRACE as apitrace dumps them, without their numbers, one list a
// buffer swap; freeglut making its context current again is no call of the frame's.
std::vector<std::vector<std::string>> tracedFrames(const std::string &trace) {
    std::vector<std::vector<std::string>> frames(1);
    FILE *dump = popen(("apitrace dump --color=never '" + trace + "' 2>/dev/null").c_str(), "r");
    if (!dump) return {};
    std::string line;
    for (int c; (c = fgetc(dump)) != EOF;) {
        if (c != '\n') {
            line += char(c);
            continue;
        }
        size_t call = line.find(' ');
        std::string body = call == std::string::npos ? "" : line.substr(call + 1);
        line.clear();
        if (body.empty() || body.rfind("glXMakeContextCurrent", 0) == 0) continue;
        if (body.rfind("glXSwapBuffers", 0) == 0)
            frames.emplace_back();
        else
            frames.back().push_back(body);
    }
    pclose(dump);
    frames.pop_back(); // calls after the last swap were never shown
    return frames;
}

// The view a frame is drawn from: its first matrix loaded by the eye's gluLookAt.
std::string viewOf(const std::vector<std::string> &frame) {
    for (const std::string &call : frame)
        if (call.rfind("glMultMatrixf(", 0) == 0) return call;
    return "";
}

TEST(DrawingEndToEnd, AtFpsZeroNoTwoFramesInARowDrawTheSameWhileTheBisonWalks) {
    std::string dir = makeTempDir("drawn-frames");
    installTextures(dir);
    std::string trace = dir + "/frames.trace";
    std::string launcher = dir + "/trace.sh";
    std::string script = "#!/bin/sh\nexec apitrace trace --output='" + trace + "' \"$@\"\n";
    ASSERT_TRUE(writeBytes(launcher, Bytes(script.begin(), script.end())));
    ASSERT_EQ(chmod(launcher.c_str(), 0755), 0);
    {
        GameStart start;
        start.launcher = launcher;
        // A small window draws many frames between two ticks, even on a busy machine.
        start.arguments = {"--fps", "0", "--mute", "--seed", "7", "-geometry", "200x100"};
        GameProcess game(dir, {}, start);
        game.tapKey("1"); // playing: the eye stands still and only the bison walks
        sleepSeconds(3);
        ASSERT_EQ(game.quit(), 0) << game.errors();
    }
    std::vector<std::vector<std::string>> frames = tracedFrames(trace);
    ASSERT_GT(frames.size(), 60u) << "apitrace (scripts/install-deps.sh) traced too few frames";
    int stillPairs = 0;
    for (size_t k = 1; k < frames.size(); k++) {
        if (viewOf(frames[k]).empty() || viewOf(frames[k]) != viewOf(frames[k - 1])) continue;
        stillPairs++;
        EXPECT_NE(frames[k], frames[k - 1])
            << "frame " << k << " draws what frame " << k - 1 << " drew";
    }
    EXPECT_GE(stillPairs, 60) << "too few frames in a row from the same eye to tell";
    removeTree(dir);
}

} // namespace
