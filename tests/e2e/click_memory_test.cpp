// A click costs nothing: every left click draws a whole frame in GL selection mode, and Mesa's
// software renderer keeps memory for every immediate-mode vertex of such a frame. The real game,
// after 100 warm-up clicks, takes 1,000 more (on foods, which it picks, and on the sky, which it
// misses) and its resident memory may grow by at most 5 MB.
#include "support/game_process.h"
#include "support/gl_env.h"
#include "support/views.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Selection frames the game has finished so far.
int selectionFrames(const GameProcess &game) {
    return countOf(game.output(), "Stopped picking\n");
}

struct Click {
    int x, y, button;
};

// Several clicks in one xdotool run, a few milliseconds apart (xdotool waits 100 ms after each
// click unless told not to): clicks that fall within one frame make one selection frame, and
// only selection frames are counted.
void clickAll(GameProcess &game, const std::vector<Click> &clicks) {
    std::string command;
    for (const Click &click : clicks)
        command += "mousemove --window " + game.window() + " " + std::to_string(click.x) + " " +
                   std::to_string(click.y) + " click --delay 0 " + std::to_string(click.button) +
                   " sleep 0.01 ";
    game.xdotool(command);
}

// Clicks until at least count more selection frames are finished: left clicks on the foods'
// points (when given) and on the sky, and a right click now and then, which throws the top food
// of the hand so that picked foods fly, land and come home to be picked again. False when the
// selection frames stop coming.
bool clickFrames(GameProcess &game, int count, const std::vector<std::pair<int, int>> &foods) {
    const Click sky = {3, 3, 1};
    int target = selectionFrames(game) + count;
    size_t next = 0;
    for (int stalled = 0; selectionFrames(game) < target;) {
        int before = selectionFrames(game);
        std::vector<Click> batch;
        for (int k = 0; k < 10; k++) {
            if (!foods.empty()) {
                const std::pair<int, int> &food = foods[next++ % foods.size()];
                batch.push_back({food.first, food.second, 1});
            }
            batch.push_back(sky);
        }
        batch.push_back({3, 3, 3});
        clickAll(game, batch);
        if (!game.running()) return false;
        stalled = selectionFrames(game) > before ? 0 : stalled + 1;
        if (stalled > 20) return false;
    }
    return true;
}

TEST(ClickMemory, AThousandClicksCostAtMostFiveMegabytes) {
    startWorld(); // for the foods' homes and the settled gaze
    std::vector<std::pair<int, int>> points = settledFoodPoints();
    ASSERT_GE(points.size(), 4u);
    std::string dir = makeTempDir("clicks");
    installTextures(dir);
    std::string frameFile = dir + "/frames.txt";
    {
        // As fast as it draws: the clicks' frames, not the pace, are what is measured.
        GameStart start;
        start.arguments = {"--fps", "0"};
        GameProcess game(dir, frameCounterEnvironment(frameFile), start);
        // The bison stands still, so that it hides the same foods throughout.
        game.pressKey("m");
        ASSERT_TRUE(clickFrames(game, 1, {}));
        game.releaseKey("m");
        // Warm-up: the title drift runs its course (181 frames) under clicks on the sky, then
        // '1' starts the game and 100 clicks more warm every path of a pick.
        ASSERT_TRUE(clickFrames(game, 190, {}));
        game.pressKey("1");
        ASSERT_TRUE(clickFrames(game, 2, {}));
        game.releaseKey("1");
        ASSERT_TRUE(clickFrames(game, 100, points));

        int picksBefore = countOf(game.output(), "You picked food");
        int framesBefore = selectionFrames(game);
        long before = residentKilobytes(game.pid());
        ASSERT_TRUE(clickFrames(game, 1000, points)) << game.output().substr(0, 2000);
        long after = residentKilobytes(game.pid());
        int frames = selectionFrames(game) - framesBefore;
        int picks = countOf(game.output(), "You picked food") - picksBefore;
        printf("clicks: %d selection frames (%d on a food), resident %ld kB -> %ld kB: %+ld kB\n",
               frames, picks, before, after, after - before);
        // Both kinds of click were made: picks that take a food, and misses.
        EXPECT_GT(picks, 50);
        EXPECT_LT(picks, frames - 100);
        EXPECT_LE(after - before, 5 * 1024) << "memory grows with every click";
        EXPECT_EQ(game.quit(), 0);
    }
    FrameCount count = readFrameCount(frameFile);
    EXPECT_GT(count.frames, 1000);
    EXPECT_EQ(count.immediateBegins, 0) << "a frame drew geometry one vertex at a time";
    removeTree(dir);
}

} // namespace
