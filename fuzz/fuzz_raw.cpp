// Fuzzes the raw grass loader: any stream, short or long, on the real GL.
#include "assets/assets.h"
#include "gl_context.h"

#include <GL/gl.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    makeFuzzContext();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FILE *file = fopen(memoryFile(data, size), "rb");
    if (!file) abort();
    GLuint name = loadRAW(file);
    if (name == 0) abort();
    glDeleteTextures(1, &name);
    return 0;
}
