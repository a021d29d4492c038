#include "keep/tally.h"

#include <cstdio>

bool tallying = false;
GameTally liveTally;
std::string recordPath;
std::string summaryPath;

// The kept game's summary as it stands.
static GameSummary summary;

void resetTally() {
    tallying = false;
    liveTally = GameTally();
    summary = GameSummary();
    recordPath.clear();
    summaryPath.clear();
}

static GameEnded endOf(const GameTally &tally, GameEnd end, long long ticks, int fed) {
    GameEnded ended;
    ended.end = end;
    ended.ticks = ticks;
    ended.mostFed = tally.mostFed > fed ? tally.mostFed : fed;
    ended.score = fed;
    return ended;
}

bool tallyAdvance(GameTally &tally, GameState state, int fed, GameEnded *ended) {
    GameState before = tally.last;
    tally.last = state;
    tally.sinceTitle = state == STATE_TITLE && before != STATE_TITLE ? 0 : tally.sinceTitle + 1;
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
        return false;
    }
    if (!tally.open) return false;
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

static void writeSummary() {
    std::string reason;
    if (!summaryPath.empty() && !writeWhole(summaryPath, formatSummary(summary), &reason)) {
        fprintf(stderr, "grazewell: %s: the game's summary could not be written: %s\n",
                summaryPath.c_str(), reason.c_str());
        summaryPath.clear(); // said once
    }
}

static void counted(const GameEnded &ended) {
    if (!recordPath.empty() && !recordGame(recordPath, ended.end, ended.ticks, ended.mostFed))
        recordPath.clear(); // said once, by recordGame
    summary.end = ended.end;
    summary.score = ended.score;
    summary.games++;
    writeSummary();
}

void noteAdvance(GameState state, int fed) {
    if (!tallying) return;
    GameEnded ended;
    if (tallyAdvance(liveTally, state, fed, &ended)) counted(ended);
}

void noteExit() {
    if (!tallying) return;
    tallying = false;
    GameEnded ended;
    if (tallyExit(liveTally, foodFed, &ended)) counted(ended);
    summary.closed = true;
    writeSummary();
}
