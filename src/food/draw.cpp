#include "food/food.h"

#include "camera/camera.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>
#include <initializer_list>

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

void foodSphere(double radius,
                float vertices[FOOD_STACKS][SPHERE_STRIP_VERTICES * SPHERE_VERTEX_FLOATS]) {
    // The quadric's own tables: angles stored as floats, sines and cosines of them as floats,
    // the poles exactly on the axis.
    float sliceSin[FOOD_SLICES + 1], sliceCos[FOOD_SLICES + 1];
    for (int i = 0; i < FOOD_SLICES; i++) {
        float angle = float(2 * PI_D * i / FOOD_SLICES);
        sliceSin[i] = float(std::sin(double(angle)));
        sliceCos[i] = float(std::cos(double(angle)));
    }
    sliceSin[FOOD_SLICES] = sliceSin[0];
    sliceCos[FOOD_SLICES] = sliceCos[0];
    float ringSin[FOOD_STACKS + 1], ringCos[FOOD_STACKS + 1];
    float normalSin[FOOD_STACKS + 1], normalCos[FOOD_STACKS + 1];
    for (int j = 0; j <= FOOD_STACKS; j++) {
        float angle = float(PI_D * j / FOOD_STACKS);
        normalSin[j] = float(std::sin(double(angle)));
        normalCos[j] = float(std::cos(double(angle)));
        ringSin[j] = float(radius * std::sin(double(angle)));
        ringCos[j] = float(radius * std::cos(double(angle)));
    }
    ringSin[0] = ringSin[FOOD_STACKS] = 0.0f;
    normalSin[0] = normalSin[FOOD_STACKS] = 0.0f;

    for (int j = 0; j < FOOD_STACKS; j++) {
        float *v = vertices[j];
        for (int i = 0; i <= FOOD_SLICES; i++) {
            float s = 1.0f - float(i) / FOOD_SLICES;
            // The upper ring (j + 1), then the lower ring (j), as the quadric emits them.
            for (int ring : {j + 1, j}) {
                *v++ = s;
                *v++ = 1.0f - float(ring) / FOOD_STACKS;
                *v++ = sliceSin[i] * normalSin[ring];
                *v++ = sliceCos[i] * normalSin[ring];
                *v++ = normalCos[ring];
                *v++ = ringSin[ring] * sliceSin[i];
                *v++ = ringSin[ring] * sliceCos[i];
                *v++ = ringCos[ring];
            }
        }
    }
}

void drawQuadricSphere(
    const float vertices[FOOD_STACKS][SPHERE_STRIP_VERTICES * SPHERE_VERTEX_FLOATS]) {
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glInterleavedArrays(GL_T2F_N3F_V3F, 0, vertices);
    // One strip per stack. (Windows' GL 1.1 library has no glMultiDrawArrays to do it in one.)
    for (int stack = 0; stack < FOOD_STACKS; stack++)
        glDrawArrays(GL_QUAD_STRIP, stack * SPHERE_STRIP_VERTICES, SPHERE_STRIP_VERTICES);
    glPopClientAttrib();
    // Arrays leave the current normal and texture coordinate alone; the quadric leaves those of
    // its last vertex, and whatever is drawn next without its own (the next frame's text) sees
    // them.
    const float *last =
        &vertices[FOOD_STACKS - 1][(SPHERE_STRIP_VERTICES - 1) * SPHERE_VERTEX_FLOATS];
    glTexCoord2f(last[0], last[1]);
    glNormal3f(last[2], last[3], last[4]);
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
