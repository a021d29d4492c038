// The situations measured, each a set-up, a frame and a check, and the list of them.
#include "situations.h"
#include "frames.h"

#include "game_headers.h"
// The screen's text has a room of its own since; scripts/bench-compare.sh builds this benchmark
// against older trees too, whose app.h declares it.
#if __has_include("hud/screen_text.h")
#include "hud/screen_text.h"
#endif
#include "bison/bison.h"
#include "camera/camera.h"
#include "capture/capture.h"
#include "food/feeding.h"
#include "food/food.h"
#include "food/pick.h"
#include "input/input.h"
#include "scenery/scenery.h"
#include "sound/sound.h"

#include <GL/freeglut.h>
#include <GL/glu.h>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

static std::string fine() {
    return "";
}

static std::string stillOnTitle() {
    return gameState == STATE_TITLE ? "" : "left the title";
}

static void pickFood(int index) {
    hand[handCount++] = index;
    holding = true;
    heldIndex = index;
    foods[index]->state = FOOD_HELD;
}

// ---- Five in hand, one flying -----------------------------------------------------------

// The food thrown in the hand-and-flight situation, and where it flies in view each frame.
static const int FLYING_FOOD = 12;
static const Vector3 FLIGHT_POINT = {-7.0f, 2.2f, 3.0f};

static void handAndFlightSetUp() {
    playingView();
    for (int i : {0, 1, 4, 5, 8}) pickFood(i);
    lastThrownIndex = FLYING_FOOD;
}

// Thrown again from the same point each frame: one flight step and one collision test of a food
// in view, every frame.
static void handAndFlightFrame() {
    foods[FLYING_FOOD]->position = FLIGHT_POINT;
    foods[FLYING_FOOD]->launch(3.1415927f, 0.0f);
    gameFrame();
}

static std::string handAndFlightCheck() {
    const Food &f = *foods[FLYING_FOOD];
    if (f.state != FOOD_FLYING || f.position.y <= FOOD_GROUND_LEVEL)
        return std::string("the flying food landed");
    return std::string(handCount == 5 ? "" : "the hand changed");
}

// ---- The bomb's launch ------------------------------------------------------------------

// The first frame after a bomb on the head: the bison rises in view, the flash is drawn at
// radius 4.
static void bombLaunchFrame() {
    setBisonPose(situationPose);
    bombLaunch = true;
    bombFalling = false;
    bombFirstFall = true;
    flashActive = false;
    flashRadius = FLASH_START_RADIUS;
    onDisplay();
}

static std::string bombLaunchCheck() {
    return std::string(bombLaunch && flashRadius == FLASH_START_RADIUS - 1
                           ? ""
                           : "the launch was not at its first frame");
}

// ---- Picking a food ---------------------------------------------------------------------

// Where the pick aims: the window point of the first food at home, y counted from the top.
static const int PICKED_FOOD = 0;
static int picksMissed = 0;
static void aimAtPickedFood() {
    setProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    camera->look();
    GLdouble model[16], projection[16], x, y, z;
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    const Vector3 &home = foods[PICKED_FOOD]->home;
    gluProject(home.x, home.y, home.z, model, projection, viewport, &x, &y, &z);
    pickX = float(x);
    pickY = float(double(viewport[3]) - y);
}

static void pickSetUp() {
    playingView();
    aimAtPickedFood();
    picksMissed = 0;
}

static void pickFrame() {
    pickPending = true;
    gameFrame();
    if (handCount != 1 || hand[0] != PICKED_FOOD) picksMissed++;
    // Back home with an empty hand, so every pick does the same work.
    for (int i = 0; i < handCount; i++) foods[hand[i]]->state = FOOD_HOME;
    handCount = 0;
    holding = false;
    heldIndex = -1;
}

static std::string pickCheck() {
    return std::string(picksMissed == 0 ? "" : "a pick did not take the food aimed at");
}

// ---- Recording --------------------------------------------------------------------------

// The folder the captures are written in, and the one the benchmark runs from.
static const char *captureFolder = nullptr;
static std::string homeFolder;

static void recordingSetUp() {
    playingView();
    if (chdir(captureFolder) != 0) exit(1);
    recording = true;
}

// One file, made afresh each frame: a capture never replaces one.
static void recordingFrame() {
    remove(captureFileName(0).c_str());
    captureIndex = 0;
    gameFrame();
}

static std::string recordingCheck() {
    struct stat info;
    bool written = stat(captureFileName(0).c_str(), &info) == 0 &&
                   size_t(info.st_size) == ppmHeader(windowWidth, windowHeight).size() +
                                               3 * size_t(windowWidth) * size_t(windowHeight);
    if (chdir(homeFolder.c_str()) != 0) exit(1);
    return std::string(written ? "" : "no capture was written");
}

// ---- Sound ------------------------------------------------------------------------------

// The game's frame with sound on and a device mixing (the bison's hooves and grunts, the
// listener each frame), and the same frame muted as --mute makes it: no device at all. Sound is
// off and the device closed outside these two, as the benchmark has always measured.
static void withSoundSetUp() {
    playingView();
    closeSound();
    initSound(false);
}

static std::string withSoundCheck() {
    if (!soundDeviceOpen) return "no sound device was open";
    return std::string(soundsStarted > 0 ? "" : "no sound was started");
}

static void mutedSetUp() {
    playingView();
    closeSound();
    initSound(true);
}

static std::string mutedCheck() {
    return std::string(soundsStarted == 0 && !soundDeviceOpen ? "" : "a muted frame made sound");
}

// ---- One part of the frame on the scenery floor -----------------------------------------

static void titleTextFrame() {
    gameState = STATE_TITLE;
    sceneryWith(drawScreenText, nothing);
}

static void drawBisonWhereItStood() {
    setBisonPose(situationPose);
    bison->draw();
}

static void bisonFrame() {
    sceneryWith(nothing, drawBisonWhereItStood);
}

static void drawTrees() {
    for (Tree *tree : trees) drawTree(tree);
}

static void treesFrame() {
    sceneryWith(nothing, drawTrees);
}

static void foodsFrame() {
    sceneryWith(nothing, drawFoods);
}

std::vector<Situation> situations(const char *folder, const std::string &home) {
    captureFolder = folder;
    homeFolder = home;
    return {
        {"floor: clear and swap", GAME_SIZE, nothing, clearFrame, fine},
        {"floor: scenery (sky, ground)", GAME_SIZE, playingView, sceneryFrame, fine},
        {"title screen", GAME_SIZE, titleView, gameFrame, stillOnTitle},
        {"playing, foods at home", GAME_SIZE, playingView, gameFrame, fine},
        {"playing, drawn between two ticks", GAME_SIZE, playingView, betweenFrame, fine},
        {"playing, with sound", GAME_SIZE, withSoundSetUp, gameFrame, withSoundCheck},
        {"playing, muted", GAME_SIZE, mutedSetUp, gameFrame, mutedCheck},
        {"playing, 5 in hand, 1 flying", GAME_SIZE, handAndFlightSetUp, handAndFlightFrame,
         handAndFlightCheck},
        {"bomb launch, flash at its largest", GAME_SIZE, playingView, bombLaunchFrame,
         bombLaunchCheck},
        {"selection frame (pick a food)", GAME_SIZE, pickSetUp, pickFrame, pickCheck},
        {"recording (capture every frame)", GAME_SIZE, recordingSetUp, recordingFrame,
         recordingCheck},
        {"scenery + title text", GAME_SIZE, playingView, titleTextFrame, fine},
        {"scenery + bison", GAME_SIZE, playingView, bisonFrame, fine},
        {"scenery + trees", GAME_SIZE, playingView, treesFrame, fine},
        {"scenery + foods at home", GAME_SIZE, playingView, foodsFrame, fine},
        // Maximised on a 1920 x 1080 screen: the same frames over four times the pixels.
        {"floor: clear and swap, 1920 x 1080", WIDE_SIZE, nothing, clearFrame, fine},
        {"floor: scenery, 1920 x 1080", WIDE_SIZE, playingView, sceneryFrame, fine},
        {"title screen, 1920 x 1080", WIDE_SIZE, titleView, gameFrame, stillOnTitle},
        {"playing, foods at home, 1920 x 1080", WIDE_SIZE, playingView, gameFrame, fine},
    };
}
