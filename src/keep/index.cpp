// The games index, in SQLite: every change is one transaction begun IMMEDIATE, so that a game
// waits for the write lock (up to INDEX_BUSY_MILLISECONDS) rather than read what another is about
// to change; the database is in write-ahead-log mode, so that readers never hold a writer up.
#include "keep/index.h"

#include "demo/demo.h"
#include "keep/keep.h"
#include "platform/platform.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <sqlite3.h>

namespace {

// The layout the index is made with; PRAGMA user_version holds it once made (0: not yet). Layout
// 2 adds the speed column to layout 1's rows, which were all played at the full speed; a game of
// layout 1 still writes into it, its rows taking the column's default.
const int INDEX_LAYOUT = 2;

const char *const SCHEMA = R"sql(
CREATE TABLE IF NOT EXISTS games (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    started TEXT NOT NULL,
    recording TEXT UNIQUE,
    seed INTEGER,
    fps INTEGER,
    ticks INTEGER,
    ending TEXT,
    score INTEGER,
    closed INTEGER NOT NULL DEFAULT 0,
    crashed INTEGER NOT NULL DEFAULT 0,
    played INTEGER NOT NULL DEFAULT 0,
    won INTEGER NOT NULL DEFAULT 0,
    lost INTEGER NOT NULL DEFAULT 0,
    quit INTEGER NOT NULL DEFAULT 0,
    fastest_win INTEGER,
    shortest_loss INTEGER,
    most_fed INTEGER NOT NULL DEFAULT 0,
    speed INTEGER NOT NULL DEFAULT 100
);
)sql";

// Layout 1's table given layout 2's column.
const char *const ADD_SPEED = "ALTER TABLE games ADD COLUMN speed INTEGER NOT NULL DEFAULT 100";

// A prepared statement, finalized when it goes.
struct Statement {
    sqlite3_stmt *statement = nullptr;
    Statement(sqlite3 *db, const char *sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) statement = nullptr;
    }
    ~Statement() { sqlite3_finalize(statement); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    bool ok() const { return statement != nullptr; }
    void bind(int at, long long value) { sqlite3_bind_int64(statement, at, value); }
    void bind(int at, const std::string &text) {
        sqlite3_bind_text(statement, at, text.c_str(), int(text.size()), SQLITE_TRANSIENT);
    }
    void bindNull(int at) { sqlite3_bind_null(statement, at); }
    // SQLITE_ROW, SQLITE_DONE or an error.
    int step() { return statement ? sqlite3_step(statement) : SQLITE_ERROR; }
    bool isNull(int column) { return sqlite3_column_type(statement, column) == SQLITE_NULL; }
    long long number(int column) { return sqlite3_column_int64(statement, column); }
    std::string text(int column) {
        const unsigned char *text = sqlite3_column_text(statement, column);
        return text ? reinterpret_cast<const char *>(text) : "";
    }
};

bool failed(GamesIndex &index, std::string *reason) {
    if (reason) *reason = index.path + ": " + sqlite3_errmsg(index.db);
    return false;
}

bool exec(GamesIndex &index, const char *sql, std::string *reason) {
    return sqlite3_exec(index.db, sql, nullptr, nullptr, nullptr) == SQLITE_OK ||
           failed(index, reason);
}

// Runs a statement that returns no rows; false, with the reason, when it fails.
bool done(GamesIndex &index, Statement &statement, std::string *reason) {
    return statement.step() == SQLITE_DONE || failed(index, reason);
}

// A write transaction: begun at once with the lock taken, rolled back unless committed.
struct Transaction {
    GamesIndex &index;
    bool open = false;
    explicit Transaction(GamesIndex &index) : index(index) {}
    bool begin(std::string *reason) { return open = exec(index, "BEGIN IMMEDIATE", reason); }
    bool commit(std::string *reason) {
        if (!exec(index, "COMMIT", reason)) return false;
        open = false;
        return true;
    }
    ~Transaction() {
        if (open) sqlite3_exec(index.db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
};

// "2026-12-09 08:49:07"
std::string startText(const std::tm &when) {
    char text[64];
    snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", when.tm_year + 1900,
             when.tm_mon + 1, when.tm_mday, when.tm_hour, when.tm_min, when.tm_sec);
    return text;
}

// The first of path + ending, path + ending + "-2", ... that names nothing.
std::string freeNameBeside(const std::string &path, const char *ending) {
    std::string name = path + ending;
    for (int n = 2; pathExists(name) && n < 1000; n++)
        name = path + ending + "-" + std::to_string(n);
    return name;
}

// Moves the file at path into folder (made when missing) under its own name, or the first free
// one beside it; says so when it cannot.
void keepAside(const std::string &path, const std::string &folder) {
    if (!pathExists(path)) return;
    std::string name = path.substr(path.rfind('/') + 1);
    std::string aside = freeNameBeside(folder + "/" + name, "");
    if (!makeFolder(folder.c_str()) || !replaceFile(path.c_str(), aside.c_str()))
        fprintf(stderr, "grazewell: %s: taken into the games index but not kept aside: %s\n",
                path.c_str(), strerror(errno));
}

// Takes what the games folder held before the index into it: the record of games as one row of
// its own (no recording, its counts), and each kept game, oldest first, as a row of its own with
// what its summary and crash mark said (its games were counted in the record already). The files
// to keep aside once this is committed are added to *aside.
bool takeIn(GamesIndex &index, std::vector<std::string> *aside, std::string *reason) {
    std::string recordPath = index.folder + "/" + RECORD_FILE, why;
    GameRecord record;
    switch (readRecord(recordPath, record, &why)) {
    case RECORD_READ: {
        Statement add(index.db,
                      "INSERT INTO games (started, closed, played, won, lost, quit, fastest_win, "
                      "shortest_loss, most_fed) VALUES ('', 1, ?, ?, ?, ?, ?, ?, ?)");
        add.bind(1, record.played);
        add.bind(2, record.won);
        add.bind(3, record.lost);
        add.bind(4, record.quit);
        if (record.fastestWin >= 0) add.bind(5, record.fastestWin);
        if (record.shortestLoss >= 0) add.bind(6, record.shortestLoss);
        add.bind(7, record.mostFed);
        if (!done(index, add, reason)) return false;
        aside->push_back(recordPath);
        break;
    }
    case RECORD_MISSING:
        break;
    case RECORD_DAMAGED:
        fprintf(stderr, "grazewell: %s: damaged (%s), so not taken into the games index\n",
                recordPath.c_str(), why.c_str());
        aside->push_back(recordPath);
        break;
    case RECORD_UNREADABLE:
        fprintf(stderr, "grazewell: %s: %s; not taken into the games index, and left as it is\n",
                recordPath.c_str(), why.c_str());
        break;
    }
    std::vector<KeptFile> games = listKeptGames(index.folder);
    std::reverse(games.begin(), games.end());
    for (const KeptFile &game : games) {
        std::tm when;
        parseKeptGameName(game.name, &when);
        GameSummary summary;
        std::string summaryPath = index.folder + "/" + besideKeptGame(game.name, KEPT_SUMMARY);
        std::string markPath = index.folder + "/" + besideKeptGame(game.name, KEPT_CRASH_MARK);
        bool summed = readSummary(summaryPath, summary);
        Statement add(index.db, "INSERT INTO games (started, recording, ending, score, closed, "
                                "crashed) VALUES (?, ?, ?, ?, ?, ?)");
        add.bind(1, startText(when));
        add.bind(2, game.name);
        if (summed) {
            add.bind(3, gameEndName(summary.end));
            add.bind(4, summary.score);
        }
        add.bind(5, summed && summary.closed ? 1 : 0);
        add.bind(6, isRegularFile(markPath) ? 1 : 0);
        if (!done(index, add, reason)) return false;
        aside->push_back(summaryPath);
        aside->push_back(markPath);
    }
    return true;
}

// Makes the index's table in a new database and takes in what the folder held before, once:
// whichever game gets the lock first does it, and the others find it done.
bool makeLayout(GamesIndex &index, std::string *reason) {
    std::vector<std::string> aside;
    {
        Transaction transaction(index);
        if (!transaction.begin(reason)) return false;
        Statement version(index.db, "PRAGMA user_version");
        if (version.step() != SQLITE_ROW) return failed(index, reason);
        long long made = version.number(0);
        if (made >= INDEX_LAYOUT) return true;
        if (made == 1 && !exec(index, ADD_SPEED, reason)) return false;
        if (made == 0 && (!exec(index, SCHEMA, reason) || !takeIn(index, &aside, reason)))
            return false;
        std::string setVersion = "PRAGMA user_version = " + std::to_string(INDEX_LAYOUT);
        if (!exec(index, setVersion.c_str(), reason) || !transaction.commit(reason)) return false;
    }
    for (const std::string &path : aside) keepAside(path, index.folder + "/" + TAKEN_IN_FOLDER);
    return true;
}

// Every row of a game whose crash mark lies in the folder is marked crashed; the marks found go
// into *marks, to be removed once that is committed.
bool noteCrashes(GamesIndex &index, std::vector<std::string> *marks, std::string *reason) {
    Statement open(index.db, "SELECT id FROM games WHERE closed = 0 AND crashed = 0");
    std::vector<long long> crashed;
    while (open.step() == SQLITE_ROW) {
        std::string mark = crashMarkPath(index.folder, open.number(0));
        if (pathExists(mark)) {
            crashed.push_back(open.number(0));
            marks->push_back(mark);
        }
    }
    for (long long id : crashed) {
        Statement mark(index.db, "UPDATE games SET crashed = 1 WHERE id = ?");
        mark.bind(1, id);
        if (!done(index, mark, reason)) return false;
    }
    return true;
}

// The size of the file at path in bytes; 0 when it cannot be told.
long long sizeOf(const std::string &path) {
    FILE *file = openRegularFile(path.c_str());
    long size = file ? regularFileSize(file) : 0;
    if (file) fclose(file);
    return size > 0 ? size : 0;
}

// The oldest kept games go (in the order of their rows) until the bounds hold with current kept:
// their rows lose their recordings, and the names to remove once that is committed go into *gone.
bool rotate(GamesIndex &index, const std::string &current, std::vector<std::string> *gone,
            std::string *reason) {
    std::vector<KeptFile> kept;
    Statement list(index.db,
                   "SELECT recording FROM games WHERE recording IS NOT NULL ORDER BY id DESC");
    while (list.step() == SQLITE_ROW) {
        std::string name = list.text(0);
        kept.push_back({name, name == current ? 0 : sizeOf(index.folder + "/" + name)});
    }
    *gone = gamesToRemove(kept, current, KEEP_MAX_GAMES, KEEP_MAX_BYTES);
    for (const std::string &name : *gone) {
        Statement forget(index.db, "UPDATE games SET recording = NULL WHERE recording = ?");
        forget.bind(1, name);
        if (!done(index, forget, reason)) return false;
    }
    return true;
}

// Whether a row holds name as its recording.
bool nameInIndex(GamesIndex &index, const std::string &name) {
    Statement find(index.db, "SELECT 1 FROM games WHERE recording = ?");
    find.bind(1, name);
    return find.step() == SQLITE_ROW;
}

} // namespace

std::string crashMarkPath(const std::string &folder, long long id) {
    return folder + "/game-" + std::to_string(id) + KEPT_CRASH_MARK;
}

bool openGamesIndex(GamesIndex &index, const std::string &folder, std::string *reason) {
    closeGamesIndex(index);
    index.folder = folder;
    index.path = folder + "/" + INDEX_FILE;
    if (sqlite3_open_v2(index.path.c_str(), &index.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        failed(index, reason);
        closeGamesIndex(index);
        return false;
    }
    sqlite3_busy_timeout(index.db, INDEX_BUSY_MILLISECONDS);
    // Kept in the file once set: readers then never hold up a writer, nor a writer the readers.
    // Where it cannot be had (a file system without shared memory) the rollback journal is just
    // as safe.
    sqlite3_exec(index.db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
    // A commit is then atomic without waiting for the disk (a game's end is counted inside a
    // tick): a power cut may lose the last games, never leave the index half written.
    sqlite3_exec(index.db, "PRAGMA synchronous = NORMAL", nullptr, nullptr, nullptr);
    if (!makeLayout(index, reason)) {
        closeGamesIndex(index);
        return false;
    }
    return true;
}

void closeGamesIndex(GamesIndex &index) {
    if (index.db) sqlite3_close(index.db);
    index.db = nullptr;
}

bool beginIndexedGame(GamesIndex &index, const NewGame &game, bool keep, const RecordingMaker &make,
                      long long *id, std::string *recording, std::string *trouble,
                      std::string *reason) {
    recording->clear();
    trouble->clear();
    std::vector<std::string> marks, gone;
    std::string made;
    {
        Transaction transaction(index);
        if (!transaction.begin(reason) || !noteCrashes(index, &marks, reason)) return false;
        // The name is chosen and the file made while the index is locked: no other game can
        // take the same name in between.
        std::string name;
        for (int nth = 1; keep && nth < 1000; nth++) {
            name = keptGameName(game.when, nth);
            std::string path = index.folder + "/" + name;
            if (nameInIndex(index, name) || pathExists(path)) continue;
            std::string why;
            errno = 0;
            if (make(path, &why)) {
                made = path;
                break;
            }
            if (errno == EEXIST) continue;
            *trouble = path + ": " + why;
            break;
        }
        if (made.empty()) name.clear();
        Statement add(index.db, "INSERT INTO games (started, recording, seed, fps, speed) "
                                "VALUES (?, ?, ?, ?, ?)");
        add.bind(1, startText(game.when));
        if (made.empty())
            add.bindNull(2);
        else
            add.bind(2, name);
        add.bind(3, (long long)game.seed);
        add.bind(4, game.fps);
        add.bind(5, game.speed);
        bool added = done(index, add, reason);
        *id = sqlite3_last_insert_rowid(index.db);
        if (added && !made.empty()) added = rotate(index, name, &gone, reason);
        if (!added || !transaction.commit(reason)) {
            if (!made.empty()) remove(made.c_str());
            return false;
        }
    }
    *recording = made;
    for (const std::string &mark : marks) remove(mark.c_str());
    for (const std::string &name : gone) removeKeptGame(index.folder, name);
    return true;
}

// Counts ended in the row id, inside a transaction.
static bool count(GamesIndex &index, long long id, const GameEnded &ended, std::string *reason) {
    Statement add(index.db,
                  "UPDATE games SET played = played + 1, won = won + (?1 = 'won'), "
                  "lost = lost + (?1 = 'lost'), quit = quit + (?1 = 'quit'), "
                  "fastest_win = CASE WHEN ?1 = 'won' AND ?6 THEN min(ifnull(fastest_win, ?2), ?2) "
                  "ELSE fastest_win END, "
                  "shortest_loss = CASE WHEN ?1 = 'lost' THEN min(ifnull(shortest_loss, ?2), ?2) "
                  "ELSE shortest_loss END, "
                  "most_fed = max(most_fed, ?3), ending = ?1, score = ?4 WHERE id = ?5");
    add.bind(1, std::string(gameEndName(ended.end)));
    add.bind(2, ended.ticks);
    add.bind(3, ended.mostFed);
    add.bind(4, ended.score);
    add.bind(5, id);
    add.bind(6, ended.fullSpeed ? 1 : 0);
    return done(index, add, reason);
}

bool slowIndexedGame(GamesIndex &index, long long id, int percent, std::string *reason) {
    Transaction transaction(index);
    if (!transaction.begin(reason)) return false;
    Statement slow(index.db, "UPDATE games SET speed = min(speed, ?) WHERE id = ?");
    slow.bind(1, percent);
    slow.bind(2, id);
    return done(index, slow, reason) && transaction.commit(reason);
}

bool countIndexedGame(GamesIndex &index, long long id, const GameEnded &ended,
                      std::string *reason) {
    Transaction transaction(index);
    return transaction.begin(reason) && count(index, id, ended, reason) &&
           transaction.commit(reason);
}

bool closeIndexedGame(GamesIndex &index, long long id, long long ticks, const GameEnded *ended,
                      std::string *reason) {
    Transaction transaction(index);
    if (!transaction.begin(reason) || (ended && !count(index, id, *ended, reason))) return false;
    // A program that ended without a game ended in it was quit on the title, at 0.
    Statement close(index.db, "UPDATE games SET closed = 1, ticks = ?, ending = ifnull(ending, "
                              "'quit'), score = ifnull(score, 0) WHERE id = ?");
    close.bind(1, ticks);
    close.bind(2, id);
    return done(index, close, reason) && transaction.commit(reason);
}

std::vector<IndexedGame> keptIndexedGames(GamesIndex &index) {
    std::vector<IndexedGame> games;
    Statement list(index.db, "SELECT id, started, recording, seed, fps, ticks, ending, score, "
                             "closed, crashed, speed FROM games WHERE recording IS NOT NULL "
                             "ORDER BY id DESC");
    while (list.step() == SQLITE_ROW) {
        IndexedGame game;
        game.id = list.number(0);
        game.started = list.text(1);
        game.recording = list.text(2);
        game.seed = uint32_t(list.number(3));
        game.fps = int(list.number(4));
        game.ticks = list.isNull(5) ? -1 : list.number(5);
        game.end = list.text(6);
        game.scored = !list.isNull(7);
        game.score = int(list.number(7));
        game.closed = list.number(8) != 0;
        game.crashed = list.number(9) != 0;
        game.speed = int(list.number(10));
        games.push_back(game);
    }
    return games;
}

// a + b, or the largest count there is when that would pass it: a record taken in from a file
// may hold any count, and no sum of it wraps.
static long long plus(long long a, long long b) {
    long long sum;
    return __builtin_add_overflow(a, b, &sum) ? LLONG_MAX : sum;
}

bool indexedRecord(GamesIndex &index, GameRecord &record, std::string *reason) {
    Statement rows(index.db, "SELECT played, won, lost, quit, fastest_win, shortest_loss, "
                             "most_fed FROM games");
    GameRecord read;
    int step;
    while ((step = rows.step()) == SQLITE_ROW) {
        read.played = plus(read.played, rows.number(0));
        read.won = plus(read.won, rows.number(1));
        read.lost = plus(read.lost, rows.number(2));
        read.quit = plus(read.quit, rows.number(3));
        if (!rows.isNull(4) && (read.fastestWin < 0 || rows.number(4) < read.fastestWin))
            read.fastestWin = rows.number(4);
        if (!rows.isNull(5) && (read.shortestLoss < 0 || rows.number(5) < read.shortestLoss))
            read.shortestLoss = rows.number(5);
        read.mostFed = std::max(read.mostFed, rows.number(6));
    }
    if (step != SQLITE_DONE) return failed(index, reason);
    record = read;
    return true;
}

std::string newestPlayableGame(GamesIndex &index) {
    for (const IndexedGame &game : keptIndexedGames(index)) {
        std::string path = index.folder + "/" + game.recording, reason;
        Demo demo;
        if (readDemo(path.c_str(), demo, &reason) && !demo.frames.empty()) return path;
    }
    return "";
}
