#include "camera/camera.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(Camera, StartsBehindTheFirstTreeLookingSteeplyUp) {
    Camera c;
    EXPECT_EQ(c.position.x, -8.0f);
    EXPECT_EQ(c.position.y, 1.75f);
    EXPECT_EQ(c.position.z, -8.0f);
    EXPECT_EQ(c.yaw, 3.1415927f);
    EXPECT_EQ(c.direction.x, -8.742278e-8f);
    EXPECT_EQ(c.direction.y, 2.0f);
    EXPECT_EQ(c.direction.z, 1.0f);
}

TEST(Camera, TurnsWrapDifferentlyLeftAndRight) {
    Camera c;
    c.yaw = 0.01f;
    c.turn(false);
    EXPECT_EQ(c.yaw, 6.2831855f);
    EXPECT_EQ(c.direction.x, float(std::sin(double(6.2831855f))));
    EXPECT_EQ(c.direction.z, -float(std::cos(double(6.2831855f))));

    c.yaw = 6.27f;
    c.turn(true);
    EXPECT_EQ(c.yaw, 0.0f);
    EXPECT_EQ(c.direction.x, 0.0f);
    EXPECT_EQ(c.direction.z, -1.0f);

    // Just below 2π in double precision a right turn does not wrap.
    c.yaw = 6.2f;
    c.turn(true);
    EXPECT_EQ(c.yaw, float(double(6.2f) + double(0.02f)));
}

TEST(Camera, TurnsKeepTheTiltAndUseTheStoredStep) {
    Camera c;
    c.direction.y = 0.7f;
    c.turn(true);
    EXPECT_EQ(c.yaw, float(double(3.1415927f) + double(0.02f)));
    EXPECT_EQ(c.direction.y, 0.7f);
    c.turn(false);
    c.turn(false);
    float once = float(double(3.1415927f) + double(0.02f));
    float twice = float(double(once) - double(0.02f));
    EXPECT_EQ(c.yaw, float(double(twice) - double(0.02f)));
}

TEST(Camera, TurnAroundNegatesTheGazeAndWalksTheYawDown) {
    Camera c;
    c.turnAround();
    EXPECT_EQ(c.yaw, 6.2831855f);
    EXPECT_EQ(c.direction.x, 8.742278e-8f);
    EXPECT_EQ(c.direction.y, 2.0f);
    EXPECT_EQ(c.direction.z, -1.0f);

    Camera d;
    d.yaw = 1.0f;
    d.turn(true);
    d.yaw = 1.0f;
    Vector3 gaze = d.direction;
    d.turnAround();
    EXPECT_EQ(d.yaw, 4.1423407f);
    EXPECT_EQ(d.direction.x, -gaze.x);
    EXPECT_EQ(d.direction.z, -gaze.z);
}

// The yaw after n of turnAround's steps of 0.001, each wrapping below zero.
static float yawAfterSteps(float yaw, int n) {
    for (int i = 0; i < n; i++) {
        yaw = float(double(yaw) - 0.001);
        if (yaw < 0.0f) yaw = 6.2831855f;
    }
    return yaw;
}

TEST(Camera, TurnAroundTakes3142Steps) {
    Camera c;
    c.yaw = 5.0f;
    c.turnAround();
    EXPECT_EQ(c.yaw, yawAfterSteps(5.0f, 3142));
    EXPECT_NE(c.yaw, yawAfterSteps(5.0f, 3141));
    EXPECT_NE(c.yaw, yawAfterSteps(5.0f, 3143));
}

TEST(Camera, MovesUntilTheFence) {
    Camera c;
    c.direction = {1.0f, 0.0f, 0.0f}; // along +x

    c.position = {136.79f, 1.75f, 0.0f};
    c.move(true, 0.2f); // ends at 136.99: taken
    EXPECT_EQ(c.position.x, float(double(136.79f) + double(0.2f)));
    EXPECT_LT(c.position.x, 137.0f);

    c.position = {136.8f, 1.75f, 0.0f};
    c.move(true, 0.2f); // ends at 137: dropped
    EXPECT_EQ(c.position.x, 136.8f);
    EXPECT_EQ(c.moveSign, 1);

    c.position = {-136.8f, 1.75f, 0.0f};
    c.move(false, 0.2f); // backwards through the fence: dropped too
    EXPECT_EQ(c.position.x, -136.8f);
    EXPECT_EQ(c.moveSign, -1);

    // Walking straight at the fence stops at the last whole step inside it.
    c.position = {0.0f, 1.75f, 0.0f};
    for (int i = 0; i < 1000; i++) c.move(true, 0.2f);
    EXPECT_LT(c.position.x, 137.0f);
    EXPECT_GE(c.position.x, 136.8f);
    EXPECT_EQ(c.position.y, 1.75f);
}

TEST(Camera, TiltNeverChangesAStepOnTheGround) {
    Camera flat, tilted;
    for (int i = 0; i < 500; i++) tilted.tilt(i % 3 != 0);
    EXPECT_NE(tilted.direction.y, flat.direction.y);
    flat.move(true, 0.2f);
    tilted.move(true, 0.2f);
    EXPECT_EQ(flat.position.x, tilted.position.x);
    EXPECT_EQ(flat.position.z, tilted.position.z);
    EXPECT_EQ(tilted.position.z, float(double(-8.0f) + double(0.2f)));
}

TEST(Camera, TiltIsUnbounded) {
    Camera c;
    for (int i = 0; i < 1000; i++) c.tilt(false);
    EXPECT_NEAR(c.direction.y, 2.0 - 10.0, 1e-3);
    EXPECT_EQ(c.direction.z, 1.0f);
}
