// Captions: each sound the game plays, in words, with where it comes from in the player's view as
// the sound is placed; several stack, the newest first, a sound heard again renews its own, they
// show muted and without a device, and with captions off nothing is kept.
#include "sound/captions.h"

#include "app/app.h"
#include "app/loop.h"
#include "app/replay.h"
#include "app/ticks.h"
#include "bison/bison.h"
#include "camera/camera.h"
#include "build_paths.h"
#include "clock/clock.h"
#include "demo/demo.h"
#include "sound/sound.h"
#include "support/gl_env.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace {

using Lines = std::vector<std::string>;

// The sound clock of these tests: the game's own time, so that a caption's life is counted in
// ticks whatever the machine.
double gameSeconds() {
    return double(ticksAdvanced) / 60.0;
}

// The captions showing now, as the screen is told them.
Lines showing() {
    return captionLines(captionsShowing, captionClock, listenerPosition, listenerGaze);
}

// Time goes on by ticks, for the sounds and their captions alike.
void passTicks(long ticks) {
    ticksAdvanced += ticks;
    captionClock = gameSeconds();
}

TEST(Captions, WhereASoundComesFromIsSaidAsThePlayerFacesOnTheMeadow) {
    const Vector3 eye = {10.0f, 1.75f, 10.0f};
    const Vector3 north = {0.0f, 0.0f, -1.0f}, east = {1.0f, 0.0f, 0.0f};
    auto at = [&](float x, float z) { return Vector3{eye.x + x, 1.75f, eye.z + z}; };
    EXPECT_EQ(captionWhere(at(0, -5), eye, north), "near ahead");
    EXPECT_EQ(captionWhere(at(0, 40), eye, north), "far behind");
    EXPECT_EQ(captionWhere(at(-20, -1), eye, north), "far left");
    EXPECT_EQ(captionWhere(at(3, 2), eye, north), "near right");
    // Turned to face east, the same places are a quarter round.
    EXPECT_EQ(captionWhere(at(0, -5), eye, east), "near left");
    EXPECT_EQ(captionWhere(at(-20, -1), eye, east), "far behind");
    // On the diagonal, ahead or behind; near is within CAPTION_NEAR, height and all.
    EXPECT_EQ(captionWhere(at(4, -4), eye, north), "near ahead");
    EXPECT_EQ(captionWhere(at(-4, 4), eye, north), "near behind");
    EXPECT_EQ(captionWhere({eye.x, 1.75f + 13.0f, eye.z - 1.0f}, eye, north), "far ahead");
    // Looking up at the sky, as the title begins, or down at the grass turns nothing aside.
    EXPECT_EQ(captionWhere(at(2, -30), eye, {0.0f, 2.0f, -1.0f}), "far ahead");
    EXPECT_EQ(captionWhere(at(-30, 2), eye, {0.0f, -3.0f, -1.0f}), "far left");
}

TEST(Captions, TheyStackNewestFirstARepeatRenewsItsOwnAndEachEndsInTime) {
    std::vector<Caption> captions;
    const Vector3 eye = {0.0f, 1.75f, 0.0f}, gaze = {0.0f, 0.0f, -1.0f};
    const Vector3 left = {-30.0f, 1.75f, 0.0f}, ahead = {0.0f, 1.75f, -3.0f};
    // The sounds' lengths (seconds): a hoof, a munch, the phrases and the blast.
    const double HOOF = 0.09, MUNCH = 0.42, WON = 0.85, LOST = 1.2;
    noteCaption(captions, SOUND_HOOF, left, true, 10.0, HOOF);
    noteCaption(captions, SOUND_MUNCH, ahead, true, 10.5, MUNCH);
    noteCaption(captions, SOUND_WON, {}, false, 11.0, WON);
    EXPECT_EQ(
        captionLines(captions, 11.0, eye, gaze),
        (Lines{"Rising phrase: won", "Bison munches, near ahead", "Bison's hooves, far left"}));
    // Hoof after hoof renews the one line, moving with the bison, and keeps it showing.
    for (double now = 11.2; now < 14.0; now += 0.3)
        noteCaption(captions, SOUND_HOOF, {-1.0f, 1.75f, 10.0f + float(now)}, true, now, HOOF);
    EXPECT_EQ(captionLines(captions, 14.0, eye, gaze), (Lines{"Bison's hooves, far behind"}))
        << "the munch (1.5 s at least) and the phrase (0.85 s, shown 1.5) are over";
    EXPECT_EQ(captions.size(), 1u) << "what is over is dropped";
    // A short sound shows CAPTION_SHORTEST; a long one as long as it plays.
    noteCaption(captions, SOUND_PICK, ahead, true, 20.0, 0.08);
    noteCaption(captions, SOUND_LOST, {}, false, 20.0, LOST);
    EXPECT_EQ(captionLines(captions, 20.0 + CAPTION_SHORTEST - 0.01, eye, gaze).size(), 2u);
    EXPECT_EQ(captionLines(captions, 20.0 + CAPTION_SHORTEST, eye, gaze).size(), 0u)
        << "the lost phrase lasts " << LOST << " s";
    noteCaption(captions, SOUND_BLAST, ahead, true, 30.0, 2.5);
    EXPECT_EQ(captionLines(captions, 32.49, eye, gaze), (Lines{"Blast, near ahead"}));
    EXPECT_EQ(captionLines(captions, 32.5, eye, gaze), Lines{});
    // No more than CAPTION_LINES at once: the oldest gives its line up.
    captions.clear();
    for (int id = 0; id < SOUND_COUNT; id++)
        noteCaption(captions, SoundId(id), ahead, true, 40.0 + id * 0.01, 1.0);
    Lines lines = captionLines(captions, 40.5, eye, gaze);
    ASSERT_EQ(lines.size(), size_t(CAPTION_LINES));
    EXPECT_EQ(lines.front(), std::string(captionName(SoundId(SOUND_COUNT - 1))) + ", near ahead");
    EXPECT_EQ(lines.back(),
              std::string(captionName(SoundId(SOUND_COUNT - CAPTION_LINES))) + ", near ahead");
}

// Every sound of the game, started where the game starts it, with captions on and sound muted.
TEST(Captions, EverySoundIsCaptionedMutedOrWithoutADeviceAndNothingIsKeptWhenOff) {
    startWorld();
    soundClockSource = gameSeconds;
    listenFrom({0.0f, 1.75f, 0.0f}, {0.0f, 0.0f, -1.0f});
    const Vector3 right = {5.0f, 1.75f, 0.0f};
    // Off: nothing kept, and a muted game starts nothing, as ever.
    initSound(true, false);
    for (int id = 0; id < SOUND_COUNT; id++) playAt(SoundId(id), right);
    bisonWalked(right, 100.0f);
    EXPECT_TRUE(captionsShowing.empty());
    EXPECT_EQ(soundsStarted, 0);

    captionsOn = true;
    std::set<std::string> names;
    for (int id = 0; id < SOUND_COUNT; id++) {
        initSound(true, false);
        passTicks(600); // each on a clock of its own
        SoundId sound = SoundId(id);
        if (sound == SOUND_WON || sound == SOUND_LOST)
            playPhrase(sound);
        else
            playAt(sound, right);
        Lines lines = showing();
        ASSERT_EQ(lines.size(), 1u) << captionName(sound);
        bool phrase = sound == SOUND_WON || sound == SOUND_LOST;
        EXPECT_EQ(lines[0], std::string(captionName(sound)) + (phrase ? "" : ", near right"));
        names.insert(captionName(sound));
        EXPECT_EQ(soundsStarted, 0) << "muted, nothing is heard";
    }
    EXPECT_EQ(names.size(), size_t(SOUND_COUNT)) << "each sound has words of its own";
    // The lengths the stacking test takes for them.
    EXPECT_NEAR(soundSeconds(SOUND_HOOF), 0.09, 0.005);
    EXPECT_NEAR(soundSeconds(SOUND_WON), 0.85, 0.005);
    EXPECT_NEAR(soundSeconds(SOUND_LOST), 1.2, 0.02);
    // The bison's walk, muted: its hooves and, a stride at a time, its grunt.
    initSound(true, false);
    std::set<std::string> walked;
    for (int stride = 0; stride < SOUND_GRUNT_EVERY + SOUND_GRUNT_SPREAD; stride++) {
        passTicks(30);
        bisonWalked({0.0f, 1.75f, -40.0f}, SOUND_STRIDE);
        for (const std::string &line : showing()) walked.insert(line);
    }
    EXPECT_EQ(walked,
              (std::set<std::string>{"Bison's hooves, far ahead", "Bison grunts, far ahead"}));
    // The volume's blip says nothing a caption could: none.
    initSound(true, false);
    setVolume(50, true);
    EXPECT_TRUE(captionsShowing.empty());
    setVolume(100, false);
}

// Whether a place is clearly in one quarter of the view and clearly near or far: a hoof's place
// is the bison's a stride ago, so that at a quarter's edge the two may part.
bool clearlyPlaced(Vector3 place, Vector3 eye, Vector3 gaze) {
    double dx = double(place.x) - eye.x, dz = double(place.z) - eye.z;
    double level = std::sqrt(double(gaze.x) * gaze.x + double(gaze.z) * gaze.z);
    double right = (dz * gaze.x - dx * gaze.z) / level, ahead = (dx * gaze.x + dz * gaze.z) / level;
    double distance = std::sqrt(dx * dx + dz * dz + std::pow(double(place.y) - eye.y, 2));
    return std::fabs(std::fabs(right) - std::fabs(ahead)) > 2.0 &&
           std::fabs(distance - CAPTION_NEAR) > 2.0;
}

// The bison wandering on the title, heard on the game's own time: one line for its hooves,
// stride after stride, saying where it is as it goes, and a grunt now and then.
TEST(Captions, TheWanderingBisonsHoovesAreOneLineThatFollowsIt) {
    startWorld();
    seedBison(7);
    soundClockSource = gameSeconds;
    initSound(true, false);
    captionsOn = true;
    drawEveryFrame = false;
    std::set<std::string> heard, places;
    int hoofLines = 0, checked = 0;
    for (int tick = 0; tick < 1800; tick++) {
        runFrame({});
        Lines lines = showing();
        for (const std::string &line : lines) heard.insert(line.substr(0, line.find(',')));
        auto hooves = std::find_if(lines.begin(), lines.end(), [](const std::string &line) {
            return line.rfind("Bison's hooves, ", 0) == 0;
        });
        if (hooves == lines.end()) continue;
        hoofLines++;
        EXPECT_EQ(std::count_if(
                      hooves + 1, lines.end(),
                      [](const std::string &line) { return line.rfind("Bison's hooves", 0) == 0; }),
                  0)
            << "tick " << tick;
        places.insert(hooves->substr(16));
        if (!clearlyPlaced(bison->position, camera->position, camera->direction)) continue;
        checked++;
        EXPECT_EQ(*hooves, "Bison's hooves, " +
                               captionWhere(bison->position, camera->position, camera->direction))
            << "tick " << tick;
    }
    EXPECT_GT(hoofLines, 1700) << "the hooves' line shows while it walks";
    EXPECT_GT(checked, 1000);
    EXPECT_GE(places.size(), 2u) << "it said where the bison went";
    EXPECT_EQ(heard, (std::set<std::string>{"Bison's hooves", "Bison grunts"}));
}

Demo recorded(const char *name) {
    Demo demo;
    std::string reason;
    std::string path = std::string(GRAZEWELL_SOURCE_DIR) + "/tests/data/" + name;
    EXPECT_TRUE(readDemo(path.c_str(), demo, &reason)) << path << ": " << reason;
    return demo;
}

// Plays a recording tick by tick with captions on and sound muted, on the game's own time, and
// gives the captions showing after each tick asked for.
std::map<long, Lines> captionsAt(const char *name, const std::set<long> &ticks) {
    startWorld();
    Demo demo = recorded(name);
    soundClockSource = gameSeconds;
    initSound(true, false);
    captionsOn = true;
    drawEveryFrame = false; // the ticks that pick are drawn all the same
    startDemo(demo.header);
    std::map<long, Lines> seen;
    for (long tick = 0; tick < long(demo.frames.size()) && tick <= *ticks.rbegin(); tick++) {
        DemoFrame frame = demo.frames[size_t(tick)];
        DemoFrame played = runFrame(frame.events, &frame);
        EXPECT_EQ(frameDifference(frame, played), "") << name << " tick " << tick;
        if (ticks.count(tick)) seen[tick] = showing();
    }
    return seen;
}

TEST(Captions, TheRecordedWinCaptionsEachSoundWhereItIsHeard) {
    const std::string picked = "Food picked up", thrown = "Food thrown", thud = "Thud on the bison",
                      munch = "Bison munches", snort = "Bison snorts", won = "Rising phrase: won";
    std::map<long, Lines> seen = captionsAt("win.gzd", {1345, 1346, 1993, 2009, 2167, 2169});
    EXPECT_EQ(seen[1345], Lines{}) << "nothing heard yet";
    EXPECT_EQ(seen[1346], (Lines{picked + ", near ahead"})) << "the first orange picked";
    // The tenth orange's throw and the pick after it are renewed in the lines they had.
    EXPECT_EQ(seen[1993], (Lines{munch + ", near ahead", thud + ", near ahead",
                                 picked + ", near ahead", thrown + ", near ahead"}));
    EXPECT_EQ(seen[2009],
              (Lines{snort + ", near ahead", munch + ", near ahead", thud + ", near ahead",
                     picked + ", near ahead", thrown + ", near ahead"}));
    EXPECT_EQ(seen[2167],
              (Lines{won, snort + ", near ahead", munch + ", near ahead", thud + ", near ahead",
                     picked + ", near ahead", thrown + ", near ahead"}));
    // Turned round after the win: every sound still showing is now behind, the phrase nowhere.
    EXPECT_EQ(seen[2169],
              (Lines{won, snort + ", near behind", munch + ", near behind", thud + ", near behind",
                     picked + ", near behind", thrown + ", near behind"}));
}

TEST(Captions, TheRecordedLossCaptionsTheBlastTheFallAndThePhrase) {
    std::map<long, Lines> seen = captionsAt("loss.gzd", {570, 612, 4466});
    EXPECT_EQ(seen[570], (Lines{"Blast, near ahead", "Food thrown, near ahead"}));
    // The bison came down near; its snorts were far while it was up in the sky.
    EXPECT_EQ(seen[612], (Lines{"Bison falls with a whistle, near ahead", "Bison snorts, far ahead",
                                "Blast, near ahead", "Food thrown, near ahead"}));
    EXPECT_EQ(seen[4466], (Lines{"Falling phrase: lost", "Blast, near ahead",
                                 "Thud on the bison, near ahead", "Food thrown, near ahead"}));
}

} // namespace
