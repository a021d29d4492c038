// The recorded win and loss played in process with the game followed, as a live game is: each
// ends in the record of games with its own game time, counted from the frame after the one `1`
// began it in to the frame that scored its end.
#include "app/loop.h"
#include "app/ticks.h"
#include "app/replay.h"

#include "build_paths.h"
#include "game.h"
#include "keep/record.h"
#include "keep/tally.h"
#include "support/files.h"
#include "support/gl_env.h"

#include <gtest/gtest.h>

namespace {

// Plays the recording named in tests/data with the game counted into the record at path. The
// frames from the one whose '1' began the game to the one after which the score first stood at
// score, as the game showed them, in *frames.
void playCounted(const char *name, const std::string &path, int score, long *frames) {
    Demo demo;
    std::string reason;
    std::string file = std::string(GRAZEWELL_SOURCE_DIR) + "/tests/data/" + name;
    ASSERT_TRUE(readDemo(file.c_str(), demo, &reason)) << reason;
    startWorld();
    startDemo(demo.header);
    drawEveryFrame = false;
    tallying = true;
    recordPath = path;
    long begun = -1, scored = -1;
    for (size_t i = 0; i < demo.frames.size(); i++) {
        const DemoFrame &frame = demo.frames[i];
        ASSERT_EQ(frameDifference(frame, runFrame(frame.events, &frame)), "") << "frame " << i;
        if (begun < 0 && gameState == STATE_PLAYING) begun = long(i);
        if (scored < 0 && foodFed == score) scored = long(i);
    }
    tallying = false;
    drawEveryFrame = true;
    ASSERT_GE(begun, 0);
    ASSERT_GT(scored, begun);
    *frames = scored - begun;
}

TEST(RecordOfGames, TheRecordedWinCountsAsTheFastestWin) {
    std::string dir = makeTempDir("record-win");
    std::string path = dir + "/record.toml";
    // An earlier record, with a slower win than this one and a loss.
    GameRecord earlier;
    addGame(earlier, END_WON, 100000, 10);
    addGame(earlier, END_LOST, 5000, 4);
    std::string reason;
    ASSERT_TRUE(writeWhole(path, formatRecord(earlier), &reason)) << reason;
    long frames = 0;
    playCounted("win.gzd", path, WIN_SCORE, &frames);
    GameRecord record;
    ASSERT_EQ(readRecord(path, record, &reason), RECORD_READ) << reason;
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
    std::string path = dir + "/record.toml";
    long frames = 0;
    playCounted("loss.gzd", path, LOSE_SCORE, &frames);
    GameRecord record;
    std::string reason;
    ASSERT_EQ(readRecord(path, record, &reason), RECORD_READ) << reason;
    EXPECT_EQ(record.played, 1);
    EXPECT_EQ(record.lost, 1);
    EXPECT_EQ(record.won, 0);
    EXPECT_EQ(record.fastestWin, -1);
    EXPECT_EQ(record.shortestLoss, frames);
    removeTree(dir);
}

} // namespace
