#include "clock/clock.h"

long ticksAdvanced = 0;
bool oneTickPerFrame = false;
GameClock gameClock;
int frameTickLimit = 1 + TICK_BACKLOG_LIMIT; // the default cap's: one tick a frame, and the backlog
bool gamePaused = false;
int stepsAsked = 0;

void resetClock() {
    ticksAdvanced = 0;
    oneTickPerFrame = false;
    gameClock = GameClock();
    frameTickLimit = 1 + TICK_BACKLOG_LIMIT;
    gamePaused = false;
    stepsAsked = 0;
}

void setPaused(bool paused) {
    gamePaused = paused;
}

void togglePause() {
    setPaused(!gamePaused);
}

PaceClock::duration tickSpan(long n) {
    // Nanoseconds, so that 60 ticks are exactly one second.
    return std::chrono::duration_cast<PaceClock::duration>(
        std::chrono::nanoseconds(n * 1000000000LL / TICKS_PER_SECOND));
}

PaceClock::time_point tickDueTime(const GameClock &clock, long n) {
    return clock.origin + tickSpan(n);
}

long ticksDue(GameClock &clock, PaceClock::time_point now) {
    if (!clock.running) {
        clock.origin = now;
        clock.ticksTaken = 0;
        clock.running = true;
    }
    if (now < clock.origin) return 0;
    long elapsed =
        long(std::chrono::duration_cast<std::chrono::nanoseconds>(now - clock.origin).count() *
             TICKS_PER_SECOND / 1000000000LL);
    // Tick 0 is due at the origin itself.
    long due = elapsed + 1 - clock.ticksTaken;
    return due > 0 ? due : 0;
}

PaceClock::time_point nearestTickTime(const GameClock &clock, PaceClock::time_point t) {
    if (!clock.running) return t;
    PaceClock::time_point from = t - tickSpan(1) / 2;
    if (from <= clock.origin) return clock.origin;
    long n =
        long(std::chrono::duration_cast<std::chrono::nanoseconds>(from - clock.origin).count() *
             TICKS_PER_SECOND / 1000000000LL);
    while (tickDueTime(clock, n) < from) n++;
    return tickDueTime(clock, n);
}

int tickBacklogLimit(int fps) {
    // A capped frame holds its period's ticks anyway (three at 20 a second): only what is late
    // beyond them is a backlog.
    int period = fps > 0 ? (TICKS_PER_SECOND + fps - 1) / fps : 1;
    return period + TICK_BACKLOG_LIMIT;
}

PaceClock::time_point lastTickDue(const GameClock &clock) {
    return tickDueTime(clock, clock.ticksTaken > 0 ? clock.ticksTaken - 1 : 0);
}

double tickShare(const GameClock &clock, PaceClock::time_point now) {
    if (oneTickPerFrame || !clock.running) return 1.0;
    double share = std::chrono::duration<double>(now - lastTickDue(clock)) /
                   std::chrono::duration<double>(tickSpan(1));
    return share < 0.0 ? 0.0 : share > 1.0 ? 1.0 : share;
}

// Takes the next tick due at NOW for a frame that has run RAN, or none: when none is due, or the
// frame has run its limit (what is due beyond it is dropped).
static bool takeDueTick(GameClock &clock, PaceClock::time_point now, int ran) {
    if (oneTickPerFrame) return ran == 0;
    long due = ticksDue(clock, now);
    if (due == 0) return false;
    if (ran >= frameTickLimit) {
        clock.ticksTaken += due;
        return false;
    }
    clock.ticksTaken++;
    return true;
}

TickStep nextTick(GameClock &clock, PaceClock::time_point now, int ran) {
    if (!takeDueTick(clock, now, ran)) return TICK_NONE;
    // A step: paused, one tick advances the game all the same.
    if (gamePaused && stepsAsked > 0) {
        stepsAsked--;
        return TICK_ADVANCE;
    }
    // Paused, the tick holds the game.
    if (gamePaused) return TICK_HOLD;
    return TICK_ADVANCE;
}
