// A long run of the real game under a storm of keys and clicks, left clicks that pick among them
// throughout: it must stay up, keep drawing, keep its memory flat and write only whole capture
// files, then end cleanly by Escape.
#include "support/game_process.h"
#include "support/gl_env.h"
#include "support/views.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

// Every capture must be a whole P6 file for a window of the game's size; checked ones are
// removed so that the disk does not fill up. Returns how many were checked.
int checkAndRemoveCaptures(const std::string &dir) {
    std::string folder = dir + "/ppm";
    DIR *listing = opendir(folder.c_str());
    if (!listing) return 0;
    int checked = 0;
    while (dirent *entry = readdir(listing)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        std::string path = folder + "/" + name;
        std::ifstream in(path, std::ios::binary);
        std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        int width = 0, height = 0, maximum = 0, consumed = 0;
        int fields = sscanf(data.c_str(), "P6 %d %d %d%n", &width, &height, &maximum, &consumed);
        EXPECT_EQ(fields, 3) << path;
        EXPECT_EQ(maximum, 255) << path;
        EXPECT_EQ(width, 1000) << path;
        EXPECT_EQ(height, 500) << path;
        EXPECT_EQ(data.size(), size_t(consumed) + 1 + size_t(width) * height * 3) << path;
        if (data.size() > size_t(consumed)) {
            EXPECT_EQ(data[size_t(consumed)], '\r') << path;
        }
        remove(path.c_str());
        checked++;
    }
    closedir(listing);
    return checked;
}

using Clock = std::chrono::steady_clock;

// A key held long enough for a frame to see it: a one-shot key acts once per press.
void holdKey(GameProcess &game, const std::string &key) {
    game.pressKey(key);
    sleepSeconds(0.06);
    game.releaseKey(key);
}

// Waits until no capture is being written: while the console still reports new captures, a
// recording is on (a press may have come and gone between two frames), so '0' stops it.
void stopRecording(GameProcess &game) {
    int saved = countOf(game.output(), "Saving image");
    for (int attempt = 0; attempt < 40; attempt++) {
        sleepSeconds(0.25);
        int now = countOf(game.output(), "Saving image");
        if (now == saved) return;
        if (attempt % 4 == 3) holdKey(game, "0");
        saved = now;
    }
    ADD_FAILURE() << "captures never stop";
}

// How much the resident memory may grow after warm-up; negative where it is not checked (the
// sanitizer build holds freed memory in quarantine, and LeakSanitizer finds leaks there). Tight
// enough that a tenth of a megabyte kept per click shows: the soak makes sure it clicked often
// enough after warm-up for that.
long rssGrowthBoundKb() {
    const char *bound = getenv("GRAZEWELL_SOAK_RSS_GROWTH_KB");
    return bound ? atol(bound) : 8 * 1024;
}
// What a leak the soak must catch keeps for each selection frame (kB).
const long LEAK_PER_CLICK_KB = 100;

// Frames of the soak: short in the suite, as long as wanted by hand.
long soakFrames() {
    const char *frames = getenv("GRAZEWELL_SOAK_FRAMES");
    return frames ? atol(frames) : 3000;
}

// Selection frames the game has finished, and how many of them picked a food.
int selectionFrames(const std::string &output) {
    return countOf(output, "Stopped picking\n");
}
int picks(const std::string &output) {
    return countOf(output, "You picked food");
}

// Left clicks at window points, each followed by a few milliseconds' pause (xdotool waits 100 ms
// after a click unless told not to).
void leftClicks(GameProcess &game, const std::vector<std::pair<int, int>> &points) {
    std::string command;
    for (const auto &point : points)
        command += "mousemove --window " + game.window() + " " + std::to_string(point.first) + " " +
                   std::to_string(point.second) + " click --delay 0 1 sleep 0.02 ";
    game.xdotool(command);
}

// Lets the title drift settle the gaze under clicks on the sky, then clicks every food in view,
// so that the hand holds foods from the start: clicks just below the middle of the window, where
// the top food of the hand shows, pick it again whenever the hand is not empty.
void settleAndPick(GameProcess &game, const std::vector<std::pair<int, int>> &foodPoints) {
    for (int tries = 0; tries < 100 && selectionFrames(game.output()) < 190; tries++)
        leftClicks(game, std::vector<std::pair<int, int>>(20, {3, 3}));
    leftClicks(game, foodPoints);
}

TEST(Soak, StormOfKeysAndClicksThroughout) {
    startWorld(); // for where the foods show at the start
    const std::vector<std::pair<int, int>> foodPoints = settledFoodPoints();
    const long target = soakFrames();
    std::string dir = makeTempDir("soak");
    installTextures(dir);
    std::string frameFile = dir + "/frames.txt";
    {
        // As fast as it draws, as the storm has always been played: the pace is not its matter.
        GameStart start;
        start.arguments = {"--fps", "0"};
        GameProcess game(dir, frameCounterEnvironment(frameFile), start);
        const std::vector<std::string> keys = {"w",
                                               "s",
                                               "a",
                                               "d",
                                               "e",
                                               "f",
                                               "q",
                                               "space",
                                               "r",
                                               "m",
                                               "bracketright",
                                               "semicolon",
                                               "slash",
                                               "comma",
                                               "period",
                                               "1",
                                               "Left",
                                               "Up",
                                               "Right",
                                               "Down",
                                               "Shift_R",
                                               "Control_L"};
        settleAndPick(game, foodPoints);
        std::mt19937 random(20261207);
        auto pick = [&](int n) { return int(random() % unsigned(n)); };

        long frames = 0, lastFrames = 0, warmFrames = -1;
        int warmSelections = 0, warmPicks = 0;
        long warmResident = 0, peakResident = 0;
        int captures = 0;
        Clock::time_point lastCheck = Clock::now(), lastNewFrame = Clock::now();
        // Past its frames the storm goes on, up to three times as long, until it has clicked often
        // enough after warm-up for the memory bound to catch a leak per click: how many clicks a
        // frame takes depends on how fast this machine draws.
        bool clickedEnough = rssGrowthBoundKb() < 0;
        while (frames < target || (!clickedEnough && frames < 3 * target)) {
            switch (pick(8)) {
            case 0:
            case 1:
                game.tapKey(keys[size_t(pick(int(keys.size())))]);
                break;
            case 2: {
                const std::string &key = keys[size_t(pick(int(keys.size())))];
                game.pressKey(key);
                sleepSeconds(0.01 * pick(10));
                game.releaseKey(key);
                break;
            }
            case 3: // any button, the wheel too, anywhere
                game.click(pick(1000), pick(500), 1 + pick(5));
                break;
            case 4: // left clicks that pick: where a held food shows, just below the middle,
                    // and on foods wherever they are; and clicks that miss, on the sky
                game.xdotool("mousemove --window " + game.window() + " " +
                             std::to_string(420 + pick(160)) + " " +
                             std::to_string(280 + pick(160)) +
                             " click --delay 0 1 sleep 0.01 mousemove --window " + game.window() +
                             " " + std::to_string(pick(1000)) + " " + std::to_string(pick(500)) +
                             " click --delay 0 1 sleep 0.01 mousemove --window " + game.window() +
                             " 3 3 click --delay 0 1");
                break;
            case 5: // a short burst of captures
                game.pressKey("9");
                sleepSeconds(0.02);
                game.releaseKey("9");
                break;
            case 6: // a short recording
                holdKey(game, "0");
                sleepSeconds(0.03);
                holdKey(game, "0");
                break;
            case 7: // more left clicks: a tenth of a megabyte kept per click must show
                leftClicks(game, {{pick(1000), pick(500)}, {470 + pick(60), 310 + pick(50)}});
                break;
            }
            ASSERT_TRUE(game.running()) << game.output().substr(0, 2000);

            if (Clock::now() - lastCheck < std::chrono::seconds(2)) continue;
            lastCheck = Clock::now();
            // Frames keep coming, and memory stays flat once warm.
            frames = readFrameCount(frameFile).frames;
            if (frames > lastFrames) lastNewFrame = Clock::now();
            ASSERT_LT(Clock::now() - lastNewFrame, std::chrono::seconds(60))
                << "no new frame for a minute at frame " << frames;
            lastFrames = frames;
            long resident = residentKilobytes(game.pid());
            if (warmFrames < 0 && frames >= target / 5) {
                warmFrames = frames;
                warmResident = resident;
                std::string output = game.output();
                warmSelections = selectionFrames(output);
                warmPicks = picks(output);
            }
            if (warmFrames >= 0) {
                peakResident = std::max(peakResident, resident);
                long clicks = selectionFrames(game.output()) - warmSelections;
                clickedEnough = clickedEnough || clicks * LEAK_PER_CLICK_KB > rssGrowthBoundKb();
            }
            stopRecording(game);
            captures += checkAndRemoveCaptures(dir);
        }
        stopRecording(game);
        captures += checkAndRemoveCaptures(dir);
        std::string output = game.output();
        int selections = selectionFrames(output) - warmSelections;
        int picked = picks(output) - warmPicks;
        printf("soak: %ld frames, %d captures checked, resident %ld kB after warm-up (frame %ld), "
               "peak %ld kB; after warm-up %d selection frames, %d of them on a food\n",
               frames, captures, warmResident, warmFrames, peakResident, selections, picked);
        EXPECT_GT(captures, 0);
        // Clicks that picked a food and clicks that missed; after warm-up the hand may have
        // been empty, so picks there are counted but not required.
        EXPECT_GT(picks(output), 0);
        EXPECT_GT(selections - picked, 0);
        if (rssGrowthBoundKb() >= 0) {
            EXPECT_GT(selections * LEAK_PER_CLICK_KB, rssGrowthBoundKb())
                << "too few clicks after warm-up for the bound to catch a leak per click";
            EXPECT_LE(peakResident - warmResident, rssGrowthBoundKb())
                << "memory grows after warm-up";
        }
        EXPECT_EQ(game.quit(), 0);
    }
    EXPECT_EQ(readFrameCount(frameFile).immediateBegins, 0)
        << "a frame drew geometry one vertex at a time";
    removeTree(dir);
}

} // namespace
