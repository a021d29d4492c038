// Windows: the C runtime's descriptors and pipes, and the Win32 API's sharing rules.
#include "support/files.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <windows.h>

void setEnvironment(const char *name, const char *value) {
    // An empty value removes the variable.
    _putenv_s(name, value ? value : "");
}

int runProgram(const std::vector<std::string> &command) {
    // The runtime joins the arguments with spaces: they must hold none.
    std::vector<const char *> argv;
    for (const std::string &argument : command) argv.push_back(argument.c_str());
    argv.push_back(nullptr);
    fflush(stdout);
    intptr_t status = _spawnv(_P_WAIT, argv[0], argv.data());
    return status < 0 ? -1 : int(status);
}

bool fileIsOpen(const std::string &path) {
    // The C runtime opens files for others to read and write but never to delete: a handle
    // that will share nothing is refused while any other is open.
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(handle);
    return false;
}

bool descriptorIsOpen(int fd) {
    return _get_osfhandle(fd) != -1;
}

const bool PLATFORM_HAS_FIFOS_AND_LINKS = false;

bool makeFifo(const std::string &) {
    return false;
}

bool makeLink(const std::string &, const std::string &) {
    return false;
}

FILE *memoryStream(Bytes &bytes) {
    // A pipe holding the bytes, its writing end closed: read to its end like a file, but with
    // no size to look up.
    int ends[2];
    unsigned size = unsigned(std::max<size_t>(bytes.size(), 4096));
    if (_pipe(ends, size, _O_BINARY | _O_NOINHERIT) != 0) return nullptr;
    bool written =
        bytes.empty() || _write(ends[1], bytes.data(), unsigned(bytes.size())) == int(bytes.size());
    _close(ends[1]);
    FILE *file = written ? _fdopen(ends[0], "rb") : nullptr;
    if (!file) _close(ends[0]);
    return file;
}

int runWithLittleMemory(size_t, const std::function<int()> &) {
    return NO_MEMORY_LIMIT;
}

int runDying(const std::function<void()> &, std::string *) {
    return NO_CHILD;
}

std::vector<std::pair<int, std::string>> crashSignals() {
    return {};
}
