// Placeholder until the bison is built: it stands still and is not drawn.
#include "bison/bison.h"

Bison *bison = nullptr;

Bison::Bison()
    : resolution(30), wandering(true), position{-5.0f, 1.75f, 0.0f}, baseAngle(1.56f), heading(0),
      targetHeading(1.56f), turnPositive(false), dirX(0), dirZ(0), stepCount(0), legLength(0),
      speed(0), nodAngle(160), nodLowering(true), nodCount(0),
      wantedNods(-1), legAngle{25, -12, 25, -12}, tailAngle(35), lava(false),
      texture(0), color{180, 255, 255}, bodyList(0) {}
Bison::~Bison() {}
void Bison::wander() {}
void Bison::turn(float) {}
void Bison::step() {}
void Bison::toggleSkin() {}
void Bison::draw() {}
unsigned int Bison::buildBodyList() {
    return 0;
}
bool nearBison(Vector3) {
    return false;
}
void drawDome(float, int, bool) {}
