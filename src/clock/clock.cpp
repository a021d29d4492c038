#include "clock/clock.h"

long ticksAdvanced = 0;
bool oneTickPerFrame = false;
GameClock gameClock;
int frameTickLimit = 1 + TICK_BACKLOG_LIMIT; // the default cap's: one tick a frame, and the backlog
bool gamePaused = false;
int stepsAsked = 0;
int gameSpeed = 100;

void resetClock() {
    ticksAdvanced = 0;
    oneTickPerFrame = false;
    gameClock = GameClock();
    frameTickLimit = 1 + TICK_BACKLOG_LIMIT;
    gamePaused = false;
    stepsAsked = 0;
    gameSpeed = 100;
}

void setPaused(bool paused) {
    gamePaused = paused;
}

void togglePause() {
    setPaused(!gamePaused);
}

// A hundred seconds in nanoseconds: the span that holds a whole number of ticks at any speed.
static const long long HUNDRED_SECONDS = 100000000000LL;

PaceClock::duration tickSpan(long n, int percent) {
    // Nanoseconds, so that 60 ticks are exactly one second at the full speed; in two parts, so
    // that a clock running for years does not overflow.
    const long long perHundredSeconds = (long long)TICKS_PER_SECOND * percent;
    long long whole = n / perHundredSeconds, part = n % perHundredSeconds;
    return std::chrono::duration_cast<PaceClock::duration>(std::chrono::nanoseconds(
        whole * HUNDRED_SECONDS + part * HUNDRED_SECONDS / perHundredSeconds));
}

PaceClock::time_point tickDueTime(const GameClock &clock, long n) {
    return clock.origin + tickSpan(n, clock.percent);
}

// The ticks of CLOCK due at NOW since its origin, tick 0 at the origin itself.
static long ticksSinceOrigin(const GameClock &clock, PaceClock::time_point now) {
    long long elapsed =
        std::chrono::duration_cast<std::chrono::nanoseconds>(now - clock.origin).count();
    const long long perHundredSeconds = (long long)TICKS_PER_SECOND * clock.percent;
    long n = long(elapsed / HUNDRED_SECONDS * perHundredSeconds +
                  elapsed % HUNDRED_SECONDS * perHundredSeconds / HUNDRED_SECONDS);
    // The division may round a tick's own moment down below it.
    while (tickDueTime(clock, n + 1) <= now) n++;
    return n;
}

long ticksDue(GameClock &clock, PaceClock::time_point now) {
    if (!clock.running) {
        clock.origin = now;
        clock.ticksTaken = 0;
        clock.running = true;
    }
    if (now < clock.origin) return 0;
    long due = ticksSinceOrigin(clock, now) + 1 - clock.ticksTaken;
    return due > 0 ? due : 0;
}

PaceClock::time_point nearestTickTime(const GameClock &clock, PaceClock::time_point t) {
    // Slowed, frames keep their own pace: the drawing shows the game between its ticks.
    if (!clock.running || clock.percent != 100) return t;
    PaceClock::time_point from = t - tickSpan(1) / 2;
    if (from <= clock.origin) return clock.origin;
    long n = ticksSinceOrigin(clock, from);
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
                   std::chrono::duration<double>(tickSpan(1, clock.percent));
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

// The clock reckoned at PERCENT from the last tick it took on, which stays where it came due.
static void reckonAt(GameClock &clock, int percent) {
    if (clock.running && clock.ticksTaken > 0) {
        clock.origin = lastTickDue(clock);
        clock.ticksTaken = 1;
    }
    clock.percent = percent;
}

TickStep nextTick(GameClock &clock, PaceClock::time_point now, int ran) {
    // The game's speed: from the last tick on, the clock's ticks come as far apart as it says.
    int percent = gameSpeed < 1 ? 1 : gameSpeed > 100 ? 100 : gameSpeed;
    if (clock.percent != percent) reckonAt(clock, percent);
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
