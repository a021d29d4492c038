// The real game under its own Xvfb: the window, and the way out.
#include "support/game_process.h"

#include <gtest/gtest.h>

namespace {

TEST(EndToEnd, OpensItsWindowAndEscapeEndsWithStatusZero) {
    std::string dir = makeTempDir("window");
    {
        GameProcess game(dir);
        Screenshot shot = game.screenshot();
        EXPECT_EQ(shot.width, 1000);
        EXPECT_EQ(shot.height, 500);
        sleepSeconds(0.5);
        EXPECT_TRUE(game.running());
        EXPECT_EQ(game.quit(), 0);
    }
    removeTree(dir);
}

} // namespace
