#include "hud/assists.h"

#include "game.h"
#include "hud/font.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <vector>

bool crosshairShown = false;
bool bisonMarkerShown = false;

void resetAssists() {
    crosshairShown = false;
    bisonMarkerShown = false;
}

void viewCentre(int width, int height, int *x, int *y) {
    *x = std::max(width, 0) / 2;
    *y = std::max(height, 0) / 2;
}

// Where a ray from (cx, cy) along (dx, dy) first enters box, in steps of (dx, dy); -1 when it
// never does or starts inside it.
static double entryAlong(double cx, double cy, double dx, double dy, const Box &box) {
    double enter = 0.0, leave = 1e30;
    const double low[2] = {double(box.x), double(box.y)};
    const double high[2] = {double(box.right()), double(box.bottom())};
    const double from[2] = {cx, cy}, along[2] = {dx, dy};
    for (int axis = 0; axis < 2; axis++) {
        if (along[axis] == 0.0) {
            if (from[axis] < low[axis] || from[axis] >= high[axis]) return -1.0;
            continue;
        }
        double a = (low[axis] - from[axis]) / along[axis];
        double b = (high[axis] - from[axis]) / along[axis];
        enter = std::max(enter, std::min(a, b));
        leave = std::min(leave, std::max(a, b));
    }
    return enter > 0.0 && enter < leave ? enter : -1.0;
}

MarkerPlace bisonMarkerPlace(Vector3 eye, Vector3 gaze, Vector3 target, int width, int height,
                             const std::vector<Box> &clear) {
    MarkerPlace marker;
    double gx = gaze.x, gy = gaze.y, gz = gaze.z;
    double length = std::sqrt(gx * gx + gy * gy + gz * gz);
    if (length == 0.0 || width <= 0 || height <= 0) return marker;
    // The view's own axes, as the camera's look at sets them: ahead, right (ahead across world
    // up) and up.
    double fx = gx / length, fy = gy / length, fz = gz / length;
    double sx = -fz, sz = fx, side = std::sqrt(sx * sx + sz * sz);
    if (side == 0.0) return marker;
    sx /= side;
    sz /= side;
    double ux = -sz * fy, uy = sz * fx - sx * fz, uz = sx * fy;
    double dx = double(target.x) - eye.x, dy = double(target.y) - eye.y,
           dz = double(target.z) - eye.z;
    double right = dx * sx + dz * sz, up = dx * ux + dy * uy + dz * uz,
           ahead = dx * fx + dy * fy + dz * fz;
    double tanY = std::tan(VIEW_FIELD_OF_VIEW / 2.0 * PI_D / 180.0);
    double tanX = tanY * double(width) / double(height);
    if (ahead > 0.0 && std::fabs(right) <= ahead * tanX && std::fabs(up) <= ahead * tanY)
        return marker;
    // Toward where it is on the view's plane; what lies behind leans down, so that straight
    // behind is at the bottom and a bison behind to one side is on that side, low.
    double across = right / tanX, upward = (up - std::max(0.0, -ahead)) / tanY;
    double px = across * width / 2.0, py = -upward * height / 2.0;
    if (px == 0.0 && py == 0.0) py = 1.0;
    double distance = std::sqrt(dx * dx + dy * dy + dz * dz);
    double nearness =
        std::min(1.0, std::max(0.0, (MARKER_FAR - distance) / (MARKER_FAR - MARKER_NEAR)));
    double in = MARKER_MARGIN + MARKER_INSET * nearness;
    double halfWidth = std::max(0.0, width / 2.0 - in),
           halfHeight = std::max(0.0, height / 2.0 - in);
    double t = 1e30;
    if (px != 0.0) t = std::min(t, halfWidth / std::fabs(px));
    if (py != 0.0) t = std::min(t, halfHeight / std::fabs(py));
    // Drawn in short of any block of words its point would fall on (with the arrowhead's half
    // width and a gap about it), a pixel before the ray enters it.
    double cx = width / 2.0, cy = height / 2.0, pixel = 1.0 / std::sqrt(px * px + py * py);
    int grow = int(MARKER_WIDTH / 2.0f) + LAYOUT_GAP;
    for (size_t pass = 0; pass <= clear.size(); pass++) {
        bool moved = false;
        for (const Box &box : clear) {
            Box kept = {box.x - grow, box.y - grow, box.width + 2 * grow, box.height + 2 * grow};
            double x = cx + t * px, y = cy + t * py;
            if (x < kept.x || x >= kept.right() || y < kept.y || y >= kept.bottom()) continue;
            double enter = entryAlong(cx, cy, px, py, kept);
            if (enter < 0.0) continue; // the view's centre is inside: nowhere clear to go
            t = std::max(0.0, enter - pixel);
            moved = true;
        }
        if (!moved) break;
    }
    marker.shown = true;
    marker.x = float(cx + t * px);
    marker.y = float(cy + t * py);
    marker.angle = float(std::atan2(py, px));
    return marker;
}

namespace {

// Triangles to draw, in window pixels with y up, and a colour a corner.
struct Shapes {
    std::vector<float> corners;
    std::vector<unsigned char> colours;
    void triangle(float x0, float y0, float x1, float y1, float x2, float y2,
                  const unsigned char colour[4]) {
        for (float value : {x0, y0, x1, y1, x2, y2}) corners.push_back(value);
        for (int corner = 0; corner < 3; corner++)
            colours.insert(colours.end(), colour, colour + 4);
    }
    void rectangle(float x0, float y0, float x1, float y1, const unsigned char colour[4]) {
        triangle(x0, y0, x1, y0, x1, y1, colour);
        triangle(x0, y0, x1, y1, x0, y1, colour);
    }
};

const unsigned char DARK[4] = {0, 0, 0, 255};
const unsigned char LIGHT[4] = {255, 255, 255, 255};
const unsigned char MARKER_COLOUR[4] = {255, 170, 40, 255};

// The crosshair about the view's centre (y up): two bars, each on a dark pixel's edge.
void addCrosshair(Shapes &shapes, int width, int height) {
    int x, y;
    viewCentre(width, height, &x, &y);
    // The centre pixel's corner in y up: a click there is picked about it.
    float cx = float(x), cy = float(height - y);
    float arm = float(CROSSHAIR_ARM), bar = float(CROSSHAIR_BAR) / 2.0f;
    for (float edge : {1.0f, 0.0f}) {
        const unsigned char *colour = edge > 0.0f ? DARK : LIGHT;
        shapes.rectangle(cx - arm - edge, cy - bar - edge, cx + arm + edge, cy + bar + edge,
                         colour);
        shapes.rectangle(cx - bar - edge, cy - arm - edge, cx + bar + edge, cy + arm + edge,
                         colour);
    }
}

// The marker's arrowhead, its tip at the marker's point (y up), on a dark one a pixel larger.
void addMarker(Shapes &shapes, const MarkerPlace &marker, int height) {
    float cx = std::cos(marker.angle), cy = -std::sin(marker.angle); // y up
    float tipX = marker.x, tipY = float(height) - marker.y;
    for (float grow : {2.0f, 0.0f}) {
        float length = MARKER_LENGTH + grow * 1.5f, half = MARKER_WIDTH / 2.0f + grow;
        float x = tipX + cx * grow, y = tipY + cy * grow;
        float baseX = x - cx * length, baseY = y - cy * length;
        shapes.triangle(x, y, baseX - cy * half, baseY + cx * half, baseX + cy * half,
                        baseY - cx * half, grow > 0.0f ? DARK : MARKER_COLOUR);
    }
}

} // namespace

void drawAssists(Vector3 eye, Vector3 gaze, Vector3 bisonPlace, const ScreenLayout &layout) {
    if (!crosshairShown && !bisonMarkerShown) return;
    int width = std::max(windowWidth, 1), height = std::max(windowHeight, 1);
    static Shapes shapes;
    shapes.corners.clear();
    shapes.colours.clear();
    if (bisonMarkerShown) {
        std::vector<Box> clear;
        for (const PlacedBlock &block : layout.blocks) clear.push_back(block.box);
        MarkerPlace marker = bisonMarkerPlace(eye, gaze, bisonPlace, width, height, clear);
        if (marker.shown) addMarker(shapes, marker, height);
    }
    if (crosshairShown) addCrosshair(shapes, width, height);
    if (shapes.corners.empty()) return;
    glPushAttrib(GL_ENABLE_BIT | GL_TRANSFORM_BIT | GL_CURRENT_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    for (GLenum off : {GL_DEPTH_TEST, GL_LIGHTING, GL_COLOR_MATERIAL, GL_TEXTURE_2D, GL_BLEND,
                       GL_ALPHA_TEST, GL_CULL_FACE, GL_FOG})
        glDisable(off);
    pushWindowPixels(width, height);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, shapes.corners.data());
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, shapes.colours.data());
    glDrawArrays(GL_TRIANGLES, 0, GLsizei(shapes.corners.size() / 2));
    popWindowPixels();
    glPopClientAttrib();
    glPopAttrib();
}
