// The player: an eye at a fixed height that walks the meadow, turns and tilts its gaze.
#pragma once

#include "types.h"

class Camera {
  public:
    Vector3 position;  // eye point, world units; y stays 1.75
    float yaw;         // heading in radians: 0 looks along -z, π/2 along +x; grows turning right
    Vector3 direction; // gaze added to position; (x, z) has length 1, y is a free tilt
    int moveSign;      // +1 or -1: the sign of the latest move

    Camera();
    virtual ~Camera() {}

    // Clears colour and depth and loads the view transform (lookAlong from where it stands).
    void look();
    // Walks step world units along (or against) the gaze; a move ending on the fence is dropped.
    void move(bool forward, float step);
    // Turns by CAMERA_TURN_STEP radians, right or left.
    void turn(bool right);
    // Raises or lowers the gaze by CAMERA_TILT_STEP.
    void tilt(bool up);
    // Half a turn: negates the gaze and walks the yaw down by about π.
    void turnAround();
};

// The one camera, made by initWorld.
extern Camera *camera;

// Clears colour and depth and loads the view from EYE along GAZE (added to the eye, as a
// camera's direction is): a camera's view, or one drawn between two ticks.
void lookAlong(Vector3 eye, Vector3 gaze);

// Eye height above the ground (world units).
const float CAMERA_EYE_HEIGHT = 1.75f;
// Yaw change of one turn (radians per tick held).
const float CAMERA_TURN_STEP = 0.02f;
// Gaze y change of one tilt (per tick held).
const float CAMERA_TILT_STEP = 0.01f;
// Walking step of 'w' and 's' (world units per tick held).
const float CAMERA_WALK_STEP = 0.2f;
