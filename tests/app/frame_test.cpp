#include "app/app.h"
#include "app/loop.h"
#include "app/world_check.h"

#include "bison/bison.h"
#include "capture/capture.h"
#include "camera/camera.h"
#include "food/feeding.h"
#include "food/food.h"
#include "food/pick.h"
#include "input/input.h"
#include "platform/platform.h"
#include "scenery/scenery.h"
#include "support/feedback.h"
#include "support/files.h"
#include "support/gl_env.h"

#include <GL/freeglut.h>
#include <cmath>
#include <cstring>
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

// A view that holds still from frame to frame: playing, the bison halted with its head at rest.
void holdStill() {
    gameState = STATE_PLAYING;
    camera->position = {-8.0f, 1.75f, -2.0f};
    camera->direction = {0.0f, 0.1f, 1.0f};
    bison->position = {-4.0f, 1.75f, 14.0f};
    bison->wandering = false;
}

// The sky of the very first frame is drawn in the same texture mode as every later one's.
TEST(Frame, TheFirstFramesPixelsEqualTheSeconds) {
    startWorld(); // in the build folder, where the pictures are
    holdStill();
    WorkDir dir("first-frame");
    recording = true;
    captureIndex = 0;
    onDisplay();
    onDisplay();
    recording = false;
    Bytes first = readBytes("ppm/img000.ppm"), second = readBytes("ppm/img001.ppm");
    ASSERT_EQ(first.size(), 1500016u);
    size_t differing = 0, at = 0;
    for (size_t i = 16; i + 2 < first.size(); i += 3)
        if (memcmp(&first[i], &second[i], 3) != 0 && differing++ == 0) at = (i - 16) / 3;
    EXPECT_EQ(differing, 0u) << "the first differs at (" << at % 1000 << ", " << at / 1000
                             << ") from the top left";
}

// A food just behind the clear top corner of a tree's card, drawn after the tree, shows through
// the corner in the capture: the card's clear texels write no depth to hide it.
TEST(Frame, AFoodBehindATreeCardsClearCornerShowsInTheCapture) {
    startWorld();
    holdStill();
    bison->position = {60.0f, 1.75f, 60.0f};
    const Tree *tree = trees[0];
    Vector3 corner = {tree->position.x - 1.9f, 3.9f, tree->position.z};
    camera->position = {corner.x, corner.y, corner.z + 6.0f};
    camera->direction = {0.0f, 0.0f, -1.0f};
    Food *food = foods[1];
    Vector3 home = food->home;
    WorkDir dir("clear-corner");
    recording = true;
    captureIndex = 0;
    food->home = {corner.x, corner.y, corner.z - 1.0f};
    onDisplay();
    food->home = {corner.x + 40.0f, corner.y, corner.z};
    onDisplay();
    recording = false;
    food->home = home;
    Bytes with = readBytes("ppm/img000.ppm"), without = readBytes("ppm/img001.ppm");
    ASSERT_EQ(with.size(), 1500016u);
    ASSERT_EQ(without.size(), with.size());
    // The food is straight ahead, at the window's centre, a few pixels across.
    int changed = 0;
    for (int y = 248; y <= 252; y++)
        for (int x = 498; x <= 502; x++) {
            size_t at = 16 + 3 * (size_t(y) * 1000 + size_t(x));
            changed += memcmp(&with[at], &without[at], 3) != 0;
        }
    EXPECT_EQ(changed, 25) << "the food shows in " << changed << " of the 25 pixels at its middle";
}

// A click's selection pass draws no pixels and is never swapped onto the window; its tick moves
// the game all the same and is captured and shown as drawn after the pick: one swap, one file.
TEST(Frame, ASelectionPassIsNeitherShownNorCapturedButItsTickIs) {
    startWorld();
    holdStill();
    WorkDir dir("selection-frame");
    onDisplay();
    long shown = framesShown;
    captureIndex = 0;
    onKeyDown('9', 0, 0);
    onKeyDown('a', 0, 0);
    float yaw = camera->yaw;
    requestPick(3, 3);
    long swaps = swapsMade(); // the window system's own count, where there is one
    onDisplay();
    onKeyUp('9', 0, 0);
    onKeyUp('a', 0, 0);
    EXPECT_FALSE(pickPending);
    EXPECT_NE(camera->yaw, yaw) << "the game stood still in the click's tick";
    EXPECT_EQ(framesShown, shown + 1);
    if (swaps >= 0) {
        EXPECT_EQ(swapsMade(), swaps + 1) << "the selection pass was swapped on screen";
    }
    EXPECT_EQ(captureIndex, 1) << "one capture of the click's tick, none of its selection pass";
    ASSERT_TRUE(fileExists("ppm/img000.ppm"));
    EXPECT_FALSE(fileExists("ppm/img001.ppm"));
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

namespace {

// Everything a paused frame must leave as it stood.
std::vector<float> pausedState() {
    std::vector<float> state = movingState();
    for (float v : {bison->position.y, camera->position.x, camera->position.z, camera->yaw,
                    camera->direction.y, float(handCount), float(foodFed), float(gameState)})
        state.push_back(v);
    return state;
}

// 'p' stops everything but the drawing and the keys that act while paused, and 'p' again goes
// on from where the game stood.
TEST(Frame, APausedGameStandsStillAndGoesOnWhereItStood) {
    startWorld();
    gameState = STATE_TITLE;
    camera->position = {-8.0f, 1.75f, -8.0f};
    camera->direction = {1.0f, 0.9f, 0.0f}; // the title's gaze still sinking
    bison->position = {4.0f, 1.75f, -9.0f};
    bison->wandering = true;
    bison->wantedNods = 3;
    bison->nodCount = 0;
    foods[5]->state = FOOD_FLYING;
    foods[5]->position = {-4.0f, 3.0f, -8.0f};
    foods[5]->launch(float(PI_D / 2), 0.1f);
    bombLaunch = true;
    flashRadius = FLASH_START_RADIUS;
    flashActive = true;
    long shown = framesShown;

    onKeyDown('p', 0, 0);
    onKeyUp('p', 0, 0);
    onDisplay(); // the frame of the press still moves
    ASSERT_TRUE(gamePaused);
    std::vector<float> paused = pausedState();
    onKeyDown('w', 0, 0); // held: no walk while paused
    onKeyDown('1', 0, 0); // one-shot: spent while paused
    onKeyUp('1', 0, 0);
    onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 500, 250);
    onMouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 500, 250);
    onKeyDown(']', 0, 0); // not among the paused keys
    onKeyUp(']', 0, 0);
    bool spheres = showSpheres;
    for (int i = 0; i < 5; i++) onDisplay();
    EXPECT_EQ(pausedState(), paused);
    EXPECT_FALSE(pickPending) << "a paused tick keeps no click for later";
    EXPECT_EQ(throwsAsked, 0) << "a paused tick keeps no click for later";
    EXPECT_EQ(showSpheres, spheres);
    EXPECT_EQ(framesShown, shown + 6) << "a paused game is still drawn";

    onKeyDown('p', 0, 0);
    onKeyUp('p', 0, 0);
    onDisplay(); // the frame of the press stands still too
    EXPECT_FALSE(gamePaused);
    EXPECT_EQ(pausedState(), paused);
    onDisplay();
    onKeyUp('w', 0, 0);
    std::vector<float> after = pausedState();
    EXPECT_NE(bison->nodAngle, paused[4]) << "the nod goes on";
    EXPECT_NE(foods[5]->position.x, paused[8 + 5 * 5]) << "the flying food goes on";
    EXPECT_NE(camera->direction.y, paused[paused.size() - 4]) << "the title's gaze goes on";
    EXPECT_EQ(gameState, STATE_TITLE) << "the '1' pressed while paused did not act";

    bombLaunch = bombFalling = flashActive = false;
    bombFirstFall = true;
    flashRadius = 0;
    bison->position.y = BISON_STAND_HEIGHT;
    foods[5]->state = FOOD_HOME;
    bison->wandering = false;
}

} // namespace

namespace {

// The warm-up pays the GL's first selection pass a piece a step after the first frame: it picks
// and changes nothing, and leaves the GL as a frame leaves it, lit and rendering.
TEST(Frame, TheSelectionWarmUpTakesItsStepsChangingNothing) {
    startWorld();
    onDisplay();
    uint32_t before = worldChecksum();
    GLint projectionDepth = 0, modelviewDepth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projectionDepth);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelviewDepth);
    EXPECT_FALSE(warmUpSelectionStep()) << "no step before it is started";
    startSelectionWarmUp();
    int steps = 1;
    while (warmUpSelectionStep()) steps++;
    EXPECT_EQ(steps, 7) << "the text, the bison's head, body and limbs, the scene, trees, foods";
    EXPECT_FALSE(warmUpSelectionStep());
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_EQ(worldChecksum(), before);
    EXPECT_EQ(hitCount, 0);
    EXPECT_FALSE(pickPending);
    GLint mode = 0, depth = 0;
    glGetIntegerv(GL_RENDER_MODE, &mode);
    EXPECT_EQ(mode, GL_RENDER);
    for (GLenum cap : {GL_LIGHTING, GL_COLOR_MATERIAL, GL_NORMALIZE, GL_DEPTH_TEST})
        EXPECT_TRUE(glIsEnabled(cap)) << "cap " << cap;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, projectionDepth);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, modelviewDepth);
}

// Where the picks have a context of their own, the warm-up is one pass in it on a thread of its
// own, begun at once: no frame takes a step, the game and the window's context stay as they were,
// and the picks' context is left drawing, ready for the first pick.
TEST(Frame, TheWarmUpInThePicksOwnContextChangesNothingHere) {
    startWorld();
    onDisplay();
    if (std::string(platformName()) != "linux" && !prepareSelectionContext())
        GTEST_SKIP() << "no second context on this platform";
    ASSERT_TRUE(prepareSelectionContext());
    uint32_t before = worldChecksum();
    startSelectionWarmUp();
    EXPECT_FALSE(warmUpSelectionStep()) << "no step for the frames to take";
    finishSelectionWarmUp();
    EXPECT_EQ(worldChecksum(), before);
    EXPECT_EQ(hitCount, 0);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING)) << "the window's context is still current";
    ASSERT_TRUE(enterPickContext());
    GLint mode = 0, viewport[4] = {};
    glGetIntegerv(GL_RENDER_MODE, &mode);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    leavePickContext();
    EXPECT_EQ(mode, GL_RENDER);
    EXPECT_EQ(viewport[2], windowWidth);
    EXPECT_EQ(viewport[3], windowHeight);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    resetSelectionWarmUp();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
