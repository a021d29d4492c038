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
// Frames a landed food lies on the ground with a full timer.
const int FOOD_GROUND_FRAMES = 40;
// At or below this height, or above FOOD_CEILING, a food is on the ground (world units).
const float FOOD_GROUND_LEVEL = 0.13f;
// A food that climbs above this height is put on the ground at once (world units).
const float FOOD_CEILING = 100.0f;
// Height at which a landed food lies (world units).
const double FOOD_LYING_HEIGHT = 0.1;
// Gravity: vertical speed lost per frame of flight (world units per frame per frame).
const double FOOD_GRAVITY = 0.009;
// Horizontal speed of a throw (world units per frame).
const float FOOD_THROW_SPEED = 0.5f;
// Vertical speed of a throw per unit of gaze slope, and its constant lift (units per frame).
const double FOOD_THROW_RISE = 0.5;
const double FOOD_THROW_LIFT = 0.02;
// Held foods float this far below the held point (world units).
const double FOOD_HELD_DROP = 0.2;
// A food is drawn as a sphere of its radius scaled by this (the drawn size is a tenth of its
// collision radius).
const float FOOD_DRAW_SCALE = 0.1f;

// The five kinds, recognised by name.
enum FoodKind { KIND_ORANGE, KIND_APPLE, KIND_BOMB, KIND_MARBLE, KIND_CLOUD, KIND_NONE };
// The kind of a food name; KIND_NONE for a name that is none of the five.
FoodKind foodKind(const char *name);
// The texture file a kind wears (a bomb wears marble, a marble the room), or nullptr.
const char *foodTextureFile(const char *name);

// Side of the square pick region around a click (pixels).
const double PICK_REGION = 5.0;
// Words in the selection buffer.
const int SELECT_BUFFER_WORDS = 1024;

// The twenty foods, index 0..19; the index is also the food's selection name.
extern Food *foods[FOOD_COUNT];

// The selection buffer of a pick (words).
extern unsigned int selectBuffer[SELECT_BUFFER_WORDS];
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
// Number of collision spheres: the head, then four body spheres.
const int SPHERE_COUNT = 5;
// The bison's collision shape, relative to its position at heading 0: the head, then the body.
extern const CollisionSphere collisionSpheres[SPHERE_COUNT];

// Frames of a bomb launch: rise per frame (world units per frame) up to the top height, then the
// drop below the ground and the rise per frame back up to standing height.
const double BOMB_RISE_STEP = 0.7;
const float BOMB_TOP = 30.0f;
const float BOMB_DROP_HEIGHT = -10.0f;
const double BOMB_RETURN_STEP = 0.1;
// The bison's height standing on the ground (world units).
const float BISON_STAND_HEIGHT = 1.75f;
// Radius the flash starts from after a bomb hit (whole world units); it shrinks by one a frame.
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
// The flash radius of the next frame: one less while positive; 0 stays 0.
int nextFlashRadius(int radius);

// The word offset in buffer of the hit record with the smallest minimum depth (unsigned; the
// first of equals), or -1 when there is none. Walks at most hits records and never reads past
// words; a record that does not fit ends the walk.
int nearestHitRecord(const unsigned int *buffer, int words, int hits);
// Puts food index into the hand on top: its position and speed are zeroed and it is held.
void takeIntoHand(int index);

// Slices and stacks of a food's sphere.
const int FOOD_SLICES = 20;
const int FOOD_STACKS = 10;
// Floats per vertex of a food sphere: texture s, t; normal x, y, z; position x, y, z.
const int SPHERE_VERTEX_FLOATS = 8;
// Vertices of one stack's quad strip.
const int SPHERE_STRIP_VERTICES = 2 * (FOOD_SLICES + 1);
// The textured sphere a quadric draws with gluSphere(radius, FOOD_SLICES, FOOD_STACKS), as one
// quad strip per stack from the +z pole down, vertices interleaved as SPHERE_VERTEX_FLOATS.
void foodSphere(double radius,
                float vertices[FOOD_STACKS][SPHERE_STRIP_VERTICES * SPHERE_VERTEX_FLOATS]);
// Draws a sphere made by foodSphere from client-side arrays, with whatever texture is bound, and
// leaves the current normal and texture coordinate where gluSphere would.
void drawQuadricSphere(
    const float vertices[FOOD_STACKS][SPHERE_STRIP_VERTICES * SPHERE_VERTEX_FLOATS]);

// Places and draws one food under its index as selection name; advances a flying food.
void drawFood(Vector3 point, Food *food, int index);
// Every food once per frame, the hand first.
void drawFoods();

// Narrows the current matrix to the pick region around the pending click; whatever draws in a
// selection pass with its own projection puts this first.
void multPickRegion();
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
