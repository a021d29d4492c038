// File helpers for tests: whole-file reads and writes, private folders, open files, streams,
// programs, and a child process with little memory to spare. files.cpp is portable; what each
// operating system does its own way is in files_posix.cpp and files_windows.cpp.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

typedef std::vector<unsigned char> Bytes;

// The whole file, empty when it cannot be read.
Bytes readBytes(const std::string &path);
// Writes bytes to path, replacing it; false when it cannot.
bool writeBytes(const std::string &path, const Bytes &bytes);
// An uncompressed true-colour TGA: the 12-byte pattern, width, height, bits, descriptor, then the
// pixel bytes as given (B G R or B G R A, bottom row first).
Bytes tgaFile(int width, int height, int bits, const Bytes &pixels, unsigned char descriptor = 0);
bool fileExists(const std::string &path);
bool isDirectory(const std::string &path);
// Makes the folder path (its parent must be there); false when it cannot, or it is there already.
bool makeDir(const std::string &path);

// A fresh folder of its own in the system's temporary folder, named grazewell-<tag>-...; removed
// by the caller with removeTree.
std::string makeTempDir(const char *tag);
// Removes a folder made by makeTempDir and all it holds, whatever their permissions.
void removeTree(const std::string &path);

// Makes a fresh temporary folder and makes it the working directory until destroyed; then the
// old working directory is restored and the folder removed.
class WorkDir {
  public:
    explicit WorkDir(const char *tag);
    ~WorkDir();
    const std::string path;

  private:
    std::string previous;
};

// Occurrences of needle in text.
int countOf(const std::string &text, const std::string &needle);

// Sets (or, given nullptr, removes) a variable of this process's environment.
void setEnvironment(const char *name, const char *value);
// Runs a program with arguments and waits for it; its exit status, or -1 when it did not run or
// end normally.
int runProgram(const std::vector<std::string> &command);

// Whether this process has the file at path open. (Counting descriptors would not do: the GL's
// own threads open and close files of their own at any time.)
bool fileIsOpen(const std::string &path);
// Whether fd is an open descriptor of this process.
bool descriptorIsOpen(int fd);
// Whether tests can make FIFOs and symbolic links: Windows keeps no FIFOs among its files and
// lets only administrators make links.
extern const bool PLATFORM_HAS_FIFOS_AND_LINKS;
// Makes a FIFO at path; false when it cannot.
bool makeFifo(const std::string &path);
// Makes a symbolic link at path to target (which need not be there); false when it cannot.
bool makeLink(const std::string &target, const std::string &path);
// A stream reading bytes that has no size to look up beforehand, as a pipe has; bytes must
// outlive it. The caller closes it.
FILE *memoryStream(Bytes &bytes);

// What runWithLittleMemory returns where no memory limit can be set: in sanitizer builds, and on
// Windows, which has no fork to run the body in a child of its own.
const int NO_MEMORY_LIMIT = 124;
const char *const NO_MEMORY_LIMIT_REASON =
    "no memory limit can be set here (sanitizer builds, Windows)";
// Runs body in a forked child whose address space may grow by only spareBytes more; returns the
// child's exit status (body's result), or -1 when it did not exit normally. The child uses no GL.
int runWithLittleMemory(size_t spareBytes, const std::function<int()> &body);

// What runDying returns where there is no fork (Windows).
const int NO_CHILD = -2;
// Runs body in a forked child, its standard error caught into *errors; the number of the signal
// the child died of, 0 when it exited, -1 when it could not be run, NO_CHILD without fork.
int runDying(const std::function<void()> &body, std::string *errors);
// The signals the game's crash line is armed for, each with its name; none on Windows, where a
// crash is an exception.
std::vector<std::pair<int, std::string>> crashSignals();
