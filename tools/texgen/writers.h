// Picture files on disk. Each writer reports its own failure on stderr and returns false.
#pragma once

#include "picture.h"

#include <string>
#include <vector>

// Makes a folder and the folders above it that are missing.
bool makeFolder(const std::string &path);
// An uncompressed true-colour TGA, bottom row first, B G R (A): what the game loads.
bool writeTGA(const std::string &path, Picture &picture);
// Raw R G B bytes, bottom row first, no header: the grass.
bool writeRaw(const std::string &path, Picture &picture);
// An RGBA PNG, top row first, stored without compression: the desktop icon.
bool writePNG(const std::string &path, Picture &picture);
// A Windows icon file holding the pictures, each at its own side (8 to 256): the program's icon.
bool writeICO(const std::string &path, std::vector<Picture> &sizes);
