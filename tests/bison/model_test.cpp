// The bison's model and nod: frame counts of the nod, the matrix discipline of draw, where the
// bison appears on screen and which parts take its tint.
#include "bison/bison.h"

#include "app/app.h"
#include "app/loop.h"
#include "camera/camera.h"
#include "food/feeding.h"
#include "food/food.h"
#include "food/pick.h"
#include "mesh/sphere.h"
#include "input/input.h"
#include "support/feedback.h"
#include "support/gl_env.h"

#include <GL/freeglut.h>
#include <array>
#include <cstring>
#include <gtest/gtest.h>
#include <map>

namespace {

class Nod : public ::testing::Test {
  protected:
    void SetUp() override {
        startWorld();
        memset(keyDown, 0, sizeof keyDown);
        bison->wandering = false;
        bison->nodAngle = 160.0f;
        bison->nodLowering = true;
        bison->nodCount = 0;
        bison->wantedNods = -1;
    }
    void TearDown() override { memset(keyDown, 0, sizeof keyDown); }
    static bool resting() {
        return bison->nodAngle == 160.0f && bison->nodLowering && bison->nodCount == 0 &&
               bison->wantedNods == -1;
    }
};

TEST_F(Nod, AtRestNothingMoves) {
    for (int frame = 0; frame < 100; frame++) {
        bison->draw();
        ASSERT_TRUE(resting()) << frame;
    }
}

TEST_F(Nod, OneFrameOfSemicolonNodsThreeTimesAndRestsInFrame97) {
    onKeyDown(';', 0, 0);
    onDisplay(); // frame 1: the request is written before the bison is drawn
    onKeyUp(';', 0, 0);
    EXPECT_EQ(bison->nodAngle, 159.0f);
    float lowest = 160.0f;
    int frame = 1;
    for (; frame < 96; frame++) {
        onDisplay();
        lowest = std::min(lowest, bison->nodAngle);
        ASSERT_FALSE(resting()) << frame + 1;
    }
    EXPECT_EQ(lowest, 145.0f);
    // Frame 96 counts the third nod, frame 97 rests.
    EXPECT_EQ(bison->nodCount, 3);
    EXPECT_EQ(bison->wantedNods, 3);
    EXPECT_EQ(bison->nodAngle, 160.0f);
    onDisplay();
    EXPECT_TRUE(resting());
}

TEST_F(Nod, AHeadHitRequestOfFourRestsInFrame129) {
    bison->draw();
    // A hit is written after the bison was drawn; the nodding starts with the next frame.
    bison->wantedNods = NOD_HIT_REQUEST;
    bison->nodCount = 0;
    for (int frame = 1; frame <= 128; frame++) {
        bison->draw();
        ASSERT_FALSE(resting()) << frame;
    }
    EXPECT_EQ(bison->nodCount, 4);
    bison->draw();
    EXPECT_TRUE(resting());
}

TEST_F(Nod, ARequestMidNodContinuesFromTheCurrentAngleAndWay) {
    bison->wantedNods = 3;
    bison->nodCount = 0;
    for (int frame = 0; frame < 10; frame++) bison->draw();
    EXPECT_EQ(bison->nodAngle, 150.0f);
    bison->wantedNods = 4;
    bison->nodCount = 0;
    bison->draw();
    EXPECT_EQ(bison->nodAngle, 149.0f);
    for (int frame = 0; frame < 10; frame++) bison->draw(); // down to 145, turn, up to 150
    EXPECT_FALSE(bison->nodLowering);
    EXPECT_EQ(bison->nodAngle, 150.0f);
    bison->wantedNods = 3;
    bison->nodCount = 0;
    bison->draw();
    EXPECT_EQ(bison->nodAngle, 151.0f);
    EXPECT_FALSE(bison->nodLowering);
}

TEST_F(Nod, HeldSemicolonNodsOnAndThreeMoreAfterRelease) {
    onKeyDown(';', 0, 0);
    for (int frame = 0; frame < 200; frame++) {
        onDisplay();
        // Renewed before every draw, the request never gets past its first nod.
        ASSERT_LE(bison->nodCount, 1);
        ASSERT_EQ(bison->wantedNods, 3);
    }
    onKeyUp(';', 0, 0);
    // Frame 200 was 8 frames into the seventh nod: that nod counts as the first of three.
    EXPECT_EQ(bison->nodAngle, 152.0f);
    int frames = 0;
    while (!resting() && frames < 200) {
        onDisplay();
        frames++;
    }
    EXPECT_EQ(frames, 96 - 8 + 1);
}

// Pixels of the frame are read back from the back buffer before any swap.
class Model : public ::testing::Test {
  protected:
    void SetUp() override {
        startWorld();
        bison->wandering = false;
        bison->heading = 0.0f;
        bison->turn(0.0f);
        glReadBuffer(GL_BACK);
    }
    // The camera beside the point, looking at it along -z, and one frame of the bison drawn.
    void drawSeenFrom(Vector3 target) {
        camera->position = {target.x, 1.75f, target.z + 12.0f};
        camera->direction = {0.0f, 0.0f, -1.0f};
        setProjection();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glPushMatrix();
        camera->look();
        bison->draw();
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        glPopMatrix();
    }
    std::array<unsigned char, 3> pixelAt(Vector3 world) {
        double x, y, z;
        gluProject(world.x, world.y, world.z, modelview, projection, viewport, &x, &y, &z);
        return readPixel(int(x), int(y));
    }
    GLdouble modelview[16], projection[16];
    GLint viewport[4];
};

Vector3 offset(Vector3 p, float dx, float dy, float dz) {
    return {p.x + dx, p.y + dy, p.z + dz};
}

TEST_F(Model, TheBisonAppearsWhereItStands) {
    for (Vector3 place : {Vector3{-5.0f, 1.75f, 0.0f}, Vector3{30.0f, 1.75f, -40.0f}}) {
        bison->position = place;
        drawSeenFrom(offset(place, -1.5f, 0.0f, 0.0f));
        std::array<unsigned char, 3> background = readPixel(2, 497);
        // The body, about 1.5 units behind the origin; well ahead and behind it nothing.
        EXPECT_NE(pixelAt(offset(place, -1.5f, 0.3f, 0.0f)), background);
        EXPECT_NE(pixelAt(offset(place, 0.3f, 0.0f, 0.0f)), background); // the head
        EXPECT_EQ(pixelAt(offset(place, 4.0f, 0.0f, 0.0f)), background);
        EXPECT_EQ(pixelAt(offset(place, -8.0f, 0.0f, 0.0f)), background);
        EXPECT_EQ(pixelAt(offset(place, -1.5f, 4.0f, 0.0f)), background);
    }
    // Seen from where it stood, the bison that has left shows nothing.
    bison->position = {30.0f, 1.75f, -40.0f};
    drawSeenFrom({-6.5f, 1.75f, 0.0f});
    std::array<unsigned char, 3> background = readPixel(2, 497);
    EXPECT_EQ(pixelAt({-6.5f, 2.05f, 0.0f}), background);
}

TEST_F(Model, DrawLeavesTheMatrixStackAsItFoundIt) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
    glTranslatef(1.0f, 2.0f, 3.0f);
    glRotatef(20.0f, 0.0f, 1.0f, 0.0f);
    GLint depthBefore = 0, depthAfter = 0;
    GLfloat before[16], after[16];
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    bison->draw();
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_EQ(depthAfter, depthBefore);
    for (int i = 0; i < 16; i++) EXPECT_EQ(after[i], before[i]) << i;
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    // The tail tuft is drawn last: its colour stays current and texturing is off.
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 204 / 255.0f);
    EXPECT_FLOAT_EQ(colour[1], 153 / 255.0f);
    EXPECT_FLOAT_EQ(colour[2], 51 / 255.0f);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glPopMatrix();
}

TEST_F(Model, TheBodyListPopsTheHeadLevelItIsCalledIn) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix(); // the body frame
    glPushMatrix(); // the head level
    glTranslatef(5.0f, 0.0f, 0.0f);
    GLint depthBefore = 0, depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    glCallList(bison->bodyList);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore - 1);
    GLfloat matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_EQ(matrix[12], 0.0f); // back in the body frame
    glPopMatrix();
}

// A view of the whole bison standing near the origin, with nothing clipped.
void useWideView() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-30, 30, -30, 30, -30, 30);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// Lit-free colours of every vertex of a bison draw, counted by byte colour.
std::map<std::array<int, 3>, int> vertexColours(const std::function<void()> &draw) {
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_LIGHTING);
    useWideView();
    std::map<std::array<int, 3>, int> counts;
    for (const FeedbackPolygon &polygon : recordPolygons(draw, true))
        for (const FeedbackVertex &v : polygon)
            counts[{int(v.r * 255 + 0.5f), int(v.g * 255 + 0.5f), int(v.b * 255 + 0.5f)}]++;
    glPopAttrib();
    return counts;
}

TEST_F(Model, TintedPartsFollowTheColourWhileTheListKeepsItsOwn) {
    bison->position = {0.0f, 0.0f, 0.0f};
    const std::array<int, 3> base{180, 255, 255}, red{255, 0, 0};
    std::map<std::array<int, 3>, int> plain = vertexColours([] { bison->draw(); });
    std::map<std::array<int, 3>, int> listOnly = vertexColours([] {
        // The frames draw sets up around the list.
        glPushMatrix();
        glScalef(0.25f, 0.25f, 0.25f);
        glPushMatrix();
        glRotatef(290.0f, 0.0f, 0.0f, 1.0f);
        glTranslatef(0.0f, 2.0f, 0.0f);
        glCallList(bison->bodyList);
        glPopMatrix();
    });
    bison->color[0] = 255;
    bison->color[1] = 0;
    bison->color[2] = 0;
    std::map<std::array<int, 3>, int> tinted = vertexColours([] { bison->draw(); });
    bison->color[0] = 180;
    bison->color[1] = 255;
    bison->color[2] = 255;

    // Two spheres of the list are in the compiled colour: the head and the body. (A sphere
    // compiled into a list reaches GL in other pieces than one drawn at once.)
    GLuint reference = glGenLists(1);
    glNewList(reference, GL_COMPILE);
    glColor3ub(1, 2, 3);
    glutSolidSphere(1.0, 20, 10);
    glEndList();
    std::map<std::array<int, 3>, int> sphere = vertexColours([&] { glCallList(reference); });
    glDeleteLists(reference, 1);
    const int sphereVertices = sphere[std::array<int, 3>{1, 2, 3}];
    EXPECT_GT(sphereVertices, 0);
    EXPECT_EQ(listOnly[base], 2 * sphereVertices);
    EXPECT_EQ(plain[red], 0);
    EXPECT_GT(tinted[red], 0);
    // The list's two pieces keep the colour they were compiled with; everything else in that
    // colour moved to the tint.
    EXPECT_EQ(tinted[base], listOnly[base]);
    EXPECT_EQ(tinted[red] + tinted[base], plain[base]);
    // The pieces of their own colour are untouched by the tint.
    for (std::array<int, 3> own : {std::array<int, 3>{239, 179, 91},
                                   {41, 20, 0},
                                   {85, 53, 0},
                                   {204, 153, 51},
                                   {204, 204, 204},
                                   {0, 0, 0}}) {
        EXPECT_GT(plain[own], 0) << own[0] << "," << own[1] << "," << own[2];
        EXPECT_EQ(tinted[own], plain[own]);
    }
}

// The textured spheres share one quadric and the domes are worked out once: frame after frame
// the bison reaches GL exactly alike, positions, lit colours and texture coordinates.
TEST_F(Model, EveryFrameSendsTheSameBison) {
    bison->position = {0.0f, 0.0f, 0.0f};
    useWideView();
    auto record = [] {
        std::vector<GLfloat> buffer(1 << 21);
        glFeedbackBuffer(GLsizei(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
        glRenderMode(GL_FEEDBACK);
        bison->draw();
        GLint used = glRenderMode(GL_RENDER);
        EXPECT_GT(used, 0);
        buffer.resize(size_t(std::max(used, 0)));
        return buffer;
    };
    // The untextured pieces carry the texture coordinate the tuft left at the end of the frame
    // before, so the comparison starts from the second frame.
    record();
    std::vector<GLfloat> first = record();
    ASSERT_GT(first.size(), 10000u);
    drawDome(1.3f, 30, false); // other work between the frames
    for (int frame = 0; frame < 2; frame++) EXPECT_EQ(record(), first) << frame;

    // The tail tuft, drawn last, is the sphere a quadric of its own would give.
    std::vector<GLfloat> tuft(1 << 18);
    glFeedbackBuffer(GLsizei(tuft.size()), GL_3D_COLOR_TEXTURE, tuft.data());
    glRenderMode(GL_FEEDBACK);
    glPushMatrix();
    glScalef(0.25f, 0.25f, 0.25f); // the body frame at the origin, heading 0
    glTranslatef(-13.0f, 1.0f, 0.0f);
    glRotatef(bison->tailAngle, 0.0f, 0.0f, 1.0f);
    glTranslatef(-6.0f, 0.0f, 0.0f);
    glScalef(1.0f, 0.5f, 0.5f);
    glColor3ub(204, 153, 51);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, bison->texture);
    GLUquadric *own = gluNewQuadric();
    gluQuadricTexture(own, GL_TRUE);
    gluSphere(own, 1.0, 20, 10);
    gluDeleteQuadric(own);
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
    GLint used = glRenderMode(GL_RENDER);
    ASSERT_GT(used, 1000);
    ASSERT_LT(size_t(used), first.size());
    size_t start = first.size() - size_t(used);
    for (GLint i = 0; i < used; i++)
        ASSERT_NEAR(first[start + size_t(i)], tuft[size_t(i)], 1e-3) << i;
}

// The tuft, once a quadric's sphere drawn one vertex at a time, now the sphere worked out once:
// the same strips, lit colours and texture coordinates, in the tuft's own stretch.
TEST_F(Model, TheTuftSendsWhatTheQuadricSent) {
    useWideView();
    glScalef(0.25f, 0.25f, 0.25f);
    glTranslatef(-13.0f, 1.0f, 0.0f);
    glRotatef(bison->tailAngle, 0.0f, 0.0f, 1.0f);
    glTranslatef(-6.0f, 0.0f, 0.0f);
    glScalef(1.0f, 0.5f, 0.5f);
    static float vertices[FOOD_STACKS][SPHERE_STRIP_VERTICES * SPHERE_VERTEX_FLOATS];
    foodSphere(1.0, vertices);
    expectSameDrawing(
        [] {
            GLUquadric *quadric = gluNewQuadric();
            gluQuadricTexture(quadric, GL_TRUE);
            gluSphere(quadric, 1.0, 20, 10);
            gluDeleteQuadric(quadric);
        },
        [] { drawQuadricSphere(vertices); }, 1e-3f);
}

TEST_F(Model, TheBisonIsDrawnWhereThisFramesStepTookIt) {
    bison->position = {1.0f, 1.75f, 2.0f};
    bison->legLength = 1000.0f;
    bison->stepCount = 0.0f;
    bison->speed = 0.5f;
    bison->targetHeading = 0.0f;
    bison->wandering = true;
    useWideView();
    std::vector<FeedbackPolygon> walked =
        recordPolygons([] { bison->draw(); }, false); // walks 0.5, then draws
    bison->wandering = false;
    std::vector<FeedbackPolygon> standing = recordPolygons([] { bison->draw(); }, false);
    ASSERT_EQ(walked.size(), standing.size());
    ASSERT_FALSE(walked.empty());
    for (size_t i = 0; i < walked.size(); i += 97) {
        EXPECT_EQ(walked[i][0].x, standing[i][0].x);
        EXPECT_EQ(walked[i][0].y, standing[i][0].y);
    }
}

TEST(Frame, TheBisonWandersEveryFrameUntilMStopsIt) {
    startWorld();
    memset(keyDown, 0, sizeof keyDown);
    bison->wandering = true;
    float steps = bison->stepCount;
    for (int frame = 0; frame < 5; frame++) onDisplay();
    EXPECT_EQ(bison->stepCount, steps + 5.0f);
    onKeyDown('m', 0, 0);
    onDisplay();
    onDisplay(); // held, it acts once
    EXPECT_FALSE(bison->wandering);
    Vector3 stopped = bison->position;
    for (int frame = 0; frame < 5; frame++) onDisplay();
    EXPECT_EQ(bison->position.x, stopped.x);
    EXPECT_EQ(bison->position.z, stopped.z);
    EXPECT_EQ(bison->stepCount, steps + 5.0f);
    onKeyUp('m', 0, 0);
    onKeyDown('m', 0, 0);
    onDisplay();
    EXPECT_TRUE(bison->wandering);
    EXPECT_EQ(bison->stepCount, steps + 6.0f);
    memset(keyDown, 0, sizeof keyDown);
}

} // namespace
