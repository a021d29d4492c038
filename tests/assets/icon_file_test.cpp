// The Windows program's icon file, painted by texgen: the icon the Linux desktop shows, at each
// size asked for, laid out as Windows reads an .ico.
#include "build_paths.h"
#include "support/files.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>

namespace {

uint32_t little16(const Bytes &b, size_t at) {
    return uint32_t(b.at(at)) | uint32_t(b.at(at + 1)) << 8;
}
uint32_t little32(const Bytes &b, size_t at) {
    return little16(b, at) | little16(b, at + 2) << 16;
}
uint32_t big32(const Bytes &b, size_t at) {
    return uint32_t(b.at(at)) << 24 | uint32_t(b.at(at + 1)) << 16 | uint32_t(b.at(at + 2)) << 8 |
           uint32_t(b.at(at + 3));
}

// The R G B A pixels, top row first, of a PNG as texgen writes them: one IDAT of stored deflate
// blocks, no filter on any row. Empty when the file is not of that kind.
Bytes pngPixels(const Bytes &png, uint32_t &side) {
    if (png.size() < 33 || png[1] != 'P') return {};
    side = big32(png, 16);
    Bytes zlib;
    for (size_t at = 8; at + 12 <= png.size(); at += 12 + big32(png, at))
        if (std::string(png.begin() + long(at + 4), png.begin() + long(at + 8)) == "IDAT")
            zlib.insert(zlib.end(), png.begin() + long(at + 8),
                        png.begin() + long(at + 8 + big32(png, at)));
    Bytes rows;
    for (size_t at = 2; at + 5 <= zlib.size();) {
        if ((zlib[at] & 6) != 0) return {}; // compressed: not texgen's
        size_t length = little16(zlib, at + 1);
        rows.insert(rows.end(), zlib.begin() + long(at + 5), zlib.begin() + long(at + 5 + length));
        bool last = zlib[at] & 1;
        at += 5 + length;
        if (last) break;
    }
    Bytes pixels;
    for (size_t row = 0; row + 1 + side * 4 <= rows.size(); row += 1 + side * 4)
        pixels.insert(pixels.end(), rows.begin() + long(row + 1),
                      rows.begin() + long(row + 1 + side * 4));
    return pixels;
}

TEST(IconFile, TheWindowsIconHoldsTheDesktopIconAtEachSideAsWindowsReadsIt) {
    std::string dir = makeTempDir("icon");
    std::string ico = dir + "/grazewell.ico", png = dir + "/icon.png";
    ASSERT_EQ(runProgram({GRAZEWELL_TEXGEN, "--ico", ico, "16", "32", "48", "256"}), 0);
    Bytes file = readBytes(ico);
    ASSERT_GE(file.size(), 6u + 4 * 16);
    EXPECT_EQ(little16(file, 0), 0u);
    EXPECT_EQ(little16(file, 2), 1u) << "an icon, not a cursor";
    ASSERT_EQ(little16(file, 4), 4u);
    size_t next = 6 + 4 * 16; // each picture follows the one before
    const uint32_t sides[] = {16, 32, 48, 256};
    for (uint32_t i = 0; i < 4; i++) {
        uint32_t side = sides[i];
        SCOPED_TRACE(side);
        size_t entry = 6 + 16 * i;
        EXPECT_EQ(file[entry], side & 255) << "256 is written 0";
        EXPECT_EQ(file[entry + 1], side & 255);
        EXPECT_EQ(little16(file, entry + 4), 1u);
        EXPECT_EQ(little16(file, entry + 6), 32u);
        uint32_t maskRow = (side + 31) / 32 * 4;
        uint32_t size = little32(file, entry + 8), at = little32(file, entry + 12);
        ASSERT_EQ(at, next);
        ASSERT_EQ(size, 40 + side * side * 4 + maskRow * side);
        ASSERT_LE(at + size, file.size());
        EXPECT_EQ(little32(file, at), 40u);
        EXPECT_EQ(little32(file, at + 4), side);
        EXPECT_EQ(little32(file, at + 8), side * 2) << "the pixels and the mask";
        EXPECT_EQ(little16(file, at + 14), 32u);
        EXPECT_EQ(little32(file, at + 16), 0u) << "uncompressed";
        next = at + size;

        ASSERT_EQ(runProgram({GRAZEWELL_TEXGEN, "--icon", std::to_string(side), png}), 0);
        uint32_t pngSide = 0;
        Bytes rgba = pngPixels(readBytes(png), pngSide);
        ASSERT_EQ(pngSide, side);
        ASSERT_EQ(rgba.size(), side * side * 4);
        // The bitmap is B G R A, bottom row first; its mask is set where the icon is clear.
        const unsigned char *pixels = &file[at + 40], *mask = pixels + side * side * 4;
        int wrongColour = 0, wrongMask = 0, clear = 0;
        for (uint32_t y = 0; y < side; y++)
            for (uint32_t x = 0; x < side; x++) {
                const unsigned char *want = &rgba[(y * side + x) * 4];
                const unsigned char *got = &pixels[((side - 1 - y) * side + x) * 4];
                if (got[0] != want[2] || got[1] != want[1] || got[2] != want[0] ||
                    got[3] != want[3])
                    wrongColour++;
                bool masked = mask[(side - 1 - y) * maskRow + x / 8] & (0x80 >> x % 8);
                if (masked != (want[3] == 0)) wrongMask++;
                clear += want[3] == 0;
            }
        EXPECT_EQ(wrongColour, 0);
        EXPECT_EQ(wrongMask, 0);
        EXPECT_GT(clear, 0) << "the rounded corners";
    }
    EXPECT_EQ(next, file.size());

    // A side an .ico cannot hold is refused, and nothing is written.
    EXPECT_EQ(runProgram({GRAZEWELL_TEXGEN, "--ico", dir + "/big.ico", "48", "512"}), 2);
    EXPECT_FALSE(fileExists(dir + "/big.ico"));
    removeTree(dir);
}

} // namespace
