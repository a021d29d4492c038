#include "app/app.h"

#include "bison/bison.h"
#include "camera/camera.h"
#include "capture/capture.h"
#include "food/feeding.h"
#include "food/pick.h"
#include "input/input.h"
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

static void drawTrees() {
    for (Tree *tree : trees) drawTree(tree);
}

// Won or lost, with the screen's phrase in the frame it comes.
static void checkOutcomeHeard() {
    GameState before = gameState;
    checkOutcome();
    if (gameState != before && gameState == STATE_WON) playPhrase(SOUND_WON);
    if (gameState != before && gameState == STATE_LOST) playPhrase(SOUND_LOST);
}

static void testLastThrow() {
    if (lastThrownIndex >= 0 && foods[lastThrownIndex]->state == FOOD_FLYING)
        checkFeeding(foods[lastThrownIndex]);
}

// A selection frame draws no pixels (Mesa does not even clear in selection mode), so its back
// buffer holds nothing the game drew: it is neither captured nor shown. Every other frame is
// captured as drawn, before the swap.
static void showFrame(bool selecting) {
    if (selecting) {
        dropCaptures();
        // Waits for the GL as the swap did: left running on into the next frames, a run of clicks
        // made the driver hold on to megabytes more (seen in the soak's memory).
        glFinish();
        return;
    }
    takeCaptures();
    glutSwapBuffers();
    framesShown++;
}

// The steps marked "moves" change the game; the rest only draw it. A selection frame takes every
// step too, so a click never holds the game still.
void onDisplay() {
    bool selecting = pickPending;
    checkOutcomeHeard();                             // moves: won or lost
    processInput();                                  // moves: the keys' actions
    titleDrift();                                    // moves: the title's gaze
    updateBombLaunch();                              // moves: the bison's flight after a bomb
    listenFrom(camera->position, camera->direction); // the ears go where the eye went

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
    bison->draw(); // moves: its nod and wander step, then its model
    drawFlash();   // moves: the flash shrinks, then shows
    bisonSnapshot = bison->position;
    glCallList(scene->displayList);
    drawTrees();
    drawFoods();              // moves: each food is placed and a flying one steps, then drawn
    testLastThrow();          // moves: a hit feeds the bison
    if (selecting) endPick(); // moves: the foods hit go onto the hand
    drawCollisionSpheres(bisonSnapshot);
    glPopMatrix();

    showFrame(selecting);
}
