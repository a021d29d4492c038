// Texture loading: the game's pictures found in its data folders, decoded and uploaded to
// OpenGL texture objects. Name 0 means no texture.
#pragma once

#include "assets/texture.h"

#include <string>
#include <vector>

// The folder of pictures inside a data folder; the game names its files "tex/<name>".
#define PICTURES_FOLDER "tex"
// The folders data files are looked for in, in order; "" is the working folder. Until
// chooseDataFolders runs, only the working folder.
extern std::vector<std::string> dataFolders;
// Whether any of dataFolders held a pictures folder when they were chosen.
extern bool dataFolderFound;
// The data folders to look in: the override alone when it is set and not empty; otherwise the
// working folder, the program's folder, then ../share/grazewell beside it (the installed layout).
std::vector<std::string> dataFolderCandidates(const char *override, const std::string &program);
// Sets dataFolders from GRAZEWELL_DATA and the program's place; says on standard error, naming
// where it looked, when none of them holds a pictures folder.
void chooseDataFolders();
// folder/name, or name alone for the working folder ("").
std::string inDataFolder(const std::string &folder, const char *name);
// Where to open a data file named like "tex/sky.tga": in the first data folder that holds it as a
// regular file, else in the first folder. An absolute name is its own path.
std::string dataPath(const char *name);
// Standard-error lines about a picture, each printed once per file.
void reportRefusedPicture(const std::string &path, TgaRefusal refusal);
void reportMissingPicture(const char *name);
// Forgets which pictures' trouble was told: a world made again tells it again.
void forgetToldPictures();

// Decodes a TGA data file (a name like "tex/sky.tga", found by dataPath), within the GL's texture
// size, its pixels in file order; false when it cannot be opened or is rejected, which it tells on
// standard error once per file.
bool readTGA(const char *name, Image &image);

// A new texture from a TGA data file (see readTGA), or 0 when it cannot be opened or is rejected.
unsigned int loadTGA(const char *name);
