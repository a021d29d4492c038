// File helpers for tests: whole-file reads and writes, a private working folder, open
// descriptors, and a child process with little memory to spare.
#pragma once

#include <functional>
#include <string>
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

// Whether any file descriptor of this process refers to the file at path. (Counting descriptors
// would not do: the GL's own threads open and close files of their own at any time.)
bool fileIsOpen(const std::string &path);

// What runWithLittleMemory returns where no memory limit can be set (sanitizer builds).
const int NO_MEMORY_LIMIT = 124;
// Runs body in a forked child whose address space may grow by only spareBytes more; returns the
// child's exit status (body's result), or -1 when it did not exit normally. The child uses no GL.
int runWithLittleMemory(size_t spareBytes, const std::function<int()> &body);
