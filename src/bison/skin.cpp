// The skin: one texture name for the bison's whole life, so the compiled body, which binds the
// name it was compiled with, always shows the same skin as the tail drawn every frame.
#include "bison/bison.h"

#include "assets/assets.h"

#include <GL/gl.h>

Bison::~Bison() {
    // texture is either skinName or 0, so this frees the skin in every case.
    glDeleteTextures(1, &skinName);
}

void Bison::loadSkin(const char *path) {
    if (skinName == 0) glGenTextures(1, &skinName);
    Image image;
    if (readTGA(path, image)) {
        uploadTextureInto(skinName, image);
        freeImage(image);
        texture = skinName;
        return;
    }
    // A bad file leaves the name without an image: bound, it textures nothing, so the body shows
    // its colours just as the tail does with texture 0.
    glBindTexture(GL_TEXTURE_2D, skinName);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 0, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    texture = 0;
}

void Bison::toggleSkin() {
    lava = !lava;
    loadSkin(lava ? LAVA_SKIN_PATH : FUR_SKIN_PATH);
}
