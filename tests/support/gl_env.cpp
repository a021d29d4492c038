#include "support/gl_env.h"

#include "app/app.h"
#include "app/loop.h"
#include "app/world_check.h"
#include "assets/assets.h"
#include "bison/bison.h"
#include "camera/camera.h"
#include "capture/capture.h"
#include "clock/clock.h"
#include "food/feeding.h"
#include "food/food.h"
#include "food/pick.h"
#include "input/bindings.h"
#include "input/input.h"
#include "keep/tally.h"
#include "scenery/scenery.h"
#include "sound/captions.h"
#include "sound/sound.h"
#include "hud/assists.h"
#include "hud/options.h"
#include "hud/overlay.h"
#include "hud/screen_text.h"

#include <GL/freeglut.h>
#include <filesystem>
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
    uint32_t checksum; // the world's, as initWorld made it
    WorldAtStart()
        : camera(*::camera), bison(*::bison),
          scene(*::scene), trees{*::trees[0], *::trees[1], *::trees[2], *::trees[3]},
          seed(bisonSeed), checksum(worldChecksum()) {
        for (int i = 0; i < FOOD_COUNT; i++) foods[i] = std::make_unique<Food>(*::foods[i]);
    }
};
WorldAtStart *worldAtStart = nullptr;
// The folder the test program started in, where the game's pictures are found: a test run
// before the world is made may have gone into a folder of its own.
std::filesystem::path startFolder;

} // namespace

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

    // Each room puts its own state back as the game starts it.
    resetGameState();
    resetClock();
    resetInput();
    resetBindings();
    resetPicking();
    resetFeeding();
    resetCapture();
    resetBisonDraws(worldAtStart->seed);
    resetTally();
    resetScreenText();
    resetOverlays();
    resetAssists();
    resetCaptions();
    forgetToldPictures();
    resetShell();
    // What the tests choose otherwise: they count ticks by frames, and hand keys in themselves
    // while other tests' windows come and go.
    oneTickPerFrame = true;
    releaseKeysWithFocus = false;
    soundClockSource = nullptr; // the real one, unless a test gives the game's time

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

namespace {

class FreshWorld : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo &) override { freshWorld(); }
};

// Every test process opens the game's window once, before its first test; listing the tests
// runs no environment and needs no display.
class GlEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        startFolder = std::filesystem::current_path();
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
        soundClockSource = nullptr; // the real one, unless a test gives the game's time
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
    std::filesystem::path here = std::filesystem::current_path();
    if (!startFolder.empty()) std::filesystem::current_path(startFolder);
    initWorld();
    std::filesystem::current_path(here);
    worldAtStart = new WorldAtStart();
    // Tests that ran before any world was made may have left the rooms' state behind them (a
    // click pending, say): put back as the game starts it.
    freshWorld();
}

uint32_t startedWorldChecksum() {
    return worldAtStart ? worldAtStart->checksum : 0;
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
