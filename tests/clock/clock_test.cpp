// The game clock on a simulated clock: the game's pace is the same at any drawing rate, a
// backlog is dropped, and a tap between two ticks acts in the next one, once.
#include "clock/clock.h"

#include "app/app.h"
#include "app/pacing.h"
#include "app/live_events.h"
#include "app/loop.h"
#include "bison/bison.h"
#include "camera/camera.h"
#include "input/input.h"
#include "support/gl_env.h"

#include <cmath>
#include <random>
#include <gtest/gtest.h>

namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

// The live game drawn RATE times a second on a simulated clock from START: the frame of each
// moment up to START + SECONDS, drawn or not as the rest of the test needs.
struct SimulatedPlay {
    PaceClock::time_point start = PaceClock::now();
    explicit SimulatedPlay(int rate) {
        startWorld();
        gameState = STATE_PLAYING;
        bison->wandering = false;
        oneTickPerFrame = false;
        drawEveryFrame = false;
        capFrameRate(rate);
        gameClock = GameClock();
    }
    ~SimulatedPlay() {
        oneTickPerFrame = true;
        drawEveryFrame = true;
        capFrameRate(60);
        gameClock = GameClock();
        releaseKeys();
    }
    PaceClock::time_point at(long long ns) const { return start + nanoseconds(ns); }
    // Frames at RATE a second from the start to SECONDS, both ends included.
    void playFor(int rate, long long ms) {
        for (long long k = 0; k * 1000 / rate <= ms; k++) playFrameAt(at(k * 1000000000LL / rate));
    }
};

float bisonWalkAt(int rate, long *ticks) {
    SimulatedPlay play(rate);
    bison->position = {0.0f, 1.75f, 0.0f};
    bison->heading = 0.0f;
    takeLiveEventAt({DEMO_KEY_DOWN, '/'}, play.at(-1000000));
    long before = ticksAdvanced;
    play.playFor(rate, 2000);
    *ticks = ticksAdvanced - before;
    return std::hypot(bison->position.x, bison->position.z);
}

TEST(GameClock, TheBisonWalksTheSameGroundInTheSameGameTimeAtAnyDrawingRate) {
    long ticks60 = 0;
    float at60 = bisonWalkAt(60, &ticks60);
    EXPECT_EQ(ticks60, 121) << "two seconds hold 120 ticks after the first";
    EXPECT_NEAR(at60, 121 * BISON_STEP, 0.01);
    for (int rate : {20, 200, 37}) {
        long ticks = 0;
        float at = bisonWalkAt(rate, &ticks);
        EXPECT_EQ(ticks, ticks60) << rate << " frames a second";
        EXPECT_EQ(at, at60) << rate << " frames a second";
    }
}

TEST(GameClock, AFarBacklogIsDroppedAndTheGameGoesOnFromThePresent) {
    SimulatedPlay play(60);
    long before = ticksAdvanced;
    playFrameAt(play.at(0));
    EXPECT_EQ(ticksAdvanced - before, 1);
    // Five seconds stalled: one frame runs its limit, not 300 ticks.
    playFrameAt(play.at(5000000000LL));
    EXPECT_EQ(ticksAdvanced - before, 1 + tickBacklogLimit(60));
    playFrameAt(play.at(5000000000LL + 17000000LL));
    EXPECT_EQ(ticksAdvanced - before, 2 + tickBacklogLimit(60));
    // Capped at 20, a frame's three ticks are no backlog.
    EXPECT_GE(tickBacklogLimit(20), 3 + TICK_BACKLOG_LIMIT);
    EXPECT_GE(tickBacklogLimit(1), 60);
}

TEST(GameClock, ATapBetweenTwoTicksActsInTheNextOneOnce) {
    SimulatedPlay play(20);
    camera->position = {-8.0f, 1.75f, -2.0f};
    camera->direction = {0.0f, 0.0f, 1.0f};
    camera->yaw = 0.0f;
    bison->position = {100.0f, 1.75f, 60.0f}; // far: the walk is not stopped by it
    Camera oneStep = *camera;
    oneStep.move(true, CAMERA_WALK_STEP);
    playFrameAt(play.at(0)); // tick 0
    // Down and up again between ticks 1 (16.7 ms) and 2 (33.3 ms); the frame at 50 ms runs 1 to 3.
    takeLiveEventAt({DEMO_KEY_DOWN, 'w'}, play.at(20000000));
    takeLiveEventAt({DEMO_KEY_UP, 'w'}, play.at(22000000));
    takeLiveEventAt({DEMO_KEY_DOWN, 'q'}, play.at(24000000));
    takeLiveEventAt({DEMO_KEY_UP, 'q'}, play.at(26000000));
    float yaw = camera->yaw;
    playFrameAt(play.at(50000000));
    EXPECT_FLOAT_EQ(camera->position.x, oneStep.position.x) << "one tick's walk, no more";
    EXPECT_FLOAT_EQ(camera->position.z, oneStep.position.z) << "one tick's walk, no more";
    EXPECT_NEAR(std::fabs(camera->yaw - yaw), PI_D, 0.05) << "turned around once";
    // An event that arrived after the frame's last tick waits for the next tick.
    takeLiveEventAt({DEMO_KEY_DOWN, 'q'}, play.at(51000000));
    takeLiveEventAt({DEMO_KEY_UP, 'q'}, play.at(52000000));
    yaw = camera->yaw;
    playFrameAt(play.at(50000000)); // no tick due yet
    EXPECT_EQ(camera->yaw, yaw);
    playFrameAt(play.at(100000000));
    EXPECT_NEAR(std::fabs(camera->yaw - yaw), PI_D, 0.05);
}

// Paused, 'n' advances the game by exactly one tick, with the keys held in it, and it stands
// still again; going on, 'n' does nothing.
TEST(GameClock, PausedEachStepAdvancesTheGameOneTickAndNoMore) {
    startWorld();
    gameState = STATE_PLAYING;
    bison->wandering = false;
    bison->position = {60.0f, 1.75f, 60.0f}; // out of the walk's way
    camera->position = {-8.0f, 1.75f, -2.0f};
    Camera start = *camera;
    runFrame({{DEMO_KEY_DOWN, 'p'}, {DEMO_KEY_UP, 'p'}});
    ASSERT_TRUE(gamePaused);
    long before = ticksAdvanced;
    runFrame({{DEMO_KEY_DOWN, 'w'}, {DEMO_KEY_DOWN, 'n'}, {DEMO_KEY_UP, 'n'}});
    EXPECT_EQ(ticksAdvanced, before) << "the tick of the press holds the game";
    for (int i = 0; i < 4; i++) runFrame({});
    EXPECT_EQ(ticksAdvanced, before + 1) << "one step, one tick";
    Camera oneStep = start;
    oneStep.move(true, CAMERA_WALK_STEP);
    EXPECT_EQ(camera->position.x, oneStep.position.x) << "the held key walked in the step";
    EXPECT_EQ(camera->position.z, oneStep.position.z) << "the held key walked in the step";
    EXPECT_TRUE(gamePaused);
    // Two presses, two steps.
    runFrame({{DEMO_KEY_DOWN, 'n'}, {DEMO_KEY_UP, 'n'}, {DEMO_KEY_DOWN, 'n'}, {DEMO_KEY_UP, 'n'}});
    for (int i = 0; i < 4; i++) runFrame({});
    EXPECT_EQ(ticksAdvanced, before + 2);
    runFrame({{DEMO_KEY_UP, 'w'}, {DEMO_KEY_DOWN, 'p'}, {DEMO_KEY_UP, 'p'}});
    ASSERT_FALSE(gamePaused);
    runFrame({{DEMO_KEY_DOWN, 'n'}, {DEMO_KEY_UP, 'n'}});
    EXPECT_EQ(stepsAsked, 0) << "going on, a step is no step kept for the next pause";
}

// At half speed the ticks come half as often, evenly, and the drawing between them goes on at its
// own rate: the bison walks half the ground in the same time, a tick every other frame at 60.
TEST(GameClock, AtHalfSpeedTheTicksComeEvenlyHalfAsOften) {
    long fullTicks = 0;
    float full = bisonWalkAt(60, &fullTicks);
    gameSpeed = 50;
    long halfTicks = 0;
    float half = bisonWalkAt(60, &halfTicks);
    EXPECT_EQ(halfTicks, 61) << "two seconds hold 60 ticks after the first at half speed";
    EXPECT_NEAR(half, full / 2, 2 * BISON_STEP);
    SimulatedPlay play(60);
    long before = ticksAdvanced;
    std::vector<long> perFrame;
    for (int k = 0; k < 12; k++) {
        long at = ticksAdvanced;
        playFrameAt(play.at(k * 1000000000LL / 60));
        perFrame.push_back(ticksAdvanced - at);
    }
    EXPECT_EQ(ticksAdvanced - before, 6);
    for (int k = 2; k < 12; k++) EXPECT_EQ(perFrame[k], perFrame[k - 2]) << "frame " << k;
    gameSpeed = 100;
}

// The bison walking ('/' held, a step of BISON_STEP a tick along +x) drawn at the moments given
// (nanoseconds from the start): the x of each frame's drawn bison and the ticks each frame ran.
void drawnWalk(const std::vector<long long> &moments, std::vector<double> *drawnX,
               std::vector<long> *ticks) {
    freshWorld(); // no pose of an earlier walk to draw from
    SimulatedPlay play(0);
    bison->position = {0.0f, 1.75f, 0.0f};
    bison->heading = 0.0f;
    takeLiveEventAt({DEMO_KEY_DOWN, '/'}, play.at(-1000000));
    for (long long ns : moments) {
        long before = ticksAdvanced;
        playFrameAt(play.at(ns));
        ticks->push_back(ticksAdvanced - before);
        drawnX->push_back(shownPose(tickShare(gameClock, play.at(ns))).bisonPlace.x);
    }
}

// Drawn between ticks, at any display's rate or none, the walking bison's place advances with
// each frame's own time: no frame repeats the picture before it, none jumps two ticks' worth.
TEST(DrawnBetweenTicks, TheBisonAdvancesInProportionToEachFramesTime) {
    std::mt19937 random(36);
    std::uniform_int_distribution<long long> jitter(3000000, 26000000);
    std::vector<std::pair<const char *, std::vector<long long>>> displays;
    for (double hz : {59.94, 75.0, 120.0, 144.0}) {
        std::vector<long long> moments;
        for (int k = 0; k < 300; k++) moments.push_back((long long)(k * 1e9 / hz));
        displays.push_back({hz == 59.94 ? "59.94 Hz"
                            : hz == 75  ? "75 Hz"
                            : hz == 120 ? "120 Hz"
                                        : "144 Hz",
                            moments});
    }
    std::vector<long long> jittered = {0};
    while (jittered.size() < 300) jittered.push_back(jittered.back() + jitter(random));
    displays.push_back({"jittered", jittered});
    const double perSecond = BISON_STEP * TICKS_PER_SECOND;
    for (const auto &display : displays) {
        std::vector<double> x;
        std::vector<long> ticks;
        drawnWalk(display.second, &x, &ticks);
        // From the third frame on the walk is under way between two ticks it took.
        for (size_t k = 3; k < x.size(); k++) {
            double seconds = double(display.second[k] - display.second[k - 1]) / 1e9;
            double advance = x[k] - x[k - 1];
            EXPECT_GT(advance, 0.0) << display.first << ", frame " << k << " repeats";
            EXPECT_NEAR(advance, perSecond * seconds, 1e-4) << display.first << ", frame " << k;
            EXPECT_LT(advance, 2 * BISON_STEP) << display.first << ", frame " << k;
        }
    }
}

// Drawn 60 times a second on the ticks' own moments, each frame runs one tick and draws a whole
// tick's world, never a blend of two.
TEST(DrawnBetweenTicks, AtSixtyOnTheTicksEachFrameShowsOneWholeTick) {
    std::vector<long long> moments;
    for (int k = 0; k < 120; k++) moments.push_back(k * 1000000000LL / 60);
    std::vector<double> x;
    std::vector<long> ticks;
    drawnWalk(moments, &x, &ticks);
    for (size_t k = 1; k < x.size(); k++) {
        EXPECT_EQ(ticks[k], 1) << "frame " << k;
        // A whole tick's place is a whole number of steps from the start, as the floats add up.
        EXPECT_NEAR(x[k] - x[k - 1], BISON_STEP, 1e-5) << "frame " << k;
    }
    SimulatedPlay play(60);
    playFrameAt(play.at(0));
    playFrameAt(play.at(1000000000LL / 60));
    EXPECT_EQ(tickShare(gameClock, play.at(1000000000LL / 60)), 0.0);
}

} // namespace
