// The world as a frame draws it: what moves between two ticks (the camera, the bison, the foods,
// the flash), taken from the world as each tick leaves it, and drawn between the last two by the
// share of a tick the frame's moment has reached. Nothing in the game reads it: the game's state,
// its picks and its captures are the tick's own.
#pragma once

#include "food/food.h"

struct WorldPose {
    Vector3 eye{};             // the camera's place
    Vector3 gaze{};            // and its direction
    Vector3 bisonPlace{};      // the bison's place
    float bisonHeading = 0.0f; // its heading (radians)
    float nodAngle = 0.0f;     // its head's angle (degrees)
    Vector3 spheresPlace{};    // where its collision display stands (after its walk)
    bool flashShows = false;   // the flash is drawn
    float flashRadius = 0.0f;  // at this radius (world units)
    FoodState foodStates[FOOD_COUNT] = {};
    Vector3 foodPlaces[FOOD_COUNT] = {};
};

// Farther than these in one tick is a jump, drawn at once rather than swept across the meadow: a
// food sent home or taken into the hand, the bison launched or turned at the fence, the camera
// turned around. Each is well beyond the most the thing moves in a tick by walking, turning or
// flying (world units, radians, gaze units). Whatever else jumps (the 1 key's return to the
// title, should it ever put something back) is drawn at once by the same measure.
const float EYE_JUMP = 1.0f;
const float GAZE_JUMP = 0.5f;
const float BISON_JUMP = 2.0f;
const float HEADING_JUMP = 0.5f;
const float FOOD_JUMP = 5.0f;

// The world as it stands, with the flash shown or not and the collision display's place as the
// tick left them.
WorldPose worldPose(bool flashShows, Vector3 spheresPlace);
// The pose SHARE of the way from FROM to TO (0: FROM, 1: TO, each exactly): places and angles
// between the two (an angle the short way round), the flash's radius between its two while it
// shows in both. What jumped between them, and a flash begun or ended, are drawn as TO has them.
WorldPose poseBetween(const WorldPose &from, const WorldPose &to, double share);
