#include "support/gl_env.h"

#include "app/app.h"
#include "clock/clock.h"
#include "app/live_events.h"
#include "app/loop.h"
#include "app/ticks.h"
#include "app/replay.h"
#include "app/player.h"
#include "bison/bison.h"
#include "camera/camera.h"
#include "capture/capture.h"
#include "food/feeding.h"
#include "food/food.h"
#include "food/pick.h"
#include "input/input.h"
#include "keep/tally.h"
#include "scenery/scenery.h"
#include "input/bindings.h"

#include <GL/freeglut.h>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The world as initWorld made it, kept so that every test after the first starts from it again:
// the whole test program also runs in one process, in any order, and no test may lean on what
// an earlier one left behind.
struct WorldAtStart {
    Camera camera;
    Bison bison;
    Scene scene;
    Tree trees[TREE_COUNT];
    std::unique_ptr<Food> foods[FOOD_COUNT];
    uint32_t seed;
    WorldAtStart()
        : camera(*::camera), bison(*::bison),
          scene(*::scene), trees{*::trees[0], *::trees[1], *::trees[2], *::trees[3]},
          seed(bisonSeed) {
        for (int i = 0; i < FOOD_COUNT; i++) foods[i] = std::make_unique<Food>(*::foods[i]);
    }
};
WorldAtStart *worldAtStart = nullptr;

// The game's own state back to what a fresh process starts with, the world objects to what
// initWorld made, and GL's matrices and viewport to a frame's.
void freshWorld() {
    if (!worldAtStart) return;
    // The skins share one texture name: the lava picture has to be loaded out of it again.
    if (bison->lava) bison->toggleSkin();
    *camera = worldAtStart->camera;
    *bison = worldAtStart->bison;
    *scene = worldAtStart->scene;
    for (int k = 0; k < TREE_COUNT; k++) *trees[k] = worldAtStart->trees[k];
    for (int i = 0; i < FOOD_COUNT; i++) *foods[i] = *worldAtStart->foods[i];

    gameState = STATE_TITLE;
    foodFed = 0;
    memset(textLine, 0, sizeof textLine);
    memset(keyDown, 0, sizeof keyDown);
    memset(keyPressed, 0, sizeof keyPressed);
    gamePaused = false;
    quitAsked = false;
    forgetLiveEvents();
    pickPending = false;
    pickX = pickY = 0.0f;
    memset(selectBuffer, 0, sizeof selectBuffer);
    hitCount = 0;
    memset(hand, 0, sizeof hand);
    handCount = 0;
    holding = false;
    heldIndex = -1;
    lastThrownIndex = -1;
    bombLaunch = false;
    bombFalling = false;
    bombFirstFall = true;
    flashActive = false;
    flashRadius = 0;
    showSpheres = false;
    recording = false;
    captureIndex = 0;
    captureRequests = 0;
    drawEveryFrame = true;
    frameTaken = DemoFrame();
    bisonDrawLog = nullptr;
    bisonDrawFeed = nullptr;
    bisonDrawFed = 0;
    stopReplay();
    oneTickPerFrame = true;
    releaseKeysWithFocus = false;
    ticksAdvanced = 0;
    throwsAsked = 0;
    keysListShown = false;
    keysInForce = defaultBindings();
    tallying = false;
    liveTally = GameTally();
    seedBison(worldAtStart->seed);

    if (windowWidth != 1000 || windowHeight != 500) {
        glutReshapeWindow(1000, 500);
        pumpEvents();
    }
    onReshape(1000, 500);
    setFixedGlState();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

class FreshWorld : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo &) override { freshWorld(); }
};

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
        ::testing::UnitTest::GetInstance()->listeners().Append(new FreshWorld);
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
    worldAtStart = new WorldAtStart();
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
