#include "food/pick.h"

#include "camera/camera.h"
#include "game.h"
#include "sound/sound.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <climits>
#include <cstdio>
#include <cstring>

bool pickPending = false;
int throwsAsked = 0;
float pickX = 0.0f;
float pickY = 0.0f;
unsigned int selectBuffer[SELECT_BUFFER_WORDS];
int hitCount = 0;
int hand[FOOD_COUNT];
int handCount = 0;
bool holding = false;
int heldIndex = -1;
int lastThrownIndex = -1;

void resetPicking() {
    pickPending = false;
    throwsAsked = 0;
    pickX = pickY = 0.0f;
    memset(selectBuffer, 0, sizeof selectBuffer);
    hitCount = 0;
    memset(hand, 0, sizeof hand);
    handCount = 0;
    holding = false;
    heldIndex = -1;
    lastThrownIndex = -1;
}

void requestPick(int x, int y) {
    pickPending = true;
    pickX = float(x);
    pickY = float(y);
}

// A hit record: its name count, its minimum and maximum depth, then its names.
static const int RECORD_HEADER_WORDS = 3;

int nearestHitRecord(const unsigned int *buffer, int words, int hits) {
    int best = -1;
    unsigned int bestDepth = UINT_MAX;
    int at = 0;
    for (int record = 0; record < hits; record++) {
        if (words - at < RECORD_HEADER_WORDS) break;
        unsigned int names = buffer[at];
        if (names > unsigned(words - at - RECORD_HEADER_WORDS)) break;
        // Strictly nearer only: of equally near records the first one stays.
        if (buffer[at + 1] < bestDepth) {
            best = at;
            bestDepth = buffer[at + 1];
        }
        at += RECORD_HEADER_WORDS + int(names);
    }
    return best;
}

Vector3 heldPoint() {
    return {float(double(camera->position.x) + double(camera->direction.x)),
            float(double(camera->position.y) + double(camera->direction.y)),
            float(double(camera->position.z) + double(camera->direction.z))};
}

void takeIntoHand(int index) {
    if (handCount >= FOOD_COUNT) return;
    Food *food = foods[index];
    // Heard at the hand, where the food comes to, wherever it lay.
    playAt(SOUND_PICK, heldPoint());
    hand[handCount] = index;
    handCount += 1;
    heldIndex = index;
    holding = true;
    food->position = {0.0f, 0.0f, 0.0f};
    food->speed = {0.0f, 0.0f, 0.0f};
    food->state = FOOD_HELD;
}

bool inHand(int index) {
    for (int k = 0; k < handCount; k++)
        if (hand[k] == index) return true;
    return false;
}

// Side of the square around a click that a pick looks in (pixels).
static const double PICK_SIDE = 5.0;

void multPickRegion() {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    gluPickMatrix(pickX, double(viewport[3]) - double(pickY), PICK_SIDE, PICK_SIDE, viewport);
}

void beginPick() {
    startSelectionPass();
    printf("Start picking\n");
}

void enterSelectionMode(unsigned int *buffer, int words) {
    glSelectBuffer(words, buffer);
    glRenderMode(GL_SELECT);
    // Unlit: a hit is made of places and depths alone, and the GL builds its selection pipeline
    // for far fewer states (Mesa on llvmpipe: a quarter of the time, on its first use).
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_NORMALIZE);
    // The name stack stays empty until the first food pushes its own: whatever is drawn before
    // it falls into one nameless record, which still counts as the nearest when it is in front.
    glInitNames();
}

int leaveSelectionMode() {
    glPopAttrib();
    glFlush();
    return glRenderMode(GL_RENDER);
}

void startSelectionPass() {
    enterSelectionMode(selectBuffer, SELECT_BUFFER_WORDS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    multPickRegion();
    multViewPerspective();
}

void endPick() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    hitCount = leaveSelectionMode();
}

void takePickHits() {
    if (hitCount != 0) {
        processHits();
        printf("Number of Hits %d, ", hitCount);
    }
    pickPending = false;
    printf("Stopped picking\n");
}

void processHits() {
    int at = nearestHitRecord(selectBuffer, SELECT_BUFFER_WORDS, hitCount);
    if (at < 0 || selectBuffer[at] == 0) {
        printf("You didn't click a food\n");
        return;
    }
    printf("You picked food  ");
    unsigned int names = selectBuffer[at];
    for (unsigned int n = 0; n < names; n++) {
        unsigned int index = selectBuffer[at + RECORD_HEADER_WORDS + int(n)];
        printf("%d ", int(index));
        if (index >= unsigned(FOOD_COUNT)) continue;
        if (foods[index]->state == FOOD_HELD) continue;
        takeIntoHand(int(index));
    }
}

void throwHeld() {
    if (!holding) return;
    printf("THROW!\n");
    foods[heldIndex]->launch(camera->yaw, camera->direction.y);
    playAt(SOUND_THROW, heldPoint()); // from the hand
    lastThrownIndex = heldIndex;
    handCount -= 1;
    if (handCount >= 1) {
        heldIndex = hand[handCount - 1];
    } else {
        holding = false;
        heldIndex = -1;
    }
}

void throwAsked() {
    for (; throwsAsked > 0; throwsAsked--) throwHeld();
}

void refuseClicks() {
    pickPending = false;
    throwsAsked = 0;
}

void recallLast() {
    printf("GETIT!\n");
    if (lastThrownIndex >= 0 && foods[lastThrownIndex]->state != FOOD_HELD)
        takeIntoHand(lastThrownIndex);
}
