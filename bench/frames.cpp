// The floors' frames, the game's frame and the views they are seen from.
#include "frames.h"

#include "game_headers.h"
#include "bison/bison.h"
#include "camera/camera.h"
#include "scenery/scenery.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

BisonPose situationPose;

void keepBisonHere() {
    situationPose = bisonPose();
}

void playingView() {
    gameState = STATE_PLAYING;
    camera->position = {-8.0f, 1.75f, -2.0f};
    camera->yaw = 3.1415927f;
    camera->direction = {0.0f, -0.1f, 1.0f};
    bison->position = {-4.0f, 1.75f, 12.0f};
    keepBisonHere();
}

void titleView() {
    gameState = STATE_TITLE;
    keepBisonHere();
}

void nothing() {}

// The scenery floor's display list: the sky dome and the ground of the game's scene, with its
// textures, drawn as the scene list first drew them (sky, then ground) and kept here unchanged
// whatever the game's own list becomes.
static unsigned int floorList = 0;

void buildFloorList() {
    floorList = glGenLists(1);
    glNewList(floorList, GL_COMPILE);
    glPushMatrix();
    glScalef(SKY_RADIUS, SKY_RADIUS, SKY_RADIUS);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    GLUquadric *quadric = gluNewQuadric();
    gluQuadricTexture(quadric, GL_TRUE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, scene->skyTexture);
    gluSphere(quadric, 1.0, 50, 50);
    gluDeleteQuadric(quadric);
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
    glEnable(GL_TEXTURE_2D);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glPushMatrix();
    glTranslatef(-162.0f, 0.0f, -162.0f);
    glScalef(3.0f, 1.0f, 3.0f);
    glBindTexture(GL_TEXTURE_2D, scene->grassTexture);
    for (int column = 0; column < 30; column++) {
        glPushMatrix();
        for (int row = 0; row < 30; row++) {
            glBegin(GL_QUADS);
            glNormal3f(0.0f, 1.0f, 0.0f);
            glTexCoord2f(0.0f, 1.0f);
            glVertex3f(-2.0f, 0.0f, -2.0f);
            glTexCoord2f(0.0f, 0.0f);
            glVertex3f(-2.0f, 0.0f, 2.0f);
            glTexCoord2f(1.0f, 0.0f);
            glVertex3f(2.0f, 0.0f, 2.0f);
            glTexCoord2f(1.0f, 1.0f);
            glVertex3f(2.0f, 0.0f, -2.0f);
            glEnd();
            glTranslatef(0.0f, 0.0f, 4.0f);
        }
        glPopMatrix();
        glTranslatef(4.0f, 0.0f, 0.0f);
    }
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
    glEndList();
}

void sceneryFrame() {
    setProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
    camera->look();
    glCallList(floorList);
    glPopMatrix();
    glutSwapBuffers();
}

void clearFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
}

void sceneryWith(void (*beforeScene)(), void (*afterScene)()) {
    setProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
    camera->look();
    beforeScene();
    glCallList(scene->displayList);
    afterScene();
    glPopMatrix();
    glutSwapBuffers();
}

void gameFrame() {
    setBisonPose(situationPose);
    onDisplay();
}

void betweenFrame() {
#ifdef DRAWS_BETWEEN_TICKS
    setBisonPose(situationPose);
    runTick({}, TICK_ADVANCE);
    showFrame(0.5);
#else
    gameFrame();
#endif
}
