// The game's headers the benchmark reads, whichever commit bench-compare.sh builds it with: the
// frame loop, the seam of a tick and the replay were one header (app/playback.h) and the clock
// was the app's, and the 0 key's flag had another name, before the commit that split them.
#pragma once

#include "app/app.h"

#if __has_include("app/loop.h")
#include "app/loop.h"
#include "app/replay.h"
#include "app/ticks.h"
#include "clock/clock.h"
// The game draws between ticks (app/pose.h): the benchmark measures what that costs.
#define DRAWS_BETWEEN_TICKS 1
#else
#include "app/clock.h"
#include "app/playback.h"
#define recording capturingEveryFrame
#endif

// The selection warm-up, in each of its ages: a commit from before it was spread over the title's
// frames has no startSelectionWarmUp (it paid the warm-up whole before its first frame, as its
// main did), and one from before its thread and the picks' own context has none of the others.
__attribute__((weak)) void startSelectionWarmUp();
__attribute__((weak)) void prepareWindowThreads();
__attribute__((weak)) bool prepareSelectionContext();
__attribute__((weak)) void prepareOverlays();
