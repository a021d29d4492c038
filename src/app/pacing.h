// Drawing pacing for --fps: the idle callback waits for each frame's moment on a monotonic clock,
// asleep, so a cap costs no processor time. It paces only the drawing: the game keeps its own
// clock (clock.h).
#pragma once

#include "clock/clock.h"

// Frames a second the drawing is held to; 0 for as fast as the machine draws.
extern int frameRateCap;
// The display's refresh paces the drawing: the GL answered the player's vsync.
extern bool displayPaced;
// Holds the drawing to fps frames a second (0: none), and a frame's ticks to what that period
// holds (frameTickLimit).
void capFrameRate(int fps);

// When the next frame is due: one period after the last one, or now when that has passed, so a
// late frame is never followed by a burst of quick ones.
PaceClock::time_point nextFrameTime(PaceClock::time_point last, PaceClock::time_point now,
                                    PaceClock::duration period);
// The length of a frame at fps frames per second.
PaceClock::duration framePeriod(int fps);
// The idle callback under a cap: sleeps until the next frame is due, then asks for it.
void pacedIdle();
// The idle callback of a shown window: pacedIdle under a cap, else glutPostRedisplay.
void (*gameIdle())();
// Whether a window in this GLUT window status (GLUT_HIDDEN, ...) plays on: all but a minimised
// one do.
bool windowShowsFrames(int status);
// The window status callback: a minimised window has no idle callback, so the game sleeps in
// GLUT's wait for events and stands still; shown again, it goes on where it stood.
void onWindowStatus(int status);
