// The record of games: what it counts and how it is said, and the TOML files it was kept in
// before the games index (index.h) held it: record.toml in the games folder and a summary beside
// each kept game, read once, when the index takes them in. A game is counted from the moment the
// title is left (by `1`) to its end: won, lost, or quit (Escape, the window closed, or `1` back
// to the title), so played = won + lost + quit.
#pragma once

#include "game.h"

#include <string>

// How a game ended.
enum GameEnd { END_WON, END_LOST, END_QUIT };

// The record's file name, in the games folder, before the games index.
const char *const RECORD_FILE = "record.toml";

// A game that ended.
struct GameEnded {
    GameEnd end = END_QUIT;
    long long ticks = 0;   // its game time
    int mostFed = 0;       // the highest score it reached
    int score = 0;         // the score it ended with
    bool fullSpeed = true; // every tick of it was played at the game's full speed
};

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
// Reads a record file's text; false, with the reason, for anything but a record (not TOML, a
// count that is no whole number of 0 or more, a sum that does not add up). Keys it does not
// know are passed over.
bool parseRecord(const std::string &text, GameRecord &record, std::string *reason);
// What --record-of-games prints of the record kept at path.
std::string recordText(const GameRecord &record, const std::string &path);

// How reading the record file went.
enum RecordState { RECORD_READ, RECORD_MISSING, RECORD_DAMAGED, RECORD_UNREADABLE };
// Reads the record at path into record (left new unless RECORD_READ); *reason says what is wrong
// with a damaged or unreadable one.
RecordState readRecord(const std::string &path, GameRecord &record, std::string *reason);

// What the summary beside a kept game says of its run.
struct GameSummary {
    GameEnd end = END_QUIT; // how its last game ended (quit when none was begun)
    int score = 0;          // the score that game ended with
    int games = 0;          // the games ended in the run
    bool closed = false;    // the game program ended as it should (written at exit)
};
// False when the file at path is missing or no summary.
bool readSummary(const std::string &path, GameSummary &summary);
