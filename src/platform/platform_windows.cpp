// Windows, through the C runtime's descriptors and a few calls of the Win32 API.
#include "platform/platform.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <vector>
#include <windows.h>

std::string programFolder() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameA(nullptr, path.data(), DWORD(path.size()));
        if (length == 0) return "";
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    std::string program(path.begin(), path.end());
    for (char &c : program)
        if (c == '\\') c = '/';
    size_t slash = program.rfind('/');
    if (slash == std::string::npos) return "";
    // A drive's root keeps its slash ("C:/"), as "/" does on Linux.
    return slash == 2 && program[1] == ':' ? program.substr(0, 3) : program.substr(0, slash);
}

static bool statKind(const char *path, int kind) {
    struct _stat64 info;
    return _stat64(path, &info) == 0 && (info.st_mode & _S_IFMT) == kind;
}

bool isFolder(const std::string &path) {
    return statKind(path.c_str(), _S_IFDIR);
}

bool isRegularFile(const std::string &path) {
    return statKind(path.c_str(), _S_IFREG);
}

bool makeFolder(const char *path) {
    return _mkdir(path) == 0 || (errno == EEXIST && isFolder(path));
}

// The size of the regular file open as fd; -1 when it is no regular file. long is 32 bits
// here; no picture the game takes comes near that size.
static long regularSize(int fd) {
    struct _stat64 info;
    if (_fstat64(fd, &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) return -1;
    return info.st_size > LONG_MAX ? LONG_MAX : long(info.st_size);
}

FILE *openRegularFile(const char *path) {
    // No FIFOs live among Windows' files, but devices do ("CON", "NUL"): only a regular file
    // is read.
    int fd = _open(path, _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (fd < 0) return nullptr;
    if (regularSize(fd) < 0) {
        _close(fd);
        return nullptr;
    }
    FILE *file = _fdopen(fd, "rb");
    if (!file) _close(fd);
    return file;
}

long regularFileSize(FILE *file) {
    return regularSize(_fileno(file));
}

FILE *createNewFile(const char *path) {
    int fd = _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                   _S_IREAD | _S_IWRITE);
    if (fd < 0) {
        // A folder of that name gives "access denied", not "exists": taken is taken.
        if (errno != EEXIST && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) errno = EEXIST;
        return nullptr;
    }
    FILE *file = _fdopen(fd, "wb");
    if (!file) _close(fd);
    return file;
}

void setUpStandardOutput() {
    _setmode(_fileno(stdout), _O_BINARY);
    setvbuf(stdout, nullptr, _IONBF, 0);
}

void setEnvironmentDefault(const char *name, const char *value) {
    // The C runtime's own environment, which getenv in a statically linked library reads.
    if (!getenv(name)) _putenv_s(name, value);
}

int hushStandardError() {
    fflush(stderr);
    int saved = _dup(_fileno(stderr));
    if (saved < 0) return -1;
    int nothing = _open("NUL", _O_WRONLY | _O_NOINHERIT);
    if (nothing < 0 || _dup2(nothing, _fileno(stderr)) < 0) {
        if (nothing >= 0) _close(nothing);
        _close(saved);
        return -1;
    }
    _close(nothing);
    return saved;
}

void restoreStandardError(int saved) {
    if (saved < 0) return;
    fflush(stderr);
    _dup2(saved, _fileno(stderr));
    _close(saved);
}

bool windowHoldsKeyboard() {
    HDC context = wglGetCurrentDC();
    HWND window = context ? WindowFromDC(context) : nullptr;
    if (!window) return true;
    // The game's window is a top-level one: it has lost the keyboard once another program's
    // window is in the foreground. No foreground window, or the desktop's (Wine's while it
    // settles a new window), takes no keys from it.
    HWND foreground = GetForegroundWindow();
    if (!foreground || foreground == window || foreground == GetDesktopWindow() ||
        foreground == GetShellWindow())
        return true;
    DWORD owner = 0;
    GetWindowThreadProcessId(foreground, &owner);
    return owner == GetCurrentProcessId();
}

const char *platformName() {
    return "windows";
}

std::string settingsFolder() {
    const char *appData = getenv("APPDATA");
    if (!appData || !*appData) return "";
    std::string folder = appData;
    for (char &c : folder)
        if (c == '\\') c = '/';
    return folder + "/Grazewell";
}

bool pathExists(const std::string &path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool finishFile(FILE *file) {
    bool flushed = fflush(file) == 0 && _commit(_fileno(file)) == 0;
    return fclose(file) == 0 && flushed;
}

bool replaceFile(const char *from, const char *to) {
    // rename refuses a name that is taken on Windows.
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    errno = EACCES;
    return false;
}
