// The overlays: drawn over a finished frame in window pixels, with GL's state put back after, so
// that the game's next frame starts from exactly what it left.
#include "app/player.h"

#include "app/replay.h"
#include "clock/clock.h"
#include "game.h"
#include "input/bindings.h"
#include "input/input.h"

#include <GL/freeglut.h>
#include <algorithm>

// The overlays' font and the height of one of their lines (pixels).
static void *const OVERLAY_FONT = GLUT_BITMAP_HELVETICA_12;
static const int OVERLAY_LINE = 16;
// Space between the overlays' text and the edge of their backdrop (pixels).
static const int OVERLAY_MARGIN = 8;

// The first key bound to action, by name, or "" when none is.
static std::string firstKey(int action) {
    const std::vector<int> &keys = keysInForce[size_t(action)];
    return keys.empty() ? "" : keyName(keys.front());
}

// What still acts while paused: the table's keys that do, then the player's own.
static std::string pausedLine() {
    std::string line = "Paused";
    int pause = -1;
    std::string acting;
    for (int action = 0; action < actionCount(); action++) {
        bool whilePaused = action >= KEY_BINDING_COUNT || keyBindings[action].whilePaused;
        if (!whilePaused || keysInForce[size_t(action)].empty()) continue;
        if (std::string(actionName(action)) == "pause") {
            pause = action;
            continue;
        }
        acting += (acting.empty() ? "" : ", ") + firstKey(action);
    }
    if (pause >= 0) line += ": " + firstKey(pause) + " goes on";
    if (!acting.empty()) line += "; still acting: " + acting;
    return line;
}

std::vector<std::string> overlayLines() {
    std::vector<std::string> lines;
    long tick = 0, total = 0;
    if (replayPosition(&tick, &total))
        lines.push_back("Replay: tick " + std::to_string(tick) + " of " + std::to_string(total));
    if (gamePaused) lines.push_back(pausedLine());
    if (keysListShown) {
        std::string hide = firstKey(preferenceAction(PREFERENCE_KEYS_HELP));
        lines.push_back("Keys in force" + (hide.empty() ? "" : " (" + hide + " hides them)"));
        lines.push_back("left click: pick up the food under the cursor");
        lines.push_back("right click: throw the food on top of your hand");
        for (int action = 0; action < actionCount(); action++)
            lines.push_back(boundKeyNames(keysInForce, action) + ": " + actionWords(action));
    }
    return lines;
}

static int textWidth(const std::string &text) {
    int width = 0;
    for (char c : text) width += glutBitmapWidth(OVERLAY_FONT, (unsigned char)c);
    return width;
}

// A dark, half-clear rectangle from (x0, y0) to (x1, y1) in window pixels (y up).
static void drawBackdrop(float x0, float y0, float x1, float y1) {
    const GLfloat corners[8] = {x0, y0, x1, y0, x0, y1, x1, y1};
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.0f, 0.0f, 0.0f, 0.6f);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, corners);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glDisable(GL_BLEND);
}

void drawOverlays() {
    std::vector<std::string> lines = overlayLines();
    if (lines.empty()) return;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_TRANSFORM_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glDisable(GL_FOG);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, std::max(windowWidth, 1), 0.0, std::max(windowHeight, 1), -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    int widest = 0;
    for (const std::string &line : lines) widest = std::max(widest, textWidth(line));
    float top = float(windowHeight - OVERLAY_MARGIN);
    float bottom = top - float(OVERLAY_LINE * int(lines.size()) + 2 * OVERLAY_MARGIN);
    drawBackdrop(float(OVERLAY_MARGIN), bottom, float(OVERLAY_MARGIN + widest + 2 * OVERLAY_MARGIN),
                 top);
    glColor3f(1.0f, 1.0f, 0.85f);
    for (size_t i = 0; i < lines.size(); i++) {
        float baseline = top - float(OVERLAY_MARGIN + OVERLAY_LINE * int(i + 1)) + 4.0f;
        glRasterPos2f(float(2 * OVERLAY_MARGIN), baseline);
        for (char c : lines[i]) glutBitmapCharacter(OVERLAY_FONT, (unsigned char)c);
    }

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopClientAttrib();
    glPopAttrib();
}
