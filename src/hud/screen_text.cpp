#include "hud/screen_text.h"

#include "food/food.h"
#include "food/pick.h"
#include "game.h"
#include "hud/font.h"

#include <GL/freeglut.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

char textLine[55];
bool largeText = false;
bool readableText = false;

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
                      float *y, float scale) {
    if (line < 0 || line >= count) return false;
    snprintf(textLine, sizeof textLine, "%s", lines[line].text);
    *x = float(width) / 2 + lines[line].x * scale;
    *y = float(height) / 2 + lines[line].y * scale;
    return true;
}

static bool scoreLine(int line, int height, float *x, float *y, float scale) {
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
    *x = SCORE_LEFT * scale;
    *y = float(height) - SCORE_BELOW_TOP[line] * scale;
    return true;
}

bool formatScreenLine(GameState state, int line, int width, int height, float *x, float *y,
                      float scale) {
    switch (state) {
    case STATE_PLAYING:
        return scoreLine(line, height, x, y, scale);
    case STATE_TITLE:
        return fixedLine(TITLE_LINES, int(sizeof TITLE_LINES / sizeof TITLE_LINES[0]), line, width,
                         height, x, y, scale);
    case STATE_WON:
        return fixedLine(&WON_LINE, 1, line, width, height, x, y, scale);
    case STATE_LOST:
        return fixedLine(&LOST_LINE, 1, line, width, height, x, y, scale);
    }
    return false;
}

std::vector<Box> gameLineBoxes(GameState state, int width, int height, float scale) {
    std::vector<Box> boxes;
    float x = 0.0f, y = 0.0f;
    for (int line = 0; formatScreenLine(state, line, width, height, &x, &y, scale); line++) {
        // A pixel more all round: the raster position is not on a pixel's corner.
        float top = y + float(GAME_TEXT_ASCENT + 1) * scale + 1.0f;
        float bottom = y - float(GAME_TEXT_DESCENT) * scale - 1.0f;
        float right = x + float(textWidth(HUD_FONT_LARGE, textLine)) * scale + 2.0f;
        Box box;
        box.x = int(std::floor(x)) - 1;
        box.y = height - int(std::ceil(top));
        box.width = int(std::ceil(right)) - box.x;
        box.height = height - int(std::floor(bottom)) - box.y;
        boxes.push_back(box);
    }
    return boxes;
}

// The scales large text tries, largest first.
static const float LARGE_SCALES[] = {2.0f, 1.5f};

float gameTextScale(GameState state, int width, int height) {
    if (!largeText) return 1.0f;
    for (float scale : LARGE_SCALES) {
        std::vector<Box> boxes = gameLineBoxes(state, width, height, scale);
        if (std::all_of(boxes.begin(), boxes.end(),
                        [&](const Box &box) { return boxInside(box, width, height); }))
            return scale;
    }
    return 1.0f;
}

// The lines at scale, drawn from the fonts' texture in the shade GL lights the first line's
// raster position with (the shade of the lines at their own size), at their depth.
static void drawLargeLines(float scale) {
    float x = 0.0f, y = 0.0f;
    if (!prepareScreenFonts() || !formatScreenLine(gameState, 0, windowWidth, windowHeight, &x, &y))
        return;
    beginPixelProjection(false);
    glRasterPos3f(0.0f, 0.0f, -TEXT_DEPTH);
    GLfloat lit[4];
    glGetFloatv(GL_CURRENT_RASTER_COLOR, lit);
    auto byte = [](float c) {
        return (unsigned char)std::lround(std::min(std::max(c, 0.0f), 1.0f) * 255.0f);
    };
    Rgba shade{byte(lit[0]), byte(lit[1]), byte(lit[2]), 255};
    TextMesh mesh;
    for (int line = 0; formatScreenLine(gameState, line, windowWidth, windowHeight, &x, &y, scale);
         line++)
        addText(mesh, HUD_FONT_LARGE, std::round(x), std::round(y), textLine, shade, scale);
    glTranslatef(0.0f, 0.0f, -TEXT_DEPTH);
    drawTextMesh(mesh);
    endPixelProjection();
}

void drawScreenText() {
    glColor3f(0.2f, 0.2f, 0.2f);
    GLint mode = GL_RENDER;
    glGetIntegerv(GL_RENDER_MODE, &mode);
    float scale = gameTextScale(gameState, windowWidth, windowHeight);
    if (scale != 1.0f && mode == GL_RENDER) {
        drawLargeLines(scale);
        return;
    }
    float x = 0.0f, y = 0.0f;
    for (int line = 0; formatScreenLine(gameState, line, windowWidth, windowHeight, &x, &y); line++)
        drawText(x, y);
}

// The band behind the game's lines: light, for their dark shade.
static const Rgba GAME_LINE_BAND = {255, 255, 255, 150};
// The band stands this much deeper than the lines (window depth): behind their pixels, before
// anything of the world farther off.
static const float BAND_BEHIND = 1.0f / 4096.0f;

void drawScreenTextBacking() {
    if (!readableText) return;
    float scale = gameTextScale(gameState, windowWidth, windowHeight);
    TextMesh mesh;
    for (const Box &box : gameLineBoxes(gameState, windowWidth, windowHeight, scale)) {
        float top = float(windowHeight - box.y), bottom = float(windowHeight - box.bottom());
        addBand(mesh, float(box.x - 2), bottom - 1.0f, float(box.right() + 2), top + 1.0f,
                GAME_LINE_BAND);
    }
    beginPixelProjection(false);
    glTranslatef(0.0f, 0.0f, -(TEXT_DEPTH + BAND_BEHIND));
    drawTextMesh(mesh);
    endPixelProjection();
}

void resetScreenText() {
    memset(textLine, 0, sizeof textLine);
    largeText = false;
    readableText = false;
}
