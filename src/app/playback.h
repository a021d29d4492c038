// The seam every way of playing shares: the live game, a recording being made or played back, a
// timedemo and the monkey hand a frame its input as events and run it through the same two
// halves, so that a game replayed from its events is the game that was played.
#pragma once

#include "app/app.h"
#include "demo/demo.h"

#include <string>
#include <vector>

// Hands in one event exactly as GLUT hands in the live one: the same input callbacks, so a
// replayed event acts as the live one did. DEMO_KEYS_RELEASED releases every key.
void applyDemoEvent(const DemoEvent &event);

// What the frame being played has taken so far: its events as they were handed in, then the
// foods its pick hit and the bison's draws. runFrame fills it and gives it back with the
// checksum.
extern DemoFrame frameTaken;

// Whether every frame is drawn. A playback in process that wants only the game's end and its
// checksums clears it: nothing the game decides depends on the drawing, but for a selection pass
// (whose hits come from it) and a capture (whose pixels are it), and those frames are still drawn.
extern bool drawEveryFrame;

// Notes the foods the selection pass just ended hit, in frameTaken.
void notePickHits();

// One tick: EVENTS handed in (applyDemoEvent), then the tick played as STEP says (playTick), and
// its record given back: the events, the foods its pick hit, the bison's draws and the world's
// checksum after it. With FEED set the bison's draws are taken from FEED->draws in order instead
// of from rand (a replay, the same on every platform).
DemoFrame runTick(const std::vector<DemoEvent> &events, TickStep step,
                  const DemoFrame *feed = nullptr);
// One frame of exactly one tick, then drawn and shown: the monkey's, the benchmark's and the
// tests' frame, which count ticks by frames.
DemoFrame runFrame(const std::vector<DemoEvent> &events, const DemoFrame *feed = nullptr);

// The frame at NOW (a moment of the monotonic clock): the ticks due run in order, each with the
// live events that arrived before it (or the recording's next ticks, in a replay), then the world
// drawn once. onDisplay is this at the clock's present.
void playFrameAt(PaceClock::time_point now);

// What differs between a frame as recorded and as played again (the draws it needed, the foods
// its pick hit, the world's checksum), in words; empty when they agree.
std::string frameDifference(const DemoFrame &recorded, const DemoFrame &played);

// A whole recording played in process through the game's own frames on a simulated clock, drawn
// drawingRate times a second (0: one tick a frame, as fast as it draws; with drawEveryFrame clear
// only the ticks that must draw do): its seed and window size set, every tick run with its own
// events and draws. Stops at the first tick that differs and gives its number (from 0) in
// *badFrame and what differs; empty when every tick agreed.
std::string playDemoInProcess(const Demo &demo, long *badFrame, int drawingRate = 0);

// The tick of the recording being played back (from 0), and the ticks it holds; both 0 when no
// recording plays.
extern long replayTick;
extern long replayTicks;

// The live game's side of the seam. The GLUT input callbacks of the window: each makes the event
// and takes it (takeLiveEvent), to be handed in before the next frame; keys go through the
// player's bindings first (player.h), so what is taken is what the key did.
void liveKeyDown(unsigned char key, int x, int y);
void liveKeyUp(unsigned char key, int x, int y);
void liveSpecialDown(int key, int x, int y);
void liveSpecialUp(int key, int x, int y);
void liveMouse(int button, int state, int x, int y);
void liveReshape(int width, int height);
// Whether the game will stand paused once the live events waiting have reached it.
bool pauseComing();
// Queues a live event for the next frame. While a recording plays back, live input is ignored
// but Escape, which ends it.
void takeLiveEvent(const DemoEvent &event);
// The same for an event that arrived at ARRIVED (the clock's moment): it goes to the first tick
// due after it.
void takeLiveEventAt(const DemoEvent &event, PaceClock::time_point arrived);

// The exit status of a replay stopped at a frame that differs from its recording.
const int DESYNC_STATUS = 3;

// Starts writing the game into a new file at PATH (--record): false, with the reason, when it
// cannot be made (a file already there included).
bool startRecording(const char *path, const DemoHeader &header, std::string *reason);
// Ends the recording being written, its file closed whole: for a maker of recorded games in
// process (the live game's ends when the process does).
void stopRecording();
// Plays DEMO back from the next frame on (--replay; with timed set, --timedemo: its figures are
// printed when it ends). PATH names it in what is said.
void startReplay(const Demo &demo, const char *path, bool timed);
// Leaves a replay where it stands, the live game's input taken again: for a test that started one
// in process.
void stopReplay();
// While a recording plays back (--replay; not a timedemo): the tick being played (from 1) and how
// many it holds.
bool replayPosition(long *tick, long *total);
// Sets the seed and the window's size the game starts with to the recording's.
void startDemo(const DemoHeader &header);

// What a timedemo prints when it ends, from each frame's length in seconds: the frames, the
// seconds, the average frames a second, the 1 % low (the rate of the slowest 1 % of the frames,
// at least one) and the slowest frame with its number (from 0).
std::string timedemoFigures(const std::vector<double> &frameSeconds);
