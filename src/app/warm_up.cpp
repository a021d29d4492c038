// The selection warm-up: the GL's first selection passes paid before the player's first click,
// on a thread of their own where the picks have a context of their own, a part a frame elsewhere.
#include "app/app.h"

#include "bison/bison.h"
#include "camera/camera.h"
#include "food/pick.h"
#include "platform/platform.h"
#include "scenery/scenery.h"

#include <GL/gl.h>
#include <cstdlib>
#include <thread>

// The picks are made in a context of their own.
static bool picksAside = false;
// The warm-up's thread, while it runs or until it is waited for.
static std::thread warmer;

// The warm-up's pieces in the window's context, a selection pass each: the world's parts, the
// bison's in its own pieces, as the GL's first use of it costs the most.
static const struct {
    WorldPart part;
    int bisonPieces; // for PART_BISON
} WARM_UP_PIECES[] = {
    {PART_TEXT, 0},  {PART_BISON, MODEL_HEAD}, {PART_BISON, MODEL_BODY}, {PART_BISON, MODEL_LIMBS},
    {PART_SCENE, 0}, {PART_TREES, 0},          {PART_FOODS, 0}};
static const int WARM_UP_STEPS = int(sizeof WARM_UP_PIECES / sizeof WARM_UP_PIECES[0]);
// The pieces not yet drawn by the warm-up.
static int piecesToWarm = 0;

// What the thread draws, copied out of the game as the thread starts: it reads nothing that the
// ticks played meanwhile change. The trees and the sky and ground are made once, by initWorld.
struct WarmUpScene {
    WorldPose pose;
    BisonLook bison;
    unsigned int sceneList;
};

// The thread: one selection pass that picks nothing, in the picks' own context, of the parts
// whose first selection pass costs: the bison's compiled body (its head and limbs, the screen text
// and the foods are then drawn in states it has paid for), the sky and ground, and the trees'
// picking cards. The GL holds every context's display lists while one of them is drawn, so the
// lists go first, while the window's context makes the sounds and draws none; the trees, from
// arrays, may then take their time beside the first frame.
static void warmUpAside(WarmUpScene scene) {
    if (!enterSelectionContext()) return;
    static unsigned int hits[SELECT_BUFFER_WORDS]; // this thread's alone: the picks wait for it
    enterSelectionMode(hits, SELECT_BUFFER_WORDS);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    lookAlong(scene.pose.eye, scene.pose.gaze);
    drawBisonModel(scene.bison, scene.pose.bisonPlace, scene.pose.bisonHeading, scene.pose.nodAngle,
                   MODEL_BODY);
    glCallList(scene.sceneList);
    for (Tree *tree : trees) drawTree(tree, true);
    leaveSelectionMode();
    glFinish();
    leaveSelectionContext();
}

bool prepareSelectionContext() {
    picksAside = makeSelectionContext();
    return picksAside;
}

void startSelectionWarmUp() {
    finishSelectionWarmUp();
    if (!picksAside) {
        piecesToWarm = WARM_UP_STEPS;
        return;
    }
    // Started at once: most of it is done while the sound is made and the first frame drawn.
    static bool waitedForAtExit = false;
    if (!waitedForAtExit) atexit(finishSelectionWarmUp); // never left running into the exit
    waitedForAtExit = true;
    warmer = std::thread(warmUpAside, WarmUpScene{tickPose(), bison->look(), scene->displayList});
}

bool warmUpSelectionStep() {
    if (piecesToWarm <= 0) return false;
    int piece = WARM_UP_STEPS - piecesToWarm--;
    // A selection pass of the part alone that picks nothing and says nothing: the names and hits
    // are thrown away, and the pass waited for, so that the GL's work is done within the step.
    startSelectionPass();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
    WorldPose pose = tickPose();
    lookAlong(pose.eye, pose.gaze);
    if (WARM_UP_PIECES[piece].part == PART_BISON)
        bison->drawModelAt(pose.bisonPlace, pose.bisonHeading, pose.nodAngle,
                           WARM_UP_PIECES[piece].bisonPieces);
    else
        drawWorldPart(WARM_UP_PIECES[piece].part, pose, true);
    glPopMatrix();
    endPick();
    hitCount = 0;
    glFinish();
    return piecesToWarm > 0;
}

void finishSelectionWarmUp() {
    if (warmer.joinable()) warmer.join();
}

void resetSelectionWarmUp() {
    finishSelectionWarmUp();
    piecesToWarm = 0;
    picksAside = false;
}

void warmUpDrawing() {
    startSelectionWarmUp();
    // And one frame as drawn, never shown: the next frame clears it.
    drawGame(false);
    glFinish();
    while (warmUpSelectionStep()) {
    }
    finishSelectionWarmUp();
}

bool enterPickContext() {
    if (!picksAside) return false;
    finishSelectionWarmUp();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (!enterSelectionContext()) return false;
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    return true;
}

void leavePickContext() {
    leaveSelectionContext();
}
