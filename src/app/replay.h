// A recording played back in the window (--replay), or as fast as it draws (--timedemo): each
// recorded tick run with its own events and the bison's recorded draws, and checked against the
// recording.
#pragma once

#include "clock/clock.h"
#include "demo/demo.h"

#include <string>

// The exit status of a replay stopped at a tick that differs from its recording.
const int DESYNC_STATUS = 3;

// The tick of the recording being played back (from 0), and the ticks it holds; both 0 when no
// recording plays.
extern long replayTick;
extern long replayTicks;

// Sets the seed and the window's size the game starts with to the recording's.
void startDemo(const DemoHeader &header);
// Plays the recorded tick at replayTick of DEMO as STEP says, moving replayTick on when it agrees
// with the recording: the difference from it, or "".
std::string playRecordedTick(const Demo &demo, TickStep step);

// Plays DEMO back from the next frame on (--replay; with timed set, --timedemo: its figures are
// printed when it ends). PATH names it in what is said.
void startReplay(const Demo &demo, const char *path, bool timed);
// A recording plays back in the window: live input is ignored then, but Escape.
bool replaying();
// Leaves a replay where it stands, the live game's input taken again: for a test that started one
// in process.
void stopReplay();
// While a recording plays back (--replay; not a timedemo): the tick being played (from 1) and how
// many it holds.
bool replayPosition(long *tick, long *total);
// The recorded ticks due at NOW, run in order. A tick that differs from the recording is said on
// standard error and ends the replay with DESYNC_STATUS.
void replayTicksAt(PaceClock::time_point now);
// The replay has come to its end: 0 when every tick agreed, DESYNC_STATUS at one that differed;
// -1 while it goes on.
int replayEnd();
