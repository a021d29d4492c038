#include "food/feeding.h"

#include "bison/bison.h"
#include "sound/sound.h"
#include "game.h"

#include <GL/freeglut.h>
#include <cmath>
#include <cstdio>

bool bombLaunch = false;
bool bombFalling = false;
bool bombFirstFall = true;
bool flashActive = false;
int flashRadius = 0;
bool showSpheres = false;

void resetFeeding() {
    bombLaunch = false;
    bombFalling = false;
    bombFirstFall = true;
    flashActive = false;
    flashRadius = 0;
    showSpheres = false;
}

// Entries 3 and 4 are the same sphere.
const CollisionSphere collisionSpheres[SPHERE_COUNT] = {
    {{0.28f, 0.06f, 0.0f}, 0.77f},   {{-0.97f, 0.06f, 0.0f}, 1.0f},
    {{-1.97f, 0.06f, 0.0f}, 1.13f},  {{-2.82f, -0.04f, 0.0f}, 0.93f},
    {{-2.82f, -0.04f, 0.0f}, 0.93f},
};

// Tints a hit leaves on the bison (red, green, blue).
static const unsigned char ORANGE_TINT[3] = {255, 255, 100};
// An apple gives back the bison's first colour.
static const unsigned char *const APPLE_TINT = BISON_BASE_COLOR;
static const unsigned char BOMB_TINT[3] = {140, 140, 85};

// Slices and stacks of the flash and of the displayed collision spheres.
static const int FLASH_SLICES = 10;
static const int FLASH_STACKS = 20;
static const int SPHERE_SLICES = 20;
static const int SPHERE_STACKS = 20;

Vector3 sphereCentre(int entry, Vector3 position, float heading) {
    // The same turn about y as the display's glRotatef, so the spheres tested are the spheres
    // drawn around the animal whichever way it faces.
    double c = double(float(std::cos(double(heading))));
    double s = double(float(std::sin(double(heading))));
    const Vector3 &offset = collisionSpheres[entry].offset;
    double x = double(offset.x) * c + double(offset.z) * s;
    double z = -double(offset.x) * s + double(offset.z) * c;
    return {float(double(position.x) + x), float(double(position.y) + double(offset.y)),
            float(double(position.z) + z)};
}

float distanceBetween(Vector3 a, Vector3 b) {
    float dx = float(double(a.x) - double(b.x));
    float dy = float(double(a.y) - double(b.y));
    float dz = float(double(a.z) - double(b.z));
    float sum = float(double(dx) * double(dx) + double(dy) * double(dy) + double(dz) * double(dz));
    return float(std::sqrt(double(sum)));
}

static void tint(const unsigned char colour[3]) {
    for (int i = 0; i < 3; i++) bison->color[i] = colour[i];
}

void headEffect(const Food *food) {
    switch (foodKind(food->name)) {
    case KIND_ORANGE:
        foodFed += 1;
        tint(ORANGE_TINT);
        playAt(SOUND_MUNCH, food->position);
        break;
    case KIND_APPLE:
        foodFed += 1;
        tint(APPLE_TINT);
        playAt(SOUND_MUNCH, food->position);
        break;
    case KIND_BOMB:
        // A bomb during a launch costs its point and restarts the flash, not the launch.
        foodFed -= 1;
        bombLaunch = true;
        flashRadius = FLASH_START_RADIUS;
        tint(BOMB_TINT);
        playAt(SOUND_BLAST, bison->position);
        break;
    case KIND_MARBLE:
        bison->position.y = BISON_STAND_HEIGHT;
        bison->toggleSkin();
        playAt(SOUND_SHIMMER, bison->position);
        break;
    case KIND_CLOUD:
        bison->position.y = float(double(bison->position.y) + CLOUD_LIFT);
        playAt(SOUND_LIFT, bison->position);
        break;
    case KIND_NONE:
        break;
    }
}

void bodyEffect(const Food *food) {
    playAt(SOUND_THUD, food->position);
    FoodKind kind = foodKind(food->name);
    // Only food that feeds needs the mouth; the rest act wherever they strike.
    if (kind == KIND_ORANGE || kind == KIND_APPLE) return;
    headEffect(food);
}

void checkFeeding(Food *food) {
    Vector3 p = food->position;
    Vector3 head = sphereCentre(0, bison->position, bison->heading);
    float reach = float(double(food->radius) + double(collisionSpheres[0].radius));
    float dist = distanceBetween(p, head);
    printf("check head collision cr: %f, dist: %f\n", reach, dist);
    if (dist <= reach) {
        printf("head collide\n");
        bison->wantedNods = NOD_HIT_REQUEST;
        bison->nodCount = 0;
        food->state = FOOD_HOME;
        headEffect(food);
        return;
    }
    for (int i = 0; i < SPHERE_COUNT - 1; i++) {
        Vector3 centre = sphereCentre(i + 1, bison->position, bison->heading);
        reach = float(double(collisionSpheres[i + 1].radius) + double(food->radius));
        if (distanceBetween(p, centre) <= reach) {
            printf("BODY COLLIDE %d\n", i);
            deflect(centre, p, food);
            // A food stays within reach for a few frames as it glances off, or for as long as it
            // lies against the body: one strike, one effect.
            if (!food->touchingBody) bodyEffect(food);
            food->touchingBody = true;
            return;
        }
    }
    food->touchingBody = false;
}

void deflect(Vector3 centre, Vector3 foodPosition, Food *food) {
    float length = distanceBetween(foodPosition, centre);
    // At the very centre there is no normal to slide along: the food keeps its direction.
    if (length == 0.0f) return;
    float ux = float(double(float(double(foodPosition.x) - double(centre.x))) / double(length));
    float uy = float(double(float(double(foodPosition.y) - double(centre.y))) / double(length));
    float uz = float(double(float(double(foodPosition.z) - double(centre.z))) / double(length));
    Vector3 &d = food->direction;
    float k = float(2.0 * (double(d.x) * ux + double(d.y) * uy + double(d.z) * uz));
    d.x = float(double(d.x) - 0.5 * double(k) * double(ux));
    d.y = float(double(d.y) - 0.5 * double(k) * double(uy));
    d.z = float(double(d.z) - 0.5 * double(k) * double(uz));
}

void updateBombLaunch() {
    if (!bombLaunch) return;
    float &y = bison->position.y;
    if (!bombFalling) {
        bison->wandering = false;
        if (y < BOMB_TOP) {
            y = float(double(y) + BOMB_RISE_STEP);
            return;
        }
        // At the top, exactly 30 included, the return starts in this same frame.
        bombFalling = true;
        playAt(SOUND_FALL, {bison->position.x, BISON_STAND_HEIGHT, bison->position.z});
    }
    if (bombFirstFall) {
        y = BOMB_DROP_HEIGHT;
        bombFirstFall = false;
    }
    if (y < BISON_STAND_HEIGHT) {
        y = float(double(y) + BOMB_RETURN_STEP);
    } else {
        bombLaunch = false;
        bombFalling = false;
        bombFirstFall = true;
        bison->wandering = true;
    }
}

int nextFlashRadius(int radius) {
    return int(double(radius) - 0.01);
}

bool shrinkFlash() {
    if (!bombLaunch && !flashActive) return false;
    flashRadius = nextFlashRadius(flashRadius);
    // It shows this frame at its new radius, 0 included, and ends once below 1.
    flashActive = flashRadius >= 1;
    return true;
}

void drawFlashSphere() {
    drawFlashSphereAt(bison->position, flashRadius);
}

void drawFlashSphereAt(Vector3 place, double radius) {
    glPushMatrix();
    glColor3f(255.0f, 255.0f, 100.0f);
    // The flash stays where the bison stood while it flies.
    glTranslatef(place.x, BISON_STAND_HEIGHT, place.z);
    glutSolidSphere(radius, FLASH_SLICES, FLASH_STACKS);
    glPopMatrix();
}

void drawFlash() {
    if (shrinkFlash()) drawFlashSphere();
}

void drawCollisionSpheres(Vector3 bisonSnapshot) {
    drawCollisionSpheresAt(bisonSnapshot, bison->heading);
}

void drawCollisionSpheresAt(Vector3 place, float heading) {
    glPushMatrix();
    glTranslatef(place.x, place.y, place.z);
    glRotatef(float(double(heading) * RAD_TO_DEG), 0.0f, 1.0f, 0.0f);
    if (showSpheres) {
        for (const CollisionSphere &sphere : collisionSpheres) {
            glPushMatrix();
            glTranslatef(sphere.offset.x, sphere.offset.y, sphere.offset.z);
            glutSolidSphere(sphere.radius, SPHERE_SLICES, SPHERE_STACKS);
            glPopMatrix();
        }
    }
    glPopMatrix();
}
