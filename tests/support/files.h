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

// Number of file descriptors this process has open.
int openDescriptorCount();

// Runs body in a forked child whose address space may grow by only spareBytes more; returns the
// child's exit status (body's result), or -1 when it did not exit normally. The child uses no GL.
int runWithLittleMemory(size_t spareBytes, const std::function<int()> &body);
