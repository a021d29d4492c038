// Following the live game for the games index (record.h says what a game is). The frame reports
// each advance once, right after its outcome check; nothing is written but when a game ends, so
// following costs a frame a few comparisons.
#pragma once

#include "game.h"
#include "keep/index.h"
#include "keep/record.h"

#include <string>

// What is followed of the game under way.
struct GameTally {
    GameState last = STATE_TITLE; // the state the last advance left
    bool open = false;            // a game is under way
    long long ticks = 0;          // its game time so far (advances)
    long long sinceTitle = -1;    // advances since the one the title showed in first
    int mostFed = 0;              // the highest score it has reached
    bool slowed = false;          // a tick of it was played slower than the full speed
    int slowest = 100;            // the slowest speed the game program was played at (percent)
};

// One advance seen, with the state and score its outcome check left, played at percent of the
// game's full speed: true, with the game in *ended, when a game ended in it. A game won or lost on
// the title screen itself (scoring is not stopped there) counts its time from when the title
// showed. A game any tick of which was played slower is no full-speed game.
bool tallyAdvance(GameTally &tally, GameState state, int fed, GameEnded *ended, int percent = 100);
// The program ends: true, with it in *ended, when a game was under way (it is quit).
bool tallyExit(GameTally &tally, int fed, GameEnded *ended);

// Whether the live game is followed: set at start-up for a live game only, so that a replay, a
// timedemo or a test's playback never counts.
extern bool tallying;
// The live game's tally.
extern GameTally liveTally;
// The games index the live game is counted in, and its row there; 0 for none (the index could
// not be had).
extern GamesIndex liveIndex;
extern long long liveGameId;

// The frame's report of one advance, played at percent of the full speed (does nothing unless
// tallying): a game that ends is counted in the index, and a speed slower than any before is
// kept in the game program's row.
void noteAdvance(GameState state, int fed, int percent);
// At exit, the live game having recorded ticks ticks: a game under way is quit and counted, and
// the game program's row closed, in one transaction.
void noteExit(long long ticks);
// Following no game, with nothing counted and nowhere to write, as a replay starts: for a test
// that starts from a fresh game.
void resetTally();
