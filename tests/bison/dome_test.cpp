// The dome, checked on what really reaches GL (feedback mode) as well as on its arithmetic.
#include "bison/bison.h"

#include "support/feedback.h"
#include "support/gl_env.h"

#include <GL/gl.h>
#include <cmath>
#include <gtest/gtest.h>

namespace {

// The feedback view: object coordinates in [-2, 2] map onto the whole 1000 x 500 viewport.
const double VIEW_HALF = 2.0;

void useFeedbackView() {
    glViewport(0, 0, 1000, 500);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-VIEW_HALF, VIEW_HALF, -VIEW_HALF, VIEW_HALF, -VIEW_HALF, VIEW_HALF);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// Back from window coordinates to the object's (glOrtho maps z to -z).
Vector3 objectPoint(const FeedbackVertex &v) {
    return {float((v.x / 500.0 - 1.0) * VIEW_HALF), float((v.y / 250.0 - 1.0) * VIEW_HALF),
            float(-(v.z * 2.0 - 1.0) * VIEW_HALF)};
}

std::vector<Vector3> domeSentToGL(float radius, bool half) {
    useFeedbackView();
    std::vector<FeedbackVertex> window =
        quadVertices(recordPolygons([&] { drawDome(radius, 30, half); }, false));
    std::vector<Vector3> points;
    for (const FeedbackVertex &v : window) points.push_back(objectPoint(v));
    return points;
}

double length(Vector3 v) {
    return std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z);
}

// Window coordinates carry about 1e-4 of an object unit at this scale.
const double WINDOW_TOLERANCE = 2e-4;

TEST(Dome, WholeDomeReachesGLAs992VerticesOnTheSphere) {
    std::vector<Vector3> points = domeSentToGL(1.0f, false);
    ASSERT_EQ(points.size(), 992u); // 8 bands of 31 quads
    Vector3 first = domePoint(1.0f, 77.14286f, 0.0f);
    EXPECT_NEAR(points[0].x, first.x, WINDOW_TOLERANCE);
    EXPECT_NEAR(points[0].y, first.y, WINDOW_TOLERANCE);
    EXPECT_NEAR(points[0].z, 0.0, WINDOW_TOLERANCE);
    EXPECT_NEAR(points[0].x, 0.97493, 1e-4);
    EXPECT_NEAR(points[0].y, 0.22252, 1e-4);
    // The fourth vertex is the rim point on +x.
    EXPECT_NEAR(points[3].x, 1.0, WINDOW_TOLERANCE);
    EXPECT_NEAR(points[3].y, 0.0, WINDOW_TOLERANCE);
    for (const Vector3 &p : points) {
        EXPECT_NEAR(length(p), 1.0, WINDOW_TOLERANCE);
        EXPECT_GE(p.y, -WINDOW_TOLERANCE);
    }
    // Every vertex matches the arithmetic, in order.
    std::vector<Vector3> expected = domeVertices(1.0f, 30, false);
    ASSERT_EQ(expected.size(), points.size());
    for (size_t i = 0; i < points.size(); i++) {
        EXPECT_NEAR(points[i].x, expected[i].x, WINDOW_TOLERANCE) << i;
        EXPECT_NEAR(points[i].y, expected[i].y, WINDOW_TOLERANCE) << i;
        EXPECT_NEAR(points[i].z, expected[i].z, WINDOW_TOLERANCE) << i;
    }
}

TEST(Dome, HalfDomeReachesGLAs512VerticesFromTheBackSide) {
    std::vector<Vector3> points = domeSentToGL(1.0f, true);
    ASSERT_EQ(points.size(), 512u); // 8 bands of 16 quads
    EXPECT_NEAR(points[0].x, 0.0, WINDOW_TOLERANCE);
    EXPECT_NEAR(points[0].y, 0.2225, 1e-4);
    EXPECT_NEAR(points[0].z, 0.9749, 1e-4);
    int onTheBack = 0;
    for (size_t i = 0; i < points.size(); i++) {
        EXPECT_NEAR(length(points[i]), 1.0, WINDOW_TOLERANCE);
        // The seven bands up from the rim cover longitudes 90 to 282: x <= 0, and 12 degrees
        // beyond, where x stays below sin 12 degrees.
        if (i < 7 * 16 * 4) {
            EXPECT_LE(points[i].x, 0.2080 + WINDOW_TOLERANCE) << i;
        }
        if (points[i].x <= WINDOW_TOLERANCE) onTheBack++;
    }
    EXPECT_GT(onTheBack, 400);
}

TEST(Dome, EightBandsFromTheRimThroughTheTop) {
    std::vector<Vector3> vertices = domeVertices(1.0f, 30, false);
    ASSERT_EQ(vertices.size(), 992u);
    // Each band's lower edge (the fourth vertex of its first quad) sits at the band's polar angle;
    // the eighth starts just off the top, 0.0000057 degrees, and reaches over it.
    const float lowerEdges[8] = {90.0f,      77.14286f, 64.28572f,  51.428577f,
                                 38.571434f, 25.71429f, 12.857148f, 0.0000057f};
    for (int band = 0; band < 8; band++) {
        Vector3 lower = vertices[size_t(band) * 31 * 4 + 3];
        Vector3 expected = domePoint(1.0f, lowerEdges[band], 0.0f);
        EXPECT_NEAR(lower.y, expected.y, 1e-6) << band;
    }
    // The eighth band's upper edge is on the far side of the top: P(-12.857, 0) = P(12.857, 180).
    Vector3 over = vertices[7 * 31 * 4];
    EXPECT_NEAR(over.x, -std::sin(12.857142857 * PI_D / 180.0), 1e-5);
    // A full circle and one quad more: the last quad of a band runs from 360 to 372 degrees.
    Vector3 lastQuadStart = vertices[30 * 4];
    EXPECT_NEAR(lastQuadStart.x, vertices[0].x, 1e-6);
    EXPECT_NEAR(lastQuadStart.z, 0.0, 1e-6);
    // The rim is cos 90 degrees in single precision, a hair below zero.
    EXPECT_LT(vertices[3].y, 0.0f);
    EXPECT_GT(vertices[3].y, -1e-7f);
}

TEST(Dome, ALatitudeStepThatDividesNinetyStillPassesTheTop) {
    // Resolution 40: q = 10, step 9, so phi reaches exactly 0 and that band is drawn too.
    std::vector<Vector3> vertices = domeVertices(1.0f, 40, false);
    EXPECT_EQ(vertices.size(), size_t(11 * 41 * 4));
}

TEST(Dome, NormalsAreTheVerticesThemselves) {
    useFeedbackView();
    // A bare directional light along +z with nothing else lit: the lit value of a vertex is its
    // normal's z, unnormalised, so a normal equal to the vertex gives exactly the vertex's z.
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_NORMALIZE);
    const GLfloat none[4] = {0, 0, 0, 1}, white[4] = {1, 1, 1, 1}, front[4] = {0, 0, 1, 0};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
    glLightfv(GL_LIGHT0, GL_POSITION, front);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_AMBIENT, none);
    glLightfv(GL_LIGHT0, GL_SPECULAR, none);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, none);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, none);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, none);
    std::vector<FeedbackVertex> lit =
        quadVertices(recordPolygons([] { drawDome(0.5f, 30, false); }, true));
    glPopAttrib();
    ASSERT_EQ(lit.size(), 992u);
    int litVertices = 0;
    for (const FeedbackVertex &v : lit) {
        Vector3 p = objectPoint(v);
        EXPECT_NEAR(v.r, std::max(0.0f, p.z), 1e-2);
        if (p.z > 0.1f) litVertices++;
    }
    EXPECT_GT(litVertices, 100);
}

// The dome as it was drawn before its vertex arrays, one vertex call at a time.
void immediateDome(float radius, int resolution, bool half) {
    std::vector<Vector3> vertices = domeVertices(radius, resolution, half);
    if (vertices.empty()) return;
    glBegin(GL_QUADS);
    for (const Vector3 &v : vertices) {
        glNormal3f(v.x, v.y, v.z);
        glVertex3f(v.x, v.y, v.z);
    }
    glEnd();
}

// Every dome of the model, stretched as the model stretches them, drawn directly and from a
// display list (the horn points are compiled into the body's), reaches GL exactly as the old
// drawing did: the same quads in the same order, the same lit colours, the same normal left.
TEST(Dome, ArraysSendWhatOneVertexAtATimeSent) {
    struct Shape {
        float radius;
        bool half;
    };
    for (Shape shape :
         {Shape{2.0f, true}, {2.0f, false}, {0.7f, false}, {0.6f, false}, {0.4f, false}}) {
        SCOPED_TRACE(testing::Message() << "radius " << shape.radius << " half " << shape.half);
        useFeedbackView();
        glRotatef(25.0f, 0.3f, 1.0f, 0.2f);
        glScalef(0.8f, 1.6f, 0.5f);
        expectSameDrawing([&] { immediateDome(shape.radius, 30, shape.half); },
                          [&] { drawDome(shape.radius, 30, shape.half); });
        GLuint lists = glGenLists(2);
        glNewList(lists, GL_COMPILE);
        immediateDome(shape.radius, 30, shape.half);
        glEndList();
        glNewList(lists + 1, GL_COMPILE);
        drawDome(shape.radius, 30, shape.half);
        glEndList();
        expectSameDrawing([&] { glCallList(lists); }, [&] { glCallList(lists + 1); });
        glDeleteLists(lists, 2);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// The shapes are worked out once and kept: drawn again, after other shapes, or beyond the shapes
// that are kept, a dome reaches GL exactly as its arithmetic says.
TEST(Dome, KeptShapesDrawAsTheirArithmeticEveryTime) {
    std::vector<Vector3> first = domeSentToGL(1.0f, false);
    domeSentToGL(0.7f, false);
    domeSentToGL(1.0f, true);
    for (int i = 0; i < 24; i++) domeSentToGL(0.1f + 0.05f * float(i), i % 2 == 0);
    std::vector<Vector3> again = domeSentToGL(1.0f, false);
    ASSERT_EQ(again.size(), first.size());
    for (size_t i = 0; i < again.size(); i++) {
        EXPECT_EQ(again[i].x, first[i].x) << i;
        EXPECT_EQ(again[i].y, first[i].y) << i;
        EXPECT_EQ(again[i].z, first[i].z) << i;
    }
    // A shape drawn after the keep is full matches its arithmetic too.
    std::vector<Vector3> late = domeSentToGL(1.9f, true);
    std::vector<Vector3> expected = domeVertices(1.9f, 30, true);
    ASSERT_EQ(late.size(), expected.size());
    for (size_t i = 0; i < late.size(); i++) {
        EXPECT_NEAR(late[i].x, expected[i].x, WINDOW_TOLERANCE) << i;
        EXPECT_NEAR(late[i].y, expected[i].y, WINDOW_TOLERANCE) << i;
        EXPECT_NEAR(late[i].z, expected[i].z, WINDOW_TOLERANCE) << i;
    }
}

TEST(Dome, TooSmallAResolutionDrawsNothing) {
    EXPECT_TRUE(domeVertices(1.0f, 3, false).empty());
    EXPECT_TRUE(domeVertices(1.0f, -30, true).empty());
    useFeedbackView();
    EXPECT_TRUE(recordPolygons([] { drawDome(1.0f, 0, false); }, false).empty());
}

} // namespace
