#include "scenery/scenery.h"

#include "assets/assets.h"
#include "platform/platform.h"

#include <GL/gl.h>
#include <GL/glext.h> // GL_CLAMP_TO_EDGE: Windows' own gl.h stops at 1.1
#include <GL/glu.h>

Scene *scene = nullptr;
Tree *trees[TREE_COUNT];

Scene::Scene() : grassTexture(0), skyTexture(0), displayList(0) {
    // Only a regular file is read: a FIFO named grass.raw would hang the start for ever.
    FILE *grass = openRegularFile(dataPath(GRASS_PATH).c_str());
    grassTexture = grass ? loadRAW(grass) : 0;
    if (!grass) reportMissingPicture(GRASS_PATH);
    skyTexture = loadTGA(SKY_PATH);
    buildList();
}

Scene::~Scene() {
    glDeleteTextures(1, &grassTexture);
    glDeleteTextures(1, &skyTexture);
}

unsigned int Scene::buildList() {
    displayList = glGenLists(1);
    glNewList(displayList, GL_COMPILE);
    // The ground first: the depth test then drops every fragment of the sky behind it, which
    // would only have been drawn over. The dome lies far beyond the ground, so no pixel changes.
    glPushMatrix();
    drawGround(this);
    glPopMatrix();
    glPushMatrix();
    glScalef(SKY_RADIUS, SKY_RADIUS, SKY_RADIUS);
    // The quadric's pole runs along z; turned up, the texture's top row is the zenith.
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    drawSky(skyTexture);
    glPopMatrix();
    glEndList();
    return displayList;
}

void drawSky(unsigned int texture) {
    GLUquadric *quadric = gluNewQuadric();
    glPushMatrix();
    gluQuadricTexture(quadric, GL_TRUE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    gluSphere(quadric, 1.0, SKY_SLICES, SKY_STACKS);
    gluDeleteQuadric(quadric);
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}

// One tile in the ground's scaled frame: 4 x 4 there, 12 x 12 in the world.
static void drawGroundTile() {
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 1.0f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-2.0f, 0.0f, -2.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-2.0f, 0.0f, 2.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(2.0f, 0.0f, 2.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(2.0f, 0.0f, -2.0f);
    glEnd();
}

void drawGround(Scene *scene) {
    glEnable(GL_TEXTURE_2D);
    glPushMatrix();
    glTranslatef(GROUND_FIRST_CENTRE, 0.0f, GROUND_FIRST_CENTRE);
    glScalef(3.0f, 1.0f, 3.0f);
    glBindTexture(GL_TEXTURE_2D, scene->grassTexture);
    for (int column = 0; column < GROUND_TILES; column++) {
        glPushMatrix();
        for (int row = 0; row < GROUND_TILES; row++) {
            drawGroundTile();
            glTranslatef(0.0f, 0.0f, 4.0f);
        }
        glPopMatrix();
        glTranslatef(4.0f, 0.0f, 0.0f);
    }
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
}

void clampTreeEdges(unsigned int texture) {
    if (texture == 0) return;
    glBindTexture(GL_TEXTURE_2D, texture);
    // Filtered with the default wrap, the card's top edge takes in the picture's bottom row (the
    // trunk's foot) and shows a grey line above the crown; its bottom edge the transparent top.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

// One picture card in the tree's x-y plane, standing on its foot point: texture s, t, then
// position x, y, z of each corner, in the order of one GL_QUADS. From a client-side array, not
// one vertex call at a time: Mesa keeps memory for every immediate-mode vertex drawn in a
// selection pass, and the trees are drawn in every one.
static const float TREE_CARD[4][5] = {
    {0.0f, 1.0f, -TREE_HALF_WIDTH, TREE_HEIGHT, 0.0f},
    {0.0f, 0.0f, -TREE_HALF_WIDTH, 0.0f, 0.0f},
    {1.0f, 0.0f, TREE_HALF_WIDTH, 0.0f, 0.0f},
    {1.0f, 1.0f, TREE_HALF_WIDTH, TREE_HEIGHT, 0.0f},
};

static void drawTreeCard(unsigned int texture) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    // No normals of its own: the card takes the current normal, as it always has.
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glInterleavedArrays(GL_T2F_V3F, 0, TREE_CARD);
    glDrawArrays(GL_QUADS, 0, 4);
    glPopClientAttrib();
    // The last corner's texture coordinate stays current, as one vertex at a time left it.
    glTexCoord2f(TREE_CARD[3][0], TREE_CARD[3][1]);
    glDisable(GL_TEXTURE_2D);
}

void drawTree(Tree *tree) {
    glPushMatrix();
    glTranslatef(tree->position.x, tree->position.y, tree->position.z);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    // A fully transparent texel writes neither colour nor depth: written, its depth would hide
    // the half of a food drawn behind it later in the frame. Partly transparent ones still blend.
    glAlphaFunc(GL_GREATER, 0.0f);
    glEnable(GL_ALPHA_TEST);
    drawTreeCard(tree->texture);
    // The second card, crossed, so the tree has body from every side.
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    drawTreeCard(tree->texture);
    glPopMatrix();
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
}
