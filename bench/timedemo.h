// The timedemo row: a recorded game played whole, as fast as it draws, in a fresh game of its own
// (a child process), as `grazewell --timedemo` plays it.
#pragma once

#include <string>

// The recorded win the benchmark plays.
const char *const TIMEDEMO_FILE = GRAZEWELL_SOURCE_DIR "/tests/data/win.gzd";

// What one timedemo run measured.
struct TimedemoRun {
    int frames;
    double seconds;    // wall time of all its frames
    double averageFps; // frames over seconds
    double lowFps;     // the 1 % low: the rate of the slowest 1 % of the frames (at least one)
    double cpuMilliseconds, threadMilliseconds; // CPU time a frame, all threads and the game's
    // The slowest frame by the wall clock and the costliest by CPU time (all threads): its number
    // (a tick of the recording), its wall and CPU milliseconds, and whether it was a pick. A frame
    // slow on the wall but cheap in CPU was held up by something outside the game.
    struct Frame {
        int number;
        double wallMilliseconds, cpuMilliseconds;
        bool picked;
    } slowest, costliest;
};
// One line on a frame: "frame 4 (a pick): 77.2 ms, 76.9 ms of CPU".
std::string describeFrame(const TimedemoRun::Frame &frame);

// Plays the recording at path in a child (self --timedemo-child path); "" with the figures in
// run, or what went wrong (a frame that differs from the recording among it).
std::string runTimedemo(const char *self, const char *path, TimedemoRun &run);
// The child: opens the window at the recording's size, makes the world, plays every frame and
// checks it against the recording, and writes its TimedemoRun to descriptor 3, or a line of
// trouble to standard error and a non-zero status.
int timedemoChild(int argc, char **argv);
