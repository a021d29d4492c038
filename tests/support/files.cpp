#include "support/files.h"

#include <chrono>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

Bytes readBytes(const std::string &path) {
    Bytes bytes;
    FILE *file = fopen(path.c_str(), "rb");
    if (!file) return bytes;
    unsigned char buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    fclose(file);
    return bytes;
}

bool writeBytes(const std::string &path, const Bytes &bytes) {
    FILE *file = fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

Bytes tgaFile(int width, int height, int bits, const Bytes &pixels, unsigned char descriptor) {
    Bytes bytes = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    bytes.push_back((unsigned char)(width & 255));
    bytes.push_back((unsigned char)(width >> 8));
    bytes.push_back((unsigned char)(height & 255));
    bytes.push_back((unsigned char)(height >> 8));
    bytes.push_back((unsigned char)bits);
    bytes.push_back(descriptor);
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    return bytes;
}

int countOf(const std::string &text, const std::string &needle) {
    int count = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
        count++;
    return count;
}

bool fileExists(const std::string &path) {
    std::error_code error;
    return fs::exists(path, error);
}

bool isDirectory(const std::string &path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

bool makeDir(const std::string &path) {
    std::error_code error;
    return fs::create_directory(path, error);
}

std::string makeTempDir(const char *tag) {
    static std::mt19937_64 random(
        uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::path temp = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; attempt++) {
        fs::path dir = temp / (std::string("grazewell-") + tag + "-" + std::to_string(random()));
        std::error_code error;
        if (fs::create_directory(dir, error)) return dir.string();
    }
    throw std::runtime_error("cannot make a temporary folder");
}

// Opens each folder up before reading it: tests make folders nobody may write or list.
static void removeAll(const fs::path &path) {
    std::error_code error;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, error);
    if (fs::is_directory(fs::symlink_status(path, error)))
        for (const fs::directory_entry &entry : fs::directory_iterator(path, error))
            removeAll(entry.path());
    fs::remove(path, error);
}

void removeTree(const std::string &path) {
    // Only what makeTempDir made.
    if (path.rfind((fs::temp_directory_path() / "grazewell-").string(), 0) != 0) return;
    removeAll(path);
}

static std::string currentDirectory() {
    return fs::current_path().string();
}

WorkDir::WorkDir(const char *tag) : path(makeTempDir(tag)), previous(currentDirectory()) {
    fs::current_path(path);
}

WorkDir::~WorkDir() {
    std::error_code error;
    fs::current_path(previous, error);
    removeTree(path);
}
