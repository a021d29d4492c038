// Placeholder until the scenery is built: nothing is drawn.
#include "scenery/scenery.h"

Scene *scene = nullptr;
Tree *trees[TREE_COUNT];

#include <GL/gl.h>

Scene::Scene() : grassTexture(0), skyTexture(0), displayList(0) {
    buildList();
}
Scene::~Scene() {}
unsigned int Scene::buildList() {
    displayList = glGenLists(1);
    glNewList(displayList, GL_COMPILE);
    glEndList();
    return displayList;
}
void drawSky(unsigned int) {}
void drawGround(Scene *) {}
void drawTree(Tree *) {}
