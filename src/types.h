// Types shared by every subsystem of the game.
#pragma once

// A point or a direction, in world units.
struct Vector3 {
    float x, y, z;
};

// What the screen text shows; play works the same in every state.
enum GameState { STATE_LOST = 0, STATE_WON = 1, STATE_PLAYING = 2, STATE_TITLE = 3 };

// Where a food is in its cycle: in the hand, thrown (flying or lying), or at home.
enum FoodState { FOOD_HELD = 0, FOOD_FLYING = 1, FOOD_HOME = 2 };

// Radius of the fence around the origin in the x-z plane (world units); camera and bison stay
// inside.
const float FENCE_RADIUS = 137.0f;

// Angles, in double precision: the game's float angles are stepped and compared against these.
const double PI_D = 3.141592653589793;
const double TWO_PI_D = 6.283185307179586;
const double HALF_PI_D = 1.5707963267948966;

// 2π rounded to single precision (6.2831855): where a left turn wraps to.
const float TWO_PI_F = 6.2831855f;

// Radians to degrees, for glRotatef.
const double RAD_TO_DEG = 180.0 / PI_D;
