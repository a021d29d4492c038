#include "app/app.h"

#include "assets/assets.h"
#include "bison/bison.h"
#include "camera/camera.h"
#include "food/food.h"
#include "hud/screen_text.h"
#include "input/input.h"
#include "mesh/sphere.h"
#include "scenery/scenery.h"

#include <GL/gl.h>
#include <cstring>

// Where the trees stand, in creation order (world units).
static const Vector3 TREE_PLACES[TREE_COUNT] = {
    {-10, 0, 7}, {25, 0, 60}, {-23, 0, -50}, {30, 0, 24}};

// Beside each tree, a running point moves before each of its four foods is made.
struct FoodPlacement {
    const char *kind;
    float dx, dz;
};
static const FoodPlacement TREE_FOODS[4] = {
    {"orange", 2, 0}, {"apple", 0, 1}, {"bomb", 0, 1}, {"marble", -1, 0}};

// The clouds rest in the open.
static const float CLOUD_HOMES[4][2] = {{20, 30}, {-30, 15}, {17, 45}, {-24, 34}};

void initWorld() {
    forgetToldPictures();
    memset(keyDown, 0, sizeof keyDown);
    memset(textLine, 0, sizeof textLine);
    camera = new Camera();
    scene = new Scene();
    bison = new Bison();
    int next = 0;
    for (int k = 0; k < TREE_COUNT; k++) {
        trees[k] = new Tree{TREE_PLACES[k], loadTGA("tex/tree.tga")};
        clampTreeEdges(trees[k]->texture);
        prepareTreePicking(trees[k]);
        float x = TREE_PLACES[k].x, z = TREE_PLACES[k].z;
        for (const FoodPlacement &placement : TREE_FOODS) {
            x += placement.dx;
            z += placement.dz;
            foods[next++] = new Food(placement.kind, x, z);
        }
    }
    for (const auto &cloud : CLOUD_HOMES) foods[next++] = new Food("cloud", cloud[0], cloud[1]);
    setFixedGlState();
}

void setFixedGlState() {
    glClearColor(0.7f, 0.0f, 1.0f, 1.0f);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_NORMALIZE);
    // Textured surfaces show their texture's own colours, unlit, from the very first frame's sky
    // on (the grass loader leaves GL_MODULATE behind).
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    // The screen text, drawn first in a frame, is lit with the normal the frame before left
    // behind (its last food's): the first frame's text starts from the same one.
    leaveSphereAttributes();
}
