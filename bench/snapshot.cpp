// Taking and putting back the game's changing state.
#include "snapshot.h"

#include "bison/bison.h"
#include "capture/capture.h"
#include "game_headers.h"
#include "input/input.h"

#include <cstring>

BisonPose bisonPose() {
    const Bison &b = *bison;
    return {b.position,     b.baseAngle,   b.heading,   b.targetHeading, b.dirX,
            b.dirZ,         b.stepCount,   b.legLength, b.speed,         b.wandering,
            b.turnPositive, b.nodLowering, b.nodAngle,  b.nodCount,      b.wantedNods};
}

void setBisonPose(const BisonPose &p) {
    Bison &b = *bison;
    b.position = p.position;
    b.baseAngle = p.baseAngle;
    b.heading = p.heading;
    b.targetHeading = p.targetHeading;
    b.dirX = p.dirX;
    b.dirZ = p.dirZ;
    b.stepCount = p.stepCount;
    b.legLength = p.legLength;
    b.speed = p.speed;
    b.wandering = p.wandering;
    b.turnPositive = p.turnPositive;
    b.nodLowering = p.nodLowering;
    b.nodAngle = p.nodAngle;
    b.nodCount = p.nodCount;
    b.wantedNods = p.wantedNods;
}

Snapshot save() {
    Snapshot s;
    s.camera = *camera;
    s.bison = bisonPose();
    for (int i = 0; i < FOOD_COUNT; i++) {
        const Food &f = *foods[i];
        s.foodMotion[i] = {f.state, f.groundTimer, f.position, f.direction, f.speed};
    }
    memcpy(s.handState, hand, sizeof hand);
    s.handSize = handCount;
    s.held = heldIndex;
    s.lastThrown = lastThrownIndex;
    s.state = gameState;
    return s;
}

void restore(const Snapshot &s) {
    *camera = s.camera;
    setBisonPose(s.bison);
    for (int i = 0; i < FOOD_COUNT; i++) {
        Food &f = *foods[i];
        const FoodMotion &m = s.foodMotion[i];
        f.state = m.state;
        f.groundTimer = m.groundTimer;
        f.position = m.position;
        f.direction = m.direction;
        f.speed = m.speed;
    }
    memcpy(hand, s.handState, sizeof hand);
    handCount = s.handSize;
    holding = handCount > 0;
    heldIndex = s.held;
    lastThrownIndex = s.lastThrown;
    gameState = s.state;
    bombLaunch = bombFalling = flashActive = false;
    bombFirstFall = true;
    flashRadius = 0;
    recording = false;
    pickPending = false;
    memset(keyDown, 0, sizeof keyDown);
}
