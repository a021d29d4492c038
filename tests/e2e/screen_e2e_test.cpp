// The screen's words on the real game: the pause line and the keys' list never cover the score
// lines, at the first window's size and at a small one; the options key opens the options over a
// paused game that Escape lets go on, and that a recording holds and replays in step; a key bound
// by pressing it is kept in the settings file and walks in the next game.
#include "demo/demo.h"
#include "game.h"
#include "hud/options.h"
#include "hud/screen_text.h"
#include "input/bindings.h"
#include "support/game_process.h"
#include "support/gl_env.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::string fileText(const std::string &path) {
    Bytes bytes = readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// The pixels of a screenshot inside the boxes (from the window's top-left corner) that differ
// from another's.
int differingIn(const Screenshot &a, const Screenshot &b, const std::vector<Box> &boxes) {
    int differing = 0;
    for (const Box &box : boxes)
        for (int y = std::max(box.y, 0); y < std::min(box.bottom(), a.height); y++)
            for (int x = std::max(box.x, 0); x < std::min(box.right(), a.width); x++)
                differing += memcmp(a.at(x, y), b.at(x, y), 3) != 0;
    return differing;
}

int differing(const Screenshot &a, const Screenshot &b) {
    return differingIn(a, b, {{0, 0, a.width, a.height}});
}

// Taps key times times, a while apart: two taps of one key read at once are the keyboard's
// auto-repeat to the game, one press.
void tapTimes(GameProcess &game, const std::string &key, int times) {
    for (int i = 0; i < times; i++) {
        game.tapKey(key);
        sleepSeconds(0.2);
    }
}

// Starts playing once the title's gaze has settled (keys sent before the game listens are lost),
// the bison stopped, and gives the view as it then stands still.
Screenshot startPlaying(GameProcess &game) {
    EXPECT_FALSE(game.stillScreen(60).rgb.empty()) << "the title never stood still";
    game.tapKey("1");
    game.tapKey("m");
    return game.stillScreen(60);
}

TEST(ScreenEndToEnd, PausedWithTheKeysShownTheScoreLinesAreUntouched) {
    startWorld(); // the score lines' boxes are measured in GLUT's font
    for (const auto &size : {std::pair<int, int>{1000, 500}, {400, 200}}) {
        std::string geometry = std::to_string(size.first) + "x" + std::to_string(size.second);
        std::string dir = makeTempDir("screen-paused");
        installTextures(dir);
        GameStart start;
        start.arguments = {"--seed", "3", "-geometry", geometry};
        GameProcess game(dir, {}, start);
        Screenshot playing = startPlaying(game);
        ASSERT_FALSE(playing.rgb.empty()) << geometry << ": the view never stood still";
        ASSERT_EQ(playing.width, size.first);
        game.tapKey("p");
        game.tapKey("F1");
        Screenshot paused = game.stillScreen(30);
        ASSERT_FALSE(paused.rgb.empty()) << geometry;
        std::vector<Box> score = gameLineBoxes(STATE_PLAYING, size.first, size.second, 1.0f);
        EXPECT_GT(differing(playing, paused), 2000) << geometry << ": no pause line or keys shown";
        EXPECT_EQ(differingIn(playing, paused, score), 0)
            << geometry << ": the score lines were drawn over";
        EXPECT_EQ(game.quit(), 0);
        removeTree(dir);
    }
}

TEST(ScreenEndToEnd, TheOptionsPauseTheGameEscapeLetsItGoOnAndItsRecordingReplaysInStep) {
    std::string dir = makeTempDir("screen-options");
    installTextures(dir);
    std::string recording = dir + "/game.gzd";
    {
        GameStart start;
        start.arguments = {"--seed", "3", "--record", recording};
        GameProcess game(dir, {}, start);
        Screenshot still = startPlaying(game);
        ASSERT_FALSE(still.rgb.empty());
        game.tapKey("F10");
        Screenshot options = game.stillScreen(30);
        EXPECT_GT(differing(still, options), 5000) << "the options did not show";
        // The game's keys are the options' now, and the game stands still beneath.
        game.pressKey("s");
        sleepSeconds(0.5);
        game.releaseKey("s");
        tapTimes(game, "Down", 1);
        tapTimes(game, "Up", 1);
        EXPECT_EQ(differing(game.stillScreen(30), options), 0)
            << "the game moved under the options";
        // Escape closes them, and the game, no longer paused, walks.
        game.tapKey("Escape");
        Screenshot closed = game.stillScreen(30);
        EXPECT_TRUE(game.running()) << "Escape quit the game with the options shown";
        EXPECT_EQ(differing(closed, still), 0) << "the options or a pause line stayed";
        game.pressKey("s");
        sleepSeconds(0.5);
        game.releaseKey("s");
        EXPECT_GT(differing(game.stillScreen(30), closed), 5000) << "the game did not go on";
        EXPECT_EQ(game.quit(), 0);
        EXPECT_EQ(game.errors(), "");
    }
    // The options' pause is in the recording as the pause key, pressed twice.
    Demo demo;
    std::string reason;
    ASSERT_TRUE(readDemo(recording.c_str(), demo, &reason)) << reason;
    int pauses = 0;
    for (const DemoFrame &frame : demo.frames)
        for (const DemoEvent &event : frame.events)
            pauses += event.type == DEMO_KEY_DOWN && event.a == 'p';
    EXPECT_EQ(pauses, 2);
    GameStart start;
    start.arguments = {"--replay", recording, "--fps", "0"};
    GameProcess replay(dir, {}, start);
    ASSERT_TRUE(replay.waitForExit(120));
    EXPECT_EQ(replay.quit(), 0) << replay.errors();
    removeTree(dir);
}

TEST(ScreenEndToEnd, AKeyBoundByPressingItIsKeptAndWalksInTheNextGame) {
    std::string dir = makeTempDir("screen-bind");
    installTextures(dir);
    // Seeded: a bison that wanders into the title's view never lets it stand still.
    GameStart seeded;
    seeded.arguments = {"--seed", "3"};
    {
        GameProcess game(dir, {}, seeded);
        EXPECT_FALSE(game.stillScreen(60).rgb.empty()) << "the title never stood still";
        game.tapKey("F10");
        tapTimes(game, "Down", optionItemNamed("keys"));
        game.tapKey("Return");
        tapTimes(game, "Down", KEYS_FIRST_ACTION + actionNamed("walk_backward"));
        tapTimes(game, "Return", 1);
        tapTimes(game, "i", 1);
        tapTimes(game, "Escape", 2); // back to the first list, then closed
        sleepSeconds(0.5);
        EXPECT_TRUE(game.running());
        EXPECT_EQ(game.quit(), 0);
    }
    std::string kept = fileText(dir + "/config/grazewell/settings.toml");
    EXPECT_NE(kept.find("\nwalk_backward = [\"s\", \"i\"]\n"), std::string::npos) << kept;
    GameProcess game(dir, {}, seeded);
    Screenshot still = startPlaying(game);
    ASSERT_FALSE(still.rgb.empty());
    game.pressKey("i");
    sleepSeconds(0.5);
    game.releaseKey("i");
    EXPECT_GT(differing(game.stillScreen(30), still), 5000) << "i did not walk";
    EXPECT_EQ(game.quit(), 0);
    removeTree(dir);
}

} // namespace
