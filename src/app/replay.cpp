#include "app/replay.h"

#include "app/ticks.h"
#include "app/timedemo.h"
#include "app/world_check.h"
#include "bison/bison.h"
#include "input/input.h"

#include <GL/freeglut.h>
#include <algorithm>
#include <cstdio>

long replayTick = 0;
long replayTicks = 0;

// The recording being played back, when playing one.
static Demo playing;
static bool playingBack = false;
static std::string playingPath;
// How it ended: -1 while it goes on.
static int endStatus = -1;

void startDemo(const DemoHeader &header) {
    seedBison(header.seed);
    // At the speed it was played at; its own speed changes follow as they were recorded.
    gameSpeed = header.speed;
    // Whatever window the game runs in, the game sees the recorded one until a recorded reshape.
    onReshape(header.width, header.height);
}

std::string playRecordedTick(const Demo &demo, TickStep step) {
    const DemoFrame &frame = demo.frames[size_t(replayTick)];
    std::string difference = frameDifference(frame, runTick(frame.events, step, &frame));
    if (difference.empty()) replayTick++;
    return difference;
}

bool replaying() {
    return playingBack;
}

bool replayPosition(long *tick, long *total) {
    // A timedemo measures the game's own frames.
    if (!playingBack || timingFrames) return false;
    *tick = std::min(replayTick + 1, replayTicks);
    *total = replayTicks;
    return true;
}

void stopReplay() {
    playingBack = false;
    timingFrames = false;
    endStatus = -1;
    replayTick = replayTicks = 0;
}

void startReplay(const Demo &demo, const char *path, bool timed) {
    playing = demo;
    playingBack = true;
    playingPath = path;
    endStatus = -1;
    replayTick = 0;
    replayTicks = long(demo.frames.size());
    // The timedemo times the drawing of every tick, one a frame.
    oneTickPerFrame = timed;
    if (timed) startTimedemo();
    // The window's focus is the recording's: a key let go is let go where it was recorded.
    releaseKeysWithFocus = false;
    startDemo(demo.header);
    // Picks go through the tree cards' visible texels: pictures of the player's own can part the
    // replay from the game at its first click near a tree, and the cause is said here, up front.
    if (demo.header.formatVersion >= 2 && demo.header.fingerprint != 0 &&
        demo.header.fingerprint != worldFingerprint())
        fprintf(stderr,
                "grazewell: %s: the tree pictures here are not the recording's (their visible "
                "texels differ), so a click through a tree may not pick what it picked\n",
                path);
    if (demo.endsMidFrame)
        fprintf(stderr,
                "grazewell: %s: the recording was cut inside a tick; its %ld whole ticks are "
                "played\n",
                path, replayTicks);
}

// A recorded reshape takes the window along, so that what is shown is what was played, but never
// beyond the screen: the game still sees the recorded size, and a capture never reads more than
// the window really drawn.
static void followRecordedReshapes(const DemoFrame &frame) {
    for (const DemoEvent &event : frame.events)
        if (event.type == DEMO_RESHAPE && event.a > 0 && event.b > 0) {
            int screenWidth = glutGet(GLUT_SCREEN_WIDTH),
                screenHeight = glutGet(GLUT_SCREEN_HEIGHT);
            glutReshapeWindow(screenWidth > 0 ? std::min(event.a, screenWidth) : event.a,
                              screenHeight > 0 ? std::min(event.b, screenHeight) : event.b);
        }
}

void replayTicksAt(PaceClock::time_point now) {
    if (timingFrames) timeFrameStart();
    runDueTicks(now, [](TickStep step, PaceClock::time_point) {
        if (endStatus >= 0 || replayTick >= replayTicks) return false;
        followRecordedReshapes(playing.frames[size_t(replayTick)]);
        std::string difference = playRecordedTick(playing, step);
        if (!difference.empty()) {
            fprintf(stderr, "grazewell: %s: tick %ld differs from the recording: %s\n",
                    playingPath.c_str(), replayTick, difference.c_str());
            endStatus = DESYNC_STATUS;
            return false;
        }
        return true;
    });
    if (endStatus < 0 && replayTick >= replayTicks) endStatus = 0;
}

int replayEnd() {
    return endStatus;
}
