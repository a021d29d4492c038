// A food's kinds, its throw and its flight, its lying on the ground and how it is drawn.
#include "food/feeding.h"
#include "food/food.h"
#include "food/pick.h"

#include "support/files.h"
#include "support/gl_env.h"

#include <GL/glu.h>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Facing +x: the whole horizontal speed goes into x.
const float EAST = float(PI_D / 2);

// Flies food until it lies; returns the number of flight steps it made.
int flightSteps(Food &food) {
    int steps = 0;
    while (food.position.y > FOOD_GROUND_LEVEL && food.position.y <= FOOD_CEILING) {
        food.update();
        steps++;
        if (steps > 10000) break;
    }
    return steps;
}

TEST(FoodKinds, EachKindWearsItsOwnFile) {
    EXPECT_STREQ(foodTextureFile("orange"), "tex/orange.tga");
    EXPECT_STREQ(foodTextureFile("apple"), "tex/apple.tga");
    EXPECT_STREQ(foodTextureFile("bomb"), "tex/marble.tga");
    EXPECT_STREQ(foodTextureFile("marble"), "tex/room.tga");
    EXPECT_STREQ(foodTextureFile("cloud"), "tex/clouds.tga");
    EXPECT_EQ(foodTextureFile("pear"), nullptr);
    EXPECT_EQ(foodKind("bomb"), KIND_BOMB);
    EXPECT_EQ(foodKind("Bomb"), KIND_NONE);
    EXPECT_EQ(foodKind(nullptr), KIND_NONE);
}

// A 2 x 2 true-colour TGA.
void writeTga(const std::string &path) {
    unsigned char header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 24, 0};
    FILE *file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    fwrite(header, 1, sizeof header, file);
    for (int i = 0; i < 12; i++) fputc(200, file);
    fclose(file);
}

TEST(FoodKinds, ConstructionLoadsTheKindsFileAndStartsAtHome) {
    std::unique_ptr<WorkDir> dir(new WorkDir("food"));
    ASSERT_TRUE(makeDir("tex"));
    writeTga("tex/marble.tga"); // what a bomb wears; there is no bomb.tga
    Food bomb("bomb", 27, 62);
    Food marble("marble", 26, 62); // tex/room.tga is missing
    Food pear("pear", 1, 2);
    dir.reset();

    EXPECT_NE(bomb.texture, 0u);
    EXPECT_TRUE(glIsTexture(bomb.texture));
    EXPECT_EQ(marble.texture, 0u);
    EXPECT_EQ(pear.texture, 0u);
    EXPECT_STREQ(pear.name, "pear");
    EXPECT_EQ(bomb.state, FOOD_HOME);
    EXPECT_EQ(bomb.groundTimer, 40);
    EXPECT_EQ(bomb.radius, 1.0f);
    EXPECT_EQ(bomb.home.x, 27.0f);
    EXPECT_EQ(bomb.home.y, 3.0f);
    EXPECT_EQ(bomb.home.z, 62.0f);
    EXPECT_EQ(bomb.position.x, 0.0f);
    EXPECT_EQ(bomb.position.y, 3.0f);
    EXPECT_EQ(bomb.position.z, 0.0f);
    EXPECT_EQ(bomb.speed.y, 0.0f);
}

TEST(FoodFlight, LaunchSetsDirectionAndSpeedsButNotPlace) {
    Food food("apple", 0, 0);
    food.position = {1, 2, 3};
    food.groundTimer = 17;
    food.launch(1.0f, 0.3f);
    EXPECT_EQ(food.state, FOOD_FLYING);
    EXPECT_EQ(food.direction.x, float(std::sin(double(1.0f))));
    EXPECT_EQ(food.direction.z, -float(std::cos(double(1.0f))));
    EXPECT_EQ(food.direction.y, 0.3f);
    EXPECT_EQ(food.speed.x, 0.5f);
    EXPECT_EQ(food.speed.z, 0.5f);
    EXPECT_EQ(food.speed.y, float(double(0.3f) * 0.5 + 0.02));
    EXPECT_EQ(food.position.x, 1.0f);
    EXPECT_EQ(food.groundTimer, 17);
}

TEST(FoodFlight, PitchPointTwoFrom175Flies36StepsAnd18Units) {
    Food food("orange", 0, 0);
    food.position = {0, 1.75f, 0};
    food.launch(EAST, 0.2f);
    EXPECT_EQ(flightSteps(food), 36);
    EXPECT_FLOAT_EQ(food.position.x, 18.0f);
    EXPECT_LE(food.position.y, FOOD_GROUND_LEVEL);
    EXPECT_GT(food.position.y, 0.0f);
    // The next step finds it on the ground and lays it at 0.1, where it landed.
    food.update();
    EXPECT_EQ(food.position.y, 0.1f);
    EXPECT_FLOAT_EQ(food.position.x, 18.0f);
    EXPECT_EQ(food.state, FOOD_FLYING);
    EXPECT_EQ(food.groundTimer, 39);
}

TEST(FoodFlight, PitchZeroFlies21StepsAnd10AndAHalfUnits) {
    Food food("orange", 0, 0);
    food.position = {0, 1.75f, 0};
    food.launch(EAST, 0.0f);
    EXPECT_EQ(flightSteps(food), 21);
    EXPECT_FLOAT_EQ(food.position.x, 10.5f);
}

TEST(FoodFlight, OneStepInOrderWithGravityFirst) {
    Food food("orange", 0, 0);
    food.position = {5, 2, 7};
    food.direction = {0.6f, 9.0f, -0.8f}; // y plays no part in the step
    food.speed = {0.5f, 0.1f, 0.25f};
    food.state = FOOD_FLYING;
    food.update();
    EXPECT_EQ(food.speed.y, float(double(0.1f) - 0.009));
    EXPECT_EQ(food.position.x, float(5.0 + double(0.5f) * double(0.6f)));
    EXPECT_EQ(food.position.y, float(2.0 + double(food.speed.y)));
    EXPECT_EQ(food.position.z, float(7.0 + double(0.25f) * double(-0.8f)));
}

TEST(FoodFlight, AtExactlyAHundredItFliesAboveItLies) {
    Food food("cloud", 0, 0);
    food.launch(EAST, 1.0f);
    food.position = {4, 100.0f, 6};
    food.update();
    EXPECT_NE(food.position.y, 0.1f);
    EXPECT_GT(food.position.y, 100.0f); // still rising
    EXPECT_EQ(food.groundTimer, 40);
    // Now above 100: put on the ground at once, where it is.
    float x = food.position.x, z = food.position.z;
    food.update();
    EXPECT_EQ(food.position.y, 0.1f);
    EXPECT_EQ(food.position.x, x);
    EXPECT_EQ(food.position.z, z);
    EXPECT_EQ(food.groundTimer, 39);
}

TEST(FoodFlight, ALandedFoodLiesFortyFramesThenGoesHome) {
    Food food("apple", -8, 8);
    food.launch(EAST, 0.0f);
    food.position = {3, 0.13f, 4}; // 0.13 is already the ground
    for (int frame = 1; frame <= 39; frame++) {
        food.update();
        ASSERT_EQ(food.state, FOOD_FLYING) << frame;
        ASSERT_EQ(food.position.y, 0.1f);
        ASSERT_EQ(food.position.x, 3.0f);
    }
    food.update(); // the 40th lying frame
    EXPECT_EQ(food.state, FOOD_HOME);
    EXPECT_EQ(food.groundTimer, 40);
    drawFood({0, 0, 0}, &food, 1);
    EXPECT_EQ(food.position.x, -8.0f);
    EXPECT_EQ(food.position.y, 3.0f);
    EXPECT_EQ(food.position.z, 8.0f);
}

TEST(FoodFlight, TheTimerIsRefilledOnlyWhenItRunsOut) {
    Food food("apple", -8, 8);
    food.launch(EAST, 0.0f);
    food.position = {3, 0.1f, 4};
    for (int i = 0; i < 15; i++) food.update();
    EXPECT_EQ(food.groundTimer, 25);
    // Taken home early (a head hit, a recall): the next landing lies only 25 frames.
    food.state = FOOD_HOME;
    food.launch(EAST, 0.0f);
    food.position = {3, 0.1f, 4};
    for (int i = 0; i < 24; i++) food.update();
    EXPECT_EQ(food.state, FOOD_FLYING);
    food.update();
    EXPECT_EQ(food.state, FOOD_HOME);
    EXPECT_EQ(food.groundTimer, 40);
}

TEST(FoodFlight, ThrownFromTheOriginItLiesThereAtOnce) {
    Food food("orange", 0, 0);
    food.position = {0, 0, 0};
    food.launch(EAST, 0.5f);
    food.update();
    EXPECT_EQ(food.position.x, 0.0f);
    EXPECT_EQ(food.position.y, 0.1f);
    EXPECT_EQ(food.position.z, 0.0f);
    EXPECT_EQ(food.state, FOOD_FLYING);
}

TEST(FoodDrawing, PlacementByState) {
    Food food("orange", 2, 5);
    Vector3 point = {1, 2.5f, -3};
    food.state = FOOD_HELD;
    food.position = {40, 40, 40};
    drawFood(point, &food, 0);
    EXPECT_EQ(food.position.x, 1.0f);
    EXPECT_EQ(food.position.y, float(2.5 - 0.2));
    EXPECT_EQ(food.position.z, -3.0f);
    food.state = FOOD_HOME;
    drawFood(point, &food, 0);
    EXPECT_EQ(food.position.x, 2.0f);
    EXPECT_EQ(food.position.y, 3.0f);
    EXPECT_EQ(food.position.z, 5.0f);
    // A flying food makes exactly its one step.
    food.launch(EAST, 0.0f);
    drawFood(point, &food, 0);
    EXPECT_EQ(food.position.x, 2.5f);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// Everything a draw sends through feedback with lighting on: window positions, lit colours (so
// normals count) and texture coordinates.
std::vector<GLfloat> feedbackOf(const std::function<void()> &draw) {
    std::vector<GLfloat> buffer(1 << 18);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(60, 2, 0.01, 10);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0, 0, -0.5f);
    glRotatef(30, 0, 1, 0);
    glTranslatef(0, -3, 0); // the food rests at height 3
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glColor3f(0.3f, 0.6f, 0.9f);
    draw();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    int words = glRenderMode(GL_RENDER);
    buffer.resize(size_t(std::max(words, 0)));
    return buffer;
}

TEST(FoodDrawing, TheSphereIsTheQuadricsSphere) {
    Food food("pear", 0.02f, -0.01f);
    // Drawn with the whole part of the radius, scaled by a tenth. The sphere is worked out once
    // and kept while the radius stays: a change of radius, and back, must show.
    for (float radius : {2.7f, 1.0f, 1.5f, 2.0f}) {
        food.radius = radius;
        std::vector<GLfloat> drawn = feedbackOf([&] { drawFood({0, 0, 0}, &food, 4); });
        std::vector<GLfloat> quadric = feedbackOf([radius] {
            glPushMatrix();
            glTranslatef(0.02f, 3.0f, -0.01f);
            glScalef(0.1f, 0.1f, 0.1f);
            glRotatef(90, 1, 0, 0);
            GLUquadric *sphere = gluNewQuadric();
            gluQuadricTexture(sphere, GL_TRUE);
            gluSphere(sphere, int(radius), 20, 10);
            gluDeleteQuadric(sphere);
            glPopMatrix();
        });
        ASSERT_GT(quadric.size(), 1000u);
        ASSERT_EQ(drawn.size(), quadric.size());
        for (size_t i = 0; i < drawn.size(); i++)
            ASSERT_NEAR(drawn[i], quadric[i], 1e-3) << i << " at radius " << radius;
    }
    // And it leaves the current normal and texture coordinate as the quadric does.
    GLfloat normal[4], coordinate[4];
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, coordinate);
    feedbackOf([&] { drawFood({0, 0, 0}, &food, 4); });
    GLfloat after[4], afterCoordinate[4];
    glGetFloatv(GL_CURRENT_NORMAL, after);
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, afterCoordinate);
    for (int k = 0; k < 3; k++) EXPECT_FLOAT_EQ(after[k], normal[k]) << k;
    for (int k = 0; k < 2; k++) EXPECT_FLOAT_EQ(afterCoordinate[k], coordinate[k]) << k;
}

} // namespace
