#include "input/input.h"

#include "app/app.h"
#include "bison/bison.h"
#include "camera/camera.h"
#include "food/feeding.h"
#include "food/food.h"
#include "food/pick.h"
#include "support/gl_env.h"

#include <GL/freeglut.h>
#include <cstring>
#include <gtest/gtest.h>

namespace {

class Keys : public ::testing::Test {
  protected:
    void SetUp() override {
        startWorld();
        memset(keyDown, 0, sizeof keyDown);
        memset(keyPressed, 0, sizeof keyPressed);
        *camera = Camera();
        bison->position = {60.0f, 1.75f, 60.0f}; // out of reach
    }
    void TearDown() override {
        memset(keyDown, 0, sizeof keyDown);
        memset(keyPressed, 0, sizeof keyPressed);
    }
};

TEST_F(Keys, HeldKeysActEveryFrameOneShotKeysOncePerPress) {
    onKeyDown('a', 0, 0);
    onKeyDown('q', 0, 0);
    processInput(TICK_ADVANCE);
    float afterOneFrame = camera->yaw;
    processInput(TICK_ADVANCE);
    processInput(TICK_ADVANCE);
    // 'a' turned three times; 'q' turned around only in the first frame.
    Camera expected;
    expected.turn(false);
    expected.turnAround();
    expected.turn(false);
    expected.turn(false);
    EXPECT_EQ(camera->yaw, expected.yaw);
    EXPECT_NE(camera->yaw, afterOneFrame);
    EXPECT_EQ(keyDown['a'], 1);
    EXPECT_EQ(keyDown['q'], 0);

    // A new key-down event (a real press or key repeat) re-arms it.
    onKeyDown('q', 0, 0);
    onKeyUp('a', 0, 0);
    processInput(TICK_ADVANCE);
    expected.turnAround();
    EXPECT_EQ(camera->yaw, expected.yaw);
    EXPECT_EQ(camera->direction.x, expected.direction.x);
}

// A press and a release that both come between two frames: a one-shot binding acts once, a held
// one for that one frame, and neither again after.
TEST_F(Keys, DownAndUpBetweenTwoFramesActsOnce) {
    onKeyDown('q', 0, 0);
    onKeyUp('q', 0, 0);
    onSpecialDown(GLUT_KEY_LEFT, 0, 0); // shares 'd'
    onSpecialUp(GLUT_KEY_LEFT, 0, 0);
    processInput(TICK_ADVANCE);
    Camera expected;
    expected.turn(true);
    expected.turnAround();
    EXPECT_EQ(camera->yaw, expected.yaw);
    processInput(TICK_ADVANCE);
    EXPECT_EQ(camera->yaw, expected.yaw);
    EXPECT_EQ(keyDown['q'], 0);
    EXPECT_EQ(keyDown['d'], 0);
}

// Once the keyboard has gone to another window a key still marked down is let go, presses since
// the last frame aside; with the keyboard here nothing changes.
TEST_F(Keys, ReleasingEveryKeyKeepsTheLastPresses) {
    onKeyDown('a', 0, 0);
    processInput(TICK_ADVANCE);
    onKeyDown('q', 0, 0);
    releaseKeys();
    processInput(TICK_ADVANCE);
    Camera expected;
    expected.turn(false);
    expected.turnAround();
    EXPECT_EQ(camera->yaw, expected.yaw);
    processInput(TICK_ADVANCE);
    EXPECT_EQ(camera->yaw, expected.yaw);
}

TEST_F(Keys, AAndDTogetherTurnLeftThenRight) {
    onKeyDown('a', 0, 0);
    onKeyDown('d', 0, 0);
    processInput(TICK_ADVANCE);
    Camera expected;
    expected.turn(false);
    expected.turn(true);
    EXPECT_EQ(camera->yaw, expected.yaw);
    EXPECT_EQ(camera->direction.z, expected.direction.z);
}

TEST_F(Keys, WalkForwardThenBackInOneFrame) {
    onKeyDown('w', 0, 0);
    onKeyDown('s', 0, 0);
    processInput(TICK_ADVANCE);
    Camera expected;
    expected.move(true, 0.2f);
    expected.move(false, 0.2f);
    EXPECT_EQ(camera->moveSign, -1);
    EXPECT_EQ(camera->position.x, expected.position.x);
    EXPECT_EQ(camera->position.z, expected.position.z);
}

TEST_F(Keys, TiltKeysAndArrowsShareTheirEntries) {
    onSpecialDown(GLUT_KEY_LEFT, 0, 0);
    onSpecialDown(GLUT_KEY_UP, 0, 0);
    EXPECT_EQ(keyDown['d'], 1);
    EXPECT_EQ(keyDown['e'], 1);
    processInput(TICK_ADVANCE);
    Camera expected;
    expected.turn(true);
    expected.tilt(true);
    EXPECT_EQ(camera->yaw, expected.yaw);
    EXPECT_EQ(camera->direction.y, expected.direction.y);
    onSpecialUp(GLUT_KEY_LEFT, 0, 0);
    onKeyUp('e', 0, 0); // the arrow and the letter are one key to the game
    EXPECT_EQ(keyDown['d'], 0);
    EXPECT_EQ(keyDown['e'], 0);
    onSpecialDown(GLUT_KEY_RIGHT, 0, 0);
    EXPECT_EQ(keyDown['f'], 1);
}

TEST_F(Keys, ModifierKeysReachNoBinding) {
    // freeglut reports Shift, Ctrl, Alt and Super as special keys with codes of 'p' to 'w'.
    for (int key = GLUT_KEY_NUM_LOCK; key <= GLUT_KEY_SUPER_R; key++) onSpecialDown(key, 0, 0);
    onSpecialDown(-1, 0, 0);
    onSpecialDown(100000, 0, 0);
    for (int code = 0; code < 256; code++) EXPECT_EQ(keyDown[code], 0) << code;
    onSpecialDown(GLUT_KEY_DOWN, 0, 0);
    EXPECT_EQ(keyDown['g'], 1);
}

TEST_F(Keys, SpaceWithAnEmptyHandQueuesNothing) {
    ASSERT_FALSE(holding);
    onKeyDown(' ', 0, 0);
    processInput(TICK_ADVANCE);
    EXPECT_EQ(keyDown[' '], 0);
    EXPECT_EQ(lastThrownIndex, -1);
}

TEST_F(Keys, ForwardIsRefusedNearTheBisonBackwardIsNot) {
    bison->position = {camera->position.x, 1.75f, camera->position.z + 5.0f};
    if (!nearBison(camera->position)) GTEST_SKIP() << "the bison is not built yet";
    onKeyDown('w', 0, 0);
    processInput(TICK_ADVANCE);
    EXPECT_EQ(camera->position.z, -8.0f);
    onKeyUp('w', 0, 0);
    onKeyDown('s', 0, 0);
    processInput(TICK_ADVANCE);
    EXPECT_EQ(camera->position.z, float(double(-8.0f) - double(0.2f)));
}

// The tick that takes Escape runs whole: the game is left by the frame loop once it is done.
TEST_F(Keys, EscapeAsksToQuitAndTheTickGoesOnWhole) {
    onKeyDown(KEY_ESCAPE, 0, 0);
    onKeyDown('a', 0, 0);
    float yaw = camera->yaw;
    processInput(TICK_ADVANCE);
    EXPECT_TRUE(quitAsked);
    EXPECT_NE(camera->yaw, yaw) << "the keys after Escape act in its tick";
    quitAsked = false;
}

TEST(Mouse, LeftPressRecordsThePickOtherButtonsAndReleasesDoNothing) {
    pickPending = false;
    onMouse(GLUT_LEFT_BUTTON, GLUT_UP, 10, 20);
    onMouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 10, 20);
    throwsAsked = 0;
    onMouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 10, 20);
    onMouse(GLUT_RIGHT_BUTTON, GLUT_UP, 10, 20);
    EXPECT_EQ(throwsAsked, 1) << "a right press asks the next tick for one throw";
    throwsAsked = 0;
    EXPECT_FALSE(pickPending);
    EXPECT_EQ(pickX, 0.0f);
    onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 10, 20);
    onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 300, 40); // the later click of a frame wins
    onMouse(GLUT_LEFT_BUTTON, GLUT_UP, 1, 1);
    EXPECT_TRUE(pickPending);
    EXPECT_EQ(pickX, 300.0f);
    EXPECT_EQ(pickY, 40.0f);
}

} // namespace
