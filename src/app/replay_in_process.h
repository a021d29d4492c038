// A whole recording played in this process through the game's own frames on a simulated clock:
// the tests' and the benchmark's way of reaching a state of the game, and of checking that a
// recording still plays the same.
#pragma once

#include "demo/demo.h"

#include <string>

// Plays DEMO drawn drawingRate times a second (0: one tick a frame, as fast as it draws; with
// drawEveryFrame clear only the ticks that must draw do): its seed and window size set, every
// tick run with its own events and draws. Stops at the first tick that differs and gives its
// number (from 0) in *badFrame and what differs; empty when every tick agreed. A recording that
// ends with Escape ends there, the process left as it was. The frames drawn in *frames, when
// given: at a drawing rate, the simulated time it took (at the game's speed it was played at).
std::string playDemoInProcess(const Demo &demo, long *badFrame, int drawingRate = 0,
                              long *frames = nullptr);
