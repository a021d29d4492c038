#include "support/feedback.h"

#include <GL/gl.h>
#include <algorithm>
#include <gtest/gtest.h>

std::vector<FeedbackPolygon> recordPolygons(const std::function<void()> &draw, bool withColor) {
    std::vector<GLfloat> buffer(1 << 22);
    glFeedbackBuffer(GLsizei(buffer.size()), withColor ? GL_3D_COLOR : GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    GLint used = glRenderMode(GL_RENDER);
    std::vector<FeedbackPolygon> polygons;
    EXPECT_GE(used, 0) << "feedback buffer overflow";
    int perVertex = withColor ? 7 : 3;
    for (GLint i = 0; i < used;) {
        if (GLint(buffer[i]) != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "unexpected feedback token " << buffer[i];
            break;
        }
        int count = int(buffer[i + 1]);
        i += 2;
        FeedbackPolygon polygon;
        for (int k = 0; k < count; k++, i += perVertex) {
            FeedbackVertex v{buffer[i], buffer[i + 1], buffer[i + 2], 0, 0, 0, 0};
            if (withColor) {
                v.r = buffer[i + 3];
                v.g = buffer[i + 4];
                v.b = buffer[i + 5];
                v.a = buffer[i + 6];
            }
            polygon.push_back(v);
        }
        polygons.push_back(polygon);
    }
    return polygons;
}

static bool same(const FeedbackVertex &p, const FeedbackVertex &q) {
    return p.x == q.x && p.y == q.y && p.z == q.z;
}

std::vector<FeedbackVertex> quadVertices(const std::vector<FeedbackPolygon> &polygons) {
    std::vector<FeedbackVertex> vertices;
    for (size_t i = 0; i < polygons.size(); i++) {
        const FeedbackPolygon &first = polygons[i];
        if (first.size() == 4) { // a GL that keeps quads whole
            vertices.insert(vertices.end(), first.begin(), first.end());
            continue;
        }
        if (first.size() != 3 || i + 1 == polygons.size() || polygons[i + 1].size() != 3 ||
            !same(first[1], polygons[i + 1][0]) || !same(first[2], polygons[i + 1][2])) {
            ADD_FAILURE() << "polygon " << i << " does not start a quad";
            return vertices;
        }
        const FeedbackPolygon &second = polygons[++i];
        vertices.push_back(first[0]);
        vertices.push_back(first[1]);
        vertices.push_back(second[1]);
        vertices.push_back(first[2]);
    }
    return vertices;
}

namespace {

struct Drawing {
    std::vector<GLfloat> words;
    GLfloat normal[4];
    GLfloat coordinate[4];
};

Drawing recordDrawing(const std::function<void()> &draw) {
    Drawing drawing;
    drawing.words.resize(1 << 20);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_NORMALIZE);
    glColor3f(0.3f, 0.6f, 0.9f);
    // An odd normal and texture coordinate, so that one left behind or taken from before shows.
    glNormal3f(0.2f, -0.7f, 0.4f);
    glTexCoord2f(0.35f, 0.65f);
    glFeedbackBuffer(GLsizei(drawing.words.size()), GL_3D_COLOR_TEXTURE, drawing.words.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    GLint used = glRenderMode(GL_RENDER);
    glGetFloatv(GL_CURRENT_NORMAL, drawing.normal);
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, drawing.coordinate);
    glPopAttrib();
    EXPECT_GE(used, 0) << "feedback buffer overflow";
    drawing.words.resize(size_t(std::max(used, 0)));
    return drawing;
}

} // namespace

void expectSameDrawing(const std::function<void()> &reference, const std::function<void()> &draw,
                       float tolerance) {
    Drawing expected = recordDrawing(reference);
    Drawing drawn = recordDrawing(draw);
    EXPECT_FALSE(expected.words.empty()) << "the reference drew nothing in view";
    ASSERT_EQ(drawn.words.size(), expected.words.size());
    for (size_t i = 0; i < drawn.words.size(); i++)
        ASSERT_NEAR(drawn.words[i], expected.words[i], tolerance) << "word " << i;
    for (int k = 0; k < 3; k++)
        EXPECT_NEAR(drawn.normal[k], expected.normal[k], tolerance) << "normal " << k;
    for (int k = 0; k < 4; k++)
        EXPECT_NEAR(drawn.coordinate[k], expected.coordinate[k], tolerance)
            << "texture coordinate " << k;
}
