// The bison: its state, its wandering walk inside the fence, its model and its nod.
#pragma once

#include "types.h"

class Bison {
  public:
    int resolution;         // resolution of every dome of the model
    bool wandering;         // walk one wander step per frame while set
    Vector3 position;       // the animal's origin, world units; y is 1.75 on the ground
    float baseAngle;        // travel direction angle = baseAngle - heading (radians)
    float heading;          // radians; 0 faces about +x, growing turns towards -z
    float targetHeading;    // heading the current leg steers towards (radians)
    bool turnPositive;      // steering raises the heading when set, lowers it when clear
    float dirX;             // unit travel direction, x
    float dirZ;             // unit travel direction, z
    float stepCount;        // frames walked on the current leg
    float legLength;        // frames the current leg lasts
    float speed;            // world units per frame on the current leg
    float nodAngle;         // head angle in degrees, 145 to 160
    bool nodLowering;       // the head is on its way down
    int nodCount;           // nods completed in the current request
    int wantedNods;         // nods requested; -1 means none
    float legAngle[4];      // fixed leg angles (degrees)
    float tailAngle;        // fixed tail angle (degrees)
    bool lava;              // the lava skin is on
    unsigned int texture;   // the current skin; 0 when it failed to load
    unsigned char color[3]; // tint of the untextured parts drawn every frame
    unsigned int bodyList;  // the static body, compiled once

    Bison();
    virtual ~Bison();

    // One frame of wandering: legs, steering and the fence turn.
    void wander();
    // Manual turn by delta radians (',' and '.').
    void turn(float delta);
    // Manual step of BISON_STEP along the travel direction ('/'); ignores the fence.
    void step();
    // Swaps the skin between fur and lava.
    void toggleSkin();
    // One frame of nod and wander, then the model.
    void draw();
    // Compiles the static body into bodyList and returns it.
    unsigned int buildBodyList();
};

// The one bison, made by initWorld.
extern Bison *bison;

// Manual turn of ',' and '.' (radians per frame held).
const float BISON_TURN_STEP = 0.01f;
// Manual step of '/' (world units per frame held).
const float BISON_STEP = 0.1f;
// Below this three-dimensional distance from the bison the player cannot walk forward (world
// units).
const float BISON_REACH = 10.0f;

// True when point lies closer to the bison than BISON_REACH.
bool nearBison(Vector3 point);

// Upper half of a sphere (or its back half when half is set) in latitude bands of quads.
void drawDome(float radius, int resolution, bool half);
