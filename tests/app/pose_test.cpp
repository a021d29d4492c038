// The world drawn between two ticks: what moves is drawn between, what jumped is drawn at once.
#include "app/pose.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// Two ticks of a world where everything moves a little: the camera walks and turns, the bison
// walks and nods, food 0 flies, the flash shrinks.
struct TwoTicks {
    WorldPose from, to;
    TwoTicks() {
        from.eye = {0.0f, 1.75f, 0.0f};
        to.eye = {0.0f, 1.75f, 0.2f};
        from.gaze = {0.0f, 0.2f, 1.0f};
        to.gaze = {0.02f, 0.2f, 1.0f};
        from.bisonPlace = {10.0f, 1.75f, 10.0f};
        to.bisonPlace = {10.1f, 1.75f, 10.0f};
        from.spheresPlace = from.bisonPlace;
        to.spheresPlace = to.bisonPlace;
        from.bisonHeading = 1.0f;
        to.bisonHeading = 1.06f;
        from.nodAngle = 150.0f;
        to.nodAngle = 151.0f;
        from.flashShows = to.flashShows = true;
        from.flashRadius = 5.0f;
        to.flashRadius = 4.0f;
        for (int i = 0; i < FOOD_COUNT; i++) {
            from.foodStates[i] = to.foodStates[i] = FOOD_HOME;
            from.foodPlaces[i] = to.foodPlaces[i] = {float(i), 3.0f, 0.0f};
        }
        from.foodStates[0] = to.foodStates[0] = FOOD_FLYING;
        to.foodPlaces[0] = {0.5f, 3.1f, 0.5f};
    }
};

TEST(DrawnPose, WhatMovesIsDrawnBetweenAndEachEndIsExact) {
    TwoTicks ticks;
    WorldPose half = poseBetween(ticks.from, ticks.to, 0.5);
    EXPECT_FLOAT_EQ(half.eye.z, 0.1f);
    EXPECT_FLOAT_EQ(half.gaze.x, 0.01f);
    EXPECT_FLOAT_EQ(half.bisonPlace.x, 10.05f);
    EXPECT_FLOAT_EQ(half.spheresPlace.x, 10.05f);
    EXPECT_FLOAT_EQ(half.bisonHeading, 1.03f);
    EXPECT_FLOAT_EQ(half.nodAngle, 150.5f);
    EXPECT_FLOAT_EQ(half.flashRadius, 4.5f);
    EXPECT_FLOAT_EQ(half.foodPlaces[0].y, 3.05f);
    // The ends are the ticks' own, bit for bit: a frame on a tick draws that tick.
    for (double share : {0.0, 1.0}) {
        WorldPose end = poseBetween(ticks.from, ticks.to, share);
        const WorldPose &tick = share == 0.0 ? ticks.from : ticks.to;
        EXPECT_EQ(end.eye.z, tick.eye.z);
        EXPECT_EQ(end.bisonHeading, tick.bisonHeading);
        EXPECT_EQ(end.foodPlaces[0].x, tick.foodPlaces[0].x);
    }
    // A heading that wraps past 2 pi turns the short way, not back round the circle.
    ticks.from.bisonHeading = 6.25f;
    ticks.to.bisonHeading = 0.03f;
    EXPECT_NEAR(poseBetween(ticks.from, ticks.to, 0.5).bisonHeading,
                6.25 + (0.03 + TWO_PI_D - 6.25) / 2, 1e-5);
}

TEST(DrawnPose, WhatJumpedIsDrawnAtOnce) {
    TwoTicks ticks;
    WorldPose &from = ticks.from, &to = ticks.to;
    // Food 1 sent home from the ground, food 2 picked up, food 3 thrown from the hand.
    from.foodStates[1] = FOOD_FLYING;
    from.foodPlaces[1] = {1.2f, 0.1f, 0.4f};
    to.foodStates[2] = FOOD_HELD;
    to.foodPlaces[2] = {2.5f, 2.0f, 0.4f};
    from.foodStates[3] = FOOD_HELD;
    to.foodStates[3] = FOOD_FLYING;
    to.foodPlaces[3] = {3.5f, 3.0f, 0.0f};
    WorldPose half = poseBetween(from, to, 0.5);
    EXPECT_EQ(half.foodPlaces[1].y, to.foodPlaces[1].y) << "sent home at once";
    EXPECT_EQ(half.foodPlaces[2].x, to.foodPlaces[2].x) << "into the hand at once";
    EXPECT_FLOAT_EQ(half.foodPlaces[3].x, 3.25f) << "a throw leaves the hand from where it was";
    // The bison dropped below the ground after its launch, or turned a quarter at the fence.
    to.bisonPlace.y = -10.0f;
    EXPECT_EQ(poseBetween(from, to, 0.5).bisonPlace.y, -10.0f);
    to.bisonPlace.y = from.bisonPlace.y;
    to.bisonHeading = from.bisonHeading + float(PI_D / 2);
    EXPECT_EQ(poseBetween(from, to, 0.5).bisonHeading, to.bisonHeading);
    // The camera turned around, with a food held: both at once.
    to.gaze = {-from.gaze.x, from.gaze.y, -from.gaze.z};
    to.foodStates[4] = from.foodStates[4] = FOOD_HELD;
    to.foodPlaces[4] = {4.0f, 1.55f, -1.0f};
    from.foodPlaces[4] = {4.0f, 1.55f, 1.0f};
    half = poseBetween(from, to, 0.5);
    EXPECT_EQ(half.gaze.z, to.gaze.z);
    EXPECT_EQ(half.foodPlaces[4].z, to.foodPlaces[4].z);
    // A flash begun shows at its radius.
    from.flashShows = false;
    EXPECT_EQ(poseBetween(from, to, 0.5).flashRadius, to.flashRadius);
}

} // namespace
