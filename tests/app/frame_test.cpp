#include "app/app.h"

#include "bison/bison.h"
#include "camera/camera.h"
#include "food/feeding.h"
#include "food/food.h"
#include "food/pick.h"
#include "input/input.h"
#include "support/feedback.h"
#include "support/gl_env.h"

#include <GL/freeglut.h>
#include <cmath>
#include <gtest/gtest.h>

namespace {

double projectionAspect() {
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    return m[5] / m[0];
}

TEST(Frame, FirstFrameSeesTheWorldAtAspectTwo) {
    startWorld();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    onDisplay();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    EXPECT_NEAR(m[5], 1.0 / std::tan(30.0 * PI_D / 180.0), 1e-6); // 60 degrees of view
    EXPECT_NEAR(projectionAspect(), 2.0, 1e-6);
    // The frame leaves the modelview stack as it found it.
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
}

TEST(Frame, ReshapeKeepsSizeAndViewport) {
    startWorld();
    onReshape(640, 480);
    EXPECT_EQ(windowWidth, 640);
    EXPECT_EQ(windowHeight, 480);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    onDisplay();
    EXPECT_NEAR(projectionAspect(), 640.0 / 480.0, 1e-6); // floating point, not 1
    onReshape(1000, 500);
}

TEST(Frame, CollapsedWindowPutsNoNaNIntoTheProjection) {
    startWorld();
    for (auto size : {std::make_pair(1000, 0), std::make_pair(0, 0), std::make_pair(1, 1)}) {
        onReshape(size.first, size.second);
        onDisplay();
        GLdouble m[16];
        glGetDoublev(GL_PROJECTION_MATRIX, m);
        for (double v : m) EXPECT_TRUE(std::isfinite(v)) << size.first << " x " << size.second;
    }
    onReshape(1000, 500);
    onDisplay();
    EXPECT_NEAR(projectionAspect(), 2.0, 1e-6);
}

TEST(Frame, ViewLooksFromTheEyeAlongTheGaze) {
    startWorld();
    camera->direction = {0.0f, 0.0f, -1.0f};
    camera->look();
    GLdouble m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    // Looking along -z from (-8, 1.75, -8): the eye maps to the origin.
    EXPECT_NEAR(m[12] + m[0] * -8 + m[8] * -8 + m[4] * 1.75, 0.0, 1e-5);
    EXPECT_NEAR(m[14] + m[2] * -8 + m[10] * -8 + m[6] * 1.75, 0.0, 1e-5);
    EXPECT_NEAR(m[10], 1.0, 1e-6);
}

TEST(Frame, FixedStateIsSetOnce) {
    startWorld();
    for (GLenum cap : {GL_LIGHTING, GL_LIGHT0, GL_DEPTH_TEST, GL_COLOR_MATERIAL, GL_NORMALIZE})
        EXPECT_TRUE(glIsEnabled(cap)) << cap;
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[0], 0.7f);
    EXPECT_FLOAT_EQ(clear[1], 0.0f);
    EXPECT_FLOAT_EQ(clear[2], 1.0f);
}

// What the drawing calls move: the bison's walk and nod, the foods' places, the flash.
std::vector<float> movingState() {
    std::vector<float> state = {bison->position.x,  bison->position.z, bison->heading,
                                bison->stepCount,   bison->nodAngle,   float(bison->nodCount),
                                float(flashRadius), float(flashActive)};
    for (Food *food : foods)
        for (float v : {food->position.x, food->position.y, food->position.z,
                        float(food->groundTimer), float(food->state)})
            state.push_back(v);
    return state;
}

void drawingHalves() {
    bison->drawModel();
    drawFlashSphere();
    for (int i = 0; i < FOOD_COUNT; i++) drawPlacedFood(foods[i], i);
}

// A pause or a replay draws with the drawing halves alone: they move nothing, and they draw
// exactly what the frame's own calls drew for the state those calls left.
TEST(Frame, TheDrawingHalvesMoveNothingAndDrawWhatTheFrameDrew) {
    startWorld();
    gameState = STATE_PLAYING;
    camera->position = {-8.0f, 1.75f, -8.0f};
    camera->direction = {1.0f, 0.0f, 0.0f};
    bison->position = {4.0f, 1.75f, -9.0f};
    bison->wandering = true;
    bison->wantedNods = 3;
    bison->nodCount = 0;
    handCount = 0;
    holding = false;
    foods[0]->state = FOOD_FLYING;
    foods[0]->position = {-4.0f, 3.0f, -8.0f};
    foods[0]->launch(float(PI_D / 2), 0.1f);
    bombLaunch = true;
    flashActive = true;
    flashRadius = FLASH_START_RADIUS;
    setProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    camera->look();

    std::vector<float> before = movingState();
    recordPolygons(drawingHalves, true);
    EXPECT_EQ(movingState(), before);

    std::vector<FeedbackPolygon> frame = recordPolygons(
        [] {
            bison->draw();
            drawFlash();
            drawFoods();
        },
        true);
    EXPECT_NE(movingState(), before);
    std::vector<FeedbackPolygon> again = recordPolygons(drawingHalves, true);
    ASSERT_EQ(again.size(), frame.size());
    for (size_t p = 0; p < frame.size(); p++) {
        ASSERT_EQ(again[p].size(), frame[p].size()) << p;
        for (size_t v = 0; v < frame[p].size(); v++) {
            EXPECT_EQ(again[p][v].x, frame[p][v].x) << p;
            EXPECT_EQ(again[p][v].y, frame[p][v].y) << p;
            EXPECT_EQ(again[p][v].z, frame[p][v].z) << p;
            EXPECT_EQ(again[p][v].r, frame[p][v].r) << p;
        }
    }
    bombLaunch = flashActive = false;
    flashRadius = 0;
    foods[0]->state = FOOD_HOME;
    bison->wandering = false;
}

} // namespace
