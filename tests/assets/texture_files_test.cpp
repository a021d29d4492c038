// The pictures the build paints into build/tex: loadable, the right kinds, seamless where they
// wrap, and the colours of what they name.
#include "assets/assets.h"

#include "build_paths.h"
#include "support/files.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

const std::string TEX = GRAZEWELL_BUILD_DIR "/tex/";

struct Picture {
    int width = 0, height = 0, channels = 0;
    Bytes pixels; // rows bottom first, as the file has them
    const unsigned char *at(int x, int y) const {
        return &pixels[(size_t(y) * width + x) * channels];
    }
};

Picture readTGA(const std::string &name) {
    Picture picture;
    FILE *file = fopen((TEX + name).c_str(), "rb");
    if (!file) return picture;
    Image image;
    if (decodeTGA(file, 65535, image)) {
        picture.width = image.width;
        picture.height = image.height;
        picture.channels = image.bytesPerPixel;
        picture.pixels.assign(image.pixels, image.pixels + size_t(image.width) * image.height *
                                                               image.bytesPerPixel);
        freeImage(image);
    }
    fclose(file);
    return picture;
}

Picture readGrass() {
    Picture picture;
    picture.pixels = readBytes(TEX + "grass.raw");
    picture.width = picture.height = RAW_SIDE;
    picture.channels = 3;
    return picture;
}

struct Mean {
    double r, g, b;
};

Mean meanColour(const Picture &p, int y0 = 0, int y1 = -1) {
    if (y1 < 0) y1 = p.height;
    double sum[3] = {0, 0, 0};
    for (int y = y0; y < y1; y++)
        for (int x = 0; x < p.width; x++)
            for (int c = 0; c < 3; c++) sum[c] += p.at(x, y)[c];
    double n = double(p.width) * (y1 - y0);
    return {sum[0] / n, sum[1] / n, sum[2] / n};
}

// Mean colour difference between column a and column b over all rows.
double columnStep(const Picture &p, int a, int b) {
    double sum = 0;
    for (int y = 0; y < p.height; y++)
        for (int c = 0; c < 3; c++) sum += std::abs(p.at(a, y)[c] - p.at(b, y)[c]);
    return sum / p.height;
}

double rowStep(const Picture &p, int a, int b) {
    double sum = 0;
    for (int x = 0; x < p.width; x++)
        for (int c = 0; c < 3; c++) sum += std::abs(p.at(x, a)[c] - p.at(x, b)[c]);
    return sum / p.width;
}

// The seam between the last and the first column is no harder than a step inside the picture.
void expectSeamlessAcross(const Picture &p, const char *name) {
    double inside = 0;
    for (int x = 0; x + 1 < p.width; x++) inside += columnStep(p, x, x + 1);
    inside /= p.width - 1;
    EXPECT_LT(columnStep(p, p.width - 1, 0), inside * 1.5 + 1) << name;
}

TEST(TextureFiles, AllTenLoadAndOnlyTheTreeHasAlpha) {
    for (const char *name : {"fur.tga", "lava.tga", "orange.tga", "apple.tga", "marble.tga",
                             "room.tga", "clouds.tga", "sky.tga", "tree.tga"}) {
        Picture p = readTGA(name);
        ASSERT_GT(p.width, 0) << name;
        EXPECT_EQ(p.channels, std::string(name) == "tree.tga" ? 4 : 3) << name;
        EXPECT_EQ(fileExists(TEX + name) ? readBytes(TEX + name).size() : 0, 18 + p.pixels.size())
            << name << ": nothing after the pixels";
    }
    EXPECT_EQ(readBytes(TEX + "grass.raw").size(), RAW_BYTES);
}

TEST(TextureFiles, TheTreeStandsOnATransparentGround) {
    Picture tree = readTGA("tree.tga");
    ASSERT_EQ(tree.channels, 4);
    int clear = 0, solid = 0;
    for (int y = 0; y < tree.height; y++)
        for (int x = 0; x < tree.width; x++) {
            unsigned char alpha = tree.at(x, y)[3];
            clear += alpha == 0;
            solid += alpha == 255;
            bool border = x == 0 || x == tree.width - 1 || y == tree.height - 1;
            if (border) {
                ASSERT_EQ(alpha, 0) << x << ", " << y;
            }
        }
    int all = tree.width * tree.height;
    EXPECT_GT(clear, all / 4) << "a cut-out, not a card";
    EXPECT_GT(solid, all / 4) << "a tree, not a ghost";
    // Its trunk stands on the bottom row (t = 0), in the middle, and is brown.
    const unsigned char *foot = tree.at(tree.width / 2, 0);
    EXPECT_EQ(foot[3], 255);
    EXPECT_GT(foot[0], foot[2]);
    EXPECT_EQ(tree.at(4, 0)[3], 0);
    // Its crown, high up, is green.
    const unsigned char *crown = tree.at(tree.width / 2, tree.height * 3 / 4);
    EXPECT_EQ(crown[3], 255);
    EXPECT_GT(crown[1], crown[0]);
    EXPECT_GT(crown[1], crown[2]);
}

TEST(TextureFiles, SkyAndSpheresMeetThemselvesWhereSWraps) {
    for (const char *name : {"sky.tga", "fur.tga", "lava.tga", "orange.tga", "apple.tga",
                             "marble.tga", "room.tga", "clouds.tga"})
        expectSeamlessAcross(readTGA(name), name);
}

TEST(TextureFiles, GrassTilesWithoutSeams) {
    Picture grass = readGrass();
    expectSeamlessAcross(grass, "grass across");
    double inside = 0;
    for (int y = 0; y + 1 < grass.height; y++) inside += rowStep(grass, y, y + 1);
    inside /= grass.height - 1;
    EXPECT_LT(rowStep(grass, grass.height - 1, 0), inside * 1.5 + 1) << "grass down";
}

TEST(TextureFiles, EachPictureHasTheColoursOfWhatItNames) {
    Mean sky = meanColour(readTGA("sky.tga"), 600, 1024); // above the horizon, t > 0.58
    EXPECT_GT(sky.b, sky.r + 30);
    EXPECT_GT(sky.b, 170);
    Mean grass = meanColour(readGrass());
    EXPECT_GT(grass.g, grass.r + 20);
    EXPECT_GT(grass.g, grass.b + 40);
    Mean orange = meanColour(readTGA("orange.tga"));
    EXPECT_GT(orange.r, 200);
    EXPECT_GT(orange.r, orange.g + 50);
    EXPECT_GT(orange.g, orange.b + 50);
    Mean apple = meanColour(readTGA("apple.tga"));
    EXPECT_GT(apple.r, apple.g + 60);
    EXPECT_GT(apple.r, apple.b + 60);
    Mean fur = meanColour(readTGA("fur.tga"));
    EXPECT_GT(fur.r, fur.g);
    EXPECT_GT(fur.g, fur.b);
    EXPECT_LT(fur.r, 120) << "dark brown";
    Mean lava = meanColour(readTGA("lava.tga"));
    EXPECT_GT(lava.r, lava.g + 30);
    EXPECT_GT(lava.g, lava.b);
    Mean stone = meanColour(readTGA("marble.tga"));
    EXPECT_LT(stone.r + stone.g + stone.b, 3 * 90) << "dark stone";
    Mean glass = meanColour(readTGA("room.tga"));
    EXPECT_GT(glass.b, glass.r + 60);
    Mean clouds = meanColour(readTGA("clouds.tga"));
    EXPECT_GT(clouds.r + clouds.g + clouds.b, 3 * 190) << "mostly white";
}

TEST(TextureFiles, PaintingAgainGivesTheSameBytes) {
    std::string dir = makeTempDir("texgen");
    ASSERT_EQ(runProgram({GRAZEWELL_TEXGEN, dir + "/tex"}), 0);
    for (const char *name : {"fur.tga", "lava.tga", "orange.tga", "apple.tga", "marble.tga",
                             "room.tga", "clouds.tga", "sky.tga", "tree.tga", "grass.raw"})
        EXPECT_TRUE(readBytes(dir + "/tex/" + name) == readBytes(TEX + name)) << name;
    removeTree(dir);
}

} // namespace
