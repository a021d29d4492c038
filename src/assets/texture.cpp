#include "assets/texture.h"

#include "platform/platform.h"

#include <GL/gl.h>
#include <GL/glext.h> // GL_BGR and GL_BGRA: Windows' own gl.h stops at 1.1
#include <GL/glu.h>
#include <cstdint>
#include <cstdlib>
#include <cstring>

// The first 12 bytes of every TGA we take: no image ID, no colour map, uncompressed
// true-colour, zero colour-map fields and origin. Anything else is rejected.
static const unsigned char TGA_PATTERN[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// Bytes of the file still unread, or -1 when the stream is not a regular file.
static long remainingBytes(FILE *file) {
    long size = regularFileSize(file);
    if (size < 0) return -1;
    long here = ftell(file);
    if (here < 0) return -1;
    return size - here;
}

const char *tgaRefusalText(TgaRefusal refusal) {
    switch (refusal) {
    case TGA_TAKEN:
        return "taken";
    case TGA_CUT_HEADER:
        return "shorter than the 18-byte TGA header";
    case TGA_COMPRESSED:
        return "run-length compressed; only uncompressed TGA is taken";
    case TGA_COLOUR_MAPPED:
        return "colour-mapped; only true-colour TGA is taken";
    case TGA_GREY:
        return "grey-scale; only true-colour TGA is taken";
    case TGA_NOT_TRUE_COLOUR:
        return "not a true-colour TGA image";
    case TGA_IMAGE_ID:
        return "it has an image ID, which is not taken";
    case TGA_FIELDS_SET:
        return "its colour-map or origin fields are not zero";
    case TGA_NO_PIXELS:
        return "its width or height is 0";
    case TGA_BITS:
        return "not 24 or 32 bits per pixel";
    case TGA_TOO_LARGE:
        return "larger than the GL takes";
    case TGA_SHORT_DATA:
        return "shorter than its header says";
    case TGA_NO_MEMORY:
        return "no memory for its pixels";
    }
    return "refused";
}

TgaRefusal judgeTGAPattern(const unsigned char pattern[12]) {
    if (memcmp(pattern, TGA_PATTERN, sizeof TGA_PATTERN) == 0) return TGA_TAKEN;
    // The image type says most about how to save the picture again, so it is told first.
    unsigned char type = pattern[2];
    if (type & 8) return TGA_COMPRESSED;
    if (type == 1) return TGA_COLOUR_MAPPED;
    if (type == 3) return TGA_GREY;
    if (type != 2) return TGA_NOT_TRUE_COLOUR;
    if (pattern[1] != 0) return TGA_COLOUR_MAPPED;
    if (pattern[0] != 0) return TGA_IMAGE_ID;
    return TGA_FIELDS_SET;
}

TgaRefusal judgeTGASizes(const unsigned char sizes[6], int maxSide) {
    int width = sizes[0] + 256 * sizes[1];
    int height = sizes[2] + 256 * sizes[3];
    int bits = sizes[4];
    if (width == 0 || height == 0) return TGA_NO_PIXELS;
    if (bits != 24 && bits != 32) return TGA_BITS;
    if (width > maxSide || height > maxSide) return TGA_TOO_LARGE;
    uint64_t size = uint64_t(bits / 8) * uint64_t(height) * uint64_t(width);
    if (size > UINT32_MAX) return TGA_TOO_LARGE;
    return TGA_TAKEN;
}

static bool refuse(TgaRefusal *refusal, TgaRefusal why) {
    if (refusal) *refusal = why;
    return false;
}

bool decodeTGA(FILE *file, int maxSide, Image &image, bool inFileOrder, TgaRefusal *refusal) {
    if (refusal) *refusal = TGA_TAKEN;
    unsigned char pattern[12];
    if (fread(pattern, 1, sizeof pattern, file) != sizeof pattern)
        return refuse(refusal, TGA_CUT_HEADER);
    TgaRefusal why = judgeTGAPattern(pattern);
    if (why != TGA_TAKEN) return refuse(refusal, why);

    unsigned char header[6];
    if (fread(header, 1, sizeof header, file) != sizeof header)
        return refuse(refusal, TGA_CUT_HEADER);
    why = judgeTGASizes(header, maxSide);
    if (why != TGA_TAKEN) return refuse(refusal, why);
    int width = header[0] + 256 * header[1];
    int height = header[2] + 256 * header[3];
    int bytesPerPixel = header[4] / 8;
    uint64_t size = uint64_t(bytesPerPixel) * uint64_t(height) * uint64_t(width);
    // A file that cannot hold the pixels it declares is rejected before anything is allocated.
    long left = remainingBytes(file);
    if (left >= 0 && uint64_t(left) < size) return refuse(refusal, TGA_SHORT_DATA);

    unsigned char *pixels = static_cast<unsigned char *>(malloc(size_t(size)));
    if (!pixels) return refuse(refusal, TGA_NO_MEMORY);
    if (fread(pixels, 1, size_t(size), file) != size_t(size)) {
        free(pixels);
        return refuse(refusal, TGA_SHORT_DATA);
    }
    // BGR(A) to RGB(A) unless the caller takes the file's order; rows keep file order either way,
    // so the first row becomes t = 0.
    if (!inFileOrder) {
        for (uint64_t i = 0; i < size; i += uint64_t(bytesPerPixel)) {
            unsigned char blue = pixels[i];
            pixels[i] = pixels[i + 2];
            pixels[i + 2] = blue;
        }
    }
    image.width = width;
    image.height = height;
    image.bytesPerPixel = bytesPerPixel;
    image.fileOrder = inFileOrder;
    image.pixels = pixels;
    return true;
}

void freeImage(Image &image) {
    free(image.pixels);
    image.pixels = nullptr;
}

unsigned int uploadTexture(const Image &image) {
    GLuint name = 0;
    glGenTextures(1, &name);
    uploadTextureInto(name, image);
    return name;
}

void uploadTextureInto(unsigned int name, const Image &image) {
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    GLenum format = image.bytesPerPixel == 4 ? GL_RGBA : GL_RGB;
    // Bytes in the file's order are put in place by the GL as it stores them: no pass of our own.
    GLenum order = !image.fileOrder ? format : image.bytesPerPixel == 4 ? GL_BGRA : GL_BGR;
    // Rows are tightly packed whatever their width.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GLint(format), image.width, image.height, 0, order,
                 GL_UNSIGNED_BYTE, image.pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

void averageColour(const unsigned char *pixels, float rgba[4]) {
    unsigned long sum[3] = {0, 0, 0};
    for (size_t i = 0; i < RAW_BYTES; i += 3)
        for (int c = 0; c < 3; c++) sum[c] += pixels[i + size_t(c)];
    const double count = double(RAW_SIDE) * RAW_SIDE * 255.0;
    for (int c = 0; c < 3; c++) rgba[c] = float(double(sum[c]) / count);
    rgba[3] = 1.0f;
}

unsigned int loadRAW(FILE *file) {
    // What a short file lacks stays black.
    unsigned char *pixels = static_cast<unsigned char *>(calloc(RAW_BYTES, 1));
    if (!pixels) {
        fclose(file);
        return 0;
    }
    size_t got = fread(pixels, 1, RAW_BYTES, file);
    (void)got;
    fclose(file);

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    // Sets the texture unit's mode, not the texture's: it holds until the ground replaces it.
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    // GL_CLAMP blends the outermost texels with the border colour; a black border would draw a
    // dark line round every ground tile, the picture's own average colour draws none.
    GLfloat border[4];
    averageColour(pixels, border);
    glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, RAW_SIDE, RAW_SIDE, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    free(pixels);
    return name;
}
