#include "support/gl_env.h"

#include "app/app.h"
#include "app/clock.h"
#include "input/input.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

namespace {

// Every test process opens the game's window once, before its first test; listing the tests
// runs no environment and needs no display.
class GlEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        int argc = 1;
        char name[] = "grazewell_tests";
        char *argv[] = {name, nullptr};
        glutInit(&argc, argv);
        glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
        glutInitWindowSize(windowWidth, windowHeight);
        glutCreateWindow("Grazewell");
        glutReshapeFunc(onReshape);
        glutDisplayFunc([] {});
        pumpEvents();
        onReshape(windowWidth, windowHeight);
        // Tests run side by side, each with a window of its own, and under Wine the newest takes
        // the foreground: keys a test hands in must not be let go for it.
        releaseKeysWithFocus = false;
    }
};

const ::testing::Environment *const environment =
    ::testing::AddGlobalTestEnvironment(new GlEnvironment);

} // namespace

void startWorld() {
    static bool started = false;
    if (started) return;
    started = true;
    // The tests count ticks by frames: each of their frames runs one, whatever the clock says.
    oneTickPerFrame = true;
    initWorld();
}

void pumpEvents() {
    for (int i = 0; i < 5; i++) glutMainLoopEvent();
}

std::array<unsigned char, 3> readPixel(int x, int y) {
    std::array<unsigned char, 3> rgb{};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}
