#include "app/app.h"
#include "app/pose.h"
#include "clock/clock.h"

#include "bison/bison.h"
#include "camera/camera.h"
#include "capture/capture.h"
#include "food/feeding.h"
#include "food/pick.h"
#include "hud/font.h"
#include "hud/overlay.h"
#include "hud/screen_text.h"
#include "input/input.h"
#include "keep/tally.h"
#include "scenery/scenery.h"
#include "sound/captions.h"
#include "sound/sound.h"

#include <GL/freeglut.h>

void setProjection() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    multViewPerspective();
}

// The collision display stands where the bison was drawn this frame.
static Vector3 bisonSnapshot;
// The flash shows in this frame (its update said so).
static bool flashShows = false;

static void drawTrees(bool selecting) {
    for (Tree *tree : trees) drawTree(tree, selecting);
}

// Won or lost, with the screen's phrase in the frame it comes.
static void checkOutcomeHeard() {
    GameState before = gameState;
    checkOutcome();
    noteAdvance(gameState, foodFed, gameSpeed); // a game begun or ended counts in the record
    if (gameState != before && gameState == STATE_WON) playPhrase(SOUND_WON);
    if (gameState != before && gameState == STATE_LOST) playPhrase(SOUND_LOST);
}

static void testLastThrow() {
    if (lastThrownIndex >= 0 && foods[lastThrownIndex]->state == FOOD_FLYING)
        checkFeeding(foods[lastThrownIndex]);
}

// Every food once a frame, the hand from its top down and then the rest: each exactly once, so a
// flying food moves exactly once a frame. The drawing takes them in the same order.
static void placeFoods() {
    Vector3 point = heldPoint();
    for (int k = handCount; k >= 1; k--) placeFood(point, foods[hand[k - 1]]);
    for (int i = 0; i < FOOD_COUNT; i++)
        if (!inHand(i)) placeFood(point, foods[i]);
}

// Every food where POSE has it, in the order they are placed.
static void drawPlacedFoods(const WorldPose &pose) {
    for (int k = handCount; k >= 1; k--) {
        int index = hand[k - 1];
        drawFoodAt(foods[index], index, pose.foodPlaces[index]);
    }
    for (int i = 0; i < FOOD_COUNT; i++)
        if (!inHand(i)) drawFoodAt(foods[i], i, pose.foodPlaces[i]);
}

void titleDrift() {
    if (gameState == STATE_TITLE && camera->direction.y > TITLE_GAZE_FLOOR)
        camera->direction.y = float(double(camera->direction.y) - TITLE_DRIFT_STEP);
}

// A left click is resolved by a selection pass of the world as this tick has left it; the foods
// it hits go onto the hand in the same tick, so they are held from the next one on.
static void pickUnderClick() {
    bool aside = enterPickContext();
    drawGame(true);
    // Waits for the GL: left running on into the next passes, a run of clicks made the driver
    // hold on to megabytes more (seen in the soak's memory).
    glFinish();
    if (aside) leavePickContext();
    takePickHits();
}

// In the order the steps have always run. The hit comes last, so a tick shows its own hit: the
// score, the bison's tint, coat or lift; the pick after it sees the world as the tick left it.
void advanceGame() {
    captionClock = double(ticksAdvanced) / TICKS_PER_SECOND; // what is heard in it is timed so
    throwAsked();                                            // the right clicks since the last tick
    checkOutcomeHeard();                                     // won or lost
    processInput(TICK_ADVANCE);                              // the keys' actions
    titleDrift();                                            // the title's gaze
    updateBombLaunch();                                      // the bison's flight after a bomb
    listenFrom(camera->position, camera->direction);         // the ears go where the eye went
    bison->update();                                         // its nod and wander step
    flashShows = shrinkFlash();                              // the flash shrinks
    bisonSnapshot = bison->position;
    placeFoods();    // each food where its state says; a flying one steps
    testLastThrow(); // a hit feeds the bison
    if (pickPending) pickUnderClick();
    ticksAdvanced++;
}

void drawWorldPart(WorldPart part, const WorldPose &pose, bool selecting) {
    switch (part) {
    case PART_TEXT:
        drawScreenText();
        break;
    case PART_BISON:
        // The opaque bison and flash before the sky and ground: the depth test then drops the
        // scenery's fragments behind them instead of shading them only to be drawn over. Neither
        // blends, and the scene takes nothing from the state they leave, so no pixel changes.
        bison->drawModelAt(pose.bisonPlace, pose.bisonHeading, pose.nodAngle);
        if (pose.flashShows) drawFlashSphereAt(pose.bisonPlace, pose.flashRadius);
        break;
    case PART_SCENE:
        glCallList(scene->displayList);
        break;
    case PART_TREES:
        drawTrees(selecting);
        break;
    case PART_FOODS:
        drawPlacedFoods(pose);
        break;
    case WORLD_PARTS:
        break;
    }
}

// The world in POSE, in the projection already set: in a selection pass its hits are read before
// the collision spheres, which are never picked.
static void drawWorld(const WorldPose &pose, bool selecting) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
    lookAlong(pose.eye, pose.gaze);
    for (int part = 0; part < WORLD_PARTS; part++) drawWorldPart(WorldPart(part), pose, selecting);
    if (selecting) endPick(); // the hits are read; the tick takes them
    drawCollisionSpheresAt(pose.spheresPlace, pose.bisonHeading);
    if (!selecting) drawScreenTextBacking();
    glPopMatrix();
}

WorldPose tickPose() {
    return worldPose(flashShows, bisonSnapshot);
}

void drawGame(bool selecting) {
    if (selecting)
        beginPick();
    else
        setProjection();
    drawWorld(tickPose(), selecting);
}

// The world as the last two ticks left it, for the drawing between them; none before a tick.
static WorldPose poseBefore, poseNow;
static bool posesTaken = false;

// The back buffer holds the world as it now stands: a capture of the last tick drew it.
static bool worldDrawn = false;

bool playTick(TickStep step) {
    if (step == TICK_HOLD) {
        refuseClicks();
        processInput(TICK_HOLD);
        listenFrom(camera->position, camera->direction); // a sound turned off fades out
    }
    bool picking = step == TICK_ADVANCE && pickPending;
    poseBefore = posesTaken ? poseNow : tickPose();
    if (step == TICK_ADVANCE) advanceGame();
    poseNow = tickPose();
    posesTaken = true;
    worldDrawn = false;
    // Captures are tied to ticks, not to the drawing's rate: a replay makes the same files at any
    // --fps.
    if (recording || captureRequests > 0) {
        drawGame(false);
        takeCaptures();
        worldDrawn = true;
    }
    return picking;
}

void resetFrameState() {
    bisonSnapshot = Vector3();
    flashShows = false;
    worldDrawn = false;
    poseBefore = poseNow = WorldPose();
    posesTaken = false;
    resetSelectionWarmUp();
}

WorldPose shownPose(double share) {
    return posesTaken ? poseBetween(poseBefore, poseNow, share) : tickPose();
}

void drawWorldToShow(double share) {
    // A capture of the last tick drew it as it stands: the frame shows that when it is due.
    bool drawn = worldDrawn && (share >= 1.0 || !posesTaken);
    worldDrawn = false;
    if (drawn) return;
    setProjection();
    drawWorld(shownPose(share), false);
}
