// Placeholder until the foods are built: none is drawn, picked or thrown.
#include "food/food.h"

Food *foods[FOOD_COUNT];
unsigned int selectBuffer[1024];
int hitCount = 0;
int hand[FOOD_COUNT];
int handCount = 0;
bool holding = false;
int heldIndex = -1;
int lastThrownIndex = -1;
bool bombLaunch = false;
bool bombFalling = false;
bool bombFirstFall = true;
bool flashActive = false;
int flashRadius = 0;
bool showSpheres = false;
const CollisionSphere collisionSpheres[5] = {};

Food::Food(const char *kind, float homeX, float homeZ)
    : state(FOOD_HOME), groundTimer(40), name(kind), radius(1.0f),
      texture(0), position{0, 3, 0}, home{homeX, 3, homeZ}, direction{0, 0, 0}, speed{0, 0, 0} {}
void Food::launch(float, float) {}
void Food::update() {}
void drawFood(Vector3, Food *, int) {}
void drawFoods() {}
void beginPick() {}
void endPick() {}
void processHits() {}
void throwHeld() {}
void recallLast() {}
void checkFeeding(Food *) {}
void deflect(Vector3, Vector3, Food *) {}
void updateBombLaunch() {}
void drawFlash() {}
void drawCollisionSpheres(Vector3) {}
