// Writes the fuzzers' hand-made seeds: small good pictures and one file for every way a TGA
// header can be turned away.
#include <cstdio>
#include <string>
#include <vector>

typedef std::vector<unsigned char> Bytes;

static Bytes tga(int width, int height, int bits, int pixelBytes, unsigned char type = 2) {
    Bytes file = {0, 0, type, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    file.push_back(width & 255);
    file.push_back(width >> 8);
    file.push_back(height & 255);
    file.push_back(height >> 8);
    file.push_back(bits);
    file.push_back(0);
    for (int i = 0; i < pixelBytes; i++) file.push_back((unsigned char)(i * 37 + 11));
    return file;
}

static void write(const std::string &dir, const char *name, const Bytes &bytes) {
    std::string path = dir + "/" + name;
    FILE *file = fopen(path.c_str(), "wb");
    if (!file) {
        perror(path.c_str());
        return;
    }
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

int main(int argc, char **argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: make_seeds TGA_DIR RAW_DIR\n");
        return 2;
    }
    std::string dir = argv[1];
    write(dir, "rgb-3x2.tga", tga(3, 2, 24, 18));
    write(dir, "rgba-2x2.tga", tga(2, 2, 32, 16));
    Bytes trailing = tga(1, 1, 24, 3);
    for (char c : std::string("TRUEVISION-XFILE.")) trailing.push_back(c);
    write(dir, "trailing.tga", trailing);
    write(dir, "empty.tga", {});
    write(dir, "short-pattern.tga", {0, 0, 2, 0, 0});
    Bytes idField = tga(1, 1, 24, 3);
    idField[0] = 4;
    write(dir, "image-id.tga", idField);
    write(dir, "colour-mapped.tga", tga(1, 1, 8, 1, 1));
    write(dir, "compressed.tga", tga(1, 1, 24, 4, 10));
    write(dir, "grey.tga", tga(1, 1, 8, 1, 3));
    Bytes origin = tga(1, 1, 24, 3);
    origin[8] = 1;
    write(dir, "origin.tga", origin);
    Bytes header = tga(1, 1, 24, 0);
    header.resize(15);
    write(dir, "short-header.tga", header);
    write(dir, "zero-width.tga", tga(0, 4, 24, 12));
    write(dir, "zero-height.tga", tga(4, 0, 24, 12));
    write(dir, "16-bits.tga", tga(2, 2, 16, 8));
    write(dir, "short-pixels.tga", tga(4, 4, 24, 40));
    write(dir, "huge.tga", tga(65535, 65535, 32, 16));

    std::string raw = argv[2];
    write(raw, "short.raw", Bytes(300, 90));
    Bytes grass(196608);
    for (size_t i = 0; i < grass.size(); i++) grass[i] = (unsigned char)(i % 3 == 1 ? 140 : 60);
    write(raw, "grass.raw", grass);
    return 0;
}
