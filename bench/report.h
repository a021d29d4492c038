// What the benchmark prints: the table for people, the raw lines for scripts, the one line of a
// single situation for a profiler.
#pragma once

#include "situations.h"
#include "startup.h"

#include <cstdio>
#include <vector>

// One situation's frames per second and frame count, on the renderer.
void printOnly(FILE *out, const Situation &situation, int frames);
// Tab-separated, one line per measurement.
void printRaw(FILE *out, const std::vector<Situation> &all, const StartUps &startUps);
// The table: each situation's medians and spread, against the scenery floor at its window size,
// then the start-up.
void printTable(FILE *out, const std::vector<Situation> &all, const StartUps &startUps, int rounds,
                double seconds);
