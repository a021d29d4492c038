// Linux: the kernel names the program's file in /proc/self/exe.
#include "platform/platform.h"

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

std::string programFolder() {
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "";
    std::string program(path, size_t(length));
    size_t slash = program.rfind('/');
    if (slash == std::string::npos) return "";
    return slash == 0 ? "/" : program.substr(0, slash);
}

bool isFolder(const std::string &path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isRegularFile(const std::string &path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}
