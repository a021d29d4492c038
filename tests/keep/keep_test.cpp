// The games folder: names, order, rotation by count and by size; the record of games and a kept
// game's summary as files; following a game to its end.
#include "keep/keep.h"
#include "keep/record.h"
#include "keep/tally.h"
#include "support/files.h"

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
    EXPECT_EQ(newestKeptGame(dir), dir + "/2026-12-09_08-05-07_10.gzd");
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

    // On a real folder: a summary and a crash mark go with their game, other files stay.
    std::string dir = makeTempDir("keep-rotate");
    std::vector<std::string> names;
    for (int i = 0; i < 22; i++) {
        char name[40];
        snprintf(name, sizeof name, "2026-11-%02d_12-00-00.gzd", i + 1);
        names.push_back(name);
        ASSERT_TRUE(writeText(dir + "/" + name, "game"));
        ASSERT_TRUE(writeText(dir + "/" + besideKeptGame(name, KEPT_SUMMARY), "end = \"won\""));
    }
    ASSERT_TRUE(writeText(dir + "/" + besideKeptGame(names[0], KEPT_CRASH_MARK), "SIGSEGV\n"));
    ASSERT_TRUE(writeText(dir + "/record.toml", "played = 0\n"));
    rotateKeptGames(dir, names[21]);
    for (int i = 0; i < 22; i++) {
        bool kept = i >= 2;
        EXPECT_EQ(fileExists(dir + "/" + names[i]), kept) << names[i];
        EXPECT_EQ(fileExists(dir + "/" + besideKeptGame(names[i], KEPT_SUMMARY)), kept);
    }
    EXPECT_FALSE(fileExists(dir + "/" + besideKeptGame(names[0], KEPT_CRASH_MARK)));
    EXPECT_TRUE(fileExists(dir + "/record.toml"));
    removeTree(dir);
}

TEST(KeptGames, ANewGameIsNamedApartFromOneBegunInTheSameSecondAndTheFolderIsMade) {
    std::string dir = makeTempDir("keep-new");
    std::string folder = dir + "/state/grazewell/games";
    std::string first, second, reason;
    ASSERT_TRUE(prepareKeptGame(folder, &first, &reason)) << reason;
    ASSERT_TRUE(isDirectory(folder));
    ASSERT_TRUE(writeText(first, "game"));
    ASSERT_TRUE(prepareKeptGame(folder, &second, &reason)) << reason;
    // The clock may have moved on a second in between; either way the names differ.
    EXPECT_NE(first, second);
    EXPECT_TRUE(parseKeptGameName(second.substr(folder.size() + 1))) << second;
    // Where a file stands in the way, no folder can be made.
    ASSERT_TRUE(writeText(dir + "/file", "x"));
    EXPECT_FALSE(prepareKeptGame(dir + "/file/games", &first, &reason));
    EXPECT_EQ(reason, dir + "/file: Not a directory");
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
    // Through its file and back, whole.
    GameRecord back;
    std::string reason;
    ASSERT_TRUE(parseRecord(formatRecord(record), back, &reason)) << reason;
    EXPECT_EQ(formatRecord(back), formatRecord(record));
    EXPECT_EQ(back.fastestWin, 2500);
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

TEST(RecordOfGames, ADamagedRecordIsMovedAsideAndANewOneBegunAnUnreadableOneLeft) {
    std::string dir = makeTempDir("record-damaged");
    std::string path = dir + "/record.toml";
    ASSERT_TRUE(writeText(path, "played = 7\nwon = oops\n"));
    ASSERT_TRUE(writeText(path + ".damaged", "an older damaged record"));
    testing::internal::CaptureStderr();
    EXPECT_TRUE(recordGame(path, END_WON, 600, 10));
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(countOf(said, "\n"), 1) << said;
    EXPECT_NE(said.find(path + ": damaged"), std::string::npos) << said;
    EXPECT_NE(said.find(path + ".damaged-2"), std::string::npos) << said;
    EXPECT_EQ(text(path + ".damaged-2"), "played = 7\nwon = oops\n");
    EXPECT_EQ(text(path + ".damaged"), "an older damaged record");
    GameRecord record;
    std::string reason;
    ASSERT_EQ(readRecord(path, record, &reason), RECORD_READ) << reason;
    EXPECT_EQ(record.played, 1);
    EXPECT_EQ(record.fastestWin, 600);
    EXPECT_FALSE(fileExists(path + ".new"));

    // A record that is no file (a folder of its name) is said and never written over.
    std::string folderPath = dir + "/folder.toml";
    ASSERT_TRUE(makeDir(folderPath));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(recordGame(folderPath, END_LOST, 600, 0));
    said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(folderPath), std::string::npos) << said;
    EXPECT_TRUE(isDirectory(folderPath));
    removeTree(dir);
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
}

} // namespace
