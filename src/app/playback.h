// The seam every way of playing shares: the live game, a recording being made or played back, a
// timedemo and the monkey hand a frame its input as events and run it through the same two
// halves, so that a game replayed from its events is the game that was played.
#pragma once

#include "demo/demo.h"

#include <string>
#include <vector>

// Hands in one event exactly as GLUT hands in the live one: the same input callbacks, so a
// replayed event acts as the live one did. DEMO_KEYS_RELEASED releases every key.
void applyDemoEvent(const DemoEvent &event);

// The half of the frame that moves the game: every step that changes it, in their fixed order.
void advanceGame();
// The half that only draws it. In a selection pass (selecting) the foods hit go onto the hand
// right after the drawing they are read from: the one move this half makes.
void drawGame(bool selecting);

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

// One whole frame: EVENTS handed in (applyDemoEvent), then both halves and the frame shown (or
// dropped, for a selection pass), and its record given back: the events, the foods the pick hit,
// the bison's draws and the world's checksum after it. With FEED set the bison's draws are
// taken from FEED->draws in order instead of from rand (a replay, the same on every platform).
DemoFrame runFrame(const std::vector<DemoEvent> &events, const DemoFrame *feed = nullptr);

// What differs between a frame as recorded and as played again (the draws it needed, the foods
// its pick hit, the world's checksum), in words; empty when they agree.
std::string frameDifference(const DemoFrame &recorded, const DemoFrame &played);

// A whole recording played in process, as fast as it draws (with drawEveryFrame clear, only the
// frames that must be drawn): its seed and window size set, every frame run with its own events
// and draws. Stops at the first frame that differs and gives its
// number (from 0) in *badFrame and what differs; empty when every frame agreed.
std::string playDemoInProcess(const Demo &demo, long *badFrame);

// The live game's side of the seam. The GLUT input callbacks of the window: each makes the event
// and takes it (takeLiveEvent), to be handed in before the next frame; keys go through the
// player's bindings first (player.h), so what is taken is what the key did.
void liveKeyDown(unsigned char key, int x, int y);
void liveKeyUp(unsigned char key, int x, int y);
void liveSpecialDown(int key, int x, int y);
void liveSpecialUp(int key, int x, int y);
void liveMouse(int button, int state, int x, int y);
void liveReshape(int width, int height);
// Queues a live event for the next frame. While a recording plays back, live input is ignored
// but Escape, which ends it.
void takeLiveEvent(const DemoEvent &event);

// The exit status of a replay stopped at a frame that differs from its recording.
const int DESYNC_STATUS = 3;

// Starts writing the game into a new file at PATH (--record): false, with the reason, when it
// cannot be made (a file already there included).
bool startRecording(const char *path, const DemoHeader &header, std::string *reason);
// Plays DEMO back from the next frame on (--replay; with timed set, --timedemo: its figures are
// printed when it ends). PATH names it in what is said.
void startReplay(const Demo &demo, const char *path, bool timed);
// While a recording plays back (--replay; not a timedemo): the frame being played (from 1) and how
// many it holds.
bool replayPosition(long *frame, long *total);
// Sets the seed and the window's size the game starts with to the recording's.
void startDemo(const DemoHeader &header);

// What a timedemo prints when it ends, from each frame's length in seconds: the frames, the
// seconds, the average frames a second, the 1 % low (the rate of the slowest 1 % of the frames,
// at least one) and the slowest frame with its number (from 0).
std::string timedemoFigures(const std::vector<double> &frameSeconds);
