// Texture loading: image files to OpenGL texture objects. Name 0 means no texture.
#pragma once

#include <cstddef>
#include <cstdio>

// A decoded picture, rows in file order, RGB or RGBA bytes (or the file's BGR or BGRA when
// fileOrder is set); pixels is malloc'ed, see freeImage.
struct Image {
    int width = 0;
    int height = 0;
    int bytesPerPixel = 0;           // 3 or 4
    bool fileOrder = false;          // each pixel's bytes as the file stores them: B G R (A)
    unsigned char *pixels = nullptr; // width x height x bytesPerPixel bytes
};

// Side of the one raw picture, the grass (pixels).
const int RAW_SIDE = 256;
// Byte count of a raw picture: 256 x 256 RGB.
const size_t RAW_BYTES = size_t(RAW_SIDE) * RAW_SIDE * 3;

// Decodes an uncompressed true-colour TGA (24 or 32 bits) from an open stream; false when the
// file is rejected, the pixels cannot be allocated, or the file is short. maxSide rejects
// pictures wider or taller than the GL can take. The caller closes the stream. The pixels come as
// R G B (A), or, with inFileOrder, as the file stores them, B G R (A), which the GL can take as
// they are.
bool decodeTGA(FILE *file, int maxSide, Image &image, bool inFileOrder = false);
// Releases the pixels of a decoded picture.
void freeImage(Image &image);
// Uploads a decoded picture into a new texture with linear filters; returns its name.
unsigned int uploadTexture(const Image &image);
// Uploads a decoded picture into the existing texture name, replacing its image; leaves it bound.
// The texture is GL_RGB or GL_RGBA whichever order the picture's bytes are in.
void uploadTextureInto(unsigned int name, const Image &image);
// Decodes a TGA file by path, within the GL's texture size, its pixels in file order; false when
// it cannot be opened or is rejected.
bool readTGA(const char *path, Image &image);

// Opens path for reading ("rb") only when it is a regular file; nullptr otherwise.
FILE *openRegularFile(const char *path);
// A new texture from a TGA file, or 0 when it cannot be opened or is rejected.
unsigned int loadTGA(const char *path);
// The mean colour of a raw picture (RAW_BYTES of R G B), as floats 0..1 with alpha 1.
void averageColour(const unsigned char *pixels, float rgba[4]);
// A new mipmapped texture from a raw 256 x 256 RGB stream, which it closes in every case; what a
// short file lacks is black. 0 only when its buffer cannot be allocated.
unsigned int loadRAW(FILE *file);
