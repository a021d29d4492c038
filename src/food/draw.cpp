#include "food/food.h"

#include "camera/camera.h"

#include <GL/gl.h>
#include <GL/glu.h>

// Slices and stacks of a food's sphere.
static const int FOOD_SLICES = 20;
static const int FOOD_STACKS = 10;

// Puts the food where its state says; a flying food takes its one flight step of the frame.
static void placeFood(Vector3 point, Food *food) {
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

static void drawTexturedSphere(int radius, unsigned int texture) {
    GLUquadric *quadric = gluNewQuadric();
    glPushMatrix();
    gluQuadricTexture(quadric, GL_TRUE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    gluSphere(quadric, radius, FOOD_SLICES, FOOD_STACKS);
    gluDeleteQuadric(quadric);
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}

void drawFood(Vector3 point, Food *food, int index) {
    glPushMatrix();
    placeFood(point, food);
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

static bool inHand(int index) {
    for (int k = 0; k < handCount; k++)
        if (hand[k] == index) return true;
    return false;
}

void drawFoods() {
    Vector3 point = {float(double(camera->position.x) + double(camera->direction.x)),
                     float(double(camera->position.y) + double(camera->direction.y)),
                     float(double(camera->position.z) + double(camera->direction.z))};
    // The hand from its top down, then every other food: each exactly once, so a flying food
    // moves exactly once a frame.
    for (int k = handCount; k >= 1; k--) drawFood(point, foods[hand[k - 1]], hand[k - 1]);
    for (int i = 0; i < FOOD_COUNT; i++)
        if (!inHand(i)) drawFood(point, foods[i], i);
}
