// The record of games (record.toml in the games folder) and the summary beside each kept game:
// small TOML files the player may read, written whole beside themselves and renamed, so that no
// reader ever meets one half written. A game is counted from the moment the title is left (by
// `1`) to its end: won, lost, or quit (Escape, the window closed, or `1` back to the title), so
// played = won + lost + quit.
#pragma once

#include "game.h"

#include <string>

// How a game ended.
enum GameEnd { END_WON, END_LOST, END_QUIT };

// The record's file name, in the games folder.
const char *const RECORD_FILE = "record.toml";

// The record of every game ended while the record was kept.
struct GameRecord {
    long long played = 0, won = 0, lost = 0, quit = 0;
    long long fastestWin = -1;   // the game time of the fastest win (ticks); -1 before any win
    long long shortestLoss = -1; // of the shortest loss (ticks); -1 before any loss
    long long mostFed = 0;       // the highest score any one game reached
};

// A game's end in words: "won", "lost" or "quit".
const char *gameEndName(GameEnd end);
// Counts one game ended as end after ticks of game time, its score having reached mostFed.
void addGame(GameRecord &record, GameEnd end, long long ticks, int mostFed);
// The record as its file holds it.
std::string formatRecord(const GameRecord &record);
// Reads a record file's text; false, with the reason, for anything but a record (not TOML, a
// count that is no whole number of 0 or more, a sum that does not add up). Keys it does not
// know are passed over.
bool parseRecord(const std::string &text, GameRecord &record, std::string *reason);
// What --record-of-games prints of the record at path.
std::string recordText(const GameRecord &record, const std::string &path);

// How reading the record file went.
enum RecordState { RECORD_READ, RECORD_MISSING, RECORD_DAMAGED, RECORD_UNREADABLE };
// Reads the record at path into record (left new unless RECORD_READ); *reason says what is wrong
// with a damaged or unreadable one.
RecordState readRecord(const std::string &path, GameRecord &record, std::string *reason);
// Adds one game to the record at path: read, counted, written whole and renamed. A damaged record
// is moved aside (to record.toml.damaged, or .damaged-2, ...) with one line on standard error and
// a new one started; one that cannot be read is named on standard error and left as it is. False
// when the record was not written.
bool recordGame(const std::string &path, GameEnd end, long long ticks, int mostFed);

// What the summary beside a kept game says of its run.
struct GameSummary {
    GameEnd end = END_QUIT; // how its last game ended (quit when none was begun)
    int score = 0;          // the score that game ended with
    int games = 0;          // the games ended in the run
    bool closed = false;    // the game program ended as it should (written at exit)
};
// The summary as its file holds it.
std::string formatSummary(const GameSummary &summary);
// False when the file at path is missing or no summary.
bool readSummary(const std::string &path, GameSummary &summary);

// Writes text as the whole of the file at path: into a file beside it, then renamed over it.
// False, with the reason, when it could not; the old file is then as it was.
bool writeWhole(const std::string &path, const std::string &text, std::string *reason);
