// Frame pacing for --fps: the idle callback waits for each frame's moment on a monotonic clock,
// asleep, so a cap costs no processor time.
#pragma once

#include <chrono>

typedef std::chrono::steady_clock PaceClock;

// Frames per second the game is held to; 0 for as fast as the machine draws.
extern int frameRateCap;

// When the next frame is due: one period after the last one, or now when that has passed, so a
// late frame is never followed by a burst of quick ones.
PaceClock::time_point nextFrameTime(PaceClock::time_point last, PaceClock::time_point now,
                                    PaceClock::duration period);
// The length of a frame at fps frames per second.
PaceClock::duration framePeriod(int fps);
// The idle callback under a cap: sleeps until the next frame is due, then asks for it.
void pacedIdle();
