#include "app/loop.h"

#include "app/app.h"
#include "app/keeping.h"
#include "app/live_events.h"
#include "app/recording.h"
#include "app/replay.h"
#include "app/ticks.h"
#include "app/timedemo.h"
#include "hud/assists.h"
#include "input/input.h"
#include "sound/captions.h"
#include "sound/sound.h"

#include <GL/freeglut.h>
#include <cstdlib>
#include <cstring>

bool drawEveryFrame = true;
bool windowCovered = false;
long framesShown = 0;
PaceClock::time_point pacedMoment = PaceClock::time_point::min();

ScreenFacts screenFacts() {
    ScreenFacts facts;
    facts.paused = gamePaused;
    replayPosition(&facts.replayTick, &facts.replayTicks);
    if (captionsOn)
        facts.captions =
            captionLines(captionsShowing, captionClock, listenerPosition, listenerGaze);
    return facts;
}

void showFrame(double share) {
    if (!drawEveryFrame || windowCovered) return;
    drawWorldToShow(share);
    // After any capture, so a capture holds the game alone: the crosshair and the marker (where
    // the frame shows the eye and the bison), then the screen's words over them, the marker kept
    // clear of them.
    ScreenFacts facts = screenFacts();
    if (crosshairShown || bisonMarkerShown) {
        WorldPose pose = shownPose(share);
        drawAssists(pose.eye, pose.gaze, pose.bisonPlace, overlayLayout(facts));
    }
    drawOverlays(facts);
    glutSwapBuffers();
    framesShown++;
    // Once the frame is on its way, the GL's first selection pass is paid a part at a time.
    warmUpSelectionStep();
}

void prepareOverlays() {
    drawOverlays(screenFacts());
    glFinish();
}

DemoFrame runFrame(const std::vector<DemoEvent> &events, const DemoFrame *feed) {
    // One tick, whatever the clock says, shown as it left the world.
    bool fixed = oneTickPerFrame;
    oneTickPerFrame = true;
    TickStep step = nextTick(gameClock, PaceClock::now(), 0);
    oneTickPerFrame = fixed;
    DemoFrame tick = runTick(events, step, feed);
    showFrame(1.0);
    return tick;
}

// The live game's ticks due at NOW, each with the events that came before it, each written into
// the recording as it ends. A tick that asks to quit is the last.
static void playLiveTicksAt(PaceClock::time_point now) {
    runDueTicks(now, [](TickStep step, PaceClock::time_point due) {
        recordTick(runTick(liveEventsBefore(due), step));
        noteLiveTickRecorded();
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
    showFrame(tickShare(gameClock, now));
    if (timingFrames) timeFrameShown();
    leaveWhenOver();
}

void resetShell() {
    resetFrameState();
    frameTaken = DemoFrame();
    stopReplay();
    forgetLiveEvents();
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
