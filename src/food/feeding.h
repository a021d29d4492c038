// Feeding: a thrown food against the bison's head and body, what each kind does there, and the
// bomb's launch and flash.
#pragma once

#include "food/food.h"

// A sphere of the bison's collision shape, relative to its position.
struct CollisionSphere {
    Vector3 offset; // from the bison's position (world units)
    float radius;   // world units
};

// Number of collision spheres: the head, then four body spheres.
const int SPHERE_COUNT = 5;
// The bison's collision shape, relative to its position at heading 0: the head, then the body.
extern const CollisionSphere collisionSpheres[SPHERE_COUNT];

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

// Ticks of a bomb launch: rise per tick (world units per tick) up to the top height, then the
// drop below the ground and the rise per tick back up to standing height.
const double BOMB_RISE_STEP = 0.7;
const float BOMB_TOP = 30.0f;
const float BOMB_DROP_HEIGHT = -10.0f;
const double BOMB_RETURN_STEP = 0.1;
// Radius the flash starts from after a bomb hit (whole world units); it shrinks by one a tick.
const int FLASH_START_RADIUS = 5;
// Height a cloud hit lifts the bison by (world units).
const double CLOUD_LIFT = 0.2;

// Where collision sphere entry lies for a bison at position turned by heading (radians): its
// offset turned about the y axis as the display turns it, added in single precision.
Vector3 sphereCentre(int entry, Vector3 position, float heading);
// Length of a - b, the squares summed and the root taken in single precision.
float distanceBetween(Vector3 a, Vector3 b);
// The effect of a head hit of this food's kind (score, colour, launch, skin, lift).
void headEffect(const Food *food);
// The effect of a body hit of this food's kind.
void bodyEffect(const Food *food);
// The flash radius of the next tick: one less while positive; 0 stays 0.
int nextFlashRadius(int radius);

// Tests a flying food against the bison and applies its effects; a body strike acts once, until
// the food has left the reach of every body sphere.
void checkFeeding(Food *food);
// Takes the component along the sphere's normal out of the food's direction.
void deflect(Vector3 centre, Vector3 foodPosition, Food *food);
// One tick of a bomb launch.
void updateBombLaunch();
// The update half of the flash: one tick of its shrinking. True when it shows this tick.
bool shrinkFlash();
// The drawing half: the flash sphere at its radius, where the bison stood.
void drawFlashSphere();
// The flash sphere of RADIUS (world units) on the ground under PLACE, the bison's.
void drawFlashSphereAt(Vector3 place, double radius);
// The bomb flash: shrinks it a tick and draws it while it shows.
void drawFlash();
// The collision spheres at where the bison was drawn this tick, turned with it, when showSpheres
// is set.
void drawCollisionSpheres(Vector3 bisonSnapshot);
// The same at PLACE turned to HEADING (radians).
void drawCollisionSpheresAt(Vector3 place, float heading);
// No launch, no flash and the spheres hidden, as the game starts: for a test that starts from a
// fresh game.
void resetFeeding();
