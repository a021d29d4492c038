// Scenery: the sky dome and grass ground in one display list, and the trees as crossed cards.
#pragma once

#include "types.h"

#include <cstdint>
#include <vector>

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
    // The card's visible texels for selection passes, as quads of (x, y, 0) corners in the
    // card's own units; while pickCut is clear the whole card is drawn there instead.
    std::vector<float> pickCorners = {};
    bool pickCut = false;
    uint32_t pickPrint = 0; // a hash of the visible texels' rectangles: what decides a click
                            // through the card; 0 before it is prepared
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
// Most cells a side of the grid a card's picture is read on for picking: one cell a texel up to
// this, a cell a few texels wide beyond it.
const int TREE_PICK_CELLS = 256;

// A rectangle of a card, in the card's own units: x from -TREE_HALF_WIDTH to TREE_HALF_WIDTH, y
// from 0 at the foot to TREE_HEIGHT.
struct CardPiece {
    float left, right, bottom, top;
};
// The parts of a card a player sees: the texels of a picture whose alpha is above 0 (the alpha
// test's), width x height bytes, row 0 at the card's foot. A cell of the grid counts when any
// texel in it is seen; runs along a row, and runs alike in rows above one another, are joined.
std::vector<CardPiece> visiblePieces(const unsigned char *alpha, int width, int height);
// A hash of a card's visible pieces (FNV-1a of their corners' bytes, never 0): two pictures that
// pick alike hash alike. A card drawn whole (no picture) is the empty list's.
uint32_t piecesPrint(const std::vector<CardPiece> &pieces);
// Reads the tree's picture back and works out its pickCorners. Once, after its texture is made.
void prepareTreePicking(Tree *tree);
// One tree, every frame. In a selection pass (selecting) only its cards' visible texels count.
void drawTree(Tree *tree, bool selecting = false);
