// Food and feeding: the twenty foods and their flight, picking into the hand and throwing,
// and the collisions of a thrown food with the bison with their effects.
#pragma once

#include "types.h"

class Food {
  public:
    FoodState state;      // where the food is in its cycle
    int groundTimer;      // frames left to lie on the ground before going home
    const char *name;     // kind name: "orange", "apple", "bomb", "marble" or "cloud"
    float radius;         // collision radius (world units)
    unsigned int texture; // the food's own texture, 0 when it failed to load
    Vector3 position;     // current place, world units
    Vector3 home;         // resting place; y is FOOD_HOME_HEIGHT
    Vector3 direction;    // x, z: horizontal unit direction of the throw; y: launch pitch
    Vector3 speed;        // x, z: horizontal speeds; y: vertical velocity (units per frame)

    Food(const char *name, float homeX, float homeZ);
    virtual ~Food() {}

    // Starts a throw along yaw (radians) with the camera's gaze slope as pitch.
    void launch(float yaw, float pitch);
    // One frame of flight, or of lying on the ground.
    void update();
};

// A sphere of the bison's collision shape, relative to its position.
struct CollisionSphere {
    Vector3 offset; // from the bison's position (world units)
    float radius;   // world units
};

// Number of foods.
const int FOOD_COUNT = 20;
// Height at which foods rest at home (world units).
const float FOOD_HOME_HEIGHT = 3.0f;

// The twenty foods, index 0..19; the index is also the food's selection name.
extern Food *foods[FOOD_COUNT];

// The selection buffer of a pick (words).
extern unsigned int selectBuffer[1024];
// Hit records of the last selection pass.
extern int hitCount;
// The hand: a stack of food indices, top at hand[handCount - 1]. It has room for every food.
extern int hand[FOOD_COUNT];
// Entries in the hand.
extern int handCount;
// True exactly while the hand is not empty.
extern bool holding;
// The food on top of the hand, -1 when empty.
extern int heldIndex;
// The most recently thrown food, -1 before the first throw.
extern int lastThrownIndex;

// A bomb launch is under way.
extern bool bombLaunch;
// The launch is in its return phase.
extern bool bombFalling;
// The return phase has not yet put the bison below the ground.
extern bool bombFirstFall;
// The flash sphere is drawn.
extern bool flashActive;
// Radius of the flash sphere (whole world units).
extern int flashRadius;
// Draw the collision spheres (']').
extern bool showSpheres;
// The bison's collision shape: the head, then four body spheres.
extern const CollisionSphere collisionSpheres[5];

// Places and draws one food under its index as selection name; advances a flying food.
void drawFood(Vector3 point, Food *food, int index);
// Every food once per frame, the hand first.
void drawFoods();

// Starts a selection pass around the pending click.
void beginPick();
// Ends it and resolves the hits into the hand.
void endPick();
// Picks the nearest hit record's food into the hand.
void processHits();
// Throws the top food of the hand.
void throwHeld();
// Puts the last thrown food back into the hand.
void recallLast();

// Tests a flying food against the bison and applies its effects.
void checkFeeding(Food *food);
// Takes the component along the sphere's normal out of the food's direction.
void deflect(Vector3 centre, Vector3 foodPosition, Food *food);
// One frame of a bomb launch.
void updateBombLaunch();
// The bomb flash sphere.
void drawFlash();
// The collision spheres at where the bison was drawn this frame, turned with it, when showSpheres
// is set.
void drawCollisionSpheres(Vector3 bisonSnapshot);
