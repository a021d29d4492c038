// Windows, through the C runtime's descriptors and a few calls of the Win32 API.
#include "platform/platform.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <vector>
#include <windows.h>
// After windows.h, which the GL headers need on Windows.
#include <GL/freeglut.h>

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

// The virtual key of a key (see keysHeldDown), 0 when it has none.
static int virtualKeyOf(int key) {
    const int special = 256;
    if (key >= special) {
        int code = key - special;
        if (code >= GLUT_KEY_F1 && code <= GLUT_KEY_F12) return VK_F1 + (code - GLUT_KEY_F1);
        switch (code) {
        case GLUT_KEY_LEFT:
            return VK_LEFT;
        case GLUT_KEY_UP:
            return VK_UP;
        case GLUT_KEY_RIGHT:
            return VK_RIGHT;
        case GLUT_KEY_DOWN:
            return VK_DOWN;
        case GLUT_KEY_PAGE_UP:
            return VK_PRIOR;
        case GLUT_KEY_PAGE_DOWN:
            return VK_NEXT;
        case GLUT_KEY_HOME:
            return VK_HOME;
        case GLUT_KEY_END:
            return VK_END;
        case GLUT_KEY_INSERT:
            return VK_INSERT;
        }
        return 0;
    }
    switch (key) {
    case 8:
        return VK_BACK;
    case 9:
        return VK_TAB;
    case 13:
        return VK_RETURN;
    case 27:
        return VK_ESCAPE;
    case 127:
        return VK_DELETE;
    }
    if (key >= 1 && key <= 26) return 'A' + (key - 1);
    SHORT scan = key >= 0x20 && key <= 0xff ? VkKeyScanA(char(key)) : -1;
    return scan == -1 ? 0 : scan & 0xff;
}

bool keepHeldKeysHeld() {
    // A repeated key comes with its previous state set, and freeglut passes it over
    // (glutIgnoreKeyRepeat).
    return false;
}

std::vector<bool> keysHeldDown(const std::vector<int> &keys) {
    std::vector<bool> down(keys.size(), true);
    for (size_t i = 0; i < keys.size(); i++) {
        int virtualKey = virtualKeyOf(keys[i]);
        if (virtualKey != 0) down[i] = (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
    }
    return down;
}

const char *platformName() {
    return "windows";
}

std::string stateFolder() {
    const char *local = getenv("LOCALAPPDATA");
    if (!local || !*local) return "";
    std::string folder = std::string(local) + "/Grazewell";
    for (char &c : folder)
        if (c == '\\') c = '/';
    return folder;
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

bool moveToNewName(const char *from, const char *to) {
    // Without MOVEFILE_REPLACE_EXISTING a name that is taken is refused.
    if (MoveFileExA(from, to, MOVEFILE_WRITE_THROUGH)) return true;
    DWORD error = GetLastError();
    errno = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? EEXIST : EACCES;
    return false;
}

bool replaceFile(const char *from, const char *to) {
    // rename refuses a name that is taken on Windows.
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    errno = EACCES;
    return false;
}

// What the crash line says, set before any fault: the filter only reads them. Two sets, the one
// in force named by crashTexts: armCrashLine fills the other and then switches, so that a fault
// while it copies still finds whole texts.
struct CrashTexts {
    char before[2048], after[2048], marker[1024];
};
static CrashTexts crashTextSets[2];
static volatile LONG crashTexts = 0;

static void writeAll(HANDLE handle, const char *text) {
    DWORD left = DWORD(strlen(text)), done = 0;
    while (left > 0 && WriteFile(handle, text, left, &done, nullptr) && done > 0) {
        text += done;
        left -= done;
    }
}

// The exception's name, or its code in hexadecimal, into name (at least 40 bytes).
static void exceptionName(DWORD code, char *name) {
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
        strcpy(name, "an access violation");
        return;
    case EXCEPTION_STACK_OVERFLOW:
        strcpy(name, "a stack overflow");
        return;
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
        strcpy(name, "a division by zero");
        return;
    case EXCEPTION_ILLEGAL_INSTRUCTION:
        strcpy(name, "an illegal instruction");
        return;
    }
    strcpy(name, "exception 0x");
    char *at = name + strlen(name);
    for (int shift = 28; shift >= 0; shift -= 4) *at++ = "0123456789ABCDEF"[(code >> shift) & 15];
    *at = '\0';
}

// Writes and makes files only, as the Linux handler does; the process then ends with the
// exception's code, without the system's crash dialog.
static LONG WINAPI onCrash(EXCEPTION_POINTERS *pointers) {
    char name[48];
    exceptionName(pointers->ExceptionRecord->ExceptionCode, name);
    const CrashTexts &texts = crashTextSets[crashTexts];
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if (err && err != INVALID_HANDLE_VALUE) {
        writeAll(err, texts.before);
        writeAll(err, name);
        writeAll(err, texts.after);
    }
    if (texts.marker[0]) {
        HANDLE marker = CreateFileA(texts.marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (marker != INVALID_HANDLE_VALUE) {
            writeAll(marker, name);
            writeAll(marker, "\n");
            CloseHandle(marker);
        }
    }
    return EXCEPTION_EXECUTE_HANDLER;
}

static void copyText(char *to, size_t room, const char *from) {
    snprintf(to, room, "%s", from ? from : "");
}

void armCrashLine(const char *before, const char *after, const char *marker) {
    CrashTexts &next = crashTextSets[1 - crashTexts];
    copyText(next.before, sizeof next.before, before);
    copyText(next.after, sizeof next.after, after);
    copyText(next.marker, sizeof next.marker, marker);
    InterlockedExchange(&crashTexts, 1 - crashTexts);
    SetUnhandledExceptionFilter(onCrash);
}

void crashNow() {
    RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
}

void prepareWindowThreads() {}

// A second context of WGL's would need wglShareLists and the window's device context on another
// thread: not made yet, so Windows keeps its selection passes in the window's context.
bool makeSelectionContext() {
    return false;
}

bool enterSelectionContext() {
    return false;
}

void leaveSelectionContext() {}

bool askSwapInterval(int interval) {
    typedef const char *(WINAPI * ExtensionsString)();
    typedef BOOL(WINAPI * SwapInterval)(int);
    // Through a plain function pointer, as GetProcAddress's own type is none of these.
    auto extensions = reinterpret_cast<ExtensionsString>(
        reinterpret_cast<void (*)()>(wglGetProcAddress("wglGetExtensionsStringEXT")));
    if (!extensions || !namesExtension(extensions(), "WGL_EXT_swap_control")) return false;
    auto swapInterval = reinterpret_cast<SwapInterval>(
        reinterpret_cast<void (*)()>(wglGetProcAddress("wglSwapIntervalEXT")));
    return swapInterval && swapInterval(interval);
}
