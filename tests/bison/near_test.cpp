// Reach: the player cannot walk forward into the bison.
#include "bison/bison.h"

#include "camera/camera.h"
#include "input/input.h"
#include "support/gl_env.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

TEST(Reach, TenUnitsAwayIsOutOfReachAndJustUnderIsWithin) {
    startWorld();
    bison->position = {3.0f, 1.75f, -4.0f};
    EXPECT_FALSE(nearBison({13.0f, 1.75f, -4.0f}));
    EXPECT_TRUE(nearBison({12.99f, 1.75f, -4.0f}));
    EXPECT_FALSE(nearBison({3.0f, 1.75f, 6.0f}));
    EXPECT_TRUE(nearBison({3.0f, 1.75f, 5.99f}));
    // Three dimensions: a 6-8-10 triangle across x and z, and height counts too.
    EXPECT_FALSE(nearBison({9.0f, 1.75f, 4.0f}));
    EXPECT_TRUE(nearBison({3.0f, 1.75f, -4.0f}));
    bison->position.y = 11.75f; // a launched bison is out of reach from the ground
    EXPECT_FALSE(nearBison({3.0f, 1.75f, -4.0f}));
    bison->position.y = 11.74f;
    EXPECT_TRUE(nearBison({3.0f, 1.75f, -4.0f}));
    bison->position.y = 1.75f;
}

class ReachKeys : public ::testing::Test {
  protected:
    void SetUp() override {
        startWorld();
        memset(keyDown, 0, sizeof keyDown);
        *camera = Camera();
        camera->yaw = 0.0f;
        camera->direction = {0.0f, 2.0f, -1.0f}; // facing -z, towards the bison
    }
    void TearDown() override { memset(keyDown, 0, sizeof keyDown); }
    void holdFor(unsigned char key) {
        onKeyDown(key, 0, 0);
        processInput(TICK_ADVANCE);
        onKeyUp(key, 0, 0);
    }
};

TEST_F(ReachKeys, WIsRefusedWithinReachAndSIsNot) {
    bison->position = {-8.0f, 1.75f, -17.99f}; // 9.99 ahead
    Camera expected = *camera;
    holdFor('w');
    EXPECT_EQ(camera->position.z, -8.0f);
    holdFor('s');
    expected.move(false, CAMERA_WALK_STEP);
    EXPECT_EQ(camera->position.z, expected.position.z);
    // 10.19 away: out of reach, so 'w' walks again, back to within reach, and stops there.
    holdFor('w');
    expected.move(true, CAMERA_WALK_STEP);
    EXPECT_EQ(camera->position.z, expected.position.z);
    ASSERT_TRUE(nearBison(camera->position));
    holdFor('w');
    EXPECT_EQ(camera->position.z, expected.position.z);
}

TEST_F(ReachKeys, WIsRefusedWhicheverWayTheCameraFacesAndFreeFromTenOn) {
    bison->position = {-8.0f, 1.75f, -13.0f}; // 5 behind, facing away
    camera->direction = {0.0f, 2.0f, 1.0f};
    holdFor('w');
    EXPECT_EQ(camera->position.z, -8.0f);
    bison->position = {-8.0f, 1.75f, -18.0f}; // exactly 10
    holdFor('w');
    EXPECT_EQ(camera->position.z, float(double(-8.0f) + double(0.2f)));
}

TEST_F(ReachKeys, BisonKeysSteerAndStepTheBison) {
    bison->position = {20.0f, 1.75f, 20.0f};
    bison->heading = 1.0f;
    bison->turn(0.0f);
    holdFor(',');
    float heading = float(1.0 + double(0.01f));
    EXPECT_EQ(bison->heading, heading);
    holdFor('.');
    holdFor('.');
    heading = float(double(heading) - double(0.01f));
    heading = float(double(heading) - double(0.01f));
    EXPECT_EQ(bison->heading, heading);
    Vector3 before = bison->position;
    float dirX = bison->dirX, dirZ = bison->dirZ;
    holdFor('/');
    EXPECT_EQ(bison->position.x, float(double(before.x) + double(dirX) * double(0.1f)));
    EXPECT_EQ(bison->position.z, float(double(before.z) + double(dirZ) * double(0.1f)));
    EXPECT_EQ(bison->position.y, 1.75f);
}

} // namespace
