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
    EXPECT_EQ(hashOfAllSounds(), 0x6808b9649e00e888ull);
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

// Each sound's last samples fade to silence: no step at its end larger than the fade's own.
TEST(Synth, EverySoundEndsInAFadeToSilence) {
    const size_t fade = size_t(SOUND_END_FADE * SOUND_RATE);
    for (int id = 0; id < SOUND_COUNT; id++) {
        std::vector<int16_t> samples = synthesize(SoundId(id));
        ASSERT_GT(samples.size(), fade);
        EXPECT_EQ(samples.back(), 0) << id;
        int peak = 0, lastSteps = 0;
        for (int16_t s : samples) peak = std::max(peak, std::abs(int(s)));
        for (size_t i = samples.size() - 8; i < samples.size(); i++)
            lastSteps = std::max(lastSteps, std::abs(samples[i] - samples[i - 1]));
        EXPECT_LT(lastSteps, peak / 200) << id << ": its last steps, against its peak " << peak;
    }
}

TEST(SoundPool, ASoundToOneSideIsPlacedWithinTheWidestAngleAtItsDistance) {
    const Vector3 ear = {3.0f, 1.75f, -4.0f}, gaze = {0.0f, 0.1f, -1.0f};
    for (bool narrowed : {false, true}) {
        // Straight ahead stays ahead; to the left, 20 units off, stays at 20 units on the left.
        Vector3 ahead = heardPlace({3.0f, 3.75f, -24.0f}, ear, gaze, narrowed);
        EXPECT_NEAR(ahead.x, 0.0f, 1e-5);
        EXPECT_LT(ahead.z, 0.0f);
        Vector3 left = heardPlace({-17.0f, 1.75f, -4.0f}, ear, gaze, narrowed);
        EXPECT_NEAR(std::sqrt(left.x * left.x + left.y * left.y + left.z * left.z), 20.0, 1e-4);
        double angle = std::atan2(-left.x, -left.z) * 180.0 / 3.141592653589793;
        EXPECT_NEAR(angle, narrowed ? 35.0 : 90.0, 1.0) << narrowed;
        // Behind, narrowed, it comes in front: plain stereo cannot tell them apart.
        Vector3 behind = heardPlace({3.0f, 1.75f, 16.0f}, ear, gaze, narrowed);
        EXPECT_EQ(behind.z < 0.0f, narrowed);
    }
}

TEST(SoundPool, ASoundThatWouldPushTheMixPastItsCeilingStartsSofter) {
    std::vector<float> envelopes[SOUND_COUNT];
    envelopes[SOUND_BLAST] = {0.95f, 0.6f, 0.3f};
    envelopes[SOUND_HOOF] = {0.55f, 0.05f};
    SoundVoice voices[SOUND_VOICES];
    for (SoundVoice &voice : voices) voice = {SOUND_HOOF, {0, 0, 0}, true, -1e9, -1e9, 0.0f, 0.0f};
    // Alone, a blast at full strength fits: 0.8 x 0.95 = 0.76.
    EXPECT_EQ(roomInTheMix(voices, envelopes, SOUND_BLAST, 0.8, 5.0), 1.0f);
    // On top of a hoof just started near by, it is started softer: the hoof's first block at
    // 0.44 and the blast's at 0.76 would make 1.2.
    voices[3] = {SOUND_HOOF, {0, 0, 0}, true, 5.0 - 0.001, 5.0 + 0.019, 1.0f, 0.8f};
    float room = roomInTheMix(voices, envelopes, SOUND_BLAST, 0.8, 5.0);
    EXPECT_NEAR(room, (SOUND_CEILING - 0.8 * 0.55) / (0.8 * 0.95), 1e-6);
    // Far off, the blast fits whole again; and a hoof that has faded takes little room.
    EXPECT_EQ(roomInTheMix(voices, envelopes, SOUND_BLAST, 0.3, 5.0), 1.0f);
    voices[3].startedAt = 5.0 - 0.015;
    EXPECT_EQ(roomInTheMix(voices, envelopes, SOUND_BLAST, 0.8, 5.0), 1.0f);
}

TEST(SoundPool, AFinishedVoiceIsReusedAndOnlyAStormStealsTheOldest) {
    SoundVoice voices[SOUND_VOICES];
    for (int v = 0; v < SOUND_VOICES; v++)
        voices[v] = {SOUND_HOOF, {0, 0, 0}, true, 10.0 + v, 11.0 + v, 1.0f, 0.5f};
    EXPECT_EQ(chooseVoice(voices, 13.5), 0) << "voices 0 to 2 are over; the longest over is taken";
    voices[0].endsAt = 20.0;
    EXPECT_EQ(chooseVoice(voices, 13.5), 1);
    // Just over, a voice is taken last: the device may still be playing its fade's last samples.
    voices[1].endsAt = 13.49;
    EXPECT_EQ(chooseVoice(voices, 13.5), 2);
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
