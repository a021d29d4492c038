// The measurement: rounds of every situation, one after the other in the same window, each
// started from the same state and checked afterwards.
#pragma once

#include "situations.h"
#include "snapshot.h"

#include <vector>

// Frames drawn in the last measurement.
extern int measuredFrames;

// Resizes the window and waits until the game has been told; stops the benchmark when it cannot.
void useWindowSize(WindowSize size);
// Opens perf's control fifos when GRAZEWELL_PROFILER_CONTROL and GRAZEWELL_PROFILER_ACK name them.
void openProfilerControl();
// Measures every situation once per round for the seconds given, each from start, and adds the
// figures to it; the number of failed checks, each reported on stderr.
int runRounds(std::vector<Situation> &all, int rounds, double seconds, const Snapshot &start);
