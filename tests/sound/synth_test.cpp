// The game's own sounds: the same bytes on every run and platform, each one a real sound of its
// length and level, and the pool and the walk that start them.
#include "sound/sound.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// FNV-1a over every sound's samples, in SoundId order.
uint64_t hashOfAllSounds() {
    uint64_t hash = 1469598103934665603ull;
    for (int id = 0; id < SOUND_COUNT; id++)
        for (int16_t sample : synthesize(SoundId(id)))
            for (int shift : {0, 8}) {
                hash ^= uint64_t((uint16_t(sample) >> shift) & 0xff);
                hash *= 1099511628211ull;
            }
    return hash;
}

TEST(Synth, EverySoundIsTheSameBytesOnEveryPlatform) {
    // Worked out once on Linux; the Windows build's tests, run under Wine, must make the same.
    EXPECT_EQ(hashOfAllSounds(), 0xb849c351d77fae6bull);
    EXPECT_EQ(synthesize(SOUND_BLAST), synthesize(SOUND_BLAST));
}

TEST(Synth, TheOwnSineFollowsTheTrueOne) {
    for (double turns = -3.0; turns <= 3.0; turns += 0.0137)
        ASSERT_NEAR(sineOfTurns(turns), std::sin(turns * 2.0 * 3.141592653589793), 1e-9) << turns;
}

TEST(Synth, EachSoundIsShortLoudEnoughAndNeverClips) {
    for (int id = 0; id < SOUND_COUNT; id++) {
        std::vector<int16_t> samples = synthesize(SoundId(id));
        double seconds = double(samples.size()) / SOUND_RATE;
        EXPECT_GE(seconds, 0.05) << id;
        EXPECT_LE(seconds, 1.5) << id;
        int peak = 0;
        double energy = 0;
        for (int16_t s : samples) {
            peak = std::max(peak, std::abs(int(s)));
            energy += double(s) * s;
        }
        EXPECT_GE(peak, 12000) << id;
        EXPECT_LT(peak, 32767) << id << " clips";
        EXPECT_GT(std::sqrt(energy / samples.size()), 1500.0) << id << " is mostly silence";
        // Starts and ends near silence, so that no sound clicks on or off.
        EXPECT_LT(std::abs(int(samples.back())), 2000) << id;
    }
}

TEST(SoundPool, AFinishedVoiceIsReusedAndOnlyAStormStealsTheOldest) {
    SoundVoice voices[SOUND_VOICES];
    for (int v = 0; v < SOUND_VOICES; v++)
        voices[v] = {SOUND_HOOF, {0, 0, 0}, true, 10.0 + v, 11.0 + v};
    EXPECT_EQ(chooseVoice(voices, 13.5), 0) << "voices 0 to 2 are over; the first is taken";
    voices[0].endsAt = 20.0;
    EXPECT_EQ(chooseVoice(voices, 13.5), 1);
    for (SoundVoice &voice : voices) voice.endsAt = 100.0;
    voices[9].startedAt = 1.0;
    EXPECT_EQ(chooseVoice(voices, 13.5), 9) << "all busy: the one that started first";
}

TEST(SoundPool, TheListenerIsUprightAndSquareToItsGaze) {
    for (Vector3 gaze : {Vector3{0, 2, 1}, Vector3{1, 0, 0}, Vector3{0.6f, -0.5f, -0.8f}}) {
        Vector3 up = listenerUp(gaze);
        double dot = double(up.x) * gaze.x + double(up.y) * gaze.y + double(up.z) * gaze.z;
        EXPECT_NEAR(dot, 0.0, 1e-6);
        EXPECT_NEAR(double(up.x) * up.x + double(up.y) * up.y + double(up.z) * up.z, 1.0, 1e-6);
        EXPECT_GT(up.y, 0.0f) << "the head stays above the feet";
    }
}

TEST(Gait, AHoofEachStrideAndAGruntNowAndThen) {
    Gait gait = {0.0f, SOUND_GRUNT_EVERY, {12345u}};
    int hooves = 0, grunts = 0, sinceGrunt = 0, longest = 0, shortest = 1 << 30;
    const float step = 0.05f;
    const int frames = 40000;
    for (int frame = 0; frame < frames; frame++) {
        GaitSounds made = gaitStep(gait, step);
        hooves += made.hoof;
        if (made.grunt) {
            EXPECT_TRUE(made.hoof) << "a grunt comes with a step";
            grunts += 1;
            longest = std::max(longest, sinceGrunt);
            shortest = std::min(shortest, sinceGrunt);
            sinceGrunt = 0;
        } else if (made.hoof) {
            sinceGrunt += 1;
        }
    }
    EXPECT_NEAR(hooves, frames * step / SOUND_STRIDE, 2.0 + frames * step / SOUND_STRIDE * 0.07);
    EXPECT_GT(grunts, 0);
    EXPECT_GE(shortest + 1, SOUND_GRUNT_EVERY);
    EXPECT_LE(longest + 1, SOUND_GRUNT_EVERY + SOUND_GRUNT_SPREAD - 1);
    EXPECT_GT(longest, shortest) << "the gaps between grunts vary";
}

TEST(SoundPool, AMutedGameStartsNothingAndTheToggleStartsAgain) {
    initSound(true, false);
    playAt(SOUND_PICK, {1, 2, 3});
    playPhrase(SOUND_WON);
    bisonWalked({0, 0, 0}, 100.0f);
    EXPECT_EQ(soundsStarted, 0);
    toggleSound();
    EXPECT_TRUE(soundOn);
    EXPECT_FALSE(soundDeviceOpen) << "no device was wanted";
    playAt(SOUND_PICK, {1, 2, 3});
    ASSERT_EQ(soundsStarted, 1);
    toggleSound();
    playAt(SOUND_THROW, {1, 2, 3});
    EXPECT_EQ(soundsStarted, 1);
}

TEST(SoundPool, TheSameHoofTwiceAtOnceStartsOnceAndAFullPoolStillTakesASound) {
    initSound(false, false);
    playAt(SOUND_HOOF, {1, 0, 0});
    playAt(SOUND_HOOF, {2, 0, 0});
    EXPECT_EQ(soundsStarted, 1) << "hooves run together at thousands of frames a second";
    for (int k = 0; k < 3 * SOUND_VOICES; k++) playAt(SOUND_PICK, {float(k), 0, 0});
    EXPECT_EQ(soundsStarted, 1 + 3 * SOUND_VOICES);
    int newest = 0;
    for (const SoundVoice &voice : soundVoices)
        if (voice.id == SOUND_PICK && voice.place.x >= 2 * SOUND_VOICES) newest += 1;
    EXPECT_EQ(newest, SOUND_VOICES) << "the pool holds the latest sounds";
}

} // namespace
