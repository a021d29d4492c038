#include "mesh/sphere.h"

#include "types.h"

#include <GL/gl.h>
#include <cmath>
#include <initializer_list>

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
