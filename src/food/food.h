// The food: the twenty foods, their kinds, and their flight once thrown.
#pragma once

#include "types.h"

class Food {
  public:
    FoodState state;      // where the food is in its cycle
    int groundTimer;      // ticks left to lie on the ground before going home
    const char *name;     // kind name: "orange", "apple", "bomb", "marble" or "cloud"
    float radius;         // collision radius (world units)
    unsigned int texture; // the food's own texture, 0 when it failed to load
    Vector3 position;     // current place, world units
    Vector3 home;         // resting place; y is FOOD_HOME_HEIGHT
    Vector3 direction;    // x, z: horizontal unit direction of the throw; y: launch pitch
    Vector3 speed;        // x, z: horizontal speeds; y: vertical velocity (units per tick)
    bool touchingBody;    // within reach of a body sphere when last tested: its strike has acted

    Food(const char *name, float homeX, float homeZ);
    virtual ~Food() {}

    // Starts a throw along yaw (radians) with the camera's gaze slope as pitch.
    void launch(float yaw, float pitch);
    // One tick of flight, or of lying on the ground.
    void update();
};

// Number of foods.
const int FOOD_COUNT = 20;
// Height at which foods rest at home (world units).
const float FOOD_HOME_HEIGHT = 3.0f;
// Ticks a landed food lies on the ground with a full timer.
const int FOOD_GROUND_FRAMES = 40;
// At or below this height, or above FOOD_CEILING, a food is on the ground (world units).
const float FOOD_GROUND_LEVEL = 0.13f;
// A food that climbs above this height is put on the ground at once (world units).
const float FOOD_CEILING = 100.0f;
// Height at which a landed food lies (world units).
const double FOOD_LYING_HEIGHT = 0.1;
// Gravity: vertical speed lost per tick of flight (world units per tick per tick).
const double FOOD_GRAVITY = 0.009;
// Horizontal speed of a throw (world units per tick).
const float FOOD_THROW_SPEED = 0.5f;
// Vertical speed of a throw per unit of gaze slope, and its constant lift (units per tick).
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

// The twenty foods, index 0..19; the index is also the food's selection name.
extern Food *foods[FOOD_COUNT];

// The update half of drawing a food: puts it where its state says, at home or below the held
// point; a flying food takes its one flight step of the tick.
void placeFood(Vector3 point, Food *food);
// The drawing half: the food where it stands, under its index as selection name.
void drawPlacedFood(const Food *food, int index);
// The food at PLACE: where it stands, or where it is drawn between two ticks.
void drawFoodAt(const Food *food, int index, Vector3 place);
// Places and draws one food under its index as selection name; advances a flying food.
void drawFood(Vector3 point, Food *food, int index);
// Every food once per tick, the hand first: each placed, then drawn.
void drawFoods();
