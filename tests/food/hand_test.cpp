// The hand: picks push, throws pop the top, a recall brings back the last throw.
#include "food/feeding.h"
#include "food/food.h"
#include "food/pick.h"

#include "app/app.h"
#include "camera/camera.h"
#include "input/input.h"
#include "support/gl_env.h"

#include <GL/freeglut.h>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

namespace {

class Hand : public ::testing::Test {
  protected:
    void SetUp() override {
        startWorld();
        memset(keyDown, 0, sizeof keyDown);
        for (int i = 0; i < FOOD_COUNT; i++) foods[i]->state = FOOD_HOME;
    }
    // A pick resolved from a selection record naming one food.
    void pick(int index) {
        unsigned int record[] = {1, 100, 200, unsigned(index)};
        std::copy(record, record + 4, selectBuffer);
        hitCount = 1;
        processHits();
    }
};

TEST_F(Hand, PicksFourNineOneThenAThrow) {
    pick(4);
    pick(9);
    pick(1);
    EXPECT_EQ(handCount, 3);
    EXPECT_EQ(heldIndex, 1);
    camera->yaw = 1.0f;
    camera->direction.y = 0.3f;
    CaptureStdout();
    throwHeld();
    EXPECT_EQ(GetCapturedStdout(), "THROW!\n");
    EXPECT_EQ(foods[1]->state, FOOD_FLYING);
    EXPECT_EQ(foods[1]->direction.y, 0.3f);
    EXPECT_EQ(foods[1]->direction.x, float(std::sin(1.0)));
    EXPECT_EQ(handCount, 2);
    EXPECT_EQ(heldIndex, 9);
    EXPECT_EQ(lastThrownIndex, 1);
    EXPECT_TRUE(holding);

    throwHeld();
    throwHeld();
    EXPECT_EQ(handCount, 0);
    EXPECT_FALSE(holding);
    EXPECT_EQ(heldIndex, -1);
    EXPECT_EQ(lastThrownIndex, 4);
}

TEST_F(Hand, RBeforeAnyThrowOnlySaysGetIt) {
    ASSERT_EQ(lastThrownIndex, -1);
    onKeyDown('r', 0, 0);
    CaptureStdout();
    processInput(TICK_ADVANCE);
    EXPECT_EQ(GetCapturedStdout(), "GETIT!\n");
    EXPECT_EQ(handCount, 0);
    EXPECT_FALSE(holding);
    EXPECT_EQ(keyDown['r'], 0);
}

TEST_F(Hand, RecallBringsTheLastThrowBackFromAnywhere) {
    pick(6);
    throwHeld();
    // In flight.
    foods[6]->position = {10, 5, 10};
    foods[6]->speed = {0.5f, 0.2f, 0.5f};
    CaptureStdout();
    recallLast();
    EXPECT_EQ(GetCapturedStdout(), "GETIT!\n");
    EXPECT_EQ(foods[6]->state, FOOD_HELD);
    EXPECT_EQ(foods[6]->position.x, 0.0f);
    EXPECT_EQ(foods[6]->speed.y, 0.0f);
    EXPECT_EQ(handCount, 1);
    EXPECT_EQ(heldIndex, 6);
    EXPECT_TRUE(holding);

    // Lying on the ground.
    throwHeld();
    foods[6]->position = {10, 0.1f, 10};
    recallLast();
    EXPECT_EQ(foods[6]->state, FOOD_HELD);
    EXPECT_EQ(handCount, 1);

    // Gone home.
    throwHeld();
    foods[6]->state = FOOD_HOME;
    onKeyDown('r', 0, 0);
    processInput(TICK_ADVANCE);
    EXPECT_EQ(foods[6]->state, FOOD_HELD);
    EXPECT_EQ(heldIndex, 6);
    EXPECT_EQ(lastThrownIndex, 6);

    // 'r' while holding does nothing, and the press is spent.
    onKeyDown('r', 0, 0);
    CaptureStdout();
    processInput(TICK_ADVANCE);
    EXPECT_EQ(GetCapturedStdout(), "");
    EXPECT_EQ(handCount, 1);
    EXPECT_EQ(keyDown['r'], 0);
}

TEST_F(Hand, SpaceAndRightButtonThrowTheSameWay) {
    pick(2);
    pick(3);
    onKeyDown(' ', 0, 0);
    processInput(TICK_ADVANCE);
    EXPECT_EQ(lastThrownIndex, 3);
    onMouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 10, 10);
    throwAsked(); // as the next tick does
    EXPECT_EQ(lastThrownIndex, 2);
    EXPECT_FALSE(holding);
    // With the hand empty neither does anything, and space queues nothing for later.
    onMouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 10, 10);
    throwAsked();
    onKeyDown(' ', 0, 0);
    processInput(TICK_ADVANCE);
    pick(5);
    processInput(TICK_ADVANCE);
    EXPECT_EQ(handCount, 1);
    EXPECT_EQ(lastThrownIndex, 2);
}

TEST_F(Hand, EveryFoodIsDrawnOnceAFrameTheHandAtTheHeldPoint) {
    pick(7);
    pick(12);
    for (int i = 0; i < FOOD_COUNT; i++) {
        if (i == 7 || i == 12) continue;
        foods[i]->launch(float(PI_D / 2), 0.0f);
        foods[i]->position = {float(i), 50.0f, 0.0f};
        foods[i]->speed = {0.5f, 0.0f, 0.5f};
    }
    drawFoods();
    Vector3 point = {float(double(camera->position.x) + double(camera->direction.x)),
                     float(double(camera->position.y) + double(camera->direction.y)),
                     float(double(camera->position.z) + double(camera->direction.z))};
    for (int i = 0; i < FOOD_COUNT; i++) {
        if (i == 7 || i == 12) {
            EXPECT_EQ(foods[i]->position.x, point.x);
            EXPECT_EQ(foods[i]->position.y, float(double(point.y) - 0.2));
            EXPECT_EQ(foods[i]->position.z, point.z);
        } else {
            EXPECT_EQ(foods[i]->position.x, float(double(i) + 0.5)) << i; // one step, no more
        }
    }
}

TEST_F(Hand, PickedAndThrownBeforeItWasDrawnItLiesAtTheOrigin) {
    pick(0);
    onMouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 0, 0);
    throwAsked();
    drawFoods();
    EXPECT_EQ(foods[0]->position.x, 0.0f);
    EXPECT_EQ(foods[0]->position.y, 0.1f);
    EXPECT_EQ(foods[0]->position.z, 0.0f);
}

} // namespace
