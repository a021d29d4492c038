// Following the live game for the record of games and the kept game's summary (record.h says what
// a game is). The frame reports each advance once, right after its outcome check; nothing is
// written but when a game ends, so following costs a frame a few comparisons.
#pragma once

#include "game.h"
#include "keep/record.h"

#include <string>

// What is followed of the game under way.
struct GameTally {
    GameState last = STATE_TITLE; // the state the last advance left
    bool open = false;            // a game is under way
    long long ticks = 0;          // its game time so far (advances)
    long long sinceTitle = -1;    // advances since the one the title showed in first
    int mostFed = 0;              // the highest score it has reached
};

// A game that ended.
struct GameEnded {
    GameEnd end = END_QUIT;
    long long ticks = 0; // its game time
    int mostFed = 0;     // the highest score it reached
    int score = 0;       // the score it ended with
};

// One advance seen, with the state and score its outcome check left: true, with the game in
// *ended, when a game ended in it. A game won or lost on the title screen itself (scoring is not
// stopped there) counts its time from when the title showed.
bool tallyAdvance(GameTally &tally, GameState state, int fed, GameEnded *ended);
// The program ends: true, with it in *ended, when a game was under way (it is quit).
bool tallyExit(GameTally &tally, int fed, GameEnded *ended);

// Whether the live game is followed: set at start-up for a live game only, so that a replay, a
// timedemo or a test's playback never counts.
extern bool tallying;
// The live game's tally.
extern GameTally liveTally;
// The record of games to count ended games in, and the summary of the kept game to keep up to
// date; "" for none.
extern std::string recordPath;
extern std::string summaryPath;

// The frame's report of one advance (does nothing unless tallying): a game that ends is counted
// in the record and the summary.
void noteAdvance(GameState state, int fed);
// At exit: a game under way is quit and counted, and the summary closed.
void noteExit();
// Following no game, with nothing counted and nowhere to write, as a replay starts: for a test
// that starts from a fresh game.
void resetTally();
