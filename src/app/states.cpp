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
    if (gameState == STATE_TITLE && camera->direction.y > 0.2f)
        camera->direction.y = float(double(camera->direction.y) - 0.01);
}

void drawText(float x, float y, float z) {
    glRasterPos3f(x, y, z);
    for (const char *c = textLine; *c; c++) glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, *c);
}

// One screen line: formatted into textLine, drawn at its raster position.
struct ScreenLine {
    const char *text;
    float x, y;
};

// Every screen line lies at this depth in the text's scaled frame.
static const float TEXT_DEPTH = -1.2f;

static const ScreenLine TITLE_LINES[] = {
    {"GRAZEWELL", -0.5f, 0.3f},
    {"w - move forward, s - move backward", -0.5f, 0.25f},
    {"a - turn left, d - turn right", -0.5f, 0.2f},
    {"q - turn around, e - look up, f - look down", -0.5f, 0.15f},
    {"click left to pick up food.  click right to throw.", -0.5f, 0.1f},
    {"Press 1 to start.", -0.5f, 0.0f},
};

static void drawLine(float x, float y) {
    drawText(x, y, TEXT_DEPTH);
}

static void drawPlayingLines() {
    snprintf(textLine, sizeof textLine, "food fed: %d", foodFed);
    drawLine(-1.35f, 0.6f);
    snprintf(textLine, sizeof textLine, "number at hand: %d", handCount);
    drawLine(-1.35f, 0.55f);
    snprintf(textLine, sizeof textLine, "currently holding: %s",
             heldIndex == -1 ? "nothing" : foods[heldIndex]->name);
    drawLine(-1.35f, 0.5f);
}

void drawScreenText() {
    glPushMatrix();
    glLoadIdentity();
    glColor3f(0.2f, 0.2f, 0.2f);
    glScalef(5.0f, 5.0f, 5.0f);
    switch (gameState) {
    case STATE_PLAYING:
        drawPlayingLines();
        break;
    case STATE_TITLE:
        for (const ScreenLine &line : TITLE_LINES) {
            snprintf(textLine, sizeof textLine, "%s", line.text);
            drawLine(line.x, line.y);
        }
        break;
    case STATE_WON:
        snprintf(textLine, sizeof textLine, "YOU FED THAT BISON WELL! :)");
        drawLine(-0.5f, 0.0f);
        break;
    case STATE_LOST:
        snprintf(textLine, sizeof textLine, "YOU FED THAT BISON POORLY! :(");
        drawLine(-0.5f, 0.0f);
        break;
    }
    glPopMatrix();
}
