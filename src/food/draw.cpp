#include "food/food.h"

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

// The quadric's textured sphere from a display list (arrays, not one begin/end pair at a time:
// that would cost memory in every selection frame with Mesa's software renderer). Every food has
// the same radius, so one list serves them all.
static void drawTexturedSphere(int radius, unsigned int texture) {
    unsigned int list = quadricSphereList(radius);
    glPushMatrix();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glCallList(list);
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}

void drawPlacedFood(const Food *food, int index) {
    drawFoodAt(food, index, food->position);
}

void drawFoodAt(const Food *food, int index, Vector3 place) {
    glPushMatrix();
    glPushName(GLuint(index));
    glTranslatef(place.x, place.y, place.z);
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

void drawFoods() {
    Vector3 point = heldPoint();
    // The hand from its top down, then every other food: each exactly once, so a flying food
    // moves exactly once a frame.
    for (int k = handCount; k >= 1; k--) drawFood(point, foods[hand[k - 1]], hand[k - 1]);
    for (int i = 0; i < FOOD_COUNT; i++)
        if (!inHand(i)) drawFood(point, foods[i], i);
}
