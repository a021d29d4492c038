#include "support/files.h"

#include "support/game_process.h"

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

bool fileExists(const std::string &path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

bool isDirectory(const std::string &path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

static std::string currentDirectory() {
    char buffer[4096];
    if (!getcwd(buffer, sizeof buffer)) throw std::runtime_error("getcwd failed");
    return buffer;
}

WorkDir::WorkDir(const char *tag) : path(makeTempDir(tag)), previous(currentDirectory()) {
    if (chdir(path.c_str()) != 0) throw std::runtime_error("chdir failed");
}

WorkDir::~WorkDir() {
    if (chdir(previous.c_str()) != 0) perror("chdir");
    removeTree(path);
}

bool fileIsOpen(const std::string &path) {
    struct stat file;
    if (stat(path.c_str(), &file) != 0) return false;
    DIR *dir = opendir("/proc/self/fd");
    if (!dir) return false;
    bool open = false;
    int own = dirfd(dir);
    while (struct dirent *entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        int fd = atoi(entry->d_name);
        struct stat info;
        if (fd != own && fstat(fd, &info) == 0 && info.st_dev == file.st_dev &&
            info.st_ino == file.st_ino)
            open = true;
    }
    closedir(dir);
    return open;
}

// Address space in use now, from /proc/self/statm (pages).
static size_t addressSpaceBytes() {
    FILE *file = fopen("/proc/self/statm", "r");
    if (!file) return 0;
    unsigned long pages = 0;
    if (fscanf(file, "%lu", &pages) != 1) pages = 0;
    fclose(file);
    return size_t(pages) * size_t(sysconf(_SC_PAGESIZE));
}

int runWithLittleMemory(size_t spareBytes, const std::function<int()> &body) {
#ifdef __SANITIZE_ADDRESS__
    // AddressSanitizer reserves terabytes of shadow memory: no address-space limit can hold.
    (void)spareBytes;
    (void)body;
    return NO_MEMORY_LIMIT;
#endif
    fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        struct rlimit limit;
        limit.rlim_cur = limit.rlim_max = addressSpaceBytes() + spareBytes;
        if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(125);
        int result = body();
        fflush(stdout);
        _exit(result);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
