// The TGA, raw and PNG files, written from a picture's floats, with no library beyond the C++
// one (the PNG's checksums are worked out here).
#include "writers.h"

#include "ico.h"
#include "maths.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

unsigned char byteOf(float v) {
    return (unsigned char)std::lround(clamp01(v) * 255.0f);
}

bool writeFile(const std::string &path, const std::vector<unsigned char> &bytes) {
    FILE *file = fopen(path.c_str(), "wb");
    if (!file) {
        fprintf(stderr, "texgen: cannot write %s: %s\n", path.c_str(), strerror(errno));
        return false;
    }
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = fclose(file) == 0 && ok;
    if (!ok) fprintf(stderr, "texgen: short write to %s\n", path.c_str());
    return ok;
}

uint32_t crc32(const unsigned char *bytes, size_t count, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < count; i++) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; bit++) crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void putBigEndian32(std::vector<unsigned char> &bytes, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back((unsigned char)(value >> shift));
}

void pngChunk(std::vector<unsigned char> &png, const char *type,
              const std::vector<unsigned char> &data) {
    putBigEndian32(png, uint32_t(data.size()));
    size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    putBigEndian32(png, crc32(&png[start], png.size() - start));
}

} // namespace

bool makeFolder(const std::string &path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (!error) return true;
    fprintf(stderr, "texgen: cannot make %s: %s\n", path.c_str(), error.message().c_str());
    return false;
}

// Uncompressed true-colour TGA, bottom row first, B G R (A).
bool writeTGA(const std::string &path, Picture &picture) {
    int bytesPerPixel = picture.alpha ? 4 : 3;
    std::vector<unsigned char> bytes(18, 0);
    bytes[2] = 2;
    bytes[12] = (unsigned char)(picture.width & 255);
    bytes[13] = (unsigned char)(picture.width >> 8);
    bytes[14] = (unsigned char)(picture.height & 255);
    bytes[15] = (unsigned char)(picture.height >> 8);
    bytes[16] = (unsigned char)(bytesPerPixel * 8);
    bytes[17] = picture.alpha ? 8 : 0; // alpha bits; bottom-left origin
    bytes.reserve(bytes.size() + size_t(picture.width) * picture.height * bytesPerPixel);
    for (int y = 0; y < picture.height; y++) {
        for (int x = 0; x < picture.width; x++) {
            const float *p = picture.at(x, y);
            bytes.push_back(byteOf(p[2]));
            bytes.push_back(byteOf(p[1]));
            bytes.push_back(byteOf(p[0]));
            if (picture.alpha) bytes.push_back(byteOf(p[3]));
        }
    }
    return writeFile(path, bytes);
}

// Raw R G B, rows in order, no header.
bool writeRaw(const std::string &path, Picture &picture) {
    std::vector<unsigned char> bytes;
    bytes.reserve(size_t(picture.width) * picture.height * 3);
    for (int y = 0; y < picture.height; y++) {
        for (int x = 0; x < picture.width; x++) {
            const float *p = picture.at(x, y);
            for (int c = 0; c < 3; c++) bytes.push_back(byteOf(p[c]));
        }
    }
    return writeFile(path, bytes);
}

// An RGBA PNG, top row first. The image data is a zlib stream of stored (uncompressed) deflate
// blocks: an icon is small, and no compression library is needed.
bool writePNG(const std::string &path, Picture &picture) {
    std::vector<unsigned char> rows;
    for (int y = picture.height - 1; y >= 0; y--) {
        rows.push_back(0); // no filter
        for (int x = 0; x < picture.width; x++)
            for (int c = 0; c < 4; c++) rows.push_back(byteOf(picture.at(x, y)[c]));
    }
    std::vector<unsigned char> zlib = {0x78, 0x01};
    for (size_t at = 0; at < rows.size() || at == 0; at += 65535) {
        size_t length = std::min(rows.size() - at, size_t(65535));
        bool last = at + length >= rows.size();
        zlib.push_back(last ? 1 : 0);
        zlib.push_back((unsigned char)(length & 255));
        zlib.push_back((unsigned char)(length >> 8));
        zlib.push_back((unsigned char)(~length & 255));
        zlib.push_back((unsigned char)(~length >> 8 & 255));
        zlib.insert(zlib.end(), rows.begin() + long(at), rows.begin() + long(at + length));
        if (last) break;
    }
    uint32_t a = 1, b = 0; // Adler-32 of the uncompressed rows
    for (unsigned char byte : rows) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    putBigEndian32(zlib, b << 16 | a);

    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<unsigned char> header;
    putBigEndian32(header, uint32_t(picture.width));
    putBigEndian32(header, uint32_t(picture.height));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, no filter, no interlace
    pngChunk(png, "IHDR", header);
    pngChunk(png, "IDAT", zlib);
    pngChunk(png, "IEND", {});
    return writeFile(path, png);
}

bool writeICO(const std::string &path, std::vector<Picture> &sizes) {
    std::vector<IconImage> images;
    for (Picture &picture : sizes) {
        // An icon's rows go top first, as the PNG's do.
        IconImage image;
        image.side = picture.width;
        for (int y = picture.height - 1; y >= 0; y--)
            for (int x = 0; x < picture.width; x++)
                for (int c = 0; c < 4; c++) image.rgba.push_back(byteOf(picture.at(x, y)[c]));
        images.push_back(image);
    }
    return writeFile(path, icoFile(images));
}
