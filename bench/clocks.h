// The benchmark's clocks: wall time for frames per second, CPU time for what a frame costs.
#pragma once

#include <chrono>

// The wall clock the measurements run on; it never jumps.
using Clock = std::chrono::steady_clock;

// Seconds of wall time since start.
double secondsSince(Clock::time_point start);
// CPU seconds of the whole process, every thread (llvmpipe rasterises on threads of its own).
double processSeconds();
// CPU seconds of the calling thread, the game's.
double threadSeconds();
// The wall clock now, in nanoseconds: comparable between the benchmark and a child it starts.
long long nanosecondsNow();
