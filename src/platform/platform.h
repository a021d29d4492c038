// The few things the operating system answers differently on each platform: where the running
// program lives and what kind of thing a path names. Everything else in the game is portable.
#pragma once

#include <string>

// The folder holding the running program, without a trailing slash; "" when it cannot be told.
std::string programFolder();
// Whether path names a folder (following links).
bool isFolder(const std::string &path);
// Whether path names a regular file (following links).
bool isRegularFile(const std::string &path);
