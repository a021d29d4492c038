// What really reaches GL: drawing run in feedback mode, read back as polygons in window
// coordinates (and their lit colours).
#pragma once

#include <functional>
#include <vector>

struct FeedbackVertex {
    float x, y, z;    // window coordinates; z is the depth in [0, 1]
    float r, g, b, a; // lit colour; zero unless colours were asked for
};

// One polygon as GL rasterises it (Mesa hands quads over as two triangles).
using FeedbackPolygon = std::vector<FeedbackVertex>;

// Runs draw in GL_FEEDBACK mode (GL_3D, or GL_3D_COLOR when withColor) and returns its polygons.
// Any token other than a polygon fails the calling test.
std::vector<FeedbackPolygon> recordPolygons(const std::function<void()> &draw, bool withColor);

// Rebuilds the quads of a GL_QUADS draw from its triangles (a, b, d), (b, c, d): four vertices per
// quad in the order they were sent. Fails the calling test when the triangles do not pair up.
std::vector<FeedbackVertex> quadVertices(const std::vector<FeedbackPolygon> &polygons);

// Runs reference and then draw, each in GL_FEEDBACK mode (GL_3D_COLOR_TEXTURE, lighting on so
// that normals show in the colours) from the same current normal and texture coordinate, and
// fails the calling test unless both send GL the same words and leave the same current normal
// and texture coordinate, each word within tolerance (0: exactly). For drawing moved from one
// vertex call at a time to vertex arrays.
void expectSameDrawing(const std::function<void()> &reference, const std::function<void()> &draw,
                       float tolerance = 0.0f);
