// Where the game's data files are found: the working folder, the program's own folder (the build
// tree), or the installed share folder beside it, unless GRAZEWELL_DATA names one. A picture is
// found here, then decoded and uploaded below, and its trouble told here once.
#include "assets/assets.h"

#include "platform/platform.h"

#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>

std::vector<std::string> dataFolders = {""};
bool dataFolderFound = true;

std::vector<std::string> dataFolderCandidates(const char *override, const std::string &program) {
    std::vector<std::string> folders = {""};
    if (override && *override) {
        folders = {override};
    } else if (!program.empty()) {
        folders.push_back(program);
        folders.push_back(std::filesystem::path(program + "/../share/grazewell")
                              .lexically_normal()
                              .generic_string());
    }
    // A trailing slash would come out doubled in every path and message.
    for (std::string &folder : folders)
        while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folders;
}

std::string inDataFolder(const std::string &folder, const char *name) {
    if (folder.empty()) return name;
    if (folder == "/") return std::string("/") + name;
    return folder + "/" + name;
}

// "./tex" for the working folder, so the message says where to put pictures of one's own.
static std::string folderList(const std::vector<std::string> &folders) {
    std::string list;
    for (const std::string &folder : folders) {
        if (!list.empty()) list += ", ";
        list += folder.empty() ? "./" PICTURES_FOLDER : inDataFolder(folder, PICTURES_FOLDER);
    }
    return list;
}

void chooseDataFolders() {
    dataFolders = dataFolderCandidates(getenv("GRAZEWELL_DATA"), programFolder());
    dataFolderFound = false;
    for (const std::string &folder : dataFolders)
        if (isFolder(inDataFolder(folder, PICTURES_FOLDER))) dataFolderFound = true;
    if (!dataFolderFound)
        fprintf(stderr,
                "grazewell: no pictures folder found (looked in %s); the meadow is drawn without "
                "pictures. GRAZEWELL_DATA may name the folder that holds " PICTURES_FOLDER "/.\n",
                folderList(dataFolders).c_str());
}

std::string dataPath(const char *name) {
    if (name[0] == '/') return name;
    for (const std::string &folder : dataFolders) {
        std::string path = inDataFolder(folder, name);
        if (isRegularFile(path)) return path;
    }
    return inDataFolder(dataFolders.empty() ? "" : dataFolders[0], name);
}

// The pictures whose trouble has been told. A picture is loaded several times (four trees, each
// skin swap): its trouble is told once for the world.
static std::set<std::string> reported;

static bool firstReport(const std::string &path) {
    return reported.insert(path).second;
}

void forgetToldPictures() {
    reported.clear();
}

void reportRefusedPicture(const std::string &path, TgaRefusal refusal) {
    if (firstReport(path))
        fprintf(stderr, "grazewell: %s: picture refused: %s\n", path.c_str(),
                tgaRefusalText(refusal));
}

void reportMissingPicture(const char *name) {
    // With no pictures folder at all, the one line at start has said it already.
    if (!dataFolderFound || name[0] == '/' || !firstReport(name)) return;
    fprintf(stderr, "grazewell: %s: picture not found (looked in %s)\n", name,
            folderList(dataFolders).c_str());
}

bool readTGA(const char *name, Image &image) {
    std::string path = dataPath(name);
    FILE *file = openRegularFile(path.c_str());
    if (!file) {
        reportMissingPicture(name);
        return false;
    }
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    TgaRefusal refusal = TGA_TAKEN;
    bool decoded = decodeTGA(file, maxSide, image, true, &refusal);
    fclose(file);
    if (!decoded) reportRefusedPicture(path, refusal);
    return decoded;
}

unsigned int loadTGA(const char *name) {
    Image image;
    if (!readTGA(name, image)) return 0;
    unsigned int texture = uploadTexture(image);
    freeImage(image);
    return texture;
}
