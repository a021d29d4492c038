// Frames drawn for a given time, timed on the wall and CPU clocks, round after round.
#include "measure.h"
#include "clocks.h"

#include "game_headers.h"

#include <GL/freeglut.h>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

// Resizes the window and waits until the game has been told.
void useWindowSize(WindowSize size) {
    int width = size.width, height = size.height;
    if (windowWidth == width && windowHeight == height) return;
    glutReshapeWindow(width, height);
    for (int i = 0; i < 200 && (windowWidth != width || windowHeight != height); i++) {
        glutMainLoopEvent();
        usleep(5000);
    }
    if (windowWidth != width || windowHeight != height) {
        fprintf(stderr, "the window could not be made %d x %d\n", width, height);
        exit(1);
    }
}

// perf's control and acknowledgement fifos (perf record --control=fifo:CTL,ACK -D -1), named by
// GRAZEWELL_PROFILER_CONTROL and GRAZEWELL_PROFILER_ACK: the profile then holds the measured
// frames only, not the start-up and set-up around them.
static FILE *profilerControl = nullptr, *profilerAck = nullptr;

void openProfilerControl() {
    const char *control = getenv("GRAZEWELL_PROFILER_CONTROL");
    const char *ack = getenv("GRAZEWELL_PROFILER_ACK");
    if (!control || !ack) return;
    profilerControl = fopen(control, "w");
    profilerAck = fopen(ack, "r");
}

static void tellProfiler(const char *command) {
    if (!profilerControl || !profilerAck) return;
    fprintf(profilerControl, "%s\n", command);
    fflush(profilerControl);
    char answer[16];
    if (!fgets(answer, sizeof answer, profilerAck)) profilerAck = nullptr;
}

// Frames drawn in the last measurement, and the CPU milliseconds per frame it took.
int measuredFrames = 0;
static double measuredCpu = 0, measuredThread = 0;

static double measure(Situation &situation, double seconds) {
    situation.setUp();
    situation.frame(); // warm-up: first use of a state, texture or list
    glFinish();
    tellProfiler("enable");
    int frames = 0;
    double cpuStart = processSeconds(), threadStart = threadSeconds();
    Clock::time_point start = Clock::now();
    while (secondsSince(start) < seconds) {
        situation.frame();
        frames++;
    }
    glFinish();
    double elapsed = secondsSince(start);
    measuredCpu = (processSeconds() - cpuStart) * 1000 / frames;
    measuredThread = (threadSeconds() - threadStart) * 1000 / frames;
    tellProfiler("disable");
    measuredFrames = frames;
    return frames / elapsed;
}

int runRounds(std::vector<Situation> &all, int rounds, double seconds, const Snapshot &start) {
    int failures = 0;
    for (int round = 0; round < rounds; round++) {
        for (Situation &situation : all) {
            if (situation.wholeRun) {
                std::string problem = situation.wholeRun(situation);
                if (!problem.empty()) {
                    fprintf(stderr, "%s: %s\n", situation.name, problem.c_str());
                    failures++;
                }
                continue;
            }
            useWindowSize(situation.size);
            restore(start);
            situation.fps.push_back(measure(situation, seconds));
            situation.cpuMilliseconds.push_back(measuredCpu);
            situation.threadMilliseconds.push_back(measuredThread);
            std::string problem = situation.check();
            if (!problem.empty()) {
                fprintf(stderr, "%s: %s\n", situation.name, problem.c_str());
                failures++;
            }
        }
    }
    return failures;
}
