// The game clock: the game advances in ticks of exactly 1/60 s of a monotonic clock, apart from
// the drawing. Each frame runs the ticks that have come due since the last one, in order, each
// with the events that arrived before it, then draws once. The game's pace (paused or going on)
// is the clock's own state, and nextTick alone decides what each tick does by it.
#pragma once

#include "game.h"

#include <chrono>

// The monotonic clock the game's ticks and the drawing's frames are reckoned on.
typedef std::chrono::steady_clock PaceClock;

// Ticks one frame may run beyond those its --fps period holds. A frame that finds more due (the
// window dragged, the machine stalled) drops the rest: racing through them would only make the
// next frame later still, and the player would see the game jump rather than pause.
const int TICK_BACKLOG_LIMIT = 8;

// Ticks the game has advanced since the start: calls of advanceGame, 1/60 s of game time each
// (a paused tick advances nothing and is not counted).
extern long ticksAdvanced;
// Every frame runs exactly one tick, whatever the clock says: the timedemo (a recording played as
// fast as it draws) and the in-process tests, which count frames.
extern bool oneTickPerFrame;

// The clock's reckoning: tick n comes due at origin + n ticks at its speed; ticksTaken ticks (run
// or dropped) are behind it.
struct GameClock {
    PaceClock::time_point origin;
    long ticksTaken = 0;
    bool running = false; // set by the first frame, which starts it
    int percent = 100;    // the game's speed its ticks are reckoned at (gameSpeed)
};
// The game's clock, started by the first frame and again after the window was hidden.
extern GameClock gameClock;

// The length of n ticks at PERCENT of the full speed, exact to the nanosecond (no drift over
// hours).
PaceClock::duration tickSpan(long n, int percent = 100);
// When tick n of CLOCK comes due.
PaceClock::time_point tickDueTime(const GameClock &clock, long n);
// The ticks due at NOW not yet taken; the first call starts the clock, with one tick due at once.
long ticksDue(GameClock &clock, PaceClock::time_point now);
// When the tick CLOCK took last came due (its origin before it took any).
PaceClock::time_point lastTickDue(const GameClock &clock);
// The share of a tick of CLOCK that has passed at NOW since the last one came due: 0 as it comes
// due, 1 a tick later and after; 1 while every frame runs one tick, whatever the clock says.
double tickShare(const GameClock &clock, PaceClock::time_point now);
// The first tick of CLOCK due at or after T, less half a tick: drawing at most 60 times a second,
// frames are put on tick boundaries so that each runs the same number of ticks.
PaceClock::time_point nearestTickTime(const GameClock &clock, PaceClock::time_point t);
// The most ticks one frame runs when the drawing is capped at fps (0: uncapped).
int tickBacklogLimit(int fps);
// The most ticks one frame runs now: tickBacklogLimit of the drawing's cap, which sets it.
extern int frameTickLimit;

// The game's pace, the clock's own state: nextTick decides each tick by it, and the key table's
// rows set it.
// The game stands still ('p'): its ticks hold it, drawn but not advanced; clicks pick and throw
// nothing, and only the bindings that act while paused act.
extern bool gamePaused;
// Pauses the game, or lets it go on where it stood: what 'p' does, for anything else that stops
// the game the same way.
void setPaused(bool paused);
void togglePause();
// The game's speed: the share of the clock's 60 ticks a second it advances at (percent, 1 to
// 100). Every tick is still 1/60 s of game time; only they come further apart, and the drawing
// between them shows the game as slow.
extern int gameSpeed;
// Ticks to advance while paused, one a tick, before the game stands still again ('n').
extern int stepsAsked;

// The clock and the pace as the game starts (not yet running, going on, no tick
// advanced, the default cap's limit, ticks as the clock makes them due): for a test that starts
// from a fresh game.
void resetClock();

// What the next tick a frame might run does.
enum TickStep {
    TICK_NONE,    // the frame runs no more ticks
    TICK_ADVANCE, // a tick of the game: advanceGame
    TICK_HOLD,    // a paused tick: its events and the keys that act while paused, nothing moves
};
// The game's pace, decided in this one place, case by case. Asked before each tick a frame at NOW
// might run, with the ticks it has run so far (ran): none once the ticks CLOCK has made due are
// taken or frameTickLimit is reached (the rest are dropped), else the tick is taken and advances
// the game or, while paused, holds it. With oneTickPerFrame set the frame runs one tick,
// whatever the clock says. A new rule of the pace is a case here and a row of the key table that
// sets it.
TickStep nextTick(GameClock &clock, PaceClock::time_point now, int ran);
