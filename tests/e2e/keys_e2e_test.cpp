// The keyboard's auto-repeat on the real game: a key held long past the repeat's delay, the game's
// own or the player's, is one press and one release; a key pressed again at once is two.
#include "demo/demo.h"
#include "support/game_process.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::string fileText(const std::string &path) {
    Bytes bytes = readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

TEST(KeysEndToEnd, AKeyHeldPastTheAutoRepeatDelayActsOnce) {
    std::string dir = makeTempDir("auto-repeat");
    installTextures(dir);
    std::string recording = dir + "/held.gzd";
    {
        GameStart start;
        // Repeats after a quarter of a second, every 30 ms: a second held is some twenty more.
        start.autoRepeat = true;
        start.arguments = {"--record", recording};
        GameProcess game(dir, {}, start);
        for (const char *key : {"minus", "q", "1"}) {
            game.pressKey(key);
            sleepSeconds(1.2);
            game.releaseKey(key);
            sleepSeconds(0.3);
        }
        // Let go and pressed again within one frame, before the game reads either: two presses.
        game.pressKey("r");
        sleepSeconds(0.3);
        game.xdotool("keyup r keydown r");
        sleepSeconds(0.3);
        game.releaseKey("r");
        EXPECT_EQ(game.quit(), 0);
        EXPECT_EQ(game.errors(), "");
    }
    // The player's own key stepped the volume once.
    std::string settings = fileText(dir + "/config/grazewell/settings.toml");
    EXPECT_NE(settings.find("\nvolume = 90\n"), std::string::npos) << settings;
    // The game's keys went down and up once each for each press.
    Demo demo;
    std::string reason;
    ASSERT_TRUE(readDemo(recording.c_str(), demo, &reason)) << reason;
    for (int key : {'q', '1', 'r'}) {
        int presses = key == 'r' ? 2 : 1;
        int downs = 0, ups = 0;
        for (const DemoFrame &frame : demo.frames)
            for (const DemoEvent &event : frame.events) {
                downs += event.type == DEMO_KEY_DOWN && event.a == key;
                ups += event.type == DEMO_KEY_UP && event.a == key;
            }
        EXPECT_EQ(downs, presses) << char(key);
        EXPECT_EQ(ups, presses) << char(key);
    }
    removeTree(dir);
}

} // namespace
