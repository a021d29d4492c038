// Texture loading: image files to OpenGL texture objects. Name 0 means no texture.
#pragma once

#include <cstddef>
#include <cstdio>
#include <vector>

// A decoded picture, rows in file order, RGB or RGBA bytes.
struct Image {
    int width = 0;
    int height = 0;
    int bytesPerPixel = 0; // 3 or 4
    std::vector<unsigned char> pixels;
};

// Side of the one raw picture, the grass (pixels).
const int RAW_SIDE = 256;
// Byte count of a raw picture: 256 x 256 RGB.
const size_t RAW_BYTES = size_t(RAW_SIDE) * RAW_SIDE * 3;

// Decodes an uncompressed true-colour TGA (24 or 32 bits) from an open stream; false when the
// file is rejected. maxSide rejects pictures wider or taller than the GL can take.
bool decodeTGA(FILE *file, int maxSide, Image &image);
// Uploads a decoded picture into a new texture with linear filters; returns its name.
unsigned int uploadTexture(const Image &image);
// Uploads a decoded picture into the existing texture name, replacing its image; leaves it bound.
void uploadTextureInto(unsigned int name, const Image &image);
// Decodes a TGA file by path, within the GL's texture size; false when it cannot be opened or is
// rejected.
bool readTGA(const char *path, Image &image);

// A new texture from a TGA file, or 0 when it cannot be opened or is rejected.
unsigned int loadTGA(const char *path);
// A new mipmapped texture from a raw 256 x 256 RGB stream, which it closes.
unsigned int loadRAW(FILE *file);
