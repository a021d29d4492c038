// The dome: latitude bands of quads from the rim up. Both loop tests are inclusive and the angles
// accumulate in single precision, so at resolution 30 an eighth band lies over the top cap and
// each band carries one quad more than a full circle; the model's look is tuned to that.
#include "bison/bison.h"

#include <GL/gl.h>
#include <cmath>

// Degrees to radians, in double precision.
static const double DEG_TO_RAD = 0.017453292519943295;

Vector3 domePoint(float radius, float phi, float theta) {
    float phiRad = float(double(phi) * DEG_TO_RAD);
    float thetaRad = float(double(theta) * DEG_TO_RAD);
    float sinPhi = float(sin(double(phiRad)));
    float cosPhi = float(cos(double(phiRad)));
    float sinTheta = float(sin(double(thetaRad)));
    float cosTheta = float(cos(double(thetaRad)));
    return {float(double(radius) * sinPhi * cosTheta), float(double(radius) * cosPhi),
            float(double(radius) * sinPhi * sinTheta)};
}

std::vector<Vector3> domeVertices(float radius, int resolution, bool half) {
    std::vector<Vector3> vertices;
    // Fewer than four would leave no latitude step, and a negative one would never end.
    if (resolution < 4) return vertices;
    int quarter = resolution / 4;
    float phiStep = float(90.0 / quarter);
    float thetaStep = float(360.0 / resolution);
    float thetaFirst = half ? 90.0f : 0.0f;
    float thetaLast = half ? 270.0f : 360.0f;
    float phi = 90.0f;
    do {
        float upper = float(double(phi) - double(phiStep));
        for (float theta = thetaFirst; theta <= thetaLast;
             theta = float(double(theta) + double(thetaStep))) {
            float next = float(double(theta) + double(thetaStep));
            vertices.push_back(domePoint(radius, upper, theta));
            vertices.push_back(domePoint(radius, upper, next));
            vertices.push_back(domePoint(radius, phi, next));
            vertices.push_back(domePoint(radius, phi, theta));
        }
        phi = float(double(phi) - double(phiStep));
    } while (phi >= 0.0f);
    return vertices;
}

// The vertices of the domes drawn so far, worked out once each: the model draws the same few
// domes every frame.
struct DomeShape {
    float radius;
    int resolution;
    bool half;
    std::vector<Vector3> vertices;
};
static std::vector<DomeShape> domeShapes;
// More shapes than the model has are worked out afresh each time rather than kept.
static const size_t DOME_SHAPES_KEPT = 16;

static const std::vector<Vector3> &domeShape(float radius, int resolution, bool half,
                                             std::vector<Vector3> &scratch) {
    for (const DomeShape &shape : domeShapes)
        if (shape.radius == radius && shape.resolution == resolution && shape.half == half)
            return shape.vertices;
    if (domeShapes.size() < DOME_SHAPES_KEPT) {
        domeShapes.push_back({radius, resolution, half, domeVertices(radius, resolution, half)});
        return domeShapes.back().vertices;
    }
    scratch = domeVertices(radius, resolution, half);
    return scratch;
}

void drawDome(float radius, int resolution, bool half) {
    std::vector<Vector3> scratch;
    const std::vector<Vector3> &vertices = domeShape(radius, resolution, half, scratch);
    if (vertices.empty()) return;
    // From client-side arrays, not one vertex call at a time: Mesa keeps memory for every
    // immediate-mode vertex drawn in a selection pass, and the bison is drawn in every one.
    static_assert(sizeof(Vector3) == 3 * sizeof(float), "Vector3 must pack as three floats");
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    // The normal is the vertex itself; GL_NORMALIZE makes it unit length.
    glVertexPointer(3, GL_FLOAT, 0, vertices.data());
    glNormalPointer(GL_FLOAT, 0, vertices.data());
    glDrawArrays(GL_QUADS, 0, GLsizei(vertices.size()));
    glPopClientAttrib();
    // Arrays leave the current normal alone; one vertex at a time left the last one current, and
    // the next piece drawn without normals of its own sees it.
    const Vector3 &last = vertices.back();
    glNormal3f(last.x, last.y, last.z);
}
