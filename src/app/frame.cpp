#include "app/app.h"

#include "bison/bison.h"
#include "camera/camera.h"
#include "capture/capture.h"
#include "food/food.h"
#include "input/input.h"
#include "scenery/scenery.h"

#include <GL/freeglut.h>

double windowAspect() {
    return double(windowWidth > 0 ? windowWidth : 1) / double(windowHeight > 0 ? windowHeight : 1);
}

void setProjection() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, windowAspect(), 1.0, 2000.0);
}

// The collision display stands where the bison was drawn this frame.
static Vector3 bisonSnapshot;

static void drawTrees() {
    for (Tree *tree : trees) drawTree(tree);
}

static void testLastThrow() {
    if (lastThrownIndex >= 0 && foods[lastThrownIndex]->state == FOOD_FLYING)
        checkFeeding(foods[lastThrownIndex]);
}

void onDisplay() {
    checkOutcome();
    processInput();
    titleDrift();
    updateBombLaunch();

    if (pickPending)
        beginPick();
    else
        setProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
    camera->look();

    drawScreenText();
    glCallList(scene->displayList);
    bison->draw();
    drawFlash();
    bisonSnapshot = bison->position;
    drawTrees();
    drawFoods();
    testLastThrow();
    if (pickPending) endPick();
    drawCollisionSpheres(bisonSnapshot);

    glPopMatrix();
    takeCaptures();
    glutSwapBuffers();
}
