// The assists on the real game: with captions on and sound muted the bison's hooves are captioned
// (read back by Tesseract where it is installed), and the same paused moment with captions
// switched off in the options differs only in the captions area; the centre's key, bound in the
// settings file, picks as a left click at the view's centre and is recorded so.
#include "demo/demo.h"
#include "support/game_process.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <cstdlib>
#include <gtest/gtest.h>
#include <chrono>
#include <string>
#include <sys/wait.h>

namespace {

// The box (from the window's top-left corner) of every pixel that differs between two
// screenshots of a size; width 0 when none does.
struct Area {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
    long pixels = 0;
};
Area differingArea(const Screenshot &a, const Screenshot &b) {
    Area area;
    for (int y = 0; y < a.height; y++)
        for (int x = 0; x < a.width; x++)
            if (memcmp(a.at(x, y), b.at(x, y), 3) != 0) {
                area.x0 = std::min(area.x0, x), area.x1 = std::max(area.x1, x);
                area.y0 = std::min(area.y0, y), area.y1 = std::max(area.y1, y);
                area.pixels++;
            }
    return area;
}

// What Tesseract reads in a part of a screenshot (scaled up four times, dark on light), or ""
// when it is not installed.
std::string readBack(const Screenshot &shot, const Area &area, const std::string &dir) {
    if (system("command -v tesseract >/dev/null 2>&1") != 0) return "";
    int width = area.x1 - area.x0 + 1, height = area.y1 - area.y0 + 1, scale = 4;
    std::string picture = dir + "/caption.ppm", text = dir + "/caption";
    FILE *file = fopen(picture.c_str(), "wb");
    if (!file) return "";
    fprintf(file, "P6\n%d %d\n255\n", width * scale, height * scale);
    for (int y = 0; y < height * scale; y++)
        for (int x = 0; x < width * scale; x++) {
            const unsigned char *rgb = shot.at(area.x0 + x / scale, area.y0 + y / scale);
            for (int c = 0; c < 3; c++) fputc(255 - rgb[c], file);
        }
    fclose(file);
    if (system(("tesseract '" + picture + "' '" + text + "' >/dev/null 2>&1").c_str()) != 0)
        return "";
    Bytes read = readBytes(text + ".txt");
    return std::string(read.begin(), read.end());
}

TEST(AssistsEndToEnd, MutedTheHoovesAreCaptionedAndOnlyTheCaptionsAreaShowsIt) {
    std::string dir = makeTempDir("assists-captions");
    installTextures(dir);
    GameStart start;
    start.arguments = {"--seed", "3", "--mute", "--captions"};
    GameProcess game(dir, {}, start);
    // The bison wanders from the start; paused, the game and its captions stand still.
    sleepSeconds(4.0);
    game.tapKey("p");
    Screenshot captioned = game.stillScreen(30);
    ASSERT_FALSE(captioned.rgb.empty()) << "the paused game never stood still";
    // The same moment with captions off: the options' Captions item, the game paused beneath.
    game.tapKey("F10");
    sleepSeconds(0.5);
    for (int row = 0; row < 6; row++) {
        game.tapKey("Down");
        sleepSeconds(0.2);
    }
    game.tapKey("Return");
    sleepSeconds(0.2);
    game.tapKey("Escape");
    Screenshot plain = game.stillScreen(30);
    ASSERT_FALSE(plain.rgb.empty());
    Area area = differingArea(captioned, plain);
    ASSERT_GT(area.pixels, 200) << "no caption showed";
    // At the bottom, in the middle: the captions area, and nowhere else.
    EXPECT_GE(area.y0, captioned.height - 60);
    EXPECT_LT(area.y1, captioned.height);
    EXPECT_GT(area.x0, 250);
    EXPECT_LT(area.x1, captioned.width - 250);
    EXPECT_LT(std::abs((area.x0 + area.x1) / 2 - captioned.width / 2), 4);
    std::string words = readBack(captioned, area, dir);
    if (words.empty())
        printf("tesseract is not installed: the caption's words were not read back\n");
    else
        EXPECT_NE(words.find("hooves"), std::string::npos) << "read: " << words;
    printf("read back: %s", words.c_str());
    EXPECT_EQ(game.quit(), 0);
    EXPECT_EQ(game.errors(), "");
    // Given for this game alone, and switched off as it was: nothing of it is kept.
    std::string settings = dir + "/config/grazewell/settings.toml";
    if (fileExists(settings)) {
        Bytes kept = readBytes(settings);
        EXPECT_EQ(std::string(kept.begin(), kept.end()).find("captions"), std::string::npos);
    }
    removeTree(dir);
}

TEST(AssistsEndToEnd, TheCentresKeyPicksAsAClickAtTheCentreAndIsRecordedSo) {
    std::string dir = makeTempDir("assists-centre");
    installTextures(dir);
    std::string settings = dir + "/config/grazewell/settings.toml";
    std::filesystem::create_directories(dir + "/config/grazewell");
    std::string text = "[keys]\npick_at_centre = [\"c\"]\n";
    ASSERT_TRUE(writeBytes(settings, Bytes(text.begin(), text.end())));
    std::string recording = dir + "/centre.gzd";
    {
        GameStart start;
        start.arguments = {"--seed", "3", "--mute", "--crosshair", "--record", recording};
        GameProcess game(dir, {}, start);
        ASSERT_TRUE(game.holdKeyUntil("c", "Stopped picking\n", 30)) << game.output();
        EXPECT_EQ(game.quit(), 0);
        EXPECT_EQ(game.errors(), "");
    }
    Demo demo;
    std::string reason;
    ASSERT_TRUE(readDemo(recording.c_str(), demo, &reason)) << reason;
    int centre = 0, keys = 0;
    for (const DemoFrame &frame : demo.frames)
        for (const DemoEvent &event : frame.events) {
            centre += event.type == DEMO_MOUSE && event.a == 0 && event.b == 0 && event.c == 500 &&
                      event.d == 250;
            keys += (event.type == DEMO_KEY_DOWN && event.a == 'c');
        }
    EXPECT_EQ(centre, 1) << "one press of c, one click at the centre";
    EXPECT_EQ(keys, 0) << "c reaches the game as the click alone";
    // It replays to its end, the pick as recorded.
    GameStart start;
    start.arguments = {"--replay", recording, "--fps", "0", "--mute"};
    GameProcess replay(dir, {}, start);
    ASSERT_TRUE(replay.waitForExit(60));
    EXPECT_EQ(replay.quit(), 0) << replay.errors();
    removeTree(dir);
}

} // namespace

namespace {

// What a game program run with state folder state and these arguments prints, and its status.
std::string runGame(const std::string &state, const std::string &arguments, int *status) {
    std::string command = "XDG_STATE_HOME='" + state + "' '" + builtGame() + "' " + arguments;
    FILE *pipe = popen(command.c_str(), "r");
    std::string text;
    char buffer[4096];
    size_t got = 0;
    while (pipe && (got = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, got);
    int ended = pipe ? pclose(pipe) : -1;
    *status = WIFEXITED(ended) ? WEXITSTATUS(ended) : -1;
    return text;
}

// Four seconds of a game at half speed, kept in the games folder: about 120 ticks, listed at its
// speed, and played back at it to the same lines.
TEST(AssistsEndToEnd, FourSecondsAtHalfSpeedHoldAbout120TicksAndReplayToTheSameLines) {
    std::string dir = makeTempDir("assists-speed");
    installTextures(dir);
    std::string state = dir + "/state";
    std::string played;
    {
        GameStart start;
        start.arguments = {"--seed", "5", "--mute", "--game-speed", "50"};
        GameProcess game(dir, {}, start);
        ASSERT_TRUE(game.waitForOutput("set up bison move ", 20)) << "the first tick never came";
        sleepSeconds(4.0);
        game.pressKey("Escape");
        ASSERT_TRUE(game.waitForExit(20));
        game.releaseKey("Escape");
        EXPECT_EQ(game.quit(), 0);
        played = game.output();
        EXPECT_EQ(game.errors(), "");
    }
    int status = 0;
    std::string listing = runGame(state, "--games", &status);
    EXPECT_EQ(status, 0);
    size_t at = listing.find("  at 50% speed  ");
    ASSERT_NE(at, std::string::npos) << listing;
    std::string name = listing.substr(at + 16, listing.find('\n', at) - at - 16);
    Demo demo;
    std::string reason;
    ASSERT_TRUE(readDemo((state + "/grazewell/games/" + name).c_str(), demo, &reason)) << reason;
    EXPECT_EQ(demo.header.speed, 50);
    // Four seconds and the moment it took Escape to be seen: 30 ticks a second.
    EXPECT_GE(demo.frames.size(), 118u);
    EXPECT_LE(demo.frames.size(), 140u);
    printf("%zu ticks recorded in four seconds at half speed\n", demo.frames.size());
    GameStart start;
    start.arguments = {"--replay", "last"};
    GameProcess replay(dir, {}, start);
    auto begun = std::chrono::steady_clock::now();
    ASSERT_TRUE(replay.waitForExit(60));
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count();
    EXPECT_EQ(replay.quit(), 0) << replay.errors();
    EXPECT_EQ(replay.output(), played);
    // At its own speed, not twice as fast: the window's opening and the exit on top.
    EXPECT_GT(seconds, double(demo.frames.size()) / 30.0 - 0.2);
    removeTree(dir);
}

} // namespace
