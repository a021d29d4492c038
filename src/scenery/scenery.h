// Scenery: the sky dome and grass ground in one display list, and the trees as crossed cards.
#pragma once

#include "types.h"

class Scene {
  public:
    unsigned int grassTexture; // the ground's texture from "tex/grass.raw", 0 when missing
    unsigned int skyTexture;   // the dome's texture from "tex/sky.tga", 0 when missing
    unsigned int displayList;  // dome and ground, compiled once

    Scene();
    virtual ~Scene();

    // Compiles dome and ground into displayList and returns it.
    unsigned int buildList();
};

// A tree: two crossed picture cards standing on its foot point.
struct Tree {
    Vector3 position;     // foot point, world units; y is 0
    unsigned int texture; // its own copy of "tex/tree.tga"
};

// Number of trees in the meadow.
const int TREE_COUNT = 4;

// The one scene, made by initWorld.
extern Scene *scene;
// The four trees, made by initWorld in table order.
extern Tree *trees[TREE_COUNT];

// The unit sphere with the given texture (inside the list only).
void drawSky(unsigned int texture);
// The 30 x 30 tiles of grass (inside the list only).
void drawGround(Scene *scene);
// One tree, every frame.
void drawTree(Tree *tree);
