// The textured sphere a GLU quadric draws, worked out once into vertex arrays: the foods wear it,
// and so does the bison's tail tuft.
#pragma once

// Slices and stacks of a food's sphere.
const int FOOD_SLICES = 20;
const int FOOD_STACKS = 10;
// Floats per vertex of a food sphere: texture s, t; normal x, y, z; position x, y, z.
const int SPHERE_VERTEX_FLOATS = 8;
// Vertices of one stack's quad strip.
const int SPHERE_STRIP_VERTICES = 2 * (FOOD_SLICES + 1);
// The textured sphere a quadric draws with gluSphere(radius, FOOD_SLICES, FOOD_STACKS), as one
// quad strip per stack from the +z pole down, vertices interleaved as SPHERE_VERTEX_FLOATS.
void foodSphere(double radius,
                float vertices[FOOD_STACKS][SPHERE_STRIP_VERTICES * SPHERE_VERTEX_FLOATS]);
// Draws a sphere made by foodSphere from client-side arrays, with whatever texture is bound, and
// leaves the current normal and texture coordinate where gluSphere would.
void drawQuadricSphere(
    const float vertices[FOOD_STACKS][SPHERE_STRIP_VERTICES * SPHERE_VERTEX_FLOATS]);
