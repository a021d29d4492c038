// A GL context for the fuzzers: one small hidden freeglut window, made once.
#pragma once

void makeFuzzContext();
// A path naming data as a regular file (kept in memory), for loaders that take a path.
const char *memoryFile(const unsigned char *data, unsigned long size);
