// Feeding: the last thrown food against the bison's spheres, and what each kind does.
#include "food/feeding.h"
#include "food/food.h"
#include "food/pick.h"

#include "app/app.h"
#include "app/loop.h"
#include "bison/bison.h"
#include "camera/camera.h"
#include "input/input.h"
#include "support/files.h"
#include "support/gl_env.h"

#include <GL/freeglut.h>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

namespace {

class Feeding : public ::testing::Test {
  protected:
    void SetUp() override {
        startWorld();
        memset(keyDown, 0, sizeof keyDown);
        bison->wandering = false;
        bison->position = {10.0f, 1.75f, -20.0f};
        bison->heading = 0.0f;
        bison->wantedNods = -1;
        bison->nodCount = 0;
        foodFed = 0;
        gameState = STATE_PLAYING;
    }
    // A food of the kind, flying, placed at the point (relative to the bison's position).
    Food *flying(int index, float dx, float dy, float dz) {
        Food *food = foods[index];
        food->state = FOOD_FLYING;
        food->position = {bison->position.x + dx, bison->position.y + dy, bison->position.z + dz};
        food->direction = {0.6f, 0.0f, -0.8f};
        food->touchingBody = false; // a fresh throw
        return food;
    }
    void expectColour(int r, int g, int b) {
        EXPECT_EQ(bison->color[0], r);
        EXPECT_EQ(bison->color[1], g);
        EXPECT_EQ(bison->color[2], b);
    }
};

// Indices of one food of each kind (the first tree's and the first cloud).
const int ORANGE = 0, APPLE = 1, BOMB = 2, MARBLE = 3, CLOUD = 16;

TEST_F(Feeding, AnOrangeOnTheHead) {
    Food *orange = flying(ORANGE, 0.28f, 0.06f, 0.0f);
    CaptureStdout();
    checkFeeding(orange);
    EXPECT_EQ(GetCapturedStdout(),
              "check head collision cr: 1.770000, dist: 0.000000\nhead collide\n");
    EXPECT_EQ(foodFed, 1);
    expectColour(255, 255, 100);
    EXPECT_EQ(bison->wantedNods, 4);
    EXPECT_EQ(bison->nodCount, 0);
    EXPECT_EQ(orange->state, FOOD_HOME);
    drawFood({0, 0, 0}, orange, ORANGE);
    EXPECT_EQ(orange->position.x, orange->home.x);
    EXPECT_EQ(orange->position.y, 3.0f);
}

TEST_F(Feeding, TheHeadLinePrintsReachAndDistanceEveryCall) {
    Food *apple = flying(APPLE, 0.28f + 3.0f, 0.06f + 4.0f, 0.0f);
    CaptureStdout();
    checkFeeding(apple);
    EXPECT_EQ(GetCapturedStdout(), "check head collision cr: 1.770000, dist: 5.000000\n");
    EXPECT_EQ(apple->state, FOOD_FLYING);
    // At exactly the reach it is a hit (dist <= cr).
    apple->radius = 4.23f;
    CaptureStdout();
    checkFeeding(apple);
    EXPECT_EQ(GetCapturedStdout(),
              "check head collision cr: 5.000000, dist: 5.000000\nhead collide\n");
    apple->radius = 1.0f;
}

TEST_F(Feeding, AnAppleOnTheHeadRestoresTheFirstColour) {
    bison->color[0] = 1;
    checkFeeding(flying(APPLE, 0.28f, 0.06f, 1.0f));
    EXPECT_EQ(foodFed, 1);
    expectColour(180, 255, 255);
}

TEST_F(Feeding, OrangesAndApplesOnTheBodyOnlyGlanceOff) {
    for (int index : {ORANGE, APPLE}) {
        bison->color[0] = 7;
        Food *food = flying(index, -0.97f, 0.06f, 1.5f);
        CaptureStdout();
        checkFeeding(food);
        std::string out = GetCapturedStdout();
        EXPECT_NE(out.find("\nBODY COLLIDE 0\n"), std::string::npos) << out;
        EXPECT_EQ(out.find("head collide"), std::string::npos);
        EXPECT_EQ(foodFed, 0);
        EXPECT_EQ(bison->color[0], 7);
        EXPECT_EQ(bison->wantedNods, -1);
        EXPECT_EQ(food->state, FOOD_FLYING);
        // The normal (0, 0, 1) is taken out: the food slides along the body.
        EXPECT_FLOAT_EQ(food->direction.x, 0.6f);
        EXPECT_NEAR(food->direction.z, 0.0f, 1e-7);
    }
}

TEST_F(Feeding, BombOnHeadOrBodyCostsAPointAndLaunches) {
    for (float dx : {0.28f, -1.97f}) {
        foodFed = 0;
        bombLaunch = false;
        flashRadius = 0;
        Food *bomb = flying(BOMB, dx, 0.06f, dx > 0 ? 0.0f : 1.8f);
        checkFeeding(bomb);
        EXPECT_EQ(foodFed, -1);
        EXPECT_TRUE(bombLaunch);
        EXPECT_EQ(flashRadius, 5);
        expectColour(140, 140, 85);
        EXPECT_EQ(bomb->state, dx > 0 ? FOOD_HOME : FOOD_FLYING);
    }
    bombLaunch = false;
}

TEST_F(Feeding, CloudHitsLiftTheBisonCumulativelyAMarbleSetsItDown) {
    checkFeeding(flying(CLOUD, 0.28f, 0.06f, 0.0f));
    checkFeeding(flying(CLOUD, 0.28f, 0.06f, 0.0f));
    EXPECT_EQ(bison->position.y, float(double(float(1.75 + 0.2)) + 0.2));
    // On the body too: flying() places it relative to the lifted bison.
    Food *cloud = flying(CLOUD, -2.82f, -0.04f, 1.0f);
    checkFeeding(cloud);
    EXPECT_EQ(bison->position.y, float(double(float(double(float(1.75 + 0.2)) + 0.2)) + 0.2));
    EXPECT_EQ(cloud->state, FOOD_FLYING);
    EXPECT_EQ(foodFed, 0);
    checkFeeding(flying(MARBLE, 0.28f, 0.06f, 0.0f));
    EXPECT_EQ(bison->position.y, 1.75f);
}

TEST_F(Feeding, TwoMarblesOnTheHeadSwapTheSkinToLavaAndBack) {
    ASSERT_FALSE(bison->lava);
    bison->position.y = 4.0f;
    checkFeeding(flying(MARBLE, 0.28f, 0.06f, 0.0f));
    EXPECT_TRUE(bison->lava);
    EXPECT_EQ(bison->position.y, 1.75f);
    EXPECT_EQ(bison->wantedNods, 4);
    EXPECT_EQ(foodFed, 0);
    bison->position.y = 2.5f;
    checkFeeding(flying(MARBLE, -0.97f, 0.06f, 1.5f)); // on the body, the same effect
    EXPECT_FALSE(bison->lava);
    EXPECT_EQ(bison->position.y, 1.75f);
}

TEST_F(Feeding, HeadWinsOverBody) {
    Food *orange = flying(ORANGE, -0.5f, 0.06f, 0.0f); // inside the head's reach and the body's
    CaptureStdout();
    checkFeeding(orange);
    std::string out = GetCapturedStdout();
    EXPECT_NE(out.find("head collide\n"), std::string::npos);
    EXPECT_EQ(out.find("BODY"), std::string::npos);
    EXPECT_EQ(foodFed, 1);
}

TEST_F(Feeding, AFoodLyingAgainstTheBodyIsHitEveryFrame) {
    bison->position = {10.0f, 1.75f, -20.0f};
    Food *apple = flying(APPLE, -1.97f, 0.0f, 0.5f);
    apple->position.y = 0.1f;
    apple->groundTimer = 40;
    lastThrownIndex = APPLE;
    CaptureStdout();
    for (int frame = 0; frame < 3; frame++) onDisplay();
    std::string out = GetCapturedStdout();
    EXPECT_EQ(countOf(out, "BODY COLLIDE 1\n"), 3) << out;
    EXPECT_EQ(apple->groundTimer, 37);
    EXPECT_EQ(apple->position.x, bison->position.x - 1.97f);
}

// A bomb, a marble or a cloud glancing off the body stays within reach for a few frames: the
// strike acts once, and again only once the food has been out of every body sphere's reach.
TEST_F(Feeding, ABodyStrikeActsOnceUntilTheFoodHasLeftTheBodysReach) {
    for (int index : {BOMB, MARBLE, CLOUD}) {
        foodFed = 0;
        bombLaunch = false;
        bison->lava = false;
        bison->position.y = 1.75f;
        Food *food = flying(index, -1.97f, 0.06f, 1.8f);
        CaptureStdout();
        for (int frame = 0; frame < 4; frame++) {
            // Sliding along, from one body sphere into the next.
            food->position.x = bison->position.x - 1.97f + 0.1f * frame;
            food->position.z = bison->position.z + 1.8f;
            checkFeeding(food);
        }
        std::string out = GetCapturedStdout();
        EXPECT_EQ(countOf(out, "BODY COLLIDE "), 4) << index;
        EXPECT_EQ(countOf(out, "BODY COLLIDE 0\n"), 2) << index;
        EXPECT_EQ(foodFed, index == BOMB ? -1 : 0) << index;
        EXPECT_EQ(bison->lava, index == MARBLE) << index;
        EXPECT_EQ(bison->position.y, index == CLOUD ? float(1.75 + 0.2) : 1.75f) << index;

        food->position.z = bison->position.z + 5.0f; // out of reach
        checkFeeding(food);
        food->position.z = bison->position.z + 1.8f; // and back in
        checkFeeding(food);
        EXPECT_EQ(foodFed, index == BOMB ? -2 : 0) << index;
        EXPECT_FALSE(bison->lava) << index << ": the second marble swaps it back";
        EXPECT_EQ(bison->position.y,
                  index == CLOUD ? float(double(float(1.75 + 0.2)) + 0.2) : 1.75f)
            << index;
    }
    bombLaunch = false;
}

// The next throw of the same food is a new strike, though the last one ended in reach.
TEST_F(Feeding, ABombThrownAgainStrikesAgain) {
    Food *bomb = flying(BOMB, -1.97f, 0.06f, 1.8f);
    checkFeeding(bomb);
    bomb->launch(0.0f, 0.0f);
    bomb->position = {bison->position.x - 1.97f, bison->position.y + 0.06f,
                      bison->position.z + 1.8f};
    checkFeeding(bomb);
    EXPECT_EQ(foodFed, -2);
    bombLaunch = false;
}

TEST_F(Feeding, AFoodLyingAtTheHeadIsSentHomeByTheFirstHit) {
    Food *orange = flying(ORANGE, 0.28f, 0.0f, 0.0f);
    orange->position.y = 0.1f; // on the ground, 1.71 below the head centre: within 1.77
    lastThrownIndex = ORANGE;
    CaptureStdout();
    onDisplay();
    onDisplay();
    std::string out = GetCapturedStdout();
    EXPECT_EQ(countOf(out, "head collide\n"), 1) << out;
    EXPECT_EQ(foodFed, 1);
    EXPECT_EQ(orange->state, FOOD_HOME);
}

TEST_F(Feeding, OnlyTheLastThrownFoodIsTested) {
    Food *first = flying(ORANGE, 0.28f, 0.06f, 0.0f); // sitting in the head
    first->speed = {0, 0, 0};
    first->direction = {0, 0, 0};
    Food *second = flying(APPLE, 30.0f, 10.0f, 0.0f);
    lastThrownIndex = APPLE;
    CaptureStdout();
    onDisplay();
    std::string out = GetCapturedStdout();
    EXPECT_EQ(countOf(out, "check head collision"), 1);
    EXPECT_EQ(out.find("head collide"), std::string::npos) << out;
    EXPECT_EQ(foodFed, 0);
    EXPECT_EQ(first->state, FOOD_FLYING);
    // Once the last throw is no longer flying, nothing is tested at all.
    second->state = FOOD_HOME;
    CaptureStdout();
    onDisplay();
    EXPECT_EQ(GetCapturedStdout().find("check head"), std::string::npos);
    first->state = FOOD_HOME;
}

TEST_F(Feeding, ABombLaunchRisesVanishesAndClimbsBack) {
    bison->wandering = true;
    headEffect(foods[BOMB]);
    std::vector<float> heights;
    for (int frame = 1; frame <= 160 && bombLaunch; frame++) {
        updateBombLaunch();
        heights.push_back(bison->position.y);
        if (frame < 160) {
            ASSERT_FALSE(bison->wandering) << frame;
        }
    }
    ASSERT_EQ(heights.size(), 160u);
    EXPECT_EQ(heights[40], 30.4500122f); // the 41st frame, the last rise
    EXPECT_EQ(heights[41], -9.9f);       // placed at -10 and raised in the same frame
    EXPECT_EQ(heights[42], float(double(-9.9f) + 0.1));
    EXPECT_LT(heights[158], 1.8000022f);
    EXPECT_EQ(heights[159], 1.8000021f); // the 160th frame ends it, at this height
    EXPECT_EQ(heights[158], heights[159]);
    EXPECT_FALSE(bombLaunch);
    EXPECT_FALSE(bombFalling);
    EXPECT_TRUE(bombFirstFall);
    EXPECT_TRUE(bison->wandering);
    // And then nothing more.
    updateBombLaunch();
    EXPECT_EQ(bison->position.y, 1.8000021f);
    bison->wandering = false;
}

TEST_F(Feeding, ALaunchThatReachesExactlyThirtyComesBack) {
    bombLaunch = true;
    bison->position.y = 30.0f;
    updateBombLaunch();
    EXPECT_TRUE(bombFalling);
    EXPECT_EQ(bison->position.y, -9.9f);
    int frames = 1;
    while (bombLaunch && frames < 1000) {
        updateBombLaunch();
        frames++;
    }
    EXPECT_FALSE(bombLaunch);
    EXPECT_EQ(frames, 119);
    EXPECT_GE(bison->position.y, 1.75f);
    EXPECT_TRUE(bison->wandering);
    bison->wandering = false;
}

TEST_F(Feeding, TheFlashShrinksFiveFourThreeTwoOneNought) {
    headEffect(foods[BOMB]);
    std::vector<int> radii;
    for (int frame = 0; frame < 7; frame++) {
        drawFlash();
        radii.push_back(flashRadius);
    }
    EXPECT_EQ(radii, (std::vector<int>{4, 3, 2, 1, 0, 0, 0}));
    EXPECT_FALSE(flashActive);
    // A second bomb during the launch restarts the flash, not the launch.
    for (int i = 0; i < 20; i++) updateBombLaunch();
    float y = bison->position.y;
    headEffect(foods[BOMB]);
    EXPECT_EQ(flashRadius, 5);
    updateBombLaunch();
    EXPECT_EQ(bison->position.y, float(double(y) + 0.7));
    drawFlash();
    EXPECT_EQ(flashRadius, 4);
    EXPECT_TRUE(flashActive);
    // The launch over, the flash still shrinks to its end, then nothing is drawn.
    bombLaunch = false;
    for (int i = 0; i < 3; i++) drawFlash();
    EXPECT_TRUE(flashActive);
    drawFlash();
    EXPECT_FALSE(flashActive);
    EXPECT_EQ(flashRadius, 0);
    flashRadius = 3; // not drawn while neither a launch nor a flash is on
    drawFlash();
    EXPECT_EQ(flashRadius, 3);
    flashRadius = 0;
    EXPECT_EQ(nextFlashRadius(0), 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(Deflect, TakesTheNormalComponentOut) {
    Food food("apple", 0, 0);
    food.direction = {1.0f, 0.5f, 0.0f};
    // Normal (0.6, 0.8, 0): direction . u = 1, k = 2.
    deflect({0, 0, 0}, {3.0f, 4.0f, 0.0f}, &food);
    EXPECT_FLOAT_EQ(food.direction.x, 1.0f - 0.6f);
    EXPECT_FLOAT_EQ(food.direction.y, 0.5f - 0.8f);
    EXPECT_EQ(food.direction.z, 0.0f);
}

TEST(Deflect, AtTheVeryCentreTheDirectionStays) {
    Food food("apple", 0, 0);
    food.direction = {0.6f, 0.2f, -0.8f};
    deflect({1.5f, 2.0f, -3.0f}, {1.5f, 2.0f, -3.0f}, &food);
    EXPECT_EQ(food.direction.x, 0.6f);
    EXPECT_EQ(food.direction.y, 0.2f);
    EXPECT_EQ(food.direction.z, -0.8f);
}

TEST_F(Feeding, AFoodAtABodySpheresCentreKeepsFlyingWithoutNaN) {
    // A small food reaches the first body sphere's centre without touching the head.
    Food *apple = flying(APPLE, -0.97f, 0.06f, 0.0f);
    apple->radius = 0.1f;
    CaptureStdout();
    checkFeeding(apple);
    apple->radius = 1.0f;
    EXPECT_NE(GetCapturedStdout().find("BODY COLLIDE 0\n"), std::string::npos);
    EXPECT_EQ(apple->direction.x, 0.6f);
    EXPECT_EQ(apple->direction.z, -0.8f);
    apple->speed = {0.5f, 0.0f, 0.5f};
    apple->update();
    EXPECT_FALSE(std::isnan(apple->position.x));
    EXPECT_FALSE(std::isnan(apple->position.z));
}

TEST_F(Feeding, AThrowAtTheFaceOfABisonFacingBackIsAHeadHit) {
    bison->heading = float(PI_D);
    // The drawn head is now on the -x side of the bison's origin, the body on the +x side.
    Food *orange = flying(ORANGE, -0.28f, 0.06f, 0.0f);
    CaptureStdout();
    checkFeeding(orange);
    EXPECT_NE(GetCapturedStdout().find("head collide\n"), std::string::npos);
    Food *apple = flying(APPLE, 1.97f, 0.06f, 0.0f);
    CaptureStdout();
    checkFeeding(apple);
    EXPECT_NE(GetCapturedStdout().find("BODY COLLIDE 0\n"), std::string::npos);
    // In front of the face, where the body would be if the spheres were not turned: nothing.
    apple = flying(APPLE, -2.82f, -0.04f, 0.0f);
    CaptureStdout();
    checkFeeding(apple);
    std::string out = GetCapturedStdout();
    EXPECT_EQ(out.find("COLLIDE"), std::string::npos) << out;
    EXPECT_EQ(out.find("collide"), std::string::npos) << out;
}

// The centres of the displayed spheres: each glutSolidSphere through feedback, its vertices
// centrally symmetric, so the middle of their bounding box is the centre.
std::vector<Vector3> displayedCentres(Vector3 snapshot) {
    std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-50, 50, -50, 50, -50, 50);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    showSpheres = true;
    drawCollisionSpheres(snapshot);
    showSpheres = false;
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    int words = glRenderMode(GL_RENDER);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    std::vector<std::vector<Vector3>> polygons;
    for (int at = 0; at < words;) {
        GLfloat token = buffer[size_t(at++)];
        if (token != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "token " << token;
            break;
        }
        int count = int(buffer[size_t(at++)]);
        std::vector<Vector3> polygon;
        for (int v = 0; v < count; v++, at += 3) {
            float x = (buffer[size_t(at)] - viewport[0]) / viewport[2] * 100 - 50;
            float y = (buffer[size_t(at) + 1] - viewport[1]) / viewport[3] * 100 - 50;
            float z = -(buffer[size_t(at) + 2] * 2 - 1) * 50;
            polygon.push_back({x, y, z});
        }
        polygons.push_back(polygon);
    }
    std::vector<Vector3> centres;
    if (polygons.size() % SPHERE_COUNT != 0) return centres;
    size_t each = polygons.size() / SPHERE_COUNT;
    for (int s = 0; s < SPHERE_COUNT; s++) {
        float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
        for (size_t p = s * each; p < (s + 1) * each; p++)
            for (const Vector3 &v : polygons[p]) {
                const float c[3] = {v.x, v.y, v.z};
                for (int k = 0; k < 3; k++) {
                    lo[k] = std::min(lo[k], c[k]);
                    hi[k] = std::max(hi[k], c[k]);
                }
            }
        centres.push_back({(lo[0] + hi[0]) / 2, (lo[1] + hi[1]) / 2, (lo[2] + hi[2]) / 2});
    }
    return centres;
}

TEST_F(Feeding, TheTestedSpheresAreTheDisplayedSpheresAtEveryHeading) {
    for (double heading : {0.0, PI_D / 2, PI_D, 4.0}) {
        bison->heading = float(heading);
        Vector3 at = {3.0f, 1.75f, -4.0f};
        std::vector<Vector3> shown = displayedCentres(at);
        ASSERT_EQ(shown.size(), size_t(SPHERE_COUNT)) << heading;
        for (int s = 0; s < SPHERE_COUNT; s++) {
            Vector3 tested = sphereCentre(s, at, bison->heading);
            EXPECT_NEAR(tested.x, shown[size_t(s)].x, 2e-3) << heading << " " << s;
            EXPECT_NEAR(tested.y, shown[size_t(s)].y, 2e-3) << heading << " " << s;
            EXPECT_NEAR(tested.z, shown[size_t(s)].z, 2e-3) << heading << " " << s;
        }
    }
    // At a quarter turn the head lies along -z: x = 0.28 cos, z = -0.28 sin.
    Vector3 head = sphereCentre(0, {0, 0, 0}, float(PI_D / 2));
    EXPECT_NEAR(head.x, 0.0f, 1e-7);
    EXPECT_FLOAT_EQ(head.z, -0.28f);
    // At heading 0 the sum is plain single precision.
    Vector3 body = sphereCentre(2, {10.1f, 1.75f, -3.3f}, 0.0f);
    EXPECT_EQ(body.x, 10.1f + -1.97f);
    EXPECT_EQ(body.y, 1.75f + 0.06f);
    EXPECT_EQ(body.z, -3.3f);
}

} // namespace
