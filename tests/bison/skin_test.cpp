// The skin swap: the compiled body and the tail drawn each frame must wear the same skin.
#include "bison/bison.h"

#include "app/app.h"
#include "camera/camera.h"
#include "support/files.h"
#include "support/gl_env.h"

#include <GL/gl.h>
#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

using Rgb = std::array<unsigned char, 3>;
const Rgb FUR{200, 40, 40};
const Rgb LAVA{40, 40, 200};

// A 4 x 4 picture of one colour as an uncompressed 24-bit TGA.
void writeSolidTGA(const std::string &path, Rgb colour) {
    FILE *file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    const unsigned char header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 4, 0, 24, 0};
    fwrite(header, 1, sizeof header, file);
    for (int i = 0; i < 16; i++) {
        const unsigned char bgr[3] = {colour[2], colour[1], colour[0]};
        fwrite(bgr, 1, 3, file);
    }
    fclose(file);
}

class Skin : public ::testing::Test {
  protected:
    void SetUp() override {
        startWorld();
        dir.reset(new WorkDir("skin"));
        ASSERT_TRUE(makeDir("tex"));
        glReadBuffer(GL_BACK);
    }
    void TearDown() override {
        delete subject;
        dir.reset();
    }
    void makeSkins(bool fur, bool lava) {
        if (fur) writeSolidTGA("tex/fur.tga", FUR);
        if (lava) writeSolidTGA("tex/lava.tga", LAVA);
    }
    // The view of the bison standing at the origin, from its side; textures replace colours as
    // they do once the ground has been drawn.
    void beginFrame() {
        subject->position = {0.0f, 1.75f, 0.0f};
        subject->wandering = false;
        camera->position = {-1.5f, 1.75f, 12.0f};
        camera->direction = {0.0f, 0.0f, -1.0f};
        setProjection();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        camera->look();
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    }
    // The body list alone, in the frames draw sets up for it; returns the name it left bound.
    GLint drawBodyListAlone() {
        beginFrame();
        glPushMatrix();
        glTranslatef(0.0f, 1.75f, 0.0f);
        glScalef(0.25f, 0.25f, 0.25f);
        glPushMatrix();
        glRotatef(290.0f, 0.0f, 0.0f, 1.0f);
        glTranslatef(0.0f, 2.0f, 0.0f);
        glCallList(subject->bodyList);
        glPopMatrix();
        GLint bound = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        return bound;
    }
    // The whole bison; returns the name the tail's tuft left bound.
    GLint drawWholeBison() {
        beginFrame();
        subject->draw();
        GLint bound = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        return bound;
    }
    int pixelsOf(Rgb colour) {
        std::vector<unsigned char> rgb(size_t(windowWidth) * windowHeight * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, windowWidth, windowHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        int count = 0;
        for (size_t i = 0; i < rgb.size(); i += 3)
            if (rgb[i] == colour[0] && rgb[i + 1] == colour[1] && rgb[i + 2] == colour[2]) count++;
        return count;
    }
    // The first texel of a texture's image.
    static Rgb imageOf(GLint name) {
        std::vector<unsigned char> texels(4 * 4 * 3, 0);
        glBindTexture(GL_TEXTURE_2D, GLuint(name));
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
        return {texels[0], texels[1], texels[2]};
    }
    // Every textured piece, of the list and of the tail, shows skin and never other.
    void expectWearing(Rgb skin, Rgb other) {
        GLint listName = drawBodyListAlone();
        EXPECT_GT(pixelsOf(skin), 200);
        EXPECT_EQ(pixelsOf(other), 0);
        EXPECT_EQ(imageOf(listName), skin);
        GLint tailName = drawWholeBison();
        EXPECT_GT(pixelsOf(skin), 200);
        EXPECT_EQ(pixelsOf(other), 0);
        EXPECT_EQ(tailName, GLint(subject->texture));
        EXPECT_EQ(imageOf(tailName), skin);
    }
    // No textured piece shows either skin.
    void expectBare() {
        drawBodyListAlone();
        EXPECT_EQ(pixelsOf(FUR), 0);
        EXPECT_EQ(pixelsOf(LAVA), 0);
        EXPECT_EQ(drawWholeBison(), 0);
        EXPECT_EQ(pixelsOf(FUR), 0);
        EXPECT_EQ(pixelsOf(LAVA), 0);
    }
    std::unique_ptr<WorkDir> dir;
    Bison *subject = nullptr;
};

TEST_F(Skin, EveryTexturedPieceShowsTheCurrentSkinAfterEachSwap) {
    makeSkins(true, true);
    subject = new Bison();
    ASSERT_NE(subject->texture, 0u);
    const unsigned int name = subject->texture;
    for (int swap = 0; swap < 4; swap++) {
        SCOPED_TRACE(swap);
        EXPECT_EQ(subject->lava, swap % 2 == 1);
        if (subject->lava)
            expectWearing(LAVA, FUR);
        else
            expectWearing(FUR, LAVA);
        EXPECT_EQ(subject->texture, name);
        subject->toggleSkin();
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Skin, AMissingSkinLeavesEveryPieceBareUntilTheNextSwap) {
    makeSkins(true, false);
    subject = new Bison();
    expectWearing(FUR, LAVA);
    subject->toggleSkin();
    EXPECT_TRUE(subject->lava);
    EXPECT_EQ(subject->texture, 0u);
    expectBare();
    subject->toggleSkin();
    EXPECT_FALSE(subject->lava);
    EXPECT_NE(subject->texture, 0u);
    expectWearing(FUR, LAVA);
}

TEST_F(Skin, ABisonBornWithoutItsFurTakesTheLavaLater) {
    makeSkins(false, true);
    subject = new Bison();
    EXPECT_EQ(subject->texture, 0u);
    expectBare();
    subject->toggleSkin();
    expectWearing(LAVA, FUR);
}

TEST_F(Skin, WithNoSkinsTheTexturedPiecesShowTheirColours) {
    subject = new Bison();
    EXPECT_EQ(subject->texture, 0u);
    subject->toggleSkin();
    EXPECT_EQ(subject->texture, 0u);
    // The list's textured pieces draw lit in their brown; the tuft in its gold.
    glDisable(GL_LIGHTING);
    drawBodyListAlone();
    EXPECT_GT(pixelsOf({85, 53, 0}), 200);
    drawWholeBison();
    EXPECT_GT(pixelsOf({204, 153, 51}), 10);
    glEnable(GL_LIGHTING);
}

} // namespace
