// The game's changing state, saved once and put back before every measurement, so that each
// situation starts from the same world.
#pragma once

#include "app/app.h"
#include "camera/camera.h"
#include "food/feeding.h"
#include "food/food.h"
#include "food/pick.h"

// What a food changes while it is picked, thrown and sent home.
struct FoodMotion {
    FoodState state;
    int groundTimer;
    Vector3 position, direction, speed;
};

// What the bison changes from frame to frame: its walk and its nod. The object itself is not
// copied: its destructor deletes its skin.
struct BisonPose {
    Vector3 position;
    float baseAngle, heading, targetHeading, dirX, dirZ, stepCount, legLength, speed;
    bool wandering, turnPositive, nodLowering;
    float nodAngle;
    int nodCount, wantedNods;
};

// Everything the game changes while playing, so that each situation starts the same.
struct Snapshot {
    Camera camera;
    BisonPose bison;
    FoodMotion foodMotion[FOOD_COUNT];
    int handState[FOOD_COUNT];
    int handSize;
    int held, lastThrown;
    GameState state;
};

// The bison's pose now.
BisonPose bisonPose();
// Puts the bison in a pose taken earlier.
void setBisonPose(const BisonPose &p);
// The game's state now.
Snapshot save();
// Puts the game back in a state taken earlier, with no bomb, flash, recording, pick or key under
// way.
void restore(const Snapshot &s);
