#include "app/pacing.h"

#include "app/live_events.h"
#include "app/loop.h"
#include "clock/clock.h"

#include <GL/freeglut.h>
#include <thread>

int frameRateCap = 60;
bool displayPaced = false;

void capFrameRate(int fps) {
    frameRateCap = fps;
    frameTickLimit = tickBacklogLimit(fps);
}

PaceClock::time_point nextFrameTime(PaceClock::time_point last, PaceClock::time_point now,
                                    PaceClock::duration period) {
    PaceClock::time_point due = last + period;
    return due < now ? now : due;
}

PaceClock::duration framePeriod(int fps) {
    return std::chrono::duration_cast<PaceClock::duration>(
        std::chrono::duration<double>(1.0 / fps));
}

// The frame that is due: through GLUT's redisplay, or, for a covered window (which GLUT never
// redraws), run here.
static void frameNow() {
    if (windowCovered)
        onDisplay();
    else
        glutPostRedisplay();
}

void pacedIdle() {
    // The first frame is due at once.
    static PaceClock::time_point last = PaceClock::time_point::min();
    PaceClock::time_point now = PaceClock::now();
    // Covered, a frame only runs its ticks: one a tick is enough.
    int rate = windowCovered || frameRateCap <= 0 ? TICKS_PER_SECOND : frameRateCap;
    PaceClock::time_point due =
        last == PaceClock::time_point::min() ? now : nextFrameTime(last, now, framePeriod(rate));
    // Drawn at most 60 times a second, a frame waits for a tick boundary, so that each one runs
    // the same number of ticks (one at 60, three at 20) instead of now none, now two.
    if (rate <= TICKS_PER_SECOND) due = nearestTickTime(gameClock, due);
    std::this_thread::sleep_until(due);
    last = due;
    pacedMoment = due;
    frameNow();
}

void (*gameIdle())() {
    // A timedemo goes as fast as it can, covered or not.
    if (windowCovered) return frameRateCap > 0 || !oneTickPerFrame ? pacedIdle : frameNow;
    return frameRateCap > 0 ? pacedIdle : glutPostRedisplay;
}

bool windowShowsFrames(int status) {
    return status != GLUT_HIDDEN;
}

void onWindowStatus(int status) {
    bool shows = windowShowsFrames(status);
    // Wholly covered (or too small to be seen: X calls a window of 1 x 1 covered), the game plays
    // on unseen; only a minimised one stands still.
    windowCovered = status == GLUT_FULLY_COVERED;
    // Minimised, the window has lost the keyboard, and a key let go meanwhile is never heard.
    if (status == GLUT_HIDDEN) takeLiveEvent({DEMO_KEYS_RELEASED});
    // Shown again, the game goes on where it stood, not a backlog of the time it was away later.
    if (!shows) gameClock.running = false;
    glutIdleFunc(shows ? gameIdle() : nullptr);
    if (shows) glutPostRedisplay();
}
