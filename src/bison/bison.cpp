#include "bison/bison.h"

#include "sound/sound.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

Bison *bison = nullptr;
uint32_t bisonSeed = 0;
std::vector<int32_t> *bisonDrawLog = nullptr;
const std::vector<int32_t> *bisonDrawFeed = nullptr;
size_t bisonDrawFed = 0;

void resetBisonDraws(uint32_t seed) {
    bisonDrawLog = nullptr;
    bisonDrawFeed = nullptr;
    bisonDrawFed = 0;
    seedBison(seed);
}

void seedBison(uint32_t seed) {
    bisonSeed = seed;
    srand(unsigned(seed));
}

int bisonDraw() {
    int draw = 0;
    if (bisonDrawFeed && bisonDrawFed < bisonDrawFeed->size())
        draw = int((*bisonDrawFeed)[bisonDrawFed++]);
    else
        draw = rand();
    if (bisonDrawLog) bisonDrawLog->push_back(int32_t(draw));
    return draw;
}

const char *const FUR_SKIN_PATH = "tex/fur.tga";
const char *const LAVA_SKIN_PATH = "tex/lava.tga";

Bison::Bison()
    : resolution(30), wandering(true), position{-5.0f, 1.75f, 0.0f}, baseAngle(1.56f),
      heading(0.0f), targetHeading(1.56f), turnPositive(false), dirX(0.0f), dirZ(0.0f),
      stepCount(0.0f), legLength(0.0f), speed(0.0f), nodAngle(NOD_TOP), nodLowering(true),
      nodCount(0), wantedNods(-1), legAngle{25.0f, -12.0f, 25.0f, -12.0f}, tailAngle(35.0f),
      lava(false), texture(0), color{0, 0, 0}, bodyList(0), skinName(0) {
    updateDirection();
    // The body list captures the skin's texture name and the colour as they are now.
    loadSkin(FUR_SKIN_PATH);
    for (int i = 0; i < 3; i++) color[i] = BISON_BASE_COLOR[i];
    buildBodyList();
    // Seeded from the clock, as ever; --seed seeds again once the world is made.
    seedBison(uint32_t(time(nullptr)));
}

void Bison::updateDirection() {
    float angle = float(double(baseAngle) - double(heading));
    dirX = float(sin(double(angle)));
    dirZ = -float(cos(double(angle)));
}

void Bison::startLeg() {
    printf("set up bison move ");
    // No newline ends the message, so without a flush it would wait for the next line.
    fflush(stdout);
    stepCount = 0.0f;
    int lengthDraw = bisonDraw();
    legLength = float(lengthDraw % LEG_FRAME_RANGE + LEG_MIN_FRAMES);
    int speedDraw = bisonDraw();
    speed = float(double(speedDraw % 10 + 3) / 100.0);
    int targetDraw = bisonDraw();
    targetHeading = float(double(targetDraw % 361) * PI_D / 180.0);
    turnPositive = double(targetHeading) < PI_D;
}

void Bison::steer() {
    double h = double(heading);
    double target = double(targetHeading);
    if (!(h < target - BISON_STEER_WINDOW || h > target + BISON_STEER_WINDOW)) return;
    if (turnPositive) {
        heading = float(h + BISON_STEER_STEP);
        if (double(heading) >= TWO_PI_D) heading = 0.0f;
    } else {
        heading = float(h - BISON_STEER_STEP);
        if (heading <= 0.0f) heading = BISON_STEER_WRAP;
    }
}

void Bison::fenceTurn() {
    heading = float(double(heading) + HALF_PI_D);
    int first = bisonDraw();
    int second = bisonDraw();
    double offset = double(first % 10) / 10.0 + HALF_PI_D - double(second % 10) / 10.0;
    targetHeading = float(double(targetHeading) + offset);
    turnPositive = bisonDraw() % 2 == 1;
}

void Bison::wander() {
    if (legLength <= stepCount) startLeg();
    // The fence is tested one step ahead along last frame's direction.
    float nextX = float(double(position.x) + double(dirX) * double(speed));
    float nextZ = float(double(position.z) + double(dirZ) * double(speed));
    float squared = float(double(nextX) * nextX + double(nextZ) * nextZ);
    float distance = float(sqrt(double(squared)));
    if (distance < FENCE_RADIUS)
        steer();
    else
        fenceTurn();
    updateDirection();
    position.x = float(double(position.x) + double(speed) * double(dirX));
    position.z = float(double(position.z) + double(speed) * double(dirZ));
    stepCount = float(double(stepCount) + 1.0);
    bisonWalked(position, speed); // hooves, and a grunt now and then
}

void Bison::turn(float delta) {
    heading = float(double(heading) + double(delta));
    if (delta > 0.0f && double(heading) >= TWO_PI_D) heading = 0.0f;
    if (delta < 0.0f && heading <= 0.0f) heading = TWO_PI_F;
    updateDirection();
}

void Bison::step() {
    position.x = float(double(position.x) + double(dirX) * double(BISON_STEP));
    position.z = float(double(position.z) + double(dirZ) * double(BISON_STEP));
}

void Bison::nod() {
    if (nodCount >= wantedNods) {
        nodCount = 0;
        wantedNods = -1;
        nodLowering = true;
    } else if (nodLowering) {
        if (nodAngle > NOD_BOTTOM) {
            nodAngle = float(double(nodAngle) - 1.0);
        } else {
            nodLowering = false;
            playAt(SOUND_SNORT, position); // at the bottom of each nod
        }
    } else {
        if (nodAngle < NOD_TOP) {
            nodAngle = float(double(nodAngle) + 1.0);
        } else {
            nodCount += 1;
            nodLowering = true;
        }
    }
}

bool nearBison(Vector3 point) {
    if (!bison) return false;
    float dx = float(double(point.x) - double(bison->position.x));
    float dy = float(double(point.y) - double(bison->position.y));
    float dz = float(double(point.z) - double(bison->position.z));
    float squared = float(double(dx) * dx + double(dy) * dy + double(dz) * dz);
    float distance = float(sqrt(double(squared)));
    return distance < BISON_REACH;
}
