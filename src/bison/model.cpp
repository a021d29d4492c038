// The bison's model: stretched spheres and domes in model units (four to a world unit), facing
// +x. The static body is one display list; the nodding head, legs and tail are drawn each frame,
// their domes from vertex arrays worked out once, their spheres from display lists.
#include "bison/bison.h"

#include "mesh/sphere.h"

#include <GL/freeglut.h>
#include <vector>

// Colours of the pieces that keep their own (red, green, blue bytes).
static const unsigned char HIDE_BROWN[3] = {85, 53, 0};
static const unsigned char MUZZLE_TAN[3] = {239, 179, 91};
static const unsigned char HOOF_BROWN[3] = {41, 20, 0};
static const unsigned char TUFT_GOLD[3] = {204, 153, 51};
// Model scale: world units per model unit.
static const float MODEL_SCALE = 0.25f;

static void setColor(const unsigned char rgb[3]) {
    glColor3ub(rgb[0], rgb[1], rgb[2]);
}

// The textured quadric of the body list's textured spheres, made once: a quadric holds only how
// GLU draws, and these all draw alike. The list is compiled once, so GLU's vertex calls end in
// the list, not in any frame.
static GLUquadric *texturedQuadric() {
    static GLUquadric *quadric = nullptr;
    if (!quadric) {
        quadric = gluNewQuadric();
        if (quadric) gluQuadricTexture(quadric, GL_TRUE);
    }
    return quadric;
}

// A sphere wearing the given texture, for the body list only.
static void texturedSphere(unsigned int name, double radius, int slices, int stacks) {
    GLUquadric *quadric = texturedQuadric();
    glPushMatrix();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, name);
    if (quadric) gluSphere(quadric, radius, slices, stacks);
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}

// Pieces 1 to 7 hang from the head frame; the second pop of piece 7 closes the head level that
// draw opened, so the body pieces after it are placed in the body frame.
unsigned int Bison::buildBodyList() {
    bodyList = glGenLists(1);
    glNewList(bodyList, GL_COMPILE);

    glPushMatrix(); // head
    setColor(color);
    glScalef(1.5f, 0.9f, 1.0f);
    glutSolidSphere(2.0, 20, 10);
    glPopMatrix();

    glPushMatrix(); // hump
    setColor(HIDE_BROWN);
    glScalef(2.0f, 0.5f, 1.0f);
    glTranslatef(-0.5f, 3.0f, -0.1f);
    texturedSphere(skinName, 1.0, 50, 50);
    glPopMatrix();

    glPushMatrix(); // mane
    glTranslatef(-2.0f, -0.5f, 0.0f);
    glScalef(1.0f, 1.2f, 1.0f);
    texturedSphere(skinName, 2.0, 20, 10);
    glPopMatrix();

    glPushMatrix(); // horn bar and its two points
    glColor3f(0.8f, 0.8f, 0.8f);
    glTranslatef(-2.0f, -0.5f, 0.0f);
    glPushMatrix();
    glScalef(1.3f, 1.3f, 7.0f);
    glutSolidSphere(0.5, 20, 10);
    glPopMatrix();
    glRotatef(30.0f, 0.0f, 0.0f, 1.0f);
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, -3.0f);
    glScalef(1.0f, 3.0f, 1.0f);
    drawDome(0.4f, resolution, false);
    glPopMatrix();
    glTranslatef(0.0f, 0.0f, 3.0f);
    glScalef(1.0f, 3.0f, 1.0f);
    drawDome(0.4f, resolution, false);
    glPopMatrix();

    glPushMatrix(); // eyes
    glColor3f(0.0f, 0.0f, 0.0f);
    glTranslatef(-0.8f, -0.5f, 0.0f);
    glScalef(1.5f, 1.5f, 4.0f);
    glutSolidSphere(0.5, 20, 10);
    glPopMatrix();
    glPopMatrix(); // closes the head level of draw

    setColor(HIDE_BROWN); // shoulders
    glPushMatrix();
    glRotatef(350.0f, 0.0f, 0.0f, 1.0f);
    glScalef(1.1f, 2.2f, 1.3f);
    glTranslatef(-3.0f, 0.0f, 0.0f);
    texturedSphere(skinName, 3.0, 20, 10);
    glPopMatrix();

    setColor(color); // body
    glPushMatrix();
    glRotatef(15.0f, 0.0f, 0.0f, 1.0f);
    glScalef(2.5f, 1.5f, 1.5f);
    glTranslatef(-3.0f, 1.5f, 0.0f);
    glutSolidSphere(3.0, 20, 10);
    glPopMatrix();

    glEndList();
    return bodyList;
}

// The freeglut spheres drawn every frame (legs and tail), each radius compiled into a display list
// the first time it is drawn: its vertices then stay on the driver's side instead of being copied
// over at every draw. (The domes stay on arrays: compiled, their quads come out of Mesa with some
// pixels shaded differently.) A few lists are kept; any radius beyond them is drawn directly.
struct SphereList {
    double radius; // as freeglut is given it
    unsigned int list;
};
static const size_t SPHERE_LISTS_KEPT = 8;
static std::vector<SphereList> sphereLists;

// glutSolidSphere(radius, 20, 10).
static void drawSolidSphere(double radius) {
    for (const SphereList &sphere : sphereLists)
        if (sphere.radius == radius) {
            glCallList(sphere.list);
            return;
        }
    unsigned int list = sphereLists.size() < SPHERE_LISTS_KEPT ? glGenLists(1) : 0;
    if (list == 0) {
        glutSolidSphere(radius, 20, 10);
        return;
    }
    glNewList(list, GL_COMPILE);
    glutSolidSphere(radius, 20, 10);
    glEndList();
    sphereLists.push_back({radius, list});
    glCallList(list);
}

// A front leg: upper leg and hoof in one chain, so the hoof inherits the leg's stretch.
static void drawFrontLeg(const BisonLook &b, float z, float angle, float hoofAngle) {
    glPushMatrix();
    setColor(b.color);
    glTranslatef(-3.0f, -1.8f, z);
    glRotatef(angle, 0.0f, 0.0f, 1.0f);
    glTranslatef(-2.0f, -2.0f, 0.0f);
    glScalef(1.0f, 2.5f, 1.0f);
    drawSolidSphere(1.0);
    setColor(HOOF_BROWN);
    glRotatef(hoofAngle, 0.0f, 0.0f, 1.0f);
    glTranslatef(0.0f, -1.2f, 0.0f);
    drawDome(0.7f, b.resolution, false);
    glPopMatrix();
}

// A hind leg: thigh, shank and hoof in one chain.
static void drawHindLeg(const BisonLook &b, float z, float angle) {
    glPushMatrix();
    setColor(b.color);
    glTranslatef(-12.0f, 0.0f, 0.0f);
    glRotatef(angle, 0.0f, 0.0f, 1.0f);
    glTranslatef(0.0f, 0.0f, z);
    glScalef(1.0f, 1.4f, 1.0f);
    drawSolidSphere(2.6);
    setColor(b.color);
    glRotatef(45.0f, 0.0f, 0.0f, 1.0f);
    glTranslatef(-1.0f, -1.8f, z > 0.0f ? 0.4f : -0.4f);
    glScalef(1.0f, 4.5f, 1.0f);
    drawSolidSphere(0.8);
    setColor(HOOF_BROWN);
    glRotatef(-10.0f, 0.0f, 0.0f, 1.0f);
    glTranslatef(0.0f, -0.8f, 0.0f);
    glScalef(1.0f, 0.7f, 1.0f);
    drawDome(0.6f, b.resolution, false);
    glPopMatrix();
}

// The tuft is the textured sphere of radius 1 a quadric draws with 20 slices and 10 stacks, the
// food's sphere: its vertices are worked out once, on the first frame.
static void drawTuft(unsigned int texture) {
    static_assert(FOOD_SLICES == 20 && FOOD_STACKS == 10, "the tuft is a 20 x 10 sphere");
    unsigned int list = quadricSphereList(1);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glCallList(list);
    glDisable(GL_TEXTURE_2D);
}

static void drawTail(const BisonLook &b) {
    glPushMatrix();
    setColor(b.color);
    glTranslatef(-13.0f, 1.0f, 0.0f);
    glRotatef(b.tailAngle, 0.0f, 0.0f, 1.0f);
    glTranslatef(-3.0f, 0.0f, 0.0f);
    glPushMatrix();
    glScalef(5.0f, 1.0f, 1.0f);
    drawSolidSphere(0.5);
    glPopMatrix();
    setColor(TUFT_GOLD);
    glTranslatef(-3.0f, 0.0f, 0.0f);
    glScalef(1.0f, 0.5f, 0.5f);
    drawTuft(b.texture);
    glPopMatrix();
}

void Bison::update() {
    nod();
    if (wandering) wander();
}

void Bison::draw() {
    update();
    drawModel();
}

void Bison::drawModel() {
    drawModelAt(position, heading, nodAngle);
}

BisonLook Bison::look() const {
    BisonLook look = {resolution, {}, tailAngle, texture, {}, bodyList};
    for (int i = 0; i < 4; i++) look.legAngle[i] = legAngle[i];
    for (int i = 0; i < 3; i++) look.color[i] = color[i];
    return look;
}

void Bison::drawModelAt(Vector3 place, float turned, float nod, int pieces) {
    drawBisonModel(look(), place, turned, nod, pieces);
}

void drawBisonModel(const BisonLook &look, Vector3 place, float turned, float nod, int pieces) {
    glPushMatrix(); // body frame
    glTranslatef(place.x, place.y, place.z);
    glRotatef(float(double(turned) * 180.0 / PI_D), 0.0f, 1.0f, 0.0f);
    glScalef(MODEL_SCALE, MODEL_SCALE, MODEL_SCALE);

    glPushMatrix(); // head level, closed by the body list
    setColor(look.color);
    glRotatef(290.0f, 0.0f, 0.0f, 1.0f);
    glTranslatef(0.0f, 2.0f, 0.0f);

    if (pieces & MODEL_HEAD) {
        glPushMatrix(); // nod frame
        glRotatef(nod, 0.0f, 0.0f, 1.0f);
        glPushMatrix();
        glScalef(1.5f, 1.0f, 0.9f);
        drawDome(2.0f, look.resolution, true);
        glPopMatrix();
        setColor(MUZZLE_TAN);
        glTranslatef(1.5f, 1.0f, 0.0f);
        glRotatef(80.0f, 0.0f, 0.0f, 1.0f);
        glScalef(1.2f, 3.0f, 0.7f);
        drawDome(2.0f, look.resolution, false);
        glPopMatrix();
    }

    if (pieces & MODEL_BODY)
        glCallList(look.bodyList);
    else
        glPopMatrix(); // the head level the body list closes

    if (pieces & MODEL_LIMBS) {
        drawFrontLeg(look, -2.1f, look.legAngle[0], -10.0f);
        drawHindLeg(look, 2.1f, look.legAngle[1]);
        drawFrontLeg(look, 2.1f, look.legAngle[2], -12.0f);
        drawHindLeg(look, -2.1f, look.legAngle[3]);
        drawTail(look);
    }

    glPopMatrix(); // body frame
}
