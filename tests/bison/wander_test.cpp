// The bison's state and its walk: leg starts, steering, the fence turn and the manual controls.
#include "bison/bison.h"

#include "support/files.h"
#include "support/gl_env.h"

#include <GL/gl.h>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <vector>

namespace {

// The first count values of rand after srand(seed); leaves rand reseeded with seed, so the next
// draws of the code under test are these values in order.
std::vector<int> drawsFrom(unsigned seed, int count) {
    srand(seed);
    std::vector<int> values;
    for (int i = 0; i < count; i++) values.push_back(rand());
    srand(seed);
    return values;
}

// How many of the expected draws were consumed, found by the value rand gives next.
int drawsConsumed(const std::vector<int> &values) {
    int next = rand();
    for (size_t i = 0; i < values.size(); i++)
        if (values[i] == next) return int(i);
    return -1;
}

// A bison in the middle of a leg: no leg start, no fence in sight.
void midLeg(Bison &b) {
    b.position = {0.0f, 1.75f, 0.0f};
    b.legLength = 1000.0f;
    b.stepCount = 10.0f;
    b.speed = 0.05f;
}

float directionX(float heading) {
    return float(std::sin(double(float(double(1.56f) - double(heading)))));
}
float directionZ(float heading) {
    return -float(std::cos(double(float(double(1.56f) - double(heading)))));
}

TEST(Bison, StartsWithItsInitialState) {
    startWorld();
    time_t before = time(nullptr);
    Bison b;
    int firstDraw = rand();
    time_t after = time(nullptr);
    EXPECT_EQ(b.resolution, 30);
    EXPECT_TRUE(b.wandering);
    EXPECT_EQ(b.position.x, -5.0f);
    EXPECT_EQ(b.position.y, 1.75f);
    EXPECT_EQ(b.position.z, 0.0f);
    EXPECT_EQ(b.baseAngle, 1.56f);
    EXPECT_EQ(b.heading, 0.0f);
    EXPECT_EQ(b.targetHeading, 1.56f);
    EXPECT_FALSE(b.turnPositive);
    EXPECT_FLOAT_EQ(b.dirX, 0.99994171f);
    EXPECT_FLOAT_EQ(b.dirZ, -0.010796174f);
    EXPECT_EQ(b.dirX, directionX(0.0f));
    EXPECT_EQ(b.dirZ, directionZ(0.0f));
    EXPECT_EQ(b.stepCount, 0.0f);
    EXPECT_EQ(b.legLength, 0.0f);
    EXPECT_EQ(b.speed, 0.0f);
    EXPECT_EQ(b.nodAngle, 160.0f);
    EXPECT_TRUE(b.nodLowering);
    EXPECT_EQ(b.nodCount, 0);
    EXPECT_EQ(b.wantedNods, -1);
    const float legs[4] = {25, -12, 25, -12};
    for (int i = 0; i < 4; i++) EXPECT_EQ(b.legAngle[i], legs[i]);
    EXPECT_EQ(b.tailAngle, 35.0f);
    EXPECT_FALSE(b.lava);
    EXPECT_EQ(b.color[0], 180);
    EXPECT_EQ(b.color[1], 255);
    EXPECT_EQ(b.color[2], 255);
    EXPECT_NE(b.bodyList, 0u);
    EXPECT_TRUE(glIsList(b.bodyList));
    // The constructor seeds rand from the clock, last of all.
    bool seededWithTime = false;
    for (time_t t = before; t <= after; t++) {
        srand(unsigned(t));
        if (rand() == firstDraw) seededWithTime = true;
    }
    EXPECT_TRUE(seededWithTime);
}

TEST(Bison, FirstFrameStartsALegOnceAndWalksFromTheStart) {
    startWorld();
    Bison b;
    std::vector<int> draws = drawsFrom(4242, 6);
    testing::internal::CaptureStdout();
    b.wander();
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, "set up bison move ");
    EXPECT_EQ(drawsConsumed(draws), 3);
    EXPECT_EQ(b.legLength, float(draws[0] % 1300 + 800));
    EXPECT_EQ(b.speed, float(double(draws[1] % 10 + 3) / 100.0));
    EXPECT_EQ(b.targetHeading, float(double(draws[2] % 361) * PI_D / 180.0));
    EXPECT_EQ(b.turnPositive, double(b.targetHeading) < PI_D);
    EXPECT_EQ(b.stepCount, 1.0f);
    // From heading 0 the first frame either keeps it (target within a radian) or steers once.
    float steered = b.turnPositive ? float(BISON_STEER_STEP) : 6.183185f;
    float expectedHeading = double(b.targetHeading) - 1.0 > 0.0 ? steered : 0.0f;
    EXPECT_EQ(b.heading, expectedHeading);
    EXPECT_EQ(b.position.x, float(-5.0 + double(b.speed) * directionX(expectedHeading)));
    EXPECT_EQ(b.position.y, 1.75f);
    EXPECT_EQ(b.position.z, float(0.0 + double(b.speed) * directionZ(expectedHeading)));

    // The rest of the leg prints nothing and draws nothing.
    draws = drawsFrom(99, 4);
    testing::internal::CaptureStdout();
    for (int i = 1; i < int(b.legLength); i++) b.wander();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(drawsConsumed(draws), 0);
    EXPECT_EQ(b.stepCount, b.legLength);
}

TEST(Bison, EveryLegStartDrawsThreeTimesAndTheSpeedIsInHundredths) {
    startWorld();
    Bison b;
    for (unsigned seed = 1; seed <= 40; seed++) {
        midLeg(b);
        b.stepCount = b.legLength;
        std::vector<int> draws = drawsFrom(seed, 6);
        testing::internal::CaptureStdout();
        b.wander();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "set up bison move ");
        EXPECT_EQ(drawsConsumed(draws), 3) << seed;
        EXPECT_GE(b.legLength, 800.0f);
        EXPECT_LE(b.legLength, 2099.0f);
        EXPECT_GE(b.speed, 0.03f);
        EXPECT_LE(b.speed, 0.12f);
        EXPECT_EQ(b.speed, float(double(draws[1] % 10 + 3) / 100.0));
        EXPECT_GE(b.targetHeading, 0.0f);
        EXPECT_LE(double(b.targetHeading), TWO_PI_D + 1e-6);
    }
}

// The bison stands at (x, 0) about to walk one unit along +x.
void facingTheFence(Bison &b, float x) {
    midLeg(b);
    b.position = {x, 1.75f, 0.0f};
    b.dirX = 1.0f;
    b.dirZ = 0.0f;
    b.speed = 1.0f;
    b.heading = 0.5f;
    b.targetHeading = 0.5f;
}

TEST(Bison, ANextPositionAtExactly137TurnsAQuarterWithThreeDraws) {
    startWorld();
    Bison b;
    for (unsigned seed : {3u, 8u, 21u}) {
        facingTheFence(b, 136.0f);
        b.targetHeading = 6.0f;
        std::vector<int> draws = drawsFrom(seed, 6);
        b.wander();
        EXPECT_EQ(drawsConsumed(draws), 3);
        // A quarter turn with no wrap, whatever the steering direction says.
        EXPECT_EQ(b.heading, float(0.5 + HALF_PI_D));
        double offset = double(draws[0] % 10) / 10.0 + HALF_PI_D - double(draws[1] % 10) / 10.0;
        EXPECT_EQ(b.targetHeading, float(6.0 + offset));
        EXPECT_GT(b.targetHeading, float(TWO_PI_D)); // not wrapped
        EXPECT_EQ(b.turnPositive, draws[2] % 2 == 1);
        // The move takes the new direction.
        EXPECT_EQ(b.dirX, directionX(b.heading));
        EXPECT_EQ(b.position.x, float(136.0 + double(b.dirX)));
        EXPECT_EQ(b.position.z, float(double(b.dirZ)));
    }
}

TEST(Bison, ANextPositionAt13699IsNotAFenceTurn) {
    startWorld();
    Bison b;
    facingTheFence(b, 135.99f);
    std::vector<int> draws = drawsFrom(5, 4);
    b.wander();
    EXPECT_EQ(drawsConsumed(draws), 0);
    EXPECT_EQ(b.heading, 0.5f);
    EXPECT_EQ(b.targetHeading, 0.5f);
}

TEST(Bison, TheFenceIsTestedOnTheOldDirectionAndTheMoveTakesTheNew) {
    startWorld();
    Bison b;
    facingTheFence(b, 136.5f);
    b.dirX = -1.0f; // last frame walked inwards; the heading now points out
    b.heading = 0.0f;
    b.targetHeading = 0.0f;
    std::vector<int> draws = drawsFrom(6, 4);
    b.wander();
    EXPECT_EQ(drawsConsumed(draws), 0);
    EXPECT_EQ(b.heading, 0.0f);
    EXPECT_GT(b.position.x, 137.0f);
}

TEST(Bison, SteeringStopsExactlyOneRadianFromTheTarget) {
    startWorld();
    Bison b;
    for (float heading : {1.5f, 3.5f}) {
        midLeg(b);
        b.targetHeading = 2.5f;
        b.turnPositive = true;
        b.heading = heading;
        b.wander();
        EXPECT_EQ(b.heading, heading);
        EXPECT_EQ(b.dirX, directionX(heading));
    }
    midLeg(b);
    b.targetHeading = 2.5f;
    b.turnPositive = true;
    b.heading = 1.49f;
    b.wander();
    EXPECT_EQ(b.heading, float(double(1.49f) + BISON_STEER_STEP));
    midLeg(b);
    b.targetHeading = 2.5f;
    b.turnPositive = false;
    b.heading = 3.51f;
    b.wander();
    EXPECT_EQ(b.heading, float(double(3.51f) - BISON_STEER_STEP));
}

TEST(Bison, SteeringWrapsUpToZeroAndDownTo6183185) {
    startWorld();
    Bison b;
    midLeg(b);
    b.targetHeading = 1.0f;
    b.turnPositive = true;
    b.heading = 6.27f;
    b.wander();
    EXPECT_EQ(b.heading, 0.0f);
    midLeg(b);
    b.targetHeading = 3.0f;
    b.turnPositive = false;
    b.heading = 0.05f;
    b.wander();
    EXPECT_EQ(b.heading, 6.183185f);
    EXPECT_EQ(b.dirX, directionX(6.183185f));
}

TEST(Bison, ManualTurnsWrapToZeroAndTo6283185AndDoNotMove) {
    startWorld();
    Bison b;
    b.heading = 6.28f;
    b.turn(BISON_TURN_STEP);
    EXPECT_EQ(b.heading, 0.0f);
    b.heading = 6.27f;
    b.turn(BISON_TURN_STEP);
    EXPECT_EQ(b.heading, float(double(6.27f) + double(0.01f)));
    b.heading = 0.005f;
    b.turn(-BISON_TURN_STEP);
    EXPECT_EQ(b.heading, 6.2831855f);
    EXPECT_EQ(b.dirX, directionX(6.2831855f));
    EXPECT_EQ(b.dirZ, directionZ(6.2831855f));
    EXPECT_EQ(b.position.x, -5.0f);
    EXPECT_EQ(b.position.z, 0.0f);
    EXPECT_EQ(b.targetHeading, 1.56f);
}

TEST(Bison, AManualStepIgnoresTheFence) {
    startWorld();
    Bison b;
    midLeg(b);
    b.position = {136.95f, 1.75f, 0.0f};
    b.dirX = 1.0f;
    b.dirZ = 0.0f;
    b.step();
    EXPECT_EQ(b.position.x, float(double(136.95f) + double(0.1f)));
    EXPECT_EQ(b.position.y, 1.75f);
    EXPECT_EQ(b.stepCount, 10.0f);
    // Beyond the fence the wander turns a quarter every frame: a small square in place.
    float heading = b.heading;
    b.wander();
    EXPECT_EQ(b.heading, float(double(heading) + HALF_PI_D));
}

TEST(Bison, AFrozenLegResumesWithTheSameSpeedTargetAndLength) {
    startWorld();
    Bison b;
    srand(77);
    for (int i = 0; i < 50; i++) b.draw();
    b.wandering = false;
    const Vector3 position = b.position;
    const float speed = b.speed, target = b.targetHeading, length = b.legLength;
    std::vector<int> draws = drawsFrom(31, 3);
    for (int i = 0; i < 200; i++) b.draw();
    EXPECT_EQ(drawsConsumed(draws), 0);
    EXPECT_EQ(b.position.x, position.x);
    EXPECT_EQ(b.position.z, position.z);
    EXPECT_EQ(b.stepCount, 50.0f);
    b.wandering = true;
    b.draw();
    EXPECT_EQ(b.stepCount, 51.0f);
    EXPECT_EQ(b.speed, speed);
    EXPECT_EQ(b.targetHeading, target);
    EXPECT_EQ(b.legLength, length);
    EXPECT_NE(b.position.x, position.x);
}

TEST(Bison, ALongSeededWalkNeverLeavesTheFence) {
    startWorld();
    Bison b;
    for (unsigned seed : {1u, 2024u}) {
        srand(seed);
        b.position = {-5.0f, 1.75f, 0.0f};
        b.legLength = 0.0f;
        b.stepCount = 0.0f;
        double farthest = 0.0;
        int fenceFrames = 0;
        testing::internal::CaptureStdout();
        for (int frame = 0; frame < 200000; frame++) {
            float heading = b.heading;
            b.wander();
            double r = std::hypot(double(b.position.x), double(b.position.z));
            farthest = std::max(farthest, r);
            if (b.heading == float(double(heading) + HALF_PI_D)) fenceFrames++;
        }
        std::string printed = testing::internal::GetCapturedStdout();
        // A fence turn moves along the new direction untested, so the walk may reach one step
        // (at most 0.12) past the fence, never further.
        EXPECT_LT(farthest, 137.0 + 0.12) << seed;
        EXPECT_GT(fenceFrames, 0) << seed; // the walk did meet the fence
        EXPECT_GT(countOf(printed, "set up bison move "), 90);
        printf("seed %u: farthest %.5f, %d fence turns, %d legs\n", seed, farthest, fenceFrames,
               countOf(printed, "set up bison move "));
    }
}

} // namespace
