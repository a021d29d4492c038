// Textures from picture bytes: decoding TGA and raw files, and uploading what they hold to
// OpenGL texture objects. Name 0 means no texture.
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

// Why a TGA file is refused; TGA_TAKEN when it is not.
enum TgaRefusal {
    TGA_TAKEN = 0,
    TGA_CUT_HEADER,      // shorter than the 18-byte header
    TGA_COMPRESSED,      // run-length encoded (image types 9, 10, 11)
    TGA_COLOUR_MAPPED,   // image type 1, or a colour map beside true colour
    TGA_GREY,            // image type 3
    TGA_NOT_TRUE_COLOUR, // any other image type
    TGA_IMAGE_ID,        // an image ID field follows the header
    TGA_FIELDS_SET,      // colour-map fields or origin not zero
    TGA_NO_PIXELS,       // width or height 0
    TGA_BITS,            // neither 24 nor 32 bits per pixel
    TGA_TOO_LARGE,       // a side beyond what the GL takes, or more than 2^32 - 1 bytes
    TGA_SHORT_DATA,      // fewer pixel bytes than the header says
    TGA_NO_MEMORY,       // the pixels cannot be allocated
};
// What a refusal means, in words for the player: "run-length compressed", ...
const char *tgaRefusalText(TgaRefusal refusal);
// Judges the first 12 bytes of a TGA file: TGA_TAKEN or why they are refused.
TgaRefusal judgeTGAPattern(const unsigned char pattern[12]);
// Judges the 6 bytes after them (sizes, bits, descriptor) against the GL's largest side.
TgaRefusal judgeTGASizes(const unsigned char sizes[6], int maxSide);

// Decodes an uncompressed true-colour TGA (24 or 32 bits) from an open stream; false when the
// file is rejected, the pixels cannot be allocated, or the file is short, and then *refusal (when
// given) says why. maxSide rejects pictures wider or taller than the GL can take. The caller
// closes the stream. The pixels come as R G B (A), or, with inFileOrder, as the file stores them,
// B G R (A), which the GL can take as they are.
bool decodeTGA(FILE *file, int maxSide, Image &image, bool inFileOrder = false,
               TgaRefusal *refusal = nullptr);
// Releases the pixels of a decoded picture.
void freeImage(Image &image);
// Uploads a decoded picture into a new texture with linear filters; returns its name.
unsigned int uploadTexture(const Image &image);
// Uploads a decoded picture into the existing texture name, replacing its image; leaves it bound.
// The texture is GL_RGB or GL_RGBA whichever order the picture's bytes are in.
void uploadTextureInto(unsigned int name, const Image &image);
// The mean colour of a raw picture (RAW_BYTES of R G B), as floats 0..1 with alpha 1.
void averageColour(const unsigned char *pixels, float rgba[4]);
// A new mipmapped texture from a raw 256 x 256 RGB stream, which it closes in every case; what a
// short file lacks is black. 0 only when its buffer cannot be allocated.
unsigned int loadRAW(FILE *file);
