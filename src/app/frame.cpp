#include "app/app.h"
#include "app/playback.h"
#include "app/player.h"

#include "bison/bison.h"
#include "camera/camera.h"
#include "capture/capture.h"
#include "food/feeding.h"
#include "food/pick.h"
#include "input/input.h"
#include "keep/tally.h"
#include "scenery/scenery.h"
#include "sound/sound.h"

#include <GL/freeglut.h>

void setProjection() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    multViewPerspective();
}

long framesShown = 0;

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
    noteAdvance(gameState, foodFed); // a game begun or ended counts in the record
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

static void drawPlacedFoods() {
    for (int k = handCount; k >= 1; k--) drawPlacedFood(foods[hand[k - 1]], hand[k - 1]);
    for (int i = 0; i < FOOD_COUNT; i++)
        if (!inHand(i)) drawPlacedFood(foods[i], i);
}

// In the order the steps have always run. The hit comes last, so a frame shows its own hit: the
// score, the bison's tint, coat or lift (when the frame drew as it moved, they showed a frame
// later); every other pixel is as before.
void advanceGame() {
    checkOutcomeHeard();                             // won or lost
    processInput();                                  // the keys' actions
    titleDrift();                                    // the title's gaze
    updateBombLaunch();                              // the bison's flight after a bomb
    listenFrom(camera->position, camera->direction); // the ears go where the eye went
    bison->update();                                 // its nod and wander step
    flashShows = shrinkFlash();                      // the flash shrinks
    bisonSnapshot = bison->position;
    placeFoods();    // each food where its state says; a flying one steps
    testLastThrow(); // a hit feeds the bison
}

void drawGame(bool selecting) {
    if (selecting)
        beginPick();
    else
        setProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
    camera->look();

    drawScreenText();
    // The opaque bison and flash before the sky and ground: the depth test then drops the
    // scenery's fragments behind them instead of shading them only to be drawn over. Neither
    // blends, and the scene takes nothing from the state they leave, so no pixel changes.
    bison->drawModel();
    if (flashShows) drawFlashSphere();
    glCallList(scene->displayList);
    drawTrees(selecting);
    drawPlacedFoods();
    if (selecting) {
        endPick(); // the foods hit go onto the hand
        notePickHits();
    }
    drawCollisionSpheres(bisonSnapshot);
    glPopMatrix();
}

// A selection frame draws no pixels (Mesa does not even clear in selection mode), so its back
// buffer holds nothing the game drew: it is neither captured nor shown. Every other frame is
// captured as drawn, then the overlays go over it (so a capture holds the game alone) before the
// swap.
static void showFrame(bool selecting) {
    if (selecting) {
        dropCaptures();
        // Waits for the GL as the swap did: left running on into the next frames, a run of clicks
        // made the driver hold on to megabytes more (seen in the soak's memory).
        glFinish();
        return;
    }
    takeCaptures();
    drawOverlays();
    glutSwapBuffers();
    framesShown++;
}

// A selection frame takes every step too, so a click never holds the game still. Paused, the
// game is drawn as it stands and only the keys that act while paused act.
void playFrame() {
    bool selecting = pickPending;
    if (gamePaused) {
        processInput();
        listenFrom(camera->position, camera->direction); // a sound turned off fades out
    } else {
        advanceGame();
    }
    if (!selecting && !drawEveryFrame && !recording && captureRequests == 0) return;
    drawGame(selecting);
    showFrame(selecting);
}
