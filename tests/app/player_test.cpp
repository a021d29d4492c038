// The player's keys reach the game through the bindings in force: a rebound action acts by its new
// key and not its old one, what the frame takes is the key table's key whatever key was pressed,
// and the player's own keys act without reaching the game at all.
#include "app/player.h"

#include "app/app.h"
#include "app/loop.h"
#include "app/ticks.h"
#include "bison/bison.h"
#include "camera/camera.h"
#include "input/input.h"
#include "sound/sound.h"
#include "support/gl_env.h"

#include <GL/freeglut.h>
#include <cstring>
#include <gtest/gtest.h>

namespace {

class PlayerKeys : public ::testing::Test {
  protected:
    void SetUp() override {
        startWorld();
        releaseKeysWithFocus = false;
        memset(keyDown, 0, sizeof keyDown);
        memset(keyPressed, 0, sizeof keyPressed);
        *camera = Camera();
        bison->position = {60.0f, 1.75f, 60.0f}; // out of reach
        bison->wandering = false;
        forgetLiveKeys();
    }
    void TearDown() override {
        keysInForce = defaultBindings();
        memset(keyDown, 0, sizeof keyDown);
        releaseKeysWithFocus = true;
    }
    // The bindings of a [keys] table's lines.
    static void bind(const std::string &lines) {
        Settings settings;
        std::vector<Complaint> complaints;
        parseSettings("[keys]\n" + lines, settings, &complaints);
        EXPECT_TRUE(complaints.empty()) << complaints[0].text;
        keysInForce = settings.keys;
    }
    static void frame() {
        onDisplay();
        pumpEvents();
    }
};

TEST_F(PlayerKeys, AReboundActionActsByItsNewKeyAndNotItsOld) {
    bind("walk_forward = [\"up\"]\nturn_left = [\"left\"]\n");
    Camera walked;
    walked.move(true, CAMERA_WALK_STEP);
    walked.turn(false);

    takeLiveKey(SPECIAL_KEY + GLUT_KEY_UP, true);
    takeLiveKey(SPECIAL_KEY + GLUT_KEY_LEFT, true);
    frame();
    EXPECT_EQ(camera->position.x, walked.position.x);
    EXPECT_EQ(camera->position.z, walked.position.z);
    EXPECT_EQ(camera->yaw, walked.yaw);
    // The frame took what the keys did: the table's w and a, as the default keys give them.
    std::vector<DemoEvent> taken = frameTaken.events;
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[0].type, DEMO_KEY_DOWN);
    EXPECT_EQ(taken[0].a, 'w');
    EXPECT_EQ(taken[1].a, 'a');

    takeLiveKey(SPECIAL_KEY + GLUT_KEY_UP, false);
    takeLiveKey(SPECIAL_KEY + GLUT_KEY_LEFT, false);
    frame();
    Camera still = *camera;
    // The old keys do nothing now: w walks no more, and the left arrow no longer turns right.
    takeLiveKey('w', true);
    takeLiveKey('d', true); // d keeps turning right: the file took only the left arrow from it
    frame();
    EXPECT_EQ(camera->position.x, still.position.x);
    EXPECT_EQ(camera->position.z, still.position.z);
    still.turn(true);
    EXPECT_EQ(camera->yaw, still.yaw);
    takeLiveKey('w', false);
    takeLiveKey('d', false);
    frame();
}

TEST_F(PlayerKeys, AnActionHeldByTwoOfItsKeysIsLetGoOnlyWithTheLast) {
    bind("turn_left = [\"a\", \"left\"]\n");
    takeLiveKey('a', true);
    takeLiveKey(SPECIAL_KEY + GLUT_KEY_LEFT, true);
    frame();
    takeLiveKey('a', false);
    frame();
    EXPECT_EQ(keyDown['a'], 1) << "the left arrow still holds the turn";
    takeLiveKey(SPECIAL_KEY + GLUT_KEY_LEFT, false);
    frame();
    EXPECT_EQ(keyDown['a'], 0);
}

TEST_F(PlayerKeys, ThePlayersOwnKeysActAtOnceAndTheGameNeverHearsThem) {
    initSound(true, false);
    bind("mute = [\"m\"]\nkeys_help = [\"f2\"]\n");
    bool wandering = bison->wandering;
    takeLiveKey('m', true);
    takeLiveKey('m', false);
    takeLiveKey(SPECIAL_KEY + GLUT_KEY_F2, true);
    frame();
    EXPECT_TRUE(soundOn);
    EXPECT_TRUE(keysListShown);
    EXPECT_TRUE(frameTaken.events.empty());
    // m no longer stops the bison, and v, given away with mute, does nothing.
    EXPECT_EQ(bison->wandering, wandering);
    takeLiveKey('v', true);
    frame();
    EXPECT_TRUE(soundOn);
    EXPECT_TRUE(frameTaken.events.empty());
    // The keyboard repeating a held key is no new press; a press after its release is.
    takeLiveKey(SPECIAL_KEY + GLUT_KEY_F2, true);
    EXPECT_TRUE(keysListShown);
    takeLiveKey(SPECIAL_KEY + GLUT_KEY_F2, false);
    takeLiveKey(SPECIAL_KEY + GLUT_KEY_F2, true);
    EXPECT_FALSE(keysListShown);
    toggleSound();
}

// The options key pauses the game as p does, in the events the game takes (so a recording holds
// it), and closing them lets it go on; while they show, keys and clicks are theirs alone, and the
// key that opened or closed them repeats into nothing.
TEST_F(PlayerKeys, TheOptionsPauseAsPDoesAndKeepTheirKeysAndClicksFromTheGame) {
    const int f10 = SPECIAL_KEY + GLUT_KEY_F10;
    auto pausePresses = [] {
        int presses = 0;
        for (const DemoEvent &event : frameTaken.events)
            presses += event.type == DEMO_KEY_DOWN && event.a == 'p';
        return presses;
    };
    takeLiveKey(f10, true);
    frame();
    EXPECT_TRUE(optionsScreen.shown);
    EXPECT_TRUE(gamePaused);
    EXPECT_EQ(pausePresses(), 1);
    takeLiveKey(f10, true); // the window system's repeat
    EXPECT_TRUE(optionsScreen.shown) << "a held options key closed them again";
    takeLiveKey(f10, false);

    Camera before = *camera;
    takeLiveKey('w', true);
    takeLiveClick(GLUT_LEFT_BUTTON, GLUT_DOWN, 500, 250);
    frame();
    for (const DemoEvent &event : frameTaken.events) {
        EXPECT_NE(event.type, DEMO_KEY_DOWN) << "a key reached the game";
        EXPECT_NE(event.type, DEMO_MOUSE) << "a click reached the game";
    }
    takeLiveKey('w', false);
    frame();
    EXPECT_EQ(camera->position.x, before.position.x);

    takeLiveKey(KEY_ESCAPE, true); // the options close, the game goes on
    frame();
    EXPECT_FALSE(optionsScreen.shown);
    EXPECT_FALSE(gamePaused);
    EXPECT_EQ(pausePresses(), 1);
    takeLiveKey(KEY_ESCAPE, false);
    // Closed, they leave the clicks to the game.
    takeLiveClick(GLUT_LEFT_BUTTON, GLUT_DOWN, 500, 250);
    frame();
    int clicks = 0;
    for (const DemoEvent &event : frameTaken.events) clicks += event.type == DEMO_MOUSE;
    EXPECT_EQ(clicks, 1);

    // A game the player paused stays paused through the options.
    takeLiveKey('p', true);
    takeLiveKey('p', false);
    takeLiveKey(f10, true); // before the frame that takes the p
    frame();
    EXPECT_TRUE(gamePaused);
    EXPECT_EQ(pausePresses(), 1) << "the options pressed p over the player's own";
    takeLiveKey(f10, false);
    takeLiveKey(f10, true);
    EXPECT_FALSE(optionsScreen.shown);
    takeLiveKey(f10, true);
    EXPECT_FALSE(optionsScreen.shown) << "a held options key opened them again";
    frame();
    EXPECT_TRUE(gamePaused);
    takeLiveKey(f10, false);
    gamePaused = false;
}

// A recording's v presses are the game's no more: whatever it holds, a muted replay stays silent.
TEST_F(PlayerKeys, ARecordedVDoesNotTurnSoundOn) {
    initSound(true, false);
    runFrame({{DEMO_KEY_DOWN, 'v'}});
    runFrame({{DEMO_KEY_UP, 'v'}});
    EXPECT_FALSE(soundOn);
}

} // namespace
