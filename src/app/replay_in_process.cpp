#include "app/replay_in_process.h"

#include "app/loop.h"
#include "app/pacing.h"
#include "app/replay.h"
#include "app/ticks.h"
#include "input/input.h"

std::string playDemoInProcess(const Demo &demo, long *badFrame, int drawingRate, long *frames) {
    startDemo(demo.header);
    replayTick = 0;
    replayTicks = long(demo.frames.size());
    bool fixed = oneTickPerFrame;
    int cap = frameRateCap;
    oneTickPerFrame = drawingRate == 0;
    capFrameRate(drawingRate);
    gameClock = GameClock();
    std::string difference;
    long frame = 0;
    for (; replayTick < replayTicks && difference.empty() && !quitAsked; frame++) {
        PaceClock::time_point now =
            PaceClock::time_point() +
            (drawingRate > 0 ? std::chrono::duration_cast<PaceClock::duration>(
                                   std::chrono::nanoseconds(frame * 1000000000LL / drawingRate))
                             : PaceClock::duration(0));
        runDueTicks(now, [&](TickStep step, PaceClock::time_point) {
            if (replayTick >= replayTicks || !difference.empty() || quitAsked) return false;
            difference = playRecordedTick(demo, step);
            return difference.empty();
        });
        showFrame(tickShare(gameClock, now));
    }
    if (!difference.empty() && badFrame) *badFrame = replayTick;
    if (frames) *frames = frame;
    oneTickPerFrame = fixed;
    capFrameRate(cap);
    gameClock = GameClock();
    quitAsked = false;
    replayTick = replayTicks = 0;
    return difference;
}
