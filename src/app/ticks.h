// One tick from its events: the seam every way of playing shares. The live game, a recording
// being made or played back, a timedemo and the monkey hand a tick its input as events and run it
// through the same steps, so that a game replayed from its events is the game that was played.
#pragma once

#include "app/app.h"
#include "clock/clock.h"
#include "demo/demo.h"

#include <string>
#include <vector>

// Hands in one event exactly as GLUT hands in the live one: the same input callbacks, so a
// replayed event acts as the live one did. DEMO_KEYS_RELEASED releases every key.
void applyDemoEvent(const DemoEvent &event);

// What the tick being played has taken so far: its events as they were handed in, then the foods
// its pick hit and the bison's draws. runTick fills it and gives it back with the checksum.
extern DemoFrame frameTaken;

// Notes the foods the selection pass just ended hit, in frameTaken.
void notePickHits();

// One tick: EVENTS handed in (applyDemoEvent), then the tick played as STEP says (playTick), and
// its record given back: the events, the foods its pick hit, the bison's draws and the world's
// checksum after it. With FEED set the bison's draws are taken from FEED->draws in order instead
// of from rand (a replay, the same on every platform).
DemoFrame runTick(const std::vector<DemoEvent> &events, TickStep step,
                  const DemoFrame *feed = nullptr);

// What differs between a tick as recorded and as played again (the draws it needed, the foods its
// pick hit, the world's checksum), in words; empty when they agree.
std::string frameDifference(const DemoFrame &recorded, const DemoFrame &played);

// Runs the ticks due at NOW, as nextTick allows, each by TICK, given its step and the moment it
// came due; TICK gives false when the frame is to run no more.
template <class Tick> void runDueTicks(PaceClock::time_point now, Tick tick) {
    for (int ran = 0;; ran++) {
        TickStep step = nextTick(gameClock, now, ran);
        if (step == TICK_NONE || !tick(step, lastTickDue(gameClock))) return;
    }
}
