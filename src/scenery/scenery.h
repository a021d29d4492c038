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
// Half the width and the height of a tree's cards (world units).
const float TREE_HALF_WIDTH = 2.0f;
const float TREE_HEIGHT = 4.0f;

// Radius of the sky dome around the origin (world units).
const float SKY_RADIUS = 1000.0f;
// Slices and stacks of the dome's sphere.
const int SKY_SLICES = 50;
const int SKY_STACKS = 50;
// Tiles along each side of the ground, each 12 world units wide.
const int GROUND_TILES = 30;
// Centre of the first tile on x and on z (world units): the ground spans -168 to 192.
const float GROUND_FIRST_CENTRE = -162.0f;

// Where the scene finds its pictures, relative to the working directory.
const char *const GRASS_PATH = "tex/grass.raw";
const char *const SKY_PATH = "tex/sky.tga";

// The one scene, made by initWorld.
extern Scene *scene;
// The four trees, made by initWorld in table order.
extern Tree *trees[TREE_COUNT];

// The unit sphere with the given texture (inside the list only).
void drawSky(unsigned int texture);
// The 30 x 30 tiles of grass (inside the list only).
void drawGround(Scene *scene);
// Keeps a tree picture's edges from wrapping onto each other; texture 0 is left alone.
void clampTreeEdges(unsigned int texture);
// One tree, every frame.
void drawTree(Tree *tree);
