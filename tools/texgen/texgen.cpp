// Paints the game's pictures into a folder: nine uncompressed true-colour TGA files and the raw
// grass. Every picture is made from integer hashes, so each run writes the same bytes.
//
// Usage: texgen OUTPUT_FOLDER
//        texgen --thumbnails SIDE FOLDER   (the same pictures at SIDE x SIDE, seeds for fuzzers)
//        texgen --icon SIDE FILE.png       (the desktop icon, SIDE x SIDE)
//        texgen --ico FILE.ico SIDE...     (the same icon at each side, for the Windows program)
#include "icon.h"
#include "painters.h"
#include "writers.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A side x side copy of a picture, nearest pixel: small seeds for the loaders' fuzzers.
Picture thumbnail(Picture &picture, int side) {
    Picture small(side, side, picture.alpha);
    for (int y = 0; y < side; y++)
        for (int x = 0; x < side; x++) {
            float *from = picture.at(x * picture.width / side, y * picture.height / side);
            small.set(x, y, {from[0], from[1], from[2]}, from[3]);
        }
    return small;
}

// Paints the icon at the side given and writes it; the exit status.
int writeIcon(const char *sideText, const char *path) {
    int side = atoi(sideText);
    if (side < 8 || side > 1024) {
        fprintf(stderr, "texgen: an icon's side is 8 to 1024 pixels\n");
        return 2;
    }
    Picture icon = paintIcon(side);
    return writePNG(path, icon) ? 0 : 1;
}

// Paints the icon at each side given (argv from 3 on) into one Windows icon file; the exit
// status.
int writeIconFile(int argc, char **argv) {
    std::vector<Picture> sizes;
    for (int i = 3; i < argc; i++) {
        int side = atoi(argv[i]);
        if (side < 8 || side > 256) {
            fprintf(stderr, "texgen: a Windows icon's side is 8 to 256 pixels\n");
            return 2;
        }
        sizes.push_back(paintIcon(side));
    }
    return writeICO(argv[2], sizes) ? 0 : 1;
}

// Paints every picture into the folder, the TGA ones shrunk to thumbnailSide when it is above 0
// (the grass keeps its size); the exit status. A failed file does not stop the others.
int writePictures(const std::string &folder, int thumbnailSide) {
    if (!makeFolder(folder)) return 1;
    bool ok = true;
    Picture fur = paintFur(), lava = paintLava(), orange = paintOrange(), apple = paintApple();
    Picture marble = paintMarble(), room = paintRoom(), clouds = paintClouds();
    Picture sky = paintSky(), tree = paintTree(), grass = paintGrass();
    if (thumbnailSide > 0) {
        for (Picture *picture :
             {&fur, &lava, &orange, &apple, &marble, &room, &clouds, &sky, &tree})
            *picture = thumbnail(*picture, thumbnailSide);
    }
    ok = writeTGA(folder + "/fur.tga", fur) && ok;
    ok = writeTGA(folder + "/lava.tga", lava) && ok;
    ok = writeTGA(folder + "/orange.tga", orange) && ok;
    ok = writeTGA(folder + "/apple.tga", apple) && ok;
    ok = writeTGA(folder + "/marble.tga", marble) && ok;
    ok = writeTGA(folder + "/room.tga", room) && ok;
    ok = writeTGA(folder + "/clouds.tga", clouds) && ok;
    ok = writeTGA(folder + "/sky.tga", sky) && ok;
    ok = writeTGA(folder + "/tree.tga", tree) && ok;
    ok = writeRaw(folder + "/grass.raw", grass) && ok;
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char **argv) {
    if (argc == 4 && strcmp(argv[1], "--icon") == 0) return writeIcon(argv[2], argv[3]);
    if (argc >= 4 && strcmp(argv[1], "--ico") == 0) return writeIconFile(argc, argv);
    bool thumbnails = argc == 4 && strcmp(argv[1], "--thumbnails") == 0;
    int side = thumbnails ? atoi(argv[2]) : 0;
    if (argc != 2 && !(thumbnails && side > 0)) {
        fprintf(stderr, "usage: texgen OUTPUT_FOLDER\n       texgen --thumbnails SIDE FOLDER\n"
                        "       texgen --icon SIDE FILE.png\n"
                        "       texgen --ico FILE.ico SIDE...\n");
        return 2;
    }
    return writePictures(argv[argc - 1], side);
}
