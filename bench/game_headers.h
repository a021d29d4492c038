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
