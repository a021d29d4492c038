// The sky dome, the ground and the trees, drawn and read back from the back buffer.
#include "scenery/scenery.h"

#include "app/app.h"
#include "camera/camera.h"
#include "support/feedback.h"
#include "support/files.h"
#include "support/gl_env.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <array>
#include <cmath>
#include <gtest/gtest.h>

namespace {

typedef std::array<unsigned char, 3> Rgb;

const Rgb CLEAR = {178, 0, 255}; // the game's clear colour (0.7, 0, 1)
const Rgb RED = {255, 0, 0}, GREEN = {0, 255, 0}, BLUE = {0, 0, 255}, YELLOW = {255, 255, 0};
const Rgb WHITE = {255, 255, 255};

bool closeTo(Rgb a, Rgb b, int tolerance = 8) {
    for (int i = 0; i < 3; i++)
        if (std::abs(int(a[i]) - int(b[i])) > tolerance) return false;
    return true;
}

std::string show(Rgb c) {
    return "(" + std::to_string(c[0]) + ", " + std::to_string(c[1]) + ", " + std::to_string(c[2]) +
           ")";
}

// Draws into the back buffer and reads it there (Mesa's front buffer is black after a swap).
void beginFrame() {
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    glViewport(0, 0, 1000, 500);
    glClearColor(0.7f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// An orthographic view straight down on the ground, 2.5 pixels a world unit, centred on (x, z);
// world x grows to the right and world z grows downwards on the screen.
void lookDown(float x, float z) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-200, 200, -100, 100, 1, 500);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(x, 100, z, x, 0, z, 0, 0, -1);
}

// The window pixel over world point (wx, wz) for lookDown(x, z).
Rgb groundPixel(float x, float z, float wx, float wz) {
    int px = int(std::floor(500 + (wx - x) * 2.5f));
    int py = int(std::floor(250 + (z - wz) * 2.5f));
    return readPixel(px, py);
}

// A picture of four colours, one per quadrant: red where s and t are both below 1/2, green
// where only s is above, blue where only t is above, yellow where both are.
Rgb quadrant(int column, int row, int side) {
    bool right = column >= side / 2, top = row >= side / 2;
    return top ? (right ? YELLOW : BLUE) : (right ? GREEN : RED);
}

void writeQuadrantRaw(const char *path) {
    Bytes bytes;
    for (int row = 0; row < 256; row++)
        for (int column = 0; column < 256; column++)
            for (unsigned char c : quadrant(column, row, 256)) bytes.push_back(c);
    ASSERT_TRUE(writeBytes(path, bytes));
}

TEST(Scenery, TheListIsBuiltOnceAndDrawsCleanly) {
    startWorld();
    ASSERT_NE(scene, nullptr);
    EXPECT_TRUE(glIsList(scene->displayList));
    EXPECT_NE(scene->grassTexture, 0u); // the build's own pictures are in build/tex
    EXPECT_NE(scene->skyTexture, 0u);
    for (Tree *tree : trees) EXPECT_NE(tree->texture, 0u);
    // initWorld left the unlit mode; the list keeps it and sets no mode of its own.
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_REPLACE);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    beginFrame();
    setProjection();
    camera->look();
    GLint depthBefore = 0, depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    glCallList(scene->displayList);
    for (Tree *tree : trees) drawTree(tree);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_MODULATE);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST(Scenery, FromTheFenceGroundAndSkyFillEveryDirection) {
    startWorld();
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    const float fence = 136.99f;
    for (int place = 0; place < 8; place++) {
        double where = place * PI_D / 4;
        for (int facing = 0; facing < 8; facing++) {
            camera->position = {float(fence * std::cos(where)), CAMERA_EYE_HEIGHT,
                                float(fence * std::sin(where))};
            float yaw = float(facing * PI_D / 4);
            camera->direction = {std::sin(yaw), 0.0f, -std::cos(yaw)};
            std::string at =
                "place " + std::to_string(place) + ", facing " + std::to_string(facing);
            beginFrame();
            setProjection();
            camera->look();
            // The ground alone covers the lower part of the view, up to near the horizon.
            drawGround(scene);
            for (int y = 0; y <= 200; y += 20)
                for (int x = 0; x < 1000; x += 37)
                    ASSERT_FALSE(closeTo(readPixel(x, y), CLEAR, 0))
                        << at << " ground at " << x << ", " << y;
            // With the dome nothing of the clear colour is left anywhere.
            beginFrame();
            camera->look();
            glCallList(scene->displayList);
            for (int y = 0; y < 500; y += 19)
                for (int x = 0; x < 1000; x += 37)
                    ASSERT_FALSE(closeTo(readPixel(x, y), CLEAR, 0))
                        << at << " at " << x << ", " << y;
        }
    }
}

TEST(Scenery, GroundRunsFromMinus168To192) {
    startWorld();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    beginFrame();
    lookDown(0, 0);
    drawGround(scene);
    EXPECT_TRUE(closeTo(groundPixel(0, 0, -168.6f, 0), CLEAR, 0));
    EXPECT_FALSE(closeTo(groundPixel(0, 0, -167.4f, 0), CLEAR, 0));
    EXPECT_FALSE(closeTo(groundPixel(0, 0, 191.4f, 0), CLEAR, 0));
    EXPECT_TRUE(closeTo(groundPixel(0, 0, 192.6f, 0), CLEAR, 0));
    beginFrame();
    lookDown(0, -150);
    drawGround(scene);
    EXPECT_TRUE(closeTo(groundPixel(0, -150, 0, -168.6f), CLEAR, 0));
    EXPECT_FALSE(closeTo(groundPixel(0, -150, 0, -167.4f), CLEAR, 0));
    beginFrame();
    lookDown(0, 150);
    drawGround(scene);
    EXPECT_FALSE(closeTo(groundPixel(0, 150, 0, 191.4f), CLEAR, 0));
    EXPECT_TRUE(closeTo(groundPixel(0, 150, 0, 192.6f), CLEAR, 0));
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
}

TEST(Scenery, EveryTwelveUnitTileShowsTheWholeGrassOnceTopRowTowardsMinusZ) {
    WorkDir dir("grass");
    ASSERT_TRUE(makeDir("tex"));
    writeQuadrantRaw("tex/grass.raw");
    Scene *own = new Scene(); // no sky picture here: that texture is 0
    EXPECT_NE(own->grassTexture, 0u);
    EXPECT_EQ(own->skyTexture, 0u);
    // The grass loader leaves GL_MODULATE behind: unlit and under white, its picture shows its
    // own colours, whatever state the world's set-up left.
    glColor3f(1.0f, 1.0f, 1.0f);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    beginFrame();
    lookDown(-100, -100);
    drawGround(own);
    // Tile (0, 0) spans x and z from -168 to -156: s from 0 to 1 along x, t from 1 to 0 along z.
    EXPECT_TRUE(closeTo(groundPixel(-100, -100, -165, -165), BLUE)) << "s 1/4, t 3/4";
    EXPECT_TRUE(closeTo(groundPixel(-100, -100, -159, -165), YELLOW)) << "s 3/4, t 3/4";
    EXPECT_TRUE(closeTo(groundPixel(-100, -100, -165, -159), RED)) << "s 1/4, t 1/4";
    EXPECT_TRUE(closeTo(groundPixel(-100, -100, -159, -159), GREEN)) << "s 3/4, t 1/4";
    // The picture starts again on the next tile in both directions.
    EXPECT_TRUE(closeTo(groundPixel(-100, -100, -153, -165), BLUE));
    EXPECT_TRUE(closeTo(groundPixel(-100, -100, -165, -147), RED));
    EXPECT_TRUE(closeTo(groundPixel(-100, -100, -45, -45), BLUE)) << "tile (10, 10)";
    // The last tile, (29, 29), ends at 192.
    beginFrame();
    lookDown(150, 150);
    drawGround(own);
    EXPECT_TRUE(closeTo(groundPixel(150, 150, 183, 189), RED));
    EXPECT_TRUE(closeTo(groundPixel(150, 150, 189, 183), YELLOW));
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    delete own;
}

// The quadric's own texture mapping decides where s runs: from -z (s = 0) through -x (1/4), +z
// (1/2) and +x (3/4), seen from inside the dome.
TEST(Scenery, TheDomeStandsUprightWithSZeroTowardsMinusZ) {
    WorkDir dir("sky");
    ASSERT_TRUE(makeDir("tex"));
    // Four stripes centred on s = 0, 1/4, 1/2 and 3/4; the top quarter white for the zenith.
    const int width = 64, height = 64;
    const Rgb stripes[4] = {RED, GREEN, BLUE, YELLOW};
    Bytes pixels;
    for (int row = 0; row < height; row++) {
        for (int column = 0; column < width; column++) {
            int stripe = ((column + width / 8) * 4 / width) % 4;
            Rgb c = row >= height * 3 / 4 ? WHITE : stripes[stripe];
            pixels.insert(pixels.end(), {c[2], c[1], c[0]});
        }
    }
    ASSERT_TRUE(writeBytes("tex/sky.tga", tgaFile(width, height, 24, pixels)));
    Scene *own = new Scene();
    ASSERT_NE(own->skyTexture, 0u);
    EXPECT_EQ(own->grassTexture, 0u);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glDisable(GL_DEPTH_TEST);
    struct Look {
        Vector3 gaze;
        Rgb colour;
        const char *name;
    };
    const Look looks[] = {{{0, 0, -1}, RED, "-z"},
                          {{-1, 0, 0}, GREEN, "-x"},
                          {{0, 0, 1}, BLUE, "+z"},
                          {{1, 0, 0}, YELLOW, "+x"},
                          {{0, 20, -1}, WHITE, "up"}};
    for (const Look &look : looks) {
        beginFrame();
        setProjection();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(0, 1.75, 0, look.gaze.x, 1.75 + look.gaze.y, look.gaze.z, 0, 1, 0);
        glCallList(own->displayList);
        Rgb seen = readPixel(500, 300); // a little above the horizon
        EXPECT_TRUE(closeTo(seen, look.colour)) << look.name << ": " << show(seen);
    }
    // The dome's radius: a far plane short of 1000 cuts it away, one beyond keeps it.
    for (double farPlane : {990.0, 1010.0}) {
        beginFrame();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60, 2, 1, farPlane);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(0, 1.75, 0, 0, 1.75, -1, 0, 1, 0);
        glCallList(own->displayList);
        // Straight ahead, just above the horizon, the dome is about 1000 deep.
        EXPECT_EQ(closeTo(readPixel(500, 256), CLEAR, 0), farPlane < 1000) << "far " << farPlane;
    }
    glEnable(GL_DEPTH_TEST);
    delete own;
}

// A tree texture: its left half fully transparent, its right half opaque red.
GLuint halfTransparentTexture() {
    const unsigned char texels[2 * 2 * 4] = {0, 0, 0, 0, 255, 0, 0, 255,
                                             0, 0, 0, 0, 255, 0, 0, 255};
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    return name;
}

// What a selection pass counts of a card: its seen texels, joined into few rectangles; a picture
// larger than the grid is read a cell at a time, a cell seen when any texel in it is.
TEST(Scenery, ACardIsPickedWhereItsTexelsAreSeen) {
    // 4 x 3 texels, row 0 at the foot: a trunk two texels wide under a full-width crown row, and
    // a faint texel (alpha 1) alone at the top right.
    const unsigned char alpha[12] = {0, 255, 255, 0, //
                                     0, 9,   80,  0, //
                                     7, 7,   7,   1};
    std::vector<CardPiece> pieces = visiblePieces(alpha, 4, 3);
    ASSERT_EQ(pieces.size(), 2u);
    const float third = TREE_HEIGHT / 3;
    EXPECT_FLOAT_EQ(pieces[0].left, -1.0f);
    EXPECT_FLOAT_EQ(pieces[0].right, 1.0f);
    EXPECT_FLOAT_EQ(pieces[0].bottom, 0.0f);
    EXPECT_FLOAT_EQ(pieces[0].top, 2 * third) << "the two trunk rows are one piece";
    EXPECT_FLOAT_EQ(pieces[1].left, -2.0f);
    EXPECT_FLOAT_EQ(pieces[1].right, 2.0f);
    EXPECT_FLOAT_EQ(pieces[1].bottom, 2 * third);
    EXPECT_FLOAT_EQ(pieces[1].top, TREE_HEIGHT);

    // 1000 x 1 texels, clear but for one: the grid's one cell that holds it.
    std::vector<unsigned char> wide(1000, 0);
    wide[999] = 200;
    pieces = visiblePieces(wide.data(), 1000, 1);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_FLOAT_EQ(pieces[0].right, TREE_HALF_WIDTH);
    EXPECT_FLOAT_EQ(pieces[0].left, TREE_HALF_WIDTH - 2 * TREE_HALF_WIDTH / TREE_PICK_CELLS);
    EXPECT_TRUE(visiblePieces(wide.data(), 0, 0).empty());
}

// Looks at the tree's middle from ten units away along (dx, dz), 100 pixels a world unit.
void lookAtTree(const Tree &tree, float dx, float dz) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-5, 5, -2.5, 2.5, 1, 50);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    Vector3 p = tree.position;
    gluLookAt(p.x + dx * 10, 2, p.z + dz * 10, p.x, 2, p.z, 0, 1, 0);
}

TEST(Scenery, TreesAreTwoCrossedCutOutCards) {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    Tree tree{{3, 0, -1}, halfTransparentTexture()};
    // From +z the first card is face-on; from +x (along the first card) the second one is.
    for (Vector3 from : {Vector3{0, 0, 1}, Vector3{1, 0, 0}}) {
        std::string side = from.z > 0 ? "from +z" : "from +x";
        beginFrame();
        lookAtTree(tree, from.x, from.z);
        drawTree(&tree);
        // 100 pixels a unit around (500, 250): the card spans 300..700 and 50..450.
        EXPECT_TRUE(closeTo(readPixel(400, 250), CLEAR, 0)) << side << ": transparent half";
        EXPECT_TRUE(closeTo(readPixel(600, 250), RED, 0)) << side << ": opaque half";
        EXPECT_TRUE(closeTo(readPixel(650, 60), RED, 0)) << side << ": foot";
        EXPECT_TRUE(closeTo(readPixel(650, 440), RED, 0)) << side << ": top";
        EXPECT_TRUE(closeTo(readPixel(650, 40), CLEAR, 0)) << side << ": below the foot";
        EXPECT_TRUE(closeTo(readPixel(650, 460), CLEAR, 0)) << side << ": above the top";
        EXPECT_TRUE(closeTo(readPixel(710, 250), CLEAR, 0)) << side << ": beyond the edge";
    }
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLint source = 0, destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(source, GL_SRC_ALPHA);
    EXPECT_EQ(destination, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// A food beside a tree is drawn after it: through a card's clear texels it shows whole, while the
// card's opaque texels still hide it.
TEST(Scenery, WhatIsDrawnBehindACardsClearTexelsAfterItStillShows) {
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    Tree tree{{3, 0, -1}, halfTransparentTexture()};
    beginFrame();
    lookAtTree(tree, 0, 1);
    drawTree(&tree);
    // A blue wall one unit behind the first card, over the whole view.
    glColor3f(0.0f, 0.0f, 1.0f);
    glBegin(GL_QUADS);
    glVertex3f(-10.0f, -5.0f, -2.0f);
    glVertex3f(10.0f, -5.0f, -2.0f);
    glVertex3f(10.0f, 8.0f, -2.0f);
    glVertex3f(-10.0f, 8.0f, -2.0f);
    glEnd();
    glEnable(GL_LIGHTING);
    EXPECT_TRUE(closeTo(readPixel(400, 250), BLUE, 0)) << show(readPixel(400, 250));
    EXPECT_TRUE(closeTo(readPixel(600, 250), RED, 0)) << show(readPixel(600, 250));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// A tree as it was drawn before its vertex array, one vertex call at a time.
void immediateTree(const Tree &tree) {
    glPushMatrix();
    glTranslatef(tree.position.x, tree.position.y, tree.position.z);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    for (int card = 0; card < 2; card++) {
        if (card == 1) glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, tree.texture);
        glBegin(GL_QUADS);
        glTexCoord2f(0.0f, 1.0f);
        glVertex3f(-2.0f, 4.0f, 0.0f);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(-2.0f, 0.0f, 0.0f);
        glTexCoord2f(1.0f, 0.0f);
        glVertex3f(2.0f, 0.0f, 0.0f);
        glTexCoord2f(1.0f, 1.0f);
        glVertex3f(2.0f, 4.0f, 0.0f);
        glEnd();
        glDisable(GL_TEXTURE_2D);
    }
    glPopMatrix();
    glDisable(GL_BLEND);
}

// The cards reach GL as they did one vertex at a time: corners, order, texture coordinates, and
// the current normal they borrow (it lights them when the picture is missing).
TEST(Scenery, TreeCardsSendWhatOneVertexAtATimeSent) {
    Tree tree{{3, 0, -1}, halfTransparentTexture()};
    for (Vector3 from : {Vector3{0, 0, 1}, Vector3{0.6f, 0, 0.8f}, Vector3{1, 0, 0}}) {
        lookAtTree(tree, from.x, from.z);
        expectSameDrawing([&] { immediateTree(tree); }, [&] { drawTree(&tree); });
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(Scenery, WithoutPicturesEverythingIsDrawnUntextured) {
    WorkDir dir("bare");
    Scene *own = new Scene();
    EXPECT_EQ(own->grassTexture, 0u);
    EXPECT_EQ(own->skyTexture, 0u);
    EXPECT_TRUE(glIsList(own->displayList));
    glDisable(GL_LIGHTING);
    glColor3ub(10, 200, 30);
    beginFrame();
    lookDown(0, 0);
    glCallList(own->displayList);
    EXPECT_TRUE(closeTo(groundPixel(0, 0, 0, 0), Rgb{10, 200, 30}, 1));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    glEnable(GL_LIGHTING);
    delete own;
}

TEST(Scenery, TheTreePictureLeavesNoLineAlongTheCardsTopEdge) {
    startWorld(); // the trees with the build's own picture
    ASSERT_NE(trees[0]->texture, 0u) << "no tex/tree.tga in the working folder";
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    for (Vector3 from : {Vector3{0, 0, 1}, Vector3{1, 0, 0}}) {
        beginFrame();
        lookAtTree(*trees[0], from.x, from.z);
        drawTree(trees[0]);
        // The card spans rows 50 to 449: its top row and the one above are sky alone, where
        // the trunk's foot (rows 50 and up) would bleed in.
        for (int y : {449, 450})
            for (int x = 300; x < 700; x++)
                ASSERT_TRUE(closeTo(readPixel(x, y), CLEAR, 0)) << x << ", " << y;
        EXPECT_FALSE(closeTo(readPixel(500, 50), CLEAR, 0)) << "the trunk's foot";
        EXPECT_FALSE(closeTo(readPixel(500, 350), CLEAR, 0)) << "the crown";
    }
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
}

} // namespace
