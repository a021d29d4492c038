#include "food/food.h"

#include "assets/assets.h"

#include <cmath>
#include <cstring>

Food *foods[FOOD_COUNT];

// Kind names and the texture files they wear, in FoodKind order. The file does not always match
// the kind: a bomb looks like a marble, and a marble shows the room.
static const struct {
    const char *name;
    const char *textureFile;
} KINDS[KIND_NONE] = {
    {"orange", "tex/orange.tga"}, {"apple", "tex/apple.tga"},  {"bomb", "tex/marble.tga"},
    {"marble", "tex/room.tga"},   {"cloud", "tex/clouds.tga"},
};

FoodKind foodKind(const char *name) {
    if (!name) return KIND_NONE;
    for (int kind = 0; kind < KIND_NONE; kind++)
        if (strcmp(name, KINDS[kind].name) == 0) return FoodKind(kind);
    return KIND_NONE;
}

const char *foodTextureFile(const char *name) {
    FoodKind kind = foodKind(name);
    return kind == KIND_NONE ? nullptr : KINDS[kind].textureFile;
}

Food::Food(const char *kind, float homeX, float homeZ)
    : state(FOOD_HOME), groundTimer(FOOD_GROUND_FRAMES), name(kind), radius(1.0f),
      texture(0), position{0.0f, FOOD_HOME_HEIGHT, 0.0f}, home{homeX, FOOD_HOME_HEIGHT, homeZ},
      direction{0.0f, 0.0f, 0.0f}, speed{0.0f, 0.0f, 0.0f}, touchingBody(false) {
    const char *file = foodTextureFile(kind);
    if (file) texture = loadTGA(file);
}

void Food::launch(float yaw, float pitch) {
    direction.x = float(std::sin(double(yaw)));
    direction.z = -float(std::cos(double(yaw)));
    direction.y = pitch;
    state = FOOD_FLYING;
    // A new throw is a new contact, wherever the last one ended.
    touchingBody = false;
    speed.x = FOOD_THROW_SPEED;
    speed.z = FOOD_THROW_SPEED;
    speed.y = float(double(pitch) * FOOD_THROW_RISE + FOOD_THROW_LIFT);
}

void Food::update() {
    if (position.y <= FOOD_GROUND_LEVEL || position.y > FOOD_CEILING) {
        // Lying: the timer is refilled only when it runs out, so a food picked up or sent home
        // early lies only for what is left of it next time.
        position.y = float(FOOD_LYING_HEIGHT);
        groundTimer -= 1;
        if (groundTimer < 1) {
            state = FOOD_HOME;
            groundTimer = FOOD_GROUND_FRAMES;
        }
        return;
    }
    speed.y = float(double(speed.y) - FOOD_GRAVITY);
    position.x = float(double(position.x) + double(speed.x) * double(direction.x));
    position.y = float(double(position.y) + double(speed.y));
    position.z = float(double(position.z) + double(speed.z) * double(direction.z));
}
