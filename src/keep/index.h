// The games index: one SQLite database in the games folder (games.db) with a row for each game
// program played live: when it began, its recording, its seed and drawing rate, its length, how
// its last game ended and with what score, and the games ended in it. The record of games is
// worked out from these rows whenever it is asked for, so no count is kept that could lose a game
// or wrap. Games that start or end together each commit their own transaction, one at the start
// and one at the end: SQLite's locking and atomic commit keep every one of them, where reading a
// file, adding one and writing it back would lose all but the last.
#pragma once

#include "keep/record.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

struct sqlite3;

// The index's file, in the games folder.
const char *const INDEX_FILE = "games.db";
// The folder (in the games folder) the files the index took in are kept aside in, once taken:
// the record of games and the summaries beside the games, from before there was an index.
const char *const TAKEN_IN_FOLDER = "taken-in";
// How long a game waits for another that is writing the index before it gives up
// (milliseconds).
const int INDEX_BUSY_MILLISECONDS = 30000;

// The open index.
struct GamesIndex {
    sqlite3 *db = nullptr;
    std::string folder; // the games folder it lies in
    std::string path;   // the database's file
};

// One game program played live, as its row holds it.
struct IndexedGame {
    long long id = 0;      // its place in the order the games were begun (from 1)
    std::string started;   // the local time it began: "2026-12-09 08:49:07"
    std::string recording; // its recording's name in the folder; "" when none is kept there
    uint32_t seed = 0;     // the seed of the bison's draws
    int fps = 0;           // the drawing rate it was played at (--fps)
    int speed = 100;       // the slowest game speed it was played at (percent of the full one)
    long long ticks = -1;  // the ticks it recorded, once it has ended as it should; -1 before
    std::string end;       // how its last game ended ("won", "lost", "quit"); "" before any did
    bool scored = false;   // its score is known: a game ended in it, or it ended as it should
    int score = 0;         // the score its last game ended with
    bool closed = false;   // it ended as a program should (Escape, the window closed)
    bool crashed = false;  // it crashed (its crash mark was found)
};

// Opens the index of the games folder folder, making it when it is missing; the first time, a
// record of games and summaries from before there was an index are taken into it and kept aside
// (TAKEN_IN_FOLDER), and their trouble is told on standard error. False, with the reason, when
// it cannot be opened or made.
bool openGamesIndex(GamesIndex &index, const std::string &folder, std::string *reason);
void closeGamesIndex(GamesIndex &index);

// The file the crash handler of the game in row id makes in folder: found by the next game, it
// marks that game crashed.
std::string crashMarkPath(const std::string &folder, long long id);

// What a new game is begun with.
struct NewGame {
    std::tm when{};    // the local time it began
    uint32_t seed = 0; // its seed
    int fps = 0;       // its drawing rate
    int speed = 100;   // the game's speed it begins at (percent of the full one)
};
// Makes the recording at path: false, with the reason, when it cannot (errno EEXIST when the name
// is taken).
using RecordingMaker = std::function<bool(const std::string &path, std::string *reason)>;
// Begins a game in one transaction: games crashed since are marked so, its row is added, and,
// when keep is set, its recording is named after the time it began, the first name free in the
// index and in the folder ("_2", "_3", ... after the time), made by make, and the oldest kept
// games (in the order they were begun) go until KEEP_MAX_GAMES and KEEP_MAX_BYTES hold, never
// this one; their rows stay, for the record. The row in *id and the recording's path in
// *recording ("" when none is kept); false, with the reason, when no row could be added. A
// recording that could not be made leaves *recording empty and says why in *trouble.
bool beginIndexedGame(GamesIndex &index, const NewGame &game, bool keep, const RecordingMaker &make,
                      long long *id, std::string *recording, std::string *trouble,
                      std::string *reason);
// The game program of row id is now played at percent of the full speed: kept in its row, in one
// transaction, when slower than any speed the row holds.
bool slowIndexedGame(GamesIndex &index, long long id, int percent, std::string *reason);
// A game ended in the game program of row id: counted in one transaction; its time is the fastest
// win only when it was won at the full speed.
bool countIndexedGame(GamesIndex &index, long long id, const GameEnded &ended, std::string *reason);
// The game program of row id ended as it should, having recorded ticks ticks; a game it had under
// way (ended, when given) is counted in the same transaction.
bool closeIndexedGame(GamesIndex &index, long long id, long long ticks, const GameEnded *ended,
                      std::string *reason);

// The games whose recordings are kept, newest first (in the order they were begun).
std::vector<IndexedGame> keptIndexedGames(GamesIndex &index);
// The record of games, worked out from every row (the fastest win among games won at the full
// speed); false, with the reason, when it cannot be read.
bool indexedRecord(GamesIndex &index, GameRecord &record, std::string *reason);
// The path of the newest kept game that holds at least one whole tick, passing over empty and
// damaged ones; "" when there is none.
std::string newestPlayableGame(GamesIndex &index);
