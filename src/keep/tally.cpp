#include "keep/tally.h"

#include <cstdio>

bool tallying = false;
GameTally liveTally;
GamesIndex liveIndex;
long long liveGameId = 0;

void resetTally() {
    tallying = false;
    liveTally = GameTally();
    closeGamesIndex(liveIndex);
    liveGameId = 0;
}

static GameEnded endOf(const GameTally &tally, GameEnd end, long long ticks, int fed) {
    GameEnded ended;
    ended.fullSpeed = !tally.slowed;
    ended.end = end;
    ended.ticks = ticks;
    ended.mostFed = tally.mostFed > fed ? tally.mostFed : fed;
    ended.score = fed;
    return ended;
}

bool tallyAdvance(GameTally &tally, GameState state, int fed, GameEnded *ended, int percent) {
    GameState before = tally.last;
    tally.last = state;
    bool slow = percent < 100;
    if (percent < tally.slowest) tally.slowest = percent;
    // The title's time counts toward a game scored to an end on it.
    if (state == STATE_TITLE && before != STATE_TITLE) tally.slowed = false;
    tally.sinceTitle = state == STATE_TITLE && before != STATE_TITLE ? 0 : tally.sinceTitle + 1;
    if (!tally.open) tally.slowed = tally.slowed || slow;
    if (!tally.open && before == STATE_TITLE && state != STATE_TITLE) {
        // Scored to an end on the title screen: opened and ended at once.
        if (state == STATE_WON || state == STATE_LOST) {
            tally.mostFed = fed;
            *ended = endOf(tally, state == STATE_WON ? END_WON : END_LOST, tally.sinceTitle, fed);
            return true;
        }
        tally.open = true;
        tally.ticks = 0;
        tally.mostFed = fed;
        tally.slowed = slow;
        return false;
    }
    if (!tally.open) return false;
    tally.slowed = tally.slowed || slow;
    tally.ticks++;
    if (fed > tally.mostFed) tally.mostFed = fed;
    if (state == STATE_PLAYING) return false;
    tally.open = false;
    GameEnd end = state == STATE_WON ? END_WON : state == STATE_LOST ? END_LOST : END_QUIT;
    *ended = endOf(tally, end, tally.ticks, fed);
    return true;
}

bool tallyExit(GameTally &tally, int fed, GameEnded *ended) {
    if (!tally.open) return false;
    tally.open = false;
    *ended = endOf(tally, END_QUIT, tally.ticks, fed);
    return true;
}

// Says once that the index could not be written, and counts nothing more in it.
static void lost(const std::string &reason) {
    fprintf(stderr, "grazewell: %s; this game is not counted in the record of games\n",
            reason.c_str());
    liveGameId = 0;
}

void noteAdvance(GameState state, int fed, int percent) {
    if (!tallying) return;
    GameEnded ended;
    std::string reason;
    if (percent < liveTally.slowest && liveGameId != 0 &&
        !slowIndexedGame(liveIndex, liveGameId, percent, &reason))
        lost(reason);
    if (tallyAdvance(liveTally, state, fed, &ended) && liveGameId != 0 &&
        !countIndexedGame(liveIndex, liveGameId, ended, &reason))
        lost(reason);
}

void noteExit(long long ticks) {
    if (!tallying) return;
    tallying = false;
    GameEnded ended;
    bool underWay = tallyExit(liveTally, foodFed, &ended);
    std::string reason;
    if (liveGameId != 0 &&
        !closeIndexedGame(liveIndex, liveGameId, ticks, underWay ? &ended : nullptr, &reason))
        lost(reason);
    closeGamesIndex(liveIndex);
}
