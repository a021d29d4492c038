#include "app/loop.h"

#include "app/app.h"
#include "app/live_events.h"
#include "app/player.h"
#include "app/recording.h"
#include "app/replay.h"
#include "app/ticks.h"
#include "app/timedemo.h"
#include "input/input.h"

#include <GL/freeglut.h>
#include <cstdlib>
#include <cstring>

bool drawEveryFrame = true;
bool windowCovered = false;
long framesShown = 0;
PaceClock::time_point pacedMoment = PaceClock::time_point::min();

void showFrame(PaceClock::time_point moment) {
    if (!drawEveryFrame || windowCovered) return;
    drawWorldToShow(tickShare(gameClock, moment));
    drawOverlays(); // after any capture, so a capture holds the game alone
    glutSwapBuffers();
    framesShown++;
}

DemoFrame runFrame(const std::vector<DemoEvent> &events, const DemoFrame *feed) {
    PaceClock::time_point now = PaceClock::now();
    DemoFrame tick = runTick(events, nextTick(gameClock, now, 0), feed);
    showFrame(now);
    return tick;
}

// The live game's ticks due at NOW, each with the events that came before it, each written into
// the recording as it ends. A tick that asks to quit is the last.
static void playLiveTicksAt(PaceClock::time_point now) {
    runDueTicks(now, [](TickStep step, PaceClock::time_point due) {
        recordTick(runTick(liveEventsBefore(due), step));
        return !quitAsked;
    });
}

// The game is over: Escape was pressed, or the recording played back came to its end or to a
// tick that differs. exit runs what start-up arranged for the end (the sound closed, the settings
// and the record of games kept, a timedemo's figures).
static void leaveWhenOver() {
    int status = replaying() ? replayEnd() : -1;
    if (status < 0 && quitAsked) status = 0;
    if (status >= 0) exit(status);
}

void playFrameAt(PaceClock::time_point now) {
    if (replaying())
        replayTicksAt(now);
    else
        playLiveTicksAt(now);
    showFrame(now);
    if (timingFrames) timeFrameShown();
    leaveWhenOver();
}

void resetShell() {
    resetFrameState();
    memset(textLine, 0, sizeof textLine);
    frameTaken = DemoFrame();
    stopReplay();
    forgetLiveEvents();
    keysListShown = false;
    drawEveryFrame = true;
    windowCovered = false;
    pacedMoment = PaceClock::time_point::min();
}

void onDisplay() {
    PaceClock::time_point now = PaceClock::now(), moment = now;
    bool paced = pacedMoment != PaceClock::time_point::min() && pacedMoment <= now;
    if (paced && now - pacedMoment < tickSpan(1) / 2) moment = pacedMoment;
    pacedMoment = PaceClock::time_point::min();
    playFrameAt(moment);
}
