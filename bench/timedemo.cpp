// The timedemo row's child and its figures.
#include "timedemo.h"
#include "clocks.h"
#include "startup.h"

#include "game_headers.h"
#include "demo/demo.h"
#include "input/input.h"

#include <GL/freeglut.h>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

std::string runTimedemo(const char *self, const char *path, TimedemoRun &run) {
    int fds[2];
    if (pipe(fds) != 0) return "no pipe for the timedemo child";
    pid_t child = fork();
    if (child == 0) {
        dup2(fds[1], 3);
        execl(self, self, "--timedemo-child", path, static_cast<char *>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    ssize_t got = read(fds[0], &run, sizeof run);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (got != ssize_t(sizeof run) || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "the timedemo child failed (status " + std::to_string(status) + ")";
    return "";
}

std::string describeFrame(const TimedemoRun::Frame &frame) {
    char text[120];
    snprintf(text, sizeof text, "frame %d%s: %.1f ms, %.1f ms of CPU", frame.number,
             frame.picked ? " (a pick)" : "", frame.wallMilliseconds, frame.cpuMilliseconds);
    return text;
}

int timedemoChild(int argc, char **argv) {
    if (argc < 3) return 2;
    Demo demo;
    std::string reason;
    if (!readDemo(argv[2], demo, &reason)) {
        fprintf(stderr, "%s: %s\n", argv[2], reason.c_str());
        return 1;
    }
    // The game's console lines are not the benchmark's.
    if (!freopen("/dev/null", "w", stdout)) return 1;
    windowWidth = demo.header.width;
    windowHeight = demo.header.height;
    int glutArgc = 1;
    openWindow(glutArgc, argv);
    for (int i = 0; i < 20; i++) glutMainLoopEvent();
    initWorld();
    if (prepareSelectionContext) prepareSelectionContext();
    warmUpDrawing(); // as the game does before its first frame
    // Only the recorded events move this game, as in a replay.
    releaseKeysWithFocus = false;
    startDemo(demo.header);

    std::vector<double> seconds;
    seconds.reserve(demo.frames.size());
    TimedemoRun run{};
    run.slowest = run.costliest = {-1, 0.0, 0.0, false};
    double cpuLast = processSeconds();
    double cpuStart = processSeconds(), threadStart = threadSeconds();
    Clock::time_point start = Clock::now(), last = start;
    for (size_t i = 0; i < demo.frames.size(); i++) {
        const DemoFrame &frame = demo.frames[i];
        std::string difference = frameDifference(frame, runFrame(frame.events, &frame));
        if (!difference.empty()) {
            fprintf(stderr, "%s: frame %zu differs from the recording: %s\n", argv[2], i,
                    difference.c_str());
            return 1;
        }
        Clock::time_point now = Clock::now();
        double cpuNow = processSeconds();
        seconds.push_back(std::chrono::duration<double>(now - last).count());
        TimedemoRun::Frame measured{int(i), seconds.back() * 1000, (cpuNow - cpuLast) * 1000,
                                    frameTaken.picked};
        if (measured.wallMilliseconds > run.slowest.wallMilliseconds) run.slowest = measured;
        if (measured.cpuMilliseconds > run.costliest.cpuMilliseconds) run.costliest = measured;
        last = now;
        cpuLast = cpuNow;
    }
    glFinish();
    run.frames = int(seconds.size());
    run.seconds = secondsSince(start);
    if (run.frames == 0 || run.seconds <= 0) return 1;
    run.averageFps = run.frames / run.seconds;
    std::sort(seconds.begin(), seconds.end(), std::greater<double>());
    size_t low = std::max<size_t>(1, seconds.size() / 100);
    double lowSeconds = 0;
    for (size_t i = 0; i < low; i++) lowSeconds += seconds[i];
    run.lowFps = lowSeconds > 0 ? double(low) / lowSeconds : 0;
    run.cpuMilliseconds = (processSeconds() - cpuStart) * 1000 / run.frames;
    run.threadMilliseconds = (threadSeconds() - threadStart) * 1000 / run.frames;
    return write(3, &run, sizeof run) == ssize_t(sizeof run) ? 0 : 1;
}
