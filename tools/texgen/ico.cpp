// The .ico layout: a directory of the sizes, then each size as a bitmap without its file header
// (an info header of 40 bytes, B G R A pixels bottom row first, then a 1-bit mask of rows
// padded to four bytes). The bitmap's height counts the pixels and the mask, so it is twice
// the side. All numbers are little-endian.
#include "ico.h"

#include <cstddef>
#include <cstdint>

namespace {

void put16(std::vector<unsigned char> &bytes, uint32_t value) {
    bytes.push_back((unsigned char)(value & 255));
    bytes.push_back((unsigned char)(value >> 8 & 255));
}

void put32(std::vector<unsigned char> &bytes, uint32_t value) {
    put16(bytes, value & 0xffff);
    put16(bytes, value >> 16);
}

std::vector<unsigned char> bitmap(const IconImage &image) {
    const uint32_t side = uint32_t(image.side);
    const uint32_t maskRow = (side + 31) / 32 * 4;
    std::vector<unsigned char> bytes;
    put32(bytes, 40);       // the info header's own size
    put32(bytes, side);     // width
    put32(bytes, side * 2); // height: the pixels, then the mask
    put16(bytes, 1);        // planes
    put16(bytes, 32);       // bits a pixel
    put32(bytes, 0);        // uncompressed
    put32(bytes, side * side * 4 + maskRow * side);
    for (int unused = 0; unused < 4; unused++) put32(bytes, 0); // resolution, palette
    for (uint32_t row = side; row-- > 0;) {
        const unsigned char *p = &image.rgba[size_t(row) * side * 4];
        for (uint32_t x = 0; x < side; x++, p += 4)
            bytes.insert(bytes.end(), {p[2], p[1], p[0], p[3]});
    }
    for (uint32_t row = side; row-- > 0;) {
        std::vector<unsigned char> mask(maskRow, 0);
        for (uint32_t x = 0; x < side; x++)
            if (image.rgba[(size_t(row) * side + x) * 4 + 3] == 0) mask[x / 8] |= 0x80 >> (x % 8);
        bytes.insert(bytes.end(), mask.begin(), mask.end());
    }
    return bytes;
}

} // namespace

std::vector<unsigned char> icoFile(const std::vector<IconImage> &images) {
    std::vector<std::vector<unsigned char>> bitmaps;
    for (const IconImage &image : images) bitmaps.push_back(bitmap(image));
    std::vector<unsigned char> bytes;
    put16(bytes, 0); // reserved
    put16(bytes, 1); // an icon (2 would be a cursor)
    put16(bytes, uint32_t(images.size()));
    uint32_t offset = uint32_t(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); i++) {
        // A side of 256 does not fit the byte: 0 stands for it.
        bytes.push_back((unsigned char)(images[i].side & 255));
        bytes.push_back((unsigned char)(images[i].side & 255));
        bytes.push_back(0); // no palette
        bytes.push_back(0); // reserved
        put16(bytes, 1);    // planes
        put16(bytes, 32);   // bits a pixel
        put32(bytes, uint32_t(bitmaps[i].size()));
        put32(bytes, offset);
        offset += uint32_t(bitmaps[i].size());
    }
    for (const std::vector<unsigned char> &picture : bitmaps)
        bytes.insert(bytes.end(), picture.begin(), picture.end());
    return bytes;
}
