// The TGA and raw loaders against the files they take and the files they refuse.
#include "assets/assets.h"
#include "build_paths.h"
#include "platform/platform.h"

#include "support/files.h"
#include "support/gl_env.h"

#include <GL/gl.h>
#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>

namespace {

// Pixel bytes numbered 1, 2, 3, ... so every byte's place can be told.
Bytes counting(size_t count) {
    Bytes bytes(count);
    for (size_t i = 0; i < count; i++) bytes[i] = (unsigned char)(i + 1);
    return bytes;
}

// The texture image of level 0 of the bound texture, tightly packed.
Bytes textureImage(GLenum format, int width, int height) {
    int channels = format == GL_RGBA ? 4 : 3;
    Bytes image(size_t(width) * height * channels);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, image.data());
    return image;
}

GLint levelParameter(int level, GLenum name) {
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    return value;
}

GLint textureParameter(GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

GLint boundTexture() {
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return name;
}

// The name the GL would give the next texture; generating it uses it up, so two calls with no
// texture made between them give consecutive names.
GLuint probeName() {
    GLuint name = 0;
    glGenTextures(1, &name);
    return name;
}

class Loader : public ::testing::Test {
  protected:
    WorkDir dir{"loader"};
    GLint maxSide = 0;
    void SetUp() override { glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide); }
};

TEST_F(Loader, TwentyFourBitsLoadAsRgbWithBytesSwappedAndRowsInFileOrder) {
    // Three pixels a row: 9 bytes, not a multiple of 4, so any row padding would show.
    Bytes pixels = counting(3 * 3 * 2);
    ASSERT_TRUE(writeBytes("odd.tga", tgaFile(3, 2, 24, pixels)));
    GLuint name = loadTGA("odd.tga");
    ASSERT_NE(name, 0u);
    EXPECT_EQ(boundTexture(), GLint(name));
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 3);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_HEIGHT), 2);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGB);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(levelParameter(1, GL_TEXTURE_WIDTH), 0); // no mipmaps

    Bytes expected = pixels;
    for (size_t i = 0; i < expected.size(); i += 3) std::swap(expected[i], expected[i + 2]);
    EXPECT_EQ(textureImage(GL_RGB, 3, 2), expected);
    // The first row of the file is texture row t = 0: B G R 1 2 3 arrives as 3 2 1.
    EXPECT_EQ(expected[0], 3);
    EXPECT_EQ(expected[2], 1);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4); // the loader leaves the pixel-store state as it was
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Loader, ThirtyTwoBitsLoadAsRgbaKeepingAlpha) {
    Bytes pixels = {10, 20, 30, 0, 40, 50, 60, 128, 70, 80, 90, 255, 1, 2, 3, 7, 4, 5, 6, 99};
    ASSERT_TRUE(writeBytes("alpha.tga", tgaFile(5, 1, 32, pixels, 8)));
    GLuint name = loadTGA("alpha.tga");
    ASSERT_NE(name, 0u);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
    Bytes expected = {30, 20, 10, 0, 60, 50, 40, 128, 90, 80, 70, 255, 3, 2, 1, 7, 6, 5, 4, 99};
    EXPECT_EQ(textureImage(GL_RGBA, 5, 1), expected);
}

TEST_F(Loader, TrailingBytesAndTheOriginFlagAreNotLookedAt) {
    Bytes pixels = counting(2 * 2 * 3);
    Bytes file = tgaFile(2, 2, 24, pixels, 0x20); // top-left origin flag
    Bytes footer(26, 'F');                        // as a TGA 2.0 footer would be
    file.insert(file.end(), footer.begin(), footer.end());
    ASSERT_TRUE(writeBytes("footer.tga", file));
    GLuint name = loadTGA("footer.tga");
    ASSERT_NE(name, 0u);
    Bytes expected = pixels;
    for (size_t i = 0; i < expected.size(); i += 3) std::swap(expected[i], expected[i + 2]);
    EXPECT_EQ(textureImage(GL_RGB, 2, 2), expected); // rows not reordered by the flag
}

TEST_F(Loader, EveryLoadMakesItsOwnTexture) {
    ASSERT_TRUE(writeBytes("tree.tga", tgaFile(2, 2, 32, counting(16))));
    GLuint names[4];
    for (GLuint &name : names) name = loadTGA("tree.tga");
    for (int i = 0; i < 4; i++) {
        EXPECT_NE(names[i], 0u);
        for (int j = 0; j < i; j++) EXPECT_NE(names[i], names[j]);
    }
}

// Decoded in the file's own byte order, a picture becomes the same texture as decoded to RGB.
TEST_F(Loader, FileOrderPixelsUploadToTheSameTexture) {
    for (int bits : {24, 32}) {
        int channels = bits / 8;
        Bytes pixels = counting(size_t(5) * 3 * size_t(channels));
        ASSERT_TRUE(writeBytes("order.tga", tgaFile(5, 3, bits, pixels)));
        Image asFile, asRgb;
        FILE *file = fopen("order.tga", "rb");
        ASSERT_TRUE(decodeTGA(file, maxSide, asFile, true));
        fclose(file);
        file = fopen("order.tga", "rb");
        ASSERT_TRUE(decodeTGA(file, maxSide, asRgb));
        fclose(file);
        EXPECT_TRUE(asFile.fileOrder);
        EXPECT_FALSE(asRgb.fileOrder);
        EXPECT_EQ(Bytes(asFile.pixels, asFile.pixels + pixels.size()), pixels); // untouched
        GLenum format = bits == 32 ? GL_RGBA : GL_RGB;
        uploadTexture(asFile);
        Bytes fromFileOrder = textureImage(format, 5, 3);
        EXPECT_EQ(levelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), GLint(format));
        uploadTexture(asRgb);
        EXPECT_EQ(fromFileOrder, textureImage(format, 5, 3)) << bits << " bits";
        EXPECT_EQ(fromFileOrder, Bytes(asRgb.pixels, asRgb.pixels + pixels.size()));
        freeImage(asFile);
        freeImage(asRgb);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

struct Rejected {
    const char *why;
    Bytes file;
    TgaRefusal refusal; // what the decoder must say, and the player read on standard error
};

TEST_F(Loader, EveryRejectedFileGivesZeroClosedNoTextureAndItsReason) {
    Bytes good = tgaFile(2, 2, 24, counting(12));
    auto changed = [&](size_t at, unsigned char value) {
        Bytes bytes = good;
        bytes[at] = value;
        return bytes;
    };
    std::vector<Rejected> cases = {
        {"empty", {}, TGA_CUT_HEADER},
        {"11 bytes", Bytes(good.begin(), good.begin() + 11), TGA_CUT_HEADER},
        {"image ID", changed(0, 4), TGA_IMAGE_ID},
        {"colour map", changed(1, 1), TGA_COLOUR_MAPPED},
        {"colour-mapped type", changed(2, 1), TGA_COLOUR_MAPPED},
        {"run-length compressed", changed(2, 10), TGA_COMPRESSED},
        {"compressed grey", changed(2, 11), TGA_COMPRESSED},
        {"grey-scale", changed(2, 3), TGA_GREY},
        {"no image data (type 0)", changed(2, 0), TGA_NOT_TRUE_COLOUR},
        {"colour-map length", changed(5, 1), TGA_FIELDS_SET},
        {"x origin", changed(8, 1), TGA_FIELDS_SET},
        {"y origin", changed(11, 1), TGA_FIELDS_SET},
        {"12 + 5 bytes", Bytes(good.begin(), good.begin() + 17), TGA_CUT_HEADER},
        {"width 0", tgaFile(0, 2, 24, counting(12)), TGA_NO_PIXELS},
        {"height 0", tgaFile(2, 0, 24, counting(12)), TGA_NO_PIXELS},
        {"16 bits", tgaFile(2, 2, 16, counting(12)), TGA_BITS},
        {"8 bits", tgaFile(2, 2, 8, counting(12)), TGA_BITS},
        {"one pixel byte short", Bytes(good.begin(), good.end() - 1), TGA_SHORT_DATA},
        {"no pixels", Bytes(good.begin(), good.begin() + 18), TGA_SHORT_DATA},
        {"32 bits, 24-bit data", tgaFile(2, 2, 32, counting(12)), TGA_SHORT_DATA},
        {"wider than the GL takes", tgaFile(maxSide + 1, 1, 24, counting(size_t(maxSide + 1) * 3)),
         TGA_TOO_LARGE},
        {"taller than the GL takes", tgaFile(1, maxSide + 1, 24, counting(size_t(maxSide + 1) * 3)),
         TGA_TOO_LARGE},
        {"65535 x 65535", tgaFile(65535, 65535, 32, counting(64)), TGA_TOO_LARGE},
    };
    for (const Rejected &rejected : cases) {
        ASSERT_TRUE(writeBytes("bad.tga", rejected.file));
        GLuint before = probeName();
        EXPECT_EQ(loadTGA("bad.tga"), 0u) << rejected.why;
        EXPECT_EQ(probeName(), before + 1) << rejected.why << ": a texture was made";
        EXPECT_FALSE(fileIsOpen("bad.tga")) << rejected.why << ": file left open";

        FILE *file = fopen("bad.tga", "rb");
        ASSERT_NE(file, nullptr);
        Image image;
        TgaRefusal refusal = TGA_TAKEN;
        EXPECT_FALSE(decodeTGA(file, maxSide, image, false, &refusal)) << rejected.why;
        fclose(file);
        EXPECT_EQ(refusal, rejected.refusal)
            << rejected.why << ": said \"" << tgaRefusalText(refusal) << "\"";
    }
    // Sanity: the unchanged file does load, and its decoding says it was taken.
    ASSERT_TRUE(writeBytes("good.tga", good));
    EXPECT_NE(loadTGA("good.tga"), 0u);
    FILE *file = fopen("good.tga", "rb");
    Image image;
    TgaRefusal refusal = TGA_NO_MEMORY;
    EXPECT_TRUE(decodeTGA(file, maxSide, image, false, &refusal));
    EXPECT_EQ(refusal, TGA_TAKEN);
    fclose(file);
    freeImage(image);
}

// The player reads one line a refused picture, naming its path and the reason, however often
// the game loads it (each of the four trees loads tree.tga).
TEST_F(Loader, ARefusedPictureIsToldOnceOnStandardErrorWithItsReason) {
    ASSERT_TRUE(writeBytes("grey.tga", tgaFile(2, 2, 24, counting(12))));
    Bytes grey = readBytes("grey.tga");
    grey[2] = 3;
    ASSERT_TRUE(writeBytes("grey.tga", grey));
    ::testing::internal::CaptureStderr();
    for (int tree = 0; tree < 4; tree++) EXPECT_EQ(loadTGA("grey.tga"), 0u);
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "grazewell: grey.tga: picture refused: grey-scale; only true-colour TGA is "
                    "taken\n");
}

TEST_F(Loader, WhatIsNoRegularFileIsNotOpened) {
    ASSERT_TRUE(makeDir("folder.tga"));
    GLuint before = probeName();
    EXPECT_EQ(loadTGA("missing.tga"), 0u);
    EXPECT_EQ(loadTGA("folder.tga"), 0u);
    EXPECT_EQ(probeName(), before + 1);
    EXPECT_FALSE(fileIsOpen("folder.tga"));
}

TEST_F(Loader, AFifoIsNotOpened) {
    if (!PLATFORM_HAS_FIFOS_AND_LINKS) GTEST_SKIP() << "Windows keeps no FIFOs among its files";
    ASSERT_TRUE(makeFifo("pipe.tga")); // opening it to read would wait for a writer
    GLuint before = probeName();
    EXPECT_EQ(loadTGA("pipe.tga"), 0u);
    EXPECT_EQ(probeName(), before + 1);
    EXPECT_FALSE(fileIsOpen("pipe.tga"));
}

TEST_F(Loader, ByteCountsBeyondThirtyTwoBitsAreRefusedBeforeAllocating) {
    // 65535 x 65535 x 4 is 17 GB: refused even where the GL would take the sides.
    Bytes header = tgaFile(65535, 65535, 32, {});
    FILE *file = memoryStream(header);
    ASSERT_NE(file, nullptr);
    Image image;
    EXPECT_FALSE(decodeTGA(file, 65535, image));
    EXPECT_EQ(image.pixels, nullptr);
    fclose(file);
    // 32768 x 32768 x 4 is exactly 2^32: one too many.
    header = tgaFile(32768, 32768, 32, {});
    file = memoryStream(header);
    EXPECT_FALSE(decodeTGA(file, 65535, image));
    fclose(file);
}

TEST_F(Loader, ShortDataFromAStreamOfUnknownLengthIsRefused) {
    // A memory stream has no size to check up front, so the short read itself must refuse it.
    Bytes bytes = tgaFile(4, 4, 24, counting(47));
    FILE *file = memoryStream(bytes);
    ASSERT_NE(file, nullptr);
    Image image;
    TgaRefusal refusal = TGA_TAKEN;
    EXPECT_FALSE(decodeTGA(file, maxSide, image, false, &refusal));
    EXPECT_EQ(refusal, TGA_SHORT_DATA);
    EXPECT_EQ(image.pixels, nullptr);
    fclose(file);
}

TEST_F(Loader, PixelsThatCannotBeAllocatedGiveZeroAndCloseTheFile) {
    // A sparse file that really holds the 1 GiB it declares, read with 64 MiB to spare.
    Bytes header = tgaFile(16384, 16384, 32, {});
    ASSERT_TRUE(writeBytes("big.tga", header));
    std::filesystem::resize_file("big.tga", header.size() + (uintmax_t(1) << 30));
    int result = runWithLittleMemory(64 << 20, [] {
        FILE *file = openRegularFile("big.tga");
        if (!file) return 10;
        Image image;
        TgaRefusal refusal = TGA_TAKEN;
        bool decoded = decodeTGA(file, 65535, image, false, &refusal);
        int fd = fileno(file);
        fclose(file);
        if (decoded) return 11;
        if (image.pixels) return 12;
        if (descriptorIsOpen(fd)) return 13;
        if (refusal != TGA_NO_MEMORY) return 14;
        return 0;
    });
    if (result == NO_MEMORY_LIMIT) GTEST_SKIP() << NO_MEMORY_LIMIT_REASON;
    EXPECT_EQ(result, 0);
}

TEST_F(Loader, MutatedHeadersNeverCrashAndAreJudgedByTheirFields) {
    std::mt19937 random(20240607);
    Bytes base = tgaFile(5, 3, 24, counting(5 * 3 * 4)); // room for 32 bits too
    int accepted = 0;
    for (int round = 0; round < 3000; round++) {
        Bytes bytes = base;
        int changes = 1 + int(random() % 3);
        for (int c = 0; c < changes; c++) {
            // Mostly the size fields and the bits, which can still pass the pattern.
            size_t at = random() % 4 == 0 ? random() % 12 : 12 + random() % 6;
            bytes[at] = (unsigned char)(random() % 4 == 0 ? random() % 256 : random() % 8);
        }
        if (random() % 5 == 0) bytes.resize(random() % bytes.size());
        bool pattern =
            bytes.size() >= 12 && std::equal(base.begin(), base.begin() + 12, bytes.begin());
        int width = bytes.size() >= 18 ? bytes[12] + 256 * bytes[13] : 0;
        int height = bytes.size() >= 18 ? bytes[14] + 256 * bytes[15] : 0;
        int bits = bytes.size() >= 18 ? bytes[16] : 0;
        size_t need = size_t(width) * height * (bits / 8);
        bool valid = pattern && bytes.size() >= 18 && width > 0 && height > 0 &&
                     (bits == 24 || bits == 32) && width <= maxSide && height <= maxSide &&
                     bytes.size() - 18 >= need;

        FILE *file = memoryStream(bytes);
        ASSERT_NE(file, nullptr);
        Image image;
        bool decoded = decodeTGA(file, maxSide, image);
        fclose(file);
        ASSERT_EQ(decoded, valid) << "round " << round;
        if (decoded) {
            accepted++;
            EXPECT_EQ(image.width, width);
            EXPECT_EQ(image.height, height);
            GLuint name = uploadTexture(image);
            EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), width);
            glDeleteTextures(1, &name);
            freeImage(image);
        }
    }
    EXPECT_GT(accepted, 50); // the loop reached the upload often enough to mean something
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// A raw grass file: 256 x 256 R G B, no header.
Bytes rawPicture() {
    Bytes bytes(RAW_BYTES);
    for (size_t i = 0; i < bytes.size(); i++) bytes[i] = (unsigned char)((i * 7 + i / 768) & 255);
    return bytes;
}

TEST_F(Loader, RawLoadsMipmappedClampedAndSetsModulate) {
    Bytes picture = rawPicture();
    ASSERT_TRUE(writeBytes("grass.raw", picture));
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    FILE *file = fopen("grass.raw", "rb");
    ASSERT_NE(file, nullptr);
    GLuint name = loadRAW(file);
    ASSERT_NE(name, 0u);
    EXPECT_FALSE(fileIsOpen("grass.raw"));
    EXPECT_EQ(boundTexture(), GLint(name));
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_MODULATE);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_CLAMP);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_T), GL_CLAMP);
    // The border the clamped edges blend with is the picture's mean colour.
    double sum[3] = {0, 0, 0};
    for (size_t i = 0; i < picture.size(); i++) sum[i % 3] += picture[i];
    GLfloat border[4];
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);
    for (int c = 0; c < 3; c++) EXPECT_NEAR(border[c], sum[c] / (65536.0 * 255), 1e-6) << c;
    EXPECT_EQ(border[3], 1.0f);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 256);
    EXPECT_EQ(levelParameter(1, GL_TEXTURE_WIDTH), 128);
    EXPECT_EQ(levelParameter(8, GL_TEXTURE_WIDTH), 1);
    EXPECT_EQ(textureImage(GL_RGB, 256, 256), picture);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Loader, RawFromAShortFileIsBlackWhereTheFileEnds) {
    Bytes picture = rawPicture();
    Bytes part(picture.begin(), picture.begin() + 1000);
    ASSERT_TRUE(writeBytes("short.raw", part));
    GLuint name = loadRAW(fopen("short.raw", "rb"));
    ASSERT_NE(name, 0u);
    EXPECT_FALSE(fileIsOpen("short.raw"));
    Bytes image = textureImage(GL_RGB, 256, 256);
    EXPECT_TRUE(std::equal(part.begin(), part.end(), image.begin()));
    EXPECT_TRUE(
        std::all_of(image.begin() + 1000, image.end(), [](unsigned char b) { return b == 0; }));

    ASSERT_TRUE(writeBytes("empty.raw", {}));
    ASSERT_NE(loadRAW(fopen("empty.raw", "rb")), 0u);
    image = textureImage(GL_RGB, 256, 256);
    EXPECT_TRUE(std::all_of(image.begin(), image.end(), [](unsigned char b) { return b == 0; }));
}

TEST_F(Loader, RawWithoutMemoryForItsBufferGivesZeroAndClosesTheFile) {
    ASSERT_TRUE(writeBytes("grass.raw", rawPicture()));
    int result = runWithLittleMemory(0, [] {
        FILE *file = fopen("grass.raw", "rb");
        if (!file) return 10;
        int fd = fileno(file);
        // Use up what the heap still has in pieces of the buffer's size (volatile, so the
        // compiler keeps allocations whose result is otherwise unused).
        for (int i = 0; i < 100000; i++) {
            void *volatile piece = malloc(RAW_BYTES);
            if (!piece) break;
        }
        if (loadRAW(file) != 0) return 11;
        if (descriptorIsOpen(fd)) return 12;
        return 0;
    });
    if (result == NO_MEMORY_LIMIT) GTEST_SKIP() << NO_MEMORY_LIMIT_REASON;
    EXPECT_EQ(result, 0);
}

TEST_F(Loader, EveryGamePictureCutShortAnywhereIsRefused) {
    const char *pictures[] = {"fur",  "lava",   "orange", "apple", "marble",
                              "room", "clouds", "sky",    "tree"};
    for (const char *picture : pictures) {
        Bytes whole = readBytes(std::string(GRAZEWELL_BUILD_DIR "/tex/") + picture + ".tga");
        ASSERT_GT(whole.size(), 18u) << picture;
        // Every header byte, then a few places inside the pixels.
        std::vector<size_t> cuts;
        for (size_t cut = 0; cut <= 18; cut++) cuts.push_back(cut);
        for (size_t cut : {size_t(19), whole.size() / 3, whole.size() / 2, whole.size() - 1})
            cuts.push_back(cut);
        for (size_t cut : cuts) {
            ASSERT_TRUE(writeBytes("cut.tga", Bytes(whole.begin(), whole.begin() + long(cut))));
            GLuint before = probeName();
            EXPECT_EQ(loadTGA("cut.tga"), 0u) << picture << " cut at " << cut;
            EXPECT_EQ(probeName(), before + 1) << picture << " cut at " << cut;
        }
        ASSERT_TRUE(writeBytes("whole.tga", whole));
        EXPECT_NE(loadTGA("whole.tga"), 0u) << picture;
    }
}

} // namespace
