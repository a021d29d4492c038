#include "app/app.h"

#include "camera/camera.h"
#include "food/food.h"

#include <GL/freeglut.h>
#include <cstdio>

GameState gameState = STATE_TITLE;
int foodFed = 0;
char textLine[55];

void checkOutcome() {
    if (foodFed == WIN_SCORE)
        gameState = STATE_WON;
    else if (foodFed == LOSE_SCORE)
        gameState = STATE_LOST;
}

void toggleGameState() {
    if (gameState == STATE_TITLE) {
        gameState = STATE_PLAYING;
    } else {
        gameState = STATE_TITLE;
        foodFed = 0;
    }
}

void titleDrift() {
    if (gameState == STATE_TITLE && camera->direction.y > TITLE_GAZE_FLOOR)
        camera->direction.y = float(double(camera->direction.y) - TITLE_DRIFT_STEP);
}

void drawText(float x, float y, float z) {
    glRasterPos3f(x, y, z);
    for (const char *c = textLine; *c; c++)
        glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, (unsigned char)*c);
}

// A fixed screen line and where it is drawn.
struct ScreenLine {
    const char *text;
    float x, y;
};

static const ScreenLine TITLE_LINES[] = {
    {"GRAZEWELL", -0.5f, 0.3f},
    {"w - move forward, s - move backward", -0.5f, 0.25f},
    {"a - turn left, d - turn right", -0.5f, 0.2f},
    {"q - turn around, e - look up, f - look down", -0.5f, 0.15f},
    {"click left to pick up food.  click right to throw.", -0.5f, 0.1f},
    {"Press 1 to start.", -0.5f, 0.0f},
};
static const ScreenLine WON_LINE = {"YOU FED THAT BISON WELL! :)", -0.5f, 0.0f};
static const ScreenLine LOST_LINE = {"YOU FED THAT BISON POORLY! :(", -0.5f, 0.0f};

// The score lines stand in the top left corner.
static const float SCORE_X = -1.35f;
static const float SCORE_Y[3] = {0.6f, 0.55f, 0.5f};

static bool fixedLine(const ScreenLine *lines, int count, int line, float *x, float *y) {
    if (line < 0 || line >= count) return false;
    snprintf(textLine, sizeof textLine, "%s", lines[line].text);
    *x = lines[line].x;
    *y = lines[line].y;
    return true;
}

static bool scoreLine(int line, float *x, float *y) {
    switch (line) {
    case 0:
        snprintf(textLine, sizeof textLine, "food fed: %d", foodFed);
        break;
    case 1:
        snprintf(textLine, sizeof textLine, "number at hand: %d", handCount);
        break;
    case 2:
        snprintf(textLine, sizeof textLine, "currently holding: %s",
                 heldIndex == -1 ? "nothing" : foods[heldIndex]->name);
        break;
    default:
        return false;
    }
    *x = SCORE_X;
    *y = SCORE_Y[line];
    return true;
}

bool formatScreenLine(GameState state, int line, float *x, float *y) {
    switch (state) {
    case STATE_PLAYING:
        return scoreLine(line, x, y);
    case STATE_TITLE:
        return fixedLine(TITLE_LINES, int(sizeof TITLE_LINES / sizeof TITLE_LINES[0]), line, x, y);
    case STATE_WON:
        return fixedLine(&WON_LINE, 1, line, x, y);
    case STATE_LOST:
        return fixedLine(&LOST_LINE, 1, line, x, y);
    }
    return false;
}

void drawScreenText() {
    glPushMatrix();
    glLoadIdentity();
    glColor3f(0.2f, 0.2f, 0.2f);
    // With the identity view, scaled, the text is fixed to the screen whatever the camera does.
    glScalef(TEXT_SCALE, TEXT_SCALE, TEXT_SCALE);
    float x = 0.0f, y = 0.0f;
    for (int line = 0; formatScreenLine(gameState, line, &x, &y); line++)
        drawText(x, y, TEXT_DEPTH);
    glPopMatrix();
}
