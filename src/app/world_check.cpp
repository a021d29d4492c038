#include "app/world_check.h"

#include "bison/bison.h"
#include "camera/camera.h"
#include "food/feeding.h"
#include "food/food.h"
#include "food/pick.h"
#include "game.h"
#include "scenery/scenery.h"

#include <cmath>
#include <cstring>

namespace {

// 32-bit FNV-1a over the bytes of each value, in a fixed order: short, fast and good enough to
// tell one world from a nearby one.
struct Hash {
    uint32_t value = 2166136261u;

    void bytes(const void *data, size_t size) {
        const unsigned char *p = static_cast<const unsigned char *>(data);
        for (size_t i = 0; i < size; i++) value = (value ^ p[i]) * 16777619u;
    }
    void word(uint32_t w) { bytes(&w, sizeof w); }
    void number(int n) { word(uint32_t(n)); }
    void flag(bool b) { word(b ? 1u : 0u); }
    void real(float f) {
        uint32_t bits;
        memcpy(&bits, &f, sizeof bits);
        word(bits);
    }
    void point(const Vector3 &v) {
        real(v.x);
        real(v.y);
        real(v.z);
    }
};

} // namespace

uint32_t worldFingerprint() {
    uint32_t hash = 2166136261u;
    for (const Tree *tree : trees) hash = (hash ^ (tree ? tree->pickPrint : 0u)) * 16777619u;
    return hash != 0 ? hash : 1;
}

uint32_t worldChecksum() {
    Hash h;
    h.number(gameState);
    h.number(foodFed);
    if (camera) {
        h.point(camera->position);
        h.real(camera->yaw);
        h.point(camera->direction);
        h.number(camera->moveSign);
    }
    if (bison) {
        const Bison &b = *bison;
        h.flag(b.wandering);
        h.point(b.position);
        h.real(b.baseAngle);
        h.real(b.heading);
        h.real(b.targetHeading);
        h.flag(b.turnPositive);
        h.real(b.dirX);
        h.real(b.dirZ);
        h.real(b.stepCount);
        h.real(b.legLength);
        h.real(b.speed);
        h.real(b.nodAngle);
        h.flag(b.nodLowering);
        h.number(b.nodCount);
        h.number(b.wantedNods);
        h.flag(b.lava);
        h.bytes(b.color, sizeof b.color);
    }
    h.flag(bombLaunch);
    h.flag(bombFalling);
    h.flag(bombFirstFall);
    h.flag(flashActive);
    h.number(flashRadius);
    for (const Food *food : foods) {
        if (!food) continue;
        h.number(food->state);
        h.number(food->groundTimer);
        h.point(food->position);
        h.point(food->direction);
        h.point(food->speed);
        h.flag(food->touchingBody);
    }
    h.number(handCount);
    for (int i = 0; i < handCount && i < FOOD_COUNT; i++) h.number(hand[i]);
    h.flag(holding);
    h.number(heldIndex);
    h.number(lastThrownIndex);
    return h.value;
}

namespace {

bool finite(const Vector3 &v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

std::string text(const Vector3 &v) {
    char line[96];
    snprintf(line, sizeof line, "(%g, %g, %g)", double(v.x), double(v.y), double(v.z));
    return line;
}

double fromCentre(const Vector3 &v) {
    return std::sqrt(double(v.x) * double(v.x) + double(v.z) * double(v.z));
}

void checkCamera(std::vector<std::string> &faults) {
    if (!camera) return;
    const Camera &c = *camera;
    if (!finite(c.position) || !finite(c.direction) || !std::isfinite(c.yaw))
        faults.push_back("the camera is not finite: at " + text(c.position) + ", gaze " +
                         text(c.direction) + ", yaw " + std::to_string(c.yaw));
    // The camera's own test, in its own single precision.
    float squared = float(double(c.position.x) * double(c.position.x) +
                          double(c.position.z) * double(c.position.z));
    if (!(float(std::sqrt(double(squared))) < FENCE_RADIUS))
        faults.push_back("the camera is outside the fence: at " + text(c.position));
}

void checkBison(std::vector<std::string> &faults) {
    if (!bison) return;
    const Bison &b = *bison;
    if (!finite(b.position) || !std::isfinite(b.heading) || !std::isfinite(b.targetHeading) ||
        !std::isfinite(b.baseAngle) || !std::isfinite(b.dirX) || !std::isfinite(b.dirZ) ||
        !std::isfinite(b.speed) || !std::isfinite(b.nodAngle))
        faults.push_back("the bison is not finite: at " + text(b.position) + ", heading " +
                         std::to_string(b.heading));
    else if (!(fromCentre(b.position) < double(FENCE_RADIUS) + double(BISON_FENCE_SLACK)))
        faults.push_back("the bison is outside the fence: at " + text(b.position));
}

void checkFoods(std::vector<std::string> &faults) {
    for (int i = 0; i < FOOD_COUNT; i++) {
        const Food *food = foods[i];
        if (!food) continue;
        std::string name = "food " + std::to_string(i) + " (" + food->name + ")";
        if (food->state != FOOD_HOME && food->state != FOOD_HELD && food->state != FOOD_FLYING)
            faults.push_back(name + " is in no state: " + std::to_string(int(food->state)));
        if (!finite(food->position) || !finite(food->direction) || !finite(food->speed))
            faults.push_back(name + " is not finite: at " + text(food->position) + ", speed " +
                             text(food->speed));
    }
}

void checkHand(std::vector<std::string> &faults) {
    if (handCount < 0 || handCount > FOOD_COUNT) {
        faults.push_back("the hand counts " + std::to_string(handCount) + " foods");
        return;
    }
    bool inTheHand[FOOD_COUNT] = {};
    for (int i = 0; i < handCount; i++) {
        int index = hand[i];
        if (index < 0 || index >= FOOD_COUNT) {
            faults.push_back("the hand holds food " + std::to_string(index) + ", which is none");
            continue;
        }
        if (inTheHand[index])
            faults.push_back("the hand holds food " + std::to_string(index) + " twice");
        inTheHand[index] = true;
    }
    for (int i = 0; i < FOOD_COUNT; i++) {
        if (!foods[i]) continue;
        bool held = foods[i]->state == FOOD_HELD;
        if (held && !inTheHand[i])
            faults.push_back("food " + std::to_string(i) + " is held but not in the hand");
        if (!held && inTheHand[i])
            faults.push_back("food " + std::to_string(i) + " is in the hand but not held");
    }
    if (holding != (handCount > 0))
        faults.push_back(std::string("the hand is ") + (holding ? "" : "not ") + "holding with " +
                         std::to_string(handCount) + " foods in it");
    int top = handCount > 0 ? hand[handCount - 1] : -1;
    if (heldIndex != top)
        faults.push_back("the food on top is " + std::to_string(heldIndex) + ", the hand's top " +
                         std::to_string(top));
    if (lastThrownIndex < -1 || lastThrownIndex >= FOOD_COUNT)
        faults.push_back("the last thrown food is " + std::to_string(lastThrownIndex));
}

void checkScore(std::vector<std::string> &faults) {
    // One hit a frame, and the outcome is decided at the start of the next: the score reaches
    // 10 or -10 before it can pass it, and only a won or lost game goes on scoring beyond.
    bool decided = gameState == STATE_WON || gameState == STATE_LOST;
    if (!decided && (foodFed > WIN_SCORE || foodFed < LOSE_SCORE))
        faults.push_back("the score is " + std::to_string(foodFed) +
                         " in a game neither won nor lost");
}

} // namespace

std::vector<std::string> worldInvariantFaults() {
    std::vector<std::string> faults;
    checkCamera(faults);
    checkBison(faults);
    checkFoods(faults);
    checkHand(faults);
    checkScore(faults);
    return faults;
}
