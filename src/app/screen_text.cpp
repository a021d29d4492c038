#include "app/app.h"

#include "camera/camera.h"
#include "food/pick.h"

#include <GL/freeglut.h>
#include <algorithm>
#include <cstdio>

char textLine[55];

void titleDrift() {
    if (gameState == STATE_TITLE && camera->direction.y > TITLE_GAZE_FLOOR)
        camera->direction.y = float(double(camera->direction.y) - TITLE_DRIFT_STEP);
}

// The text's own projection: the window in pixels, near 0 and far 1 so that a raster depth of
// -d lands at window depth d. In a selection pass it is narrowed to the pick region like the
// scene's, so that, as before, only a line starting under the click makes a hit. The view keeps
// the scale the text has always had, undone in the projection: the raster colour is lit with the
// current normal as that scale shrinks it (the GL does not normalise it there), and the text's
// shade depends on it.
static void beginPixelProjection(bool selecting) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    if (selecting) multPickRegion();
    glOrtho(0.0, double(std::max(windowWidth, 1)), 0.0, double(std::max(windowHeight, 1)), 0.0,
            1.0);
    glScalef(1.0f / TEXT_SCALE, 1.0f / TEXT_SCALE, 1.0f / TEXT_SCALE);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glScalef(TEXT_SCALE, TEXT_SCALE, TEXT_SCALE);
}

static void endPixelProjection() {
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void drawText(float x, float y) {
    GLint mode = GL_RENDER;
    glGetIntegerv(GL_RENDER_MODE, &mode);
    bool selecting = mode == GL_SELECT;
    // A raster position outside the window is invalid and GL would drop the whole line: it is
    // set at the nearest point inside and moved out by an empty bitmap, so the part of the line
    // inside still shows. A selection pass skips such a line: it never made a hit.
    float w = float(std::max(windowWidth, 1)), h = float(std::max(windowHeight, 1));
    bool inside = x >= 0.0f && x <= w && y >= 0.0f && y <= h;
    if (!inside && selecting) return;
    // The middle of an edge pixel: a point on the edge itself may round to just outside.
    float inX = inside ? x : std::min(std::max(x, 0.5f), w - 0.5f);
    float inY = inside ? y : std::min(std::max(y, 0.5f), h - 0.5f);
    beginPixelProjection(selecting);
    glRasterPos3f(inX, inY, -TEXT_DEPTH);
    if (!inside) glBitmap(0, 0, 0.0f, 0.0f, x - inX, y - inY, nullptr);
    for (const char *c = textLine; *c; c++)
        glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, (unsigned char)*c);
    endPixelProjection();
}

// A fixed screen line and where it starts: the left end of its baseline, in pixels from the
// window's centre.
struct ScreenLine {
    const char *text;
    float x, y;
};

// Laid out for the first window, 1000 x 500; kept to the pixel so the text reads as it always
// has there.
static const float TITLE_LEFT = -180.4220f;
static const ScreenLine TITLE_LINES[] = {
    {"GRAZEWELL", TITLE_LEFT, 108.2532f},
    {"w - move forward, s - move backward", TITLE_LEFT, 90.2110f},
    {"a - turn left, d - turn right", TITLE_LEFT, 72.1688f},
    {"q - turn around, e - look up, f - look down", TITLE_LEFT, 54.1266f},
    {"click left to pick up food.  click right to throw.", TITLE_LEFT, 36.0844f},
    {"Press 1 to start.", TITLE_LEFT, 0.0f},
};
static const ScreenLine WON_LINE = {"YOU FED THAT BISON WELL! :)", TITLE_LEFT, 0.0f};
static const ScreenLine LOST_LINE = {"YOU FED THAT BISON POORLY! :(", TITLE_LEFT, 0.0f};

// The score lines stand in the top left corner: pixels from the left edge, and from the top
// edge down to each baseline.
static const float SCORE_LEFT = 12.8607f;
static const float SCORE_BELOW_TOP[3] = {33.4936f, 51.5358f, 69.5780f};

static bool fixedLine(const ScreenLine *lines, int count, int line, int width, int height, float *x,
                      float *y) {
    if (line < 0 || line >= count) return false;
    snprintf(textLine, sizeof textLine, "%s", lines[line].text);
    *x = float(width) / 2 + lines[line].x;
    *y = float(height) / 2 + lines[line].y;
    return true;
}

static bool scoreLine(int line, int height, float *x, float *y) {
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
    *x = SCORE_LEFT;
    *y = float(height) - SCORE_BELOW_TOP[line];
    return true;
}

bool formatScreenLine(GameState state, int line, int width, int height, float *x, float *y) {
    switch (state) {
    case STATE_PLAYING:
        return scoreLine(line, height, x, y);
    case STATE_TITLE:
        return fixedLine(TITLE_LINES, int(sizeof TITLE_LINES / sizeof TITLE_LINES[0]), line, width,
                         height, x, y);
    case STATE_WON:
        return fixedLine(&WON_LINE, 1, line, width, height, x, y);
    case STATE_LOST:
        return fixedLine(&LOST_LINE, 1, line, width, height, x, y);
    }
    return false;
}

void drawScreenText() {
    glColor3f(0.2f, 0.2f, 0.2f);
    float x = 0.0f, y = 0.0f;
    for (int line = 0; formatScreenLine(gameState, line, windowWidth, windowHeight, &x, &y); line++)
        drawText(x, y);
}
