#include "food/food.h"

#include "camera/camera.h"
#include "food/pick.h"
#include "mesh/sphere.h"

#include <GL/gl.h>

void placeFood(Vector3 point, Food *food) {
    switch (food->state) {
    case FOOD_HOME:
        food->position = food->home;
        break;
    case FOOD_HELD:
        food->position = {point.x, float(double(point.y) - FOOD_HELD_DROP), point.z};
        break;
    case FOOD_FLYING:
        food->update();
        break;
    }
}

// The quadric's textured sphere, drawn from client-side arrays: drawn one begin/end pair at a
// time, it would cost memory in every selection frame with Mesa's software renderer. Every food
// has the same radius, so its vertices are worked out once and kept until a radius differs; the
// stacks' strips go to GL in one call.
static void drawTexturedSphere(int radius, unsigned int texture) {
    static float vertices[FOOD_STACKS][SPHERE_STRIP_VERTICES * SPHERE_VERTEX_FLOATS];
    static int verticesRadius = 0;
    static bool made = false;
    if (!made || verticesRadius != radius) {
        foodSphere(radius, vertices);
        verticesRadius = radius;
        made = true;
    }
    glPushMatrix();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    drawQuadricSphere(vertices);
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}

void drawPlacedFood(const Food *food, int index) {
    glPushMatrix();
    glPushName(GLuint(index));
    glTranslatef(food->position.x, food->position.y, food->position.z);
    glScalef(FOOD_DRAW_SCALE, FOOD_DRAW_SCALE, FOOD_DRAW_SCALE);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    // The drawn sphere has the whole part of the collision radius.
    drawTexturedSphere(int(food->radius), food->texture);
    glDisable(GL_BLEND);
    glPopName();
    glPopMatrix();
}

void drawFood(Vector3 point, Food *food, int index) {
    placeFood(point, food);
    drawPlacedFood(food, index);
}

Vector3 heldPoint() {
    return {float(double(camera->position.x) + double(camera->direction.x)),
            float(double(camera->position.y) + double(camera->direction.y)),
            float(double(camera->position.z) + double(camera->direction.z))};
}

void drawFoods() {
    Vector3 point = heldPoint();
    // The hand from its top down, then every other food: each exactly once, so a flying food
    // moves exactly once a frame.
    for (int k = handCount; k >= 1; k--) drawFood(point, foods[hand[k - 1]], hand[k - 1]);
    for (int i = 0; i < FOOD_COUNT; i++)
        if (!inHand(i)) drawFood(point, foods[i], i);
}
