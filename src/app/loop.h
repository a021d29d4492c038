// The frame loop: each frame runs the ticks due (the live game's, with its events and its
// recording, or a recording's played back), shows the world once, and leaves the game when a tick
// or the replay asked it to. It is the only place the game is left from.
#pragma once

#include "clock/clock.h"
#include "demo/demo.h"
#include "hud/overlay.h"

#include <vector>

// Whether every frame is drawn. A playback in process that wants only the game's end and its
// checksums clears it: nothing the game decides depends on the drawing, but for a selection pass
// (whose hits come from it) and a capture (whose pixels are it), and those frames are still drawn.
extern bool drawEveryFrame;
// The window is wholly covered (GLUT_FULLY_COVERED; X says so of a window of 1 x 1 too): GLUT
// draws it no more, so its frames are run from the idle callback (pacing.h), a tick at a time,
// and draw nothing but the captures and picks their ticks make.
extern bool windowCovered;
// Frames swapped onto the window since the start (a selection pass is never shown).
extern long framesShown;

// What the screen is told of the game this frame: the pause, the replay's tick, what is heard.
ScreenFacts screenFacts();

// The frame's picture, once after its ticks: the world drawn between the last two ticks by SHARE
// (tickShare of the frame's moment; 1: as the last one left it), the overlays over it, and shown.
// Nothing when drawEveryFrame is clear or the window is covered.
void showFrame(double share);

// The screen's words drawn once into the back buffer, never shown (the first frame clears it):
// their pictures are painted and the GL's first drawing of them paid before the first frame,
// while the selection warm-up's thread holds the display lists the world needs.
void prepareOverlays();

// One frame of exactly one tick, whatever the clock says, then drawn as the tick left the world
// and shown: the monkey's, the benchmark's and the tests' frame, which count ticks by frames.
DemoFrame runFrame(const std::vector<DemoEvent> &events, const DemoFrame *feed = nullptr);

// The frame at NOW (a moment of the monotonic clock): the ticks due run in order, each with the
// live events that arrived before it, written into the recording (or the recording's next ticks,
// in a replay), then the world shown once; then the game is left when it is over.
void playFrameAt(PaceClock::time_point now);
// The moment the pacing (pacing.h) put the next frame at, when it waited for one; a frame drawn
// a little after it (less than half a tick) is the frame of that moment, so that frames paced on
// tick boundaries show whole ticks.
extern PaceClock::time_point pacedMoment;
// The display callback: the frame at the clock's present, or at its paced moment.
void onDisplay();

// The shell's own state as the game starts: the frame's, the tick's record, no replay, no live
// event waiting, no overlay shown, every frame drawn on a window not covered, the screen text's
// buffer empty: for a test that starts from a fresh game.
void resetShell();
