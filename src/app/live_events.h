// The live game's events: what the window system hands in (keys through the player's bindings,
// clicks, reshapes), queued with the moment each arrived until the tick it goes to.
#pragma once

#include "clock/clock.h"
#include "demo/demo.h"

#include <vector>

// Queues a live event for the next tick. While a recording plays back, live input is ignored but
// Escape, which asks to leave (quitAsked), as in the game.
void takeLiveEvent(const DemoEvent &event);
// The same for an event that arrived at ARRIVED (the clock's moment): it goes to the first tick
// due after it.
void takeLiveEventAt(const DemoEvent &event, PaceClock::time_point arrived);
// Whether the game will stand paused once the live events waiting have reached it.
bool pauseComing();
// The live events that arrived before BEFORE, taken from the queue in order (every one, in a
// frame of one tick).
std::vector<DemoEvent> liveEventsBefore(PaceClock::time_point before);
// Empties the queue: for a test that starts from nothing pending.
void forgetLiveEvents();
