// The real game under its own Xvfb: the bison's first leg, 'm' and ';'.
#include "support/game_process.h"

#include <chrono>
#include <gtest/gtest.h>

namespace {

using Clock = std::chrono::steady_clock;

bool samePicture(const Screenshot &a, const Screenshot &b) {
    return a.width == b.width && a.height == b.height && a.rgb == b.rgb;
}

// The game's frames are counted into this file (tools/frame_counter), so that "still" means that
// frames were drawn between two alike screenshots, not that a loaded machine drew none.
std::string frameFile;

// Waits until the game has drawn at least another step of frames (the counter's, at least
// FRAME_COUNT_STEP of them); false when it drew none for a minute.
bool moreFrames() {
    return waitForFrameCount(frameFile, readFrameCount(frameFile).frames + FRAME_COUNT_STEP, 60);
}

// Waits until two screenshots with frames drawn between them are the same picture; returns it,
// or an empty screenshot on timeout.
Screenshot waitForStillPicture(GameProcess &game, double seconds) {
    auto end = Clock::now() + std::chrono::duration<double>(seconds);
    Screenshot last = game.screenshot();
    while (Clock::now() < end) {
        if (!moreFrames()) return Screenshot();
        Screenshot next = game.screenshot();
        if (samePicture(last, next)) return next;
        last = next;
    }
    return Screenshot();
}

// Waits until the window shows something other than (or, with differ false, exactly) picture.
bool waitForPicture(GameProcess &game, const Screenshot &picture, bool differ, double seconds) {
    auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        if (samePicture(game.screenshot(), picture) != differ) return true;
        sleepSeconds(0.05);
    }
    return false;
}

// One key press held briefly, long enough for a frame to see it (the test display does not
// repeat keys).
void press(GameProcess &game, const std::string &key) {
    game.pressKey(key);
    sleepSeconds(0.3);
    game.releaseKey(key);
}

// Stops the bison near where it started and backs the camera away so that it stays in view;
// returns the picture once the title screen has stopped lowering the gaze (180 ticks from the
// start). Until then a meadow without pictures shows only the dark sky and the text, and two
// screenshots alike would not mean the gaze had settled. Drawn at the default cap, every frame
// the game counts runs at least one tick, so 180 frames more are at least the 180 ticks.
Screenshot stopAndSettle(GameProcess &game) {
    press(game, "m");
    game.pressKey("s");
    sleepSeconds(1.2);
    game.releaseKey("s");
    if (!waitForFrameCount(frameFile, readFrameCount(frameFile).frames + 180, 60))
        return Screenshot();
    return waitForStillPicture(game, 120);
}

// Asks for a nod and watches for it; seen from behind, the body hides the head, so between
// tries the bison is turned on the spot with ','. Returns the resting picture the nod left, or an
// empty one when no nod was seen.
Screenshot watchANod(GameProcess &game, Screenshot still) {
    for (int turn = 0; turn < 8; turn++) {
        if (turn > 0) {
            game.pressKey("comma");
            sleepSeconds(0.4);
            game.releaseKey("comma");
            still = waitForStillPicture(game, 30);
            if (still.width == 0) return still;
        }
        press(game, "semicolon");
        if (waitForPicture(game, still, true, 10)) return still;
    }
    return Screenshot();
}

TEST(EndToEnd, TheBisonWandersUntilMStopsItAndNodsOnSemicolon) {
    // How far the bison walks before 'm' reaches it depends on the machine's speed; when it has
    // left the view there is nothing to watch, and the game is started afresh.
    bool watched = false;
    for (int attempt = 1; attempt <= 3 && !watched; attempt++) {
        std::string dir = makeTempDir("bison");
        {
            frameFile = dir + "/frames.txt";
            GameProcess game(dir, frameCounterEnvironment(frameFile));
            // The first frame starts the first leg.
            ASSERT_TRUE(game.waitForOutput("set up bison move ", 20));
            EXPECT_EQ(game.output().rfind("set up bison move ", 0), 0u) << game.output();

            Screenshot still = stopAndSettle(game);
            ASSERT_GT(still.width, 0) << "the picture never settled";
            ASSERT_TRUE(moreFrames());
            EXPECT_TRUE(samePicture(game.screenshot(), still)) << "the stopped bison moved";

            // ';' nods the head, and the head comes back to rest exactly where it was.
            still = watchANod(game, still);
            if (still.width > 0) {
                watched = true;
                EXPECT_TRUE(waitForPicture(game, still, false, 60)) << "the head kept nodding";

                // 'm' again: the bison walks on; once more: it stands still again.
                press(game, "m");
                EXPECT_TRUE(waitForPicture(game, still, true, 10)) << "it did not walk on";
                press(game, "m");
                Screenshot stopped = waitForStillPicture(game, 30);
                ASSERT_GT(stopped.width, 0) << "the bison did not stop";
                EXPECT_FALSE(samePicture(stopped, still));
                ASSERT_TRUE(moreFrames());
                EXPECT_TRUE(samePicture(game.screenshot(), stopped));
            } else {
                printf("attempt %d: no nod in view\n", attempt);
            }
            EXPECT_EQ(game.quit(), 0);
        }
        removeTree(dir);
    }
    EXPECT_TRUE(watched) << "no nod seen in three games";
}

} // namespace
