// Linux: /proc, fork and the C library's own streams.
#include "support/files.h"

#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

void setEnvironment(const char *name, const char *value) {
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

// Waits for a forked child: its exit status, or -1 when it did not start or end normally.
static int exitStatus(pid_t child) {
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int runProgram(const std::vector<std::string> &command) {
    std::vector<char *> argv;
    for (const std::string &argument : command)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        execv(argv[0], argv.data());
        _exit(127);
    }
    return exitStatus(child);
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

bool descriptorIsOpen(int fd) {
    return fcntl(fd, F_GETFD) != -1;
}

const bool PLATFORM_HAS_FIFOS_AND_LINKS = true;

bool makeFifo(const std::string &path) {
    return mkfifo(path.c_str(), 0644) == 0;
}

bool makeLink(const std::string &target, const std::string &path) {
    return symlink(target.c_str(), path.c_str()) == 0;
}

FILE *memoryStream(Bytes &bytes) {
    // fmemopen takes no empty buffer: an empty stream is a one-byte one read to its end.
    static unsigned char empty = 0;
    FILE *file =
        bytes.empty() ? fmemopen(&empty, 1, "rb") : fmemopen(bytes.data(), bytes.size(), "rb");
    if (file && bytes.empty()) fseek(file, 1, SEEK_SET);
    return file;
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
    return exitStatus(child);
}

int runDying(const std::function<void()> &body, std::string *errors) {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    fflush(stdout);
    fflush(stderr);
    pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        dup2(fds[1], STDERR_FILENO);
        body();
        _exit(0);
    }
    close(fds[1]);
    errors->clear();
    char buffer[4096];
    ssize_t got;
    while ((got = read(fds[0], buffer, sizeof buffer)) > 0) errors->append(buffer, size_t(got));
    close(fds[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return -1;
    return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

std::vector<std::pair<int, std::string>> crashSignals() {
    return {{SIGSEGV, "SIGSEGV"},
            {SIGBUS, "SIGBUS"},
            {SIGFPE, "SIGFPE"},
            {SIGILL, "SIGILL"},
            {SIGABRT, "SIGABRT"}};
}
