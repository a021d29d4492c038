// Frames per second of the game's frame in its typical situations, measured in one window and
// one run, interleaved round by round, against two floors: a frame that only clears and swaps,
// and a frame that draws only sky and ground. The scenery floor is the benchmark's own display
// list, sky then ground as the game first drew them, so that a cheaper scene in the game shows as
// a lower ratio instead of moving the floor with it. The game's window size and a maximised
// 1920 x 1080 window are measured, each against the floors at its own size (the X screen must
// hold 1920 x 1080).
//
//   grazewell_bench [rounds] [seconds per measurement]   the table
//   grazewell_bench --raw [rounds] [seconds]              one line per measurement, for scripts
//   grazewell_bench --only NAME [seconds]                 one situation, for a profiler
//
// Every frame of a situation draws the same picture: the bison is put back where it stood before
// each frame (it still takes its wander step inside the frame), so a faster frame does not let it
// walk out of view, and the flying food and the bomb launch are put back into the same moment of
// their flight. The last row is the exception: the recorded win (tests/data/win.gzd) played
// whole as a timedemo in a child with a fresh game each round, every frame checked against the
// recording, its average in the table and its 1 % low below it. Each situation is checked after
// its measurement; one that left its state stops the run. Run it from a folder holding tex/
// (scripts/bench.sh does all of this under Xvfb).
#include "frames.h"
#include "measure.h"
#include "report.h"
#include "situations.h"
#include "snapshot.h"
#include "startup.h"
#include "timedemo.h"

#include "game_headers.h"
#include "bison/bison.h"
#include "input/input.h"
#include "platform/platform.h"

#include <GL/freeglut.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

// What the command line asks for.
struct Options {
    bool raw;         // one line per measurement instead of the table
    const char *only; // the start of the one situation's name to measure, or null
    int rounds;       // rounds of every situation
    double seconds;   // per measurement
};

// The options of the command line; false when they make no sense.
static bool readOptions(int argc, char **argv, Options &options) {
    bool raw = argc > 1 && strcmp(argv[1], "--raw") == 0;
    const char *only = argc > 2 && strcmp(argv[1], "--only") == 0 ? argv[2] : nullptr;
    int first = raw ? 2 : only ? 3 : 1;
    int rounds = only ? 1 : argc > first ? atoi(argv[first]) : 5;
    const char *secondsArgument =
        argc > first + (only ? 0 : 1) ? argv[first + (only ? 0 : 1)] : nullptr;
    double seconds = secondsArgument ? atof(secondsArgument) : 1.0;
    options = {raw, only, rounds, seconds};
    return rounds >= 1 && seconds > 0;
}

// Opens the window and makes the world, the same in every run: the bison one step into a leg of
// a known draw, where it started, and the title's gaze settled, as on a real title screen after
// its first seconds. The state every situation starts from.
static Snapshot startWorld(int &argc, char **argv) {
    openWindow(argc, argv);
    for (int i = 0; i < 20; i++) glutMainLoopEvent();
    initWorld();
    // Each situation's frame is one tick of the game, whatever the clock says.
    oneTickPerFrame = true;
    buildFloorList();
    onReshape(windowWidth, windowHeight);
    srand(1);
    Vector3 bisonStart = bison->position;
    bison->wander();
    bison->position = bisonStart;
    for (int i = 0; i < 200; i++) titleDrift();
    return save();
}

// The recorded win played whole as a timedemo, in a fresh game of its own each round; the row
// sets its average against the scenery floor at the game's size, and its 1 % low below the table.
static Situation timedemoSituation(const char *self) {
    Situation timedemo = {"timedemo: the recorded win (average)", GAME_SIZE, [] {}, [] {},
                          [] { return std::string(); }};
    std::string program = self;
    timedemo.wholeRun = [program](Situation &situation) {
        TimedemoRun run;
        std::string problem = runTimedemo(program.c_str(), TIMEDEMO_FILE, run);
        if (!problem.empty()) return problem;
        situation.fps.push_back(run.averageFps);
        situation.lowFps.push_back(run.lowFps);
        situation.cpuMilliseconds.push_back(run.cpuMilliseconds);
        situation.threadMilliseconds.push_back(run.threadMilliseconds);
        situation.wholeFrames = run.frames;
        situation.slowFrames.push_back("slowest " + describeFrame(run.slowest) + "; costliest " +
                                       describeFrame(run.costliest));
        return std::string();
    };
    return timedemo;
}

// Keeps only the situation whose name starts with only, and lets a profiler see its frames alone;
// false when there is none.
static bool keepOnly(std::vector<Situation> &all, const char *only) {
    auto chosen = std::find_if(all.begin(), all.end(), [only](const Situation &s) {
        return strncmp(s.name, only, strlen(only)) == 0;
    });
    if (chosen == all.end()) {
        fprintf(stderr, "no situation starts with '%s'\n", only);
        return false;
    }
    all = {*chosen};
    openProfilerControl();
    return true;
}

static void removeFolder(const char *folder) {
    std::string cleanup = std::string("rm -rf '") + folder + "'";
    if (system(cleanup.c_str()) != 0) fprintf(stderr, "could not remove %s\n", folder);
}

int main(int argc, char **argv) {
    // Sound is mixed by OpenAL's silent device, which does a real device's work without one: the
    // same figures on a machine with speakers and on one without (unless ALSOFT_DRIVERS names
    // another).
    setEnvironmentDefault("ALSOFT_DRIVERS", "null");
    if (argc > 1 && strcmp(argv[1], "--first-frame") == 0) return firstFrame(argc, argv);
    if (argc > 1 && strcmp(argv[1], "--timedemo-child") == 0) return timedemoChild(argc, argv);
    Options options;
    if (!readOptions(argc, argv, options)) {
        fprintf(stderr, "usage: grazewell_bench [--raw] [rounds] [seconds per measurement]\n"
                        "       grazewell_bench --only NAME [seconds]\n");
        return 2;
    }
    // The game's console lines would drown the table; the benchmark keeps only its own.
    FILE *table = fdopen(dup(1), "w");
    if (!freopen("/dev/null", "w", stdout)) return 1;

    Snapshot start = startWorld(argc, argv);
    char folder[] = "/tmp/grazewell-bench-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    std::string home = get_current_dir_name();
    std::vector<Situation> all = situations(folder, home);
    all.push_back(timedemoSituation(argv[0]));
    if (options.only && !keepOnly(all, options.only)) {
        removeFolder(folder);
        return 2;
    }

    int failures = runRounds(all, options.rounds, options.seconds, start);
    useWindowSize(GAME_SIZE);
    restore(start);
    removeFolder(folder);
    if (failures) return 1;

    if (options.only) {
        printOnly(table, all[0], measuredFrames);
        fclose(table);
        return 0;
    }
    StartUps startUps;
    if (!measureStartUps(argv[0], options.rounds, startUps)) {
        fprintf(stderr, "the start-up child failed\n");
        return 1;
    }
    if (options.raw)
        printRaw(table, all, startUps);
    else
        printTable(table, all, startUps, options.rounds, options.seconds);
    fclose(table);
    return 0;
}
