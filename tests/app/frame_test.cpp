#include "app/app.h"

#include "camera/camera.h"
#include "input/input.h"
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

} // namespace
