// Fuzzes the TGA loader end to end: open, decode, upload, on the real GL.
#include "assets/assets.h"
#include "gl_context.h"

#include <GL/gl.h>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    makeFuzzContext();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    GLuint name = loadTGA(memoryFile(data, size));
    if (name == 0) return 0;
    // A texture made must hold exactly the picture the header declares.
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    if (size < 18 || width != data[12] + 256 * data[13] || height != data[14] + 256 * data[15])
        abort();
    glDeleteTextures(1, &name);
    return 0;
}
