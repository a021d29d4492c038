#include "input/input.h"

#include "app/app.h"
#include "bison/bison.h"
#include "camera/camera.h"
#include "capture/capture.h"
#include "food/food.h"

#include <GL/freeglut.h>
#include <cstdlib>

unsigned char keyDown[256];
bool pickPending = false;
float pickX = 0.0f;
float pickY = 0.0f;

// Key codes of the key map. Special keys land on the same entries (GLUT_KEY_LEFT is 'd').
enum {
    KEY_ESCAPE = 27,
    KEY_SPACE = ' ',
};

// A one-shot binding acts once per key press: it clears its own entry when it fires.
static bool pressed(unsigned char key) {
    if (!keyDown[key]) return false;
    keyDown[key] = 0;
    return true;
}

static bool held(unsigned char key) {
    return keyDown[key] != 0;
}

void processInput() {
    if (held(KEY_ESCAPE)) exit(0);
    if (held('w') && !nearBison(camera->position)) camera->move(true, CAMERA_WALK_STEP);
    if (held('s')) camera->move(false, CAMERA_WALK_STEP);
    if (held('a')) camera->turn(false);
    if (held('d')) camera->turn(true);
    if (held('e')) camera->tilt(true);
    if (held('f')) camera->tilt(false);
    if (pressed('q')) camera->turnAround();
    if (pressed(KEY_SPACE) && holding) throwHeld();
    if (pressed('r') && !holding) recallLast();
    if (pressed('m')) bison->wandering = !bison->wandering;
    if (pressed(']')) showSpheres = !showSpheres;
    if (held(';')) {
        bison->wantedNods = 3;
        bison->nodCount = 0;
    }
    if (held('/')) bison->step();
    if (held(',')) bison->turn(BISON_TURN_STEP);
    if (held('.')) bison->turn(-BISON_TURN_STEP);
    if (pressed('1')) toggleGameState();
    if (held('9')) requestCapture();
    // One press starts or stops a recording; held, it would flip every frame. The numbers
    // start over, and the capture moves on past any file already there.
    if (pressed('0')) {
        captureIndex = 0;
        recording = !recording;
    }
}

void onKeyDown(unsigned char key, int, int) {
    keyDown[key] = 1;
}

void onKeyUp(unsigned char key, int, int) {
    keyDown[key] = 0;
}

// freeglut also reports modifier keys (Shift, Ctrl, Alt, Super) as special keys with codes above
// GLUT_KEY_INSERT; stored in the table they would land on 'q', 'r', 's' or 'w' and act.
static bool storedSpecial(int key) {
    return key >= 0 && key <= GLUT_KEY_INSERT;
}

void onSpecialDown(int key, int, int) {
    if (storedSpecial(key)) keyDown[key] = 1;
}

void onSpecialUp(int key, int, int) {
    if (storedSpecial(key)) keyDown[key] = 0;
}

void onMouse(int button, int state, int x, int y) {
    if (state != GLUT_DOWN) return;
    if (button == GLUT_LEFT_BUTTON) {
        pickPending = true;
        pickX = float(x);
        pickY = float(y);
    } else if (button == GLUT_RIGHT_BUTTON && holding) {
        throwHeld();
    }
}

void onReshape(int width, int height) {
    windowWidth = width;
    windowHeight = height;
    glViewport(0, 0, width, height);
}
