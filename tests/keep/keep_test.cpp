// The games folder: names, order, rotation by count and by size; the games index, its rows begun
// together, what it takes in from before it and the record worked out from it; following a game
// to its end.
#include "keep/index.h"
#include "keep/keep.h"
#include "keep/record.h"
#include "keep/tally.h"
#include "demo/demo.h"
#include "support/files.h"

#include <climits>
#include <sqlite3.h>
#include <gtest/gtest.h>

namespace {

std::string text(const std::string &path) {
    Bytes bytes = readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

bool writeText(const std::string &path, const std::string &content) {
    return writeBytes(path, Bytes(content.begin(), content.end()));
}

TEST(KeptGames, NamesSayWhenAGameBeganAndSortNewestFirst) {
    std::tm when{};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 11;
    when.tm_mday = 9;
    when.tm_hour = 8;
    when.tm_min = 5;
    when.tm_sec = 7;
    EXPECT_EQ(keptGameName(when, 1), "2026-12-09_08-05-07.gzd");
    EXPECT_EQ(keptGameName(when, 12), "2026-12-09_08-05-07_12.gzd");
    std::tm back{};
    int nth = 0;
    ASSERT_TRUE(parseKeptGameName("2026-12-09_08-05-07_12.gzd", &back, &nth));
    EXPECT_EQ(nth, 12);
    EXPECT_EQ(back.tm_mon, 11);
    EXPECT_EQ(back.tm_sec, 7);
    for (const char *other :
         {"record.toml", "game.gzd", "2026-12-09_08-05-07.toml", "2026-12-09_08-05-07_1.gzd",
          "2026-12-09_08-05-07_02.gzd", "2026-12-09_08-05-07.gzd.new", "2026-12-09 08-05-07.gzd"})
        EXPECT_FALSE(parseKeptGameName(other)) << other;

    // Only kept games are listed; a tenth game of one second is newer than its ninth.
    std::string dir = makeTempDir("keep-names");
    for (const char *name :
         {"2026-12-09_08-05-07.gzd", "2026-12-09_08-05-07_9.gzd", "2026-12-09_08-05-07_10.gzd",
          "2025-01-01_00-00-00.gzd", "record.toml", "notes.gzd"})
        ASSERT_TRUE(writeText(dir + "/" + name, "x"));
    std::vector<KeptFile> games = listKeptGames(dir);
    std::vector<std::string> names;
    for (const KeptFile &game : games) names.push_back(game.name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"2026-12-09_08-05-07_10.gzd", "2026-12-09_08-05-07_9.gzd",
                                        "2026-12-09_08-05-07.gzd", "2025-01-01_00-00-00.gzd"}));
    removeTree(dir);
}

// Newest first, as listKeptGames gives them.
std::vector<KeptFile> games(std::initializer_list<long long> sizes) {
    std::vector<KeptFile> list;
    int day = 28;
    for (long long bytes : sizes)
        list.push_back({"2026-12-" + std::to_string(day--) + "_00-00-00.gzd", bytes});
    return list;
}

TEST(KeptGames, TheOldestGoFirstByCountAndBySizeNeverTheOneBeingPlayed) {
    // By count: of 23 games, the three oldest go, oldest first.
    std::vector<KeptFile> many =
        games({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    std::vector<std::string> gone = gamesToRemove(many, many[0].name, 20, 1000);
    EXPECT_EQ(gone, (std::vector<std::string>{many[22].name, many[21].name, many[20].name}));
    // By size: once a game would pass the bound, it and every older one go, even a small one.
    std::vector<KeptFile> sized = games({10, 20, 30, 5});
    EXPECT_EQ(gamesToRemove(sized, sized[0].name, 20, 35),
              (std::vector<std::string>{sized[3].name, sized[2].name}));
    EXPECT_TRUE(gamesToRemove(sized, sized[0].name, 20, 65).empty());
    // The game being played stays whatever its size or place, and counts against the bounds.
    EXPECT_EQ(gamesToRemove(sized, sized[1].name, 20, 15),
              (std::vector<std::string>{sized[3].name, sized[2].name, sized[0].name}));
    EXPECT_EQ(gamesToRemove(sized, sized[0].name, 1, 1000).size(), 3u);
}

// A recording of ticks quiet ticks at path, as a game writes it; false when it cannot be made.
bool makeRecording(const std::string &path, int ticks, std::string *reason) {
    DemoWriter writer;
    DemoHeader header;
    header.gameVersion = "1.0.0";
    header.width = 1000;
    header.height = 500;
    header.platform = "linux";
    if (!openDemoWriter(writer, path.c_str(), header, reason)) return false;
    for (int tick = 0; tick < ticks; tick++) writeDemoFrame(writer, DemoFrame());
    closeDemoWriter(writer);
    return true;
}

// Begins a game in index at when, kept with a recording of ticks ticks; its path ("" when it
// could not be begun).
std::string begin(GamesIndex &index, const std::tm &when, int ticks, long long *id = nullptr,
                  int speed = 100) {
    NewGame game;
    game.when = when;
    game.seed = 7;
    game.fps = 60;
    game.speed = speed;
    long long row = 0;
    std::string path, trouble, reason;
    RecordingMaker make = [ticks](const std::string &at, std::string *why) {
        return makeRecording(at, ticks, why);
    };
    EXPECT_TRUE(beginIndexedGame(index, game, true, make, &row, &path, &trouble, &reason))
        << reason;
    EXPECT_EQ(trouble, "");
    if (id) *id = row;
    return path;
}

std::tm at(int year, int day, int second) {
    std::tm when{};
    when.tm_year = year - 1900;
    when.tm_mon = 0;
    when.tm_mday = day;
    when.tm_hour = 12;
    when.tm_sec = second;
    return when;
}

std::vector<std::string> keptNames(GamesIndex &index) {
    std::vector<std::string> names;
    for (const IndexedGame &game : keptIndexedGames(index)) names.push_back(game.recording);
    return names;
}

TEST(GamesIndex, TwoGamesBegunInTheSameSecondAreBothKeptUnderNamesOfTheirOwn) {
    std::string dir = makeTempDir("index-same-second");
    GamesIndex index, other;
    std::string reason;
    ASSERT_TRUE(openGamesIndex(index, dir, &reason)) << reason;
    ASSERT_TRUE(openGamesIndex(other, dir, &reason)) << reason;
    // A file of the first name already there, from no game of the index: passed over too.
    ASSERT_TRUE(writeText(dir + "/2026-01-02_12-00-05_2.gzd", "a file of the player's"));
    std::string first = begin(index, at(2026, 2, 5), 1);
    std::string second = begin(other, at(2026, 2, 5), 1);
    EXPECT_EQ(first, dir + "/2026-01-02_12-00-05.gzd");
    EXPECT_EQ(second, dir + "/2026-01-02_12-00-05_3.gzd");
    EXPECT_EQ(keptNames(index),
              (std::vector<std::string>{"2026-01-02_12-00-05_3.gzd", "2026-01-02_12-00-05.gzd"}));
    EXPECT_EQ(text(dir + "/2026-01-02_12-00-05_2.gzd"), "a file of the player's");
    closeGamesIndex(other);
    closeGamesIndex(index);
    removeTree(dir);
}

TEST(GamesIndex, GamesGoInTheOrderTheyWereBegunWhateverTheirNamesSay) {
    std::string dir = makeTempDir("index-future");
    // Twenty games from a clock that once ran years ahead, from before the index.
    for (int day = 1; day <= KEEP_MAX_GAMES; day++) {
        std::string reason;
        ASSERT_TRUE(makeRecording(dir + "/" + keptGameName(at(2030, day, 0), 1), 3, &reason));
    }
    GamesIndex index;
    std::string reason;
    ASSERT_TRUE(openGamesIndex(index, dir, &reason)) << reason;
    std::string now = begin(index, at(2026, 5, 0), 2);
    std::string later = begin(index, at(2026, 5, 1), 2);
    // The two oldest begun went (the first two taken in), not the games just played.
    EXPECT_FALSE(fileExists(dir + "/2030-01-01_12-00-00.gzd"));
    EXPECT_FALSE(fileExists(dir + "/2030-01-02_12-00-00.gzd"));
    EXPECT_TRUE(fileExists(dir + "/2030-01-03_12-00-00.gzd"));
    EXPECT_TRUE(fileExists(now));
    EXPECT_TRUE(fileExists(later));
    std::vector<std::string> names = keptNames(index);
    ASSERT_EQ(names.size(), size_t(KEEP_MAX_GAMES));
    EXPECT_EQ(names[0], "2026-01-05_12-00-01.gzd");
    EXPECT_EQ(names[1], "2026-01-05_12-00-00.gzd");
    EXPECT_EQ(newestPlayableGame(index), later);
    // A newer game with no whole tick (it died before its first), and one damaged: passed over.
    begin(index, at(2026, 5, 2), 0);
    std::string damaged = begin(index, at(2026, 5, 3), 1);
    ASSERT_TRUE(writeText(damaged, "Grazewell recording\nno more"));
    EXPECT_EQ(newestPlayableGame(index), later);
    closeGamesIndex(index);
    removeTree(dir);
}

TEST(GamesIndex, ARecordAndSummariesFromBeforeAreTakenInOnceAndKeptAside) {
    std::string dir = makeTempDir("index-take-in");
    std::string reason;
    ASSERT_TRUE(writeText(dir + "/" + RECORD_FILE,
                          "played = 5\nwon = 2\nlost = 1\nquit = 2\nmost_fed = 10\n"
                          "fastest_win_ticks = 3000\nshortest_loss_ticks = 9000\n"));
    const char *quit = "2026-03-01_10-00-00.gzd", *crashed = "2026-03-02_10-00-00.gzd",
               *won = "2026-03-03_10-00-00.gzd";
    for (const char *name : {quit, crashed, won})
        ASSERT_TRUE(makeRecording(dir + "/" + name, 120, &reason)) << reason;
    ASSERT_TRUE(writeText(dir + "/" + besideKeptGame(quit, KEPT_SUMMARY),
                          "end = \"quit\"\nscore = 3\ngames = 1\nclosed = true\n"));
    ASSERT_TRUE(writeText(dir + "/" + besideKeptGame(crashed, KEPT_CRASH_MARK), "SIGSEGV\n"));
    ASSERT_TRUE(writeText(dir + "/" + besideKeptGame(won, KEPT_SUMMARY),
                          "end = \"won\"\nscore = 10\ngames = 2\nclosed = true\n"));
    GamesIndex index;
    ASSERT_TRUE(openGamesIndex(index, dir, &reason)) << reason;
    GameRecord record;
    ASSERT_TRUE(indexedRecord(index, record, &reason)) << reason;
    EXPECT_EQ(record.played, 5);
    EXPECT_EQ(record.won, 2);
    EXPECT_EQ(record.fastestWin, 3000);
    EXPECT_EQ(record.shortestLoss, 9000);
    EXPECT_EQ(record.mostFed, 10);
    std::string listing = keptGamesListing(dir, keptIndexedGames(index));
    EXPECT_EQ(listing,
              "Games kept in " + dir +
                  ", newest first:\n"
                  "  2026-03-03 10:00:00     0:02  won         10  2026-03-03_10-00-00.gzd\n"
                  "  2026-03-02 10:00:00     0:02  crashed      -  2026-03-02_10-00-00.gzd\n"
                  "  2026-03-01 10:00:00     0:02  quit         3  2026-03-01_10-00-00.gzd\n");
    // Kept aside, out of the folder, and never taken in again.
    std::string aside = dir + "/" + TAKEN_IN_FOLDER;
    EXPECT_FALSE(fileExists(dir + "/" + RECORD_FILE));
    EXPECT_TRUE(fileExists(aside + "/" + RECORD_FILE));
    EXPECT_TRUE(fileExists(aside + "/" + besideKeptGame(won, KEPT_SUMMARY)));
    EXPECT_TRUE(fileExists(aside + "/" + besideKeptGame(crashed, KEPT_CRASH_MARK)));
    closeGamesIndex(index);
    ASSERT_TRUE(writeText(dir + "/" + RECORD_FILE, "played = 1\nquit = 1\n"));
    ASSERT_TRUE(openGamesIndex(index, dir, &reason)) << reason;
    ASSERT_TRUE(indexedRecord(index, record, &reason)) << reason;
    EXPECT_EQ(record.played, 5);
    closeGamesIndex(index);

    // A damaged record is not taken, and is kept aside with one line.
    std::string damaged = makeTempDir("index-take-in-damaged");
    ASSERT_TRUE(writeText(damaged + "/" + RECORD_FILE, "played = 7\nwon = oops\n"));
    testing::internal::CaptureStderr();
    ASSERT_TRUE(openGamesIndex(index, damaged, &reason)) << reason;
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("grazewell: " + damaged + "/" + RECORD_FILE + ": damaged (", 0), 0u)
        << said;
    EXPECT_NE(said.find("), so not taken into the games index\n"), std::string::npos) << said;
    EXPECT_EQ(countOf(said, "\n"), 1) << said;
    ASSERT_TRUE(indexedRecord(index, record, &reason)) << reason;
    EXPECT_EQ(record.played, 0);
    EXPECT_TRUE(fileExists(damaged + "/" + TAKEN_IN_FOLDER + "/" + RECORD_FILE));
    closeGamesIndex(index);
    removeTree(damaged);
    removeTree(dir);
}

TEST(GamesIndex, TheRecordIsWorkedOutFromTheRowsACrashIsFoundByTheNextGameAndNothingWraps) {
    std::string dir = makeTempDir("index-record");
    // A record from before with counts at the top of what a number holds.
    ASSERT_TRUE(writeText(dir + "/" + RECORD_FILE,
                          "played = 9223372036854775807\nquit = 9223372036854775807\n"));
    GamesIndex index;
    std::string reason;
    ASSERT_TRUE(openGamesIndex(index, dir, &reason)) << reason;
    long long first = 0, second = 0;
    begin(index, at(2026, 7, 0), 1, &first);
    GameEnded won{END_WON, 2500, 11, 10}, lost{END_LOST, 4000, 2, -10}, quit{END_QUIT, 10, 3, 1};
    ASSERT_TRUE(countIndexedGame(index, first, won, &reason)) << reason;
    ASSERT_TRUE(countIndexedGame(index, first, lost, &reason)) << reason;
    ASSERT_TRUE(closeIndexedGame(index, first, 7000, &quit, &reason)) << reason;
    // The second game crashes: its mark is found by the third.
    begin(index, at(2026, 7, 1), 1, &second);
    ASSERT_TRUE(countIndexedGame(index, second, GameEnded{END_WON, 3000, 10, 10}, &reason));
    ASSERT_TRUE(writeText(crashMarkPath(dir, second), "SIGSEGV\n"));
    begin(index, at(2026, 7, 2), 1);
    EXPECT_FALSE(fileExists(crashMarkPath(dir, second)));
    std::vector<IndexedGame> games = keptIndexedGames(index);
    ASSERT_EQ(games.size(), 3u);
    EXPECT_TRUE(games[1].crashed);
    EXPECT_FALSE(games[0].crashed || games[0].closed || games[0].scored);
    EXPECT_TRUE(games[2].closed);
    EXPECT_EQ(games[2].ticks, 7000);
    EXPECT_EQ(games[2].end, "quit");
    EXPECT_EQ(games[2].score, 1);

    GameRecord record;
    ASSERT_TRUE(indexedRecord(index, record, &reason)) << reason;
    EXPECT_EQ(record.played, LLONG_MAX);
    EXPECT_EQ(record.quit, LLONG_MAX);
    EXPECT_EQ(record.won, 2);
    EXPECT_EQ(record.lost, 1);
    EXPECT_EQ(record.fastestWin, 2500);
    EXPECT_EQ(record.shortestLoss, 4000);
    EXPECT_EQ(record.mostFed, 11);
    closeGamesIndex(index);
    removeTree(dir);
}

// A game played slower is listed with its slowest speed, and a win at less than the full speed is
// counted but is no fastest win; a loss is a loss at any speed.
TEST(GamesIndex, ASlowerGameIsListedSoAndOnlyAFullSpeedWinIsTheFastest) {
    std::string dir = makeTempDir("index-speed");
    GamesIndex index;
    std::string reason;
    ASSERT_TRUE(openGamesIndex(index, dir, &reason)) << reason;
    long long full = 0, half = 0, slowed = 0;
    begin(index, at(2026, 8, 0), 1, &full);
    begin(index, at(2026, 8, 1), 1, &half, 50);
    begin(index, at(2026, 8, 2), 1, &slowed);
    GameEnded fullWin{END_WON, 3000, 10, 10};
    GameEnded halfWin{END_WON, 1000, 10, 10}, halfLoss{END_LOST, 900, 0, -10};
    halfWin.fullSpeed = halfLoss.fullSpeed = false;
    ASSERT_TRUE(countIndexedGame(index, full, fullWin, &reason)) << reason;
    ASSERT_TRUE(countIndexedGame(index, half, halfWin, &reason)) << reason;
    ASSERT_TRUE(countIndexedGame(index, half, halfLoss, &reason)) << reason;
    // Won at the full speed, then slowed to 60 and back up to 80: the row keeps the slowest.
    ASSERT_TRUE(countIndexedGame(index, slowed, GameEnded{END_WON, 2000, 10, 10}, &reason));
    ASSERT_TRUE(slowIndexedGame(index, slowed, 60, &reason)) << reason;
    ASSERT_TRUE(slowIndexedGame(index, slowed, 80, &reason)) << reason;
    std::vector<IndexedGame> games = keptIndexedGames(index);
    ASSERT_EQ(games.size(), 3u);
    EXPECT_EQ(games[0].speed, 60);
    EXPECT_EQ(games[1].speed, 50);
    EXPECT_EQ(games[2].speed, 100);
    GameRecord record;
    ASSERT_TRUE(indexedRecord(index, record, &reason)) << reason;
    EXPECT_EQ(record.won, 3);
    EXPECT_EQ(record.fastestWin, 2000) << "the win at half speed is no fastest win";
    EXPECT_EQ(record.shortestLoss, 900);
    std::string listing = keptGamesListing(dir, games);
    EXPECT_NE(listing.find("  at 50% speed  2026-01-08_12-00-01.gzd\n"), std::string::npos)
        << listing;
    EXPECT_NE(listing.find("  at 60% speed  2026-01-08_12-00-02.gzd\n"), std::string::npos);
    EXPECT_NE(listing.find("  2026-01-08_12-00-00.gzd\n"), std::string::npos) << listing;
    EXPECT_EQ(listing.find("speed  2026-01-08_12-00-00.gzd"), std::string::npos) << listing;
    closeGamesIndex(index);
    removeTree(dir);
}

// An index made by a game from before there were game speeds is given the speed column once, its
// rows at the full speed, and goes on as before.
TEST(GamesIndex, AnIndexOfTheFormerLayoutGainsTheSpeedOfItsGames) {
    std::string dir = makeTempDir("index-layout-one");
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open((dir + "/" + INDEX_FILE).c_str(), &db), SQLITE_OK);
    const char *former = R"sql(
        CREATE TABLE games (id INTEGER PRIMARY KEY AUTOINCREMENT, started TEXT NOT NULL,
            recording TEXT UNIQUE, seed INTEGER, fps INTEGER, ticks INTEGER, ending TEXT,
            score INTEGER, closed INTEGER NOT NULL DEFAULT 0, crashed INTEGER NOT NULL DEFAULT 0,
            played INTEGER NOT NULL DEFAULT 0, won INTEGER NOT NULL DEFAULT 0,
            lost INTEGER NOT NULL DEFAULT 0, quit INTEGER NOT NULL DEFAULT 0,
            fastest_win INTEGER, shortest_loss INTEGER, most_fed INTEGER NOT NULL DEFAULT 0);
        INSERT INTO games (started, recording, seed, fps, ticks, ending, score, closed, played,
            won, fastest_win, most_fed)
            VALUES ('2026-01-09 12:00:00', 'old.gzd', 7, 60, 4000, 'won', 10, 1, 1, 1, 3500, 10);
        PRAGMA user_version = 1;
    )sql";
    ASSERT_EQ(sqlite3_exec(db, former, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    GamesIndex index;
    std::string reason;
    ASSERT_TRUE(openGamesIndex(index, dir, &reason)) << reason;
    long long id = 0;
    begin(index, at(2026, 9, 1), 1, &id, 80);
    std::vector<IndexedGame> games = keptIndexedGames(index);
    ASSERT_EQ(games.size(), 2u);
    EXPECT_EQ(games[0].speed, 80);
    EXPECT_EQ(games[1].recording, "old.gzd");
    EXPECT_EQ(games[1].speed, 100);
    GameRecord record;
    ASSERT_TRUE(indexedRecord(index, record, &reason)) << reason;
    EXPECT_EQ(record.fastestWin, 3500);
    closeGamesIndex(index);
    // Opened again, it is the new layout already.
    ASSERT_TRUE(openGamesIndex(index, dir, &reason)) << reason;
    EXPECT_EQ(keptIndexedGames(index).size(), 2u);
    closeGamesIndex(index);
    removeTree(dir);
}

TEST(RecordOfGames, CountsWinsLossesAndQuitsAndKeepsTheBest) {
    GameRecord record;
    addGame(record, END_WON, 3000, 10);
    addGame(record, END_WON, 2500, 11);
    addGame(record, END_WON, 2800, 10);
    addGame(record, END_LOST, 4000, 2);
    addGame(record, END_QUIT, 10, 3);
    EXPECT_EQ(record.played, 5);
    EXPECT_EQ(record.won, 3);
    EXPECT_EQ(record.lost, 1);
    EXPECT_EQ(record.quit, 1);
    EXPECT_EQ(record.fastestWin, 2500);
    EXPECT_EQ(record.shortestLoss, 4000);
    EXPECT_EQ(record.mostFed, 11);
    std::string said = recordText(record, "record.toml");
    EXPECT_NE(said.find("fastest win:           41.67 s"), std::string::npos) << said;
    EXPECT_NE(said.find("shortest loss:         1 min 6.67 s"), std::string::npos) << said;
}

TEST(RecordOfGames, ARecordThatIsNoneIsRefusedWithItsReason) {
    GameRecord record;
    std::string reason;
    EXPECT_TRUE(parseRecord("", record, &reason)) << "an empty record is a new one";
    EXPECT_TRUE(parseRecord("played = 1\nquit = 1\nnewer_key = \"x\"\n", record, &reason));
    const char *bad[][2] = {
        {"played = [", "not TOML"},
        {"played = -1\n", "played is not a whole number of 0 or more"},
        {"played = \"2\"\n", "played is not"},
        {"played = 1.5\n", "played is not"},
        {"played = 2\nwon = 1\n", "do not add up"},
        {"played = 1\nwon = 1\n", "fastest win"},
        {"played = 0\nshortest_loss_ticks = 5\n", "shortest loss"},
    };
    for (const auto &[file, why] : bad) {
        reason.clear();
        EXPECT_FALSE(parseRecord(file, record, &reason)) << file;
        EXPECT_NE(reason.find(why), std::string::npos) << file << ": " << reason;
    }
}

// A game runs from the title left to its end; its time is the advances after the one that
// began it, up to the one that ended it.
TEST(GameTallies, AGameIsFollowedFromTheTitleToItsEnd) {
    GameTally tally;
    GameEnded ended;
    // Title, then 1: begun; five advances later back to the title with 1: quit after 5.
    EXPECT_FALSE(tallyAdvance(tally, STATE_TITLE, 0, &ended));
    EXPECT_FALSE(tallyAdvance(tally, STATE_PLAYING, 0, &ended));
    for (int fed : {1, 3, 2, 2}) EXPECT_FALSE(tallyAdvance(tally, STATE_PLAYING, fed, &ended));
    ASSERT_TRUE(tallyAdvance(tally, STATE_TITLE, 0, &ended));
    EXPECT_EQ(ended.end, END_QUIT);
    EXPECT_EQ(ended.ticks, 5);
    EXPECT_EQ(ended.mostFed, 3);
    // The won screen stays until 1; nothing more is counted while it shows, nor on the title.
    EXPECT_FALSE(tallyAdvance(tally, STATE_PLAYING, 0, &ended));
    EXPECT_FALSE(tallyAdvance(tally, STATE_PLAYING, 10, &ended));
    ASSERT_TRUE(tallyAdvance(tally, STATE_WON, 10, &ended));
    EXPECT_EQ(ended.end, END_WON);
    EXPECT_EQ(ended.ticks, 2);
    EXPECT_FALSE(tallyAdvance(tally, STATE_WON, 11, &ended));
    EXPECT_FALSE(tallyAdvance(tally, STATE_TITLE, 0, &ended));
    EXPECT_FALSE(tallyExit(tally, 0, &ended));
    // Ended by the program's end: quit with the score it stood at.
    EXPECT_FALSE(tallyAdvance(tally, STATE_PLAYING, 0, &ended));
    EXPECT_TRUE(tallyExit(tally, -4, &ended));
    EXPECT_EQ(ended.end, END_QUIT);
    EXPECT_EQ(ended.score, -4);
    // Lost on the title screen itself: timed from when the title showed.
    GameTally title;
    for (int i = 0; i < 4; i++) EXPECT_FALSE(tallyAdvance(title, STATE_TITLE, -9, &ended));
    ASSERT_TRUE(tallyAdvance(title, STATE_LOST, -10, &ended));
    EXPECT_EQ(ended.end, END_LOST);
    EXPECT_EQ(ended.ticks, 4);
    EXPECT_TRUE(ended.fullSpeed);
}

// A game any tick of which was played slower is no full-speed game; the next one, at the full
// speed again, is.
TEST(GameTallies, AGameWithATickPlayedSlowerIsNoFullSpeedGame) {
    GameTally tally;
    GameEnded ended;
    EXPECT_FALSE(tallyAdvance(tally, STATE_TITLE, 0, &ended, 50));
    EXPECT_FALSE(tallyAdvance(tally, STATE_PLAYING, 0, &ended));
    EXPECT_FALSE(tallyAdvance(tally, STATE_PLAYING, 5, &ended, 80));
    ASSERT_TRUE(tallyAdvance(tally, STATE_WON, 10, &ended));
    EXPECT_FALSE(ended.fullSpeed);
    EXPECT_EQ(tally.slowest, 50);
    // Slowed only on the title before it: a full-speed game.
    EXPECT_FALSE(tallyAdvance(tally, STATE_TITLE, 0, &ended, 60));
    EXPECT_FALSE(tallyAdvance(tally, STATE_PLAYING, 0, &ended));
    ASSERT_TRUE(tallyAdvance(tally, STATE_WON, 10, &ended));
    EXPECT_TRUE(ended.fullSpeed);
    // Won on the title itself, slowed while the title showed: timed from it, and slowed.
    EXPECT_FALSE(tallyAdvance(tally, STATE_TITLE, 9, &ended));
    EXPECT_FALSE(tallyAdvance(tally, STATE_TITLE, 9, &ended, 50));
    ASSERT_TRUE(tallyAdvance(tally, STATE_WON, 10, &ended));
    EXPECT_FALSE(ended.fullSpeed);
}

} // namespace
