// The recorded win and loss played in process with the game followed, as a live game is: each
// ends in the games index with its own game time, counted from the frame after the one `1`
// began it in to the frame that scored its end.
#include "app/loop.h"
#include "app/ticks.h"
#include "app/replay.h"

#include "build_paths.h"
#include "game.h"
#include "keep/index.h"
#include "keep/record.h"
#include "keep/tally.h"
#include "support/files.h"
#include "support/gl_env.h"

#include <gtest/gtest.h>

namespace {

// Plays the recording named in tests/data with the game counted in the games index of folder. The
// frames from the one whose '1' began the game to the one after which the score first stood at
// score, as the game showed them, in *frames.
void playCounted(const char *name, const std::string &folder, int score, long *frames) {
    Demo demo;
    std::string reason;
    std::string file = std::string(GRAZEWELL_SOURCE_DIR) + "/tests/data/" + name;
    ASSERT_TRUE(readDemo(file.c_str(), demo, &reason)) << reason;
    startWorld();
    startDemo(demo.header);
    drawEveryFrame = false;
    ASSERT_TRUE(openGamesIndex(liveIndex, folder, &reason)) << reason;
    std::string kept, trouble;
    ASSERT_TRUE(beginIndexedGame(liveIndex, NewGame(), false, nullptr, &liveGameId, &kept, &trouble,
                                 &reason))
        << reason;
    tallying = true;
    long begun = -1, scored = -1;
    for (size_t i = 0; i < demo.frames.size(); i++) {
        const DemoFrame &frame = demo.frames[i];
        ASSERT_EQ(frameDifference(frame, runFrame(frame.events, &frame)), "") << "frame " << i;
        if (begun < 0 && gameState == STATE_PLAYING) begun = long(i);
        if (scored < 0 && foodFed == score) scored = long(i);
    }
    tallying = false;
    closeGamesIndex(liveIndex);
    liveGameId = 0;
    drawEveryFrame = true;
    ASSERT_GE(begun, 0);
    ASSERT_GT(scored, begun);
    *frames = scored - begun;
}

Bytes text(const std::string &words) {
    return Bytes(words.begin(), words.end());
}

// The record of games worked out from the index of folder.
GameRecord recordIn(const std::string &folder) {
    GamesIndex index;
    GameRecord record;
    std::string reason;
    EXPECT_TRUE(openGamesIndex(index, folder, &reason) && indexedRecord(index, record, &reason))
        << reason;
    closeGamesIndex(index);
    return record;
}

TEST(RecordOfGames, TheRecordedWinCountsAsTheFastestWin) {
    std::string dir = makeTempDir("record-win");
    // An earlier record, with a slower win than this one and a loss.
    Bytes earlier = text("played = 2\nwon = 1\nlost = 1\nfastest_win_ticks = 100000\n"
                         "shortest_loss_ticks = 5000\nmost_fed = 10\n");
    ASSERT_TRUE(writeBytes(dir + "/" + RECORD_FILE, earlier));
    long frames = 0;
    playCounted("win.gzd", dir, WIN_SCORE, &frames);
    GameRecord record = recordIn(dir);
    EXPECT_EQ(record.played, 3);
    EXPECT_EQ(record.won, 2);
    EXPECT_EQ(record.lost, 1);
    EXPECT_EQ(record.fastestWin, frames);
    EXPECT_EQ(record.shortestLoss, 5000);
    EXPECT_EQ(record.mostFed, WIN_SCORE);
    removeTree(dir);
}

TEST(RecordOfGames, TheRecordedLossBeginsANewRecord) {
    std::string dir = makeTempDir("record-loss");
    long frames = 0;
    playCounted("loss.gzd", dir, LOSE_SCORE, &frames);
    GameRecord record = recordIn(dir);
    EXPECT_EQ(record.played, 1);
    EXPECT_EQ(record.lost, 1);
    EXPECT_EQ(record.won, 0);
    EXPECT_EQ(record.fastestWin, -1);
    EXPECT_EQ(record.shortestLoss, frames);
    removeTree(dir);
}

} // namespace
