// The game's speed as the player sets it, on a simulated clock: the options' slower speed reaches
// the game as the next tick's event and is recorded so, half the ticks come due in a second at 50,
// and a recording made at 60 % replays tick for tick and at its own speed.
#include "app/app.h"
#include "app/live_events.h"
#include "app/loop.h"
#include "app/pacing.h"
#include "app/player.h"
#include "app/recording.h"
#include "app/replay_in_process.h"
#include "app/ticks.h"
#include "bison/bison.h"
#include "clock/clock.h"
#include "hud/options.h"
#include "settings/settings.h"
#include "support/files.h"
#include "support/gl_env.h"

#include <gtest/gtest.h>

namespace {

// A live game recorded into PATH at SPEED, drawn 60 times a second on a simulated clock.
struct RecordedLive {
    PaceClock::time_point start = PaceClock::now();
    long frames = 0;
    RecordedLive(const std::string &path, int speed) {
        startWorld();
        DemoHeader header;
        header.gameVersion = GRAZEWELL_VERSION;
        header.seed = 11;
        header.width = 1000;
        header.height = 500;
        header.fps = 60;
        header.platform = "linux";
        header.speed = speed;
        std::string reason;
        EXPECT_TRUE(startRecording(path.c_str(), header, &reason)) << reason;
        seedBison(header.seed);
        gameSpeed = speed;
        oneTickPerFrame = false;
        drawEveryFrame = false;
        capFrameRate(60);
        gameClock = GameClock();
    }
    ~RecordedLive() {
        stopRecording();
        oneTickPerFrame = true;
        drawEveryFrame = true;
        capFrameRate(60);
        gameClock = GameClock();
        gameSpeed = 100;
    }
    PaceClock::time_point now() const {
        return start + std::chrono::nanoseconds(frames * 1000000000LL / 60);
    }
    // The frames of one more second; the ticks they advanced.
    long second() {
        long before = ticksAdvanced;
        for (int k = 0; k < 60; k++, frames++) playFrameAt(now());
        return ticksAdvanced - before;
    }
};

Demo readBack(const std::string &path) {
    Demo demo;
    std::string reason;
    EXPECT_TRUE(readDemo(path.c_str(), demo, &reason)) << reason;
    return demo;
}

TEST(GameSpeed, HalfTheSpeedInTheOptionsIsRecordedAndThirtyTicksComeDueInASecond) {
    WorkDir dir("speed-options");
    std::string path = dir.path + "/slowed.gzd";
    {
        RecordedLive live(path, 100);
        EXPECT_EQ(live.second(), 60);
        // The options' game speed stepped down to 50, as the shell takes it.
        savedSettings.gameSpeed = 50;
        takeOptionsAsk({ASK_GAME_SPEED});
        EXPECT_EQ(gameSpeed, 100) << "the game takes it with its next tick";
        EXPECT_EQ(live.second(), 30) << "the first tick at the full speed, 29 at half";
        EXPECT_EQ(gameSpeed, 50);
        EXPECT_EQ(live.second(), 30);
        EXPECT_EQ(live.second(), 30);
    }
    savedSettings = Settings();
    Demo demo = readBack(path);
    EXPECT_EQ(demo.header.speed, 100);
    ASSERT_EQ(demo.frames.size(), 150u);
    int speedEvents = 0;
    for (size_t tick = 0; tick < demo.frames.size(); tick++)
        for (const DemoEvent &event : demo.frames[tick].events)
            if (event.type == DEMO_SPEED) {
                speedEvents++;
                EXPECT_EQ(event.a, 50);
                EXPECT_EQ(tick, 60u);
            }
    EXPECT_EQ(speedEvents, 1);
    // Replayed at 60 frames a second: tick for tick, a second at the full speed and three at half.
    freshWorld();
    long bad = -1, frames = 0;
    EXPECT_EQ(playDemoInProcess(demo, &bad, 60, &frames), "") << "tick " << bad;
    EXPECT_NEAR(frames, 240, 2);
}

TEST(GameSpeed, ARecordingMadeAtSixtyPercentReplaysExactlyAndAtItsSpeed) {
    WorkDir dir("speed-sixty");
    std::string path = dir.path + "/sixty.gzd";
    uint32_t checksum = 0;
    Vector3 bisonAt{};
    {
        RecordedLive live(path, 60);
        // The bison wanders, drawing its numbers; the player walks and turns.
        takeLiveEventAt({DEMO_KEY_DOWN, '1'}, live.now());
        takeLiveEventAt({DEMO_KEY_UP, '1'}, live.now());
        takeLiveEventAt({DEMO_KEY_DOWN, 'a'}, live.now());
        EXPECT_EQ(live.second(), 36);
        takeLiveEventAt({DEMO_KEY_UP, 'a'}, live.now());
        takeLiveEventAt({DEMO_KEY_DOWN, 's'}, live.now());
        EXPECT_EQ(live.second(), 36);
        takeLiveEventAt({DEMO_KEY_UP, 's'}, live.now());
        EXPECT_EQ(live.second(), 36);
        checksum = frameTaken.checksum;
        bisonAt = bison->position;
    }
    Demo demo = readBack(path);
    EXPECT_EQ(demo.header.speed, 60);
    ASSERT_EQ(demo.frames.size(), 108u);
    // Whatever speed the game was at, the replay takes the recording's: 36 ticks a second.
    for (int rate : {60, 20}) {
        freshWorld();
        gameSpeed = 100;
        long bad = -1, frames = 0;
        EXPECT_EQ(playDemoInProcess(demo, &bad, rate, &frames), "") << rate << ": tick " << bad;
        EXPECT_NEAR(frames, 3 * rate, 1) << "three seconds at " << rate << " frames a second";
        EXPECT_EQ(frameTaken.checksum, checksum);
        EXPECT_EQ(bison->position.x, bisonAt.x);
        EXPECT_EQ(bison->position.z, bisonAt.z);
    }
    gameSpeed = 100;
}

} // namespace
